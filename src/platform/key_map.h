#pragma once
// SDL key codes -> Windows virtual-key codes (0 for keys without one).
#include <cstdint>

namespace nova {

// keycode: an SDL_Keycode; scancode: its SDL_Scancode (used for keys whose keycode depends on
// the layout in ways Windows does not follow, such as the Japanese keyboard's extra keys).
int VirtualKeyFromSdl(int32_t keycode, int32_t scancode);

}  // namespace nova
