#pragma once
// Input as the player sees it: keys already carry the Windows virtual-key codes that
// scenarios test, mouse positions are in client coordinates of the window (full-screen
// scaling already undone).
#include <cstdint>

namespace nova {

enum class InputKind { KeyDown, KeyUp, MouseDown, MouseUp, MouseMove, Wheel, FocusGained, FocusLost, Close, Expose };
enum class MouseButton { None, Left, Right, Middle };

struct TInputEvent {
  InputKind Kind = InputKind::Expose;
  int Key = 0;          // virtual-key code (0 when the key has none)
  bool Repeat = false;  // key-down produced by auto-repeat
  MouseButton Button = MouseButton::None;
  int X = 0, Y = 0;     // client coordinates
  int Wheel = 0;        // > 0 away from the user (up), < 0 towards (down)
  bool Alt = false;     // key events: an Alt key was held
};

// Virtual-key codes the player itself looks at.
namespace vk {
constexpr int Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18, Escape = 27, Space = 32;
constexpr int Prior = 33, Next = 34, End = 35, Home = 36, Left = 37, Up = 38, Right = 39, Down = 40;
constexpr int Insert = 45, Delete = 46, Apps = 93, Numpad0 = 96, F1 = 112, F10 = 121, F11 = 122, F12 = 123;
}  // namespace vk

}  // namespace nova
