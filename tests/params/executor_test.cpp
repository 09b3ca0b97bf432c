#include <gtest/gtest.h>

#include "base/encoding.h"
#include "base/error.h"
#include "exec_helpers.h"
#include "params/executor.h"
#include "params/param_collection.h"
#include "params/param_convert.h"
#include "params/sysfunc.h"

namespace nova {
namespace {

using test::Build;

// The value of Result as "type text", or "none".
std::string Show(const TNovaParser& p) {
  if (!p.Result) return "none";
  static const char* names[] = {"ref", "int", "real", "flag", "str"};
  return std::string(names[p.Result->GetParamType()]) + " " + p.Result->GetAsStr();
}

class Executor : public ::testing::Test {
protected:
  TParamCollection store;
  TSysFuncMan funcs{store};
  TNovaParser parser;

  TParamCollectionItem* Var(const std::string& name, uint8_t type, std::vector<int32_t> dims = {}) {
    TParamCollectionItem* item = store.AddParam(type);
    store.SetParamName(item, name);
    if (!dims.empty()) item->Param->SetDims(dims);
    return item;
  }
  // One binary operation into a temporary, then into ____arg.
  std::string Binary(uint8_t op, const std::string& a, const std::string& b) {
    return Run({{op, "____0", {a, b}}, {ocTo, "____arg", {"____0"}}});
  }
  std::string Run(std::initializer_list<test::OpSpec> ops) {
    Build(parser, ops);
    parser.Execute(store, funcs);
    EXPECT_EQ(store.Count(), storeSizeAfterSetUp_) << "temporaries must be freed";
    return Show(parser);
  }
  void SetUp() override {
    Var("i", PT_INT)->Param->SetAsInt(-7);
    Var("big", PT_INT)->Param->SetAsInt(INT32_MIN);
    Var("r", PT_FLOAT)->Param->SetAsFloat(2.5L);
    Var("s", PT_STR)->Param->SetAsStr("12");
    Var("t", PT_STR)->Param->SetAsStr("ab");
    Var("f", PT_BOOL)->Param->SetAsBool(true);
    Var("x", PT_FLOAT);
    TParamCollectionItem* a = Var("a", PT_INT, {3, 4});
    for (int k = 0; k < 12; ++k) a->Param->SetIntAt(k, k * 10);
    storeSizeAfterSetUp_ = store.Count();
  }
  int storeSizeAfterSetUp_ = 0;
};

TEST_F(Executor, OperatorTable) {
  struct Case {
    uint8_t op;
    const char *a, *b, *expect;
  } cases[] = {
      // Typing follows operand 0.
      {ocPlus, "1", "2.5", "int 3"},
      {ocPlus, "2.5", "1", "real 3.5"},
      {ocPlus, "s", "1", "str 13"},
      {ocPlus, "t", "1", "str 1"},
      {ocPlus, "f", "1", "int 2"},
      {ocMinus, "1", "3", "int -2"},
      {ocMinus, "0", "2.5", "int -2"},
      {ocMul, "r", "2", "real 5"},
      {ocMul, "65536", "65536", "int 0"},  // 32-bit wrap-around
      {ocPlus, "2147483647", "1", "int -2147483648"},
      {ocMinus, "big", "1", "int 2147483647"},
      {ocMul, "big", "-1", "int -2147483648"},
      {ocDiv, "7", "2", "int 3"},
      {ocDiv, "7.0", "2", "real 3.5"},
      {ocDiv, "i", "2", "int -3"},
      {ocDiv, "1", "3.0", "int 0"},
      {ocDiv, "1.0", "3", "real 0.333333333333333"},
      {ocMod, "i", "2", "int -1"},
      {ocMod, "7", "-2", "int 1"},
      {ocMod, "7.9", "2", "int 1"},
      {ocMod, "big", "2", "int 0"},
      {ocOr, "12", "3", "int 15"},
      {ocAnd, "12", "6", "int 4"},
      {ocXor, "12", "6", "int 10"},
      {ocShiftL, "1", "33", "int 2"},
      {ocShiftL, "1", "31", "int -2147483648"},
      {ocShiftR, "-1", "28", "int 15"},
      {ocShiftR, "big", "31", "int 1"},
      {ocComboStr, "s", "1", "str 121"},
      {ocComboStr, "1.5", "f", "str 1.5TRUE"},
      {ocPlus, "0.1", "0.2", "real 0.3"},
      // Comparisons: kind chosen by operand 0.
      {ocEqual, "1", "1.5", "flag TRUE"},
      {ocEqual, "1.5", "1", "flag FALSE"},
      {ocEqual, "s", "12", "flag TRUE"},
      {ocEqual, "\"abc\"", "\"ABC\"", "flag FALSE"},
      {ocSmall, "\"ab\"", "\"abc\"", "flag TRUE"},
      {ocBig, "\"b\"", "\"abc\"", "flag TRUE"},
      {ocBig, "\"\x82\xA0\"", "\"z\"", "flag TRUE"},  // bytes compare unsigned
      {ocSmall, "\"B\"", "\"a\"", "flag TRUE"},       // case-sensitive
      {ocEBig, "\"ab\"", "\"ab\"", "flag TRUE"},
      {ocESmall, "2", "1", "flag FALSE"},
      {ocNEqual, "2", "1", "flag TRUE"},
      {ocBig, "f", "FALSE", "flag TRUE"},
      {ocEqual, "f", "5", "flag TRUE"},
      {ocSmall, "-1", "1", "flag TRUE"},
      {ocBig, "big", "0", "flag FALSE"},
      {ocEqual, "r", "2.5", "flag TRUE"},
      {ocEqual, "0.3", "0.1", "flag FALSE"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Binary(c.op, c.a, c.b), c.expect) << OpeCodeName(c.op) << " " << c.a << " " << c.b;
  }
}

TEST_F(Executor, SumOfExtendedRealsCompares) {
  EXPECT_EQ(Run({{ocPlus, "____0", {"0.1", "0.2"}}, {ocEqual, "____1", {"____0", "0.3"}}, {ocTo, "____arg", {"____1"}}}),
            "flag TRUE");
}

TEST_F(Executor, ErrorsEndTheRunAndKeepEarlierEffects) {
  struct Case {
    uint8_t op;
    const char *a, *b;
  } cases[] = {
      {ocDiv, "1", "0"},       {ocMod, "1", "0"},      {ocDiv, "big", "-1"}, {ocMod, "big", "-1"},
      {ocDiv, "1.0", "0"},     {ocDiv, "0.0", "0"},    {ocDiv, "r", "0.0"},  {ocMul, "1e4000", "1e4000"},
      {ocPlus, "1e4932", "1e4932"}, {ocPlus, "nothere", "1"},
  };
  for (const auto& c : cases) {
    store.FindParam("i")->Param->SetAsInt(-7);
    store.FindParam("x")->Param->SetAsFloat(4);
    EXPECT_EQ(Run({{ocTo, "i", {"99"}}, {c.op, "____0", {c.a, c.b}}, {ocTo, "x", {"____0"}}, {ocTo, "____arg", {"____0"}}}),
              "none")
        << OpeCodeName(c.op) << " " << c.a << " " << c.b;
    EXPECT_EQ(store.FindParam("i")->Param->GetAsInt(), 99);  // before the error: done
    EXPECT_EQ(store.FindParam("x")->Param->GetAsFloat(), 4);  // after it: skipped
  }
  // An unknown destination stops the expression silently too.
  EXPECT_EQ(Run({{ocTo, "i", {"5"}}, {ocTo, "nosuch", {"1"}}, {ocTo, "i", {"6"}}}), "none");
  EXPECT_EQ(store.FindParam("i")->Param->GetAsInt(), 5);
}

TEST_F(Executor, AssignmentConvertsToTheDestinationType) {
  EXPECT_EQ(Run({{ocDiv, "____0", {"7", "2"}}, {ocTo, "x", {"____0"}}}), "none");  // an assignment has no Result
  EXPECT_EQ(store.FindParam("x")->Param->GetAsFloat(), 3);
  Run({{ocTo, "i", {"2.9"}}});
  EXPECT_EQ(store.FindParam("i")->Param->GetAsInt(), 2);
  Run({{ocTo, "s", {"f"}}});
  EXPECT_EQ(store.FindParam("s")->Param->GetAsStr(), "TRUE");
  Run({{ocTo, "f", {"\"true\""}}});
  EXPECT_FALSE(store.FindParam("f")->Param->GetAsBool());
  // A whole-value assignment turns the array into a plain variable.
  Run({{ocTo, "a", {"5"}}});
  EXPECT_EQ(store.FindParam("a")->Param->GetCount(), 1);
  EXPECT_EQ(store.FindParam("a")->Param->GetAsInt(), 5);
}

TEST_F(Executor, ArrayElements) {
  struct Case {
    std::vector<std::string> dimOperands;
    const char* expect;
  } cases[] = {
      {{"a", "1", "2"}, "int 60"},   // row-major: 1 * 4 + 2
      {{"a", "0", "5"}, "int 50"},   // indices are not checked one by one
      {{"a", "2", "3"}, "int 110"},
      {{"a", "3", "0"}, "none"},     // past the element count
      {{"a", "1"}, "none"},          // wrong number of indices
      // Negative: passes the set-up and fails at the access in the assignment to ____arg, after
      // that temporary was created, so Result is its initial value.
      {{"a", "-1", "0"}, "int 0"},
      {{"i", "0"}, "int -7"},        // a plain variable has one dimension
      {{"s", "0"}, "str 12"},
  };
  for (const auto& c : cases) {
    test::OpSpec dim{ocDimTo, "____d_0", {}};
    dim.operands = c.dimOperands;
    EXPECT_EQ(Run({dim, {ocTo, "____arg", {"____d_0"}}}), c.expect) << c.dimOperands[1];
  }
  // Writing through the element keeps the array.
  Run({{ocPlus, "____0", {"1", "1"}}, {ocDimTo, "____d_1", {"a", "____0", "1"}}, {ocTo, "____d_1", {"7"}}});
  EXPECT_EQ(store.FindParam("a")->Param->GetIntAt(9), 7);
  EXPECT_EQ(store.FindParam("a")->Param->GetCount(), 12);
  // The element reference is an operand of a later operation.
  EXPECT_EQ(Run({{ocDimTo, "____d_0", {"a", "1", "1"}}, {ocPlus, "____1", {"____d_0", "1"}}, {ocTo, "____arg", {"____1"}}}),
            "int 51");
}

TEST_F(Executor, ElementSetUpAndItsErrorTexts) {
  struct Case {
    std::vector<std::string> operands;
    int32_t index;
    const char* error;
  } cases[] = {
      {{"a", "1", "2"}, 6, nullptr},
      {{"a", "0", "11"}, 11, nullptr},
      {{"a", "-1", "0"}, -4, nullptr},
      {{"a", "3", "0"}, 0, "a[3,0]\r\n要素数を超えています"},
      {{"a", "1"}, 0, "a[1]\r\n添え字が不正です"},
      {{"a", "1", "2", "3"}, 0, "a[1,2,3]\r\n添え字が不正です"},
  };
  for (const auto& c : cases) {
    TNovaParser p;
    test::OpSpec desc{ocDimTo, "____d_0", {}};
    desc.operands = c.operands;
    Build(p, {desc});
    TOpeData& op = *p.Operations[0];
    static_cast<TParamVar&>(*op.Operands[0]).Target = store.FindParam("a");
    TParamVar element;
    try {
      SetUpElement(op, element);
      EXPECT_EQ(c.error, nullptr) << c.operands[1];
      EXPECT_EQ(element.Target, store.FindParam("a"));
      EXPECT_EQ(element.Index, c.index);
    } catch (const ENovaError& e) {
      EXPECT_EQ(SjisToUtf8(e.Message()), c.error ? c.error : "(none)");
    }
  }
}

TEST_F(Executor, InvalidOperationCodes) {
  EXPECT_EQ(Run({{ocTo, "i", {"1"}}, {ocNone, "____0", {"1"}}, {ocTo, "i", {"2"}}}), "none");
  EXPECT_EQ(store.FindParam("i")->Param->GetAsInt(), 1);
  EXPECT_EQ(Run({{21, "____0", {}}, {ocTo, "____arg", {"1"}}}), "none");
}

TEST_F(Executor, ResultIsACopyOfArg) {
  // ____arg takes the whole value of its operand: element 0 of an array.
  EXPECT_EQ(Run({{ocTo, "____arg", {"a"}}}), "int 0");
  EXPECT_EQ(parser.Result->GetCount(), 1);
  EXPECT_EQ(Run({{ocTo, "____arg", {"s"}}}), "str 12");
  store.FindParam("s")->Param->SetAsStr("changed");
  EXPECT_EQ(parser.Result->GetAsStr(), "12");  // a stand-alone copy
  EXPECT_EQ(Run({{ocEqual, "____0", {"1", "1"}}, {ocTo, "____arg", {"____0"}}}), "flag TRUE");
  // Only when the last operation is the assignment to ____arg.
  EXPECT_EQ(Run({{ocTo, "____arg", {"1"}}, {ocTo, "i", {"3"}}}), "none");
  EXPECT_EQ(Run({}), "none");
}

TEST_F(Executor, TemporariesAndStoreVariablesShareNames) {
  // A "____" destination that already exists is used, not created, and survives the run.
  TParamCollectionItem* outer = Var("____5", PT_STR);
  storeSizeAfterSetUp_ = store.Count();
  Run({{ocTo, "____5", {"42"}}});
  EXPECT_EQ(outer->Param->GetAsStr(), "42");
}

TEST_F(Executor, CalcReusesATemporaryOfTheRunningExpression) {
  // The inner statement's "____0" is the outer expression's temporary: it is set, not created,
  // and the inner run does not free it.
  EXPECT_EQ(Run({{ocTo, "____0", {"1"}}, {ocFunc, "____1", {"\"____0 = 5\""}, 136}, {ocTo, "____arg", {"____0"}}}),
            "int 5");
}

TEST_F(Executor, VarNewAndVarDel) {
  TNovaParser init;
  Build(init, {{ocTo, "____arg", {"2.9"}}});
  VarNew(store, "n", PT_INT, init, VS_GLOBAL, funcs);
  ASSERT_TRUE(store.FindParam("n"));
  EXPECT_EQ(store.FindParam("n")->Param->GetAsInt(), 2);
  // An existing global re-assigns through the command's setter, keeping its own type.
  VarNew(store, "s", PT_FLOAT, init, VS_GLOBAL, funcs);
  EXPECT_EQ(store.FindParam("s")->Param->ClassCode(), kClassStr);
  EXPECT_EQ(store.FindParam("s")->Param->GetAsStr(), "2.9");
  // A status variable keeps its value.
  VarNew(store, "st", PT_INT, init, VS_STATUS, funcs);
  store.FindParam("st")->Param->SetAsInt(8);
  VarNew(store, "st", PT_INT, init, VS_STATUS, funcs);
  EXPECT_EQ(store.FindParam("st")->Param->GetAsInt(), 8);
  EXPECT_EQ(store.FindParam("st")->IsStatus, 1);
  // Scopes.
  store.CurrentLevel = 3;
  VarNew(store, "loc", PT_STR, init, VS_LOCAL, funcs);
  VarNew(store, "auto", PT_STR, init, VS_AUTODESTROY, funcs);
  EXPECT_EQ(store.FindParam("loc")->Level, 3);
  EXPECT_EQ(store.FindParam("loc")->IsLocal, 1);
  EXPECT_EQ(store.FindParam("auto")->Level, 3);
  VarNew(store, "n", PT_INT, init, VS_LOCAL, funcs);  // a local beside the global of that name
  EXPECT_EQ(store.FindParam("n")->IsLocal, 1);
  store.CurrentLevel = 2;
  EXPECT_FALSE(store.FindParam("loc"));
  EXPECT_TRUE(store.FindParam("auto"));
  EXPECT_EQ(store.FindParam("n")->IsLocal, 0);
  store.FreeLevel(3);
  EXPECT_FALSE(store.FindParam("auto"));
  store.CurrentLevel = 3;
  EXPECT_FALSE(store.FindParam("loc"));
  // Without a result the variable keeps its value.
  TNovaParser assign;
  Build(assign, {{ocTo, "i", {"1"}}});
  VarNew(store, "n", PT_INT, assign, VS_GLOBAL, funcs);
  EXPECT_EQ(store.FindParam("n")->Param->GetAsInt(), 2);
  // Errors.
  EXPECT_THROW(VarNew(store, "", PT_INT, init, VS_GLOBAL, funcs), ENovaError);
  EXPECT_THROW(VarNew(store, "1x", PT_INT, init, VS_GLOBAL, funcs), ENovaError);
  int count = store.Count();
  VarDel(store, "");
  VarDel(store, "unknown");
  EXPECT_EQ(store.Count(), count);
  VarDel(store, "N");
  EXPECT_EQ(store.Count(), count - 1);
  VarDel(store, "@Pi");
  EXPECT_EQ(store.Count(), count - 1);
}

}  // namespace
}  // namespace nova

namespace nova {
namespace {

TEST(TemporaryTyping, ByOperationAndOperandZero) {
  struct Case {
    uint8_t op;
    std::vector<std::string> operands;
    uint8_t func;
    int type;
  } cases[] = {
      {ocTo, {"1.5"}, 0, PT_FLOAT},        {ocTo, {"\"s\""}, 0, PT_STR},       {ocTo, {"TRUE"}, 0, PT_BOOL},
      {ocPlus, {"\"s\"", "1"}, 0, PT_STR}, {ocPlus, {"1.5", "1"}, 0, PT_FLOAT}, {ocPlus, {"TRUE", "1"}, 0, PT_INT},
      {ocPlus, {"1", "\"s\""}, 0, PT_INT}, {ocMinus, {"\"s\"", "1"}, 0, PT_INT}, {ocDiv, {"1.5", "1"}, 0, PT_FLOAT},
      {ocMul, {"1", "1.5"}, 0, PT_INT},    {ocMod, {"1.5", "1"}, 0, PT_INT},    {ocShiftR, {"1.5", "1"}, 0, PT_INT},
      {ocXor, {"1", "1"}, 0, PT_INT},      {ocEqual, {"1", "1"}, 0, PT_BOOL},  {ocNEqual, {"1", "1"}, 0, PT_BOOL},
      {ocComboStr, {"1", "1"}, 0, PT_STR}, {ocDimTo, {"1", "1"}, 0, PT_NONE},
      {ocFunc, {"1"}, 5, PT_INT},          // Length
      {ocFunc, {"1"}, 38, PT_FLOAT},       // Float
      {ocFunc, {"1"}, 0, PT_STR},          // IntToStr
      {ocFunc, {"1"}, 20, PT_BOOL},        // Not
      // GetProp: the type of the property in argument 2.
      {ocFunc, {"\"o\"", "95"}, 2, PT_FLOAT}, {ocFunc, {"\"o\"", "47"}, 2, PT_BOOL},
      {ocFunc, {"\"o\"", "0"}, 2, PT_STR},    {ocFunc, {"\"o\"", "162"}, 2, PT_INT},
  };
  for (const auto& c : cases) {
    TNovaParser p;
    test::Build(p, {{c.op, "____0", c.operands, c.func}});
    EXPECT_EQ(TemporaryType(*p.Operations[0]), c.type) << OpeCodeName(c.op) << " " << c.operands[0];
  }
  for (const char* prop : {"163", "-1"}) {
    TNovaParser p;
    test::Build(p, {{ocFunc, "____0", {"\"o\"", prop}, 2}});
    try {
      TemporaryType(*p.Operations[0]);
      ADD_FAILURE() << prop;
    } catch (const ENovaError& e) {
      EXPECT_EQ(SjisToUtf8(e.Message()), "GetPropの引数が違います");
    }
  }
  TNovaParser bad;
  test::Build(bad, {{ocNone, "____7", {"1", "\"x\""}}});
  try {
    TemporaryType(*bad.Operations[0]);
    ADD_FAILURE();
  } catch (const ENovaError& e) {
    EXPECT_EQ(SjisToUtf8(e.Message()), "不正な式\r\n\r\n代入先:____7演算タイプ:ocNone\r\n1\r\nx");
  }
}

}  // namespace
}  // namespace nova
