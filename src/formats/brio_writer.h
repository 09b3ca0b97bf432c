#pragma once
// Writing single-layer layered images ("Brio106"), as screen captures and the image tool do.
#include <cstdint>
#include <string>
#include <vector>

#include "formats/pixel_rows.h"

namespace nova {

class TStream;
class TBrioFrameList;

struct TBrioWriteFrame {
  std::string Name;                  // Shift-JIS
  int32_t TransparentIndex = -1;
  int32_t Delay = 100;
  const TBrioBitmap* Color = nullptr;  // 1, 4, 8, 16 (5-6-5), 24 or 32 bits
  const TBrioBitmap* Mask = nullptr;   // 8 bits of the same size, or none
  TBrioPalette Palette;                // for 8 bits or less: up to 2^bits colours
};

struct TBrioWriteOptions {
  // Rows are stored scrambled exactly when the key is not 0 (and then uncompressed).
  int32_t Key = 0;
  // Set when the caller wants a scrambled file: then a key of 0 is refused with
  // "識別コードを設定してください".
  bool RequireScramble = false;
  int32_t Compression = 0;  // 0 zlib, 1 none, 2 JPEG colour (true-colour frames) with zlib mask
  int32_t JpegQuality = 75;
  uint32_t BackgroundColor = 0;
};

void WriteBrio(TStream& out, const std::vector<TBrioWriteFrame>& frames, const TBrioWriteOptions& options);

// Every frame of a list as one single-layer frame: its composed surface (a 15-bit surface as
// 24 bits) and mask surface, name, delay, transparent index and palette.
void WriteBrio(TStream& out, const TBrioFrameList& list, const TBrioWriteOptions& options);

}  // namespace nova
