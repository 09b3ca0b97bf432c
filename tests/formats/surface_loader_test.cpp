// Pictures loaded into surfaces of their own depth, and surfaces saved as bitmaps.
#include <gtest/gtest.h>

#include "base/stream.h"
#include "brio_fixture.h"
#include "formats/bmp_image.h"
#include "formats/brio_writer.h"
#include "formats/png_image.h"
#include "formats/surface_loader.h"
#include "support/test_support.h"

namespace nova::test {
namespace {

TBrioBitmap Rgb(int32_t w, int32_t h) {
  TBrioBitmap b(w, h, 24);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) b.SetPixel(x, y, static_cast<uint32_t>(0xF80000 >> (x * 8) | 0x000008 * y));
  return b;
}

std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

TEST(SurfaceLoader, EachKindOfStreamKeepsTheSurfacesBitCount) {
  TBrioBitmap rgb = Rgb(3, 2);
  TKtMemoryStream brio;
  TBrioWriteFrame wf{"", -1, 100, &rgb, nullptr, {}};
  TBrioWriteOptions scrambled;
  scrambled.Key = 31;
  WriteBrio(brio, {wf, wf}, scrambled);
  const struct {
    const char* label;
    std::string bytes;
  } kinds[] = {{"BM", Bytes(EncodeBmp24(rgb))}, {"PNG", Bytes(EncodePng(rgb, nullptr, {}))}, {"Brio", brio.Data()}};
  for (const auto& k : kinds) {
    for (int bits : {15, 16, 24, 32}) {
      SCOPED_TRACE(testing::Message() << k.label << " into " << bits << " bits");
      TDIBX surface;
      surface.SetSize(1, 1, bits);
      TKtMemoryStream in(k.bytes);
      ASSERT_TRUE(LoadSurfaceFromStream(surface, in, "s", 31));
      EXPECT_EQ(surface.GetBitCount(), bits);
      EXPECT_EQ(surface.GetWidth(), 3);
      EXPECT_EQ(surface.GetHeight(), 2);
      for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x) {
          uint32_t rgbPixel = rgb.Pixel(x, y);
          int32_t color = static_cast<int32_t>((rgbPixel >> 16) | (rgbPixel & 0xFF00) | (rgbPixel & 0xFF) << 16);
          ASSERT_EQ(surface.GetPixel(x, y), static_cast<uint32_t>(surface.ColorToPixel(color))) << x << "," << y;
        }
    }
  }
}

TEST(SurfaceLoader, PalettedPicturesAndPalettedSurfaces) {
  TBrioBitmap idx(2, 1, 8);
  idx.SetPixel(0, 0, 7);
  idx.SetPixel(1, 0, 200);
  TBrioPalette palette(256, 0);
  palette[7] = 0x0000FF;
  palette[200] = 0x404040;
  std::string png = Bytes(EncodePng(idx, nullptr, palette));
  // An 8-bit surface keeps the indices and takes the palette.
  TDIBX eight;
  eight.SetSize(1, 1, 8);
  TKtMemoryStream in(png);
  ASSERT_TRUE(LoadSurfaceFromStream(eight, in, "p"));
  EXPECT_EQ(eight.GetPixel(1, 0), 200u);
  uint32_t entry = 0;
  eight.GetPaletteEntries(&entry, 7, 1);
  EXPECT_EQ(entry, 0x0000FFu);
  // A 4-bit surface cannot hold index 200: colours go to its own (grey) palette's nearest.
  TDIBX four;
  four.SetSize(1, 1, 4);
  TKtMemoryStream in4(png);
  ASSERT_TRUE(LoadSurfaceFromStream(four, in4, "p"));
  EXPECT_EQ(four.GetPixel(1, 0), 4u);  // 0x40 is nearest to grey 4 * 17 = 0x44
  // A true-colour surface takes the colours.
  TDIBX wide;
  wide.SetSize(1, 1, 32);
  TKtMemoryStream in32(png);
  ASSERT_TRUE(LoadSurfaceFromStream(wide, in32, "p"));
  EXPECT_EQ(wide.GetPixel(0, 0), 0xFF0000u);
}

TEST(SurfaceLoader, OtherContentLeavesSurfaceAndStreamAlone) {
  TDIBX surface;
  surface.SetSize(4, 4, 32);
  surface.SetPixel(1, 1, 0x123456);
  TKtMemoryStream in("GIF89a and more");
  in.SetPosition(3);
  EXPECT_FALSE(LoadSurfaceFromStream(surface, in, "g"));
  EXPECT_EQ(in.Position(), 3);
  EXPECT_EQ(surface.GetWidth(), 4);
  EXPECT_EQ(surface.GetPixel(1, 1), 0x123456u);
  // Damaged content of a known kind is an error naming the file.
  TKtMemoryStream bad("BM" + std::string(20, '\x7F'));
  EXPECT_NE(ErrorOf([&] { LoadSurfaceFromStream(surface, bad, "broken.bmp"); }).find("broken.bmp"), std::string::npos);
  EXPECT_EQ(surface.GetWidth(), 4);
}

TEST(SurfaceLoader, FilesAreBitmapsOnly) {
  TempDir dir;
  TDIBX surface;
  surface.SetSize(3, 2, 16);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x) surface.SetPixel(x, y, static_cast<uint32_t>(surface.ColorToPixel(0x0080FF * (x + 1) + y * 0x100000)));
  EXPECT_FALSE(SaveSurfaceToFile(surface, dir / "a.png"));
  ASSERT_TRUE(SaveSurfaceToFile(surface, dir / "a.BMP"));
  std::string bytes = ReadFile(dir / "a.BMP");
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<uint8_t>(bytes[28]), 24u) << "saved as a 24-bit bitmap";

  TDIBX back;
  back.SetSize(1, 1, 16);
  EXPECT_FALSE(LoadSurfaceFromFile(back, dir / "missing.bmp"));
  EXPECT_FALSE(LoadSurfaceFromFile(back, dir / "a.png"));
  EXPECT_EQ(back.GetWidth(), 1);
  ASSERT_TRUE(LoadSurfaceFromFile(back, dir / "a.BMP"));
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(back.GetPixel(x, y), surface.GetPixel(x, y)) << "5-6-5 survives the trip";
}

}  // namespace
}  // namespace nova::test
