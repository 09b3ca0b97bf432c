#pragma once
// The message history: every text page a message box shows (with read marks on) is recorded
// by every history format. The default format has no name; FormatHist registers more. A
// format without a width keeps references to the shown pages (reference mode, counted in
// pages); a format with a width lays the texts out again with its own font size and width and
// keeps the rows, grouped in row pages and counted in pixels (row mode). CallHist copies a
// range of a history into a box's message data, which the box then shows.
//
// An entry is begun when a box starts showing a page and committed when the box moves on
// (another page, another text, cleared); each history holds one pending entry, so a second box
// beginning a text before the first box's entry is committed replaces that entry.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"
#include "components/text/mes_data.h"
#include "text/kt_word.h"

namespace nova {

// The six settings of a format, in their stored order.
enum THistorySetting { hsFontSize, hsBorderWidth, hsShadowOffset, hsWidth, hsPageHeight, hsLineSpacing };
using THistorySettings = std::array<int32_t, 6>;

// A shown text page, as a reference (THistoryOldData).
struct THistoryOldData {
  std::string Name;  // page name; empty = the same as the previous reference
  int32_t Command = 0;
  int32_t TextPage = 0;
  int32_t Width = 0, Height = 0;  // the box's size
};

// What a box hands over when it begins showing a page.
struct THistoryEntry {
  std::string BoxName;
  int32_t BoxWidth = 0, BoxHeight = 0;
  std::string Page;     // the scenario page the text came from
  int32_t Command = 0;  // its TextIns command
  int32_t TextPage = 0;
  int32_t FirstGlyph = 0, LastGlyph = 0;  // countable positions of the page's glyphs
  std::string VarList;
};

// One history (TNovaNewHistory).
class TNovaNewHistory {
public:
  // Lays texts out in row mode; its font size, border width, shadow offset, width, page
  // height and line spacing are the format's, taken while the history has no rows yet.
  TKtWord Word;
  std::vector<std::unique_ptr<TNovaHistData>> Pages;  // row pages
  std::vector<THistoryOldData> Refs;
  int32_t MaxCount = 0;  // 0: no limit; references or row pages kept

  // The pending entry.
  std::string PendingPage;  // empty: nothing pending
  int32_t PendingCommand = 0, PendingTextPage = 0;
  int32_t PendingWidth = 0, PendingHeight = 0;
  std::string PendingBox;
  int32_t PendingFirst = 0, PendingLast = 0;
  std::string PendingVarList;

  bool RowMode() const { return Word.Settings.Width != 0; }
  // Row mode: the total height of the rows in pixels; reference mode: the references.
  int32_t Count() const;
  // References, row pages and the pending entry.
  void Clear();
  void Begin(const THistoryEntry& entry, const THistorySettings& format);
  void Commit(const std::string& boxName, const TMesTextEnv& env);
  // Copies entries first .. first + count - 1 (row mode: the rows covering pixels
  // [first, first + count)) into message data; the box shows them from the returned pixel
  // offset (0 or negative; 0 in reference mode).
  int32_t ShowIn(TNovaNewMesData& data, int32_t first, int32_t count) const;

  void SaveToStream(TStream& s) const;
  void LoadFromStream(TStream& s, int32_t version);

  // The name a reference or row stands for (the nearest earlier non-empty one).
  std::string EffectiveRefName(size_t index) const;

private:
  void CommitReference();
  void CommitRows(const TMesTextEnv& env);
  void ApplySettings(const THistorySettings& s);

  // The text command last loaded into Word (not saved).
  std::string loadedPage_;
  int32_t loadedCommand_ = -1;
};

class TNovaHistoryFormat {
public:
  std::string Name;
  THistorySettings Settings{};
  TNovaNewHistory History;
};

// TNovaHistoryFormatManager: the formats, the default one first.
class TNovaHistoryFormatManager {
public:
  TNovaHistoryFormatManager();

  // What committing rows needs (the game sets it once).
  TMesTextEnv Env;

  int Count() const { return static_cast<int>(formats_.size()); }
  TNovaHistoryFormat& Format(int i) { return *formats_[static_cast<size_t>(i)]; }
  // The first format of exactly that name, or null.
  TNovaHistoryFormat* FindFormat(const std::string& name);
  // FindFormat, or a new format of that name appended.
  TNovaHistoryFormat& GetFormat(const std::string& name);
  // The format without a name (recreated when a load left none).
  TNovaHistoryFormat& Default() { return GetFormat(std::string()); }

  void BeginEntry(const THistoryEntry& entry);
  void CommitEntry(const std::string& boxName);
  // ClrHist: every history loses its references, rows and pending entry.
  void ClearAll();
  // Reset: the default format alone, empty.
  void Reset();

  // The game save's history section: every format with its history.
  void SaveToStream(TStream& s) const;
  // Saved games of version 135 and later (the formats are replaced).
  void LoadFromStream(TStream& s, int32_t version);
  // Older saved games hold only the default format's history: the formats are reset and that
  // history is read.
  void LoadDefaultHistory(TStream& s, int32_t version);

private:
  std::vector<std::unique_ptr<TNovaHistoryFormat>> formats_;
};

}  // namespace nova
