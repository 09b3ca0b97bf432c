#pragma once
// Game names ("cg\bg01.bri", Shift-JIS) found on disk. A folder is a path on the user's disk
// (UTF-8, as given); the game name below it is looked up component by component,
// case-insensitively, through a cached listing of each folder. Components are compared after conversion to UTF-8 with ASCII letters
// folded and the few characters that CP932 and plain Shift_JIS tables map differently
// (wave dash, double bar, minus, cent, pound, not sign) brought to one form, so a game folder
// copied from Windows or unpacked by another tool still works. A name with a ".." component,
// an absolute name or one with a drive letter is never resolved.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace nova {

// True when the game name may be opened: no "..", not absolute, no drive letter.
bool IsSafeGameName(const std::string& name);
// Normalised comparison key of one UTF-8 name component (ASCII folded, CP932 variants unified).
std::string DiskNameKey(const std::string& utf8Component);

struct TDiskEntry {
  std::filesystem::path localPath;
  bool isDirectory = false;
};

// The path of folder + name when it exists (file or folder), nullopt otherwise.
// folder: a folder on disk (empty: the current folder); name: Shift-JIS game name.
std::optional<TDiskEntry> ResolveGamePath(const std::filesystem::path& folder, const std::string& name);
// ResolveGamePath that accepts plain files only.
std::optional<std::filesystem::path> FindGameFile(const std::filesystem::path& folder, const std::string& name);
// Names (UTF-8) and kinds of the entries of a folder, from the cache.
std::vector<std::pair<std::string, bool>> ListLocalFolder(const std::filesystem::path& folder);
// Forget the cached listing of a folder (after writing into it); empty: every folder.
void InvalidateDiskNames(const std::filesystem::path& folder = {});

}  // namespace nova
