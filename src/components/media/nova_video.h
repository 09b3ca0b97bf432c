#pragma once
// The movie (TNovaVideo): an image whose picture is the current frame of a movie played by the
// video manager, either drawn into the object's own frame surface (and so composed like any
// image: zoom, blend, rotation, clipping) or, with PR_OVERLAY, drawn by the video manager over
// the finished picture at the object's place. Play states, fades and the pause rule are the
// playback it shares with the sound (media_playback.h), except that a stopped movie stays
// (without a picture) and a fading one hands its item over to the fade.
#include <cstdint>
#include <string>

#include "components/media/media_playback.h"
#include "components/images/nova_custom_image.h"
#include "render/dibx.h"

namespace nova {

class TVideoItem;

class TNovaVideo : public TNovaCustomImage, public TMediaPlayback {
public:
  TNovaVideo(TNovaBaseList* scene, TComponentServices& services);
  ~TNovaVideo() override;

  uint8_t TypeCode() const override { return LT_VIDEO; }
  bool Paused() const override { return paused_; }
  bool Update(uint32_t elapsedMs) override;
  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;
  void EnteredCabinet() override;
  void LeftCabinet() override;
  void PositionChanged() override;

  int32_t PlayState() const override { return TMediaPlayback::PlayState(); }
  void SetPlayState(int32_t state) override { TMediaPlayback::SetPlayState(state); }

  // The movie item (the video manager makes only these).
  TVideoItem* Item() const;
  bool Overlay() const { return overlay_; }
  // Where the overlay is shown (empty: hidden).
  const TRect& OverlayRect() const { return overlayDest_; }

protected:
  void PaintSelf(TCustomDIBX& target) override;

private:
  TDMediaItem* OpenItem() override;
  int32_t ItemVolume() const override { return EffectiveVolume(volume_, false); }
  bool& AniPausedFlag() override { return aniPaused_; }
  bool StartHeld() const override { return paused_ || aniPaused_; }
  // The frame surface of the movie's size becomes the picture, and the overlay is placed.
  void ItemOpened() override;
  // A held movie is started and paused at once.
  void StartItem() override;
  // A stopped movie stays, without a picture.
  void Stopped() override;
  // The fader drives the item it was given; the object no longer shows new frames.
  void FadeOutStarted() override { HandOverToFade(); }

  // A new source: the picture goes with the old movie.
  void ChangeSource(const std::string& name);
  void PlaceOverlay();

  TDIBX frame_;  // the movie's current frame, the image's picture
  bool overlay_ = true;
  bool pausedByCabinet_ = false;
  std::string onIdle_;
  uint32_t lastCheck_ = 0;  // the scenario clock at the last new-frame check
  TRect overlaySource_, overlayDest_;
};

}  // namespace nova
