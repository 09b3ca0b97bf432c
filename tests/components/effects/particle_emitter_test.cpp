// The emitter's timing: the pre-roll, the steady rate, the budget steps of a long frame, the
// remaining emission time and draining, intervals and positions from the creation command's
// expressions or from a film's parameter record, the random draws, a new source or pattern,
// pausing, and the properties it answers.
#include <gtest/gtest.h>

#include <set>

#include "objects/nova_control.h"
#include "particle_fixtures.h"

namespace nova::test {
namespace {

std::vector<int32_t> Ages(const TNovaParticle& e) {
  std::vector<int32_t> ages;
  for (int i = 0; i < e.Particles().Count(); ++i) ages.push_back(e.Particles().Item(i)->Age());
  return ages;
}

// A slow fall (0.1 pixel per step, no sway): nothing leaves a 48-row emitter within a few
// hundred steps.
const std::vector<std::pair<int, TPropValue>> kSlowSnow = {{PR_SOURCE, Str("dot.bri")},
                                                          {PR_PARTMOTION, Int(PM_SNOW)}};

TEST(ParticleEmitter, PreRollStartsAsIfTheEmitterHadBeenRunning) {
  struct Case {
    int32_t preRoll;
    std::vector<int32_t> ages;  // after the first frame, oldest first
  };
  const Case cases[] = {
      {0, {0}},
      // 62 budget steps: the particles due 100 ms apart are advanced by the whole steps left
      // after their moment (892 ms: 55 steps, 792 ms: 49, ...).
      {1000, {880, 784, 688, 592, 480, 384, 288, 192, 80, 0}},
      {250, {128, 32, 0}},
      // A negative pre-roll delays the first particle.
      {-50, {}},
  };
  for (const Case& c : cases) {
    ParticleScene f;
    auto props = kSlowSnow;
    props.emplace_back(PR_INDEX, Int(c.preRoll));
    TNovaParticle* e = f.Emitter({"10", "0", "100"}, props);
    EXPECT_EQ(e->State(), 0);
    f.Frame(16);
    EXPECT_EQ(e->State(), 1);
    EXPECT_EQ(Ages(*e), c.ages) << "pre-roll " << c.preRoll;
  }
}

TEST(ParticleEmitter, SteadyFramesMakeOneParticlePerInterval) {
  ParticleScene f;
  TNovaParticle* e = f.Emitter({"10", "0", "100"}, kSlowSnow);
  f.Frame(16);
  for (int k = 1; k <= 40; ++k) {
    f.Frame(16);
    // The first update made one; then one each time another 100 ms have been counted.
    ASSERT_EQ(f.Count(*e), 1 + 16 * k / 100) << "frame " << k;
  }
  // Every particle is as old as the budget steps since it came due.
  EXPECT_EQ(f.Particle(*e, 0).Age(), 40 * 16);
}

TEST(ParticleEmitter, ALongFrameMakesTheParticlesOfItsEarlierMomentsAlreadyUnderWay) {
  struct Case {
    uint32_t budget;
    uint32_t frame;
    std::vector<int32_t> ages;
  };
  const Case cases[] = {
      // 10 steps: the first particle is 160 ms old; those due at 40, 80 and 120 ms into the
      // frame are advanced by the whole steps left (7, 5 and 2), the one due now by none.
      {16, 160, {160, 112, 80, 32, 0}},
      // 64 ms steps: 2 steps and 32 ms carried to the next frame.
      {64, 160, {128, 64, 0, 0}},
      // A frame shorter than a step advances nothing and makes nothing.
      {64, 40, {0}},
      // A budget of 0 counts as 1 ms steps.
      {0, 16, {16}},
  };
  for (const Case& c : cases) {
    ParticleScene f;
    FrameClock().FrameBudget = c.budget;
    TNovaParticle* e = f.Emitter({"0", "0", "40"}, kSlowSnow);
    f.Frame(16);
    f.Frame(c.frame);
    EXPECT_EQ(Ages(*e), c.ages) << "budget " << c.budget << " frame " << c.frame;
  }
}

TEST(ParticleEmitter, AHugePreRollOrFrameEndsInBoundedTime) {
  // A pre-roll of 24 days at the shortest interval would be a billion particles; only the
  // last minute's are made.
  ParticleScene f;
  FrameClock().FrameBudget = 1;
  auto props = kSlowSnow;
  props.emplace_back(PR_INDEX, Int(INT32_MAX));
  props.emplace_back(PR_PARAM1, Float(1000));  // they fall out at once
  TNovaParticle* e = f.Emitter({"0", "0", "0"}, props);
  f.Frame(UINT32_MAX);
  EXPECT_EQ(e->State(), 1);
  // Only those due at the very end are left: the others have fallen out already.
  EXPECT_LE(f.Count(*e), 2);
  f.Frame(UINT32_MAX);
  EXPECT_LE(f.Count(*e), 2);
}

TEST(ParticleEmitter, RemainingEmissionTimeEndsCreationThenTheEmitterDrainsAndGoes) {
  struct Case {
    int32_t duration;
    int stateOneFrames;  // frames after the first until creation stops
  };
  const Case cases[] = {{100, 7}, {3000, 188}, {16, 1}};
  for (const Case& c : cases) {
    ParticleScene f;
    // 3 pixels a step: a particle made at the top has left the 48 rows after 17 steps.
    TNovaParticle* e = f.Emitter({"10", "0", "30"}, {{PR_SOURCE, Str("dot.bri")}, {PR_PARTMOTION, Int(PM_SNOW)},
                                                     {PR_PARAM1, Float(3)}, {PR_DURATION, Int(c.duration)}});
    f.Frame(16);
    int frames = 0;
    while (e->State() == 1 && frames < 10000) {
      f.Frame(16);
      ++frames;
    }
    EXPECT_EQ(frames, c.stateOneFrames) << c.duration;
    ASSERT_EQ(e->State(), 2);
    EXPECT_LE(e->Duration(), 0);
    // Draining makes nothing new; the emitter goes with its last particle.
    int last = f.Count(*e);
    ASSERT_GT(last, 0);
    for (int i = 0; i < 100 && f.scene.FindObject("em"); ++i) {
      ASSERT_LE(f.Count(*e), last);
      last = f.Count(*e);
      f.Frame(16);
    }
    EXPECT_EQ(f.scene.FindObject("em"), nullptr);
    EXPECT_EQ(f.scene.ObjectCount(), 0);
  }
}

TEST(ParticleEmitter, UnlimitedEmissionKeepsGoing) {
  ParticleScene f;
  TNovaParticle* e = f.Emitter({"10", "0", "30"}, {{PR_SOURCE, Str("dot.bri")}, {PR_PARAM1, Float(3)}});
  for (int i = 0; i < 400; ++i) f.Frame(16);
  EXPECT_EQ(e->State(), 1);
  EXPECT_EQ(e->Duration(), 0);
  EXPECT_GT(f.Count(*e), 0);
}

TEST(ParticleEmitter, IntervalsComeFromTheExpressionAtLeastTwoMilliseconds) {
  struct Case {
    const char* interval;
    int second;  // particles the second 16 ms frame makes
  };
  const Case cases[] = {
      {"", 1},     // no expression: one frame budget
      {"100", 0},  // the first is 100 ms away
      {"16", 1},
      {"1", 8},    // 2 ms
      {"-7", 8},
  };
  for (const Case& c : cases) {
    ParticleScene f;
    TNovaParticle* e = f.Emitter({"", "", c.interval}, kSlowSnow);
    f.Frame(16);
    ASSERT_EQ(f.Count(*e), 1) << c.interval;
    f.Frame(16);
    EXPECT_EQ(f.Count(*e), 1 + c.second) << c.interval;
  }
}

TEST(ParticleEmitter, PositionsComeFromTheExpressionsEvaluatedForEveryParticle) {
  ParticleScene f;
  TParamCollectionItem* n = f.store.AddParam(PT_INT);
  f.store.SetParamName(n, "n");
  n->Param->SetAsInt(5);
  TNovaParticle* e = f.Emitter({"n * 2", "n + 1", "16"}, kSlowSnow);
  f.Frame(16);
  n->Param->SetAsInt(7);
  f.Frame(16);
  ASSERT_EQ(f.Count(*e), 2);
  const TPoint expected[] = {{10, 6}, {14, 8}};
  for (int i = 0; i < 2; ++i) {
    TNovaParticleImages& p = f.Particle(*e, i);
    EXPECT_EQ(p.OriginX(), expected[i].X) << i;
    EXPECT_EQ(p.OriginY(), expected[i].Y) << i;
    // Placed by its centre.
    EXPECT_EQ(ReadProperty(p, PR_OFFSETX).Int, 2);
    EXPECT_EQ(ReadProperty(p, PR_OFFSETY).Int, 2);
  }
  // Without position expressions the particles start at (0, 0).
  ParticleScene g;
  TNovaParticle* bare = g.Emitter({}, kSlowSnow);
  g.Frame(16);
  ASSERT_EQ(g.Count(*bare), 1);
  EXPECT_EQ(g.Particle(*bare, 0).OriginX(), 0);
  EXPECT_EQ(g.Particle(*bare, 0).OriginY(), 0);
}

// The generator of the fixture, to predict the draws.
struct Lcg {
  uint32_t state;
  uint32_t Next() { return state = state * 134775813u + 1u; }
  int32_t Int(int32_t n) {
    const uint32_t state = Next();
    return n <= 1 ? 0 : static_cast<int32_t>((uint64_t{uint32_t(n)} * state) >> 32);
  }
};

TEST(ParticleEmitter, AParameterRecordReplacesTheExpressionsDrawingXThenYThenTheInterval) {
  struct Case {
    TNovaParticleParam param;
  };
  const Case cases[] = {
      {{10, 20, 7, 5, 100, 50}},
      {{-3, 4, 0, 0, 0, 0}},      // no ranges: the bases; an interval of 0 becomes 2 ms
      {{5, 5, -9, -1, 40, -20}},  // a negative range draws nothing
      {{INT32_MAX, INT32_MIN, INT32_MAX, 3, INT32_MAX, INT32_MAX}},  // sums stay inside 32 bits
  };
  for (const Case& c : cases) {
    ParticleScene f;
    // A pattern without set-up draws nothing more, and its particles end at their first step.
    TNovaParticle* e = f.Emitter({"1", "1", "1000"}, {{PR_PARTMOTION, Int(9)}});
    e->EnsureParam() = c.param;
    Lcg lcg{f.randomState};
    const auto sum = [](int32_t a, int32_t b) {
      return static_cast<int32_t>(std::clamp<int64_t>(int64_t{a} + b, INT32_MIN, INT32_MAX));
    };
    const int32_t x = sum(c.param.XBase, lcg.Int(c.param.XRange));
    const int32_t y = sum(c.param.YBase, lcg.Int(c.param.YRange));
    const int32_t interval = std::max(2, sum(c.param.IntervalBase, lcg.Int(c.param.IntervalRange)));
    f.Frame(16);
    ASSERT_EQ(f.Count(*e), 1);
    EXPECT_EQ(f.Particle(*e, 0).Left(), x);
    EXPECT_EQ(f.Particle(*e, 0).Top(), y);
    EXPECT_EQ(e->Countdown(), interval);
    EXPECT_EQ(f.randomState, lcg.state);
  }
}

TEST(ParticleEmitter, TheSameGeneratorStateGivesTheSameParticles) {
  auto run = [](uint32_t seed) {
    ParticleScene f;
    f.randomState = seed;
    TNovaParticle* e = f.Emitter({"32", "10", "40"}, {{PR_SOURCE, Str("dot.bri")}, {PR_PARTMOTION, Int(PM_SNOW)},
                                                      {PR_PARAM2, Float(2)}, {PR_PARAM3, Float(9)}});
    std::vector<int32_t> lefts;
    for (int i = 0; i < 30; ++i) f.Frame(16);
    for (int i = 0; i < f.Count(*e); ++i) lefts.push_back(f.Particle(*e, i).Left());
    return lefts;
  };
  EXPECT_EQ(run(7), run(7));
  EXPECT_NE(run(7), run(8));
}

TEST(ParticleEmitter, ANewSourceRemovesEveryParticleAtOnce) {
  ParticleScene f;
  TNovaParticle* e = f.Emitter({"10", "0", "16"}, kSlowSnow);
  for (int i = 0; i < 5; ++i) f.Frame(16);
  ASSERT_EQ(f.Count(*e), 5);
  ASSERT_EQ(f.scene.ObjectCount(), 6);
  // The same name changes nothing.
  WriteProperty(*e, PR_SOURCE, Str("dot.bri"));
  EXPECT_EQ(f.Count(*e), 5);
  EXPECT_EQ(e->State(), 1);
  WriteProperty(*e, PR_SOURCE, Str("anim.bri"));
  EXPECT_EQ(f.Count(*e), 0);
  EXPECT_EQ(e->ChildCount(), 0);
  EXPECT_EQ(f.scene.ObjectCount(), 1);
  EXPECT_EQ(e->Frames().Count(), 2);
  EXPECT_EQ(e->State(), 0);
  // A name of another kind loads nothing; the particles are made all the same.
  WriteProperty(*e, PR_SOURCE, Str("notes.txt"));
  EXPECT_EQ(e->Frames().Count(), 0);
  f.Frame(16);
  EXPECT_EQ(f.Count(*e), 1);
  EXPECT_EQ(f.Particle(*e, 0).Width(), 0);
}

// Changes an emitter's source during its own update, as a film does from a cinema's update.
class SourceChanger : public TNovaObject {
public:
  SourceChanger(TNovaBaseList* scene, TNovaParticle* emitter) : TNovaObject(scene), emitter_(emitter) {}
  bool Update(uint32_t) override {
    WriteProperty(*emitter_, PR_SOURCE, Str(flip_ ? "dot.bri" : "anim.bri"));
    flip_ = !flip_;
    return false;
  }

private:
  TNovaParticle* emitter_;
  bool flip_ = false;
};

class UpdateCounter : public TNovaObject {
public:
  using TNovaObject::TNovaObject;
  bool Update(uint32_t) override {
    ++Updates;
    return false;
  }
  int Updates = 0;
};

TEST(ParticleEmitter, RemovingParticlesDuringTheSceneUpdateSkipsNoOtherObject) {
  ParticleScene f;
  TNovaParticle* e = f.Emitter({"10", "0", "16"}, kSlowSnow);
  for (int i = 0; i < 3; ++i) f.Frame(16);
  ASSERT_EQ(f.Count(*e), 3);
  // Registered after the particles: their removal moves both down the registry.
  f.scene.Make<SourceChanger>(e);
  auto* counter = f.scene.Make<UpdateCounter>();
  for (int i = 1; i <= 4; ++i) {
    f.Frame(16);
    EXPECT_EQ(counter->Updates, i);
    EXPECT_EQ(f.Count(*e), 0);
  }
}

TEST(ParticleEmitter, ANewPatternPreRollsAgainAndKeepsTheParticlesUnderWay) {
  ParticleScene f;
  auto props = kSlowSnow;
  props.emplace_back(PR_INDEX, Int(300));
  TNovaParticle* e = f.Emitter({"10", "0", "100"}, props);
  f.Frame(16);
  ASSERT_EQ(f.Count(*e), 3);
  WriteProperty(*e, PR_PARTMOTION, Int(PM_SNOW));
  EXPECT_EQ(e->State(), 1);
  WriteProperty(*e, PR_PARTMOTION, Int(PM_FLUFF));
  EXPECT_EQ(e->State(), 0);
  f.Frame(16);
  EXPECT_EQ(f.Count(*e), 6);
  EXPECT_EQ(f.Particle(*e, 0).Pattern(), PM_SNOW);
  EXPECT_EQ(f.Particle(*e, 5).Pattern(), PM_FLUFF);
  // PM_NONE makes nothing, but those under way go on.
  WriteProperty(*e, PR_PARTMOTION, Int(PM_NONE));
  for (int i = 0; i < 20; ++i) f.Frame(16);
  EXPECT_EQ(f.Count(*e), 6);
    // Each pre-roll advanced the particles under way by its 18 steps too.
  EXPECT_EQ(f.Particle(*e, 0).Age(), 176 + 288 + 288 + 19 * 16);
}

TEST(ParticleEmitter, PausedOrAnimationPausedEmittersStandWithTheirParticles) {
  for (int property : {PR_PAUSED, PR_ANIPAUSED}) {
    ParticleScene f;
    TNovaParticle* e =
        f.Emitter({"10", "0", "1000"}, {{PR_SOURCE, Str("anim.bri")}, {PR_PARTMOTION, Int(PM_SNOW)}});
    f.Frame(16);
    ASSERT_EQ(f.Count(*e), 1);
    EXPECT_TRUE(ReadProperty(*e, PR_PLAYING).Flag);
    WriteProperty(*e, property, Flag(true));
    EXPECT_FALSE(ReadProperty(*e, PR_PLAYING).Flag);
    // The particle reads its emitter's animation pause.
    EXPECT_EQ(ReadProperty(f.Particle(*e, 0), PR_ANIPAUSED).Flag, property == PR_ANIPAUSED);
    for (int i = 0; i < 10; ++i) f.Frame(16);
    EXPECT_EQ(f.Particle(*e, 0).Age(), 0) << property;
    EXPECT_EQ(f.Particle(*e, 0).Index(), 0) << property;
    WriteProperty(*e, property, Flag(false));
    for (int i = 0; i < 4; ++i) f.Frame(16);
    EXPECT_EQ(f.Particle(*e, 0).Age(), 64);
    EXPECT_EQ(f.Particle(*e, 0).Index(), 1);  // 50 ms frames
  }
}

TEST(ParticleEmitter, ParticlesAreSystemNamedChildImagesOutOfTheMouse) {
  ParticleScene f;
  TNovaParticle* e = f.Emitter({"10", "0", "16"}, {{PR_SOURCE, Str("dot.bri")}, {PR_ALPHA, Int(300)}});
  f.Frame(16);
  f.Frame(16);
  ASSERT_EQ(f.Count(*e), 2);
  std::set<std::string> names;
  for (int i = 0; i < 2; ++i) {
    TNovaParticleImages& p = f.Particle(*e, i);
    names.insert(p.Name());
    EXPECT_EQ(p.Parent(), e);
    EXPECT_EQ(p.TypeCode(), LT_NONE);
    EXPECT_EQ(ReadProperty(p, PR_IGNOREMOUSE).Int, IM_ALL);
    EXPECT_EQ(ReadProperty(p, PR_ALPHA).Int, 300);
    EXPECT_EQ(p.Width(), 4);
  }
  EXPECT_EQ(names, (std::set<std::string>{"\x01" "em\x01" "0", "\x01" "em\x01" "1"}));
  // The blend value goes to the particles made from then on.
  WriteProperty(*e, PR_ALPHA, Int(100));
  f.Frame(16);
  EXPECT_EQ(ReadProperty(f.Particle(*e, 0), PR_ALPHA).Int, 300);
  EXPECT_EQ(ReadProperty(f.Particle(*e, 2), PR_ALPHA).Int, 100);
  // Destroying the emitter destroys its particles.
  f.scene.FreeObject(e);
  EXPECT_EQ(f.scene.ObjectCount(), 0);
}

TEST(ParticleEmitter, AParticleMovedAwayStillGoesWithItsEmitter) {
  ParticleScene f;
  TNovaParticle* e = f.Emitter({"10", "0", "16"}, kSlowSnow);
  auto* other = f.Create<TNovaControl>(LT_BOX, "box");
  f.Frame(16);
  ASSERT_EQ(f.Count(*e), 1);
  f.Particle(*e, 0).SetParent(other);
  f.scene.FreeObject(e);
  EXPECT_EQ(other->ChildCount(), 0);
  EXPECT_EQ(f.scene.ObjectCount(), 1);
}

TEST(ParticleEmitter, AnswersItsPropertiesAndParametersOneToThree) {
  ParticleScene f;
  TNovaParticle* e = f.Emitter({}, {});
  const std::set<int> common = {PR_PARENT, PR_LEFT, PR_TOP, PR_WIDTH, PR_HEIGHT, PR_COLOR, PR_OFFSETX, PR_OFFSETY,
                                PR_VISIBLE, PR_IGNOREMOUSE, PR_CURSOR, PR_POSZOOMED, PR_CLIPLEFT, PR_CLIPTOP,
                                PR_CLIPWIDTH, PR_CLIPHEIGHT, PR_ANIPAUSED, PR_PLAYING, PR_HANDLEKEY, PR_PLUSX,
                                PR_PLUSY, PR_ONMOUSEMOVE, PR_ONMOUSEIN, PR_ONMOUSEOUT, PR_ONLBTNDOWN, PR_ONLBTNUP,
                                PR_ONRBTNDOWN, PR_ONRBTNUP, PR_ONWHEELDOWN, PR_ONWHEELUP, PR_ONKEYDOWN, PR_ONKEYUP,
                                PR_ONKEYREPEAT, PR_ONFOCUSIN, PR_ONFOCUSOUT};
  std::set<int> supported = {PR_SOURCE, PR_ALPHA, PR_PAUSED, PR_INDEX, PR_PARTMOTION, PR_PARAM1,
                             PR_PARAM2, PR_PARAM3, PR_ONIDLE, PR_DURATION};
  supported.insert(common.begin(), common.end());
  const std::set<int> special = {PR_NAME, PR_PRIORITY, PR_TAG, PR_COMPOTYPE, PR_APPEARX, PR_APPEARY};
  for (int id = 0; id < 163; ++id) {
    if (special.count(id)) continue;
    TPropValue v;
    EXPECT_EQ(e->GetProperty(id, v), supported.count(id) == 1) << "property " << id;
  }
  EXPECT_EQ(ReadProperty(*e, PR_COMPOTYPE).Int, LT_PARTICLE);
  EXPECT_EQ(ReadProperty(*e, PR_APPEARX).Int, 0);
  // The three reals keep their extended precision; other indices read 0 and take nothing.
  const long double third = 1.0L / 3;
  WriteProperty(*e, PR_PARAM2, Float(third));
  EXPECT_EQ(ReadProperty(*e, PR_PARAM2).Float, third);
  e->SetParam(0, 5);
  e->SetParam(4, 5);
  EXPECT_EQ(e->Param(0), 0);
  EXPECT_EQ(e->Param(4), 0);
  EXPECT_EQ(e->Param(2), third);
  // The pattern is a byte.
  WriteProperty(*e, PR_PARTMOTION, Int(256 + PM_STAR));
  EXPECT_EQ(ReadProperty(*e, PR_PARTMOTION).Int, PM_STAR);
}

}  // namespace
}  // namespace nova::test
