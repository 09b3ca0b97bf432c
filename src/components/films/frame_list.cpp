#include "components/films/frame_list.h"

#include <algorithm>
#include <cstdint>

#include "components/films/box_frame_list.h"
#include "components/films/effect_frame_lists.h"
#include "components/films/film_interpolate.h"
#include "components/films/film_manager.h"
#include "components/films/image_frame_list.h"
#include "components/films/label_frame_list.h"
#include "components/films/sound_frame_list.h"
#include "components/films/wipe_frame_list.h"
#include "objects/nova_control.h"
#include "objects/nova_prop_motion.h"
#include "objects/scene.h"

namespace nova {

TCustomFrameList::TCustomFrameList(TFilmManager& film) : film_(film) {}

TCustomFrameList::~TCustomFrameList() { FreeObject(); }

TNovaObject* TCustomFrameList::GetObject() const {
  return objectScene_ ? objectScene_->Resolve(object_) : nullptr;
}

TCustomFrameList* TCustomFrameList::ChainFirst() {
  TCustomFrameList* first = this;
  while (first->parent_) first = first->parent_;
  return first;
}

void TCustomFrameList::FreeObject() {
  if (TNovaObject* object = GetObject()) {
    // A system object's name goes at once, so a new one of the same track can take it.
    object->SetNameDirect(std::string());
    objectScene_->MarkForDeletion(object);
  }
  object_ = TObjectRef();
  objectScene_ = nullptr;
}

void TCustomFrameList::ReadTrack(const TFilmTrack& track, const std::string& folder) {
  data_ = track;
  cycle_ = track.Cycle;
  if (!track.File.empty()) fileName_ = ResolveFilmName(folder, track.File);
}

int32_t TCustomFrameList::Interpolate(int ease, int32_t from, int32_t to, int32_t t) const {
  const int32_t duration = successor_ && data_.Duration < INT32_MAX ? data_.Duration + 1 : data_.Duration;
  return nova::Interpolate(ease, from, to, duration, t);
}

double TCustomFrameList::InterpolateReal(int ease, double from, double to, int32_t t) const {
  const int32_t duration = successor_ && data_.Duration < INT32_MAX ? data_.Duration + 1 : data_.Duration;
  return nova::InterpolateReal(ease, from, to, duration, t);
}

namespace {

int32_t ClampInt32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// A stored position moved by the relative shift, kept inside 32 bits.
TPoint Shifted(TPoint p, TPoint shift) {
  auto add = [](int32_t a, int32_t b) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{a} + b, INT32_MIN, INT32_MAX));
  };
  return TPoint{add(p.X, shift.X), add(p.Y, shift.Y)};
}

}  // namespace

TPoint TCustomFrameList::StartPosition() const {
  return Shifted(StartOf(&TFilmTrack::StartPos, &TFilmTrack::EndPos), film_.RelativeShift());
}

TPoint TCustomFrameList::EndPosition() const { return Shifted(data_.EndPos, film_.RelativeShift()); }

TFilmClipValue TCustomFrameList::ClipAt(int32_t t) const {
  // In a chain the start clip is the parent's end clip, easings are the track's own.
  const TFilmClip& from = StartClip();
  const TFilmClip& to = data_.Clip;
  const TPoint fromOrigin = parent_ ? from.EndOrigin : from.StartOrigin;
  const TPoint fromSize = parent_ ? from.EndSize : from.StartSize;
  TFilmClipValue clip;
  clip.Width = Interpolate(to.EaseX, fromSize.X, to.EndSize.X, t);
  clip.Height = Interpolate(to.EaseY, fromSize.Y, to.EndSize.Y, t);
  if (clip.Width < 1 || clip.Height < 1) return TFilmClipValue{};
  clip.Left = Interpolate(to.EaseX, fromOrigin.X, to.EndOrigin.X, t);
  clip.Top = Interpolate(to.EaseY, fromOrigin.Y, to.EndOrigin.Y, t);
  return clip;
}

TFilmRect TCustomFrameList::RectAt(int32_t t) const {
  const TPoint from = StartPosition(), to = EndPosition();
  const TPoint fromSize = StartOf(&TFilmTrack::StartSize, &TFilmTrack::EndSize), toSize = data_.EndSize;
  auto corner = [](int32_t pos, int32_t size) { return ClampInt32(int64_t{pos} + size - 1); };
  TFilmRect r;
  r.Left = Interpolate(data_.EaseX, from.X, to.X, t);
  r.Top = Interpolate(data_.EaseY, from.Y, to.Y, t);
  const int32_t right = Interpolate(data_.EaseX, corner(from.X, fromSize.X), corner(to.X, toSize.X), t);
  const int32_t bottom = Interpolate(data_.EaseY, corner(from.Y, fromSize.Y), corner(to.Y, toSize.Y), t);
  r.Width = ClampInt32(int64_t{right} - r.Left + 1);
  r.Height = ClampInt32(int64_t{bottom} - r.Top + 1);
  return r;
}

int32_t TCustomFrameList::AlphaAt(int32_t t) const {
  const int32_t start = StartOf(&TFilmTrack::StartAlpha, &TFilmTrack::EndAlpha);
  const int32_t end = data_.EndAlpha;
  if (start == 0 && end == 0) return 255;
  // 0 stands for opaque; negative values are additive with factor -v.
  const int32_t v = Interpolate(MT_NORMAL, start == 0 ? 255 : start, end == 0 ? 255 : end, t);
  return v < 0 ? static_cast<int32_t>(std::min<int64_t>(256 - int64_t{v}, INT32_MAX)) : v;
}

int32_t TCustomFrameList::DrivenPriority() const {
  return static_cast<int32_t>(
      std::clamp<int64_t>(int64_t{film_.ControlPriority()} + data_.Priority, INT32_MIN, INT32_MAX));
}

TNovaControl* TCustomFrameList::Target() const {
  if (film_.ControlMode()) return film_.Driven();
  TNovaObject* object = GetObject();
  return object && object->IsControl() ? static_cast<TNovaControl*>(object) : nullptr;
}

TNovaObject* TCustomFrameList::EnsureObject() {
  if (film_.ControlMode()) return nullptr;
  if (TNovaObject* object = GetObject()) return object;
  // Deleted by a script (or never made): a new one.
  object_ = TObjectRef();
  objectScene_ = nullptr;
  if (!film_.Scene()) return nullptr;
  return CreateObject();
}

void TCustomFrameList::Adopt(TNovaObject* object, TNovaBaseList* scene) {
  object->SetNameDirect(scene->MakeUniqueName(film_.CreatedPrefix()));
  object_ = TObjectRef(object);
  objectScene_ = scene;
}

void TCustomFrameList::PlaceObject(TNovaControl& control) const {
  if (TNovaControl* anchor = film_.Anchor()) control.SetParent(anchor);
  else if (film_.SceneMode()) control.SetParent(&film_.Scene()->GetScreen(film_.ScreenOf(*this)));
}

std::unique_ptr<TCustomFrameList> MakeFrameList(int type, TFilmManager& film) {
  switch (type) {
    case FT_PICTURE: return std::make_unique<TImageFrameList>(film);
    case FT_LABEL: return std::make_unique<TLabelFrameList>(film);
    case FT_BOX: return std::make_unique<TBoxFrameList>(film);
    case FT_WIPE: return std::make_unique<TWipeFrameList>(film);
    case FT_SOUND: return std::make_unique<TSoundFrameList>(film);
    case FT_TILE: return std::make_unique<TTileFrameList>(film);
    case FT_PARTICLE: return std::make_unique<TParticleFrameList>(film);
    case FT_FIRE: return std::make_unique<TFireFrameList>(film);
    default: return nullptr;
  }
}

}  // namespace nova
