// Rotated and zoomed draws: every destination pixel of the turned box maps back into the
// source in 16.16 fixed point, stepping both source axes per column and per row.
#include <algorithm>
#include <cmath>

#include "render/blend_op.h"
#include "render/blit.h"

namespace nova {

namespace {

struct TRotatePlan {
  TRect box;           // destination pixels to visit
  int64_t u0 = 0, v0 = 0;  // source position (16.16) at the box's top-left
  int64_t dux = 0, dvx = 0;  // per destination column
  int64_t duy = 0, dvy = 0;  // per destination row
};

int ToInt(double v) { return static_cast<int>(std::clamp(v, -1e9, 1e9)); }

bool PlanRotate(const TRect& clip, int x, int y, int angle, int centreX, int centreY, const TRect& srcRect, int zoomX,
                int zoomY, TRotatePlan& p) {
  double a = angle * 2.0 * M_PI / 256.0;
  double c = std::cos(a), s = std::sin(a);
  double zx = zoomX / 256.0, zy = zoomY / 256.0;
  // The four corners of srcRect about the centre, zoomed and turned.
  double minX = 1e18, minY = 1e18, maxX = -1e18, maxY = -1e18;
  for (int px : {srcRect.Left, srcRect.Right})
    for (int py : {srcRect.Top, srcRect.Bottom}) {
      double rx = (px - centreX) * zx, ry = (py - centreY) * zy;
      double dx = rx * c - ry * s, dy = rx * s + ry * c;
      minX = std::min(minX, dx), maxX = std::max(maxX, dx);
      minY = std::min(minY, dy), maxY = std::max(maxY, dy);
    }
  TRect box{ToInt(x + minX), ToInt(y + minY), ToInt(x + maxX + 1), ToInt(y + maxY + 1)};
  p.box = Intersect(box, clip);
  if (p.box.Empty()) return false;
  // The inverse mapping per destination step.
  p.dux = static_cast<int64_t>(c / zx * 65536.0);
  p.dvx = static_cast<int64_t>(-s / zy * 65536.0);
  p.duy = static_cast<int64_t>(s / zx * 65536.0);
  p.dvy = static_cast<int64_t>(c / zy * 65536.0);
  int64_t ox = p.box.Left - x, oy = p.box.Top - y;
  p.u0 = int64_t{centreX} * 65536 + ox * p.dux + oy * p.duy;
  p.v0 = int64_t{centreY} * 65536 + ox * p.dvx + oy * p.dvy;
  return true;
}

// One source axis: srcRect [lo, hi) for mirroring, and the readable part [readLo, readHi).
struct TAxis {
  int lo, hi, readLo, readHi;
  bool flip;
  // The source index of a position, or -1: negative positions and positions outside srcRect
  // (after mirroring) are skipped, as are those outside the readable part.
  int At(int64_t pos) const {
    if (pos < 0) return -1;
    int64_t k = pos >> 16;
    if (flip) k = lo + hi - 1 - k;
    return k >= readLo && k < readHi ? static_cast<int>(k) : -1;
  }
  // The positions [first, end) (16.16) whose index is readable: the same rule as an interval.
  void Positions(int64_t& first, int64_t& end) const {
    int64_t a = readLo, b = readHi;  // indices after mirroring
    if (flip) a = int64_t{lo} + hi - readHi, b = int64_t{lo} + hi - readLo;
    first = std::max<int64_t>(a, 0) * 65536;
    end = b * 65536;
  }
};

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// The steps i in [first, end) of [0, n) with lo <= a + i x d < hi.
void SolveSpan(int64_t a, int64_t d, int64_t lo, int64_t hi, int n, int& first, int& end) {
  int64_t f, e;
  if (d == 0) {
    f = 0, e = (a >= lo && a < hi) ? n : 0;
  } else if (d > 0) {
    f = CeilDiv(lo - a, d), e = CeilDiv(hi - a, d);
  } else {
    f = FloorDiv(a - hi, -d) + 1, e = FloorDiv(a - lo, -d) + 1;
  }
  first = static_cast<int>(std::clamp<int64_t>(f, 0, n));
  end = static_cast<int>(std::clamp<int64_t>(e, first, n));
}

void Rotate(TCustomDIBX* dest, int x, int y, int alpha, TCustomDIBX* mask, bool flipV, bool flipH, bool keyed,
            int angle, int centreY, int centreX, const TRect& srcRect, TCustomDIBX* source, int zoomY, int zoomX,
            bool masked) {
  if (alpha <= 0 || zoomX <= 0 || zoomY <= 0 || !blit::Compatible(dest, source)) return;
  if (masked && (!mask || mask->GetBitCount() != 8)) return;
  TRect readable = Intersect(srcRect, TRect{0, 0, source->GetWidth(), source->GetHeight()});
  if (masked) readable = Intersect(readable, TRect{0, 0, mask->GetWidth(), mask->GetHeight()});
  if (readable.Empty()) return;
  TRotatePlan p;
  if (!PlanRotate(dest->EffectiveClip(), x, y, angle, centreX, centreY, srcRect, zoomX, zoomY, p)) return;
  TAxis ax{srcRect.Left, srcRect.Right, readable.Left, readable.Right, flipH};
  TAxis ay{srcRect.Top, srcRect.Bottom, readable.Top, readable.Bottom, flipV};
  // 255 copies, below blends as DrawAlpha, 256 and above adds with the low byte as factor.
  blit::TBlendOp op = blit::TBlendOp::FromValue(alpha, masked);
  if (alpha > 255) op.amount = static_cast<uint32_t>(alpha & 0xFF);
  op.skipEqual = true;
  op.key = static_cast<uint32_t>(source->Transparent);
  op.keyed = keyed && !masked && source->Transparent != -1;

  blit::TAccess d(dest), s(source);
  if (!blit::AllLocked(d, s)) return;
  blit::TAccess m(masked ? mask : nullptr);
  if (masked && !m) return;
  int w = p.box.Width();

  if (blit::UseRows32(dest)) {
    const TRows32& rows = ActiveRows32();
    int64_t uLo, uHi, vLo, vHi;
    ax.Positions(uLo, uHi);
    ay.Positions(vLo, vHi);
    constexpr int kChunk = 512;
    uint32_t sbuf[kChunk];
    uint8_t mbuf[kChunk];
    for (int j = 0; j < p.box.Height(); ++j) {
      int64_t u = p.u0 + j * p.duy, v = p.v0 + j * p.dvy;
      // Only the pixels whose source is readable, found as one span per row.
      int f1, e1, f2, e2;
      SolveSpan(u, p.dux, uLo, uHi, w, f1, e1);
      SolveSpan(v, p.dvx, vLo, vHi, w, f2, e2);
      int first = std::max(f1, f2), end = std::min(e1, e2);
      uint32_t* dr = d.Row32(p.box.Top + j) + p.box.Left;
      for (int i0 = first; i0 < end; i0 += kChunk) {
        int n = std::min(kChunk, end - i0);
        int64_t cu = u + i0 * p.dux, cv = v + i0 * p.dvx;
        for (int i = 0; i < n; ++i, cu += p.dux, cv += p.dvx) {
          int sx = static_cast<int>(cu >> 16), sy = static_cast<int>(cv >> 16);
          if (flipH) sx = ax.lo + ax.hi - 1 - sx;
          if (flipV) sy = ay.lo + ay.hi - 1 - sy;
          sbuf[i] = s.Row32(sy)[sx];
          if (masked) mbuf[i] = m.Row(sy)[sx];
        }
        op.Row32(rows, 0, dr + i0, sbuf, mbuf, n);
      }
    }
    return;
  }

  pixel::TMasks cm = blit::MasksOf(dest);
  for (int j = 0; j < p.box.Height(); ++j) {
    int64_t u = p.u0 + j * p.duy, v = p.v0 + j * p.dvy;
    for (int i = 0; i < w; ++i, u += p.dux, v += p.dvx) {
      int sx = ax.At(u), sy = ay.At(v);
      if (sx < 0 || sy < 0) continue;
      int dx = p.box.Left + i, dy = p.box.Top + j;
      uint32_t out;
      if (op.Pixel(dest->GetPixel(dx, dy), source->GetPixel(sx, sy), masked ? mask->GetPixel(sx, sy) : 255, cm, false,
                   out))
        dest->SetPixel(dx, dy, out);
    }
  }
}

}  // namespace

void TCustomDIBX::DrawRotate(int x, int y, int alpha, bool flipV, bool flipH, bool keyed, int angle, int centreY,
                             int centreX, const TRect& srcRect, TCustomDIBX* source, int zoomY, int zoomX) {
  Rotate(this, x, y, alpha, nullptr, flipV, flipH, keyed, angle, centreY, centreX, srcRect, source, zoomY, zoomX,
         false);
}

void TCustomDIBX::DrawRotateMask(int x, int y, int alpha, TCustomDIBX* mask, bool flipV, bool flipH, int angle,
                                 int centreY, int centreX, const TRect& srcRect, TCustomDIBX* source, int zoomY,
                                 int zoomX) {
  Rotate(this, x, y, alpha, mask, flipV, flipH, false, angle, centreY, centreX, srcRect, source, zoomY, zoomX, true);
}

}  // namespace nova
