#include "objects/input_state.h"

namespace nova {

void TInputState::SetKeyState(int code, bool down) {
  if (!InRange(code) || held_[code] == down) return;
  held_[code] = down;
  repeatSinceLastFrame_[code] = down;
  if (down) ++keyDowns_;
}

void TInputState::SetKeyPressed(int code) {
  if (InRange(code)) pressedSinceLastFrame_[code] = true;
}

void TInputState::ClearKeys() {
  held_.fill(false);
  pressedSinceLastFrame_.fill(false);
  repeatSinceLastFrame_.fill(false);
}

void TInputState::BeginFrame() {
  pressedThisFrame_ = pressedSinceLastFrame_;
  pressedSinceLastFrame_.fill(false);
  repeatThisFrame_ = repeatSinceLastFrame_;
  repeatSinceLastFrame_.fill(false);
  for (TScreenMouseState& s : Screens) {
    s.LeftPressedThisFrame = s.LeftPressedNow;
    s.RightPressedThisFrame = s.RightPressedNow;
    s.WheelDownThisFrame = s.WheelDownNow;
    s.WheelUpThisFrame = s.WheelUpNow;
    s.LeftPressedNow = s.RightPressedNow = s.WheelDownNow = s.WheelUpNow = false;
  }
}

}  // namespace nova
