#include "components/controls/nova_scrollbar.h"

#include <algorithm>

#include "base/process.h"
#include "base/stream.h"
#include "objects/key_codes.h"
#include "objects/screen.h"

namespace nova {

int32_t TNovaScrollbar::ThumbPos() const {
  return static_cast<int32_t>(
      ScaleRounded(int64_t{Value()} - min_, int64_t{max_} - min_, std::max(Span(), 0)));
}

TRect TNovaScrollbar::BarRect() const {
  const int32_t length = BarLength();
  if (Vertical()) {
    const int32_t thickness = bar_.CellWidth();
    return TRect::FromSize((width_ - thickness) / 2, buttons_.Height(), thickness, length);
  }
  const int32_t thickness = bar_.Height();
  return TRect::FromSize(buttons_.CellWidth(), (height_ - thickness) / 2, length, thickness);
}

TRect TNovaScrollbar::ThumbRect() const {
  const int32_t w = thumb_.CellWidth(), h = thumb_.Height();
  if (Vertical()) return TRect::FromSize((width_ - w) / 2, buttons_.Height() + ThumbPos(), w, h);
  return TRect::FromSize(buttons_.CellWidth() + ThumbPos(), (height_ - h) / 2, w, h);
}

int32_t TNovaScrollbar::AlongBar(TPoint local) const {
  return Vertical() ? local.Y - buttons_.Height() : local.X - buttons_.CellWidth();
}

int TNovaScrollbar::KeyDirection(int key) const {
  if (Vertical()) return key == kKeyDown ? 1 : (key == kKeyUp ? -1 : 0);
  return key == kKeyRight ? 1 : (key == kKeyLeft ? -1 : 0);
}

void TNovaScrollbar::SetTrackPressed(bool on) {
  if (on == trackPressed_) return;
  trackPressed_ = on;
  Invalidate();
}

void TNovaScrollbar::PressBar(TPoint p) {
  const bool toStart = AlongBar(p) < ThumbPos();
  SetTrackPressed(true);
  repeatCountdown_ = kFirstRepeatMs;
  lastTick_ = ScenarioNow();
  dragMode_ = toStart ? kPageToStart : kPageToEnd;
  StepBy(toStart ? -1 : 1, largeChange_);
  TakeCapture();
}

bool TNovaScrollbar::PageDue(TPoint p) {
  if (!OnBar(p)) return false;
  const int32_t along = AlongBar(p), pos = ThumbPos();
  return dragMode_ == kPageToStart ? along < pos : along >= pos + ThumbLength();
}

void TNovaScrollbar::DoCaptureTick() {
  if (dragMode_ != kPageToStart && dragMode_ != kPageToEnd) {
    TNovaSlider::DoCaptureTick();
    return;
  }
  repeatCountdown_ -= static_cast<int32_t>(std::min<uint32_t>(RepeatElapsed(), INT32_MAX / 2));
  if (repeatCountdown_ > 0) return;
  repeatCountdown_ += kRepeatMs;
  TNovaBase* screen = Screen();
  const bool due = screen && PageDue(Relative(TPoint{screen->Mouse().X, screen->Mouse().Y}));
  SetTrackPressed(due);
  if (due) StepBy(dragMode_ == kPageToStart ? -1 : 1, largeChange_);
}

void TNovaScrollbar::PaintBar(TCustomDIBX& target, const TRect& bar) {
  const bool vertical = Vertical();
  const int32_t origin = vertical ? bar.Top : bar.Left;
  bar_.DrawRun(target, 0, bar, origin, vertical, alpha_);
  if (!trackPressed_) return;
  // The paging side of the thumb shows the second cell.
  const int32_t pos = ThumbPos();
  const int32_t from = dragMode_ == kPageToStart ? 0 : pos + ThumbLength();
  const int32_t to = dragMode_ == kPageToStart ? pos : BarLength();
  if (to <= from) return;
  const TRect part = vertical ? TRect{bar.Left, bar.Top + from, bar.Right, bar.Top + to}
                              : TRect{bar.Left + from, bar.Top, bar.Left + to, bar.Bottom};
  bar_.DrawRun(target, 1, part, origin, vertical, alpha_);
}

bool TNovaScrollbar::GetProperty(int id, TPropValue& v) {
  if (id == PR_LARGECHANGE) {
    v = TPropValue::OfInt(largeChange_);
    return true;
  }
  return TNovaSlider::GetProperty(id, v);
}

bool TNovaScrollbar::SetProperty(int id, const TPropValue& v) {
  if (id == PR_LARGECHANGE) {
    largeChange_ = v.Int;
    return true;
  }
  return TNovaSlider::SetProperty(id, v);
}

void TNovaScrollbar::SaveToStream(TStream& s) {
  TNovaSlider::SaveToStream(s);
  s.WriteInt32(largeChange_);
}

void TNovaScrollbar::LoadFromStream(TStream& s, int32_t version) {
  TNovaSlider::LoadFromStream(s, version);
  largeChange_ = s.ReadInt32();
}

}  // namespace nova
