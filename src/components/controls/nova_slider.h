#pragma once
// TNovaSlider (LT_SLIDER, "スライダー"): a thumb on a bar between two buttons, laid out from
// three pictures: the bar (PR_SOURCE, two cells: the rest of the bar and its value part), the
// thumb (PR_THUMBSOURCE, three cells: normal, hover, pressed) and the buttons
// (PR_BUTTONSOURCE, six cells: the first button's three states, then the second's). The value
// runs from PR_MIN to PR_MAX; the thumb is dragged, the bar clicked (the thumb jumps there and
// is grabbed), the buttons held with auto-repeat, the arrow keys and the wheel step by
// PR_SMALLCHANGE. Changes made by the user post PR_ONNOTIFY with the new value; grabbing and
// releasing the thumb post PR_ONHOLD and PR_ONRELEASE. A vertical slider's value grows upward.
#include <cstdint>
#include <string>
#include <vector>

#include "components/controls/value_control.h"
#include "objects/nova_control.h"

namespace nova {

struct TComponentServices;

class TNovaSlider : public TNovaControl {
public:
  static constexpr int kNormal = 0, kHover = 1, kPressed = 2;
  enum TDragMode : int32_t { kNoDrag = 0, kThumbDrag = 1, kFirstButton = 2, kSecondButton = 3,
                             kPageToStart = 4, kPageToEnd = 5 };
  static constexpr int32_t kFirstRepeatMs = 300, kRepeatMs = 50;

  TNovaSlider(TNovaBaseList* scene, TComponentServices& services);
  ~TNovaSlider() override;
  uint8_t TypeCode() const override { return LT_SLIDER; }

  // ---- value ----
  int32_t Min() const { return min_; }
  int32_t Max() const { return max_; }
  // The stored value clamped to min..max (min when max < min).
  int32_t Value() const { return ClampToRange(value_, min_, max_); }
  // The scenario's write: stores the value and moves the thumb, without events.
  void SetValue(int32_t v);
  void SetMin(int32_t v);
  void SetMax(int32_t v);
  // A change made by the user: clamped; a different value is stored and notified.
  void ChangeValue(int64_t v);
  bool Vertical() const { return orientation_ == OT_VERTICAL; }

  // ---- layout, in local coordinates ----
  int32_t BarLength() const;  // L: the bar cell's length or PR_BARSIZE
  int32_t ThumbLength() const { return Vertical() ? thumb_.Height() : thumb_.CellWidth(); }
  int32_t ButtonLength() const { return Vertical() ? buttons_.Height() : buttons_.CellWidth(); }
  // Pixels of the thumb along the bar from its start (for a vertical slider: from the bottom).
  virtual int32_t ThumbPos() const;
  virtual TRect BarRect() const;
  virtual TRect ThumbRect() const;
  TRect ButtonRect(int i) const;
  // +1 or -1: which way a button moves the value.
  virtual int ButtonDirection(int i) const { return Vertical() ? (i == 0 ? 1 : -1) : (i == 0 ? -1 : 1); }
  void Relayout();

  // ---- state ----
  int32_t ThumbState() const { return thumbState_; }
  int32_t ButtonState(int i) const { return buttonState_[i & 1]; }
  int32_t DragMode() const { return dragMode_; }
  bool TrackPressed() const { return trackPressed_; }

  // ---- input ----
  void DoMouseMove(TPoint mouse) override;
  void DoMouseOut() override;
  void DoLButtonDown(TPoint mouse) override;
  void DoLButtonUp(TPoint mouse) override;
  void DoCaptureTick() override;
  void DoWheel(bool down) override;
  void FireKeyEvent(int code, const std::vector<int>& keys) override;
  bool Paused() const override { return paused_; }

  void EndInit() override { Relayout(); }
  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  void PaintSelf(TCustomDIBX& target) override;
  // The bar under the thumb: the slider's value part and rest; the scroll bar's track.
  virtual void PaintBar(TCustomDIBX& target, const TRect& bar);
  // Sizes from the pictures: the scroll bar's track is the bar length itself.
  virtual int64_t LengthAlong() const;
  // The pixels the thumb travels over as the value goes from min to max.
  virtual int32_t Span() const { return BarLength(); }
  // Where a local point lies along the bar, in the direction the thumb position counts.
  virtual int32_t AlongBar(TPoint local) const;
  // A press on the bar outside the thumb.
  virtual void PressBar(TPoint local);
  // The step of an arrow key (0: the key does nothing here).
  virtual int KeyDirection(int key) const;
  // The wheel turns as the vertical arrow keys do: up as the up key.
  virtual int WheelDirection(bool down) const { return down ? -1 : 1; }
  bool OnThumb(TPoint local);
  bool OnButton(int i, TPoint local);
  bool OnBar(TPoint local);
  // The value at a distance along the bar's span.
  int64_t ValueAt(int64_t along) const;
  void StepBy(int direction, int32_t change) { ChangeValue(int64_t{Value()} + int64_t{direction} * change); }
  void SetThumbState(int32_t state);
  void SetButtonState(int i, int32_t state);
  // Thumb and buttons show hover where the pointer is, normal elsewhere.
  void ApplyHover(TPoint local);
  void TakeCapture();
  uint32_t RepeatElapsed();

  TCellPicture bar_, thumb_, buttons_;
  int32_t min_ = 0, max_ = 0, value_ = 0;
  int32_t smallChange_ = 1;
  int32_t alpha_ = 255;
  bool paused_ = false;
  uint8_t orientation_ = OT_HORIZONTAL;
  bool captureMask_ = false;
  int32_t barSize_ = 0;
  std::string onNotify_, onHold_, onRelease_, onIdle_;
  int32_t thumbState_ = kNormal;
  int32_t buttonState_[2] = {kNormal, kNormal};
  int32_t dragMode_ = kNoDrag;
  int32_t grab_ = 0;
  int32_t repeatCountdown_ = 0;
  uint32_t lastTick_ = 0;
  bool trackPressed_ = false;

private:
  void SetSourceOf(TCellPicture& picture, const std::string& name);
};

}  // namespace nova
