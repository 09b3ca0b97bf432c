#pragma once
// Clipping of scaled draws and the walk over their rows: the source position per destination
// pixel in 16.16 fixed point, with the source columns of a row precomputed once per call.
#include <cstdint>

#include "render/blit.h"

namespace nova::blit {

// Source columns of one stretched row: at most this many destination pixels are drawn.
constexpr int kMaxStretchSpan = 1280;

// One axis of a scaled draw after clipping.
struct TScaledAxis {
  int dest0 = 0, count = 0;   // clipped destination span
  int srcLo = 0, srcHi = 0;   // srcRect on this axis
  int64_t whole = 0;          // whole source pixels skipped by the clip
  int64_t frac = 0;           // starting sub-pixel position, 16.16
  int64_t step = 0;           // source step per destination pixel, 16.16
  bool flip = false;

  // The source index of destination step i, or -1 when it falls outside srcRect.
  int At(int i) const {
    int64_t k = whole + ((frac + i * step) >> 16);
    if (k < 0 || k >= srcHi - srcLo) return -1;
    return flip ? static_cast<int>(srcHi - 1 - k) : static_cast<int>(srcLo + k);
  }
};

// The ratio is source size / destination size; a cut of k destination pixels moves the source
// edge by k x ratio, its whole part skipped and its fraction the starting sub-pixel position
// (on a mirrored axis the cut comes off the other source side). False when nothing is left.
bool PlanScaledAxis(int destLo, int destHi, int srcLo, int srcHi, int clipLo, int clipHi, bool flip, TScaledAxis& a);

// Both axes of destRect/srcRect against the clip; srcRect must lie inside srcBounds.
inline bool PlanScaled(const TRect& clip, const TRect& destRect, const TRect& srcRect, const TRect& srcBounds,
                       bool flipV, bool flipH, TScaledAxis& ax, TScaledAxis& ay) {
  if (srcRect.Left < srcBounds.Left || srcRect.Top < srcBounds.Top || srcRect.Right > srcBounds.Right ||
      srcRect.Bottom > srcBounds.Bottom)
    return false;
  return PlanScaledAxis(destRect.Left, destRect.Right, srcRect.Left, srcRect.Right, clip.Left, clip.Right, flipH, ax) &&
         PlanScaledAxis(destRect.Top, destRect.Bottom, srcRect.Top, srcRect.Bottom, clip.Top, clip.Bottom, flipV, ay);
}

// The precomputed source columns of a stretched row (at most kMaxStretchSpan), and whether they
// run one by one forward or backward, so that a row needs no gathering.
struct TColumns {
  int n = 0;
  int cols[kMaxStretchSpan];
  int direct = 0;  // +1: cols[i] = cols[0] + i; -1: cols[0] - i; 0: gather
  explicit TColumns(const TScaledAxis& ax);
};

// Calls row(j, destY, srcY) for every destination row whose source row lies inside srcRect.
template <typename F>
void ForScaledRows(const TScaledAxis& ay, F&& row) {
  for (int j = 0; j < ay.count; ++j) {
    int sy = ay.At(j);
    if (sy >= 0) row(ay.dest0 + j, sy);
  }
}

inline void Gather32(const uint32_t* row, const TColumns& c, uint32_t* out) {
  for (int i = 0; i < c.n; ++i) out[i] = row[c.cols[i]];
}

inline void Gather8(const uint8_t* row, const TColumns& c, uint8_t* out) {
  for (int i = 0; i < c.n; ++i) out[i] = row[c.cols[i]];
}

}  // namespace nova::blit
