#pragma once
// What the interpreter asks of the game around it: whether a file is reachable (with the disk
// prompt), the pending save and load requests, and the game-wide reset steps that belong to
// the scene, the data tables and the message history. The project answers these; tests may
// answer them with a small host of their own.
#include <cstdint>
#include <functional>
#include <string>

namespace nova {

class TScenarioHost {
public:
  virtual ~TScenarioHost() = default;
  virtual bool CheckFile(const std::string& name) = 0;
  virtual void RequestSave(int32_t /*slot*/, const std::string& /*afterLoadPage*/, int32_t /*afterLoadIndex*/,
                           const std::string& /*caption*/) {}
  virtual void RequestLoad(int32_t /*slot*/) {}
  // Reset command: clear the scene, reset the data tables and the history formats.
  virtual void ResetGame() {}
};

// Receives one trace line (Shift-JIS, no line end); the edge converts it for its file.
using TTraceSink = std::function<void(const std::string& line)>;

}  // namespace nova
