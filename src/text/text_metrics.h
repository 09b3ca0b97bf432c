#pragma once
// How wide a character's cell is. The text object's own rule gives every character a square
// cell of its size; other measurers (the fixed-pitch mode of the tools, later the glyph cache
// with the font's own widths) answer the base width, which italic, border and shadow then widen.
#include <cstdint>
#include <string>

namespace nova {

class TTextMetrics {
public:
  virtual ~TTextMetrics() = default;
  // Width of the cell of character code (a code above 255 is a double-byte character) at the
  // pixel size, before italic, border and shadow add to it. The cell height is always the size.
  virtual int32_t BaseWidth(uint16_t code, const std::string& fontName, int32_t size, uint8_t style) = 0;
};

// Square cells: every character is as wide as its size.
class TSquareCellMetrics : public TTextMetrics {
public:
  int32_t BaseWidth(uint16_t, const std::string&, int32_t size, uint8_t) override { return size; }
};

// Fixed pitch without bearings: single-byte characters half the size (rounded down), double-byte
// characters the full size. Lets layout be checked without any font.
class TFixedPitchMetrics : public TTextMetrics {
public:
  int32_t BaseWidth(uint16_t code, const std::string&, int32_t size, uint8_t) override {
    return code > 255 ? size : size / 2;
  }
};

}  // namespace nova
