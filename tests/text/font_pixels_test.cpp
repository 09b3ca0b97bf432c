// The glyph cache: grey tables of the quality levels, keys, hit counting, least-recently-used
// eviction, glyph placement fields, the default face and the fall back to aliased glyphs.
#include <gtest/gtest.h>

#include "font_test_util.h"
#include "support/test_support.h"
#include "text/font_pixels.h"
#include "text_test_util.h"

namespace nova::test {
namespace {

TEST(GreyTables, EveryLevelMapsItsValues) {
  struct Case {
    int level, value, coverage;
  };
  const Case cases[] = {
      {0, 0, 0},   {0, 1, 255},                                                               // bits
      {1, 0, 0},   {1, 1, 79},   {1, 2, 127},  {1, 3, 207},  {1, 4, 255},                     // 5 values
      {2, 0, 0},   {2, 1, 43},   {2, 2, 55},   {2, 7, 115},  {2, 8, 159},  {2, 16, 255},       // 17 values
      {3, 0, 0},   {3, 1, 18},   {3, 7, 36},   {3, 8, 55},   {3, 23, 100}, {3, 24, 119},       // 65 values
      {3, 39, 164}, {3, 40, 183}, {3, 64, 255}, {3, 99, 255},                                  // clamped
  };
  for (const Case& c : cases) EXPECT_EQ(GreyToCoverage(c.level, c.value), c.coverage) << c.level << "/" << c.value;
  // The tables only grow.
  for (int level = 1; level <= 3; ++level)
    for (int v = 1; v <= 64; ++v) EXPECT_GE(GreyToCoverage(level, v), GreyToCoverage(level, v - 1));
}

TEST(GreyTables, RasterCoverageIsReducedToTheLevelFirst) {
  struct Case {
    int level, coverage, shown;
  };
  const Case cases[] = {
      {0, 127, 0},  {0, 128, 255}, {0, 255, 255},
      {1, 31, 0},   {1, 32, 79},   {1, 96, 127},  {1, 255, 255},  // 96 -> value 2 of 4
      {2, 7, 0},    {2, 8, 43},    {2, 96, 103},  {2, 128, 159},  // 96 -> value 6 of 16
      {3, 1, 0},    {3, 2, 18},    {3, 96, 119},  {3, 255, 255},  // 96 -> value 24 of 64
  };
  for (const Case& c : cases)
    EXPECT_EQ(QuantizeCoverage(c.level, static_cast<uint8_t>(c.coverage)), c.shown) << c.level << "/" << c.coverage;
}

class GlyphCache : public ::testing::Test {
protected:
  CountingFonts fonts;
  TFontPixelManager cache{fonts};
  const std::string gothic = Sj("ＭＳ ゴシック");
};

TEST_F(GlyphCache, PlacementFieldsFromTheFont) {
  const TFontPixel& kanji = cache.GetGlyph(0x8F49, gothic, 0, 16);
  ASSERT_TRUE(kanji.Image);
  EXPECT_EQ(kanji.Image->GetBitCount(), 8);
  EXPECT_EQ(kanji.BlackWidth(), 12);
  EXPECT_EQ(kanji.BlackHeight(), 12);
  EXPECT_EQ(kanji.OffsetX, 2);
  EXPECT_EQ(kanji.OffsetY, 2);  // ascent 14 - top 12
  EXPECT_EQ(kanji.RightBearing, 2);
  EXPECT_EQ(kanji.Advance(), 16);
  EXPECT_EQ(kanji.UnderlineThickness, 0);
  EXPECT_EQ(kanji.Abc.A + kanji.Abc.B + kanji.Abc.C, 16);

  const TFontPixel& marked = cache.GetGlyph('A', gothic, 4 | 8, 16);  // underline and strike-out
  EXPECT_EQ(marked.BlackWidth(), 4);
  EXPECT_EQ(marked.UnderlineThickness, 1);
  EXPECT_EQ(marked.StrikeOutTop, 14 - 4);
  EXPECT_EQ(marked.StrikeOutThickness, 1);

  const TFontPixel& space = cache.GetGlyph(' ', gothic, 0, 16);
  EXPECT_FALSE(space.Image);
  EXPECT_EQ(space.RightBearing, 8);  // the width of the character as text
  EXPECT_EQ(space.Advance(), 8);
}

TEST_F(GlyphCache, ImagesShowTheLevelsGreys) {
  // The headless rim has coverage 96; the inside 255.
  const int rim[4] = {0, 127, 103, 119};
  for (int level = 0; level <= 3; ++level) {
    cache.SetQuality(level);
    const TFontPixel& g = cache.GetGlyph(0x8F49, gothic, 0, 16);
    EXPECT_EQ(g.Quality, level);
    if (level == 0) {
      EXPECT_EQ(g.BlackWidth(), 10);  // aliased: the inside only
      EXPECT_EQ(g.OffsetX, 3);
      EXPECT_EQ(g.Image->GetPixel(0, 0), 255u);
    } else {
      EXPECT_EQ(g.Image->GetPixel(0, 0), static_cast<uint32_t>(rim[level])) << level;
      EXPECT_EQ(g.Image->GetPixel(1, 1), 255u);
    }
  }
  EXPECT_EQ(cache.Count(), 4);  // one glyph per level
}

TEST_F(GlyphCache, KeysAndHitCounting) {
  const TFontPixel* first = &cache.GetGlyph(0x8F49, gothic, 0, 16);
  EXPECT_EQ(&cache.GetGlyph(0x8F49, gothic, 0, 16), first);
  EXPECT_EQ(cache.Hits(), 1u);
  EXPECT_EQ(cache.Misses(), 1u);
  // Any difference in the key is another glyph: code, name bytes, size, style, level.
  cache.GetGlyph(0x8F4A, gothic, 0, 16);
  cache.GetGlyph(0x8F49, Sj("ＭＳ Ｐゴシック"), 0, 16);
  cache.GetGlyph(0x8F49, Sj("ｍｓ ゴシック"), 0, 16);
  cache.GetGlyph(0x8F49, gothic, 0, 17);
  cache.GetGlyph(0x8F49, gothic, 1, 16);
  cache.SetQuality(2);
  cache.GetGlyph(0x8F49, gothic, 0, 16);
  EXPECT_EQ(cache.Misses(), 7u);
  EXPECT_EQ(cache.Hits(), 1u);
  EXPECT_EQ(cache.Count(), 7);
  EXPECT_EQ(fonts.Inner.Renders, 7);  // a hit renders nothing
  cache.ResetCounters();
  EXPECT_EQ(cache.Hits() + cache.Misses(), 0u);
}

TEST_F(GlyphCache, TheLeastRecentlyUsedGlyphIsEvicted) {
  for (uint16_t code = 0x8800; code < 0x8800 + 256; ++code) cache.GetGlyph(code, gothic, 0, 16);
  EXPECT_EQ(cache.Count(), 256);
  cache.GetGlyph(0x8800, gothic, 0, 16);  // used again: now the most recent
  cache.GetGlyph(0x9000, gothic, 0, 16);  // the 257th: evicts 0x8801
  EXPECT_EQ(cache.Count(), 256);
  std::vector<const TFontPixel*> order = cache.UsedOrder();
  EXPECT_EQ(order.front()->Code, 0x9000);
  EXPECT_EQ(order[1]->Code, 0x8800);
  EXPECT_EQ(order.back()->Code, 0x8802);
  int renders = fonts.Inner.Renders;
  cache.GetGlyph(0x8800, gothic, 0, 16);
  EXPECT_EQ(fonts.Inner.Renders, renders);  // still cached
  cache.GetGlyph(0x8801, gothic, 0, 16);    // created anew
  EXPECT_EQ(fonts.Inner.Renders, renders + 1);
  EXPECT_EQ(cache.UsedOrder().back()->Code, 0x8803);
  cache.Clear();
  EXPECT_EQ(cache.Count(), 0);
}

TEST_F(GlyphCache, TheFontIsMadeOnlyWhenNameSizeOrStyleChange) {
  for (uint16_t code : {0x8F49, 0x8F4A, 0x41, 0x42}) cache.GetGlyph(code, gothic, 0, 16);
  EXPECT_EQ(fonts.Creations, 1);
  cache.SetQuality(1);  // the level is not part of the font
  cache.GetGlyph('C', gothic, 0, 16);
  EXPECT_EQ(fonts.Creations, 1);
  cache.GetGlyph('C', gothic, 0, 20);
  cache.GetGlyph('D', gothic, 0, 20);
  cache.GetGlyph('D', gothic, 1, 20);
  EXPECT_EQ(fonts.Creations, 3);
  // Measuring uses a font of its own and leaves the glyph font alone.
  cache.MeasureAbc('A', gothic, 12, 0);
  cache.MeasureMetrics(gothic, 12, 0);
  cache.GetGlyph('E', gothic, 1, 20);
  EXPECT_EQ(fonts.Creations, 4);
}

TEST_F(GlyphCache, UnknownFacesTakeTheDefaultFace) {
  const TFontPixel& g = cache.GetGlyph(0x8F49, Sj("存在しない書体"), 0, 16);
  EXPECT_EQ(g.FontName, Sj("存在しない書体"));  // the key keeps the asked name
  EXPECT_EQ(g.BlackWidth(), 12);
  EXPECT_EQ(fonts.Lookups, 2);  // the name, then "ＭＳ ゴシック"
  fonts.NoFaces = true;
  EXPECT_EQ(ErrorOf([&] { cache.GetGlyph(0x8F49, gothic, 0, 99); }), "Error:GetOutlineTextMetrics");
  EXPECT_EQ(cache.Count(), 1);  // nothing half-made stays
}

TEST_F(GlyphCache, ARefusedGreyGlyphMakesEveryGlyphAliased) {
  fonts.Inner.RefuseGrey = true;
  const TFontPixel& g = cache.GetGlyph(0x8F49, gothic, 0, 16);
  ASSERT_TRUE(g.Image);
  EXPECT_EQ(g.Quality, 0);
  EXPECT_EQ(g.BlackWidth(), 10);
  EXPECT_EQ(cache.Quality(), 0);
  cache.SetQuality(3);
  EXPECT_EQ(cache.Quality(), 0);
  EXPECT_EQ(&cache.GetGlyph(0x8F49, gothic, 0, 16), &g);
}

}  // namespace
}  // namespace nova::test
