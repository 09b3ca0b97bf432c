#include "components/media/nova_sound.h"

#include "base/process.h"
#include "media/media_system.h"
#include "objects/scene.h"

namespace nova {
namespace {

// A sound at least this long keeps its play state in saved games even without repeat; a
// shorter one (an effect) is saved stopped.
constexpr int32_t kLongSound = 3000;

bool IsCdName(const std::string& name) { return name.size() >= 3 && name.compare(0, 3, "CD_") == 0; }

}  // namespace

TNovaSound::TNovaSound(TNovaBaseList* scene, const TComponentServices& services)
    : TNovaComponent(scene), TMediaPlayback(*this, services) {}

TNovaSound::~TNovaSound() { SilenceAndRelease(); }

bool TNovaSound::IsMidi() const {
  TMediaSystem* media = Media();
  return item_ && media && &item_->Manager() == static_cast<TMediaManager*>(media->Midi());
}

TDMediaItem* TNovaSound::OpenItem() {
  TMediaSystem* media = Media();
  if (!media || !media->ManagerFor(source_)) return nullptr;
  if (!IsCdName(source_) && !IsAbsoluteMediaName(source_) && !GameHasSource()) return nullptr;
  return media->AddSound(source_);
}

void TNovaSound::ApplyRepeat() {
  item_->SetAutoRepeat(repeat_);
  item_->SetRepeatPos(repeatPos_);
}

void TNovaSound::FadeOutStarted() {
  if (Name().empty() || Name()[0] != '\x01') SetName("\x01SCRAP_" + Name());
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
    TDMediaItem* item = OpenItem();
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
  return StepFader(ScenarioNow());
}

bool TNovaSound::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_COUNT: v = TPropValue::OfInt(MediaLength()); return true;
    case PR_REPEATPOS: v = TPropValue::OfInt(repeatPos_); return true;
    default: return GetPlaybackProperty(id, v);  // PR_ANIPAUSED reads false
  }
}

bool TNovaSound::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_REPEAT: SetRepeat(v.Flag); return true;
    case PR_REPEATPOS:
      repeatPos_ = v.Int;
      if (item_) item_->SetRepeatPos(repeatPos_);
      return true;
    default: return SetPlaybackProperty(id, v);
  }
}

void TNovaSound::SaveToStream(TStream& s) {
  TNovaComponent::SaveToStream(s);
  s.WriteString(source_);
  for (bool b : {repeat_, autoScrap_, paused_, aniPaused_, ended_}) s.WriteByte(b ? 1 : 0);
  WriteVolumeAndPlace(s);
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
  const TSavedPlace place = ReadVolumeAndPlace(s);
  const uint8_t state = s.ReadByte();
  onPlayEnd_ = s.ReadString();
  if (version > 107) rewindOnLoad_ = s.ReadByte() != 0;
  if (version > 128) muteOnLoad_ = s.ReadByte() != 0;
  if (version > 137) repeatPos_ = s.ReadInt32();

  repeat_ = repeat;
  SetSource(source);
  paused_ = paused;
  aniPaused_ = aniPaused;
  RestorePlayState(place, state, ended);
}

}  // namespace nova
