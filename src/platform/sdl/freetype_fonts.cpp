#include "platform/sdl/freetype_fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>

#include "base/encoding.h"
#include "base/sjis.h"
#include "platform/font_substitutes.h"
#include "platform/sdl/fontconfig_lookup.h"
#include "platform/sfnt_names.h"

namespace nova {
namespace {

// The Unicode character of a Shift-JIS code (0 when it has none).
char32_t SjisCodeToUnicode(uint16_t code) {
  if (code < 0x80) return code;
  if (code >= 0xA1 && code <= 0xDF) return 0xFF61 + (code - 0xA1);  // half-width katakana
  if (code < 0x100) return 0;
  std::string sjis{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}, utf8;
  if (!TrySjisToUtf8(sjis, utf8)) return 0;
  std::u32string u = DecodeUtf8(utf8);
  return u.size() == 1 ? u[0] : 0;
}

int32_t Round26(FT_Pos v) { return static_cast<int32_t>((v + 32) >> 6); }

// One opened face file (on disk or in memory) and how it is sized.
class TFtFace : public TFontFace {
public:
  TFtFace(FT_Face face, std::string name, std::string source, bool emSized, bool fixed)
      : Fixed(fixed), face_(face), name_(std::move(name)), source_(std::move(source)), emSized_(emSized) {
    // Unicode when the face has it; old Japanese fonts may only map Shift-JIS codes.
    if (FT_Select_Charmap(face_, FT_ENCODING_UNICODE) != 0) sjisMap_ = FT_Select_Charmap(face_, FT_ENCODING_SJIS) == 0;
  }
  ~TFtFace() override { FT_Done_Face(face_); }

  const bool Fixed;  // listed in @FixedFonts

  const std::string& Name() const override { return name_; }
  std::string Source() const override { return source_; }
  std::unique_ptr<TFont> CreateFont(int32_t size, bool bold, bool italic) override;

  FT_UInt GlyphIndex(uint16_t code) const {
    if (sjisMap_) return FT_Get_Char_Index(face_, code);
    char32_t u = SjisCodeToUnicode(code);
    return u ? FT_Get_Char_Index(face_, u) : 0;
  }
  FT_Face Face() const { return face_; }
  bool EmSized() const { return emSized_; }

private:
  FT_Face face_;
  std::string name_, source_;
  bool emSized_;
  bool sjisMap_ = false;
};

class TFtFont : public TFont {
public:
  TFtFont(TFtFace& face, FT_Size size, int32_t pixelSize, bool bold, bool italic)
      : face_(face), size_(size), bold_(bold), italic_(italic) {
    FT_Face f = face.Face();
    FT_Activate_Size(size_);
    // The cell: ascent from the Windows metrics when the face is sized the Windows way, else
    // from the face's own ascender and descender over its em.
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    double up = f->ascender, down = -f->descender;
    if (!face.EmSized() && os2 && os2->usWinAscent + os2->usWinDescent > 0) {
      up = os2->usWinAscent;
      down = os2->usWinDescent;
    }
    if (up + down <= 0) up = 0.86, down = 0.14;
    metrics_.Height = pixelSize;
    metrics_.Ascent = static_cast<int32_t>(std::lround(pixelSize * up / (up + down)));
    metrics_.Descent = pixelSize - metrics_.Ascent;
    auto px = [&](FT_Short units) { return Round26(FT_MulFix(units, size_->metrics.y_scale)); };
    metrics_.UnderlineThickness = std::max(1, px(f->underline_thickness));
    metrics_.UnderlinePosition = px(f->underline_position);
    if (os2 && os2->yStrikeoutSize > 0) {
      metrics_.StrikeOutThickness = std::max(1, px(os2->yStrikeoutSize));
      metrics_.StrikeOutPosition = px(os2->yStrikeoutPosition);
    } else {
      metrics_.StrikeOutThickness = metrics_.UnderlineThickness;
      metrics_.StrikeOutPosition = metrics_.Ascent * 3 / 10;
    }
  }
  ~TFtFont() override { FT_Done_Size(size_); }

  const TOutlineMetrics& Metrics() const override { return metrics_; }

  bool RenderGlyph(uint16_t code, bool mono, TGlyphBitmap& out) override {
    out = TGlyphBitmap{};
    if (!Load(code, mono)) return false;
    FT_GlyphSlot slot = face_.Face()->glyph;
    out.Advance = Round26(slot->advance.x);
    if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
        FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
      return false;
    const FT_Bitmap& b = slot->bitmap;
    if (b.width == 0 || b.rows == 0) return true;
    if (b.pixel_mode != FT_PIXEL_MODE_GRAY && b.pixel_mode != FT_PIXEL_MODE_MONO) return false;
    out.Width = static_cast<int32_t>(b.width);
    out.Height = static_cast<int32_t>(b.rows);
    out.OriginX = slot->bitmap_left;
    out.OriginY = slot->bitmap_top;
    out.Coverage.resize(static_cast<size_t>(out.Width) * out.Height);
    for (int32_t y = 0; y < out.Height; ++y) {
      const unsigned char* row = b.buffer + static_cast<ptrdiff_t>(y) * b.pitch;
      uint8_t* dst = out.Coverage.data() + static_cast<size_t>(y) * out.Width;
      for (int32_t x = 0; x < out.Width; ++x) {
        if (b.pixel_mode == FT_PIXEL_MODE_MONO) {
          dst[x] = (row[x >> 3] >> (7 - (x & 7)) & 1) ? 255 : 0;
        } else {
          dst[x] = b.num_grays == 256 ? row[x] : static_cast<uint8_t>(row[x] * 255 / std::max(1, b.num_grays - 1));
        }
      }
    }
    return true;
  }

  TAbcWidths AbcWidths(uint16_t code) override {
    if (!Load(code, false)) return {};
    FT_GlyphSlot slot = face_.Face()->glyph;
    int32_t advance = Round26(slot->advance.x);
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE || slot->outline.n_points == 0) return TAbcWidths{0, 0, advance};
    // The black box as the renderer will fill it: the control box on whole pixels.
    FT_BBox box;
    FT_Outline_Get_CBox(&slot->outline, &box);
    int32_t a = static_cast<int32_t>(box.xMin >> 6);
    int32_t b = static_cast<int32_t>((box.xMax + 63) >> 6) - a;
    return TAbcWidths{a, b, advance - a - b};
  }

private:
  bool Load(uint16_t code, bool mono) {
    FT_Face f = face_.Face();
    FT_Activate_Size(size_);
    FT_Matrix slant{0x10000, italic_ ? 0x0366A : 0, 0, 0x10000};  // x += 0.2126 y
    FT_Set_Transform(f, italic_ ? &slant : nullptr, nullptr);
    FT_Int32 flags = FT_LOAD_NO_BITMAP | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    FT_Error error = FT_Load_Glyph(f, face_.GlyphIndex(code), flags);
    FT_Set_Transform(f, nullptr, nullptr);
    if (error != 0) return false;
    if (bold_ && f->glyph->format == FT_GLYPH_FORMAT_OUTLINE) FT_GlyphSlot_Embolden(f->glyph);
    return true;
  }

  TFtFace& face_;
  FT_Size size_;
  bool bold_, italic_;
  TOutlineMetrics metrics_;
};

std::unique_ptr<TFont> TFtFace::CreateFont(int32_t size, bool bold, bool italic) {
  size = std::max(1, size);
  FT_Size ftSize = nullptr;
  if (FT_New_Size(face_, &ftSize) != 0) return nullptr;
  FT_Activate_Size(ftSize);
  FT_Error error;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
  if (!emSized_ && os2 && os2->usWinAscent + os2->usWinDescent > 0 && FT_IS_SCALABLE(face_)) {
    // Windows: the cell height (Windows ascent + descent) is the requested size.
    FT_Size_RequestRec request{};
    request.type = FT_SIZE_REQUEST_TYPE_NOMINAL;
    request.height = static_cast<FT_Long>(
        std::lround(64.0 * size * face_->units_per_EM / (os2->usWinAscent + os2->usWinDescent)));
    error = FT_Request_Size(face_, &request);
  } else {
    error = FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(size));
  }
  if (error != 0) {
    FT_Done_Size(ftSize);
    return nullptr;
  }
  return std::make_unique<TFtFont>(*this, ftSize, size, bold, italic);
}

class TFreeTypeRasterizer : public TFontRasterizer {
public:
  TFreeTypeRasterizer(FT_Library lib, const std::filesystem::path& configFile) : lib_(lib) {
    std::filesystem::path path = configFile.empty() ? UserFontConfigPath() : configFile;
    std::ifstream in(path, std::ios::binary);
    if (!path.empty() && in) {
      std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      for (const std::string& problem : substitutes_.ApplyConfig(text))
        std::fprintf(stderr, "novaplayer: %s: %s\n", path.string().c_str(), problem.c_str());
    }
  }
  ~TFreeTypeRasterizer() override {
    faces_.clear();  // before the library
    FT_Done_FreeType(lib_);
  }

  TFontFace* FindFace(const std::string& family) override {
    for (auto it = added_.rbegin(); it != added_.rend(); ++it)
      for (const std::string& name : it->Names)
        if (SameText(name, family)) return it->Face;
    std::string key = LowerCaseAnsi(family);
    auto known = resolved_.find(key);
    if (known != resolved_.end()) return known->second;
    TFontFace* face = Resolve(family);
    resolved_[key] = face;
    return face;
  }

  int AddFontData(std::string bytes) override {
    int count = SfntFaceCount(bytes);
    if (count == 0) return 0;
    data_.push_back(std::make_unique<std::string>(std::move(bytes)));
    const std::string& kept = *data_.back();
    int added = 0;
    for (int i = 0; i < count; ++i) {
      TSfntFaceInfo info;
      if (!ReadSfntFaceInfo(kept, i, info)) continue;
      FT_Face face = nullptr;
      if (FT_New_Memory_Face(lib_, reinterpret_cast<const FT_Byte*>(kept.data()), static_cast<FT_Long>(kept.size()),
                             i, &face) != 0)
        continue;
      std::vector<std::string> names = info.Families;
      if (face->family_name && names.empty()) names.emplace_back(face->family_name);
      if (names.empty()) {
        FT_Done_Face(face);
        continue;
      }
      bool fixed = info.FixedPitch || FT_IS_FIXED_WIDTH(face);
      faces_.push_back(std::make_unique<TFtFace>(face, names[0], "font data", false, fixed));
      TFtFace* f = faces_.back().get();
      bool japanese = info.Japanese || f->GlyphIndex(0x82A0) != 0;  // HIRAGANA A
      added_.push_back(TAdded{f, names, japanese});
      ++added;
    }
    return added;
  }

  std::vector<std::string> Families(bool fixedPitchOnly) override {
    std::vector<std::string> names;
    for (const TFontSubstitute& e : substitutes_.Entries()) {
      auto* face = static_cast<TFtFace*>(FindFace(e.WindowsName));
      if (face && (!fixedPitchOnly || face->Fixed)) names.push_back(e.WindowsName);
    }
    if (!systemListed_) {
      for (const TFcFace& f : fontconfig_.JapaneseFaces()) {
        for (const std::string& family : f.Families) {
          std::string sjis;
          if (!TryUtf8ToSjis(family, sjis) || sjis.empty() || sjis[0] == '@') continue;
          system_.push_back(TListed{sjis, f.Fixed});
        }
      }
      systemListed_ = true;
    }
    for (const TListed& l : system_)
      if (!fixedPitchOnly || l.Fixed) names.push_back(l.Name);
    for (const TAdded& a : added_)
      if (a.Japanese && (!fixedPitchOnly || a.Face->Fixed)) names.insert(names.end(), a.Names.begin(), a.Names.end());
    return names;
  }

private:
  struct TAdded {
    TFtFace* Face;
    std::vector<std::string> Names;
    bool Japanese;
  };
  struct TListed {
    std::string Name;
    bool Fixed;
  };

  TFtFace* Open(const TFcFace& fc, const std::string& name, bool emSized, bool fixed) {
    FT_Face face = nullptr;
    if (FT_New_Face(lib_, fc.File.c_str(), fc.Index, &face) != 0) return nullptr;
    std::string source = fc.File + (fc.Index ? "#" + std::to_string(fc.Index) : "");
    if (!fc.Families.empty()) source = fc.Families[0] + " (" + source + ")";
    faces_.push_back(std::make_unique<TFtFace>(face, name, source, emSized, fixed));
    return faces_.back().get();
  }

  TFontFace* Resolve(const std::string& family) {
    if (const TFontSubstitute* sub = substitutes_.Find(family)) {
      // A Windows face of the table keeps its own pitch; a face the user added takes its family's.
      auto fixed = [&](const TFcFace& fc) { return sub->BuiltIn ? sub->FixedPitch : fc.Fixed; };
      for (const std::string& candidate : sub->Families)
        if (auto fc = fontconfig_.MatchFamily(candidate))
          if (TFtFace* face = Open(*fc, family, true, fixed(*fc))) return face;
      if (!sub->Generic.empty())
        if (auto fc = fontconfig_.MatchJapanese(sub->Generic))
          if (TFtFace* face = Open(*fc, family, true, fixed(*fc))) return face;
    }
    std::string utf8;
    if (!TrySjisToUtf8(family, utf8)) return nullptr;
    if (auto fc = fontconfig_.MatchFamily(utf8)) return Open(*fc, family, false, fc->Fixed);
    return nullptr;
  }

  FT_Library lib_;
  TFontconfig fontconfig_;
  TFontSubstitutes substitutes_;
  std::vector<std::unique_ptr<std::string>> data_;  // bytes of added fonts, read by FreeType
  std::vector<std::unique_ptr<TFtFace>> faces_;      // every opened face
  std::vector<TAdded> added_;
  std::map<std::string, TFontFace*> resolved_;       // by lower-cased name; null: no face
  std::vector<TListed> system_;
  bool systemListed_ = false;
};

}  // namespace

std::unique_ptr<TFontRasterizer> CreateFreeTypeFontRasterizer(const std::filesystem::path& configFile) {
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) != 0) return CreateHeadlessFontRasterizer();
  return std::make_unique<TFreeTypeRasterizer>(lib, configFile);
}

}  // namespace nova
