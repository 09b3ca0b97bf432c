#pragma once
// "game.ini": Windows ini syntax ([Section], Key=Value, ";" comment lines), section and key
// names compared case-insensitively, values trimmed and unquoted as the Windows profile
// functions give them; a repeated section adds its keys, the first occurrence of a key wins.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace nova {

class TIniFile {
public:
  void Parse(const std::string& text);
  bool LoadFromFile(const std::filesystem::path& path);  // false when the file cannot be read

  // The profile string, or def when the key is absent.
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  // Whole-text integer (sign, decimal or $/0x hex); any other text gives def.
  int32_t ReadInteger(const std::string& section, const std::string& key, int32_t def) const;
  // ReadInteger(..., def ? 1 : 0) != 0.
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;

private:
  std::map<std::string, std::map<std::string, std::string>> sections_;  // upper-cased names
};

// The text of an ini file with Key=Value set in [Section], as the Windows profile functions
// write it: the first occurrence of the key in the first such section is replaced; otherwise
// the key is added after the section's last entry, or a new section is appended. Every other
// line stays as it was; new lines take the file's line ends (CR LF in a new file).
std::string SetIniValue(const std::string& text, const std::string& section, const std::string& key,
                        const std::string& value);

struct TGameSettings {
  bool UseDirectSound = true;
  int32_t DelayTime = 500;  // ms, a multiple of 100 in 100..500
  bool UseWMP = false;
};

// DelayTime: rounded down to a multiple of 100 (integer division), then clamped to 100..500.
int32_t NormaliseDelayTime(int32_t ms);
TGameSettings ReadGameSettings(const TIniFile& ini);
// Defaults when the file is absent; the file's name is found without regard to letter case.
TGameSettings LoadGameSettings(const std::filesystem::path& file);
// The file that holds a folder's "game.ini" (in whatever letter case it was written), or
// folder/"game.ini" when there is none yet.
std::filesystem::path GameIniFile(const std::filesystem::path& folder);

}  // namespace nova
