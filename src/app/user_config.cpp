#include "app/user_config.h"

#include <cctype>
#include <cstdlib>

#include "app/game_ini.h"

namespace nova {

std::filesystem::path UserConfigFile() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/') {
    return std::filesystem::path(config) / "novaplayer" / "novaplayer.ini";
  }
  if (const char* home = std::getenv("HOME"); home && *home == '/') {
    return std::filesystem::path(home) / ".config" / "novaplayer" / "novaplayer.ini";
  }
  return {};
}

TUserConfig LoadUserConfig(const std::filesystem::path& file) {
  TUserConfig config;
  TIniFile ini;
  if (file.empty() || !ini.LoadFromFile(file)) return config;
  std::string scale = ini.ReadString("Display", "Scale", "");
  for (char& c : scale) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (!scale.empty()) {
    config.Scale = ParseScaleMode(scale);
    if (!config.Scale) {
      config.Warnings.push_back(file.string() + ": [Display] Scale=" + scale +
                                ": not one of nearest, integer, smooth; nearest is used");
    }
  }
  std::string splash = ini.ReadString("Player", "Splash", "");
  for (char& c : splash) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (splash == "off" || splash == "no" || splash == "false" || splash == "0") {
    config.Splash = false;
  } else if (!splash.empty() && splash != "on" && splash != "yes" && splash != "true" && splash != "1") {
    config.Warnings.push_back(file.string() + ": [Player] Splash=" + splash + ": not one of on, off; on is used");
  }
  return config;
}

}  // namespace nova
