// Dirty rectangles and painting: only what changed is repainted, children in drawing order,
// cut to their parents and clip rectangles.
#include <gtest/gtest.h>

#include "objects/object_fixtures.h"

namespace nova::test {
namespace {

constexpr int32_t kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00;  // colours are 0x00BBGGRR

uint32_t Px(TDIBX& s, int x, int y) { return s.GetPixel(x, y); }

TEST(Painting, FirstFramePaintsEverythingInDrawingOrder) {
  SceneFixture f;
  f.scene.Displayed().SetColor(kGreen);
  TestBox* low = f.Box("low", 0, 0, 20, 20, nullptr, kRed);
  TestBox* high = f.Box("high", 10, 10, 20, 20, nullptr, kBlue);
  high->SetPriority(1);
  std::vector<TRect> dirty = f.Frame();
  ASSERT_EQ(dirty.size(), 1u);
  EXPECT_EQ(dirty[0], (TRect{0, 0, 64, 48}));
  EXPECT_EQ(Px(f.back, 5, 5), 0xFF0000u);    // red as 0x00RRGGBB
  EXPECT_EQ(Px(f.back, 15, 15), 0x0000FFu);  // blue over red
  EXPECT_EQ(Px(f.back, 40, 40), 0x00FF00u);  // the screen's colour
  low->SetPriority(2);
  f.Frame();
  EXPECT_EQ(Px(f.back, 15, 15), 0xFF0000u);
}

TEST(Painting, OnlyDirtyRectanglesAreRepainted) {
  SceneFixture f;
  TestBox* box = f.Box("b", 0, 0, 10, 10, nullptr, kRed);
  f.Frame();
  f.back.SetPixel(60, 2, 0x123456);  // outside anything that changes below
  box->SetBounds(40, 30, 10, 10);
  std::vector<TRect> dirty = f.Frame();
  // Old and new place lie more than 20 pixels apart: two rectangles.
  ASSERT_EQ(dirty.size(), 2u);
  EXPECT_EQ(dirty[0], (TRect{0, 0, 10, 10}));
  EXPECT_EQ(dirty[1], (TRect{40, 30, 50, 40}));
  EXPECT_EQ(Px(f.back, 5, 5), 0u);
  EXPECT_EQ(Px(f.back, 45, 35), 0xFF0000u);
  EXPECT_EQ(Px(f.back, 60, 2), 0x123456u);
  // An unchanged scene paints nothing.
  EXPECT_TRUE(f.Frame().empty());
  // Moving off the screen is clamped; the part inside is repainted.
  box->SetLeft(60);
  dirty = f.Frame();
  ASSERT_EQ(dirty.size(), 1u);
  EXPECT_EQ(dirty[0], (TRect{40, 30, 64, 40}));
}

TEST(Painting, ChildrenAreCutToTheirParentAndToTheirClip) {
  SceneFixture f;
  TestBox* parent = f.Box("p", 10, 10, 20, 20, nullptr, kRed);
  TestBox* child = f.Box("c", 15, 15, 20, 20, parent, kBlue);  // reaches past the parent
  f.Frame();
  EXPECT_EQ(Px(f.back, 29, 29), 0x0000FFu);
  EXPECT_EQ(Px(f.back, 31, 31), 0u);
  TPropValue v = TPropValue::OfInt(4);
  child->SetProperty(PR_CLIPWIDTH, v);
  child->SetProperty(PR_CLIPHEIGHT, v);
  f.Frame();
  EXPECT_EQ(Px(f.back, 27, 27), 0x0000FFu);
  EXPECT_EQ(Px(f.back, 29, 29), 0xFF0000u);
  parent->SetVisible(false);
  f.Frame();
  EXPECT_EQ(Px(f.back, 27, 27), 0u);
  EXPECT_EQ(Px(f.back, 15, 15), 0u);
}

TEST(Painting, TheBackScreenPaintsIntoItsOwnSurfaceUntilItIsShown) {
  SceneFixture f;
  f.Box("shown", 0, 0, 8, 8, nullptr, kRed);
  TestBox* hidden = f.Box("later", 0, 0, 8, 8, &f.scene.BackScreen(), kBlue);
  f.Frame();
  EXPECT_EQ(Px(f.back, 2, 2), 0xFF0000u);
  EXPECT_EQ(f.scene.BackScreen().Surface().GetPixel(2, 2), 0x0000FFu);
  f.scene.StartTransition(1);
  f.Frame();
  EXPECT_EQ(Px(f.back, 2, 2), 0x0000FFu);
  EXPECT_EQ(hidden->Screen(), &f.scene.Displayed());
}

}  // namespace
}  // namespace nova::test
