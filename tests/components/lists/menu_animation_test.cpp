// Menu states: opening and closing with the animation over PR_DELAY, the events of each step in
// order, self-destruction once the closing handlers have run, auto-scrap choices, cancelling
// by right click or Escape, and the state comparisons of SetMenuState.
#include <gtest/gtest.h>

#include "menu_fixtures.h"

namespace nova::test {
namespace {

const std::vector<std::pair<int, TPropValue>> kEvents = {
    {PR_ONOPENING, Str("opening")}, {PR_ONOPENED, Str("opened")}, {PR_ONCLOSING, Str("closing")},
    {PR_ONCLOSED, Str("closed")},   {PR_ONSELECT, Str("select")}};

std::vector<std::pair<int, TPropValue>> Props(std::vector<std::pair<int, TPropValue>> more) {
  std::vector<std::pair<int, TPropValue>> p = {{PR_TEXT, Str("ab\r\ncd\r\nef")}, {PR_ROWCOUNT, Int(3)}};
  p.insert(p.end(), kEvents.begin(), kEvents.end());
  p.insert(p.end(), more.begin(), more.end());
  return p;
}

// The interpreter has run every queued handler.
void RunHandlers(MenuScene& f) { f.ClearEvents(); }

TEST(MenuAnimation, OpeningGrowsTheHeightLinearlyOverTheDelay) {
  MenuScene f;
  TNovaMenu* m = f.Menu("m", Props({{PR_DELAY, Int(200)}}), false);
  EXPECT_EQ(m->MenuState(), TNovaMenu::kClosed);
  EXPECT_EQ(m->Height(), 0);
  m->SetMenuState(TNovaMenu::kOpening);
  f.Step();  // lays out, posts the opening event, starts from nothing
  EXPECT_EQ(f.Codes("m"), (std::vector<int>{PR_ONOPENING}));
  EXPECT_EQ(m->Height(), 0);
  const int32_t full = m->FullHeight();
  ASSERT_EQ(full, 48);
  f.Step();  // the animation clock starts
  const uint32_t start = FrameClock().Total;
  int frames = 0;
  while (m->Phase() != TNovaMenu::kIdle && frames < 40) {
    f.Step();
    ++frames;
    const uint32_t elapsed = FrameClock().Total - start;
    EXPECT_EQ(ReadProperty(*m, PR_ORIGHEIGHT).Int, full);
    if (elapsed < 200) {
      EXPECT_EQ(m->Height(), static_cast<int32_t>(elapsed * full / 200)) << elapsed;
      EXPECT_EQ(f.Codes("m"), (std::vector<int>{PR_ONOPENING}));
    }
  }
  EXPECT_EQ(frames, 13);  // 13 x 16 ms reach the 200 ms
  EXPECT_EQ(m->Height(), full);
  EXPECT_EQ(f.Codes("m"), (std::vector<int>{PR_ONOPENING, PR_ONOPENED}));
}

TEST(MenuAnimation, ClosingShrinksThenTheMenuGoesAfterItsHandlers) {
  MenuScene f;
  TNovaMenu* m = f.Menu("m", Props({{PR_DELAY, Int(100)}}));
  f.ClearEvents();
  const TObjectRef ref(m);
  m->SetMenuState(TNovaMenu::kClosing);
  f.Step();
  EXPECT_TRUE(m->Closing());
  EXPECT_TRUE(m->IsEventBlocked());
  EXPECT_EQ(f.Codes("m"), (std::vector<int>{PR_ONCLOSING}));
  const uint32_t start = FrameClock().Total;
  while (m->Phase() == TNovaMenu::kCloseShrink) {
    f.Step();
    const uint32_t elapsed = FrameClock().Total - start;
    if (elapsed < 100) {
      EXPECT_EQ(m->Height(), static_cast<int32_t>(48 - elapsed * 48 / 100));
    }
  }
  EXPECT_EQ(m->Height(), 0);
  EXPECT_EQ(f.Codes("m"), (std::vector<int>{PR_ONCLOSING, PR_ONCLOSED}));
  // While a closing handler waits or runs the menu stays.
  f.Step();
  f.scene.Events().Entry(0).Level = 1;
  f.Step();
  EXPECT_NE(f.scene.Resolve(ref), nullptr);
  RunHandlers(f);
  f.Step();
  EXPECT_EQ(f.scene.Resolve(ref), nullptr);
}

TEST(MenuAnimation, AnAutoScrapChoiceClosesAtOnceAndGoesAfterTheHandlers) {
  MenuScene f;
  TNovaMenu* m = f.Menu("m", Props({{PR_AUTOSCRAP, Flag(true)}, {PR_DELAY, Int(500)}}));
  f.ClearEvents();
  const TObjectRef ref(m);
  f.Click(4, 20);  // the second row
  EXPECT_EQ(f.store.SelStr, "cd");
  EXPECT_EQ(f.store.SelIndex, 1);
  EXPECT_EQ(ReadProperty(*m, PR_INDEX).Int, 1);
  f.Step();
  EXPECT_EQ(f.Events(), (std::vector<std::string>{"m:72(cd,1)", "m:76", "m:77"}));
  EXPECT_EQ(m->Height(), 48);  // no closing animation
  f.Step();
  EXPECT_NE(f.scene.Resolve(ref), nullptr);
  RunHandlers(f);
  f.Step();
  EXPECT_EQ(f.scene.Resolve(ref), nullptr);
}

TEST(MenuAnimation, ARightClickAnywhereCancelsAndClosesAnimated) {
  for (bool scrap : {true, false}) {
    MenuScene f;
    TNovaMenu* m = f.Menu("m", Props({{PR_RCLICKSCRAP, Flag(scrap)}, {PR_DELAY, Int(50)}}));
    f.ClearEvents();
    f.store.SelStr = "old";
    f.store.SelIndex = 4;
    f.MoveMouse(150, 110);  // far from the menu
    f.PressRight();
    f.Step();
    EXPECT_EQ(f.Mouse().RightPressedThisFrame, !scrap);  // the menu took the click
    EXPECT_EQ(f.store.SelIndex, scrap ? -1 : 4);
    EXPECT_EQ(f.store.SelStr, scrap ? "" : "old");
    EXPECT_EQ(m->MenuState(), scrap ? TNovaMenu::kClosing : TNovaMenu::kOpen);
    f.Release();
    for (int i = 0; i < 8; ++i) f.Step();
    EXPECT_EQ(f.Codes("m"), scrap ? (std::vector<int>{PR_ONCLOSING, PR_ONCLOSED}) : std::vector<int>{});
  }
}

TEST(MenuAnimation, EscapeCancelsAMenuThatClosesOnRightClicks) {
  MenuScene f;
  TNovaMenu* m = f.Menu("m", Props({{PR_RCLICKSCRAP, Flag(true)}}));
  f.Focus(m);
  f.store.SelIndex = 2;
  f.Key(kVkEscape);
  f.Step();
  EXPECT_EQ(f.store.SelIndex, -1);
  EXPECT_EQ(m->MenuState(), TNovaMenu::kClosing);
  EXPECT_TRUE(m->Closing());
}

TEST(MenuAnimation, KeysAreIgnoredWhileTheMenuIsClosedOrClosing) {
  MenuScene f;
  TNovaMenu* m = f.Menu("m", Props({}), false);
  f.Focus(m);
  f.Key(kVkDown);
  EXPECT_EQ(m->Hovered(), -1);
  m->SetMenuState(TNovaMenu::kOpen);
  f.Focus(m);
  f.Key(kVkDown);
  EXPECT_EQ(m->Hovered(), 0);
  m->SetMenuState(TNovaMenu::kClosing);
  f.Key(kVkDown);
  EXPECT_EQ(m->Hovered(), 0);
  // A closing menu gives the keys up.
  EXPECT_NE(f.scene.Focus(), m);
}

TEST(MenuAnimation, NewStatesCountOpeningAsOpenAndClosingAsClosed) {
  struct Case {
    bool open;
    int32_t state;
    int32_t expectedState, expectedPhase;
    std::vector<int> events;
    int32_t height;
  };
  const Case cases[] = {
      {false, TNovaMenu::kClosing, TNovaMenu::kClosed, TNovaMenu::kIdle, {}, 0},
      {false, TNovaMenu::kOpening, TNovaMenu::kOpening, TNovaMenu::kOpenStart, {}, 0},
      {false, TNovaMenu::kOpen, TNovaMenu::kOpen, TNovaMenu::kIdle, {PR_ONOPENING, PR_ONOPENED}, 48},
      {true, TNovaMenu::kOpening, TNovaMenu::kOpen, TNovaMenu::kIdle, {}, 48},
      {true, TNovaMenu::kClosed, TNovaMenu::kClosed, TNovaMenu::kIdle, {PR_ONCLOSING, PR_ONCLOSED}, 0},
      {true, TNovaMenu::kClosing, TNovaMenu::kClosing, TNovaMenu::kCloseStart, {}, 48},  // shrinks from the next update
      {true, 7, TNovaMenu::kOpen, TNovaMenu::kIdle, {}, 48},
  };
  for (const Case& c : cases) {
    MenuScene f;
    TNovaMenu* m = f.Menu("m", Props({}), c.open);
    f.ClearEvents();
    m->SetMenuState(c.state);
    EXPECT_EQ(m->MenuState(), c.expectedState) << c.open << c.state;
    EXPECT_EQ(m->Phase(), c.expectedPhase) << c.open << c.state;
    EXPECT_EQ(f.Codes("m"), c.events) << c.open << c.state;
    EXPECT_EQ(m->Height(), c.height) << c.open << c.state;
  }
}

TEST(MenuAnimation, AMenuClosedAtOnceStaysWithoutHeightAndAcceptsNoRightClicks) {
  MenuScene f;
  TNovaMenu* m = f.Menu("m", Props({{PR_RCLICKSCRAP, Flag(true)}}));
  m->SetMenuState(TNovaMenu::kClosed);
  WriteProperty(*m, PR_TEXT, Str("a\r\nb"));
  f.Step();
  EXPECT_EQ(m->Height(), 0);
  EXPECT_EQ(m->FullHeight(), 32);
  f.PressRight();
  f.Step();
  EXPECT_TRUE(f.Mouse().RightPressedThisFrame);
  EXPECT_NE(f.scene.FindObject("m"), nullptr);
}

}  // namespace
}  // namespace nova::test
