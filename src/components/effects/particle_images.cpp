#include "components/effects/particle_images.h"

#include <algorithm>

#include "components/effects/nova_particle.h"
#include "components/effects/particle_motion.h"

namespace nova {

void TParticleImageList::Remove(TNovaParticleImages* particle) {
  items_.erase(std::remove(items_.begin(), items_.end(), particle), items_.end());
}

TNovaParticleImages::TNovaParticleImages(TNovaBaseList* scene, TComponentServices& services,
                                         TParticleImageList& list, TNovaMotionParticle* motion)
    : TNovaCustomImages(scene, services), list_(&list), motion_(motion), noFrames_(services.Images) {}

TNovaParticleImages::~TNovaParticleImages() {
  if (list_) list_->Remove(this);
}

void TNovaParticleImages::Detach() {
  // Nothing of the emitter's is shown any more.
  DropPicture();
  list_ = nullptr;
  motion_ = nullptr;
}

TNovaImageList* TNovaParticleImages::CurrentList() { return list_ ? &list_->Emitter().Frames() : &noFrames_; }

const TNovaImageList* TNovaParticleImages::CurrentList() const {
  return list_ ? &list_->Emitter().Frames() : &noFrames_;
}

TImageMotion* TNovaParticleImages::CurrentMotion() const { return motion_; }

void TNovaParticleImages::OrderChanged() {
  if (list_ && Parent() == &list_->Emitter() && list_->Emitter().DeferOrder()) {
    if (!repainting_) Invalidate();
    return;
  }
  TNovaCustomImages::OrderChanged();
}

bool TNovaParticleImages::Paused() const { return list_ ? list_->Emitter().Paused() : paused_; }

bool TNovaParticleImages::EmitterAnimationPaused() {
  // A system-named child reads its emitter's flag.
  TPropValue v;
  return GetProperty(PR_ANIPAUSED, v) && v.Flag;
}

int32_t TNovaParticleImages::EmitterWidth() const { return list_ ? list_->Emitter().Width() : 0; }
int32_t TNovaParticleImages::EmitterHeight() const { return list_ ? list_->Emitter().Height() : 0; }

bool TNovaParticleImages::Update(uint32_t elapsedMs) {
  if (finished_) return true;
  if (motion_) {
    // The shared film plays this particle's age; the pattern's end test still holds after the
    // film has placed it.
    if (motion_->StepParticle(*this, age_)) return true;
    if (pattern_ != PM_STAR && LeftTheEmitter()) finished_ = true;
    return finished_;
  }
  if (TNovaCustomImage::Update(elapsedMs)) return true;
  if (CanAnimate() && !EmitterAnimationPaused()) AdvanceFrames(elapsedMs, false);
  return false;
}

}  // namespace nova
