#include "components/films/effect_frame_lists.h"

#include "components/effects/nova_fire.h"
#include "components/effects/nova_particle.h"
#include "components/films/film_interpolate.h"
#include "components/films/film_manager.h"
#include "objects/nova_prop_motion.h"
#include "objects/scene.h"

namespace nova {

// ---- TEffectFrameList ----

TNovaObject* TEffectFrameList::GetObject() const {
  // The chain's object lives with its first track.
  const TCustomFrameList* first = this;
  while (first->Parent()) first = first->Parent();
  return first == this ? TCustomFrameList::GetObject() : first->GetObject();
}

TNovaControl* TEffectFrameList::ChainEffect() {
  auto* first = static_cast<TEffectFrameList*>(ChainFirst());
  TNovaObject* object = first->EnsureObject();
  return object && object->IsControl() ? static_cast<TNovaControl*>(object) : nullptr;
}

void TEffectFrameList::Leave(int32_t n) {
  if (film_.ControlMode() || successor_) return;
  TCustomFrameList* first = ChainFirst();
  if (n >= first->AbsoluteStart() && int64_t{n} < End()) return;
  first->FreeObject();
}

bool TEffectFrameList::ShowAt(int32_t n) {
  if (Outside(n)) {
    Leave(n);
    return false;
  }
  const int32_t t = n - absoluteStart_;
  if (film_.ControlMode()) {
    if (TNovaControl* driven = film_.Driven()) ApplyToDriven(t, *driven);
    return true;
  }
  if (TNovaControl* effect = ChainEffect()) {
    PlaceObject(*effect);
    ApplyToEffect(t, *effect);
  }
  return true;
}

// ---- TParticleFrameList ----

void TParticleFrameList::ReadTrack(const TFilmTrack& track, const std::string& folder) {
  TEffectFrameList::ReadTrack(track, folder);
}

TParticleEmission TParticleFrameList::EmissionAt(int32_t t) const {
  // Stored order: interval base s/e, interval range s/e, x base s, y base s, x base e,
  // y base e, x range s, y range s, x range e, y range e.
  const auto& own = data_.Emission;
  const auto& from = parent_ ? parent_->Data().Emission : own;
  // In a chain the start values are the parent's end values.
  auto start = [&](int startIndex, int endIndex) { return parent_ ? from[endIndex] : own[startIndex]; };
  TParticleEmission e;
  e.IntervalBase = Interpolate(MT_NORMAL, start(0, 1), own[1], t);
  e.IntervalRange = Interpolate(MT_NORMAL, start(2, 3), own[3], t);
  e.XBase = Interpolate(data_.EaseXBase, start(4, 6), own[6], t);
  e.YBase = Interpolate(data_.EaseYBase, start(5, 7), own[7], t);
  e.XRange = Interpolate(MT_NORMAL, start(8, 10), own[10], t);
  e.YRange = Interpolate(MT_NORMAL, start(9, 11), own[11], t);
  return e;
}

std::array<double, 3> TParticleFrameList::ParamsAt(int32_t t) const {
  std::array<double, 3> p{};
  for (size_t i = 0; i < 3; ++i) {
    const double from = parent_ ? parent_->Data().EndParam[i] : data_.StartParam[i];
    p[i] = InterpolateReal(MT_NORMAL, from, data_.EndParam[i], t);
  }
  return p;
}

TNovaObject* TParticleFrameList::CreateObject() {
  TNovaBaseList* scene = film_.Scene();
  auto* emitter = scene->Make<TNovaParticle>(film_.MutableServices());
  Adopt(emitter, scene);
  return emitter;
}

void TParticleFrameList::ApplyToDriven(int32_t t, TNovaControl& driven) {
  const TFilmRect r = RectAt(t);
  driven.SetMotionPosition(r.Left, r.Top);
  driven.SetWidth(r.Width);
  driven.SetHeight(r.Height);
  driven.SetPriority(DrivenPriority());
  track::SetInt(driven, PR_ALPHA, AlphaAt(t));
  track::SetClip(driven, ClipAt(t));
}

void TParticleFrameList::ApplyToEffect(int32_t t, TNovaControl& effect) {
  const TFilmRect r = RectAt(t);
  effect.SetBounds(r.Left, r.Top, r.Width, r.Height);
  effect.SetPriority(data_.Priority);
  track::SetInt(effect, PR_ALPHA, AlphaAt(t));
  effect.SetProperty(PR_SOURCE, TPropValue::OfStr(fileName_));
  track::SetInt(effect, PR_PARTMOTION, data_.PartMotion);
  track::SetInt(effect, PR_INDEX, data_.Index);
  const auto params = ParamsAt(t);
  effect.SetProperty(PR_PARAM1, TPropValue::OfFloat(params[0]));
  effect.SetProperty(PR_PARAM2, TPropValue::OfFloat(params[1]));
  effect.SetProperty(PR_PARAM3, TPropValue::OfFloat(params[2]));
  // The emission values replace the emitter's expressions.
  if (auto* emitter = dynamic_cast<TNovaParticle*>(&effect)) {
    const TParticleEmission e = EmissionAt(t);
    TNovaParticleParam& param = emitter->EnsureParam();
    param.IntervalBase = e.IntervalBase, param.IntervalRange = e.IntervalRange;
    param.XBase = e.XBase, param.YBase = e.YBase, param.XRange = e.XRange, param.YRange = e.YRange;
  }
  track::SetClip(effect, ClipAt(t));
}

// ---- TFireFrameList ----

void TFireFrameList::ReadTrack(const TFilmTrack& track, const std::string& folder) {
  TEffectFrameList::ReadTrack(track, folder);
  fileName_.clear();
}

TFilmRect TFireFrameList::FireRectAt(int32_t t) const {
  const TPoint from = StartPosition(), to = EndPosition();
  const TPoint fromSize = StartOf(&TFilmTrack::StartSize, &TFilmTrack::EndSize);
  TFilmRect r;
  r.Left = Interpolate(data_.EaseX, from.X, to.X, t);
  r.Top = Interpolate(data_.EaseY, from.Y, to.Y, t);
  r.Width = Interpolate(data_.EaseX, fromSize.X, data_.EndSize.X, t);
  r.Height = Interpolate(data_.EaseY, fromSize.Y, data_.EndSize.Y, t);
  return r;
}

int32_t TFireFrameList::ZoomXAt(int32_t t) const {
  return Interpolate(data_.EaseZoomX, ZoomUnits(StartOf(&TFilmTrack::StartZoomX, &TFilmTrack::EndZoomX)),
                     ZoomUnits(data_.EndZoomX), t);
}

int32_t TFireFrameList::ZoomYAt(int32_t t) const {
  return Interpolate(data_.EaseZoomY, ZoomUnits(StartOf(&TFilmTrack::StartZoomY, &TFilmTrack::EndZoomY)),
                     ZoomUnits(data_.EndZoomY), t);
}

TNovaObject* TFireFrameList::CreateObject() {
  TNovaBaseList* scene = film_.Scene();
  auto* fire = scene->Make<TNovaFire>(film_.MutableServices());
  Adopt(fire, scene);
  return fire;
}

void TFireFrameList::ApplyToDriven(int32_t t, TNovaControl& driven) {
  const TFilmRect r = FireRectAt(t);
  driven.SetPriority(DrivenPriority());
  driven.SetMotionPosition(r.Left, r.Top);
  track::SetInt(driven, PR_ORIGWIDTH, r.Width);
  track::SetInt(driven, PR_ORIGHEIGHT, r.Height);
  track::SetInt(driven, PR_ZOOMX, ZoomXAt(t));
  track::SetInt(driven, PR_ZOOMY, ZoomYAt(t));
  track::SetInt(driven, PR_POWER, data_.Power);
  track::SetClip(driven, ClipAt(t));
}

void TFireFrameList::ApplyToEffect(int32_t t, TNovaControl& effect) {
  const TFilmRect r = FireRectAt(t);
  effect.SetPriority(data_.Priority);
  effect.SetLeft(r.Left);
  effect.SetTop(r.Top);
  track::SetInt(effect, PR_ORIGWIDTH, r.Width);
  track::SetInt(effect, PR_ORIGHEIGHT, r.Height);
  track::SetInt(effect, PR_ZOOMX, ZoomXAt(t));
  track::SetInt(effect, PR_ZOOMY, ZoomYAt(t));
  track::SetInt(effect, PR_POWER, data_.Power);
  track::SetClip(effect, ClipAt(t));
}

}  // namespace nova
