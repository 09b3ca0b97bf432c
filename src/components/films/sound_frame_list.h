#pragma once
// Sound tracks (TSoundFrameList): the chain's sound (TNovaSound in the game scene, owned by the
// chain's first track) follows the film: its volume and balance are animated, it pauses on the
// film's last frame and when the film goes back, follows the film's time when it is 3 s or more
// away from it, and restarts when the film loops back into it.
#include "components/films/frame_list.h"

namespace nova {

class TNovaSound;

class TSoundFrameList : public TCustomFrameList {
public:
  explicit TSoundFrameList(TFilmManager& film);
  int TrackType() const override { return FT_SOUND; }
  bool ShowAt(int32_t n) override;
  void LoadResources() override;
  TNovaObject* GetObject() const override;
  bool TrackPaused() const override { return paused_; }
  void SetTrackPaused(bool paused) override;
  // The chain's sound, created (paused, then played) when it is missing.
  TNovaSound* EnsureSound();
  TNovaSound* Sound() const;
  // PR_PAUSED of the chain's sound (when there is one).
  void PauseSound(bool paused);

private:
  TNovaObject* CreateObject() override;
  int32_t lastFrame_ = -1;
  bool paused_ = false;
};

}  // namespace nova
