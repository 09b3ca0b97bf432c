#pragma once
// Fonts a game ships: every ".ttf", ".ttc" and ".otf" file of its archives and of its folder is
// handed to the font rasteriser at start, so that faces named by the game are found in them
// first (docs/fonts.md).
namespace nova {

class TFontRasterizer;
class TVrFileManager;

// Returns the number of faces added. Files that cannot be read or are no fonts are skipped.
int AddGameFonts(TVrFileManager& files, TFontRasterizer& fonts);

}  // namespace nova
