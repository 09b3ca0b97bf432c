#pragma once
// Message text on its page surfaces. When a page is shown, every character of it is rendered
// once into the text object's PageColor / PageCoverage (page coordinates: rows at their Y, the
// page's top-left at 0, 0), and each character remembers the rectangle it touched there
// (TWdChar::LastDrawn). Each frame the message box copies only the rectangles of the revealed
// characters onto its target with DrawChar. A character whose look changes (a hovered link)
// is rendered again with RenderChars.
//
// A character's look: its font name, else the text's default, else "ＭＳ ゴシック"; its size or
// the default size; its style bits, underlined when it has a link; text colour: the active
// link colour while its link is hovered, else its own, else the link colour (link characters)
// or the default text colour; border and shadow colours, border width and shadow offset: its
// own, else the text's defaults. Ruby is drawn above the first character of a group at half
// the size (at least 1), its characters spread evenly over the group's width, bold and italic
// only, border and shadow at most 1 pixel; the characters of the group are drawn that much
// lower. A run of characters with the same border and shadow (within a row) joins its
// underline and shadow.
#include <cstdint>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "render/dibx.h"
#include "text/font_pixels.h"
#include "text/kt_word.h"

namespace nova {

struct TCharLook {
  std::string FontName;
  int32_t Size = 0;
  uint8_t Style = 0;
  int32_t TextColor = 0, BorderColor = 0, ShadowColor = 0;  // 0x00BBGGRR
  int32_t BorderWidth = 0, ShadowOffset = 0;
  // Drawn through the colour surface (border or shadow), else as the text colour through the
  // coverage.
  bool Colored() const { return BorderWidth > 0 || ShadowOffset > 0; }
};

// How a character of a text looks now.
TCharLook CharLook(const TKtWord& word, const TWdChar& c);

// The size of a page's surfaces: the page, its rows and glyphs, and at least the text's width
// (at least 1 x 1).
void PageSurfaceSize(const TKtWord& word, const TWdPage& page, int64_t& width, int64_t& height);

// Sizes the page surfaces to the page (at least 1 x 1; colours at bitCount, coverage at 8 bits),
// clears them and renders every character of the page at the text's smoothing level. With
// reset every character and image of the page starts invisible (alpha 0). A page whose surfaces
// would be beyond the limits of text surfaces (text_limits.h) is not rendered: the surfaces
// become 1 x 1, no character has a rectangle to be drawn from, and the result is false.
bool RenderPage(TKtWord& word, TWdPage& page, TFontPixelManager& glyphs, int bitCount, bool reset = false);

// Renders characters of the current page again after their look changed: the area their last
// rectangles cover is cleared and rebuilt from every character of the page that touches it, so
// neighbouring borders and shadows stay whole. Returns that area (page coordinates).
TRect RenderChars(TKtWord& word, TWdPage& page, TFontPixelManager& glyphs, const std::vector<TWdChar*>& chars);

// Draws a character's rendered rectangle with the character's alpha onto target, the page's
// top-left being at (x, y): through the colour surface (DrawMask, or DrawAlphaMask below alpha
// 255) with a border or shadow, else DrawMonoMask of its text colour through the coverage.
void DrawChar(TKtWord& word, const TWdChar& c, TCustomDIBX& target, int32_t x, int32_t y);

}  // namespace nova
