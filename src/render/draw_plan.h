#pragma once
// Clipping of unscaled draws and the loop that walks their rows, either through row routines
// on raw rows or pixel by pixel through GetPixel/SetPixel.
#include <cstdint>

#include "render/blit.h"

namespace nova::blit {

// The destination rectangle left after clipping, and where the source is read for its first
// pixel: column srcX of row srcY, walking stepX (+1, or -1 when mirrored) per destination
// column and stepY per destination row.
struct TUnscaledPlan {
  TRect dest;
  int srcX = 0, srcY = 0;
  int stepX = 1, stepY = 1;
};

// srcRect is first cut to srcBounds (the part of the source, and mask, that exists), moving the
// destination with it; then the destination (x, y) with srcRect's size is cut to clip and
// srcRect by the same amounts, on the opposite side of a mirrored axis. False when nothing is
// left.
bool PlanUnscaled(const TRect& clip, int x, int y, TRect srcRect, const TRect& srcBounds, bool flipV, bool flipH,
                  TUnscaledPlan& plan);

// Copies n pixels of 8, 16, 24 or 32 bits, reading the source forward (step 1) or backward
// (step -1), skipping source pixels equal to key when keyed.
void CopyRow(int bits, uint8_t* d, const uint8_t* s, int n, int step, bool keyed, uint32_t key);

// Calls row(destRow, srcRow, maskRow, n) per destination row of a 32-bit plan with raw row
// pointers (source and mask pointers at the first pixel read; mirrored rows read backward).
template <typename F>
void ForRows32(TCustomDIBX* dest, TCustomDIBX* source, TCustomDIBX* mask, const TUnscaledPlan& p, F&& row) {
  TAccess d(dest);
  if (!d) return;
  TAccess s(source);
  if (source && !s) return;
  TAccess m(mask);
  if (mask && !m) return;
  int w = p.dest.Width();
  for (int j = 0, sy = p.srcY; j < p.dest.Height(); ++j, sy += p.stepY) {
    uint32_t* dr = d.Row32(p.dest.Top + j) + p.dest.Left;
    const uint32_t* sr = source ? s.Row32(sy) + p.srcX : nullptr;
    const uint8_t* mr = mask ? m.Row(sy) + p.srcX : nullptr;
    row(dr, sr, mr, w);
  }
}

// Calls pixel(dx, dy, sx, sy) for every destination pixel of a plan.
template <typename F>
void ForPixels(const TUnscaledPlan& p, F&& pixel) {
  for (int j = 0, sy = p.srcY; j < p.dest.Height(); ++j, sy += p.stepY)
    for (int i = 0, sx = p.srcX; i < p.dest.Width(); ++i, sx += p.stepX) pixel(p.dest.Left + i, p.dest.Top + j, sx, sy);
}

}  // namespace nova::blit
