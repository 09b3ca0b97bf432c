// Timers and property motions, driven by frames of the scenario clock.
#include <gtest/gtest.h>

#include <cmath>

#include "base/process.h"
#include "base/stream.h"
#include "objects/nova_prop_motion.h"
#include "objects/nova_timer.h"
#include "objects/object_fixtures.h"

namespace nova::test {
namespace {

struct ClockedScene : SceneFixture {
  ClockedScene() {
    FrameClock().Total = 0;
    factory.Register(LT_PROPMOTION, [](TNovaBaseList& s) { return std::make_unique<TNovaPropMotion>(&s); });
    factory.Register(LT_TIMER, [](TNovaBaseList& s) { return std::make_unique<TNovaTimer>(&s); });
  }
  void Tick(uint32_t ms = 16) {
    FrameClock().Total += ms;
    Frame(ms);
  }
  TNovaPropMotion* Motion(const std::string& target, int property, Real to, int32_t ms, int32_t type = MT_NORMAL) {
    auto* m = scene.Make<TNovaPropMotion>();
    m->SetTargetName(target);
    m->SetPropertyNumber(property);
    m->SetTargetValue(to);
    m->SetDuration(ms);
    m->SetMotionType(type);
    return m;
  }
};

TEST(PropMotion, LinearMotionWritesStartHalfwayAndExactTarget) {
  ClockedScene f;
  TestBox* box = f.Box("box", 0, 0, 4, 4);
  const TObjectRef motion(f.Motion("box", PR_LEFT, 255, 1000));
  std::vector<int32_t> seen;
  for (int i = 0; i < 70 && f.scene.Resolve(motion); ++i) {
    f.Tick();
    seen.push_back(box->Left());
  }
  ASSERT_EQ(seen.size(), 64u);  // elapsed 0, 16, ... 1008: the update at 1008 >= 999 ends it
  EXPECT_EQ(seen[0], 0);
  EXPECT_EQ(seen[31], 126);  // 496 ms: 255 * 496 / 1000 truncated by the integer property
  EXPECT_EQ(seen[32], 130);
  EXPECT_EQ(seen.back(), 255);
  EXPECT_EQ(f.scene.Resolve(motion), nullptr);
}

TEST(PropMotion, EasedMotionsStartAndEndAtTheirValues) {
  const Real w = 10, v = 110;
  for (int type : {MT_INC, MT_DEC}) {
    EXPECT_NEAR(static_cast<double>(TNovaPropMotion::ValueAt(type, 1, 1000, w, v)), 10.0, 0.2) << type;
    EXPECT_NEAR(static_cast<double>(TNovaPropMotion::ValueAt(type, 998, 1000, w, v)), 110.0, 0.2) << type;
  }
  // Accelerating lags behind the straight line at a quarter of the time; decelerating leads.
  const Real straight = TNovaPropMotion::ValueAt(MT_NORMAL, 250, 1000, w, v);
  EXPECT_LT(TNovaPropMotion::ValueAt(MT_INC, 250, 1000, w, v), straight);
  EXPECT_GT(TNovaPropMotion::ValueAt(MT_DEC, 250, 1000, w, v), straight);
  EXPECT_NEAR(static_cast<double>(TNovaPropMotion::ValueAt(MT_DEC, 500, 1000, w, v)),
              10 + 100 * std::sin(M_PI / 4), 1e-9);
}

TEST(PropMotion, PausingMissingTargetsAndBadNumbers) {
  ClockedScene f;
  TestBox* box = f.Box("box", 0, 0, 4, 4);
  TNovaPropMotion* paused = f.Motion("box", PR_TOP, 100, 100);
  paused->SetPaused(true);
  const TObjectRef pausedRef(paused);
  const TObjectRef nobody(f.Motion("nobody", PR_LEFT, 100, 100));
  const TObjectRef badNumber(f.Motion("box", 163, 100, 100));
  const TObjectRef particle(f.Motion("box", PR_APPEARX, 100, 100));
  f.Tick();
  EXPECT_EQ(f.scene.Resolve(nobody), nullptr);
  EXPECT_EQ(f.scene.Resolve(badNumber), nullptr);
  EXPECT_EQ(f.scene.Resolve(particle), nullptr);
  for (int i = 0; i < 20; ++i) f.Tick();
  EXPECT_EQ(box->Top(), 0);
  ASSERT_NE(f.scene.Resolve(pausedRef), nullptr);
  paused->SetPaused(false);
  f.Tick();
  f.Tick();
  EXPECT_GT(box->Top(), 0);
  f.scene.FreeObject(box);
  f.Tick();
  EXPECT_EQ(f.scene.Resolve(pausedRef), nullptr);
}

TEST(PropMotion, ALoadedMotionContinuesWithoutAJump) {
  ClockedScene f;
  TestBox* box = f.Box("box", 0, 0, 4, 4);
  f.Motion("box", PR_LEFT, 200, 1000)->SetName("move");
  for (int i = 0; i < 32; ++i) f.Tick();  // 496 ms: left 99
  TKtMemoryStream s;
  f.scene.SaveScene(s);
  const int32_t before = box->Left();
  f.Tick();
  const int32_t expected = box->Left();
  s.SetPosition(0);
  f.scene.LoadScene(s, 138);
  auto* loaded = dynamic_cast<TestBox*>(f.scene.FindObject("box"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->Left(), before);
  FrameClock().Total -= 16;
  f.Tick();
  EXPECT_EQ(loaded->Left(), expected);
}

TEST(Timer, FiresOncePerIntervalWithAtMostOneEventWaiting) {
  ClockedScene f;
  auto* timer = f.scene.Make<TNovaTimer>();
  timer->SetName("t");
  timer->SetProperty(PR_ONNOTIFY, TPropValue::OfStr("tick.nsb"));
  timer->SetProperty(PR_DELAY, TPropValue::OfInt(1000));
  int fired = 0;
  for (int i = 0; i < 190; ++i) {  // 3040 ms, every event handled at once
    f.Tick();
    fired += f.scene.Events().Count();
    f.scene.Events().Clear();
  }
  EXPECT_EQ(fired, 3);
  // A handler that never ends: the missed ticks do not queue more events.
  for (int i = 0; i < 190; ++i) f.Tick();
  EXPECT_EQ(f.scene.Events().Count(), 1);
  // A new interval drops the waiting event and starts counting again.
  timer->SetProperty(PR_DELAY, TPropValue::OfInt(100));
  EXPECT_EQ(f.scene.Events().Count(), 0);
  for (int i = 0; i < 6; ++i) f.Tick();
  EXPECT_EQ(f.scene.Events().Count(), 0);
  f.Tick();
  EXPECT_EQ(f.scene.Events().Count(), 1);
}

TEST(Timer, AutoScrapFiresOnceAndGoesAfterItsHandler) {
  ClockedScene f;
  auto* timer = f.scene.Make<TNovaTimer>();
  timer->SetProperty(PR_ONNOTIFY, TPropValue::OfStr("once.nsb"));
  timer->SetProperty(PR_AUTOSCRAP, TPropValue::OfFlag(true));
  const TObjectRef ref(timer);
  f.Tick();  // interval 0: the first frame fires
  ASSERT_EQ(f.scene.Events().Count(), 1);
  f.scene.Events().Entry(0).Level = 1;  // the handler runs for a while
  for (int i = 0; i < 5; ++i) f.Tick();
  EXPECT_EQ(f.scene.Events().Count(), 1);
  EXPECT_NE(f.scene.Resolve(ref), nullptr);
  f.scene.Events().RemoveLevel(1);
  f.Tick();
  EXPECT_EQ(f.scene.Resolve(ref), nullptr);
}

TEST(Timer, SavedFormRoundTripsAndOldVersionsLackTheFlags) {
  ClockedScene f;
  auto* timer = f.scene.Make<TNovaTimer>();
  timer->SetName("t");
  timer->SetProperty(PR_ONNOTIFY, TPropValue::OfStr("tick.nsb"));
  timer->SetProperty(PR_DELAY, TPropValue::OfInt(250));
  timer->SetProperty(PR_AUTOSCRAP, TPropValue::OfFlag(true));
  TKtMemoryStream s;
  timer->SaveToStream(s);
  s.SetPosition(0);
  TNovaTimer copy(&f.scene);
  copy.LoadFromStream(s, 138);
  EXPECT_EQ(s.Remaining(), 0);
  TPropValue v;
  copy.GetProperty(PR_DELAY, v);
  EXPECT_EQ(v.Int, 250);
  copy.GetProperty(PR_AUTOSCRAP, v);
  EXPECT_TRUE(v.Flag);
  // Before version 104 the record ends after the paused flag.
  TKtMemoryStream old;
  old.WriteString("t");
  old.WriteInt32(0);
  old.WriteString("x.nsb");
  old.WriteInt32(40);
  old.WriteByte(1);
  old.SetPosition(0);
  TNovaTimer legacy(&f.scene);
  legacy.LoadFromStream(old, 103);
  EXPECT_EQ(old.Remaining(), 0);
  EXPECT_TRUE(legacy.Paused());
  legacy.GetProperty(PR_ONNOTIFY, v);
  EXPECT_EQ(v.Str, "x.nsb");
  legacy.GetProperty(PR_AUTOSCRAP, v);
  EXPECT_FALSE(v.Flag);
}

}  // namespace
}  // namespace nova::test
