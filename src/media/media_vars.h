#pragma once
// The system variables and the function of media: @SoundON, @MidiPort, @MidiPorts,
// @DisplayModeCount, @DisplayModeIndex and GetDisplayMode, bound through the dispatcher.
#include <functional>

#include "media/media_system.h"
#include "params/sysfunc.h"

namespace nova {

struct TMediaVarHooks {
  // After @DisplayModeIndex chose a mode (the window's ApplyScreenMode).
  std::function<void()> ApplyScreenMode;
  // After @SoundON changed (the scene keeps its own copy of the flag).
  std::function<void(bool)> SoundSwitched;
};

void RegisterMediaVariables(TSysFuncMan& funcs, TMediaSystem& media, TMediaVarHooks hooks = {});
void UnregisterMediaVariables(TSysFuncMan& funcs);

}  // namespace nova
