// The list box's pointer and key handling: hovering and choosing items, the scroll bar's
// thumb, arrows and track with their auto-repeat while held.
#include <algorithm>

#include "base/process.h"
#include "components/lists/nova_list_box.h"
#include "objects/key_codes.h"
#include "objects/scene.h"

namespace nova {

int32_t TNovaCustomListBox::ItemAt(TPoint p) {
  const TGeometry g = Geometry();
  if (g.Step <= 0 || p.X < g.X0 || p.X >= g.X0 + g.W) return -1;
  const int32_t rows = std::max(0, std::min(rowCount_, ItemCount() - topIndex_));
  const int32_t top = g.Y0 - g.HalfGap;
  const int32_t bottom = g.Y0 + rows * g.Step - lineSpace_ + g.HalfGap;
  if (p.Y < top || p.Y >= bottom) return -1;
  const int32_t row = (p.Y - top) / g.Step;
  if (row >= rows) return -1;
  return topIndex_ + row;
}

int32_t TNovaCustomListBox::PartAt(TPoint p) {
  const TGeometry g = Geometry();
  if (!g.Bar) return kItemArea;
  if (g.Thumb.Contains(p)) return kThumb;
  if (g.UpArrow.Contains(p)) return kUpArrow;
  if (g.DownArrow.Contains(p)) return kDownArrow;
  if (g.Track.Contains(p)) return p.Y < g.Thumb.Top ? kTrackUp : kTrackDown;
  return kItemArea;
}

void TNovaCustomListBox::StartRepeat() {
  repeatCountdown_ = kFirstRepeatMs;
  lastTick_ = ScenarioNow();
}

void TNovaCustomListBox::DoLButtonDown(TPoint mouse) {
  const bool takes = ignoreMouse_ == IM_NONE || ignoreMouse_ == IM_RCLICK;
  if (!takes || paused_ || !ItemsActive()) {
    TNovaControl::DoLButtonDown(mouse);
    return;
  }
  const TGeometry g = Geometry();
  dragMode_ = PartAt(mouse);
  switch (dragMode_) {
    case kThumb: dragOffset_ = mouse.Y - (g.Thumb.Top + g.ArrowHeight / 2); break;
    case kUpArrow:
    case kDownArrow:
      arrowPressed_ = true;
      Invalidate();
      ScrollBy(dragMode_ == kUpArrow ? -1 : 1);
      StartRepeat();
      break;
    case kTrackUp:
    case kTrackDown:
      trackPressed_ = true;
      Invalidate();
      ScrollBy(dragMode_ == kTrackUp ? -rowCount_ : rowCount_);
      StartRepeat();
      break;
    default: break;
  }
  TNovaControl::DoLButtonDown(mouse);
  // The list box keeps the mouse until the release and swallows the press.
  if (TNovaBase* screen = Screen()) {
    screen->CaptureSet |= 4;
    screen->Mouse().LeftPressedThisFrame = false;
  }
}

void TNovaCustomListBox::DoLButtonUp(TPoint mouse) {
  const int32_t mode = dragMode_;
  dragMode_ = kNoDrag;
  if (arrowPressed_ || trackPressed_) {
    arrowPressed_ = trackPressed_ = false;
    Invalidate();
  }
  if (mode == kItemArea && hovered_ >= 0 && !paused_ && ItemsActive()) ItemChosen();
  TNovaControl::DoLButtonUp(mouse);
}

void TNovaCustomListBox::DoMouseMove(TPoint mouse) {
  if (!paused_ && ItemsActive()) {
    if (dragMode_ == kThumb) DragThumb(mouse);
    else if (dragMode_ == kNoDrag || dragMode_ == kItemArea) SetHovered(ItemAt(mouse));
  }
  TNovaControl::DoMouseMove(mouse);
}

void TNovaCustomListBox::DoMouseOut() {
  if (!paused_ && ignoreMouse_ != IM_ALL) SetHovered(-1);
  TNovaControl::DoMouseOut();
}

void TNovaCustomListBox::DragThumb(TPoint mouse) {
  const TGeometry g = Geometry();
  const int32_t a = g.ArrowHeight;
  const int32_t travel = height_ - 2 * borderWidth_ - g.TopRow - g.BottomRow - 3 * a;
  const int32_t spare = ItemCount() - rowCount_;
  if (travel <= 0 || spare <= 0) return;
  const int64_t along = int64_t{mouse.Y} - dragOffset_ - ScreenTop() - borderWidth_ - g.TopRow - a - a / 2;
  const int64_t scaled = int64_t{spare} * along;
  // To the nearest row (halves away from zero), then into range.
  const int64_t rounded = scaled >= 0 ? (2 * scaled + travel) / (2 * int64_t{travel})
                                      : -((-2 * scaled + travel) / (2 * int64_t{travel}));
  SetTopIndex(static_cast<int32_t>(std::clamp<int64_t>(rounded, 0, spare)));
}

void TNovaCustomListBox::DoCaptureTick() {
  if (dragMode_ < kUpArrow || dragMode_ > kTrackDown) return;
  TNovaBase* screen = Screen();
  if (!screen) return;
  const TPoint mouse{screen->Mouse().X, screen->Mouse().Y};
  const bool on = PartAt(mouse) == dragMode_;
  bool& look = dragMode_ <= kDownArrow ? arrowPressed_ : trackPressed_;
  if (look != on) {
    look = on;
    Invalidate();
  }
  const uint32_t now = ScenarioNow();
  repeatCountdown_ -= static_cast<int32_t>(now - lastTick_);
  lastTick_ = now;
  if (repeatCountdown_ > 0) return;
  repeatCountdown_ += kRepeatMs;
  if (!on) return;
  switch (dragMode_) {
    case kUpArrow: ScrollBy(-1); break;
    case kDownArrow: ScrollBy(1); break;
    case kTrackUp: ScrollBy(-rowCount_); break;
    default: ScrollBy(rowCount_); break;
  }
}

void TNovaCustomListBox::FireKeyEvent(int code, const std::vector<int>& keys) {
  if (code == PR_ONKEYREPEAT && !paused_ && ItemsActive()) KeyStep(keys);
  TNovaControl::FireKeyEvent(code, keys);
}

void TNovaCustomListBox::KeyStep(const std::vector<int>& keys) {
  const int32_t count = ItemCount();
  const int32_t last = count - 1;
  int32_t next = hovered_;
  if (HasKey(keys, kKeyUp)) next = hovered_ < 0 ? last : hovered_ - 1;
  else if (HasKey(keys, kKeyDown)) next = hovered_ < 0 ? 0 : std::min(hovered_ + 1, last);
  else if (HasKey(keys, kKeyPageUp)) next = hovered_ < 0 ? last : std::max(hovered_ - rowCount_, 0);
  else if (HasKey(keys, kKeyPageDown)) next = hovered_ < 0 ? 0 : std::min(hovered_ + rowCount_, last);
  if (count == 0 || next == hovered_) return;
  SetHovered(next);
  if (hovered_ < 0) return;
  if (hovered_ < topIndex_) SetTopIndex(hovered_);
  else if (hovered_ >= topIndex_ + rowCount_) SetTopIndex(hovered_ - rowCount_ + 1);
}

}  // namespace nova
