#include "platform/user_config.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/text_lines.h"

namespace nova {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

int Percent(const std::string& text, int def) {
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != 0) return def;
  return static_cast<int>(std::clamp<long>(v, 0, 100));
}

}  // namespace

std::filesystem::path UserMediaConfigPath() {
  std::filesystem::path base;
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x == '/') {
    base = x;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::filesystem::path(home) / ".config";
  } else {
    return {};
  }
  return base / "novaplayer" / "media.ini";
}

TUserMediaConfig ParseUserMediaConfig(const std::string& text) {
  TUserMediaConfig c;
  std::istringstream in(text);
  std::string line, section;
  while (std::getline(in, line)) {
    std::string t = TrimBlanks(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') continue;
    if (t[0] == '[') {
      section = Lower(TrimBlanks(t.substr(1, t.find(']') == std::string::npos ? std::string::npos : t.find(']') - 1)));
      continue;
    }
    size_t eq = t.find('=');
    if (eq == std::string::npos) continue;
    std::string key = Lower(TrimBlanks(t.substr(0, eq)));
    std::string value = TrimBlanks(t.substr(eq + 1));
    if (size_t semi = value.find(" ;"); semi != std::string::npos) value = TrimBlanks(value.substr(0, semi));
    if (section == "audio" && key == "device") c.AudioDevice = value;
    else if (section == "audio" && key == "musicvolume") c.MusicVolume = Percent(value, c.MusicVolume);
    else if (section == "audio" && key == "soundvolume") c.SoundVolume = Percent(value, c.SoundVolume);
    else if (section == "midi" && key == "soundfont" && !value.empty()) c.SoundFont = value;
    else if (section == "midi" && key == "port") c.MidiPort = value;
  }
  return c;
}

TUserMediaConfig LoadUserMediaConfig() {
  std::filesystem::path path = UserMediaConfigPath();
  if (path.empty()) return {};
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::ostringstream ss;
  ss << in.rdbuf();
  return ParseUserMediaConfig(ss.str());
}

}  // namespace nova
