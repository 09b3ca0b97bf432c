#pragma once
// The services the player takes from the system, real (SDL2 and friends) or headless (no
// display, no sound device, a clock that advances a fixed step per frame).
#include <memory>

#include "platform/clock.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace nova {

class TPlatform {
public:
  static std::unique_ptr<TPlatform> Create(bool headless);

  bool Headless() const { return headless_; }
  TPlatformClock& Clock() { return *clock_; }
  TShell& Shell() { return *shell_; }
  std::unique_ptr<TPlatformWindow> CreateWindow(int width, int height);
  // Installs the message-box hook of base/process.h (SDL boxes or stderr).
  void InstallMessageBoxes(TPlatformWindow* parent);

private:
  explicit TPlatform(bool headless);
  bool headless_;
  std::unique_ptr<TPlatformClock> clock_;
  std::unique_ptr<TShell> shell_;
};

}  // namespace nova
