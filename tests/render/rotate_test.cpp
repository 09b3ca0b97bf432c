// Rotated draws: quarter, half and full turns placed exactly, zoom, mirroring, the blend value
// encoding, and the paths against each other on random turns.
#include <gtest/gtest.h>

#include "render/dibx.h"
#include "render_test_util.h"

namespace nova::test {
namespace {

// 1 2 3
// 4 5 6
std::unique_ptr<TDIBX> Small(int bits) { return Surface(3, 2, bits, {1, 2, 3, 4, 5, 6}); }

struct TurnCase {
  const char* name;
  int angle, zoomX, zoomY;
  bool flipV, flipH;
  const char* expected;  // 8 x 9 destination, centre (0, 0) placed at (4, 4)
};

class Turns : public ::testing::TestWithParam<TurnCase> {};

TEST_P(Turns, PlaceTheSource) {
  const TurnCase& c = GetParam();
  for (int bits : {8, 32}) {
    auto s = Small(bits);
    auto d = Surface(8, 9, bits, {});
    d->DrawRotate(4, 4, 255, c.flipV, c.flipH, false, c.angle, 0, 0, TRect{0, 0, 3, 2}, s.get(), c.zoomY, c.zoomX);
    EXPECT_EQ(Picture(*d), c.expected) << bits;
  }
}

INSTANTIATE_TEST_SUITE_P(Render, Turns,
                         ::testing::Values(TurnCase{"None", 0, 256, 256, false, false,
                                                    "........\n........\n........\n........\n....123.\n....456.\n"
                                                    "........\n........\n........\n"},
                                           TurnCase{"FullTurn", 256, 256, 256, false, false,
                                                    "........\n........\n........\n........\n....123.\n....456.\n"
                                                    "........\n........\n........\n"},
                                           // the top row becomes the right column, read downward
                                           TurnCase{"QuarterTurn", 64, 256, 256, false, false,
                                                    "........\n........\n........\n........\n...41...\n...52...\n"
                                                    "...63...\n........\n........\n"},
                                           TurnCase{"HalfTurn", 128, 256, 256, false, false,
                                                    "........\n........\n........\n..654...\n..321...\n........\n"
                                                    "........\n........\n........\n"},
                                           TurnCase{"Mirrored", 0, 256, 256, false, true,
                                                    "........\n........\n........\n........\n....321.\n....654.\n"
                                                    "........\n........\n........\n"},
                                           TurnCase{"DoubleWidth", 0, 512, 256, false, false,
                                                    "........\n........\n........\n........\n....1122\n....4455\n"
                                                    "........\n........\n........\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Rotate, ZoomZeroAndAlphaZeroDrawNothing) {
  auto s = Small(32);
  auto d = Surface(8, 8, 32, {});
  d->DrawRotate(4, 4, 255, false, false, false, 10, 0, 0, TRect{0, 0, 3, 2}, s.get(), 256, 0);
  d->DrawRotate(4, 4, 255, false, false, false, 10, 0, 0, TRect{0, 0, 3, 2}, s.get(), -5, 256);
  d->DrawRotate(4, 4, 0, false, false, false, 10, 0, 0, TRect{0, 0, 3, 2}, s.get(), 256, 256);
  EXPECT_EQ(Pixels(*d), std::vector<uint32_t>(64, 0));
}

TEST(Rotate, BlendValueSelectsAlphaOrAdd) {
  auto s = Surface(1, 1, 32, {0x00A0C0E0});
  auto d = Surface(3, 1, 32, std::vector<uint32_t>(3, 0x00204060));
  d->DrawRotate(0, 0, 100, false, false, false, 0, 0, 0, TRect{0, 0, 1, 1}, s.get(), 256, 256);
  d->DrawRotate(1, 0, 256 + 128, false, false, false, 0, 0, 0, TRect{0, 0, 1, 1}, s.get(), 256, 256);
  d->DrawRotate(2, 0, 255, false, false, false, 0, 0, 0, TRect{0, 0, 1, 1}, s.get(), 256, 256);
  EXPECT_EQ(Pixels(*d), (std::vector<uint32_t>{0x00517191, 0x0070A0D0, 0x00A0C0E0}));
}

TEST(Rotate, MaskCombinesWithTheAlpha) {
  auto s = Surface(2, 1, 32, {0x00A0C0E0, 0x00A0C0E0});
  auto m = Surface(2, 1, 8, {128, 0});
  auto d = Surface(2, 1, 32, std::vector<uint32_t>(2, 0x00204060));
  d->DrawRotateMask(0, 0, 200, m.get(), false, false, 0, 0, 0, TRect{0, 0, 2, 1}, s.get(), 256, 256);
  EXPECT_EQ(Pixels(*d), (std::vector<uint32_t>{0x00517191, 0x00204060}));
}

TEST(RotatePaths, AgreeOnRandomTurns) {
  Rng rng(777);
  int changed = 0;
  for (int iter = 0; iter < 400; ++iter) {
    bool masked = iter % 2;
    auto d = RandomSurface(rng, rng.Range(1, 50), rng.Range(1, 40), 32);
    auto s = RandomSurface(rng, rng.Range(1, 24), rng.Range(1, 24), 32);
    auto m = RandomSurface(rng, s->GetWidth() + rng.Range(-2, 0), s->GetHeight() + rng.Range(-2, 0), 8);
    if (rng.Chance(50)) s->Transparent = static_cast<int32_t>(s->GetPixel(0, 0));
    if (rng.Chance(40)) d->AddClip(TRect{rng.Range(-5, 20), rng.Range(-3, 20), rng.Range(5, 60), rng.Range(2, 50)});
    TRect sr{rng.Range(-2, s->GetWidth() / 2), rng.Range(-2, s->GetHeight() / 2), 0, 0};
    sr.Right = rng.Range(sr.Left + 1, s->GetWidth() + 2);
    sr.Bottom = rng.Range(sr.Top + 1, s->GetHeight() + 2);
    const int alphas[] = {1, 100, 254, 255, 256, 300, 511};
    int alpha = alphas[rng.Range(0, 6)];
    int angle = rng.Chance(30) ? rng.Range(0, 4) * 64 : rng.Range(-300, 300);
    int zx = rng.Chance(30) ? 256 : rng.Range(40, 900), zy = rng.Chance(30) ? 256 : rng.Range(40, 900);
    int x = rng.Range(0, d->GetWidth()), y = rng.Range(0, d->GetHeight());
    int cx = rng.Range(-3, s->GetWidth() + 3), cy = rng.Range(-3, s->GetHeight() + 3);
    bool fv = rng.Chance(50), fh = rng.Chance(50), keyed = rng.Chance(50);
    bool touched = false;
    std::string bad = PathsDisagree(
        *d,
        [&](TCustomDIBX& t) {
          if (masked)
            t.DrawRotateMask(x, y, alpha, m.get(), fv, fh, angle, cy, cx, sr, s.get(), zy, zx);
          else
            t.DrawRotate(x, y, alpha, fv, fh, keyed, angle, cy, cx, sr, s.get(), zy, zx);
        },
        &touched);
    ASSERT_EQ(bad, "") << "iteration " << iter << " angle " << angle << " zoom " << zx << "," << zy;
    changed += touched;
  }
  EXPECT_GT(changed, 120);
}

}  // namespace
}  // namespace nova::test
