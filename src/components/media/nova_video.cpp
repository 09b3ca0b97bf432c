#include "components/media/nova_video.h"

#include <algorithm>

#include "base/process.h"
#include "media/media_system.h"
#include "objects/scene.h"

namespace nova {
namespace {

constexpr uint32_t kFrameCheckMs = 32;

}  // namespace

TNovaVideo::TNovaVideo(TNovaBaseList* scene, TComponentServices& services)
    : TNovaCustomImage(scene, services), TMediaPlayback(*this, services) {}

TNovaVideo::~TNovaVideo() { SilenceAndRelease(); }

TVideoItem* TNovaVideo::Item() const { return static_cast<TVideoItem*>(item_); }

TDMediaItem* TNovaVideo::OpenItem() {
  TMediaSystem* media = Media();
  if (!media || !media->Video() || source_.empty()) return nullptr;
  if (!IsAbsoluteMediaName(source_) && !GameHasSource()) return nullptr;
  return media->Video()->Add(source_, !overlay_);
}

void TNovaVideo::ItemOpened() {
  // The object takes the movie's size times its zoom.
  TVideoItem* movie = Item();
  const int bits = Scene() ? Scene()->BitCount() : 32;
  frame_.SetSize(std::max(1, movie->GetSourceWidth()), std::max(1, movie->GetSourceHeight()), bits);
  ShowPicture(&frame_, nullptr);
  movie->SetAutoRepeat(repeat_);
  lastCheck_ = ScenarioNow();
  if (overlay_ && Visible()) PlaceOverlay();
}

void TNovaVideo::StartItem() {
  item_->Play();
  if (StartHeld()) item_->Pause();
}

void TNovaVideo::Stopped() {
  ShowPicture(nullptr, nullptr);
  frame_.SetSize(0, 0, 32);
  overlayDest_ = overlaySource_ = TRect{};
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

void TNovaVideo::ChangeSource(const std::string& name) {
  SetSource(name);
  ShowPicture(nullptr, nullptr);
}

void TNovaVideo::PlaceOverlay() {
  TVideoItem* movie = Item();
  if (!movie || !overlay_) return;
  const int32_t sw = movie->GetSourceWidth(), sh = movie->GetSourceHeight();
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
    if (movie->GetVisible()) movie->SetVisible(false);
    return;
  }
  // The picture is shown at the game's own size (a display scale of 100 %).
  if (shown != overlayDest_ || source != overlaySource_) {
    overlayDest_ = shown;
    overlaySource_ = source;
    movie->SetRect(source, shown);
  }
  if (!movie->GetVisible()) movie->SetVisible(true);
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
    const uint32_t now = ScenarioNow();
    if (now - lastCheck_ >= kFrameCheckMs) {
      lastCheck_ = now;
      if (Item()->NeedPaint()) Invalidate();
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
  if (StepFader(ScenarioNow())) return true;
  return scrap;
}

void TNovaVideo::PaintSelf(TCustomDIBX& target) {
  if (item_ && surface_ == &frame_) {
    if (TCustomDIBX* dc = Item()->GetDC(); dc && !dc->IsEmpty()) {
      const TRect whole{0, 0, std::min(dc->GetWidth(), frame_.GetWidth()), std::min(dc->GetHeight(), frame_.GetHeight())};
      frame_.Draw(0, 0, false, false, false, whole, dc);
    }
  }
  TNovaCustomImage::PaintSelf(target);
}

bool TNovaVideo::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_COUNT: v = TPropValue::OfInt(item_ ? item_->GetLen() : 0); return true;
    case PR_ONIDLE: v = TPropValue::OfStr(onIdle_); return true;
    case PR_OVERLAY: v = TPropValue::OfFlag(overlay_); return true;
    default: return GetPlaybackProperty(id, v) || TNovaCustomImage::GetProperty(id, v);
  }
}

bool TNovaVideo::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_SOURCE: ChangeSource(v.Str); return true;
    case PR_REPEAT:
      repeat_ = v.Flag;
      if (item_) item_->SetAutoRepeat(repeat_);
      return true;
    case PR_INDEX:
      SetPlaybackProperty(id, v);
      if (item_) Invalidate();
      return true;
    case PR_ONIDLE: onIdle_ = v.Str; return true;
    case PR_OVERLAY: overlay_ = v.Flag; return true;  // for the next item
    default: return SetPlaybackProperty(id, v) || TNovaCustomImage::SetProperty(id, v);
  }
}

void TNovaVideo::SaveToStream(TStream& s) {
  TNovaCustomImage::SaveToStream(s);
  s.WriteString(source_);
  for (bool b : {repeat_, autoScrap_, paused_}) s.WriteByte(b ? 1 : 0);
  WriteVolumeAndPlace(s);
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
  const TSavedPlace place = ReadVolumeAndPlace(s);
  const uint8_t state = s.ReadByte();
  onPlayEnd_ = s.ReadString();
  onIdle_ = s.ReadString();
  if (version > 107) rewindOnLoad_ = s.ReadByte() != 0;
  if (version >= 112) overlay_ = s.ReadByte() != 0;
  if (version > 128) muteOnLoad_ = s.ReadByte() != 0;

  ChangeSource(source);
  paused_ = paused;  // animation-paused came with the control record
  RestorePlayState(place, state, false);
}

}  // namespace nova
