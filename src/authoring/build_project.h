#pragma once
// Compiling a scenario source folder into the entries of a game archive.
#include <string>
#include <utility>
#include <vector>

namespace nova::source {

struct TBuiltEntry {
  std::string Name;   // game name, Shift-JIS with "\" separators
  std::string Bytes;
  bool Asset = false;  // a file of the source folder, stored with the archive's policy for files
};

// srcDir (UTF-8): "project.nsp", pages "*.nss" (-> "*.nsb") and every other file as an asset;
// names starting with "." are skipped. Messages "file:line: message" go to errors (UTF-8);
// the result is complete only when errors stays empty.
std::vector<TBuiltEntry> BuildSourceFolder(const std::string& srcDir, std::vector<std::string>& errors);

// The compiled page for one page source; raises source::TBuildError.
std::string BuildPageFile(const std::string& sourcePath, const std::string& pageName);

// The archive (version 102) holding the entries.
void WriteGameArchive(const std::vector<TBuiltEntry>& entries, const std::string& path);
// The entries of an archive (game.dat or an executable carrying one), in directory order;
// with `only` (Shift-JIS) just that entry ("%s:ファイルがありません" when it is missing).
std::vector<TBuiltEntry> ReadArchiveEntries(const std::string& archivePath, const std::string& only = "");

}  // namespace nova::source
