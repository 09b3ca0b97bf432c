#include "platform/sdl/freetype_caption_font.h"

#include "base/encoding.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace nova {
namespace {

std::string FindJapaneseFace() {
  // A private configuration, released after the look-up: the process-wide one would stay
  // allocated until FcFini, which other users of fontconfig must be free to rely on.
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config) return {};
  std::string file;
  for (const char* name : {"IPAGothic:lang=ja", "sans-serif:lang=ja"}) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name));
    if (!pattern) continue;
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) continue;
    FcChar8* path = nullptr;
    FcCharSet* chars = nullptr;
    // A face without kanji would draw empty boxes: keep looking.
    if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch &&
        FcPatternGetCharSet(match, FC_CHARSET, 0, &chars) == FcResultMatch && FcCharSetHasChar(chars, 0x7D42)) {
      file = reinterpret_cast<const char*>(path);
    }
    FcPatternDestroy(match);
    if (!file.empty()) break;
  }
  FcConfigDestroy(config);
  return file;
}

class TFreeTypeCaptionFont : public TCaptionFont {
public:
  TFreeTypeCaptionFont(FT_Library lib, FT_Face face) : lib_(lib), face_(face) {}
  ~TFreeTypeCaptionFont() override {
    FT_Done_Face(face_);
    FT_Done_FreeType(lib_);
  }

  int TextWidth(const std::string& utf8) override {
    int width = 0;
    for (char32_t c : DecodeUtf8(utf8)) {
      if (FT_Load_Char(face_, c, FT_LOAD_DEFAULT) == 0) width += static_cast<int>(face_->glyph->advance.x >> 6);
    }
    return width;
  }

  void DrawCentred(TPicture& picture, const TRect& box, const std::string& utf8, uint32_t colour) override {
    int ascender = static_cast<int>(face_->size->metrics.ascender >> 6);
    int height = static_cast<int>((face_->size->metrics.ascender - face_->size->metrics.descender) >> 6);
    int penX = box.Left + (box.Width() - TextWidth(utf8)) / 2;
    int baseline = box.Top + (box.Height() - height) / 2 + ascender;
    for (char32_t c : DecodeUtf8(utf8)) {
      if (FT_Load_Char(face_, c, FT_LOAD_RENDER) != 0) continue;
      FT_GlyphSlot g = face_->glyph;
      Blend(picture, g->bitmap, penX + g->bitmap_left, baseline - g->bitmap_top, colour);
      penX += static_cast<int>(g->advance.x >> 6);
    }
  }

private:
  static void Blend(TPicture& picture, const FT_Bitmap& bitmap, int left, int top, uint32_t colour) {
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return;
    for (unsigned y = 0; y < bitmap.rows; ++y) {
      int py = top + static_cast<int>(y);
      if (py < 0 || py >= picture.Height) continue;
      const unsigned char* src = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
      uint32_t* row = picture.Row(py);
      for (unsigned x = 0; x < bitmap.width; ++x) {
        int px = left + static_cast<int>(x);
        if (px < 0 || px >= picture.Width || src[x] == 0) continue;
        unsigned a = src[x];
        uint32_t d = row[px];
        uint32_t out = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
          unsigned dc = (d >> shift) & 0xFF, sc = (colour >> shift) & 0xFF;
          out |= ((sc * a + dc * (255 - a)) / 255) << shift;
        }
        row[px] = out;
      }
    }
  }

  FT_Library lib_;
  FT_Face face_;
};

}  // namespace

std::unique_ptr<TCaptionFont> OpenFreeTypeCaptionFont(int pixelSize) {
  std::string file = FindJapaneseFace();
  if (file.empty()) return nullptr;
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) != 0) return nullptr;
  FT_Face face = nullptr;
  if (FT_New_Face(lib, file.c_str(), 0, &face) != 0 ||
      FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
    if (face) FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return nullptr;
  }
  return std::make_unique<TFreeTypeCaptionFont>(lib, face);
}

}  // namespace nova
