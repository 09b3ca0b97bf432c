#include "scenario/project.h"

#include <filesystem>

#include "archive/bigstreams.h"
#include "archive/disk_names.h"
#include "archive/install_set.h"
#include "archive/vrfile_collection.h"
#include "archive/vrfiles.h"
#include "base/encoding.h"
#include "base/error.h"
#include "base/process.h"
#include "base/sjis.h"
#include "params/param_collection.h"
#include "params/sysfunc_call.h"
#include "params/system_vars.h"
#include "components/text/history.h"
#include "scenario/file_functions.h"
#include "scenario/messages.h"
#include "scenario/save_entries.h"

namespace nova {

namespace {

void SetStatusValue(TCustomParam& p, const TStatusVarDef& def) {
  switch (def.Type) {
    case 1: p.SetAsInt(def.IntValue); break;
    case 2: p.SetAsFloat(def.FloatValue); break;
    case 3: p.SetAsBool(def.FlagValue != 0); break;
    case 4: p.SetAsStr(def.StrValue); break;
    default: break;
  }
}

}  // namespace

TProject::TProject(TParamCollection& store, TSysFuncMan& funcs, TNovaBaseList& scene, TDialogs& dialogs,
                   TProjectOptions options)
    : store_(store), funcs_(funcs), scene_(scene), dialogs_(dialogs), options_(std::move(options)) {
  name_ = msg::Information();
  file_.Name = name_;
  file_.DiskPrompt = msg::DiskPrompt();
  file_.QuitText = msg::QuitText();
  if (options_.SaveFolder.empty()) options_.SaveFolder = options_.ExecutableFolder;
  RegisterFunctions();
}

TProject::~TProject() {
  // A save asked for in the frame that ended the game (save and quit from an event handler:
  // the frame stops before the requests) is still made, before the exit page changes things.
  if (options_.StateStore && pendingSave_.Slot >= 0) {
    try {
      options_.StateStore->SaveGame(pendingSave_);
    } catch (const std::exception&) {
      // The state store tells the user itself.
    }
  }
  if (callMan_ && !file_.ExitPage.empty()) {
    try {
      callMan_->Start(file_.ExitPage);
      SetQuitting(false);
      callMan_->Run();
    } catch (const std::exception& e) {
      callMan_->TraceError(file_.ExitPage, e.what());
    }
    SetQuitting(true);
  }
  if (options_.StateStore) {
    try {
      options_.StateStore->WriteStatus();
    } catch (const std::exception&) {
      // Status write errors are ignored.
    }
  }
  callMan_.reset();
  for (int v : {SV_SCRWIDTH, SV_SCRHEIGHT, SV_TITLE}) funcs_.UnregisterVariable(v);
  UnregisterFileFunctions(funcs_);
  for (const char* f : {"GetSaveCaption", "ListSaveCaption"}) funcs_.Register(FindSysFunc(f), nullptr);
}

void TProject::RegisterFunctions() {
  funcs_.RegisterVariable(SV_SCRWIDTH, {.GetInt = [this] { return ScreenWidth(); }});
  funcs_.RegisterVariable(SV_SCRHEIGHT, {.GetInt = [this] { return ScreenHeight(); }});
  funcs_.RegisterVariable(SV_TITLE, {.GetStr = [this](int) { return Name(); }});
  RegisterFileFunctions(funcs_, FileManager(), [this](const std::string& name) { return CheckFile(name); });
  funcs_.Register(FindSysFunc("GetSaveCaption"), [this](TSysFuncCall& c) { c.ResultStr(GetSaveCaption(c.Int(0))); });
  funcs_.Register(FindSysFunc("ListSaveCaption"), [this](TSysFuncCall& c) {
    auto count = static_cast<int32_t>(saveCaptions_.size());
    // Without saves the arrays stay as they are: an array of no elements cannot be made, and
    // failing there would leave the scenario without the count.
    if (count == 0) return c.ResultInt(0);
    if (c.Has(0)) {
      TCustomParam& v = c.OutWhole(0);
      v.SetDims({count});
      for (int32_t i = 0; i < count; ++i) v.SetStrAt(i, saveCaptions_[static_cast<size_t>(i)].first);
    }
    if (c.Has(1)) {
      TCustomParam& v = c.OutWhole(1);
      v.SetDims({count});
      for (int32_t i = 0; i < count; ++i) v.SetIntAt(i, saveCaptions_[static_cast<size_t>(i)].second);
    }
    c.ResultInt(count);
  });
}

void TProject::ResetGame() {
  if (History) History->Reset();
}

void TProject::SetTraceSink(TTraceSink sink) {
  trace_ = std::move(sink);
  if (callMan_) callMan_->SetTraceSink(trace_);
}

std::filesystem::path TProject::SaveFileName() const {
  // An existing file of another letter case (copied from Windows) is the one to use.
  if (auto found = FindGameFile(options_.SaveFolder, "save.dat")) return *found;
  return options_.SaveFolder / "save.dat";
}

std::string TProject::GetSaveCaption(int32_t slot) const {
  for (const auto& [caption, s] : saveCaptions_)
    if (s == slot) return caption;
  return std::string();
}

void TProject::SetSaveCaption(int32_t slot, const std::string& caption) {
  for (auto& entry : saveCaptions_)
    if (entry.second == slot) {
      entry.first = caption;
      return;
    }
  saveCaptions_.emplace_back(caption, slot);
}

void TProject::RequestSave(int32_t slot, const std::string& afterLoadPage, int32_t afterLoadIndex,
                           const std::string& caption) {
  pendingSave_ = TPendingSave{slot, afterLoadPage, afterLoadIndex, caption};
}

int32_t TProject::RestoreStatus(TStream& entry) {
  entry.ClearReadPastEnd();
  int64_t start = entry.Position();
  std::string header = entry.ReadBytes(9);
  int32_t version = 0;
  if (header.size() == 9 && header.compare(0, 6, "Status") == 0) {
    for (size_t i = 6; i < 9; ++i) {
      if (header[i] < '0' || header[i] > '9') {
        version = 0;
        break;
      }
      version = version * 10 + (header[i] - '0');
    }
  } else {
    entry.SetPosition(start);
  }
  // Variables of a damaged block are dropped again: the project's initial values take over.
  const int before = store_.Count();
  try {
    store_.LoadStatusVars(entry, version);
    if (entry.ReadPastEnd()) RaiseError("status data: the status variables end early");
  } catch (...) {
    for (int i = store_.Count() - 1; i >= before; --i) store_.FreeItem(store_.ParamItem(i));
    throw;
  }
  if (options_.StateStore) options_.StateStore->RestoreStatusRest(entry, version);
  return version;
}

void TProject::ReadSaveFile() {
  const std::filesystem::path path = SaveFileName();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return;
  // Whatever cannot be read is left out and the game starts all the same; the file is marked
  // so that it is kept aside before it is next replaced.
  TVrFileCollection save;
  try {
    // A plain stream: no side directory and no loose files beside "save.dat" take part.
    save.OpenStream(std::make_unique<TKtBigFileStream>(path, TKtBigFileStream::OpenRead), path);
  } catch (const std::exception&) {
    saveFileDamaged_ = true;
    return;
  }
  auto read = [&](TVrFile& entry, TKtMemoryStream& data) {
    try {
      save.ReadEntryData(entry, data);
      data.SetPosition(0);
      return true;
    } catch (const std::exception&) {
      saveFileDamaged_ = true;
      return false;
    }
  };
  // Captions of the saved games.
  for (int i = 0; i < save.EntryCount(); ++i) {
    TVrFile& entry = *save.Entry(i);
    int32_t slot = SlotOfEntryName(entry.Name());
    TKtMemoryStream data;
    if (slot < 0 || !read(entry, data)) continue;
    data.ReadInt32();  // save format version
    std::string caption = data.ReadString();
    if (data.ReadPastEnd()) {
      saveFileDamaged_ = true;
      continue;
    }
    SetSaveCaption(slot, caption);
  }
  if (TVrFile* status = save.FindFile(kStatusEntryName)) {
    TKtMemoryStream data;
    if (read(*status, data)) {
      try {
        RestoreStatus(data);
      } catch (const std::exception&) {
        saveFileDamaged_ = true;
      }
    }
  }
  // Files the scenario stored become in-memory files of the first archive.
  TVrFileManager& fm = FileManager();
  if (fm.ArchiveCount() == 0) fm.AddMemoryArchive();
  TVrFileCollection* memory = fm.Archive(0);
  for (int i = 0; i < save.EntryCount(); ++i) {
    TVrFile& entry = *save.Entry(i);
    const std::string name = entry.Name();
    if (!IsScenarioFileName(name)) continue;
    TVrFile* file = memory->AddMemoryFile(name);
    if (!file->Memory) file->Memory = std::make_unique<TKtMemoryStream>();
    if (!read(entry, *file->Memory)) memory->RemoveFile(name);
  }
}

bool TProject::DataDiskSearch() {
  TVrFileManager& fm = FileManager();
  const std::filesystem::path& exeFolder = options_.ExecutableFolder;
  if (FindGameFile(exeFolder, "install.dat") && fm.BaseFolder().empty()) fm.SetBaseFolder(exeFolder);
  if (!fm.Exists("install.dat")) {
    dialogs_.MessageBox(msg::Reinstall(), msg::Information(), MsgButtons::Ok, MsgIcon::Information);
    Fail(msg::Reinstall(), true);
    return false;
  }
  TNovaInstallSet installed;
  {
    TKtMemoryStream data;
    fm.ReadFile(data, "install.dat");
    installed.Load(data);
  }
  if (auto gameDat = FindGameFile(exeFolder, "game.dat")) fm.AddArchiveFile(*gameDat);
  // With all its data installed the game needs no disc: the file manager always holds at least
  // its in-memory archive (and an executable's own archive), so no "game.dat" is required.
  if (installed.DataComplete) return true;
  for (;;) {
    // Linux mounts each disc under a folder of its own: look at the mounts again every time.
    fm.RefreshRemovableRoots();
    for (const std::filesystem::path& root : fm.RemovableRoots()) {
      auto gameDat = FindGameFile(root, "game.dat");
      auto installDat = FindGameFile(root, "install.dat");
      if (!gameDat || !installDat) continue;
      TNovaInstallSet disc;
      try {
        disc.LoadFromFile(*installDat);
      } catch (const std::exception&) {
        continue;
      }
      if (disc.ProjectName != installed.ProjectName) continue;
      fm.AddArchiveFile(*gameDat);
      return true;
    }
    // Without removable media (headless) asking again can never succeed: the answer OK
    // would repeat the scan without end, so only the quit question follows.
    if (dialogs_.MessageBox(msg::InsertDisc(), msg::Information(), MsgButtons::OkCancel, MsgIcon::Information) ==
            MsgResult::Ok &&
        fm.RemovableRootsEnabled())
      continue;
    if (dialogs_.MessageBox(file_.QuitText, name_, MsgButtons::OkCancel, MsgIcon::Information) == MsgResult::Ok) {
      Fail(msg::InsertDisc(), true);
      return false;
    }
  }
}

bool TProject::ReadProject() {
  TVrFileManager& fm = FileManager();
  TKtMemoryStream data;
  try {
    fm.ReadFile(data, "nova.npb");
  } catch (const std::exception& e) {
    // No project file: start-up stops without a box; the player tells why on its terminal.
    Fail(e.what());
    return false;
  }
  if (data.Size() == 0) {
    dialogs_.MessageBox(msg::NoProject(), msg::Warning(), MsgButtons::Ok, MsgIcon::Warning);
    Fail(msg::NoProject());
    return false;
  }
  TProjectFile file;
  file.DiskPrompt = file_.DiskPrompt;
  file.QuitText = file_.QuitText;
  if (!ReadProjectFile(data, file)) {
    Fail("nova.npb: " + Format("version %d is newer than this player reads", file.Version));
    return false;
  }
  // A size no display can show would only end in a failed allocation of gigabytes.
  if (file.ScreenWidth < 1 || file.ScreenHeight < 1 || file.ScreenWidth > kMaxScreenSide ||
      file.ScreenHeight > kMaxScreenSide) {
    RaiseError(Format("nova.npb: the screen size %d x %d is not one a display can show (1 to %d pixels a side)",
                      file.ScreenWidth, file.ScreenHeight, kMaxScreenSide));
  }
  file_ = std::move(file);
  name_ = file_.Name;
  SetApplicationTitle(name_);
  Transition30Param1 = file_.ScreenWidth / 2;
  Transition30Param2 = file_.ScreenHeight / 2;
  for (const TStatusVarDef& def : file_.StatusVars) {
    if (def.Type < 1 || def.Type > 4 || store_.FindParam(def.Name)) continue;
    TParamCollectionItem* item = store_.AddParam(def.Type);
    try {
      store_.SetParamName(item, def.Name);
    } catch (...) {
      store_.FreeItem(item);
      throw;
    }
    item->IsStatus = 1;
    SetStatusValue(*item->Param, def);
  }
  fm.SetDiskPromptTexts(file_.DiskPrompt, file_.QuitText);
  fm.SetProjectName(name_);
  return true;
}

void TProject::Fail(const std::string& why, bool missingData) {
  FailureReason = why;
  MissingGameData = missingData;
  SetQuitting(true);
}

void TProject::Create() {
  SetQuitting(true);
  ReadSaveFile();
  if (!options_.HadFolderParameters && !DataDiskSearch()) return;
  if (!ReadProject()) return;
  SetQuitting(false);
  TVrFileManager& fm = FileManager();
  if (fm.Exists("/original_nova.npb")) {
    TKtMemoryStream data;
    fm.ReadFile(data, "/original_nova.npb");
    TFolderDiskList list;
    if (ReadProjectFolderDisks(data, list)) file_.FolderDisks = std::move(list);
  }
  callMan_ = std::make_unique<TCallMan>(store_, funcs_, scene_, *this);
  callMan_->SetTraceSink(trace_);
  if (fm.Exists(file_.StartPage)) {
    callMan_->Start(file_.StartPage);
    started_ = true;
  } else {
    dialogs_.MessageBox(msg::NoStartPage(), msg::Warning(), MsgButtons::Ok, MsgIcon::Warning);
    Fail(msg::NoStartPage());
  }
}

void TProject::RunFrame() {
  if (!callMan_) return;
  try {
    callMan_->Run();
  } catch (const std::exception& e) {
    // The pass ends; the next frame goes on from where the interpreter stands.
    callMan_->TraceError("Run", e.what());
  }
}

bool TProject::ServiceRequests() {
  bool loaded = false;
  TGameStateStore* store = options_.StateStore;
  if (pendingLoad_ >= 0) {
    int32_t slot = pendingLoad_;
    pendingLoad_ = -1;
    if (store) {
      store->LoadGame(slot);
      loaded = true;
    }
  }
  if (pendingSave_.Slot >= 0) {
    TPendingSave save = std::move(pendingSave_);
    pendingSave_ = TPendingSave{};
    // A load that failed left a half-restored game behind: that is nothing to save.
    if (store && !(loaded && Quitting())) store->SaveGame(save);
  }
  return loaded;
}

void TProject::PageRefused(const std::string& message) {
  FailureReason = message;
  SetQuitting(true);
  dialogs_.MessageBox(message, msg::Warning(), MsgButtons::Ok, MsgIcon::Warning);
  PostCloseRequest();
}

int TProject::FolderDisk(const std::string& name) const {
  std::string cur = UpperCaseAnsi(name);
  while (!cur.empty()) {
    const std::string key = IncludeTrailingBackslash(cur);
    for (const auto& [folder, disk] : file_.FolderDisks)
      if (SameText(IncludeTrailingBackslash(folder), key)) return disk;
    size_t cut = LastDelimiter(cur, "\\");
    cur.resize(cut == std::string::npos ? 0 : cut);
  }
  return 0;
}

bool TProject::CheckFile(const std::string& name) {
  if (name.empty()) return false;
  TVrFileManager& fm = FileManager();
  if (fm.Exists(name)) return true;
  int disk = FolderDisk(name);
  if (disk <= 0) return false;
  // Media files are played from wherever they are; any other file (a name without an
  // extension too) asks for its disc.
  const std::string ext = LowerCaseAnsi(ExtractFileExt(name));
  if (!ext.empty() && LowerCaseAnsi(file_.MediaExtensions + ".").find(ext + ".") != std::string::npos) return false;
  return fm.PromptDisk(disk);
}

}  // namespace nova
