#pragma once
// What text may cost. Font sizes and texts come from scripts and from saved games, so a damaged
// or hostile value (a font height of 100000, or of -2147483647) must not make a caption or a
// message page allocate gigabytes or overflow its arithmetic. Text surfaces are held to the
// limits of pictures; a glyph taller than kMaxGlyphSize is not rasterised.
#include <cstdint>
#include <string>

#include "formats/image_limits.h"

namespace nova {

// The largest glyph cell the glyph cache rasterises (its coverage: at most 4 Mi bytes). A larger
// glyph advances like a cell of its size (half as wide for a single-byte character) and has no
// image; it could only be drawn onto a surface beyond the limits anyway.
constexpr int32_t kMaxGlyphSize = 2048;

// Whether a text surface of width x height pixels may be allocated: both sides 0 to
// kMaxImageSide and at most kMaxImagePixels pixels, as for a picture.
bool TextSurfaceFits(int64_t width, int64_t height);

// The message of a refused text surface, in UTF-8: "<what>: text surface <w>x<h> is beyond the
// limit (<side> a side, <pixels> pixels); nothing is drawn". what names the object (Shift-JIS).
std::string TextSurfaceRefusal(const std::string& what, int64_t width, int64_t height);
// Writes that message to stderr ("novaplayer: " first); the game goes on without the text.
void ReportTextSurfaceRefused(const std::string& what, int64_t width, int64_t height);

// a + b and a * b of int32 values, held to the int32 range instead of overflowing.
int32_t SaturatedAdd(int32_t a, int32_t b);
int32_t SaturatedMul(int32_t a, int32_t b);

// A width or height a text object computes for itself, held to -2^30 .. 2^30 so that the
// object's position plus its size stays in the int32 range.
constexpr int32_t kMaxTextObjectSide = 1 << 30;
int32_t TextObjectSide(int64_t size);

}  // namespace nova
