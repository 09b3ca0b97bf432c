// Events: handler pages started between commands, nested levels, blocking waits, and the
// interpreter's saved state.
#include <gtest/gtest.h>

#include "scenario_test_util.h"

namespace nova::test {
namespace {

int LabelCmd(PageBuilder& b, const std::string& name, int code = kLabel) {
  std::vector<TFieldValue> f;
  f.push_back(FStr(name));
  return b.Add(code, 0, std::move(f));
}

// A main flow that waits for ever (non-blocking) after setting up its variables.
void MainWaitingForever(const std::vector<std::string>& vars) {
  PageBuilder b;
  for (const auto& v : vars) VarNew(b, v, 1, "0");
  Wait(b, "", "", "", 0);
  b.Register("main.nsb");
}

class EventTest : public ::testing::Test {
protected:
  void SetUp() override { FreshFileManager(); }
};

TEST_F(EventTest, HandlerNameSplitsAtLabelOnlyAfterTheLastDotOrBackslash) {
  PageBuilder sys;
  Calc(sys, 0, "r = r + 1");
  LabelCmd(sys, "onclick");
  Calc(sys, 0, "r = r + 10");
  sys.Register("sys.nsb");
  PageBuilder drive;
  Calc(drive, 0, "r = r + 100");
  drive.Register("c:\\x.nsb");
  struct Case {
    const char* ref;
    int r;
  } cases[] = {{"sys.xyz:onclick", 10}, {"sys.abc", 11}, {"c:\\x.nsb", 100}};
  for (const Case& c : cases) {
    MainWaitingForever({"r"});
    Machine m;
    m.cm->Start("main.nsb");
    m.Frame();
    m.events.PostEvent(m.Sender("btn"), c.ref, {}, 36);
    m.Frame();
    EXPECT_EQ(m.Int("r"), c.r) << c.ref;
    EXPECT_EQ(m.events.Count(), 0) << c.ref;
    EXPECT_EQ(m.cm->State(), 0);
    EXPECT_EQ(m.cm->CurrentPage()->Name(), "main.nsb");
    EXPECT_EQ(m.cm->Index(), 1);  // back on the wait, which goes on waiting
    EXPECT_TRUE(m.cm->Entered());
  }
}

TEST_F(EventTest, HandlerSeesSenderAndArguments) {
  PageBuilder h;
  VarNew(h, "s", 4, "@Sender");
  VarNew(h, "a", 4, "@ParamStr[1]");
  h.Register("h.nsb");
  // @Sender names the object that posted the event as it is named when the handler asks,
  // also when it was renamed while the event waited.
  struct Case {
    const char* sender;   // null: an event without a sender
    const char* renamed;  // null: keeps its name
    const char* expect;
  } cases[] = {{"btn", nullptr, "btn"}, {"btn", "key", "key"}, {nullptr, nullptr, ""}};
  for (const Case& c : cases) {
    MainWaitingForever({});
    Machine m;
    m.cm->Start("main.nsb");
    const TEventSender sender = c.sender ? m.Sender(c.sender) : TEventSender{};
    m.events.PostEvent(sender, "h.nsb", {"x", "y"}, 36);
    if (c.renamed) m.scene.FindObject(c.sender)->SetName(c.renamed);
    m.Frame();
    EXPECT_EQ(m.Str("s"), c.expect);
    EXPECT_EQ(m.Str("a"), "y");
    EXPECT_EQ(m.cm->SenderName(), "");
  }
}

TEST_F(EventTest, BlockingWaitKeepsEventsQueuedUntilItEnds) {
  PageBuilder h;
  Calc(h, 0, "ev = ev + 1");
  h.Register("h.nsb");
  for (int block = 0; block <= 1; ++block) {
    PageBuilder b;
    VarNew(b, "ev", 1, "0");
    Wait(b, "", "50", block ? "1" : "0");
    Wait(b, "", "", "", 0);
    b.Register("main.nsb");
    Machine m;
    m.cm->Start("main.nsb");
    m.Frame();
    m.events.PostEvent(m.Sender("btn"), "h.nsb", {}, 36);
    m.Frame();  // 16 ms of 50
    EXPECT_EQ(m.Int("ev"), block ? 0 : 1) << block;
    m.Frames(2);  // 48 ms
    EXPECT_EQ(m.Int("ev"), block ? 0 : 1) << block;
    m.Frame();  // the wait ends; the event starts at once
    EXPECT_EQ(m.Int("ev"), 1) << block;
  }
}

TEST_F(EventTest, EventStartedWhileHandlerWaitsRunsNested) {
  PageBuilder h1;
  Calc(h1, 0, "a = 1");
  Wait(h1, "", "32", "");
  Calc(h1, 0, "a = 2");
  h1.Register("h1.nsb");
  PageBuilder h2;
  Calc(h2, 0, "b = a");
  h2.Register("h2.nsb");
  MainWaitingForever({"a", "b"});
  Machine m;
  m.cm->Start("main.nsb");
  m.Frame();
  m.events.PostEvent(m.Sender("one"), "h1.nsb", {}, 36);
  m.Frame();
  EXPECT_EQ(m.cm->State(), 2);
  EXPECT_EQ(m.events.Entry(0).Level, 1);
  m.events.PostEvent(m.Sender("two"), "h2.nsb", {}, 36);
  m.Frame();
  EXPECT_EQ(m.Int("b"), 1);  // ran while h1 still waited
  EXPECT_EQ(m.Int("a"), 1);
  EXPECT_EQ(m.events.Count(), 1);  // h2's record went when it returned
  m.Frames(3);
  EXPECT_EQ(m.Int("a"), 2);
  EXPECT_EQ(m.cm->State(), 0);
  EXPECT_EQ(m.cm->EventLevel(), 2);
  EXPECT_EQ(m.events.Count(), 0);
  EXPECT_EQ(m.cm->Stack().Count(), 0);
}

TEST_F(EventTest, MissingHandlerPageStaysPending) {
  MainWaitingForever({});
  Machine m;
  m.cm->Start("main.nsb");
  m.events.PostEvent(m.Sender("btn"), "none.nsb", {}, 36);
  m.Frames(2);
  ASSERT_EQ(m.events.Count(), 1);
  EXPECT_EQ(m.events.Entry(0).Level, 0);
  EXPECT_EQ(m.cm->State(), 0);
}

TEST_F(EventTest, SavedStateInsideCalledPageResumesAndReturnsTheResult) {
  PageBuilder sub;
  Calc(sub, 0, "@Result = 42");
  Wait(sub, "", "100", "", 0);
  Cond(sub, kExit, 0, "");
  Calc(sub, 0, "@Result = 0");
  sub.Register("sub.nsb");
  PageBuilder b;
  VarNew(b, "r", 1, "0");
  VarNew(b, "after", 1, "0");
  CallCmd(b, "sub.nsb", "r", {"\"arg\""});
  Calc(b, 0, "after = 1");
  Wait(b, "", "", "", 0);
  b.Register("main.nsb");

  TKtMemoryStream saved;
  {
    Machine m;
    m.cm->Start("main.nsb");
    m.Frames(3);  // inside the wait: 32 of 100 ms counted
    ASSERT_EQ(m.cm->Stack().Count(), 1);
    m.cm->SaveState(saved);
  }
  Machine m;
  for (const char* name : {"r", "after"}) m.store->SetParamName(m.store->AddParam(PT_INT), name);
  saved.SetPosition(0);
  m.cm->LoadState(saved, 138);
  EXPECT_EQ(saved.Remaining(), 0);
  ASSERT_EQ(m.cm->Stack().Count(), 1);
  EXPECT_EQ(m.store->CurrentLevel, 1);
  EXPECT_EQ(m.cm->Arg(0), "arg");
  ASSERT_NE(m.cm->ResultValue(), nullptr);
  EXPECT_EQ(m.cm->ResultValue()->GetAsInt(), 42);
  m.Frames(4);  // 96 of 100
  EXPECT_EQ(m.Int("after"), 0);
  m.Frame();  // the wait ends, and with its continue flag clear so does the frame
  EXPECT_EQ(m.Int("r"), 0);
  m.Frame();
  EXPECT_EQ(m.Int("r"), 42);
  EXPECT_EQ(m.Int("after"), 1);
  EXPECT_EQ(m.cm->Stack().Count(), 0);
}

TEST_F(EventTest, HandlerLeftWaitingIsSavedInItsFrame) {
  PageBuilder h;
  Calc(h, 0, "n = n + 1");
  h.Register("h.nsb");
  PageBuilder b;
  VarNew(b, "n", 1, "0");
  Wait(b, "", "1000", "", 0);
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frames(2);
  m.events.PostEvent(TEventSender{}, "h.nsb", {}, 36);
  // Push the event by hand to look at the frame: the main flow's wait state rides along.
  ASSERT_EQ(m.cm->StartEvent(1), 1);
  ASSERT_EQ(m.cm->Stack().Count(), 1);
  const TStack& f = m.cm->Stack().Frame(0);
  ASSERT_TRUE(f.SavedState);
  EXPECT_EQ(f.SavedState->Data().substr(0, 7), "nova100");
  EXPECT_EQ(f.Entered, 1);
}

}  // namespace
}  // namespace nova::test

namespace nova::test {
namespace {

TEST_F(EventTest, AfterLoadPageRunsFirstThenTheRestoredWaitGoesOn) {
  PageBuilder after;
  Calc(after, 0, "a = 99");
  Calc(after, 0, "a = a + 1");
  after.Register("after.nsb");
  PageBuilder b;
  VarNew(b, "a", 1, "0");
  VarNew(b, "done", 1, "0");
  Wait(b, "", "40", "");
  Calc(b, 0, "done = 1");
  Wait(b, "", "", "", 0);
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frames(2);  // 16 of 40 ms
  m.cm->EnterAfterLoadPage("after.nsb", 1);
  EXPECT_EQ(m.cm->Stack().Count(), 1);
  // The after-load page from index 1; the return restores the wait's cleared continue flag,
  // so the frame ends there.
  m.Frame();
  EXPECT_EQ(m.Int("a"), 1);
  EXPECT_EQ(m.cm->Stack().Count(), 0);
  EXPECT_TRUE(m.cm->Entered());
  m.Frame();  // 32 of 40 ms
  EXPECT_EQ(m.Int("done"), 0);
  m.Frame();
  EXPECT_EQ(m.Int("done"), 1);
}

}  // namespace
}  // namespace nova::test
