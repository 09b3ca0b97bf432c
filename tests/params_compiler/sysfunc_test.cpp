// System functions, evaluated through the compiler and the executor.
#include <gtest/gtest.h>

#include "base/encoding.h"
#include "base/error.h"
#include "base/stream.h"
#include "params/datetime.h"
#include "params/jconvert.h"
#include "params/param_collection.h"
#include "params/parser.h"
#include "params/sysfunc.h"
#include "params/sysfunc_call.h"
#include "params/sysfunc_internal.h"

namespace nova {
namespace {

class Eval {
public:
  Eval() : funcs_(store_) {}
  TParamCollection& Store() { return store_; }

  // Declares a variable: type 1..4, optional dimensions.
  TCustomParam& Var(const std::string& utf8Name, uint8_t type, std::vector<int32_t> dims = {}) {
    TParamCollectionItem* item = store_.AddParam(type);
    store_.SetParamName(item, Utf8ToSjis(utf8Name));
    if (!dims.empty()) item->Param->SetDims(dims);
    return *item->Param;
  }
  TCustomParam& Get(const std::string& utf8Name) {
    TParamCollectionItem* item = store_.FindParam(Utf8ToSjis(utf8Name));
    EXPECT_NE(item, nullptr) << utf8Name;
    return *item->Param;
  }

  // "int 3", "real 3.5", "flag TRUE", "str abc" (UTF-8), or "none".
  std::string Run(const std::string& utf8) {
    TBuildNovaParser build;
    build.Build(Utf8ToSjis(utf8));
    TKtMemoryStream code;
    build.SaveToStream(code);
    code.SetPosition(0);
    TNovaParser p;
    p.LoadFromStream(code);
    p.Execute(store_, funcs_);
    if (!p.Result) return "none";
    static const char* const kTypes[] = {"ref", "int", "real", "flag", "str"};
    int t = p.Result->GetParamType();
    return std::string(kTypes[t >= 0 && t <= 4 ? t : 0]) + " " + SjisToUtf8(p.Result->GetAsStr());
  }

private:
  TParamCollection store_;
  TSysFuncMan funcs_;
};

struct TEvalCase {
  const char* Text;
  const char* Expected;
};

void RunTable(Eval& e, const TEvalCase* begin, const TEvalCase* end) {
  for (const TEvalCase* c = begin; c != end; ++c) EXPECT_EQ(e.Run(c->Text), c->Expected) << c->Text;
}

TEST(SysFunc, TableHas152ExactNames) {
  for (int i = 0; i < kSysFuncCount; ++i) {
    const TSysFuncInfo& f = SysFuncInfo(i);
    ASSERT_NE(std::string(f.Name), "") << i;
    EXPECT_EQ(FindSysFunc(f.Name), i) << f.Name;
    EXPECT_TRUE(f.MaxArgs == -1 || f.MaxArgs >= f.MinArgs) << f.Name;
  }
  EXPECT_EQ(FindSysFunc("IntToStr"), 0);
  EXPECT_EQ(FindSysFunc("DBCreateTable"), 87);
  EXPECT_EQ(FindSysFunc("DBClearRecord"), 124);
  EXPECT_EQ(FindSysFunc("SetWallPaper"), 125);
  EXPECT_EQ(FindSysFunc("Calc"), 136);
  EXPECT_EQ(FindSysFunc("ExtractFile"), 151);
  EXPECT_EQ(FindSysFunc("inttostr"), -1);
  EXPECT_EQ(SysFuncInfo(FindSysFunc("DBGetActive")).ResultType, PT_STR);
  EXPECT_EQ(SysFuncInfo(FindSysFunc("DBDirectGetFloat")).ResultType, PT_FLOAT);
  EXPECT_EQ(SysFuncInfo(FindSysFunc("DBRecordCount")).ResultType, PT_INT);
  EXPECT_EQ(SysFuncInfo(FindSysFunc("DBSort")).ResultType, PT_BOOL);
}

TEST(SysFunc, Strings) {
  Eval e;
  e.Var("s", PT_STR).SetAsStr(Utf8ToSjis("漢字a"));
  const TEvalCase cases[] = {
      {"IntToStr(5, 3)", "str 005"},
      {"IntToStr(-5, 3)", "str -005"},
      {"IntToStr(0 - 2147483647 - 1)", "str -2147483648"},
      {"IntToStr(42, 0)", "str 42"},
      {"IntToStr(255, \"4x\")", "str 00FFd"},
      {"IntToStr(5, \"a\")", "none"},  // the format error ends the expression
      {"IntToHex(255, 4)", "str 00FF"},
      {"IntToHex(-1, 2)", "str FFFFFFFF"},
      {"Length(s)", "int 5"},
      {"JLength(s)", "int 3"},
      {"Copy(\"abcdef\", 3)", "str cdef"},
      {"Copy(\"abcdef\", 0, 2)", "str ab"},
      {"Copy(\"abcdef\", 7, 1)", "str "},
      {"JCopy(s, 2, 1)", "str 字"},
      {"JCopy(s, 2)", "str 字a"},
      {"JCopy(s, 9, 1)", "str "},
      {"CompareStr(\"a\", \"z\")", "int -25"},
      {"CompareStr(\"abc\", \"ab\")", "int 1"},
      {"CompareText(\"abc\", \"ABC\")", "int 0"},
      {"CompareText(\"a\", \"_\")", "int -30"},
      {"Pos(\"cd\", \"abcd\")", "int 3"},
      {"Pos(\"\", \"abcd\")", "int 0"},
      {"JPos(\"a\", s)", "int 3"},
      {"JPos(\"\\\\\", \"表\\\\\")", "int 2"},  // 0x5C inside 表 does not match
      {"Trim(\"  a b \")", "str a b"},
      {"JTrim(\"　 a　\")", "str a"},
      {"FixStr(\"a\" ++ Copy(s, 1, 1))", "str a"},
      {"LowerCase(\"AbＡ\")", "str abＡ"},
      {"UpperCase(\"ab\")", "str AB"},
      {"StringOfChar(\"ab\", 3)", "str ababab"},
      {"StringOfChar(\"ab\", -1)", "str "},
      {"StringReplace(\"aXbxc\", \"x\", \"-\")", "str aXb-c"},
      {"StringReplace(\"aXbxc\", \"x\", \"-\", TRUE, TRUE)", "str a-b-c"},
      {"StringReplace(\"axbxc\", \"x\", \"\", TRUE)", "str abc"},
      {"AddDelimiter(\",\", \"\")", "str "},
      {"AddDelimiter(\",\", \"a\")", "str a,"},
  };
  RunTable(e, std::begin(cases), std::end(cases));
}

TEST(SysFunc, DeleteAndInsertChangeTheirVariable) {
  Eval e;
  TCustomParam& s = e.Var("s", PT_STR);
  s.SetAsStr("abcdef");
  EXPECT_EQ(e.Run("Delete(s, 1, 1)"), "str ");  // no result: the temporary stays empty
  EXPECT_EQ(SjisToUtf8(s.GetAsStr()), "bcdef");
  e.Run("Delete(s, 3)");
  EXPECT_EQ(s.GetAsStr(), "bc");
  e.Run("Insert(\"XY\", s, 2)");
  EXPECT_EQ(s.GetAsStr(), "bXYc");
  e.Run("Insert(\"!\", s, 99)");
  EXPECT_EQ(s.GetAsStr(), "bXYc!");
  s.SetAsStr(Utf8ToSjis("あいう"));
  e.Run("JDelete(s, 0, 1)");
  EXPECT_EQ(SjisToUtf8(s.GetAsStr()), "いう");
  e.Run("JDelete(s, 5, 1)");
  EXPECT_EQ(SjisToUtf8(s.GetAsStr()), "いう");
  e.Run("JInsert(\"x\", s, 2)");
  EXPECT_EQ(SjisToUtf8(s.GetAsStr()), "いxう");
  e.Run("JInsert(\"y\", s, -3)");
  EXPECT_EQ(SjisToUtf8(s.GetAsStr()), "yいxう");
  // An element argument is compiled into a copy (ocTo ____1 = ____d_2 is never eliminated),
  // so the array keeps its value.
  TCustomParam& a = e.Var("a", PT_STR, {3});
  a.SetStrAt(1, "hello");
  e.Run("Delete(a[1], 2, 3)");
  EXPECT_EQ(a.GetStrAt(1), "hello");
  EXPECT_EQ(a.GetCount(), 3);
}

TEST(SysFunc, HanToZenAndBack) {
  struct TCase {
    const char* Han;
    const char* Zen;
  } cases[] = {
      {"A1 z~", "Ａ１　ｚ￣"},
      {"\\`\"'-", "￥‘”’－"},
      {"ｶﾞｷﾞﾊﾟﾎﾟｳﾞ", "ガギパポヴ"},
      {"ｱﾞｲ", "ア゛イ"},  // a kana without a voiced form keeps the mark as its own character
      {"ｰ｡｢｣､･ｦｯ", "ー。「」、・ヲッ"},
      {"漢a", "漢ａ"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SjisToUtf8(HanToZen(Utf8ToSjis(c.Han))), c.Zen) << c.Han;
    EXPECT_EQ(SjisToUtf8(ZenToHan(Utf8ToSjis(c.Zen))), c.Han) << c.Zen;
  }
  // Control bytes and bytes without a form are dropped; both full-width double quotes narrow.
  EXPECT_EQ(SjisToUtf8(HanToZen("a\tb\x7f\xa0")), "ａｂ");
  EXPECT_EQ(ZenToHan(Utf8ToSjis("“”")), "\"\"");
  EXPECT_EQ(SjisToUtf8(ZenToHan(Utf8ToSjis("ヵあゐ"))), "ヵあゐ");
  Eval e;
  EXPECT_EQ(e.Run("HanToZen(\"ｶﾞ\")"), "str ガ");
  EXPECT_EQ(e.Run("ZenToHan(\"バ\")"), "str ﾊﾞ");
}

TEST(SysFunc, Numbers) {
  Eval e;
  const TEvalCase cases[] = {
      {"-2.5", "int -2"},  // 0 - 2.5: the temporary takes the integer type of 0
      {"Not(0)", "flag TRUE"},
      {"Not(\"TRUE\")", "flag FALSE"},
      {"Int(2.9)", "int 2"},
      {"Int(0 - 2.9)", "int -2"},  // 0 - 2.9 is integer arithmetic: -2
      {"Int(Float(0) - 2.9)", "int -2"},
      {"Float(3)", "real 3"},
      {"Abs(0 - 5)", "int 5"},
      {"Abs(0 - 2147483647 - 1)", "int -2147483648"},
      {"Fabs(Float(0) - 1.5)", "real 1.5"},
      {"Min(3, 0 - 4)", "int -4"},
      {"Max(3, 0 - 4)", "int 3"},
      {"Fmin(1.5, 2)", "real 1.5"},
      {"Fmax(1.5, 2)", "real 2"},
      {"Sin(0)", "real 0"},
      {"Cos(0)", "real 1"},
      {"ArcTan2(1, 0) * 2 == @Pi", "flag TRUE"},
      {"Hypot(3, 4)", "real 5"},
      {"ArcSin(2)", "none"},  // not a number: the runtime's invalid operation
      {"StrToIntDef(\"$1F\", 7)", "int 31"},
      {"StrToIntDef(\"12a\", 7)", "int 7"},
      {"StrToFloatDef(\"2.5\", 7)", "real 2.5"},
      {"StrToFloatDef(\"abc\", 7)", "real 7"},
  };
  RunTable(e, std::begin(cases), std::end(cases));
}

TEST(SysFunc, RandomFollowsItsGenerator) {
  Eval e;
  SetRandomSeed(0);
  // state 1: (100 * 1) >> 32 = 0; state 134775814: (100 * 134775814) >> 32 = 3.
  EXPECT_EQ(e.Run("Random(100)"), "int 0");
  EXPECT_EQ(e.Run("Random(100)"), "int 3");
  EXPECT_EQ(RandomSeed(), 134775814u);
  SetRandomSeed(12345);
  uint32_t state = 12345;
  for (int i = 0; i < 50; ++i) {
    state = state * 134775813u + 1u;
    int expected = static_cast<int>((uint64_t{6} * state) >> 32);
    EXPECT_EQ(e.Run("Random(6)"), "int " + std::to_string(expected));
  }
  // n enters as unsigned: Random(-1) gives the high half of 0xFFFFFFFF * state.
  SetRandomSeed(0);
  EXPECT_EQ(e.Run("Random(0 - 1)"), "int 0");
  EXPECT_EQ(e.Run("Random(0 - 1)"), "int 134775813");
  TDateTimeParts t;
  t.Hour = 1, t.Min = 2, t.Sec = 3, t.MSec = 4;
  SeedRandomFromTime(t);
  EXPECT_EQ(RandomSeed(), 3723004u);
}

TEST(SysFunc, Dates) {
  Eval e;
  e.Var("y", PT_INT);
  e.Var("m", PT_INT);
  e.Var("d", PT_INT);
  const TEvalCase cases[] = {
      {"EncodeDate(1899, 12, 30)", "real 0"},
      {"EncodeDate(2024, 2, 29)", "real 45351"},
      {"EncodeDate(1, 1, 1)", "real -693593"},
      {"EncodeDate(9999, 12, 31)", "real 2958465"},
      {"EncodeDate(2023, 2, 29)", "none"},
      {"EncodeDate(0, 1, 1)", "none"},
      {"EncodeDate(2024, 13, 1)", "none"},
      {"EncodeTime(12, 0, 0)", "real 0.5"},
      {"EncodeTime(24, 0, 0)", "none"},
      {"EncodeTime(0, 60, 0)", "none"},
      {"GetYear(EncodeDate(1600, 2, 29))", "int 1600"},
      {"GetMonth(EncodeDate(1600, 2, 29))", "int 2"},
      {"GetDay(EncodeDate(1600, 2, 29))", "int 29"},
      {"GetHour(EncodeTime(13, 45, 30))", "int 13"},
      {"GetMin(EncodeTime(13, 45, 30))", "int 45"},
      {"GetSec(EncodeTime(13, 45, 30))", "int 30"},
      {"GetWeek(0)", "int 7"},
      {"GetWeekStr(EncodeDate(2024, 2, 29))", "str Thursday"},
      {"GetWeekJStr(EncodeDate(2024, 2, 25))", "str 日"},
      {"GetDay(0 - 1.25)", "int 29"},  // integer arithmetic: -1, the day before the epoch
      {"GetHour(Float(0) - 1.25)", "int 6"},  // a negative serial's fraction counts forward
      {"GetYear(Float(0) - 693594)", "int 0"},
  };
  RunTable(e, std::begin(cases), std::end(cases));
  e.Run("DecodeDate(EncodeDate(2000, 3, 1) + EncodeTime(23, 59, 59), y, m, d)");
  EXPECT_EQ(e.Get("y").GetAsInt() * 10000 + e.Get("m").GetAsInt() * 100 + e.Get("d").GetAsInt(), 20000301);
  e.Run("DecodeTime(EncodeTime(7, 8, 9), y, m, d)");
  EXPECT_EQ(e.Get("y").GetAsInt() * 10000 + e.Get("m").GetAsInt() * 100 + e.Get("d").GetAsInt(), 70809);
  // Round trip over a wide range of days, leap years included.
  for (int serial = -693593; serial <= 2958465; serial += 997) {
    TDateParts p = DecodeDate(serial);
    Real back = 0;
    ASSERT_TRUE(TryEncodeDate(p.Year, p.Month, p.Day, back)) << serial;
    EXPECT_EQ(back, serial);
  }
  // Results are date-time doubles.
  TCustomParam& f = e.Var("t", PT_FLOAT);
  e.Run("t = EncodeTime(0, 0, 1)");
  EXPECT_EQ(f.GetAsFloat(), static_cast<Real>(static_cast<double>(1.0L / 86400)));
  EXPECT_NE(f.GetAsFloat(), 1.0L / 86400);
  // A serial that rounds up to midnight belongs to the next day.
  TDateParts next = DecodeDate(0.9999999999L);
  EXPECT_EQ(next.Day, 31);
  EXPECT_EQ(DecodeTime(0.9999999999L).Hour, 0);
}

TEST(SysFunc, Arrays) {
  Eval e;
  TCustomParam& a = e.Var("a", PT_INT, {3, 4});
  TCustomParam& b = e.Var("b", PT_STR);
  TCustomParam& c = e.Var("c", PT_INT);
  e.Var("f", PT_FLOAT);
  const TEvalCase cases[] = {
      {"GetArraySize(a)", "int 12"},
      {"GetArraySize(a, 0)", "int 4"},
      {"GetArraySize(a, 1)", "int 3"},
      {"GetArraySize(5)", "int 1"},
      {"GetVarType(a)", "int 1"},
      {"GetVarType(f)", "int 2"},
      {"GetVarType(\"x\")", "int 4"},
      {"VarExists(\"A\")", "flag TRUE"},
      {"VarExists(\"zz\")", "flag FALSE"},
  };
  RunTable(e, std::begin(cases), std::end(cases));

  e.Run("SetArray(c, 2, 3)");
  EXPECT_EQ(c.GetCount(), 6);
  EXPECT_EQ(c.GetDimCount(), 2);
  e.Run("FillMem(c, \"7\")");
  EXPECT_EQ(c.GetIntAt(5), 7);
  EXPECT_EQ(e.Run("SetArray(5, 2)"), "none");
  e.Run("CopyMem(a, c)");
  EXPECT_EQ(a.GetCount(), 6);
  EXPECT_EQ(a.GetIntAt(0), 7);
  // Different types refuse.
  a.SetIntAt(0, 1);
  e.Run("CopyMem(a, b)");
  EXPECT_EQ(a.GetIntAt(0), 1);

  // StringToArray: line breaks by default; otherwise a set of separator bytes.
  e.Run("StringToArray(\"x\\ny\\n\", b)");
  EXPECT_EQ(b.GetCount(), 2);
  EXPECT_EQ(b.GetStrAt(1), "y");
  e.Run("StringToArray(\"1,2;;3;\", b, \";,\")");
  ASSERT_EQ(b.GetCount(), 4);
  EXPECT_EQ(b.GetStrAt(0) + "|" + b.GetStrAt(1) + "|" + b.GetStrAt(2) + "|" + b.GetStrAt(3), "1|2||3");
  EXPECT_EQ(e.Run("ArrayToString(b, \"/\")"), "str 1/2//3");
  EXPECT_EQ(e.Run("IndexOfStr(b, \"3\")"), "int 3");
  e.Run("StringToArray(\"\", b)");
  EXPECT_EQ(b.GetCount(), 1);
  EXPECT_TRUE(b.Dims.empty());

  // Sorting ignores ASCII case.
  e.Run("StringToArray(\"pear,Apple,fig\", b, \",\")");
  e.Run("SortStr(b)");
  EXPECT_EQ(e.Run("ArrayToString(b, \",\")"), "str Apple,fig,pear");

  // Element runs on a one-dimensional array.
  TCustomParam& v = e.Var("v", PT_INT, {3});
  for (int i = 0; i < 3; ++i) v.SetIntAt(i, i + 1);  // 1 2 3
  EXPECT_EQ(e.Run("AddArray(v, 9)"), "int 4");                 // 1 2 3 9
  EXPECT_EQ(e.Run("InsertArray(v, 1, b)"), "int 7");           // 1 0 0 0 2 3 9 (texts read as 0)
  EXPECT_EQ(v.GetIntAt(4), 2);
  EXPECT_EQ(e.Run("DeleteArray(v, 1, 3)"), "int 4");           // 1 2 3 9
  EXPECT_EQ(e.Run("ArrayToString(v, \" \")"), "str 1 2 3 9");
  EXPECT_EQ(e.Run("InsertArray(v, 99, v)"), "int 8");
  EXPECT_EQ(e.Run("ArrayToString(v, \" \")"), "str 1 2 3 9 1 2 3 9");
  EXPECT_EQ(e.Run("DeleteArray(v, 0 - 5, 99)"), "none");       // deleting everything fails
  EXPECT_EQ(e.Run("AddArray(c, v)"), "int 6");                 // two dimensions: unchanged
  EXPECT_EQ(e.Run("DeleteArray(c, 0, 1)"), "int 6");
  EXPECT_EQ(c.GetCount(), 6);

  // CopyArray converts to the destination's type.
  EXPECT_EQ(e.Run("CopyArray(b, c)"), "flag TRUE");
  EXPECT_EQ(b.GetDimCount(), 2);
  EXPECT_EQ(b.GetStrAt(5), "7");
}

TEST(SysFunc, CalcAssignTempAndFiles) {
  Eval e;
  TCustomParam& x = e.Var("x", PT_INT);
  EXPECT_EQ(e.Run("Calc(\"  \")"), "str ");
  EXPECT_EQ(e.Run("Calc(\"x = 1 + 2\")"), "str TRUE");
  EXPECT_EQ(x.GetAsInt(), 3);
  EXPECT_EQ(e.Run("Calc(\"nothing = 1\")"), "str TRUE");  // the statement's own error is dropped
  EXPECT_EQ(e.Run("Calc(\"x = (\")"), "none");            // a compile error ends the caller
  TCustomParam& s = e.Var("s", PT_STR);
  s.SetAsStr("Calc(s)");
  EXPECT_EQ(e.Run("Calc(s)"), "str TRUE");  // a text that calls itself stops instead of overflowing

  EXPECT_EQ(e.Run("AssignTemp(\"x\")"), "flag TRUE");
  EXPECT_EQ(SjisToUtf8(e.Store().TempTarget), "x");
  EXPECT_EQ(e.Run("AssignTemp(\"nope\")"), "flag FALSE");
  EXPECT_EQ(e.Store().TempTarget, "x");

  const TEvalCase paths[] = {
      {"ExtractFilePath(\"cg\\\\bg\\\\a.bri\")", "str cg\\bg\\"},
      {"ExtractFileName(\"cg\\\\a.bri\")", "str a.bri"},
      {"ExtractFileExt(\"cg.d\\\\a\")", "str "},
      {"ChangeFileExt(\"a.bri\", \".png\")", "str a.png"},
      {"AddBackSlash(\"cg\")", "str cg\\"},
      {"AddBackSlash(\"表\")", "str 表\\"},
      {"IsPathDelimiter(\"a\\\\\", 2)", "flag TRUE"},
      {"IsPathDelimiter(\"表\", 2)", "flag FALSE"},
      {"IsDelimiter(\",;\", \"a;b\", 2)", "flag TRUE"},
      {"IsDelimiter(\",;\", \"a;b\", 3)", "flag FALSE"},
  };
  RunTable(e, std::begin(paths), std::end(paths));
}

TEST(SysFunc, FunctionsOfLaterSubsystemsEndTheExpression) {
  Eval e;
  TCustomParam& x = e.Var("x", PT_INT);
  EXPECT_EQ(e.Run("x = 1"), "none");
  EXPECT_EQ(e.Run("x = GetProp(\"obj\", 1) + 5"), "none");
  EXPECT_EQ(x.GetAsInt(), 1);
  TParamCollection store;
  TSysFuncMan funcs(store);
  std::vector<std::unique_ptr<TCustomParam>> args;
  args.push_back(std::make_unique<TParamStr>());
  TParamCollectionItem* dest = store.AddParam(PT_BOOL);
  try {
    funcs.Call(dest, FindSysFunc("OpenUrl"), 0, args);
    ADD_FAILURE();
  } catch (const ENovaError& err) {
    EXPECT_EQ(err.Message(), "OpenUrl: not available yet");
  }
  // A later subsystem installs its implementation.
  funcs.Register(FindSysFunc("OpenUrl"), [](TSysFuncCall& c) { c.ResultBool(c.Str(0).empty()); });
  funcs.Call(dest, FindSysFunc("OpenUrl"), 0, args);
  EXPECT_TRUE(dest->Param->GetAsBool());
  funcs.Register(FindSysFunc("OpenUrl"), nullptr);
  EXPECT_THROW(funcs.Call(dest, FindSysFunc("OpenUrl"), 0, args), ENovaError);
}

}  // namespace
}  // namespace nova

namespace nova {
namespace {

// Calls a function directly with operands (a name binds like the executor does) and returns
// the error text in UTF-8, or "" when it succeeds.
std::string CallError(TParamCollection& store, const char* name, std::vector<std::string> operands) {
  TSysFuncMan funcs(store);
  std::vector<std::unique_ptr<TCustomParam>> args;
  for (const std::string& o : operands) {
    if (TParamCollectionItem* item = store.FindParam(o)) {
      auto ref = std::make_unique<TParamVar>();
      ref->Name = o;
      ref->Target = item;
      args.push_back(std::move(ref));
    } else {
      auto c = std::make_unique<TParamInt>();
      c->Elements[0] = std::stoi(o);
      args.push_back(std::move(c));
    }
  }
  TParamCollectionItem* dest = store.AddParam(SysFuncInfo(FindSysFunc(name)).ResultType);
  try {
    funcs.Call(dest, FindSysFunc(name), static_cast<int>(args.size()) - 1, args);
  } catch (const ENovaError& e) {
    return SjisToUtf8(e.Message());
  }
  return "";
}

TEST(SysFunc, WholeVariableErrors) {
  TParamCollection store;
  store.SetParamName(store.AddParam(PT_INT), "i");
  store.SetParamName(store.AddParam(PT_STR), "s");
  EXPECT_EQ(CallError(store, "SetArray", {"5", "2"}), "SetArray:変数が見つかりません");
  EXPECT_EQ(CallError(store, "FillMem", {"5", "2"}), "FillMem:変数が見つかりません");
  EXPECT_EQ(CallError(store, "CopyMem", {"i", "2"}), "CopyMem:変数が見つかりません");
  EXPECT_EQ(CallError(store, "CopyMem", {"i", "s"}), "CopyMem:変数の型があいません");
  EXPECT_EQ(CallError(store, "SetArray", {"i", "0"}), "配列の要素数[0]が不正です");
  EXPECT_EQ(CallError(store, "SetArray", {"i", "2", "3"}), "");
  EXPECT_EQ(store.FindParam("i")->Param->GetCount(), 6);
  // 2 GiB of strings are refused like any impossible size, and the variable stays as it was.
  EXPECT_EQ(CallError(store, "SetArray", {"s", "8192", "8192"}), "配列の要素数[8192,8192]が不正です");
  EXPECT_EQ(store.FindParam("s")->Param->GetCount(), 1);
}

// A text constant reaches a function in a temporary of the compiled form: that temporary is no
// variable, so the whole-variable functions stop the expression instead of changing it.
TEST(SysFunc, WholeVariableFunctionsRefuseConstantsOfAnyType) {
  Eval e;
  TCustomParam& c = e.Var("c", PT_INT);
  const TEvalCase cases[] = {
      {"SetArray(\"a\", 3)", "none"},
      {"FillMem(\"zz\", 1)", "none"},
      {"CopyMem(\"zz\", c)", "none"},
      {"CopyMem(c, \"zz\")", "none"},
      {"SetArray(1 + 2, 3)", "none"},
      {"GetArraySize(\"abc\")", "int 1"},
  };
  RunTable(e, std::begin(cases), std::end(cases));
  EXPECT_EQ(e.Run("SetArray(c, 3)"), "int 0");
  EXPECT_EQ(c.GetCount(), 3);
}

}  // namespace
}  // namespace nova

namespace nova {
namespace {

TEST(SysFunc, ConstantsOfACompiledExpressionNeverChange) {
  // DecodeDate writes its var arguments; given constants, the stored expression stays intact.
  Eval e;
  EXPECT_EQ(e.Run("DecodeDate(0, 1, 2, 3) ++ IntToStr(2)"), "str 02");  // no result: the int 0
  TBuildNovaParser b;
  b.Build("DecodeDate(EncodeDate(2000, 1, 2), 7, 8, 9)");
  TKtMemoryStream code;
  b.SaveToStream(code);
  code.SetPosition(0);
  TNovaParser p;
  p.LoadFromStream(code);
  TParamCollection store;
  TSysFuncMan funcs(store);
  p.Execute(store, funcs);
  TKtMemoryStream after;
  p.SaveToStream(after);
  EXPECT_EQ(after.Data(), code.Data());
}

}  // namespace
}  // namespace nova
