#pragma once
// TNovaWave (LT_WAVE, "ウェーブサーフェス"): an invisible container whose descendants draw
// through a wave proxy surface while PR_AMP is not 0, every pixel row shifted sideways by
// PR_AMP x sin(2 pi (phase / 256 + row / PR_WAVELEN)). The phase runs over 0..254 and falls by
// 256 per PR_DELAY ms (the remainder carried from frame to frame), so the pattern travels down
// the rows by about one wavelength per period.
#include <cstdint>
#include <string>

#include "objects/nova_control.h"
#include "render/dibx.h"

namespace nova {

// Rows of the proxy's offset table: a wave taller than a picture may be distorts (and shows)
// only its first rows.
constexpr int32_t kMaxWaveRows = 16384;

class TNovaWave : public TNovaControl {
public:
  explicit TNovaWave(TNovaBaseList* scene);
  ~TNovaWave() override;
  uint8_t TypeCode() const override { return LT_WAVE; }

  bool Paused() const override { return paused_; }
  bool Update(uint32_t elapsedMs) override;
  TCustomDIBX* DrawSurface() override;
  void InvalidateRect(TRect& rect) override;
  void InvalidateOwnRect(TRect& rect) override;
  void SetWidth(int32_t v) override;
  void SetHeight(int32_t v) override;
  void PositionChanged() override;

  int32_t Amplitude() const { return amplitude_; }
  int32_t Phase() const { return phase_; }
  int32_t PhaseRemainder() const { return remainder_; }
  TDIBXWave& Proxy() { return proxy_; }

  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  TCustomDIBX& ChildSurface(TCustomDIBX& surface) override;

private:
  // The proxy's size and origin from the wave's rectangle; rebuilds the table.
  void PlaceProxy();
  // Offsets of every row for the current phase; true when one changed.
  bool BuildOffsets();
  void SetShape(int32_t& field, int32_t value);

  TDIBXWave proxy_;
  int32_t amplitude_ = 10;
  int32_t wavelength_ = 200;
  int32_t period_ = 2000;
  int32_t phase_ = 0;
  int32_t remainder_ = 0;
  bool paused_ = false;
  std::string onIdle_;
};

}  // namespace nova
