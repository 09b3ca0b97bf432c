#pragma once
// The photo-like 32-bit pictures the drawing benchmarks work on: a smooth colour per pixel with
// a little seeded noise in the low bits of every channel, so no run of pixels is uniform.
#include <cstdint>
#include <memory>

#include "render/dibx.h"

namespace nova::bench {

// A well-mixed 32-bit hash (the noise source).
inline uint32_t Hash(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352d;
  x ^= x >> 15;
  x *= 0x846ca68b;
  return x ^ (x >> 16);
}

// A w x h picture of colour(x, y) (0x00RRGGBB) plus the seed's noise.
template <class Colour>
std::unique_ptr<TDIBX> NoisyPicture(int w, int h, uint32_t seed, Colour colour) {
  auto s = std::make_unique<TDIBX>();
  s->SetSize(w, h, 32);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(s->PixelAddress(0, y));
    for (int x = 0; x < w; ++x) row[x] = colour(x, y) + (Hash(seed + static_cast<uint32_t>(y * w + x)) & 0x0F0F0F);
  }
  return s;
}

}  // namespace nova::bench
