#pragma once
// The scene's input: both screens' mouse state and the keyboard tables, written by the main
// window as events arrive and handed over to "this frame" by the scene's input step.
#include <array>
#include <cstdint>

namespace nova {

struct TScreenMouseState {
  int32_t X = 0, Y = 0;  // panel coordinates
  bool Moved = false;
  bool LeftPressedNow = false, RightPressedNow = false;
  bool LeftPressedThisFrame = false, RightPressedThisFrame = false;
  bool LeftHeld = false, RightHeld = false;
  bool WheelDownNow = false, WheelUpNow = false;
  bool WheelDownThisFrame = false, WheelUpThisFrame = false;
};

class TInputState {
public:
  TScreenMouseState Screens[2];
  int Displayed = 0;  // index of the displayed screen

  TScreenMouseState& DisplayedScreen() { return Screens[Displayed & 1]; }

  // Key codes are 0..255.
  void SetKeyState(int code, bool down);
  void SetKeyPressed(int code);
  bool IsKeyHeld(int code) const { return InRange(code) && held_[code]; }
  bool IsKeyPressedThisFrame(int code) const { return InRange(code) && pressedThisFrame_[code]; }
  bool IsKeyRepeatThisFrame(int code) const { return InRange(code) && repeatThisFrame_[code]; }
  int KeyDownCount() const { return keyDowns_; }  // key-down transitions seen since creation
  void ClearKeys();

  // The per-frame hand-over: pressed-since-last-frame -> this frame, "now" mouse flags ->
  // this frame.
  void BeginFrame();

private:
  static bool InRange(int code) { return code >= 0 && code < 256; }
  std::array<bool, 256> held_{}, pressedSinceLastFrame_{}, pressedThisFrame_{};
  std::array<bool, 256> repeatSinceLastFrame_{}, repeatThisFrame_{};
  int keyDowns_ = 0;
};

}  // namespace nova
