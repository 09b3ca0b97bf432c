#pragma once
// The font rasteriser on FreeType and fontconfig.
//
// Finding a face by a Windows family name, in this order:
// 1. faces added from font data (a game's own fonts), the newest first, by any family name
//    their files declare;
// 2. the substitute table (platform/font_substitutes.h, changed by the user's fonts.conf):
//    its families in order, then its generic family; a substitute is sized so that its em box
//    fills the cell, as the em box of the Japanese Windows faces does;
// 3. an installed family of exactly that name, sized as Windows sizes it (the sum of the
//    face's Windows ascent and descent fills the cell);
// otherwise no face (the glyph cache then takes "ＭＳ ゴシック").
//
// Glyphs are hinted outlines (embedded bitmaps are ignored), rendered in 256 grey levels or
// aliased; bold and italic are synthesised (emboldened outline, slant of about 12 degrees).
#include <filesystem>
#include <memory>

#include "platform/font_rasterizer.h"

namespace nova {

// configFile: the user's substitutes (a missing file is no error); empty: UserFontConfigPath().
// Lines of that file that cannot be read are reported on stderr. Falls back to the headless
// rasteriser when FreeType cannot start.
std::unique_ptr<TFontRasterizer> CreateFreeTypeFontRasterizer(const std::filesystem::path& configFile = {});

}  // namespace nova
