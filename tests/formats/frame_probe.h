#pragma once
// Reading back what a frame list composed.
#include <cstdint>

#include "formats/brios.h"

namespace nova::test {

inline uint32_t PixelOf(const TBrioFrame& f, int32_t x, int32_t y) { return f.Surface->GetPixel(x, y); }
inline int MaskOf(const TBrioFrame& f, int32_t x, int32_t y) {
  return f.HasMask() ? static_cast<int>(f.MaskSurface->GetPixel(x, y)) : -1;
}

}  // namespace nova::test
