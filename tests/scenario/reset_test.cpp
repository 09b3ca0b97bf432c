// PCReset with and without the full-reset flag, Reset, Terminate and the load request.
#include <gtest/gtest.h>

#include "scenario_test_util.h"

namespace nova::test {
namespace {

enum { kGameLoad = 39, kPCReset = 40, kReset = 41, kTerminate = 45 };

int ResetCmd(PageBuilder& b, int code, const std::string& page, int32_t target, int full) {
  std::vector<TFieldValue> f;
  f.push_back(FStr(page));
  f.push_back(FInt(target));
  f.push_back(FByte(full));
  return b.Add(code, 0, std::move(f));
}

class ResetTest : public ::testing::Test {
protected:
  void SetUp() override {
    FreshFileManager();
    PageBuilder target;
    Calc(target, 0, "r = 1");
    Calc(target, 0, "r = r + 2");
    Wait(target, "", "", "", 0);
    target.Register("target.nsb");
  }
};

TEST_F(ResetTest, FullResetFromACalledPageRestartsAtTheTarget) {
  PageBuilder sub;
  VarNew(sub, "loc", 1, "5", 2);
  ResetCmd(sub, kPCReset, "target.nsb", 1, 1);
  sub.Register("sub.nsb");
  PageBuilder b;
  VarNew(b, "r", 1, "0");
  VarNew(b, "after", 1, "0");
  CallCmd(b, "sub.nsb", "", {});
  Calc(b, 0, "after = 1");
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.events.PostEvent(m.Sender("x"), "none.nsb", {}, 36);
  m.Frame();
  EXPECT_EQ(m.Int("r"), 2);  // entered at index 1
  EXPECT_EQ(m.Int("after"), 0);
  EXPECT_FALSE(m.Has("loc"));
  EXPECT_EQ(m.cm->Stack().Count(), 0);
  EXPECT_EQ(m.events.Count(), 0);
  EXPECT_EQ(m.cm->CurrentPage()->Name(), "target.nsb");
}

TEST_F(ResetTest, ResetInsideAHandlerRedirectsTheFlowItInterrupted) {
  PageBuilder h;
  ResetCmd(h, kPCReset, "target.nsb", 0, 0);
  Calc(h, 0, "hv = 1");  // the handler itself goes on
  h.Register("h.nsb");
  PageBuilder b;
  VarNew(b, "r", 1, "0");
  VarNew(b, "hv", 1, "0");
  Wait(b, "", "", "", 0);
  b.Register("main.nsb");
  Machine m;
  m.AddObject("btn");
  m.cm->Start("main.nsb");
  m.Frame();
  m.events.PostEvent(m.Sender("btn"), "h.nsb", {}, 36);
  m.Frame();
  EXPECT_EQ(m.Int("hv"), 1);
  EXPECT_EQ(m.Int("r"), 3);
  EXPECT_EQ(m.cm->CurrentPage()->Name(), "target.nsb");
  EXPECT_EQ(m.cm->Stack().Count(), 0);
  EXPECT_EQ(m.events.Count(), 0);
}

TEST_F(ResetTest, ResetInTheMainFlowJumpsAtOnce) {
  PageBuilder b;
  VarNew(b, "r", 1, "0");
  ResetCmd(b, kPCReset, "target.nsb", 1, 0);
  Calc(b, 0, "r = 100");
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frame();
  EXPECT_EQ(m.Int("r"), 2);
}

TEST_F(ResetTest, ResetClearsTheGameAndKeepsStatusVariables) {
  PageBuilder b;
  VarNew(b, "r", 1, "0");
  VarNew(b, "g", 1, "7");
  VarNew(b, "st", 1, "8", 3);
  ResetCmd(b, kReset, "target.nsb", 0, 0);
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frame();  // the Reset frees r too: the target's Calc commands find no variable
  EXPECT_EQ(m.host.Resets, 1);
  EXPECT_FALSE(m.Has("g"));
  EXPECT_FALSE(m.Has("r"));
  EXPECT_EQ(m.Int("st"), 8);
  EXPECT_EQ(m.cm->CurrentPage()->Name(), "target.nsb");
  EXPECT_EQ(m.cm->Index(), 2);
}

TEST_F(ResetTest, TerminateAndLoadRequest) {
  PageBuilder b;
  std::vector<TFieldValue> f;
  f.push_back(FExpr("2 + 3"));
  b.Add(kGameLoad, 0, std::move(f), 1);
  b.Add(kTerminate, 0, {});
  b.Register("main.nsb");
  Machine m;
  ClearCloseRequest();
  m.cm->Start("main.nsb");
  m.Frame();  // GameLoad ends the frame
  EXPECT_EQ(m.host.LoadSlot, 5);
  EXPECT_FALSE(Quitting());
  m.Frame();
  EXPECT_TRUE(Quitting());
  EXPECT_TRUE(CloseRequested());
  ClearCloseRequest();
}

}  // namespace
}  // namespace nova::test
