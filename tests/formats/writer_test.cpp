// Files of the single-layer writer read back.
#include <gtest/gtest.h>

#include <random>

#include "base/stream.h"
#include "formats/brio_writer.h"
#include "formats/brios.h"
#include "formats/image_input.h"
#include "frame_probe.h"
#include "support/test_support.h"

namespace nova::test {
namespace {

TBrioBitmap Noise(int32_t w, int32_t h, int32_t bits, uint32_t seed) {
  std::mt19937 rng(seed);
  TBrioBitmap b(w, h, bits);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) b.SetPixel(x, y, rng() & (bits == 32 ? 0xFFFFFFu : 0xFFFFFFFFu));
  return b;
}

// A smooth picture that JPEG keeps close.
TBrioBitmap Gradient(int32_t w, int32_t h, int32_t bits) {
  TBrioBitmap b(w, h, bits);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint32_t color = static_cast<uint32_t>(x * 8) | static_cast<uint32_t>(y * 8) << 8 | 0x800000;
      b.SetPixel(x, y, static_cast<uint32_t>(ColorToPixelValue(color, bits)));
    }
  return b;
}

std::string Write(const std::vector<TBrioWriteFrame>& frames, const TBrioWriteOptions& o) {
  TKtMemoryStream out;
  WriteBrio(out, frames, o);
  return out.Data();
}

TEST(BrioWriter, RoundTrips) {
  const struct {
    int32_t bits;
    int32_t compression;
    int32_t key;
    bool mask;
  } cases[] = {
      {1, 0, 0, false}, {4, 1, 0, false}, {8, 0, 0, true},  {8, 0, 77, true},   {16, 0, 0, false},
      {24, 0, 0, true}, {24, 1, 0, false}, {24, 0, 123456, true}, {32, 1, 0, true}, {32, 0, -5, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits, compression " << c.compression << ", key " << c.key);
    TBrioBitmap color = Noise(7, 5, c.bits, 1), mask = Noise(7, 5, 8, 2);
    TBrioWriteFrame f;
    f.Name = "frame";
    f.Delay = 40;
    f.TransparentIndex = 1;
    f.Color = &color;
    f.Mask = c.mask ? &mask : nullptr;
    if (c.bits <= 8)
      for (uint32_t i = 0; i < (1u << c.bits); ++i) f.Palette.push_back((i * 0x010203u) & 0xFFFFFF);
    TBrioWriteOptions o;
    o.Key = c.key;
    o.Compression = c.compression;
    std::string bytes = Write({f, f}, o);
    EXPECT_EQ(bytes.substr(0, 7), "Brio106");

    TBrioFrameList list(c.key);
    list.LoadFromBytes(AsBytes(bytes), "w.bri");
    EXPECT_EQ(list.Header().Scrambled, c.key != 0);
    EXPECT_EQ(list.Header().Compression, c.key != 0 ? 1 : c.compression);
    ASSERT_EQ(list.Count(), 2);
    const TBrioFrame& r = list.Frame(1);
    EXPECT_EQ(r.Name, "frame");
    EXPECT_EQ(r.Delay, 40);
    EXPECT_EQ(r.Bits, c.bits);
    EXPECT_EQ(r.HasMask(), c.mask);
    if (c.bits <= 8) {
      EXPECT_EQ(r.Palette, f.Palette);
      EXPECT_EQ(r.TransparentColor, 0x010203);
    }
    for (int32_t y = 0; y < 5; ++y)
      for (int32_t x = 0; x < 7; ++x) {
        ASSERT_EQ(PixelOf(r, x, y), color.Pixel(x, y)) << x << "," << y;
        if (c.mask) {
          ASSERT_EQ(MaskOf(r, x, y), static_cast<int>(mask.Pixel(x, y)));
        }
      }
    if (c.key != 0) {
      // Read with another key, the rows come out in another order.
      TBrioFrameList wrong(c.key + 1);
      wrong.LoadFromBytes(AsBytes(bytes), "w.bri");
      bool same = true;
      for (int32_t y = 0; y < 5; ++y) same = same && PixelOf(wrong.Frame(0), 0, y) == color.Pixel(0, y);
      EXPECT_FALSE(same);
    }
  }
}

TEST(BrioWriter, JpegLayersComeBackClose) {
  for (int32_t bits : {16, 24, 32}) {
    TBrioBitmap color = Gradient(16, 16, bits), mask = Noise(16, 16, 8, 3);
    TBrioWriteFrame f;
    f.Color = &color;
    f.Mask = &mask;
    TBrioWriteOptions o;
    o.Compression = 2;
    o.JpegQuality = 95;
    std::string bytes = Write({f}, o);
    TBrioFrameList list;
    list.LoadFromBytes(AsBytes(bytes), "j.bri");
    EXPECT_EQ(list.Header().JpegQuality, 95);
    const TBrioFrame& r = list.Frame(0);
    EXPECT_EQ(r.Bits, bits);
    TBrioPalette none;
    for (int32_t y = 0; y < 16; ++y)
      for (int32_t x = 0; x < 16; ++x) {
        uint32_t a = PixelToColor(PixelOf(r, x, y), bits, none), b = PixelToColor(color.Pixel(x, y), bits, none);
        for (int shift = 0; shift < 24; shift += 8)
          ASSERT_NEAR(static_cast<int>((a >> shift) & 0xFF), static_cast<int>((b >> shift) & 0xFF), 12) << bits;
        ASSERT_EQ(MaskOf(r, x, y), static_cast<int>(mask.Pixel(x, y))) << "the mask is exact";
      }
  }
}

TEST(BrioWriter, Refusals) {
  TBrioBitmap pal(2, 2, 8), rgb(2, 2, 24), wrongMask(3, 2, 8);
  TBrioWriteFrame paletted{"", -1, 100, &pal, nullptr, {}};
  TBrioWriteFrame masked{"", -1, 100, &rgb, &wrongMask, {}};
  TBrioWriteOptions scramble;
  scramble.RequireScramble = true;
  TBrioWriteOptions jpeg;
  jpeg.Compression = 2;
  EXPECT_EQ(ErrorOf([&] { Write({paletted}, scramble); }), "識別コードを設定してください");
  EXPECT_NE(ErrorOf([&] { Write({paletted}, jpeg); }), "(no error)");
  EXPECT_NE(ErrorOf([&] { Write({masked}, TBrioWriteOptions{}); }), "(no error)");
  // With a key the request for scrambling is met.
  scramble.Key = 9;
  EXPECT_EQ(ErrorOf([&] { Write({paletted}, scramble); }), "(no error)");
}

}  // namespace
}  // namespace nova::test
