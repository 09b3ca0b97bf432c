// Cabinets hold objects off screen: whatever the cabinet's size or stored visible flag, what it
// holds is neither drawn, hit by the mouse nor chosen as the key focus, and it all comes back
// once it leaves the cabinet.
#include <gtest/gtest.h>

#include <algorithm>

#include "objects/nova_cabinet.h"
#include "objects/object_fixtures.h"

namespace nova::test {
namespace {

constexpr int32_t kRed = 0x0000FF;  // 0x00BBGGRR

struct StoredBox {
  SceneFixture f;
  TNovaCabinet* cabinet = nullptr;
  TestBox* box = nullptr;

  explicit StoredBox(int32_t cabinetSide) {
    f.scene.Displayed().SetColor(0);
    cabinet = f.scene.Make<TNovaCabinet>();
    cabinet->SetName("cab");
    cabinet->SetParent(&f.scene.Displayed());
    cabinet->SetBounds(0, 0, cabinetSide, cabinetSide);
    box = f.Box("box", 10, 10, 20, 20, cabinet, kRed);
    for (int code : {PR_ONLBTNDOWN, PR_ONKEYDOWN, PR_ONMOUSEIN, PR_ONFOCUSIN})
      box->SetProperty(code, TPropValue::OfStr("h.nsb"));
    box->SetHandleKey(true);
  }

  // A click and a key press over the box's place.
  void ClickAndType() {
    f.MoveMouse(15, 15);
    f.Frame();
    f.PressLeft();
    f.scene.Input().SetKeyState(65, true);
    f.Frame();
    f.ReleaseButtons();
    f.scene.Input().SetKeyState(65, false);
    f.Frame();
  }
};

TEST(Cabinet, WhatItHoldsIsNeitherDrawnHitNorFocused) {
  // 0: the size a cabinet is made with; 64: it covers the whole screen.
  for (int32_t side : {0, 64}) {
    StoredBox s(side);
    s.ClickAndType();
    EXPECT_EQ(s.f.scene.Focus(), nullptr) << side;
    EXPECT_EQ(s.f.Events(), std::vector<std::string>{}) << side;
    EXPECT_EQ(s.f.back.GetPixel(15, 15), 0u) << side << ": the screen's black, not the stored box";
    EXPECT_EQ(s.f.scene.Displayed().HitTest(TPoint{15, 15}, kLeftPressModes), &s.f.scene.Displayed()) << side;
  }
}

TEST(Cabinet, ObjectsTakenOutAreShownAgain) {
  StoredBox s(64);
  s.f.Frame();
  s.box->SetParent(&s.f.scene.Displayed());
  s.ClickAndType();
  EXPECT_EQ(s.f.scene.Focus(), s.box);
  EXPECT_EQ(s.f.back.GetPixel(15, 15), 0xFF0000u);  // red as 0x00RRGGBB
  const std::vector<std::string> events = s.f.Events();
  for (const char* code : {"box:103", "box:148", "box:36(5,5)", "box:144(65)"})
    EXPECT_EQ(std::count(events.begin(), events.end(), code), 1) << code;
}

}  // namespace
}  // namespace nova::test
