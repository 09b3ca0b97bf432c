// Index-image sources drawn through a table of pixel values: 4-bit images with alpha, copy or
// add, and 8-bit images added with a factor (the fire), unscaled and stretched.
#include <algorithm>

#include "render/draw_plan.h"
#include "render/rows_scalar.h"
#include "render/scaled_plan.h"

namespace nova {

namespace {

inline uint32_t Nibble(const uint8_t* row, int x) { return x & 1 ? row[x >> 1] & 0xF : row[x >> 1] >> 4; }

// Which 8-bit indices are drawn. The row routines of 15/16- and 32-bit surfaces take the
// indices at or above the threshold, the per-pixel path those above the source's transparent
// value; callers pass a threshold one above it, so both draw the same pixels.
struct TVisible {
  bool byThreshold;
  int threshold, transparent;
  TVisible(TCustomDIBX* dest, TCustomDIBX* source, int thr)
      : byThreshold(GetBlitPath() != TBlitPath::PerPixel &&
                    (dest->GetBitCount() == 15 || dest->GetBitCount() == 16 || dest->GetBitCount() == 32)),
        threshold(thr),
        transparent(source->Transparent) {}
  bool operator()(uint32_t index) const {
    return byThreshold ? static_cast<int>(index) >= threshold : static_cast<int>(index) > transparent;
  }
};

uint32_t AddPixel(TCustomDIBX* dest, uint32_t dv, uint32_t v, uint32_t f, const pixel::TMasks& m) {
  return dest->GetBitCount() == 8 ? std::min(255u, dv + v) : pixel::AddScaled(dv, v, f, m);
}

}  // namespace

void TCustomDIBX::DrawIndexed4(int x, int y, const uint32_t* table, int alpha, bool flipV, bool flipH,
                               const TRect& srcRect, TCustomDIBX* source) {
  if (alpha <= 0 || !table || !source || source->GetBitCount() != 4 || source->IsEmpty() || IsEmpty()) return;
  blit::TUnscaledPlan p;
  if (!blit::PlanUnscaled(EffectiveClip(), x, y, srcRect, blit::SourceBounds(source), flipV, flipH, p)) return;
  blit::TAccess d(this), s(source);
  if (!blit::AllLocked(d, s)) return;
  int32_t transparent = source->Transparent;
  uint32_t a = static_cast<uint32_t>(std::min(alpha, 255));
  uint32_t f = static_cast<uint32_t>(std::min(alpha - 256, 255));
  int bits = GetBitCount();
  bool words = bits == 15 || bits == 16;
  if (blit::UseRows32(this)) {
    for (int j = 0, sy = p.srcY; j < p.dest.Height(); ++j, sy += p.stepY) {
      uint32_t* dr = d.Row32(p.dest.Top + j) + p.dest.Left;
      const uint8_t* sr = s.Row(sy);
      for (int i = 0, sx = p.srcX; i < p.dest.Width(); ++i, sx += p.stepX) {
        uint32_t idx = Nibble(sr, sx);
        if (static_cast<int32_t>(idx) == transparent) continue;
        uint32_t v = table[idx];
        dr[i] = alpha == 255 ? v : alpha > 255 ? px32::Add(dr[i], v, f) : px32::Blend(dr[i], v, a);
      }
    }
    return;
  }
  pixel::TMasks m = blit::MasksOf(this);
  blit::ForPixels(p, [&](int dx, int dy, int sx, int sy) {
    uint32_t idx = source->GetPixel(sx, sy);
    if (static_cast<int32_t>(idx) == transparent) return;
    uint32_t v = table[idx], dv = GetPixel(dx, dy);
    if (alpha == 255) {
      SetPixel(dx, dy, v);
    } else if (alpha > 255) {
      if (words && (v == 0 || dv == 0xFFFF)) return;  // nothing to add, or already white
      SetPixel(dx, dy, AddPixel(this, dv, v, f, m));
    } else {
      SetPixel(dx, dy, pixel::Blend(dv, v, a, m));
    }
  });
}

void TCustomDIBX::DrawIndexedAdd(int x, int y, const uint32_t* table, int factor, bool flipV, bool flipH,
                                 int threshold, const TRect& srcRect, TCustomDIBX* source) {
  if (factor <= 0 || !table || !source || source->GetBitCount() != 8 || source->IsEmpty() || IsEmpty()) return;
  blit::TUnscaledPlan p;
  if (!blit::PlanUnscaled(EffectiveClip(), x, y, srcRect, blit::SourceBounds(source), flipV, flipH, p)) return;
  blit::TAccess d(this), s(source);
  if (!blit::AllLocked(d, s)) return;
  uint32_t f = static_cast<uint32_t>(std::min(factor, 255));
  TVisible visible(this, source, threshold);
  if (blit::UseRows32(this)) {
    for (int j = 0, sy = p.srcY; j < p.dest.Height(); ++j, sy += p.stepY) {
      uint32_t* dr = d.Row32(p.dest.Top + j) + p.dest.Left;
      const uint8_t* sr = s.Row(sy) + p.srcX;
      for (int i = 0; i < p.dest.Width(); ++i) {
        uint32_t idx = sr[i * p.stepX];
        if (visible(idx)) dr[i] = px32::Add(dr[i], table[idx], f);
      }
    }
    return;
  }
  pixel::TMasks m = blit::MasksOf(this);
  blit::ForPixels(p, [&](int dx, int dy, int sx, int sy) {
    uint32_t idx = source->GetPixel(sx, sy);
    if (visible(idx)) SetPixel(dx, dy, AddPixel(this, GetPixel(dx, dy), table[idx], f, m));
  });
}

void TCustomDIBX::StretchIndexed(const TRect& destRect, TCustomDIBX* source, const uint32_t* table, int alpha,
                                 bool flipV, bool flipH, int threshold, const TRect& srcRect) {
  if (alpha <= 0 || !table || !source || source->GetBitCount() != 8 || source->IsEmpty() || IsEmpty()) return;
  blit::TScaledAxis ax, ay;
  if (!blit::PlanScaled(EffectiveClip(), destRect, srcRect, blit::SourceBounds(source), flipV, flipH, ax, ay)) return;
  blit::TColumns c(ax);
  blit::TAccess d(this), s(source);
  if (!blit::AllLocked(d, s)) return;
  uint32_t f = static_cast<uint32_t>(std::min(alpha, 255));
  TVisible visible(this, source, threshold);
  if (blit::UseRows32(this)) {
    blit::ForScaledRows(ay, [&](int dy, int sy) {
      uint32_t* dr = d.Row32(dy) + ax.dest0;
      const uint8_t* sr = s.Row(sy);
      for (int i = 0; i < c.n; ++i) {
        uint32_t idx = sr[c.cols[i]];
        if (visible(idx)) dr[i] = px32::Add(dr[i], table[idx], f);
      }
    });
    return;
  }
  pixel::TMasks m = blit::MasksOf(this);
  blit::ForScaledRows(ay, [&](int dy, int sy) {
    for (int i = 0; i < c.n; ++i) {
      uint32_t idx = source->GetPixel(c.cols[i], sy);
      int dx = ax.dest0 + i;
      if (visible(idx)) SetPixel(dx, dy, AddPixel(this, GetPixel(dx, dy), table[idx], f, m));
    }
  });
}

}  // namespace nova
