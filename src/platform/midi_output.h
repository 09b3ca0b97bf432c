#pragma once
// A MIDI output port: short channel messages (status byte in the low byte, then the data
// bytes) and system exclusive messages (F0 ... F7), sent at once. A long message is done when
// SendLong returns.
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace nova {

class TMidiOutput {
public:
  virtual ~TMidiOutput() = default;
  virtual void SendShort(uint32_t message) = 0;
  virtual void SendLong(const std::vector<uint8_t>& bytes) = 0;
  virtual void Reset() = 0;  // all notes off, controllers back to their defaults
};

// A port that keeps every message with the time it was sent (tests, headless runs).
class TRecordingMidiOutput : public TMidiOutput {
public:
  struct TMessage {
    uint32_t Time = 0;           // the clock's milliseconds when sent
    std::vector<uint8_t> Bytes;  // short messages as their 1 to 3 bytes
    bool Long = false;
    bool IsReset = false;
  };
  explicit TRecordingMidiOutput(std::function<uint32_t()> now = {}) : now_(std::move(now)) {}
  void SendShort(uint32_t message) override;
  void SendLong(const std::vector<uint8_t>& bytes) override;
  void Reset() override;
  std::vector<TMessage> Messages() const;
  void Clear();

private:
  uint32_t Now() const { return now_ ? now_() : 0; }
  std::function<uint32_t()> now_;
  mutable std::mutex mutex_;
  std::vector<TMessage> messages_;
};

// The number of data bytes that follow a channel status byte (0x80..0xEF); 0 otherwise.
int MidiDataBytes(uint8_t status);

}  // namespace nova
