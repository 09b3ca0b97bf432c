// Variables: expansion against the variable store or a value list, collapsing, and the
// expression=value lines kept for the history.
#include <gtest/gtest.h>

#include "authoring/expr_runner.h"
#include "params/param_collection.h"
#include "params/sysfunc.h"
#include "text_test_util.h"

namespace nova::test {
namespace {

class Vars : public ::testing::Test {
protected:
  TParamCollection store;
  TSysFuncMan funcs{store};
  TKtWord w;

  void SetStr(const char* name, const std::string& sjis) {
    DeclareVariable(store, std::string(name) + ":str");
    store.FindParam(name)->Param->SetAsStr(sjis);
  }
  std::string Shown() const {
    std::string out;
    for (int i = 0; i < w.Count(); ++i) {
      if (auto* c = dynamic_cast<const TWdChar*>(w.Glyph(i))) out += SjisToUtf8(c->Text());
      if (dynamic_cast<const TWdOpeReturn*>(w.Glyph(i))) out += "|";
    }
    return out;
  }
};

TEST_F(Vars, ExpandIntoCharactersWithTheVariablesAttributes) {
  SetStr("name", Sj("太郎\r\n次") + "\x07!");
  Build(w, "<A HREF=l><WAIT VALUE=9><FONT SIZE=30>[<VAR NAME=\" name \">]");
  ASSERT_EQ(w.Count(), 3);
  const int counted = w.CountGlyphs();
  w.ExpandVars(store, funcs);
  EXPECT_EQ(Shown(), "[太郎|次!]") << "CR becomes a line break, other control characters are dropped";
  auto* var = static_cast<TWdOpeVar*>(w.Glyph(1));
  ASSERT_EQ(var->Expansion.size(), 5u);
  auto* c = dynamic_cast<TWdVarChar*>(w.Glyph(2));
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->Var, var);
  EXPECT_EQ(c->Size(), 30);
  EXPECT_EQ(c->Decorate(), var->Decorate());
  EXPECT_EQ(c->Wait, 9);
  EXPECT_EQ(c->Link, "l");
  EXPECT_NE(dynamic_cast<TWdVarReturn*>(w.Glyph(4)), nullptr);
  EXPECT_EQ(w.CountGlyphs(), counted) << "what a variable expands into does not count";

  // Expanding again shows the new value once; collapsing takes it away.
  store.FindParam("name")->Param->SetAsStr("x");
  w.ExpandVars(store, funcs);
  EXPECT_EQ(Shown(), "[x]");
  w.CollapseVars();
  EXPECT_EQ(Shown(), "[]");
  EXPECT_EQ(var->Decorate()->RefCount, 3);
}

TEST_F(Vars, ExpressionsAreComputedAndErrorsShowNothing) {
  DeclareVariable(store, "n:int=4");
  Build(w, "<VAR NAME=\"n * 10 + 2\">/<VAR NAME=\"1 +\">/<VAR NAME=\"nosuch\">/<VAR NAME=\"n = 7\">");
  w.ExpandVars(store, funcs);
  EXPECT_EQ(Shown(), "42///");
  EXPECT_TRUE(static_cast<TWdOpeVar*>(w.Glyph(4))->CompileFailed);  // var 4 2 / var
  EXPECT_EQ(store.FindParam("n")->Param->GetAsInt(), 7) << "an assignment runs";
}

TEST_F(Vars, ARangeExpandsOnlyItsVariables) {
  SetStr("a", "A");
  Build(w, "<VAR NAME=a>-<VAR NAME=a>-<VAR NAME=a>");
  w.ExpandVars(store, funcs, 2, 3);
  EXPECT_EQ(Shown(), "-A-");
  w.ExpandVars(store, funcs, 0, 0);
  EXPECT_EQ(Shown(), "A-A-");
  w.CollapseVars(3, 3);  // glyphs: var A - var A - var
  EXPECT_EQ(Shown(), "A--");
}

TEST_F(Vars, AValueListReplacesEvaluation) {
  SetStr("name", "live");
  Build(w, "<VAR NAME=name>/<VAR NAME=other>/<VAR NAME=\"a==b\">");
  w.VarValues = {"name=" + Sj("一") + "\x01" + Sj("二"), "a==b=TRUE"};
  w.ExpandVars(store, funcs);
  EXPECT_EQ(Shown(), "一|二//TRUE") << "an expression missing from the list shows nothing";
  TKtWord again;
  Build(again, "<VAR NAME=name>");
  again.VarValues = {"name=kept"};
  again.ExpandVarsFromValues();
  ASSERT_EQ(again.Count(), 5);
}

TEST_F(Vars, CollectsEachExpressionOnce) {
  SetStr("s", Sj("上\r下"));
  DeclareVariable(store, "k:int=5");
  Build(w, "<VAR NAME=s><VAR NAME=\" s \"><VAR NAME=k><VAR NAME=unexpanded>");
  w.ExpandVars(store, funcs, 0, 3);
  std::vector<std::string> list = {"k=old"};
  w.CollectVarValues(list, 0, w.Count() - 2);
  EXPECT_EQ(list, (std::vector<std::string>{"k=old", "s=" + Sj("上") + "\x01" + Sj("下")}));
}

}  // namespace
}  // namespace nova::test
