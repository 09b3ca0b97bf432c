#include "components/nova_video.h"

#include <algorithm>

#include "archive/vrfiles.h"
#include "base/process.h"
#include "media/media_system.h"
#include "objects/scene.h"

namespace nova {
namespace {

constexpr int32_t kSilent = -10000;
constexpr uint32_t kFrameCheckMs = 32;

uint32_t Now() { return FrameClock().Total; }

}  // namespace

TNovaVideo::TNovaVideo(TNovaBaseList* scene, TComponentServices& services) : TNovaCustomImage(scene, services) {}

TNovaVideo::~TNovaVideo() {
  fader_.reset();
  for (TVideoItem** item : {&item_, &fading_}) {
    if (*item) (*item)->SetVol(kSilent);
    ReleaseItem(*item);
  }
}

TMediaSystem* TNovaVideo::Media() const { return services_.Media; }

TVideoItem* TNovaVideo::CreateItem() {
  TMediaSystem* media = Media();
  if (!media || !media->Video() || source_.empty()) return nullptr;
  if (!IsAbsoluteMediaName(source_)) {
    const bool exists = services_.CheckFile ? services_.CheckFile(source_)
                                            : services_.Files && services_.Files->Exists(source_);
    if (!exists) return nullptr;
  }
  return media->Video()->Add(source_, !overlay_);
}

void TNovaVideo::ReleaseItem(TVideoItem*& item) {
  if (!item) return;
  TVideoItem* gone = item;
  item = nullptr;
  if (TMediaSystem* media = Media(); media && media->Video()) media->Video()->Remove(gone);
}

void TNovaVideo::SetPlayState(int32_t state) {
  fader_.reset();
  ended_ = false;
  if (state == LP_PLAYFADE && fadeTime_ <= 0) state = LP_PLAY;
  playState_ = static_cast<uint8_t>(state);
  if ((state == LP_PLAY || state == LP_PLAYFADE) && !item_) {
    item_ = CreateItem();
    if (!item_) {
      if (autoScrap_) MarkForDeletion();
      return;
    }
    // The frame surface of the movie's size becomes the picture: the object takes the movie's
    // size times its zoom.
    const int bits = Scene() ? Scene()->BitCount() : 32;
    frame_.SetSize(std::max(1, item_->GetSourceWidth()), std::max(1, item_->GetSourceHeight()), bits);
    ShowPicture(&frame_, nullptr);
    item_->SetAutoRepeat(repeat_);
    item_->SetPan(balance_);
    lastCheck_ = Now();
    if (overlay_ && Visible()) PlaceOverlay();
    if (startPos_ > 0) item_->SetPosition(startPos_);
  }
  const bool held = paused_ || aniPaused_;
  switch (state) {
    case LP_PLAY:
      if (!item_) break;
      item_->SetAutoRepeat(repeat_);
      item_->SetVol(ItemVolume());
      item_->Play();
      if (held) item_->Pause();
      if (startPos_ > 0) item_->SetPosition(startPos_);
      break;
    case LP_PLAYFADE:
      if (!item_) break;
      item_->SetAutoRepeat(repeat_);
      if (!held) StartFadeIn();
      break;
    case LP_STOP:
      ReleaseItem(item_);
      ShowPicture(nullptr, nullptr);
      frame_.SetSize(0, 0, 32);
      startPos_ = 0;
      overlayDest_ = overlaySource_ = TRect{};
      break;
    case LP_STOPFADE:
      if (!item_) {
        MarkForDeletion();
        break;
      }
      // The fader drives the item it was given; the object no longer shows new frames.
      fader_ = TNovaMixer::FadeOut(item_, fadeTime_);
      ReleaseItem(fading_);
      fading_ = item_;
      item_ = nullptr;
      startPos_ = 0;
      break;
    default: break;
  }
}

void TNovaVideo::Replay() {
  startPos_ = 0;
  if (item_) item_->SetPosition(0);
  SetPlayState(LP_PLAYFADE);
}

void TNovaVideo::StartFadeIn() {
  if (item_) fader_ = TNovaMixer::FadeIn(item_, ItemVolume(), fadeTime_);
}

void TNovaVideo::ApplyPauseRule() {
  if (paused_ || aniPaused_) {
    if (item_) {
      item_->Pause();
      item_->SetVol(kSilent);
    }
  } else if (playState_ == LP_PLAYFADE) {
    StartFadeIn();
  } else if (item_ && playState_ == LP_PLAY) {
    item_->SetVol(ItemVolume());
    item_->Play();
  }
}

void TNovaVideo::SetPausedFlags(bool paused, bool aniPaused) {
  if (paused == paused_ && aniPaused == aniPaused_) return;
  paused_ = paused;
  aniPaused_ = aniPaused;
  ApplyPauseRule();
}

void TNovaVideo::EnteredCabinet() {
  if (item_ && item_->IsPlaying()) {
    item_->Pause();
    pausedByCabinet_ = true;
  }
  if (item_ && overlay_) PlaceOverlay();
}

void TNovaVideo::LeftCabinet() {
  if (item_ && pausedByCabinet_) item_->Play();
  pausedByCabinet_ = false;
}

void TNovaVideo::SetSource(const std::string& name) {
  fader_.reset();
  ReleaseItem(fading_);
  ReleaseItem(item_);
  ShowPicture(nullptr, nullptr);
  source_ = name;
  playState_ = LP_STOP;
  startPos_ = 0;
  ended_ = false;
}

void TNovaVideo::PlaceOverlay() {
  if (!item_ || !overlay_) return;
  const int32_t sw = item_->GetSourceWidth(), sh = item_->GetSourceHeight();
  const int32_t zx = ZoomX(), zy = ZoomY();
  // An explicit size (zoom 0) is the movie stretched to the object.
  const int32_t w = zx > 0 ? static_cast<int32_t>(int64_t{sw} * zx / 256) : width_;
  const int32_t h = zy > 0 ? static_cast<int32_t>(int64_t{sh} * zy / 256) : height_;
  const TRect dest = TRect::FromSize(ScreenLeft(), ScreenTop(), w, h);
  TRect shown = dest;
  if (Parent()) shown = Intersect(shown, Parent()->HitRect());
  if (const TRect clip = ClipRect(); !clip.Empty()) shown = Intersect(shown, clip);
  // The part of the movie that stays: the cut-off margins back at the movie's scale.
  auto back = [](int32_t cut, int32_t size, int32_t own) { return size > 0 ? static_cast<int32_t>(int64_t{cut} * own / size) : 0; };
  const TRect source{back(shown.Left - dest.Left, w, sw), back(shown.Top - dest.Top, h, sh),
                     sw - back(dest.Right - shown.Right, w, sw), sh - back(dest.Bottom - shown.Bottom, h, sh)};
  if (shown.Empty() || source.Empty() || !IsShown()) {
    overlayDest_ = overlaySource_ = TRect{};
    if (item_->GetVisible()) item_->SetVisible(false);
    return;
  }
  // The picture is shown at the game's own size (a display scale of 100 %).
  if (shown != overlayDest_ || source != overlaySource_) {
    overlayDest_ = shown;
    overlaySource_ = source;
    item_->SetRect(source, shown);
  }
  if (!item_->GetVisible()) item_->SetVisible(true);
}

void TNovaVideo::PositionChanged() {
  TNovaCustomImage::PositionChanged();
  if (overlay_ && item_) PlaceOverlay();
}

bool TNovaVideo::Update(uint32_t elapsedMs) {
  const bool scrap = TNovaCustomImage::Update(elapsedMs);
  if (item_) {
    // The overlay follows the object's place and whether it is shown.
    if (overlay_) PlaceOverlay();
    const uint32_t now = Now();
    if (now - lastCheck_ >= kFrameCheckMs) {
      lastCheck_ = now;
      if (item_->NeedPaint()) Invalidate();
    }
    if (!repeat_ && item_->IsEnd()) {
      if (autoScrap_) {
        MarkForDeletion();
      } else if (!ended_) {
        ended_ = true;
        PostEventIfFree(PR_ONPLAYEND);
      }
    } else {
      ended_ = false;
    }
  }
  if (fader_ && fader_->Step(Now())) {
    const bool fadedOut = fader_->IsFadeOut();
    fader_.reset();
    if (fadedOut) return true;
  }
  return scrap;
}

void TNovaVideo::PaintSelf(TCustomDIBX& target) {
  if (item_ && surface_ == &frame_) {
    if (TCustomDIBX* dc = item_->GetDC(); dc && !dc->IsEmpty()) {
      const TRect whole{0, 0, std::min(dc->GetWidth(), frame_.GetWidth()), std::min(dc->GetHeight(), frame_.GetHeight())};
      frame_.Draw(0, 0, false, false, false, whole, dc);
    }
  }
  TNovaCustomImage::PaintSelf(target);
}

bool TNovaVideo::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_SOURCE: v = TPropValue::OfStr(source_); return true;
    case PR_DELAY: v = TPropValue::OfInt(fadeTime_); return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_VOLUME: v = TPropValue::OfInt(volume_); return true;
    case PR_REPEAT: v = TPropValue::OfFlag(repeat_); return true;
    case PR_BALANCE: v = TPropValue::OfInt(balance_); return true;
    case PR_ONPLAYEND: v = TPropValue::OfStr(onPlayEnd_); return true;
    case PR_INDEX: v = TPropValue::OfInt(item_ ? item_->GetPosition() : 0); return true;
    case PR_COUNT: v = TPropValue::OfInt(item_ ? item_->GetLen() : 0); return true;
    case PR_AUTOSCRAP: v = TPropValue::OfFlag(autoScrap_); return true;
    case PR_ONIDLE: v = TPropValue::OfStr(onIdle_); return true;
    case PR_REWINDONLOAD: v = TPropValue::OfFlag(rewindOnLoad_); return true;
    case PR_OVERLAY: v = TPropValue::OfFlag(overlay_); return true;
    case PR_MUTEONLOAD: v = TPropValue::OfFlag(muteOnLoad_); return true;
    case PR_PLAYING: v = TPropValue::OfFlag(item_ && item_->IsPlaying()); return true;
    default: return TNovaCustomImage::GetProperty(id, v);
  }
}

bool TNovaVideo::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_SOURCE: SetSource(v.Str); return true;
    case PR_DELAY: fadeTime_ = v.Int; return true;
    case PR_PAUSED: SetPausedFlags(v.Flag, aniPaused_); return true;
    case PR_ANIPAUSED: SetPausedFlags(paused_, v.Flag); return true;
    case PR_VOLUME:
      volume_ = v.Int;
      if (item_ && !fader_ && !paused_ && !aniPaused_) item_->SetVol(ItemVolume());
      return true;
    case PR_REPEAT:
      repeat_ = v.Flag;
      if (item_) item_->SetAutoRepeat(repeat_);
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
        if (!paused_ && !aniPaused_ && !item_->IsPlaying()) item_->Play();
        Invalidate();
      }
      return true;
    case PR_AUTOSCRAP: autoScrap_ = v.Flag; return true;
    case PR_ONIDLE: onIdle_ = v.Str; return true;
    case PR_REWINDONLOAD: rewindOnLoad_ = v.Flag; return true;
    case PR_OVERLAY: overlay_ = v.Flag; return true;  // for the next item
    case PR_MUTEONLOAD: muteOnLoad_ = v.Flag; return true;
    default: return TNovaCustomImage::SetProperty(id, v);
  }
}

void TNovaVideo::SaveToStream(TStream& s) {
  TNovaCustomImage::SaveToStream(s);
  s.WriteString(source_);
  for (bool b : {repeat_, autoScrap_, paused_}) s.WriteByte(b ? 1 : 0);
  s.WriteInt32(volume_);
  s.WriteInt32(balance_);
  s.WriteInt32(fadeTime_);
  s.WriteInt32(item_ ? item_->GetPosition() : startPos_);
  s.WriteByte(playState_);
  s.WriteString(onPlayEnd_);
  s.WriteString(onIdle_);
  s.WriteByte(rewindOnLoad_ ? 1 : 0);
  s.WriteByte(overlay_ ? 1 : 0);
  s.WriteByte(muteOnLoad_ ? 1 : 0);
}

void TNovaVideo::LoadFromStream(TStream& s, int32_t version) {
  TNovaCustomImage::LoadFromStream(s, version);
  const std::string source = s.ReadString();
  repeat_ = s.ReadByte() != 0;
  autoScrap_ = s.ReadByte() != 0;
  const bool paused = s.ReadByte() != 0;
  volume_ = s.ReadInt32();
  balance_ = std::clamp(s.ReadInt32(), -10000, 10000);
  const int32_t fadeTime = s.ReadInt32();
  const int32_t position = s.ReadInt32();
  const uint8_t state = s.ReadByte();
  onPlayEnd_ = s.ReadString();
  onIdle_ = s.ReadString();
  if (version > 107) rewindOnLoad_ = s.ReadByte() != 0;
  if (version >= 112) overlay_ = s.ReadByte() != 0;
  if (version > 128) muteOnLoad_ = s.ReadByte() != 0;

  if (muteOnLoad_) volume_ = 0;
  SetSource(source);
  startPos_ = rewindOnLoad_ ? 0 : position;
  paused_ = paused;  // animation-paused came with the control record
  if (state == LP_STOPFADE) SetPlayState(LP_PLAY);
  fadeTime_ = fadeTime;
  SetPlayState(state);
  if (paused_ || aniPaused_) ApplyPauseRule();
}

}  // namespace nova
