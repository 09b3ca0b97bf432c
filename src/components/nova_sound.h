#pragma once
// The sound (TNovaSound): a component that plays one music or sound file through the media
// managers, chosen by the file's extension (".mid"/".sgt" MIDI, ".wma"/".asf"/".wmv" Windows
// Media, ".ogg"/".wav" Ogg, "CD_" + track the CD). It is created stopped; a play state starts
// it (fading in over PR_DELAY), and it deletes itself when stopped, when a fade-out completes,
// at its end with auto-scrap, and when its file is missing with auto-scrap.
#include <cstdint>
#include <optional>
#include <string>

#include "components/nova_mixer.h"
#include "objects/media_object.h"
#include "objects/nova_object.h"

namespace nova {

class TDMediaItem;
class TMediaSystem;
struct TComponentServices;

class TNovaSound : public TNovaComponent, public TNovaMediaObject {
public:
  TNovaSound(TNovaBaseList* scene, const TComponentServices& services);
  ~TNovaSound() override;

  uint8_t TypeCode() const override { return LT_SOUND; }
  bool Paused() const override { return paused_; }
  bool Update(uint32_t elapsedMs) override;
  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

  int32_t PlayState() const override { return playState_; }
  void SetPlayState(int32_t state) override;
  void Replay() override;

  const std::string& Source() const { return source_; }
  TDMediaItem* Item() const { return item_; }
  bool Ended() const { return ended_; }
  bool Fading() const { return fader_.has_value(); }

private:
  TMediaSystem* Media() const;
  bool IsMidi() const;
  int32_t ItemVolume() const { return EffectiveVolume(volume_, IsMidi()); }
  // The item of the source from its manager; null without one (no manager for the name, a
  // missing file, no media). Errors of the data are raised.
  TDMediaItem* CreateItem();
  void ReleaseItem();
  void SetSource(const std::string& name);
  void SetRepeat(bool on);
  void SetPausedFlags(bool paused, bool aniPaused);
  void ApplyPauseRule();
  void StartFadeIn();
  int32_t MediaLength();

  const TComponentServices& services_;
  std::string source_;
  uint8_t playState_ = LP_STOP;  // LP_PLAY .. LP_STOPFADE
  TDMediaItem* item_ = nullptr;  // owned by its manager
  std::optional<TNovaMixer> fader_;
  bool repeat_ = false, paused_ = false, aniPaused_ = false, autoScrap_ = false, ended_ = false;
  bool rewindOnLoad_ = true, muteOnLoad_ = false;
  int32_t repeatPos_ = 0, volume_ = 0, balance_ = 0, fadeTime_ = 0, startPos_ = 0;
  std::string onPlayEnd_;
};

}  // namespace nova
