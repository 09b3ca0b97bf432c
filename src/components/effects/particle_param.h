#pragma once
// What a particle emitter made by a film's particle track emits by instead of its three
// expressions: positions x base + Random(x range), y base + Random(y range) and intervals
// interval base + Random(interval range) (in milliseconds, at least 2). The track writes the
// six values at every frame; the record is not saved.
#include <cstdint>

namespace nova {

struct TNovaParticleParam {
  int32_t XBase = 0, YBase = 0, XRange = 0, YRange = 0;
  int32_t IntervalBase = 0, IntervalRange = 0;
  friend bool operator==(const TNovaParticleParam&, const TNovaParticleParam&) = default;
};

// The motion patterns of the particles (PR_PARTMOTION); any other value ends a particle at
// once.
enum TParticleMotion : uint8_t {
  PM_NONE = 0,     // "停止": no particles are made
  PM_SNOW = 1,     // "ゆらゆら落下": swaying fall
  PM_STAR = 2,     // "放射": radial burst
  PM_FLUFF = 3,    // "ゆらゆら上昇": drifting rise
  PM_TWISTER = 4,  // "竜巻": whirl
};

}  // namespace nova
