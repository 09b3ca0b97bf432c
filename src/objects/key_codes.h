#pragma once
// The virtual-key codes the scene's key state and the objects' key handling use.
namespace nova {

constexpr int kKeyEnter = 0x0D, kKeyEscape = 0x1B, kKeySpace = 0x20;
constexpr int kKeyPageUp = 0x21, kKeyPageDown = 0x22;
constexpr int kKeyLeft = 0x25, kKeyUp = 0x26, kKeyRight = 0x27, kKeyDown = 0x28;

}  // namespace nova
