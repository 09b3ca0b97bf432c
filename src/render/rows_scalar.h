#pragma once
// One 32-bit pixel at a time with the channels in packed lanes (red and blue together, green
// alone): the same results as the masked formulas of pixel_math.h, used by the vector row
// routines for their last few pixels and by the scalar loops of the scaled draws.
#include <cstdint>

namespace nova::px32 {

inline uint32_t Blend(uint32_t d, uint32_t s, uint32_t w) {
  uint32_t iw = 255 - w;
  uint32_t rb = (((d & 0xFF00FF) * iw + (s & 0xFF00FF) * w) >> 8) & 0xFF00FF;
  uint32_t g = (((d & 0xFF00) * iw + (s & 0xFF00) * w) >> 8) & 0xFF00;
  return rb | g;
}

inline uint32_t Add(uint32_t d, uint32_t s, uint32_t f) {
  uint32_t rb = (((s & 0xFF00FF) * f) >> 8) & 0xFF00FF;
  uint32_t g = (((s & 0xFF00) * f) >> 8) & 0xFF00;
  uint32_t t = rb | g;
  // Per-byte saturating sum of the three channels.
  uint32_t r = (d & 0xFF0000) + (t & 0xFF0000);
  uint32_t gg = (d & 0xFF00) + (t & 0xFF00);
  uint32_t b = (d & 0xFF) + (t & 0xFF);
  return (r > 0xFF0000 ? 0xFF0000 : r) | (gg > 0xFF00 ? 0xFF00 : gg) | (b > 0xFF ? 0xFF : b);
}

inline uint32_t AddSaturate(uint32_t d, uint32_t c) { return Add(d, c, 256); }

inline uint32_t SubSaturate(uint32_t d, uint32_t c) {
  uint32_t r = d & 0xFF0000, g = d & 0xFF00, b = d & 0xFF;
  uint32_t cr = c & 0xFF0000, cg = c & 0xFF00, cb = c & 0xFF;
  return (r > cr ? r - cr : 0) | (g > cg ? g - cg : 0) | (b > cb ? b - cb : 0);
}

}  // namespace nova::px32
