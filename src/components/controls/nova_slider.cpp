#include "components/controls/nova_slider.h"

#include <algorithm>

#include "base/process.h"
#include "base/stream.h"
#include "components/component_services.h"
#include "objects/key_codes.h"
#include "objects/scene.h"
#include "objects/screen.h"
#include "render/dibx.h"

namespace nova {

namespace {

constexpr int32_t kSliderCaptureLeft = 4;

bool SliderHasKey(const std::vector<int>& keys, int key) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

int32_t ToInt32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

TNovaSlider::TNovaSlider(TNovaBaseList* scene, TComponentServices& services)
    : TNovaControl(scene), bar_(services.Images, 2), thumb_(services.Images, 3),
      buttons_(services.Images, 6) {}

TNovaSlider::~TNovaSlider() = default;

// ---- value ----

void TNovaSlider::SetValue(int32_t v) {
  if (v == value_) return;
  value_ = v;
  Invalidate();
}

void TNovaSlider::SetMin(int32_t v) {
  if (v == min_) return;
  min_ = v;
  Invalidate();
}

void TNovaSlider::SetMax(int32_t v) {
  if (v == max_) return;
  max_ = v;
  Invalidate();
}

void TNovaSlider::ChangeValue(int64_t v) {
  const int32_t next = ClampToRange(v, min_, max_);
  if (next == Value()) return;
  value_ = next;
  Invalidate();
  PostEventIfFree(PR_ONNOTIFY, {std::to_string(next)}, false);
}

int64_t TNovaSlider::ValueAt(int64_t along) const {
  const int64_t range = int64_t{max_} - min_;
  return int64_t{min_} + ScaleRounded(along, Span(), range);
}

// ---- layout ----

int32_t TNovaSlider::BarLength() const {
  int32_t length = barSize_ > 0 ? barSize_ : (Vertical() ? bar_.Height() : bar_.CellWidth());
  return std::clamp(length, 0, kMaxBarLength);
}

int64_t TNovaSlider::LengthAlong() const { return int64_t{BarLength()} + ThumbLength() + 2 * int64_t{ButtonLength()}; }

void TNovaSlider::Relayout() {
  if (bar_.Empty()) {
    SetBounds(left_, top_, 0, 0);
    return;
  }
  const int32_t along = ToInt32(LengthAlong());
  if (Vertical()) {
    const int32_t across = std::max({bar_.CellWidth(), thumb_.CellWidth(), buttons_.CellWidth()});
    SetBounds(left_, top_, across, along);
  } else {
    const int32_t across = std::max({bar_.Height(), thumb_.Height(), buttons_.Height()});
    SetBounds(left_, top_, along, across);
  }
  Invalidate();
}

int32_t TNovaSlider::ThumbPos() const {
  return static_cast<int32_t>(ScaleRounded(int64_t{Value()} - min_, int64_t{max_} - min_, BarLength()));
}

TRect TNovaSlider::BarRect() const {
  const int32_t length = BarLength();
  if (Vertical()) {
    const int32_t thickness = bar_.CellWidth();
    return TRect::FromSize((width_ - thickness) / 2, buttons_.Height() + thumb_.Height() / 2, thickness, length);
  }
  const int32_t thickness = bar_.Height();
  return TRect::FromSize(buttons_.CellWidth() + thumb_.CellWidth() / 2, (height_ - thickness) / 2, length, thickness);
}

TRect TNovaSlider::ThumbRect() const {
  const int32_t w = thumb_.CellWidth(), h = thumb_.Height();
  if (Vertical()) return TRect::FromSize((width_ - w) / 2, buttons_.Height() + BarLength() - ThumbPos(), w, h);
  return TRect::FromSize(buttons_.CellWidth() + ThumbPos(), (height_ - h) / 2, w, h);
}

TRect TNovaSlider::ButtonRect(int i) const {
  const int32_t w = buttons_.CellWidth(), h = buttons_.Height();
  if (Vertical()) return TRect::FromSize((width_ - w) / 2, i == 0 ? 0 : height_ - h, w, h);
  return TRect::FromSize(i == 0 ? 0 : width_ - w, (height_ - h) / 2, w, h);
}

int32_t TNovaSlider::AlongBar(TPoint local) const {
  const TRect bar = BarRect();
  // The value grows upward on a vertical slider: measured from the bar's end.
  return Vertical() ? bar.Top + BarLength() - local.Y : local.X - bar.Left;
}

bool TNovaSlider::OnThumb(TPoint p) {
  const TRect r = ThumbRect();
  if (thumb_.Empty() || !r.Contains(p)) return false;
  return !captureMask_ || thumb_.MaskHit(thumbState_, p.X - r.Left, p.Y - r.Top);
}

bool TNovaSlider::OnButton(int i, TPoint p) {
  const TRect r = ButtonRect(i);
  if (buttons_.Empty() || !r.Contains(p)) return false;
  return !captureMask_ || buttons_.MaskHit(i * 3 + buttonState_[i], p.X - r.Left, p.Y - r.Top);
}

bool TNovaSlider::OnBar(TPoint p) {
  const TRect r = BarRect();
  if (bar_.Empty() || !r.Contains(p)) return false;
  if (!bar_.HasMask()) return true;
  // The cell repeats along the bar from its start.
  const int32_t w = bar_.CellWidth(), h = bar_.Height();
  if (w <= 0 || h <= 0) return false;
  return Vertical() ? bar_.MaskHit(0, p.X - r.Left, (p.Y - r.Top) % h) : bar_.MaskHit(0, (p.X - r.Left) % w, p.Y - r.Top);
}

// ---- states ----

void TNovaSlider::SetThumbState(int32_t state) {
  if (state == thumbState_) return;
  thumbState_ = state;
  Invalidate();
}

void TNovaSlider::SetButtonState(int i, int32_t state) {
  if (state == buttonState_[i]) return;
  buttonState_[i] = state;
  Invalidate();
}

void TNovaSlider::ApplyHover(TPoint p) {
  const bool live = int64_t{max_} - min_ > 0 && ignoreMouse_ != IM_ALL && !paused_;
  SetThumbState(live && OnThumb(p) ? kHover : kNormal);
  for (int i = 0; i < 2; ++i) SetButtonState(i, live && OnButton(i, p) ? kHover : kNormal);
}

void TNovaSlider::TakeCapture() {
  if (TNovaBase* screen = Screen()) screen->CaptureSet |= kSliderCaptureLeft;
}

uint32_t TNovaSlider::RepeatElapsed() {
  const uint32_t now = ScenarioNow();
  const uint32_t elapsed = now - lastTick_;
  lastTick_ = now;
  return elapsed;
}

// ---- mouse ----

void TNovaSlider::DoMouseMove(TPoint mouse) {
  const TPoint p = Relative(mouse);
  if (dragMode_ == kNoDrag) {
    ApplyHover(p);
  } else if (dragMode_ == kThumbDrag && Span() > 0) {
    ChangeValue(ValueAt(int64_t{AlongBar(p)} - grab_));
  }
  TNovaControl::DoMouseMove(mouse);
}

void TNovaSlider::DoMouseOut() {
  if (dragMode_ == kNoDrag) {
    SetThumbState(kNormal);
    for (int i = 0; i < 2; ++i) SetButtonState(i, kNormal);
  }
  TNovaControl::DoMouseOut();
}

void TNovaSlider::DoLButtonDown(TPoint mouse) {
  TNovaControl::DoLButtonDown(mouse);
  if (paused_ || dragMode_ != kNoDrag) return;
  if (ignoreMouse_ != IM_NONE && ignoreMouse_ != IM_RCLICK) return;
  if (int64_t{max_} - min_ < 1) return;
  const TPoint p = Relative(mouse);
  if (OnThumb(p)) {
    PostEventIfFree(PR_ONHOLD, {}, false);
    TakeCapture();
    grab_ = AlongBar(p) - ThumbPos();
    SetThumbState(kPressed);
    dragMode_ = kThumbDrag;
    return;
  }
  for (int i = 0; i < 2; ++i) {
    if (!OnButton(i, p)) continue;
    StepBy(ButtonDirection(i), smallChange_);
    TakeCapture();
    SetButtonState(i, kPressed);
    repeatCountdown_ = kFirstRepeatMs;
    lastTick_ = ScenarioNow();
    dragMode_ = i == 0 ? kFirstButton : kSecondButton;
    return;
  }
  if (OnBar(p)) PressBar(p);
}

void TNovaSlider::PressBar(TPoint p) {
  PostEventIfFree(PR_ONHOLD, {}, false);
  SetThumbState(kPressed);
  dragMode_ = kThumbDrag;
  grab_ = 0;
  ChangeValue(ValueAt(AlongBar(p)));
  TakeCapture();
}

void TNovaSlider::DoCaptureTick() {
  if (dragMode_ != kFirstButton && dragMode_ != kSecondButton) return;
  repeatCountdown_ -= static_cast<int32_t>(std::min<uint32_t>(RepeatElapsed(), INT32_MAX / 2));
  if (repeatCountdown_ > 0) return;
  repeatCountdown_ += kRepeatMs;
  const int i = dragMode_ - kFirstButton;
  TNovaBase* screen = Screen();
  const bool on = screen && OnButton(i, Relative(TPoint{screen->Mouse().X, screen->Mouse().Y}));
  SetButtonState(i, on ? kPressed : kNormal);
  // The step is taken only while the pointer is on the held button.
  if (on) StepBy(ButtonDirection(i), smallChange_);
}

void TNovaSlider::DoLButtonUp(TPoint mouse) {
  TNovaControl::DoLButtonUp(mouse);
  if (dragMode_ == kThumbDrag) PostEventIfFree(PR_ONRELEASE, {}, false);
  dragMode_ = kNoDrag;
  if (trackPressed_) {
    trackPressed_ = false;
    Invalidate();
  }
  ApplyHover(Relative(mouse));
}

// ---- keys and wheel ----

int TNovaSlider::KeyDirection(int key) const {
  if (Vertical()) return key == kKeyUp ? 1 : (key == kKeyDown ? -1 : 0);
  return key == kKeyRight ? 1 : (key == kKeyLeft ? -1 : 0);
}

void TNovaSlider::FireKeyEvent(int code, const std::vector<int>& keys) {
  if (code == PR_ONKEYREPEAT && !paused_) {
    for (int key : {kKeyLeft, kKeyUp, kKeyRight, kKeyDown}) {
      const int direction = KeyDirection(key);
      if (direction != 0 && SliderHasKey(keys, key)) {
        StepBy(direction, smallChange_);
        break;
      }
    }
  }
  TNovaControl::FireKeyEvent(code, keys);
}

void TNovaSlider::DoWheel(bool down) {
  if (!paused_ && ignoreMouse_ != IM_ALL) {
    const int direction = WheelDirection(down);
    StepBy(direction, smallChange_);
  }
  TNovaControl::DoWheel(down);
}

// ---- painting ----

void TNovaSlider::PaintBar(TCustomDIBX& target, const TRect& bar) {
  const int32_t pos = ThumbPos();
  if (Vertical()) {
    // The value part rises from the bottom.
    const int32_t split = bar.Top + BarLength() - pos;
    bar_.DrawRun(target, 0, TRect{bar.Left, bar.Top, bar.Right, split}, bar.Top, true, alpha_);
    bar_.DrawRun(target, 1, TRect{bar.Left, split, bar.Right, bar.Bottom}, bar.Top, true, alpha_);
  } else {
    const int32_t split = bar.Left + pos;
    bar_.DrawRun(target, 1, TRect{bar.Left, bar.Top, split, bar.Bottom}, bar.Left, false, alpha_);
    bar_.DrawRun(target, 0, TRect{split, bar.Top, bar.Right, bar.Bottom}, bar.Left, false, alpha_);
  }
}

void TNovaSlider::PaintSelf(TCustomDIBX& target) {
  if (width_ <= 0 || height_ <= 0) return;
  const int32_t x = ScreenLeft(), y = ScreenTop();
  PaintBar(target, BarRect().Offset(x, y));
  const TRect thumb = ThumbRect();
  thumb_.DrawCell(target, thumbState_, x + thumb.Left, y + thumb.Top, alpha_);
  for (int i = 0; i < 2; ++i) {
    const TRect button = ButtonRect(i);
    buttons_.DrawCell(target, i * 3 + buttonState_[i], x + button.Left, y + button.Top, alpha_);
  }
}

// ---- properties ----

void TNovaSlider::SetSourceOf(TCellPicture& picture, const std::string& name) {
  Invalidate();
  // A damaged file leaves the picture empty; the layout follows before the error goes on.
  try {
    picture.Load(name);
  } catch (...) {
    Relayout();
    throw;
  }
  Relayout();
}

bool TNovaSlider::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_SOURCE: v = TPropValue::OfStr(bar_.Source()); return true;
    case PR_THUMBSOURCE: v = TPropValue::OfStr(thumb_.Source()); return true;
    case PR_BUTTONSOURCE: v = TPropValue::OfStr(buttons_.Source()); return true;
    case PR_ALPHA: v = TPropValue::OfInt(alpha_); return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_ONNOTIFY: v = TPropValue::OfStr(onNotify_); return true;
    case PR_ONHOLD: v = TPropValue::OfStr(onHold_); return true;
    case PR_ONRELEASE: v = TPropValue::OfStr(onRelease_); return true;
    case PR_ONIDLE: v = TPropValue::OfStr(onIdle_); return true;
    case PR_CAPTUREMASK: v = TPropValue::OfFlag(captureMask_); return true;
    case PR_MIN: v = TPropValue::OfInt(min_); return true;
    case PR_MAX: v = TPropValue::OfInt(max_); return true;
    case PR_VALUE: v = TPropValue::OfInt(Value()); return true;
    case PR_ORIENTATION: v = TPropValue::OfInt(orientation_); return true;
    case PR_SMALLCHANGE: v = TPropValue::OfInt(smallChange_); return true;
    case PR_BARSIZE: v = TPropValue::OfInt(barSize_); return true;
    default: return TNovaControl::GetProperty(id, v);
  }
}

bool TNovaSlider::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_SOURCE: SetSourceOf(bar_, v.Str); return true;
    case PR_THUMBSOURCE: SetSourceOf(thumb_, v.Str); return true;
    case PR_BUTTONSOURCE: SetSourceOf(buttons_, v.Str); return true;
    case PR_ALPHA:
      alpha_ = v.Int;
      Invalidate();
      return true;
    case PR_PAUSED:
      paused_ = v.Flag;
      if (paused_ && dragMode_ == kNoDrag) ApplyHover(TPoint{INT32_MIN, INT32_MIN});
      return true;
    case PR_ONNOTIFY: onNotify_ = v.Str; return true;
    case PR_ONHOLD: onHold_ = v.Str; return true;
    case PR_ONRELEASE: onRelease_ = v.Str; return true;
    case PR_ONIDLE: onIdle_ = v.Str; return true;
    case PR_CAPTUREMASK: captureMask_ = v.Flag; return true;
    case PR_MIN: SetMin(v.Int); return true;
    case PR_MAX: SetMax(v.Int); return true;
    case PR_VALUE: SetValue(v.Int); return true;
    case PR_ORIENTATION:
      Invalidate();
      orientation_ = v.Int == OT_VERTICAL ? OT_VERTICAL : OT_HORIZONTAL;
      Relayout();
      return true;
    case PR_SMALLCHANGE: smallChange_ = v.Int; return true;
    case PR_BARSIZE:
      Invalidate();
      barSize_ = v.Int;
      Relayout();
      return true;
    default: return TNovaControl::SetProperty(id, v);
  }
}

// ---- record ----

void TNovaSlider::SaveToStream(TStream& s) {
  TNovaControl::SaveToStream(s);
  s.WriteString(bar_.Source());
  s.WriteString(thumb_.Source());
  s.WriteString(buttons_.Source());
  s.WriteInt32(min_);
  s.WriteInt32(max_);
  s.WriteInt32(value_);
  s.WriteInt32(smallChange_);
  s.WriteInt32(alpha_);
  s.WriteByte(paused_);
  s.WriteByte(orientation_);
  s.WriteString(onNotify_);
  s.WriteString(onHold_);
  s.WriteString(onRelease_);
  s.WriteString(onIdle_);
  s.WriteByte(captureMask_);
  s.WriteInt32(barSize_);
}

void TNovaSlider::LoadFromStream(TStream& s, int32_t version) {
  TNovaControl::LoadFromStream(s, version);
  bar_.LoadQuietly(s.ReadString());
  thumb_.LoadQuietly(s.ReadString());
  buttons_.LoadQuietly(s.ReadString());
  min_ = s.ReadInt32();
  max_ = s.ReadInt32();
  value_ = s.ReadInt32();
  smallChange_ = s.ReadInt32();
  alpha_ = s.ReadInt32();
  paused_ = s.ReadByte() != 0;
  orientation_ = s.ReadByte() == OT_VERTICAL ? OT_VERTICAL : OT_HORIZONTAL;
  onNotify_ = s.ReadString();
  onHold_ = s.ReadString();
  onRelease_ = s.ReadString();
  onIdle_ = s.ReadString();
  if (version > 118) captureMask_ = s.ReadByte() != 0;
  if (version > 127) barSize_ = s.ReadInt32();
  thumbState_ = buttonState_[0] = buttonState_[1] = kNormal;
  dragMode_ = kNoDrag;
  trackPressed_ = false;
  Relayout();
}

}  // namespace nova
