#pragma once
// The SDL sound device: one output at 44100 Hz, 16-bit stereo, opened on first use, whose audio
// callback mixes every open stream (platform/audio_hub.h). The device is chosen by name in the
// user's media settings (empty: the system's default).
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/audio_hub.h"

namespace nova {

class TSdlAudioDevice {
public:
  explicit TSdlAudioDevice(std::string deviceName = {});
  ~TSdlAudioDevice();
  TSdlAudioDevice(const TSdlAudioDevice&) = delete;
  TSdlAudioDevice& operator=(const TSdlAudioDevice&) = delete;

  // A stream of the device; null when no device can be opened.
  std::unique_ptr<TAudioOutput> OpenStream(const TAudioFormat& format);
  bool IsOpen() const { return device_ != 0; }
  // Names of the output devices SDL offers.
  static std::vector<std::string> DeviceNames();

private:
  bool OpenDevice();

  std::string name_;
  TAudioHub hub_;
  std::mutex mutex_;
  struct TSubsystem;
  std::unique_ptr<TSubsystem> subsystem_;
  uint32_t device_ = 0;
  bool failed_ = false;
};

// Test observation of what the device callback writes (benchmarks of sound latency). Arming
// clears the last result; the next callback period holding a sample of at least `threshold` in
// magnitude records the time (taken in that callback, after mixing) and the sample's frame in
// the period, then disarms.
// Unarmed, a callback pays one atomic load.
struct TOutputProbeHit {
  std::chrono::steady_clock::time_point Time;
  int Frame = 0;  // the sample frame's index in the callback's period
};
void ArmOutputProbe(int threshold = 1);
std::optional<TOutputProbeHit> OutputProbeHit();  // none while armed or never armed

}  // namespace nova
