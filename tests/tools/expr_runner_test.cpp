#include <gtest/gtest.h>

#include <sstream>

#include "base/encoding.h"
#include "base/error.h"
#include "authoring/expr_runner.h"
#include "params/param_collection.h"
#include "params/sysfunc.h"
#include "params/var_dump.h"

namespace nova {
namespace {

class ExprRunner : public ::testing::Test {
protected:
  TExprWorkbench bench;
  TParamCollection& store = bench.Store();
  TSysFuncMan& funcs = bench.Funcs();
  std::string Run(const std::string& text, bool hex = false) {
    std::string line;
    RunExpressionLine(store, funcs, text, hex, line);
    return line;
  }
};

// Texts compiled and run one after another against one store.
TEST_F(ExprRunner, EvaluationTable) {
  DeclareVariable(store, "x:real");
  DeclareVariable(store, "i:int");
  DeclareVariable(store, "m:int=-7");
  DeclareVariable(store, "s:str=12");
  DeclareVariable(store, "t:str=ab");
  DeclareVariable(store, "a:int[3,4]");
  DeclareVariable(store, "one:int[3]=1");
  DeclareVariable(store, "名前:str=値");
  struct Case {
    const char* text;
    const char* expect;
  } cases[] = {
      {"1 + 2.5", "int 3"},
      {"2.5 + 1", "real 3.5"},
      {"1 == 1.5", "flag TRUE"},
      {"1.5 == 1", "flag FALSE"},
      {"s + 1", "str 13"},
      {"t + 1", "str 1"},
      {"s ++ 1 + 2", "str 123"},
      {"x = 7 / 2", "none"},
      {"x", "real 3"},
      {"x = 7.0 / 2", "none"},
      {"x", "real 3.5"},
      {"m / 2", "int -3"},
      {"m % 2", "int -1"},
      {"m = -1", "none"},
      {"m >> 28", "int 15"},
      {"1 << 33", "int 2"},
      {"-2.5", "int -2"},
      {"a - 1 - 1", "int -2"},
      {"2147483647 + 1", "int -2147483648"},
      {"0.1 + 0.2 == 0.3", "flag TRUE"},
      {"1.0 / 3", "real 0.333333333333333"},
      {"1e308 * 10", "real 1E309"},  // no overflow in extended precision
      {"@Pi - 3.14159265358979", "real 3.2385118892142E-15"},
      {"@Pi * 1", "real 3.14159265358979"},
      {"@Pi + 0 == 3", "flag FALSE"},
      {"i = @Pi", "none"},
      {"i", "int 3"},
      {"a[1,2] = 5", "none"},
      {"a[1,2]", "int 5"},
      {"a[0,6]", "int 5"},
      {"a[3,0]", "none"},
      {"a[2,3] + one[2]", "int 1"},
      {"i[0]", "int 3"},
      {"名前 ++ \"!\"", "str 値!"},
      {"\"a\\\"b\"", "str a\"b"},
      {"i = 1 / 0", "none"},
      {"i", "int 3"},
      {"x = 1.0 / 0", "none"},
      {"x", "real 3.5"},
      {"i = -2147483648 / -1", "none"},
      {"i = -2147483648 % -1", "none"},
      {"i", "int 3"},
      {"x = 1e4932 * 10", "none"},
      {"x", "real 3.5"},
      {"i = 5 + nothere", "none"},
      {"nothere = 1", "none"},
      {"IntToStr(Length(t))", "str 2"},
      {"1 +", "error 構文エラー"},
      {"Foo(1)", "error \"Foo\" 関数名がありません"},
  };
  for (const auto& c : cases) EXPECT_EQ(Run(c.text), c.expect) << c.text;
  // Only the declared variables remain: every temporary was freed.
  EXPECT_EQ(store.Count(), 58);
}

// The functions that reach display objects run against a scene without objects: they answer
// what a game gets that has no object of that name (the screens answer for themselves).
TEST_F(ExprRunner, ObjectFunctionsAnswerForAGameWithoutTheObject) {
  DeclareVariable(store, "names:str");
  DeclareVariable(store, "n:int=7");
  struct Case {
    const char* text;
    const char* expect;
  } cases[] = {
      {"Exists(\"box\")", "flag FALSE"},
      {"Exists(\"\")", "flag FALSE"},
      {"InPrimary(\"box\")", "flag FALSE"},
      {"InPrimary(\"\")", "flag FALSE"},
      {"ToClientX(\"box\", 12)", "int 12"},
      {"ToClientY(\"box\", -3)", "int -3"},
      {"ToScreenX(\"box\", 5)", "int 5"},
      {"ToScreenY(\"box\", 6)", "int 6"},
      {"GetCheck(\"menu\", 0)", "flag FALSE"},
      {"GetEnabled(\"menu\", 1)", "flag FALSE"},
      {"GetVisible(\"menu\", 1)", "flag FALSE"},
      {"GetSelected(\"menu\", 1)", "flag FALSE"},
      {"GetGroupIndex(\"menu\", 1)", "int 0"},
      {"IndexOfMenu(\"menu\", \"a\")", "int -1"},
      {"SetCheck(\"menu\", 0, TRUE)", "int 0"},
      {"SetProp(\"box\", 5, 3)", "str "},
      {"SetProp(\"\", 8, 255)", "str "},
      {"GetProp(\"\", 8)", "int 255"},  // the displayed screen took the colour
      {"ListCompo(names)", "int 0"},
      {"names", "str "},
      {"GetProp(\"box\", 5)", "int 0"},   // typed by the property, left at its start value
      {"GetProp(\"box\", 50)", "str "},
      {"GetProp(\"\", 5)", "int 640"},  // the displayed screen's width
      {"n = GetProp(\"box\", 5)", "none"},
      {"n", "int 0"},
  };
  for (const auto& c : cases) EXPECT_EQ(Run(c.text), c.expect) << c.text;
}

TEST_F(ExprRunner, HexIsTheCompiledForm) {
  // ocTo "____arg" from the integer 3.
  EXPECT_EQ(Run("3", true), "01000000" "01" "07000000" "5f5f5f5f617267" "01000000" "01" "03000000");
  EXPECT_EQ(Run("(", true), "error 構文エラー");
}

TEST_F(ExprRunner, DeclarationsAndDump) {
  DeclareVariable(store, "n:int=$10");
  DeclareVariable(store, "r:real[2]=0.5");
  DeclareVariable(store, "f:flag=TRUE");
  DeclareVariable(store, "s:str=\"q\"\t\\");
  for (const char* bad : {"noType", "x:float", "x:int[0]", "x:int[2", "1x:int", "x:int[a]"}) {
    EXPECT_THROW(DeclareVariable(store, bad), ENovaError) << bad;
  }
  EXPECT_EQ(store.Count(), 54);  // refused declarations leave nothing behind
  Run("r[1] = r[1] * 3");
  TParamCollectionItem* ref = store.AddParam(PT_NONE);
  store.SetParamName(ref, "ref");
  static_cast<TParamVar*>(ref->Param.get())->Target = store.FindParam("r");
  static_cast<TParamVar*>(ref->Param.get())->Index = 1;
  store.AddTemporary(PT_INT, "____0");  // temporaries are not shown
  std::ostringstream out;
  DumpVars(store, out);
  EXPECT_EQ(out.str(),
            "{\"name\": \"n\", \"type\": \"int\", \"dims\": [], \"values\": [16]}\n"
            "{\"name\": \"r\", \"type\": \"real\", \"dims\": [2], \"values\": [\"0.5\", \"1.5\"]}\n"
            "{\"name\": \"f\", \"type\": \"flag\", \"dims\": [], \"values\": [true]}\n"
            "{\"name\": \"s\", \"type\": \"str\", \"dims\": [], \"values\": [\"\\\"q\\\"\\t\\\\\"]}\n"
            "{\"name\": \"ref\", \"type\": \"ref\", \"dims\": [], \"values\": [\"1.5\"]}\n");
}

}  // namespace
}  // namespace nova
