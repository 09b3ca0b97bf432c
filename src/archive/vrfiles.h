#pragma once
// The virtual file manager: every game file by its relative name ("cg\bg01.bri"), wherever
// it lies: loose in the base folder, in one of the registered archives, or on a removable disk.
// Names are Shift-JIS game paths; folders given here are Shift-JIS too and name real folders
// on disk once converted (see the disk-name lookup in platform/).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"

namespace nova {

class TVrFile;
class TVrFileCollection;

class TVrFileManager {
public:
  TVrFileManager();
  ~TVrFileManager();

  bool Exists(const std::string& name);
  void ReadFile(TStream& dest, const std::string& name);  // "%s:ファイルがありません"
  std::unique_ptr<TStream> OpenRange(const std::string& name);
  std::string GetRealPath(const std::string& name);        // a local path (UTF-8) or the name itself
  TVrFile* FindEntry(const std::string& name);
  void ListFolder(const std::string& folder, std::vector<std::string>& list);
  void SetBaseFolder(const std::string& folder);
  const std::string& BaseFolder() const;
  int AddArchiveFile(const std::string& fileName);
  int AddResourceArchive(const std::string& moduleFile, const std::string& resName, const std::string& resType);
  void RemoveArchive(int index);
  int ArchiveCount() const;
  TVrFileCollection* Archive(int index) const;
  bool PromptDisk(int diskNumber);
  bool FindDisk(int diskIndex);
  void ProcessPendingDeletions();
  // ... (completed by the implementation)
};

}  // namespace nova
