// The scene's event queue operations and the running-state record of Wait.
#include <gtest/gtest.h>

#include "objects/scene.h"

#include "scenario/commands_game.h"
#include "scenario/pages.h"
#include "scenario_test_util.h"

namespace nova::test {
namespace {

TEST(EventQueueTest, LevelsSendersAndPending) {
  TNovaBaseList scene;
  TNovaObject* a = scene.Make<TNovaComponent>();
  TNovaObject* b = scene.Make<TNovaComponent>();
  TNovaObject* c = scene.Make<TNovaComponent>();
  TEventQueue q;
  q.PostEvent(TEventSender(a), "p.nsb", {}, 36);
  q.PostEvent(TEventSender(b), "p.nsb", {"1"}, 37);
  q.PostEvent(TEventSender(a), "q.nsb", {}, 38);
  EXPECT_EQ(q.FindPendingEvent(b, 37), 1);
  EXPECT_EQ(q.FindPendingEvent(b, 36), -1);
  EXPECT_EQ(q.FindPendingEvent(nullptr, 36), -1);
  q.SetLevel(*q.FirstPending(), 1);
  EXPECT_EQ(q.FirstPending(), &q.Entry(1));
  EXPECT_EQ(q.FindPendingEvent(a, 36), 0);  // running records count too
  q.SetLevel(q.Entry(1), 2);
  q.RemoveSenderPending(a);  // only a's waiting record goes
  ASSERT_EQ(q.Count(), 2);
  q.RemoveLevel(2);
  ASSERT_EQ(q.Count(), 1);
  EXPECT_EQ(q.Entry(0).EventCode, 36);
  q.PostEvent(TEventSender(c), "r.nsb", {}, 39);
  q.SetLevel(q.Entry(0), 3);
  q.RemoveLevels(1, 2);  // neither level 3 nor the waiting record
  EXPECT_EQ(q.Count(), 2);
  q.RemoveRunning();
  ASSERT_EQ(q.Count(), 1);
  EXPECT_EQ(q.Entry(0).EventCode, 39);
  q.Clear();
  EXPECT_EQ(q.Count(), 0);
}

// A sender is the object itself: renaming it, or another object taking its old name, leaves
// its events with it; it is gone only when the object is.
TEST(SceneRegistry, SendersFollowTheirObjectNotItsName) {
  TNovaBaseList scene;
  EXPECT_FALSE(scene.ObjectExists(TEventSender{}));
  EXPECT_EQ(scene.SenderName(TEventSender{}), "");
  TNovaObject* object = scene.Make<TNovaControl>();
  object->SetName("live");
  const TEventSender sender(object);
  EXPECT_TRUE(scene.ObjectExists(sender));
  scene.Events().PostEvent(sender, "a.nsb", {}, 36);
  scene.Events().PostEvent(sender, "b.nsb", {}, 37);
  scene.Events().SetLevel(scene.Events().Entry(1), 1);
  // Another control takes the name: the sender is renamed "live_2" and keeps its events.
  TNovaObject* taker = scene.Make<TNovaControl>();
  taker->SetName("live");
  EXPECT_EQ(scene.SenderName(sender), "live_2");
  EXPECT_EQ(scene.Events().FindPendingEvent(object, 36), 0);
  EXPECT_EQ(scene.Events().FindPendingEvent(taker, 36), -1);
  EXPECT_EQ(scene.FindSender("live"), TEventSender(taker));
  EXPECT_EQ(scene.FindSender("live_2"), sender);
  EXPECT_TRUE(scene.FindSender("").Empty()) << "the empty name is no sender, not the screen";
  EXPECT_TRUE(scene.FindSender("nothing").Empty());
  // A destroyed component takes its waiting events along, not the running ones.
  scene.FreeObject(object);
  EXPECT_FALSE(scene.ObjectExists(sender));
  EXPECT_EQ(scene.SenderName(sender), "");
  ASSERT_EQ(scene.Events().Count(), 1);
  EXPECT_EQ(scene.Events().Entry(0).PageRef, "b.nsb");
  // An object made later, even at the same address, is not that sender.
  TNovaObject* later = scene.Make<TNovaControl>();
  EXPECT_FALSE(sender.Is(later));
  EXPECT_EQ(scene.Events().FindPendingEvent(later, 37), -1);
}

TEST(WaitStateTest, RecordWithAndWithoutTag) {
  FreshFileManager();
  PageBuilder b;
  Wait(b, "", "100", "1");
  b.Register("p.nsb");
  struct Case {
    std::string bytes;
    int32_t remaining;
    bool blocks;
  } cases[] = {
      {std::string("nova100") + std::string("\x2a\0\0\0\0\0\0\0\x01", 9), 42, true},
      {std::string("\x07\0\0\0\0\0\0\0\x01", 9), 7, false},  // no tag: version 0, no block byte
      {std::string("nova099") + std::string("\x05\0\0\0\0\0\0\0\x01", 9), 5, false},
  };
  TKtMemoryStream out;
  for (const Case& c : cases) {
    TPage page;  // a wait that was never entered: not blocking
    page.Load("p.nsb");
    auto* wait = static_cast<TComWait*>(page.Command(0));
    TKtMemoryStream in(c.bytes);
    wait->LoadState(in);
    EXPECT_EQ(wait->Remaining(), c.remaining);
    EXPECT_EQ(wait->BlocksEvents(), c.blocks);
    EXPECT_EQ(in.Remaining(), c.blocks ? 0 : 1);
    out.Clear();
    wait->SaveState(out);
  }
  EXPECT_EQ(out.Data(), std::string("nova100") + std::string("\x05\0\0\0\0\0\0\0\0", 9));
}

TEST(TraceTest, EventLineNamesTheHandlerPage) {
  FreshFileManager();
  PageBuilder h;
  Calc(h, 0, "x = 1", 1, 5);
  h.Register("h.nsb");
  PageBuilder b;
  Wait(b, "", "", "", 0);
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.events.PostEvent(TEventSender{}, "h.nsb", {}, 36);
  m.Frame(16);
  ASSERT_GE(m.trace.size(), 2u);
  EXPECT_EQ(m.trace[0], "00000010 : <Event>h.nsb(5)");
  EXPECT_EQ(m.trace[1], "00000010 : h.nsb(5)");
}

}  // namespace
}  // namespace nova::test
