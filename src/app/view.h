#pragma once
// The main window (TFormView): the toolbar strip, the drawing panel where the game is drawn,
// the frame loop, input routing, full screen, the popup menu, the quit question and the
// teardown. All of it runs on the main thread; the frame loop folds the original's idle
// handler and frame-timer thread into one loop.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/frame_timer.h"
#include "app/game_hooks.h"
#include "app/input_state.h"
#include "app/toolbar.h"
#include "platform/platform.h"

namespace nova {

// Where the panel lies in the client area: left := (client width - scene width) / 2;
// top := (client height - scene height) / 2 in full screen, the dock height otherwise;
// size := the scene's size (halves rounded toward zero).
TRect PlacePanel(int clientWidth, int clientHeight, int sceneWidth, int sceneHeight, bool fullScreen);
// The window position that centres a client area in the usable area ((free space) / 2,
// rounded toward zero).
TRect CentreIn(const TRect& usable, int clientWidth, int clientHeight);

// The popup menu's entries, in order.
enum class MenuEntry { FullScreen, Speed1, Speed4, Speed8, NoWait, Fps1, Fps2, Fps4, Fps10, FpsAuto };

class TFormView {
public:
  TFormView(TPlatform& platform, TGameHooks& hooks, TStartupInfo info);
  ~TFormView();
  TFormView(const TFormView&) = delete;
  TFormView& operator=(const TFormView&) = delete;

  // Window creation and Initialize. An error of Initialize is shown in a message box and
  // closes the window; StartupFailed() then tells.
  void Create();
  // Drives frames until the window closes; with maxFrames, closes after that many frames.
  void Run(std::optional<uint32_t> maxFrames = std::nullopt);
  // One frame (the steps in their fixed order).
  void Frame();
  void HandleEvent(const TInputEvent& event);

  void SetFullScreen(bool on);
  void ApplyScreenMode();
  void SetMouseX(int x);
  void SetMouseY(int y);
  void ConfirmQuit();
  void ChooseMenuEntry(MenuEntry entry);
  void ShowPopupMenu();
  // The close event: quitting flag, then the teardown in its order.
  void Close();

  bool Closed() const { return closed_; }
  bool StartupFailed() const { return startupFailed_; }
  const std::string& StartupError() const { return startupError_; }  // Shift-JIS
  bool Active() const { return active_; }
  bool FullScreen() const { return fullScreen_; }
  bool ToolbarVisible() const { return toolbarVisible_; }
  const TRect& Panel() const { return panel_; }
  int ClientWidth() const { return clientW_; }
  int ClientHeight() const { return clientH_; }
  int SceneWidth() const { return sceneW_; }
  int SceneHeight() const { return sceneH_; }
  uint32_t PresentCount() const { return presented_; }
  uint32_t FramesDriven() const { return framesDriven_; }
  TInputState& Input() { return input_; }
  TPlatformWindow& Window() { return *window_; }
  const TLocalTime& CachedDateTime();

private:
  void Initialize();
  void Teardown();
  void PlacePanel();
  void Compose();  // toolbar + panel picture -> the client picture, then present
  void UpdateCaption();
  void Activate(bool on);
  void PressToolButton(ToolButton button);

  TPlatform& platform_;
  TGameHooks& hooks_;
  TStartupInfo info_;
  std::unique_ptr<TPlatformWindow> window_;
  std::unique_ptr<TToolbar> toolbar_;
  TInputState input_;
  TCachedDateTime dateTime_;
  TPicture panelPicture_, clientPicture_;
  TRect panel_;
  int clientW_ = 0, clientH_ = 0, sceneW_ = 0, sceneH_ = 0;
  int mouseX_ = 0, mouseY_ = 0;  // last client position
  bool active_ = true, fullScreen_ = false, toolbarVisible_ = true, modeSwitch_ = false;
  bool displaySystem_ = false, splashDone_ = true, closed_ = false, startupFailed_ = false;
  bool created_ = false, buttonCaptured_ = false;
  ToolButton hover_ = ToolButton::None, pressed_ = ToolButton::None;
  uint32_t drawPhase_ = 0, skipDraw_ = 0, presented_ = 0, framesDriven_ = 0;
  std::string caption_, startupError_;
};

}  // namespace nova
