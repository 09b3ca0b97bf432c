// The message history: references and rows, MaxCount, pending entries, showing a range in a
// box, and the saved forms.
#include <gtest/gtest.h>

#include "components/text/mes_fixtures.h"

namespace nova::test {
namespace {

struct HistoryFixture : MesFixture {
  HistoryFixture() {
    f0 = Compiled("one", 0);
    texts.Add("p.nsb", {Compiled("one", 0), Compiled("two", 0), Compiled("three", 0),
                        Compiled("a<BR>b<BR>c", 0), Compiled("d<BR>e", 0)});
    texts.Add("q.nsb", {Compiled("four", 0)});
    box = Box("mes", 0, 0, 320, 100);
  }
  // TextIns with read marks on, as the command does it.
  void Show(TNovaMes* b, const std::string& page, int32_t command) {
    b->ClearReadRequest();
    b->SetReadRequest(page, command);
    b->ShowCompiledText(page, command);
  }
  std::vector<std::string> RefNames(const TNovaNewHistory& h) {
    std::vector<std::string> out;
    for (const THistoryOldData& r : h.Refs) out.push_back(r.Name + ":" + std::to_string(r.Command));
    return out;
  }
  std::string f0;
  TNovaMes* box;
};

TEST(History, ReferenceModeCountsShownPages) {
  HistoryFixture f;
  TNovaNewHistory& h = f.history.Default().History;
  f.Show(f.box, "p.nsb", 0);
  EXPECT_EQ(h.Count(), 0);  // pending until the box moves on
  f.Show(f.box, "p.nsb", 1);
  f.Show(f.box, "q.nsb", 0);
  f.Show(f.box, "p.nsb", 2);
  f.box->ClearText();
  EXPECT_EQ(h.Count(), 4);
  EXPECT_EQ(f.RefNames(h), (std::vector<std::string>{"p.nsb:0", ":1", "q.nsb:0", "p.nsb:2"}));
  EXPECT_EQ(h.Refs[0].Width, 320);
  EXPECT_EQ(h.Refs[0].Height, 100);
  // Without read marks nothing is recorded.
  f.box->ClearReadRequest();
  f.box->ShowCompiledText("p.nsb", 0);
  f.box->ClearText();
  EXPECT_EQ(h.Count(), 4);
}

TEST(History, MaxCountKeepsTheLastEntriesWithTheirPageName) {
  HistoryFixture f;
  TNovaNewHistory& h = f.history.Default().History;
  h.MaxCount = 2;
  for (int32_t i : {0, 1, 2}) f.Show(f.box, "p.nsb", i);
  f.box->ClearText();
  EXPECT_EQ(f.RefNames(h), (std::vector<std::string>{"p.nsb:1", ":2"}));
}

TEST(History, OnePendingEntryPerHistory) {
  HistoryFixture f;
  TNovaMes* other = f.Box("other", 0, 120, 320, 100);
  f.Show(f.box, "p.nsb", 0);
  f.Show(other, "p.nsb", 1);  // replaces the first box's pending entry
  f.box->ClearText();         // nothing of the first box is pending any more
  EXPECT_EQ(f.history.Default().History.Count(), 0);
  other->ClearText();
  EXPECT_EQ(f.RefNames(f.history.Default().History), (std::vector<std::string>{"p.nsb:1"}));
}

TEST(History, RowModeCountsPixelsAndGroupsRowPages) {
  HistoryFixture f;
  TNovaHistoryFormat& wide = f.history.GetFormat("wide");
  wide.Settings = {16, 0, 0, 400, 40, 0};
  f.Show(f.box, "p.nsb", 3);
  f.Show(f.box, "p.nsb", 4);
  f.box->ClearText();
  // An entry of a page the game does not have: a reference, but no rows.
  THistoryEntry missing;
  missing.BoxName = S("mes");
  missing.Page = "missing.nsb";
  missing.TextPage = 0;
  f.history.BeginEntry(missing);
  f.history.CommitEntry(S("mes"));
  TNovaNewHistory& h = wide.History;
  EXPECT_TRUE(h.RowMode());
  EXPECT_EQ(h.Count(), 80);  // five rows of 16
  ASSERT_EQ(h.Pages.size(), 3u);
  EXPECT_EQ(h.Pages[0]->Rows.size(), 2u);  // a, b: c does not fit in 40
  EXPECT_EQ(h.Pages[1]->Rows.size(), 2u);  // c, d
  EXPECT_EQ(h.Pages[0]->Rows[0].Name, "p.nsb");
  EXPECT_EQ(h.Pages[0]->Rows[1].Name, "");
  EXPECT_EQ(h.Pages[1]->Rows[1].FirstGlyph, 0);  // d: the first glyph of its text
  // The default format records the same texts as references.
  EXPECT_EQ(f.history.Default().History.Count(), 3);
  // MaxCount in row mode keeps row pages; the first row kept takes the page name.
  h.MaxCount = 2;
  f.Show(f.box, "q.nsb", 0);
  f.box->ClearText();
  ASSERT_EQ(h.Pages.size(), 2u);
  EXPECT_EQ(h.Pages[0]->Rows[0].Name, "p.nsb");
  EXPECT_EQ(h.Count(), 64);
}

TEST(History, ShowingRowsFromAPixelOffset) {
  HistoryFixture f;
  TNovaHistoryFormat& wide = f.history.GetFormat("wide");
  wide.Settings = {16, 0, 0, 400, 100, 0};
  f.Show(f.box, "p.nsb", 3);
  f.Show(f.box, "p.nsb", 4);
  f.box->ClearText();
  ASSERT_EQ(wide.History.Count(), 80);
  f.store.TextDelay = 0;
  // Pixels 20..49: rows b (16..31), c (32..47) and d (48..63); b starts 4 pixels up.
  f.box->ShowHistory(wide.History, 20, 30, false);
  EXPECT_EQ(MesFixture::Int(*f.box, PR_COUNT), 1);
  TWdPage* page = f.box->CurrentPage();
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(page->Rows.size(), 3u);
  EXPECT_EQ(page->Rows[0]->Y, -4);
  EXPECT_EQ(page->Rows[2]->Y, 28);
  f.Frames(2);
  // c ends its text: its row has no line break.
  EXPECT_EQ(MesFixture::Str(*f.box, PR_TEXT), "b\r\ncd\r\n");
  // Shown history is not recorded again.
  f.box->ClearText();
  EXPECT_EQ(wide.History.Count(), 80);
}

TEST(History, ShowingReferencesStacked) {
  HistoryFixture f;
  for (int32_t i : {0, 1, 2}) f.Show(f.box, "p.nsb", i);
  f.box->ClearText();
  const TNovaNewHistory& h = f.history.Default().History;
  for (bool flag : {true, false}) {
    f.box->ShowHistory(h, 1, 2, flag);
    TWdPage* page = f.box->CurrentPage();
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->Rows.size(), 2u);
    // With the flag each text follows the last row of the one before; without it each takes
    // a box height.
    EXPECT_EQ(page->Rows[1]->Y, flag ? 16 : 100);
    f.Frames(3);
    EXPECT_EQ(MesFixture::Str(*f.box, PR_TEXT), "twothree");
  }
}

TEST(History, SavedFormsRoundTrip) {
  HistoryFixture f;
  TNovaHistoryFormat& wide = f.history.GetFormat("wide");
  wide.Settings = {16, 1, 2, 400, 40, 0};
  f.history.Default().History.MaxCount = 7;
  f.Show(f.box, "p.nsb", 3);
  f.Show(f.box, "q.nsb", 0);
  f.Show(f.box, "p.nsb", 4);  // stays pending
  TKtMemoryStream saved;
  f.history.SaveToStream(saved);
  TNovaHistoryFormatManager loaded;
  saved.SetPosition(0);
  loaded.LoadFromStream(saved, 138);
  EXPECT_EQ(saved.Position(), saved.Size());
  TKtMemoryStream again;
  loaded.SaveToStream(again);
  EXPECT_EQ(again.Data(), saved.Data());
  ASSERT_EQ(loaded.Count(), 2);
  EXPECT_EQ(loaded.FindFormat("wide")->Settings, wide.Settings);
  EXPECT_EQ(loaded.Default().History.MaxCount, 7);
  EXPECT_EQ(loaded.Default().History.PendingPage, "p.nsb");
  EXPECT_EQ(loaded.FindFormat("wide")->History.Count(), wide.History.Count());
}

TEST(History, OldSavedHistoriesLoad) {
  // Version 112: a leading string, references as parallel lists, the pending entry only.
  TKtMemoryStream old;
  old.WriteString("ignored");
  old.WriteInt32(2);
  old.WriteString("p.nsb");
  old.WriteString("");
  old.WriteInt32(4);
  old.WriteInt32(5);
  old.WriteInt32(-1);
  old.WriteInt32(0);
  for (int32_t v : {320, 100, 320, 100}) old.WriteInt32(v);
  old.WriteString("q.nsb");
  for (int32_t v : {1, 0, 320, 100}) old.WriteInt32(v);
  old.WriteString("mes");
  TNovaHistoryFormatManager m;
  m.GetFormat("other");
  old.SetPosition(0);
  m.LoadDefaultHistory(old, 112);
  EXPECT_EQ(old.Position(), old.Size());
  EXPECT_EQ(m.Count(), 1);  // the formats were reset
  const TNovaNewHistory& h = m.Default().History;
  ASSERT_EQ(h.Refs.size(), 2u);
  EXPECT_EQ(h.Refs[1].Command, 5);
  EXPECT_EQ(h.Refs[1].TextPage, 0);
  EXPECT_EQ(h.PendingPage, "q.nsb");
  EXPECT_EQ(h.PendingBox, "mes");

  // Version 120: rows without variable lists, no pending variable list.
  TNovaNewHistory modern;
  modern.Word.Settings.Width = 400;
  auto page = std::make_unique<TNovaHistData>();
  page->Add(THistRow{"p.nsb", 3, 0, 2, 16, "x=1"});
  modern.Pages.push_back(std::move(page));
  modern.PendingVarList = "y=2";
  TKtMemoryStream full;
  modern.SaveToStream(full);
  // Cut the variable lists out: the row's (after its height) and the pending one (at the end).
  std::string bytes = full.Data();
  const std::string rowList = std::string("\x03\0\0\0x=1", 7);
  bytes.erase(bytes.find(rowList), rowList.size());
  bytes.resize(bytes.size() - 7);
  TKtMemoryStream v120(bytes);
  TNovaNewHistory back;
  back.LoadFromStream(v120, 120);
  EXPECT_EQ(v120.Position(), v120.Size());
  ASSERT_EQ(back.Pages.size(), 1u);
  EXPECT_EQ(back.Pages[0]->Rows[0].Height, 16);
  EXPECT_EQ(back.Pages[0]->Rows[0].VarList, "");
  EXPECT_EQ(back.Count(), 16);
}

TEST(History, ResetAndClear) {
  HistoryFixture f;
  f.history.GetFormat("wide").Settings = {16, 0, 0, 400, 40, 0};
  f.Show(f.box, "p.nsb", 0);
  f.box->ClearText();
  f.history.ClearAll();
  EXPECT_EQ(f.history.Count(), 2);
  EXPECT_EQ(f.history.Default().History.Count(), 0);
  f.history.Reset();
  EXPECT_EQ(f.history.Count(), 1);
  EXPECT_EQ(f.history.FindFormat("wide"), nullptr);
}

}  // namespace
}  // namespace nova::test
