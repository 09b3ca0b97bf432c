#pragma once
// The game as the main window drives it: created once inside the window, then one frame at a
// time with the window's input, painted into the panel picture, suspended while the window is
// inactive, and shut down in the fixed teardown order.
#include <cstdint>
#include <string>
#include <vector>

#include "objects/input_state.h"
#include "platform/cursor_image.h"
#include "platform/window.h"

namespace nova {

// What the game asks of the main window.
class TGameHost {
public:
  virtual ~TGameHost() = default;
  virtual bool FullScreen() = 0;
  virtual void SetFullScreen(bool on) = 0;
  virtual int DisplayModeCount() = 0;
  // The display mode chosen by the game changed (only full screen shows it).
  virtual void ApplyScreenMode() = 0;
  // Moves the system cursor to a point of the game's screen.
  virtual void MoveCursor(int32_t x, int32_t y) = 0;
  // Called from inside an interpreter pass that runs long, so the window can still act on a
  // close request.
  virtual void KeepResponsive() = 0;
  // The cursor over the game's screen (DecodeCursorFile of the cursor file's bytes); null =
  // the standard arrow. Copied: the image need not outlive the call.
  virtual void SetCursor(const TCursorImage* /*cursor*/) {}
  // The main window (its display modes), or null without one.
  virtual TPlatformWindow* MainWindow() { return nullptr; }
};

class TGame {
public:
  virtual ~TGame() = default;
  // Creates the subsystems in their order (variable store, system functions, sound, scene,
  // project, media). Errors are raised; a game that cannot start sets the quitting flag.
  virtual void Create(TGameHost& host) = 0;
  virtual bool Running() const = 0;  // the project exists
  virtual int32_t ScreenWidth() const = 0;
  virtual int32_t ScreenHeight() const = 0;
  virtual std::string Title() const = 0;  // Shift-JIS
  virtual bool SleepFlag() const = 0;
  // Where the main window writes the mouse and keyboard.
  virtual TInputState& Input() = 0;
  // One frame up to the pending save and load requests; true when a game was loaded (the
  // next drawing is skipped).
  virtual bool Frame() = 0;
  // Paints what changed into the panel picture (the game's screen, 32 bits 0x00RRGGBB, at the
  // game's screen size) and returns the rectangles it changed, in panel coordinates.
  virtual std::vector<TRect> Paint(TPicture& panel) = 0;
  virtual void Suspend() = 0;  // the window lost the focus
  virtual void Resume() = 0;
  // The teardown: the project (exit page, status data), the system functions, the variable
  // store, the scene, media. Idempotent.
  virtual void Shutdown() = 0;
  // Why the game could not start or had to stop (Shift-JIS); empty when it ran normally.
  virtual std::string FailureReason() const = 0;
  // The process's exit code once the window has closed.
  virtual int ExitCode() const = 0;
};

}  // namespace nova
