// TDIBX storage: formats, pixel access, colour conversion, palettes, the clip rectangle and
// the solid fills.
#include <gtest/gtest.h>

#include "render/dibx.h"
#include "render_test_util.h"
#include "support/test_support.h"

namespace nova::test {
namespace {

TEST(Storage, NewSurfaceIsOnePixelOf15Bits) {
  TDIBX s;
  EXPECT_EQ(s.GetWidth(), 1);
  EXPECT_EQ(s.GetHeight(), 1);
  EXPECT_EQ(s.GetBitCount(), 15);
  EXPECT_EQ(s.GetStoredBitCount(), 16);
  EXPECT_EQ(s.Transparent, -1);
  EXPECT_FALSE(s.IsEmpty());
}

struct FormatCase {
  int bits;
  int reported, stored;
  uint32_t r, g, b;
  int rs, gs, bs;
  int32_t pitchFor5;  // bytes per row of a 5-pixel-wide surface
};

class Formats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Formats, MasksShiftsAndPitch) {
  const FormatCase& c = GetParam();
  TDIBX s;
  s.SetSize(5, 3, c.bits);
  EXPECT_EQ(s.GetBitCount(), c.reported);
  EXPECT_EQ(s.GetStoredBitCount(), c.stored);
  EXPECT_EQ(s.GetRedMask(), c.r);
  EXPECT_EQ(s.GetGreenMask(), c.g);
  EXPECT_EQ(s.GetBlueMask(), c.b);
  EXPECT_EQ(s.GetRedShift(), c.rs);
  EXPECT_EQ(s.GetGreenShift(), c.gs);
  EXPECT_EQ(s.GetBlueShift(), c.bs);
  EXPECT_EQ(s.GetPitch(), c.pitchFor5);
  EXPECT_EQ(s.PixelAddress(0, 1) - s.PixelAddress(0, 0), c.pitchFor5);
}

INSTANTIATE_TEST_SUITE_P(Render, Formats,
                         ::testing::Values(FormatCase{1, 1, 1, 0xFF0000, 0xFF00, 0xFF, 16, 8, 0, 4},
                                           FormatCase{4, 4, 4, 0xFF0000, 0xFF00, 0xFF, 16, 8, 0, 4},
                                           FormatCase{8, 8, 8, 0xFF0000, 0xFF00, 0xFF, 16, 8, 0, 8},
                                           FormatCase{15, 15, 16, 0x7C00, 0x3E0, 0x1F, 10, 5, 0, 12},
                                           FormatCase{16, 16, 16, 0xF800, 0x7E0, 0x1F, 11, 5, 0, 12},
                                           FormatCase{24, 24, 24, 0xFF0000, 0xFF00, 0xFF, 16, 8, 0, 16},
                                           FormatCase{32, 32, 32, 0xFF0000, 0xFF00, 0xFF, 16, 8, 0, 20}));

TEST(Storage, PixelsOfEveryDepthRoundTrip) {
  for (int bits : {1, 4, 8, 15, 16, 24, 32}) {
    TDIBX s;
    s.SetSize(11, 4, bits);
    uint32_t range = bits == 15 ? 0x7FFF : bits >= 32 ? 0xFFFFFFFF : (1u << bits) - 1;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 11; ++x) s.SetPixel(x, y, static_cast<uint32_t>((x * 2654435761u + y * 40503u)) & range);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 11; ++x)
        EXPECT_EQ(s.GetPixel(x, y), static_cast<uint32_t>((x * 2654435761u + y * 40503u)) & range)
            << bits << " bits at " << x << "," << y;
  }
}

TEST(Storage, SubBytePixelsArePackedMostSignificantFirst) {
  TDIBX mono;
  mono.SetSize(10, 1, 1);
  mono.Fill(0);
  mono.SetPixel(0, 0, 1);
  mono.SetPixel(9, 0, 1);
  EXPECT_EQ(mono.PixelAddress(0, 0)[0], 0x80);
  EXPECT_EQ(mono.PixelAddress(0, 0)[1], 0x40);
  TDIBX quad;
  quad.SetSize(3, 1, 4);
  quad.Fill(0);
  quad.SetPixel(0, 0, 0xA);
  quad.SetPixel(1, 0, 0x3);
  quad.SetPixel(2, 0, 0x7);
  EXPECT_EQ(quad.PixelAddress(0, 0)[0], 0xA3);
  EXPECT_EQ(quad.PixelAddress(0, 0)[1], 0x70);
}

TEST(Storage, OutsidePixelsAreIgnored) {
  TDIBX s;
  s.SetSize(2, 2, 32);
  s.Fill(7);
  s.SetPixel(2, 0, 9);
  s.SetPixel(-1, 0, 9);
  EXPECT_EQ(s.GetPixel(2, 0), 0u);
  EXPECT_EQ(s.PixelAddress(0, 2), nullptr);
  EXPECT_EQ(s.GetPixel(1, 1), 7u);
}

TEST(Storage, ClearSurfaceLeavesAnEmptySurfaceOfTheSameFormat) {
  TDIBX s;
  s.SetSize(20, 20, 32);
  s.ClearSurface();
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_EQ(s.GetWidth(), 0);
  EXPECT_EQ(s.GetBitCount(), 32);
  EXPECT_EQ(s.PixelAddress(0, 0), nullptr);
  s.FillRect(TRect{0, 0, 8, 8}, 1);  // nothing to fill, no fault
}

TEST(Storage, SetBitCountKeepsTheSize) {
  TDIBX s;
  s.SetSize(6, 5, 16);
  s.SetBitCount(15);
  EXPECT_EQ(s.GetBitCount(), 15);
  EXPECT_EQ(s.GetWidth(), 6);
  s.SetBitCount(24);
  EXPECT_EQ(s.GetBitCount(), 24);
  EXPECT_EQ(s.GetHeight(), 5);
}

TEST(Storage, UnsupportedBitCountIsRefused) {
  TDIBX s;
  EXPECT_NE(ErrorOf([&] { s.SetSize(4, 4, 12); }), "(no error)");
}

TEST(Storage, BorrowedPixelsWithBottomUpRows) {
  uint32_t pixels[3 * 2] = {1, 2, 3, 4, 5, 6};  // stored bottom row first
  TDIBX s;
  s.Borrow(reinterpret_cast<uint8_t*>(pixels + 3), 3, 2, 32, -12);
  EXPECT_TRUE(s.Borrowed());
  EXPECT_EQ(s.GetPixel(0, 0), 4u);
  EXPECT_EQ(s.GetPixel(2, 1), 3u);
  s.FillRect(TRect{1, 1, 3, 2}, 9);
  EXPECT_EQ(pixels[1], 9u);
  EXPECT_EQ(pixels[2], 9u);
  EXPECT_EQ(pixels[4], 5u);
  s.SetSize(1, 1, 32);
  EXPECT_FALSE(s.Borrowed());
}

struct ColorCase {
  int bits;
  int32_t color;
  int32_t pixel;
};

class ColorToPixel : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ColorToPixel, ConvertsForTheFormat) {
  TDIBX s;
  s.SetSize(1, 1, GetParam().bits);
  EXPECT_EQ(s.ColorToPixel(GetParam().color), GetParam().pixel);
}

INSTANTIATE_TEST_SUITE_P(Render, ColorToPixel,
                         ::testing::Values(ColorCase{32, 0x00336699, 0x00996633},  // BBGGRR -> RRGGBB
                                           ColorCase{32, 0x00FFFFFF, 0x00FFFFFF},
                                           ColorCase{16, 0x00FFFFFF, 0xFFFF},
                                           ColorCase{16, 0x000000FF, 0xF800},  // red
                                           ColorCase{16, 0x0000FF00, 0x07E0},  // green, 6 bits
                                           ColorCase{15, 0x0000FF00, 0x03E0},  // green, 5 bits
                                           ColorCase{15, 0x00FF0007, 0x001F},  // low red bits drop
                                           ColorCase{24, 0x00112233, 0x00332211},
                                           ColorCase{8, 0x00000017, 0x17},     // index as it is
                                           ColorCase{32, -1, -1}, ColorCase{8, -5, -1}));

TEST(Storage, PalettesOfIndexImages) {
  TDIBX s;
  s.SetSize(4, 4, 4);
  uint32_t table[256];
  s.GetPaletteEntries(table);
  EXPECT_EQ(table[0], 0u);
  EXPECT_EQ(table[15], 0xFFFFFFu);  // grey ramp
  uint32_t two[2] = {0x123456, 0xABCDEF};
  s.SetPaletteEntries(two, 3, 2);
  uint32_t back[3];
  s.GetPaletteEntries(back, 2, 3);
  EXPECT_EQ(back[0], 0x222222u);
  EXPECT_EQ(back[1], 0x123456u);
  EXPECT_EQ(back[2], 0xABCDEFu);
  EXPECT_EQ(s.PaletteSize(), 16);
}

// --- Clip rectangle ---

struct ClipCase {
  const char* name;
  std::vector<TRect> adds;
  TRect expected;  // all zero: no clip
};

class AddClip : public ::testing::TestWithParam<ClipCase> {};

TEST_P(AddClip, ClampsAndGrows) {
  TDIBX s;
  s.SetSize(100, 50, 32);
  for (const TRect& r : GetParam().adds) s.AddClip(r);
  EXPECT_EQ(s.GetClipRect(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Render, AddClip,
    ::testing::Values(ClipCase{"Inside", {{10, 10, 20, 20}}, {10, 10, 20, 20}},
                      ClipCase{"PartlyOutsideKeepsTheInside", {{-5, 40, 30, 80}}, {0, 40, 30, 50}},
                      ClipCase{"WhollyOutsideIsIgnored", {{10, 10, 20, 20}, {200, 0, 300, 10}}, {10, 10, 20, 20}},
                      ClipCase{"WhollyOutsideWithoutClipStaysUnclipped", {{-30, -30, -1, -1}}, {0, 0, 0, 0}},
                      ClipCase{"SecondGrowsToTheBoundingBox", {{10, 10, 20, 20}, {50, 5, 60, 12}}, {10, 5, 60, 20}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Clip, ResetClipMeansTheWholeSurface) {
  TDIBX s;
  s.SetSize(30, 20, 32);
  s.AddClip(TRect{1, 2, 3, 4});
  s.ResetClip();
  EXPECT_EQ(s.ClipRight, 0);
  EXPECT_EQ(s.EffectiveClip(), (TRect{0, 0, 30, 20}));
}

// --- Solid fills ---

TEST(Fill, FillRectIsClippedForEveryDepth) {
  for (int bits : {1, 4, 8, 15, 16, 24, 32}) {
    TDIBX s;
    s.SetSize(9, 6, bits);
    s.Fill(0);
    s.AddClip(TRect{2, 1, 7, 5});
    s.FillRect(TRect{-3, 3, 20, 20}, 1);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 9; ++x) {
        bool inside = x >= 2 && x < 7 && y >= 3 && y < 5;
        EXPECT_EQ(s.GetPixel(x, y), inside ? 1u : 0u) << bits << " bits at " << x << "," << y;
      }
  }
}

TEST(Fill, IndexImagesFillWholeBytes) {
  TDIBX mono;
  mono.SetSize(12, 2, 1);
  mono.AddClip(TRect{0, 0, 1, 1});  // the byte fill covers the whole bitmap
  mono.Fill(5);
  EXPECT_EQ(mono.PixelAddress(0, 1)[1], 0xFF);
  TDIBX quad;
  quad.SetSize(3, 1, 4);
  quad.Fill(0x1C);
  EXPECT_EQ(quad.PixelAddress(0, 0)[0], 0xCC);
  EXPECT_EQ(quad.GetPixel(2, 0), 0xCu);
}

TEST(Fill, FrameRectDrawsFourBands) {
  TDIBX s;
  s.SetSize(8, 8, 8);
  s.Fill(0);
  s.FrameRect(TRect{1, 1, 7, 7}, 2, 9);
  EXPECT_EQ(Picture(s),
            "........\n"
            ".999999.\n"
            ".999999.\n"
            ".99..99.\n"
            ".99..99.\n"
            ".999999.\n"
            ".999999.\n"
            "........\n");
}

}  // namespace
}  // namespace nova::test
