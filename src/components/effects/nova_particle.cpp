#include "components/effects/nova_particle.h"

#include <algorithm>
#include <exception>

#include "base/process.h"
#include "components/effects/effect_random.h"
#include "components/effects/particle_motion.h"
#include "formats/image_open.h"
#include "objects/scene.h"
#include "params/parser.h"

namespace nova {

namespace {

// The furthest back a pre-roll or a long frame makes particles: older moments are skipped
// (a particle under way for a minute has long left the emitter), so a huge PR_INDEX or a frame
// after a long stall cannot make the emitter loop for hours.
constexpr int64_t kParticleCatchUpMs = 60000;
constexpr int32_t kShortestParticleInterval = 2;

int32_t ParticleClamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

int32_t ParticleBudget() {
  return static_cast<int32_t>(std::clamp<uint32_t>(FrameClock().FrameBudget, 1, INT32_MAX));
}

TNovaParticle::TNovaParticle(TNovaBaseList* scene, TComponentServices& services)
    : TNovaControl(scene), services_(services), frames_(services.Images), particles_(*this) {}

TNovaParticle::~TNovaParticle() {
  // The scene frees children first; a particle moved elsewhere by a script still goes with
  // its emitter. Then the frames and the film the particles showed.
  FreeParticles();
  filmMotion_.reset();
  frames_.Clear();
}

void TNovaParticle::FreeParticles() {
  TNovaBaseList* scene = Scene();
  while (particles_.Count() > 0) {
    TNovaParticleImages* particle = particles_.Item(particles_.Count() - 1);
    if (scene && scene->IsRegistered(particle)) {
      // Freeing it takes it off the list; the scene keeps its update walk in place.
      scene->FreeObject(particle);
    } else {
      particle->Detach();
      particles_.Remove(particle);
    }
  }
}

// ---- properties ----

void TNovaParticle::SetSource(const std::string& name) {
  if (name == source_) return;
  source_ = name;
  FreeParticles();
  frames_.Clear();
  filmMotion_.reset();
  state_ = 0;
  const std::string ext = LowerExtension(name);
  if (ext == ".bri") frames_.Load(name, false, false);
  else if (ext == ".nmt") filmMotion_ = std::make_unique<TNovaMotionParticle>(*this, services_, name);
}

void TNovaParticle::SetPattern(uint8_t pattern) {
  if (pattern == pattern_) return;
  pattern_ = pattern;
  // The new pattern starts with its pre-roll again; the particles under way keep theirs.
  state_ = 0;
}

Real TNovaParticle::Param(int index) const {
  return index >= 1 && index <= 3 ? params_[static_cast<size_t>(index - 1)] : Real(0);
}

void TNovaParticle::SetParam(int index, Real value) {
  if (index >= 1 && index <= 3) params_[static_cast<size_t>(index - 1)] = value;
}

void TNovaParticle::SetAlpha(int32_t alpha) {
  if (alpha == alpha_) return;
  alpha_ = alpha;
  Invalidate();
}

bool TNovaParticle::AnimationPaused() {
  TPropValue v;
  return GetProperty(PR_ANIPAUSED, v) && v.Flag;
}

bool TNovaParticle::Playing() { return !paused_ && !AnimationPaused(); }

void TNovaParticle::TakeExpression(int property, std::shared_ptr<TNovaParser> expression) {
  switch (property) {
    case PR_APPEARX: appearX_ = std::move(expression); break;
    case PR_APPEARY: appearY_ = std::move(expression); break;
    case PR_DELAY: interval_ = std::move(expression); break;
    default: break;
  }
}

TNovaParticleParam& TNovaParticle::EnsureParam() {
  if (!param_) param_ = std::make_unique<TNovaParticleParam>();
  return *param_;
}

bool TNovaParticle::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_SOURCE: v = TPropValue::OfStr(source_); return true;
    case PR_ALPHA: v = TPropValue::OfInt(alpha_); return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_INDEX: v = TPropValue::OfInt(preRoll_); return true;
    case PR_PARTMOTION: v = TPropValue::OfInt(pattern_); return true;
    case PR_PARAM1: v = TPropValue::OfFloat(Param(1)); return true;
    case PR_PARAM2: v = TPropValue::OfFloat(Param(2)); return true;
    case PR_PARAM3: v = TPropValue::OfFloat(Param(3)); return true;
    case PR_ONIDLE: v = TPropValue::OfStr(onIdle_); return true;
    case PR_DURATION: v = TPropValue::OfInt(duration_); return true;
    case PR_PLAYING: v = TPropValue::OfFlag(Playing()); return true;
    default: return TNovaControl::GetProperty(id, v);
  }
}

bool TNovaParticle::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_SOURCE: SetSource(v.Str); return true;
    case PR_ALPHA: SetAlpha(v.Int); return true;
    case PR_PAUSED: paused_ = v.Flag; return true;
    case PR_INDEX: preRoll_ = v.Int; return true;
    case PR_PARTMOTION: SetPattern(static_cast<uint8_t>(v.Int)); return true;
    case PR_PARAM1: SetParam(1, v.Float); return true;
    case PR_PARAM2: SetParam(2, v.Float); return true;
    case PR_PARAM3: SetParam(3, v.Float); return true;
    case PR_ONIDLE: onIdle_ = v.Str; return true;
    case PR_DURATION: duration_ = v.Int; return true;
    case PR_PLAYING: return true;  // read-only
    default: return TNovaControl::SetProperty(id, v);
  }
}

// ---- the emission ----

int32_t TNovaParticle::TakeSteps(uint32_t elapsedMs, int32_t budget) {
  const int64_t total = int64_t{remainder_} + elapsedMs;
  remainder_ = static_cast<int32_t>(total % budget);
  return ParticleClamp32(total / budget);
}

bool TNovaParticle::Update(uint32_t elapsedMs) {
  const bool common = TNovaControl::Update(elapsedMs);
  if (AnimationPaused()) return common;
  const int32_t budget = ParticleBudget();
  switch (state_) {
    case 0:
      state_ = 1;
      countdown_ = 0;
      remainder_ = preRoll_ % budget;
      Emit(preRoll_ / budget, true);
      return common;
    case 1:
      Emit(TakeSteps(elapsedMs, budget), true);
      if (duration_ > 0) {
        duration_ = ParticleClamp32(int64_t{duration_} - elapsedMs);
        if (duration_ <= 0) state_ = 2;
      }
      return common;
    default:
      if (particles_.Count() == 0) return true;
      Emit(TakeSteps(elapsedMs, budget), false);
      return false;
  }
}

bool TNovaParticle::Evaluate(TNovaParser* expression, int32_t& out) {
  if (!expression || !services_.Store || !services_.Funcs) return false;
  expression->Execute(*services_.Store, *services_.Funcs);
  if (!expression->Result) return false;
  out = expression->Result->GetAsInt();
  return true;
}

TNovaParticle::TSpawn TNovaParticle::NextSpawn(int32_t budget) {
  TSpawn at;
  if (param_) {
    const TNovaParticleParam& p = *param_;
    at.X = ParticleClamp32(int64_t{p.XBase} + EffectRandomInt(services_, p.XRange));
    at.Y = ParticleClamp32(int64_t{p.YBase} + EffectRandomInt(services_, p.YRange));
    at.Interval = ParticleClamp32(int64_t{p.IntervalBase} + EffectRandomInt(services_, p.IntervalRange));
  } else {
    if (!Evaluate(interval_.get(), at.Interval)) at.Interval = budget;
    if (!Evaluate(appearX_.get(), at.X)) at.X = 0;
    if (!Evaluate(appearY_.get(), at.Y)) at.Y = 0;
  }
  // At most one particle per 2 ms of the time processed (plus one), whatever the interval.
  at.Interval = std::max(kShortestParticleInterval, at.Interval);
  return at;
}

void TNovaParticle::Emit(int32_t n, bool create) {
  const int32_t budget = ParticleBudget();
  if (create) countdown_ = ParticleClamp32(int64_t{countdown_} - int64_t{n} * budget);
  if (n > 0) {
    stepping_ = true;
    for (int i = particles_.Count() - 1; i >= 0; --i) particles_.Item(i)->StepParticle(n);
    stepping_ = false;
    if (orderChanged_) SortChildren();
    orderChanged_ = false;
  }
  if (!create || pattern_ == PM_NONE) return;
  int64_t left = int64_t{n} * budget;
  int64_t countdown = countdown_;
  if (countdown < -kParticleCatchUpMs) {
    const int64_t skipped = -kParticleCatchUpMs - countdown;
    countdown += skipped;
    left -= skipped;
  }
  while (countdown <= 0) {
    const TSpawn at = NextSpawn(budget);
    countdown += at.Interval;
    left -= at.Interval;
    CreateParticle(at, left, budget);
  }
  countdown_ = ParticleClamp32(countdown);
}

void TNovaParticle::CreateParticle(const TSpawn& at, int64_t left, int32_t budget) {
  TNovaBaseList* scene = Scene();
  if (!scene) return;
  auto* p = scene->Make<TNovaParticleImages>(services_, particles_, filmMotion_.get());
  p->SetNameDirect(scene->MakeUniqueName(std::string("\x01") + Name() + "\x01"));
  p->SetProperty(PR_IGNOREMOUSE, TPropValue::OfInt(IM_ALL));
  particles_.Add(p);
  p->SetPattern(pattern_);
  p->SetParent(this);
  p->SetLeft(at.X);
  p->SetTop(at.Y);
  p->SetAlpha(alpha_);
  p->SetParams(params_);
  if (frames_.Count() > 0) p->SetIndex(0);
  p->StartParticle();
  // A particle due at an earlier moment of a long frame is already on its way; one that has
  // already left is gone before it is ever shown.
  if (left > 0) p->StepParticle(ParticleClamp32(left / budget));
  if (p->Finished()) scene->FreeObject(p);
}

// ---- saved form ----

namespace {

void SaveParticleExpression(TStream& s, const TNovaParser* expression) {
  if (expression) expression->SaveToStream(s);
  else TNovaParser().SaveToStream(s);
}

std::shared_ptr<TNovaParser> LoadParticleExpression(TStream& s) {
  auto expression = std::make_shared<TNovaParser>();
  expression->LoadFromStream(s);
  return expression->Empty() ? nullptr : expression;
}

}  // namespace

void TNovaParticle::SaveToStream(TStream& s) {
  // The particles have system names: the control record leaves them out.
  TNovaControl::SaveToStream(s);
  SaveParticleExpression(s, appearX_.get());
  SaveParticleExpression(s, appearY_.get());
  SaveParticleExpression(s, interval_.get());
  s.WriteString(source_);
  s.WriteByte(pattern_);
  for (Real p : params_) s.WriteExtended(p);
  s.WriteInt32(alpha_);
  s.WriteInt32(preRoll_);
  s.WriteString(onIdle_);
  s.WriteByte(paused_);
  s.WriteInt32(duration_);
}

void TNovaParticle::LoadFromStream(TStream& s, int32_t version) {
  TNovaControl::LoadFromStream(s, version);
  appearX_ = LoadParticleExpression(s);
  appearY_ = LoadParticleExpression(s);
  interval_ = LoadParticleExpression(s);
  const std::string source = s.ReadString();
  pattern_ = s.ReadByte();
  for (Real& p : params_) p = s.ReadExtended();
  alpha_ = s.ReadInt32();
  if (version > 103) {
    preRoll_ = s.ReadInt32();
    onIdle_ = s.ReadString();
    paused_ = s.ReadByte() != 0;
    duration_ = s.ReadInt32();
  }
  // A file that went missing or bad leaves the emitter without frames, not the load failed.
  try {
    SetSource(source);
  } catch (const std::exception&) {
  }
  state_ = 0;
}

}  // namespace nova
