#pragma once
// Plain pixel rows as the image readers produce them and the frame composer reads them:
// packed pixels of 1, 4, 8, 16 (5-6-5), 24 (blue, green, red bytes) or 32 bits (0x00RRGGBB),
// rows top to bottom, each (width * bits + 31) / 32 * 4 bytes as in a bitmap file.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nova {

// A palette of colours 0x00BBGGRR (red in the low byte), index order.
using TBrioPalette = std::vector<uint32_t>;

// Bytes of one padded row.
constexpr int64_t RowBytes(int64_t width, int64_t bits) { return (width * bits + 31) / 32 * 4; }

// A window on rows of pixels that someone else owns (a bitmap below, or a surface's memory):
// row y starts at Origin + y * Pitch; the pitch may be negative for bottom-up storage.
struct TPixelView {
  uint8_t* Origin = nullptr;
  std::ptrdiff_t Pitch = 0;
  int32_t Width = 0, Height = 0, Bits = 0;

  uint8_t* Row(int32_t y) const { return Origin + static_cast<std::ptrdiff_t>(y) * Pitch; }
  bool Empty() const { return Origin == nullptr || Width <= 0 || Height <= 0; }
};

// The pixel value at column x of a row (index, 5-6-5 word, 0x00RRGGBB or the 32-bit word).
uint32_t ReadPixel(const uint8_t* row, int32_t x, int32_t bits);
void WritePixel(uint8_t* row, int32_t x, int32_t bits, uint32_t value);

// Colour 0x00BBGGRR of a pixel value (paletted: the palette entry, 0 outside the palette).
uint32_t PixelToColor(uint32_t pixel, int32_t bits, const TBrioPalette& palette);
// Pixel value of a colour at a depth: 16 -> 5-6-5, 24 and 32 -> 0x00RRGGBB, paletted depths
// take the value as it is (an index); -1 stays -1 (no colour).
int64_t ColorToPixelValue(int64_t color, int32_t bits);
// The channel a mask selects from a pixel value, as 8 bits: wider channels keep their high
// bits, narrower ones repeat theirs (5 bits abcde give abcdeabc).
uint32_t WidenChannel(uint32_t pixel, uint32_t mask);

// Index of the palette entry nearest to a colour (squared distance, first of equals wins).
int32_t NearestPaletteIndex(const TBrioPalette& palette, uint32_t color);

// Owned pixel rows, zero-filled when allocated.
class TBrioBitmap {
public:
  TBrioBitmap() = default;
  TBrioBitmap(int32_t width, int32_t height, int32_t bits) { Allocate(width, height, bits); }

  // The caller has checked the size against the image limits.
  void Allocate(int32_t width, int32_t height, int32_t bits);
  void Clear();

  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t Bits() const { return bits_; }
  int32_t RowSize() const { return rowSize_; }
  uint8_t* Row(int32_t y) { return data_.data() + static_cast<size_t>(y) * static_cast<size_t>(rowSize_); }
  const uint8_t* Row(int32_t y) const {
    return data_.data() + static_cast<size_t>(y) * static_cast<size_t>(rowSize_);
  }
  uint8_t* Data() { return data_.data(); }
  const uint8_t* Data() const { return data_.data(); }
  size_t ByteSize() const { return data_.size(); }

  uint32_t Pixel(int32_t x, int32_t y) const { return ReadPixel(Row(y), x, bits_); }
  void SetPixel(int32_t x, int32_t y, uint32_t v) { WritePixel(Row(y), x, bits_, v); }
  TPixelView View() { return TPixelView{data_.data(), rowSize_, width_, height_, bits_}; }

private:
  int32_t width_ = 0, height_ = 0, bits_ = 0, rowSize_ = 0;
  std::vector<uint8_t> data_;
};

// Copies a w x h block of pixels from (sx, sy) of one view to (dx, dy) of another of the same
// depth; the caller has clipped the block to both.
void CopyPixelBlock(const TPixelView& src, int32_t sx, int32_t sy, const TPixelView& dst, int32_t dx, int32_t dy,
                    int32_t w, int32_t h);

}  // namespace nova
