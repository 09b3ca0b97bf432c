// Stretched draws: nearest-neighbour scaling of srcRect onto destRect, opaque, blended,
// additive and through a mask.
#include <algorithm>
#include <cmath>

#include "render/blend_op.h"
#include "render/scaled_plan.h"

namespace nova {

bool blit::PlanScaledAxis(int destLo, int destHi, int srcLo, int srcHi, int clipLo, int clipHi, bool flip,
                          TScaledAxis& a) {
  int dw = destHi - destLo, sw = srcHi - srcLo;
  if (dw <= 0 || sw <= 0) return false;
  int cutLo = std::max(0, clipLo - destLo), cutHi = std::max(0, destHi - clipHi);
  if (cutLo + cutHi >= dw) return false;
  double ratio = static_cast<double>(sw) / dw;
  double moved = cutLo * ratio;
  double whole = std::floor(moved);
  a.dest0 = destLo + cutLo;
  a.count = dw - cutLo - cutHi;
  a.srcLo = srcLo;
  a.srcHi = srcHi;
  a.whole = static_cast<int64_t>(whole);
  a.frac = static_cast<int64_t>((moved - whole) * 65536.0);
  a.step = static_cast<int64_t>(ratio * 65536.0);
  a.flip = flip;
  return true;
}

blit::TColumns::TColumns(const TScaledAxis& ax) {
  n = std::min(ax.count, kMaxStretchSpan);
  for (int i = 0; i < n; ++i) cols[i] = std::max(ax.At(i), ax.srcLo);  // never outside: the step is truncated
  bool up = true, down = true;
  for (int i = 1; i < n && (up || down); ++i) {
    up = up && cols[i] == cols[0] + i;
    down = down && cols[i] == cols[0] - i;
  }
  direct = up ? 1 : down ? -1 : 0;
}

namespace {

using blit::TBlend;
using blit::TBlendOp;
using blit::TColumns;
using blit::TScaledAxis;

void Stretch(TCustomDIBX* dest, const TRect& destRect, TCustomDIBX* source, TCustomDIBX* mask, const TRect& srcRect,
             bool flipV, bool flipH, TBlendOp op) {
  if (!blit::Compatible(dest, source)) return;
  bool masked = op.Masked();
  if (masked && (!mask || mask->GetBitCount() != 8)) return;
  TScaledAxis ax, ay;
  TRect bounds = blit::SourceBounds(source, masked ? mask : nullptr);
  if (!blit::PlanScaled(dest->EffectiveClip(), destRect, srcRect, bounds, flipV, flipH, ax, ay)) return;
  op.key = static_cast<uint32_t>(source->Transparent);
  op.keyed = op.keyed && source->Transparent != -1;
  TColumns c(ax);
  blit::TAccess d(dest), s(source);
  if (!blit::AllLocked(d, s)) return;
  blit::TAccess m(masked ? mask : nullptr);
  if (masked && !m) return;

  if (blit::UseRows32(dest)) {
    const TRows32& rows = ActiveRows32();
    uint32_t sbuf[blit::kMaxStretchSpan];
    uint8_t mbuf[blit::kMaxStretchSpan];
    int rev = c.direct < 0;
    bool plainCopy = op.kind == TBlend::Copy && !op.keyed;
    int lastY = -1;
    uint32_t* lastRow = nullptr;
    blit::ForScaledRows(ay, [&](int dy, int sy) {
      uint32_t* dr = d.Row32(dy) + ax.dest0;
      if (plainCopy) {
        // An opaque copy repeats the row above when it reads the same source row.
        if (sy == lastY)
          rows.Copy[0](dr, lastRow, c.n);
        else if (c.direct)
          rows.Copy[rev](dr, s.Row32(sy) + c.cols[0], c.n);
        else
          rows.Gather(dr, s.Row32(sy), c.cols, c.n);
        lastY = sy, lastRow = dr;
        return;
      }
      // Rows whose columns run one by one are read in place, others gathered first.
      const uint32_t* sp = s.Row32(sy) + c.cols[0];
      if (!c.direct) rows.Gather(sbuf, s.Row32(sy), c.cols, c.n), sp = sbuf;
      const uint8_t* mp = nullptr;
      if (masked) {
        mp = m.Row(sy) + c.cols[0];
        if (!c.direct) blit::Gather8(m.Row(sy), c, mbuf), mp = mbuf;
      }
      op.Row32(rows, rev, dr, sp, mp, c.n);
    });
    return;
  }

  pixel::TMasks cm = blit::MasksOf(dest);
  bool index8 = dest->GetBitCount() == 8;
  blit::ForScaledRows(ay, [&](int dy, int sy) {
    for (int i = 0; i < c.n; ++i) {
      int dx = ax.dest0 + i, sx = c.cols[i];
      uint32_t out;
      if (op.Pixel(dest->GetPixel(dx, dy), source->GetPixel(sx, sy), masked ? mask->GetPixel(sx, sy) : 255, cm, index8,
                   out))
        dest->SetPixel(dx, dy, out);
    }
  });
}

TBlendOp Op(TBlend kind, int amount, bool keyed) {
  TBlendOp op;
  op.kind = kind;
  op.amount = static_cast<uint32_t>(std::min(amount, 255));
  op.keyed = keyed;
  op.plainAdd8 = true;
  return op;
}

}  // namespace

void TCustomDIBX::StretchDraw(const TRect& destRect, TCustomDIBX* source, int alpha, bool flipV, bool flipH,
                              bool keyed, const TRect& srcRect) {
  if (alpha <= 0) return;
  Stretch(this, destRect, source, nullptr, srcRect, flipV, flipH,
          Op(alpha >= 255 ? TBlend::Copy : TBlend::Alpha, alpha, keyed));
}

void TCustomDIBX::StretchDrawMask(const TRect& destRect, TCustomDIBX* source, int alpha, TCustomDIBX* mask,
                                  bool flipV, bool flipH, const TRect& srcRect) {
  if (alpha <= 0) return;
  Stretch(this, destRect, source, mask, srcRect, flipV, flipH,
          Op(alpha >= 255 ? TBlend::Mask : TBlend::AlphaMask, alpha, false));
}

void TCustomDIBX::StretchDrawAdd(const TRect& destRect, TCustomDIBX* source, int factor, bool flipV, bool flipH,
                                 bool keyed, const TRect& srcRect) {
  if (factor <= 0) return;
  Stretch(this, destRect, source, nullptr, srcRect, flipV, flipH, Op(TBlend::Add, factor, keyed));
}

void TCustomDIBX::StretchDrawAddMask(const TRect& destRect, TCustomDIBX* source, int factor, TCustomDIBX* mask,
                                     bool flipV, bool flipH, const TRect& srcRect) {
  if (factor <= 0) return;
  Stretch(this, destRect, source, mask, srcRect, flipV, flipH, Op(TBlend::AddMask, factor, false));
}

}  // namespace nova
