// The motion patterns: where each puts a new particle, how it moves it by budget steps and when
// it ends it (once it has left the emitter's 64 x 48 rectangle, or for the radial burst once it
// has passed the farthest corner), also for parameters and step counts that leave the 32-bit
// range.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "particle_fixtures.h"

namespace nova::test {
namespace {

// One 4 x 4 particle of a pattern at (x, y) with P1..P3, made by the emitter's first update.
struct OneParticle {
  OneParticle(uint8_t pattern, int32_t x, int32_t y, long double p1, long double p2, long double p3) {
    emitter = f.Emitter({std::to_string(x), std::to_string(y), "100000"},
                        {{PR_SOURCE, Str("dot.bri")}, {PR_PARTMOTION, Int(pattern)}, {PR_PARAM1, Float(p1)},
                         {PR_PARAM2, Float(p2)}, {PR_PARAM3, Float(p3)}});
    f.Frame(16);
  }
  TNovaParticleImages& P() { return f.Particle(*emitter, 0); }
  // Steps one at a time until the particle has ended; the steps it took.
  int StepsToEnd(int limit = 10000) {
    for (int k = 1; k <= limit; ++k) {
      P().StepParticle(1);
      if (P().Finished()) return k;
    }
    return -1;
  }
  ParticleScene f;
  TNovaParticle* emitter = nullptr;
};

TEST(ParticlePatterns, EachPatternEndsOnceItHasLeftTheEmitter) {
  struct Case {
    const char* what;
    uint8_t pattern;
    int32_t x, y;
    long double p1, p2, p3;
    int steps;
  };
  const Case cases[] = {
      // Snow falls P1 pixels a step: its top (less the centre offset 2) reaches row 48.
      {"snow", PM_SNOW, 20, 10, 2, 0, 0, 20},
      {"snow, sway", PM_SNOW, 30, 10, 2, 3, 8, 20},
      // The burst ends when its radius, growing by P2 a step from P1 + 0.1, passes the distance
      // to the farthest corner (40 from the middle).
      {"star", PM_STAR, 32, 24, 10, 2, 0.1L, 2},
      {"star from a corner", PM_STAR, 0, 0, 1, 2, 0, 7},  // 80: 1.1 x 2^6 = 70.4, x 2^7 = 140.8
      // Fluff rises P1 x steps^2: its bottom passes row 0 (40 - 7^2 < -2).
      {"fluff up", PM_FLUFF, 30, 40, 1, 0, 0, 7},
      // ... or it drifts P2..P3 a step out of the side it drifts to.
      {"fluff right", PM_FLUFF, 50, 20, 0, 3, 3, 6},
      {"fluff left", PM_FLUFF, 10, 20, 0, -3, -3, 5},
      // The whirl rises P1 a step until its bottom passes row 0.
      {"twister", PM_TWISTER, 30, 20, 5, 0, 0, 5},
      {"twister turning", PM_TWISTER, 30, 20, 5, 20, 0.3L, 5},
      // Any other pattern ends at its first step.
      {"unknown", 7, 30, 20, 1, 1, 1, 1},
  };
  for (const Case& c : cases) {
    OneParticle o(c.pattern, c.x, c.y, c.p1, c.p2, c.p3);
    ASSERT_FALSE(o.P().Finished()) << c.what;
    EXPECT_EQ(o.StepsToEnd(), c.steps) << c.what;
  }
}

TEST(ParticlePatterns, TheSceneRemovesAParticleThatHasEnded) {
  OneParticle o(PM_SNOW, 20, 40, 2, 0, 0);
  for (int i = 0; i < 5; ++i) o.f.Frame(16);
  EXPECT_EQ(o.f.Count(*o.emitter), 0);
  EXPECT_EQ(o.f.scene.ObjectCount(), 1);
}

TEST(ParticlePatterns, SnowSwaysAroundItsOriginAndKeepsTheFractionOfItsFall) {
  OneParticle o(PM_SNOW, 30, 10, 0.5L, 3, 8);
  TNovaParticleImages& p = o.P();
  EXPECT_EQ(p.OriginX(), 30);
  std::set<int32_t> lefts;
  for (int k = 1; k <= 20; ++k) {
    p.StepParticle(1);
    // Half a pixel a step: one pixel every second step.
    EXPECT_EQ(p.Top(), 10 + k / 2) << k;
    // The sway stays within P2 + (P3 - P2) on either side.
    EXPECT_LE(std::abs(p.Left() - 30), 8) << k;
    lefts.insert(p.Left());
  }
  EXPECT_GT(lefts.size(), 2u);
  // A speed of 0 or less becomes 0.1 on the particle: 9.5 pixels in 95 steps.
  for (long double speed : {0.0L, -1.0L}) {
    OneParticle still(PM_SNOW, 30, 10, speed, 0, 0);
    EXPECT_EQ(still.P().Param(0), 0.1L);
    still.P().StepParticle(95);
    EXPECT_EQ(still.P().Top(), 19);
  }
}

TEST(ParticlePatterns, StarMovesOutAlongItsRayAndTurns) {
  OneParticle o(PM_STAR, 32, 24, 4, 1.5L, 0);
  TNovaParticleImages& p = o.P();
  EXPECT_EQ(p.Distance(), 40);
  // The first place is at the start radius.
  auto radius = [&] { return std::hypot(p.Left() - 32.0, p.Top() - 24.0); };
  EXPECT_NEAR(radius(), 4.1, 0.75);
  p.StepParticle(1);
  EXPECT_NEAR(radius(), 4.1, 0.75);
  EXPECT_NEAR(static_cast<double>(p.Radius()), 4.1 * 1.5, 1e-9);
  // Many steps at once: the radius grows by P2 to the power of the steps.
  p.StepParticle(3);
  EXPECT_NEAR(static_cast<double>(p.Radius()), 4.1 * std::pow(1.5, 4), 1e-9);
  EXPECT_NEAR(radius(), 4.1 * std::pow(1.5, 3), 0.75);
  // The turn per step is randomised to 70..100 % of P3.
  OneParticle turning(PM_STAR, 32, 24, 4, 1, 1);
  EXPECT_GE(turning.P().Param(2), 0.7L);
  EXPECT_LT(turning.P().Param(2), 1.0L);
}

TEST(ParticlePatterns, AStarRadiusPastThe32BitRangeEndsTheParticleInsteadOfOverflowing) {
  struct Case {
    const char* what;
    long double p1, p2;
    int32_t steps;
  };
  const Case cases[] = {
      {"grows past", 2e9L, 1.2L, 1},
      {"many steps at once", 10, 1.5L, 100000},
      {"infinite growth", 10, std::numeric_limits<long double>::infinity(), 2},
      {"no number", 10, std::numeric_limits<long double>::quiet_NaN(), 2},
      {"negative growth", 10, -1e10L, 2},
  };
  for (const Case& c : cases) {
    ParticleScene f;
    // An emitter as wide as 32 bits allow: the farthest corner lies beyond the range.
    TNovaParticle* e = f.Emitter({"0", "0", "100000"}, {{PR_SOURCE, Str("dot.bri")}, {PR_PARTMOTION, Int(PM_STAR)},
                                                        {PR_PARAM1, Float(c.p1)}, {PR_PARAM2, Float(c.p2)}});
    e->SetBounds(0, 0, INT32_MAX, INT32_MAX);
    f.Frame(16);
    TNovaParticleImages& p = f.Particle(*e, 0);
    ASSERT_GT(p.Distance(), 2147483647.0L);
    p.StepParticle(c.steps);
    if (!p.Finished()) p.StepParticle(c.steps);
    EXPECT_TRUE(p.Finished()) << c.what;
    EXPECT_LE(std::abs(int64_t{p.Left()}), int64_t{1} << 30) << c.what;
  }
}

TEST(ParticlePatterns, FluffDriftsByItsRandomisedSpeedAndRisesFasterAndFaster) {
  OneParticle o(PM_FLUFF, 20, 40, 0.5L, 1, 2);
  TNovaParticleImages& p = o.P();
  const long double drift = p.Param(1);
  EXPECT_GE(drift, 1);
  EXPECT_LT(drift, 2);
  for (int k = 1; k <= 8; ++k) {
    p.StepParticle(1);
    EXPECT_EQ(p.Left(), static_cast<int32_t>(20 + drift * k)) << k;
    EXPECT_EQ(p.Top(), 40 - static_cast<int32_t>(0.5L * k * k)) << k;
  }
  // Steps taken at once land where single steps do.
  OneParticle batch(PM_FLUFF, 20, 40, 0.5L, 1, 1);
  batch.P().StepParticle(8);
  EXPECT_EQ(batch.P().Left(), 28);
  EXPECT_EQ(batch.P().Top(), 40 - 32);
}

TEST(ParticlePatterns, TwisterZoomsAndOrdersItsParticlesByTheirSideOfTheWhirl) {
  OneParticle o(PM_TWISTER, 32, 40, 0.5L, 30, 0.2L);
  TNovaParticleImages& p = o.P();
  for (int k = 1; k <= 60; ++k) {
    p.StepParticle(1);
    const int32_t zoom = ReadProperty(p, PR_ZOOMX).Int;
    EXPECT_EQ(ReadProperty(p, PR_ZOOMY).Int, zoom);
    EXPECT_GE(zoom, 128);
    EXPECT_LE(zoom, 256);
    // The larger it is, the nearer the front: priority 1000 at full size, -1000 at half.
    EXPECT_NEAR(p.Priority(), (zoom / 256.0 - 0.5) * 4000 - 1000, 8) << k;
    EXPECT_LE(std::abs(p.Left() - 32), 15);
    // It rises P1 a step, whatever the turn.
    EXPECT_EQ(p.Top(), static_cast<int32_t>(40 - 0.5L * k)) << k;
  }
}

TEST(ParticlePatterns, TwisterParticlesAreDrawnInTheOrderOfTheirPriorities) {
  ParticleScene f;
  TNovaParticle* e = f.Emitter({"32", "47", "16"}, {{PR_SOURCE, Str("dot.bri")}, {PR_PARTMOTION, Int(PM_TWISTER)},
                                                    {PR_PARAM1, Float(0.25L)}, {PR_PARAM2, Float(30)},
                                                    {PR_PARAM3, Float(0.15L)}});
  for (int i = 0; i < 40; ++i) f.Frame(16);
  ASSERT_GT(e->ChildCount(), 20);
  std::set<int32_t> priorities;
  for (int i = 0; i < e->ChildCount(); ++i) {
    priorities.insert(e->Child(i)->Priority());
    if (i > 0) {
      EXPECT_LE(e->Child(i - 1)->Priority(), e->Child(i)->Priority()) << i;
    }
  }
  EXPECT_GT(priorities.size(), 5u);
}

TEST(ParticlePatterns, HugeStepCountsAndParametersStayInsideTheirRanges) {
  struct Case {
    const char* what;
    uint8_t pattern;
    long double p1, p2, p3;
  };
  const Case cases[] = {
      {"snow", PM_SNOW, 1e30L, 1e30L, 1e31L},
      {"fluff", PM_FLUFF, 1e30L, 1e30L, 1e30L},
      {"fluff back", PM_FLUFF, -1e30L, -1e30L, -1e30L},
      {"twister", PM_TWISTER, 1e30L, 1e30L, 1e30L},
      {"star", PM_STAR, 1e30L, 1e30L, 1e30L},
  };
  for (const Case& c : cases) {
    OneParticle o(c.pattern, 30, 20, c.p1, c.p2, c.p3);
    TNovaParticleImages& p = o.P();
    p.StepParticle(INT32_MAX);
    EXPECT_TRUE(p.Finished()) << c.what;
    EXPECT_EQ(p.Age(), INT32_MAX) << c.what;
    EXPECT_LE(std::abs(int64_t{p.Left()}), int64_t{1} << 30) << c.what;
    EXPECT_LE(std::abs(int64_t{p.Top()}), int64_t{1} << 30) << c.what;
    // The scene takes it away.
    o.f.Frame(16);
    EXPECT_EQ(o.f.Count(*o.emitter), 0) << c.what;
  }
}

}  // namespace
}  // namespace nova::test
