#include "components/effects/particle_motion.h"

#include <algorithm>
#include <cmath>

#include "components/films/frame_list.h"
#include "objects/nova_control.h"

namespace nova {

TNovaMotionParticle::TNovaMotionParticle(TNovaControl& emitter, const TComponentServices& services,
                                         const std::string& file)
    : TNovaMotion(emitter, services, file) {}

TNovaMotionParticle::~TNovaMotionParticle() {
  // The particles went before their film; none is to be put back.
  Release();
}

bool TNovaMotionParticle::StepParticle(TNovaControl& particle, int32_t ageMs) {
  Drive(particle);
  SetElapsed(ageMs);
  TFilmManager& film = Film();
  if (ageMs == 0) film.SetControlPriority(particle.Priority());
  film.SetOrigin(film.Relative() ? TPoint{particle.Left(), particle.Top()} : TPoint{});
  const double at = std::nearbyint(ageMs / kFilmFrameMs);
  int32_t frame = static_cast<int32_t>(std::clamp<double>(at, INT32_MIN, INT32_MAX));
  const int32_t count = film.FilmFrameCount();
  bool ended = false;
  if (frame >= count) {
    frame = count - 1;
    ended = true;
  }
  // The film is shared: the frame is shown again for every particle, whatever the last one saw.
  if (frame >= 0) film.ShowFrame(frame);
  return ended;
}

}  // namespace nova
