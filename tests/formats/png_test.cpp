// PNG variants written here with libpng, read through the picture loader.
#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <vector>

#include "formats/image_input.h"
#include "formats/image_open.h"
#include "formats/png_image.h"
#include "frame_probe.h"

namespace nova::test {
namespace {

struct PngSpec {
  int Width = 2, Height = 2;
  int ColorType = PNG_COLOR_TYPE_RGB;
  int BitDepth = 8;
  bool Interlaced = false;
  std::vector<std::vector<uint8_t>> Rows;  // rows as PNG stores them
  std::vector<png_color> Palette;
  std::vector<png_byte> TransAlpha;        // palette tRNS
  bool HasTransColor = false;
  png_color_16 TransColor{};
};

void Append(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(png));
  out->append(reinterpret_cast<const char*>(data), n);
}
void NoFlush(png_structp) {}

bool WriteSpec(png_structp png, png_infop info, const PngSpec* s, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, s->Width, s->Height, s->BitDepth, s->ColorType,
               s->Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!s->Palette.empty()) png_set_PLTE(png, info, s->Palette.data(), static_cast<int>(s->Palette.size()));
  if (!s->TransAlpha.empty() || s->HasTransColor)
    png_set_tRNS(png, info, s->TransAlpha.empty() ? nullptr : s->TransAlpha.data(),
                 static_cast<int>(s->TransAlpha.size()), s->HasTransColor ? &s->TransColor : nullptr);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

std::string MakePng(PngSpec s) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, Append, NoFlush);
  std::vector<png_bytep> rows;
  for (auto& r : s.Rows) rows.push_back(r.data());
  bool ok = WriteSpec(png, info, &s, rows.data());
  png_destroy_write_struct(&png, &info);
  EXPECT_TRUE(ok);
  return out;
}

TBrioFrameList Load(const std::string& bytes) {
  TBrioFrameList list;
  EXPECT_TRUE(LoadImageByExtension(list, AsBytes(bytes), "pic.PNG"));
  EXPECT_EQ(list.Count(), 1);
  return list;
}

TEST(PngVariants, PaletteKeepsIndicesAndATransparentEntry) {
  PngSpec s;
  s.ColorType = PNG_COLOR_TYPE_PALETTE;
  s.BitDepth = 4;
  s.Palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
  s.Rows = {{0x01}, {0x20}};  // 4-bit pixels, high nibble first
  s.TransAlpha = {255, 0};     // entry 1 fully transparent
  TBrioFrameList list = Load(MakePng(s));
  const TBrioFrame& f = list.Frame(0);
  EXPECT_EQ(f.Bits, 8);
  EXPECT_EQ(PixelOf(f, 0, 0), 0u);
  EXPECT_EQ(PixelOf(f, 1, 0), 1u);
  EXPECT_EQ(PixelOf(f, 0, 1), 2u);
  EXPECT_EQ(f.Palette[2], 0x5A5046u);  // 0x00BBGGRR of (70, 80, 90)
  EXPECT_EQ(f.TransparentIndex, 1);
  EXPECT_EQ(f.TransparentColor, 0x3C3228);
  EXPECT_EQ(f.Surface->Transparent, 1);
  EXPECT_FALSE(f.HasMask());
}

TEST(PngVariants, PartialPaletteAlphaBecomesAMask) {
  PngSpec s;
  s.ColorType = PNG_COLOR_TYPE_PALETTE;
  s.Width = 2;
  s.Height = 1;
  s.Palette = {{255, 0, 0}, {0, 0, 255}};
  s.Rows = {{0, 1}};
  s.TransAlpha = {128, 255};
  TBrioFrameList list = Load(MakePng(s));
  const TBrioFrame& f = list.Frame(0);
  EXPECT_EQ(f.Bits, 24);
  EXPECT_EQ(PixelOf(f, 0, 0), 0xFF0000u);  // 0x00RRGGBB
  EXPECT_EQ(PixelOf(f, 1, 0), 0x0000FFu);
  EXPECT_EQ(MaskOf(f, 0, 0), 128);
  EXPECT_EQ(MaskOf(f, 1, 0), 255);
}

TEST(PngVariants, GreyDepthsAndGreyTransparency) {
  const struct {
    int depth;
    std::vector<uint8_t> row;  // two pixels
    uint32_t first, second;
    uint16_t trns;
    int transparentIndex;
  } cases[] = {
      {8, {0x10, 0xF0}, 0x10, 0xF0, 0xF0, 0xF0},
      {2, {0x70}, 1 * 85, 3 * 85, 3, 255},       // 2-bit values 1 and 3, widened to 8 bits
      {16, {0x12, 0x34, 0xAB, 0xCD}, 0x12, 0xAB, 0xABCD, 0xAB},
  };
  for (const auto& c : cases) {
    PngSpec s;
    s.ColorType = PNG_COLOR_TYPE_GRAY;
    s.BitDepth = c.depth;
    s.Height = 1;
    s.Rows = {c.row};
    s.HasTransColor = true;
    s.TransColor.gray = c.trns;
    TBrioFrameList list = Load(MakePng(s));
    const TBrioFrame& f = list.Frame(0);
    EXPECT_EQ(f.Bits, 8) << c.depth;
    EXPECT_EQ(PixelOf(f, 0, 0), c.first) << c.depth;
    EXPECT_EQ(PixelOf(f, 1, 0), c.second) << c.depth;
    EXPECT_EQ(f.Palette[c.first], c.first * 0x010101u);
    EXPECT_EQ(f.TransparentIndex, c.transparentIndex) << c.depth;
  }
}

TEST(PngVariants, AlphaChannelsBecomeTheMask) {
  PngSpec rgba;
  rgba.ColorType = PNG_COLOR_TYPE_RGB_ALPHA;
  rgba.Width = 1;
  rgba.Height = 1;
  rgba.Rows = {{1, 2, 3, 77}};
  PngSpec greyAlpha;
  greyAlpha.ColorType = PNG_COLOR_TYPE_GRAY_ALPHA;
  greyAlpha.Width = 1;
  greyAlpha.Height = 1;
  greyAlpha.Rows = {{9, 200}};
  TBrioFrameList a = Load(MakePng(rgba)), b = Load(MakePng(greyAlpha));
  EXPECT_EQ(a.Frame(0).Bits, 24);
  EXPECT_EQ(PixelOf(a.Frame(0), 0, 0), 0x010203u);
  EXPECT_EQ(MaskOf(a.Frame(0), 0, 0), 77);
  EXPECT_EQ(PixelOf(b.Frame(0), 0, 0), 0x090909u);
  EXPECT_EQ(MaskOf(b.Frame(0), 0, 0), 200);
}

TEST(PngVariants, RgbTransparentColourSixteenBitsAndInterlace) {
  // A 9 x 9 picture so that every Adam7 pass has pixels.
  auto rgbRows = [](int depth) {
    std::vector<std::vector<uint8_t>> rows;
    for (int y = 0; y < 9; ++y) {
      std::vector<uint8_t> r;
      for (int x = 0; x < 9; ++x)
        for (int c = 0; c < 3; ++c) {
          uint8_t v = static_cast<uint8_t>(x * 20 + y * 3 + c);
          r.push_back(v);
          if (depth == 16) r.push_back(static_cast<uint8_t>(255 - v));  // low byte, cut away
        }
      rows.push_back(r);
    }
    return rows;
  };
  for (int depth : {8, 16}) {
    for (bool interlaced : {false, true}) {
      PngSpec s;
      s.Width = s.Height = 9;
      s.BitDepth = depth;
      s.Interlaced = interlaced;
      s.Rows = rgbRows(depth);
      s.HasTransColor = true;
      s.TransColor.red = static_cast<uint16_t>(depth == 16 ? 0x2100 : 0x21);
      s.TransColor.green = static_cast<uint16_t>(depth == 16 ? 0x2200 : 0x22);
      s.TransColor.blue = static_cast<uint16_t>(depth == 16 ? 0x2300 : 0x23);
      TBrioFrameList list = Load(MakePng(s));
      const TBrioFrame& f = list.Frame(0);
      SCOPED_TRACE(testing::Message() << depth << (interlaced ? " interlaced" : ""));
      EXPECT_EQ(f.Bits, 24);
      EXPECT_FALSE(f.HasMask());
      EXPECT_EQ(f.TransparentColor, 0x232221);
      for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
          uint32_t v = static_cast<uint32_t>(x * 20 + y * 3);
          ASSERT_EQ(PixelOf(f, x, y), v << 16 | (v + 1) << 8 | (v + 2)) << x << "," << y;
        }
    }
  }
}

TEST(PngVariants, EncoderRoundTrip) {
  TBrioBitmap pal(3, 2, 8), rgb(3, 2, 24), mask(3, 2, 8);
  TBrioPalette palette(256);
  for (int i = 0; i < 256; ++i) palette[static_cast<size_t>(i)] = static_cast<uint32_t>(i) * 0x030201u & 0xFFFFFF;
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x) {
      pal.SetPixel(x, y, static_cast<uint32_t>(x * 40 + y));
      rgb.SetPixel(x, y, static_cast<uint32_t>(0x102030 * (x + 1) + y));
      mask.SetPixel(x, y, static_cast<uint32_t>(x * 100 + y));
    }
  std::vector<uint8_t> a = EncodePng(pal, nullptr, palette), b = EncodePng(rgb, &mask, {});
  TDecodedImage da = DecodePng(a, "a.png"), db = DecodePng(b, "b.png");
  EXPECT_EQ(da.Palette, palette);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x) {
      EXPECT_EQ(da.Color.Pixel(x, y), pal.Pixel(x, y));
      EXPECT_EQ(db.Color.Pixel(x, y), rgb.Pixel(x, y));
      EXPECT_EQ(db.Mask.Pixel(x, y), mask.Pixel(x, y));
    }
}

}  // namespace
}  // namespace nova::test
