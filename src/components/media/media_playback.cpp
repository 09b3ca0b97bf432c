#include "components/media/media_playback.h"

#include <algorithm>

#include "archive/vrfiles.h"
#include "components/component_services.h"
#include "media/media_system.h"
#include "objects/nova_object.h"

namespace nova {

TMediaPlayback::TMediaPlayback(TNovaObject& owner, const TComponentServices& services)
    : owner_(owner), mediaServices_(services) {}

TMediaSystem* TMediaPlayback::Media() const { return mediaServices_.Media; }

bool TMediaPlayback::GameHasSource() const {
  return mediaServices_.CheckFile ? mediaServices_.CheckFile(source_)
                                  : mediaServices_.Files && mediaServices_.Files->Exists(source_);
}

void TMediaPlayback::Release(TMediaSystem* media, TDMediaItem*& item) {
  if (!item) return;
  TDMediaItem* gone = item;
  item = nullptr;
  if (media) media->Release(gone);
}

void TMediaPlayback::ReleaseItem() { Release(Media(), item_); }

void TMediaPlayback::HandOverToFade() {
  Release(Media(), fading_);
  fading_ = item_;
  item_ = nullptr;
}

void TMediaPlayback::SilenceAndRelease() {
  fader_.reset();
  for (TDMediaItem** item : {&item_, &fading_}) {
    if (*item) (*item)->SetVol(kSilent);
    Release(Media(), *item);
  }
}

void TMediaPlayback::SetPlayState(int32_t state) {
  fader_.reset();
  ended_ = false;
  if (state == LP_PLAYFADE && fadeTime_ <= 0) state = LP_PLAY;
  playState_ = static_cast<uint8_t>(state);
  if ((state == LP_PLAY || state == LP_PLAYFADE) && !item_) {
    item_ = OpenItem();
    if (!item_) {
      // Nothing to play: a file the game does not have, or no manager for the name.
      if (autoScrap_) owner_.MarkForDeletion();
      return;
    }
    item_->SetPan(balance_);
    ItemOpened();
    if (startPos_ > 0) item_->SetPosition(startPos_);
  }
  switch (state) {
    case LP_PLAY:
      if (!item_) break;
      ApplyRepeat();
      item_->SetVol(ItemVolume());
      StartItem();
      if (startPos_ > 0) item_->SetPosition(startPos_);
      break;
    case LP_PLAYFADE:
      if (!item_) break;
      ApplyRepeat();
      if (!StartHeld()) StartFadeIn();
      break;
    case LP_STOP:
      ReleaseItem();
      startPos_ = 0;
      Stopped();
      break;
    case LP_STOPFADE:
      if (!item_) {
        owner_.MarkForDeletion();
        break;
      }
      fader_ = TNovaMixer::FadeOut(item_, fadeTime_);
      startPos_ = 0;
      FadeOutStarted();
      break;
    default: break;
  }
}

void TMediaPlayback::Replay() {
  startPos_ = 0;
  if (item_) item_->SetPosition(0);
  SetPlayState(LP_PLAYFADE);
}

void TMediaPlayback::ApplyRepeat() { item_->SetAutoRepeat(repeat_); }

void TMediaPlayback::StartItem() {
  if (StartHeld()) item_->Pause();
  else item_->Play();
}

void TMediaPlayback::StartFadeIn() {
  if (item_) fader_ = TNovaMixer::FadeIn(item_, ItemVolume(), fadeTime_);
}

void TMediaPlayback::ApplyPauseRule() {
  if (paused_ || AniPausedFlag()) {
    if (item_) {
      item_->Pause();
      item_->SetVol(kSilent);
    }
  } else if (playState_ == LP_PLAYFADE) {
    StartFadeIn();
  } else if (item_) {
    item_->SetVol(ItemVolume());
    item_->Play();
  }
}

void TMediaPlayback::SetPausedFlags(bool paused, bool aniPaused) {
  bool& ownAniPaused = AniPausedFlag();
  if (paused == paused_ && aniPaused == ownAniPaused) return;
  paused_ = paused;
  ownAniPaused = aniPaused;
  ApplyPauseRule();
}

void TMediaPlayback::SetSource(const std::string& name) {
  fader_.reset();
  Release(Media(), fading_);
  ReleaseItem();
  source_ = name;
  playState_ = LP_STOP;
  startPos_ = 0;
  ended_ = false;
}

bool TMediaPlayback::StepFader(uint32_t now) {
  if (!fader_ || !fader_->Step(now)) return false;
  const bool fadedOut = fader_->IsFadeOut();
  fader_.reset();
  return fadedOut;
}

void TMediaPlayback::WriteVolumeAndPlace(TStream& s) {
  s.WriteInt32(volume_);
  s.WriteInt32(balance_);
  s.WriteInt32(fadeTime_);
  s.WriteInt32(item_ ? item_->GetPosition() : startPos_);
}

TMediaPlayback::TSavedPlace TMediaPlayback::ReadVolumeAndPlace(TStream& s) {
  volume_ = s.ReadInt32();
  balance_ = std::clamp(s.ReadInt32(), -10000, 10000);
  TSavedPlace place;
  place.FadeTime = s.ReadInt32();
  place.Position = s.ReadInt32();
  return place;
}

void TMediaPlayback::RestorePlayState(const TSavedPlace& place, uint8_t state, bool ended) {
  if (muteOnLoad_) volume_ = 0;
  startPos_ = rewindOnLoad_ ? 0 : place.Position;
  ended_ = ended;
  // A fade-out needs a playing item to fade.
  if (state == LP_STOPFADE) SetPlayState(LP_PLAY);
  fadeTime_ = place.FadeTime;
  if (ended) playState_ = state;
  else SetPlayState(state);
  if (paused_ || AniPausedFlag()) ApplyPauseRule();
}

bool TMediaPlayback::GetPlaybackProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_SOURCE: v = TPropValue::OfStr(source_); return true;
    case PR_DELAY: v = TPropValue::OfInt(fadeTime_); return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_VOLUME: v = TPropValue::OfInt(volume_); return true;
    case PR_REPEAT: v = TPropValue::OfFlag(repeat_); return true;
    case PR_BALANCE: v = TPropValue::OfInt(balance_); return true;
    case PR_ONPLAYEND: v = TPropValue::OfStr(onPlayEnd_); return true;
    case PR_INDEX: v = TPropValue::OfInt(item_ ? item_->GetPosition() : 0); return true;
    case PR_AUTOSCRAP: v = TPropValue::OfFlag(autoScrap_); return true;
    case PR_PLAYING: v = TPropValue::OfFlag(item_ && item_->IsPlaying()); return true;
    case PR_REWINDONLOAD: v = TPropValue::OfFlag(rewindOnLoad_); return true;
    case PR_MUTEONLOAD: v = TPropValue::OfFlag(muteOnLoad_); return true;
    default: return false;
  }
}

bool TMediaPlayback::SetPlaybackProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_SOURCE: SetSource(v.Str); return true;
    case PR_DELAY: fadeTime_ = v.Int; return true;
    case PR_PAUSED: SetPausedFlags(v.Flag, AniPausedFlag()); return true;
    case PR_ANIPAUSED: SetPausedFlags(paused_, v.Flag); return true;
    case PR_VOLUME:
      volume_ = v.Int;
      // A fade or a pause owns the item's volume until it is over.
      if (item_ && !fader_ && !paused_ && !AniPausedFlag()) item_->SetVol(ItemVolume());
      return true;
    case PR_BALANCE:
      balance_ = std::clamp(v.Int, -10000, 10000);
      if (item_) item_->SetPan(balance_);
      return true;
    case PR_ONPLAYEND: onPlayEnd_ = v.Str; return true;
    case PR_INDEX:
      startPos_ = v.Int;
      if (item_) {
        item_->SetPosition(startPos_);
        ended_ = false;
        if (!StartHeld() && !item_->IsPlaying()) item_->Play();
      }
      return true;
    case PR_AUTOSCRAP: autoScrap_ = v.Flag; return true;
    case PR_REWINDONLOAD: rewindOnLoad_ = v.Flag; return true;
    case PR_MUTEONLOAD: muteOnLoad_ = v.Flag; return true;
    default: return false;
  }
}

}  // namespace nova
