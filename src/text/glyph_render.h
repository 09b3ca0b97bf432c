#pragma once
// Putting one cached glyph into a pair of surfaces: a colour surface (the screen's pixel
// format) and an 8-bit coverage surface of the same size, with optional border (outline),
// drop shadow, underline and strike-out. The pair is later drawn onto the screen through the
// coverage (DrawMonoMask of the text pixel when there is neither border nor shadow, else
// DrawMask / DrawAlphaMask of the colour surface).
//
// Placement in the cell (left, top, cw, ch) with border width w and shadow offset d: the glyph
// gets the square part g = min(cw, size) of the cell; when its offset and right bearing leave
// room in g it is centred by its ABC widths (a half-width character in a square cell).
// Layers, in painting order, when there is a border or a shadow:
//   shadow (d > 0): underline bar 2w + thickness high at the cell bottom (from d further right
//     at the start of a run), the glyph spread by w at (+d, +d), the strike-out bar at +d;
//   underline in the text colour at bottom - d - w - thickness with border bands of w above
//     and below (shortened by d at the end of a run);
//   the glyph: its border (every pixel within w of a glyph pixel of coverage k composes the
//     border colour over what is there with coverage k), then its face (coverage merged, the
//     larger wins; text colour where k = 255, text mixed with the border colour by k below);
//   strike-out bar with border bands, as the underline.
// Without border and shadow the glyph's coverage is copied (where it is not 0) and its pixels
// take the text pixel; with the opaque flag the whole box takes the text pixel and the
// coverage is copied as it is. Underline and strike-out bars span the cell width.
#include <cstdint>

#include "base/geometry.h"
#include "render/dibx.h"
#include "text/font_pixels.h"

namespace nova {

struct TGlyphPaint {
  // Pixel values of the colour surface (ColorToPixel of it).
  uint32_t TextPixel = 0, BorderPixel = 0, ShadowPixel = 0;
  int32_t BorderWidth = 0;   // w
  int32_t ShadowOffset = 0;  // d
  bool Opaque = false;
  // The glyph starts / ends a run of characters with the same border and shadow (the shadow
  // of an underline starts d later, the underline itself ends d earlier).
  bool FirstOfRun = true, LastOfRun = true;
};

// Draws the glyph into the surfaces (within their clip rectangles) and returns the rectangle it
// touched, not cut to the surfaces; empty for a glyph without image, which draws nothing.
TRect RenderGlyph(const TFontPixel& glyph, TCustomDIBX& color, TCustomDIBX& coverage, const TRect& cell,
                  const TGlyphPaint& paint);

// How RenderGlyph reaches pixels: row pointers on 16- and 32-bit colour surfaces (Fast), or
// GetPixel / SetPixel everywhere (Reference, the plain twin the fast path is tested against).
enum class TGlyphRenderPath { Fast, Reference };
void SetGlyphRenderPath(TGlyphRenderPath path);
TGlyphRenderPath GetGlyphRenderPath();

// Round to the nearest integer, halves to the even neighbour (glyph centring, ruby spacing).
int32_t RoundHalfEven(double v);

}  // namespace nova
