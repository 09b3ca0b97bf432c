// Tiles and patterns: gaps and phases (negative phases wrap), mirrored patterns, the frame of
// pattern bands, zoomed patterns, the clip given back afterwards, and the paths compared.
#include <gtest/gtest.h>

#include "render/dibx.h"
#include "render_test_util.h"

namespace nova::test {
namespace {

struct TileCase {
  const char* name;
  int gapX, offsetX;
  TRect destRect;
  const char* expected;
};

class Tiles : public ::testing::TestWithParam<TileCase> {};

TEST_P(Tiles, RepeatWithGapsFromThePhase) {
  const TileCase& c = GetParam();
  for (int bits : {8, 32}) {
    auto s = Surface(2, 1, bits, {1, 2});
    auto d = Surface(10, 1, bits, {});
    d->TileDraw(c.destRect, c.gapX, 0, c.offsetX, false, false, false, TRect{0, 0, 2, 1}, s.get(), 0);
    EXPECT_EQ(Picture(*d), std::string(c.expected) + "\n") << bits;
    EXPECT_EQ(d->ClipRight, 0) << "clip given back";
  }
}

INSTANTIATE_TEST_SUITE_P(Render, Tiles,
                         ::testing::Values(TileCase{"NoGap", 0, 0, {0, 0, 10, 1}, "1212121212"},
                                           TileCase{"GapAndPhase", 1, 1, {0, 0, 10, 1}, "2.12.12.12"},
                                           TileCase{"NegativePhaseWraps", 1, -1, {0, 0, 10, 1}, ".12.12.12."},
                                           TileCase{"PhaseBeyondThePeriod", 1, 7, {0, 0, 10, 1}, "2.12.12.12"},
                                           TileCase{"OnlyInsideTheRectangle", 0, 0, {3, 0, 8, 1}, "...12121.."}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Tiles, RowsWithGapsAndScaledCopies) {
  auto s = Surface(1, 1, 8, {5});
  auto d = Surface(5, 5, 8, {});
  d->AddClip(TRect{0, 0, 5, 4});
  d->TileDraw(TRect{0, 0, 5, 5}, 1, 0, 0, false, false, false, TRect{0, 0, 1, 1}, s.get(), 2);
  EXPECT_EQ(Picture(*d), "5.5.5\n.....\n.....\n5.5.5\n.....\n");
  EXPECT_EQ(d->GetClipRect(), (TRect{0, 0, 5, 4}));
  auto z = Surface(6, 2, 8, {});
  z->TileStretchDraw(TRect{0, 0, 6, 2}, 1, 0, 0, 255, false, false, false, TRect{0, 0, 1, 1}, s.get(), 0, 256, 512);
  EXPECT_EQ(Picture(*z), "55.55.\n55.55.\n");
}

TEST(Patterns, FillFromThePhaseAndMirrored) {
  auto p = Surface(3, 2, 8, {1, 2, 3, 4, 5, 6});
  auto d = Surface(8, 3, 8, {});
  d->PatternFill(TRect{0, 0, 8, 3}, p.get(), false, false, 1, 1);
  EXPECT_EQ(Picture(*d), "56456456\n23123123\n56456456\n");
  d->PatternFill(TRect{0, 0, 8, 3}, p.get(), true, true, 0, 1);
  EXPECT_EQ(Picture(*d), "54654654\n21321321\n54654654\n");
}

TEST(Patterns, FrameRunsThePatternOnAcrossItsBands) {
  auto p = Surface(2, 2, 8, {1, 2, 3, 4});
  auto d = Surface(6, 4, 8, {});
  d->FramePattern(TRect{0, 0, 6, 4}, 1, 0, 0, p.get());
  EXPECT_EQ(Picture(*d), "121212\n3....4\n1....2\n343434\n");
}

TEST(Patterns, ZoomStepsThePatternIn16Dot16) {
  auto p = Surface(2, 1, 32, {1, 2});
  auto d = Surface(9, 1, 32, {});
  d->PatternDraw(TRect{0, 0, 9, 1}, 256, 255, false, false, false, 1, 0, p.get(), 512);
  EXPECT_EQ(Picture(*d), "122112211\n");
}

TEST(PatternPaths, AgreeOnRandomPatterns) {
  Rng rng(2024);
  for (int iter = 0; iter < 300; ++iter) {
    int kind = iter % 5;
    auto d = RandomSurface(rng, rng.Range(1, 40), rng.Range(1, 10), 32);
    auto p = RandomSurface(rng, rng.Range(1, 12), rng.Range(1, 6), 32);
    auto m = RandomSurface(rng, p->GetWidth(), p->GetHeight(), 8);
    if (rng.Chance(50)) p->Transparent = static_cast<int32_t>(p->GetPixel(0, 0));
    if (rng.Chance(40)) d->AddClip(TRect{rng.Range(-5, 10), rng.Range(-2, 4), rng.Range(5, 45), rng.Range(2, 12)});
    TRect dr{rng.Range(-5, 20), rng.Range(-3, 5), 0, 0};
    dr.Right = dr.Left + rng.Range(0, 40);
    dr.Bottom = dr.Top + rng.Range(0, 12);
    const int alphas[] = {0, 1, 100, 255, 256, 300, 511, 600};
    int alpha = alphas[rng.Range(0, 7)];
    int zx = rng.Chance(30) ? 256 : rng.Range(1, 900), zy = rng.Chance(30) ? 256 : rng.Range(1, 900);
    int ox = rng.Range(-40, 40), oy = rng.Range(-40, 40), gx = rng.Range(-1, 4), gy = rng.Range(-1, 4);
    bool fv = rng.Chance(50), fh = rng.Chance(50), keyed = rng.Chance(50);
    TRect sr{0, 0, p->GetWidth(), p->GetHeight()};
    std::string bad = PathsDisagree(*d, [&](TCustomDIBX& t) {
      switch (kind) {
        case 0: t.PatternFill(dr, p.get(), fv, fh, oy, ox); break;
        case 1: t.PatternDraw(dr, zy, alpha, fv, fh, keyed, ox, oy, p.get(), zx); break;
        case 2: t.PatternDrawMask(dr, zy, alpha, m.get(), fv, fh, ox, oy, p.get(), zx); break;
        case 3: t.TileDrawAlphaMask(dr, gx, oy, ox, alpha, m.get(), fv, fh, sr, p.get(), gy); break;
        case 4: t.TileStretchDraw(dr, gx, oy, ox, alpha, fv, fh, keyed, sr, p.get(), gy, zy, zx); break;
      }
    });
    ASSERT_EQ(bad, "") << "iteration " << iter;
  }
}

}  // namespace
}  // namespace nova::test
