#pragma once
// The user's own settings for the player (not the game's): an ini file
// $XDG_CONFIG_HOME/novaplayer/novaplayer.ini (~/.config/... without XDG_CONFIG_HOME).
//   [Display]
//   Scale=nearest|integer|smooth
//   [Player]
//   Splash=on|off        (also yes/no, true/false, 1/0: the start-up logo film)
// The command line wins over the file. A value the player does not know is reported and left
// at its default; a missing file leaves everything at its default.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/present_layout.h"

namespace nova {

struct TUserConfig {
  std::optional<ScaleMode> Scale;
  bool Splash = true;
  std::vector<std::string> Warnings;  // UTF-8, one per value that was not understood
};

// Empty when neither XDG_CONFIG_HOME nor HOME says where it is.
std::filesystem::path UserConfigFile();
TUserConfig LoadUserConfig(const std::filesystem::path& file);

}  // namespace nova
