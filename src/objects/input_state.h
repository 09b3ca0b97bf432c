#pragma once
// The scene's input: both screens' mouse state and the keyboard tables, written by the main
// window as events arrive and handed over to "this frame" by the scene's input step. Keys repeat
// while held: first after 300 ms, then every 50 ms.
#include <array>
#include <cstdint>
#include <vector>

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
  static constexpr int32_t kFirstRepeatMs = 300;
  static constexpr int32_t kRepeatMs = 50;

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

  // The per-frame hand-over: pressed-since-last-frame -> this frame, repeats -> this frame,
  // "now" mouse flags -> this frame.
  void BeginFrame();
  // The keys that went down, up or repeated since the key events were last taken.
  const std::vector<int>& DownKeys() const { return downKeys_; }
  const std::vector<int>& UpKeys() const { return upKeys_; }
  const std::vector<int>& RepeatKeys() const { return repeatKeys_; }
  void ClearKeyEvents();
  // Counts the held keys' repeat time down by the frame's elapsed time; repeats count for the
  // next frame.
  void AdvanceRepeats(uint32_t elapsedMs);

private:
  static bool InRange(int code) { return code >= 0 && code < 256; }
  std::array<bool, 256> held_{}, pressedSinceLastFrame_{}, pressedThisFrame_{};
  std::array<bool, 256> repeatSinceLastFrame_{}, repeatThisFrame_{};
  std::array<int32_t, 256> countdown_{};
  std::vector<int> downKeys_, upKeys_, repeatKeys_;
  int keyDowns_ = 0;
};

}  // namespace nova
