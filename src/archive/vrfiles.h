#pragma once
// The virtual file manager: every game file by its relative name ("cg\bg01.bri"), wherever
// it lies: loose in the base folder, in one of the registered archives, or on a removable disk.
//
// Names are Shift-JIS game paths with "\" separators, compared case-insensitively. Folders
// and archive files given here are paths on the user's disk, taken as they are; only the game
// name below a folder is looked up case-insensitively on disk (archive/disk_names.h). With an
// empty base folder no loose files are looked for (never the process's current folder).
//
// Linux choices: removable roots are the mount points of optical media (iso9660 and udf
// entries of /proc/mounts), read at creation and before every disk search; temporary files
// live in a private folder (mode 0700) made under $TMPDIR or /tmp and removed when the
// manager is destroyed.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "archive/bigstreams.h"
#include "archive/install_set.h"
#include "archive/vrfile_collection.h"
#include "base/stream.h"
#include "platform/dialogs.h"

namespace nova {

// One entry extracted to a temporary file.
class TVrLockData {
public:
  TVrLockData(uint32_t id, std::string name, std::filesystem::path path)
      : Id(id), Name(std::move(name)), Path(std::move(path)) {}
  uint32_t Id;
  std::string Name;            // entry name (Shift-JIS)
  std::filesystem::path Path;  // temporary folder / "~nv" + 8 upper-case hex digits + extension
  int32_t RefCount = 1;
};

class TVrLockList {
public:
  TVrLockList() = default;
  ~TVrLockList();  // every path goes to the pending deletions, which are then carried out
  TVrLockList(const TVrLockList&) = delete;
  TVrLockList& operator=(const TVrLockList&) = delete;

  TVrLockData* Find(const std::string& name) const;  // exact bytes
  // A new lock with the next id; the next id then moves past every id in use.
  TVrLockData* Add(const std::string& name, const std::filesystem::path& tempFolder);
  void Remove(TVrLockData* lock);  // a lock whose file could not be made
  int Count() const { return static_cast<int>(items_.size()); }
  TVrLockData* Item(int index) const { return items_[static_cast<size_t>(index)].get(); }

private:
  std::vector<std::unique_ptr<TVrLockData>> items_;
  uint32_t nextId_ = 0;
};

// Process-wide list of files to delete; carried out at every frame start and when the lock
// list goes. Errors are ignored.
void AddPendingDeletion(const std::filesystem::path& localPath);
void ProcessPendingDeletions();

class TVrFileManager {
public:
  // removableRoots false (headless): no optical roots at all.
  explicit TVrFileManager(bool removableRoots = true);
  ~TVrFileManager();
  TVrFileManager(const TVrFileManager&) = delete;
  TVrFileManager& operator=(const TVrFileManager&) = delete;

  bool Exists(const std::string& name);
  void ReadFile(TStream& dest, const std::string& name);  // "%s:ファイルがありません"
  std::unique_ptr<TRangeStream> OpenRange(const std::string& name);  // same error
  // A file on disk holding the game file (an archive entry is extracted to a temporary file);
  // empty when there is no such file.
  std::filesystem::path GetRealPath(const std::string& name);
  TVrFile* FindEntry(const std::string& name);
  void ListFolder(const std::string& folder, std::vector<std::string>& list);
  void SetBaseFolder(const std::filesystem::path& folder) { baseFolder_ = folder; }
  const std::filesystem::path& BaseFolder() const { return baseFolder_; }
  // The in-memory archive that holds the files the scenario stores and reads back.
  int AddMemoryArchive();
  int AddArchiveFile(const std::filesystem::path& fileName);
  // An executable carrying an archive after its end (see TVrFileCollection::OpenAppended).
  int AddAppendedArchive(const std::filesystem::path& fileName);
  int AddResourceArchive(const std::filesystem::path& moduleFile, const std::string& resName,
                         const std::string& resType);
  int AddCollection(std::unique_ptr<TVrFileCollection> collection);
  void RemoveArchive(int index);
  int ArchiveCount() const { return static_cast<int>(archives_.size()); }
  TVrFileCollection* Archive(int index) const;
  bool PromptDisk(int diskNumber);
  bool FindDisk(int diskIndex);
  void ProcessPendingDeletions() { nova::ProcessPendingDeletions(); }

  // Removable roots, read at creation and again before every disk search (a new disc mounts
  // under a new name); none when disabled.
  const std::vector<std::filesystem::path>& RemovableRoots() const { return roots_; }
  void RefreshRemovableRoots();
  // Tests: fixed roots (kept, also across disk searches).
  void SetRemovableRoots(std::vector<std::filesystem::path> roots);
  bool RemovableRootsEnabled() const { return removableEnabled_; }
  const std::filesystem::path& TempFolder() const { return tempFolder_; }
  const TVrLockList& Locks() const { return *locks_; }

  // The boxes of the disk prompt; without dialogs the prompt ends the game at once.
  void SetDialogs(TDialogs* dialogs) { dialogs_ = dialogs; }

  // Set by the project: the disk prompt (one "%d" for the disk number), the quit text and
  // the running project's name that FindDisk compares with install sets.
  void SetDiskPromptTexts(const std::string& prompt, const std::string& quitText);
  const std::string& DiskPrompt() const { return diskPrompt_; }
  const std::string& QuitText() const { return quitText_; }
  void SetProjectName(const std::string& name) { projectName_ = name; }
  const std::string& ProjectName() const { return projectName_; }

private:
  std::vector<std::unique_ptr<TVrFileCollection>> archives_;
  std::filesystem::path baseFolder_;
  std::vector<std::filesystem::path> roots_;
  std::filesystem::path tempFolder_;
  TDialogs* dialogs_ = nullptr;
  std::unique_ptr<TVrLockList> locks_;
  std::string diskPrompt_, quitText_, projectName_;
  bool removableEnabled_;
  bool rootsFixed_ = false;
};

// The process-wide manager, created on first use (with removable roots).
TVrFileManager& FileManager();
// Replaces the process-wide manager by a fresh one (start-up, headless mode, tests).
void ResetFileManager(bool removableRoots);

// The optical-media mount points of /proc/mounts.
std::vector<std::filesystem::path> OpticalMountPoints(const std::filesystem::path& mountsFile = "/proc/mounts");

}  // namespace nova
