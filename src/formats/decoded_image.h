#pragma once
// One picture as the PNG and BMP decoders give it.
#include <cstdint>

#include "formats/pixel_rows.h"

namespace nova {

struct TDecodedImage {
  TBrioBitmap Color;              // 1, 4 or 8 bits with a palette, or 24 bits
  TBrioBitmap Mask;               // 8 bits (alpha); empty when the picture has none
  TBrioPalette Palette;
  int32_t TransparentIndex = -1;  // palette index, or colour 0x00BBGGRR of a true-colour picture
};

}  // namespace nova
