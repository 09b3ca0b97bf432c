#pragma once
// The font rasteriser: faces found by their Windows family names, each opened at a pixel size
// and style into a font that renders one character at a time as an 8-bit coverage image with
// its placement, and answers the metrics text layout needs (ABC widths, ascent, underline and
// strike-out). Fonts can be added from the bytes of a font file shipped with a game.
//
// Characters are 16-bit Shift-JIS codes (a double-byte character as lead * 256 + trail), as the
// text of the system holds them; an implementation converts them to its own character codes.
// Names are Shift-JIS too. Pixel sizes are cell heights: ascent + descent = size.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nova {

// What text needs of a font, in pixels.
struct TOutlineMetrics {
  int32_t Height = 0;              // the cell height (the requested size)
  int32_t Ascent = 0;              // above the baseline
  int32_t Descent = 0;             // below the baseline
  int32_t Overhang = 0;            // extra width a synthesised style adds to a run of text
  int32_t UnderlinePosition = 0;   // top of the underline above the baseline (negative: below)
  int32_t UnderlineThickness = 1;
  int32_t StrikeOutPosition = 0;   // top of the strike-out bar above the baseline
  int32_t StrikeOutThickness = 1;
};

// The black box of one character: its coverage and where it sits relative to the pen.
struct TGlyphBitmap {
  int32_t Width = 0, Height = 0;   // 0 x 0: a character without ink (a space)
  int32_t OriginX = 0;             // left of the box, right of the pen position
  int32_t OriginY = 0;             // top of the box, above the baseline
  int32_t Advance = 0;             // the pen's advance
  std::vector<uint8_t> Coverage;   // Width x Height bytes, rows top to bottom, 0..255
};

// A: space before the black box, B: its width, C: space after it (A + B + C = the advance).
struct TAbcWidths {
  int32_t A = 0, B = 0, C = 0;
};

// A face at one pixel size and style.
class TFont {
public:
  virtual ~TFont() = default;
  virtual const TOutlineMetrics& Metrics() const = 0;
  // Renders a character. mono asks for an aliased image (every value 0 or 255). False when the
  // character cannot be rendered in that form; out then holds nothing of use.
  virtual bool RenderGlyph(uint16_t code, bool mono, TGlyphBitmap& out) = 0;
  virtual TAbcWidths AbcWidths(uint16_t code) = 0;
};

class TFontFace {
public:
  virtual ~TFontFace() = default;
  // The family name the face answers to (Shift-JIS).
  virtual const std::string& Name() const = 0;
  // Where the face comes from, for messages and tools (UTF-8).
  virtual std::string Source() const = 0;
  // The face at a pixel size (at least 1), synthesising bold and italic where the face has none;
  // null when the face cannot be opened at that size.
  virtual std::unique_ptr<TFont> CreateFont(int32_t size, bool bold, bool italic) = 0;
};

class TFontRasterizer {
public:
  virtual ~TFontRasterizer() = default;
  // The face of a Windows family name, or null when no face stands for that name. Faces live
  // as long as the rasteriser; so must the fonts made from them.
  virtual TFontFace* FindFace(const std::string& family) = 0;
  // Adds the faces of a font file held in memory (".ttf", ".otf", or every face of a ".ttc");
  // they win over installed faces of the same name. Returns the number of faces added (0 when
  // the bytes are not a font).
  virtual int AddFontData(std::string bytes) = 0;
  // Family names of the faces that hold Japanese text, or of the fixed-pitch ones among them
  // (Shift-JIS, in no particular order, possibly repeated).
  virtual std::vector<std::string> Families(bool fixedPitchOnly) = 0;
};

// Deterministic faces without any font file (platform/headless_fonts.cpp).
std::unique_ptr<TFontRasterizer> CreateHeadlessFontRasterizer();

}  // namespace nova
