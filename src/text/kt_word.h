#pragma once
// TKtWord: one marked-up text. It holds a flat list of glyphs built from markup or read from a
// compiled glyph stream, the interned character attributes, the values of its variables and its
// settings; layout arranges a range of its glyphs into pages of rows.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "base/stream.h"
#include "render/dibx.h"
#include "text/decorate.h"
#include "text/glyphs.h"
#include "text/text_images.h"
#include "text/text_metrics.h"

namespace nova {

class TParamCollection;
class TSysFuncMan;

struct TGlyphSize {
  int32_t Width = 0, Height = 0;
};

// The most glyphs one text object holds. Every glyph is an object of about 150 bytes with its
// place in the lists, so a text built at run time from megabytes of characters would take
// gigabytes and seconds to lay out; a message holds a few thousand. Glyphs beyond the limit
// (from markup, glyph streams, copies or variable values) are dropped.
constexpr int kMaxTextGlyphs = 1 << 20;

// The newest glyph stream version this code writes (the expression of a VAR as text).
constexpr int32_t kGlyphStreamVersion = 102;

// "ＭＳ ゴシック" in Shift-JIS: the face of characters without NAME.
const std::string& DefaultTextFontName();

// The settings of a text object. The settings record (saved with the message box) holds all of
// them; the three option values have no known use and are kept unchanged.
struct TKtWordSettings {
  int32_t OriginX = 0, OriginY = 0;
  int32_t FontSize = 12;
  std::string FontName = DefaultTextFontName();
  int32_t TextColor = 0;
  int32_t PageHeight = 0;   // 0 = no limit
  int32_t Width = 0;        // 0 = no limit; layout then sets it to the widest row
  int32_t Smoothing = 3;    // glyph quality level 0..3
  int32_t LineSpacing = 0;
  bool Paging = true;
  int32_t LinkColor = 0xFF0000;
  int32_t ActiveLinkColor = 0x008000;
  int32_t FadeSpeed = 0;    // fade-in time of one glyph (ms)
  int32_t BorderColor = 0x808080;
  int32_t Option = 255;
  uint8_t OptionByte1 = 0;
  TPoint Caret;
  int32_t SpeedFactor = 256;  // typing speed in 1/256
  uint8_t OptionByte2 = 0;
  int32_t ShadowColor = 0;
  int32_t BorderWidth = 0;    // default border width of characters
  int32_t ShadowOffset = 0;   // default shadow offset of characters

  // The record as written with the given object stream version: the shadow colour from 110
  // on, the default border width and shadow offset above 110.
  void SaveToStream(TStream& s, int32_t version) const;
  void LoadFromStream(TStream& s, int32_t version);
};

class TKtWord {
public:
  TKtWord() = default;
  ~TKtWord();
  TKtWord(const TKtWord&) = delete;
  TKtWord& operator=(const TKtWord&) = delete;

  TKtWordSettings Settings;
  // name=value lines of the variables' values (a text shown again from the history); when not
  // empty, variables take their values from here instead of evaluating their expressions.
  std::vector<std::string> VarValues;
  // Decorate records this object held before the last glyph stream was appended.
  int32_t IndexBase = 0;
  // Measurers; both are borrowed. Without metrics every cell is square; without an image
  // source every picture measures 0 x 0.
  TTextMetrics* Metrics = nullptr;
  TTextImageSource* Images = nullptr;
  // Glyphs beyond this count are dropped (kMaxTextGlyphs; smaller in tests); Dropped() counts
  // them since the last Clear.
  int GlyphLimit = kMaxTextGlyphs;
  int64_t Dropped() const { return dropped_; }
  bool Full() const { return Count() >= GlyphLimit; }
  // The current page rendered (page_render.h): colours (transparent value 0) and 8-bit coverage.
  TDIBX PageColor, PageCoverage;

  // --- glyph list
  int Count() const { return static_cast<int>(glyphs_.size()); }
  TWdGlyph* Glyph(int i) const { return glyphs_[static_cast<size_t>(i)].get(); }
  int IndexOf(const TWdGlyph* g) const;
  // Takes a glyph made for this text (characters and variables keep their attribute record in
  // this text's list). When the text is full the glyph is freed and nullptr returned.
  TWdGlyph* Add(std::unique_ptr<TWdGlyph> g);
  TWdGlyph* Insert(int index, std::unique_ptr<TWdGlyph> g);
  void Delete(int index);
  // Frees the glyphs, the decorate records and the variable values.
  void Clear();
  TDecorateList& Decorates() { return decorates_; }
  const TDecorateList& Decorates() const { return decorates_; }

  // --- markup (markup.cpp)
  // Clears the text and builds glyphs from markup lines. defaultWait is the wait of glyphs
  // outside WAIT tags: the variable store's text delay at parse time. Raises
  // "<A>タグにHREF値がありません" (the glyphs built so far stay).
  void BuildGlyphs(const std::vector<std::string>& lines, int32_t defaultWait);

  // --- glyph streams (glyph_stream.cpp)
  // Appends the glyphs and decorate records of a compiled glyph stream.
  void LoadGlyphStream(TStream& s);
  // Writes every glyph except those variables expanded into. Without a version: the newest,
  // or 101 when some variable only has a compiled expression (its text is unknown).
  void SaveGlyphStream(TStream& s) const;
  void SaveGlyphStream(TStream& s, int32_t version) const;

  // --- layout (layout.cpp)
  // Lays out glyphs first..last (last < 0 or past the end: to the end) into new pages appended
  // to pages. Measures every glyph of the range first.
  void LayoutPages(TWdPageList& pages, int first = 0, int last = -1);

  // --- variables (text_vars.cpp)
  // Expands the variables among glyphs first..last: each one's value is inserted after it as
  // TWdVarChar / TWdVarReturn glyphs (a variable already expanded is collapsed first).
  // Expressions run against the given store and functions.
  void ExpandVars(TParamCollection& store, TSysFuncMan& funcs, int first = 0, int last = -1);
  // Expands from VarValues only; variables whose value must be computed show nothing.
  void ExpandVarsFromValues(int first = 0, int last = -1);
  void CollapseVars(int first = 0, int last = -1);
  // Adds expression=value for every expanded variable among glyphs first..last whose expression
  // is not listed yet (value: its characters, a byte 0x01 for each line break).
  void CollectVarValues(std::vector<std::string>& list, int first = 0, int last = -1) const;

  // --- copying and counting (kt_word.cpp)
  // Appends copies of src's glyphs first..last, each recreated from its kind code with all its
  // fields; what variables expanded into is not copied (the copied variables expand again).
  void CopyGlyphsFrom(const TKtWord& src, int first = 0, int last = -1);
  // Number of countable glyphs (characters, images, line breaks, indents, undents, events,
  // variables; not alignment switches nor what variables expanded into).
  int CountGlyphs() const;
  // Countable glyphs before glyph index; a glyph a variable expanded into has its variable's.
  int PositionOfGlyph(int index) const;
  // Index of the countable glyph at position pos (Count() when there is none).
  int GlyphOfPosition(int pos) const;

  // --- measuring
  // Cell of a character: the size (default when 0) square, or the metrics' base width; italic
  // adds size / 5 to the width, ruby max(1, size / 2) to the height, the border width 2 x b and
  // the shadow offset d to both (defaults where -1).
  TGlyphSize CharCell(const TDecorateValues& d, uint16_t code) const;
  int32_t EffectiveSize(const TDecorateValues& d) const { return d.Size ? d.Size : Settings.FontSize; }

private:
  TWdGlyph* InsertOwned(int index, std::unique_ptr<TWdGlyph> g);
  void ExpandRange(TParamCollection* store, TSysFuncMan* funcs, int first, int last);
  std::string VarValue(TWdOpeVar& v, TParamCollection* store, TSysFuncMan* funcs);
  void CollapseVar(int index);

  // Records outlive the glyphs that point at them: declared first, destroyed last.
  TDecorateList decorates_;
  std::vector<std::unique_ptr<TWdGlyph>> glyphs_;
  int64_t dropped_ = 0;
};

}  // namespace nova
