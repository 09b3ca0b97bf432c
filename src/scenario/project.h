#pragma once
// The project: what the compiled project file says about the game as a whole, the location
// of the game data, the status data restored from "save.dat", the interpreter, and the
// pending save and load requests. Created once at start-up, freed when the window closes
// (which runs the exit page and writes the status data back).
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/stream.h"
#include "objects/scene.h"
#include "platform/dialogs.h"
#include "scenario/call_man.h"
#include "scenario/project_file.h"
#include "scenario/scenario_host.h"

namespace nova {

class TParamCollection;
class TSysFuncMan;

struct TPendingSave {
  int32_t Slot = -1;
  std::string AfterLoadPage;
  int32_t AfterLoadIndex = 0;
  std::string Caption;
};

// Where saved games and the rest of the status data go: the game's save and load code.
class TGameStateStore {
public:
  virtual ~TGameStateStore() = default;
  // A failed load sets the quitting flag (after telling the user).
  virtual void LoadGame(int32_t slot) = 0;
  virtual void SaveGame(const TPendingSave& request) = 0;
  // The status data when the project goes.
  virtual void WriteStatus() = 0;
  // The rest of a status entry after the status variables (read marks, dither flag, tables);
  // raises ENovaError when it is damaged.
  virtual void RestoreStatusRest(TStream& entry, int32_t statusVersion) = 0;
};

struct TProjectOptions {
  // The folder the player runs the game from, as the original ran from its executable's
  // folder: where "install.dat" and "game.dat" are looked for by the data-disk search and
  // where "save.dat" lies unless SaveFolder says otherwise.
  std::filesystem::path ExecutableFolder;
  // The folder of "save.dat": the first game folder, the executable's folder, or the player's
  // --save-dir. Empty: ExecutableFolder.
  std::filesystem::path SaveFolder;
  // The player was given game folders (the data-disk search is skipped).
  bool HadFolderParameters = false;
  // Saving, loading and the status data beyond the status variables; null: none.
  TGameStateStore* StateStore = nullptr;
};

// It binds the project's system variables (@ScrWidth, @ScrHeight, @Title) and functions
// (FileExists, LoadTextFile, GetSaveCaption, ListSaveCaption) for its lifetime.
class TProject : public TScenarioHost {
public:
  TProject(TParamCollection& store, TSysFuncMan& funcs, TNovaBaseList& scene, TDialogs& dialogs,
           TProjectOptions options);
  ~TProject() override;  // runs the exit page, then writes the status data
  TProject(const TProject&) = delete;
  TProject& operator=(const TProject&) = delete;

  // The start-up sequence. Failures leave the quitting flag set (the caller checks it);
  // errors of the file manager and the store pass through.
  void Create();

  void RunFrame();         // one interpreter pass
  bool ServiceRequests();  // a pending load (true when one ran), then a pending save

  bool CheckFile(const std::string& name) override;
  int FolderDisk(const std::string& name) const;  // 0 when no folder of the list holds it
  void RequestSave(int32_t slot, const std::string& afterLoadPage, int32_t afterLoadIndex,
                   const std::string& caption) override;
  void RequestLoad(int32_t slot) override { pendingLoad_ = slot; }
  void ResetGame() override;
  TNovaHistoryFormatManager* HistoryFormats() override { return History; }
  TNovaReadList* ReadMarks() override { return Marks; }
  void PageRefused(const std::string& message) override;

  std::string GetSaveCaption(int32_t slot) const;
  void SetSaveCaption(int32_t slot, const std::string& caption);
  const std::vector<std::pair<std::string, int32_t>>& SaveCaptions() const { return saveCaptions_; }
  std::filesystem::path SaveFileName() const;  // "save.dat"

  // Reads a status data entry: the "Status%.3d" header and the status variables; the rest of
  // the entry (read marks, dither flag, data tables) goes to the state store. Returns the
  // status version (0 without a header). Raises ENovaError when the entry is damaged.
  int32_t RestoreStatus(TStream& entry);
  // Something of "save.dat" could not be read at start-up or at a load: the file must not be
  // replaced before a copy of it is kept (the state store does that, then clears the mark).
  bool SaveFileDamaged() const { return saveFileDamaged_; }
  void SetSaveFileDamaged(bool on) { saveFileDamaged_ = on; }

  const std::string& Name() const { return name_; }
  int32_t ScreenWidth() const { return file_.ScreenWidth; }
  int32_t ScreenHeight() const { return file_.ScreenHeight; }
  const TProjectFile& File() const { return file_; }
  const TFolderDiskList& FolderDisks() const { return file_.FolderDisks; }
  int32_t PendingLoad() const { return pendingLoad_; }
  const TPendingSave& PendingSave() const { return pendingSave_; }
  // Default parameters 1 and 2 of screen transition kind 30 (half the screen size).
  int32_t Transition30Param1 = 0, Transition30Param2 = 0;

  TCallMan* CallMan() const { return callMan_.get(); }
  // The interpreter was started at the start page (the game ran).
  bool Started() const { return started_; }
  // The game's message history formats and read marks, for the text commands.
  TNovaHistoryFormatManager* History = nullptr;
  TNovaReadList* Marks = nullptr;
  // Why the game could not start or had to stop (Shift-JIS), also where the player showed a
  // box or none (a missing or too new "nova.npb"); empty while the game runs normally.
  std::string FailureReason;
  // The failure is that the game's data is not there ("install.dat" or the disc).
  bool MissingGameData = false;
  TParamCollection& Store() { return store_; }
  void SetTraceSink(TTraceSink sink);

private:
  void ReadSaveFile();
  bool DataDiskSearch();
  bool ReadProject();
  void Fail(const std::string& why, bool missingData = false);
  void RegisterFunctions();

  TParamCollection& store_;
  TSysFuncMan& funcs_;
  TNovaBaseList& scene_;
  TDialogs& dialogs_;
  TProjectOptions options_;
  TProjectFile file_;
  std::string name_;
  std::unique_ptr<TCallMan> callMan_;
  TTraceSink trace_;
  int32_t pendingLoad_ = -1;
  TPendingSave pendingSave_;
  std::vector<std::pair<std::string, int32_t>> saveCaptions_;
  bool saveFileDamaged_ = false;
  bool started_ = false;
};

}  // namespace nova
