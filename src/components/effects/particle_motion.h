#pragma once
// TNovaMotionParticle: the film of an emitter whose source is a motion file (".nmt"). One film
// serves every particle of the emitter: each particle's update drives it for one step, showing
// the frame of the particle's age.
#include <cstdint>
#include <string>

#include "components/films/nova_motion.h"

namespace nova {

class TNovaMotionParticle : public TNovaMotion {
public:
  // Loads the film for the emitter (a film that cannot be read plays as an empty one).
  TNovaMotionParticle(TNovaControl& emitter, const TComponentServices& services, const std::string& file);
  ~TNovaMotionParticle() override;

  // The film step of one particle at its age (ms): a particle of age 0 has its priority
  // recorded; a relative film plays from the particle's place. True when the film has no
  // frame left for that age (the particle has ended; its last frame is shown).
  bool StepParticle(TNovaControl& particle, int32_t ageMs);
};

}  // namespace nova
