#pragma once
// The motion an image, button state or box plays when its source is a motion file (".nmt"):
// a film that animates the control and supplies its pictures. The motion layer provides it
// through TComponentServices::MakeMotion; without that maker a motion source loads nothing.
// Films give the control its pictures through TNovaCustomImage::ShowPicture.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace nova {

class TNovaControl;

class TImageMotion {
public:
  virtual ~TImageMotion() = default;
  // One step by the frame's elapsed time; true exactly on the step in which it finishes.
  virtual bool Step(uint32_t elapsedMs) = 0;
  // Back to the start: elapsed 0, start-up counter 2, finished cleared.
  virtual void Rewind() = 0;
  virtual bool Finished() const = 0;
  virtual int32_t CurrentFrame() const = 0;
  virtual int32_t FrameCount() const = 0;
  // The time position in milliseconds (an image's PR_INDEX at 60 frames per second).
  virtual void SetElapsed(int32_t ms) = 0;
};

// Creates the motion of a motion file for a control (null when it cannot be made).
using TMotionMaker = std::function<std::unique_ptr<TImageMotion>(TNovaControl& control, const std::string& file)>;

}  // namespace nova
