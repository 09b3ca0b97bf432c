#include "media/midi_player.h"

#include <algorithm>
#include <thread>

namespace nova {

TMidiPlayV::TMidiPlayV(TPlatform& platform) : platform_(platform) {
  for (const std::string& name : platform.MidiPorts()) devices_.push_back(TMidiDeviceInfo{name});
  for (auto& channel : scales_) channel.fill(100);
  timer_ = std::make_unique<TMMTimer>(platform.FrameTicker(), [this] { Tick(); });
}

TMidiPlayV::~TMidiPlayV() {
  timer_->SetEnabled(false);
  if (opened_) Close();
  timer_.reset();  // no tick runs past this point
}

bool TMidiPlayV::LoadFromStream(TStream& stream) {
  Stop();
  TTickPause pause(*timer_);
  bool ok = file_.LoadFromStream(stream);
  current_ = 0;
  position_ = 0;
  for (auto& channel : controllers_) channel[7] = 127;
  return ok;
}

bool TMidiPlayV::Open(int deviceIndex) {
  TTickPause pause(*timer_);
  if (opened_) return true;
  device_ = platform_.OpenMidi(deviceIndex);
  opened_ = device_ != nullptr;
  UseClock(device_ ? device_->TickSource() : nullptr);
  return opened_;
}

void TMidiPlayV::Close() {
  TTickPause pause(*timer_);
  UseClock(nullptr);  // the port's ticks end with it
  if (device_) device_->Reset();  // long messages are done when sent: none is pending
  device_.reset();
  opened_ = false;
}

void TMidiPlayV::UseClock(TMidiTickSource* source) {
  timer_->SetSource(source);
  tickSource_.store(source);
  lastTick_ = Now();  // a new clock: the time up to now is not counted again
}

uint32_t TMidiPlayV::Now() {
  TMidiTickSource* source = tickSource_.load();
  return source ? source->NowMs() : platform_.Clock().Now();
}

void TMidiPlayV::SendShort(uint8_t status, uint8_t d1, uint8_t d2) {
  if (device_) device_->SendShort(static_cast<uint32_t>(status) | d1 << 8 | static_cast<uint32_t>(d2) << 16);
}

void TMidiPlayV::AllNotesOff() {
  for (int ch = 0; ch < 16; ++ch) SendShort(static_cast<uint8_t>(0xB0 | ch), 123, 0);
}

void TMidiPlayV::Send(const TMidiMsgEvent& e) {
  const std::vector<uint8_t>& b = e.Bytes;
  if (e.SendClass == msChannel) {
    uint8_t d1 = b.size() > 1 ? b[1] : 0, d2 = b.size() > 2 ? b[2] : 0;
    if (e.Kind == mkControl) {
      int ch = b[0] & 0x0F, ctrl = d1 & 0x7F;
      controllers_[ch][ctrl] = d2;
      d2 = static_cast<uint8_t>(std::min(127, d2 * scales_[ch][ctrl] / 100));
    }
    SendShort(b[0], d1, d2);
  } else if (e.SendClass == msSysEx) {
    if (device_) device_->SendLong(b);
  } else if (e.Kind == mkTempo && b.size() >= 5) {
    uint32_t t = static_cast<uint32_t>(b[2]) << 16 | b[3] << 8 | b[4];
    if (t > 0) tempoBpm_ = 60000000.0 / t;
  }
}

bool TMidiPlayV::IsEnded() {
  TTickPause pause(*timer_);
  int last = static_cast<int>(file_.Events.size()) - 1;
  return !repeat_ && current_ >= last;
}

int32_t TMidiPlayV::Position() {
  TTickPause pause(*timer_);
  return position_;
}

void TMidiPlayV::Tick() {
  const auto& events = file_.Events;
  int last = static_cast<int>(events.size()) - 1;
  // At the last event the tick has nothing left to send, but with repeat on the position goes
  // on until it passes the last event's time (the end of track, often a rest after the last
  // note) and the loop starts over. A file whose events all share one time has no loop to play.
  if (last < 0) return;
  bool loops = repeat_ && events[last].Time > events[0].Time;
  if (current_ >= last && !loops) return;
  uint32_t now = Now();
  uint32_t e = std::min<uint32_t>(1000, now - lastTick_);
  position_ = static_cast<int32_t>(std::min<int64_t>(kMaxMidiTime, int64_t{position_} + e));
  lastTick_ = now;
  for (;;) {
    if (events[current_].Time >= position_) break;
    if (current_ < last) {
      Send(events[current_]);
      ++current_;
    } else if (loops) {
      AllNotesOff();
      current_ = 0;
      position_ = events[0].Time;
    } else {
      break;  // the last event is never sent; the timer stays enabled
    }
  }
}

void TMidiPlayV::PlayFrom(int32_t t) {
  TTickPause pause(*timer_);
  timer_->SetEnabled(false);
  const auto& events = file_.Events;
  int count = static_cast<int>(events.size());
  int target = 0;
  auto later = std::find_if(events.begin(), events.end(), [t](const TMidiMsgEvent& e) { return e.Time > t; });
  if (later != events.end()) {
    auto equal = std::find_if(events.begin(), later, [t](const TMidiMsgEvent& e) { return e.Time == t; });
    if (equal != later) target = static_cast<int>(equal - events.begin());
    else target = std::max(0, static_cast<int>(later - events.begin()) - 1);
  }
  if (count == 0) target = 0;
  if (target < current_) {
    AllNotesOff();
    current_ = 0;
    position_ = 0;
  } else if (target > current_) {
    AllNotesOff();
  }
  for (; current_ < target; ++current_) {
    const TMidiMsgEvent& e = events[current_];
    position_ = e.Time;
    if (e.Kind != mkNoteOn && e.Kind != mkNoteOff) Send(e);
    if (e.Kind == mkGsReset) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  lastTick_ = Now();
  timer_->SetEnabled(true);
}

void TMidiPlayV::Stop() {
  if (!timer_->Enabled()) return;
  {
    TTickPause pause(*timer_);
    timer_->SetEnabled(false);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(1));
  AllNotesOff();
}

void TMidiPlayV::SetControllerScale(int controller, int percent) {
  if (controller < 0 || controller > 127) return;
  TTickPause pause(*timer_);
  for (int ch = 0; ch < 16; ++ch) {
    scales_[ch][controller] = percent;
    if (timer_->Enabled())
      SendShort(static_cast<uint8_t>(0xB0 | ch), static_cast<uint8_t>(controller),
                static_cast<uint8_t>(std::clamp(controllers_[ch][controller] * percent / 100, 0, 127)));
  }
}

void TMidiPlayV::SendMasterVolumeReset() {
  TTickPause pause(*timer_);
  if (device_) device_->SendLong({0xF0, 0x7F, 0x7F, 0x04, 0x01, 0x00, 0x7F, 0xF7});
}

}  // namespace nova
