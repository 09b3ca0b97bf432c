#pragma once
// Windows bitmaps ("BM" files; ".bmp", ".dib"). Decoding keeps 1-, 4- and 8-bit pictures with
// their palette, turns 16-bit pictures (5-5-5 or bit fields) into 24 bits, and a 32-bit
// picture into 24 bits whose mask is each pixel's fourth byte. Bottom-up and top-down rows,
// core and extended headers, uncompressed, bit-field and run-length (RLE8, RLE4) data.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "formats/decoded_image.h"

namespace nova {

bool LooksLikeBmp(std::span<const uint8_t> bytes);

TDecodedImage DecodeBmp(std::span<const uint8_t> bytes, const std::string& name);

// A 24-bit bottom-up bitmap file of 24-bit rows.
std::vector<uint8_t> EncodeBmp24(const TBrioBitmap& rgb24);

}  // namespace nova
