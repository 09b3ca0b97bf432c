// RIPPLE: a ring of width L travels out from the centre; outside it the old picture, inside
// it the new one, and within it the new picture pushed outward by up to parameter 0 pixels.
// Only the top-left quarter (W / 2 x H / 2) is computed; every result is written to the four
// mirrored pixels. With an odd width (height) the middle column (row) lies outside the
// quarters: it repeats the column (row) before it.
#include <algorithm>
#include <cmath>

#include "render/blit.h"
#include "render/wipe_kinds.h"
#include "render/wipe_math.h"

namespace nova {

TWipeRipple::TWipeRipple(TCustomDIBX* destination, TCustomDIBX* from, TCustomDIBX* to)
    : TCustomWipe(destination, from, to) {
  wq_ = W() / 2, hq_ = H() / 2;
  const size_t n = static_cast<size_t>(wq_) * static_cast<size_t>(hq_);
  distance_.resize(n), cos_.resize(n), sin_.resize(n);
  for (int y = 0; y < hq_; ++y)
    for (int x = 0; x < wq_; ++x) {
      const size_t i = static_cast<size_t>(y) * wq_ + x;
      const double a = std::atan2(y - hq_, x - wq_);
      distance_[i] = static_cast<uint16_t>(wipe::Round(std::hypot(x - wq_, y - hq_)));
      cos_[i] = wipe::Round(std::cos(a) * 65536);
      sin_[i] = wipe::Round(std::sin(a) * 65536);
    }
  ringWidth_ = std::min(wq_, hq_) * 2 / 3;
  reach_ = wipe::Round(std::hypot(hq_, wq_));
  params_[0] = 5;
  BuildProfile();
}

void TWipeRipple::SetParam(int index, int32_t value) {
  TCustomWipe::SetParam(index, value);
  if (index == 0) BuildProfile();
}

// Four equal ramps over the ring: entry i = (i mod q) x a / q with q = L / 4 (a ring too
// narrow for four ramps stays flat).
void TWipeRipple::BuildProfile() {
  profile_.assign(static_cast<size_t>(ringWidth_), 0);
  const int q = ringWidth_ / 4;
  if (q == 0) return;
  for (int i = 0; i < ringWidth_; ++i) profile_[static_cast<size_t>(i)] = (i % q) * params_[0] / q;
}

template <typename Pixel>
void TWipeRipple::StepTyped(int pos) {
  blit::TAccess d(dest_);
  if (!d) return;
  blit::TAccess f(from_);
  if (!f) return;
  blit::TAccess t(to_);
  if (!t) return;
  const int w = W(), h = H(), last = ringWidth_ - 1;
  auto at = [](const blit::TAccess& a, int x, int y) -> Pixel& { return reinterpret_cast<Pixel*>(a.Row(y))[x]; };
  for (int y = 0; y < hq_; ++y)
    for (int x = 0; x < wq_; ++x) {
      const size_t i = static_cast<size_t>(y) * wq_ + x;
      const int xr = w - 1 - x, yr = h - 1 - y;
      const int k = distance_[i] + last - pos;
      if (k > last || k < 0) {
        const blit::TAccess& s = k > last ? f : t;
        at(d, x, y) = at(s, x, y), at(d, xr, y) = at(s, xr, y);
        at(d, x, yr) = at(s, x, yr), at(d, xr, yr) = at(s, xr, yr);
        continue;
      }
      const int64_t r = distance_[i] + profile_[static_cast<size_t>(k)];
      const int sx = wq_ + static_cast<int>(r * cos_[i] / 65536), sy = hq_ + static_cast<int>(r * sin_[i] / 65536);
      if (sx >= 0 && sx < w && sy >= 0 && sy < h) {
        at(d, x, y) = at(t, sx, sy), at(d, xr, y) = at(t, w - 1 - sx, sy);
        at(d, x, yr) = at(t, sx, h - 1 - sy), at(d, xr, yr) = at(t, w - 1 - sx, h - 1 - sy);
      } else {
        at(d, x, y) = at(t, x, y), at(d, xr, y) = at(t, xr, y);
        at(d, x, yr) = at(t, x, yr), at(d, xr, yr) = at(t, xr, yr);
      }
    }
  if (w % 2)
    for (int y = 0; y < h; ++y) at(d, wq_, y) = at(d, wq_ - 1, y);
  if (h % 2)
    for (int x = 0; x < w; ++x) at(d, x, hq_) = at(d, x, hq_ - 1);
}

void TWipeRipple::StepPerPixel(int pos) {
  const int w = W(), h = H(), last = ringWidth_ - 1;
  for (int y = 0; y < hq_; ++y)
    for (int x = 0; x < wq_; ++x) {
      const size_t i = static_cast<size_t>(y) * wq_ + x;
      const int xr = w - 1 - x, yr = h - 1 - y;
      const int k = distance_[i] + last - pos;
      TCustomDIBX* s = k > last ? from_ : to_;
      int sx = x, sy = y, sxr = xr, syr = yr;
      if (k >= 0 && k <= last) {
        const int64_t r = distance_[i] + profile_[static_cast<size_t>(k)];
        const int mx = wq_ + static_cast<int>(r * cos_[i] / 65536), my = hq_ + static_cast<int>(r * sin_[i] / 65536);
        if (mx >= 0 && mx < w && my >= 0 && my < h) sx = mx, sy = my, sxr = w - 1 - mx, syr = h - 1 - my;
      }
      dest_->SetPixel(x, y, s->GetPixel(sx, sy));
      dest_->SetPixel(xr, y, s->GetPixel(sxr, sy));
      dest_->SetPixel(x, yr, s->GetPixel(sx, syr));
      dest_->SetPixel(xr, yr, s->GetPixel(sxr, syr));
    }
  if (w % 2)
    for (int y = 0; y < h; ++y) dest_->SetPixel(wq_, y, dest_->GetPixel(wq_ - 1, y));
  if (h % 2)
    for (int x = 0; x < w; ++x) dest_->SetPixel(x, hq_, dest_->GetPixel(x, hq_ - 1));
}

void TWipeRipple::DrawStep() {
  // Too small for a quarter, or pictures that do not match: the old picture until the end.
  if (wq_ == 0 || hq_ == 0 || !blit::Compatible(dest_, from_) || !blit::Compatible(dest_, to_) ||
      from_->GetWidth() < W() || from_->GetHeight() < H() || to_->GetWidth() < W() || to_->GetHeight() < H()) {
    StartFrom(from_);
    return;
  }
  const int pos = static_cast<int>(Scaled(int64_t{reach_} + ringWidth_));
  const int bits = dest_->GetStoredBitCount();
  if (GetBlitPath() != TBlitPath::PerPixel && bits == 32)
    StepTyped<uint32_t>(pos);
  else if (GetBlitPath() != TBlitPath::PerPixel && bits == 16)
    StepTyped<uint16_t>(pos);
  else
    StepPerPixel(pos);
}

}  // namespace nova
