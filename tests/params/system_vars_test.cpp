#include <gtest/gtest.h>

#include <cmath>

#include "exec_helpers.h"
#include "params/param_collection.h"
#include "params/sysfunc.h"
#include "params/system_vars.h"

namespace nova {
namespace {

// The state the bound system variables read and write, as the owning subsystems would bind it.
struct FakeEnvironment {
  bool lclick = false, sound = false, dither = false;
  int ditherWrites = 0;
  int32_t mouseX = 0, dmIndex = -1;
  std::vector<std::string> args;
  std::unique_ptr<TCustomParam> result;
  TDateTimeParts now{2024, 2, 29, 13, 5, 9, 0};
  std::vector<std::string> ports{"port A", "port B"};

  void Bind(TParamCollection& store) {
    store.BindClock({[] { return 123456u; }, [] { return 0xFFFFFFF0u; }, [] { return 77u; }, [this] { return now; }});
    store.BindSystemVar(SV_RESULT, {.Target = [this] { return result.get(); }});
    store.BindSystemVar(SV_PARAMCOUNT, {.GetInt = [this] { return static_cast<int32_t>(args.size()); }});
    store.BindSystemVar(SV_PARAMSTR, {.GetStr = [this](int i) { return args[static_cast<size_t>(i)]; },
                                      .Count = [this] { return static_cast<int>(args.size()); }});
    store.BindSystemVar(SV_SCRWIDTH, {.GetInt = [] { return 640; }});
    store.BindSystemVar(SV_LCLICK, {.GetFlag = [this](int) { return lclick; }, .SetFlag = [this](bool v) { lclick = v; }});
    store.BindSystemVar(SV_MOUSEX, {.GetInt = [this] { return mouseX; }, .SetInt = [this](int32_t v) { mouseX = v; }});
    auto keys = [](int held) {
      return TSystemVarBinding{.GetFlag = [held](int k) { return k == held || k == 256; }};
    };
    store.BindSystemVar(SV_KEYPUSH, keys(13));
    store.BindSystemVar(SV_KEYCLICK, keys(27));
    store.BindSystemVar(SV_WHEELDOWN, {.GetFlag = [](int) { return true; }});
    store.BindSystemVar(SV_SOUNDON, {.GetFlag = [this](int) { return sound; }, .SetFlag = [this](bool v) { sound = v; }});
    store.BindSystemVar(SV_CGDITHER, {.GetFlag = [this](int) { return dither; }, .SetFlag = [this](bool v) {
                                        dither = v;
                                        ++ditherWrites;
                                      }});
    store.BindSystemVar(SV_DISPLAYMODEINDEX,
                        {.GetInt = [this] { return dmIndex; }, .SetInt = [this](int32_t v) { dmIndex = v; }});
    store.BindSystemVar(SV_MIDIPORTS, {.GetStr = [this](int i) { return ports[static_cast<size_t>(i)]; },
                                       .Count = [this] { return static_cast<int>(ports.size()); }});
  }
};

class SystemVars : public ::testing::Test {
protected:
  FakeEnvironment env;
  TParamCollection store;
  void SetUp() override { env.Bind(store); }
  TCustomParam& Sys(const char* name) { return *store.FindParam(name)->Param; }
};

TEST_F(SystemVars, TypesAndReads) {
  struct Case {
    const char* name;
    int type;
    const char* text;
  } cases[] = {
      {"@LClick", PT_BOOL, "FALSE"},  {"@MouseX", PT_INT, "0"},       {"@TextDelay", PT_INT, "50"},
      {"@ParamCount", PT_INT, "2"},   {"@ParamStr", PT_STR, ""},     {"@ScrWidth", PT_INT, "640"},
      {"@TickCount", PT_INT, "123456"}, {"@PCTickCount", PT_INT, "-16"}, {"@UpdateCount", PT_INT, "77"},
      {"@Year", PT_INT, "2024"},      {"@Month", PT_INT, "2"},       {"@Day", PT_INT, "29"},
      {"@Week", PT_INT, "5"},         {"@Hour", PT_INT, "13"},       {"@Min", PT_INT, "5"},
      {"@Sec", PT_INT, "9"},          {"@Cursor", PT_STR, ""},       {"@SelIndex", PT_INT, "-1"},
      {"@Pi", PT_FLOAT, "3.14159265358979"}, {"@1Hour", PT_FLOAT, "0.0416666666666667"},
      {"@1Min", PT_FLOAT, "0.000694444444444444"}, {"@1Sec", PT_FLOAT, "0.0000115740740740741"},
      {"@KeyPush", PT_BOOL, "FALSE"}, {"@DisplayModeIndex", PT_INT, "-1"}, {"@SoundON", PT_BOOL, "FALSE"},
      {"@MidiPorts", PT_STR, "port A"}, {"@WheelDown", PT_BOOL, "TRUE"}, {"@IsDebug", PT_BOOL, "FALSE"},
      {"@Result", PT_NONE, ""},       {"@Temp", PT_NONE, ""},        {"@Title", PT_STR, ""},
  };
  env.args = {"p0", "p1"};
  for (const auto& c : cases) {
    EXPECT_EQ(Sys(c.name).GetParamType(), c.type) << c.name;
    EXPECT_EQ(Sys(c.name).GetAsStr(), c.text) << c.name;
  }
  EXPECT_EQ(Sys("@Pi").GetAsInt(), 3);
  EXPECT_EQ(Sys("@Pi").GetAsFloat() - 3.14159265358979L, std::acos(-1.0L) - 3.14159265358979L);
  EXPECT_TRUE(Sys("@1Sec").GetAsBool());
  EXPECT_EQ(Sys("@SoundON").GetAsInt(), 0);
  env.now = {2026, 12, 6, 0, 0, 0, 0};  // a Sunday
  EXPECT_EQ(Sys("@Week").GetAsInt(), 1);
}

TEST_F(SystemVars, ArraysAndDimensions) {
  env.args = {"first", "second"};
  TCustomParam& keys = Sys("@KeyPush");
  EXPECT_EQ(keys.GetCount(), 258);
  EXPECT_EQ(keys.GetDimCount(), 1);
  EXPECT_EQ(keys.GetDim(0), 258);
  EXPECT_EQ(keys.GetDim(1), 1);
  EXPECT_TRUE(keys.GetBoolAt(13));
  EXPECT_FALSE(keys.GetBoolAt(14));
  EXPECT_FALSE(keys.GetAsBool());  // no index: false
  EXPECT_TRUE(keys.GetBoolAt(256));  // wheel down
  EXPECT_FALSE(keys.GetBoolAt(300));
  EXPECT_EQ(Sys("@KeyClick").GetBoolAt(256), Sys("@WheelDown").GetAsBool());
  EXPECT_TRUE(Sys("@KeyClick").GetBoolAt(27));
  EXPECT_EQ(Sys("@ParamStr").GetCount(), 2);
  EXPECT_EQ(Sys("@ParamStr").GetStrAt(1), "second");
  EXPECT_EQ(Sys("@ParamStr").GetStrAt(2), "");
  EXPECT_EQ(Sys("@MidiPorts").GetStrAt(1), "port B");
  EXPECT_EQ(Sys("@MidiPorts").GetCount(), 2);
  env.args.clear();
  EXPECT_EQ(Sys("@ParamStr").GetStrAt(0), "");
  EXPECT_EQ(Sys("@ParamCount").GetAsInt(), 0);
  // Not arrays: the index is ignored, count 1, GetDim(0) is the count.
  EXPECT_EQ(Sys("@ScrWidth").GetIntAt(5), 640);
  EXPECT_EQ(Sys("@ScrWidth").GetDim(0), 1);
  EXPECT_EQ(Sys("@KeyPush").IndexOfStr("TRUE", true, false), 13);

  // Through the executor: @KeyPush[13] reads the key, @ParamStr[0] without parameters fails the
  // element-count check (the count is @ParamCount) and the run gives no result.
  TSysFuncMan funcs(store);
  TNovaParser p;
  test::Build(p, {{ocDimTo, "____d_0", {"@KeyPush", "13"}}, {ocTo, "____arg", {"____d_0"}}});
  p.Execute(store, funcs);
  ASSERT_TRUE(p.Result);
  EXPECT_TRUE(p.Result->GetAsBool());
  test::Build(p, {{ocDimTo, "____d_0", {"@ParamStr", "0"}}, {ocTo, "____arg", {"____d_0"}}});
  p.Execute(store, funcs);
  EXPECT_FALSE(p.Result);
}

TEST_F(SystemVars, WritesAndTheirConversions) {
  TCustomParam& width = Sys("@ScrWidth");
  width.SetAsInt(5);  // read-only: ignored without error
  EXPECT_EQ(width.GetAsInt(), 640);
  Sys("@Pi").SetAsFloat(3);
  EXPECT_EQ(Sys("@Pi").GetAsInt(), 3);
  EXPECT_NO_THROW(Sys("@KeyPush").SetBoolAt(13, false));

  TCustomParam& delay = Sys("@TextDelay");
  delay.SetAsStr("abc");  // not an integer text: ignored
  EXPECT_EQ(store.TextDelay, 50);
  delay.SetAsStr("$10");
  EXPECT_EQ(store.TextDelay, 16);
  delay.SetAsFloat(20.9L);
  EXPECT_EQ(store.TextDelay, 20);
  delay.SetIntAt(3, 30);  // the index of a plain variable is ignored
  EXPECT_EQ(store.TextDelay, 30);

  TCustomParam& sound = Sys("@SoundON");
  sound.SetAsStr("1");  // a flag takes the text's integer value
  EXPECT_TRUE(env.sound);
  sound.SetAsStr("TRUE");  // not an integer: ignored
  EXPECT_TRUE(env.sound);
  sound.SetAsStr("0");
  EXPECT_FALSE(env.sound);
  sound.SetAsInt(2);
  EXPECT_TRUE(env.sound);

  Sys("@LClick").SetAsBool(true);
  EXPECT_TRUE(env.lclick);
  Sys("@MouseX").SetAsStr("12");
  EXPECT_EQ(env.mouseX, 12);
  Sys("@Cursor").SetAsInt(7);
  EXPECT_EQ(store.Cursor, "7");
  Sys("@SelStr").SetAsStr("area");
  Sys("@SelIndex").SetAsInt(3);
  EXPECT_EQ(store.SelStr, "area");
  EXPECT_EQ(store.SelIndex, 3);
  Sys("@DisplayModeIndex").SetAsInt(2);
  EXPECT_EQ(env.dmIndex, 2);
  Sys("@CGDither").SetAsBool(false);  // the same value: the cache is not touched
  EXPECT_EQ(env.ditherWrites, 0);
  Sys("@CGDither").SetAsBool(true);
  EXPECT_EQ(env.ditherWrites, 1);
}

TEST_F(SystemVars, TempForwardsToTheTargetIncludingDimensions) {
  TCustomParam& temp = Sys("@Temp");
  temp.SetAsInt(5);  // no target: ignored
  EXPECT_EQ(temp.GetCount(), 1);
  EXPECT_EQ(temp.GetDim(0), 1);
  TParamCollectionItem* a = store.AddParam(PT_INT);
  store.SetParamName(a, "a");
  a->Param->SetDims({3});
  store.TempTarget = "A";
  EXPECT_EQ(temp.GetParamType(), PT_INT);
  EXPECT_EQ(temp.GetCount(), 3);
  EXPECT_EQ(temp.GetDim(0), 3);
  temp.SetIntAt(1, 5);
  EXPECT_EQ(a->Param->GetIntAt(1), 5);
  temp.SetDims({2, 2});
  EXPECT_EQ(a->Param->GetCount(), 4);
  temp.SetAsStr("9");  // whole-value set collapses the target, as on the variable itself
  EXPECT_EQ(a->Param->GetCount(), 1);
  EXPECT_EQ(a->Param->GetAsInt(), 9);
  store.TempTarget = "@Temp";  // standing for itself stands for nothing
  EXPECT_EQ(temp.GetParamType(), PT_NONE);
  EXPECT_EQ(temp.GetAsInt(), 0);

  // Through the executor: @Temp[1] = 5 sets a[1].
  store.TempTarget = "a";
  a->Param->SetDims({3});
  TSysFuncMan funcs(store);
  TNovaParser p;
  test::Build(p, {{ocDimTo, "____d_0", {"@Temp", "1"}}, {ocTo, "____d_0", {"5"}}});
  p.Execute(store, funcs);
  EXPECT_EQ(a->Param->GetIntAt(1), 5);
}

TEST_F(SystemVars, ResultForwardsToTheTopFrameValue) {
  TCustomParam& result = Sys("@Result");
  result.SetAsInt(3);  // empty stack: ignored
  EXPECT_EQ(result.GetCount(), 1);
  EXPECT_EQ(result.GetAsStr(), "");
  env.result = std::make_unique<TParamStr>();
  result.SetDims({2});
  result.SetStrAt(1, "x");
  EXPECT_EQ(result.GetParamType(), PT_STR);
  EXPECT_EQ(env.result->GetCount(), 2);
  EXPECT_EQ(env.result->GetStrAt(1), "x");
  result.SetAsInt(4);
  EXPECT_EQ(env.result->GetAsStr(), "4");
}

}  // namespace
}  // namespace nova
