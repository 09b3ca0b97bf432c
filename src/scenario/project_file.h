#pragma once
// The compiled project "nova.npb": what the project knows about the game as a whole.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/extended.h"
#include "base/stream.h"

namespace nova {

constexpr int32_t kProjectVersionMax = 112;

// One status variable: type 1 integer, 2 real, 3 flag, 4 string (other types carry no value).
struct TStatusVarDef {
  uint8_t Type = 1;
  std::string Name;
  int32_t IntValue = 0;
  Real FloatValue = 0;
  uint8_t FlagValue = 0;
  std::string StrValue;
};

using TFolderDiskList = std::vector<std::pair<std::string, int32_t>>;  // (folder, disk number)

struct TProjectFile {
  int32_t Version = kProjectVersionMax;
  std::string Name;  // Shift-JIS like every text below
  int32_t ScreenWidth = 640;
  int32_t ScreenHeight = 480;
  int32_t DisplayParam1 = 0;
  int32_t DisplayParam2 = 0;
  std::string StartPage;
  std::string ExitPage;       // version >= 110
  std::string SettingsKey;
  int32_t ImageKey = 0;
  uint8_t WriteStatus = 1;    // version >= 104
  uint8_t SleepFlag = 1;      // version >= 106 (older files: 0)
  std::string MediaExtensions = ".wav.wma.ogg.mid";  // version >= 109
  std::string DiskPrompt;
  std::string QuitText;
  std::vector<TStatusVarDef> StatusVars;
  TFolderDiskList FolderDisks;
};

// Reads every field the file's version has; fields a version lacks keep the older files'
// values. False (nothing else read) when the version is above 112.
bool ReadProjectFile(TStream& s, TProjectFile& project);
// The folder-disk list of a second project copy ("/original_nova.npb"): every field before it
// is skipped. False when the version is above 112.
bool ReadProjectFolderDisks(TStream& s, TFolderDiskList& list);
// Writes the fields of project.Version.
void WriteProjectFile(TStream& s, const TProjectFile& project);

}  // namespace nova
