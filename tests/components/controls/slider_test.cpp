// Sliders and scroll bars: layout from the pictures, the thumb's place for a value, presses on
// the thumb, the bar and the buttons, dragging, the auto-repeat of held buttons and of paging,
// the events with the value, keys and the wheel, and ranges that are empty or span 32 bits.
#include <gtest/gtest.h>

#include <climits>

#include "components/controls/control_fixtures.h"
#include "objects/key_codes.h"

namespace nova::test {
namespace {

struct LayoutCase {
  const char* what;
  int type;
  bool vertical;
  int32_t width, height;
  TRect bar, thumb, second;
};

TEST(Slider, LaysItselfOutFromItsPicturesAndPlacesTheThumbForTheValue) {
  // Bar 200 long, thumb 10, buttons 16: a slider's bar starts half a thumb after the button, a
  // scroll bar's track right after it; value 50 of 0..100 is 100 pixels along a slider's bar and
  // 95 along the 190 a scroll bar's thumb travels.
  const LayoutCase cases[] = {
      {"slider", LT_SLIDER, false, 242, 20, {21, 5, 221, 15}, {116, 0, 126, 20}, {226, 2, 242, 18}},
      {"vertical slider", LT_SLIDER, true, 20, 242, {5, 21, 15, 221}, {0, 116, 20, 126}, {2, 226, 18, 242}},
      {"scroll bar", LT_SCROLLBAR, false, 232, 20, {16, 5, 216, 15}, {111, 0, 121, 20}, {216, 2, 232, 18}},
      {"vertical scroll bar", LT_SCROLLBAR, true, 20, 232, {5, 16, 15, 216}, {0, 111, 20, 121}, {2, 216, 18, 232}},
  };
  for (const LayoutCase& c : cases) {
    ControlScene f;
    TNovaSlider* s = f.Slider(c.type, c.vertical, 0, 100, 50);
    EXPECT_EQ(s->Width(), c.width) << c.what;
    EXPECT_EQ(s->Height(), c.height) << c.what;
    EXPECT_EQ(s->BarRect(), c.bar) << c.what;
    EXPECT_EQ(s->ThumbRect(), c.thumb) << c.what;
    EXPECT_EQ(s->ButtonRect(0), (c.vertical ? TRect{2, 0, 18, 16} : TRect{0, 2, 16, 18})) << c.what;
    EXPECT_EQ(s->ButtonRect(1), c.second) << c.what;
  }
}

TEST(Slider, BarSizeReplacesTheLengthAndNoBarMeansNoSize) {
  ControlScene f;
  TNovaSlider* s = f.Slider(LT_SLIDER, false, 0, 100, 50, {{PR_BARSIZE, Int(100)}});
  EXPECT_EQ(s->Width(), 100 + 10 + 32);
  EXPECT_EQ(s->ThumbRect().Left, 16 + 50);
  WriteProperty(*s, PR_ORIENTATION, Int(OT_VERTICAL));
  EXPECT_EQ(s->Height(), 100 + 20 + 32) << "the horizontal thumb picture is 20 high";
  WriteProperty(*s, PR_SOURCE, Str(""));
  EXPECT_EQ(s->Width(), 0);
  EXPECT_EQ(s->Height(), 0);
  f.Frame();  // nothing to paint, nothing fails
}

TEST(Slider, PaintsTheValuePartUpToTheThumbAndTheStatesOfThumbAndButtons) {
  struct Probe {
    int32_t x, y;
    uint32_t px;
  };
  struct PaintCase {
    bool vertical;
    std::vector<Probe> probes;
  };
  // Value 50: the value part runs from the left (from the bottom of a vertical bar) to the thumb.
  const PaintCase cases[] = {
      {false, {{21 + 50, 10, kValuePx}, {21 + 150, 10, kRestPx}, {120, 10, kThumbPx[0]}, {5, 10, kButtonPx[0]},
               {230, 10, kButtonPx[3]}}},
      {true, {{10, 221 - 50, kValuePx}, {10, 21 + 50, kRestPx}, {10, 120, kThumbPx[0]}, {10, 5, kButtonPx[0]},
              {10, 230, kButtonPx[3]}}},
  };
  for (const PaintCase& c : cases) {
    ControlScene f;
    f.Slider(LT_SLIDER, c.vertical, 0, 100, 50);
    f.Frame();
    for (const Probe& p : c.probes)
      EXPECT_EQ(f.LocalPx(p.x, p.y), p.px) << (c.vertical ? "vertical " : "") << p.x << "," << p.y;
  }
}

TEST(Slider, AClickOnTheBarSetsTheValueThereAndGrabsTheThumb) {
  struct ClickCase {
    bool vertical;
    TPoint press;  // 50 pixels from the bar's start (upward from a vertical bar's end)
    TPoint step;   // then 20 pixels toward higher values
  };
  for (const ClickCase& c : {ClickCase{false, {21 + 50, 10}, {20, 0}}, ClickCase{true, {10, 221 - 50}, {0, -20}}}) {
    ControlScene f;
    TNovaSlider* s = f.Slider(LT_SLIDER, c.vertical, 0, 100, 50);
    f.MoveTo(c.press.X, c.press.Y);
    f.PressLeft();
    f.Run(10);
    EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, 25);
    EXPECT_EQ(s->DragMode(), TNovaSlider::kThumbDrag);
    EXPECT_EQ(s->ThumbState(), TNovaSlider::kPressed);
    EXPECT_EQ(f.Events(), (std::vector<std::string>{"s:135", "s:33(25)"}));
    f.ClearEvents();
    f.MoveTo(c.press.X + c.step.X, c.press.Y + c.step.Y);
    f.Run(10);
    EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, 35) << "the thumb follows the pointer";
    f.Release();
    f.Run(10);
    EXPECT_EQ(f.Events(), (std::vector<std::string>{"s:33(35)", "s:136"}));
    EXPECT_EQ(s->DragMode(), TNovaSlider::kNoDrag);
    EXPECT_EQ(s->ThumbState(), TNovaSlider::kHover) << "released under the pointer";
  }
}

TEST(Slider, DraggingTheThumbKeepsWhereItWasGrabbed) {
  struct DragCase {
    const char* what;
    int type;
    bool vertical;
    TPoint grab, to;
    int32_t value;
  };
  // A slider grabbed one pixel before its thumb's centre (a vertical one: below it); a scroll
  // bar 4 pixels into its thumb (19 pixels of 190 per 10). Past the ends the value stays at the
  // range's limits.
  const DragCase cases[] = {
      {"slider +20 px", LT_SLIDER, false, {120, 10}, {140, 10}, 60},
      {"slider far right", LT_SLIDER, false, {120, 10}, {400, 10}, 100},
      {"slider far left", LT_SLIDER, false, {120, 10}, {-300, 10}, 0},
      {"vertical slider 20 px up", LT_SLIDER, true, {10, 122}, {10, 102}, 60},
      {"scroll bar +19 px", LT_SCROLLBAR, false, {115, 10}, {134, 10}, 60},
      {"vertical scroll bar 19 px down", LT_SCROLLBAR, true, {10, 115}, {10, 134}, 60},
  };
  for (const DragCase& c : cases) {
    ControlScene f;
    TNovaSlider* s = f.Slider(c.type, c.vertical, 0, 100, 50);
    f.MoveTo(c.grab.X, c.grab.Y);
    f.PressLeft();
    f.Run(10);
    EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, 50) << c.what << ": grabbing moves nothing";
    EXPECT_EQ(f.Events(), (std::vector<std::string>{"s:135"})) << c.what;
    f.MoveTo(c.to.X, c.to.Y);
    f.Run(10);
    EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, c.value) << c.what;
  }
}

TEST(Slider, ButtonsStepInTheDirectionOfTheirOrientation) {
  struct ButtonCase {
    const char* what;
    int type;
    bool vertical;
    int button;
    int32_t value;
  };
  const ButtonCase cases[] = {
      {"slider left", LT_SLIDER, false, 0, 47},          {"slider right", LT_SLIDER, false, 1, 53},
      {"vertical slider top", LT_SLIDER, true, 0, 53},   {"vertical slider bottom", LT_SLIDER, true, 1, 47},
      {"scroll bar left", LT_SCROLLBAR, false, 0, 47},   {"scroll bar right", LT_SCROLLBAR, false, 1, 53},
      {"vertical scroll bar top", LT_SCROLLBAR, true, 0, 47},
      {"vertical scroll bar bottom", LT_SCROLLBAR, true, 1, 53},
  };
  for (const ButtonCase& c : cases) {
    ControlScene f;
    TNovaSlider* s = f.Slider(c.type, c.vertical, 0, 100, 50, {{PR_SMALLCHANGE, Int(3)}});
    const TRect b = s->ButtonRect(c.button);
    f.MoveTo(b.Left + 8, b.Top + 8);
    f.PressLeft();
    f.Run(10);
    EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, c.value) << c.what;
    EXPECT_EQ(s->ButtonState(c.button), TNovaSlider::kPressed) << c.what;
    EXPECT_EQ(f.Events(), (std::vector<std::string>{"s:33(" + std::to_string(c.value) + ")"})) << c.what;
  }
}

TEST(Slider, AHeldButtonRepeatsAfter300MsThenEvery50WhileThePointerIsOnIt) {
  ControlScene f;
  TNovaSlider* s = f.Slider(LT_SCROLLBAR, false, 0, 100, 50);
  f.MoveTo(224, 10);
  f.PressLeft();
  f.Run(10);
  EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, 51) << "at the press";
  struct Tick {
    int frames;  // of 10 ms after the previous check
    int32_t value;
  };
  // 290 ms after the press nothing more; at 300 ms, 350 ms and 400 ms one step each.
  for (const Tick& t : {Tick{29, 51}, Tick{1, 52}, Tick{4, 52}, Tick{1, 53}, Tick{5, 54}}) {
    f.Run(10, t.frames);
    EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, t.value);
  }
  // Off the button the steps pause and the button shows normal; back on it they go on.
  f.MoveTo(120, 10);
  f.Run(10, 10);
  EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, 54);
  EXPECT_EQ(s->ButtonState(1), TNovaSlider::kNormal);
  f.MoveTo(224, 10);
  f.Run(10, 5);
  EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, 55);
  EXPECT_EQ(s->ButtonState(1), TNovaSlider::kPressed);
  f.Release();
  f.Run(10);
  f.Run(10, 20);
  EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, 55) << "released: no more steps";
  EXPECT_EQ(s->ButtonState(1), TNovaSlider::kHover);
}

TEST(Scrollbar, PagingRepeatsUntilTheThumbReachesThePointer) {
  struct PageCase {
    const char* what;
    int32_t start, along;
    int32_t atPress, final;
  };
  // Large change 10; the thumb is 19 pixels along per 10. Toward the end paging stops once
  // the thumb's far side has passed the pointer (80: thumb 152..162 over 150); toward the
  // start once its near side has (10: thumb at 19 before 20).
  const PageCase cases[] = {{"toward the end", 0, 150, 10, 80}, {"toward the start", 100, 20, 90, 10}};
  for (const PageCase& c : cases) {
    ControlScene f;
    TNovaSlider* s = f.Slider(LT_SCROLLBAR, false, 0, 100, c.start, {{PR_LARGECHANGE, Int(10)}});
    f.MoveTo(16 + c.along, 10);
    f.PressLeft();
    f.Run(10);
    EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, c.atPress) << c.what;
    EXPECT_TRUE(s->TrackPressed()) << c.what;
    f.Run(10, 30);
    EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, c.atPress + (c.final > c.atPress ? 10 : -10)) << c.what;
    f.Run(10, 100);
    EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, c.final) << c.what;
    EXPECT_FALSE(s->TrackPressed()) << c.what << ": no step taken, the track shows normal";
    f.Release();
    f.Run(10);
    EXPECT_EQ(s->DragMode(), TNovaSlider::kNoDrag) << c.what;
  }
}

TEST(Slider, HoverFollowsThePointerAndTheCaptureMask) {
  ControlScene f;
  // A thumb whose left half is transparent by its mask.
  BriFrame thumb;
  thumb.Width = 30, thumb.Height = 20;
  thumb.Color = [](int, int) { return kThumbPx[0]; };
  thumb.Mask = [](int x, int) { return static_cast<uint8_t>(x % 10 < 5 ? 0 : 255); };
  f.AddFile("masked.bri", BriBytes({thumb}));
  TNovaSlider* s = f.Slider(LT_SLIDER, false, 0, 100, 50, {{PR_THUMBSOURCE, Str("masked.bri")}});
  f.MoveTo(118, 10);
  f.Run(10);
  EXPECT_EQ(s->ThumbState(), TNovaSlider::kHover) << "without the capture mask the whole cell counts";
  WriteProperty(*s, PR_CAPTUREMASK, Flag(true));
  f.MoveTo(117, 10);
  f.Run(10);
  EXPECT_EQ(s->ThumbState(), TNovaSlider::kNormal) << "a transparent thumb pixel";
  f.MoveTo(123, 10);
  f.Run(10);
  EXPECT_EQ(s->ThumbState(), TNovaSlider::kHover);
  f.MoveTo(5, 10);
  f.Run(10);
  EXPECT_EQ(s->ThumbState(), TNovaSlider::kNormal);
  EXPECT_EQ(s->ButtonState(0), TNovaSlider::kHover);
  WriteProperty(*s, PR_PAUSED, Flag(true));
  f.MoveTo(6, 10);
  f.Run(10);
  EXPECT_EQ(s->ButtonState(0), TNovaSlider::kNormal) << "paused";
}

TEST(Slider, AnEmptyRangeTakesNoMouseAndPutsTheThumbAtTheStart) {
  struct EmptyCase {
    const char* what;
    int type;
    bool vertical;
    int32_t min, max;
    TRect thumb;
  };
  const EmptyCase cases[] = {
      {"min = max", LT_SLIDER, false, 5, 5, {16, 0, 26, 20}},
      {"max < min", LT_SLIDER, false, 9, 3, {16, 0, 26, 20}},
      {"vertical scroll bar", LT_SCROLLBAR, true, 5, 5, {0, 16, 20, 26}},
  };
  for (const EmptyCase& c : cases) {
    ControlScene f;
    TNovaSlider* s = f.Slider(c.type, c.vertical, c.min, c.max, 7);
    EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, c.min) << c.what;
    EXPECT_EQ(s->ThumbRect(), c.thumb) << c.what;
    for (TPoint p : {TPoint{c.thumb.Left + 5, c.thumb.Top + 5}, TPoint{8, 8}, TPoint{100, 100}, TPoint{10, 60},
                     TPoint{60, 10}}) {
      f.MoveTo(p.X, p.Y);
      f.Run(10);
      EXPECT_EQ(s->ThumbState(), TNovaSlider::kNormal) << c.what;
      EXPECT_EQ(s->ButtonState(0), TNovaSlider::kNormal) << c.what;
      f.PressLeft();
      f.Run(10);
      f.Release();
      f.Run(10);
      EXPECT_EQ(s->DragMode(), TNovaSlider::kNoDrag) << c.what;
    }
    EXPECT_TRUE(f.Events().empty()) << c.what;
    EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, c.min) << c.what;
  }
}

TEST(Slider, ValuesAcrossTheWholeInt32RangeStayExact) {
  struct RangeCase {
    const char* what;
    int32_t min, max, value, smallChange;
    int button;
    int32_t thumbLeft, after;
  };
  const RangeCase cases[] = {
      {"middle of the full range", INT32_MIN, INT32_MAX, 0, 1, 1, 16 + 100, 1},
      {"a step past the top", INT32_MIN, INT32_MAX, INT32_MAX - 1, INT32_MAX, 1, 16 + 200, INT32_MAX},
      {"a step past the bottom", INT32_MIN, INT32_MAX, INT32_MIN + 1, INT32_MAX, 0, 16, INT32_MIN},
      {"a negative step", 0, 100, 50, -10, 1, 16 + 100, 40},
  };
  for (const RangeCase& c : cases) {
    ControlScene f;
    TNovaSlider* s = f.Slider(LT_SLIDER, false, c.min, c.max, c.value, {{PR_SMALLCHANGE, Int(c.smallChange)}});
    EXPECT_EQ(s->ThumbRect().Left, c.thumbLeft) << c.what;
    const TRect b = s->ButtonRect(c.button);
    f.MoveTo(b.Left + 8, b.Top + 8);
    f.PressLeft();
    f.Run(10);
    EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, c.after) << c.what;
  }
  ControlScene f;
  TNovaSlider* s = f.Slider(LT_SLIDER, false, 0, 100, 50, {{PR_BARSIZE, Int(INT32_MAX)}});
  EXPECT_EQ(s->BarLength(), kMaxBarLength) << "a huge bar is limited";
  EXPECT_GT(s->Width(), kMaxBarLength);
  f.Frame();
}

TEST(Slider, ScenarioWritesMoveTheThumbWithoutEventsAndReadsAreClamped) {
  ControlScene f;
  TNovaSlider* s = f.Slider(LT_SLIDER, false, 0, 100, 50);
  f.Frame();
  WriteProperty(*s, PR_VALUE, Int(250));
  EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, 100);
  EXPECT_EQ(s->ThumbRect().Left, 216);
  EXPECT_FALSE(f.Frame().empty()) << "the thumb moved: repainted";
  WriteProperty(*s, PR_MAX, Int(300));
  EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, 250) << "the stored value comes back in range";
  EXPECT_TRUE(f.Events().empty());
}

struct KeyCase {
  const char* what;
  int type;
  bool vertical;
  int key;
  int32_t delta;
};

TEST(Slider, ArrowKeysOfTheFocusedControlStepByTheSmallChange) {
  const KeyCase cases[] = {
      {"slider right", LT_SLIDER, false, kKeyRight, 5},
      {"slider left", LT_SLIDER, false, kKeyLeft, -5},
      {"slider up: not its axis", LT_SLIDER, false, kKeyUp, 0},
      {"vertical slider up", LT_SLIDER, true, kKeyUp, 5},
      {"vertical slider down", LT_SLIDER, true, kKeyDown, -5},
      {"scroll bar right", LT_SCROLLBAR, false, kKeyRight, 5},
      {"vertical scroll bar down", LT_SCROLLBAR, true, kKeyDown, 5},
      {"vertical scroll bar up", LT_SCROLLBAR, true, kKeyUp, -5},
      {"vertical scroll bar left: not its axis", LT_SCROLLBAR, true, kKeyLeft, 0},
  };
  for (const KeyCase& c : cases) {
    ControlScene f;
    TNovaSlider* s = f.Slider(c.type, c.vertical, 0, 100, 50,
                              {{PR_SMALLCHANGE, Int(5)}, {PR_ONKEYREPEAT, Str("k")}});
    s->SetHandleKey(true);
    f.scene.SetFocus(s);
    f.scene.Input().SetKeyState(c.key, true);
    f.Run(10);
    const int32_t value = 50 + c.delta;
    EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, value) << c.what;
    std::vector<std::string> expected;
    if (c.delta != 0) expected.push_back("s:33(" + std::to_string(value) + ")");
    expected.push_back("s:146(" + std::to_string(c.key) + ")");
    EXPECT_EQ(f.Events(), expected) << c.what << ": the step, then the key-repeat event";
  }
}

TEST(Slider, TheWheelStepsAsTheUpAndDownKeys) {
  struct WheelCase {
    const char* what;
    int type;
    bool vertical, up;
    int32_t delta;
  };
  const WheelCase cases[] = {
      {"slider up", LT_SLIDER, false, true, 5},         {"slider down", LT_SLIDER, false, false, -5},
      {"vertical slider up", LT_SLIDER, true, true, 5}, {"scroll bar up", LT_SCROLLBAR, false, true, -5},
      {"vertical scroll bar down", LT_SCROLLBAR, true, false, 5},
  };
  for (const WheelCase& c : cases) {
    ControlScene f;
    TNovaSlider* s = f.Slider(c.type, c.vertical, 0, 100, 50,
                              {{PR_SMALLCHANGE, Int(5)}, {PR_ONWHEELUP, Str("u")}, {PR_ONWHEELDOWN, Str("d")}});
    f.MoveTo(10, 10);
    (c.up ? f.Mouse().WheelUpNow : f.Mouse().WheelDownNow) = true;
    f.Run(10);
    const int32_t value = 50 + c.delta;
    EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, value) << c.what;
    EXPECT_EQ(f.Events(), (std::vector<std::string>{"s:33(" + std::to_string(value) + ")",
                                                    c.up ? "s:41" : "s:40"}))
        << c.what;
  }
}

TEST(Scrollbar, WhilePagingTheTrackOnThePagingSideShowsItsSecondCell) {
  ControlScene f;
  TNovaSlider* s = f.Slider(LT_SCROLLBAR, false, 0, 100, 0, {{PR_LARGECHANGE, Int(10)}});
  f.Frame();
  EXPECT_EQ(f.LocalPx(16 + 100, 10), kRestPx);
  f.MoveTo(16 + 150, 10);
  f.PressLeft();
  f.Run(10);
  ASSERT_EQ(ReadProperty(*s, PR_VALUE).Int, 10);  // thumb at 19..29 along the track
  EXPECT_EQ(f.LocalPx(16 + 10, 10), kRestPx) << "behind the thumb";
  EXPECT_EQ(f.LocalPx(16 + 30, 10), kValuePx) << "after the thumb, toward the pointer";
  EXPECT_EQ(f.LocalPx(16 + 199, 10), kValuePx);
  f.Release();
  f.Run(10);
  EXPECT_EQ(f.LocalPx(16 + 30, 10), kRestPx) << "released";
}

TEST(Slider, APressOnATransparentPixelOfAMaskedBarTakesNothing) {
  ControlScene f;
  // The bar's cells are opaque only in their middle rows (3..6 of 10).
  BriFrame bar;
  bar.Width = 400, bar.Height = 10;
  bar.Color = [](int x, int) { return x < 200 ? kRestPx : kValuePx; };
  bar.Mask = [](int, int y) { return static_cast<uint8_t>(y >= 3 && y <= 6 ? 255 : 0); };
  f.AddFile("masked.bri", BriBytes({bar}));
  TNovaSlider* s = f.Slider(LT_SLIDER, false, 0, 100, 50, {{PR_SOURCE, Str("masked.bri")}});
  f.MoveTo(21 + 50, 5 + 1);
  f.PressLeft();
  f.Run(10);
  f.Release();
  f.Run(10);
  EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, 50);
  EXPECT_TRUE(f.Events().empty());
  f.MoveTo(21 + 50, 5 + 4);
  f.PressLeft();
  f.Run(10);
  EXPECT_EQ(ReadProperty(*s, PR_VALUE).Int, 25) << "an opaque pixel";
}

}  // namespace
}  // namespace nova::test
