#include "components/films/sound_frame_list.h"

#include <algorithm>
#include <cmath>

#include "components/films/film_manager.h"
#include "components/media/nova_sound.h"
#include "objects/media_object.h"
#include "objects/scene.h"

namespace nova {

namespace {

constexpr int64_t kFollowMs = 3000;  // a sound this far from the film's time is moved

int32_t Scale(int32_t volume, int32_t filmVolume) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{volume} * filmVolume / 1000, INT32_MIN, INT32_MAX));
}

}  // namespace

TSoundFrameList::TSoundFrameList(TFilmManager& film) : TCustomFrameList(film) {
  cells_.push_back(std::make_unique<TSoundFrame>());
}

void TSoundFrameList::LoadResources() { SetFileName(fileName_); }

TNovaObject* TSoundFrameList::GetObject() const {
  const TCustomFrameList* first = this;
  while (first->Parent()) first = first->Parent();
  return first == this ? TCustomFrameList::GetObject() : first->GetObject();
}

TNovaSound* TSoundFrameList::Sound() const { return dynamic_cast<TNovaSound*>(GetObject()); }

TNovaObject* TSoundFrameList::CreateObject() {
  TNovaBaseList* scene = film_.SoundScene();
  if (!scene) return nullptr;
  auto* sound = scene->Make<TNovaSound>(film_.Services());
  Adopt(sound, scene);
  sound->SetProperty(PR_SOURCE, TPropValue::OfStr(fileName_));
  sound->SetProperty(PR_VOLUME, TPropValue::OfInt(Scale(data_.StartVolume, film_.Volume())));
  TPropValue length;
  sound->GetProperty(PR_COUNT, length);
  const int32_t frames = film_.FilmFrameCount(), loop = film_.LoopStart();
  const bool shorter = length.Int < static_cast<int64_t>(std::trunc(data_.Duration * kFilmFrameMs));
  // A track to the film's end that holds the loop-start frame plays on when the film loops.
  const bool loops = End() >= frames && loop >= absoluteStart_ && loop < End() && loop > 0 && loop < frames - 1;
  sound->SetProperty(PR_REPEAT, TPropValue::OfFlag(shorter || loops));
  sound->SetProperty(PR_BALANCE, TPropValue::OfInt(data_.StartBalance));
  sound->SetProperty(PR_PAUSED, TPropValue::OfFlag(true));
  sound->SetPlayState(LP_PLAY);
  return sound;
}

TNovaSound* TSoundFrameList::EnsureSound() {
  auto* first = static_cast<TSoundFrameList*>(ChainFirst());
  if (TNovaSound* sound = first->Sound()) return sound;
  first->object_ = TObjectRef();
  first->objectScene_ = nullptr;
  return dynamic_cast<TNovaSound*>(first->CreateObject());
}

void TSoundFrameList::PauseSound(bool paused) {
  if (TNovaSound* sound = Sound()) sound->SetProperty(PR_PAUSED, TPropValue::OfFlag(paused));
}

void TSoundFrameList::SetTrackPaused(bool paused) {
  paused_ = paused;
  PauseSound(paused);
}

bool TSoundFrameList::ShowAt(int32_t n) {
  TNovaSound* sound = EnsureSound();
  if (n < lastFrame_ && film_.Running()) PauseSound(true);
  lastFrame_ = n;
  const int64_t lastPlayable = int64_t{film_.FilmFrameCount()} - 1;
  const TCustomFrameList* first = ChainFirst();
  if (n >= absoluteStart_ && n < std::min(End(), lastPlayable)) {
    if (!sound) return true;
    const int32_t t = n - absoluteStart_;
    const int32_t volume = Interpolate(data_.EaseVolume, StartOf(&TFilmTrack::StartVolume, &TFilmTrack::EndVolume),
                                       data_.EndVolume, t);
    const int32_t balance = Interpolate(
        data_.EaseBalance, StartOf(&TFilmTrack::StartBalance, &TFilmTrack::EndBalance), data_.EndBalance, t);
    sound->SetProperty(PR_VOLUME, TPropValue::OfInt(Scale(volume, film_.Volume())));
    sound->SetProperty(PR_BALANCE, TPropValue::OfInt(balance));
    if (!film_.Running() || paused_) {
      // A stopped or paused film holds its sound where it is.
      PauseSound(true);
      return true;
    }
    TPropValue pausedValue;
    sound->GetProperty(PR_PAUSED, pausedValue);
    if (!pausedValue.Flag && sound->PlayState() != LP_STOP) {
      const int64_t expected = (int64_t{n} - first->AbsoluteStart()) * 1000 / 60;
      TPropValue position;
      sound->GetProperty(PR_INDEX, position);
      if (std::llabs(int64_t{position.Int} - expected) >= kFollowMs)
        sound->SetProperty(PR_INDEX, TPropValue::OfInt(static_cast<int32_t>(std::min<int64_t>(expected, INT32_MAX))));
      return true;
    }
    // Paused (a new sound, the film's end, a jump back): from the beginning again.
    PauseSound(false);
    sound->Replay();
    return true;
  }
  if (!sound || successor_) return false;
  if (n >= first->AbsoluteStart() && n < std::min(End(), lastPlayable)) return false;
  PauseSound(true);
  return false;
}

}  // namespace nova
