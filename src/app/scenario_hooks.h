#pragma once
// Connects the main window to the running game: the variable store, the system functions
// and the project of a game session, with the system variables' environment stacked from the
// window's part (clocks, input, screen) and the scenario's part (call, project).
#include <memory>

#include "app/game_hooks.h"

namespace nova {

std::unique_ptr<TGameHooks> CreateScenarioHooks();

}  // namespace nova
