#pragma once
// A game host without a window, for the tests that run a whole game: windowed, no display
// modes, and every request of the game to the window is let go.
#include <cstdint>
#include <filesystem>

#include "game/game.h"

namespace nova::test {

class QuietHost : public TGameHost {
public:
  bool FullScreen() override { return false; }
  void SetFullScreen(bool) override {}
  int DisplayModeCount() override { return 0; }
  void ApplyScreenMode() override {}
  void MoveCursor(int32_t, int32_t) override {}
  void KeepResponsive() override {}
};

// The settings of a game started with its folder named on the command line.
inline TGameConfig FolderGameConfig(const std::filesystem::path& folder) {
  TGameConfig config;
  config.GameFolder = folder;
  config.HadFolderParameters = true;
  return config;
}

}  // namespace nova::test
