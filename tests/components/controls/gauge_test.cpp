// Gauges: drops show at once and leave a lost part that waits and then shrinks, rises grow,
// both at the rate of PR_DELAY over the range; the fill's direction by orientation and
// PR_REVERSE; empty and 32-bit ranges.
#include <gtest/gtest.h>

#include <climits>

#include "components/controls/control_fixtures.h"

namespace nova::test {
namespace {

struct Shown {
  int frames;  // of 100 ms since the previous row
  int32_t shown;
  int64_t lost;
  bool playing;
};

void ExpectFrames(ControlScene& f, TNovaGauge& g, const std::vector<Shown>& rows, const char* what) {
  int32_t ms = 0;
  for (const Shown& r : rows) {
    f.Run(100, r.frames);
    ms += 100 * r.frames;
    EXPECT_EQ(g.Shown(), r.shown) << what << " at " << ms << " ms";
    EXPECT_EQ(g.Lost(), r.lost) << what << " at " << ms << " ms";
    EXPECT_EQ(ReadProperty(g, PR_PLAYING).Flag, r.playing) << what << " at " << ms << " ms";
  }
}

TEST(Gauge, ADropShowsAtOnceAndItsLostPartWaitsThenShrinks) {
  ControlScene f;
  TNovaGauge* g = f.Gauge(false, 0, 100, 100, {{PR_DELAY, Int(1000)}, {PR_DURATION, Int(500)}});
  EXPECT_EQ(g->Shown(), 100) << "a new gauge shows its value";
  EXPECT_FALSE(ReadProperty(*g, PR_PLAYING).Flag);
  WriteProperty(*g, PR_VALUE, Int(60));
  EXPECT_EQ(g->Shown(), 60);
  EXPECT_EQ(g->Lost(), 40);
  EXPECT_TRUE(ReadProperty(*g, PR_PLAYING).Flag);
  // 500 ms of waiting, then 0.1 of the range per millisecond: 400 ms.
  ExpectFrames(f, *g, {{4, 60, 40, true}, {1, 60, 40, true}, {1, 60, 30, true}, {2, 60, 10, true}, {1, 60, 0, false}},
               "drop");
  EXPECT_EQ(ReadProperty(*g, PR_VALUE).Int, 60);
}

TEST(Gauge, ARiseGrowsTheShownValueAtTheDelayRate) {
  ControlScene f;
  TNovaGauge* g = f.Gauge(false, 0, 100, 60, {{PR_DELAY, Int(1000)}, {PR_DURATION, Int(500)}});
  WriteProperty(*g, PR_VALUE, Int(100));
  EXPECT_EQ(g->Shown(), 60);
  EXPECT_EQ(g->Lost(), 0);
  ExpectFrames(f, *g, {{1, 70, 0, true}, {2, 90, 0, true}, {1, 100, 0, false}}, "rise");
}

TEST(Gauge, ChangesWithoutADelayOrRangeCompleteAtTheNextUpdate) {
  struct InstantCase {
    const char* what;
    int32_t min, max, delay, duration;
    std::vector<Shown> rows;
  };
  const InstantCase cases[] = {
      {"no delay: the lost part only waits", 0, 100, 0, 250, {{2, 60, 40, true}, {1, 60, 0, false}}},
      {"negative delay", 0, 100, -5, 0, {{1, 60, 0, false}}},
  };
  for (const InstantCase& c : cases) {
    ControlScene f;
    TNovaGauge* g = f.Gauge(false, c.min, c.max, 100, {{PR_DELAY, Int(c.delay)}, {PR_DURATION, Int(c.duration)}});
    WriteProperty(*g, PR_VALUE, Int(60));
    ExpectFrames(f, *g, c.rows, c.what);
  }
  ControlScene f;
  TNovaGauge* g = f.Gauge(false, 5, 5, 5, {{PR_DELAY, Int(1000)}});
  WriteProperty(*g, PR_VALUE, Int(100));
  EXPECT_EQ(g->Shown(), 5) << "an empty range has one value";
  EXPECT_EQ(g->ValuePixels(), 0);
  f.Run(100);
  EXPECT_FALSE(ReadProperty(*g, PR_PLAYING).Flag);
}

TEST(Gauge, ANewChangeStartsFromWhatTheBarShows) {
  ControlScene f;
  TNovaGauge* g = f.Gauge(false, 0, 100, 100, {{PR_DELAY, Int(1000)}, {PR_DURATION, Int(1000)}});
  WriteProperty(*g, PR_VALUE, Int(60));
  WriteProperty(*g, PR_VALUE, Int(30));
  EXPECT_EQ(g->Lost(), 70) << "the lost part reaches from the old top";
  WriteProperty(*g, PR_VALUE, Int(100));
  EXPECT_EQ(g->Shown(), 100);
  EXPECT_EQ(g->Lost(), 0);
  EXPECT_FALSE(ReadProperty(*g, PR_PLAYING).Flag) << "back at the top the bar shows: nothing to animate";
}

TEST(Gauge, FillsFromItsStartOrTheOtherEndInBothOrientations) {
  struct FillCase {
    const char* what;
    bool vertical, reverse;
    int32_t valueFrom, lostFrom;  // along the bar: value part 60 pixels, lost part 40
  };
  const FillCase cases[] = {
      {"horizontal", false, false, 0, 60},
      {"horizontal reversed", false, true, 40, 0},
      {"vertical, from the bottom", true, false, 40, 0},
      {"vertical reversed, from the top", true, true, 0, 60},
  };
  for (const FillCase& c : cases) {
    ControlScene f;
    TNovaGauge* g = f.Gauge(c.vertical, 0, 100, 100,
                            {{PR_DELAY, Int(1000)}, {PR_DURATION, Int(5000)}, {PR_REVERSE, Flag(c.reverse)}});
    EXPECT_EQ(g->Width(), c.vertical ? 8 : 100) << c.what;
    EXPECT_EQ(g->Height(), c.vertical ? 100 : 8) << c.what;
    WriteProperty(*g, PR_VALUE, Int(60));
    f.Run(100);
    auto at = [&](int32_t along) { return c.vertical ? f.LocalPx(4, along) : f.LocalPx(along, 4); };
    for (int32_t i : {0, 30, 59}) EXPECT_EQ(at(c.valueFrom + i), kValuePx) << c.what << " value +" << i;
    for (int32_t i : {0, 20, 39}) EXPECT_EQ(at(c.lostFrom + i), kLostPx) << c.what << " lost +" << i;
  }
}

TEST(Gauge, TheValuePartCoversItsShareOfTheRange) {
  struct ShareCase {
    const char* what;
    int32_t min, max, value, barSize, pixels;
  };
  const ShareCase cases[] = {
      {"min 50, max 150, value 100: half full", 50, 150, 100, 0, 50},
      {"rounded to the nearest pixel", 0, 3, 1, 0, 33},
      {"a bar size replaces the length", 0, 100, 25, 40, 10},
      {"the whole int32 range", INT32_MIN, INT32_MAX, 0, 0, 50},
      {"above max: full", 0, 100, 500, 0, 100},
  };
  for (const ShareCase& c : cases) {
    ControlScene f;
    TNovaGauge* g = f.Gauge(false, c.min, c.max, c.value, {{PR_BARSIZE, Int(c.barSize)}});
    EXPECT_EQ(g->ValuePixels(), c.pixels) << c.what;
    if (c.barSize > 0) {
      EXPECT_EQ(g->Width(), c.barSize) << c.what;
    }
  }
  // A drop over the whole 32-bit range: the lost part is wider than 32 bits can count.
  ControlScene f;
  TNovaGauge* g = f.Gauge(false, INT32_MIN, INT32_MAX, INT32_MAX, {{PR_DELAY, Int(1000)}, {PR_DURATION, Int(100)}});
  WriteProperty(*g, PR_VALUE, Int(INT32_MIN));
  EXPECT_EQ(g->Lost(), int64_t{UINT32_MAX});
  EXPECT_EQ(g->LostPixels(), 100);
  f.Run(100, 2);
  EXPECT_EQ(g->Lost(), int64_t{3865470566}) << "a tenth of the range (429496729.5) per 100 ms, rounded";
  f.Run(100, 10);
  EXPECT_FALSE(ReadProperty(*g, PR_PLAYING).Flag);
}

TEST(Gauge, APausedGaugeHoldsItsAnimation) {
  ControlScene f;
  TNovaGauge* g = f.Gauge(false, 0, 100, 60, {{PR_DELAY, Int(1000)}});
  WriteProperty(*g, PR_VALUE, Int(100));
  WriteProperty(*g, PR_PAUSED, Flag(true));
  f.Run(100, 3);
  EXPECT_EQ(g->Shown(), 60);
  WriteProperty(*g, PR_PAUSED, Flag(false));
  f.Run(100);
  EXPECT_EQ(g->Shown(), 70);
}

TEST(Gauge, EveryStepRepaintsItAndAnIdleGaugeNothing) {
  ControlScene f;
  TNovaGauge* g = f.Gauge(false, 0, 100, 100, {{PR_DELAY, Int(1000)}});
  f.Frame(100);
  EXPECT_TRUE(f.Frame(100).empty()) << "idle";
  WriteProperty(*g, PR_VALUE, Int(70));
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(f.Frame(100).empty()) << "step " << i;
  EXPECT_FALSE(ReadProperty(*g, PR_PLAYING).Flag);
  EXPECT_TRUE(f.Frame(100).empty());
}

TEST(Gauge, BlendValueZeroDrawsNothing) {
  ControlScene f;
  f.Gauge(false, 0, 100, 100, {{PR_ALPHA, Int(0)}});
  f.Slider(LT_SLIDER, false, 0, 100, 50, {{PR_ALPHA, Int(0)}, {PR_TOP, Int(100)}});
  f.Frame();
  EXPECT_EQ(f.LocalPx(50, 4), 0u);
  EXPECT_EQ(f.LocalPx(120, 100), 0u);
}

}  // namespace
}  // namespace nova::test
