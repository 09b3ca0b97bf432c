#pragma once
// SDL key codes -> Windows virtual-key codes (0 for keys without one). Letters, digits and
// the named keys follow the key code; punctuation follows the key's position on a Japanese
// keyboard (the scan code), as the original platform numbered it there.
#include <cstdint>

namespace nova {

int VirtualKeyFromSdl(int32_t keycode, int32_t scancode);

}  // namespace nova
