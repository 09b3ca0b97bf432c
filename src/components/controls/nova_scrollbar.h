#pragma once
// TNovaScrollbar (LT_SCROLLBAR, "スクロールバー"): a slider whose thumb travels inside the track
// between the buttons and whose value grows rightward or downward in both orientations. A
// press on the track beside the thumb pages by PR_LARGECHANGE, repeating while held until the
// thumb reaches the pointer.
#include "components/controls/nova_slider.h"

namespace nova {

class TNovaScrollbar : public TNovaSlider {
public:
  using TNovaSlider::TNovaSlider;
  uint8_t TypeCode() const override { return LT_SCROLLBAR; }

  int32_t LargeChange() const { return largeChange_; }
  int32_t ThumbPos() const override;
  TRect BarRect() const override;
  TRect ThumbRect() const override;
  int ButtonDirection(int i) const override { return i == 0 ? -1 : 1; }
  void DoCaptureTick() override;

  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  void PaintBar(TCustomDIBX& target, const TRect& bar) override;
  int64_t LengthAlong() const override { return int64_t{BarLength()} + 2 * int64_t{ButtonLength()}; }
  int32_t Span() const override { return BarLength() - ThumbLength(); }
  int32_t AlongBar(TPoint local) const override;
  void PressBar(TPoint local) override;
  int KeyDirection(int key) const override;
  int WheelDirection(bool down) const override { return down ? 1 : -1; }

private:
  // Whether a page step toward the pointer is due: it is on the track beyond the thumb.
  bool PageDue(TPoint local);
  void SetTrackPressed(bool on);

  int32_t largeChange_ = 1;
};

}  // namespace nova
