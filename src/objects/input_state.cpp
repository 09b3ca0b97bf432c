#include "objects/input_state.h"

namespace nova {

void TInputState::SetKeyState(int code, bool down) {
  if (!InRange(code) || held_[code] == down) return;
  held_[code] = down;
  repeatSinceLastFrame_[code] = down;
  if (down) {
    ++keyDowns_;
    countdown_[code] = kFirstRepeatMs;
    downKeys_.push_back(code);
    repeatKeys_.push_back(code);
  } else {
    upKeys_.push_back(code);
  }
}

void TInputState::SetKeyPressed(int code) {
  if (InRange(code)) pressedSinceLastFrame_[code] = true;
}

void TInputState::ClearKeys() {
  held_.fill(false);
  pressedSinceLastFrame_.fill(false);
  repeatSinceLastFrame_.fill(false);
  countdown_.fill(0);
  ClearKeyEvents();
}

void TInputState::BeginFrame() {
  pressedThisFrame_ = pressedSinceLastFrame_;
  pressedSinceLastFrame_.fill(false);
  repeatThisFrame_ = repeatSinceLastFrame_;
  for (TScreenMouseState& s : Screens) {
    s.LeftPressedThisFrame = s.LeftPressedNow;
    s.RightPressedThisFrame = s.RightPressedNow;
    s.WheelDownThisFrame = s.WheelDownNow;
    s.WheelUpThisFrame = s.WheelUpNow;
    s.LeftPressedNow = s.RightPressedNow = s.WheelDownNow = s.WheelUpNow = false;
  }
}

void TInputState::ClearKeyEvents() {
  downKeys_.clear();
  upKeys_.clear();
  repeatKeys_.clear();
}

void TInputState::AdvanceRepeats(uint32_t elapsedMs) {
  for (int k = 0; k < 256; ++k) {
    if (!held_[k]) continue;
    countdown_[k] -= static_cast<int32_t>(elapsedMs);
    repeatSinceLastFrame_[k] = countdown_[k] <= 0;
    if (countdown_[k] <= 0) {
      countdown_[k] += kRepeatMs;
      repeatKeys_.push_back(k);
    }
  }
}

}  // namespace nova
