#pragma once
// The fader (TNovaMixer) that sounds and videos share: a fade-in from silence to a volume, or a
// fade-out from the item's volume to silence, stepped once a frame on the scenario clock.
// Volumes are the media items' hundredths of a decibel (-10000 silent .. 0 full).
#include <cstdint>

namespace nova {

// A media item's volume that is silence (item volumes are hundredths of a decibel, 0 full).
constexpr int32_t kSilent = -10000;

class TDMediaItem;

// The item volume of a scenario volume (PR_VOLUME, 1000 = full): MIDI: volume x 10 - 10000;
// other media: silent at 0 and below, 5 x volume - 5000 from 1 to 999, full from 1000 on.
int32_t EffectiveVolume(int32_t volume, bool midi);

class TNovaMixer {
public:
  // A fade-in to target, or a fade-out to silence, over duration ms. The item is not owned.
  static TNovaMixer FadeIn(TDMediaItem* item, int32_t target, int32_t duration);
  static TNovaMixer FadeOut(TDMediaItem* item, int32_t duration);

  // One step at the scenario clock's now: true once the volume has reached the target (the
  // fader is then complete).
  bool Step(uint32_t now);
  bool IsFadeOut() const { return fadeOut_; }
  TDMediaItem* Item() const { return item_; }

private:
  TNovaMixer(TDMediaItem* item, bool fadeOut, int32_t target, int32_t duration)
      : item_(item), fadeOut_(fadeOut), target_(target), duration_(duration) {}
  TDMediaItem* item_;
  bool fadeOut_;
  int32_t start_ = -10000, target_;
  int32_t duration_;
  uint32_t startTick_ = 0;
  bool started_ = false;
};

}  // namespace nova
