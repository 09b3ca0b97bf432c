#pragma once
// One SDL subsystem held for an object's life (SDL counts the init calls).
#include <SDL.h>

#include "base/error.h"

namespace nova {

class TSdlSubsystem {
public:
  explicit TSdlSubsystem(Uint32 flags) : flags_(flags) {
    // SIGINT and SIGTERM stay with the player's own handler (platform/interrupt.h).
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(flags_) != 0) RaiseError(SDL_GetError());
  }
  ~TSdlSubsystem() { SDL_QuitSubSystem(flags_); }
  TSdlSubsystem(const TSdlSubsystem&) = delete;
  TSdlSubsystem& operator=(const TSdlSubsystem&) = delete;

private:
  Uint32 flags_;
};

}  // namespace nova
