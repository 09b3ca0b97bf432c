#pragma once
// "install.dat": what the installer recorded about an installed game. The player uses the
// disk index, the project name and the data-complete flag; the system functions read and
// write the whole record. Integers little-endian, strings as string fields. The file starts
// with "is" + the version as three digits; without "is" it is version 0 from position 0.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/stream.h"

namespace nova {

class TNovaInstallSet {
public:
  static constexpr int kWriteVersion = 108;

  int Version = kWriteVersion;  // as read; Save writes kWriteVersion unless told otherwise
  int32_t DiskIndex = 0;
  std::string ProjectName;
  std::string Strings[3];
  uint8_t Byte1 = 0;
  std::string String2;
  uint8_t Byte2 = 0;
  std::string String3;
  int32_t Int1 = 0;
  uint8_t Byte3 = 0, Byte4 = 0;
  std::string String4, String5;
  struct Item {
    int64_t Values[4] = {};  // 8 bytes each in the file (4 before version 100)
  };
  std::vector<Item> Items;          // item count k
  int64_t Totals[4] = {};           // 8 bytes each (4 before version 100)
  uint8_t Byte5 = 0;
  uint8_t Byte6 = 0;                // version > 100
  std::vector<std::string> Files;   // version > 101 (empty names dropped on reading)
  uint8_t DataComplete = 0;         // version > 102
  uint8_t Byte7 = 0;                // version > 103
  uint8_t Byte8 = 0;                // version > 104
  std::vector<std::string> List2;   // version > 105
  std::string String6;              // version > 106
  std::string String7, String8;     // version > 107

  // Raises "<source>:..." errors on counts the stream cannot hold; source names the file.
  void Load(TStream& stream, const std::string& source = "install.dat");
  void Save(TStream& stream, int version = kWriteVersion) const;
  void LoadFromFile(const std::filesystem::path& path);
  void SaveToFile(const std::filesystem::path& path, int version = kWriteVersion) const;
};

}  // namespace nova
