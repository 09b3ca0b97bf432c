// Where the picture lies in a window of any size, and the mapping of window points to picture
// pixels, checked against the displayed area of every pixel.
#include <gtest/gtest.h>

#include "platform/present_layout.h"

namespace nova {
namespace {

TEST(PresentLayout, ModesParse) {
  EXPECT_EQ(ParseScaleMode("nearest"), ScaleMode::Nearest);
  EXPECT_EQ(ParseScaleMode("integer"), ScaleMode::Integer);
  EXPECT_EQ(ParseScaleMode("smooth"), ScaleMode::Smooth);
  EXPECT_FALSE(ParseScaleMode("Linear").has_value());
  EXPECT_FALSE(ParseScaleMode("").has_value());
  for (ScaleMode m : {ScaleMode::Nearest, ScaleMode::Integer, ScaleMode::Smooth}) EXPECT_EQ(ParseScaleMode(ScaleModeName(m)), m);
}

TEST(PresentLayout, FitKeepsTheAspectAndCentres) {
  struct Case {
    ScaleMode mode;
    int aw, ah, pw, ph;
    TRect want;
  } cases[] = {
      {ScaleMode::Nearest, 640, 502, 640, 502, {0, 0, 640, 502}},          // the window at its own size
      {ScaleMode::Nearest, 1920, 1080, 640, 480, {240, 0, 1680, 1080}},    // 2.25 x, bars left and right
      {ScaleMode::Smooth, 1920, 1080, 640, 480, {240, 0, 1680, 1080}},
      {ScaleMode::Integer, 1920, 1080, 640, 480, {320, 60, 1600, 1020}},   // 2 x, bars all round
      {ScaleMode::Integer, 1280, 1004, 640, 502, {0, 0, 1280, 1004}},      // HiDPI 2 x
      {ScaleMode::Nearest, 1000, 2000, 640, 480, {0, 625, 1000, 1375}},    // bars above and below
      {ScaleMode::Integer, 600, 400, 640, 480, {33, 0, 566, 400}},         // smaller than the picture: shrunk
      {ScaleMode::Nearest, 641, 481, 640, 480, {0, 0, 641, 481}},          // 481 = 480 * 641 / 640 rounded
      {ScaleMode::Nearest, 0, 100, 640, 480, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitPicture(c.mode, c.aw, c.ah, c.pw, c.ph), c.want) << c.aw << "x" << c.ah << " " << ScaleModeName(c.mode);
  }
}

// The pixel whose displayed area holds the centre of the device pixels a window point covers,
// found by walking the pixels (an independent way to the same answer).
int32_t Expected(int32_t point, int32_t window, int32_t drawable, int32_t start, int32_t size, int32_t picture) {
  // centre = (2 point + 1) * drawable / (2 window); pixel x spans [start + x size / picture, start + (x + 1) size / picture)
  // compared in units of 1 / (2 window picture).
  int64_t centre = (2 * static_cast<int64_t>(point) + 1) * drawable * picture;
  for (int32_t x = -picture; x < 2 * picture; ++x) {
    int64_t lo = (static_cast<int64_t>(start) * picture + static_cast<int64_t>(x) * size) * 2 * window;
    int64_t hi = (static_cast<int64_t>(start) * picture + static_cast<int64_t>(x + 1) * size) * 2 * window;
    if (centre >= lo && centre < hi) return x;
  }
  return -9999;
}

TEST(PresentLayout, MousePointsMapToTheShownPixelInEveryMode) {
  struct Case {
    ScaleMode mode;
    int ww, wh, dw, dh;  // window points, drawable pixels
  } cases[] = {
      {ScaleMode::Nearest, 320, 262, 320, 262},   // one to one
      {ScaleMode::Nearest, 320, 262, 640, 524},   // HiDPI at 2
      {ScaleMode::Nearest, 500, 300, 750, 450},   // HiDPI at 1.5, resized
      {ScaleMode::Integer, 1000, 700, 1000, 700}, // 2 x with bars
      {ScaleMode::Integer, 1000, 700, 2000, 1400},
      {ScaleMode::Smooth, 1920, 1080, 1920, 1080},
      {ScaleMode::Nearest, 200, 100, 200, 100},   // shrunk
  };
  const int pw = 320, ph = 262;
  for (const Case& c : cases) {
    TPresentGeometry g = TPresentGeometry::Make(c.mode, c.ww, c.wh, c.dw, c.dh, pw, ph);
    ASSERT_TRUE(g.Valid());
    for (int x = 0; x < c.ww; ++x) {
      int want = Expected(x, c.ww, c.dw, g.Viewport.Left, g.Viewport.Width(), pw);
      ASSERT_EQ(WindowToPicture(g, TPoint{x, 0}).X, want) << ScaleModeName(c.mode) << " " << c.ww << " x=" << x;
    }
    for (int y = 0; y < c.wh; ++y) {
      int want = Expected(y, c.wh, c.dh, g.Viewport.Top, g.Viewport.Height(), ph);
      ASSERT_EQ(WindowToPicture(g, TPoint{0, y}).Y, want) << ScaleModeName(c.mode) << " " << c.wh << " y=" << y;
    }
    // Where the picture is not shrunk every pixel is reachable: the point over it maps back.
    if (g.Viewport.Width() * c.ww >= pw * c.dw && g.Viewport.Height() * c.wh >= ph * c.dh) {
      for (int x = 0; x < pw; ++x) EXPECT_EQ(WindowToPicture(g, PictureToWindow(g, TPoint{x, 0})).X, x) << x;
      for (int y = 0; y < ph; ++y) EXPECT_EQ(WindowToPicture(g, PictureToWindow(g, TPoint{0, y})).Y, y) << y;
    }
  }
  // The bars lie outside the picture on both sides.
  TPresentGeometry g = TPresentGeometry::Make(ScaleMode::Integer, 1000, 700, 1000, 700, pw, ph);
  EXPECT_EQ(g.Viewport, (TRect{180, 88, 820, 612}));
  EXPECT_EQ(WindowToPicture(g, TPoint{179, 87}), (TPoint{-1, -1}));
  EXPECT_EQ(WindowToPicture(g, TPoint{180, 88}), (TPoint{0, 0}));
  EXPECT_EQ(WindowToPicture(g, TPoint{819, 611}), (TPoint{319, 261}));
  EXPECT_EQ(WindowToPicture(g, TPoint{820, 612}), (TPoint{320, 262}));
  EXPECT_EQ(WindowToPicture(g, TPoint{0, 0}), (TPoint{-90, -44}));
}

}  // namespace
}  // namespace nova
