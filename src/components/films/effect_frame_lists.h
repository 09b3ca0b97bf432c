#pragma once
// Effect tracks: particles (TParticleFrameList) and fire (TFireFrameList). In control mode they
// write their values into the driven control. Outside it a chain shares one effect object,
// owned by the chain's first track and kept across the seams between its tracks: the particle
// emitter (TNovaParticle, fed the track's emission values) or the fire (TNovaFire).
#include <array>

#include "components/films/box_frame_list.h"

namespace nova {

// The emission values of a particle track at one frame, in the order of the particle
// parameter record: interval base, interval range, x base, y base, x range, y range.
struct TParticleEmission {
  int32_t IntervalBase = 0, IntervalRange = 0, XBase = 0, YBase = 0, XRange = 0, YRange = 0;
  friend bool operator==(const TParticleEmission&, const TParticleEmission&) = default;
};

// What particle and fire tracks share: the chain's object and leaving the chain.
class TEffectFrameList : public TRectFrameList {
public:
  using TRectFrameList::TRectFrameList;
  bool ShowAt(int32_t n) override;
  TNovaObject* GetObject() const override;

protected:
  // The state of frame t (inside the track) applied to the driven control.
  virtual void ApplyToDriven(int32_t t, TNovaControl& driven) = 0;
  // The state of frame t applied to the chain's effect object.
  virtual void ApplyToEffect(int32_t t, TNovaControl& effect) = 0;
  // The chain's effect object, made on first use by the chain's first track.
  TNovaControl* ChainEffect();
  // Outside the track: the chain's object goes unless the chain continues or n lies within
  // the chain so far.
  void Leave(int32_t n);
};

class TParticleFrameList : public TEffectFrameList {
public:
  using TEffectFrameList::TEffectFrameList;
  int TrackType() const override { return FT_PARTICLE; }
  void ReadTrack(const TFilmTrack& track, const std::string& folder) override;
  TParticleEmission EmissionAt(int32_t t) const;
  std::array<double, 3> ParamsAt(int32_t t) const;

protected:
  TNovaObject* CreateObject() override;
  void ApplyToDriven(int32_t t, TNovaControl& driven) override;
  void ApplyToEffect(int32_t t, TNovaControl& effect) override;
};

class TFireFrameList : public TEffectFrameList {
public:
  using TEffectFrameList::TEffectFrameList;
  int TrackType() const override { return FT_FIRE; }
  void ReadTrack(const TFilmTrack& track, const std::string& folder) override;
  // Position and size of frame t.
  TFilmRect FireRectAt(int32_t t) const;
  int32_t ZoomXAt(int32_t t) const;
  int32_t ZoomYAt(int32_t t) const;

protected:
  TNovaObject* CreateObject() override;
  void ApplyToDriven(int32_t t, TNovaControl& driven) override;
  void ApplyToEffect(int32_t t, TNovaControl& effect) override;
};

}  // namespace nova
