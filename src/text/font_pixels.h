#pragma once
// The glyph cache: every character the player draws is rasterised once into an 8-bit coverage
// image with its placement and kept among the 256 most recently used glyphs. One cache serves
// the whole program (the game owns it): message text, button and list captions and caption
// objects all take their glyphs from it and render them with RenderGlyph (glyph_render.h).
//
// Glyphs are keyed by character code, font name (exact bytes), pixel size, style bits and
// quality level, and found through 256 buckets by the low byte of the code. Quality levels:
// 0 aliased; 1, 2 and 3 grey with 5, 17 and 65 values, which become coverage through fixed
// tables (the rasteriser's 256 grey values are first reduced to the level's values).
#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/font_rasterizer.h"
#include "render/dibx.h"

namespace nova {

// Coverage 0..255 of grey value v of a quality level (level 0: v is 0 or 1; level 1: 0..4;
// level 2: 0..16; level 3: 0..64). Values beyond the level's range are clamped.
uint8_t GreyToCoverage(int level, int v);
// A rasteriser coverage as the level shows it: reduced to the level's grey values (rounded to
// the nearest; level 0: at least half covered or not), then through the level's table.
uint8_t QuantizeCoverage(int level, uint8_t coverage);

// The characters of a text as glyph codes (a double-byte character as lead * 256 + trail).
std::vector<uint16_t> GlyphCodes(std::string_view text);

struct TFontPixel {
  uint16_t Code = 0;       // a double-byte character as lead * 256 + trail
  std::string FontName;    // as requested
  int32_t Size = 0;        // the requested cell height in pixels
  uint8_t Style = 0;       // 1 bold, 2 italic, 4 underline, 8 strike-out
  int32_t Quality = 0;     // 0..3
  // Coverage of the black box (8 bits); null for a glyph without ink.
  std::unique_ptr<TDIBX> Image;
  int32_t OffsetX = 0;     // max(0, left of the black box)
  int32_t OffsetY = 0;     // max(0, ascent - top of the black box above the baseline)
  int32_t UnderlineThickness = 0;                  // when underlined
  int32_t StrikeOutTop = 0, StrikeOutThickness = 0;  // when struck out; top below the cell top
  // The cell advance beyond the black box and its offset (0 when negative); for a glyph
  // without ink the width of the character as text.
  int32_t RightBearing = 0;
  TAbcWidths Abc;          // of the character in its font

  int32_t BlackWidth() const { return Image ? Image->GetWidth() : 0; }
  int32_t BlackHeight() const { return Image ? Image->GetHeight() : 0; }
  // What a caption advances by this glyph: black box + offset + right bearing.
  int32_t Advance() const { return BlackWidth() + OffsetX + RightBearing; }

private:
  friend class TFontPixelManager;
  std::list<std::unique_ptr<TFontPixel>>::iterator used_;
};

class TFontPixelManager {
public:
  static constexpr int kCapacity = 256;

  explicit TFontPixelManager(TFontRasterizer& fonts);
  ~TFontPixelManager();
  TFontPixelManager(const TFontPixelManager&) = delete;
  TFontPixelManager& operator=(const TFontPixelManager&) = delete;

  // The glyph of a character at the current quality level. A font name without a face takes
  // "ＭＳ ゴシック"; when even that has none, raises "Error:GetOutlineTextMetrics". A character
  // the rasteriser cannot draw gives a glyph without image, and so does a size above
  // kMaxGlyphSize (text_limits.h; it advances size, or size / 2 for a single-byte character).
  // The glyph stays valid until the cache has created 256 others.
  const TFontPixel& GetGlyph(uint16_t code, const std::string& fontName, uint8_t style, int32_t size);

  int32_t Quality() const { return quality_; }
  // 0..3 (clamped); always 0 once the rasteriser has refused a grey glyph.
  void SetQuality(int32_t level);

  // Measuring captions: the metrics and ABC widths of a font, through a scratch font of their
  // own that leaves the glyph font alone. Raise as GetGlyph does.
  const TOutlineMetrics& MeasureMetrics(const std::string& fontName, int32_t size, uint8_t style);
  TAbcWidths MeasureAbc(uint16_t code, const std::string& fontName, int32_t size, uint8_t style);

  // Statistics and tests.
  int Count() const { return static_cast<int>(used_.size()); }
  uint64_t Hits() const { return hits_; }
  uint64_t Misses() const { return misses_; }
  void ResetCounters() { hits_ = misses_ = 0; }
  // Cached glyphs from the most to the least recently used.
  std::vector<const TFontPixel*> UsedOrder() const;
  // Frees every glyph (the fonts stay open).
  void Clear();

private:
  struct TSelected {
    std::string Name;
    int32_t Size = 0;
    uint8_t Style = 0;
    std::unique_ptr<TFont> Font;
  };
  // Makes sure sel holds the font of (name, size, style), creating it when one differs.
  TFont& Select(TSelected& sel, const std::string& name, int32_t size, uint8_t style);
  void Rasterize(TFontPixel& glyph, TFont& font);

  TFontRasterizer& fonts_;
  std::list<std::unique_ptr<TFontPixel>> used_;  // front: most recently used; owns the glyphs
  std::array<std::vector<TFontPixel*>, 256> buckets_;
  TSelected current_;  // the font glyphs are rasterised with
  TSelected scratch_;  // the font captions are measured with
  int32_t quality_ = 3;
  bool greyRefused_ = false;
  uint64_t hits_ = 0, misses_ = 0;
};

}  // namespace nova
