#pragma once
// The SDL window: one renderer and one streaming texture of the client size, updated in the
// rectangles that changed. The user may resize the window; in it, and in desktop full screen,
// the picture is scaled with its aspect kept (black bars) by the chosen scaling mode, and
// mouse positions are mapped back to client pixels. HiDPI displays draw at their device
// resolution.
#include <SDL.h>

#include <memory>

#include "platform/window.h"

namespace nova {

class TSdlDialogs;

// Needs SDL's video subsystem; raises ENovaError with SDL's message when it cannot start.
// While the window lives it is the parent of the dialogs' boxes (when dialogs are given).
std::unique_ptr<TPlatformWindow> CreateSdlWindow(int width, int height, TSdlDialogs* dialogs = nullptr);

// The SDL window of a window made by CreateSdlWindow, else null (for tests that read back what
// was drawn).
SDL_Window* SdlWindowHandle(TPlatformWindow& window);

}  // namespace nova
