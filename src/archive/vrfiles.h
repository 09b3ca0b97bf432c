#pragma once
// The virtual file manager: every game file by its relative name ("cg\bg01.bri"), wherever
// it lies: loose in the base folder, in one of the registered archives, or on a removable disk.
//
// Names are Shift-JIS game paths with "\" separators, compared case-insensitively.
// Local paths: folders and archive file names given here (SetBaseFolder, AddArchiveFile,
// AddResourceArchive) are local paths converted once from UTF-8 with Utf8ToSjis
// ("/home/u/game/" stays the same bytes). The manager converts them back with SjisToUtf8 and
// takes them literally; only the game name below a folder is looked up case-insensitively on
// disk (archive/disk_names.h). A folder may end in "/" or "\"; SetBaseFolder adds "\" when it
// ends in neither; with an empty base folder no loose files are looked for (never the
// process's current folder). Paths handed back (GetRealPath) are local UTF-8 paths.
//
// Linux choices: removable roots are the mount points of optical media (iso9660 and udf
// entries of /proc/mounts) read once at creation; temporary files live in a private folder
// (mode 0700) made under $TMPDIR or /tmp and removed when the manager is destroyed.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/bigstreams.h"
#include "archive/install_set.h"
#include "archive/vrfile_collection.h"
#include "base/stream.h"

namespace nova {

// One entry extracted to a temporary file.
class TVrLockData {
public:
  TVrLockData(uint32_t id, std::string name, std::string path) : Id(id), Name(std::move(name)), Path(std::move(path)) {}
  uint32_t Id;
  std::string Name;  // entry name (Shift-JIS)
  std::string Path;  // temporary folder + "~nv" + 8 upper-case hex digits + extension (UTF-8)
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
  TVrLockData* Add(const std::string& name, const std::string& tempFolder);
  void Remove(TVrLockData* lock);  // a lock whose file could not be made
  int Count() const { return static_cast<int>(items_.size()); }
  TVrLockData* Item(int index) const { return items_[static_cast<size_t>(index)].get(); }

private:
  std::vector<std::unique_ptr<TVrLockData>> items_;
  uint32_t nextId_ = 0;
};

// Process-wide list of files to delete (local paths); carried out at every frame start and
// when the lock list goes. Errors are ignored.
void AddPendingDeletion(const std::string& localPath);
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
  std::string GetRealPath(const std::string& name);  // a local path (UTF-8) or the name itself
  TVrFile* FindEntry(const std::string& name);
  void ListFolder(const std::string& folder, std::vector<std::string>& list);
  void SetBaseFolder(const std::string& folder);
  const std::string& BaseFolder() const { return baseFolder_; }
  int AddArchiveFile(const std::string& fileName);
  int AddResourceArchive(const std::string& moduleFile, const std::string& resName, const std::string& resType);
  void RemoveArchive(int index);
  int ArchiveCount() const { return static_cast<int>(archives_.size()); }
  TVrFileCollection* Archive(int index) const;
  bool PromptDisk(int diskNumber);
  bool FindDisk(int diskIndex);
  void ProcessPendingDeletions() { nova::ProcessPendingDeletions(); }

  // Removable roots (Shift-JIS local paths ending in "/"), read at creation and again
  // before every disk search (a new disc mounts under a new name); none when disabled.
  const std::vector<std::string>& RemovableRoots() const { return roots_; }
  void RefreshRemovableRoots();
  // Tests: fixed roots (kept, also across disk searches).
  void SetRemovableRoots(std::vector<std::string> roots);
  bool RemovableRootsEnabled() const { return removableEnabled_; }
  const std::string& TempFolder() const { return tempFolder_; }  // local, ending in "/"
  const TVrLockList& Locks() const { return *locks_; }

  // Set by the project: the disk prompt (one "%d" for the disk number), the quit text and
  // the running project's name that FindDisk compares with install sets.
  void SetDiskPromptTexts(const std::string& prompt, const std::string& quitText);
  const std::string& DiskPrompt() const { return diskPrompt_; }
  const std::string& QuitText() const { return quitText_; }
  void SetProjectName(const std::string& name) { projectName_ = name; }
  const std::string& ProjectName() const { return projectName_; }

private:
  std::vector<std::unique_ptr<TVrFileCollection>> archives_;
  std::string baseFolder_;
  std::vector<std::string> roots_;
  std::string tempFolder_;
  std::unique_ptr<TVrLockList> locks_;
  std::string diskPrompt_, quitText_, projectName_;
  bool removableEnabled_;
  bool rootsFixed_ = false;
};

// The process-wide manager, created on first use (with removable roots).
TVrFileManager& FileManager();
// Replaces the process-wide manager by a fresh one (start-up, headless mode, tests).
void ResetFileManager(bool removableRoots);

// The optical-media mount points of /proc/mounts (Shift-JIS local paths ending in "/").
std::vector<std::string> OpticalMountPoints(const std::string& mountsFile = "/proc/mounts");

}  // namespace nova
