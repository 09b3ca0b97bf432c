#pragma once
// The sound (TNovaSound): a component that plays one music or sound file through the media
// managers, chosen by the file's extension (".mid"/".sgt" MIDI, ".wma"/".asf"/".wmv" Windows
// Media, ".ogg"/".wav" Ogg, "CD_" + track the CD). It is created stopped; a play state starts
// it (fading in over PR_DELAY), and it deletes itself when stopped, when a fade-out completes,
// at its end with auto-scrap, and when its file is missing with auto-scrap.
#include <cstdint>
#include <string>

#include "components/media/media_playback.h"
#include "objects/nova_object.h"

namespace nova {

class TDMediaItem;
struct TComponentServices;

class TNovaSound : public TNovaComponent, public TMediaPlayback {
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

  int32_t PlayState() const override { return TMediaPlayback::PlayState(); }
  void SetPlayState(int32_t state) override { TMediaPlayback::SetPlayState(state); }

  TDMediaItem* Item() const { return item_; }

private:
  TDMediaItem* OpenItem() override;
  int32_t ItemVolume() const override { return EffectiveVolume(volume_, IsMidi()); }
  bool& AniPausedFlag() override { return aniPaused_; }
  bool StartHeld() const override { return paused_; }
  void ApplyRepeat() override;
  // A stopped sound deletes itself.
  void Stopped() override { MarkForDeletion(); }
  // The name is free at once for a new sound, and a fading sound is never saved.
  void FadeOutStarted() override;

  bool IsMidi() const;
  void SetRepeat(bool on);
  int32_t MediaLength();

  bool aniPaused_ = false;
  int32_t repeatPos_ = 0;
};

}  // namespace nova
