#pragma once
// Layout with the fonts' own widths: a character's base width is what its glyph advances (the
// black box, its offset and its right bearing), taken from the glyph cache at the cache's
// current quality level, so the glyphs measured are the ones rendered next.
#include "text/font_pixels.h"
#include "text/text_metrics.h"

namespace nova {

class TGlyphCacheMetrics : public TTextMetrics {
public:
  explicit TGlyphCacheMetrics(TFontPixelManager& glyphs) : glyphs_(glyphs) {}
  int32_t BaseWidth(uint16_t code, const std::string& fontName, int32_t size, uint8_t style) override {
    return glyphs_.GetGlyph(code, fontName, style, size).Advance();
  }

private:
  TFontPixelManager& glyphs_;
};

}  // namespace nova
