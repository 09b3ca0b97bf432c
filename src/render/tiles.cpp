// Tiles and patterns: copies of a source rectangle repeated with gaps through the unscaled or
// stretched draws, and a whole pattern surface repeated pixel by pixel from a phase.
#include <algorithm>
#include <vector>

#include "render/blend_op.h"
#include "render/draw_plan.h"

namespace nova {

namespace {

// a mod m in 0 .. m - 1, also for negative a.
int64_t Wrap(int64_t a, int64_t m) {
  int64_t r = a % m;
  return r < 0 ? r + m : r;
}

// Draws copies of a cellW x cellH cell every (cellW + gapX, cellH + gapY) pixels over destRect,
// the first column and row starting part-way into the period by the phase, with the clip
// narrowed to destRect meanwhile.
template <typename F>
void Tile(TCustomDIBX* d, const TRect& destRect, int cellW, int cellH, int gapX, int gapY, int offsetX, int offsetY,
          F&& drawAt) {
  int periodX = cellW + gapX, periodY = cellH + gapY;
  if (cellW <= 0 || cellH <= 0 || periodX <= 0 || periodY <= 0) return;
  TRect clip = Intersect(d->EffectiveClip(), destRect);
  if (clip.Empty()) return;
  TRect saved = d->GetClipRect();
  d->SetClipRect(clip);
  int startX = destRect.Left - static_cast<int>(Wrap(offsetX, periodX));
  int startY = destRect.Top - static_cast<int>(Wrap(offsetY, periodY));
  // Skip whole periods that end before the clip.
  if (clip.Left - startX >= periodX) startX += (clip.Left - startX) / periodX * periodX;
  if (clip.Top - startY >= periodY) startY += (clip.Top - startY) / periodY * periodY;
  for (int ty = startY; ty < clip.Bottom; ty += periodY)
    for (int tx = startX; tx < clip.Right; tx += periodX) drawAt(tx, ty);
  d->SetClipRect(saved);
}

int Zoomed(int size, int zoom) { return static_cast<int>(int64_t{size} * zoom / 256); }

}  // namespace

void TCustomDIBX::TileDraw(const TRect& destRect, int gapX, int offsetY, int offsetX, bool flipV, bool flipH,
                           bool keyed, const TRect& srcRect, TCustomDIBX* source, int gapY) {
  Tile(this, destRect, srcRect.Width(), srcRect.Height(), gapX, gapY, offsetX, offsetY,
       [&](int x, int y) { Draw(x, y, flipV, flipH, keyed, srcRect, source); });
}

void TCustomDIBX::TileDrawAlpha(const TRect& destRect, int gapX, int offsetY, int offsetX, int alpha, bool flipV,
                                bool flipH, bool keyed, const TRect& srcRect, TCustomDIBX* source, int gapY) {
  if (alpha <= 0) return;
  Tile(this, destRect, srcRect.Width(), srcRect.Height(), gapX, gapY, offsetX, offsetY,
       [&](int x, int y) { DrawAlpha(x, y, alpha, flipV, flipH, keyed, srcRect, source); });
}

void TCustomDIBX::TileDrawAdd(const TRect& destRect, int gapX, int offsetY, int offsetX, int factor, bool flipV,
                              bool flipH, bool keyed, const TRect& srcRect, TCustomDIBX* source, int gapY) {
  if (factor <= 0) return;
  Tile(this, destRect, srcRect.Width(), srcRect.Height(), gapX, gapY, offsetX, offsetY,
       [&](int x, int y) { DrawAdd(x, y, factor, flipV, flipH, keyed, srcRect, source); });
}

void TCustomDIBX::TileDrawMask(const TRect& destRect, int gapX, int offsetY, int offsetX, TCustomDIBX* mask,
                               bool flipV, bool flipH, const TRect& srcRect, TCustomDIBX* source, int gapY) {
  Tile(this, destRect, srcRect.Width(), srcRect.Height(), gapX, gapY, offsetX, offsetY,
       [&](int x, int y) { DrawMask(x, y, mask, flipV, flipH, srcRect, source); });
}

void TCustomDIBX::TileDrawAlphaMask(const TRect& destRect, int gapX, int offsetY, int offsetX, int alpha,
                                    TCustomDIBX* mask, bool flipV, bool flipH, const TRect& srcRect,
                                    TCustomDIBX* source, int gapY) {
  if (alpha <= 0) return;
  Tile(this, destRect, srcRect.Width(), srcRect.Height(), gapX, gapY, offsetX, offsetY,
       [&](int x, int y) { DrawAlphaMask(x, y, alpha, mask, flipV, flipH, srcRect, source); });
}

void TCustomDIBX::TileDrawAddMask(const TRect& destRect, int gapX, int offsetY, int offsetX, int factor,
                                  TCustomDIBX* mask, bool flipV, bool flipH, const TRect& srcRect,
                                  TCustomDIBX* source, int gapY) {
  if (factor <= 0) return;
  Tile(this, destRect, srcRect.Width(), srcRect.Height(), gapX, gapY, offsetX, offsetY,
       [&](int x, int y) { DrawAddMask(x, y, factor, mask, flipV, flipH, srcRect, source); });
}

void TCustomDIBX::TileStretchDraw(const TRect& destRect, int gapX, int offsetY, int offsetX, int alpha, bool flipV,
                                  bool flipH, bool keyed, const TRect& srcRect, TCustomDIBX* source, int gapY,
                                  int zoomY, int zoomX) {
  if (alpha <= 0 || zoomX <= 0 || zoomY <= 0) return;
  int w = Zoomed(srcRect.Width(), zoomX), h = Zoomed(srcRect.Height(), zoomY);
  Tile(this, destRect, w, h, gapX, gapY, offsetX, offsetY, [&](int x, int y) {
    TRect cell = TRect::FromSize(x, y, w, h);
    if (alpha <= 255)
      StretchDraw(cell, source, alpha, flipV, flipH, keyed, srcRect);
    else
      StretchDrawAdd(cell, source, alpha - 256, flipV, flipH, keyed, srcRect);
  });
}

void TCustomDIBX::TileStretchDrawMask(const TRect& destRect, int gapX, int offsetY, int offsetX, int alpha,
                                      TCustomDIBX* mask, bool flipV, bool flipH, const TRect& srcRect,
                                      TCustomDIBX* source, int gapY, int zoomY, int zoomX) {
  if (alpha <= 0 || zoomX <= 0 || zoomY <= 0) return;
  int w = Zoomed(srcRect.Width(), zoomX), h = Zoomed(srcRect.Height(), zoomY);
  Tile(this, destRect, w, h, gapX, gapY, offsetX, offsetY, [&](int x, int y) {
    TRect cell = TRect::FromSize(x, y, w, h);
    if (alpha <= 255)
      StretchDrawMask(cell, source, alpha, mask, flipV, flipH, srcRect);
    else
      StretchDrawAddMask(cell, source, alpha - 256, mask, flipV, flipH, srcRect);
  });
}

void TCustomDIBX::FramePattern(const TRect& r, int width, int offsetY, int offsetX, TCustomDIBX* pattern) {
  if (width <= 0) return;
  // Each band keeps the frame's phase, so the pattern runs on across the bands.
  auto band = [&](const TRect& b) {
    PatternFill(b, pattern, false, false, offsetY + (b.Top - r.Top), offsetX + (b.Left - r.Left));
  };
  band(TRect{r.Left, r.Top, r.Right, r.Top + width});
  band(TRect{r.Left, r.Bottom - width, r.Right, r.Bottom});
  if (r.Height() - 2 * width > 0) {
    band(TRect{r.Left, r.Top + width, r.Left + width, r.Bottom - width});
    band(TRect{r.Right - width, r.Top + width, r.Right, r.Bottom - width});
  }
}

void TCustomDIBX::PatternFill(const TRect& destRect, TCustomDIBX* pattern, bool flipV, bool flipH, int offsetY,
                              int offsetX) {
  if (!blit::Compatible(this, pattern)) return;
  TRect clip = Intersect(destRect, EffectiveClip());
  if (clip.Empty()) return;
  int pw = pattern->GetWidth(), ph = pattern->GetHeight();
  blit::TAccess d(this);
  if (!d) return;
  blit::TAccess s(pattern);
  if (!s) return;
  // Pattern column and row of a destination pixel, mirrored on a flipped axis.
  auto column = [&](int x) {
    int px = static_cast<int>(Wrap(int64_t{x} - destRect.Left + offsetX, pw));
    return flipH ? pw - 1 - px : px;
  };
  auto row = [&](int y) {
    int py = static_cast<int>(Wrap(int64_t{y} - destRect.Top + offsetY, ph));
    return flipV ? ph - 1 - py : py;
  };
  int bits = GetStoredBitCount();
  if (GetBlitPath() != TBlitPath::PerPixel && bits >= 8) {
    int bytes = bits / 8;
    for (int y = clip.Top; y < clip.Bottom; ++y) {
      const uint8_t* sr = s.Row(row(y));
      // Runs up to the pattern's edge, then from its other edge again.
      for (int x = clip.Left; x < clip.Right;) {
        int px = column(x);
        int run = std::min(clip.Right - x, flipH ? px + 1 : pw - px);
        blit::CopyRow(bits, d.Row(y) + x * bytes, sr + px * bytes, run, flipH ? -1 : 1, false, 0);
        x += run;
      }
    }
    return;
  }
  for (int y = clip.Top; y < clip.Bottom; ++y) {
    int py = row(y);
    for (int x = clip.Left; x < clip.Right; ++x) SetPixel(x, y, pattern->GetPixel(column(x), py));
  }
}

namespace {

void ZoomedPattern(TCustomDIBX* dest, const TRect& destRect, int zoomY, int alpha, TCustomDIBX* mask, bool flipV,
                   bool flipH, bool keyed, int offsetX, int offsetY, TCustomDIBX* pattern, int zoomX, bool masked) {
  if (alpha <= 0 || zoomX <= 0 || zoomY <= 0 || !blit::Compatible(dest, pattern)) return;
  int pw = pattern->GetWidth(), ph = pattern->GetHeight();
  if (masked && (!mask || mask->GetBitCount() != 8 || mask->GetWidth() < pw || mask->GetHeight() < ph)) return;
  TRect clip = Intersect(destRect, dest->EffectiveClip());
  if (clip.Empty()) return;
  blit::TBlendOp op = blit::TBlendOp::FromValue(alpha, masked);
  op.skipEqual = true;
  op.key = static_cast<uint32_t>(pattern->Transparent);
  op.keyed = keyed && !masked && pattern->Transparent != -1;
  // Source step 256 / zoom per destination pixel, 16.16.
  int64_t stepX = (int64_t{256} << 16) / zoomX, stepY = (int64_t{256} << 16) / zoomY;
  auto column = [&](int x) {
    int px = static_cast<int>(Wrap(((int64_t{x} - destRect.Left + offsetX) * stepX) >> 16, pw));
    return flipH ? pw - 1 - px : px;
  };
  auto row = [&](int y) {
    int py = static_cast<int>(Wrap(((int64_t{y} - destRect.Top + offsetY) * stepY) >> 16, ph));
    return flipV ? ph - 1 - py : py;
  };
  blit::TAccess d(dest);
  if (!d) return;
  blit::TAccess s(pattern);
  if (!s) return;
  blit::TAccess m(masked ? mask : nullptr);
  if (masked && !m) return;
  int w = clip.Width();
  std::vector<int> cols(static_cast<size_t>(w));
  for (int i = 0; i < w; ++i) cols[static_cast<size_t>(i)] = column(clip.Left + i);

  if (blit::UseRows32(dest)) {
    const TRows32& rows = ActiveRows32();
    std::vector<uint32_t> sbuf(static_cast<size_t>(w));
    std::vector<uint8_t> mbuf(static_cast<size_t>(masked ? w : 0));
    for (int y = clip.Top; y < clip.Bottom; ++y) {
      int py = row(y);
      const uint32_t* sr = s.Row32(py);
      for (int i = 0; i < w; ++i) sbuf[static_cast<size_t>(i)] = sr[cols[static_cast<size_t>(i)]];
      if (masked) {
        const uint8_t* mr = m.Row(py);
        for (int i = 0; i < w; ++i) mbuf[static_cast<size_t>(i)] = mr[cols[static_cast<size_t>(i)]];
      }
      op.Row32(rows, 0, d.Row32(y) + clip.Left, sbuf.data(), mbuf.data(), w);
    }
    return;
  }
  pixel::TMasks cm = blit::MasksOf(dest);
  for (int y = clip.Top; y < clip.Bottom; ++y) {
    int py = row(y);
    for (int i = 0; i < w; ++i) {
      int x = clip.Left + i, px = cols[static_cast<size_t>(i)];
      uint32_t out;
      if (op.Pixel(dest->GetPixel(x, y), pattern->GetPixel(px, py), masked ? mask->GetPixel(px, py) : 255, cm, false,
                   out))
        dest->SetPixel(x, y, out);
    }
  }
}

}  // namespace

void TCustomDIBX::PatternDraw(const TRect& destRect, int zoomY, int alpha, bool flipV, bool flipH, bool keyed,
                              int offsetX, int offsetY, TCustomDIBX* pattern, int zoomX) {
  ZoomedPattern(this, destRect, zoomY, alpha, nullptr, flipV, flipH, keyed, offsetX, offsetY, pattern, zoomX, false);
}

void TCustomDIBX::PatternDrawMask(const TRect& destRect, int zoomY, int alpha, TCustomDIBX* mask, bool flipV,
                                  bool flipH, int offsetX, int offsetY, TCustomDIBX* pattern, int zoomX) {
  ZoomedPattern(this, destRect, zoomY, alpha, mask, flipV, flipH, false, offsetX, offsetY, pattern, zoomX, true);
}

}  // namespace nova
