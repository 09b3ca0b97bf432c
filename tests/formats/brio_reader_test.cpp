// Layered images of every version, with rows, tiles and scrambling, read from hand-made bytes.
#include <gtest/gtest.h>

#include "brio_fixture.h"
#include "formats/brios.h"
#include "formats/image_input.h"
#include "formats/jpeg_codec.h"
#include "frame_probe.h"

namespace nova::test {
namespace {

TBrioFrameList Read(const std::string& bytes, int32_t key = 0, TBrioLoadOptions options = {}) {
  TBrioFrameList list(key);
  list.LoadFromBytes(AsBytes(bytes), "t.bri", options);
  return list;
}

// A 2 x 2 24-bit picture with four different pixels (0x00RRGGBB).
TBrioBitmap Picture24() {
  TBrioBitmap b(2, 2, 24);
  b.SetPixel(0, 0, 0x112233);
  b.SetPixel(1, 0, 0x445566);
  b.SetPixel(0, 1, 0x778899);
  b.SetPixel(1, 1, 0xAABBCC);
  return b;
}

TBrioBitmap Mask8(int32_t w, int32_t h, uint8_t first) {
  TBrioBitmap m(w, h, 8);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) m.SetPixel(x, y, static_cast<uint8_t>(first + 40 * (y * w + x)));
  return m;
}

TEST(BrioVersions, EveryVersionReadsItsFields) {
  const struct {
    int version;
    bool zipped;    // versions before 103 always inflate; later ones follow the header
    bool withMask;  // mask blocks exist from version 100 on
    bool background;
  } cases[] = {
      {0, true, false, false},   {99, true, false, false},  {100, true, true, false}, {101, true, true, false},
      {102, true, true, true},   {103, false, true, true},  {104, false, true, true}, {106, true, true, true},
  };
  const TBrioBitmap pic = Picture24();
  const TBrioBitmap mask = Mask8(2, 2, 255 - 120);
  for (const auto& c : cases) {
    BrioSpec s;
    s.Version = c.version;
    s.Compression = c.zipped ? 0 : 1;
    s.Background = 0x00808080;
    FrameSpec f;
    f.Name = "cell";
    f.Delay = 250;
    f.Width = 2;
    f.Height = 2;
    f.Rects1 = {{1, 2, 3, 4}};
    f.Rects2 = {{5, 6, 7, 8}, {9, 10, 11, 12}};
    LayerSpec l;
    l.HasAlpha = true;
    l.Color = c.zipped ? Zip(RowsOf(pic)) : RowsOf(pic);
    if (c.withMask) l.Mask = c.zipped ? Zip(RowsOf(mask)) : RowsOf(mask);
    l.OffsetX = 3;
    l.OffsetY = -4;
    f.Layers = {l};
    s.Frames = {f};
    TBrioFrameList list = Read(BuildBrio(s));
    SCOPED_TRACE(c.version);
    EXPECT_EQ(list.Version(), c.version);
    EXPECT_EQ(list.BackgroundColor(), c.background ? 0x00808080u : 0u);
    ASSERT_EQ(list.Count(), 1);
    const TBrioFrame& fr = list.Frame(0);
    EXPECT_EQ(fr.Name, "cell");
    EXPECT_EQ(fr.Delay, 250);
    EXPECT_EQ(fr.Bits, 24);
    EXPECT_EQ(fr.Layers[0].OffsetX, 3);
    EXPECT_EQ(fr.Layers[0].OffsetY, -4);
    EXPECT_EQ(PixelOf(fr, 0, 0), 0x112233u);
    EXPECT_EQ(PixelOf(fr, 1, 1), 0xAABBCCu);
    EXPECT_EQ(fr.HasMask(), c.withMask);
    if (c.withMask) {
      EXPECT_EQ(MaskOf(fr, 1, 1), 255);
    }
    EXPECT_EQ(fr.Rects1.size(), c.version >= 104 ? 1u : 0u);
    if (c.version >= 104) {
      EXPECT_EQ(fr.Rects1[0], (TRect{1, 2, 3, 4}));
      ASSERT_EQ(fr.Rects2.size(), 2u);
      EXPECT_EQ(fr.Rects2[1], (TRect{9, 10, 11, 12}));
    }
  }
}

TEST(BrioVersions, LongerHeaderIsSkippedAndFlagsNeedTheirVersion) {
  for (int version : {104, 105}) {
    BrioSpec s;
    s.Version = version;
    s.HeaderLength = 52;
    s.CompositeFirst = true;
    FrameSpec f;
    f.Layers = {LayerSpec{true, -1, 255, false, RowsOf(TBrioBitmap(1, 1, 24)), ""}};
    s.Frames = {f, f};
    TBrioFrameList list = Read(BuildBrio(s));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.CompositeFirstLayer(), version >= 105);
  }
}

TEST(BrioVersions, FirstFrameOnly) {
  BrioSpec s;
  FrameSpec f;
  f.Layers = {LayerSpec{true, -1, 255, false, RowsOf(TBrioBitmap(1, 1, 24)), ""}};
  s.Frames = {f, f, f};
  EXPECT_EQ(Read(BuildBrio(s)).Count(), 3);
  EXPECT_EQ(Read(BuildBrio(s), 0, TBrioLoadOptions{true, false}).Count(), 1);
}

// The rows 11, 10, 13, 12 of a 1 x 4 8-bit picture, padded.
std::string StoredRows() {
  std::string rows;
  for (char v : {11, 10, 13, 12}) rows += std::string{v, 0, 0, 0};
  return rows;
}

std::string FourRows(bool scrambled, int compression) {
  BrioSpec s;
  s.Scrambled = scrambled;
  s.Compression = compression;
  FrameSpec f;
  f.Width = 1;
  f.Height = 4;
  f.Bits = 8;
  f.Layers = {LayerSpec{true, -1, 255, false, compression == 0 ? Zip(StoredRows()) : StoredRows(), ""}};
  s.Frames = {f};
  return BuildBrio(s);
}

std::vector<uint32_t> ColumnOf(const TBrioFrame& f) {
  std::vector<uint32_t> v;
  for (int32_t y = 0; y < f.Height; ++y) v.push_back(PixelOf(f, 0, y));
  return v;
}

TEST(BrioScramble, RowsFollowTheKey) {
  const struct {
    bool scrambled;
    int compression;
    int32_t key;
    std::vector<uint32_t> rows;
  } cases[] = {
      {true, 1, 1, {10, 11, 12, 13}},   // stored rows 0..3 are image rows 1, 0, 3, 2
      {true, 0, 1, {10, 11, 12, 13}},   // the same after inflating
      {true, 1, 0, {11, 10, 13, 12}},   // seed 0: stored order
      {false, 1, 1, {11, 10, 13, 12}},  // not scrambled: the key does not matter
  };
  for (const auto& c : cases) {
    TBrioFrameList list = Read(FourRows(c.scrambled, c.compression), c.key);
    EXPECT_EQ(ColumnOf(list.Frame(0)), c.rows) << c.scrambled << c.compression << c.key;
  }
}

TEST(BrioScramble, JpegFilesKeepTheirMaskRowsInOrder) {
  BrioSpec s;
  s.Scrambled = true;
  s.Compression = 2;
  FrameSpec f;
  f.Width = 1;
  f.Height = 4;
  TBrioBitmap grey(1, 4, 24);
  for (int32_t y = 0; y < 4; ++y) grey.SetPixel(0, y, 0x808080);
  std::vector<uint8_t> jpeg = EncodeJpeg(grey, 90);
  f.Layers = {LayerSpec{true, -1, 255, true, std::string(jpeg.begin(), jpeg.end()), Zip(StoredRows())}};
  s.Frames = {f};
  TBrioFrameList list = Read(BuildBrio(s), 1);
  const TBrioFrame& fr = list.Frame(0);
  std::vector<int> mask;
  for (int32_t y = 0; y < 4; ++y) mask.push_back(MaskOf(fr, 0, y));
  EXPECT_EQ(mask, (std::vector<int>{11, 10, 13, 12}));
  EXPECT_NEAR(static_cast<int>(PixelOf(fr, 0, 2) & 0xFF), 0x80, 2);
}

// Tiles of a 5 x 3 8-bit picture, 2 x 2 each: three columns (the last one pixel wide) and two
// rows (the last one pixel high).
TEST(BrioTiles, ThreeSourceKindsAndClippedEdges) {
  BrioSpec s;
  s.Version = 103;
  s.TileWidth = 2;
  s.TileHeight = 2;
  FrameSpec f;
  f.Width = 5;
  f.Height = 3;
  f.Bits = 8;
  std::string block = Tile(-1, 0) + Tile(-2, 0) + Tile(-1, 0) + Tile(-2, 5) + Tile(-1, 0) + Tile(-1, 0);
  block += std::string{1, 2, 3, 4};  // tile 0: 2 x 2
  block += std::string{5, 6};        // tile 2: 1 x 2
  block += std::string{7, 8};        // tile 4: 2 x 1
  block += std::string{9};           // tile 5: 1 x 1
  f.Layers = {LayerSpec{true, -1, 255, false, block, ""}};
  s.Frames = {f};
  TBrioFrameList list = Read(BuildBrio(s));
  const TBrioFrame& fr = list.Frame(0);
  // Tile 1 copies tile 0; tile 3 copies tile 5, which holds nothing yet.
  const uint32_t expected[3][5] = {{1, 2, 1, 2, 5}, {3, 4, 3, 4, 6}, {0, 0, 7, 8, 9}};
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(PixelOf(fr, x, y), expected[y][x]) << x << "," << y;
}

TEST(BrioTiles, CopiesFromAnotherFramesLayerColourAndMask) {
  BrioSpec s;
  s.Version = 104;
  s.Compression = 0;
  s.TileWidth = 1;
  s.TileHeight = 1;
  FrameSpec f0;
  f0.Width = 2;
  f0.Height = 1;
  f0.Bits = 8;
  f0.Layers = {LayerSpec{true, -1, 255, true, Zip(Tile(-1, 0) + Tile(-1, 0) + std::string{21, 22}),
                         Zip(Tile(-1, 0) + Tile(-1, 0) + std::string{'\x60', '\x70'})}};
  FrameSpec f1 = f0;
  // Frame 1: pixel 0 from frame 0's layer 0, pixel 1 its own; the mask likewise.
  f1.Layers = {LayerSpec{true, -1, 255, true, Zip(Tile(0, 0) + Tile(-1, 0) + std::string{33}),
                         Zip(Tile(0, 0) + Tile(-1, 0) + std::string{'\x10'})}};
  s.Frames = {f0, f1};
  TBrioFrameList list = Read(BuildBrio(s));
  const TBrioFrame& fr = list.Frame(1);
  EXPECT_EQ(PixelOf(fr, 0, 0), 21u);
  EXPECT_EQ(PixelOf(fr, 1, 0), 33u);
  EXPECT_EQ(MaskOf(fr, 0, 0), 0x60);
  EXPECT_EQ(MaskOf(fr, 1, 0), 0x10);
  // Reading only the first frame leaves frame 1 unread: nothing to copy, and no error.
  EXPECT_EQ(Read(BuildBrio(s), 0, TBrioLoadOptions{true, false}).Count(), 1);
}

TEST(BrioTiles, ScrambledEntriesAndFourBitTilesOffByteBoundaries) {
  // A 4 x 1 4-bit picture in 1 x 1 tiles: each stored tile row is one byte (high nibble).
  BrioSpec s;
  s.Version = 103;
  s.Scrambled = true;
  s.TileWidth = 1;
  s.TileHeight = 1;
  FrameSpec f;
  f.Width = 4;
  f.Height = 1;
  f.Bits = 4;
  // Seed 1 sends stored entries 0..3 to tiles 1, 0, 3, 2: the last stored entry, a copy of
  // tile 0, belongs to tile 2; the others carry pixels, which follow in tile order.
  std::string entries = Tile(-1, 0) + Tile(-1, 0) + Tile(-1, 0) + Tile(-2, 0);
  f.Layers = {LayerSpec{true, -1, 255, false, entries + std::string{'\x70', '\x80', '\x90'}, ""}};
  s.Frames = {f};
  TBrioFrameList list = Read(BuildBrio(s), 1);
  const TBrioFrame& fr = list.Frame(0);
  // Tiles 0, 1, 3 take pixels 7, 8, 9 in tile order; tile 2 copies tile 0.
  EXPECT_EQ(PixelOf(fr, 0, 0), 7u);
  EXPECT_EQ(PixelOf(fr, 1, 0), 8u);
  EXPECT_EQ(PixelOf(fr, 2, 0), 7u);
  EXPECT_EQ(PixelOf(fr, 3, 0), 9u);
}

TEST(BrioPalette, PaletteEntriesAndTransparentIndex) {
  BrioSpec s;
  FrameSpec f;
  f.Width = 2;
  f.Height = 1;
  f.Bits = 4;
  f.Palette = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
  f.Transparent = 2;
  f.Layers = {LayerSpec{true, -1, 255, false, std::string{'\x13', 0, 0, 0}, ""}};
  s.Frames = {f};
  TBrioFrameList list = Read(BuildBrio(s));
  const TBrioFrame& fr = list.Frame(0);
  ASSERT_EQ(fr.Palette.size(), 16u);
  EXPECT_EQ(fr.Palette[3], 0xFF0000u);
  EXPECT_EQ(PixelOf(fr, 0, 0), 1u);
  EXPECT_EQ(PixelOf(fr, 1, 0), 3u);
  EXPECT_EQ(fr.TransparentColor, 0x00FF00);
}

TEST(BrioPalette, MaskFromTransparentOnRequest) {
  BrioSpec s;
  FrameSpec f;
  f.Width = 2;
  f.Height = 1;
  f.Bits = 8;
  f.Transparent = 5;
  f.Layers = {LayerSpec{true, -1, 255, false, std::string{5, 6, 0, 0}, ""}};
  s.Frames = {f};
  EXPECT_FALSE(Read(BuildBrio(s)).Frame(0).HasMask());
  TBrioFrameList masked = Read(BuildBrio(s), 0, TBrioLoadOptions{false, true});
  EXPECT_EQ(MaskOf(masked.Frame(0), 0, 0), 0);
  EXPECT_EQ(MaskOf(masked.Frame(0), 1, 0), 255);
}

}  // namespace
}  // namespace nova::test
