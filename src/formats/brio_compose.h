#pragma once
// Composing the layers of a frame into the frame's picture, with the integer arithmetic of
// the format: opacity blends over 255 (16 and 24 bits) or 256 (32 bits), an ordered 4 x 4
// dither for paletted frames, mask blends over 256. Every view here has the frame's size.
#include <cstdint>

#include "formats/pixel_rows.h"

namespace nova {

// The dither index of the 4 x 4 cell at (row mod 4, column mod 4): a paletted layer drawn at
// level k (opacity / 16) shows its pixel where the index is at most k.
extern const uint8_t kBrioDitherMatrix[4][4];

// Fills the frame with the background colour (the nearest palette entry when paletted).
void FillFrameBackground(const TPixelView& frame, const TBrioPalette& palette, uint32_t color);

// Copies every pixel of the layer.
void CopyLayer(const TPixelView& frame, const TPixelView& layer);

// Draws a layer with opacity a (0 draws nothing; above 254, or below 0, copies) skipping
// pixels equal to the pixel value key (-1: none).
void DrawLayer(const TPixelView& frame, const TPixelView& layer, int32_t opacity, int64_t key);

// Blends a layer through its 8-bit mask at full strength.
void DrawLayerMasked(const TPixelView& frame, const TPixelView& layer, const TPixelView& mask);

// The same pixel by pixel through ReadPixel/WritePixel, kept as the reference of the two
// draws above.
void DrawLayerReference(const TPixelView& frame, const TPixelView& layer, int32_t opacity, int64_t key);
void DrawLayerMaskedReference(const TPixelView& frame, const TPixelView& layer, const TPixelView& mask);

}  // namespace nova
