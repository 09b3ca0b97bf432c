#pragma once
// Small helpers of the transition members.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "render/dibx.h"

namespace nova::wipe {

// Rounds to the nearest integer, halves to the even neighbour.
inline int32_t Round(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

// min(255, numerator x 255 / softness), 0 below 0: the opening of a soft edge.
inline uint8_t SoftValue(int64_t numerator, int64_t softness) {
  if (numerator <= 0) return 0;
  return static_cast<uint8_t>(std::min<int64_t>(255, numerator * 255 / softness));
}

// Fills r (clipped to the surface) of an 8-bit surface with a value.
inline void FillMask(TCustomDIBX& mask, TRect r, uint8_t value) {
  r = Intersect(r, TRect{0, 0, mask.GetWidth(), mask.GetHeight()});
  if (r.Empty()) return;
  uint8_t* base = mask.PixelAddress(0, 0);
  if (!base) return;
  for (int y = r.Top; y < r.Bottom; ++y)
    std::memset(base + ptrdiff_t{y} * mask.GetPitch() + r.Left, value, static_cast<size_t>(r.Width()));
  mask.Unlock();
}

}  // namespace nova::wipe
