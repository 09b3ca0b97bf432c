#pragma once
// The SDL window: one renderer and one streaming texture of the client size. In full screen
// the window covers the desktop and the renderer's logical size scales the picture with its
// aspect kept (black bars) and maps mouse positions back to client coordinates.
#include <SDL.h>

#include <memory>

#include "platform/window.h"

namespace nova {

class TSdlDialogs;

// Needs SDL's video subsystem; raises ENovaError with SDL's message when it cannot start.
// While the window lives it is the parent of the dialogs' boxes (when dialogs are given).
std::unique_ptr<TPlatformWindow> CreateSdlWindow(int width, int height, TSdlDialogs* dialogs = nullptr);

}  // namespace nova
