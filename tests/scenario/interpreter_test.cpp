// The interpreter on pages built in the test: blocks, loops, calls, scopes, frames and waits.
#include <gtest/gtest.h>

#include "scenario/commands_game.h"
#include "scenario_test_util.h"

namespace nova::test {
namespace {

class InterpreterTest : public ::testing::Test {
protected:
  void SetUp() override { FreshFileManager(); }
};

TEST_F(InterpreterTest, IfElseifElseChainsAtSeveralIndents) {
  struct Case {
    int x, y, r;
  } cases[] = {{1, 1, 11}, {1, 0, 12}, {2, 0, 20}, {3, 1, 30}};
  for (const Case& c : cases) {
    PageBuilder b;
    VarNew(b, "x", 1, std::to_string(c.x));
    VarNew(b, "y", 1, std::to_string(c.y));
    VarNew(b, "r", 1, "0");
    Cond(b, kIf, 0, "x == 1");
    Calc(b, 1, "r = 10");
    Cond(b, kIf, 1, "y == 1");
    Calc(b, 2, "r = r + 1");
    b.Add(kElse, 1, {});
    Calc(b, 2, "r = r + 2");
    Cond(b, kElseif, 0, "x == 2");
    Calc(b, 1, "r = 20");
    b.Add(kElse, 0, {});
    Calc(b, 1, "r = 30");
    Calc(b, 0, "r = r * 1");
    b.Register("main.nsb");
    Machine m;
    m.cm->Start("main.nsb");
    m.Frame();
    EXPECT_EQ(m.Int("r"), c.r) << "x=" << c.x << " y=" << c.y;
    EXPECT_EQ(m.cm->CurrentPage(), nullptr);
  }
}

TEST_F(InterpreterTest, FalseIfTakesTrueElseifAndSkipsElse) {
  PageBuilder b;
  VarNew(b, "r", 1, "0");
  Cond(b, kIf, 0, "1 == 2");
  Calc(b, 1, "r = r + 1");
  Cond(b, kElseif, 0, "2 == 2");
  Calc(b, 1, "r = r + 10");
  b.Add(kElse, 0, {});
  Calc(b, 1, "r = r + 100");
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frame();
  EXPECT_EQ(m.Int("r"), 10);
}

TEST_F(InterpreterTest, WhileLoopWithBreakAndContinue) {
  PageBuilder b;
  VarNew(b, "i", 1, "0");                       // 0
  VarNew(b, "s", 1, "0");                       // 1
  Cond(b, kWhileInit, 0, "i = 0");              // 2
  CondTarget(b, kWhile, 0, "i < 100", 11);      // 3, ends after the loop
  Cond(b, kIf, 1, "i == 3");                    // 4
  CondTarget(b, kContinue, 2, "", 10);          // 5 -> the loop step
  Cond(b, kIf, 1, "i == 7");                    // 6
  CondTarget(b, kBreak, 2, "", 11);             // 7
  Calc(b, 1, "s = s + i");                      // 8
  Calc(b, 1, "s = s * 1");                      // 9
  CondTarget(b, kWhileLoop, 0, "i = i + 1", 3); // 10
  Calc(b, 0, "s = s + 1000");                   // 11
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frame();
  EXPECT_EQ(m.Int("i"), 7);
  EXPECT_EQ(m.Int("s"), 1000 + 0 + 1 + 2 + 4 + 5 + 6);
}

TEST_F(InterpreterTest, WhileWithEmptyConditionJumpsToItsEnd) {
  PageBuilder b;
  VarNew(b, "r", 1, "0");
  CondTarget(b, kWhile, 0, "", 3);
  Calc(b, 1, "r = 1");
  Calc(b, 0, "r = r + 10");
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frame();
  EXPECT_EQ(m.Int("r"), 10);
}

TEST_F(InterpreterTest, CallPassesArgumentsAndAssignsTypedResults) {
  PageBuilder sub(kPageVersionMax, 2);  // returns a real
  VarNew(sub, "a", 1, "@ParamStr[0]", 2);
  VarNew(sub, "b", 2, "@ParamStr[1]", 2);
  Calc(sub, 0, "n = @ParamCount");
  Calc(sub, 0, "@Result = b + a");  // a real: 7.5
  sub.Register("sub.nsb");
  PageBuilder b;
  VarNew(b, "n", 1, "0");
  VarNew(b, "ri", 1, "0");
  VarNew(b, "rs", 4, "");
  CallCmd(b, "sub.nsb", "ri", {"3", "4.5"});
  CallCmd(b, "sub.nsb", "rs", {"3", "4.5", ""});  // an empty argument is left out
  Calc(b, 0, "n = n + 100");
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frame();
  EXPECT_EQ(m.Int("ri"), 7);
  EXPECT_EQ(m.Str("rs"), "7.5");
  EXPECT_EQ(m.Int("n"), 102);
  EXPECT_FALSE(m.Has("a"));  // the callee's locals went with its frame
  EXPECT_EQ(m.cm->Stack().Count(), 0);
}

TEST_F(InterpreterTest, ScopesAreFreedWithTheirFrame) {
  PageBuilder sub;
  VarNew(sub, "g", 1, "1", 0);
  VarNew(sub, "auto", 1, "2", 1);
  VarNew(sub, "loc", 1, "3", 2);
  VarNew(sub, "st", 1, "4", 3);
  Calc(sub, 0, "seen = auto + loc");
  sub.Register("sub.nsb");
  PageBuilder b;
  VarNew(b, "seen", 1, "0");
  CallCmd(b, "sub.nsb", "", {});
  b.Add(kDoEvent, 0, {}, 0);
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frame();
  EXPECT_EQ(m.Int("seen"), 5);
  EXPECT_TRUE(m.Has("g"));
  EXPECT_TRUE(m.Has("st"));
  EXPECT_FALSE(m.Has("auto"));
  EXPECT_FALSE(m.Has("loc"));
}

TEST_F(InterpreterTest, BreakWithNegativeTargetReturnsLikeExit) {
  PageBuilder sub;
  Calc(sub, 0, "r = 1");
  CondTarget(sub, kBreak, 0, "r == 1", -1);
  Calc(sub, 0, "r = 2");
  sub.Register("sub.nsb");
  PageBuilder exitSub;
  Cond(exitSub, kExit, 0, "1 == 2");  // false: goes on
  Calc(exitSub, 0, "r = r + 10");
  Cond(exitSub, kExit, 0, "");  // no condition: returns
  Calc(exitSub, 0, "r = 99");
  exitSub.Register("exit.nsb");
  PageBuilder b;
  VarNew(b, "r", 1, "0");
  CallCmd(b, "sub.nsb", "", {});
  CallCmd(b, "exit.nsb", "", {});
  Calc(b, 0, "r = r + 100");
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frame();
  EXPECT_EQ(m.Int("r"), 111);
}

TEST_F(InterpreterTest, ContinueFlagsOneZeroOneRunTwoCommandsThenOne) {
  PageBuilder b;
  VarNew(b, "a", 1, "0");
  VarNew(b, "c", 1, "0");
  Calc(b, 0, "a = a + 1", 1);
  Calc(b, 0, "a = a + 1", 0);
  Calc(b, 0, "c = 1", 1);
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frame();
  EXPECT_EQ(m.Int("a"), 2);
  EXPECT_EQ(m.Int("c"), 0);
  m.Frame();
  EXPECT_EQ(m.Int("c"), 1);
}

TEST_F(InterpreterTest, WaitCountsFromTheSecondFrame) {
  struct Case {
    uint32_t delta;
    int lastWaitingFrame;  // frames are counted from 1
  } cases[] = {{16, 7}, {25, 4}, {100, 1}, {101, 1}};
  for (const Case& c : cases) {
    PageBuilder b;
    VarNew(b, "done", 1, "0");
    Wait(b, "", "100", "");
    Calc(b, 0, "done = 1");
    b.Register("main.nsb");
    Machine m;
    m.cm->Start("main.nsb");
    for (int f = 1; f <= c.lastWaitingFrame; ++f) {
      m.Frame(c.delta);
      ASSERT_EQ(m.Int("done"), 0) << "delta " << c.delta << " frame " << f;
    }
    m.Frame(c.delta);
    EXPECT_EQ(m.Int("done"), 1) << "delta " << c.delta;
  }
}

TEST_F(InterpreterTest, WaitWithFalseConditionEndsAtOnce) {
  PageBuilder b;
  VarNew(b, "done", 1, "0");
  Wait(b, "done == 1", "1000", "");
  Calc(b, 0, "done = 2");
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frame();
  EXPECT_EQ(m.Int("done"), 2);
}

TEST_F(InterpreterTest, PageCacheKeepsTenAndNeverTheCurrentPage) {
  // A chain of jumps through twelve pages: the least recently used go, with their variable.
  for (int i = 0; i < 12; ++i) {
    PageBuilder b;
    if (i < 11)
      Jump(b, "p" + std::to_string(i + 1) + ".nsb", 0);
    else
      b.Add(kDoEvent, 0, {}, 0);
    b.Register("p" + std::to_string(i) + ".nsb");
  }
  Machine m;
  TParamCollectionItem* own = m.store->AddParam(PT_INT);
  m.store->SetParamName(own, std::string("\x01") + "p0.nsb");
  m.cm->Start("p0.nsb");
  m.Frame();
  EXPECT_EQ(m.cm->CachedPageCount(), 10);
  EXPECT_EQ(m.cm->CachedPage(0)->Name(), "p11.nsb");
  EXPECT_EQ(m.cm->CurrentPage(), m.cm->CachedPage(0));
  EXPECT_FALSE(m.Has("\x01p0.nsb"));

  // The current page drifting to the end of the cache stays.
  Machine m2;
  m2.cm->Start("p0.nsb");
  TPage* current = m2.cm->CurrentPage();
  for (int i = 1; i < 12; ++i) m2.cm->GetPage("p" + std::to_string(i) + ".nsb", true);
  EXPECT_EQ(m2.cm->CachedPageCount(), 12);
  EXPECT_EQ(m2.cm->CachedPage(11), current);
}

TEST_F(InterpreterTest, CommandThatDoesNotMoveEndsThePass) {
  PageBuilder b;
  VarNew(b, "n", 1, "0");
  Calc(b, 0, "n = n + 1");
  Jump(b, "main.nsb", 2);  // jumps onto itself
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frame();
  m.Frame();
  EXPECT_EQ(m.Int("n"), 1);
  EXPECT_EQ(m.cm->Index(), 2);
}

TEST_F(InterpreterTest, TraceLinesAndCommandErrors) {
  PageBuilder b;
  Calc(b, 0, "x = 1", 1, 7);
  std::vector<TFieldValue> f;
  f.push_back(FStr(""));
  f.push_back(FByte(1));
  f.push_back(FExpr(""));
  f.push_back(FByte(0));
  b.Add(kVarNew, 0, std::move(f), 1, 8);  // no name: fails, the flow goes on
  b.Add(kDoEvent, 0, {}, 0, 9);
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frame(32);
  m.Frame(16);  // the DoEvent ends the page: no line repeats for it
  ASSERT_EQ(m.trace.size(), 4u);
  EXPECT_EQ(m.trace[0], "00000020 : main.nsb(7)");
  EXPECT_EQ(m.trace[1], "00000020 : main.nsb(8)");
  EXPECT_EQ(m.trace[2], "00000020 : !error main.nsb(8): 変数名がありません");
  EXPECT_EQ(m.trace[3], "00000020 : main.nsb(9)");
}

TEST_F(InterpreterTest, MissingCallOrJumpPageDoesNothing) {
  PageBuilder b;
  VarNew(b, "r", 1, "0");
  CallCmd(b, "none.nsb", "", {});
  Jump(b, "none.nsb", 0);
  Calc(b, 0, "r = 1");
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frame();
  EXPECT_EQ(m.Int("r"), 1);
}

}  // namespace
}  // namespace nova::test
