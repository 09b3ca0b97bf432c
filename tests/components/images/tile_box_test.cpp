// Tiles (patterns with scroll and spacing, placed without anchor or zoom) and boxes (fill and
// frame with the blend value).
#include <gtest/gtest.h>

#include "components/component_fixtures.h"
#include "components/images/nova_box.h"
#include "components/images/nova_tile.h"

namespace nova::test {
namespace {

BriFrame Pattern3x2() {
  BriFrame f;
  f.Width = 3, f.Height = 2;
  f.Color = [](int x, int y) { return 0x100000u * (x + 1) + 0x100u * (y + 1) + 1; };
  return f;
}

uint32_t PatternPx(int x, int y) { return 0x100000u * (x + 1) + 0x100u * (y + 1) + 1; }

TEST(Tile, RepeatsThePictureFromTheScrollOffsets) {
  ComponentScene f;
  f.AddFile("t.bri", BriBytes({Pattern3x2()}));
  auto* tile = f.Create<TNovaTile>(LT_TILE, "t",
                                   {{PR_SOURCE, Str("t.bri")}, {PR_LEFT, Int(5)}, {PR_TOP, Int(4)},
                                    {PR_OFFSETX, Int(2)}, {PR_PLUSX, Int(7)}, {PR_SCROLLX, Int(1)}});
  EXPECT_EQ(tile->Width(), 0);  // a tile is as large as it is made
  WriteProperty(*tile, PR_WIDTH, Int(10));
  WriteProperty(*tile, PR_HEIGHT, Int(5));
  EXPECT_EQ(ReadProperty(*tile, PR_ZOOMX).Int, 256);
  f.Frame();
  EXPECT_EQ(tile->ScreenLeft(), 5);  // no anchor, no plus offset
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(f.Px(5 + x, 4 + y), PatternPx((x + 1) % 3, y % 2)) << x << "," << y;
  EXPECT_EQ(f.Px(15, 4), 0u);
  EXPECT_TRUE(ReadProperty(*tile, PR_REPEAT).Flag);
  WriteProperty(*tile, PR_REPEAT, Flag(false));
  EXPECT_TRUE(ReadProperty(*tile, PR_REPEAT).Flag);

  // A distance of 5 leaves two-pixel gaps between copies.
  WriteProperty(*tile, PR_SCROLLX, Int(0));
  WriteProperty(*tile, PR_DISTANCEX, Int(5));
  f.Frame();
  EXPECT_EQ(f.Px(5, 4), PatternPx(0, 0));
  EXPECT_EQ(f.Px(7, 4), PatternPx(2, 0));
  EXPECT_EQ(f.Px(8, 4), 0u);
  EXPECT_EQ(f.Px(10, 4), PatternPx(0, 0));
  // Below half the picture the distance counts for nothing.
  WriteProperty(*tile, PR_DISTANCEX, Int(1));
  f.Frame();
  EXPECT_EQ(f.Px(8, 4), PatternPx(0, 0));
}

TEST(Tile, BlendedAndZoomedTilesGoThroughThePatternDraws) {
  ComponentScene f;
  f.AddFile("t.bri", BriBytes({Pattern3x2()}));
  auto* tile = f.Create<TNovaTile>(LT_TILE, "t",
                                   {{PR_SOURCE, Str("t.bri")}, {PR_WIDTH, Int(12)}, {PR_HEIGHT, Int(6)},
                                    {PR_ALPHA, Int(300)}, {PR_ZOOMX, Int(512)}, {PR_SCROLLY, Int(1)}});
  f.scene.Displayed().SetColor(0x404040);
  f.Frame();
  TDIBX ref;
  ref.SetSize(64, 48, 32);
  ref.Fill(0x404040);
  TCustomDIBX& picture = f.cache.Image(0)->Frames[0]->Surface;
  ref.PatternDraw(TRect{0, 0, 12, 6}, 256, 300, false, false, false, 0, 1, &picture, 512);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 14; ++x) ASSERT_EQ(f.Px(x, y), ref.GetPixel(x, y)) << x << "," << y;
  (void)tile;
}

TEST(Box, FillAndFrameWithTheBlendValue) {
  struct Case {
    int32_t alpha;
    int32_t colour;
    uint32_t frame, inside;  // expected pixels over a 0x202020 screen
  };
  auto alpha = [](uint32_t d, uint32_t s, uint32_t a) {
    uint32_t out = 0;
    for (int sh = 0; sh < 24; sh += 8) {
      const uint32_t dc = (d >> sh) & 0xFF, sc = (s >> sh) & 0xFF;
      out |= (((a * sc + dc * (255 - a)) >> 8) & 0xFF) << sh;
    }
    return out;
  };
  const Case cases[] = {
      {255, -1, 0xFFFFFF, 0x202020},                                       // only the frame
      {255, 0x0000FF, 0xFFFFFF, 0xFF0000},                                 // red fill inside
      {128, 0x0000FF, alpha(0x202020, 0xFFFFFF, 128), alpha(0x202020, 0xFF0000, 128)},
      // 300: the colours are scaled by 44 / 256 and added.
      {300, 0x0000FF, 0x202020 + 0x2B2B2B, 0x202020 + 0x2B0000},
      {0, 0x0000FF, 0x202020, 0x202020},
      {600, 0x0000FF, 0x202020, 0x202020},
  };
  for (const Case& c : cases) {
    ComponentScene f;
    f.scene.Displayed().SetColor(0x202020);
    auto* box = f.Create<TNovaBox>(LT_BOX, "b",
                                   {{PR_LEFT, Int(4)}, {PR_TOP, Int(4)}, {PR_WIDTH, Int(10)}, {PR_HEIGHT, Int(8)},
                                    {PR_BORDERWIDTH, Int(2)}, {PR_BORDERCOLOR, Int(0xFFFFFF)}, {PR_COLOR, Int(c.colour)},
                                    {PR_ALPHA, Int(c.alpha)}});
    f.Frame();
    EXPECT_EQ(f.Px(4, 4), c.frame) << c.alpha;
    EXPECT_EQ(f.Px(5, 8), c.frame) << c.alpha;
    EXPECT_EQ(f.Px(6, 6), c.inside) << c.alpha;
    EXPECT_EQ(f.Px(3, 4), 0x202020u) << c.alpha;
    if (c.alpha == 600) {
      // Its children still draw.
      auto* child = f.Create<TNovaBox>(LT_BOX, "c", {{PR_WIDTH, Int(2)}, {PR_HEIGHT, Int(2)}, {PR_COLOR, Int(0xFF0000)}},
                                       box);
      (void)child;
      f.Frame();
      EXPECT_EQ(f.Px(4, 4), 0x0000FFu);
    }
  }
  EXPECT_EQ(ScaleColor(0xFF8040, 44), (0xFF * 44 / 256) << 16 | (0x80 * 44 / 256) << 8 | (0x40 * 44 / 256));
}

}  // namespace
}  // namespace nova::test
