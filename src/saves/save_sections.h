#pragma once
// The sections of the saved data that other subsystems own. The game fills these slots when
// the owner exists; a slot left empty gets the behaviour of TGameSaves:
//  - history: the empty manager is written; a loaded history is walked over and dropped;
//  - read marks, status tables: the bytes read from the status data are kept and written back
//    unchanged (nothing kept: the empty form), so status data carried over from another player
//    loses nothing;
//  - dither flag: the byte read is kept and written back (0 when none was read);
//  - game-save tables: the empty form is written; loaded tables are walked over and dropped.
// Save functions write their section's bytes; Load functions read the section as saved data of
// that version holds it and raise ENovaError when it is damaged.
#include <array>
#include <cstdint>
#include <functional>

#include "base/stream.h"

namespace nova {

struct TSaveSections {
  // The history formats and their histories: the manager form.
  std::function<void(TStream&)> SaveHistory;
  // version >= 135: the manager form; below: reset the formats and read the default format's
  // history in its old form.
  std::function<void(TStream&, int32_t version)> LoadHistory;
  // Saved games of versions 113 to 134 carry the six settings of the default history format
  // after the variables; they arrive here after the variables are loaded.
  std::function<void(const std::array<int32_t, 6>&)> ApplyOldHistorySettings;

  // The read list of the status data (status version; below 100 there is nothing to read).
  std::function<void(TStream&)> SaveReadMarks;
  std::function<void(TStream&, int32_t version)> LoadReadMarks;

  // The layered-image cache's dither flag (status data).
  std::function<bool()> GetDither;
  std::function<void(bool)> SetDither;

  // The data tables: the game form (isStatus false) or the status form.
  std::function<void(TStream&, bool isStatus)> SaveTables;
  std::function<void(TStream&, bool isStatus)> LoadTables;
};

}  // namespace nova
