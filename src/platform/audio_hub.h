#pragma once
// The mixing point of the sound device: every open stream (queued or pulled) is summed with
// saturation into the device's frames. The SDL device calls Mix from its audio thread; the
// headless device from the frame step. Streams may be opened and closed from any thread.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio_output.h"

namespace nova {

class TAudioHub {
public:
  explicit TAudioHub(TAudioFormat format = {});
  ~TAudioHub();
  TAudioHub(const TAudioHub&) = delete;
  TAudioHub& operator=(const TAudioHub&) = delete;

  const TAudioFormat& Format() const;
  // A new stream in the hub's format. A stream may outlive the hub (it then plays nowhere).
  std::unique_ptr<TAudioOutput> OpenStream();
  int StreamCount() const;
  // Writes `frames` frames: the sum of every stream that is not paused.
  void Mix(int16_t* out, size_t frames);

  struct TCore;

private:
  std::shared_ptr<TCore> core_;
};

// The headless sound device: it takes exactly the sound of the elapsed frame clock at every
// frame step (44100 x elapsed ms / 1000 frames, rounded down over the total) and writes it to
// a WAV file (44100 Hz, 16-bit stereo), or drops it when no file was given.
class THeadlessAudio {
public:
  // An empty path: no file. Raises ENovaError when the file cannot be created.
  // The clock starts at startMs.
  explicit THeadlessAudio(const std::filesystem::path& wavFile = {}, uint32_t startMs = 0);
  ~THeadlessAudio();
  THeadlessAudio(const THeadlessAudio&) = delete;
  THeadlessAudio& operator=(const THeadlessAudio&) = delete;

  TAudioHub& Hub() { return hub_; }
  // The clock now reads nowMs: takes the frames from the last call up to nowMs.
  void Advance(uint32_t nowMs);
  uint64_t FramesWritten() const { return produced_; }
  void Flush();  // brings the file's header up to date

private:
  TAudioHub hub_;
  std::FILE* file_ = nullptr;
  uint64_t produced_ = 0;
  uint64_t elapsedMs_ = 0;
  uint32_t lastMs_ = 0;
  int sinceFlush_ = 0;
  std::vector<int16_t> buffer_;
};

// A WAV file header (RIFF, PCM) for `dataBytes` bytes of samples.
std::vector<uint8_t> WaveHeader(int channels, int rate, int bits, uint32_t dataBytes);

}  // namespace nova
