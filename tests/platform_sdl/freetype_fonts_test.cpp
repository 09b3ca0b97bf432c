// The FreeType rasteriser with the installed fonts: the substitutes of the Windows faces, the
// two ways of sizing a face, fonts.conf, font data added from bytes, and "終了" rendered with
// the IPA face through the glyph cache onto page surfaces. Skipped without the IPA fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>

#include "base/encoding.h"
#include "platform/sdl/freetype_fonts.h"
#include "support/test_support.h"
#include "text/ktwords.h"
#include "text/page_render.h"

namespace nova {
namespace {

std::string Sj(const std::string& utf8) { return Utf8ToSjis(utf8); }

constexpr uint16_t kShu = 0x8F49;  // 終
constexpr uint16_t kRyo = 0x97B9;  // 了

class FreeTypeFonts : public ::testing::Test {
protected:
  std::unique_ptr<TFontRasterizer> fonts = CreateFreeTypeFontRasterizer("/nonexistent/fonts.conf");
  void SetUp() override {
    if (!fonts->FindFace("IPAGothic") || !fonts->FindFace("IPAPMincho")) GTEST_SKIP() << "the IPA fonts are not installed";
  }
  static int Ink(const TGlyphBitmap& b) { return std::accumulate(b.Coverage.begin(), b.Coverage.end(), 0); }
};

TEST_F(FreeTypeFonts, WindowsFacesFindTheirSubstitutes) {
  struct Case {
    const char* face;
    const char* family;
  };
  for (Case c : {Case{"ＭＳ ゴシック", "IPAGothic ("}, Case{"ＭＳ Ｐゴシック", "IPAPGothic ("},
                 Case{"ＭＳ 明朝", "IPAMincho ("}, Case{"ＭＳ Ｐ明朝", "IPAPMincho ("}, Case{"ms pgothic", "IPAPGothic ("}}) {
    TFontFace* face = fonts->FindFace(Sj(c.face));
    ASSERT_NE(face, nullptr) << c.face;
    EXPECT_EQ(face->Source().rfind(c.family, 0), 0u) << c.face << ": " << face->Source();
    EXPECT_EQ(face->Name(), Sj(c.face));
  }
  EXPECT_EQ(fonts->FindFace(Sj("ＭＳ ゴシック")), fonts->FindFace(Sj("ＭＳ ゴシック")));  // resolved once
  EXPECT_EQ(fonts->FindFace("No Such Face At All"), nullptr);
  EXPECT_NE(fonts->FindFace(Sj("IPAゴシック")), nullptr);  // installed families by any of their names

  std::vector<std::string> all = fonts->Families(false), fixed = fonts->Families(true);
  auto has = [](const std::vector<std::string>& v, const std::string& n) { return std::find(v.begin(), v.end(), n) != v.end(); };
  EXPECT_TRUE(has(all, Sj("ＭＳ Ｐゴシック")));
  EXPECT_TRUE(has(all, "IPAPGothic"));
  EXPECT_TRUE(has(fixed, Sj("ＭＳ ゴシック")));
  EXPECT_FALSE(has(fixed, Sj("ＭＳ Ｐゴシック")));
}

TEST_F(FreeTypeFonts, SubstitutesFillTheCellWithTheirEmBox) {
  TFontFace* substitute = fonts->FindFace(Sj("ＭＳ ゴシック"));
  TFontFace* own = fonts->FindFace("IPAGothic");
  for (int size : {12, 16, 24, 32}) {
    auto font = substitute->CreateFont(size, false, false);
    TGlyphBitmap b;
    ASSERT_TRUE(font->RenderGlyph(kShu, false, b));
    EXPECT_EQ(b.Advance, size) << size;
    ASSERT_TRUE(font->RenderGlyph('A', false, b));
    EXPECT_EQ(b.Advance, size / 2) << size;
    EXPECT_EQ(font->Metrics().Ascent + font->Metrics().Descent, size);
  }
  // Asked for by its own name the face is sized as Windows sizes it: its Windows ascent and
  // descent (2203 units over an em of 2048) fill the cell, so the em is smaller.
  auto font = own->CreateFont(16, false, false);
  TGlyphBitmap b;
  ASSERT_TRUE(font->RenderGlyph(kShu, false, b));
  EXPECT_EQ(b.Advance, 15);
  EXPECT_EQ(font->Metrics().Ascent, 13);  // 16 x 1802 / 2203
}

TEST_F(FreeTypeFonts, RendersShuuryouInGreyAndAliased) {
  auto font = fonts->FindFace(Sj("ＭＳ ゴシック"))->CreateFont(16, false, false);
  const TOutlineMetrics& m = font->Metrics();
  EXPECT_EQ(m.Ascent, 14);  // 16 x 1802 / 2048
  EXPECT_GE(m.UnderlineThickness, 1);
  EXPECT_GT(m.StrikeOutPosition, 0);
  for (uint16_t code : {kShu, kRyo}) {
    TGlyphBitmap grey, mono;
    ASSERT_TRUE(font->RenderGlyph(code, false, grey));
    ASSERT_TRUE(font->RenderGlyph(code, true, mono));
    for (const TGlyphBitmap* b : {&grey, &mono}) {
      EXPECT_GE(b->Width, 10);
      EXPECT_GE(b->Height, 10);
      EXPECT_LE(b->Width, 16);
      EXPECT_LE(b->OriginY, 14);  // within the cell
      EXPECT_GE(b->OriginX, 0);
      EXPECT_EQ(b->Advance, 16);
    }
    EXPECT_TRUE(std::all_of(mono.Coverage.begin(), mono.Coverage.end(), [](uint8_t v) { return v == 0 || v == 255; }));
    EXPECT_TRUE(std::any_of(grey.Coverage.begin(), grey.Coverage.end(), [](uint8_t v) { return v > 0 && v < 255; }));
    TAbcWidths abc = font->AbcWidths(code);
    EXPECT_EQ(abc.A + abc.B + abc.C, 16);
    EXPECT_EQ(abc.A, grey.OriginX);
  }
  TGlyphBitmap space;
  ASSERT_TRUE(font->RenderGlyph(0x8140, false, space));
  EXPECT_EQ(space.Width, 0);
  EXPECT_EQ(space.Advance, 16);

  TGlyphBitmap plain, bold, italic;
  font->RenderGlyph(kShu, false, plain);
  fonts->FindFace(Sj("ＭＳ ゴシック"))->CreateFont(16, true, false)->RenderGlyph(kShu, false, bold);
  fonts->FindFace(Sj("ＭＳ ゴシック"))->CreateFont(16, false, true)->RenderGlyph(kShu, false, italic);
  EXPECT_GT(Ink(bold), Ink(plain) * 11 / 10);
  // Slanted: the ink of the second row starts further right, the bottom row's no further.
  auto firstInk = [](const TGlyphBitmap& b, int row) {
    for (int x = 0; x < b.Width; ++x)
      if (b.Coverage[static_cast<size_t>(row * b.Width + x)] > 128) return b.OriginX + x;
    return 99;
  };
  EXPECT_GE(firstInk(italic, 1), firstInk(plain, 1) + 2);
  EXPECT_LE(firstInk(italic, italic.Height - 1), firstInk(plain, plain.Height - 1) + 1);
}

TEST_F(FreeTypeFonts, TheUsersFontsConfChoosesOtherFamilies) {
  test::TempDir dir;
  test::WriteFile(dir / "fonts.conf", "# gothic in mincho\nＭＳ ゴシック = No Such Family, IPAMincho\nbad line\n");
  auto custom = CreateFreeTypeFontRasterizer(dir / "fonts.conf");
  TFontFace* face = custom->FindFace(Sj("ＭＳ ゴシック"));
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->Source().rfind("IPAMincho (", 0), 0u) << face->Source();
}

TEST_F(FreeTypeFonts, AGamesOwnFontWinsByItsName) {
  const std::filesystem::path file = "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf";
  if (!std::filesystem::exists(file)) GTEST_SKIP() << file;
  EXPECT_EQ(fonts->AddFontData("not a font"), 0);
  ASSERT_EQ(fonts->AddFontData(test::ReadFile(file)), 1);
  TFontFace* face = fonts->FindFace(Sj("IPA明朝"));
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->Source(), "font data");
  EXPECT_EQ(fonts->FindFace("ipamincho"), face);
  TGlyphBitmap b;
  ASSERT_TRUE(face->CreateFont(16, false, false)->RenderGlyph(kShu, false, b));
  EXPECT_GT(b.Width, 0);
}

TEST_F(FreeTypeFonts, ShuuryouOnAPageThroughTheGlyphCache) {
  TFontPixelManager cache(*fonts);
  TKtWord word;
  TWdPageList pages;
  word.Settings.FontSize = 24;
  word.BuildGlyphs(SplitMarkupLines(Sj("終了")), 0);
  word.LayoutPages(pages);
  RenderPage(word, *pages.at(0), cache, 32);
  ASSERT_EQ(word.PageCoverage.GetWidth(), 48);
  // Each character inks most rows of its own cell.
  for (int cell = 0; cell < 2; ++cell) {
    int rows = 0;
    for (int y = 0; y < 24; ++y) {
      bool inked = false;
      for (int x = cell * 24; x < cell * 24 + 24; ++x) inked |= word.PageCoverage.GetPixel(x, y) != 0;
      rows += inked;
    }
    EXPECT_GE(rows, 18) << cell;
  }
  EXPECT_EQ(cache.Count(), 2);
}

}  // namespace
}  // namespace nova
