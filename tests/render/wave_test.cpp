// The wave proxy: rows shifted by their offsets, bands of equal offsets forwarded as one call,
// stretched draws row by row, rows outside the table skipped, and the target's clip kept.
#include <gtest/gtest.h>

#include "render/dibx.h"
#include "render_test_util.h"

namespace nova::test {
namespace {

// A target that counts the calls reaching it.
class CountingTarget : public TDIBX {
public:
  int fills = 0, draws = 0, stretches = 0;
  void FillRect(const TRect& r, uint32_t pixel) override {
    ++fills;
    TDIBX::FillRect(r, pixel);
  }
  void Draw(int x, int y, bool flipV, bool flipH, bool keyed, const TRect& srcRect, TCustomDIBX* source) override {
    ++draws;
    TDIBX::Draw(x, y, flipV, flipH, keyed, srcRect, source);
  }
  void StretchDraw(const TRect& d, TCustomDIBX* s, int alpha, bool flipV, bool flipH, bool keyed,
                   const TRect& srcRect) override {
    ++stretches;
    TDIBX::StretchDraw(d, s, alpha, flipV, flipH, keyed, srcRect);
  }
};

struct Fixture {
  CountingTarget target;
  TDIBXWave wave{&target};
  Fixture(int originX, int rowOrigin, int width, std::vector<int32_t> offsets) {
    target.SetSize(10, 6, 8);
    target.Fill(0);
    wave.SetSize(width, static_cast<int>(offsets.size()), 8);
    wave.SetOrigin(originX, rowOrigin);
    wave.Offsets() = std::move(offsets);
  }
};

TEST(Wave, DrawShiftsEachRowAndSkipsRowsOutsideTheTable) {
  Fixture f(0, 1, 10, {0, 1, -1});
  auto s = Surface(4, 4, 8, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 1});
  f.wave.Draw(3, 0, false, false, false, TRect{0, 0, 4, 4}, s.get());
  EXPECT_EQ(Picture(f.target),
            "..........\n"
            "...5678...\n"
            "....9ABC..\n"
            "..DEF1....\n"
            "..........\n"
            "..........\n");
  EXPECT_EQ(f.target.draws, 3);  // three bands
  EXPECT_EQ(f.target.ClipRight, 0) << "the target's clip is given back";
}

TEST(Wave, EqualOffsetsFormOneBandAndTheAreaClips) {
  Fixture f(2, 1, 6, {0, 2, 2, -1});
  f.wave.FillRect(TRect{4, 0, 7, 6}, 7);
  EXPECT_EQ(f.target.fills, 3);
  EXPECT_EQ(Picture(f.target),
            "..........\n"
            "....777...\n"
            "......77..\n"
            "......77..\n"
            "...777....\n"
            "..........\n");
}

TEST(Wave, StretchedDrawsGoRowByRow) {
  Fixture f(0, 0, 10, {0, 0, 1, 1});
  auto s = Surface(2, 2, 8, {1, 2, 3, 4});
  f.wave.StretchDraw(TRect{2, 0, 6, 4}, s.get(), 255, false, false, false, TRect{0, 0, 2, 2});
  EXPECT_EQ(f.target.stretches, 4);
  EXPECT_EQ(Picture(f.target),
            "..1122....\n"
            "..1122....\n"
            "...3344...\n"
            "...3344...\n"
            "..........\n"
            "..........\n");
}

TEST(Wave, ClipOfTheProxyLimitsTheForwardedCalls) {
  Fixture f(0, 0, 10, {0, 0, 0, 0, 0, 0});
  f.wave.ResetClip();
  f.wave.AddClip(TRect{1, 1, 4, 3});
  EXPECT_EQ(f.target.GetClipRect(), (TRect{1, 1, 4, 3})) << "clip calls reach the target too";
  f.target.ResetClip();
  f.wave.FillRect(TRect{0, 0, 10, 6}, 3);
  EXPECT_EQ(Picture(f.target),
            "..........\n"
            ".333......\n"
            ".333......\n"
            "..........\n"
            "..........\n"
            "..........\n");
}

TEST(Wave, ForwardsFormatQuestionsAndTilesThroughItsDraws) {
  Fixture f(0, 0, 10, {1, 1});
  EXPECT_EQ(f.wave.GetBitCount(), 8);
  EXPECT_EQ(f.wave.GetTarget(), &f.target);
  EXPECT_EQ(f.wave.ColorToPixel(0x12), 0x12);
  auto s = Surface(1, 1, 8, {6});
  f.wave.TileDraw(TRect{0, 0, 4, 2}, 1, 0, 0, false, false, false, TRect{0, 0, 1, 1}, s.get(), 0);
  EXPECT_EQ(Picture(f.target),
            ".6.6......\n"
            ".6.6......\n"
            "..........\n"
            "..........\n"
            "..........\n"
            "..........\n");
}

}  // namespace
}  // namespace nova::test
