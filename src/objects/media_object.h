#pragma once
// What the media commands (the sound and movie creation commands, MediaPlay, MovieStop) and
// the films ask of an object that plays a medium, whatever its class: the play state and the
// operations that change it. The sound and the video objects implement it.
#include <cstdint>

namespace nova {

// Play states of a sound or a video.
enum TPlayState : uint8_t { LP_PLAY = 0, LP_PLAYFADE = 1, LP_STOP = 2, LP_STOPFADE = 3 };

class TNovaMediaObject {
public:
  virtual ~TNovaMediaObject() = default;
  virtual int32_t PlayState() const = 0;
  // LP_PLAY plays, LP_PLAYFADE fades in over PR_DELAY (plays at once when it is not positive),
  // LP_STOP stops (a sound deletes itself), LP_STOPFADE fades out over PR_DELAY and goes.
  virtual void SetPlayState(int32_t state) = 0;
  // From the beginning again, fading in when the fade time is positive.
  virtual void Replay() = 0;
  // The creation command's last step, after its properties (and before EndInit): the new
  // object starts playing, fading in over PR_DELAY when that is positive.
  void PlayAfterCreation() { SetPlayState(LP_PLAYFADE); }
};

}  // namespace nova
