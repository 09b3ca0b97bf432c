#pragma once
// @Fonts and @FixedFonts: the installed faces that hold Japanese text (all of them, or the
// fixed-pitch ones), by family name, as the rasteriser lists them at the moment of reading.
#include <string>
#include <vector>

namespace nova {

class TFontRasterizer;
class TSysFuncMan;

// Names without those beginning with "@", sorted ignoring ASCII case without repeats (names
// equal but for case count once), one per line joined by CR LF, trimmed.
std::string FontListText(std::vector<std::string> names);

// Binds @Fonts and @FixedFonts (read-only; writes are ignored).
void RegisterFontVariables(TSysFuncMan& funcs, TFontRasterizer& fonts);

}  // namespace nova
