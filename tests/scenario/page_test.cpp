// Page loading: version branches, code bytes, the property-set table, labels, every class.
#include <gtest/gtest.h>

#include "base/error.h"
#include "scenario/commands_create.h"
#include "scenario/pages.h"
#include "scenario_test_util.h"

namespace nova::test {
namespace {

class PageTest : public ::testing::Test {
protected:
  void SetUp() override {
    FreshFileManager();
    SetQuitting(false);
    ClearCloseRequest();
  }
  void TearDown() override {
    SetQuitting(false);
    ClearCloseRequest();
  }
};

TEST_F(PageTest, VersionBranches) {
  struct Case {
    int32_t version;
    int commands;
    bool refused;
  } cases[] = {{112, 2, false}, {103, 2, false}, {113, 0, false}, {102, 0, true}};
  for (const Case& c : cases) {
    SetQuitting(false);
    PageBuilder b(c.version);
    Calc(b, 0, "x = 1");
    Calc(b, 0, "x = 2");
    b.Register("p.nsb");
    TPage page;
    if (c.refused) {
      // The loader only raises; the interpreter's owner warns and closes (see the project).
      std::string message;
      try {
        page.Load("p.nsb");
      } catch (const EPageOutdated& e) {
        message = SjisToUtf8(e.Message());
      }
      EXPECT_EQ(message, "p.nsb\r\nリビルドしてください");
      EXPECT_EQ(page.Count(), 0);
    } else {
      page.Load("p.nsb");
      EXPECT_EQ(page.Count(), c.commands) << c.version;
    }
    EXPECT_FALSE(Quitting());
  }
}

TEST_F(PageTest, OnlyTheLowSevenBitsOfTheCodeCount) {
  PageBuilder b;
  CallCmd(b, "sub.nsb", "r", {"1"});
  b.File().Commands[0].CodeByte = 0x85;
  b.Register("p.nsb");
  TPage page;
  page.Load("p.nsb");
  ASSERT_EQ(page.Count(), 1);
  EXPECT_EQ(page.Command(0)->Code(), 5);
}

TEST_F(PageTest, CodeAbove60IsRefused) {
  std::string bytes;
  {
    TKtMemoryStream m;
    m.WriteInt32(112);
    m.WriteByte(1);
    m.WriteInt32(0);
    m.WriteInt32(21);
    m.WriteInt32(1);
    m.WriteByte(61);
    m.WriteBytes(std::string(10, '\0'));
    bytes = m.Data();
  }
  RegisterFile("p.nsb", bytes);
  TPage page;
  try {
    page.Load("p.nsb");
    FAIL() << "no error";
  } catch (const ENovaError& e) {
    EXPECT_EQ(SjisToUtf8(e.Message()), "不正なコマンド");
  }
}

TEST_F(PageTest, PropertySetRecordsOfSize25KeepTheFirst21Bytes) {
  PageBuilder b;
  b.File().PropSetRecordSize = 25;
  for (auto& r : b.File().PropSetRecords) r.assign(25, '\0');
  // BoxNew (code 8) carries properties 3 and 9; the bytes past the 21st are set but ignored.
  b.File().PropSetRecords[8][0] = 0x08;
  b.File().PropSetRecords[8][1] = 0x02;
  for (int i = 21; i < 25; ++i) b.File().PropSetRecords[8][static_cast<size_t>(i)] = '\xFF';
  b.File().PropSets[8][0] = 0x08;
  b.File().PropSets[8][1] = 0x02;
  TFieldValue props;
  props.Kind = TFieldKind::Properties;
  props.Props[3] = CompileExpr("10");
  props.Props[9] = CompileExpr("20");
  std::vector<TFieldValue> f;
  f.push_back(std::move(props));
  b.Add(8, 0, std::move(f));
  b.Add(30, 0, {});  // Button: no bits, the record is its header
  Calc(b, 0, "x = 5");
  b.Register("p.nsb");
  TPage page;
  page.Load("p.nsb");
  ASSERT_EQ(page.Count(), 3);
  auto* box = static_cast<TComComponent*>(page.Command(0));
  EXPECT_TRUE(box->HasProp(3));
  EXPECT_TRUE(box->HasProp(9));
  EXPECT_FALSE(box->HasProp(168 - 8));
  EXPECT_EQ(box->Prop(9)->Operations.size(), CompileExpr("20")->Operations.size());
  EXPECT_FALSE(static_cast<TComComponent*>(page.Command(1))->HasProp(3));
  EXPECT_EQ(page.Command(2)->Code(), 14);
}

TEST_F(PageTest, FindLabelReturnsACommentBeforeTheLabel) {
  PageBuilder b;
  Calc(b, 0, "x = 1");
  std::vector<TFieldValue> c;
  c.push_back(FStr("ここ"));
  b.Add(kComment, 0, std::move(c));
  std::vector<TFieldValue> l;
  l.push_back(FStr("ここ"));
  b.Add(kLabel, 0, std::move(l));
  b.Register("p.nsb");
  TPage page;
  page.Load("p.nsb");
  EXPECT_EQ(page.FindLabel(Utf8ToSjis("ここ")), 1);
  EXPECT_EQ(page.FindLabel("none"), -1);
  EXPECT_TRUE(page.Command(1)->IsCommentedOut());
  EXPECT_EQ(page.IndexOf(page.Command(2)), 2);
}

// One record of every code: each loads as its class, reports the layout's forced continue
// flag, and (as far as its effect exists) moves on.
TEST_F(PageTest, EveryCodeLoadsAndMovesOn) {
  for (int cont = 0; cont <= 1; ++cont) {
    PageBuilder b;
    for (int code = 0; code < kCommandCount; ++code) b.Add(code, 0, {}, static_cast<uint8_t>(cont));
    b.Register("p.nsb");
    TPage page;
    page.Load("p.nsb");
    ASSERT_EQ(page.Count(), kCommandCount);
    for (int code = 0; code < kCommandCount; ++code) {
      const TCommandLayout& l = CommandLayout(code);
      TCommand* cmd = page.Command(code);
      EXPECT_EQ(cmd->Code(), code);
      bool expected = l.ForcedContinue >= 0 ? l.ForcedContinue != 0 : cont != 0;
      EXPECT_EQ(cmd->ContinueFlag(), expected) << l.Name;
      EXPECT_EQ(cmd->IsCommentedOut(), l.AlwaysCommentedOut) << l.Name;
    }
  }
  // The inert commands (objects, text, media, history, transitions) only advance (MenuClose, 26,
  // waits for its menu).
  const int inert[] = {8,  9,  10, 11, 12, 13, 17, 18, 19, 20, 21, 22, 23, 24, 25, 28, 29, 30,
                       36, 37, 42, 43, 44, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60};
  PageBuilder b;
  for (int code : inert) b.Add(code, 0, {});
  Calc(b, 0, "x = 1");
  b.Register("main.nsb");
  Machine m;
  m.store->SetParamName(m.store->AddParam(PT_INT), "x");
  m.cm->Start("main.nsb");
  m.Frame();
  EXPECT_EQ(m.Int("x"), 1);
}

TEST_F(PageTest, RecordFieldsOfOlderVersions) {
  // Version 104: GameSave has no after-load index, Wait no block-events flag.
  PageBuilder b(104);
  std::vector<TFieldValue> save;
  save.push_back(FExpr("3"));
  save.push_back(FStr("after.nsb"));
  save.push_back(FExpr("\"cap\""));
  b.Add(38, 0, std::move(save));
  b.Add(46, 0, {});
  b.Register("main.nsb");
  Machine m;
  m.cm->Start("main.nsb");
  m.Frame();
  EXPECT_EQ(m.host.SaveSlot, 3);
  EXPECT_EQ(m.host.SavePage, "after.nsb");
  EXPECT_EQ(m.host.SaveIndex, 0);
  EXPECT_EQ(m.host.SaveCaption, "cap");
  EXPECT_EQ(m.cm->Index(), 1);  // GameSave ends the frame
}

}  // namespace
}  // namespace nova::test
