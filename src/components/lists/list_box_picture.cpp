#include "components/lists/list_box_picture.h"

#include <exception>

#include "archive/vrfiles.h"
#include "components/component_services.h"

namespace nova {

void TListBoxPicture::Load(const std::string& name, TComponentServices& services) {
  source_ = name;
  list_.Clear();
  if (name.empty() || !services.Files) return;
  const bool present = services.CheckFile ? services.CheckFile(name) : services.Files->Exists(name);
  if (present) list_.Load(name, false, false);
}

int32_t TListBoxPicture::Width() const {
  const TBrioItem* item = list_.Item();
  return item && list_.Count() > 0 ? item->Frames[0]->Surface.GetWidth() : 0;
}

int32_t TListBoxPicture::Height() const {
  const TBrioItem* item = list_.Item();
  return item && list_.Count() > 0 ? item->Frames[0]->Surface.GetHeight() : 0;
}

TCustomDIBX* TListBoxPicture::Surface() {
  if (list_.Count() == 0) return nullptr;
  return &list_.Data(list_.Index).Frame().Surface;
}

TCustomDIBX* TListBoxPicture::Mask() {
  if (list_.Count() == 0) return nullptr;
  return list_.Data(list_.Index).Mask();
}

void DrawPicturePart(TCustomDIBX& d, int32_t x, int32_t y, const TRect& src, TCustomDIBX* s, TCustomDIBX* m,
                     int32_t a, bool flipV, bool flipH) {
  if (!s || s->IsEmpty() || a <= 0 || src.Empty()) return;
  const bool keyed = s->Transparent != -1;
  if (a == 255) {
    if (m) d.DrawMask(x, y, m, flipV, flipH, src, s);
    else d.Draw(x, y, flipV, flipH, keyed, src, s);
  } else if (a >= 256) {
    if (m) d.DrawAddMask(x, y, a - 256, m, flipV, flipH, src, s);
    else d.DrawAdd(x, y, a - 256, flipV, flipH, keyed, src, s);
  } else {
    if (m) d.DrawAlphaMask(x, y, a, m, flipV, flipH, src, s);
    else d.DrawAlpha(x, y, a, flipV, flipH, keyed, src, s);
  }
}

void PatternPicture(TCustomDIBX& d, const TRect& rect, int32_t originX, int32_t originY, TCustomDIBX* s,
                    TCustomDIBX* m, int32_t a) {
  if (!s || s->IsEmpty() || a <= 0 || rect.Empty()) return;
  // The pattern operations take the phase: the pattern column shown at the rectangle's edge.
  const int32_t offsetX = -originX, offsetY = -originY;
  const bool keyed = s->Transparent != -1;
  if (a == 255 && !keyed && !m) d.PatternFill(rect, s, false, false, offsetY, offsetX);
  else if (m) d.PatternDrawMask(rect, 256, a, m, false, false, offsetX, offsetY, s, 256);
  else d.PatternDraw(rect, 256, a, false, false, keyed, offsetX, offsetY, s, 256);
}

int32_t AlignedPatternStart(int32_t cell, int32_t image, uint8_t align) {
  if (image <= 0) return 0;
  switch (align) {
    case 1: return image < cell ? -((cell % image) / 2) : (cell - image) / 2;
    case 2: return image < cell ? -(cell % image) : cell - image;
    default: return 0;
  }
}

}  // namespace nova
