#pragma once
// The frame clock rules of the main loop: a tick more than 3000 ms after the last counted one
// counts nothing (a pause, a debugger stop, a suspended machine); otherwise the delta is
// added to the total and becomes the frame time.
#include <cstdint>

#include "base/process.h"
#include "platform/clock.h"

namespace nova {

constexpr uint32_t kPauseThresholdMs = 3000;

// True when a frame should run for this tick.
bool AdvanceFrameClock(TFrameClock& clock, uint32_t now);

// How long the loop waits after a frame that began at frameStart (the timer now reads now).
// With the project's sleep flag: max(2, budget + frameStart - now), as the idle driver does;
// otherwise what is left of the budget (0 when the frame took longer).
uint32_t FrameWait(uint32_t budget, uint32_t frameStart, uint32_t now, bool sleepFlag);

}  // namespace nova
