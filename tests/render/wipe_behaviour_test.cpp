// The transition family's interface: the factory and its table, parameters and their
// minimums, the class tree, the masks' own data, the driving calls, and the behaviours the
// kinds are known by (a fade sliding in, pure white at the middle, half a dither tile, ...).
#include <gtest/gtest.h>

#include <set>

#include "base/encoding.h"
#include "base/kt_random.h"
#include "render/wipe_kinds.h"
#include "wipe_test_util.h"

namespace nova::test {
namespace {

struct Surfaces {
  std::unique_ptr<TDIBX> from, to, dest;
  explicit Surfaces(int w = 32, int h = 24, int bits = 32)
      : from(ToSurface(OldPicture(w, h, bits), bits)), to(ToSurface(NewPicture(w, h, bits), bits)),
        dest(ToSurface(OldPicture(w, h, bits), bits)) {}
  std::unique_ptr<TCustomWipe> Make(int kind, const TWipeContext& context = {}) {
    return CreateWipe(kind, dest.get(), from.get(), to.get(), context);
  }
};

// --- Factory and table ---

TEST(WipeFactory, NoTransitionForNoneAndUnknownKinds) {
  Surfaces s;
  for (int kind : {int{WP_NONE}, 39, 40, -1, 1000}) EXPECT_EQ(s.Make(kind), nullptr) << kind;
  EXPECT_EQ(CreateWipe(WP_FADE, nullptr, s.from.get(), s.to.get()), nullptr);
  EXPECT_EQ(CreateWipe(WP_FADE, s.dest.get(), nullptr, s.to.get()), nullptr);
}

TEST(WipeFactory, EveryKindGetsItsDefaultParameters) {
  Surfaces s;
  const TWipeDefaults defaults = TWipeDefaults::Standard();
  // A few pairs of the table, then every kind through GetParam (raised by its minimums).
  EXPECT_EQ(defaults.Pairs[WP_BLINDH], (std::array<int32_t, 2>{20, 1}));
  EXPECT_EQ(defaults.Pairs[WP_CURTAINV], (std::array<int32_t, 2>{30, 1}));
  EXPECT_EQ(defaults.Pairs[WP_GRID], (std::array<int32_t, 2>{80, 30}));
  EXPECT_EQ(defaults.Pairs[WP_RIPPLE], (std::array<int32_t, 2>{5, 0}));
  EXPECT_EQ(defaults.Pairs[WP_CRACK], (std::array<int32_t, 2>{64, 3}));
  EXPECT_EQ(defaults.Pairs[WP_BLOCKRANDOM], (std::array<int32_t, 2>{60, 0}));
  EXPECT_EQ(defaults.Pairs[WP_ZOOMIN], (std::array<int32_t, 2>{0, 0}));
  for (int kind = WP_FADE; kind <= WP_BLOCKRANDOM; ++kind) {
    auto wipe = s.Make(kind);
    ASSERT_NE(wipe, nullptr) << kind;
    EXPECT_EQ(wipe->Kind(), kind);
    bool mask = dynamic_cast<TWipeMask*>(wipe.get()) && kind != WP_CURTAINH && kind != WP_CURTAINV &&
                kind != WP_BLOCKCOIL && kind != WP_BLOCKRANDOM;
    int32_t p0 = defaults.Pairs[static_cast<size_t>(kind)][0], p1 = defaults.Pairs[static_cast<size_t>(kind)][1];
    EXPECT_EQ(wipe->GetParam(0), mask ? std::max(p0, 2) : p0) << WipeIdentifier(kind);
    EXPECT_EQ(wipe->GetParam(1), mask ? std::max(p1, 1) : p1) << WipeIdentifier(kind);
  }
}

TEST(WipeFactory, ZoomAimsAtTheCentreTheProjectGives) {
  Surfaces s;
  TWipeContext context;
  context.Defaults.AimZoomAt(641, 480);
  auto wipe = s.Make(WP_ZOOMIN, context);
  EXPECT_EQ(wipe->GetParam(0), 320);
  EXPECT_EQ(wipe->GetParam(1), 240);
}

TEST(WipeFactory, IdentifiersAndNames) {
  EXPECT_STREQ(WipeIdentifier(WP_NONE), "WP_NONE");
  EXPECT_STREQ(WipeIdentifier(WP_FADE), "WP_FADE");
  EXPECT_STREQ(WipeIdentifier(WP_MASKFADE), "WP_MASKFADE");
  EXPECT_STREQ(WipeIdentifier(WP_BLOCKRANDOM), "WP_BLOCKRANDOM");
  EXPECT_STREQ(WipeIdentifier(39), "");
  EXPECT_EQ(WipeDisplayName(WP_FADE), Utf8ToSjis("フェード"));
  EXPECT_EQ(WipeDisplayName(WP_GRIDH), Utf8ToSjis("格子(横)"));
  EXPECT_EQ(WipeDisplayName(WP_BLOCKCOIL), Utf8ToSjis("ブロック(とぐろ)"));
  EXPECT_EQ(WipeDisplayName(-1), "");
  std::set<std::string> ids;
  for (int k = 0; k < kWipeKindCount; ++k) ids.insert(WipeIdentifier(k));
  EXPECT_EQ(ids.size(), 39u);
}

// The class tree: the mask members under TWipeMask, grids, curtains and the black variants
// under their parents.
TEST(WipeFactory, ClassTree) {
  Surfaces s;
  auto is = [&](int kind, auto* probe) {
    auto wipe = s.Make(kind);
    return dynamic_cast<decltype(probe)>(wipe.get()) != nullptr;
  };
  for (int kind : {WP_BLINDH, WP_BLINDV, WP_CURTAINH, WP_CURTAINV, WP_GRID, WP_GRIDH, WP_GRIDV, WP_DITHER, WP_MASKFADE,
                   WP_CLOCKHAND, WP_FAN, WP_WFAN, WP_CIRCLE, WP_BLOCKCOIL, WP_BLOCKRANDOM})
    EXPECT_TRUE(is(kind, static_cast<TWipeMask*>(nullptr))) << WipeIdentifier(kind);
  for (int kind : {WP_FADE, WP_SCROLLH, WP_WHITE, WP_BLACK, WP_MASKWHITE, WP_SPOT, WP_RIPPLE, WP_CRACK, WP_ZOOMIN})
    EXPECT_FALSE(is(kind, static_cast<TWipeMask*>(nullptr))) << WipeIdentifier(kind);
  EXPECT_TRUE(is(WP_GRIDH, static_cast<TWipeGrid*>(nullptr)));
  EXPECT_TRUE(is(WP_GRIDV, static_cast<TWipeGrid*>(nullptr)));
  EXPECT_TRUE(is(WP_CURTAINH, static_cast<TWipeOrderHMask*>(nullptr)));
  EXPECT_TRUE(is(WP_CURTAINV, static_cast<TWipeOrderVMask*>(nullptr)));
  EXPECT_FALSE(is(WP_CURTAINH, static_cast<TWipeOrderVMask*>(nullptr)));
  EXPECT_TRUE(is(WP_MASKBLACK, static_cast<TWipeShadowWhite*>(nullptr)));
  EXPECT_TRUE(is(WP_BLURBLACK, static_cast<TWipeBlurWhite*>(nullptr)));
  EXPECT_FALSE(is(WP_BLACK, static_cast<TWipeWhite*>(nullptr)));
}

// --- Parameters ---

struct ParamCase {
  int kind;
  int32_t v0, v1;
  int32_t want0, want1;
};

TEST(WipeParams, MinimumsByFamily) {
  const ParamCase cases[] = {
      {WP_FADE, -5, -7, -5, -7},          {WP_BLINDH, 1, 0, 2, 1},        {WP_BLINDH, -9, -9, 2, 1},
      {WP_GRID, 3, 2, 3, 2},              {WP_CLOCKHAND, 0, 0, 2, 1},     {WP_CURTAINH, 0, -2, 1, 1},
      {WP_CURTAINV, 1, 1, 1, 1},          {WP_BLOCKCOIL, 0, -4, 0, -4},   {WP_BLOCKRANDOM, 5, 9, 5, 9},
      {WP_RIPPLE, -3, 8, -3, 8},          {WP_CRACK, 4, 0, 4, 0},
  };
  Surfaces s;
  for (const auto& c : cases) {
    auto wipe = s.Make(c.kind);
    wipe->SetParam(0, c.v0);
    wipe->SetParam(1, c.v1);
    wipe->SetParam(2, 99);  // no third parameter
    EXPECT_EQ(wipe->GetParam(0), c.want0) << WipeIdentifier(c.kind);
    EXPECT_EQ(wipe->GetParam(1), c.want1) << WipeIdentifier(c.kind);
    EXPECT_EQ(wipe->GetParam(2), 0);
  }
}

TEST(WipeParams, DurationAndElapsedLimits) {
  Surfaces s;
  auto wipe = s.Make(WP_FADE);
  EXPECT_EQ(wipe->Duration(), 1);
  wipe->SetDuration(0);
  EXPECT_EQ(wipe->Duration(), 1);
  wipe->SetDuration(-40);
  EXPECT_EQ(wipe->Duration(), 1);
  wipe->SetElapsed(-3);
  EXPECT_EQ(wipe->Elapsed(), 0);
  // A duration of 1 ms: the first step at 0 draws, the next frame ends it.
  EXPECT_FALSE(wipe->Advance(0));
  EXPECT_TRUE(wipe->Advance(1));
  EXPECT_EQ(FromSurface(*s.dest), NewPicture(32, 24, 32));
}

TEST(WipeParams, MaskNameAndReverseAreKept) {
  Surfaces s;
  auto wipe = s.Make(WP_MASKFADE);
  wipe->SetMaskName("mask\\wipe01.bri");
  wipe->SetReverse(1);
  EXPECT_EQ(wipe->MaskName(), "mask\\wipe01.bri");
  EXPECT_EQ(wipe->Reverse(), 1);
}

// CRACK cuts its chips again when parameter 0 changes, with new random draws.
TEST(WipeParams, CrackCutsAgainWithNewChipSide) {
  Surfaces s(64, 48);
  auto wipe = s.Make(WP_CRACK);
  auto& crack = dynamic_cast<TWipeCrack&>(*wipe);
  EXPECT_EQ(crack.Chips().size(), 1u);  // one chip of 64 covers the screen
  crack.SetParam(0, 16);
  EXPECT_EQ(crack.Chips().size(), 12u);
  crack.SetParam(0, 3);  // at least 16
  EXPECT_EQ(crack.Chips().size(), 12u);
  std::set<std::pair<int, int>> places;
  for (const auto& chip : crack.Chips()) {
    places.insert({chip.Place.Left, chip.Place.Top});
    EXPECT_GE(chip.Speed, -100);
    EXPECT_LE(chip.Speed, 99);
  }
  EXPECT_EQ(places.size(), 12u);
  // F for a 48-pixel screen: the first k with (5k^2 - 1500k) / 1000 >= 48.
  EXPECT_EQ(crack.FallSteps(), 330);
  EXPECT_EQ(TWipeCrack::FallY(329), 47);
  EXPECT_EQ(TWipeCrack::FallY(150), -112);  // the chips jump before they fall
}

TEST(WipeParams, RippleRebuildsItsProfile) {
  Surfaces s(64, 48);
  auto wipe = s.Make(WP_RIPPLE);
  auto& ripple = dynamic_cast<TWipeRipple&>(*wipe);
  // L = min(32, 24) x 2 / 3 = 16, four ramps of 4: (i mod 4) x a / 4.
  EXPECT_EQ(ripple.Profile(), (std::vector<int32_t>{0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3}));
  ripple.SetParam(0, 8);
  EXPECT_EQ(ripple.Profile()[3], 6);
  ripple.SetParam(1, 100);
  EXPECT_EQ(ripple.Profile()[3], 6);
}

TEST(WipeParams, SpotDistancesTurnAroundWhenReversed) {
  Surfaces s(32, 24);
  auto wipe = s.Make(WP_SPOT);
  auto& spot = dynamic_cast<TWipeSpot&>(*wipe);
  EXPECT_DOUBLE_EQ(spot.Radius(), 20.0);
  EXPECT_EQ(spot.Distances()[12 * 32 + 16], 0);   // the centre
  EXPECT_EQ(spot.Distances()[0], 20);             // the top-left corner
  spot.SetReverse(1);
  EXPECT_EQ(spot.Distances()[12 * 32 + 16], 20);
  EXPECT_EQ(spot.Distances()[0], 0);
}

// --- Masks ---

struct MaskShape {
  int kind;
  int32_t p0, p1;
  int height;     // rows of the mask on a 32 x 24 screen
  bool binary;    // after a step in the middle
};

TEST(WipeMasks, HeightsAndBinaryFlags) {
  const MaskShape cases[] = {
      {WP_BLINDH, 6, 1, 1, true},   {WP_BLINDH, 6, 40, 1, false}, {WP_BLINDV, 5, 1, 5, true},
      {WP_BLINDV, 5, 3, 5, false},  {WP_CURTAINH, 6, 1, 1, true}, {WP_CURTAINV, 6, 2, 24, false},
      {WP_GRID, 8, 1, 24, true},    {WP_GRIDH, 8, 3, 8, false},   {WP_GRIDH, 40, 3, 24, false},
      {WP_GRIDV, 8, 3, 24, false},  {WP_DITHER, 0, 0, 64, true},  {WP_MASKFADE, 0, 0, 24, false},
      {WP_CLOCKHAND, 0, 0, 24, true}, {WP_FAN, 0, 0, 24, true},   {WP_WFAN, 0, 0, 24, true},
      {WP_CIRCLE, 0, 0, 24, true},  {WP_BLOCKCOIL, 8, 0, 24, true}, {WP_BLOCKRANDOM, 8, 0, 24, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(WipeIdentifier(c.kind));
    Surfaces s;
    auto wipe = s.Make(c.kind);
    wipe->SetParam(0, c.p0);
    wipe->SetParam(1, c.p1);
    wipe->SetDuration(1000);
    wipe->Prepare();
    wipe->Advance(400);
    auto& mask = dynamic_cast<TWipeMask&>(*wipe);
    EXPECT_EQ(mask.Mask().GetWidth(), 32);
    EXPECT_EQ(mask.Mask().GetHeight(), c.height);
    EXPECT_EQ(mask.Mask().GetBitCount(), 8);
    EXPECT_EQ(mask.Binary(), c.binary);
    if (mask.Binary()) {
      for (uint32_t v : FromSurface(mask.Mask()).px) ASSERT_TRUE(v == 0 || v == 255) << v;
    }
  }
}

// A mask step whose progress value did not change draws nothing; a new value composes again.
TEST(WipeMasks, UnchangedProgressDrawsNothing) {
  Surfaces s;
  auto wipe = s.Make(WP_BLINDH);  // b = (1 + 40 - 2) x elapsed / 1000: a new value every ~26 ms
  wipe->SetDuration(1000);
  wipe->Prepare();
  wipe->Advance(500);
  Img composed = FromSurface(*s.dest);
  s.dest->Fill(0x123456);
  wipe->Advance(510);  // b = 19 both times
  EXPECT_EQ(FromSurface(*s.dest), Img(32, 24, 0x123456));
  wipe->Advance(560);  // b = 21: column 10 of every stripe opens
  EXPECT_NE(FromSurface(*s.dest), Img(32, 24, 0x123456));
  EXPECT_NE(FromSurface(*s.dest), composed);
}

TEST(WipeMasks, DitherOrderIsAFixedPermutation) {
  Surfaces s;
  auto a = s.Make(WP_DITHER), b = s.Make(WP_DITHER);
  a->Prepare(), b->Prepare();
  const auto& order = dynamic_cast<TWipeDither&>(*a).Order();
  EXPECT_EQ(order, dynamic_cast<TWipeDither&>(*b).Order());
  EXPECT_EQ(std::set<uint16_t>(order.begin(), order.end()).size(), 4096u);
  TKtRandom r(12341);
  r.Init(4096);
  EXPECT_EQ(order[0], r.Next());
  EXPECT_EQ(order[1], r.Next());
}

TEST(WipeMasks, CoilOrder) {
  Surfaces s(40, 30);  // blocks of 10: 4 x 3
  auto wipe = s.Make(WP_BLOCKCOIL);
  wipe->SetParam(0, 10);
  wipe->Prepare();
  std::vector<std::pair<int, int>> order;
  for (const TRect& r : dynamic_cast<TWipeBlockCoil&>(*wipe).Blocks()) order.push_back({r.Left / 10, r.Top / 10});
  const std::vector<std::pair<int, int>> want = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {3, 2},
                                                 {2, 2}, {1, 2}, {0, 2}, {0, 1}, {1, 1}, {2, 1}};
  EXPECT_EQ(order, want);
}

TEST(WipeMasks, BlockRandomShufflesWithTheGivenGenerator) {
  Surfaces s(40, 30);
  auto order = [&](uint32_t seed) {
    TWipeContext context;
    context.Random = TWipeRandomLcg(seed);
    auto wipe = s.Make(WP_BLOCKRANDOM, context);
    wipe->SetParam(0, 10);
    wipe->Prepare();
    return dynamic_cast<TWipeBlockCoil&>(*wipe).Blocks();
  };
  auto first = order(1), again = order(1), other = order(2);
  EXPECT_EQ(first.size(), 12u);
  EXPECT_EQ(first, again);
  EXPECT_NE(first, other);
  // The run-time generator's arithmetic: state 1 x 134775813 + 1, 12 x state >> 32.
  TWipeRandomLcg lcg(1);
  EXPECT_EQ(lcg(12), static_cast<int32_t>((12ull * 134775814ull) >> 32));
}

// --- Behaviours the kinds are known by ---

TEST(WipeBehaviour, FadeCrossFadesInPlaceOrSlidesIn) {
  Surfaces s(160, 4);
  Img oldPic = OldPicture(160, 4, 32), newPic = NewPicture(160, 4, 32);
  auto wipe = s.Make(WP_FADE);
  wipe->SetDuration(1000);
  wipe->Prepare();
  wipe->Advance(500);  // alpha 128 in place
  uint32_t o = oldPic.at(70, 2), n = newPic.at(70, 2), blend = 0;
  for (uint32_t m : {0xFF0000u, 0xFF00u, 0xFFu}) blend |= (((o & m) * 127 + (n & m) * 128) >> 8) & m;
  EXPECT_EQ(s.dest->GetPixel(70, 2), blend);
  s.dest->Assign(s.from.get());
  auto slide = s.Make(WP_FADE);
  slide->SetParam(0, 100);
  slide->SetDuration(1000);
  slide->Prepare();
  slide->Advance(500);  // q = 499 / 1000: the new picture starts 50 pixels to the right
  EXPECT_EQ(s.dest->GetPixel(49, 0), oldPic.at(49, 0));
  EXPECT_NE(s.dest->GetPixel(50, 0), oldPic.at(50, 0));
  slide->Advance(0);  // alpha 0: nothing of the new picture yet
  EXPECT_EQ(FromSurface(*s.dest), oldPic);
}

TEST(WipeBehaviour, BlindSoftnessOneIsHardEdged) {
  Surfaces s;
  for (int softness : {1, 40}) {
    auto wipe = s.Make(WP_BLINDH);
    wipe->SetParam(0, 20);
    wipe->SetParam(1, softness);
    wipe->SetDuration(1000);
    wipe->Prepare();
    wipe->Advance(500);
    std::set<uint32_t> values;
    for (uint32_t v : FromSurface(dynamic_cast<TWipeMask&>(*wipe).Mask()).px) values.insert(v);
    if (softness == 1) {
      EXPECT_EQ(values, (std::set<uint32_t>{0, 255}));
    } else {
      EXPECT_GT(values.size(), 5u);
    }
  }
}

TEST(WipeBehaviour, WhiteIsPureWhiteAtTheMiddle) {
  for (int bits : {32, 16, 15}) {
    Surfaces s(32, 24, bits);
    for (int kind : {WP_WHITE, WP_BLACK}) {
      auto wipe = s.Make(kind);
      wipe->SetDuration(1022);
      wipe->Prepare();
      wipe->Advance(511);  // a = 255
      uint32_t want = kind == WP_BLACK ? 0 : ModelPixel(0xFFFFFF, bits);
      EXPECT_EQ(FromSurface(*s.dest), Img(32, 24, want)) << bits;
      wipe->Advance(1022);
      EXPECT_EQ(FromSurface(*s.dest), NewPicture(32, 24, bits));
    }
  }
}

TEST(WipeBehaviour, DitherSwitchesHalfOfEveryTileAtTheMiddle) {
  Surfaces s(128, 64);
  auto wipe = s.Make(WP_DITHER);
  wipe->SetDuration(1000);
  wipe->Prepare();
  wipe->Advance(500);
  Img got = FromSurface(*s.dest), fresh = NewPicture(128, 64, 32);
  int counts[2] = {0, 0};
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 128; ++x) {
      if (got.at(x, y) == fresh.at(x, y)) ++counts[x / 64];
      // The same pattern in both tiles.
      if (x < 64) {
        EXPECT_EQ(got.at(x, y) == fresh.at(x, y), got.at(x + 64, y) == fresh.at(x + 64, y));
      }
    }
  EXPECT_EQ(counts[0], 2048);
  EXPECT_EQ(counts[1], 2048);
}

TEST(WipeBehaviour, CircleReversedStartsWithTheOldPictureEverywhere) {
  for (auto [w, h] : {std::pair{32, 24}, {33, 25}, {40, 10}}) {
    Surfaces s(w, h);
    auto wipe = s.Make(WP_CIRCLE);
    wipe->SetReverse(1);
    wipe->SetDuration(1000);
    wipe->Prepare();
    wipe->Advance(0);
    EXPECT_EQ(FromSurface(*s.dest), OldPicture(w, h, 32)) << w;
    wipe->Advance(999);  // a disc of radius round(R / 1000) = 0
    EXPECT_EQ(FromSurface(*s.dest), NewPicture(w, h, 32)) << w;
  }
}

TEST(WipeBehaviour, ShapesStartWithTheOldPicture) {
  for (int kind : {WP_CLOCKHAND, WP_FAN, WP_WFAN, WP_CIRCLE, WP_DITHER, WP_BLINDH, WP_GRID, WP_MASKFADE, WP_SPOT,
                   WP_RIPPLE, WP_TWISTH, WP_SUDAREH, WP_SCROLLV, WP_ZOOMIN, WP_FADE}) {
    Surfaces s;
    s.dest->Fill(0);
    auto wipe = s.Make(kind);
    wipe->SetDuration(1000);
    wipe->Prepare();
    wipe->Advance(0);
    EXPECT_EQ(FromSurface(*s.dest), OldPicture(32, 24, 32)) << WipeIdentifier(kind);
  }
}

TEST(WipeBehaviour, UpdateRectangleIsEmptyUntilTheFirstStep) {
  Surfaces s;
  auto wipe = s.Make(WP_FADE);
  EXPECT_TRUE(wipe->UpdateRect().Empty());
  wipe->Advance(0);
  EXPECT_EQ(wipe->UpdateRect(), (TRect{0, 0, 32, 24}));
  // A step resets a clip left on the destination.
  s.dest->ResetClip();
  s.dest->AddClip(TRect{0, 0, 4, 4});
  wipe->SetDuration(100);
  wipe->Advance(100);
  EXPECT_EQ(FromSurface(*s.dest), NewPicture(32, 24, 32));
}

}  // namespace
}  // namespace nova::test
