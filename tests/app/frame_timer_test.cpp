#include <gtest/gtest.h>

#include "app/frame_timer.h"

namespace nova {
namespace {

TEST(FrameClock, PausesLongerThan3000MsCountNothing) {
  struct Case {
    uint32_t last, now;
    bool counted;
    uint32_t total, delta;
  } cases[] = {
      {1000, 1016, true, 16, 16},
      {1000, 4000, true, 3000, 3000},   // exactly 3000 still counts
      {1000, 4001, false, 0, 0},        // a pause: only the last tick moves
      {0xFFFFFFF0u, 8, true, 24, 24},   // the timer wraps
  };
  for (const Case& c : cases) {
    TFrameClock clock;
    clock.LastTick = c.last;
    EXPECT_EQ(AdvanceFrameClock(clock, c.now), c.counted) << c.now;
    EXPECT_EQ(clock.Total, c.total);
    EXPECT_EQ(clock.LastDelta, c.delta);
    EXPECT_EQ(clock.LastTick, c.now);
  }
}

TEST(FrameClock, WaitsForTheBudget) {
  struct Case {
    uint32_t budget, start, now;
    bool sleepFlag;
    uint32_t wait;
  } cases[] = {
      {16, 100, 105, false, 11}, {16, 100, 120, false, 0}, {1, 100, 100, false, 1},
      {16, 100, 105, true, 11},  {16, 100, 115, true, 2},  {16, 100, 140, true, 2},  // at least 2 with the flag
      {64, 100, 110, false, 54},
  };
  for (const Case& c : cases) EXPECT_EQ(FrameWait(c.budget, c.start, c.now, c.sleepFlag), c.wait);
}

TEST(FrameClock, CachedDateTimeFollowsTheTotal) {
  auto clock = CreateHeadlessClock(16);
  TCachedDateTime cache;
  EXPECT_EQ(cache.Get(0, *clock).MSec, 0);
  clock->FrameStep();
  EXPECT_EQ(cache.Get(0, *clock).MSec, 0);   // same total: not read again
  EXPECT_EQ(cache.Get(16, *clock).MSec, 16);
}

}  // namespace
}  // namespace nova
