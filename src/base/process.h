#pragma once
// Process-wide state that every subsystem may touch: the quitting flag, the close request to
// the main window, the frame clock and the application title. The two flags may be set from
// a signal handler.
#include <cstdint>
#include <string>

namespace nova {

// Once set: start-up stops, the interpreter ends its pass, frames return early.
bool Quitting();
void SetQuitting(bool on);

// Asks the main window to close (after the current frame).
void PostCloseRequest();
bool CloseRequested();
void ClearCloseRequest();

// The frame clock of the main loop (milliseconds). The main loop writes it; commands, objects
// and the trace read it.
struct TFrameClock {
  uint32_t LastTick = 0;    // timer value at the last counted tick
  uint32_t Total = 0;       // total counted milliseconds: the scenario clock
  uint32_t LastDelta = 0;   // the last frame's elapsed milliseconds
  uint32_t FrameCount = 0;  // incremented once per frame
  uint32_t FrameBudget = 16;
  uint32_t DrawDivisor = 1;
};
TFrameClock& FrameClock();
// The scenario clock objects time their fades, waits and animations by.
inline uint32_t ScenarioNow() { return FrameClock().Total; }

// The application title (Shift-JIS): captions of prompts; set from the project name.
const std::string& ApplicationTitle();
void SetApplicationTitle(const std::string& title);

}  // namespace nova
