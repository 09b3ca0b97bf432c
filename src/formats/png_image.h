#pragma once
// PNG pictures (libpng). Decoding gives 8-bit indices with a palette (palette and grey
// pictures) or 24 bits; an alpha channel becomes the mask; a tRNS colour, or a palette tRNS
// that makes exactly one entry fully transparent, becomes the transparent index. Other palette
// transparency is turned into 24 bits with a mask. 16-bit channels are cut to 8, interlaced
// pictures are read whole.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "formats/decoded_image.h"

namespace nova {

// True when the bytes begin with the PNG signature.
bool LooksLikePng(std::span<const uint8_t> bytes);

TDecodedImage DecodePng(std::span<const uint8_t> bytes, const std::string& name);

// Writes a 1-, 4- or 8-bit picture as a palette PNG (indices and palette kept), a 24-bit one
// as RGB, or as RGBA when a mask is given (alpha = mask).
std::vector<uint8_t> EncodePng(const TBrioBitmap& color, const TBrioBitmap* mask, const TBrioPalette& palette);

}  // namespace nova
