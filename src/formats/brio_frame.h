#pragma once
// Turning a frame's layers into its picture.
#include "formats/brios.h"

namespace nova {

// Composes the visible layers, bottom first, over the background colour into the frame's
// picture (and mask), then resolves the transparent index into a colour.
void ComposeBrioFrame(TBrioFrame& frame, const TBrioHeader& header);

// The colour 0x00BBGGRR a frame's transparent index stands for (-1: none).
int32_t ResolveTransparentColor(const TBrioFrame& frame);

// Sets the frame surface's Transparent pixel value from the frame's transparent colour.
void SetSurfaceTransparent(TBrioFrame& frame);

// Gives a frame without a mask one: 255, and 0 where the pixel is the transparent one.
void BuildMaskFromTransparent(TBrioFrame& frame);

}  // namespace nova
