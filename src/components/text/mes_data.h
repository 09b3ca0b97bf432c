#pragma once
// What a message box shows when it rebuilds its text: references to compiled texts (page name,
// TextIns command index, text page index, box size) or rows taken from a history (page name,
// command index, glyph range, height, variable values), and the caches that keep recently
// decoded texts: at most 4 scenario pages, each with at most 16 decoded texts, most recently
// used first.
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"
#include "text/kt_word.h"

namespace nova {

class TMesTextSource;
class TParamCollection;
class TSysFuncMan;
class TTextMetrics;
class TTextImageSource;
struct TMesTextPage;

// What rebuilding texts needs of the game: the compiled pages, the measurers of the text
// objects and the variables that VAR glyphs read.
struct TMesTextEnv {
  TMesTextSource* Texts = nullptr;
  // Widths of the history's text object; none = square cells, as message boxes lay out.
  TTextMetrics* Metrics = nullptr;
  TTextImageSource* Images = nullptr;
  TParamCollection* Store = nullptr;
  TSysFuncMan* Funcs = nullptr;
};

// One row of a history: where its glyphs come from and how high it is.
struct THistRow {
  std::string Name;  // page name; empty = the same as the previous row
  int32_t Command = 0;
  int32_t FirstGlyph = 0, LastGlyph = 0;  // countable positions in the text, both included
  int32_t Height = 0;                     // the laid-out row's height plus the line spacing
  std::string VarList;                    // name=value lines (CR LF) of the text's variables
};

// A page of history rows (TNovaHistData), or the row list of a message box.
class TNovaHistData {
public:
  std::vector<THistRow> Rows;
  int32_t TotalHeight = 0;  // the sum of the row heights

  void Add(THistRow row) {
    TotalHeight += row.Height;
    Rows.push_back(std::move(row));
  }
  void Clear() {
    Rows.clear();
    TotalHeight = 0;
  }
  void SaveToStream(TStream& s) const;
  // Row variable lists are part of the data from version 124 on.
  void LoadFromStream(TStream& s, int32_t version);
};

// Variable lists: name=value lines joined with CR LF, and back.
std::string JoinVarList(const std::vector<std::string>& lines);
std::vector<std::string> SplitVarList(const std::string& list);

// The decoded texts of recently used pages.
class TMesDataCacheList {
public:
  static constexpr size_t kPages = 4;
  static constexpr size_t kWords = 16;

  // The text of (page, command index): cached, or decoded from the command's glyph stream.
  // Null when the page cannot be read, the index lies outside it or the command there is no
  // TextIns. The text stays valid until the cache drops it.
  TKtWord* Fetch(TMesTextSource& source, const std::string& page, int32_t command);
  void Clear() { pages_.clear(); }
  int PageCount() const { return static_cast<int>(pages_.size()); }

private:
  struct TWordEntry {
    int32_t Command;
    std::unique_ptr<TKtWord> Word;
  };
  struct TPageEntry {
    std::shared_ptr<const TMesTextPage> Page;
    std::list<TWordEntry> Words;
  };
  std::list<TPageEntry> pages_;
};

// TNovaNewMesData: the message data of one box.
class TNovaNewMesData {
public:
  // References, as four parallel lists.
  std::vector<std::string> Names;
  std::vector<int32_t> Commands;
  std::vector<int32_t> TextPages;  // negative: every page of the text
  std::vector<std::pair<int32_t, int32_t>> Sizes;
  TNovaHistData Rows;
  TMesDataCacheList Cache;

  int ReferenceCount() const { return static_cast<int>(Names.size()); }
  void AddReference(const std::string& page, int32_t command, int32_t textPage, int32_t width, int32_t height);
  void ClearReferences();
  // References and rows (the caches stay).
  void Clear();
  bool Empty() const { return Names.empty() && Rows.Rows.empty(); }

  void SaveToStream(TStream& s) const;
  // Rows are part of the data from version 113 on.
  void LoadFromStream(TStream& s, int32_t version);

  // Builds the box's text and pages from the data (word and pages are expected empty). Rows:
  // laid out on one page from the pixel offset down (a single row of a list without height:
  // that text range as pages of its own). References: one text with a negative text page as
  // all its pages; otherwise the chosen page of each text stacked on one page, each below the
  // last row of the one before (flag set) or one box height further down (flag clear).
  // shownValues (name=value lines) gives the variables of referenced texts the values they
  // showed before (a loaded game); empty: their expressions run.
  void Rebuild(TKtWord& word, TWdPageList& pages, const TMesTextEnv& env, bool flag, int32_t pixelOffset,
               const std::string& shownValues = std::string());
};

// The glyph indices of countable positions first..last of a text (both included), with what
// a variable at the end expanded into; false when the range holds nothing.
bool GlyphRangeOfPositions(const TKtWord& word, int32_t first, int32_t last, int& from, int& to);

// Expands the variables among glyphs from..to: from the value list when one is given, else
// by running their expressions (when the environment has the variables).
void ExpandTextVars(TKtWord& word, const TMesTextEnv& env, const std::string& varList, int from, int to);

}  // namespace nova
