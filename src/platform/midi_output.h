#pragma once
// A MIDI output port: short channel messages (status byte in the low byte) and system
// exclusive messages, sent at once.
#include <cstdint>
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

}  // namespace nova
