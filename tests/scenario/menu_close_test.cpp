// MenuClose: the named menu closes with its animation and the page goes on; without such a menu
// the command waits, trying again once per frame, and goes on once the menu exists.
#include <gtest/gtest.h>

#include "objects/nova_control.h"
#include "scenario_test_util.h"

namespace nova::test {
namespace {

constexpr int kMenuClose = 26;

// A menu as the command sees it: its state requests.
class FakeMenu : public TNovaControl {
public:
  using TNovaControl::TNovaControl;
  uint8_t TypeCode() const override { return LT_MENU; }
  int32_t MenuState() const override { return requests.empty() ? 2 : requests.back(); }
  void SetMenuState(int32_t state) override { requests.push_back(state); }
  std::vector<int32_t> requests;
};

void MenuClose(PageBuilder& b, const std::string& name) {
  std::vector<TFieldValue> f;
  f.push_back(FExpr(name));
  b.Add(kMenuClose, 0, std::move(f));
}

TEST(MenuCloseCommand, ClosesTheMenuAnimatedAndGoesOn) {
  FreshFileManager();
  PageBuilder b;
  VarNew(b, "after", 1, "0");
  MenuClose(b, "\"choice\"");
  Calc(b, 0, "after = 1");
  b.Register("main.nsb");
  Machine m;
  auto* menu = m.scene.Make<FakeMenu>();
  menu->SetName("choice");
  menu->SetParent(&m.scene.Displayed());
  m.cm->Start("main.nsb");
  m.Frame();
  EXPECT_EQ(menu->requests, (std::vector<int32_t>{3}));
  EXPECT_EQ(m.Int("after"), 1);
}

TEST(MenuCloseCommand, WithoutTheMenuItWaitsAFrameAtATime) {
  FreshFileManager();
  PageBuilder b;
  VarNew(b, "after", 1, "0");
  MenuClose(b, "\"later\"");
  Calc(b, 0, "after = 1");
  b.Register("main.nsb");
  Machine m;
  // Another control of that name is no menu.
  TNovaControl* other = m.scene.Make<TNovaControl>();
  other->SetName("later");
  other->SetParent(&m.scene.Displayed());
  m.cm->Start("main.nsb");
  m.Frames(3);  // each pass ends at the command instead of repeating it
  EXPECT_EQ(m.Int("after"), 0);
  m.scene.FreeObject(other);
  auto* menu = m.scene.Make<FakeMenu>();
  menu->SetName("later");
  menu->SetParent(&m.scene.Displayed());
  m.Frame();
  EXPECT_EQ(menu->requests, (std::vector<int32_t>{3}));
  EXPECT_EQ(m.Int("after"), 1);
}

}  // namespace
}  // namespace nova::test
