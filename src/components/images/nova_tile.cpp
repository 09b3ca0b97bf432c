#include "components/images/nova_tile.h"

#include <algorithm>
#include <exception>

namespace nova {

namespace {

// The distance between copies: the set distance when it is at least half the picture (and at
// least 1), else the picture's own size.
int32_t Period(int32_t distance, int32_t size) { return distance >= 1 && 2 * distance >= size ? distance : size; }

}  // namespace

TNovaTile::TNovaTile(TNovaBaseList* scene, TComponentServices& services)
    : TNovaCustomImages(scene, services), state_(services.Images) {}

TNovaTile::~TNovaTile() = default;

void TNovaTile::SetSource(const std::string& name) {
  if (name == state_.Source) return;
  state_.Source = name;
  DropPicture();
  std::exception_ptr error;
  try {
    LoadImageState(state_, name, services_, *this);
  } catch (const std::exception&) {
    error = std::current_exception();
  }
  if (state_.List.Count() > 0) SetIndex(0);
  if (error) std::rethrow_exception(error);
}

void TNovaTile::LoadSource(const std::string& name) {
  try {
    SetSource(name);
  } catch (const std::exception&) {
  }
}

void TNovaTile::SetScroll(int32_t x, int32_t y) {
  if (x == scrollX_ && y == scrollY_) return;
  scrollX_ = x, scrollY_ = y;
  Invalidate();
  // Children are placed relative to the scrolled picture.
  PositionChanged();
}

void TNovaTile::SetDistance(int32_t x, int32_t y) {
  if (x == distanceX_ && y == distanceY_) return;
  distanceX_ = x, distanceY_ = y;
  Invalidate();
}

int32_t TNovaTile::ScreenLeft() {
  if (HasMotion()) return motionX_;
  TNovaControl* parent = Parent();
  return parent ? parent->ScreenLeft() - parent->ScrollX() + left_ : left_;
}

int32_t TNovaTile::ScreenTop() {
  if (HasMotion()) return motionY_;
  TNovaControl* parent = Parent();
  return parent ? parent->ScreenTop() - parent->ScrollY() + top_ : top_;
}

bool TNovaTile::Update(uint32_t elapsedMs) {
  TNovaCustomImages::Update(elapsedMs);
  if (TImageMotion* motion = state_.Motion.get()) {
    motion->Step(elapsedMs);
    return false;
  }
  if (CanAnimate()) AdvanceFrames(elapsedMs, true);
  return false;
}

void TNovaTile::PaintSelf(TCustomDIBX& d) {
  TCustomDIBX* s = surface_;
  if (!s || s->IsEmpty()) return;
  const int32_t a = std::min(alpha_, kMaxBlend);
  if (a <= 0 || width_ <= 0 || height_ <= 0 || zoomX_ <= 0 || zoomY_ <= 0) return;
  TCustomDIBX* m = mask_;
  const bool keyed = s->Transparent != -1;
  const int32_t fw = s->GetWidth(), fh = s->GetHeight();
  const int32_t px = Period(distanceX_, fw), py = Period(distanceY_, fh);
  const bool unzoomed = zoomX_ == 256 && zoomY_ == 256;
  const TRect dest = DrawnRect();
  if (px == fw && py == fh) {
    if (unzoomed && a == 255 && !keyed && !m) d.PatternFill(dest, s, flipV_, flipH_, scrollY_, scrollX_);
    else if (m) d.PatternDrawMask(dest, zoomY_, a, m, flipV_, flipH_, scrollX_, scrollY_, s, zoomX_);
    else d.PatternDraw(dest, zoomY_, a, flipV_, flipH_, keyed, scrollX_, scrollY_, s, zoomX_);
    return;
  }
  const TRect src{0, 0, fw, fh};
  if (!unzoomed) {
    // The gaps scale with the picture.
    const int32_t gx = static_cast<int32_t>(int64_t{px - fw} * zoomX_ / 256);
    const int32_t gy = static_cast<int32_t>(int64_t{py - fh} * zoomY_ / 256);
    if (m) d.TileStretchDrawMask(dest, gx, scrollY_, scrollX_, a, m, flipV_, flipH_, src, s, gy, zoomY_, zoomX_);
    else d.TileStretchDraw(dest, gx, scrollY_, scrollX_, a, flipV_, flipH_, keyed, src, s, gy, zoomY_, zoomX_);
    return;
  }
  const int32_t gx = px - fw, gy = py - fh;
  if (a == 255) {
    if (m) d.TileDrawMask(dest, gx, scrollY_, scrollX_, m, flipV_, flipH_, src, s, gy);
    else d.TileDraw(dest, gx, scrollY_, scrollX_, flipV_, flipH_, keyed, src, s, gy);
  } else if (a >= 256) {
    if (m) d.TileDrawAddMask(dest, gx, scrollY_, scrollX_, a - 256, m, flipV_, flipH_, src, s, gy);
    else d.TileDrawAdd(dest, gx, scrollY_, scrollX_, a - 256, flipV_, flipH_, keyed, src, s, gy);
  } else {
    if (m) d.TileDrawAlphaMask(dest, gx, scrollY_, scrollX_, a, m, flipV_, flipH_, src, s, gy);
    else d.TileDrawAlpha(dest, gx, scrollY_, scrollX_, a, flipV_, flipH_, keyed, src, s, gy);
  }
}

bool TNovaTile::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_SOURCE: v = TPropValue::OfStr(state_.Source); return true;
    case PR_REPEAT: v = TPropValue::OfFlag(true); return true;
    case PR_SCROLLX: v = TPropValue::OfInt(scrollX_); return true;
    case PR_SCROLLY: v = TPropValue::OfInt(scrollY_); return true;
    case PR_DISTANCEX: v = TPropValue::OfInt(distanceX_); return true;
    case PR_DISTANCEY: v = TPropValue::OfInt(distanceY_); return true;
    case PR_ONIDLE: v = TPropValue::OfStr(onIdle_); return true;
    default: return TNovaCustomImages::GetProperty(id, v);
  }
}

bool TNovaTile::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_SOURCE: SetSource(v.Str); return true;
    case PR_REPEAT: return true;  // always repeats
    case PR_SCROLLX: SetScroll(v.Int, scrollY_); return true;
    case PR_SCROLLY: SetScroll(scrollX_, v.Int); return true;
    case PR_DISTANCEX: SetDistance(v.Int, distanceY_); return true;
    case PR_DISTANCEY: SetDistance(distanceX_, v.Int); return true;
    case PR_ONIDLE: onIdle_ = v.Str; return true;
    default: return TNovaCustomImages::SetProperty(id, v);
  }
}

void TNovaTile::SaveToStream(TStream& s) {
  TNovaCustomImages::SaveToStream(s);
  s.WriteInt32(scrollX_);
  s.WriteInt32(scrollY_);
  s.WriteString(state_.Source);
  s.WriteString(onIdle_);
  s.WriteInt32(distanceX_);
  s.WriteInt32(distanceY_);
}

void TNovaTile::LoadFromStream(TStream& s, int32_t version) {
  TNovaCustomImages::LoadFromStream(s, version);
  scrollX_ = s.ReadInt32();
  scrollY_ = s.ReadInt32();
  const std::string source = s.ReadString();
  onIdle_ = s.ReadString();
  distanceX_ = s.ReadInt32();
  distanceY_ = s.ReadInt32();
  LoadSource(source);
  RestoreLoadedIndex();
}

}  // namespace nova
