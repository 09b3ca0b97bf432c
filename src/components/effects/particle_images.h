#pragma once
// One particle of an emitter (TNovaParticleImages) and the emitter's list of them
// (TParticleImageList). A particle is a system-named child image of its emitter: never saved,
// not hit by the mouse, showing the emitter's frames or driven by the emitter's shared film.
// Its motion pattern moves it by budget steps (one step per frame budget of elapsed time) and
// ends it once it has left the emitter's rectangle (see particle_patterns.cpp).
#include <array>
#include <cstdint>
#include <vector>

#include "base/extended.h"
#include "components/images/nova_images.h"

namespace nova {

class TNovaMotionParticle;
class TNovaParticle;
class TNovaParticleImages;

// The particles of one emitter in creation order. A particle leaves the list when it is
// destroyed, whoever destroys it.
class TParticleImageList {
public:
  explicit TParticleImageList(TNovaParticle& emitter) : emitter_(emitter) {}
  TNovaParticle& Emitter() const { return emitter_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TNovaParticleImages* Item(int i) const { return items_[static_cast<size_t>(i)]; }
  void Add(TNovaParticleImages* particle) { items_.push_back(particle); }
  void Remove(TNovaParticleImages* particle);

private:
  TNovaParticle& emitter_;
  std::vector<TNovaParticleImages*> items_;
};

class TNovaParticleImages : public TNovaCustomImages {
public:
  TNovaParticleImages(TNovaBaseList* scene, TComponentServices& services, TParticleImageList& list,
                      TNovaMotionParticle* motion);
  ~TNovaParticleImages() override;
  // Type code 0 and no automatic name: never saved.
  uint8_t TypeCode() const override { return LT_NONE; }
  bool WantsAutoName() const override { return false; }
  // A paused emitter freezes its particles too.
  bool Paused() const override;
  bool Update(uint32_t elapsedMs) override;

  // ---- the motion pattern ----
  uint8_t Pattern() const { return pattern_; }
  void SetPattern(uint8_t pattern) { pattern_ = pattern; }
  // P1..P3 (index 0..2); some patterns change their copy at the start.
  Real Param(int i) const { return params_[static_cast<size_t>(i)]; }
  void SetParams(const std::array<Real, 3>& params) { params_ = params; }
  // Sets the pattern up at the particle's place (centred on it).
  void StartParticle();
  // Advances n budget steps; the finished flag is set once the pattern's end test holds.
  void StepParticle(int32_t n);
  bool Finished() const { return finished_; }
  int32_t Age() const { return age_; }
  int32_t OriginX() const { return originX_; }
  int32_t OriginY() const { return originY_; }
  Real Radius() const { return radius_; }
  Real Distance() const { return distance_; }

  // The emitter goes: the particle no longer refers to its list or film.
  void Detach();

protected:
  // While its emitter steps all particles at once, a new priority re-sorts the emitter's
  // children once after the pass, not once for every particle.
  void OrderChanged() override;
  TNovaImageList* CurrentList() override;
  const TNovaImageList* CurrentList() const override;
  TImageMotion* CurrentMotion() const override;

private:
  // The end test of the pattern at the particle's current place (snow, fluff, twister).
  bool LeftTheEmitter();
  bool EmitterAnimationPaused();
  // PR_LEFT and PR_TOP at once.
  void MoveTo(int32_t left, int32_t top);
  void StepSnow(int32_t n);
  void StepStar(int32_t n);
  void StepFluff(int32_t n);
  void StepTwister(int32_t n);
  // The emitter's rectangle size the end tests measure by.
  int32_t EmitterWidth() const;
  int32_t EmitterHeight() const;

  TParticleImageList* list_;
  TNovaMotionParticle* motion_;  // shared, owned by the emitter
  TNovaImageList noFrames_;      // shown once detached
  uint8_t pattern_ = 0;  // PM_NONE
  std::array<Real, 3> params_{};
  int32_t originX_ = 0, originY_ = 0;
  int32_t age_ = 0;
  bool finished_ = false;
  bool repainting_ = false;  // a step repaints the particle itself (no repaint for the order)
  // The pattern's working values.
  Real angle_ = 0, angularSpeed_ = 0, sway_ = 0, radius_ = 0;
  Real accumulator_ = 0;  // snow: the fraction of a pixel to fall; fluff: the step count; twister: the height
  Real horizontal_ = 0;   // fluff: the exact left
  Real distance_ = 0;     // star: the distance to the emitter's farthest corner
};

}  // namespace nova
