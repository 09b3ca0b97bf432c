#include "components/controls/nova_gauge.h"

#include <algorithm>
#include <cmath>

#include "base/stream.h"
#include "components/component_services.h"
#include "render/dibx.h"

namespace nova {

TNovaGauge::TNovaGauge(TNovaBaseList* scene, TComponentServices& services)
    : TNovaControl(scene), bar_(services.Images, 2) {}

TNovaGauge::~TNovaGauge() = default;

// ---- value ----

void TNovaGauge::SetValue(int32_t v) {
  // The bar shows up to shown + lost now; the change starts from there.
  const int64_t top = int64_t{shown_} + lost_;
  value_ = v;
  const int32_t next = Value();
  if (next < top) {
    shown_ = next;
    lost_ = top - next;
    progress_ = static_cast<long double>(lost_);
    wait_ = duration_;
    state_ = kDecreasing;
  } else if (next > top) {
    lost_ = 0;
    shown_ = static_cast<int32_t>(top);
    progress_ = shown_;
    wait_ = 0;
    state_ = kIncreasing;
  } else {
    Complete();
  }
  Invalidate();
}

void TNovaGauge::Complete() {
  state_ = kIdle;
  lost_ = 0;
  shown_ = Value();
  progress_ = 0;
  wait_ = 0;
  Invalidate();
}

long double TNovaGauge::RatePerMs() const {
  const int64_t range = int64_t{max_} - min_;
  if (delay_ <= 0 || range <= 0) return 0;
  return static_cast<long double>(range) / delay_;
}

bool TNovaGauge::Update(uint32_t elapsedMs) {
  if (TNovaControl::Update(elapsedMs)) return true;
  if (state_ == kIdle) return false;
  int64_t ms = elapsedMs;
  if (state_ == kDecreasing && wait_ > 0) {
    // The lost part stays for the duration; only the rest of the frame shrinks it.
    const int64_t left = int64_t{wait_} - ms;
    wait_ = static_cast<int32_t>(std::max<int64_t>(left, 0));
    if (left > 0) return false;
    ms = -left;
  }
  const long double rate = RatePerMs();
  if (rate <= 0) {
    Complete();
    return false;
  }
  if (state_ == kDecreasing) {
    progress_ -= rate * ms;
    if (progress_ < 1) {
      Complete();
      return false;
    }
    lost_ = std::llround(progress_);
  } else {
    progress_ += rate * ms;
    if (progress_ >= Value()) {
      Complete();
      return false;
    }
    shown_ = static_cast<int32_t>(std::llround(progress_));
  }
  Invalidate();
  return false;
}

// ---- layout and painting ----

int32_t TNovaGauge::BarLength() const {
  const int32_t length = barSize_ > 0 ? barSize_ : (Vertical() ? bar_.Height() : bar_.CellWidth());
  return std::clamp(length, 0, kMaxBarLength);
}

void TNovaGauge::Relayout() {
  if (bar_.Empty()) SetBounds(left_, top_, 0, 0);
  else if (Vertical()) SetBounds(left_, top_, bar_.CellWidth(), BarLength());
  else SetBounds(left_, top_, BarLength(), bar_.Height());
  Invalidate();
}

int32_t TNovaGauge::ValuePixels() const {
  const int32_t length = BarLength();
  const int64_t px = ScaleRounded(int64_t{shown_} - min_, int64_t{max_} - min_, length);
  return static_cast<int32_t>(std::clamp<int64_t>(px, 0, length));
}

int32_t TNovaGauge::LostPixels() const {
  const int32_t length = BarLength();
  const int64_t px = ScaleRounded(lost_, int64_t{max_} - min_, length);
  return static_cast<int32_t>(std::clamp<int64_t>(px, 0, length - ValuePixels()));
}

void TNovaGauge::PaintSelf(TCustomDIBX& target) {
  if (width_ <= 0 || height_ <= 0) return;
  const bool vertical = Vertical();
  const int32_t length = BarLength();
  const int32_t valuePx = ValuePixels(), lostPx = LostPixels();
  // Vertical gauges fill from the bottom unless reversed; horizontal ones from the left.
  const bool fromEnd = vertical != reverse_;
  int32_t valueFrom = 0, lostFrom = valuePx;
  if (fromEnd) valueFrom = length - valuePx, lostFrom = valueFrom - lostPx;
  const int32_t cell = vertical ? bar_.Height() : bar_.CellWidth();
  if (cell <= 0) return;
  // The cells are laid from the end the bar fills from.
  const int32_t origin = fromEnd ? length - static_cast<int32_t>((int64_t{length} + cell - 1) / cell * cell) : 0;
  const int32_t x = ScreenLeft(), y = ScreenTop();
  auto run = [&](int32_t from, int32_t count) {
    return vertical ? TRect::FromSize(x, y + from, width_, count) : TRect::FromSize(x + from, y, count, height_);
  };
  const int32_t start = (vertical ? y : x) + origin;
  if (valuePx > 0) bar_.DrawRun(target, 0, run(valueFrom, valuePx), start, vertical, alpha_);
  if (lostPx > 0) bar_.DrawRun(target, 1, run(lostFrom, lostPx), start, vertical, alpha_);
}

// ---- properties ----

bool TNovaGauge::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_SOURCE: v = TPropValue::OfStr(bar_.Source()); return true;
    case PR_ALPHA: v = TPropValue::OfInt(alpha_); return true;
    case PR_DELAY: v = TPropValue::OfInt(delay_); return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_ONIDLE: v = TPropValue::OfStr(onIdle_); return true;
    case PR_DURATION: v = TPropValue::OfInt(duration_); return true;
    case PR_MIN: v = TPropValue::OfInt(min_); return true;
    case PR_MAX: v = TPropValue::OfInt(max_); return true;
    case PR_VALUE: v = TPropValue::OfInt(Value()); return true;
    case PR_ORIENTATION: v = TPropValue::OfInt(orientation_); return true;
    case PR_REVERSE: v = TPropValue::OfFlag(reverse_); return true;
    case PR_BARSIZE: v = TPropValue::OfInt(barSize_); return true;
    case PR_PLAYING: v = TPropValue::OfFlag(state_ != kIdle); return true;
    default: return TNovaControl::GetProperty(id, v);
  }
}

bool TNovaGauge::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_SOURCE:
      Invalidate();
      // A damaged file leaves the bar empty; the layout follows before the error goes on.
      try {
        bar_.Load(v.Str);
      } catch (...) {
        Relayout();
        throw;
      }
      Relayout();
      return true;
    case PR_ALPHA: alpha_ = v.Int; break;
    case PR_DELAY: delay_ = v.Int; return true;
    case PR_PAUSED: paused_ = v.Flag; return true;
    case PR_ONIDLE: onIdle_ = v.Str; return true;
    case PR_DURATION: duration_ = v.Int; return true;
    case PR_MIN: min_ = v.Int; break;
    case PR_MAX: max_ = v.Int; break;
    case PR_VALUE: SetValue(v.Int); return true;
    case PR_REVERSE: reverse_ = v.Flag; break;
    case PR_ORIENTATION:
      Invalidate();
      orientation_ = v.Int == OT_VERTICAL ? OT_VERTICAL : OT_HORIZONTAL;
      Relayout();
      return true;
    case PR_BARSIZE:
      Invalidate();
      barSize_ = v.Int;
      Relayout();
      return true;
    default: return TNovaControl::SetProperty(id, v);
  }
  Invalidate();
  return true;
}

void TNovaGauge::EndInit() {
  // A new gauge shows its value at once; only later changes animate.
  Complete();
  Relayout();
}

// ---- record ----

void TNovaGauge::SaveToStream(TStream& s) {
  TNovaControl::SaveToStream(s);
  s.WriteString(bar_.Source());
  s.WriteInt32(min_);
  s.WriteInt32(max_);
  s.WriteInt32(value_);
  s.WriteInt32(alpha_);
  s.WriteByte(paused_);
  s.WriteByte(orientation_);
  s.WriteInt32(delay_);
  s.WriteInt32(duration_);
  s.WriteByte(reverse_);
  s.WriteString(onIdle_);
  s.WriteInt32(barSize_);
}

void TNovaGauge::LoadFromStream(TStream& s, int32_t version) {
  TNovaControl::LoadFromStream(s, version);
  bar_.LoadQuietly(s.ReadString());
  min_ = s.ReadInt32();
  max_ = s.ReadInt32();
  value_ = s.ReadInt32();
  alpha_ = s.ReadInt32();
  paused_ = s.ReadByte() != 0;
  orientation_ = s.ReadByte() == OT_VERTICAL ? OT_VERTICAL : OT_HORIZONTAL;
  delay_ = s.ReadInt32();
  duration_ = s.ReadInt32();
  reverse_ = s.ReadByte() != 0;
  if (version > 124) onIdle_ = s.ReadString();
  if (version > 127) barSize_ = s.ReadInt32();
  Complete();
  Relayout();
}

}  // namespace nova
