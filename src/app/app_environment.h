#pragma once
// The main window's part of what system variables and functions read: the frame clock, the
// timer, the cached date-time, the displayed screen's mouse state, the keyboard and the
// screen settings. Other parts (interpreter, project) stack on it, e.g.
// TScenarioEnvironmentT<TAppEnvironment> env(project, view, clock).
#include "params/environment.h"

namespace nova {

class TFormView;
class TPlatformClock;

class TAppEnvironment : public TSystemEnvironment {
public:
  TAppEnvironment(TFormView& view, TPlatformClock& clock) : view_(view), clock_(clock) {}

  uint32_t TotalMilliseconds() override;
  uint32_t TimerMilliseconds() override;
  uint32_t FrameCount() override;
  TDateTimeParts CachedDateTime() override;

  bool LeftClick() override;
  void SetLeftClick(bool on) override;
  bool RightClick() override;
  void SetRightClick(bool on) override;
  bool LeftPush() override;
  bool RightPush() override;
  int32_t MouseX() override;
  int32_t MouseY() override;
  void SetMouseX(int32_t x) override;
  void SetMouseY(int32_t y) override;
  bool KeyHeld(int code) override;
  bool KeyPressedThisFrame(int code) override;
  bool KeyRepeatThisFrame(int code) override;
  bool WheelDown() override;
  bool WheelUp() override;

  bool FullScreen() override;
  void SetFullScreen(bool on) override;
  int32_t DisplayModeCount() override;
  int32_t DisplayModeIndex() override { return modeIndex_; }
  void SetDisplayModeIndex(int32_t index) override;

private:
  TFormView& view_;
  TPlatformClock& clock_;
  int32_t modeIndex_ = -1;
};

}  // namespace nova
