// The scene's screen transition: started between the screens' own surfaces onto the back
// surface, stepped by every paint, ended by the next StartTransition or by anything that
// would change its surfaces.
#include <gtest/gtest.h>

#include "objects/object_fixtures.h"

namespace nova::test {
namespace {

constexpr int32_t kRed = 0x0000FF, kBlue = 0xFF0000;

TEST(SceneTransition, ComposesTheBackSurfaceFromBothScreensUntilTheNextStart) {
  SceneFixture f;
  f.scene.Displayed().SetColor(kRed);
  f.scene.BackScreen().SetColor(kBlue);
  f.Frame();
  EXPECT_EQ(f.back.GetPixel(3, 3), 0xFF0000u);
  TCustomWipe* wipe = f.scene.StartTransition(0, WP_FADE, false, 100);
  ASSERT_NE(wipe, nullptr);
  EXPECT_EQ(wipe->Destination(), &f.back);
  EXPECT_EQ(wipe->From(), &f.scene.GetScreen(0).Surface());
  EXPECT_EQ(wipe->To(), &f.scene.GetScreen(1).Surface());
  EXPECT_EQ(wipe->Duration(), 100);
  EXPECT_EQ(f.scene.DisplayedIndex(), 0);
  const uint64_t serial = f.scene.TransitionSerial();
  EXPECT_NE(serial, 0u);
  wipe->SetElapsed(50);
  f.Frame();
  // Half of each: red 0x0000FF and blue 0xFF0000 faded at alpha 128.
  const uint32_t mixed = f.back.GetPixel(3, 3);
  EXPECT_NE(mixed, 0xFF0000u);
  EXPECT_NE(mixed, 0x0000FFu);
  EXPECT_EQ(f.scene.TransitionRect(), (TRect{0, 0, 64, 48}));
  // The old screen keeps painting into its own surface; the back surface is the wipe's.
  EXPECT_EQ(f.scene.GetScreen(0).Surface().GetPixel(3, 3), 0xFF0000u);
  // The end: the other screen is shown and paints the back surface whole.
  EXPECT_EQ(f.scene.StartTransition(1), nullptr);
  EXPECT_FALSE(f.scene.TransitionRunning());
  EXPECT_EQ(f.scene.TransitionSerial(), 0u);
  f.Frame();
  EXPECT_TRUE(f.scene.TransitionRect().Empty());
  EXPECT_EQ(f.back.GetPixel(3, 3), 0x0000FFu);
  // A new transition has a new serial.
  ASSERT_NE(f.scene.StartTransition(1, WP_CIRCLE, true, 10), nullptr);
  EXPECT_GT(f.scene.TransitionSerial(), serial);
}

TEST(SceneTransition, NoTransitionWithoutAKindOrAMatchingBackSurface) {
  SceneFixture f;
  EXPECT_EQ(f.scene.StartTransition(0, WP_NONE, false, 100), nullptr);
  EXPECT_EQ(f.scene.StartTransition(0, 39, false, 100), nullptr);
  f.scene.SetBackSurface(nullptr);
  EXPECT_EQ(f.scene.StartTransition(0, WP_FADE, false, 100), nullptr);
  TDIBX small;
  small.SetSize(32, 48, 32);
  f.scene.SetBackSurface(&small);
  EXPECT_EQ(f.scene.StartTransition(0, WP_FADE, false, 100), nullptr);
  f.scene.SetBackSurface(nullptr);
}

TEST(SceneTransition, AChangeOfSizeOrBackSurfaceEndsIt) {
  SceneFixture f;
  ASSERT_NE(f.scene.StartTransition(0, WP_FADE, false, 100), nullptr);
  f.scene.SetSize(64, 48);
  EXPECT_FALSE(f.scene.TransitionRunning());
  ASSERT_NE(f.scene.StartTransition(0, WP_FADE, false, 100), nullptr);
  f.scene.SetBackSurface(&f.back);  // the same surface: it goes on
  EXPECT_TRUE(f.scene.TransitionRunning());
  TDIBX other;
  other.SetSize(64, 48, 32);
  f.scene.SetBackSurface(&other);
  EXPECT_FALSE(f.scene.TransitionRunning());
  ASSERT_NE(f.scene.StartTransition(0, WP_FADE, false, 100), nullptr);
  f.scene.Clear();
  EXPECT_FALSE(f.scene.TransitionRunning());
  f.scene.SetBackSurface(nullptr);
}

// The blurs make their blurred pictures when they are created: the picture last shown must
// already be in the displayed screen's surface by then, not whatever it held before.
TEST(SceneTransition, BlursStartFromThePictureLastShown) {
  for (int32_t kind : {WP_BLURWHITE, WP_BLURBLACK}) {
    SceneFixture f;
    f.scene.Displayed().SetColor(kRed);
    f.scene.BackScreen().SetColor(kBlue);
    f.Frame();
    // An older picture left in the displayed screen's own surface.
    TCustomDIBX& own = f.scene.Displayed().Surface();
    own.ResetClip();
    own.FillRect(TRect{0, 0, 64, 48}, 0x00FF00u);
    TCustomWipe* wipe = f.scene.StartTransition(0, kind, false, 1000);
    ASSERT_NE(wipe, nullptr) << kind;
    wipe->Prepare();
    // Until a quarter of the time the old picture is drawn over by its own blurred copy, which
    // for a uniform red picture is red again.
    for (int32_t elapsed : {0, 100, 250}) {
      wipe->SetElapsed(elapsed);
      f.Frame();
      EXPECT_EQ(f.back.GetPixel(32, 24), 0xFF0000u) << kind << " at " << elapsed;
    }
  }
}

TEST(SceneTransition, ShowingTheOtherScreenDropsAFocusLeftBehind) {
  SceneFixture f;
  TestBox* box = f.Box("k", 0, 0, 4, 4);
  box->SetHandleKey(true);
  f.Frame();
  ASSERT_EQ(f.scene.Focus(), box);
  f.scene.StartTransition(0, WP_FADE, false, 100);  // still displayed: the focus stays
  EXPECT_EQ(f.scene.Focus(), box);
  f.scene.StartTransition(1);
  EXPECT_EQ(f.scene.Focus(), nullptr);
  EXPECT_TRUE(f.scene.KeyTargetRequested());
}

}  // namespace
}  // namespace nova::test
