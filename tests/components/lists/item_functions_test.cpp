// The item functions run as compiled expressions: buttons as one-item lists, objects without
// items, and item names in place of indices for preview menus.
#include <gtest/gtest.h>

#include "components/component_fixtures.h"
#include "components/lists/item_functions.h"
#include "components/lists/item_list.h"
#include "components/images/nova_button.h"
#include "components/images/nova_prev_images.h"

namespace nova::test {
namespace {

// A preview menu as the item functions see it: two named items with check flags.
class NamedItems : public TNovaControl, public TNovaItemList {
public:
  using TNovaControl::TNovaControl;
  uint8_t TypeCode() const override { return LT_PREVMENU; }
  int ItemCount() const override { return 2; }
  bool GetItemCheck(int i) override { return i >= 0 && i < 2 && checks[static_cast<size_t>(i)]; }
  void SetItemCheck(int i, bool on) override {
    if (i >= 0 && i < 2) checks[static_cast<size_t>(i)] = on;
  }
  int ItemIndexOfName(const std::string& name) override { return name == "start" ? 0 : name == "load" ? 1 : -1; }
  bool checks[2] = {false, false};
};

struct ItemScene : ComponentScene {
  ItemScene() {
    RegisterItemFunctions(funcs, scene);
    AddFile("n.bri", BriBytes({Solid(8, 8, 0x800000)}));
    AddFile("p.bri", BriBytes({Solid(8, 8, 0x000080)}));
  }
  ~ItemScene() { UnregisterItemFunctions(funcs); }
  TCustomParam& Var(const std::string& name, uint8_t type) {
    TParamCollectionItem* item = store.AddParam(type);
    store.SetParamName(item, name);
    return *item->Param;
  }
  void Run(const std::string& text) { CompileExpression(text)->Execute(store, funcs); }
};

TEST(ItemFunctions, AButtonIsAListOfOneItem) {
  ItemScene f;
  auto* a = f.Create<TNovaButton>(LT_BUTTON, "a", {{PR_SOURCE, Str("n.bri")}, {PR_PRESSEDSOURCE, Str("p.bri")}});
  auto* b = f.Create<TNovaButton>(LT_BUTTON, "b", {{PR_SOURCE, Str("n.bri")}, {PR_PRESSEDSOURCE, Str("p.bri")}});
  WriteProperty(*a, PR_GROUPINDEX, Int(4));
  WriteProperty(*b, PR_GROUPINDEX, Int(4));
  TCustomParam& n = f.Var("n", PT_INT);
  TCustomParam& s = f.Var("s", PT_BOOL);
  f.Run("n = GetGroupIndex(\"b\", 0)");
  EXPECT_EQ(n.GetAsInt(), 4);
  f.Run("n = GetGroupIndex(\"b\", 1)");  // beyond the one item
  EXPECT_EQ(n.GetAsInt(), 0);
  f.Run("s = GetSelected(\"a\", 0)");
  EXPECT_TRUE(s.GetAsBool());  // the group's first is selected
  f.Run("SetSelected(\"b\", 0, 1)");
  EXPECT_TRUE(b->Selected());
  EXPECT_FALSE(a->Selected());
  EXPECT_EQ(b->ButtonState(), 2);
  f.Run("SetSelected(\"a\", 3, 1)");  // ignored
  EXPECT_FALSE(a->Selected());
  f.Run("s = GetCheck(\"b\", 0)");
  EXPECT_TRUE(s.GetAsBool());
  f.Run("SetEnabled(\"a\", 0, 0)");
  EXPECT_TRUE(a->Paused());
  f.Run("s = GetEnabled(\"a\", 0)");
  EXPECT_FALSE(s.GetAsBool());
  f.Run("SetVisible(\"a\", 0, 0)");
  EXPECT_FALSE(a->OwnVisible());
  f.Run("s = GetVisible(\"a\", 0)");
  EXPECT_FALSE(s.GetAsBool());
  // Objects without items and unknown names leave the result alone.
  f.Create(LT_IMAGES, "img");
  s.SetAsBool(true);
  f.Run("s = GetSelected(\"img\", 0)");
  EXPECT_FALSE(s.GetAsBool());  // the result temporary starts false
  n.SetAsInt(7);
  f.Run("n = GetGroupIndex(\"nobody\", 0)");
  EXPECT_EQ(n.GetAsInt(), 0);
}

TEST(ItemFunctions, PreviewMenusTakeItemNames) {
  ItemScene f;
  auto* menu = f.scene.Make<NamedItems>();
  menu->SetName("pm");
  TCustomParam& s = f.Var("s", PT_BOOL);
  f.Run("SetCheck(\"pm\", \"load\", 1)");
  EXPECT_TRUE(menu->checks[1]);
  f.Run("SetCheck(\"pm\", \"0\", 1)");  // a number as text is the index
  EXPECT_TRUE(menu->checks[0]);
  f.Run("s = GetCheck(\"pm\", \"load\")");
  EXPECT_TRUE(s.GetAsBool());
  f.Run("SetCheck(\"pm\", \"other\", 0)");  // no such item: index -1, ignored
  EXPECT_TRUE(menu->checks[0] && menu->checks[1]);
}

// A preview menu that counts the pictures that finished.
class PrevOwner : public TNovaControl, public TPrevImagesOwner {
public:
  using TNovaControl::TNovaControl;
  void PrevImageFinished(TNovaPrevImages&) override { ++finished; }
  int finished = 0;
};

TEST(PrevImages, ANewSourceStartsPlainAndTheEndIsReportedOnce) {
  ItemScene f;
  f.AddFile("two.bri", BriBytes({Solid(4, 4, 0xFF0000, 50), Solid(4, 4, 0x00FF00, 50)}));
  auto* owner = f.scene.Make<PrevOwner>();
  owner->SetParent(&f.scene.Displayed());
  auto* pic = f.scene.Make<TNovaPrevImages>(f.services);
  pic->SetParent(owner);
  for (const auto& [id, v] : std::vector<std::pair<int, TPropValue>>{
           {PR_ALPHA, Int(9)}, {PR_ZOOMX, Int(99)}, {PR_FLIPV, Flag(true)}, {PR_CLIPWIDTH, Int(3)},
           {PR_AUTOSCRAP, Flag(true)}})
    WriteProperty(*pic, id, v);
  WriteProperty(*pic, PR_SOURCE, Str("two.bri"));
  EXPECT_EQ(ReadProperty(*pic, PR_ALPHA).Int, 255);
  EXPECT_EQ(ReadProperty(*pic, PR_ZOOMX).Int, 256);
  EXPECT_FALSE(ReadProperty(*pic, PR_FLIPV).Flag);
  EXPECT_EQ(ReadProperty(*pic, PR_CLIPWIDTH).Int, 0);
  for (int i = 0; i < 10; ++i) f.Frame(30);
  EXPECT_EQ(owner->finished, 1);
  EXPECT_NE(f.scene.FindObject(pic->Name()), nullptr);  // never scrapped
  WriteProperty(*pic, PR_INDEX, Int(0));
  for (int i = 0; i < 10; ++i) f.Frame(30);
  EXPECT_EQ(owner->finished, 2);
}

}  // namespace
}  // namespace nova::test
