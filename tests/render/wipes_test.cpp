// Every transition kind against its plain model: fresh transitions at single moments and one
// transition stepped through the whole time (forward, then back), normal and reversed, on
// 32, 16 and 15 bits, an odd screen size, and every blit path; then the end of every kind.
#include <gtest/gtest.h>

#include "render/wipe_kinds.h"
#include "render_test_util.h"
#include "wipe_test_util.h"

namespace nova::test {
namespace {

struct KindCase {
  const char* name;
  int kind;
  int32_t p0, p1;
  bool withGrey = false;
  int w = 32, h = 24;
};

std::ostream& operator<<(std::ostream& os, const KindCase& c) { return os << c.name; }

// Parameters small enough to show the pattern on a small screen, and their edges: below the
// minimums, larger than the screen, negative.
const KindCase kCases[] = {
    {"Fade", WP_FADE, 0, 0},
    {"FadeSliding", WP_FADE, 10, -4},
    {"BlindH", WP_BLINDH, 6, 1},
    {"BlindHSoft", WP_BLINDH, 6, 5},
    {"BlindHBelowMinimums", WP_BLINDH, 1, 0},
    {"BlindHWiderThanScreen", WP_BLINDH, 40, 3},
    {"BlindV", WP_BLINDV, 5, 1},
    {"BlindVSoft", WP_BLINDV, 5, 4},
    {"BlindVBelowMinimums", WP_BLINDV, 0, -3},
    {"CurtainH", WP_CURTAINH, 6, 1},
    {"CurtainHSoft", WP_CURTAINH, 5, 9},
    {"CurtainHBelowMinimums", WP_CURTAINH, 0, 0},
    {"CurtainV", WP_CURTAINV, 4, 3},
    {"CurtainVDefaults", WP_CURTAINV, 30, 1},
    {"ScrollH", WP_SCROLLH, 0, 0},
    {"ScrollV", WP_SCROLLV, 0, 0},
    {"Grid", WP_GRID, 8, 3},
    {"GridHard", WP_GRID, 5, 1},
    {"GridBelowMinimums", WP_GRID, 1, 0},
    {"GridCellLargerThanScreen", WP_GRID, 100, 30},
    {"GridH", WP_GRIDH, 8, 3},
    {"GridHHard", WP_GRIDH, 7, 1},
    {"GridHBandTallerThanScreen", WP_GRIDH, 40, 30},
    {"GridV", WP_GRIDV, 8, 3},
    {"GridVHard", WP_GRIDV, 6, 1},
    {"Dither", WP_DITHER, 0, 0},
    {"White", WP_WHITE, 0, 0},
    {"Black", WP_BLACK, 0, 0},
    {"Flash", WP_FLASH, 0, 0},
    {"Mosaic", WP_MOSAIC, 0, 0},
    {"SudareH", WP_SUDAREH, 0, 0},
    {"SudareV", WP_SUDAREV, 0, 0},
    {"Spot", WP_SPOT, 0, 0},
    {"MaskFade", WP_MASKFADE, 0, 0, true},
    {"MaskFadeWithoutPicture", WP_MASKFADE, 0, 0},
    {"MaskWhite", WP_MASKWHITE, 0, 0, true},
    {"MaskWhiteWithoutPicture", WP_MASKWHITE, 0, 0},
    {"MaskBlack", WP_MASKBLACK, 0, 0, true},
    {"Small", WP_SMALL, 0, 0},
    {"SmallTurning", WP_SMALL, 40, 0},
    {"Big", WP_BIG, 0, 0},
    {"BigTurning", WP_BIG, -64, 0},
    {"Ripple", WP_RIPPLE, 5, 0, false, 64, 48},
    {"RippleFlat", WP_RIPPLE, 0, 0, false, 64, 48},
    {"RippleStrong", WP_RIPPLE, 12, 0, false, 64, 48},
    {"RippleNarrowRing", WP_RIPPLE, 5, 0},
    {"BlurWhite", WP_BLURWHITE, 0, 0},
    {"BlurBlack", WP_BLURBLACK, 0, 0, false, 48, 40},
    {"TwistH", WP_TWISTH, 0, 0},
    {"TwistV", WP_TWISTV, 0, 0},
    {"CrackSmallChipsRaised", WP_CRACK, 8, 3},
    {"CrackAllAtOnce", WP_CRACK, 10, 0},
    {"CrackOneChip", WP_CRACK, 64, 3},
    {"CrackSlowStarts", WP_CRACK, 16, 40},
    {"ZoominCentre", WP_ZOOMIN, 16, 12},
    {"ZoominCorner", WP_ZOOMIN, 0, 0},
    {"ZoominOutside", WP_ZOOMIN, 100, -50},
    {"ZoominPoint", WP_ZOOMIN, 5, 20},
    {"RubberH", WP_RUBBERH, 0, 0},
    {"RubberV", WP_RUBBERV, 0, 0},
    {"Clockhand", WP_CLOCKHAND, 0, 0},
    {"ClockhandRight", WP_CLOCKHAND, 90, 0},
    {"ClockhandNegative", WP_CLOCKHAND, -45, 0},
    {"ClockhandPastATurn", WP_CLOCKHAND, 400, 0},
    {"Fan", WP_FAN, 0, 0},
    {"FanDown", WP_FAN, 200, 0},
    {"WFan", WP_WFAN, 30, 0},
    {"Circle", WP_CIRCLE, 0, 0},
    {"BlockCoil", WP_BLOCKCOIL, 8, 0},
    {"BlockCoilRaisedToTen", WP_BLOCKCOIL, 0, 0},
    {"BlockCoilOneBlock", WP_BLOCKCOIL, 100, 0},
    {"BlockRandom", WP_BLOCKRANDOM, 8, 0},
    {"BlockRandomUneven", WP_BLOCKRANDOM, 12, 0},
};

const int32_t kDuration = 1000;
const int32_t kMoments[] = {0, 1, 250, 499, 500, 640, 750, 999};

class Kinds : public ::testing::TestWithParam<KindCase> {
protected:
  void TearDown() override { SetBlitPath(TBlitPath::FastRows); }

  WipeSetup Setup(bool reversed, int bits) const {
    const KindCase& c = GetParam();
    WipeSetup s;
    s.kind = c.kind, s.p0 = c.p0, s.p1 = c.p1, s.reversed = reversed, s.bits = bits;
    s.w = c.w, s.h = c.h, s.duration = kDuration, s.withGrey = c.withGrey;
    return s;
  }
};

TEST_P(Kinds, FreshTransitionsMatchTheModel) {
  for (TBlitPath path : {TBlitPath::FastRows, TBlitPath::ReferenceRows, TBlitPath::PerPixel}) {
    SetBlitPath(path);
    for (int bits : {32, 16, 15})
      for (bool reversed : {false, true})
        for (int32_t e : kMoments) {
          SCOPED_TRACE(PathName(path) + " bits " + std::to_string(bits) + (reversed ? " reversed" : "") + " at " +
                       std::to_string(e));
          WipeRun run(Setup(reversed, bits));
          ASSERT_FALSE(run.Wipe().Finished());
          Img got = run.Step(e);
          EXPECT_EQ(Difference(got, run.Model(e)), "same");
          EXPECT_EQ(run.Wipe().UpdateRect(), (TRect{0, 0, GetParam().w, GetParam().h}));
        }
  }
}

TEST_P(Kinds, OneTransitionSteppedForwardAndBack) {
  for (bool reversed : {false, true}) {
    WipeRun run(Setup(reversed, 32));
    std::vector<int32_t> times;
    for (int32_t e = 0; e < kDuration; e += 37) times.push_back(e);
    times.push_back(kDuration - 1);
    // Back again, except for the falling chips, which stay dropped.
    if (GetParam().kind != WP_CRACK)
      for (int32_t e : {700, 300, 0}) times.push_back(e);
    for (int32_t e : times) {
      SCOPED_TRACE((reversed ? "reversed at " : "at ") + std::to_string(e));
      EXPECT_FALSE(run.Wipe().Advance(e));
      EXPECT_EQ(Difference(FromSurface(run.Dest()), run.Model(e)), "same");
    }
  }
}

TEST_P(Kinds, OddScreenSizeMatchesTheModel) {
  for (bool reversed : {false, true})
    for (int32_t e : kMoments) {
      SCOPED_TRACE((reversed ? "reversed at " : "at ") + std::to_string(e));
      WipeSetup s = Setup(reversed, 32);
      s.w += 1, s.h += 1;
      WipeRun run(s);
      EXPECT_EQ(Difference(run.Step(e), run.Model(e)), "same");
    }
}

// The end: the new picture, whole and exact, from the end of the time on, after an abort, and
// again after the time went back.
TEST_P(Kinds, EndsWithTheNewPictureExactly) {
  for (int bits : {32, 16}) {
    SCOPED_TRACE(bits);
    WipeRun run(Setup(false, bits));
    run.Step(kDuration / 3);
    EXPECT_TRUE(run.Wipe().Advance(kDuration));
    EXPECT_TRUE(run.Wipe().Finished());
    EXPECT_EQ(FromSurface(run.Dest()), run.New());
    EXPECT_EQ(run.Wipe().UpdateRect(), (TRect{0, 0, GetParam().w, GetParam().h}));
    EXPECT_TRUE(run.Wipe().Advance(kDuration + 500));
    EXPECT_EQ(FromSurface(run.Dest()), run.New());
    run.Wipe().DrawFinal();
    EXPECT_EQ(FromSurface(run.Dest()), run.New());
    if (GetParam().kind != WP_CRACK) {
      EXPECT_FALSE(run.Wipe().Advance(kDuration / 2));
      EXPECT_EQ(Difference(FromSurface(run.Dest()), run.Model(kDuration / 2)), "same");
    }

    WipeRun aborted(Setup(true, bits));
    aborted.Step(kDuration / 2);
    aborted.Wipe().Abort();
    EXPECT_TRUE(aborted.Wipe().Finished());
    EXPECT_EQ(FromSurface(aborted.Dest()), aborted.New());
    EXPECT_TRUE(aborted.Wipe().Advance(kDuration / 2 + 10));
    EXPECT_EQ(FromSurface(aborted.Dest()), aborted.New());
  }
}

INSTANTIATE_TEST_SUITE_P(Render, Kinds, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Every kind has at least one case above.
TEST(WipeKinds, EveryKindIsCovered) {
  for (int kind = WP_FADE; kind <= WP_BLOCKRANDOM; ++kind) {
    bool found = false;
    for (const auto& c : kCases) found = found || c.kind == kind;
    EXPECT_TRUE(found) << WipeIdentifier(kind);
  }
}

}  // namespace
}  // namespace nova::test
