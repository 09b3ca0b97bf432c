#pragma once
// Animated images. TNovaCustomImages steps through the frames of a frame list by their
// durations (and evaluates the PR_DELAY expression of its creation command each time the last
// frame of a longer animation is shown); TNovaImages (LT_IMAGES, "画像サーフェス") is the
// scenario's image: a source file per image state (one here, four for buttons), repeat,
// auto-scrap and the play-end event. A source naming a motion file (".nmt") gets a motion
// instead of frames (see image_motion.h).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/images/image_motion.h"
#include "components/images/nova_custom_image.h"
#include "components/images/nova_image_list.h"

namespace nova {

class TNovaParser;

class TNovaCustomImages : public TNovaCustomImage {
public:
  TNovaCustomImages(TNovaBaseList* scene, TComponentServices& services);
  ~TNovaCustomImages() override;

  // PR_INDEX: with a motion its current frame; writing it moves the motion's time instead.
  int32_t Index() const;
  int32_t FrameCount() const;
  void SetIndex(int32_t i);
  int32_t FrameCountdown() const { return frameCountdown_; }
  int32_t Brightness() const { return brightness_; }
  void SetBrightness(int32_t brightness);
  bool Paused() const override { return paused_; }
  void SetPaused(bool on) { paused_ = on; }
  // PR_PLAYING.
  bool Playing() const;
  bool HasMotion() const override { return CurrentMotion() != nullptr; }
  // The PR_DELAY expression of the creation command: added to the countdown whenever the last
  // frame of an animation of two or more frames is shown.
  void TakeExpression(int property, std::shared_ptr<TNovaParser> expression) override;

  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  virtual TNovaImageList* CurrentList() = 0;
  virtual const TNovaImageList* CurrentList() const = 0;
  virtual TImageMotion* CurrentMotion() const { return nullptr; }
  virtual bool Repeat() const { return false; }

  enum class TStep { Running, Wrapped, AtEnd };
  // The frame animation of one update: the countdown runs down and the frames advance; AtEnd
  // when the last frame's time has run out without repeat (the image stays there), Wrapped
  // when it ran out and the animation started again from frame 0.
  TStep AdvanceFrames(uint32_t elapsedMs, bool repeat);
  // A valid frame, visible, neither paused nor animation-paused.
  bool CanAnimate() const;
  // The picture goes (a new source): index -1.
  void DropPicture();
  // After loading: the saved index and countdown, once the source is set again.
  void RestoreLoadedIndex();

  int32_t frameCountdown_ = 0;
  int32_t index_ = -1;
  int32_t brightness_ = 0;
  bool paused_ = false;
  bool playEndPosted_ = false;
  std::shared_ptr<TNovaParser> lastFrameWait_;

private:
  int32_t loadedIndex_ = -1, loadedCountdown_ = 0;
  bool restoring_ = false;
};

// One image state: its source and the frames or the motion it gave.
struct TImageState {
  explicit TImageState(TBrioCollection* cache) : List(cache) {}
  std::string Source;
  TNovaImageList List;
  std::unique_ptr<TImageMotion> Motion;
  bool Shown() const { return List.Count() > 0 || Motion != nullptr; }
};

// Loads a state's frames (".bri") or motion (".nmt") for the control; other names load
// nothing. The state is emptied first; a damaged file raises after that.
void LoadImageState(TImageState& state, const std::string& name, TComponentServices& services, TNovaControl& control);

class TNovaImages : public TNovaCustomImages {
public:
  TNovaImages(TNovaBaseList* scene, TComponentServices& services, int stateCount = 1);
  ~TNovaImages() override;
  uint8_t TypeCode() const override { return LT_IMAGES; }

  const std::string& Source() const { return states_[0]->Source; }
  // Loads the source of state 0 (PR_SOURCE); a damaged file raises the image error after the
  // image has been left without frames.
  virtual void SetSource(const std::string& name);
  bool Repeat() const override { return repeat_; }
  void SetRepeat(bool on);
  bool AutoScrap() const { return autoScrap_; }
  TImageMotion* Motion() const { return CurrentMotion(); }

  bool Update(uint32_t elapsedMs) override;
  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  virtual int DisplayedState() const { return 0; }
  TNovaImageList* CurrentList() override { return &states_[static_cast<size_t>(DisplayedState())]->List; }
  const TNovaImageList* CurrentList() const override {
    return &states_[static_cast<size_t>(DisplayedState())]->List;
  }
  TImageMotion* CurrentMotion() const override { return states_[static_cast<size_t>(DisplayedState())]->Motion.get(); }
  void LoadStateSource(int state, const std::string& name);
  // Sets a source while loading saved data: a file that cannot be read leaves the state
  // empty instead of failing the whole load.
  void LoadStateSourceQuietly(int state, const std::string& name);
  // The motion step of the displayed state: true when it finished in this step.
  bool StepMotion(uint32_t elapsedMs);

  std::vector<std::unique_ptr<TImageState>> states_;
  bool repeat_ = false;
  bool autoScrap_ = false;
  std::string onPlayEnd_, onIdle_;
};

}  // namespace nova
