#include "objects/nova_control.h"

#include <algorithm>

#include "base/error.h"
#include "objects/scene.h"
#include "render/dibx.h"

namespace nova {

namespace {

bool IsSnapshotName(const std::string& name) { return name.size() == 2 && name[0] == '\x01' && name[1] == '\x01'; }
bool IsSystemName(const std::string& name) { return !name.empty() && name[0] == '\x01'; }

// Rounds a 16.16 fixed-point product half up.
int32_t ScaledHalfUp(int64_t value, int64_t ratio16) { return static_cast<int32_t>((value * ratio16 + 0x8000) >> 16); }

}  // namespace

bool DrawsBefore(const TNovaObject& a, const TNovaObject& b) {
  if (&a == &b) return false;
  bool aSnap = IsSnapshotName(a.Name()), bSnap = IsSnapshotName(b.Name());
  if (aSnap != bSnap) return bSnap;
  bool aSys = IsSystemName(a.Name()), bSys = IsSystemName(b.Name());
  if (aSys != bSys) return aSys;
  int64_t pa = int64_t{a.Priority()} + a.SubOrder(), pb = int64_t{b.Priority()} + b.SubOrder();
  if (pa != pb) return pa < pb;
  return a.Name() < b.Name();
}

TNovaControl::~TNovaControl() = default;

// ---- tree ----

bool TNovaControl::ContainsDescendant(const TNovaControl* other) const {
  for (const TNovaControl* c : children_)
    if (c == other || c->ContainsDescendant(other)) return true;
  return false;
}

void TNovaControl::SortChildren() {
  std::stable_sort(children_.begin(), children_.end(),
                   [](const TNovaControl* a, const TNovaControl* b) { return DrawsBefore(*a, *b); });
}

TNovaBase* TNovaControl::Screen() { return parent_ ? parent_->Screen() : nullptr; }

bool TNovaControl::InCabinet() const {
  for (const TNovaControl* p = parent_; p; p = p->parent_)
    if (p->TypeCode() == LT_CABINET) return true;
  return false;
}

void TNovaControl::SetParent(TNovaControl* parent) {
  if (parent == parent_ || parent == this || (parent && ContainsDescendant(parent))) return;
  Invalidate();
  if (parent_) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    if (parent_->TypeCode() == LT_CABINET) LeftCabinet();
  }
  parent_ = parent;
  if (parent_) {
    parent_->children_.push_back(this);
    parent_->SortChildren();
    if (parent_->TypeCode() == LT_CABINET) EnteredCabinet();
  }
  Invalidate();
  if (TNovaBaseList* scene = Scene()) {
    TNovaControl* focus = scene->Focus();
    if (!focus || focus == this || ContainsDescendant(focus) || Screen() == &scene->Displayed()) {
      scene->SetFocus(nullptr);
      scene->RequestKeyTarget();
    }
  }
}

void TNovaControl::OrderChanged() {
  if (!parent_) return;
  parent_->SortChildren();
  Invalidate();
}

// ---- geometry ----

void TNovaControl::SetLeft(int32_t v) {
  if (v != left_) {
    Invalidate();
    left_ = v;
    motionX_ = 0;
    Invalidate();
  }
  PositionChanged();
}

void TNovaControl::SetTop(int32_t v) {
  if (v != top_) {
    Invalidate();
    top_ = v;
    motionY_ = 0;
    Invalidate();
  }
  PositionChanged();
}

void TNovaControl::SetWidth(int32_t v) {
  if (v == width_) return;
  Invalidate();
  width_ = v;
  Invalidate();
}

void TNovaControl::SetHeight(int32_t v) {
  if (v == height_) return;
  Invalidate();
  height_ = v;
  Invalidate();
}

void TNovaControl::SetOffset(int32_t& field, int32_t v) {
  if (v != field) {
    Invalidate();
    field = v;
    Invalidate();
  }
  PositionChanged();
}

void TNovaControl::SetOffsetX(int32_t v) { SetOffset(offsetX_, v); }
void TNovaControl::SetOffsetY(int32_t v) { SetOffset(offsetY_, v); }

void TNovaControl::SetClipValue(int32_t& field, int32_t v) {
  if (v == field) return;
  Invalidate();
  field = v;
  Invalidate();
  ClipChanged();
}

void TNovaControl::SetMotionPosition(int32_t x, int32_t y) {
  if (x == motionX_ && y == motionY_) return;
  Invalidate();
  motionX_ = x;
  motionY_ = y;
  Invalidate();
  PositionChanged();
}

void TNovaControl::MotionGone() {
  motionX_ = 0;
  motionY_ = 0;
  if (SubOrder() == 0) return;
  StoreSubOrder(0);
  if (parent_) parent_->SortChildren();
}

void TNovaControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  Invalidate();
  if (left != left_) motionX_ = 0;
  if (top != top_) motionY_ = 0;
  left_ = left, top_ = top, width_ = width, height_ = height;
  Invalidate();
  PositionChanged();
}

int32_t TNovaControl::ScreenPosition(bool horizontal) {
  const int32_t zoom = horizontal ? ZoomX() : ZoomY();
  const int32_t offset = horizontal ? offsetX_ : offsetY_;
  const int32_t size = horizontal ? width_ : height_;
  const int32_t pos = horizontal ? left_ : top_;
  const int32_t plus = horizontal ? plusX_ : plusY_;
  const bool flip = horizontal ? FlipH() : FlipV();
  const bool motion = HasMotion();
  // A position-zoomed child of an image drawn at the parent's zoom keeps its place inside the
  // parent's picture exactly, however the parent is stretched.
  if (posZoomed_ && parent_ && !parent_->IsScreen() && !motion && OwnSurface()) {
    TCustomDIBX* parentSurface = parent_->OwnSurface();
    TCustomDIBX* own = OwnSurface();
    int32_t parentZoom = horizontal ? parent_->ZoomX() : parent_->ZoomY();
    int32_t surfaceSize = parentSurface ? (horizontal ? parentSurface->GetWidth() : parentSurface->GetHeight()) : 0;
    if (parentSurface && zoom == parentZoom && surfaceSize > 0) {
      int32_t ownSize = horizontal ? own->GetWidth() : own->GetHeight();
      int64_t off = flip ? int64_t{surfaceSize} + offset - pos - ownSize : int64_t{pos} - offset;
      int32_t parentSize = horizontal ? parent_->width_ : parent_->height_;
      int64_t ratio16 = (int64_t{parentSize} << 16) / surfaceSize;
      int32_t base = horizontal ? parent_->ScreenLeft() - parent_->ScrollX() : parent_->ScreenTop() - parent_->ScrollY();
      return base + ScaledHalfUp(off, ratio16) + plus;
    }
  }
  int32_t anchor = zoom == 256 ? offset : offset * zoom / 256;
  if (flip) anchor = size - anchor - 1;
  int32_t v = motion ? (horizontal ? motionX_ : motionY_) : (posZoomed_ ? pos * zoom / 256 : pos);
  if (parent_) {
    int32_t base = horizontal ? parent_->ScreenLeft() - parent_->ScrollX() : parent_->ScreenTop() - parent_->ScrollY();
    v += base;
  }
  return v - anchor + plus;
}

int32_t TNovaControl::ScreenLeft() { return ScreenPosition(true); }
int32_t TNovaControl::ScreenTop() { return ScreenPosition(false); }

int32_t TNovaControl::LocalLeft() {
  int32_t anchor = ZoomX() == 256 ? offsetX_ : offsetX_ * ZoomX() / 256;
  if (FlipH()) anchor = width_ - anchor - 1;
  int32_t v = HasMotion() ? motionX_ : (posZoomed_ ? left_ * ZoomX() / 256 : left_);
  return v - anchor + plusX_;
}

int32_t TNovaControl::LocalTop() {
  int32_t anchor = ZoomY() == 256 ? offsetY_ : offsetY_ * ZoomY() / 256;
  if (FlipV()) anchor = height_ - anchor - 1;
  int32_t v = HasMotion() ? motionY_ : (posZoomed_ ? top_ * ZoomY() / 256 : top_);
  return v - anchor + plusY_;
}

TPoint TNovaControl::AnchorPoint() {
  int32_t x = HasMotion() ? motionX_ : (posZoomed_ ? left_ * ZoomX() / 256 : left_);
  int32_t y = HasMotion() ? motionY_ : (posZoomed_ ? top_ * ZoomY() / 256 : top_);
  if (parent_) {
    x += parent_->ScreenLeft() - parent_->ScrollX();
    y += parent_->ScreenTop() - parent_->ScrollY();
  }
  return TPoint{x + plusX_, y + plusY_};
}

TRect TNovaControl::ClipRect() {
  if (clipWidth_ < 1 || clipHeight_ < 1) return TRect{};
  return TRect::FromSize(ScreenLeft() + clipLeft_, ScreenTop() + clipTop_, clipWidth_, clipHeight_);
}

// ---- visibility and drawing ----

bool TNovaControl::Visible() const { return visible_ && parent_ && parent_->Visible(); }

void TNovaControl::SetVisible(bool on) {
  if (on == visible_) return;
  TNovaBaseList* scene = Scene();
  if (!on) {
    Invalidate();
    visible_ = false;
    TNovaControl* focus = scene ? scene->Focus() : nullptr;
    if (focus && (focus == this || ContainsDescendant(focus))) {
      scene->SetFocus(nullptr);
      scene->RequestKeyTarget();
    }
  } else {
    visible_ = true;
    Invalidate();
    if (scene && !scene->Focus()) scene->RequestKeyTarget();
  }
}

bool TNovaControl::IsShown() {
  TNovaBaseList* scene = Scene();
  return Visible() && scene && Screen() == &scene->Displayed();
}

void TNovaControl::SetColor(int32_t colour) {
  if (colour == color_) return;
  color_ = colour;
  Invalidate();
}

void TNovaControl::Invalidate() {
  if (!Visible()) return;
  if (!Screen()) return;
  TRect r = PaintedRect();
  if (parent_) {
    r = Intersect(r, parent_->HitRect());
    if (r.Empty()) return;
  }
  if (clipWidth_ >= 1 && clipHeight_ >= 1) {
    r = Intersect(r, ClipRect());
    if (r.Empty()) return;
  }
  InvalidateOwnRect(r);
}

void TNovaControl::InvalidateRect(TRect& rect) {
  if (parent_) parent_->InvalidateRect(rect);
}

TCustomDIBX* TNovaControl::DrawSurface() { return parent_ ? parent_->DrawSurface() : nullptr; }

void TNovaControl::Paint(TCustomDIBX& target) {
  PaintSelf(target);
  TCustomDIBX& surface = ChildSurface(target);
  const TRect saved = surface.GetClipRect();
  const TRect area = surface.EffectiveClip();
  for (TNovaControl* child : children_) {
    if (!child->OwnVisible()) continue;
    TRect r = Intersect(area, child->HitRect());
    if (child->clipWidth_ >= 1 && child->clipHeight_ >= 1) r = Intersect(r, child->ClipRect());
    if (r.Empty()) continue;
    surface.ResetClip();
    surface.AddClip(r);
    child->Paint(surface);
    surface.SetClipRect(saved);
  }
}

// ---- input ----

TNovaControl* TNovaControl::HitTest(TPoint point, TMouseModes modes) {
  if (!OwnVisible() || !HitRect().Contains(point)) return nullptr;
  TNovaControl* candidate = (modes & ModeBit(ignoreMouse_)) ? this : nullptr;
  for (auto it = children_.rbegin(); it != children_.rend(); ++it)
    if (TNovaControl* hit = (*it)->HitTest(point, modes)) return hit;
  return candidate;
}

std::vector<std::string> TNovaControl::RelativeArgs(TPoint mouse) {
  TPoint r = Relative(mouse);
  return {std::to_string(r.X), std::to_string(r.Y)};
}

void TNovaControl::DoLButtonDown(TPoint mouse) {
  if ((ignoreMouse_ != IM_NONE && ignoreMouse_ != IM_RCLICK) || IsScreen()) return;
  TNovaBase* screen = Screen();
  TEventQueue* queue = Scene() ? &Scene()->Events() : nullptr;
  if (!Paused() && queue && queue->FindPendingEvent(this, PR_ONLBTNDOWN) < 0 && !IsEventBlocked()) {
    if (!onLBtnDown_.empty()) queue->PostEvent(TEventSender(this), onLBtnDown_, RelativeArgs(mouse), PR_ONLBTNDOWN);
    if (screen) screen->CaptureSet |= 4;
  }
  if (screen) screen->Mouse().LeftPressedThisFrame = false;
}

void TNovaControl::DoWheel(bool down) { PostEventIfFree(down ? PR_ONWHEELDOWN : PR_ONWHEELUP); }

void TNovaControl::DoLButtonUp(TPoint mouse) {
  if (!IsEventBlocked() && !onLBtnUp_.empty() && Scene())
    Scene()->Events().PostEvent(TEventSender(this), onLBtnUp_, RelativeArgs(mouse), PR_ONLBTNUP);
  if (TNovaBase* screen = Screen()) screen->CaptureSet &= static_cast<uint8_t>(~4);
}

void TNovaControl::DoRButtonDown(TPoint mouse) {
  if ((ignoreMouse_ != IM_NONE && ignoreMouse_ != IM_LCLICK) || IsScreen()) return;
  TNovaBase* screen = Screen();
  TEventQueue* queue = Scene() ? &Scene()->Events() : nullptr;
  if (!Paused() && queue && queue->FindPendingEvent(this, PR_ONRBTNDOWN) < 0 && !IsEventBlocked()) {
    if (!onRBtnDown_.empty()) queue->PostEvent(TEventSender(this), onRBtnDown_, RelativeArgs(mouse), PR_ONRBTNDOWN);
    if (screen) screen->CaptureSet |= 8;
  }
  if (screen) screen->Mouse().RightPressedThisFrame = false;
}

void TNovaControl::DoRButtonUp(TPoint mouse) {
  if (!IsEventBlocked() && !onRBtnUp_.empty() && Scene())
    Scene()->Events().PostEvent(TEventSender(this), onRBtnUp_, RelativeArgs(mouse), PR_ONRBTNUP);
  if (TNovaBase* screen = Screen()) screen->CaptureSet &= static_cast<uint8_t>(~8);
}

void TNovaControl::DoMouseMove(TPoint mouse) { PostEventIfFree(PR_ONMOUSEMOVE, RelativeArgs(mouse)); }

void TNovaControl::DoMouseIn() { PostEventIfFree(PR_ONMOUSEIN, {}, false); }

void TNovaControl::DoMouseOut() { PostEventIfFree(PR_ONMOUSEOUT, {}, false); }

void TNovaControl::SetHandleKey(bool on) {
  if (on == handleKey_) return;
  handleKey_ = on;
  TNovaBaseList* scene = Scene();
  if (!scene) return;
  if (!on && scene->Focus() == this) {
    scene->SetFocus(nullptr);
    scene->RequestKeyTarget();
  } else if (on && !scene->Focus()) {
    scene->RequestKeyTarget();
  }
}

TNovaControl* TNovaControl::FindKeyTarget() {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    if (!(*it)->OwnVisible()) continue;
    if (TNovaControl* target = (*it)->FindKeyTarget()) return target;
  }
  return handleKey_ && !Paused() ? this : nullptr;
}

void TNovaControl::FireKeyEvent(int code, const std::vector<int>& keys) {
  if (Paused() || IsScreen()) return;
  std::vector<std::string> args;
  for (int k : keys) args.push_back(std::to_string(k));
  PostEventIfFree(code, std::move(args));
}

// ---- life ----

bool TNovaControl::Update(uint32_t) { return false; }

void TNovaControl::PositionChanged() {
  for (TNovaControl* c : children_) c->PositionChanged();
}

void TNovaControl::ClipChanged() {
  for (TNovaControl* c : children_) c->ClipChanged();
}

// ---- properties ----

std::string* TNovaControl::EventSlot(int code) {
  switch (code) {
    case PR_ONMOUSEMOVE: return &onMouseMove_;
    case PR_ONMOUSEIN: return &onMouseIn_;
    case PR_ONMOUSEOUT: return &onMouseOut_;
    case PR_ONLBTNDOWN: return &onLBtnDown_;
    case PR_ONLBTNUP: return &onLBtnUp_;
    case PR_ONRBTNDOWN: return &onRBtnDown_;
    case PR_ONRBTNUP: return &onRBtnUp_;
    case PR_ONWHEELDOWN: return &onWheelDown_;
    case PR_ONWHEELUP: return &onWheelUp_;
    case PR_ONKEYDOWN: return &onKeyDown_;
    case PR_ONKEYUP: return &onKeyUp_;
    case PR_ONKEYREPEAT: return &onKeyRepeat_;
    case PR_ONFOCUSIN: return &onFocusIn_;
    case PR_ONFOCUSOUT: return &onFocusOut_;
    default: return nullptr;
  }
}

bool TNovaControl::GetProperty(int id, TPropValue& v) {
  if (std::string* event = EventSlot(id)) {
    v = TPropValue::OfStr(*event);
    return true;
  }
  switch (id) {
    case PR_PARENT: v = TPropValue::OfStr(parent_ ? parent_->Name() : std::string()); return true;
    case PR_LEFT: v = TPropValue::OfInt(left_); return true;
    case PR_TOP: v = TPropValue::OfInt(top_); return true;
    case PR_WIDTH: v = TPropValue::OfInt(width_); return true;
    case PR_HEIGHT: v = TPropValue::OfInt(height_); return true;
    case PR_COLOR: v = TPropValue::OfInt(color_); return true;
    case PR_OFFSETX: v = TPropValue::OfInt(offsetX_); return true;
    case PR_OFFSETY: v = TPropValue::OfInt(offsetY_); return true;
    case PR_VISIBLE: v = TPropValue::OfFlag(Visible()); return true;
    case PR_IGNOREMOUSE: v = TPropValue::OfInt(ignoreMouse_); return true;
    case PR_CURSOR: v = TPropValue::OfStr(cursor_); return true;
    case PR_POSZOOMED: v = TPropValue::OfFlag(posZoomed_); return true;
    case PR_CLIPLEFT: v = TPropValue::OfInt(clipLeft_); return true;
    case PR_CLIPTOP: v = TPropValue::OfInt(clipTop_); return true;
    case PR_CLIPWIDTH: v = TPropValue::OfInt(clipWidth_); return true;
    case PR_CLIPHEIGHT: v = TPropValue::OfInt(clipHeight_); return true;
    case PR_ANIPAUSED:
      // A system-named part of an object follows its owner.
      if (HasSystemName() && parent_) return parent_->GetProperty(id, v);
      v = TPropValue::OfFlag(aniPaused_);
      return true;
    case PR_PLAYING: v = TPropValue::OfFlag(false); return true;
    case PR_HANDLEKEY: v = TPropValue::OfFlag(handleKey_); return true;
    case PR_PLUSX: v = TPropValue::OfInt(plusX_); return true;
    case PR_PLUSY: v = TPropValue::OfInt(plusY_); return true;
    default: return false;
  }
}

bool TNovaControl::SetProperty(int id, const TPropValue& v) {
  if (std::string* event = EventSlot(id)) {
    *event = v.Str;
    return true;
  }
  switch (id) {
    case PR_PARENT:
      if (!IsScreen() && Scene())
        if (TNovaControl* parent = Scene()->FindControl(v.Str)) SetParent(parent);
      return true;
    case PR_LEFT: SetLeft(v.Int); return true;
    case PR_TOP: SetTop(v.Int); return true;
    case PR_WIDTH: SetWidth(v.Int); return true;
    case PR_HEIGHT: SetHeight(v.Int); return true;
    case PR_COLOR: SetColor(v.Int); return true;
    case PR_OFFSETX: SetOffsetX(v.Int); return true;
    case PR_OFFSETY: SetOffsetY(v.Int); return true;
    case PR_VISIBLE: SetVisible(v.Flag); return true;
    case PR_IGNOREMOUSE: ignoreMouse_ = static_cast<uint8_t>(v.Int); return true;
    case PR_CURSOR: cursor_ = v.Str; return true;
    case PR_POSZOOMED:
      if (v.Flag != posZoomed_) {
        Invalidate();
        posZoomed_ = v.Flag;
        Invalidate();
        PositionChanged();
      }
      return true;
    case PR_CLIPLEFT: SetClipValue(clipLeft_, v.Int); return true;
    case PR_CLIPTOP: SetClipValue(clipTop_, v.Int); return true;
    case PR_CLIPWIDTH: SetClipValue(clipWidth_, v.Int); return true;
    case PR_CLIPHEIGHT: SetClipValue(clipHeight_, v.Int); return true;
    case PR_ANIPAUSED: aniPaused_ = v.Flag; return true;
    case PR_HANDLEKEY: SetHandleKey(v.Flag); return true;
    case PR_PLUSX:
      if (v.Int != plusX_) {
        Invalidate();
        plusX_ = v.Int;
        Invalidate();
        PositionChanged();
      }
      return true;
    case PR_PLUSY:
      if (v.Int != plusY_) {
        Invalidate();
        plusY_ = v.Int;
        Invalidate();
        PositionChanged();
      }
      return true;
    default: return false;
  }
}

// ---- the control record ----

void TNovaControl::SaveToStream(TStream& s) {
  TNovaObject::SaveToStream(s);
  for (int32_t v : {left_, top_, width_, height_, offsetX_, offsetY_}) s.WriteInt32(v);
  s.WriteByte(posZoomed_);
  for (int32_t v : {motionX_, motionY_, plusX_, plusY_, clipLeft_, clipTop_, clipWidth_, clipHeight_}) s.WriteInt32(v);
  s.WriteByte(aniPaused_);
  s.WriteByte(visible_);
  s.WriteInt32(color_);
  for (int32_t v : savedRect_) s.WriteInt32(v);
  s.WriteByte(ignoreMouse_);
  s.WriteString(cursor_);
  for (const std::string* e : {&onMouseMove_, &onMouseIn_, &onMouseOut_, &onLBtnDown_, &onLBtnUp_, &onRBtnDown_,
                               &onRBtnUp_, &onWheelDown_, &onWheelUp_})
    s.WriteString(*e);
  s.WriteByte(handleKey_);
  for (const std::string* e : {&onKeyDown_, &onKeyUp_, &onKeyRepeat_, &onFocusIn_, &onFocusOut_}) s.WriteString(*e);
  std::vector<TNovaControl*> saved;
  for (TNovaControl* c : children_)
    if (!c->IsPendingDeletion() && c->TypeCode() != LT_NONE && !c->HasSystemName()) saved.push_back(c);
  s.WriteInt32(static_cast<int32_t>(saved.size()));
  for (TNovaControl* c : saved) {
    s.WriteByte(c->TypeCode());
    c->SaveToStream(s);
  }
}

void TNovaControl::LoadFromStream(TStream& s, int32_t version) {
  TNovaObject::LoadFromStream(s, version);
  left_ = s.ReadInt32(), top_ = s.ReadInt32(), width_ = s.ReadInt32(), height_ = s.ReadInt32();
  offsetX_ = s.ReadInt32(), offsetY_ = s.ReadInt32();
  posZoomed_ = s.ReadByte() != 0;
  if (version >= 130) motionX_ = s.ReadInt32(), motionY_ = s.ReadInt32(), plusX_ = s.ReadInt32(), plusY_ = s.ReadInt32();
  if (version > 103) {
    clipLeft_ = s.ReadInt32(), clipTop_ = s.ReadInt32(), clipWidth_ = s.ReadInt32(), clipHeight_ = s.ReadInt32();
    aniPaused_ = s.ReadByte() != 0;
  }
  visible_ = s.ReadByte() != 0;
  color_ = s.ReadInt32();
  for (int32_t& v : savedRect_) v = s.ReadInt32();
  ignoreMouse_ = s.ReadByte();
  cursor_ = s.ReadString();
  onMouseMove_ = s.ReadString();
  if (version > 101) onMouseIn_ = s.ReadString();
  for (std::string* e : {&onMouseOut_, &onLBtnDown_, &onLBtnUp_, &onRBtnDown_, &onRBtnUp_, &onWheelDown_, &onWheelUp_})
    *e = s.ReadString();
  if (version > 117) {
    handleKey_ = s.ReadByte() != 0;
    for (std::string* e : {&onKeyDown_, &onKeyUp_, &onKeyRepeat_, &onFocusIn_, &onFocusOut_}) *e = s.ReadString();
  }
  int32_t count = s.ReadInt32();
  // Every child takes at least its type code and a name length.
  if (count < 0 || count > s.Remaining() / 5) RaiseError("scene: bad child count");
  TNovaBaseList* scene = Scene();
  for (int32_t i = 0; i < count; ++i) {
    uint8_t type = s.ReadByte();
    TNovaObject* object = scene ? scene->CreateObject(type) : nullptr;
    auto* child = dynamic_cast<TNovaControl*>(object);
    if (!child) {
      if (object) scene->FreeObject(object);
      RaiseError(Format("scene: no control of type %d", type));
    }
    child->SetParent(this);
    child->LoadFromStream(s, version);
  }
  SortChildren();
}

}  // namespace nova
