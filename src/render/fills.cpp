// Fills and frames: solid, alpha-blended, additive and subtractive rectangles.
#include <algorithm>
#include <cstring>

#include "render/blit.h"

namespace nova {

void TCustomDIBX::FillRect(const TRect& rect, uint32_t pixel) {
  TRect r = Intersect(rect, EffectiveClip());
  if (r.Empty()) return;
  blit::TAccess dst(this);
  if (!dst) return;
  int w = r.Width();
  switch (GetStoredBitCount()) {
    case 8:
      for (int y = r.Top; y < r.Bottom; ++y) std::memset(dst.Row(y) + r.Left, static_cast<uint8_t>(pixel), w);
      return;
    case 16:
      for (int y = r.Top; y < r.Bottom; ++y)
        std::fill_n(reinterpret_cast<uint16_t*>(dst.Row(y)) + r.Left, w, static_cast<uint16_t>(pixel));
      return;
    case 32:
      for (int y = r.Top; y < r.Bottom; ++y) std::fill_n(dst.Row32(y) + r.Left, w, pixel);
      return;
    default:
      for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) SetPixel(x, y, pixel);
  }
}

namespace {

enum class TFillKind { Alpha, Add, Sub };

void BlendFill(TCustomDIBX* d, const TRect& rect, uint32_t pixel, int alpha, TFillKind kind) {
  TRect r = Intersect(rect, d->EffectiveClip());
  if (r.Empty()) return;
  uint32_t a = static_cast<uint32_t>(std::min(alpha, 255));
  if (blit::UseRows32(d)) {
    blit::TAccess dst(d);
    if (!dst) return;
    const TRows32& rows = ActiveRows32();
    for (int y = r.Top; y < r.Bottom; ++y) {
      uint32_t* row = dst.Row32(y) + r.Left;
      switch (kind) {
        case TFillKind::Alpha: rows.FillAlpha(row, r.Width(), pixel, a); break;
        case TFillKind::Add: rows.FillAdd(row, r.Width(), pixel); break;
        case TFillKind::Sub: rows.FillSub(row, r.Width(), pixel); break;
      }
    }
    return;
  }
  pixel::TMasks m = blit::MasksOf(d);
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      uint32_t v = d->GetPixel(x, y);
      switch (kind) {
        case TFillKind::Alpha:
          if (v != pixel) d->SetPixel(x, y, pixel::Blend(v, pixel, a, m));
          break;
        case TFillKind::Add: d->SetPixel(x, y, pixel::AddSaturate(v, pixel, m)); break;
        case TFillKind::Sub: d->SetPixel(x, y, pixel::SubSaturate(v, pixel, m)); break;
      }
    }
}

// The four bands of a border: top and bottom full width, left and right between them when
// height - 2 x width is positive.
template <typename F>
void FrameBands(const TRect& r, int width, F&& fill) {
  if (width <= 0) return;
  fill(TRect{r.Left, r.Top, r.Right, r.Top + width});
  fill(TRect{r.Left, r.Bottom - width, r.Right, r.Bottom});
  if (r.Height() - 2 * width > 0) {
    fill(TRect{r.Left, r.Top + width, r.Left + width, r.Bottom - width});
    fill(TRect{r.Right - width, r.Top + width, r.Right, r.Bottom - width});
  }
}

}  // namespace

void TCustomDIBX::FillRectAlpha(const TRect& r, uint32_t pixel, int alpha) {
  if (alpha <= 0) return;
  BlendFill(this, r, pixel, alpha, TFillKind::Alpha);
}

void TCustomDIBX::FillRectAdd(const TRect& r, uint32_t pixel) { BlendFill(this, r, pixel, 255, TFillKind::Add); }

void TCustomDIBX::FillRectSub(const TRect& r, uint32_t pixel) { BlendFill(this, r, pixel, 255, TFillKind::Sub); }

void TCustomDIBX::FrameRect(const TRect& r, int width, uint32_t pixel) {
  FrameBands(r, width, [&](const TRect& band) { FillRect(band, pixel); });
}

void TCustomDIBX::FrameRectAlpha(const TRect& r, int width, int alpha, uint32_t pixel) {
  FrameBands(r, width, [&](const TRect& band) { FillRectAlpha(band, pixel, alpha); });
}

void TCustomDIBX::FrameRectAdd(const TRect& r, int width, uint32_t pixel) {
  FrameBands(r, width, [&](const TRect& band) { FillRectAdd(band, pixel); });
}

}  // namespace nova
