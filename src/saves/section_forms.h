#pragma once
// The byte forms of the sections that belong to other subsystems (message history, read marks,
// data tables) as far as the save code needs them by itself: the empty form it writes while no
// owner is plugged in, and a reader that walks over a section (raising ENovaError on damage) and
// sums it up, so that loading can go on after it and the tools can show it.
//
// History manager: int32 format count; per format: string name, six int32 settings, history.
// History: references (int32 n; per reference: string name, int32 command index, int32 text page
// index, int32 width, int32 height), pending page name (string), pending command index, text page
// index, box width, box height (int32 each), pending box name (string), MaxCount (int32), six
// text-object settings (int32 each), pending first and last glyph (int32 each), row pages (int32
// count, each row page), pending variable list (string). Older saves: before 113 a leading string
// and the references as n names, n command indices, n text page indices, n sizes; no MaxCount,
// settings, glyphs or row pages; before 124 no variable lists.
// Row page: int32 rows; per row: string name, four int32, string variable list; int32 total height.
//
// Read list: int32 item count; per item: key string, int32 n, n int32 message numbers, n int32
// page indices; pending key (string), message number (int32), page index (int32), box (string).
// Versions below 100 hold nothing.
//
// Data tables: int32 version (100), int32 table count; per table: kind byte, name string, status
// byte, int32 field count, per field int32 size, name string, type byte; int32 record count, the
// raw records (the sum of the field sizes each), int32 RecNo; the game form ends with the active
// table's name (string).
#include <cstdint>
#include <string>
#include <vector>

#include "base/stream.h"

namespace nova {

struct THistorySummary {
  int32_t Formats = 0;
  int32_t References = 0;
  int32_t RowPages = 0;
  int32_t Rows = 0;
};

struct TReadMarkSummary {
  int32_t Keys = 0;
  int32_t Marks = 0;
};

struct TTableSummary {
  int32_t Version = 0;
  std::vector<std::string> Names;
  int64_t Records = 0;
  std::string Active;
};

// The history formats as a saved game of that version holds them: the manager form from
// version 135, the default format's history alone before.
void WriteEmptyHistory(TStream& s);  // the manager with the default format, nothing recorded
THistorySummary ScanHistory(TStream& s, int32_t version);

void WriteEmptyReadMarks(TStream& s);
TReadMarkSummary ScanReadMarks(TStream& s, int32_t version);

// isStatus: the status form (status tables, no active name) or the game form.
void WriteEmptyTables(TStream& s, bool isStatus);
TTableSummary ScanTables(TStream& s, bool isStatus);

// Raises when a read ran past the end of the stream; what names the section.
void CheckWhole(TStream& s, const char* what);

}  // namespace nova
