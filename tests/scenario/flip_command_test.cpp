// The Flip command: carrying objects over, the immediate swap, screen transitions driven frame
// by frame into the back surface (checked against the same transition driven on its own), the
// snapshot, clear-old, blocked events, Abort through PCReset and the running-state record.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/encoding.h"
#include "formats/bmp_image.h"
#include "formats/surface_loader.h"
#include "object_command_fixture.h"
#include "render/wipes.h"
#include "scenario/commands_flip.h"
#include "scenario/pages.h"

namespace nova::test {
namespace {

constexpr int32_t kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00, kYellow = 0x00FFFF;
const std::string kSnapshot("\x01\x01", 2);

class FlipTest : public ::testing::Test {
protected:
  void SetUp() override { FreshFileManager(); }
};

// Both screens coloured, boxes a, b and c on the displayed screen and n on the back screen.
void Scenery(PageBuilder& b) {
  ExprCommand(b, kSetProp, {"\"\"", "8", std::to_string(kRed)});
  ExprCommand(b, kSetProp, {"\"\x01\"", "8", std::to_string(kBlue)});
  PropsCommand(b, kBoxNew, {{PR_NAME, "\"a\""}, {PR_LEFT, "4"}, {PR_TOP, "4"}, {PR_WIDTH, "20"}, {PR_HEIGHT, "12"},
                            {PR_COLOR, std::to_string(kGreen)}});
  PropsCommand(b, kBoxNew, {{PR_NAME, "\"b\""}, {PR_LEFT, "30"}, {PR_TOP, "20"}, {PR_WIDTH, "10"}, {PR_HEIGHT, "10"},
                            {PR_COLOR, std::to_string(kYellow)}});
  PropsCommand(b, kBoxNew, {{PR_NAME, "\"c\""}, {PR_LEFT, "50"}, {PR_TOP, "30"}, {PR_WIDTH, "8"}, {PR_HEIGHT, "8"},
                            {PR_COLOR, "8421504"}});
  PropsCommand(b, kBoxNew, {{PR_NAME, "\"n\""}, {PR_PARENT, "\"\x01\""}, {PR_LEFT, "10"}, {PR_TOP, "26"},
                            {PR_WIDTH, "40"}, {PR_HEIGHT, "16"}, {PR_COLOR, std::to_string(kGreen)}});
}

std::unique_ptr<TDIBX> Copy(TCustomDIBX& s) {
  auto d = std::make_unique<TDIBX>();
  d->SetSize(s.GetWidth(), s.GetHeight(), s.GetBitCount());
  d->Assign(&s);
  return d;
}

int Differing(TCustomDIBX& a, TCustomDIBX& b) {
  int n = 0;
  for (int y = 0; y < a.GetHeight(); ++y)
    for (int x = 0; x < a.GetWidth(); ++x) n += a.GetPixel(x, y) != b.GetPixel(x, y);
  return n;
}

TWipeContext SeededContext() {
  TWipeContext c;
  c.Random = TWipeRandomLcg(7);
  return c;
}

TEST_F(FlipTest, WithoutADurationTheCarriedObjectsMoveAndTheScreensSwapInTheSameFrame) {
  struct Case {
    const char* mode;
    std::vector<std::string> patterns;
    std::vector<std::string> carried;  // now on the displayed screen (screen 1), with n
    std::vector<std::string> left;     // on the old screen
  } cases[] = {
      {"1", {"\"a\\nb\""}, {"a", "b", "n"}, {"c"}},          // pattern values are split into lines
      {"1", {"\"c\"", "\"zz\""}, {"c", "n"}, {"a", "b"}},
      {"0", {"\"a\""}, {"b", "c", "n"}, {"a"}},
      {"0", {}, {"a", "b", "c", "n"}, {}},
      {"2", {"\"a\""}, {"n"}, {"a", "b", "c"}},              // other modes carry nothing
      {"", {"\"a\""}, {"n"}, {"a", "b", "c"}},               // no mode: no carry-over
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("mode ") + c.mode);
    PageBuilder b;
    Scenery(b);
    FlipCmd(b, {.kind = "1", .time = "0", .mode = c.mode, .patterns = c.patterns});
    VarNew(b, "after", 1, "1");
    b.Register("main.nsb");
    ObjectMachine m;
    m.cm->Start("main.nsb");
    m.Frame();
    EXPECT_EQ(m.scene.DisplayedIndex(), 1);
    EXPECT_EQ(m.Int("after"), 1);  // the next command ran in the same frame
    EXPECT_FALSE(m.scene.TransitionRunning());
    EXPECT_EQ(m.scene.FindObject(kSnapshot), nullptr);
    EXPECT_EQ(ObjectMachine::Names(m.scene.Displayed()), c.carried);
    EXPECT_EQ(ObjectMachine::Names(m.scene.BackScreen()), c.left);
  }
}

TEST_F(FlipTest, ShortOrKindlessFlipsSwapAtOnce) {
  struct Case {
    const char* kind;
    const char* time;
  } cases[] = {{"1", "0"}, {"1", "-5"}, {"1", ""}, {"0", "100"}, {"39", "100"}, {"-1", "100"}, {"", "100"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + " / " + c.time);
    PageBuilder b;
    Scenery(b);
    FlipCmd(b, {.kind = c.kind, .time = c.time, .clear = "TRUE"});
    VarNew(b, "after", 1, "1");
    b.Register("main.nsb");
    ObjectMachine m;
    m.cm->Start("main.nsb");
    m.PaintedFrame();
    EXPECT_EQ(m.scene.DisplayedIndex(), 1);
    EXPECT_EQ(m.Int("after"), 1);
    EXPECT_FALSE(m.scene.TransitionRunning());
    // Clear-old deleted what the old screen held.
    EXPECT_TRUE(ObjectMachine::Names(m.scene.BackScreen()).empty());
    EXPECT_EQ(ObjectMachine::Names(m.scene.Displayed()), (std::vector<std::string>{"n"}));
  }
}

// A 16 x 4 mask picture: black on the left half, white on the right.
std::string HalvesBmp() {
  TBrioBitmap rgb(16, 4, 24);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 16; ++x) rgb.SetPixel(x, y, x < 8 ? 0x000000 : 0xFFFFFF);
  std::vector<uint8_t> bytes = EncodeBmp24(rgb);
  return std::string(bytes.begin(), bytes.end());
}

TEST_F(FlipTest, TheBackSurfaceShowsTheTransitionFrameByFrame) {
  struct Case {
    int32_t kind;
    bool reverse;
    const char* param1;
    const char* param2;
    const char* text;
  } cases[] = {
      {WP_FADE, false, "", "", ""},
      {WP_FADE, false, "30", "", ""},  // the new picture slides in from 30 pixels to the right
      {WP_BLINDH, false, "8", "4", ""},
      {WP_CIRCLE, true, "", "", ""},
      {WP_BLOCKRANDOM, false, "10", "", ""},  // shuffled with the scene's random generator
      {WP_ZOOMIN, false, "", "", ""},
      {WP_MASKFADE, false, "", "", "\"halves.bmp\""},
      {WP_MASKFADE, true, "", "", "\"halves.bmp\""},
  };
  RegisterFile("halves.bmp", HalvesBmp());
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(WipeIdentifier(c.kind)) + (c.reverse ? " reversed" : "") + " " + c.param1);
    PageBuilder b;
    Scenery(b);
    Wait(b, "", "1", "", 1);  // one frame shows the scenery
    FlipCmd(b, {.kind = std::to_string(c.kind), .time = "100", .reverse = c.reverse ? "TRUE" : "FALSE",
                .param1 = c.param1, .param2 = c.param2, .text = c.text});
    VarNew(b, "after", 1, "1");
    b.Register("main.nsb");
    ObjectMachine m;
    TWipeContext context = SeededContext();
    context.Defaults.AimZoomAt(40, 8);
    m.scene.SetWipeContext(context);
    m.cm->Start("main.nsb");
    m.PaintedFrame();
    // The pictures the transition goes between: the displayed screen as shown, the back
    // screen as it painted itself.
    std::unique_ptr<TDIBX> from = Copy(m.back), to = Copy(m.scene.BackScreen().Surface());
    ASSERT_NE(Differing(*from, *to), 0);
    std::unique_ptr<TDIBX> dest = Copy(m.back);
    TWipeContext refContext = SeededContext();
    refContext.Defaults.AimZoomAt(40, 8);
    std::unique_ptr<TCustomWipe> ref = CreateWipe(c.kind, dest.get(), from.get(), to.get(), refContext);
    ASSERT_NE(ref, nullptr);
    ref->SetReverse(c.reverse);
    ref->SetDuration(100);
    if (*c.param1) ref->SetParam(0, std::stoi(c.param1));
    if (*c.param2) ref->SetParam(1, std::stoi(c.param2));
    if (*c.text) {
      ref->SetMaskName("halves.bmp");
      auto mask = std::make_unique<TDIBX>();
      mask->SetSize(1, 1, 8);
      TKtMemoryStream bmp(HalvesBmp());
      ASSERT_TRUE(LoadSurfaceFromStream(*mask, bmp, "halves.bmp"));
      ref->SetMaskImage(std::move(mask));
    }
    ref->Prepare();

    // Frame 2 starts it, frame 3 takes the start time; then 16 ms a frame until 100 ms.
    const std::vector<int32_t> elapsed = {0, 0, 16, 32, 48, 64, 80, 96};
    for (size_t f = 0; f < elapsed.size(); ++f) {
      SCOPED_TRACE("frame " + std::to_string(f + 2));
      m.PaintedFrame();
      ASSERT_TRUE(m.scene.TransitionRunning());
      EXPECT_EQ(m.scene.DisplayedIndex(), 0);
      EXPECT_FALSE(m.Has("after"));
      EXPECT_EQ(m.scene.TransitionRect(), (TRect{0, 0, 64, 48}));
      ref->Advance(elapsed[f]);
      EXPECT_EQ(Differing(m.back, *dest), 0);
      // Between the two pictures once the time runs.
      if (elapsed[f] > 0) {
        EXPECT_NE(Differing(m.back, *from), 0);
      }
      EXPECT_NE(Differing(m.back, *to), 0);
    }
    // 112 ms: the new screen is shown whole and the flow goes on.
    m.PaintedFrame();
    EXPECT_FALSE(m.scene.TransitionRunning());
    EXPECT_TRUE(m.scene.TransitionRect().Empty());
    EXPECT_EQ(m.scene.DisplayedIndex(), 1);
    EXPECT_EQ(m.Int("after"), 1);
    EXPECT_EQ(Differing(m.back, *to), 0);
  }
}

TEST_F(FlipTest, CarriedObjectsStayInTheOldPictureThroughTheSnapshotAndClearOldKeepsCabinets) {
  for (bool clear : {false, true}) {
    SCOPED_TRACE(clear ? "clear-old" : "keep");
    PageBuilder b;
    Scenery(b);
    Wait(b, "", "1", "", 1);
    FlipCmd(b, {.kind = std::to_string(WP_FADE), .time = "48", .mode = "1", .patterns = {"\"a\""},
                .clear = clear ? "TRUE" : "FALSE"});
    VarNew(b, "after", 1, "1");
    b.Register("main.nsb");
    ObjectMachine m;
    auto* cabinet = m.scene.Make<TNovaCabinet>();
    cabinet->SetName("cab");
    cabinet->SetParent(&m.scene.GetScreen(0));
    m.cm->Start("main.nsb");
    m.PaintedFrame();
    std::unique_ptr<TDIBX> old = Copy(m.back);
    m.PaintedFrame();
    // The snapshot lies on top of the old screen; the carried box is on the new one already.
    TNovaObject* snapshot = m.scene.FindObject(kSnapshot);
    ASSERT_NE(snapshot, nullptr);
    EXPECT_EQ(snapshot->TypeCode(), LT_NONE);
    EXPECT_EQ(ObjectMachine::Names(m.scene.Displayed()).back(), kSnapshot);
    EXPECT_EQ(m.Find("a")->Parent(), &m.scene.BackScreen());
    // At elapsed 0 the picture is the old one, the carried box included.
    EXPECT_EQ(Differing(m.back, *old), 0);
    EXPECT_EQ(Differing(m.scene.Displayed().Surface(), *old), 0);
    for (int i = 0; i < 4 && m.scene.TransitionRunning(); ++i) m.PaintedFrame();
    EXPECT_FALSE(m.scene.TransitionRunning());
    EXPECT_EQ(m.scene.DisplayedIndex(), 1);
    EXPECT_EQ(m.scene.FindObject(kSnapshot), nullptr);
    EXPECT_EQ(ObjectMachine::Names(m.scene.Displayed()), (std::vector<std::string>{"a", "n"}));
    const std::vector<std::string> oldScreen =
        clear ? std::vector<std::string>{"cab"} : std::vector<std::string>{"b", "c", "cab"};
    EXPECT_EQ(ObjectMachine::Names(m.scene.BackScreen()), oldScreen);
  }
}

TEST_F(FlipTest, ABlockingFlipHoldsEventsUntilItEnds) {
  PageBuilder h;
  Calc(h, 0, "hits = hits + 1");
  h.Register("h.nsb");
  for (bool block : {true, false}) {
    SCOPED_TRACE(block ? "blocking" : "not blocking");
    PageBuilder b;
    VarNew(b, "hits", 1, "0");
    Scenery(b);
    Wait(b, "", "1", "", 1);
    FlipCmd(b, {.kind = "1", .time = "64", .block = block ? "TRUE" : "FALSE"});
    Wait(b, "", "", "", 0);
    b.Register("main.nsb");
    ObjectMachine m;
    m.cm->Start("main.nsb");
    m.PaintedFrame();
    m.PaintedFrame();
    ASSERT_TRUE(m.scene.TransitionRunning());
    EXPECT_EQ(m.cm->IsBlocked(), block);
    m.events.PostEvent(TEventSender{}, "h.nsb", {}, PR_ONLBTNDOWN);
    m.PaintedFrame();
    m.PaintedFrame();
    EXPECT_TRUE(m.scene.TransitionRunning());
    EXPECT_EQ(m.Int("hits"), block ? 0 : 1);
    for (int i = 0; i < 6; ++i) m.PaintedFrame();
    EXPECT_FALSE(m.scene.TransitionRunning());
    EXPECT_EQ(m.Int("hits"), 1);
  }
}

TEST_F(FlipTest, AFullPCResetEndsARunningFlipAtOnce) {
  PageBuilder reset;
  std::vector<TFieldValue> f;
  f.push_back(FStr("next.nsb"));
  f.push_back(FInt(0));
  f.push_back(FByte(1));
  reset.Add(kPCReset, 0, std::move(f));
  reset.Register("reset.nsb");
  PageBuilder next;
  VarNew(next, "there", 1, "1");
  Wait(next, "", "", "", 0);
  next.Register("next.nsb");
  PageBuilder b;
  Scenery(b);
  Wait(b, "", "1", "", 1);
  FlipCmd(b, {.kind = "1", .time = "1000", .mode = "1", .patterns = {"\"b\""}, .clear = "TRUE"});
  b.Register("main.nsb");
  ObjectMachine m;
  m.cm->Start("main.nsb");
  m.PaintedFrame();
  m.PaintedFrame();
  m.PaintedFrame();
  ASSERT_TRUE(m.scene.TransitionRunning());
  ASSERT_NE(m.scene.FindObject(kSnapshot), nullptr);
  m.events.PostEvent(TEventSender{}, "reset.nsb", {}, PR_ONLBTNDOWN);
  m.PaintedFrame();
  EXPECT_FALSE(m.scene.TransitionRunning());
  EXPECT_EQ(m.scene.DisplayedIndex(), 1);
  EXPECT_EQ(m.scene.FindObject(kSnapshot), nullptr);
  EXPECT_EQ(ObjectMachine::Names(m.scene.Displayed()), (std::vector<std::string>{"b", "n"}));
  EXPECT_TRUE(ObjectMachine::Names(m.scene.BackScreen()).empty());
  EXPECT_EQ(m.Int("there"), 1);
}

TEST_F(FlipTest, TheRunningStateRecordCarriesBlockEventsAndClearOld) {
  PageBuilder b;
  Scenery(b);
  Wait(b, "", "1", "", 1);
  FlipCmd(b, {.kind = "1", .time = "500", .clear = "TRUE", .block = "TRUE"});
  VarNew(b, "after", 1, "1");
  b.Register("main.nsb");
  ObjectMachine m;
  m.cm->Start("main.nsb");
  for (int i = 0; i < 4; ++i) m.PaintedFrame();
  ASSERT_TRUE(m.scene.TransitionRunning());
  TKtMemoryStream saved;
  m.cm->SaveState(saved);
  const std::string& bytes = saved.Data();
  ASSERT_GE(bytes.size(), 9u);
  EXPECT_EQ(bytes.substr(bytes.size() - 9), std::string("nova100\x01\x01", 9));

  // Restored into another game, the command keeps blocking events and, without its
  // transition, ends at its next execution with the screens swapped.
  ObjectMachine other;
  TNovaControl* old = other.scene.Make<RecordingControl>(LT_BOX);
  old->SetName("old");
  old->SetParent(&other.scene.Displayed());
  saved.SetPosition(0);
  other.cm->LoadState(saved, 138);
  EXPECT_TRUE(other.cm->IsBlocked());
  other.PaintedFrame();
  EXPECT_EQ(other.scene.DisplayedIndex(), 1);
  EXPECT_EQ(other.Int("after"), 1);
  EXPECT_EQ(other.Find("old"), nullptr);  // clear-old came with the record

  // Records without the tag, or older than version 100, carry nothing.
  TPage page;
  page.Load("main.nsb");
  auto* flip = dynamic_cast<TComFlip*>(page.Command(page.Count() - 2));
  ASSERT_NE(flip, nullptr);
  for (const std::string& record : {std::string("\x01\x01", 2), std::string("nova099\x01\x01", 9)}) {
    TKtMemoryStream s(record);
    flip->LoadState(s);
    EXPECT_FALSE(flip->BlocksEvents());
    EXPECT_FALSE(flip->ClearsOldScreen());
  }
  TKtMemoryStream tagged(std::string("nova100\x01\x00", 9));
  flip->LoadState(tagged);
  EXPECT_TRUE(flip->BlocksEvents());
  EXPECT_FALSE(flip->ClearsOldScreen());
}

}  // namespace
}  // namespace nova::test
