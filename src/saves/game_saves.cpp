#include "saves/game_saves.h"

#include <filesystem>

#include "base/error.h"
#include "base/process.h"
#include "base/sjis_text.h"
#include "saves/save_file.h"
#include "saves/section_forms.h"
#include "scenario/call_man.h"
#include "scenario/messages.h"
#include "scenario/save_entries.h"

namespace nova {

NOVA_SJIS_TEXT(UnusableSaveText, "このセーブデータは使用できません\r\n終了してください")

namespace {

// The bytes from `from` to the stream's position.
std::string BytesSince(TStream& s, int64_t from) {
  const int64_t to = s.Position();
  s.SetPosition(from);
  std::string bytes = s.ReadBytes(to - from);
  s.SetPosition(to);
  return bytes;
}

}  // namespace

TGameSaves::TGameSaves(TParamCollection& store, TNovaBaseList& scene, TDialogs& dialogs)
    : store_(store), scene_(scene), dialogs_(dialogs) {}

// ---- saving ----

std::string TGameSaves::SavedGameBytes(const TPendingSave& request) {
  TCallMan* cm = project_ ? project_->CallMan() : nullptr;
  if (!cm) RaiseError("save: the game has not started");
  TKtMemoryStream s;
  s.WriteInt32(kGameSaveVersion);
  s.WriteString(request.Caption);
  s.WriteString(request.AfterLoadPage);
  s.WriteInt32(request.AfterLoadIndex);
  scene_.SaveScene(s);
  if (Sections.SaveHistory) Sections.SaveHistory(s);
  else WriteEmptyHistory(s);
  cm->SaveState(s);
  store_.SaveVars(s);
  if (Sections.SaveTables) Sections.SaveTables(s, false);
  else WriteEmptyTables(s, false);
  return s.Data();
}

std::string TGameSaves::StatusBytes() {
  TKtMemoryStream s;
  s.WriteBytes(Format("Status%.3d", kStatusVersion));
  store_.SaveStatusVars(s);
  if (Sections.SaveReadMarks) Sections.SaveReadMarks(s);
  else if (!keptReadMarks_.empty()) s.WriteBytes(keptReadMarks_);
  else WriteEmptyReadMarks(s);
  s.WriteByte(Sections.GetDither ? (Sections.GetDither() ? 1 : 0) : (keptDither_ ? 1 : 0));
  if (Sections.SaveTables) Sections.SaveTables(s, true);
  else if (!keptTables_.empty()) s.WriteBytes(keptTables_);
  else WriteEmptyTables(s, true);
  return s.Data();
}

void TGameSaves::SaveGame(const TPendingSave& request) {
  if (request.Caption.empty() || !project_ || !project_->CallMan()) return;
  lastError_.clear();
  try {
    std::string game = SavedGameBytes(request);
    TSaveFile file(project_->SaveFileName());
    file.Open();
    if (project_->SaveFileDamaged()) file.MarkDamaged("save.dat could not be read whole at start-up");
    file.Put(GameSaveEntryName(request.Slot), std::move(game));
    // The status data goes into the same write (with the write-status flag clear the status
    // entry already there stays).
    if (project_->File().WriteStatus) file.Put(kStatusEntryName, StatusBytes());
    file.Commit();
    project_->SetSaveFileDamaged(false);
    project_->SetSaveCaption(request.Slot, request.Caption);
  } catch (const std::exception& e) {
    // The file on the disk is as it was; the user learns that the game was not saved.
    lastError_ = e.what();
    dialogs_.MessageBox(lastError_, msg::Warning(), MsgButtons::Ok, MsgIcon::Warning);
  }
}

void TGameSaves::WriteStatus() {
  // A game that never started has changed nothing worth writing.
  if (!project_ || !project_->Started() || !project_->File().WriteStatus) return;
  const std::filesystem::path path = project_->SaveFileName();
  std::error_code ec;
  if (!std::filesystem::is_directory(path.parent_path().empty() ? "." : path.parent_path(), ec)) return;
  try {
    TSaveFile file(path);
    file.Open();
    if (project_->SaveFileDamaged()) file.MarkDamaged("save.dat could not be read whole");
    file.Put(kStatusEntryName, StatusBytes());
    file.Commit();
    project_->SetSaveFileDamaged(false);
  } catch (const std::exception& e) {
    lastError_ = e.what();  // status write errors are ignored
  }
}

void TGameSaves::StoreFile(const std::string& name, const std::string& bytes) {
  if (!project_) return;
  TSaveFile file(project_->SaveFileName());
  file.Open();
  if (project_->SaveFileDamaged()) file.MarkDamaged("save.dat could not be read whole");
  file.Put(name, bytes);
  file.Commit();
  project_->SetSaveFileDamaged(false);
}

// ---- loading ----

void TGameSaves::Refuse(const std::string& why) {
  lastError_ = why;
  if (project_) project_->SetSaveFileDamaged(true);
  SetQuitting(true);
  dialogs_.MessageBox(UnusableSaveText(), msg::Warning(), MsgButtons::Ok, MsgIcon::Warning);
}

void TGameSaves::LoadGame(int32_t slot) {
  if (!project_ || !project_->CallMan()) return;
  lastError_.clear();
  TSaveFile file(project_->SaveFileName());
  file.Open();
  if (!file.Exists()) return;
  // A file whose directory cannot be read may well hold the slot: it is refused, not ignored.
  if (file.Damaged()) return Refuse(file.DamageReason());
  TKtMemoryStream entry;
  try {
    if (!file.Read(GameSaveEntryName(slot), entry)) return;
    ApplySavedGame(entry);
  } catch (const std::exception& e) {
    Refuse(e.what());
  }
}

void TGameSaves::ApplySavedGame(TStream& s) {
  TCallMan* cm = project_ ? project_->CallMan() : nullptr;
  if (!cm) RaiseError("load: the game has not started");
  s.ClearReadPastEnd();
  const int32_t version = s.ReadInt32();
  if (version < kOldestGameSaveVersion) RaiseError(Format("saved game: version %d is too old", version));
  if (version > kGameSaveVersion) RaiseError(Format("saved game: version %d is newer than this player reads", version));
  s.ReadString();  // caption
  const std::string afterLoadPage = s.ReadString();
  const int32_t afterLoadIndex = s.ReadInt32();
  CheckWhole(s, "saved game");

  scene_.LoadScene(s, version);
  if (Sections.LoadHistory) Sections.LoadHistory(s, version);
  else ScanHistory(s, version);
  CheckWhole(s, "history");
  // Read marks once travelled with the game; they are read and dropped.
  if (version <= 100) ScanReadMarks(s, version);
  cm->LoadState(s, version);
  CheckWhole(s, "interpreter");
  // The after-load page runs first and returns to the restored position.
  cm->EnterAfterLoadPage(afterLoadPage, afterLoadIndex);
  store_.LoadVars(s, version);
  CheckWhole(s, "variables");
  if (store_.LoadedHistorySettings && Sections.ApplyOldHistorySettings)
    Sections.ApplyOldHistorySettings(*store_.LoadedHistorySettings);
  if (version > 122) {
    if (Sections.LoadTables) Sections.LoadTables(s, false);
    else ScanTables(s, false);
    CheckWhole(s, "data tables");
  }
}

void TGameSaves::RestoreStatusRest(TStream& s, int32_t version) {
  int64_t from = s.Position();
  if (Sections.LoadReadMarks) {
    Sections.LoadReadMarks(s, version);
  } else {
    ScanReadMarks(s, version);
    keptReadMarks_ = BytesSince(s, from);
  }
  CheckWhole(s, "read marks");
  if (version > 100) {
    const bool dither = s.ReadByte() != 0;
    if (Sections.SetDither) Sections.SetDither(dither);
    else keptDither_ = dither;
  }
  if (version > 102) {
    from = s.Position();
    if (Sections.LoadTables) {
      Sections.LoadTables(s, true);
    } else {
      ScanTables(s, true);
      keptTables_ = BytesSince(s, from);
    }
  }
  CheckWhole(s, "status data");
}

}  // namespace nova
