#pragma once
// Saving and loading games and the status data: the entries of "save.dat" in their section
// order, every version branch of loading, the after-load page, and the box that refuses a save
// that cannot be used.
//
// Saved game ("GAMESAVEDATA<slot>"): int32 format version (138), caption, after-load page name
// (strings), int32 after-load index, then the scene, the history formats, the interpreter, the
// variables and the data tables. Versions 107 to 138 are read: the history in its old form
// before 135, a read-mark block (dropped) up to 100, the data tables only above 122.
// Status data ("STATUSSAVEDATA"): "Status103", the status variables, the read marks, the dither
// flag (above 100) and the status tables (above 102); without the header it is version 0.
#include <cstdint>
#include <string>

#include "objects/scene.h"
#include "params/param_collection.h"
#include "platform/dialogs.h"
#include "saves/save_sections.h"
#include "scenario/project.h"

namespace nova {

inline constexpr int32_t kGameSaveVersion = 138;
inline constexpr int32_t kOldestGameSaveVersion = 107;
inline constexpr int32_t kStatusVersion = 103;

// "このセーブデータは使用できません\r\n終了してください" (Shift-JIS).
const std::string& UnusableSaveText();

class TGameSaves : public TGameStateStore {
public:
  TGameSaves(TParamCollection& store, TNovaBaseList& scene, TDialogs& dialogs);

  // The project whose interpreter, captions and "save.dat" these are; set before it is created.
  void SetProject(TProject* project) { project_ = project; }
  // Filled by the game for the owners that exist (see save_sections.h).
  TSaveSections Sections;

  void LoadGame(int32_t slot) override;
  void SaveGame(const TPendingSave& request) override;
  void WriteStatus() override;
  void RestoreStatusRest(TStream& entry, int32_t statusVersion) override;

  // The bytes of a saved game of the running game, and the other way: the running game becomes
  // the saved one (raises ENovaError when the data is damaged or too old or new; the game is
  // then half restored).
  std::string SavedGameBytes(const TPendingSave& request);
  void ApplySavedGame(TStream& entry);
  // The status entry of the running game.
  std::string StatusBytes();
  // Stores a file of the scenario ("save:" name) in "save.dat"; raises ENovaError when the
  // file cannot be written.
  void StoreFile(const std::string& name, const std::string& bytes);

  // Why the last save or load failed (Shift-JIS; empty after a success).
  const std::string& LastError() const { return lastError_; }

private:
  void Refuse(const std::string& why);

  TParamCollection& store_;
  TNovaBaseList& scene_;
  TDialogs& dialogs_;
  TProject* project_ = nullptr;
  std::string lastError_;
  // Status sections without an owner, kept as read so that writing them back loses nothing.
  std::string keptReadMarks_, keptTables_;
  bool keptDither_ = false;
};

}  // namespace nova
