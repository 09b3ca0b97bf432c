#pragma once
// The main window (TFormView): the toolbar strip, the drawing panel where the game is drawn,
// the frame loop, input routing, full screen, the popup menu, the quit question and the
// teardown. All of it runs on the main thread; the frame loop folds the original's idle
// handler and frame-timer thread into one loop.
//
// Presenting: the client picture (toolbar strip + the game's panel picture) is kept here and
// handed to the window with the rectangles that changed: those the game's paint reports, the
// toolbar's own, everything after a resize, a full-screen switch or an expose. The player's
// own keys (never seen by the game): F11 and Alt+Enter toggle full screen, F12 writes the
// game's picture to the user's pictures folder, the Menu key opens the popup menu. Scripted
// input and screenshots of chosen frames come from the command line.
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/frame_timer.h"
#include "app/input_script.h"
#include "app/screenshot.h"
#include "app/toolbar.h"
#include "game/game.h"
#include "platform/platform.h"

namespace nova {

// What start-up decided before the window opens.
struct TStartupInfo {
  std::filesystem::path GameFolder;  // where "novaplay.log" lives (deleted at start)
  std::filesystem::path KeepFile;    // a file there that must not be deleted (the trace being written)
  std::string GameName;              // UTF-8: names the F12 pictures
  ScaleMode Scale = ScaleMode::Nearest;
  std::vector<TScriptedEvent> Input;             // sorted by frame
  std::vector<TScreenshotRequest> Screenshots;
  std::filesystem::path PicturesDir;             // F12; empty: the user's pictures folder
};

// Where the panel lies in the client area: left := (client width - scene width) / 2;
// top := (client height - scene height) / 2 in full screen, the dock height otherwise;
// size := the scene's size (halves rounded toward zero).
TRect PlacePanel(int clientWidth, int clientHeight, int sceneWidth, int sceneHeight, bool fullScreen);
// The window position that centres a client area in the usable area ((free space) / 2,
// rounded toward zero).
TRect CentreIn(const TRect& usable, int clientWidth, int clientHeight);

// The popup menu's entries, in order.
enum class MenuEntry { FullScreen, Speed1, Speed4, Speed8, NoWait, Fps1, Fps2, Fps4, Fps10, FpsAuto };

class TFormView : public TGameHost {
public:
  TFormView(TPlatform& platform, TGame& game, TStartupInfo info);
  ~TFormView();
  TFormView(const TFormView&) = delete;
  TFormView& operator=(const TFormView&) = delete;

  // Window creation and Initialize. An error of Initialize is shown in a message box and
  // closes the window; StartupFailed() then tells.
  void Create();
  // Drives frames until the window closes; with maxFrames, closes after frame maxFrames.
  void Run(std::optional<uint32_t> maxFrames = std::nullopt);
  // One frame: the scripted input of this frame, the steps in their fixed order, then the
  // screenshots asked for this frame. Frames are numbered from 1.
  void Frame();
  void HandleEvent(const TInputEvent& event);

  // What the game asks of the window.
  bool FullScreen() override { return fullScreen_; }
  void SetFullScreen(bool on) override;
  int DisplayModeCount() override { return window_ ? static_cast<int>(window_->DisplayModes().size()) : 0; }
  void ApplyScreenMode() override;
  void MoveCursor(int32_t x, int32_t y) override;
  void KeepResponsive() override;
  void SetCursor(const TCursorImage* cursor) override;
  TPlatformWindow* MainWindow() override { return window_.get(); }

  void ConfirmQuit();
  void ChooseMenuEntry(MenuEntry entry);
  void ShowPopupMenu();
  // The close event: quitting flag, then the teardown in its order.
  void Close();

  bool Closed() const { return closed_; }
  bool StartupFailed() const { return startupFailed_; }
  const std::string& StartupError() const { return startupError_; }  // Shift-JIS
  bool Active() const { return active_; }
  bool ToolbarVisible() const { return toolbarVisible_; }
  const TRect& Panel() const { return panel_; }
  int ClientWidth() const { return clientW_; }
  int ClientHeight() const { return clientH_; }
  int SceneWidth() const { return sceneW_; }
  int SceneHeight() const { return sceneH_; }
  uint32_t PresentCount() const { return presented_; }
  uint32_t FramesDriven() const { return frameNumber_; }  // the number of the last frame
  // The game's picture as last painted (game resolution).
  const TPicture& PanelPicture() const { return panelPicture_; }
  // The file the last F12 wrote (empty: none yet).
  const std::filesystem::path& LastPicturesFile() const { return lastPicturesFile_; }
  // --screenshot requests whose frame has not come.
  std::vector<TScreenshotRequest> PendingScreenshots() const;
  // Screenshots that could not be written (UTF-8; also printed on stderr).
  const std::vector<std::string>& Problems() const { return problems_; }
  TInputState& Input() { return game_.Input(); }
  TPlatformWindow& Window() { return *window_; }

private:
  void Initialize();
  void DeleteOldLog();
  void PlacePanel();
  void FrameSteps();
  void ApplyScriptedInput();
  void TakeScreenshots();
  void SaveToPictures();  // the F12 key
  void Report(const std::string& problem);
  // What must be presented next (client coordinates).
  void InvalidateAll() { fullPending_ = true; }
  void InvalidateClient(const TRect& r);
  void InvalidatePanel(const std::vector<TRect>& panelRects);
  void InvalidateToolbar() { InvalidateClient(TRect{0, 0, clientW_, kDockHeight}); }
  // The invalid parts of the client picture rebuilt from the panel picture and the toolbar,
  // then presented.
  void Compose();
  void ComposeArea(const TRect& r);
  void UpdateCaption();
  void Activate(bool on);
  void PressToolButton(ToolButton button);

  TPlatform& platform_;
  TGame& game_;
  TStartupInfo info_;
  std::unique_ptr<TPlatformWindow> window_;
  std::unique_ptr<TToolbar> toolbar_;
  std::deque<TInputEvent> heldBack_;  // events that arrived during a long interpreter pass
  uint32_t frameStart_ = 0;           // wall-clock milliseconds when the current frame began
  TPicture panelPicture_, clientPicture_;
  std::vector<TRect> pending_;        // client rectangles to compose and present
  bool fullPending_ = true;
  TRect panel_;
  int clientW_ = 0, clientH_ = 0, sceneW_ = 0, sceneH_ = 0;
  bool active_ = true, fullScreen_ = false, toolbarVisible_ = true, modeSwitch_ = false;
  bool displaySystem_ = false, closed_ = false, startupFailed_ = false;
  bool created_ = false, buttonCaptured_ = false, altHeld_ = false;
  ToolButton hover_ = ToolButton::None, pressed_ = ToolButton::None;
  uint32_t drawPhase_ = 0, skipDraw_ = 0, presented_ = 0, frameNumber_ = 0;
  std::string caption_, startupError_;
  // Scripted input: the next event to apply and the scripted mouse (client coordinates; outside
  // everything until the first move).
  size_t scriptNext_ = 0;
  TPoint scriptMouse_{-1, -1};
  std::vector<bool> shotTaken_;
  std::filesystem::path lastPicturesFile_;
  std::vector<std::string> problems_;
  // The game's cursor, shown while the mouse is over the game.
  std::optional<TCursorImage> gameCursor_;
  bool mouseOverGame_ = true;
};

}  // namespace nova
