// The menu functions run as compiled expressions: IndexOfMenu over a menu's item text, and the
// check marks of menu items through GetCheck and SetCheck.
#include <gtest/gtest.h>

#include "components/lists/item_functions.h"
#include "menu_fixtures.h"

namespace nova::test {
namespace {

struct FunctionScene : MenuScene {
  FunctionScene() { RegisterItemFunctions(funcs, scene); }
  ~FunctionScene() { UnregisterItemFunctions(funcs); }
  TCustomParam& Var(const std::string& name, uint8_t type) {
    TParamCollectionItem* item = store.AddParam(type);
    store.SetParamName(item, name);
    return *item->Param;
  }
  void Run(const std::string& text) { CompileExpression(text)->Execute(store, funcs); }
};

TEST(MenuFunctions, IndexOfMenuFindsALineIgnoringAsciiCase) {
  FunctionScene f;
  f.Menu("m", {{PR_TEXT, Str("\r\n Start\r\nLoad\r\nload\r\n")}});
  TCustomParam& n = f.Var("n", PT_INT);
  struct Case {
    std::string call;
    int32_t expected;
  };
  const Case cases[] = {
      {"IndexOfMenu(\"m\", \"LOAD\")", 1},      // the first equal line of the trimmed text
      {"IndexOfMenu(\"m\", \"load\")", 1},
      {"IndexOfMenu(\"m\", \" Start\")", -1},   // the first line's blank went with the trimming
      {"IndexOfMenu(\"m\", \"Start\")", 0},
      {"IndexOfMenu(\"m\", \"quit\")", -1},
      {"IndexOfMenu(\"nobody\", \"Load\")", -1},
      {"IndexOfMenu(\"\", \"Load\")", -1},      // the screen has no items
  };
  for (const Case& c : cases) {
    n.SetAsInt(99);
    f.Run("n = " + c.call);
    EXPECT_EQ(n.GetAsInt(), c.expected) << c.call;
  }
}

TEST(MenuFunctions, ChecksOfMenuItemsGoThroughGetCheckAndSetCheck) {
  FunctionScene f;
  TNovaMenu* m = f.Menu("m", {{PR_TEXT, Str("a\r\nb\r\nc")}, {PR_CHECKSOURCE, Str("check.bri")}});
  TCustomParam& b = f.Var("b", PT_BOOL);
  f.Run("SetCheck(\"m\", 1, TRUE)");
  EXPECT_TRUE(m->GetItemCheck(1));
  f.Run("b = GetCheck(\"m\", 1)");
  EXPECT_TRUE(b.GetAsBool());
  f.Run("b = GetCheck(\"m\", 0)");
  EXPECT_FALSE(b.GetAsBool());
  f.Run("SetCheck(\"m\", 3, TRUE)");  // beyond the items: ignored
  f.Run("b = GetCheck(\"m\", 3)");
  EXPECT_FALSE(b.GetAsBool());
  // Menu items have no enabled, visible or group state of their own.
  f.Run("b = GetEnabled(\"m\", 0)");
  EXPECT_FALSE(b.GetAsBool());
}

}  // namespace
}  // namespace nova::test
