#include "components/images/nova_custom_image.h"

#include <algorithm>
#include <cmath>

#include "components/lists/list_box_picture.h"
#include "objects/scene.h"

namespace nova {

namespace {

// Rounds a 16.16 fixed-point product half up (the zoomed-child rule).
int32_t ScaledHalfUp(int64_t value, int64_t ratio16) { return static_cast<int32_t>((value * ratio16 + 0x8000) >> 16); }

int32_t PositiveZoom(int32_t zoom) { return zoom <= 0 ? 1 : zoom; }

}  // namespace

TNovaCustomImage::TNovaCustomImage(TNovaBaseList* scene, TComponentServices& services)
    : TNovaControl(scene), services_(services) {}

TNovaCustomImage::~TNovaCustomImage() = default;

// ---- setters ----

void TNovaCustomImage::SetAlpha(int32_t value) {
  if (value == alpha_) return;
  alpha_ = value;
  Invalidate();
}

void TNovaCustomImage::SetZoomX(int32_t zoom) {
  zoom = PositiveZoom(zoom);
  if (zoom == zoomX_) return;
  Invalidate();
  zoomX_ = zoom;
  GeometryChanged();
  Invalidate();
}

void TNovaCustomImage::SetZoomY(int32_t zoom) {
  zoom = PositiveZoom(zoom);
  if (zoom == zoomY_) return;
  Invalidate();
  zoomY_ = zoom;
  GeometryChanged();
  Invalidate();
}

void TNovaCustomImage::SetAngle(int32_t angle) {
  if (angle == angle_) return;
  Invalidate();
  angle_ = angle;
  Invalidate();
}

void TNovaCustomImage::SetFlipH(bool on) {
  if (on == flipH_) return;
  Invalidate();
  flipH_ = on;
  GeometryChanged();
  Invalidate();
}

void TNovaCustomImage::SetFlipV(bool on) {
  if (on == flipV_) return;
  Invalidate();
  flipV_ = on;
  GeometryChanged();
  Invalidate();
}

void TNovaCustomImage::SetWidth(int32_t v) {
  if (HasMotion()) {
    TNovaControl::SetWidth(v);
    return;
  }
  if (zoomX_ == 0 && v == width_) return;
  Invalidate();
  zoomX_ = 0;
  width_ = v;
  GeometryChanged();
  Invalidate();
}

void TNovaCustomImage::SetHeight(int32_t v) {
  if (HasMotion()) {
    TNovaControl::SetHeight(v);
    return;
  }
  if (zoomY_ == 0 && v == height_) return;
  Invalidate();
  zoomY_ = 0;
  height_ = v;
  GeometryChanged();
  Invalidate();
}

void TNovaCustomImage::ShowPicture(TCustomDIBX* surface, TCustomDIBX* mask) {
  Invalidate();
  surface_ = surface;
  mask_ = mask;
  RecomputeSize();
  Invalidate();
}

// ---- geometry ----

void TNovaCustomImage::GeometryChanged() {
  geometryDirty_ = true;
  // The size is brought up to date at once (not only at the next update), so that a paused
  // image does not show a stale stretch; position-zoomed children follow their parent.
  RecomputeSize();
  for (TNovaControl* child : Children()) {
    auto* image = dynamic_cast<TNovaCustomImage*>(child);
    if (image && image->posZoomed_) image->GeometryChanged();
  }
}

void TNovaCustomImage::RecomputeSize() {
  if (HasMotion() || recomputing_ || !SizeFollowsPicture()) return;
  recomputing_ = true;
  auto size = [this](bool horizontal) -> int32_t {
    const int32_t own = horizontal ? surface_->GetWidth() : surface_->GetHeight();
    const int32_t zoom = horizontal ? zoomX_ : zoomY_;
    // An explicit size (zoom 0) stays as it was set: every frame is stretched to it.
    if (zoom == 0) return horizontal ? width_ : height_;
    TNovaControl* parent = Parent();
    TCustomDIBX* parentSurface = parent ? parent->OwnSurface() : nullptr;
    if (posZoomed_ && parent && !parent->IsScreen() && parentSurface) {
      const int32_t parentZoom = horizontal ? parent->ZoomX() : parent->ZoomY();
      const int32_t surfaceSize = horizontal ? parentSurface->GetWidth() : parentSurface->GetHeight();
      if (zoom == parentZoom && surfaceSize > 0) {
        // Neighbouring children of a stretched parent meet exactly: both edges go through
        // the same 16.16 scaling as the position.
        const int32_t pos = horizontal ? left_ : top_, offset = horizontal ? offsetX_ : offsetY_;
        const bool flip = horizontal ? flipH_ : flipV_;
        const int64_t off = flip ? int64_t{surfaceSize} + offset - pos - own : int64_t{pos} - offset;
        const int32_t parentSize = horizontal ? parent->Width() : parent->Height();
        const int64_t ratio16 = (int64_t{parentSize} << 16) / surfaceSize;
        return ScaledHalfUp(off + own, ratio16) - ScaledHalfUp(off, ratio16);
      }
    }
    return static_cast<int32_t>(int64_t{own} * zoom / 256);
  };
  int32_t w = 0, h = 0;
  if (surface_) w = size(true), h = size(false);
  if (w != width_ || h != height_) SetBounds(left_, top_, w, h);
  recomputing_ = false;
}

void TNovaCustomImage::PositionChanged() {
  if (posZoomed_) RecomputeSize();
  TNovaControl::PositionChanged();
}

bool TNovaCustomImage::Update(uint32_t elapsedMs) {
  // A position-zoomed image follows its parent's picture, also after moving to another parent.
  if (geometryDirty_ || posZoomed_) {
    geometryDirty_ = false;
    RecomputeSize();
  }
  return TNovaControl::Update(elapsedMs);
}

int32_t TNovaCustomImage::DrawZoom(bool horizontal) const {
  const int32_t zoom = horizontal ? zoomX_ : zoomY_;
  if (zoom > 0 || !surface_) return zoom;
  const int32_t own = horizontal ? surface_->GetWidth() : surface_->GetHeight();
  const int32_t size = horizontal ? width_ : height_;
  return own > 0 ? static_cast<int32_t>(int64_t{size} * 256 / own) : 0;
}

TRect TNovaCustomImage::RotatedBox() {
  if (!surface_) return DrawnRect();
  const TPoint anchor = AnchorPoint();
  const int32_t sw = surface_->GetWidth(), sh = surface_->GetHeight();
  const int32_t cx = flipH_ ? sw - offsetX_ - 1 : offsetX_;
  const int32_t cy = flipV_ ? sh - offsetY_ - 1 : offsetY_;
  const double a = (angle_ & 0xFF) * 2.0 * M_PI / 256.0;
  const double c = std::cos(a), s = std::sin(a);
  const double zx = DrawZoom(true) / 256.0, zy = DrawZoom(false) / 256.0;
  double minX = 1e18, minY = 1e18, maxX = -1e18, maxY = -1e18;
  for (int32_t px : {0, sw})
    for (int32_t py : {0, sh}) {
      const double rx = (px - cx) * zx, ry = (py - cy) * zy;
      const double dx = rx * c - ry * s, dy = rx * s + ry * c;
      minX = std::min(minX, dx), maxX = std::max(maxX, dx);
      minY = std::min(minY, dy), maxY = std::max(maxY, dy);
    }
  auto to = [](double v) { return static_cast<int32_t>(std::clamp(v, -1e9, 1e9)); };
  return TRect{to(anchor.X + minX), to(anchor.Y + minY), to(anchor.X + maxX + 1), to(anchor.Y + maxY + 1)};
}

TRect TNovaCustomImage::HitRect() { return (angle_ & 0xFF) == 0 ? DrawnRect() : RotatedBox(); }

// ---- hit testing ----

bool TNovaCustomImage::MaskHit(int32_t rx, int32_t ry) {
  if (!captureMask_ || !mask_) return true;
  const int32_t zx = DrawZoom(true), zy = DrawZoom(false);
  if (zx <= 0 || zy <= 0) return false;
  int32_t mx = static_cast<int32_t>(int64_t{rx} * 256 / zx);
  int32_t my = static_cast<int32_t>(int64_t{ry} * 256 / zy);
  const int32_t mw = mask_->GetWidth(), mh = mask_->GetHeight();
  if (flipH_) mx = mw - mx - 1;
  if (flipV_) my = mh - my - 1;
  if (mx < 0 || my < 0 || mx >= mw || my >= mh) return false;
  return mask_->GetPixel(mx, my) > 127;
}

bool TNovaCustomImage::HitsPicture(TPoint p) {
  const TRect drawn = DrawnRect();
  const int32_t angle = angle_ & 0xFF;
  if (angle == 0) return drawn.Contains(p) && MaskHit(p.X - drawn.Left, p.Y - drawn.Top);
  // Turn the point back about the anchor and test the unrotated picture.
  const TPoint anchor = AnchorPoint();
  const double t = -2.0 * M_PI * angle / 256.0;
  const double c = std::cos(t), s = std::sin(t);
  const double dx = p.X - anchor.X, dy = p.Y - anchor.Y;
  const int32_t x = static_cast<int32_t>(std::lround(dx * c - dy * s + anchor.X));
  const int32_t y = static_cast<int32_t>(std::lround(dx * s + dy * c + anchor.Y));
  return drawn.Contains(x, y) && MaskHit(x - drawn.Left, y - drawn.Top);
}

TNovaControl* TNovaCustomImage::HitTest(TPoint point, TMouseModes modes) {
  if (!visible_ || !HitRect().Contains(point)) return nullptr;
  const auto& children = Children();
  for (auto it = children.rbegin(); it != children.rend(); ++it)
    if (TNovaControl* hit = (*it)->HitTest(point, modes)) return hit;
  if (!(modes & ModeBit(ignoreMouse_))) return nullptr;
  return HitsPicture(point) ? this : nullptr;
}

// ---- drawing ----

void TNovaCustomImage::PaintSelf(TCustomDIBX& target) {
  PrePaint(target);
  PaintPicture(target);
  PostPaint(target);
}

void TNovaCustomImage::PaintPicture(TCustomDIBX& d) {
  TCustomDIBX* s = surface_;
  if (!s || s->IsEmpty() || alpha_ < 1 || width_ < 1 || height_ < 1) return;
  TCustomDIBX* m = mask_;
  const bool keyed = s->Transparent != -1;
  const int32_t sw = s->GetWidth(), sh = s->GetHeight();
  const TRect src{0, 0, sw, sh};
  // Values above 511 draw as the strongest addition.
  const int32_t a = std::min(alpha_, kMaxBlend);
  const int32_t angle = angle_ & 0xFF;
  if (angle != 0) {
    const TPoint anchor = AnchorPoint();
    const int32_t cx = flipH_ ? sw - offsetX_ - 1 : offsetX_;
    const int32_t cy = flipV_ ? sh - offsetY_ - 1 : offsetY_;
    const int32_t zx = DrawZoom(true), zy = DrawZoom(false);
    if (m) d.DrawRotateMask(anchor.X, anchor.Y, a, m, flipV_, flipH_, angle, cy, cx, src, s, zy, zx);
    else d.DrawRotate(anchor.X, anchor.Y, a, flipV_, flipH_, keyed, angle, cy, cx, src, s, zy, zx);
    return;
  }
  const TRect drawn = DrawnRect();
  if (sw == width_ && sh == height_) {
    DrawPicturePart(d, drawn.Left, drawn.Top, src, s, m, a, flipV_, flipH_);
    return;
  }
  if (a <= 255) {
    if (m) d.StretchDrawMask(drawn, s, a, m, flipV_, flipH_, src);
    else d.StretchDraw(drawn, s, a, flipV_, flipH_, keyed, src);
  } else {
    if (m) d.StretchDrawAddMask(drawn, s, a - 256, m, flipV_, flipH_, src);
    else d.StretchDrawAdd(drawn, s, a - 256, flipV_, flipH_, keyed, src);
  }
}

// ---- properties ----

bool TNovaCustomImage::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_ZOOMX: v = TPropValue::OfInt(zoomX_); return true;
    case PR_ZOOMY: v = TPropValue::OfInt(zoomY_); return true;
    case PR_ALPHA: v = TPropValue::OfInt(alpha_); return true;
    case PR_ANGLE: v = TPropValue::OfInt(angle_); return true;
    case PR_FLIPH: v = TPropValue::OfFlag(flipH_); return true;
    case PR_FLIPV: v = TPropValue::OfFlag(flipV_); return true;
    case PR_CAPTUREMASK: v = TPropValue::OfFlag(captureMask_); return true;
    case PR_ORIGWIDTH: v = TPropValue::OfInt(surface_ ? surface_->GetWidth() : 0); return true;
    case PR_ORIGHEIGHT: v = TPropValue::OfInt(surface_ ? surface_->GetHeight() : 0); return true;
    default: return TNovaControl::GetProperty(id, v);
  }
}

bool TNovaCustomImage::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_ZOOMX: SetZoomX(v.Int); return true;
    case PR_ZOOMY: SetZoomY(v.Int); return true;
    case PR_ALPHA: SetAlpha(v.Int); return true;
    case PR_ANGLE: SetAngle(v.Int); return true;
    case PR_FLIPH: SetFlipH(v.Flag); return true;
    case PR_FLIPV: SetFlipV(v.Flag); return true;
    case PR_CAPTUREMASK: captureMask_ = v.Flag; return true;
    case PR_ORIGWIDTH:
    case PR_ORIGHEIGHT: return true;  // read-only here
    default: return TNovaControl::SetProperty(id, v);
  }
}

// ---- record ----

void TNovaCustomImage::SaveToStream(TStream& s) {
  TNovaControl::SaveToStream(s);
  s.WriteInt32(alpha_);
  s.WriteInt32(zoomX_);
  s.WriteInt32(angle_);
  s.WriteByte(flipH_);
  s.WriteByte(flipV_);
  s.WriteByte(captureMask_);
  s.WriteInt32(zoomY_);
}

void TNovaCustomImage::LoadFromStream(TStream& s, int32_t version) {
  TNovaControl::LoadFromStream(s, version);
  alpha_ = s.ReadInt32();
  zoomX_ = s.ReadInt32();
  angle_ = s.ReadInt32();
  flipH_ = s.ReadByte() != 0;
  flipV_ = s.ReadByte() != 0;
  captureMask_ = s.ReadByte() != 0;
  // Older records have one zoom for both axes.
  zoomY_ = version >= 104 ? s.ReadInt32() : zoomX_;
}

// ---- TNovaImage ----

namespace {
TComponentServices& NoServices() {
  static TComponentServices none;
  return none;
}
}  // namespace

TNovaImage::TNovaImage(TNovaBaseList* scene) : TNovaCustomImage(scene, NoServices()) {}

void TNovaImage::PictureChanged() {
  Invalidate();
  surface_ = picture_.IsEmpty() ? nullptr : &picture_;
  mask_ = nullptr;
  RecomputeSize();
  Invalidate();
}

}  // namespace nova
