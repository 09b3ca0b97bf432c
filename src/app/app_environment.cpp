#include "app/app_environment.h"

#include "app/view.h"
#include "base/process.h"

namespace nova {

uint32_t TAppEnvironment::TotalMilliseconds() { return FrameClock().Total; }
uint32_t TAppEnvironment::TimerMilliseconds() { return clock_.Now(); }
uint32_t TAppEnvironment::FrameCount() { return FrameClock().FrameCount; }

TDateTimeParts TAppEnvironment::CachedDateTime() {
  const TLocalTime& t = view_.CachedDateTime();
  return TDateTimeParts{t.Year, t.Month, t.Day, t.Hour, t.Min, t.Sec, t.MSec};
}

bool TAppEnvironment::LeftClick() { return view_.Input().DisplayedScreen().LeftPressedThisFrame; }
void TAppEnvironment::SetLeftClick(bool on) { view_.Input().DisplayedScreen().LeftPressedThisFrame = on; }
bool TAppEnvironment::RightClick() { return view_.Input().DisplayedScreen().RightPressedThisFrame; }
void TAppEnvironment::SetRightClick(bool on) { view_.Input().DisplayedScreen().RightPressedThisFrame = on; }
bool TAppEnvironment::LeftPush() { return view_.Input().DisplayedScreen().LeftHeld; }
bool TAppEnvironment::RightPush() { return view_.Input().DisplayedScreen().RightHeld; }
int32_t TAppEnvironment::MouseX() { return view_.Input().DisplayedScreen().X; }
int32_t TAppEnvironment::MouseY() { return view_.Input().DisplayedScreen().Y; }
void TAppEnvironment::SetMouseX(int32_t x) { view_.SetMouseX(x); }
void TAppEnvironment::SetMouseY(int32_t y) { view_.SetMouseY(y); }
bool TAppEnvironment::KeyHeld(int code) { return view_.Input().IsKeyHeld(code); }
bool TAppEnvironment::KeyPressedThisFrame(int code) { return view_.Input().IsKeyPressedThisFrame(code); }
bool TAppEnvironment::KeyRepeatThisFrame(int code) { return view_.Input().IsKeyRepeatThisFrame(code); }
bool TAppEnvironment::WheelDown() { return view_.Input().DisplayedScreen().WheelDownThisFrame; }
bool TAppEnvironment::WheelUp() { return view_.Input().DisplayedScreen().WheelUpThisFrame; }

bool TAppEnvironment::FullScreen() { return view_.FullScreen(); }
void TAppEnvironment::SetFullScreen(bool on) { view_.SetFullScreen(on); }
int32_t TAppEnvironment::DisplayModeCount() { return static_cast<int32_t>(view_.Window().DisplayModes().size()); }

void TAppEnvironment::SetDisplayModeIndex(int32_t index) {
  if (index < -1 || index >= DisplayModeCount()) return;
  modeIndex_ = index;
  view_.ApplyScreenMode();
}

}  // namespace nova
