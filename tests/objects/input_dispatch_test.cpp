// Mouse dispatch (hit tests with ignore modes, capture, hover order, wheel, cursors), key events
// with their repeat timing, and the key focus.
#include <gtest/gtest.h>

#include "objects/object_fixtures.h"

namespace nova::test {
namespace {

void Handlers(TestBox* b) {
  for (int code : {PR_ONMOUSEMOVE, PR_ONMOUSEIN, PR_ONMOUSEOUT, PR_ONLBTNDOWN, PR_ONLBTNUP, PR_ONRBTNDOWN, PR_ONRBTNUP,
                   PR_ONWHEELDOWN, PR_ONWHEELUP, PR_ONKEYDOWN, PR_ONKEYUP, PR_ONKEYREPEAT, PR_ONFOCUSIN,
                   PR_ONFOCUSOUT})
    b->SetProperty(code, TPropValue::OfStr("h.nsb"));
}

using Events = std::vector<std::string>;

TEST(MouseDispatch, IgnoredLeftClicksFallThroughAndOnlyUntakenPressesReachTheScenario) {
  SceneFixture f;
  TestBox* under = f.Box("under", 0, 0, 20, 20);
  TestBox* over = f.Box("over", 0, 0, 20, 20);
  Handlers(under);
  Handlers(over);
  over->SetProperty(PR_IGNOREMOUSE, TPropValue::OfInt(IM_LCLICK));
  over->SetPriority(1);
  f.MoveMouse(5, 6);
  f.Frame();
  f.scene.Events().Clear();  // the hover events
  f.PressLeft();
  f.scene.ProcessInput(16);
  EXPECT_EQ(f.Events(), (Events{"under:36(5,6)", "over:35", "under:103", "under:34(5,6)"}));
  EXPECT_FALSE(f.Mouse().LeftPressedThisFrame) << "the press was taken";
  // Over the bare screen the press stays visible to @LClick.
  f.ReleaseButtons();
  f.Frame();
  f.MoveMouse(40, 40);
  f.PressLeft();
  f.scene.ProcessInput(16);
  EXPECT_TRUE(f.Mouse().LeftPressedThisFrame);
}

TEST(MouseDispatch, ACapturedButtonGetsTheReleaseAndHoverWaits) {
  SceneFixture f;
  TestBox* button = f.Box("button", 0, 0, 10, 10);
  TestBox* other = f.Box("other", 30, 0, 10, 10);
  Handlers(button);
  Handlers(other);
  f.MoveMouse(2, 2);
  f.Frame();
  f.scene.Events().Clear();
  f.PressLeft();
  f.Frame();
  EXPECT_EQ(f.Events(), (Events{"button:36(2,2)"}));
  f.scene.Events().Clear();
  f.MoveMouse(35, 5);  // dragged onto the other object while held
  f.Frame();
  EXPECT_EQ(f.Events(), (Events{"button:34(35,5)"}));
  f.scene.Events().Clear();
  f.ReleaseButtons();
  f.Frame();
  EXPECT_EQ(f.Events(), (Events{"button:37(35,5)"}));
  f.scene.Events().Clear();
  f.Frame();  // now the hover moves over
  EXPECT_EQ(f.Events(), (Events{"button:35", "other:103", "other:34(5,5)"}));
}

TEST(MouseDispatch, MovingOntoAChildLeavesTheParentFirst) {
  SceneFixture f;
  TestBox* a = f.Box("A", 0, 0, 30, 30);
  TestBox* b = f.Box("B", 10, 10, 10, 10, a);
  Handlers(a);
  Handlers(b);
  f.MoveMouse(2, 2);
  f.Frame();
  EXPECT_EQ(f.Events(), (Events{"A:103", "A:34(2,2)"}));
  f.scene.Events().Clear();
  f.MoveMouse(12, 13);
  f.Frame();
  EXPECT_EQ(f.Events(), (Events{"A:35", "B:103", "B:34(2,3)"}));
  f.scene.Events().Clear();
  // A move event waits while the previous one is queued; in and out events do not.
  f.MoveMouse(14, 14);
  f.Frame();
  f.MoveMouse(15, 15);
  f.Frame();
  EXPECT_EQ(f.Events(), (Events{"B:34(4,4)"}));
  f.Mouse().WheelDownNow = true;
  f.Frame();
  EXPECT_EQ(f.Events().back(), "B:40");
}

TEST(MouseDispatch, CursorFollowsTheObjectUnderTheMouse) {
  SceneFixture f;
  TestBox* hand = f.Box("hand", 0, 0, 10, 10);
  hand->SetProperty(PR_CURSOR, TPropValue::OfStr("hand.cur"));
  std::vector<std::string> shown;
  f.scene.SetCursorListener([&](const std::string& file) { shown.push_back(file); });
  f.scene.DefaultCursor = [] { return std::string("arrow.cur"); };
  f.MoveMouse(3, 3);
  f.Frame();
  f.MoveMouse(4, 4);
  f.Frame();
  f.MoveMouse(30, 30);
  f.Frame();
  f.scene.DefaultCursor = nullptr;
  f.MoveMouse(31, 30);
  f.Frame();
  EXPECT_EQ(shown, (std::vector<std::string>{"hand.cur", "arrow.cur", ""}));
}

TEST(KeyDispatch, HoldingAKeyRepeatsAfter300MsThenEvery50Ms) {
  SceneFixture f;
  TestBox* target = f.Box("t", 0, 0, 10, 10);
  Handlers(target);
  target->SetHandleKey(true);
  f.MoveMouse(60, 40);
  f.Frame();
  ASSERT_EQ(f.scene.Focus(), target);
  EXPECT_EQ(f.Events(), (Events{"t:148"}));
  f.scene.Events().Clear();
  f.scene.Input().SetKeyState(65, true);
  int downs = 0, repeats = 0;
  std::vector<int> repeatFrames;
  for (int frame = 0; frame < 63; ++frame) {  // about one second at 16 ms
    f.Frame(16);
    for (const std::string& e : f.Events()) {
      if (e == "t:144(65)") ++downs;
      if (e == "t:146(65)") ++repeats, repeatFrames.push_back(frame);
    }
    f.scene.Events().Clear();  // the handlers ran
  }
  EXPECT_EQ(downs, 1);
  // The press itself counts as the first repeat; then 300 ms pass, then one every 50 ms.
  ASSERT_GE(repeatFrames.size(), 3u);
  EXPECT_EQ(repeatFrames[0], 0);
  EXPECT_EQ(repeatFrames[1], 19);  // 19 x 16 ms >= 300 ms, counted for the next frame
  EXPECT_EQ(repeatFrames[2] - repeatFrames[1], 3);
  EXPECT_EQ(repeats, 15);  // the press, then at 304 ms and every 50 ms up to 992 ms
  f.scene.Input().SetKeyState(65, false);
  f.Frame();
  EXPECT_EQ(f.Events().back(), "t:145(65)");
}

TEST(KeyDispatch, KeysPressedTogetherShareOneEventAndAPendingKeyDownBlocksTheNext) {
  SceneFixture f;
  TestBox* target = f.Box("t", 0, 0, 10, 10);
  Handlers(target);
  target->SetHandleKey(true);
  f.Frame();
  f.scene.Events().Clear();
  f.scene.Input().SetKeyState(13, true);
  f.scene.Input().SetKeyState(32, true);
  f.Frame();
  EXPECT_EQ(f.Events(), (Events{"t:144(13,32)", "t:146(13,32)"}));
  f.scene.Input().SetKeyState(13, false);
  f.scene.Input().SetKeyState(13, true);
  f.Frame();
  // The first key-down and repeat are still waiting: only the key-up is new.
  EXPECT_EQ(f.Events(), (Events{"t:144(13,32)", "t:146(13,32)", "t:145(13)"}));
}

TEST(Focus, ClickingTakesTheFocusAndHidingGivesItUp) {
  SceneFixture f;
  TestBox* first = f.Box("first", 0, 0, 10, 10);
  TestBox* second = f.Box("second", 20, 0, 10, 10);
  Handlers(first);
  Handlers(second);
  first->SetHandleKey(true);
  second->SetHandleKey(true);
  f.Frame();
  EXPECT_EQ(f.scene.Focus(), second) << "the topmost key handler";
  f.scene.Events().Clear();
  f.MoveMouse(5, 5);
  f.Frame();
  f.scene.Events().Clear();
  f.PressLeft();
  f.Frame();
  EXPECT_EQ(f.scene.Focus(), first);
  EXPECT_EQ(f.Events(), (Events{"first:36(5,5)", "second:149", "first:148"}));
  f.scene.Events().Clear();
  f.ReleaseButtons();
  f.Frame();
  f.scene.Events().Clear();
  first->SetVisible(false);
  EXPECT_EQ(f.scene.Focus(), nullptr);
  EXPECT_EQ(f.Events(), (Events{"first:149"}));
  f.Frame();
  EXPECT_EQ(f.scene.Focus(), second);
  // Freeing the focus asks for a new target; a hidden control is none.
  f.scene.FreeObject(second);
  f.Frame();
  EXPECT_EQ(f.scene.Focus(), nullptr);
}

}  // namespace
}  // namespace nova::test
