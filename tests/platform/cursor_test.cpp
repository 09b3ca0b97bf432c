// Windows cursor files made byte by byte here (PNG pictures with libpng), read by the cursor
// reader; damaged copies must raise, never read outside their bytes.
#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <string>
#include <vector>

#include "base/crc32.h"
#include "base/error.h"
#include "platform/cursor_image.h"
#include "support/test_support.h"

namespace nova {
namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }
void AppendText(Bytes& b, const char* text) { b.insert(b.end(), text, text + std::strlen(text)); }

// A bitmap as an icon directory stores it. pixels: top-down values (palette index, or
// 0xAARRGGBB for 24 and 32 bits); mask: top-down AND bits (empty: no mask rows at all).
struct Dib {
  int W = 0, H = 0, Bits = 1;
  std::vector<uint32_t> Palette;  // 0x00RRGGBB
  std::vector<uint32_t> Pixels;
  std::vector<int> Mask;
  bool WithMask = true;
  int32_t HeightField = 0;  // 0: 2 * H
  uint32_t ColorsUsed = 0;

  Bytes Encode() const {
    Bytes b;
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(W));
    Put32(b, static_cast<uint32_t>(HeightField ? HeightField : 2 * H));
    Put16(b, 1);
    Put16(b, static_cast<uint32_t>(Bits));
    for (int i = 0; i < 4; ++i) Put32(b, 0);  // compression, image size, resolution
    Put32(b, ColorsUsed);
    Put32(b, 0);
    for (uint32_t c : Palette) Put32(b, c);
    const size_t colorRow = (static_cast<size_t>(W) * Bits + 31) / 32 * 4, maskRow = (static_cast<size_t>(W) + 31) / 32 * 4;
    for (int y = H - 1; y >= 0; --y) {  // bottom-up
      Bytes row(colorRow, 0);
      for (int x = 0; x < W; ++x) {
        uint32_t v = Pixels[static_cast<size_t>(y) * W + x];
        if (Bits <= 8) {
          size_t bit = static_cast<size_t>(x) * Bits;
          row[bit / 8] |= static_cast<uint8_t>(v << (8 - Bits - bit % 8));
        } else {
          uint8_t* p = &row[static_cast<size_t>(x) * (Bits / 8)];
          p[0] = static_cast<uint8_t>(v), p[1] = static_cast<uint8_t>(v >> 8);
          if (Bits >= 24) p[2] = static_cast<uint8_t>(v >> 16);
          if (Bits == 32) p[3] = static_cast<uint8_t>(v >> 24);
        }
      }
      Append(b, row);
    }
    if (!WithMask) return b;
    for (int y = H - 1; y >= 0; --y) {
      Bytes row(maskRow, 0);
      for (int x = 0; x < W; ++x) {
        if (Mask[static_cast<size_t>(y) * W + x]) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
      }
      Append(b, row);
    }
    return b;
  }
};

struct Entry {
  int Side = 32;
  int HotX = 0, HotY = 0;
  Bytes Image;
};

Bytes IconFile(const std::vector<Entry>& entries, uint16_t type = 2) {
  Bytes b;
  Put16(b, 0);
  Put16(b, type);
  Put16(b, static_cast<uint32_t>(entries.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(entries.size());
  for (const Entry& e : entries) {
    b.push_back(static_cast<uint8_t>(e.Side & 0xFF));
    b.push_back(static_cast<uint8_t>(e.Side & 0xFF));
    b.push_back(0);
    b.push_back(0);
    Put16(b, static_cast<uint32_t>(e.HotX));
    Put16(b, static_cast<uint32_t>(e.HotY));
    Put32(b, static_cast<uint32_t>(e.Image.size()));
    Put32(b, offset);
    offset += static_cast<uint32_t>(e.Image.size());
  }
  for (const Entry& e : entries) Append(b, e.Image);
  return b;
}

Bytes Chunk(const char* id, const Bytes& data) {
  Bytes b;
  AppendText(b, id);
  Put32(b, static_cast<uint32_t>(data.size()));
  Append(b, data);
  if (data.size() % 2) b.push_back(0);
  return b;
}

struct Ani {
  std::vector<Bytes> Frames;
  uint32_t Steps = 0;
  uint32_t Rate = 6;  // 1/60 s
  uint32_t Flags = 1;
  std::vector<uint32_t> Rates, Sequence;
  int32_t FrameCountField = -1;  // -1: the number of frames

  Bytes Encode() const {
    Bytes header;
    Put32(header, 36);
    Put32(header, FrameCountField < 0 ? static_cast<uint32_t>(Frames.size()) : static_cast<uint32_t>(FrameCountField));
    Put32(header, Steps);
    for (int i = 0; i < 4; ++i) Put32(header, 0);  // width, height, bits, planes
    Put32(header, Rate);
    Put32(header, Flags);
    Bytes body;
    AppendText(body, "ACON");
    Append(body, Chunk("LIST", [] {
             Bytes info;
             AppendText(info, "INFO");
             Append(info, Chunk("INAM", Bytes{'x', 0, 0}));
             return info;
           }()));
    Append(body, Chunk("anih", header));
    auto table = [](const std::vector<uint32_t>& v) {
      Bytes t;
      for (uint32_t x : v) Put32(t, x);
      return t;
    };
    if (!Rates.empty()) Append(body, Chunk("rate", table(Rates)));
    if (!Sequence.empty()) Append(body, Chunk("seq ", table(Sequence)));
    Bytes frames;
    AppendText(frames, "fram");
    for (const Bytes& f : Frames) Append(frames, Chunk("icon", f));
    Append(body, Chunk("LIST", frames));
    Bytes b;
    AppendText(b, "RIFF");
    Put32(b, static_cast<uint32_t>(body.size()));
    Append(b, body);
    return b;
  }
};

// PNG files written with libpng.
struct PngSpec {
  int W = 2, H = 2, ColorType = PNG_COLOR_TYPE_RGB_ALPHA, Depth = 8;
  bool Interlaced = false;
  std::vector<std::vector<uint8_t>> Rows;
  std::vector<png_color> Palette;
  std::vector<png_byte> TransAlpha;
};

void PngAppend(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void PngFlush(png_structp) {}

bool WritePng(png_structp png, png_infop info, const PngSpec* s, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, s->W, s->H, s->Depth, s->ColorType, s->Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!s->Palette.empty()) png_set_PLTE(png, info, s->Palette.data(), static_cast<int>(s->Palette.size()));
  if (!s->TransAlpha.empty()) png_set_tRNS(png, info, s->TransAlpha.data(), static_cast<int>(s->TransAlpha.size()), nullptr);
  png_set_filter(png, 0, PNG_ALL_FILTERS);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

Bytes MakePng(PngSpec s) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, PngAppend, PngFlush);
  std::vector<png_bytep> rows;
  for (auto& r : s.Rows) rows.push_back(r.data());
  bool ok = WritePng(png, info, &s, rows.data());
  png_destroy_write_struct(&png, &info);
  EXPECT_TRUE(ok);
  return out;
}

// A 4 x 2 monochrome cursor with every AND/XOR combination.
Dib Mono() {
  Dib d;
  d.W = 4, d.H = 2, d.Bits = 1;
  d.Palette = {0x000000, 0xFFFFFF};
  d.Pixels = {0, 1, 0, 1, 1, 1, 0, 0};
  d.Mask = {0, 0, 1, 1, 0, 1, 1, 0};
  return d;
}

TEST(CursorFile, MonochromeCursorKeepsItsHotspotAndMaskRules) {
  TCursorImage c = DecodeCursorFile(IconFile({{32, 3, 1, Mono().Encode()}}));
  ASSERT_EQ(c.Frames.size(), 1u);
  ASSERT_EQ(c.Steps.size(), 1u);
  EXPECT_FALSE(c.Animated());
  const TCursorFrame& f = c.Frames[0];
  EXPECT_EQ(f.Width, 4);
  EXPECT_EQ(f.Height, 2);
  EXPECT_EQ(f.HotX, 3);
  EXPECT_EQ(f.HotY, 1);
  // AND 0: the colour; AND 1 over black: transparent; AND 1 over white (inverting): black.
  EXPECT_EQ(f.Pixels, (std::vector<uint32_t>{0xFF000000, 0xFFFFFFFF, 0x00000000, 0xFF000000,  //
                                             0xFFFFFFFF, 0xFF000000, 0x00000000, 0xFF000000}));
}

TEST(CursorFile, DepthsAndAlpha) {
  struct Case {
    const char* name;
    Dib dib;
    std::vector<uint32_t> want;
  } cases[] = {
      {"4-bit palette", Dib{2, 1, 4, {0x112233, 0x445566, 0x778899}, {2, 1}, {0, 0}, true, 0, 3}, {0xFF778899, 0xFF445566}},
      {"8-bit, fewer colours used", Dib{2, 1, 8, {0x010203, 0x0A0B0C}, {1, 0}, {0, 0}, true, 0, 2}, {0xFF0A0B0C, 0xFF010203}},
      {"24 bits", Dib{2, 1, 24, {}, {0x123456, 0x000000}, {0, 1}}, {0xFF123456, 0x00000000}},
      // A 32-bit picture with alpha takes its alpha; the mask does not count.
      {"32 bits with alpha", Dib{2, 1, 32, {}, {0x80123456, 0x00ABCDEF}, {1, 0}}, {0x80123456, 0x00ABCDEF}},
      // Without any alpha the mask decides.
      {"32 bits without alpha", Dib{2, 1, 32, {}, {0x00123456, 0x00000000}, {0, 1}}, {0xFF123456, 0x00000000}},
      {"32 bits, no mask rows", Dib{2, 1, 32, {}, {0x40FFFFFF, 0xFF000000}, {}, false}, {0x40FFFFFF, 0xFF000000}},
  };
  for (const Case& c : cases) {
    TCursorImage img = DecodeCursorFile(IconFile({{2, 0, 0, c.dib.Encode()}}));
    EXPECT_EQ(img.Frames[0].Pixels, c.want) << c.name;
  }
}

TEST(CursorFile, ThePictureNearestToThirtyTwoIsTaken) {
  auto solid = [](int side, int bits, uint32_t colour) {
    Dib d;
    d.W = d.H = side;
    d.Bits = bits;
    if (bits <= 8) d.Palette = {colour}, d.ColorsUsed = 1;
    d.Pixels.assign(static_cast<size_t>(side) * side, bits <= 8 ? 0 : colour);
    d.Mask.assign(static_cast<size_t>(side) * side, 0);
    return d.Encode();
  };
  Bytes file = IconFile({{16, 1, 1, solid(16, 8, 0x111111)},
                         {32, 2, 2, solid(32, 4, 0x222222)},
                         {48, 3, 3, solid(48, 24, 0x333333)},
                         {32, 4, 4, solid(32, 24, 0x444444)}});
  TCursorFrame f = DecodeCursorFile(file).Frames[0];
  EXPECT_EQ(f.Width, 32);
  EXPECT_EQ(f.Pixels[0], 0xFF444444u);  // the deeper of the two 32 x 32 pictures
  EXPECT_EQ(f.HotX, 4);
  // An icon file (type 1) has no hotspot.
  f = DecodeCursorFile(IconFile({{32, 9, 9, solid(32, 24, 0x555555)}}, 1)).Frames[0];
  EXPECT_EQ(f.HotX, 0);
  EXPECT_EQ(f.HotY, 0);
  // A hotspot outside the picture is kept inside.
  f = DecodeCursorFile(IconFile({{4, 40, 40, Mono().Encode()}})).Frames[0];
  EXPECT_EQ(f.HotX, 3);
  EXPECT_EQ(f.HotY, 1);
  // An entry that cannot be read gives way to the next best one.
  Dib broken = Mono();
  broken.Bits = 16;
  f = DecodeCursorFile(IconFile({{32, 0, 0, broken.Encode()}, {16, 0, 0, solid(16, 24, 0x666666)}})).Frames[0];
  EXPECT_EQ(f.Pixels[0], 0xFF666666u);
}

TEST(CursorFile, PngPictures) {
  PngSpec rgba;
  rgba.Rows = {{1, 2, 3, 255, 4, 5, 6, 0}, {7, 8, 9, 128, 10, 11, 12, 255}};
  TCursorFrame f = DecodeCursorFile(IconFile({{2, 1, 0, MakePng(rgba)}})).Frames[0];
  EXPECT_EQ(f.HotX, 1);
  EXPECT_EQ(f.Pixels, (std::vector<uint32_t>{0xFF010203, 0x00040506, 0x80070809, 0xFF0A0B0C}));

  // Every colour type and several depths, interlaced too (a 9 x 9 picture has all 7 passes).
  PngSpec grey2;
  grey2.ColorType = PNG_COLOR_TYPE_GRAY, grey2.Depth = 2, grey2.W = 4, grey2.H = 1;
  grey2.Rows = {{0b00011011}};
  EXPECT_EQ(DecodeCursorPng(MakePng(grey2)).Pixels, (std::vector<uint32_t>{0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}));
  PngSpec palette;
  palette.ColorType = PNG_COLOR_TYPE_PALETTE, palette.Depth = 4, palette.W = 3, palette.H = 1;
  palette.Palette = {{10, 20, 30}, {40, 50, 60}};
  palette.TransAlpha = {0};
  palette.Rows = {{0x01, 0x10}};
  EXPECT_EQ(DecodeCursorPng(MakePng(palette)).Pixels, (std::vector<uint32_t>{0x000A141E, 0xFF28323C, 0xFF28323C}));
  PngSpec wide;
  wide.ColorType = PNG_COLOR_TYPE_RGB, wide.Depth = 16, wide.W = 1, wide.H = 1;
  wide.Rows = {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}};
  EXPECT_EQ(DecodeCursorPng(MakePng(wide)).Pixels, (std::vector<uint32_t>{0xFF12569A}));
  PngSpec greyAlpha;
  greyAlpha.ColorType = PNG_COLOR_TYPE_GRAY_ALPHA, greyAlpha.W = 1, greyAlpha.H = 1;
  greyAlpha.Rows = {{0x40, 0x80}};
  EXPECT_EQ(DecodeCursorPng(MakePng(greyAlpha)).Pixels, (std::vector<uint32_t>{0x80404040}));

  PngSpec laced;
  laced.W = laced.H = 9;
  laced.Interlaced = true;
  std::vector<uint32_t> want;
  for (int y = 0; y < 9; ++y) {
    laced.Rows.emplace_back();
    for (int x = 0; x < 9; ++x) {
      uint8_t r = static_cast<uint8_t>(x * 25), g = static_cast<uint8_t>(y * 25), b = static_cast<uint8_t>(x * y);
      laced.Rows.back().insert(laced.Rows.back().end(), {r, g, b, 255});
      want.push_back(0xFF000000u | r << 16 | g << 8 | b);
    }
  }
  laced.Interlaced = false;
  EXPECT_EQ(DecodeCursorPng(MakePng(laced)).Pixels, want);
  laced.Interlaced = true;
  EXPECT_EQ(DecodeCursorPng(MakePng(laced)).Pixels, want);
}

TEST(CursorFile, AnimatedCursorsFollowRatesAndSequence) {
  Dib a = Mono(), b = Mono();
  b.Palette = {0x0000FF, 0xFFFFFF};  // black turns blue
  Ani ani;
  ani.Frames = {IconFile({{4, 1, 1, a.Encode()}}), IconFile({{4, 2, 0, b.Encode()}})};
  ani.Flags = 3;
  ani.Steps = 3;
  ani.Sequence = {1, 0, 1};
  ani.Rates = {6, 30, 60};
  TCursorImage img = DecodeCursorFile(ani.Encode());
  ASSERT_EQ(img.Frames.size(), 2u);
  EXPECT_TRUE(img.Animated());
  EXPECT_EQ(img.Frames[1].Pixels[0], 0xFF0000FFu);
  EXPECT_EQ(img.Frames[1].HotX, 2);
  EXPECT_EQ(img.Steps, (std::vector<TCursorStep>{{1, 100}, {0, 500}, {1, 1000}}));

  // Without tables: every frame once, at the header's rate (0 counts as one tick).
  ani.Sequence.clear();
  ani.Rates.clear();
  ani.Flags = 1;
  ani.Steps = 0;
  ani.Rate = 0;
  img = DecodeCursorFile(ani.Encode());
  EXPECT_EQ(img.Steps, (std::vector<TCursorStep>{{0, 16}, {1, 16}}));
}

TEST(CursorFile, DamagedFilesRaise) {
  Bytes good = IconFile({{4, 1, 1, Mono().Encode()}});
  auto patched = [](Bytes b, size_t at, std::initializer_list<uint8_t> bytes) {
    for (uint8_t v : bytes) b[at++] = v;
    return b;
  };
  Dib wideDib = Mono();
  wideDib.W = 300;
  wideDib.Pixels.assign(600, 0);
  wideDib.Mask.assign(600, 0);
  Dib manyColours = Mono();
  manyColours.ColorsUsed = 3;
  Dib noMask = Mono();
  noMask.WithMask = false;
  PngSpec big;
  big.W = 300, big.H = 1;
  big.Rows = {std::vector<uint8_t>(1200, 0)};
  PngSpec small;
  small.Rows = {{1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, 6, 7, 8}};
  Bytes png = MakePng(small);
  Bytes badCrc = png;
  badCrc[30] ^= 1;  // the header chunk's checksum
  Ani ani;
  ani.Frames = {good};
  Ani moreFrames = ani;
  moreFrames.FrameCountField = 2;
  Ani badSequence = ani;
  badSequence.Flags = 3, badSequence.Steps = 1, badSequence.Sequence = {5};
  Ani raw = ani;
  raw.Flags = 0;
  Ani shortRates = ani;
  shortRates.Steps = 2, shortRates.Rates = {1};
  Bytes aniCut = ani.Encode();
  aniCut.resize(aniCut.size() - 6);
  Bytes aniLong = ani.Encode();
  aniLong[4] = 0xFF, aniLong[5] = 0xFF;  // the RIFF claims more than there is: the file's end counts

  struct Case {
    const char* name;
    Bytes bytes;
    const char* error;  // part of the message
  } cases[] = {
      {"empty", {}, "cut short"},
      {"not a cursor", patched(good, 2, {3}), "not a cursor"},
      {"no pictures", patched(good, 4, {0}), "no pictures"},
      {"directory cut short", Bytes(good.begin(), good.begin() + 12), "directory cut short"},
      {"entry beyond the file", patched(good, 18, {0xFF, 0xFF}), "no readable picture"},
      {"entry longer than the file", patched(good, 14, {0xFF, 0xFF, 0xFF}), "no readable picture"},
      {"picture too wide", IconFile({{4, 0, 0, wideDib.Encode()}}), "bad picture size"},
      {"negative height", IconFile({{4, 0, 0, [] { Dib d = Mono(); d.HeightField = -4; return d.Encode(); }()}}), "bad picture size"},
      {"16-bit", IconFile({{4, 0, 0, [] { Dib d = Mono(); d.Bits = 16; return d.Encode(); }()}}), "bit depth"},
      {"more colours than the depth holds", IconFile({{4, 0, 0, manyColours.Encode()}}), "bad palette"},
      {"mask missing", IconFile({{4, 0, 0, noMask.Encode()}}), "mask rows cut short"},
      {"colour rows cut short", Bytes(good.begin(), good.end() - 12), "no readable picture"},
      {"PNG too large", IconFile({{0, 0, 0, MakePng(big)}}), "too large"},
      {"PNG checksum", IconFile({{2, 0, 0, badCrc}}), "checksum"},
      {"PNG cut short", IconFile({{2, 0, 0, Bytes(png.begin(), png.end() - 20)}}), "PNG"},
      {"frames missing", moreFrames.Encode(), "frames missing"},
      {"step names a missing frame", badSequence.Encode(), "missing frame"},
      {"raw frames", raw.Encode(), "raw pictures"},
      {"rate table cut short", shortRates.Encode(), "rate table"},
      {"chunk past the end", aniCut, "runs past the end"},
      {"RIFF of another kind", patched(ani.Encode(), 8, {'W', 'A', 'V', 'E'}), "not an animated cursor"},
  };
  for (const Case& c : cases) {
    std::string message = test::ErrorOf([&] { DecodeCursorFile(c.bytes); });
    EXPECT_NE(message.find(c.error), std::string::npos) << c.name << ": " << message;
  }
  EXPECT_EQ(DecodeCursorFile(aniLong).Frames.size(), 1u);
}

// Every shortened copy and copies with bytes overwritten either read or raise ENovaError (the
// sanitizer build checks that nothing reads outside the bytes).
TEST(CursorFile, EveryCutAndFlipIsSafe) {
  Ani ani;
  Dib rgb = Dib{3, 3, 24, {}, std::vector<uint32_t>(9, 0x123456), std::vector<int>(9, 0)};
  PngSpec png;
  png.Rows = {{1, 2, 3, 4, 5, 6, 7, 8}, {9, 10, 11, 12, 13, 14, 15, 16}};
  ani.Frames = {IconFile({{4, 1, 1, Mono().Encode()}, {3, 0, 0, rgb.Encode()}}), IconFile({{2, 0, 0, MakePng(png)}})};
  ani.Flags = 3, ani.Steps = 2, ani.Sequence = {1, 0}, ani.Rates = {1, 2};
  const Bytes file = ani.Encode();
  int read = 0, refused = 0;
  auto attempt = [&](const Bytes& b) {
    try {
      DecodeCursorFile(b);
      ++read;
    } catch (const ENovaError&) {
      ++refused;
    }
  };
  for (size_t n = 0; n < file.size(); ++n) attempt(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n)));
  uint32_t seed = 12345;
  for (int i = 0; i < 3000; ++i) {
    Bytes b = file;
    for (int k = 0; k < 3; ++k) {
      seed = seed * 1103515245 + 12345;
      b[(seed >> 8) % b.size()] = static_cast<uint8_t>(seed >> 24);
    }
    attempt(b);
  }
  EXPECT_GT(refused, 0);
  EXPECT_GT(read, 0);
}

}  // namespace
}  // namespace nova
