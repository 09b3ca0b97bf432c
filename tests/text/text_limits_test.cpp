// What text may cost: the limits of text surfaces, saturating size arithmetic, glyphs too large
// to rasterise, and caption lists whose font would need a surface beyond the limits.
#include <gtest/gtest.h>

#include <climits>

#include "font_test_util.h"
#include "text/label_list.h"
#include "text/text_limits.h"
#include "text_test_util.h"

namespace nova::test {
namespace {

TEST(TextLimits, SurfacesFitLikePictures) {
  struct Case {
    int64_t w, h;
    bool fits;
  };
  const Case cases[] = {
      {0, 0, true},          {1, 1, true},          {16384, 1024, true},  // 16 Mi pixels
      {16384, 1025, false},  {4097, 4096, false},   {16385, 1, false},    {1, 16385, false},
      {-1, 10, false},       {10, -1, false},       {100000, 100000, false},
      {INT64_MAX, INT64_MAX, false},  // the product would overflow
  };
  for (const Case& c : cases) EXPECT_EQ(TextSurfaceFits(c.w, c.h), c.fits) << c.w << "x" << c.h;
}

TEST(TextLimits, SizeArithmeticSaturates) {
  struct Case {
    int32_t a, b, sum, product;
  };
  const Case cases[] = {
      {2, 3, 5, 6},
      {INT32_MAX, 1, INT32_MAX, INT32_MAX},
      {INT32_MIN, -1, INT32_MIN, INT32_MAX},
      {-2147483647, 256, -2147483391, INT32_MIN},  // a font height of -2147483647 zoomed
      {100000, 100000, 200000, INT32_MAX},
      {-100000, 100000, 0, INT32_MIN},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SaturatedAdd(c.a, c.b), c.sum) << c.a << " + " << c.b;
    EXPECT_EQ(SaturatedMul(c.a, c.b), c.product) << c.a << " * " << c.b;
  }
  // Object sizes stay where a position can be added to them.
  for (auto [size, held] : {std::pair<int64_t, int32_t>{100, 100}, {-(int64_t{1} << 30), -(1 << 30)},
                            {INT64_MAX, 1 << 30}, {int64_t{INT32_MIN} * 4, -(1 << 30)}})
    EXPECT_EQ(TextObjectSide(size), held) << size;
}

TEST(TextLimits, RefusalNamesTheObjectAndTheSize) {
  EXPECT_EQ(TextSurfaceRefusal(Sj("窓"), 300, 100000),
            "窓: text surface 300x100000 is beyond the limit (16384 a side, 16777216 pixels); nothing is drawn");
}

TEST(TextLimits, GlyphsBeyondTheLargestSizeAdvanceWithoutImage) {
  CountingFonts fonts;
  TFontPixelManager cache{fonts};
  struct Case {
    uint16_t code;
    int32_t size;
    bool image;
    int32_t advance;  // -1: as the font says
  };
  const Case cases[] = {
      {0x82A0, kMaxGlyphSize, true, -1},  // the largest rasterised size
      {0x82A0, kMaxGlyphSize + 1, false, kMaxGlyphSize + 1},
      {'A', 100000, false, 50000},
      {0x82A0, INT32_MAX, false, INT32_MAX},
  };
  for (const Case& c : cases) {
    const int rendersBefore = fonts.Inner.Renders;
    const TFontPixel& g = cache.GetGlyph(c.code, Sj("ＭＳ ゴシック"), 0, c.size);
    EXPECT_EQ(g.Image != nullptr, c.image) << c.size;
    EXPECT_EQ(fonts.Inner.Renders - rendersBefore, c.image ? 1 : 0) << c.size << ": rasterised";
    if (c.advance >= 0) {
      EXPECT_EQ(g.Advance(), c.advance) << c.size;
    }
    // Asked again, the glyph comes from the cache.
    EXPECT_EQ(&cache.GetGlyph(c.code, Sj("ＭＳ ゴシック"), 0, c.size), &g) << c.size;
  }
}

TEST(TextLimits, CaptionsBeyondTheLimitAreNeitherRenderedNorDrawn) {
  struct Case {
    int32_t fontSize, border;
    bool drawn;
  };
  const Case cases[] = {
      {12, 0, true},
      {100000, 0, false},
      {12, 1 << 30, false},  // a border that overflowed the height before
  };
  for (const Case& c : cases) {
    CountingFonts fonts;
    TFontPixelManager cache{fonts};
    TKtLabelList list{cache};
    auto target = Surface(40, 20, 32, 0);
    list.Target = target.get();
    list.FontSize = c.fontSize;
    list.BorderWidth = c.border;
    TKtLabelDIB& label = list.Add("AB");
    list.MeasureAll();
    EXPECT_GT(label.Height, 0) << c.fontSize << "/" << c.border << ": the sizes saturate";
    testing::internal::CaptureStderr();
    list.Draw(label, 0, 0);
    list.Draw(label, 0, 0);  // reported once, when it is rendered
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(label.Refused, !c.drawn);
    EXPECT_FALSE(label.Stale);
    bool painted = false;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 40; ++x) painted = painted || target->GetPixel(x, y) != 0;
    EXPECT_EQ(painted, c.drawn) << c.fontSize << "/" << c.border;
    if (c.drawn) {
      EXPECT_EQ(err, "");
      continue;
    }
    EXPECT_EQ(label.Color.GetWidth(), 1);
    EXPECT_EQ(err, "novaplayer: " + TextSurfaceRefusal("caption \"AB\"", label.Width, label.Height) + "\n");
  }
}

}  // namespace
}  // namespace nova::test
