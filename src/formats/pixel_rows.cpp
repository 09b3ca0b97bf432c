#include "formats/pixel_rows.h"

#include <bit>
#include <cstring>

namespace nova {

uint32_t ReadPixel(const uint8_t* row, int32_t x, int32_t bits) {
  switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (x & 1) ? row[x >> 1] & 0x0Fu : row[x >> 1] >> 4;
    case 8: return row[x];
    case 16: return static_cast<uint32_t>(row[2 * x]) | static_cast<uint32_t>(row[2 * x + 1]) << 8;
    case 24: {
      const uint8_t* p = row + 3 * static_cast<size_t>(x);
      return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16;
    }
    case 32: {
      uint32_t v;
      std::memcpy(&v, row + 4 * static_cast<size_t>(x), 4);
      return v;
    }
    default: return 0;
  }
}

void WritePixel(uint8_t* row, int32_t x, int32_t bits, uint32_t value) {
  switch (bits) {
    case 1: {
      uint8_t bit = static_cast<uint8_t>(0x80u >> (x & 7));
      row[x >> 3] = static_cast<uint8_t>((value & 1) ? row[x >> 3] | bit : row[x >> 3] & ~bit);
      break;
    }
    case 4:
      row[x >> 1] = (x & 1) ? static_cast<uint8_t>((row[x >> 1] & 0xF0) | (value & 0x0F))
                            : static_cast<uint8_t>((row[x >> 1] & 0x0F) | (value & 0x0F) << 4);
      break;
    case 8: row[x] = static_cast<uint8_t>(value); break;
    case 16:
      row[2 * x] = static_cast<uint8_t>(value);
      row[2 * x + 1] = static_cast<uint8_t>(value >> 8);
      break;
    case 24: {
      uint8_t* p = row + 3 * static_cast<size_t>(x);
      p[0] = static_cast<uint8_t>(value);
      p[1] = static_cast<uint8_t>(value >> 8);
      p[2] = static_cast<uint8_t>(value >> 16);
      break;
    }
    case 32: std::memcpy(row + 4 * static_cast<size_t>(x), &value, 4); break;
    default: break;
  }
}

uint32_t PixelToColor(uint32_t pixel, int32_t bits, const TBrioPalette& palette) {
  if (bits <= 8) return pixel < palette.size() ? palette[pixel] & 0xFFFFFFu : 0;
  uint32_t r, g, b;
  if (bits == 16) {
    r = WidenChannel(pixel, 0xF800);
    g = WidenChannel(pixel, 0x07E0);
    b = WidenChannel(pixel, 0x001F);
  } else {
    r = (pixel >> 16) & 0xFF;
    g = (pixel >> 8) & 0xFF;
    b = pixel & 0xFF;
  }
  return r | g << 8 | b << 16;
}

int64_t ColorToPixelValue(int64_t color, int32_t bits) {
  if (color < 0) return -1;
  uint32_t c = static_cast<uint32_t>(color);
  uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  if (bits == 16) return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
  if (bits == 24 || bits == 32) return r << 16 | g << 8 | b;
  return c;
}

uint32_t WidenChannel(uint32_t pixel, uint32_t mask) {
  if (!mask) return 0;
  const int shift = std::countr_zero(mask);
  const int width = std::popcount(mask);
  const uint32_t v = (pixel & mask) >> shift;
  if (width >= 8) return (v >> (width - 8)) & 0xFF;
  uint32_t out = 0;
  int have = 0;
  for (; have < 8; have += width) out = out << width | v;
  return (out >> (have - 8)) & 0xFF;
}

int32_t NearestPaletteIndex(const TBrioPalette& palette, uint32_t color) {
  int32_t best = 0;
  int64_t bestDistance = -1;
  for (size_t i = 0; i < palette.size(); ++i) {
    int64_t d = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      int64_t diff = static_cast<int64_t>((palette[i] >> shift) & 0xFF) - static_cast<int64_t>((color >> shift) & 0xFF);
      d += diff * diff;
    }
    if (bestDistance < 0 || d < bestDistance) {
      bestDistance = d;
      best = static_cast<int32_t>(i);
    }
  }
  return best;
}

void TBrioBitmap::Allocate(int32_t width, int32_t height, int32_t bits) {
  width_ = width > 0 ? width : 0;
  height_ = height > 0 ? height : 0;
  bits_ = bits;
  rowSize_ = static_cast<int32_t>(RowBytes(width_, bits));
  data_.assign(static_cast<size_t>(rowSize_) * static_cast<size_t>(height_), 0);
}

void TBrioBitmap::Clear() {
  width_ = height_ = rowSize_ = 0;
  data_.clear();
  data_.shrink_to_fit();
}

void CopyPixelBlock(const TPixelView& src, int32_t sx, int32_t sy, const TPixelView& dst, int32_t dx, int32_t dy,
                    int32_t w, int32_t h) {
  if (w <= 0 || h <= 0) return;
  int32_t bits = dst.Bits;
  bool aligned = bits >= 8 || ((sx * bits) % 8 == 0 && (dx * bits) % 8 == 0 && (w * bits) % 8 == 0);
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* s = src.Row(sy + y);
    uint8_t* d = dst.Row(dy + y);
    if (aligned) {
      std::memmove(d + static_cast<size_t>(dx) * bits / 8, s + static_cast<size_t>(sx) * bits / 8,
                   static_cast<size_t>(w) * bits / 8);
    } else {
      for (int32_t x = 0; x < w; ++x) WritePixel(d, dx + x, bits, ReadPixel(s, sx + x, bits));
    }
  }
}

}  // namespace nova
