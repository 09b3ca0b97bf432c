#pragma once
// The playback that the sound (TNovaSound) and the movie (TNovaVideo) share: one media item of
// the source, the play states, fades, the pause rule and the properties both read and write
// alike. The owner opens its kind of item and says where it differs through the hooks below:
// a stopped sound deletes itself while a stopped movie stays (without a picture); a fading
// sound keeps its item while a fading movie hands it over to the fade.
#include <cstdint>
#include <optional>
#include <string>

#include "components/media/nova_mixer.h"
#include "objects/media_object.h"
#include "base/stream.h"
#include "objects/property_value.h"

namespace nova {

class TDMediaItem;
class TMediaSystem;
class TNovaObject;
struct TComponentServices;

class TMediaPlayback : public TNovaMediaObject {
public:
  int32_t PlayState() const override { return playState_; }
  void SetPlayState(int32_t state) override;
  void Replay() override;

  const std::string& Source() const { return source_; }
  bool Ended() const { return ended_; }
  bool Fading() const { return fader_.has_value(); }

protected:
  TMediaPlayback(TNovaObject& owner, const TComponentServices& services);
  ~TMediaPlayback() override = default;

  // The item of the source from its manager; null without one (no manager for the name, a
  // missing file, no media). Errors of the data are raised.
  virtual TDMediaItem* OpenItem() = 0;
  // The item volume of PR_VOLUME for the current item.
  virtual int32_t ItemVolume() const = 0;
  // The animation pause (PR_ANIPAUSED): the sound keeps its own, the movie's is its control's.
  virtual bool& AniPausedFlag() = 0;
  // Whether a start (play, fade-in, a new PR_INDEX) leaves the item held: the movie heeds both
  // pauses, the sound only PR_PAUSED.
  virtual bool StartHeld() const = 0;
  // A new item was opened (its pan is set); the play position follows.
  virtual void ItemOpened() {}
  // The item takes the repeat settings.
  virtual void ApplyRepeat();
  // LP_PLAY starts the item (its volume set): a held sound is only paused.
  virtual void StartItem();
  // LP_STOP released the item.
  virtual void Stopped() = 0;
  // LP_STOPFADE set the fader going on the item.
  virtual void FadeOutStarted() = 0;

  TMediaSystem* Media() const;
  // Whether the game has the source (a name on the user's disk is not checked here).
  bool GameHasSource() const;
  // The item goes to the fade: the owner no longer drives it, and it is released when a newer
  // one is handed over, with the source or with the owner.
  void HandOverToFade();
  // Every item silenced and released (the owner's destructor: hooks are gone by then).
  void SilenceAndRelease();
  void ReleaseItem();
  // A new source: the items are released and the playback is stopped, without the stop's rule
  // (the next play state starts the new file).
  void SetSource(const std::string& name);
  void SetPausedFlags(bool paused, bool aniPaused);
  void ApplyPauseRule();
  void StartFadeIn();
  // The fader's step of the frame: true once a fade-out has completed (the owner goes).
  bool StepFader(uint32_t now);

  // The run of the saved form both share: volume, balance, fade time and play position (the
  // volume and the balance are taken at once; the rest waits for RestorePlayState).
  struct TSavedPlace {
    int32_t FadeTime = 0, Position = 0;
  };
  void WriteVolumeAndPlace(TStream& s);
  TSavedPlace ReadVolumeAndPlace(TStream& s);
  // The saved play state set again, once the source is set and the pause flags are loaded: at
  // the saved place unless rewinding on load; an ended item keeps its state without playing.
  void RestorePlayState(const TSavedPlace& place, uint8_t state, bool ended);

  // The properties both classes read and write alike: true when taken.
  bool GetPlaybackProperty(int id, TPropValue& value);
  bool SetPlaybackProperty(int id, const TPropValue& value);

  std::string source_;
  uint8_t playState_ = LP_STOP;  // LP_PLAY .. LP_STOPFADE
  TDMediaItem* item_ = nullptr;  // owned by its manager
  std::optional<TNovaMixer> fader_;
  bool repeat_ = false, paused_ = false, autoScrap_ = false, ended_ = false;
  bool rewindOnLoad_ = true, muteOnLoad_ = false;
  int32_t volume_ = 0, balance_ = 0, fadeTime_ = 0, startPos_ = 0;
  std::string onPlayEnd_;

private:
  static void Release(TMediaSystem* media, TDMediaItem*& item);

  TNovaObject& owner_;
  const TComponentServices& mediaServices_;
  TDMediaItem* fading_ = nullptr;  // an item handed over to its fade-out
};

}  // namespace nova
