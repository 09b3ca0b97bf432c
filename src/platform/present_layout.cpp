#include "platform/present_layout.h"

#include <algorithm>

namespace nova {
namespace {

// Division rounding toward minus infinity (positions left of the picture stay negative).
int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// One axis: picture pixel of window point p (the centre of the device pixels it covers).
int32_t ToPicture(int32_t p, int32_t window, int32_t drawable, int32_t viewStart, int32_t viewSize, int32_t picture) {
  // centre in device pixels: (2p + 1) * drawable / (2 * window)
  int64_t num = ((2 * static_cast<int64_t>(p) + 1) * drawable - 2 * static_cast<int64_t>(viewStart) * window) * picture;
  return static_cast<int32_t>(FloorDiv(num, 2 * static_cast<int64_t>(window) * viewSize));
}

int32_t ToWindow(int32_t p, int32_t window, int32_t drawable, int32_t viewStart, int32_t viewSize, int32_t picture) {
  // centre in device pixels: viewStart + (2p + 1) * viewSize / (2 * picture)
  int64_t num = (2 * static_cast<int64_t>(viewStart) * picture + (2 * static_cast<int64_t>(p) + 1) * viewSize) * window;
  return static_cast<int32_t>(FloorDiv(num, 2 * static_cast<int64_t>(picture) * drawable));
}

}  // namespace

std::optional<ScaleMode> ParseScaleMode(const std::string& text) {
  if (text == "nearest") return ScaleMode::Nearest;
  if (text == "integer") return ScaleMode::Integer;
  if (text == "smooth") return ScaleMode::Smooth;
  return std::nullopt;
}

const char* ScaleModeName(ScaleMode mode) {
  switch (mode) {
    case ScaleMode::Integer: return "integer";
    case ScaleMode::Smooth: return "smooth";
    default: return "nearest";
  }
}

TRect FitPicture(ScaleMode mode, int32_t aw, int32_t ah, int32_t pw, int32_t ph) {
  if (aw <= 0 || ah <= 0 || pw <= 0 || ph <= 0) return TRect{};
  int64_t w = 0, h = 0;
  int32_t k = std::min(aw / pw, ah / ph);
  if (mode == ScaleMode::Integer && k >= 1) {
    w = static_cast<int64_t>(pw) * k;
    h = static_cast<int64_t>(ph) * k;
  } else if (static_cast<int64_t>(aw) * ph <= static_cast<int64_t>(ah) * pw) {
    // The width limits: full width, the height rounded to the nearest pixel.
    w = aw;
    h = std::max<int64_t>(1, (static_cast<int64_t>(ph) * aw + pw / 2) / pw);
  } else {
    h = ah;
    w = std::max<int64_t>(1, (static_cast<int64_t>(pw) * ah + ph / 2) / ph);
  }
  return TRect::FromSize(static_cast<int32_t>((aw - w) / 2), static_cast<int32_t>((ah - h) / 2), static_cast<int32_t>(w),
                         static_cast<int32_t>(h));
}

TPresentGeometry TPresentGeometry::Make(ScaleMode mode, int32_t ww, int32_t wh, int32_t dw, int32_t dh, int32_t pw,
                                        int32_t ph) {
  TPresentGeometry g;
  g.WindowWidth = ww, g.WindowHeight = wh;
  g.DrawableWidth = dw, g.DrawableHeight = dh;
  g.PictureWidth = pw, g.PictureHeight = ph;
  g.Viewport = FitPicture(mode, dw, dh, pw, ph);
  return g;
}

TPoint WindowToPicture(const TPresentGeometry& g, TPoint p) {
  if (!g.Valid()) return p;
  return TPoint{ToPicture(p.X, g.WindowWidth, g.DrawableWidth, g.Viewport.Left, g.Viewport.Width(), g.PictureWidth),
                ToPicture(p.Y, g.WindowHeight, g.DrawableHeight, g.Viewport.Top, g.Viewport.Height(), g.PictureHeight)};
}

TPoint PictureToWindow(const TPresentGeometry& g, TPoint p) {
  if (!g.Valid()) return p;
  return TPoint{ToWindow(p.X, g.WindowWidth, g.DrawableWidth, g.Viewport.Left, g.Viewport.Width(), g.PictureWidth),
                ToWindow(p.Y, g.WindowHeight, g.DrawableHeight, g.Viewport.Top, g.Viewport.Height(), g.PictureHeight)};
}

}  // namespace nova
