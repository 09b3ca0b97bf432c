#pragma once
// The pixel blocks of a layer: rows (possibly scrambled), tiles with their three source kinds,
// or one JPEG stream; zlib-compressed or raw as the file's compression says.
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "formats/pixel_rows.h"

namespace nova {

// How the file stores its layers (from its header; older versions: rows, zlib, unscrambled).
struct TBrioPlaneFormat {
  int32_t Version = 0;
  int32_t Compression = 0;  // 0 zlib, 1 none, 2 JPEG colour with zlib mask
  bool Scrambled = false;
  uint32_t Key = 0;         // scramble seed
  int32_t TileWidth = 0, TileHeight = 0;
};

// The colour (or, while a mask is read, the mask) of layer `layer` of frame `frame`, for tiles
// that copy from another frame; nullptr when there is nothing to copy (not read yet, no mask).
// Raises the image error for references that can never be valid.
using TBrioTileSource = std::function<const TBrioBitmap*(int32_t frame, int32_t layer)>;

// Decodes one block into a bitmap of the frame's size: colour at the frame's depth (a JPEG
// block is converted to it), a mask at 8 bits.
TBrioBitmap DecodeBrioPlane(std::span<const uint8_t> data, const TBrioPlaneFormat& format, int32_t width,
                            int32_t height, int32_t bits, bool isMask, const TBrioTileSource& source,
                            const std::string& name);

// Converts 24-bit rows (a decoded JPEG) to 16 (5-6-5) or 32 bits.
TBrioBitmap ConvertTrueColor(const TBrioBitmap& rgb24, int32_t bits);

}  // namespace nova
