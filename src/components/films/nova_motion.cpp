#include "components/films/nova_motion.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>

#include "base/encoding.h"
#include "components/films/frame_list.h"
#include "objects/nova_control.h"

namespace nova {

namespace {

int32_t MotionFrameAt(int64_t ms) {
  return static_cast<int32_t>(std::clamp<double>(std::nearbyint(ms / kFilmFrameMs), INT32_MIN, INT32_MAX));
}

int32_t MotionMsAt(int64_t frame) {
  return static_cast<int32_t>(std::clamp<double>(std::nearbyint(frame * kFilmFrameMs), INT32_MIN, INT32_MAX));
}

bool Flag(TNovaControl& control, int id) {
  TPropValue v;
  return control.GetProperty(id, v) && v.Flag;
}

// "novaplayer: NAME: REASON" (the film reader's messages name the film already).
void ReportMotionFilm(const std::string& name, const std::string& why) {
  const std::string line = why.compare(0, name.size() + 1, name + ":") == 0 ? why : name + ": " + why;
  std::fprintf(stderr, "novaplayer: %s\n", SjisToUtf8(line).c_str());
}

}  // namespace

TNovaMotion::TNovaMotion(TNovaControl& control, const TComponentServices& services, const std::string& file)
    : control_(&control), film_(services) {
  film_.SetControlMode(&control);
  // The sounds of a motion play in the game scene.
  film_.SetSoundScene(control.Scene());
  try {
    film_.LoadFilm(file);
  } catch (const std::exception& e) {
    ReportMotionFilm(file, e.what());
  }
}

TNovaMotion::~TNovaMotion() {
  // The control goes back to its own place and order (it may be being destroyed itself).
  if (control_) control_->MotionGone();
}

void TNovaMotion::Drive(TNovaControl& control) {
  control_ = &control;
  film_.SetControlMode(&control);
}

void TNovaMotion::Rewind() {
  elapsed_ = 0;
  startup_ = 2;
  finished_ = false;
}

bool TNovaMotion::Step(uint32_t elapsedMs) {
  if (!control_) return false;
  const TPoint position{control_->Left(), control_->Top()};
  bool repositioned = false;
  if (startup_ <= 0 && film_.Relative() && position != lastPosition_) {
    // A script moved the control: the rest of the film plays from the new place.
    film_.SetOrigin(position);
    finished_ = false;
    repositioned = true;
  }
  if (finished_) return false;
  const bool first = startup_ == 2;
  if (first) {
    film_.SetOrigin(film_.Relative() ? position : TPoint{});
    // The control's own priority, taken once: after a rewind the control holds the priority
    // the film gave it, which would add the track's priority again.
    if (!priorityRecorded_) film_.SetControlPriority(control_->Priority());
    priorityRecorded_ = true;
    lastPosition_ = position;
  }
  // The first two steps show frame 0.
  if (startup_ < 1 && !Flag(*control_, PR_ANIPAUSED))
    elapsed_ = static_cast<int32_t>(std::min<int64_t>(int64_t{elapsed_} + elapsedMs, INT32_MAX));
  int32_t frame = MotionFrameAt(elapsed_);
  const int32_t count = film_.FilmFrameCount();
  bool result = false;
  if (frame >= count) {
    if (Flag(*control_, PR_REPEAT)) {
      frame = count > 0 ? static_cast<int32_t>(std::min<int64_t>(int64_t{frame % count} + film_.LoopStart(), count - 1)) : 0;
      elapsed_ = MotionMsAt(frame);
    } else {
      frame = count - 1;
      finished_ = true;
      result = true;
    }
  }
  if (first || frame != film_.CurrentFrame() || repositioned) film_.ShowFrame(frame);
  currentFrame_ = frame;
  if (startup_ > 0) --startup_;
  lastPosition_ = TPoint{control_->Left(), control_->Top()};
  return result;
}

TMotionMaker NovaMotionMaker(const TComponentServices& services) {
  const TComponentServices* s = &services;
  return [s](TNovaControl& control, const std::string& file) -> std::unique_ptr<TImageMotion> {
    return std::make_unique<TNovaMotion>(control, *s, file);
  };
}

}  // namespace nova
