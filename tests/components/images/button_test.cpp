// Buttons driven by the mouse through the scene: hover, press, release and click, capture while
// pressed, the clicked animation, auto-scrap, radio groups, and the centred caption.
#include <gtest/gtest.h>

#include "components/component_fixtures.h"
#include "components/images/nova_button.h"
#include "text/label_list.h"

namespace nova::test {
namespace {

constexpr uint32_t kNormalPx = 0x800000, kHoverPx = 0x008000, kPressedPx = 0x000080, kClickedPx = 0x808080;

struct ButtonScene : ComponentScene {
  ButtonScene() {
    AddFile("n.bri", BriBytes({Solid(8, 8, kNormalPx)}));
    AddFile("h.bri", BriBytes({Solid(8, 8, kHoverPx)}));
    AddFile("p.bri", BriBytes({Solid(8, 8, kPressedPx)}));
    AddFile("c.bri", BriBytes({Solid(8, 8, kClickedPx, 50), Solid(8, 8, kClickedPx, 50)}));
  }
  TNovaButton* Button(const std::string& name, int32_t x, std::vector<std::pair<int, TPropValue>> props = {}) {
    props.insert(props.begin(), {{PR_SOURCE, Str("n.bri")},
                                 {PR_HOVERSOURCE, Str("h.bri")},
                                 {PR_PRESSEDSOURCE, Str("p.bri")},
                                 {PR_LEFT, Int(x)},
                                 {PR_TOP, Int(10)},
                                 {PR_ONNOTIFY, Str("click")},
                                 {PR_ONLBTNDOWN, Str("down")},
                                 {PR_ONLBTNUP, Str("up")}});
    return Create<TNovaButton>(LT_BUTTON, name, props);
  }
  // Clicks at (x, 12): press in one frame, release in the next.
  void Click(int32_t x) {
    MoveMouse(x, 12);
    Frame();
    PressLeft();
    Frame();
    Release();
    Frame();
  }
};

TEST(Button, HoverPressReleaseAndClick) {
  ButtonScene f;
  TNovaButton* b = f.Button("b", 10);
  f.Frame();
  EXPECT_EQ(f.Px(12, 12), kNormalPx);
  f.MoveMouse(12, 12);
  f.Frame();
  EXPECT_EQ(b->ButtonState(), 1);
  EXPECT_EQ(f.Px(12, 12), kHoverPx);
  f.PressLeft();
  f.scene.ProcessInput(16);
  EXPECT_EQ(b->ButtonState(), 2);
  EXPECT_EQ(b->PressTracking(), 1);
  EXPECT_FALSE(f.Mouse().LeftPressedThisFrame);  // the button took the press (@LClick stays false)
  f.scene.UpdateScene(16);
  f.scene.PaintScene();
  EXPECT_EQ(f.Px(12, 12), kPressedPx);
  f.Release();
  f.Frame();
  // A button posts its click, never its button-down or button-up.
  EXPECT_EQ(f.Events(), std::vector<std::string>{"b:33"});
  EXPECT_EQ(b->ButtonState(), 0);
  EXPECT_EQ(b->PressTracking(), 0);
  f.MoveMouse(13, 12);
  f.Frame();
  EXPECT_EQ(b->ButtonState(), 1);
  f.MoveMouse(40, 40);
  f.Frame();
  EXPECT_EQ(b->ButtonState(), 0);
  EXPECT_EQ(f.Px(12, 12), kNormalPx);
}

TEST(Button, APressedButtonFollowsTheMouseAndReleasingOutsideDoesNotClick) {
  ButtonScene f;
  TNovaButton* b = f.Button("b", 10);
  f.MoveMouse(12, 12);
  f.Frame();
  f.PressLeft();
  f.Frame();
  f.MoveMouse(40, 12);  // still captured: no mouse-out, the button shows normal
  f.Frame();
  EXPECT_EQ(b->ButtonState(), 0);
  f.MoveMouse(14, 12);
  f.Frame();
  EXPECT_EQ(b->ButtonState(), 2);
  f.MoveMouse(40, 12);
  f.Frame();
  f.Release();
  f.Frame();
  EXPECT_TRUE(f.Events().empty());
  EXPECT_EQ(b->PressTracking(), 0);
}

TEST(Button, TheClickedAnimationPlaysOnceThenTheButtonReturns) {
  ButtonScene f;
  TNovaButton* b = f.Button("b", 10, {{PR_CLICKEDSOURCE, Str("c.bri")}, {PR_ONPLAYEND, Str("end")}});
  f.Click(12);
  EXPECT_EQ(b->ButtonState(), 3);
  EXPECT_EQ(f.Px(12, 12), kClickedPx);
  f.MoveMouse(13, 12);  // hovering during the clicked state is remembered
  f.Frame();
  EXPECT_EQ(b->ButtonState(), 3);
  EXPECT_EQ(b->PendingButtonState(), 1);
  for (int i = 0; i < 8 && b->ButtonState() == 3; ++i) f.Frame();
  EXPECT_EQ(b->ButtonState(), 1);
  EXPECT_EQ(f.Events(), (std::vector<std::string>{"b:33", "b:43"}));
  EXPECT_EQ(f.Px(12, 12), kHoverPx);
}

TEST(Button, AutoScrapWithoutClickedPicturesGoesAfterTheClick) {
  ButtonScene f;
  f.Button("b", 10, {{PR_AUTOSCRAP, Flag(true)}});
  f.MoveMouse(12, 12);
  f.Frame();
  f.PressLeft();
  f.Frame();
  f.Release();
  f.scene.ProcessInput(16);
  EXPECT_EQ(f.Events(), std::vector<std::string>{"b:33"});  // posted before the button goes
  f.scene.UpdateScene(16);
  EXPECT_EQ(f.scene.FindObject("b"), nullptr);
}

TEST(Button, RadioGroups) {
  struct Case {
    bool allowAllUp;
    std::vector<int> clicks;  // buttons clicked in turn
    std::vector<bool> selected;
  };
  const Case cases[] = {
      {false, {}, {true, false, false}},      // a group without allow-all-up selects its first
      {false, {1}, {false, true, false}},
      {false, {1, 1}, {false, true, false}},  // clicking the selected one keeps it
      {true, {1}, {false, true, false}},
      {true, {1, 1}, {false, false, false}},  // allow-all-up: clicking it again leaves none
  };
  for (const Case& c : cases) {
    ButtonScene f;
    std::vector<TNovaButton*> group;
    for (int i = 0; i < 3; ++i) {
      group.push_back(f.Button("g" + std::to_string(i), 2 + 12 * i));
      WriteProperty(*group.back(), PR_ALLOWALLUP, Flag(c.allowAllUp));
      WriteProperty(*group.back(), PR_GROUPINDEX, Int(1));
    }
    for (int i : c.clicks) f.Click(4 + 12 * i);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(ReadProperty(*group[i], PR_SELECTED).Flag, c.selected[i]) << i;
      EXPECT_EQ(group[i]->ButtonState() == 2, c.selected[i]) << i;
    }
  }
  // Selecting a button outside any group is ignored.
  ButtonScene f;
  TNovaButton* b = f.Button("b", 10);
  WriteProperty(*b, PR_SELECTED, Flag(true));
  EXPECT_FALSE(ReadProperty(*b, PR_SELECTED).Flag);
  // Allow-all-up is shared by the whole group.
  TNovaButton* x = f.Button("x", 20, {{PR_GROUPINDEX, Int(2)}});
  TNovaButton* y = f.Button("y", 30, {{PR_GROUPINDEX, Int(2)}});
  WriteProperty(*y, PR_ALLOWALLUP, Flag(true));
  EXPECT_TRUE(ReadProperty(*x, PR_ALLOWALLUP).Flag);
}

TEST(Button, TheCaptionIsCentredAndMovesWhenPressed) {
  ButtonScene f;
  TNovaButton* b = f.Button("b", 10, {{PR_WIDTH, Int(30)}, {PR_HEIGHT, Int(20)}, {PR_TEXT, Str("AB")},
                                      {PR_FONTHEIGHT, Int(12)}, {PR_FONTCOLOR, Int(0xFFFFFF)}});
  f.Frame();
  // The same caption drawn by hand over the same picture.
  auto expectCaption = [&](int shift) {
    TDIBX ref;
    ref.SetSize(64, 48, 32);
    ref.Fill(0);
    const uint32_t picture = b->ButtonState() == 2 ? kPressedPx : kNormalPx;
    ref.FillRect(TRect{10, 10, 40, 30}, picture);
    TKtLabelList labels(f.glyphs);
    labels.FontSize = 12;
    labels.TextColor = 0xFFFFFF;
    labels.Target = &ref;
    TKtLabelDIB& label = labels.Add("AB");
    labels.MeasureAll();
    labels.Draw(label, 10 + (30 - label.Width) / 2 + shift, 10 + (20 - label.Height) / 2 + shift);
    int ink = 0;
    for (int y = 10; y < 30; ++y)
      for (int x = 10; x < 40; ++x) {
        ASSERT_EQ(f.Px(x, y), ref.GetPixel(x, y)) << x << "," << y;
        ink += ref.GetPixel(x, y) != picture;
      }
    EXPECT_GT(ink, 20);
  };
  expectCaption(0);
  f.MoveMouse(15, 15);
  f.Frame();
  f.PressLeft();
  f.Frame();
  EXPECT_EQ(b->ButtonState(), 2);
  expectCaption(1);
  EXPECT_EQ(ReadProperty(*b, PR_TEXT).Str, "AB");
  EXPECT_EQ(ReadProperty(*b, PR_FONTHEIGHT).Int, 12);
}

}  // namespace
}  // namespace nova::test
