#pragma once
// TNovaGauge (LT_GAUGE, "ゲージ"): a bar that shows a value of PR_MIN..PR_MAX and animates its
// changes. The bar picture (PR_SOURCE) has two cells: the value part and the changing part. A
// drop shows the new value at once and keeps the lost part (second cell) for PR_DURATION ms
// before it shrinks; a rise grows the value part. PR_DELAY is the time of a change over the
// whole range (0: at once). Horizontal gauges fill from the left, vertical ones from the
// bottom; PR_REVERSE fills from the other end. PR_PLAYING reads true while a change runs.
#include <cstdint>
#include <string>

#include "base/extended.h"
#include "components/controls/value_control.h"
#include "objects/nova_control.h"

namespace nova {

struct TComponentServices;

class TNovaGauge : public TNovaControl {
public:
  static constexpr int32_t kIdle = 0, kDecreasing = 100, kIncreasing = 200;

  TNovaGauge(TNovaBaseList* scene, TComponentServices& services);
  ~TNovaGauge() override;
  uint8_t TypeCode() const override { return LT_GAUGE; }

  int32_t Value() const { return ClampToRange(value_, min_, max_); }
  // A smaller value drops at once and leaves the lost part; a larger one grows.
  void SetValue(int32_t v);
  int32_t Shown() const { return shown_; }
  int64_t Lost() const { return lost_; }
  int32_t State() const { return state_; }
  bool Vertical() const { return orientation_ == OT_VERTICAL; }
  int32_t BarLength() const;
  // Pixels of the value part and of the lost part.
  int32_t ValuePixels() const;
  int32_t LostPixels() const;
  void Relayout();

  bool Update(uint32_t elapsedMs) override;
  bool Paused() const override { return paused_; }
  void EndInit() override;
  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  void PaintSelf(TCustomDIBX& target) override;

private:
  void Complete();
  // The range change that a millisecond makes; 0 when changes complete at once.
  long double RatePerMs() const;

  TCellPicture bar_;
  int32_t min_ = 0, max_ = 0, value_ = 0;
  int32_t alpha_ = 255;
  bool paused_ = false;
  uint8_t orientation_ = OT_HORIZONTAL;
  int32_t delay_ = 0, duration_ = 0;
  bool reverse_ = false;
  int32_t barSize_ = 0;
  std::string onIdle_;
  int32_t state_ = kIdle;
  int32_t shown_ = 0;
  int64_t lost_ = 0;  // up to the whole range, which may pass 32 bits
  long double progress_ = 0;  // the lost part (decreasing) or the shown value (increasing)
  int32_t wait_ = 0;
};

}  // namespace nova
