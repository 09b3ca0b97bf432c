// The text and history commands run by the interpreter: TextIns with its wait and running
// state, TextClr, FormatHist, CallHist, ClrHist, ClrRead and the history functions.
#include <gtest/gtest.h>

#include "components/component_services.h"
#include "components/text/history.h"
#include "components/text/history_functions.h"
#include "components/text/nova_mes.h"
#include "components/text/read_list.h"
#include "objects/property_access.h"
#include "platform/headless_fonts.h"
#include "scenario/scenario_texts.h"
#include "scenario_test_util.h"
#include "text/font_pixels.h"
#include "text/ktwords.h"

namespace nova::test {
namespace {

constexpr int kTextIns = 20, kClrHist = 22, kTextClr = 28, kCallHist = 29, kClrRead = 47, kFormatHist = 58;

std::string Glyphs(const std::string& markupUtf8) {
  TKtWord word;
  word.BuildGlyphs(SplitMarkupLines(Utf8ToSjis(markupUtf8)), 0);
  TKtMemoryStream out;
  word.SaveGlyphStream(out);
  return out.Data();
}

int TextIns(PageBuilder& b, const std::string& markup, const std::string& read, const std::string& wait) {
  std::vector<TFieldValue> f;
  f.push_back(FText(Glyphs(markup)));
  f.push_back(FExpr("\"mes\""));
  f.push_back(FExpr(read));
  f.push_back(FExpr(wait));
  f.push_back(FExpr(""));
  return b.Add(kTextIns, 0, std::move(f));
}

int Exprs(PageBuilder& b, int code, const std::vector<std::string>& exprs) {
  std::vector<TFieldValue> f;
  for (const std::string& e : exprs) f.push_back(FExpr(e));
  return b.Add(code, 0, std::move(f));
}

// The interpreter with a message box named "mes" and the history, read marks and compiled
// texts of a game.
struct TextMachine : Machine {
  TextMachine() : glyphs(fonts), texts([this] { return cm.get(); }) {
    FreshFileManager();
    services.Store = store.get();
    services.Funcs = funcs.get();
    services.Glyphs = &glyphs;
    services.Texts = &texts;
    services.History = &history;
    services.ReadMarks = &marks;
    history.Env = TMesTextEnv{&texts, nullptr, nullptr, store.get(), funcs.get()};  // square cells, as the game's
    host.History = &history;
    host.Marks = &marks;
    RegisterHistoryFunctions(*funcs, history);
    box = scene.Make<TNovaMes>(services);
    box->SetName("mes");
    box->SetParent(&scene.Displayed());
    for (auto [id, v] : {std::pair{PR_WIDTH, 320}, {PR_HEIGHT, 100}, {PR_FONTHEIGHT, 16}, {PR_TEXTDELAY, 256}})
      WriteProperty(*box, id, TPropValue::OfInt(v));
  }
  ~TextMachine() { UnregisterHistoryFunctions(*funcs); }
  // The interpreter's pass, then the objects' update, as a game frame has them.
  void Step(int n = 1) {
    for (int i = 0; i < n; ++i) {
      Frame();
      scene.UpdateScene(16);
    }
  }

  THeadlessFontRasterizer fonts;
  TFontPixelManager glyphs;
  TScenarioTexts texts;
  TNovaHistoryFormatManager history;
  TNovaReadList marks;
  TComponentServices services;
  TNovaMes* box = nullptr;
};

TEST(TextCommands, TextInsWaitsWhileTheBoxHasPages) {
  TextMachine m;
  PageBuilder p;
  VarNew(p, "after", 1, "0");
  TextIns(p, "あいう", "TRUE", "TRUE");
  Calc(p, 0, "after = 1");
  p.Register("start.nsb");
  PageBuilder clr;
  Exprs(clr, kTextClr, {"\"mes\""});
  clr.Register("clr.nsb");
  m.cm->Start("start.nsb");
  m.Step(20);
  EXPECT_EQ(ReadProperty(*m.box, PR_TEXT).Str, Utf8ToSjis("あいう"));  // typed out
  EXPECT_EQ(m.cm->Index(), 1);                                          // and still waiting
  EXPECT_EQ(m.Int("after"), 0);
  EXPECT_EQ(m.box->ReadKey(), "start.nsb");
  EXPECT_EQ(m.box->MessageNumber(), 1);
  EXPECT_TRUE(m.marks.IsRead("start.nsb", 1, 0));

  // The running state of the waiting command survives a save: a new interpreter goes on
  // waiting for the same box.
  TKtMemoryStream state;
  m.cm->SaveState(state);
  m.cm.reset();
  m.cm = std::make_unique<TCallMan>(*m.store, *m.funcs, m.scene, m.host);
  state.SetPosition(0);
  m.cm->LoadState(state, 138);
  m.Step(3);
  EXPECT_EQ(m.cm->Index(), 1);

  // A TextClr run from an event handler ends the wait.
  m.events.PostEvent(m.Sender("mes"), "clr.nsb", {}, PR_ONLBTNDOWN);
  m.Step(3);
  EXPECT_EQ(m.Int("after"), 1);
  EXPECT_EQ(ReadProperty(*m.box, PR_COUNT).Int, 0);
  EXPECT_FALSE(m.box->ReadMarksOn());
}

TEST(TextCommands, TextInsOnNoBoxOrWithoutWaitMovesOn) {
  TextMachine m;
  PageBuilder p;
  VarNew(p, "after", 1, "0");
  std::vector<TFieldValue> f;
  f.push_back(FText(Glyphs("x")));
  f.push_back(FExpr("\"nobox\""));
  f.push_back(FExpr(""));
  f.push_back(FExpr("TRUE"));
  f.push_back(FExpr(""));
  p.Add(kTextIns, 0, std::move(f));
  TextIns(p, "y", "", "");
  Calc(p, 0, "after = 1");
  p.Register("start.nsb");
  m.cm->Start("start.nsb");
  m.Step();
  EXPECT_EQ(m.Int("after"), 1);
  EXPECT_EQ(ReadProperty(*m.box, PR_COUNT).Int, 1);
  EXPECT_FALSE(m.box->ReadMarksOn());
}

TEST(TextCommands, HistoryFormatsCountsAndCallHist) {
  TextMachine m;
  PageBuilder p;
  for (const char* v : {"n", "w", "h", "none", "maxDefault", "after"}) VarNew(p, v, 1, "0");
  VarNew(p, "ok", 3, "FALSE");
  VarNew(p, "bad", 3, "TRUE");
  Exprs(p, kFormatHist, {"\"mes\"", "\"wide\""});
  TextIns(p, "one", "TRUE", "");
  TextIns(p, "two<BR>three", "TRUE", "");
  Exprs(p, kTextClr, {"\"mes\""});
  Calc(p, 0, "n = GetHistoryCount(\"\")");
  Calc(p, 0, "w = GetHistoryCount(\"wide\")");
  Calc(p, 0, "h = @HistoryCount");
  Calc(p, 0, "none = GetHistoryCount(\"none\")");
  Calc(p, 0, "ok = SetHistoryMaxCount(\"wide\", 4)");
  Calc(p, 0, "bad = SetHistoryMaxCount(\"none\", 4)");
  Calc(p, 0, "@HistoryMaxCount = 9");
  Calc(p, 0, "maxDefault = GetHistoryMaxCount(\"\")");
  Exprs(p, kCallHist, {"\"mes\"", "1", "5", "TRUE", "\"\""});
  Calc(p, 0, "after = 1");
  p.Register("start.nsb");
  m.cm->Start("start.nsb");
  m.Step();
  EXPECT_EQ(m.Int("after"), 1);
  EXPECT_EQ(m.Int("n"), 2);   // two text pages
  EXPECT_EQ(m.Int("w"), 48);  // three rows of 16 pixels
  EXPECT_EQ(m.Int("h"), 2);
  EXPECT_EQ(m.Int("none"), -1);
  EXPECT_EQ(m.Int("ok"), 1);
  EXPECT_EQ(m.Int("bad"), 0);
  EXPECT_EQ(m.Int("maxDefault"), 9);
  EXPECT_EQ(m.history.FindFormat("wide")->History.MaxCount, 4);
  const THistorySettings wide{16, 0, 0, 320, 100, 0};
  EXPECT_EQ(m.history.FindFormat("wide")->Settings, wide);
  // CallHist from entry 1, count cut to what there is: the second text.
  m.Step(3);
  EXPECT_EQ(SjisToUtf8(ReadProperty(*m.box, PR_TEXT).Str), "two\r\nthree");
}

TEST(TextCommands, CallHistOutOfRangeFormatHistWithoutBoxAndClearing) {
  TextMachine m;
  PageBuilder p;
  VarNew(p, "n", 1, "0");
  VarNew(p, "wideAfter", 1, "0");
  Exprs(p, kFormatHist, {"\"mes\"", "\"wide\""});
  TextIns(p, "one", "TRUE", "");
  Exprs(p, kTextClr, {"\"mes\""});
  TextIns(p, "shown", "", "");
  Exprs(p, kCallHist, {"\"mes\"", "1", "1", "", "\"\""});     // beyond the one entry: nothing
  Exprs(p, kCallHist, {"\"mes\"", "0", "1", "", "\"none\""});  // no such format: nothing
  Exprs(p, kCallHist, {"\"mes\"", "", "1", "", "\"\""});       // no first entry: nothing
  Exprs(p, kFormatHist, {"\"nobox\"", "\"wide\""});            // back to the defaults
  Calc(p, 0, "wideAfter = GetHistoryCount(\"wide\")");
  p.Add(kClrHist, 0, {});
  Calc(p, 0, "n = GetHistoryCount(\"\")");
  p.Add(kClrRead, 0, {});
  p.Register("start.nsb");
  m.cm->Start("start.nsb");
  m.Step(3);
  EXPECT_EQ(SjisToUtf8(ReadProperty(*m.box, PR_TEXT).Str), "shown");
  EXPECT_EQ(m.history.FindFormat("wide")->Settings, THistorySettings{});
  // The history keeps the layout of its rows while it has any.
  EXPECT_EQ(m.Int("wideAfter"), 16);
  EXPECT_EQ(m.Int("n"), 0);
  EXPECT_EQ(m.marks.PendingKey(), "");  // the mark TextIns set is gone
  EXPECT_EQ(m.marks.Count(), 0);
}

}  // namespace
}  // namespace nova::test
