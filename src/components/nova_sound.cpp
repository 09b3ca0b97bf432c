#include "components/nova_sound.h"

#include <algorithm>

#include "archive/vrfiles.h"
#include "base/process.h"
#include "components/component_services.h"
#include "media/media_system.h"
#include "objects/scene.h"

namespace nova {
namespace {

constexpr int32_t kSilent = -10000;
// A sound at least this long keeps its play state in saved games even without repeat; a
// shorter one (an effect) is saved stopped.
constexpr int32_t kLongSound = 3000;

uint32_t Now() { return FrameClock().Total; }

bool IsCdName(const std::string& name) { return name.size() >= 3 && name.compare(0, 3, "CD_") == 0; }

}  // namespace

TNovaSound::TNovaSound(TNovaBaseList* scene, const TComponentServices& services)
    : TNovaComponent(scene), services_(services) {}

TNovaSound::~TNovaSound() {
  fader_.reset();
  if (item_) item_->SetVol(kSilent);
  ReleaseItem();
}

TMediaSystem* TNovaSound::Media() const { return services_.Media; }

bool TNovaSound::IsMidi() const {
  TMediaSystem* media = Media();
  return item_ && media && &item_->Manager() == static_cast<TMediaManager*>(media->Midi());
}

TDMediaItem* TNovaSound::CreateItem() {
  TMediaSystem* media = Media();
  if (!media || !media->ManagerFor(source_)) return nullptr;
  if (!IsCdName(source_) && !IsAbsoluteMediaName(source_)) {
    const bool exists = services_.CheckFile ? services_.CheckFile(source_)
                                            : services_.Files && services_.Files->Exists(source_);
    if (!exists) return nullptr;
  }
  return media->AddSound(source_);
}

void TNovaSound::ReleaseItem() {
  if (!item_) return;
  TDMediaItem* item = item_;
  item_ = nullptr;
  if (TMediaSystem* media = Media()) media->Release(item);
}

void TNovaSound::SetPlayState(int32_t state) {
  fader_.reset();
  ended_ = false;
  if (state == LP_PLAYFADE && fadeTime_ <= 0) state = LP_PLAY;
  playState_ = static_cast<uint8_t>(state);
  if ((state == LP_PLAY || state == LP_PLAYFADE) && !item_) {
    item_ = CreateItem();
    if (!item_) {
      // Nothing to play: a file the game does not have, or no manager for the name.
      if (autoScrap_) MarkForDeletion();
      return;
    }
    item_->SetPan(balance_);
    if (startPos_ > 0) item_->SetPosition(startPos_);
  }
  switch (state) {
    case LP_PLAY:
      if (!item_) break;
      item_->SetAutoRepeat(repeat_);
      item_->SetRepeatPos(repeatPos_);
      item_->SetVol(ItemVolume());
      if (paused_) item_->Pause();
      else item_->Play();
      if (startPos_ > 0) item_->SetPosition(startPos_);
      break;
    case LP_PLAYFADE:
      if (!item_) break;
      item_->SetAutoRepeat(repeat_);
      item_->SetRepeatPos(repeatPos_);
      if (!paused_) StartFadeIn();
      break;
    case LP_STOP:
      ReleaseItem();
      startPos_ = 0;
      MarkForDeletion();
      break;
    case LP_STOPFADE:
      if (!item_) {
        MarkForDeletion();
        break;
      }
      fader_ = TNovaMixer::FadeOut(item_, fadeTime_);
      startPos_ = 0;
      // The name is free at once for a new sound, and a fading sound is never saved.
      if (Name().empty() || Name()[0] != '\x01') SetName("\x01SCRAP_" + Name());
      break;
    default: break;
  }
}

void TNovaSound::Replay() {
  startPos_ = 0;
  if (item_) item_->SetPosition(0);
  SetPlayState(LP_PLAYFADE);
}

void TNovaSound::StartFadeIn() {
  if (item_) fader_ = TNovaMixer::FadeIn(item_, ItemVolume(), fadeTime_);
}

void TNovaSound::ApplyPauseRule() {
  if (paused_ || aniPaused_) {
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

void TNovaSound::SetPausedFlags(bool paused, bool aniPaused) {
  if (paused == paused_ && aniPaused == aniPaused_) return;
  paused_ = paused;
  aniPaused_ = aniPaused;
  ApplyPauseRule();
}

void TNovaSound::SetSource(const std::string& name) {
  fader_.reset();
  ReleaseItem();
  source_ = name;
  playState_ = LP_STOP;  // stopped, without deleting: the next play state starts the new file
  startPos_ = 0;
  ended_ = false;
}

void TNovaSound::SetRepeat(bool on) {
  const bool turningOn = on && !repeat_;
  repeat_ = on;
  if (!item_) return;
  // Where the item stands is read first: a voice that repeats counts its position round.
  const bool atEnd = item_->GetPosition() >= item_->GetLen() - 1;
  item_->SetAutoRepeat(on);
  if (turningOn && !paused_ && atEnd) {
    item_->SetPosition(0);
    ended_ = false;
    // A voice that has run out stopped: it starts again from the beginning.
    if (!item_->IsPlaying()) item_->Play();
  }
}

int32_t TNovaSound::MediaLength() {
  if (item_) return item_->GetLen();
  // Opened only to ask its length.
  try {
    TDMediaItem* item = CreateItem();
    if (!item) return 0;
    const int32_t len = item->GetLen();
    Media()->Release(item);
    return len;
  } catch (const std::exception&) {
    return 0;
  }
}

bool TNovaSound::Update(uint32_t) {
  if (item_ && item_->IsEnd()) {
    if (repeat_) {
      item_->SetPosition(0);
    } else if (!ended_) {
      ended_ = true;
      if (autoScrap_) return true;
      PostEventIfFree(PR_ONPLAYEND);
    }
  }
  if (fader_ && fader_->Step(Now())) {
    const bool fadedOut = fader_->IsFadeOut();
    fader_.reset();
    if (fadedOut) return true;
  }
  return false;
}

bool TNovaSound::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_SOURCE: v = TPropValue::OfStr(source_); return true;
    case PR_DELAY: v = TPropValue::OfInt(fadeTime_); return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_VOLUME: v = TPropValue::OfInt(volume_); return true;
    case PR_REPEAT: v = TPropValue::OfFlag(repeat_); return true;
    case PR_BALANCE: v = TPropValue::OfInt(balance_); return true;
    case PR_ONPLAYEND: v = TPropValue::OfStr(onPlayEnd_); return true;
    case PR_INDEX: v = TPropValue::OfInt(item_ ? item_->GetPosition() : 0); return true;
    case PR_COUNT: v = TPropValue::OfInt(MediaLength()); return true;
    case PR_AUTOSCRAP: v = TPropValue::OfFlag(autoScrap_); return true;
    case PR_PLAYING: v = TPropValue::OfFlag(item_ && item_->IsPlaying()); return true;
    case PR_REWINDONLOAD: v = TPropValue::OfFlag(rewindOnLoad_); return true;
    case PR_MUTEONLOAD: v = TPropValue::OfFlag(muteOnLoad_); return true;
    case PR_REPEATPOS: v = TPropValue::OfInt(repeatPos_); return true;
    default: return false;  // PR_ANIPAUSED reads false
  }
}

bool TNovaSound::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_SOURCE: SetSource(v.Str); return true;
    case PR_DELAY: fadeTime_ = v.Int; return true;
    case PR_PAUSED: SetPausedFlags(v.Flag, aniPaused_); return true;
    case PR_ANIPAUSED: SetPausedFlags(paused_, v.Flag); return true;
    case PR_VOLUME:
      volume_ = v.Int;
      // A fade or a pause owns the item's volume until it is over.
      if (item_ && !fader_ && !paused_ && !aniPaused_) item_->SetVol(ItemVolume());
      return true;
    case PR_REPEAT: SetRepeat(v.Flag); return true;
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
        if (!paused_ && !item_->IsPlaying()) item_->Play();
      }
      return true;
    case PR_AUTOSCRAP: autoScrap_ = v.Flag; return true;
    case PR_REWINDONLOAD: rewindOnLoad_ = v.Flag; return true;
    case PR_MUTEONLOAD: muteOnLoad_ = v.Flag; return true;
    case PR_REPEATPOS:
      repeatPos_ = v.Int;
      if (item_) item_->SetRepeatPos(repeatPos_);
      return true;
    default: return false;
  }
}

void TNovaSound::SaveToStream(TStream& s) {
  TNovaComponent::SaveToStream(s);
  s.WriteString(source_);
  for (bool b : {repeat_, autoScrap_, paused_, aniPaused_, ended_}) s.WriteByte(b ? 1 : 0);
  s.WriteInt32(volume_);
  s.WriteInt32(balance_);
  s.WriteInt32(fadeTime_);
  s.WriteInt32(item_ ? item_->GetPosition() : startPos_);
  // A short effect that does not repeat is over by the time the game is loaded again.
  const bool keep = repeat_ || playState_ == LP_STOP || playState_ == LP_STOPFADE || MediaLength() >= kLongSound;
  s.WriteByte(keep ? playState_ : static_cast<uint8_t>(LP_STOP));
  s.WriteString(onPlayEnd_);
  s.WriteByte(rewindOnLoad_ ? 1 : 0);
  s.WriteByte(muteOnLoad_ ? 1 : 0);
  s.WriteInt32(repeatPos_);
}

void TNovaSound::LoadFromStream(TStream& s, int32_t version) {
  TNovaComponent::LoadFromStream(s, version);
  const std::string source = s.ReadString();
  const bool repeat = s.ReadByte() != 0;
  autoScrap_ = s.ReadByte() != 0;
  const bool paused = s.ReadByte() != 0;
  const bool aniPaused = s.ReadByte() != 0;
  const bool ended = s.ReadByte() != 0;
  volume_ = s.ReadInt32();
  balance_ = std::clamp(s.ReadInt32(), -10000, 10000);
  const int32_t fadeTime = s.ReadInt32();
  const int32_t position = s.ReadInt32();
  const uint8_t state = s.ReadByte();
  onPlayEnd_ = s.ReadString();
  if (version > 107) rewindOnLoad_ = s.ReadByte() != 0;
  if (version > 128) muteOnLoad_ = s.ReadByte() != 0;
  if (version > 137) repeatPos_ = s.ReadInt32();

  if (muteOnLoad_) volume_ = 0;
  repeat_ = repeat;
  SetSource(source);
  startPos_ = rewindOnLoad_ ? 0 : position;
  paused_ = paused;
  aniPaused_ = aniPaused;
  ended_ = ended;
  // A fade-out needs a playing item to fade.
  if (state == LP_STOPFADE) SetPlayState(LP_PLAY);
  fadeTime_ = fadeTime;
  if (ended) playState_ = state;
  else SetPlayState(state);
  if (paused_ || aniPaused_) ApplyPauseRule();
}

}  // namespace nova
