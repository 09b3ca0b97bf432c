#pragma once
// What a font file says about itself, read straight from its tables (TrueType and OpenType
// files, one face or a collection): the family names in every language it lists, whether it
// is fixed pitch, and whether it declares the Japanese code page. Used for fonts a game ships,
// which must be found by the names the game asks for.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nova {

struct TSfntFaceInfo {
  // Family names (name ids 1 and 16, Windows Unicode and Macintosh Japanese or Roman records)
  // in Shift-JIS, in table order without repeats; names Shift-JIS cannot hold are left out.
  std::vector<std::string> Families;
  bool FixedPitch = false;  // the 'post' table's isFixedPitch
  bool Japanese = false;    // the OS/2 code page bit of JIS/Japan (code page 932)
};

// The number of faces in font file bytes: 1 for a single font, the count of a collection, 0
// when the bytes are not a font file.
int SfntFaceCount(std::string_view bytes);
// The information of face `index`; false when the bytes do not hold that face.
bool ReadSfntFaceInfo(std::string_view bytes, int index, TSfntFaceInfo& info);

}  // namespace nova
