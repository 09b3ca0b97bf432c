#pragma once
// Loading pictures into surfaces and saving surfaces as bitmap files. The surfaces themselves
// know nothing of file formats; these free functions stand for their LoadFromStream,
// LoadFromFile and SaveToFile.
#include <cstdint>
#include <string>

#include "render/dibx.h"

namespace nova {

class TBrioFrame;
class TStream;

// Looks at the stream's first bytes: "BM" loads a Windows bitmap, "PNG" at offset 1 a PNG
// picture, "Brio" the first frame of a layered image (unscrambled with key). The surface is
// resized to the picture keeping its own bit count and the picture is converted into it; the
// mask is not used. Any other content leaves surface and stream position unchanged and gives
// false; a damaged picture raises the image error naming the file (name).
bool LoadSurfaceFromStream(TCustomDIBX& surface, TStream& stream, const std::string& name, int32_t key = 0);

// Only names ending ".bmp" (any case) of existing files (host paths, UTF-8); false otherwise,
// leaving the surface unchanged.
bool LoadSurfaceFromFile(TCustomDIBX& surface, const std::string& path);

// Only names ending ".bmp": the whole surface as a 24-bit bitmap. False for other names.
bool SaveSurfaceToFile(TCustomDIBX& surface, const std::string& path);

// Resizes a surface to a frame keeping the surface's bit count and converts the frame's
// picture into it: colours through the surface's own pixel format, or, on a paletted surface,
// to the nearest entry of the surface's palette (a paletted frame of a depth the surface holds
// keeps its indices and brings its palette).
void CopyFrameToSurface(const TBrioFrame& frame, TCustomDIBX& surface);

}  // namespace nova
