#pragma once
// Game names ("cg\bg01.bri", Shift-JIS) found on disk. A folder handed to the file manager is
// a local path held as Shift-JIS (Utf8ToSjis of the UTF-8 path, "/home/u/game/"); the game
// name below it is looked up component by component, case-insensitively, through a cached
// listing of each folder. Components are compared after conversion to UTF-8 with ASCII letters
// folded and the few characters that CP932 and plain Shift_JIS tables map differently
// (wave dash, double bar, minus, cent, pound, not sign) brought to one form, so a game folder
// copied from Windows or unpacked by another tool still works. A name with a ".." component,
// an absolute name or one with a drive letter is never resolved.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nova {

// The local (UTF-8) form of a folder or file path held as Shift-JIS; a trailing "\" becomes "/".
std::string LocalPathOf(const std::string& sjisPath);
// The Shift-JIS form of a local path (inverse of LocalPathOf for paths CP932 can hold).
std::string SjisPathOf(const std::string& localPath);
// True when the game name may be opened: no "..", not absolute, no drive letter.
bool IsSafeGameName(const std::string& name);
// Normalised comparison key of one UTF-8 name component (ASCII folded, CP932 variants unified).
std::string DiskNameKey(const std::string& utf8Component);

struct TDiskEntry {
  std::string localPath;  // UTF-8
  bool isDirectory = false;
};

// The local path of folder + name when it exists (file or folder), nullopt otherwise.
// folder: Shift-JIS local path (empty: the current folder); name: Shift-JIS game name.
std::optional<TDiskEntry> ResolveGamePath(const std::string& folder, const std::string& name);
// ResolveGamePath that accepts plain files only.
std::optional<std::string> FindGameFile(const std::string& folder, const std::string& name);
// Names (UTF-8) and kinds of the entries of a local folder, from the cache.
std::vector<std::pair<std::string, bool>> ListLocalFolder(const std::string& localFolder);
// Forget the cached listing of a local folder (after writing into it); empty: every folder.
void InvalidateDiskNames(const std::string& localFolder = std::string());

}  // namespace nova
