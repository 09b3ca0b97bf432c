// Choosing menu items through the scene's input: hovering with its map-in and map-out events,
// choosing by mouse and by key, moving with Up, Down, Page Up and Page Down, and the scroll
// bar's arrows, track and thumb with their repeat while held.
#include <gtest/gtest.h>

#include "menu_fixtures.h"

namespace nova::test {
namespace {

std::string Items(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += "i" + std::to_string(i) + "\r\n";
  return text;
}

TEST(MenuInput, HoveringPostsMapInAndMapOutWithTextAndIndex) {
  MenuScene f;
  TNovaMenu* m = f.Menu("m", {{PR_LEFT, Int(10)}, {PR_TOP, Int(10)}, {PR_TEXT, Str("ab\r\ncd\r\nef")},
                              {PR_ROWCOUNT, Int(3)}, {PR_ONMAPIN, Str("in")}, {PR_ONMAPOUT, Str("out")}});
  f.ClearEvents();
  f.MoveMouse(14, 12);
  f.Step();
  EXPECT_EQ(m->Hovered(), 0);
  EXPECT_EQ(f.Events(), (std::vector<std::string>{"m:104(ab,0)"}));
  f.MoveMouse(14, 14);  // a map-in waits: none again
  f.Step();
  f.MoveMouse(14, 30);
  f.Step();
  EXPECT_EQ(f.Events(), (std::vector<std::string>{"m:104(ab,0)"}));
  EXPECT_EQ(m->Hovered(), 1);
  f.ClearEvents();  // the handler has run
  f.MoveMouse(14, 12);  // straight onto the first row again: only its map-in
  f.Step();
  EXPECT_EQ(f.Events(), (std::vector<std::string>{"m:104(ab,0)"}));
  f.ClearEvents();
  f.MoveMouse(100, 100);
  f.Step();
  EXPECT_EQ(f.Events(), (std::vector<std::string>{"m:105(ab,0)"}));
  EXPECT_EQ(m->Hovered(), -1);
}

TEST(MenuInput, PressAndReleaseOnAnItemChoosesIt) {
  MenuScene f;
  TNovaMenu* m = f.Menu("m", {{PR_LEFT, Int(10)}, {PR_TOP, Int(10)}, {PR_TEXT, Str("ab\r\ncd\r\nef")},
                              {PR_ROWCOUNT, Int(3)}, {PR_ONSELECT, Str("sel")}});
  f.ClearEvents();
  f.MoveMouse(14, 45);
  f.PressLeft();
  f.Step();
  EXPECT_FALSE(f.Mouse().LeftPressedThisFrame);  // the press is the menu's
  EXPECT_EQ(m->DragMode(), TNovaCustomListBox::kItemArea);
  f.Release();
  f.Step();
  EXPECT_EQ(f.store.SelStr, "ef");
  EXPECT_EQ(f.store.SelIndex, 2);
  EXPECT_EQ(ReadProperty(*m, PR_INDEX).Int, 2);
  EXPECT_EQ(f.Events(), (std::vector<std::string>{"m:72(ef,2)"}));
  EXPECT_EQ(m->DragMode(), TNovaCustomListBox::kNoDrag);
}

TEST(MenuInput, ReleasingAwayFromTheItemsChoosesNothing) {
  MenuScene f;
  TNovaMenu* m = f.Menu("m", {{PR_TEXT, Str("ab\r\ncd")}, {PR_ROWCOUNT, Int(2)}, {PR_ONSELECT, Str("sel")}});
  f.store.SelIndex = 9;
  f.MoveMouse(4, 4);
  f.PressLeft();
  f.Step();
  f.MoveMouse(120, 100);  // the menu keeps the mouse while pressed
  f.Step();
  f.Release();
  f.Step();
  EXPECT_EQ(f.store.SelIndex, 9);
  EXPECT_EQ(m->Hovered(), -1);
  EXPECT_TRUE(f.Events().empty());
}

TEST(MenuInput, KeysMoveTheHoverAndScrollItIntoView) {
  struct Case {
    int32_t from;
    int key;
    int32_t hovered, top;
  };
  // Ten items, three rows, the list scrolled to item 4.
  const Case cases[] = {
      {-1, kVkUp, 9, 7},    {-1, kVkDown, 0, 0},     {-1, kVkPageUp, 9, 7}, {-1, kVkPageDown, 0, 0},
      {5, kVkUp, 4, 4},     {5, kVkDown, 6, 4},      {5, kVkPageUp, 2, 2},  {5, kVkPageDown, 8, 6},
      {9, kVkDown, 9, 4},   {0, kVkUp, -1, 4},       {1, kVkPageUp, 0, 0},  {8, kVkPageDown, 9, 7},
  };
  for (const Case& c : cases) {
    MenuScene f;
    TNovaMenu* m = f.Menu("m", {{PR_TEXT, Str(Items(10))}, {PR_ROWCOUNT, Int(3)}});
    m->SetHovered(c.from);
    WriteProperty(*m, PR_TOPINDEX, Int(4));
    f.Focus(m);
    f.Key(c.key);
    EXPECT_EQ(m->Hovered(), c.hovered) << c.from << " " << c.key;
    EXPECT_EQ(m->TopIndex(), c.top) << c.from << " " << c.key;
  }
}

TEST(MenuInput, EnterOrSpaceChoosesTheHoveredItem) {
  for (int key : {kVkEnter, kVkSpace}) {
    MenuScene f;
    TNovaMenu* m = f.Menu("m", {{PR_TEXT, Str("ab\r\ncd")}, {PR_ROWCOUNT, Int(2)}, {PR_ONSELECT, Str("sel")}});
    f.Focus(m);
    f.Key(key);  // nothing hovered yet
    EXPECT_TRUE(f.Events().empty());
    f.Key(kVkDown);
    f.Key(kVkDown);
    f.Key(key);
    EXPECT_EQ(f.Events(), (std::vector<std::string>{"m:72(cd,1)"})) << key;
    EXPECT_EQ(f.store.SelStr, "cd");
  }
}

TEST(MenuInput, AHeldArrowScrollsAtTheRepeatTimes) {
  MenuScene f;
  TNovaMenu* m = f.Menu("m", {{PR_TEXT, Str(Items(40))}, {PR_ROWCOUNT, Int(2)}, {PR_SCROLLSOURCE, Str("scroll.bri")}});
  f.Step();
  // The down arrow: the bar's 5 pixels at the right, the last 4 rows.
  const int32_t x = m->Width() - 3, y = m->Height() - 2;
  ASSERT_EQ(m->PartAt(TPoint{x, y}), TNovaCustomListBox::kDownArrow);
  f.MoveMouse(x, y);
  f.PressLeft();
  f.Step(10);
  EXPECT_EQ(m->TopIndex(), 1);  // once at the press
  std::vector<int32_t> scrolledAt;
  int32_t top = 1;
  for (int32_t t = 10; t <= 500; t += 10) {
    f.Step(10);
    if (m->TopIndex() != top) scrolledAt.push_back(t), top = m->TopIndex();
  }
  EXPECT_EQ(scrolledAt, (std::vector<int32_t>{300, 350, 400, 450, 500}));
  EXPECT_TRUE(m->ArrowPressedLook());
  // Off the arrow the repeats stop and the arrow looks released; back on they go on.
  f.MoveMouse(x, 2);
  for (int i = 0; i < 10; ++i) f.Step(10);
  EXPECT_EQ(m->TopIndex(), top);
  EXPECT_FALSE(m->ArrowPressedLook());
  f.MoveMouse(x, y);
  for (int i = 0; i < 5; ++i) f.Step(10);  // the next expiry, 50 ms after the last one
  EXPECT_EQ(m->TopIndex(), top + 1);
  EXPECT_TRUE(m->ArrowPressedLook());
  f.Release();
  f.Step(10);
  EXPECT_FALSE(m->ArrowPressedLook());
  EXPECT_EQ(m->DragMode(), TNovaCustomListBox::kNoDrag);
}

TEST(MenuInput, TheTrackPagesAndTheThumbDrags) {
  MenuScene f;
  TNovaMenu* m = f.Menu("m", {{PR_TEXT, Str(Items(10))}, {PR_ROWCOUNT, Int(3)}, {PR_SCROLLSOURCE, Str("scroll.bri")}});
  f.Step();
  const int32_t x = m->Width() - 3;
  // 48 high: arrows at 0 and 44, the thumb travels 48 - 12 = 36 pixels over 7 steps.
  f.MoveMouse(x, 40);
  f.PressLeft();
  f.Step();
  EXPECT_EQ(m->TopIndex(), 3);  // one page down
  EXPECT_TRUE(m->TrackPressedLook());
  f.Release();
  f.Step();
  EXPECT_FALSE(m->TrackPressedLook());
  // Grab the thumb (at 4 + 36 * 3 / 7 = 19) by its middle and drag it to the far end.
  const TNovaCustomListBox::TGeometry g = m->Geometry();
  ASSERT_EQ(g.Thumb.Top, 19);
  f.MoveMouse(x, 21);
  f.PressLeft();
  f.Step();
  EXPECT_EQ(m->DragMode(), TNovaCustomListBox::kThumb);
  f.MoveMouse(x, 21 + 36);
  f.Step();
  EXPECT_EQ(m->TopIndex(), 7);
  f.MoveMouse(x, 6 + 36 * 2 / 7);  // the middle of the thumb's place for row 2
  f.Step();
  EXPECT_EQ(m->TopIndex(), 2);
  f.MoveMouse(x, -50);
  f.Step();
  EXPECT_EQ(m->TopIndex(), 0);
  f.Release();
  f.Step();
}

TEST(MenuInput, APausedMenuIgnoresItsItems) {
  MenuScene f;
  TNovaMenu* m = f.Menu("m", {{PR_TEXT, Str("ab\r\ncd")}, {PR_ROWCOUNT, Int(2)}, {PR_PAUSED, Flag(true)},
                              {PR_ONSELECT, Str("sel")}});
  f.Click(4, 4);
  EXPECT_EQ(m->Hovered(), -1);
  EXPECT_TRUE(f.Events().empty());
  f.Focus(m);
  f.Key(kVkDown);
  EXPECT_EQ(m->Hovered(), -1);
}

}  // namespace
}  // namespace nova::test
