#include "platform/midi_output.h"

namespace nova {

void TRenderTickSource::SetTick(std::function<void()> tick, int periodMs) {
  std::lock_guard<std::mutex> lock(mutex_);
  tick_ = std::move(tick);
  period_ = std::max<uint64_t>(1, static_cast<uint64_t>(rate_) * static_cast<uint64_t>(std::max(1, periodMs)) / 1000);
}

int MidiDataBytes(uint8_t status) {
  switch (status & 0xF0) {
    case 0x80: case 0x90: case 0xA0: case 0xB0: case 0xE0: return 2;
    case 0xC0: case 0xD0: return 1;
    default: return 0;
  }
}

void TRecordingMidiOutput::SendShort(uint32_t message) {
  TMessage m;
  m.Time = Now();
  uint8_t status = static_cast<uint8_t>(message);
  m.Bytes.push_back(status);
  for (int i = 1; i <= MidiDataBytes(status); ++i) m.Bytes.push_back(static_cast<uint8_t>(message >> (8 * i)));
  Add(std::move(m));
}

void TRecordingMidiOutput::SendLong(const std::vector<uint8_t>& bytes) {
  TMessage m;
  m.Time = Now();
  m.Bytes = bytes;
  m.Long = true;
  Add(std::move(m));
}

void TRecordingMidiOutput::Reset() {
  TMessage m;
  m.Time = Now();
  m.IsReset = true;
  Add(std::move(m));
}

void TRecordingMidiOutput::Add(TMessage m) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (frame_) m.Frame = frame_();
  messages_.push_back(std::move(m));
}

void TRecordingMidiOutput::SetFrameClock(std::function<int64_t()> frame) {
  std::lock_guard<std::mutex> lock(mutex_);
  frame_ = std::move(frame);
}

std::vector<TRecordingMidiOutput::TMessage> TRecordingMidiOutput::Messages() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_;
}

void TRecordingMidiOutput::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  messages_.clear();
}

}  // namespace nova
