#include "objects/screen.h"

#include "objects/scene.h"

namespace nova {

namespace {
constexpr int32_t kSecondaryKey = 0x800080;
}

TNovaBase::TNovaBase(TNovaBaseList* scene, int index)
    : TNovaControl(scene), index_(index), surface_(std::make_unique<TDIBX>()), secondary_(std::make_unique<TDIBX>()) {
  SetNameDirect(index == 0 ? std::string("\x01" "BASE0") : std::string("\x01" "BASE1"));
}

void TNovaBase::ResizeSurfaces(int32_t width, int32_t height, int bits) {
  width_ = width;
  height_ = height;
  if (width <= 0 || height <= 0) return;
  surface_->SetSize(width, height, bits);
  secondary_->SetSize(width, height, bits);
  secondary_->Transparent = secondary_->ColorToPixel(kSecondaryKey);
  dirty_.Clear();
  AddDirtyRect(TRect{0, 0, width, height});
}

TCustomDIBX* TNovaBase::DrawSurface() {
  TNovaBaseList* scene = Scene();
  if (scene && scene->BackSurface() && !scene->TransitionRunning() && scene->DisplayedIndex() == index_)
    return scene->BackSurface();
  return surface_.get();
}

void TNovaBase::AddDirtyRect(const TRect& rect) {
  TNovaBaseList* scene = Scene();
  const TRect whole{0, 0, scene ? scene->ScreenWidth() : width_, scene ? scene->ScreenHeight() : height_};
  TRect r = Intersect(rect, whole);
  if (!r.Empty()) dirty_.Add(r);
}

void TNovaBase::PaintDirty() {
  if (!visible_ || surface_->IsEmpty()) return;
  TCustomDIBX* target = DrawSurface();
  const TRect whole{0, 0, target->GetWidth(), target->GetHeight()};
  const TRect bounds = DrawnRect();
  for (const TRect& dirty : dirty_) {
    TRect area = Intersect(dirty, whole);
    if (area.Empty()) continue;
    target->ResetClip();
    target->AddClip(area);
    if (color_ >= 0) {
      TRect fill = Intersect(bounds, area);
      if (!fill.Empty()) target->FillRect(fill, static_cast<uint32_t>(target->ColorToPixel(color_)));
    }
    Paint(*target);
  }
  target->ResetClip();
}

TScreenMouseState& TNovaBase::Mouse() { return Scene()->Input().Screens[index_ & 1]; }

}  // namespace nova
