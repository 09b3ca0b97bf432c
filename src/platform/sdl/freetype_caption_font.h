#pragma once
// The player's caption face: a Japanese face found through fontconfig (IPAGothic preferred,
// else any face that holds kanji), rasterised in grey by FreeType and blended onto a picture.
#include <memory>

#include "platform/caption_font.h"

namespace nova {

// Null when no face that holds Japanese characters can be found or loaded.
std::unique_ptr<TCaptionFont> OpenFreeTypeCaptionFont(int pixelSize);

}  // namespace nova
