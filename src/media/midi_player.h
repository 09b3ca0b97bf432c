#pragma once
// The MIDI sequencer (TMidiPlayV): plays one loaded file (TMidiV) on a MIDI output port with
// its 10 ms timer. The main thread pauses the tick before it touches the position or the port.
// Its time ("now" of the tick and of PlayFrom) is the port's tick source when the port has one
// (the synthesizer: the frames of its sound stream), else the platform's clock.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/midi_file.h"
#include "media/midi_timer.h"
#include "platform/platform.h"

namespace nova {

// One output port as the sequencer lists it (TMidiDevices).
struct TMidiDeviceInfo {
  std::string Name;
};

class TMidiPlayV {
public:
  explicit TMidiPlayV(TPlatform& platform);
  ~TMidiPlayV();
  TMidiPlayV(const TMidiPlayV&) = delete;
  TMidiPlayV& operator=(const TMidiPlayV&) = delete;

  // Stops, then reads the file; false when it is no MIDI file (nothing is loaded then).
  bool LoadFromStream(TStream& stream);
  // -1: the MIDI mapper.
  bool Open(int deviceIndex);
  void Close();
  bool Opened() const { return opened_; }

  void PlayFrom(int32_t ms);
  void Stop();
  bool IsPlaying() const { return timer_->Enabled(); }
  bool IsEnded();
  int32_t Position();
  int32_t Length() const { return file_.LengthMs(); }
  bool Repeat() const { return repeat_; }
  void SetRepeat(bool on) { repeat_ = on; }
  void SetControllerScale(int controller, int percent);
  void SendMasterVolumeReset();

  const std::vector<TMidiDeviceInfo>& Devices() const { return devices_; }
  const TMidiV& File() const { return file_; }
  int CurrentIndex() const { return current_; }
  double TempoBpm() const { return tempoBpm_; }
  int ControllerValue(int channel, int controller) const { return controllers_[channel][controller]; }
  int ControllerScale(int channel, int controller) const { return scales_[channel][controller]; }

  // One timer tick (the timer thread's work).
  void Tick();

private:
  void Send(const TMidiMsgEvent& e);
  void AllNotesOff();
  void SendShort(uint8_t status, uint8_t d1, uint8_t d2);
  // Called with the tick paused.
  void UseClock(TMidiTickSource* source);
  uint32_t Now();

  TPlatform& platform_;
  TMidiV file_;
  std::unique_ptr<TMidiOutput> device_;
  std::atomic<TMidiTickSource*> tickSource_{nullptr};
  bool opened_ = false;
  std::vector<TMidiDeviceInfo> devices_;
  int current_ = 0;
  int32_t position_ = 0;
  uint32_t lastTick_ = 0;
  bool repeat_ = false;
  std::array<std::array<uint8_t, 128>, 16> controllers_{};
  std::array<std::array<int, 128>, 16> scales_{};
  double tempoBpm_ = 120;
  std::unique_ptr<TMMTimer> timer_;
};

}  // namespace nova
