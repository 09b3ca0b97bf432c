#include "components/controls/value_control.h"

#include <algorithm>
#include <cmath>

#include "components/lists/list_box_picture.h"
#include "components/lists/load_quietly.h"
#include "render/dibx.h"

namespace nova {

void TCellPicture::Load(const std::string& name) {
  source_ = name;
  list_.Clear();
  if (!name.empty()) list_.Load(name, false, false);
}

void TCellPicture::LoadQuietly(const std::string& name) {
  nova::LoadQuietly([&] { Load(name); });
  source_ = name;
}

int32_t TCellPicture::CellWidth() const {
  if (list_.Count() == 0 || cells_ <= 0) return 0;
  return list_.Item()->Frames[0]->Surface.GetWidth() / cells_;
}

int32_t TCellPicture::Height() const {
  return list_.Count() == 0 ? 0 : list_.Item()->Frames[0]->Surface.GetHeight();
}

TCustomDIBX* TCellPicture::Surface() { return list_.Count() == 0 ? nullptr : &list_.Data(0).Frame().Surface; }

TCustomDIBX* TCellPicture::Mask() { return list_.Count() == 0 ? nullptr : list_.Data(0).Mask(); }

bool TCellPicture::MaskHit(int cell, int32_t x, int32_t y) {
  const int32_t w = CellWidth(), h = Height();
  if (x < 0 || y < 0 || x >= w || y >= h) return false;
  TCustomDIBX* mask = Mask();
  if (!mask) return true;
  const int32_t mx = cell * w + x;
  if (mx >= mask->GetWidth() || y >= mask->GetHeight()) return false;
  return mask->GetPixel(mx, y) > 127;
}

void TCellPicture::DrawCell(TCustomDIBX& target, int cell, int32_t x, int32_t y, int32_t blend) {
  const int32_t w = CellWidth(), h = Height();
  if (w <= 0 || h <= 0) return;
  DrawPicturePart(target, x, y, TRect::FromSize(cell * w, 0, w, h), Surface(), Mask(), blend);
}

void TCellPicture::DrawRun(TCustomDIBX& target, int cell, const TRect& run, int32_t origin, bool vertical,
                           int32_t blend) {
  const int32_t w = CellWidth(), h = Height();
  const int32_t cellLength = vertical ? h : w;
  if (cellLength <= 0 || (vertical ? w : h) <= 0) return;
  // Only the tiles inside the clip are visited, however long the bar.
  const TRect clip = Intersect(run, target.EffectiveClip());
  if (clip.Empty()) return;
  const int32_t runStart = vertical ? clip.Top : clip.Left;
  const int32_t runEnd = vertical ? clip.Bottom : clip.Right;
  const int64_t skipped = (int64_t{runStart} - origin) / cellLength;
  for (int64_t a = int64_t{origin} + std::max<int64_t>(skipped, 0) * cellLength; a < runEnd; a += cellLength) {
    const int64_t s = std::max<int64_t>(a, runStart), e = std::min<int64_t>(a + cellLength, runEnd);
    if (s >= e) continue;
    const int32_t into = static_cast<int32_t>(s - a), length = static_cast<int32_t>(e - s);
    if (vertical)
      DrawPicturePart(target, run.Left, static_cast<int32_t>(s), TRect::FromSize(cell * w, into, w, length), Surface(),
                      Mask(), blend);
    else
      DrawPicturePart(target, static_cast<int32_t>(s), run.Top, TRect::FromSize(cell * w + into, 0, length, h),
                      Surface(), Mask(), blend);
  }
}

int32_t ClampToRange(int64_t v, int32_t min, int32_t max) {
  if (v > max) v = max;
  if (v < min) v = min;
  return static_cast<int32_t>(v);
}

int64_t ScaleRounded(int64_t part, int64_t range, int64_t length) {
  if (range <= 0) return 0;
  // Values, ranges and lengths stay below 2^33 and 2^25: the product is exact in a long double.
  return std::llround(static_cast<long double>(part) * length / range);
}

}  // namespace nova
