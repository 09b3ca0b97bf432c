#pragma once
// The installed fonts through FreeType, made once for a benchmark program; the file behind
// "ＭＳ ゴシック" (its IPA substitute) is named on stderr so the figures say what they measured.
#include <cstdio>
#include <memory>

#include "base/encoding.h"
#include "platform/sdl/freetype_fonts.h"

namespace nova::bench {

inline TFontRasterizer& InstalledFonts() {
  static std::unique_ptr<TFontRasterizer> fonts = [] {
    auto f = CreateFreeTypeFontRasterizer();
    if (TFontFace* face = f->FindFace(Utf8ToSjis("ＭＳ ゴシック")))
      std::fprintf(stderr, "ＭＳ ゴシック: %s\n", face->Source().c_str());
    return f;
  }();
  return *fonts;
}

}  // namespace nova::bench
