// Damaged, truncated and hostile pictures give an error naming the file, never a crash, a read
// outside the data or a huge allocation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "base/stream.h"
#include "brio_fixture.h"
#include "formats/bmp_image.h"
#include "formats/brio_writer.h"
#include "formats/image_input.h"
#include "formats/image_open.h"
#include "formats/jpeg_codec.h"
#include "formats/png_image.h"
#include "support/test_support.h"

namespace nova::test {
namespace {

// The error message of loading bytes under a name ("(no error)" when it loads).
std::string LoadError(const std::string& bytes, const std::string& name) {
  return ErrorOf([&] {
    TBrioFrameList list(5);
    LoadImageByExtension(list, AsBytes(bytes), name);
  });
}

LayerSpec RawLayer(const std::string& color) { return LayerSpec{true, -1, 255, false, color, ""}; }

BrioSpec OneFrame(int32_t w, int32_t h, int32_t bits, LayerSpec layer) {
  BrioSpec s;
  FrameSpec f;
  f.Width = w;
  f.Height = h;
  f.Bits = bits;
  f.Layers = {layer};
  s.Frames = {f};
  return s;
}

std::string Jpeg(int32_t w, int32_t h) {
  TBrioBitmap b(w, h, 24);
  std::vector<uint8_t> j = EncodeJpeg(b, 80);
  return std::string(j.begin(), j.end());
}

// Replaces 4 bytes at an offset counted from the start of the first frame's name field.
std::string Patch(std::string bytes, size_t at, uint32_t value) {
  bytes.replace(at, 4, Le32(value));
  return bytes;
}

TEST(BadBrio, EveryDamageNamesTheFile) {
  const std::string rows2x2 = std::string(16, '\x11');  // 2 x 2 at 24 bits: rows of 8 bytes
  const std::string good = BuildBrio(OneFrame(2, 2, 24, RawLayer(rows2x2)));
  const size_t frame = 7 + 4 + 40;  // signature, header length, header record
  // Offsets inside the first frame: name length 0, name "f" 4, transparent 5, delay 9,
  // skipped 13..17, layer count 18, width 22, height 26, bits 30, layer at 34.
  const size_t layer = frame + 34;  // offsets 8, visible 1, transparent 4, opacity 4, alpha 1
  const size_t colorSize = layer + 18 + 9;  // after the name "Layer"
  BrioSpec tiles = OneFrame(2, 2, 8, RawLayer(Tile(-1, 0)));  // a tile table of 1 of 4 entries
  tiles.TileWidth = tiles.TileHeight = 1;
  BrioSpec tileSource = OneFrame(1, 1, 8, RawLayer(Tile(-3, 0)));
  tileSource.TileWidth = tileSource.TileHeight = 1;
  BrioSpec tileCopy = OneFrame(1, 1, 8, RawLayer(Tile(-2, 4)));
  tileCopy.TileWidth = tileCopy.TileHeight = 1;
  BrioSpec tileFrame = OneFrame(1, 1, 8, RawLayer(Tile(3, 0)));
  tileFrame.TileWidth = tileFrame.TileHeight = 1;
  BrioSpec tileLayer = OneFrame(1, 1, 8, RawLayer(Tile(0, 2)));
  tileLayer.TileWidth = tileLayer.TileHeight = 1;
  std::string noise(8 * 8 * 3, '\0');  // 8 x 8 at 24 bits: rows of 24 bytes
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 7919 % 251);
  std::string z = Zip(noise);
  BrioSpec zipped = OneFrame(8, 8, 24, RawLayer(z.substr(0, z.size() / 2)));
  zipped.Compression = 0;
  BrioSpec garbage = OneFrame(2, 2, 24, RawLayer(std::string(30, '\x5A')));
  garbage.Compression = 0;
  BrioSpec jpegGarbage = OneFrame(2, 2, 24, RawLayer(std::string(30, '\x5A')));
  jpegGarbage.Compression = 2;
  std::string j = Jpeg(8, 8);
  BrioSpec jpegCut = OneFrame(8, 8, 24, RawLayer(j.substr(0, j.size() / 2)));
  jpegCut.Compression = 2;
  BrioSpec jpegSize = OneFrame(2, 2, 24, RawLayer(Jpeg(3, 2)));
  jpegSize.Compression = 2;
  BrioSpec jpegPaletted = OneFrame(2, 2, 8, RawLayer(Jpeg(2, 2)));
  jpegPaletted.Compression = 2;
  BrioSpec shortHeader;
  shortHeader.HeaderLength = 40;

  const struct {
    const char* label;
    std::string bytes;
  } cases[] = {
      {"empty file", ""},
      {"signature without digits", "Brio1x3" + std::string(60, '\0')},
      {"short header length", Patch(good, 7, 12)},
      {"compression 7", [&] { std::string b = good; b[7 + 4 + 22] = 7; return b; }()},
      {"negative frame count", Patch(good, 7 + 4 + 16, 0xFFFFFFFF)},
      {"huge frame count", Patch(good, 7 + 4 + 16, 0x7FFFFFFF)},
      {"frame count beyond the file", Patch(good, 7 + 4 + 16, 1000)},
      {"huge name length", Patch(good, frame, 0x7FFFFFF0)},
      {"huge layer count", Patch(good, frame + 18, 0x7FFFFFFF)},
      {"7 bits per pixel", Patch(good, frame + 30, 7)},
      {"negative width", Patch(good, frame + 22, 0xFFFFFFFE)},
      {"width beyond the limit", Patch(good, frame + 22, 100000)},
      {"too many pixels", Patch(Patch(good, frame + 22, 16384), frame + 26, 16384)},
      {"huge colour size", Patch(good, colorSize, 0x7FFFFFF0)},
      {"negative colour size", Patch(good, colorSize, 0x80000000)},
      {"rows too short", BuildBrio(OneFrame(2, 2, 24, RawLayer(rows2x2.substr(0, 12))))},
      {"large picture with little data", BuildBrio(OneFrame(16384, 1024, 32, RawLayer("abc")))},
      {"zlib cut short", BuildBrio(zipped)},
      {"zlib garbage", BuildBrio(garbage)},
      {"tile table too short", BuildBrio(tiles)},
      {"tile source -3", BuildBrio(tileSource)},
      {"tile copies a tile outside", BuildBrio(tileCopy)},
      {"tile copies a frame outside", BuildBrio(tileFrame)},
      {"tile copies a layer outside", BuildBrio(tileLayer)},
      {"JPEG garbage", BuildBrio(jpegGarbage)},
      {"JPEG cut short", BuildBrio(jpegCut)},
      {"JPEG of another size", BuildBrio(jpegSize)},
      {"JPEG in a paletted frame", BuildBrio(jpegPaletted)},
      {"huge rectangle count", good.substr(0, good.size() - 8) + Le32(0x10000000) + Le32(0)},
      {"header only", BuildBrio(shortHeader).substr(0, 30)},
  };
  EXPECT_EQ(LoadError(good, "good.bri"), "(no error)");
  for (const auto& c : cases) {
    std::string error = LoadError(c.bytes, "bad.bri");
    EXPECT_NE(error.find("bad.bri:画像ファイルが壊れています"), std::string::npos) << c.label << ": " << error;
  }
}

TEST(BadPngAndBmp, DamageNamesTheFile) {
  TBrioBitmap rgb(4, 4, 24);
  std::vector<uint8_t> p = EncodePng(rgb, nullptr, {});
  std::string png(p.begin(), p.end());
  std::vector<uint8_t> b = EncodeBmp24(rgb);
  std::string bmp(b.begin(), b.end());
  auto withByte = [](std::string s, size_t at, char v) {
    s[at] = v;
    return s;
  };
  const struct {
    const char* label;
    std::string bytes;
    const char* name;
  } cases[] = {
      {"PNG without signature", "not a png at all", "x.png"},
      {"PNG cut in the header", png.substr(0, 20), "x.png"},
      {"PNG cut in the data", png.substr(0, png.size() - 20), "x.png"},
      {"PNG with a broken header checksum", withByte(png, 29, 0x55), "x.png"},
      {"PNG wider than the limit", Patch(png, 16, 0x00010000), "x.png"},
      {"BMP without signature", "XM" + bmp.substr(2), "x.bmp"},
      {"BMP cut in the pixels", bmp.substr(0, bmp.size() - 10), "x.bmp"},
      {"BMP header size 7", Patch(bmp, 14, 7), "x.bmp"},
      {"BMP 3 bits per pixel", withByte(bmp, 28, 3), "x.bmp"},
      {"BMP JPEG compression", Patch(bmp, 30, 4), "x.bmp"},
      {"BMP data outside", Patch(bmp, 10, 0x7FFFFFFF), "x.bmp"},
      {"BMP huge", Patch(Patch(bmp, 18, 20000), 22, 20000), "x.dib"},
  };
  for (const auto& c : cases) {
    std::string error = LoadError(c.bytes, c.name);
    EXPECT_NE(error.find(std::string(c.name) + ":画像ファイルが壊れています"), std::string::npos) << c.label << ": " << error;
  }
}

// Valid files of every kind, for truncation and byte flips.
std::vector<std::pair<std::string, std::string>> SampleFiles() {
  std::vector<std::pair<std::string, std::string>> files;
  TBrioBitmap rgb(9, 7, 24), pal(9, 7, 8), mask(9, 7, 8);
  for (int32_t y = 0; y < 7; ++y)
    for (int32_t x = 0; x < 9; ++x) {
      rgb.SetPixel(x, y, static_cast<uint32_t>(x * 0x1F0000 + y * 0x2233));
      pal.SetPixel(x, y, static_cast<uint32_t>(x + 9 * y));
      mask.SetPixel(x, y, static_cast<uint32_t>(x * 30));
    }
  TBrioPalette palette(256, 0x00FF00);
  auto write = [&](const TBrioBitmap& c, const TBrioBitmap* m, int compression, int32_t key) {
    TKtMemoryStream out;
    TBrioWriteFrame f{"frame", 3, 100, &c, m, c.Bits() <= 8 ? palette : TBrioPalette{}};
    TBrioWriteOptions o;
    o.Compression = compression;
    o.Key = key;
    WriteBrio(out, {f, f}, o);
    return out.Data();
  };
  files.push_back({"zlib.bri", write(rgb, &mask, 0, 0)});
  files.push_back({"raw.bri", write(pal, nullptr, 1, 5)});
  files.push_back({"jpeg.bri", write(rgb, &mask, 2, 0)});
  // Tiles of every source kind over two frames.
  BrioSpec s;
  s.Version = 105;
  s.Compression = 0;
  s.TileWidth = 2;
  s.TileHeight = 2;
  s.Scrambled = true;
  FrameSpec f;
  f.Width = 3;
  f.Height = 3;
  f.Bits = 8;
  f.Layers = {LayerSpec{true, -1, 200, true, Zip(Tile(-1, 0) + Tile(-2, 0) + Tile(-1, 0) + Tile(-2, 3) + "abcdefg"),
                        Zip(Tile(-1, 0) + Tile(-1, 0) + Tile(-1, 0) + Tile(-1, 0) + "ABCDEFGHI")}};
  FrameSpec g = f;
  g.Layers[0].Color = Zip(Tile(0, 0) + Tile(0, 0) + Tile(-1, 0) + Tile(-1, 0) + "xyz");
  s.Frames = {f, g};
  files.push_back({"tiles.bri", BuildBrio(s)});
  std::vector<uint8_t> p = EncodePng(rgb, &mask, {}), q = EncodePng(pal, nullptr, palette), b = EncodeBmp24(rgb);
  files.push_back({"rgba.png", std::string(p.begin(), p.end())});
  files.push_back({"pal.png", std::string(q.begin(), q.end())});
  files.push_back({"pic.bmp", std::string(b.begin(), b.end())});
  return files;
}

// Loads must succeed or raise the image error naming the file; nothing else may happen.
void ExpectSafe(const std::string& bytes, const std::string& name, const std::string& what) {
  try {
    TBrioFrameList list(5);
    LoadImageByExtension(list, AsBytes(bytes), name);
  } catch (const ENovaError& e) {
    ASSERT_EQ(std::string(e.what()).rfind(name + ":", 0), 0u) << what << ": " << e.what();
  } catch (const std::exception& e) {
    FAIL() << what << ": " << e.what();
  }
}

// NOVA_FUZZ_ROUNDS raises the number of damaged copies per file for a longer run.
TEST(Fuzz, TruncationsAndByteFlips) {
  const char* env = std::getenv("NOVA_FUZZ_ROUNDS");
  const int rounds = env ? std::atoi(env) : 400;
  std::mt19937 rng(20240611);
  for (const auto& [name, bytes] : SampleFiles()) {
    ExpectSafe(bytes, name, "intact");
    for (size_t n = 0; n < bytes.size(); n += 1 + bytes.size() / 300) ExpectSafe(bytes.substr(0, n), name, "cut");
    for (int round = 0; round < rounds; ++round) {
      std::string damaged = bytes;
      int flips = 1 + static_cast<int>(rng() % 4);
      for (int i = 0; i < flips; ++i) {
        size_t at = rng() % damaged.size();
        damaged[at] = static_cast<char>(rng() % 3 == 0 ? 0xFF : damaged[at] ^ (1 << (rng() % 8)));
      }
      ExpectSafe(damaged, name, "flipped");
    }
  }
}

}  // namespace
}  // namespace nova::test
