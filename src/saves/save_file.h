#pragma once
// "save.dat" on the user's disk: an archive (version 102) of saved games, the status data and
// the files the scenario stored. It is read leniently (a file whose directory or entries cannot
// be read is "damaged": what can be read is still used) and replaced atomically: the new bytes
// go to a file beside it, are flushed to the disk and renamed over it, so a crash mid-save never
// loses the saves that were there. A damaged file is never replaced before a copy of it is kept
// beside it as "save.dat.damaged" (then "save.dat.damaged2", ...).
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "archive/vrfile_collection.h"
#include "base/stream.h"

namespace nova {

class TSaveFile {
public:
  explicit TSaveFile(std::filesystem::path path) : path_(std::move(path)) {}

  // Reads the directory. An absent file gives an empty archive; a file whose directory cannot
  // be read gives an empty archive and marks the file damaged. Never raises.
  void Open();

  const std::filesystem::path& Path() const { return path_; }
  bool Exists() const { return exists_; }
  bool Damaged() const { return damaged_; }
  const std::string& DamageReason() const { return damageReason_; }  // Shift-JIS
  void MarkDamaged(const std::string& why);

  TVrFileCollection& Archive() { return archive_; }
  bool Has(const std::string& name) const;
  // The entry's bytes at position 0; false when there is no such entry. Raises ENovaError when
  // its stored bytes cannot be read (the file is then marked damaged).
  bool Read(const std::string& name, TKtMemoryStream& out);
  // Replaces the entry (or adds it at the end) with these bytes.
  void Put(const std::string& name, std::string bytes);
  void Remove(const std::string& name) { archive_.RemoveFile(name); }

  // The whole archive: the entries put here and the others copied from the file. An entry whose
  // bytes cannot be read is left out and marks the file damaged.
  std::string Build();
  // Build, keep a copy of a damaged file, and replace the file atomically. Raises ENovaError
  // when the file cannot be written (it is then as it was).
  void Commit();
  // The copy kept by the last Commit, if it made one.
  const std::optional<std::filesystem::path>& DamagedCopy() const { return damagedCopy_; }

private:
  std::filesystem::path path_;
  TVrFileCollection archive_;
  bool exists_ = false;
  bool damaged_ = false;
  std::string damageReason_;
  std::optional<std::filesystem::path> damagedCopy_;
};

// Writes the bytes to "<path>.new", flushes them to the disk, renames that file over path and
// flushes the folder. Raises ENovaError ("<path>: ...") on failure; path is then untouched and
// the temporary file removed. A path that is a symbolic link has its target replaced.
void ReplaceFileAtomically(const std::filesystem::path& path, const std::string& bytes);

// Copies the file to the first of "<path>.damaged", "<path>.damaged2", ... that is free (an
// existing copy with the same bytes is used again) and returns that path.
std::filesystem::path KeepDamagedCopy(const std::filesystem::path& path);

}  // namespace nova
