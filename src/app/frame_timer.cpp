#include "app/frame_timer.h"

namespace nova {

bool AdvanceFrameClock(TFrameClock& clock, uint32_t now) {
  uint32_t delta = now - clock.LastTick;
  clock.LastTick = now;
  if (delta > kPauseThresholdMs) return false;
  clock.Total += delta;
  clock.LastDelta = delta;
  return true;
}

uint32_t FrameWait(uint32_t budget, uint32_t frameStart, uint32_t now, bool sleepFlag) {
  int64_t left = static_cast<int64_t>(budget) - static_cast<int64_t>(static_cast<uint32_t>(now - frameStart));
  if (sleepFlag) return static_cast<uint32_t>(left < 2 ? 2 : left);
  return static_cast<uint32_t>(left < 0 ? 0 : left);
}

}  // namespace nova
