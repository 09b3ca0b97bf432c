// Smoothed reductions of images drawn at n times their final size: a 1-bit image (ink bits
// counted per n x n block) and a 4-bit image of three colours (each colour counted per block).
#include <algorithm>

#include "render/blit.h"

namespace nova {

namespace {

// The destination of a reduction: srcRect divided by n at (x, y), clipped. Block (i, j) of the
// clipped rectangle (counted from the unclipped origin, mirrored on a flipped axis) starts at
// source (BlockX(i), BlockY(j)).
struct TSmoothPlan {
  TRect dest;
  int x, y, n, blocksX, blocksY;
  TRect src;
  bool flipV, flipH;
  int BlockX(int dx) const {
    int b = dx - x;
    return src.Left + (flipH ? blocksX - 1 - b : b) * n;
  }
  int BlockY(int dy) const {
    int b = dy - y;
    return src.Top + (flipV ? blocksY - 1 - b : b) * n;
  }
};

// False as well when the source is not of the given bit count or n lies outside 1..16.
bool PlanSmooth(TCustomDIBX* dest, TCustomDIBX* source, int bits, int x, int y, int n, bool flipV, bool flipH,
                const TRect& srcRect, TSmoothPlan& p) {
  if (n < 1 || n > 16 || !source || source->GetBitCount() != bits || dest->IsEmpty()) return false;
  if (srcRect.Left < 0 || srcRect.Top < 0 || srcRect.Right > source->GetWidth() ||
      srcRect.Bottom > source->GetHeight())
    return false;
  p.x = x, p.y = y, p.n = n, p.src = srcRect, p.flipV = flipV, p.flipH = flipH;
  p.blocksX = srcRect.Width() / n;
  p.blocksY = srcRect.Height() / n;
  p.dest = Intersect(TRect::FromSize(x, y, p.blocksX, p.blocksY), dest->EffectiveClip());
  return !p.dest.Empty();
}

// The n bits of a 1-bit row starting at bit x (most significant first), n <= 32.
inline uint32_t Bits(const uint8_t* row, int x, int n) {
  int first = x >> 3, last = (x + n - 1) >> 3;
  uint64_t v = 0;
  for (int b = first; b <= last; ++b) v = v << 8 | row[b];
  int tail = (last + 1) * 8 - (x + n);
  return static_cast<uint32_t>((v >> tail) & ((uint64_t{1} << n) - 1));
}

// Walks the destination pixels of a reduction with both surfaces locked. mix(s, rows, sx, sy, v)
// gets the source corner (sx, sy) of the pixel's block and its value v, and either replaces v
// and returns true, or returns false to leave the pixel as it is. rows: the 32-bit row path,
// where the source is read through s; else pixel by pixel.
template <typename Mix>
void DrawBlocks(TCustomDIBX* dest, TCustomDIBX* source, const TSmoothPlan& p, Mix&& mix) {
  blit::TAccess d(dest), s(source);
  if (!blit::AllLocked(d, s)) return;
  const bool rows = blit::UseRows32(dest);
  for (int dy = p.dest.Top; dy < p.dest.Bottom; ++dy) {
    int sy = p.BlockY(dy);
    for (int dx = p.dest.Left; dx < p.dest.Right; ++dx) {
      uint32_t* dp = rows ? d.Row32(dy) + dx : nullptr;
      uint32_t v = rows ? *dp : dest->GetPixel(dx, dy);
      if (!mix(s, rows, p.BlockX(dx), sy, v)) continue;
      if (rows) *dp = v;
      else dest->SetPixel(dx, dy, v);
    }
  }
}

}  // namespace

void TCustomDIBX::DrawMonoSmooth(int x, int y, int factor, int alpha, bool flipV, bool flipH, uint32_t pixel,
                                 const TRect& srcRect, TCustomDIBX* source) {
  TSmoothPlan p;
  if (alpha <= 0 || !PlanSmooth(this, source, 1, x, y, factor, flipV, flipH, srcRect, p)) return;
  int n = factor;
  uint32_t total = static_cast<uint32_t>(n * n);
  pixel::TMasks m = blit::MasksOf(this);
  DrawBlocks(this, source, p, [&](const blit::TAccess& s, bool rows, int sx, int sy, uint32_t& v) {
    // A 0 bit is ink; the block's order does not change the count.
    uint32_t ink = 0;
    if (rows) {
      for (int k = 0; k < n; ++k) ink += n - __builtin_popcount(Bits(s.Row(sy + k), sx, n));
    } else {
      for (int k = 0; k < n; ++k)
        for (int l = 0; l < n; ++l) ink += source->GetPixel(sx + l, sy + k) == 0;
    }
    if (alpha < 255) ink = (static_cast<uint32_t>(alpha) * ink) >> 8;
    v = pixel::MonoSmooth(v, pixel, ink, total, m);
    return true;
  });
}

void TCustomDIBX::DrawQuadSmooth(int x, int y, int factor, int alpha, bool flipV, bool flipH, uint32_t pixel1,
                                 uint32_t pixel2, uint32_t pixel3, const TRect& srcRect, TCustomDIBX* source) {
  TSmoothPlan p;
  if (alpha <= 0 || !PlanSmooth(this, source, 4, x, y, factor, flipV, flipH, srcRect, p)) return;
  int n = factor;
  uint32_t a = static_cast<uint32_t>(std::min(alpha, 255));
  uint32_t total = static_cast<uint32_t>(n * n * 256);
  int shift = 31 - __builtin_clz(total);  // log2(n x n x 256)
  // Weight of k pixels of one colour: alpha x k.
  uint32_t weight[16 * 16 + 1];
  for (int k = 0; k <= n * n; ++k) weight[k] = a * static_cast<uint32_t>(k);
  const uint32_t colours[3] = {pixel1, pixel2, pixel3};
  pixel::TMasks m = blit::MasksOf(this);
  DrawBlocks(this, source, p, [&](const blit::TAccess& s, bool rows, int sx, int sy, uint32_t& v) {
    int count[4] = {0, 0, 0, 0};
    for (int k = 0; k < n; ++k) {
      const uint8_t* row = rows ? s.Row(sy + k) : nullptr;
      for (int l = 0; l < n; ++l) {
        int px = sx + l;
        uint32_t c = rows ? (px & 1 ? row[px >> 1] & 0xF : row[px >> 1] >> 4) : source->GetPixel(px, sy + k);
        if (c >= 1 && c <= 3) ++count[c];
      }
    }
    if (count[1] + count[2] + count[3] == 0) return false;  // an empty block leaves the destination
    const uint32_t w[3] = {weight[count[1]], weight[count[2]], weight[count[3]]};
    v = pixel::QuadSmooth(v, colours, w, total, shift, m);
    return true;
  });
}

}  // namespace nova
