#pragma once
// What a "save.dat" holds, for people and for debugging (novatool save list|show): its
// entries, the slots with captions and versions, and each saved game's sections with their
// place, size and a short account of what is in them. Reading never changes the file and goes
// as far as the data allows; where it stops, the error says why.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace nova {

class TObjectFactory;

struct TSectionReport {
  std::string Name;     // "scene", "history", "interpreter", "variables", "tables", ...
  int64_t Offset = 0;   // within the entry
  int64_t Size = 0;
  std::string Summary;  // UTF-8
};

struct TEntryReport {
  std::string Name;  // as stored (Shift-JIS)
  enum TKind { Game, Status, ScenarioFile, Other };
  TKind Kind = Other;
  int32_t Slot = -1;           // saved games
  int64_t StoredSize = 0;      // bytes in the archive
  int64_t Size = -1;           // bytes after inflating (-1: could not be read)
  bool Compressed = false;
  bool ChecksumOk = true;      // the entry's CRC-32 matches
  int32_t Version = -1;        // save format or status version (-1: unknown)
  std::string Caption;         // saved games (Shift-JIS)
  std::string AfterLoadPage;   // saved games (Shift-JIS)
  int32_t AfterLoadIndex = 0;
  std::vector<TSectionReport> Sections;     // with details only
  std::vector<std::string> Variables;       // with details: one JSON line per variable (UTF-8)
  std::string Error;                        // where reading stopped (UTF-8), empty when whole
};

struct TSaveFileReport {
  bool Exists = false;
  bool Damaged = false;
  std::string DamageReason;  // UTF-8
  std::vector<TEntryReport> Entries;
};

// details: read every section (the scene needs the object classes of the factory; pages named
// by the interpreter are looked up through the file manager, to know the length of a running
// command's state; without them that length is found by trying the forms the player writes).
TSaveFileReport DescribeSaveFile(const std::filesystem::path& path, bool details,
                                 const TObjectFactory* factory = nullptr);

}  // namespace nova
