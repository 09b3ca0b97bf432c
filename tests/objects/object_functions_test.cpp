// The functions and system variables that reach objects by name, run as compiled expressions.
#include <gtest/gtest.h>

#include "objects/input_vars.h"
#include "objects/object_fixtures.h"
#include "objects/object_functions.h"
#include "params/param_collection.h"
#include "params/parser.h"
#include "params/sysfunc.h"

namespace nova::test {
namespace {

struct Machine : SceneFixture {
  Machine() : funcs(store) {
    RegisterObjectFunctions(funcs, scene);
    RegisterInputVariables(funcs, scene, nullptr);
  }
  TCustomParam& Var(const std::string& name, uint8_t type) {
    TParamCollectionItem* item = store.AddParam(type);
    store.SetParamName(item, name);
    return *item->Param;
  }
  void Run(const std::string& text) { CompileExpression(text)->Execute(store, funcs); }
  TParamCollection store;
  TSysFuncMan funcs;
};

TEST(ObjectFunctions, GetPropSetPropAndExists) {
  Machine m;
  TestBox* box = m.Box("box", 3, 4, 10, 10);
  TCustomParam& n = m.Var("n", PT_INT);
  TCustomParam& s = m.Var("s", PT_STR);
  TCustomParam& b = m.Var("b", PT_BOOL);
  m.Run("SetProp(\"box\", 3, 25)");
  EXPECT_EQ(box->Left(), 25);
  m.Run("n = GetProp(\"box\", 3) + 1");
  EXPECT_EQ(n.GetAsInt(), 26);
  m.Run("s = GetProp(\"box\", 1)");
  EXPECT_EQ(s.GetAsStr(), "\x01" "BASE0");
  m.Run("b = Exists(\"box\")");
  EXPECT_TRUE(b.GetAsBool());
  m.Run("b = Exists(\"\")");
  EXPECT_FALSE(b.GetAsBool());
  m.Run("b = Exists(\"Box\")");
  EXPECT_FALSE(b.GetAsBool());
  n.SetAsInt(-5);
  m.Run("n = GetProp(\"nobody\", 3)");  // no object: the result keeps its initial value
  EXPECT_EQ(n.GetAsInt(), 0);
}

TEST(ObjectFunctions, ListCompoByTypeAndParent) {
  Machine m;
  TestBox* a = m.Box("a", 0, 0, 1, 1);
  m.Box("a1", 0, 0, 1, 1, a);
  m.Box("b", 0, 0, 1, 1);
  m.scene.Make<TestTimer>()->SetName("t");
  TCustomParam& list = m.Var("list", PT_STR);
  TCustomParam& n = m.Var("n", PT_INT);
  struct Case {
    std::string call;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"ListCompo(list)", {"a", "a1", "b", "t"}},
      {"ListCompo(list, 2)", {"a", "a1", "b"}},
      {"ListCompo(list, 15)", {"t"}},
      {"ListCompo(list, 256 + 15)", {"t"}},  // one byte
      {"ListCompo(list, 40)", {"a", "a1", "b", "t"}},
      {"ListCompo(list, 0, \"a\")", {"a1"}},
      {"ListCompo(list, 0, \"\")", {"a", "b"}},
      {"ListCompo(list, 0, \"t\")", {}},
      {"ListCompo(list, 9)", {}},
  };
  for (const Case& c : cases) {
    m.Run("n = " + c.call);
    EXPECT_EQ(n.GetAsInt(), static_cast<int32_t>(c.names.size())) << c.call;
    if (c.names.empty()) {
      EXPECT_EQ(list.GetCount(), 1) << c.call;
      EXPECT_EQ(list.GetAsStr(), "") << c.call;
      continue;
    }
    ASSERT_EQ(list.GetCount(), static_cast<int>(c.names.size())) << c.call;
    for (size_t i = 0; i < c.names.size(); ++i) EXPECT_EQ(list.GetStrAt(static_cast<int>(i)), c.names[i]) << c.call;
  }
}

TEST(ObjectFunctions, CoordinatesAndInPrimary) {
  Machine m;
  TestBox* a = m.Box("a", 10, 20, 5, 5);
  m.Box("b", 1, 2, 5, 5, a);
  m.Box("back", 0, 0, 5, 5, &m.scene.BackScreen());
  TCustomParam& n = m.Var("n", PT_INT);
  TCustomParam& f = m.Var("f", PT_BOOL);
  const std::pair<const char*, int32_t> cases[] = {
      {"n = ToClientX(\"b\", 30)", 19}, {"n = ToClientY(\"b\", 30)", 8},  {"n = ToScreenX(\"b\", 0)", 11},
      {"n = ToScreenY(\"b\", 1)", 23},  {"n = ToClientX(\"zz\", 30)", 30},
  };
  for (const auto& [call, expected] : cases) {
    m.Run(call);
    EXPECT_EQ(n.GetAsInt(), expected) << call;
  }
  m.Run("f = InPrimary(\"b\")");
  EXPECT_TRUE(f.GetAsBool());
  m.Run("f = InPrimary(\"back\")");
  EXPECT_FALSE(f.GetAsBool());
  m.Run("f = InPrimary(\"\")");
  EXPECT_FALSE(f.GetAsBool());
}

TEST(ObjectVariables, ActiveCompoAndHeldButtons) {
  Machine m;
  TestBox* a = m.Box("a", 0, 0, 10, 10);
  TestBox* b = m.Box("b", 20, 0, 10, 10);
  a->SetHandleKey(true);
  TCustomParam& s = m.Var("s", PT_STR);
  TCustomParam& f = m.Var("f", PT_BOOL);
  m.Frame();
  m.Run("s = @ActiveCompo");
  EXPECT_EQ(s.GetAsStr(), "a");
  m.Run("@ActiveCompo = \"b\"");  // no key handler: refused
  EXPECT_EQ(m.scene.Focus(), a);
  b->SetHandleKey(true);
  m.Run("@ActiveCompo = \"b\"");
  EXPECT_EQ(m.scene.Focus(), b);
  // A held button that an object captured is not the scenario's.
  m.MoveMouse(2, 2);
  m.PressLeft();
  m.Frame();
  m.Run("f = @LPush");
  EXPECT_FALSE(f.GetAsBool());
  m.ReleaseButtons();
  m.Frame();
  m.MoveMouse(50, 40);
  m.PressLeft();
  m.Frame();
  m.Run("f = @LPush");
  EXPECT_TRUE(f.GetAsBool());
}

}  // namespace
}  // namespace nova::test
