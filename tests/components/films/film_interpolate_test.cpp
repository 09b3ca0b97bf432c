// The easings of film tracks and the unit conversions of angles and zooms.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "components/films/film_interpolate.h"
#include "objects/nova_prop_motion.h"

namespace nova {
namespace {

TEST(FilmInterpolate, IntegerAndRealLinearFormsOverTenFrames) {
  std::vector<int32_t> integer, real;
  for (int t = 0; t < 10; ++t) {
    integer.push_back(Interpolate(MT_NORMAL, 0, 90, 10, t));
    real.push_back(static_cast<int32_t>(InterpolateReal(MT_NORMAL, 0, 90, 10, t)));
  }
  EXPECT_EQ(integer, (std::vector<int32_t>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90}));
  EXPECT_EQ(real, (std::vector<int32_t>{0, 9, 18, 27, 36, 45, 54, 63, 72, 90}));
}

TEST(FilmInterpolate, EasingsOverFiveFrames) {
  struct Case {
    int ease;
    std::vector<int32_t> values;
  };
  // MT_INC: 100 - round(100 sin((4 - t) pi / 10)); MT_DEC: round(100 sin(t pi / 10)); codes
  // above MT_DEC decelerate too.
  for (const Case& c : {Case{MT_NORMAL, {0, 25, 50, 75, 100}}, Case{MT_INC, {0, 19, 41, 69, 100}},
                        Case{MT_DEC, {0, 31, 59, 81, 100}}, Case{7, {0, 31, 59, 81, 100}}}) {
    std::vector<int32_t> got;
    for (int t = 0; t < 5; ++t) got.push_back(Interpolate(c.ease, 0, 100, 5, t));
    EXPECT_EQ(got, c.values) << "ease " << c.ease;
  }
  // Falling values ease the same way; truncation of the linear form is toward zero.
  EXPECT_EQ(Interpolate(MT_NORMAL, 0, -10, 4, 1), -3);
  EXPECT_EQ(Interpolate(MT_DEC, 100, 0, 5, 1), 69);
}

TEST(FilmInterpolate, WideRangesDoNotOverflow) {
  const int32_t lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(Interpolate(MT_NORMAL, lo, hi, 3, 1), -1);
  EXPECT_EQ(Interpolate(MT_NORMAL, lo, hi, 1000000, 999999), hi);
  EXPECT_EQ(Interpolate(MT_NORMAL, 0, hi, 100000, 50000), 1073752561);
  const int32_t dec = Interpolate(MT_DEC, lo, hi, 4, 2);
  EXPECT_GT(dec, 0);
  // Durations of one frame (or less) stay at the start value.
  EXPECT_EQ(Interpolate(MT_NORMAL, 5, 9, 1, 0), 5);
  EXPECT_EQ(Interpolate(MT_INC, 5, 9, 0, 0), 5);
}

TEST(FilmInterpolate, AngleUnitsRoundHalvesToEvenAndWrap) {
  struct Case {
    double degrees;
    int32_t units;
  };
  for (const Case& c : {Case{0, 0}, Case{-90, 192}, Case{360, 0}, Case{180, 128}, Case{-9, 250},
                        Case{1.40625, 1}, Case{0.703125, 0} /* 0.5 */, Case{2.109375, 2} /* 1.5 */,
                        Case{-0.703125, 0}, Case{720 + 90, 64}, Case{std::nan(""), 0}}) {
    EXPECT_EQ(AngleUnits(c.degrees), c.units) << c.degrees;
  }
}

TEST(FilmInterpolate, ZoomUnitsTruncateIntoRange) {
  struct Case {
    double zoom;
    int32_t units;
  };
  for (const Case& c : {Case{1.0, 256}, Case{0.5, 128}, Case{1.999, 511}, Case{-0.999, -255}, Case{1e300, INT32_MAX},
                        Case{-1e300, INT32_MIN}, Case{std::nan(""), 0}}) {
    EXPECT_EQ(ZoomUnits(c.zoom), c.units) << c.zoom;
  }
}

}  // namespace
}  // namespace nova
