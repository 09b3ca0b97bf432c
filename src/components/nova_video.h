#pragma once
// The movie (TNovaVideo): an image whose picture is the current frame of a movie played by the
// video manager, either drawn into the object's own frame surface (and so composed like any
// image: zoom, blend, rotation, clipping) or, with PR_OVERLAY, drawn by the video manager over
// the finished picture at the object's place. Play states, fades, the pause rule and the saved
// form follow the sound's (nova_sound.h), except that a stopped movie stays (without a picture).
#include <cstdint>
#include <optional>
#include <string>

#include "components/nova_custom_image.h"
#include "components/nova_mixer.h"
#include "objects/media_object.h"
#include "render/dibx.h"

namespace nova {

class TMediaSystem;
class TVideoItem;

class TNovaVideo : public TNovaCustomImage, public TNovaMediaObject {
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

  int32_t PlayState() const override { return playState_; }
  void SetPlayState(int32_t state) override;
  void Replay() override;

  const std::string& Source() const { return source_; }
  TVideoItem* Item() const { return item_; }
  bool Overlay() const { return overlay_; }
  // Where the overlay is shown (empty: hidden).
  const TRect& OverlayRect() const { return overlayDest_; }

protected:
  void PaintSelf(TCustomDIBX& target) override;

private:
  TMediaSystem* Media() const;
  TVideoItem* CreateItem();
  void ReleaseItem(TVideoItem*& item);
  void SetSource(const std::string& name);
  void SetPausedFlags(bool paused, bool aniPaused);
  void ApplyPauseRule();
  void StartFadeIn();
  int32_t ItemVolume() const { return EffectiveVolume(volume_, false); }
  void PlaceOverlay();

  std::string source_;
  uint8_t playState_ = LP_STOP;
  TVideoItem* item_ = nullptr;    // owned by the video manager
  TVideoItem* fading_ = nullptr;  // an item given up to its fade-out (stopped with a fade)
  TDIBX frame_;                   // the movie's current frame, the image's picture
  std::optional<TNovaMixer> fader_;
  bool repeat_ = false, paused_ = false, autoScrap_ = false, ended_ = false;
  bool rewindOnLoad_ = true, muteOnLoad_ = false, overlay_ = true;
  bool pausedByCabinet_ = false;
  int32_t volume_ = 0, balance_ = 0, fadeTime_ = 0, startPos_ = 0;
  std::string onPlayEnd_, onIdle_;
  uint32_t lastCheck_ = 0;  // the scenario clock at the last new-frame check
  TRect overlaySource_, overlayDest_;
};

}  // namespace nova
