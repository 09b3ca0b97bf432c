// Mask members of shapes about the screen's centre: the clock hand, the fans and the circle.
// Shapes are drawn by pixel centres about the true centre (W / 2, H / 2 as reals): pixel
// (x, y) lies at (2x + 1 - W, 2y + 1 - H) / 2 from it, so the tests are exact in integers
// and a shape of the full size covers every pixel.
#include <algorithm>
#include <cmath>

#include "render/wipe_kinds.h"
#include "render/wipe_math.h"

namespace nova {

// ---------------------------------------------------------------------------------------------
// Directions

void TWipeDirections::Build(int width, int height) {
  width_ = width, height_ = height;
  angles_.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      // Clockwise from up: atan2 of (right, up).
      double a = std::atan2(2.0 * x + 1 - width, -(2.0 * y + 1 - height));
      double turns = a / (2 * M_PI);
      if (turns < 0) turns += 1;
      angles_[static_cast<size_t>(y) * width + x] = static_cast<uint16_t>(static_cast<int64_t>(turns * 65536) & 0xFFFF);
    }
}

uint32_t TWipeDirections::FromDegrees(int32_t degrees) {
  return static_cast<uint32_t>((int64_t{degrees} * 65536 / 360) & 0xFFFF);
}

void TWipeDirections::Fill(TDIBX& mask, const std::vector<std::pair<uint32_t, int64_t>>& sectors) const {
  // At most two sectors, tested in one pass; an empty sweep matches nothing.
  uint16_t start[2] = {0, 0};
  uint32_t sweep[2] = {0, 0};
  for (size_t k = 0; k < std::min<size_t>(2, sectors.size()); ++k) {
    start[k] = static_cast<uint16_t>(sectors[k].first & 0xFFFF);
    sweep[k] = static_cast<uint32_t>(std::clamp<int64_t>(sectors[k].second, 0, 65536));
  }
  for (int y = 0; y < std::min(height_, mask.GetHeight()); ++y) {
    uint8_t* row = mask.PixelAddress(0, y);
    const uint16_t* a = angles_.data() + static_cast<size_t>(y) * width_;
    for (int x = 0; x < width_; ++x) {
      bool in = static_cast<uint16_t>(a[x] - start[0]) < sweep[0] || static_cast<uint16_t>(a[x] - start[1]) < sweep[1];
      row[x] = in ? 255 : 0;
    }
  }
}

void TWipeSectors::Prepare() {
  TWipeMask::Prepare();
  binary_ = true;
  directions_.Build(W(), H());
}

// The start direction is parameter 0 in degrees; the sweep is the time's share of a turn in
// 1/65536 (the progress value the masks quantise to).

bool TWipeClockhand::RenderMask() {
  const int64_t sweep = Scaled(65536);
  if (!NewProgress(sweep)) return false;
  const uint32_t start = TWipeDirections::FromDegrees(params_[0]);
  // Reversed the hand turns counter-clockwise: the sector ends at the start direction.
  const uint32_t first = reverse_ ? start - static_cast<uint32_t>(sweep) : start;
  directions_.Fill(mask_, {{first, sweep}});
  return true;
}

bool TWipeFan::RenderMask() {
  const int64_t half = Scaled(32768);  // progress x 180 degrees each way
  if (!NewProgress(half)) return false;
  const uint32_t start = TWipeDirections::FromDegrees(params_[0]);
  directions_.Fill(mask_, {{start - static_cast<uint32_t>(half), 2 * half}});
  return true;
}

bool TWipeWFan::RenderMask() {
  const int64_t half = Scaled(16384);  // progress x 90 degrees each way, twice
  if (!NewProgress(half)) return false;
  const uint32_t start = TWipeDirections::FromDegrees(params_[0]);
  const uint32_t h = static_cast<uint32_t>(half);
  directions_.Fill(mask_, {{start - h, 2 * half}, {start + 32768 - h, 2 * half}});
  return true;
}

// ---------------------------------------------------------------------------------------------
// Circle: radius round(R x progress) with R = hypot(W / 2, H / 2) (reversed: a disc of the old
// picture of radius round(R x (1 - progress))). A pixel lies inside when its centre is nearer
// than the radius: (2x + 1 - W)^2 + (2y + 1 - H)^2 < 4 r^2.

namespace {

int64_t FloorDiv2(int64_t a) { return a >= 0 ? a / 2 : -((-a + 1) / 2); }

// The largest m with m^2 < t (t > 0).
int64_t RootBelow(int64_t t) {
  auto m = static_cast<int64_t>(std::sqrt(static_cast<double>(t)));
  while (m > 0 && m * m >= t) --m;
  while ((m + 1) * (m + 1) < t) ++m;
  return m;
}

}  // namespace

bool TWipeCircle::RenderMask() {
  binary_ = true;
  const double radius = std::hypot(W() / 2.0, H() / 2.0);
  const double share = reverse_ ? static_cast<double>(duration_ - elapsed_) / duration_ : Progress();
  const int64_t r = wipe::Round(radius * share);
  if (!NewProgress(r)) return false;
  const uint8_t inside = reverse_ ? 0 : 255;
  mask_.Fill(reverse_ ? 255 : 0);
  for (int y = 0; y < H(); ++y) {
    const int64_t dy = 2 * int64_t{y} + 1 - H();
    const int64_t t = 4 * r * r - dy * dy;
    if (t <= 0) continue;
    // |2x + 1 - W| <= m
    const int64_t m = RootBelow(t);
    const int64_t x0 = std::max<int64_t>(0, -FloorDiv2(-(W() - 1 - m)));
    const int64_t x1 = std::min<int64_t>(W() - 1, FloorDiv2(W() - 1 + m));
    if (x0 <= x1) std::fill(MaskRow(y) + x0, MaskRow(y) + x1 + 1, inside);
  }
  return true;
}

}  // namespace nova
