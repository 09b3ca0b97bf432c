// novatool image info, decode, encode and compare.
#include <gtest/gtest.h>


#include "base/encoding.h"
#include "brio_fixture.h"
#include "formats/image_input.h"
#include "formats/png_image.h"
#include "support/test_support.h"

namespace nova::test {
namespace {

TRun Novatool(const TempDir& dir, const std::string& args) {
  return RunCommand(NovatoolCommand() + " image " + args, dir);
}

std::string Quote(const std::string& path) { return "'" + path + "'"; }

TEST(NovatoolImage, EncodeScrambledThenInfoAndDecode) {
  TempDir dir;
  TBrioBitmap rgb(5, 4, 24), mask(5, 4, 8);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 5; ++x) {
      rgb.SetPixel(x, y, static_cast<uint32_t>(0x102030 * (x + 1) + y));
      mask.SetPixel(x, y, static_cast<uint32_t>(50 * x + y));
    }
  std::vector<uint8_t> png = EncodePng(rgb, &mask, {});
  WriteFile(dir / "in.png", std::string(png.begin(), png.end()));

  TRun enc = Novatool(dir, "encode " + Quote(dir / "in.png") + " -o " + Quote(dir / "x.bri") + " --key 77");
  ASSERT_EQ(enc.Code, 0) << enc.Err;
  TRun info = Novatool(dir, "info " + Quote(dir / "x.bri") + " --key 77");
  ASSERT_EQ(info.Code, 0) << info.Err;
  EXPECT_EQ(info.Out,
            "{\"frame\": 0, \"name\": \"\", \"delay\": 100, \"width\": 5, \"height\": 4, \"bpp\": 24, "
            "\"transparent\": -1, \"rects1\": [], \"rects2\": []}\n");

  for (const char* key : {"77", "78"}) {
    TRun dec = Novatool(dir, "decode " + Quote(dir / "x.bri") + " -o " + Quote(dir / "out.png") + " --key " + key);
    ASSERT_EQ(dec.Code, 0) << dec.Err;
    std::string back = ReadFile(dir / "out.png");
    TDecodedImage d = DecodePng(AsBytes(back), "out.png");
    ASSERT_EQ(d.Mask.Width(), 5) << "RGBA, alpha = mask";
    bool same = true;
    for (int32_t y = 0; y < 4; ++y)
      for (int32_t x = 0; x < 5; ++x)
        same = same && d.Color.Pixel(x, y) == rgb.Pixel(x, y) && d.Mask.Pixel(x, y) == mask.Pixel(x, y);
    EXPECT_EQ(same, std::string(key) == "77") << "only the right key puts the rows back";
  }
}

TEST(NovatoolImage, InfoOfFramesAndPaletteDecode) {
  TempDir dir;
  BrioSpec s;
  FrameSpec f;
  f.Name = Utf8ToSjis("立ち絵");
  f.Delay = 30;
  f.Width = 2;
  f.Height = 1;
  f.Bits = 8;
  f.Transparent = 1;
  f.Palette = {0x000000, 0x332211};
  f.Rects1 = {{0, 0, 2, 1}};
  f.Layers = {LayerSpec{true, -1, 255, false, std::string{1, 0, 0, 0}, ""}};
  FrameSpec g = f;
  g.Name = "b";
  g.Transparent = -1;
  g.Rects1 = {};
  g.Rects2 = {{1, 2, 3, 4}, {5, 6, 7, 8}};
  s.Frames = {f, g};
  WriteFile(dir / "f.bri", BuildBrio(s));
  TRun info = Novatool(dir, "info " + Quote(dir / "f.bri"));
  ASSERT_EQ(info.Code, 0) << info.Err;
  EXPECT_EQ(info.Out,
            "{\"frame\": 0, \"name\": \"立ち絵\", \"delay\": 30, \"width\": 2, \"height\": 1, \"bpp\": 8, "
            "\"transparent\": 3351057, \"rects1\": [[0,0,2,1]], \"rects2\": []}\n"
            "{\"frame\": 1, \"name\": \"b\", \"delay\": 30, \"width\": 2, \"height\": 1, \"bpp\": 8, "
            "\"transparent\": -1, \"rects1\": [], \"rects2\": [[1,2,3,4],[5,6,7,8]]}\n");
  TRun dec = Novatool(dir, "decode " + Quote(dir / "f.bri") + " -o " + Quote(dir / "p.png") + " --frame 1");
  ASSERT_EQ(dec.Code, 0) << dec.Err;
  std::string png = ReadFile(dir / "p.png");
  TDecodedImage d = DecodePng(AsBytes(png), "p.png");
  EXPECT_EQ(d.Color.Bits(), 8);
  EXPECT_EQ(d.Color.Pixel(0, 0), 1u) << "indices kept";
  EXPECT_EQ(d.Palette[1], 0x332211u);
  TRun none = Novatool(dir, "decode " + Quote(dir / "f.bri") + " -o " + Quote(dir / "p.png") + " --frame 2");
  EXPECT_EQ(none.Code, 1);
}

TEST(NovatoolImage, DamagedFilesAndBadArguments) {
  TempDir dir;
  WriteFile(dir / "bad.bri", "Brio106" + Le32(40) + std::string(10, '\0'));
  TRun bad = Novatool(dir, "info " + Quote(dir / "bad.bri"));
  EXPECT_EQ(bad.Code, 1);
  EXPECT_NE(bad.Err.find("bad.bri:画像ファイルが壊れています"), std::string::npos) << bad.Err;
  EXPECT_EQ(Novatool(dir, "encode " + Quote(dir / "bad.bri") + " -o x.bri").Code, 2) << "encode takes PNG or BMP";
  EXPECT_EQ(Novatool(dir, "info").Code, 2);
  EXPECT_EQ(Novatool(dir, "info a.bri --frame x").Code, 2);
}

TEST(NovatoolImage, CompareTellsEqualPicturesFromDifferentOnes) {
  TempDir dir;
  TBrioBitmap a(3, 2, 24), paletted(3, 2, 8);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x) {
      a.SetPixel(x, y, 0x102030);
      paletted.SetPixel(x, y, 1);
    }
  std::vector<uint8_t> png = EncodePng(a, nullptr, {});
  WriteFile(dir / "a.png", std::string(png.begin(), png.end()));
  // The same colours held as palette indices count as the same picture.
  png = EncodePng(paletted, nullptr, {0x000000, 0x302010});
  WriteFile(dir / "p.png", std::string(png.begin(), png.end()));
  a.SetPixel(2, 1, 0x102031);
  png = EncodePng(a, nullptr, {});
  WriteFile(dir / "b.png", std::string(png.begin(), png.end()));
  TBrioBitmap small(2, 2, 24);
  png = EncodePng(small, nullptr, {});
  WriteFile(dir / "s.png", std::string(png.begin(), png.end()));

  EXPECT_EQ(Novatool(dir, "compare " + Quote(dir / "a.png") + " " + Quote(dir / "p.png")).Code, 0);
  TRun differ = Novatool(dir, "compare " + Quote(dir / "a.png") + " " + Quote(dir / "b.png"));
  EXPECT_EQ(differ.Code, 1);
  EXPECT_EQ(differ.Out, "1 pixels differ; the first at (2, 1): 0x302010 expected, 0x312010 actual (0x00BBGGRR)\n");
  TRun size = Novatool(dir, "compare " + Quote(dir / "a.png") + " " + Quote(dir / "s.png"));
  EXPECT_EQ(size.Code, 1);
  EXPECT_EQ(size.Out, "size differs: 3x2 expected, 2x2 actual\n");
  EXPECT_EQ(Novatool(dir, "compare " + Quote(dir / "a.png")).Code, 2);
}

}  // namespace
}  // namespace nova::test
