// Names, lookup, ownership, deferred deletion and the per-frame update walk of the scene.
#include <gtest/gtest.h>

#include "objects/object_fixtures.h"

namespace nova::test {
namespace {

TEST(SceneNames, NewObjectsTakeTheFirstFreeCounter) {
  SceneFixture f;
  TNovaObject* a = f.scene.Make<TestBox>();
  TNovaObject* b = f.scene.Make<TestTimer>();
  EXPECT_EQ(a->Name(), "object0");
  EXPECT_EQ(b->Name(), "object1");
  f.scene.FreeObject(a);
  EXPECT_EQ(f.scene.Make<TestBox>()->Name(), "object0");
  EXPECT_EQ(f.scene.Make<TestBox>()->Name(), "object2");
}

TEST(SceneNames, AControlTakesANameAndTheHolderIsNumbered) {
  struct Case {
    std::vector<std::string> others;  // names already present besides the holder
    std::string holder, expected;
  };
  const Case cases[] = {
      {{}, "a", "a_2"},          {{"a_2"}, "a", "a_3"},  {{}, "b_5", "b_6"},       {{"b_6"}, "b_5", "b_7"},
      {{}, "c_1", "c_1_2"},      {{}, "_5", "_5_2"},     {{}, "d_x", "d_x_2"},     {{}, "e_", "e__2"},
      {{}, "f_99999999999", "f_99999999999_2"},
  };
  for (const Case& c : cases) {
    SceneFixture f;
    for (const std::string& n : c.others) f.Box(n, 0, 0, 1, 1);
    TestBox* holder = f.Box(c.holder, 0, 0, 1, 1);
    TestBox* taker = f.Box("x", 0, 0, 1, 1);
    taker->SetName(c.holder);
    EXPECT_EQ(taker->Name(), c.holder);
    EXPECT_EQ(holder->Name(), c.expected) << c.holder;
    EXPECT_EQ(f.scene.FindObject(c.holder), taker);
  }
}

TEST(SceneNames, AComponentTakingANameScrapsTheOldHolderAtTheEndOfTheFrame) {
  SceneFixture f;
  TestTimer* old = f.scene.Make<TestTimer>();
  old->SetName("t");
  f.scene.Events().PostEvent(TEventSender(old), "old.nsb", {}, PR_ONNOTIFY);
  TestTimer* fresh = f.scene.Make<TestTimer>();
  fresh->SetName("t");
  EXPECT_EQ(old->Name(), "");
  EXPECT_TRUE(f.scene.IsPendingDeletion(old));
  EXPECT_EQ(f.scene.FindObject("t"), fresh);
  // The old holder's waiting event does not run for the new holder.
  EXPECT_EQ(f.scene.Events().Count(), 0);
  const TObjectRef oldRef(old);
  f.Frame();
  EXPECT_EQ(f.scene.Resolve(oldRef), nullptr);
  EXPECT_EQ(f.scene.ObjectCount(), 1);
}

// A waiting event holds back the next one of its own sender only: when another control takes
// the sender's name, the renamed sender still waits and the new holder posts its own.
TEST(SceneNames, PendingEventsStayWithTheirSenderThroughARename) {
  SceneFixture f;
  TestBox* a = f.Box("a", 0, 0, 5, 5);
  TestBox* b = f.Box("b", 10, 0, 5, 5);
  a->onIdle = "idle.nsb";
  f.Frame();
  ASSERT_EQ(f.Events(), (std::vector<std::string>{"a:113"}));
  b->onIdle = "other.nsb";
  b->SetName("a");
  ASSERT_EQ(a->Name(), "a_2");
  f.Frame();
  EXPECT_EQ(f.Events(), (std::vector<std::string>{"a_2:113", "a:113"}));
  EXPECT_EQ(f.scene.Events().Entry(0).PageRef, "idle.nsb");
  EXPECT_TRUE(f.scene.Events().Entry(0).Sender.Is(a));
  EXPECT_TRUE(f.scene.Events().Entry(1).Sender.Is(b));
}

TEST(SceneLookup, SpecialNamesAndExactBytes) {
  SceneFixture f;
  TestBox* box = f.Box("Box", 0, 0, 1, 1);
  TestTimer* timer = f.scene.Make<TestTimer>();
  timer->SetName("tick");
  TNovaBase& shown = f.scene.Displayed();
  TNovaBase& other = f.scene.BackScreen();
  EXPECT_EQ(f.scene.FindObject(""), &shown);
  EXPECT_EQ(f.scene.FindObject("\x01" "BASE0"), &shown);
  EXPECT_EQ(f.scene.FindObject("\x01"), &other);
  EXPECT_EQ(f.scene.FindObject("\x01" "BASE1"), &other);
  EXPECT_EQ(f.scene.FindObject("Box"), box);
  EXPECT_EQ(f.scene.FindObject("box"), nullptr);
  EXPECT_EQ(f.scene.FindObject("tick"), timer);
  EXPECT_EQ(f.scene.FindControl("tick"), nullptr);  // components are no parents
  EXPECT_EQ(f.scene.FindControl("Box"), box);
  // With the second screen displayed, the screen names follow the index, the short ones the role.
  f.scene.StartTransition(1);
  EXPECT_EQ(f.scene.FindControl("\x01" "BASE0"), &f.scene.GetScreen(0));
  EXPECT_EQ(f.scene.FindControl(""), &f.scene.GetScreen(1));
  EXPECT_EQ(f.scene.FindObject("\x01" "BASE0"), &f.scene.GetScreen(1));
  EXPECT_FALSE(f.scene.ObjectExists(""));
}

TEST(SceneLifetime, FreeingAControlFreesItsChildrenAndItsWaitingEvents) {
  SceneFixture f;
  TestBox* parent = f.Box("p", 0, 0, 10, 10);
  TestBox* child = f.Box("c", 0, 0, 5, 5, parent);
  f.Box("g", 0, 0, 2, 2, child);
  TestBox* sibling = f.Box("s", 0, 0, 5, 5);
  f.scene.Events().PostEvent(TEventSender(child), "wait.nsb", {}, PR_ONLBTNDOWN);
  f.scene.Events().PostEvent(TEventSender(child), "runs.nsb", {}, PR_ONLBTNUP);
  f.scene.Events().Entry(1).Level = 3;
  f.scene.FreeObject(parent);
  EXPECT_EQ(f.scene.ObjectCount(), 1);
  EXPECT_EQ(f.scene.FindObject("s"), sibling);
  ASSERT_EQ(f.scene.Events().Count(), 1);
  EXPECT_EQ(f.scene.Events().Entry(0).PageRef, "runs.nsb");
  EXPECT_EQ(f.scene.Displayed().ChildCount(), 1);
}

TEST(SceneUpdate, DeferredDeletionAutoScrapAndIdleEvents) {
  SceneFixture f;
  TestBox* marked = f.Box("m", 0, 0, 1, 1);
  TestBox* scrapper = f.Box("s", 0, 0, 1, 1);
  TestBox* after = f.Box("a", 0, 0, 1, 1);
  TestBox* paused = f.Box("p", 0, 0, 1, 1);
  paused->paused = true;
  paused->onIdle = "idle.nsb";
  scrapper->scrap = true;
  marked->MarkForDeletion();
  // Still findable until the end of the frame's update.
  EXPECT_EQ(f.scene.FindObject("m"), marked);
  f.Frame();
  EXPECT_EQ(f.scene.FindObject("m"), nullptr);
  EXPECT_EQ(f.scene.FindObject("s"), nullptr);
  EXPECT_EQ(after->updates, 1) << "freeing the object before it must not skip it";
  EXPECT_EQ(paused->updates, 0);
  EXPECT_EQ(f.Events(), std::vector<std::string>{"p:113"});
  f.Frame();
  EXPECT_EQ(f.Events().size(), 1u) << "no second idle event while the first waits";
  f.scene.Events().Clear();
  f.Frame();
  EXPECT_EQ(f.Events(), std::vector<std::string>{"p:113"});
}

TEST(SceneUpdate, ObjectsInsideACabinetNeitherUpdateNorIdle) {
  class Cabinet : public TNovaControl {
  public:
    using TNovaControl::TNovaControl;
    uint8_t TypeCode() const override { return LT_CABINET; }
    bool Visible() const override { return false; }
  };
  SceneFixture f;
  Cabinet* cabinet = f.scene.Make<Cabinet>();
  TestBox* stored = f.Box("in", 0, 0, 1, 1, cabinet);
  stored->onIdle = "idle.nsb";
  f.Frame();
  EXPECT_EQ(stored->updates, 0);
  EXPECT_TRUE(f.Events().empty());
}

}  // namespace
}  // namespace nova::test
