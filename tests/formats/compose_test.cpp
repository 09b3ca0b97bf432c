// The arithmetic of composing layers: opacity, dither, masks, and the frame rules.
#include <gtest/gtest.h>

#include <random>

#include "formats/brio_compose.h"
#include "formats/brio_frame.h"
#include "frame_probe.h"

namespace nova::test {
namespace {

TBrioBitmap Filled(int32_t w, int32_t h, int32_t bits, uint32_t pixel) {
  TBrioBitmap b(w, h, bits);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) b.SetPixel(x, y, pixel);
  return b;
}

TEST(ComposeArithmetic, OpacityBlendPerDepth) {
  const struct {
    int32_t bits;
    uint32_t dst, src;
    int32_t opacity;
    uint32_t expected;
  } cases[] = {
      // 24 bits: ((255 - a) * d + a * s) / 255 per channel.
      {24, 0x000000, 0xFFFFFF, 128, 0x808080},
      {24, 0x102030, 0x302010, 100, 0x1C2023},  // red (155*16+100*48)/255=28, green 32, blue 35
      // 32 bits: over 256, and the fourth byte becomes 0.
      {32, 0xFF000000, 0x00FFFFFF, 128, 0x007F7F7F},
      // 16 bits (5-6-5): each channel in place, masked: red (128 * 0xF800) / 255 = 0x7C7C -> 0x7800.
      {16, 0x0000, 0xF800, 128, 0x7800},
      {16, 0x0000, 0x07E0, 128, 0x03E0},  // (128 * 0x7E0) / 255 = 0x3F3 -> 0x3E0
      {16, 0xFFFF, 0x0000, 1, 0xF7DE},    // (254 * m) / 255 per channel, masked
      // Above 254 copies; 0 draws nothing.
      {24, 0x000000, 0x123456, 255, 0x123456},
      {24, 0x000000, 0x123456, 300, 0x123456},
      {24, 0x654321, 0x123456, 0, 0x654321},
  };
  for (const auto& c : cases) {
    TBrioBitmap frame = Filled(1, 1, c.bits, c.dst), layer = Filled(1, 1, c.bits, c.src);
    DrawLayer(frame.View(), layer.View(), c.opacity, -1);
    EXPECT_EQ(frame.Pixel(0, 0), c.expected) << c.bits << " " << std::hex << c.src << " a=" << std::dec << c.opacity;
  }
}

TEST(ComposeArithmetic, MaskBlendOver256) {
  const struct {
    int32_t bits;
    uint32_t dst, src;
    uint8_t mask;
    uint32_t expected;
  } cases[] = {
      {24, 0x000000, 0xFFFFFF, 128, 0x7F7F7F},  // 255 * 128 / 256 = 127
      {24, 0xFFFFFF, 0x000000, 128, 0x7E7E7E},  // 255 * 127 / 256 = 126
      {32, 0xFF000000, 0x00FFFFFF, 128, 0x007F7F7F},
      {16, 0x0000, 0xFFFF, 128, 0x7BEF},        // 0xF800*128/256=0x7C00, 0x7E0->0x3F0->0x3E0, 0x1F->0xF
      {24, 0x111111, 0x222222, 0, 0x111111},
      {24, 0x111111, 0x222222, 255, 0x222222},
  };
  for (const auto& c : cases) {
    TBrioBitmap frame = Filled(1, 1, c.bits, c.dst), layer = Filled(1, 1, c.bits, c.src), mask = Filled(1, 1, 8, c.mask);
    DrawLayerMasked(frame.View(), layer.View(), mask.View());
    EXPECT_EQ(frame.Pixel(0, 0), c.expected) << c.bits << " m=" << int{c.mask};
  }
}

TEST(ComposeArithmetic, PalettedOpacityDithers) {
  // Level k = opacity / 16 shows the layer where the 4 x 4 index is at most k.
  const struct {
    int32_t opacity;
    int shown;
  } cases[] = {{1, 1}, {15, 1}, {16, 2}, {128, 9}, {239, 15}, {240, 16}, {254, 16}};
  for (const auto& c : cases) {
    TBrioBitmap frame = Filled(8, 4, 8, 0), layer = Filled(8, 4, 8, 7);
    DrawLayer(frame.View(), layer.View(), c.opacity, -1);
    int shown = 0;
    for (int32_t y = 0; y < 4; ++y)
      for (int32_t x = 0; x < 4; ++x) {
        shown += frame.Pixel(x, y) == 7;
        EXPECT_EQ(frame.Pixel(x + 4, y), frame.Pixel(x, y)) << "the pattern repeats every 4 columns";
      }
    EXPECT_EQ(shown, c.shown) << c.opacity;
  }
  // Level 0 shows the cell whose index is 0 only: row 0, column 0.
  TBrioBitmap frame = Filled(4, 4, 8, 0), layer = Filled(4, 4, 8, 7);
  DrawLayer(frame.View(), layer.View(), 1, -1);
  EXPECT_EQ(frame.Pixel(0, 0), 7u);
}

TEST(ComposeArithmetic, TransparentPixelsAreSkipped) {
  for (int32_t bits : {4, 8, 16, 24, 32}) {
    TBrioBitmap frame = Filled(2, 1, bits, 1), layer(2, 1, bits);
    layer.SetPixel(0, 0, 3);
    layer.SetPixel(1, 0, bits == 32 ? 0xFF000005u : 5u);  // the fourth byte does not count
    for (int32_t opacity : {255, 200}) {
      TBrioBitmap f = frame;
      DrawLayer(f.View(), layer.View(), opacity, 5);
      EXPECT_EQ(f.Pixel(1, 0), 1u) << bits << " " << opacity;
    }
  }
}

// The row routines compute what the plain per-pixel loops compute.
TEST(ComposeArithmetic, FastRowsMatchReference) {
  std::mt19937 rng(7);
  for (int32_t bits : {1, 4, 8, 16, 24, 32}) {
    for (int round = 0; round < 20; ++round) {
      const int32_t w = 1 + static_cast<int32_t>(rng() % 13), h = 1 + static_cast<int32_t>(rng() % 5);
      TBrioBitmap frame(w, h, bits), layer(w, h, bits), mask(w, h, 8);
      for (size_t i = 0; i < frame.ByteSize(); ++i) frame.Data()[i] = static_cast<uint8_t>(rng());
      for (size_t i = 0; i < layer.ByteSize(); ++i) layer.Data()[i] = static_cast<uint8_t>(rng());
      for (size_t i = 0; i < mask.ByteSize(); ++i) mask.Data()[i] = static_cast<uint8_t>(rng() % 3 == 0 ? 0 : rng());
      int32_t opacity = static_cast<int32_t>(rng() % 300) - 10;
      int64_t key = rng() % 2 ? -1 : layer.Pixel(0, 0) & (bits == 32 ? 0xFFFFFFu : 0xFFFFFFFFu);
      TBrioBitmap fast = frame, plain = frame;
      DrawLayer(fast.View(), layer.View(), opacity, key);
      DrawLayerReference(plain.View(), layer.View(), opacity, key);
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) ASSERT_EQ(fast.Pixel(x, y), plain.Pixel(x, y)) << bits << " a=" << opacity;
      fast = frame;
      plain = frame;
      DrawLayerMasked(fast.View(), layer.View(), mask.View());
      DrawLayerMaskedReference(plain.View(), layer.View(), mask.View());
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) ASSERT_EQ(fast.Pixel(x, y), plain.Pixel(x, y)) << bits << " masked";
    }
  }
}

TBrioLayer LayerOf(int32_t w, int32_t h, int32_t bits, uint32_t pixel) {
  TBrioLayer l;
  l.Color = Filled(w, h, bits, pixel);
  return l;
}

TBrioFrame FrameOf(int32_t w, int32_t h, int32_t bits) {
  TBrioFrame f;
  f.Width = w;
  f.Height = h;
  f.Bits = bits;
  if (bits <= 8) f.Palette.assign(size_t{1} << bits, 0);
  return f;
}

TEST(ComposeFrame, BackgroundIsTheNearestPaletteEntryWhenPaletted) {
  TBrioFrame f = FrameOf(1, 1, 8);
  f.Palette[3] = 0x0000F0;  // red 0xF0
  f.Palette[4] = 0x00F000;
  TBrioHeader h;
  h.BackgroundColor = 0x0000FF;
  ComposeBrioFrame(f, h);
  EXPECT_EQ(PixelOf(f, 0, 0), 3u);
  TBrioFrame t = FrameOf(1, 1, 24);
  ComposeBrioFrame(t, h);
  EXPECT_EQ(PixelOf(t, 0, 0), 0xFF0000u);  // 0x00RRGGBB
}

TEST(ComposeFrame, FirstLayerMaskBecomesTheFramesAndLaterMasksBlend) {
  TBrioFrame f = FrameOf(1, 1, 24);
  TBrioLayer bottom = LayerOf(1, 1, 24, 0x000000);
  bottom.HasAlpha = true;
  bottom.Mask = Filled(1, 1, 8, 0x40);
  TBrioLayer top = LayerOf(1, 1, 24, 0xFFFFFF);
  top.HasAlpha = true;
  top.Mask = Filled(1, 1, 8, 128);
  f.Layers = {bottom, top};
  ComposeBrioFrame(f, TBrioHeader{});
  EXPECT_EQ(MaskOf(f, 0, 0), 0x40);
  EXPECT_EQ(PixelOf(f, 0, 0), 0x7F7F7Fu);
  // A mask without the alpha flag is not used: the layer is copied.
  f.Layers[1].HasAlpha = false;
  ComposeBrioFrame(f, TBrioHeader{});
  EXPECT_EQ(PixelOf(f, 0, 0), 0xFFFFFFu);
  // An invisible bottom layer gives no mask.
  f.Layers[0].Visible = false;
  ComposeBrioFrame(f, TBrioHeader{});
  EXPECT_FALSE(f.HasMask());
}

TEST(ComposeFrame, TransparentLayersAndTheCompositeFirstFlag) {
  TBrioFrame f = FrameOf(2, 1, 24);
  TBrioLayer l = LayerOf(2, 1, 24, 0x0000FF);  // pure blue pixels
  l.Color.SetPixel(1, 0, 0x00FF00);
  l.TransparentColor = 0xFF0000;  // blue as a colour 0x00BBGGRR
  f.Layers = {l};
  TBrioHeader h;
  h.BackgroundColor = 0x000001;
  ComposeBrioFrame(f, h);
  EXPECT_EQ(PixelOf(f, 0, 0), 0x010000u) << "the blue pixel is skipped, the background shows";
  EXPECT_EQ(PixelOf(f, 1, 0), 0x00FF00u);
  h.CompositeFirstLayer = true;
  ComposeBrioFrame(f, h);
  EXPECT_EQ(PixelOf(f, 0, 0), 0x0000FFu) << "the first visible layer is copied whole";
}

TEST(ComposeFrame, TransparentIndexBecomesAColour) {
  TBrioFrame f = FrameOf(1, 1, 8);
  f.Palette[9] = 0x123456;
  f.TransparentIndex = 9;
  ComposeBrioFrame(f, TBrioHeader{});
  EXPECT_EQ(f.TransparentColor, 0x123456);
  f.TransparentIndex = 300;  // outside the palette
  ComposeBrioFrame(f, TBrioHeader{});
  EXPECT_EQ(f.TransparentColor, -1);
  TBrioFrame t = FrameOf(1, 1, 24);
  t.TransparentIndex = 0x00ABCDEF;
  ComposeBrioFrame(t, TBrioHeader{});
  EXPECT_EQ(t.TransparentColor, 0xABCDEF);
}

}  // namespace
}  // namespace nova::test
