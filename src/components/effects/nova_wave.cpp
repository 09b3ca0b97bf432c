#include "components/effects/nova_wave.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "objects/screen.h"

namespace nova {

namespace {

constexpr int32_t kWavePhases = 255;  // the phase runs over 0..254
constexpr int64_t kWaveReach = int64_t{1} << 30;

int32_t WaveWiden(int32_t edge, int64_t by) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{edge} + by, INT32_MIN, INT32_MAX));
}

}  // namespace

TNovaWave::TNovaWave(TNovaBaseList* scene) : TNovaControl(scene) {}

TNovaWave::~TNovaWave() = default;

void TNovaWave::PlaceProxy() {
  const int32_t rows = std::clamp(height_, 0, kMaxWaveRows);
  if (proxy_.GetWidth() != std::max(width_, 0) || proxy_.GetHeight() != rows)
    proxy_.SetSize(std::max(width_, 0), rows, 0);
  if (Parent()) proxy_.SetOrigin(ScreenLeft(), ScreenTop());
  BuildOffsets();
}

bool TNovaWave::BuildOffsets() {
  auto& offsets = proxy_.Offsets();
  const double step = 2 * std::numbers::pi / wavelength_;
  double angle = wavelength_ * (phase_ / 256.0) * step;
  bool changed = false;
  for (int32_t& o : offsets) {
    const double v = std::nearbyint(amplitude_ * std::sin(angle));
    const auto offset = static_cast<int32_t>(std::clamp<double>(v, -kWaveReach, kWaveReach));
    changed |= offset != o;
    o = offset;
    angle += step;
  }
  return changed;
}

bool TNovaWave::Update(uint32_t elapsedMs) {
  TNovaBase* screen = Screen();
  proxy_.SetTarget(screen ? screen->DrawSurface() : nullptr);
  const bool done = TNovaControl::Update(elapsedMs);
  if (aniPaused_) return done;
  const int64_t acc = int64_t{elapsedMs} * 256 + remainder_;
  remainder_ = static_cast<int32_t>(acc % period_);
  const int64_t n = acc / period_;
  if (n == 0) return done;
  phase_ = static_cast<int32_t>(((phase_ - n) % kWavePhases + kWavePhases) % kWavePhases);
  if (BuildOffsets()) Invalidate();
  return done;
}

TCustomDIBX* TNovaWave::DrawSurface() { return amplitude_ != 0 ? &proxy_ : TNovaControl::DrawSurface(); }

TCustomDIBX& TNovaWave::ChildSurface(TCustomDIBX& surface) {
  if (amplitude_ == 0) return surface;
  // The proxy forwards to the surface being painted, clipped as that surface is now.
  proxy_.SetTarget(&surface);
  proxy_.SetClipRect(surface.GetClipRect());
  return proxy_;
}

void TNovaWave::InvalidateRect(TRect& rect) {
  // A descendant's rows may be shifted either way by up to the amplitude.
  const int64_t by = std::abs(int64_t{amplitude_});
  rect.Left = WaveWiden(rect.Left, -by);
  rect.Right = WaveWiden(rect.Right, by);
  TNovaControl::InvalidateRect(rect);
}

void TNovaWave::InvalidateOwnRect(TRect& rect) { TNovaControl::InvalidateRect(rect); }

void TNovaWave::SetWidth(int32_t v) {
  TNovaControl::SetWidth(v);
  PlaceProxy();
}

void TNovaWave::SetHeight(int32_t v) {
  TNovaControl::SetHeight(v);
  PlaceProxy();
}

void TNovaWave::PositionChanged() {
  TNovaControl::PositionChanged();
  PlaceProxy();
}

void TNovaWave::SetShape(int32_t& field, int32_t value) {
  if (value == field) return;
  // The old distortion goes, the new one comes.
  Invalidate();
  field = value;
  BuildOffsets();
  Invalidate();
}

bool TNovaWave::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_DELAY: v = TPropValue::OfInt(period_); return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_AMP: v = TPropValue::OfInt(amplitude_); return true;
    case PR_WAVELEN: v = TPropValue::OfInt(wavelength_); return true;
    case PR_ONIDLE: v = TPropValue::OfStr(onIdle_); return true;
    case PR_PLAYING: v = TPropValue::OfFlag(!paused_ && !aniPaused_); return true;
    default: return TNovaControl::GetProperty(id, v);
  }
}

bool TNovaWave::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_DELAY: period_ = std::max(v.Int, 1); return true;
    case PR_PAUSED: paused_ = v.Flag; return true;
    case PR_AMP: SetShape(amplitude_, v.Int); return true;
    case PR_WAVELEN: SetShape(wavelength_, std::max(v.Int, 1)); return true;
    case PR_ONIDLE: onIdle_ = v.Str; return true;
    default: return TNovaControl::SetProperty(id, v);
  }
}

void TNovaWave::SaveToStream(TStream& s) {
  TNovaControl::SaveToStream(s);
  s.WriteInt32(amplitude_);
  s.WriteInt32(wavelength_);
  s.WriteInt32(period_);
  s.WriteString(onIdle_);
  s.WriteByte(paused_);
}

void TNovaWave::LoadFromStream(TStream& s, int32_t version) {
  TNovaControl::LoadFromStream(s, version);
  amplitude_ = s.ReadInt32();
  // A damaged save's 0 would divide by zero at every update.
  wavelength_ = std::max(s.ReadInt32(), 1);
  period_ = std::max(s.ReadInt32(), 1);
  PlaceProxy();
  if (version >= 104) {
    onIdle_ = s.ReadString();
    paused_ = s.ReadByte() != 0;
  }
}

}  // namespace nova
