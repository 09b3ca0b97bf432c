// The four motion patterns of a particle: where StartParticle puts it and how StepParticle moves
// it by n budget steps at once (one call may stand for many steps: a long frame, a pre-roll).
// P1..P3 mean, by pattern:
//   snow     fall speed in pixels per step (0 or less: 0.1), smallest and largest sway;
//   star     start radius, growth factor per step, turn per step;
//   fluff    upward acceleration, smallest and largest sideways drift per step;
//   twister  rise per step, whirl diameter, turn speed.
// Positions stay within +-2^30 however far the arithmetic carries them, so that the control's
// offsets and its parents' places still add up inside 32 bits (such a particle has ended).
#include <algorithm>
#include <cmath>
#include <numbers>

#include "components/effects/effect_random.h"
#include "components/effects/nova_particle.h"
#include "components/effects/particle_images.h"

namespace nova {

namespace {

constexpr Real kPtTwoPi = 2 * std::numbers::pi_v<Real>;
constexpr Real kPtLargestRadius = 2147483647.0L;

constexpr int64_t kPtFar = int64_t{1} << 30;
constexpr Real kPtFarReal = static_cast<Real>(kPtFar);

int32_t PtPlace(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, -kPtFar, kPtFar)); }

// Rounded to the nearest integer (halves to even), as a place; NaN gives 0.
int32_t PtNearest(Real v) {
  if (!(v > -kPtFarReal)) return std::isnan(v) ? 0 : static_cast<int32_t>(-kPtFar);
  if (v > kPtFarReal) return static_cast<int32_t>(kPtFar);
  return static_cast<int32_t>(std::llrint(v));
}

// The fraction dropped, as a place; NaN gives 0.
int32_t PtTrunc(Real v) {
  if (!(v > -kPtFarReal)) return std::isnan(v) ? 0 : static_cast<int32_t>(-kPtFar);
  if (v > kPtFarReal) return static_cast<int32_t>(kPtFar);
  return static_cast<int32_t>(v);
}

int32_t PtPlus(int64_t a, int64_t b) { return PtPlace(a + b); }

// The sine and cosine of an angle within a few turns: the extended precision of the working
// values matters for the angle sums, not for a place rounded to a pixel.
Real PtSin(Real angle) { return std::sin(static_cast<double>(angle)); }
Real PtCos(Real angle) { return std::cos(static_cast<double>(angle)); }

}  // namespace

void TNovaParticleImages::StartParticle() {
  // Placed by its centre.
  SetOffsetX(Width() / 2);
  SetOffsetY(Height() / 2);
  auto rnd = [this] { return static_cast<Real>(EffectRandomReal(services_)); };
  Real& p1 = params_[0];
  Real& p2 = params_[1];
  Real& p3 = params_[2];
  switch (pattern_) {
    case PM_SNOW:
      originX_ = Left(), originY_ = Top();
      sway_ = 0;
      angularSpeed_ = 0.02L + 0.02L * rnd();
      if (p1 <= 0) p1 = 0.1L;
      if (p3 > p2) sway_ = rnd() * (p3 - p2);
      break;
    case PM_STAR: {
      originX_ = Left(), originY_ = Top();
      angle_ = rnd() * kPtTwoPi;
      radius_ = p1 + 0.1L;
      MoveTo(PtPlus(PtNearest(radius_ * PtCos(angle_)), originX_),
             PtPlus(PtNearest(radius_ * PtSin(angle_)), originY_));
      // The distance to the emitter's farthest corner.
      const int32_t w = EmitterWidth(), h = EmitterHeight();
      const Real cx = originX_ >= w / 2.0L ? 0 : w;
      const Real cy = originY_ >= h / 2.0L ? 0 : h;
      distance_ = std::hypot(cx - originX_, cy - originY_);
      p3 = rnd() * 0.3L * p3 + 0.7L * p3;
      break;
    }
    case PM_FLUFF:
      p2 = p2 + (p3 - p2) * rnd();
      horizontal_ = Left();
      originY_ = Top();
      break;
    case PM_TWISTER:
      originX_ = Left();
      accumulator_ = Top();
      sway_ = rnd() * 0.05L * (p2 / 2) + 0.95L * (p2 / 2);
      angularSpeed_ = rnd() * (p3 / 2) + p3 / 2;
      break;
    default: break;
  }
}

void TNovaParticleImages::MoveTo(int32_t left, int32_t top) {
  // One repaint of the old and the new place instead of one for each coordinate.
  if (!HasMotion()) {
    SetBounds(left, top, Width(), Height());
    return;
  }
  SetLeft(left);
  SetTop(top);
}

void TNovaParticleImages::StepParticle(int32_t n) {
  if (n <= 0) return;
  age_ = static_cast<int32_t>(std::min<int64_t>(int64_t{age_} + int64_t{n} * ParticleBudget(), INT32_MAX));
  switch (pattern_) {
    case PM_SNOW: StepSnow(n); break;
    case PM_STAR: StepStar(n); break;
    case PM_FLUFF: StepFluff(n); break;
    case PM_TWISTER: StepTwister(n); break;
    default: finished_ = true; break;
  }
}

bool TNovaParticleImages::LeftTheEmitter() {
  switch (pattern_) {
    case PM_SNOW: return LocalTop() >= EmitterHeight();
    case PM_FLUFF:
      if (int64_t{LocalTop()} + Height() < 0) return true;
      if (params_[1] >= 0) return LocalLeft() >= EmitterWidth();
      return int64_t{LocalLeft()} + Width() < 0;
    case PM_TWISTER: return int64_t{LocalTop()} + Height() < 0;
    default: return false;
  }
}

void TNovaParticleImages::StepSnow(int32_t n) {
  angle_ = std::fmod(angle_ + angularSpeed_ * n, kPtTwoPi);
  const int32_t left = PtPlus(PtNearest(PtSin(angle_) * (params_[1] + sway_)), originX_);
  int32_t top = Top();
  accumulator_ += params_[0] * n;
  if (accumulator_ >= 1) {
    const Real whole = std::trunc(accumulator_);
    accumulator_ -= whole;
    top = PtPlus(top, PtTrunc(whole));
  }
  MoveTo(left, top);
  if (LeftTheEmitter()) finished_ = true;
}

void TNovaParticleImages::StepStar(int32_t n) {
  const Real growth = params_[1];
  if (n > 1) radius_ *= std::pow(growth, static_cast<Real>(n - 1));
  // Beyond the 32-bit range (or no number at all) the particle ends instead of overflowing.
  if (!(std::fabs(radius_) <= kPtLargestRadius)) {
    finished_ = true;
    return;
  }
  MoveTo(PtPlus(PtNearest(PtCos(angle_) * radius_), originX_),
         PtPlus(PtNearest(PtSin(angle_) * radius_), originY_));
  radius_ *= growth;
  if (radius_ >= distance_) finished_ = true;
  angle_ = std::fmod(angle_ + params_[2], kPtTwoPi);
}

void TNovaParticleImages::StepFluff(int32_t n) {
  horizontal_ += params_[1] * n;
  accumulator_ += n;
  const int32_t rise = PtTrunc(params_[0] * accumulator_ * accumulator_);
  MoveTo(PtTrunc(horizontal_), PtPlus(originY_, -int64_t{rise}));
  if (LeftTheEmitter()) finished_ = true;
}

void TNovaParticleImages::StepTwister(int32_t n) {
  // Whole turns change nothing below: |cos(a / 2)| and sin(a) repeat every 2 pi.
  angle_ = std::fmod(angle_ + angularSpeed_ * n, kPtTwoPi);
  const Real g = std::fabs(PtCos(angle_ / 2)) * 0.5L + 0.5L;
  const int32_t zoom = PtNearest(g * 256);
  accumulator_ -= params_[0];
  const int32_t left = PtPlus(PtTrunc(g * PtSin(angle_) * sway_), originX_);
  const int32_t top = PtTrunc(accumulator_);
  // The near side of the whirl (larger) is drawn over the far side.
  const int32_t priority = PtNearest((g - 0.5L) / 0.5L * 2000 - 1000);
  if (zoom == zoomX_ && zoom == zoomY_ && left == left_ && top == top_) {
    SetPriority(priority);
  } else {
    // Size, place and order change together: the old and the new area are repainted once.
    Invalidate();
    if (zoom != zoomX_ || zoom != zoomY_) {
      zoomX_ = zoomY_ = zoom;
      GeometryChanged();
    }
    if (left != left_) left_ = left, motionX_ = 0;
    if (top != top_) top_ = top, motionY_ = 0;
    repainting_ = true;
    SetPriority(priority);
    repainting_ = false;
    PositionChanged();
    Invalidate();
  }
  if (LeftTheEmitter()) finished_ = true;
}

}  // namespace nova
