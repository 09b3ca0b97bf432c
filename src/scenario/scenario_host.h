#pragma once
// What the interpreter asks of the game around it: whether a file is reachable (with the disk
// prompt), the pending save and load requests, the game-wide reset, and what to do with a page
// the player refuses to run. The project answers these; tests may answer them with a small
// host of their own.
#include <cstdint>
#include <functional>
#include <string>

namespace nova {

class TNovaHistoryFormatManager;
class TNovaReadList;

class TScenarioHost {
public:
  virtual ~TScenarioHost() = default;
  virtual bool CheckFile(const std::string& name) = 0;
  virtual void RequestSave(int32_t /*slot*/, const std::string& /*afterLoadPage*/, int32_t /*afterLoadIndex*/,
                           const std::string& /*caption*/) {}
  virtual void RequestLoad(int32_t /*slot*/) {}
  // Reset command: clear the scene, reset the data tables and the history formats.
  virtual void ResetGame() {}
  // A page that must be rebuilt: the player warns and closes (message: page name + text).
  virtual void PageRefused(const std::string& /*message*/) {}
  // The message history formats and the read marks of the text commands (null: none).
  virtual TNovaHistoryFormatManager* HistoryFormats() { return nullptr; }
  virtual TNovaReadList* ReadMarks() { return nullptr; }
};

// Receives one trace line (Shift-JIS, no line end); the edge converts it for its file.
using TTraceSink = std::function<void(const std::string& line)>;

}  // namespace nova
