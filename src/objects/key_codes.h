#pragma once
// The virtual-key codes the scene's key state and the objects' key handling use, and the test
// objects make of the keys pressed in a frame.
#include <algorithm>
#include <vector>

namespace nova {

constexpr int kKeyEnter = 0x0D, kKeyEscape = 0x1B, kKeySpace = 0x20;
constexpr int kKeyPageUp = 0x21, kKeyPageDown = 0x22;
constexpr int kKeyLeft = 0x25, kKeyUp = 0x26, kKeyRight = 0x27, kKeyDown = 0x28;

inline bool HasKey(const std::vector<int>& keys, int key) { return std::find(keys.begin(), keys.end(), key) != keys.end(); }
inline bool HasKey(const std::vector<int>& keys, int a, int b) { return HasKey(keys, a) || HasKey(keys, b); }

}  // namespace nova
