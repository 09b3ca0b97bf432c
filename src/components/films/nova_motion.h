#pragma once
// TNovaMotion: a film played on one control at 60 frames per second (the control's picture,
// place and looks come from the film's tracks). Owned by the control it drives; not saved
// (the control loads it again from its source).
#include <cstdint>
#include <memory>
#include <string>

#include "base/geometry.h"
#include "components/films/film_manager.h"
#include "components/images/image_motion.h"

namespace nova {

class TNovaControl;
struct TComponentServices;

class TNovaMotion : public TImageMotion {
public:
  // Loads the film; one that cannot be read is reported on stderr and plays as an empty film
  // (the first step finishes it).
  TNovaMotion(TNovaControl& control, const TComponentServices& services, const std::string& file);
  ~TNovaMotion() override;

  bool Step(uint32_t elapsedMs) override;
  void Rewind() override;
  bool Finished() const override { return finished_; }
  int32_t CurrentFrame() const override { return currentFrame_; }
  int32_t FrameCount() const override { return film_.FilmFrameCount(); }
  void SetElapsed(int32_t ms) override { elapsed_ = ms; }
  int32_t Elapsed() const { return elapsed_; }
  TFilmManager& Film() { return film_; }

protected:
  // A motion shared by several controls plays on one at a time: the film moves to another
  // control, and the last one is left as it is when the motion goes (it may be gone already).
  void Drive(TNovaControl& control);
  void Release() { control_ = nullptr; }

private:
  TNovaControl* control_;
  TFilmManager film_;
  int32_t elapsed_ = 0;
  int32_t startup_ = 2;
  bool finished_ = false;
  bool priorityRecorded_ = false;
  int32_t currentFrame_ = 0;
  TPoint lastPosition_;
};

// The maker the game puts into TComponentServices::MakeMotion (the services must outlive
// every motion it makes).
TMotionMaker NovaMotionMaker(const TComponentServices& services);

}  // namespace nova
