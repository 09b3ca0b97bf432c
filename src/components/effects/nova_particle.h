#pragma once
// TNovaParticle (LT_PARTICLE, "パーティクルサーフェス"): an emitter that keeps creating particles
// (child images, see particle_images.h) at positions and intervals given by the expressions of
// its creation command (PR_APPEARX, PR_APPEARY, PR_DELAY), or by the parameter record a film's
// particle track fills, moves them by its motion pattern and lets them go when they leave its
// rectangle. Time is counted in budget steps: one step per frame budget (the main window's
// milliseconds per frame).
//
// States: 0 start pending (the next update pre-rolls PR_INDEX ms, as if the emitter had been
// running that long), 1 emitting (for PR_DURATION ms when that is above 0), 2 draining (no new
// particles; the emitter asks to be destroyed once its last particle has gone). The particles
// are never saved: a loaded emitter pre-rolls again.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "base/extended.h"
#include "components/component_services.h"
#include "components/effects/particle_images.h"
#include "components/effects/particle_param.h"
#include "components/images/nova_image_list.h"
#include "objects/nova_control.h"

namespace nova {

class TNovaMotionParticle;
class TNovaParser;

class TNovaParticle : public TNovaControl {
public:
  TNovaParticle(TNovaBaseList* scene, TComponentServices& services);
  ~TNovaParticle() override;
  uint8_t TypeCode() const override { return LT_PARTICLE; }

  // PR_SOURCE: frames of a layered image (".bri"), a film (".nmt") or nothing. A different
  // name removes every particle at once and starts again (state 0); a damaged file raises
  // after that, leaving no frames.
  const std::string& Source() const { return source_; }
  void SetSource(const std::string& name);
  uint8_t Pattern() const { return pattern_; }
  void SetPattern(uint8_t pattern);
  // PR_PARAM1..PR_PARAM3 by index 1..3; other indices read 0 and ignore writes.
  Real Param(int index) const;
  void SetParam(int index, Real value);
  int32_t Alpha() const { return alpha_; }
  void SetAlpha(int32_t alpha);
  int32_t PreRoll() const { return preRoll_; }
  int32_t Duration() const { return duration_; }
  int State() const { return state_; }
  int32_t Countdown() const { return countdown_; }
  bool Paused() const override { return paused_; }
  // PR_PLAYING: neither paused nor animation-paused.
  bool Playing();

  // The creation command's PR_APPEARX, PR_APPEARY and PR_DELAY expressions.
  void TakeExpression(int property, std::shared_ptr<TNovaParser> expression) override;
  // The film's parameter record, made when missing; from then on it replaces the expressions.
  TNovaParticleParam& EnsureParam();
  const TNovaParticleParam* Param() const { return param_.get(); }

  const TParticleImageList& Particles() const { return particles_; }
  TNovaImageList& Frames() { return frames_; }
  TNovaMotionParticle* FilmMotion() const { return filmMotion_.get(); }

  bool Update(uint32_t elapsedMs) override;
  // Advances every particle n budget steps (newest first) and, when create is set, makes the
  // particles that came due (see nova_particle.cpp).
  void Emit(int32_t n, bool create);
  // During a pass over the particles: true, and the children are sorted once it ends.
  bool DeferOrder() {
    if (stepping_) orderChanged_ = true;
    return stepping_;
  }

  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

private:
  struct TSpawn {
    int32_t X = 0, Y = 0, Interval = 0;
  };
  TSpawn NextSpawn(int32_t budget);
  // The integer result of an expression, or none.
  bool Evaluate(TNovaParser* expression, int32_t& out);
  void CreateParticle(const TSpawn& at, int64_t left, int32_t budget);
  // Every particle goes now (a new source, the emitter's end).
  void FreeParticles();
  bool AnimationPaused();
  // The frame time added to the step remainder: the whole budget steps it makes.
  int32_t TakeSteps(uint32_t elapsedMs, int32_t budget);

  TComponentServices& services_;
  int state_ = 0;
  std::shared_ptr<TNovaParser> appearX_, appearY_, interval_;
  std::unique_ptr<TNovaParticleParam> param_;
  std::string source_;
  TNovaImageList frames_;
  std::unique_ptr<TNovaMotionParticle> filmMotion_;
  TParticleImageList particles_;
  uint8_t pattern_ = PM_SNOW;
  std::array<Real, 3> params_{};
  int32_t alpha_ = 255;
  int32_t countdown_ = 0;
  int32_t remainder_ = 0;
  int32_t preRoll_ = 0;
  int32_t duration_ = 0;
  std::string onIdle_;
  bool paused_ = false;
  bool stepping_ = false, orderChanged_ = false;
};

// The milliseconds of one budget step: the main window's frame budget, at least 1.
int32_t ParticleBudget();

}  // namespace nova
