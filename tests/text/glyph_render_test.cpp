// RenderGlyph: placement in the cell, the plain and opaque copies, bars, border and shadow
// arithmetic, runs of underlined characters, clipping, and the fast path against the plain one.
#include <gtest/gtest.h>

#include <random>

#include "font_test_util.h"
#include "text/glyph_render.h"
#include "text_test_util.h"

namespace nova::test {
namespace {

uint32_t Channel(uint32_t pixel, int shift) { return pixel >> shift & 0xFF; }
uint32_t Grey(uint32_t v) { return v << 16 | v << 8 | v; }

TEST(RenderGlyph, PlacementInTheCell) {
  struct Case {
    const char* what;
    int32_t size, cellWidth, blackWidth, offsetX, rightBearing;
    TAbcWidths abc;
    int32_t left;  // of the touched rectangle
  };
  const Case cases[] = {
      {"half-width centred in a square cell", 16, 16, 6, 1, 1, {1, 6, 1}, 5},   // s = round(4 * 10 / 8) - 1
      {"full-width fills its cell", 16, 16, 14, 1, 1, {1, 14, 1}, 1},
      {"no ABC widths: half the free room", 16, 16, 4, 0, 0, {0, 0, 0}, 6},
      {"narrow cell: the square part is the cell", 16, 8, 4, 2, 2, {2, 4, 2}, 2},
      {"a shift below zero stays 0", 16, 16, 4, 6, 0, {0, 4, 12}, 6},
      {"halves round to even", 7, 7, 2, 0, 0, {1, 2, 1}, 2},  // round(2.5) = 2
  };
  for (const Case& c : cases) {
    std::vector<int> row(static_cast<size_t>(c.blackWidth), 255);
    auto g = HandGlyph({row, row}, c.size);
    g->OffsetX = c.offsetX;
    g->OffsetY = 3;
    g->RightBearing = c.rightBearing;
    g->Abc = c.abc;
    auto color = Surface(40, 20, 32), coverage = Surface(40, 20, 8);
    TGlyphPaint paint;
    paint.BorderWidth = 1;
    paint.ShadowOffset = 2;
    TRect r = RenderGlyph(*g, *color, *coverage, TRect::FromSize(0, 1, c.cellWidth, 16), paint);
    EXPECT_EQ(r, TRect::FromSize(c.left, 1 + 3, c.blackWidth + 2 + 2, 2 + 2 + 2)) << c.what;
  }
}

class PlainGlyph : public ::testing::Test {
protected:
  std::unique_ptr<TFontPixel> glyph = HandGlyph({{255, 128}, {0, 64}}, 4);
  std::unique_ptr<TDIBX> color = Surface(6, 6, 32, 0x111111), coverage = Surface(6, 6, 8, 7);
  TGlyphPaint paint;
  const TRect cell = TRect::FromSize(0, 0, 4, 4);
  void SetUp() override {
    glyph->OffsetX = glyph->OffsetY = glyph->RightBearing = 1;  // no room to centre
    paint.TextPixel = 0xABCDEF;
  }
};

TEST_F(PlainGlyph, TextPixelWhereCoveredCoverageCopied) {
  TRect r = RenderGlyph(*glyph, *color, *coverage, cell, paint);
  EXPECT_EQ(r, TRect::FromSize(1, 1, 2, 2));
  EXPECT_EQ(coverage->GetPixel(1, 1), 255u);
  EXPECT_EQ(coverage->GetPixel(2, 1), 128u);
  EXPECT_EQ(coverage->GetPixel(1, 2), 7u);  // no coverage: what was there stays
  EXPECT_EQ(coverage->GetPixel(2, 2), 64u);
  EXPECT_EQ(color->GetPixel(2, 2), 0xABCDEFu);
  EXPECT_EQ(color->GetPixel(1, 2), 0x111111u);
  EXPECT_EQ(coverage->GetPixel(0, 0), 7u);
}

TEST_F(PlainGlyph, OpaqueFillsTheBoxAndCopiesEveryValue) {
  paint.Opaque = true;
  RenderGlyph(*glyph, *color, *coverage, cell, paint);
  EXPECT_EQ(coverage->GetPixel(1, 2), 0u);
  EXPECT_EQ(color->GetPixel(1, 2), 0xABCDEFu);
  EXPECT_EQ(coverage->GetPixel(2, 1), 128u);
  EXPECT_EQ(color->GetPixel(3, 3), 0x111111u);
}

TEST_F(PlainGlyph, UnderlineAtTheCellBottomStrikeOutAtItsTop) {
  glyph->Style = 4 | 8;
  glyph->UnderlineThickness = 1;
  glyph->StrikeOutTop = 2;
  glyph->StrikeOutThickness = 1;
  coverage->Fill(0);
  TRect r = RenderGlyph(*glyph, *color, *coverage, cell, paint);
  EXPECT_EQ(r, TRect(0, 1, 4, 4));
  EXPECT_EQ(CoverageMap(*coverage), (std::vector<std::string>{"......", ".#+...", "####..", "####..", "......",
                                                              "......"}));
  EXPECT_EQ(color->GetPixel(0, 3), 0xABCDEFu);
}

TEST(RenderGlyph, BorderComposesOverWhatIsThere) {
  const uint32_t border = Grey(200), text = 0;
  // One full pixel: the 3 x 3 square takes the border (255 x 200 >> 8 = 199), the centre the text.
  auto dot = HandGlyph({{255}}, 1);
  auto color = Surface(4, 4, 32), coverage = Surface(4, 4, 8);
  TGlyphPaint paint{text, border, 0, 1, 0, false, true, true};
  EXPECT_EQ(RenderGlyph(*dot, *color, *coverage, TRect::FromSize(0, 0, 3, 3), paint), TRect(0, 0, 3, 3));
  EXPECT_EQ(CoverageMap(*coverage), (std::vector<std::string>{"###.", "###.", "###.", "...."}));
  EXPECT_EQ(color->GetPixel(0, 0), Grey(199));
  EXPECT_EQ(color->GetPixel(1, 1), text);

  // Two soft pixels side by side (128, 64): their squares overlap in columns 1 and 2.
  auto pair = HandGlyph({{128, 64}}, 2);
  color = Surface(5, 3, 32);
  coverage = Surface(5, 3, 8);
  RenderGlyph(*pair, *color, *coverage, TRect::FromSize(0, 0, 4, 3), paint);
  // Column 0: only 128: c' = 128, s = 255. Columns 1-2: then 64 over 128: c' = 128 + 64 * 127 / 255
  // = 159, s = 64 * 255 / 159 = 102, colour (199 * 153 + 200 * 102) >> 8 = 198. Column 3: only 64.
  EXPECT_EQ(coverage->GetPixel(0, 0), 128u);
  EXPECT_EQ(Channel(color->GetPixel(0, 0), 8), 199u);
  EXPECT_EQ(coverage->GetPixel(1, 0), 159u);
  EXPECT_EQ(Channel(color->GetPixel(1, 0), 16), 198u);
  EXPECT_EQ(coverage->GetPixel(3, 2), 64u);
  EXPECT_EQ(color->GetPixel(3, 2), Grey(199));
  // The face: coverage merged (159 stays), colour (k text + (255 - k) border) >> 8.
  EXPECT_EQ(coverage->GetPixel(1, 1), 159u);
  EXPECT_EQ(color->GetPixel(1, 1), Grey(200 * 127 >> 8));  // k = 128
  EXPECT_EQ(color->GetPixel(2, 1), Grey(200 * 191 >> 8));  // k = 64
}

TEST(RenderGlyph, BorderTwoWidensTheCoverageTwoPixelsEachSide) {
  CountingFonts fonts;
  TFontPixelManager cache(fonts);
  const TFontPixel& g = cache.GetGlyph(0x8F49, Sj("ＭＳ ゴシック"), 0, 16);  // 12 x 12 at (2, 2)
  auto color = Surface(24, 24, 32), coverage = Surface(24, 24, 8);
  TGlyphPaint paint;
  paint.BorderWidth = 2;
  TRect r = RenderGlyph(g, *color, *coverage, TRect::FromSize(0, 0, 20, 20), paint);
  EXPECT_EQ(r, TRect::FromSize(2, 2, 16, 16));
  TRect inked;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x)
      if (coverage->GetPixel(x, y)) inked = Union(inked, TRect::FromSize(x, y, 1, 1));
  EXPECT_EQ(inked, TRect(2, 2, 18, 18));  // the glyph at (4, 4)..(16, 16) plus 2 all round
}

TEST(RenderGlyph, NeighboursWithTheSameBorderShareOneUnderline) {
  CountingFonts fonts;
  TFontPixelManager cache(fonts);
  const std::string gothic = Sj("ＭＳ ゴシック");
  auto color = Surface(32, 20, 32), coverage = Surface(32, 20, 8);
  TGlyphPaint paint{0x0000FF, 0x00FF00, 0, 1, 0, false, true, false};
  RenderGlyph(cache.GetGlyph(0x8F49, gothic, 4, 16), *color, *coverage, TRect::FromSize(0, 0, 16, 20), paint);
  paint.FirstOfRun = false;
  paint.LastOfRun = true;
  RenderGlyph(cache.GetGlyph(0x8F4A, gothic, 4, 16), *color, *coverage, TRect::FromSize(16, 0, 16, 20), paint);
  // Underline of thickness 1 at 20 - 1 - 1 = 18, border bands at 17 and 19, the whole width.
  for (int x = 0; x < 32; ++x) {
    EXPECT_EQ(color->GetPixel(x, 18), 0x0000FFu) << x;
    EXPECT_EQ(color->GetPixel(x, 17), 0x00FF00u) << x;
    EXPECT_EQ(color->GetPixel(x, 19), 0x00FF00u) << x;
    EXPECT_EQ(coverage->GetPixel(x, 18), 255u) << x;
  }
}

TEST(RenderGlyph, ShadowBelowAndRightOfTheGlyphAndItsUnderline) {
  auto square = HandGlyph({{255, 255}, {255, 255}}, 16, 4);
  square->UnderlineThickness = 1;
  square->RightBearing = 14;  // no room to centre
  const uint32_t shadow = Grey(128), text = Grey(255);
  for (bool inner : {false, true}) {  // alone, or inside a run
    auto color = Surface(10, 10, 32), coverage = Surface(10, 10, 8);
    TGlyphPaint paint{text, 0, shadow, 0, 2, false, !inner, !inner};
    TRect r = RenderGlyph(*square, *color, *coverage, TRect::FromSize(0, 0, 8, 10), paint);
    EXPECT_EQ(r, TRect(0, 0, 8, 10));
    // The shadow's underline at the bottom row, starting 2 later at the start of a run; the
    // text's underline 2 higher, ending 2 earlier at the end of a run.
    EXPECT_EQ(CoverageMap(*coverage), (std::vector<std::string>{
                                          "##........",
                                          "##........",
                                          "..##......",
                                          "..##......",
                                          "..........",
                                          "..........",
                                          "..........",
                                          inner ? "########.." : "######....",
                                          "..........",
                                          inner ? "########.." : "..######..",
                                      }))
        << inner;
    EXPECT_EQ(color->GetPixel(2, 2), Grey(127));
    EXPECT_EQ(color->GetPixel(0, 0), text);
    EXPECT_EQ(color->GetPixel(5, 7), text);
  }
}

TEST(RenderGlyph, SoftEdgesAreComposedOntoTheShadow) {
  auto g = HandGlyph({{255, 100}, {100, 100}}, 16);
  g->RightBearing = 14;
  auto color = Surface(4, 4, 32), coverage = Surface(4, 4, 8);
  TGlyphPaint paint{Grey(255), 0, Grey(128), 0, 1, false, true, true};
  RenderGlyph(*g, *color, *coverage, TRect::FromSize(0, 0, 4, 4), paint);
  EXPECT_EQ(coverage->GetPixel(1, 1), 255u);  // the shadow's full pixel under a soft one
  EXPECT_EQ(color->GetPixel(1, 1), Grey((127 * 155 + 255 * 100) >> 8));
  EXPECT_EQ(coverage->GetPixel(1, 0), 100u);  // nothing below: as a plain glyph
  EXPECT_EQ(color->GetPixel(1, 0), Grey(255));
}

TEST(RenderGlyph, StaysInsideTheClipAndWithoutImageDrawsNothing) {
  auto g = HandGlyph({{255, 255, 255}, {255, 255, 255}}, 8, 4 | 8);
  g->UnderlineThickness = g->StrikeOutThickness = 1;
  g->StrikeOutTop = 3;
  auto color = Surface(12, 12, 32), coverage = Surface(12, 12, 8);
  TRect clip{3, 2, 7, 6};
  color->SetClipRect(clip);
  coverage->SetClipRect(clip);
  TGlyphPaint paint{0xFFFFFF, 0x808080, 0x404040, 2, 2, false, true, true};
  RenderGlyph(*g, *color, *coverage, TRect::FromSize(1, 1, 8, 10), paint);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x)
      if (!clip.Contains(x, y)) {
        ASSERT_EQ(coverage->GetPixel(x, y), 0u) << x << "," << y;
      }
  EXPECT_EQ(coverage->GetPixel(4, 4), 255u);

  auto blank = HandGlyph({}, 8);
  auto before = Surface(12, 12, 8);
  before->Assign(coverage.get());
  EXPECT_TRUE(RenderGlyph(*blank, *color, *coverage, TRect::FromSize(0, 0, 8, 8), paint).Empty());
  EXPECT_TRUE(SamePixels(*before, *coverage));
}

TEST(RenderGlyph, FastPathMatchesThePlainOne) {
  std::mt19937 rng(7);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int bits : {32, 16, 15, 24}) {
    auto fastColor = Surface(40, 30, bits, 0), fastCov = Surface(40, 30, 8);
    auto refColor = Surface(40, 30, bits, 0), refCov = Surface(40, 30, 8);
    for (int n = 0; n < 60; ++n) {
      // Some glyphs mostly soft, some mostly full (runs of full pixels take another way).
      int w = pick(1, 9), h = pick(1, 7), full = pick(0, 4);
      std::vector<std::vector<int>> rows(static_cast<size_t>(h));
      for (auto& row : rows)
        for (int x = 0; x < w; ++x) row.push_back(pick(0, 3) == 0 ? 0 : pick(0, 3) < full ? 255 : pick(1, 254));
      auto g = HandGlyph(rows, pick(4, 16), static_cast<uint8_t>(pick(0, 15)));
      g->OffsetX = pick(0, 3);
      g->OffsetY = pick(0, 3);
      g->RightBearing = pick(0, 3);
      g->Abc = TAbcWidths{pick(-1, 3), w, pick(-1, 3)};
      g->UnderlineThickness = g->Style & 4 ? pick(1, 2) : 0;
      g->StrikeOutThickness = g->Style & 8 ? pick(1, 2) : 0;
      g->StrikeOutTop = pick(0, 8);
      TGlyphPaint paint{static_cast<uint32_t>(fastColor->ColorToPixel(pick(0, 0xFFFFFF))),
                        static_cast<uint32_t>(fastColor->ColorToPixel(pick(0, 0xFFFFFF))),
                        static_cast<uint32_t>(fastColor->ColorToPixel(pick(0, 0xFFFFFF))),
                        pick(0, 3),
                        pick(0, 3),
                        pick(0, 4) == 0,
                        pick(0, 1) == 0,
                        pick(0, 1) == 0};
      TRect cell = TRect::FromSize(pick(-6, 36), pick(-6, 26), pick(4, 16), pick(4, 16));
      SetGlyphRenderPath(TGlyphRenderPath::Fast);
      TRect a = RenderGlyph(*g, *fastColor, *fastCov, cell, paint);
      SetGlyphRenderPath(TGlyphRenderPath::Reference);
      TRect b = RenderGlyph(*g, *refColor, *refCov, cell, paint);
      SetGlyphRenderPath(TGlyphRenderPath::Fast);
      ASSERT_EQ(a, b);
    }
    int inked = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) inked += fastCov->GetPixel(x, y) != 0;
    EXPECT_GT(inked, 300) << bits;
    EXPECT_TRUE(SamePixels(*fastColor, *refColor)) << bits;
    EXPECT_TRUE(SamePixels(*fastCov, *refCov)) << bits;
  }
}

}  // namespace
}  // namespace nova::test
