// Windows bitmap variants built byte by byte.
#include <gtest/gtest.h>

#include "brio_fixture.h"
#include "formats/bmp_image.h"
#include "formats/image_input.h"
#include "formats/image_open.h"
#include "frame_probe.h"
#include "support/test_support.h"

namespace nova::test {
namespace {
using namespace std::string_literals;

std::string Le16(uint32_t v) { return {static_cast<char>(v), static_cast<char>(v >> 8)}; }

struct BmpLayout {
  int InfoSize = 40;  // 12 (core), 40, 108 or 124
  int32_t Width = 2, Height = 2;  // negative height: top-down
  int Bits = 24;
  int Compression = 0;
  int32_t ColorsUsed = 0;
  std::vector<uint32_t> Palette;  // 0x00RRGGBB as stored (blue byte first)
  uint32_t Masks[4] = {};
  std::string Pixels;  // as stored
};

std::string MakeBmp(const BmpLayout& s) {
  std::string info;
  if (s.InfoSize == 12) {
    info = Le32(12) + Le16(static_cast<uint32_t>(s.Width)) + Le16(static_cast<uint32_t>(s.Height)) + Le16(1) + Le16(s.Bits);
  } else {
    info = Le32(static_cast<uint32_t>(s.InfoSize)) + Le32(static_cast<uint32_t>(s.Width)) +
           Le32(static_cast<uint32_t>(s.Height)) + Le16(1) + Le16(s.Bits) + Le32(s.Compression) + Le32(0) + Le32(0) +
           Le32(0) + Le32(static_cast<uint32_t>(s.ColorsUsed)) + Le32(0);
    if (s.InfoSize > 40) {
      for (uint32_t m : s.Masks) info += Le32(m);
      info.resize(static_cast<size_t>(s.InfoSize), '\0');
    } else if (s.Compression == 3) {
      for (int i = 0; i < 3; ++i) info += Le32(s.Masks[i]);
    }
  }
  for (uint32_t c : s.Palette) {
    info += std::string{static_cast<char>(c), static_cast<char>(c >> 8), static_cast<char>(c >> 16)};
    if (s.InfoSize != 12) info += '\0';
  }
  uint32_t offset = 14 + static_cast<uint32_t>(info.size());
  return "BM" + Le32(offset + static_cast<uint32_t>(s.Pixels.size())) + Le32(0) + Le32(offset) + info + s.Pixels;
}

TBrioFrameList Load(const std::string& bytes, const char* name = "pic.bmp") {
  TBrioFrameList list;
  EXPECT_TRUE(LoadImageByExtension(list, AsBytes(bytes), name));
  return list;
}

// Pixel rows of the image, top to bottom, for a 2 x 2 picture.
using Expect = std::vector<uint32_t>;

TEST(BmpVariants, DepthsHeadersAndRowOrder) {
  const uint32_t p0 = 0x112233, p1 = 0x445566, p2 = 0x778899, p3 = 0xAABBCC;  // 0x00RRGGBB
  auto bgr = [](uint32_t p) { return std::string{static_cast<char>(p), static_cast<char>(p >> 8), static_cast<char>(p >> 16)}; };
  auto px32 = [&](uint32_t p, uint8_t a) { return bgr(p) + static_cast<char>(a); };
  auto word = [](uint32_t v) { return Le16(v); };
  const struct {
    const char* label;
    BmpLayout layout;
    int bits;
    Expect pixels;  // (0,0) (1,0) (0,1) (1,1)
    Expect mask;    // empty: none
  } cases[] = {
      // Bottom-up: the stored first row is the image's last.
      {"24 bottom-up", {40, 2, 2, 24, 0, 0, {}, {}, bgr(p2) + bgr(p3) + "\0\0"s + bgr(p0) + bgr(p1) + "\0\0"s}, 24, {p0, p1, p2, p3}, {}},
      {"24 top-down", {40, 2, -2, 24, 0, 0, {}, {}, bgr(p0) + bgr(p1) + "\0\0"s + bgr(p2) + bgr(p3) + "\0\0"s}, 24, {p0, p1, p2, p3}, {}},
      {"32 fourth byte is the mask", {40, 2, -2, 32, 0, 0, {}, {}, px32(p0, 0) + px32(p1, 10) + px32(p2, 200) + px32(p3, 255)}, 24, {p0, p1, p2, p3}, {0, 10, 200, 255}},
      {"32 alpha field of a long header", {124, 2, -2, 32, 3, 0, {}, {0xFF00, 0xFF0000, 0xFF000000, 0xFF}, "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F\x10"s}, 24, {0x020304, 0x060708, 0x0A0B0C, 0x0E0F10}, {1, 5, 9, 13}},
      // 16 bits: 5-5-5 unless bit fields say otherwise; channels widened by repeating bits.
      {"16 5-5-5", {40, 2, -2, 16, 0, 0, {}, {}, word(0x7C00) + word(0x03E0) + word(0x001F) + word(0x4210)}, 24, {0xFF0000, 0x00FF00, 0x0000FF, 0x848484}, {}},
      {"16 bit fields 5-6-5", {40, 2, -2, 16, 3, 0, {}, {0xF800, 0x07E0, 0x001F}, word(0xF800) + word(0x07E0) + word(0x0400) + word(0)}, 24, {0xFF0000, 0x00FF00, 0x008200, 0}, {}},
      // Paletted: indices kept at their depth.
      {"1 bit", {40, 2, 2, 1, 0, 0, {0x000000, 0xFFFFFF}, {}, "\x40\0\0\0\x80\0\0\0"s}, 1, {1, 0, 0, 1}, {}},
      {"4 bit top-down", {40, 2, -2, 4, 0, 4, {0, 0x0000FF, 0x00FF00, 0xFF0000}, {}, "\x12\0\0\0\x30\0\0\0"s}, 4, {1, 2, 3, 0}, {}},
      {"8 bit short palette", {40, 2, -2, 8, 0, 3, {0x010101, 0x020202, 0x030303}, {}, "\x00\x01\0\0\x02\x02\0\0"s}, 8, {0, 1, 2, 2}, {}},
      {"8 bit core header", {12, 2, 2, 8, 0, 0, std::vector<uint32_t>(256, 0x0A0B0C), {}, "\x05\x06\0\0\x07\x08\0\0"s}, 8, {7, 8, 5, 6}, {}},
      // Run-length, bottom row first: runs, end of line, literal runs (padded to 16 bits) that
      // reach past the width, end of bitmap.
      {"RLE8", {40, 2, 2, 8, 1, 0, std::vector<uint32_t>(256, 0), {}, "\x02\x09\x00\x00\x01\x04\x00\x03\x05\x06\x07\x00\x00\x01"s}, 8, {4, 5, 9, 9}, {}},
      {"RLE4", {40, 2, 2, 4, 2, 0, std::vector<uint32_t>(16, 0), {}, "\x02\x12\x00\x00\x00\x03\x34\x50\x00\x01"s}, 4, {3, 4, 1, 2}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::string error = ErrorOf([&] { Load(MakeBmp(c.layout)); });
    ASSERT_EQ(error, "(no error)");
    TBrioFrameList list = Load(MakeBmp(c.layout));
    ASSERT_EQ(list.Count(), 1);
    const TBrioFrame& f = list.Frame(0);
    EXPECT_EQ(f.Bits, c.bits);
    EXPECT_EQ(f.Width, 2);
    EXPECT_EQ(f.Height, 2);
    Expect got{PixelOf(f, 0, 0), PixelOf(f, 1, 0), PixelOf(f, 0, 1), PixelOf(f, 1, 1)};
    EXPECT_EQ(got, c.pixels);
    EXPECT_EQ(f.HasMask(), !c.mask.empty());
    if (f.HasMask()) {
      Expect mask{static_cast<uint32_t>(MaskOf(f, 0, 0)), static_cast<uint32_t>(MaskOf(f, 1, 0)),
                  static_cast<uint32_t>(MaskOf(f, 0, 1)), static_cast<uint32_t>(MaskOf(f, 1, 1))};
      EXPECT_EQ(mask, c.mask);
    }
  }
}

TEST(BmpVariants, PaletteAndExtensions) {
  BmpLayout s;
  s.Bits = 8;
  s.Height = 1;
  s.Width = 1;
  s.ColorsUsed = 2;
  s.Palette = {0x000000, 0x123456};  // stored blue first: red 0x12, green 0x34, blue 0x56
  s.Pixels = std::string("\x01\0\0\0", 4);
  TBrioFrameList list = Load(MakeBmp(s), "x.DIB");
  EXPECT_EQ(list.Frame(0).Palette.size(), 256u);
  EXPECT_EQ(list.Frame(0).Palette[1], 0x563412u);  // 0x00BBGGRR
  TBrioFrameList other;
  EXPECT_FALSE(LoadImageByExtension(other, AsBytes(MakeBmp(s)), "x.gif"));
  EXPECT_EQ(other.Count(), 0);
}

TEST(BmpVariants, EncoderRoundTrip) {
  TBrioBitmap rgb(3, 2, 24);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x) rgb.SetPixel(x, y, static_cast<uint32_t>(0x010203 * (3 * y + x + 1)));
  std::vector<uint8_t> bytes = EncodeBmp24(rgb);
  TDecodedImage d = DecodeBmp(bytes, "e.bmp");
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(d.Color.Pixel(x, y), rgb.Pixel(x, y));
}

}  // namespace
}  // namespace nova::test
