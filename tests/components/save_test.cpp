// Saved forms of the message box, the captions and the read marks: round trips through the
// scene's save data, and records of older versions.
#include <gtest/gtest.h>

#include "components/text/mes_fixtures.h"
#include "components/text/nova_cglabel.h"
#include "components/text/nova_label.h"
#include "text/label_list.h"

namespace nova::test {
namespace {

std::string SaveScene(MesFixture& f) {
  TKtMemoryStream s;
  f.scene.SaveScene(s);
  return s.Data();
}

void LoadScene(MesFixture& f, const std::string& bytes, int32_t version = 138) {
  TKtMemoryStream s(bytes);
  f.scene.LoadScene(s, version);
  EXPECT_EQ(s.Position(), s.Size());
}

TEST(MesSave, MarkupBoxHalfTypedRoundTrips) {
  MesFixture f;
  TNovaMes* box = f.Box("mes", 10, 10, 300, 40);
  MesFixture::SetStr(*box, PR_ONPLAYEND, "end.nsb");
  MesFixture::Set(*box, PR_TEXTDELAY, 384);
  MesFixture::SetFlag(*box, PR_CAPTURELINK, true);
  f.store.TextDelay = 0;
  MesFixture::SetStr(*box, PR_TEXT, "ab<WAIT VALUE=100>cd</WAIT><BR>ef<BR>gh");
  f.Frames(3);
  ASSERT_EQ(MesFixture::Str(*box, PR_TEXT), "abc");
  const std::string saved = SaveScene(f);

  MesFixture g;
  g.store.TextDelay = 0;  // markup is read again when the game is loaded
  LoadScene(g, saved);
  auto* back = dynamic_cast<TNovaMes*>(g.scene.FindObject(S("mes")));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(MesFixture::Str(*back, PR_TEXT), "abc");
  EXPECT_EQ(MesFixture::Int(*back, PR_COUNT), 2);
  EXPECT_EQ(MesFixture::Int(*back, PR_TEXTDELAY), 384);
  EXPECT_TRUE(MesFixture::Flag(*back, PR_CAPTURELINK));
  EXPECT_EQ(MesFixture::Str(*back, PR_ONPLAYEND), "end.nsb");
  EXPECT_EQ(SaveScene(g), saved);
  // Typing goes on where it was (the time account starts over): d at once, then its own
  // 150 ms wait before e and f.
  g.Frame();
  EXPECT_EQ(MesFixture::Str(*back, PR_TEXT), "abcd\r\n");
  g.Frames(10);
  EXPECT_EQ(MesFixture::Str(*back, PR_TEXT), "abcd\r\nef\r\n");
}

TEST(MesSave, CompiledTextIsFoundAgainWithItsReadMarks) {
  MesFixture f;
  f.texts.Add("p.nsb", {std::nullopt, Compiled("one<CLEAR>two", 0)});
  TNovaMes* box = f.Box("mes", 0, 0, 320, 100);
  box->SetReadRequest("p.nsb", 1);
  box->ShowCompiledText("p.nsb", 1);
  MesFixture::Set(*box, PR_INDEX, 1);
  f.Frames(2);
  const std::string saved = SaveScene(f);

  MesFixture g;
  g.texts.Add("p.nsb", {std::nullopt, Compiled("one<CLEAR>two", 0)});
  LoadScene(g, saved);
  auto* back = dynamic_cast<TNovaMes*>(g.scene.FindObject(S("mes")));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(MesFixture::Int(*back, PR_COUNT), 2);
  EXPECT_EQ(MesFixture::Int(*back, PR_INDEX), 1);
  EXPECT_EQ(MesFixture::Str(*back, PR_TEXT), "two");
  EXPECT_TRUE(back->ReadMarksOn());
  EXPECT_EQ(back->ReadKey(), "p.nsb");
  EXPECT_EQ(back->MessageNumber(), 1);
  EXPECT_EQ(SaveScene(g), saved);
}

void SetStrVar(TParamCollection& store, const char* name, const std::string& utf8) {
  TParamCollectionItem* item = store.FindParam(name);
  if (!item) {
    item = store.AddParam(PT_STR);
    store.SetParamName(item, name);
  }
  item->Param->SetAsStr(S(utf8));
}

// The scene loads before the variables are restored: a loaded box must show the values its
// variables showed when the game was saved, not what the variables hold while it loads.
TEST(MesSave, VariablesShowTheValuesTheyShowedWhenSaved) {
  const std::string markup = "あ<VAR NAME=\"v\">い<VAR NAME=\"w\">";
  struct Case {
    const char* name;
    bool compiled;   // TextIns text, else PR_TEXT markup
    int framesBefore;  // typed before the save
  };
  for (const Case c : {Case{"compiled, typed", true, 10}, Case{"compiled, half typed", true, 2},
                       Case{"markup, typed", false, 10}}) {
    MesFixture f;
    f.texts.Add("p.nsb", {Compiled(markup, 16)});
    f.store.TextDelay = 16;
    SetStrVar(f.store, "v", "値");
    SetStrVar(f.store, "w", "二");
    TNovaMes* box = f.Box("mes", 0, 0, 320, 100);
    if (c.compiled) box->ShowCompiledText("p.nsb", 0);
    else MesFixture::SetStr(*box, PR_TEXT, markup);
    f.Frames(c.framesBefore);
    const std::string typed = MesFixture::Str(*box, PR_TEXT);
    ASSERT_EQ(typed, c.framesBefore == 2 ? "あ値" : "あ値い二") << c.name;
    const std::string saved = SaveScene(f);

    MesFixture g;
    g.texts.Add("p.nsb", {Compiled(markup, 16)});
    g.store.TextDelay = 16;
    SetStrVar(g.store, "v", "変");  // what the variables hold before they are restored
    LoadScene(g, saved);
    auto* back = dynamic_cast<TNovaMes*>(g.scene.FindObject(S("mes")));
    ASSERT_NE(back, nullptr) << c.name;
    EXPECT_EQ(MesFixture::Str(*back, PR_TEXT), typed) << c.name;
    EXPECT_EQ(SaveScene(g), saved) << c.name;
    g.Frames(10);
    EXPECT_EQ(MesFixture::Str(*back, PR_TEXT), "あ値い二") << c.name;
  }
}

TEST(MesSave, DamagedShownValuesAreIgnored) {
  MesFixture f;
  f.texts.Add("p.nsb", {Compiled("a<VAR NAME=\"v\">", 0)});
  SetStrVar(f.store, "v", "b");
  TNovaMes* box = f.Box("mes", 0, 0, 320, 100);
  box->ShowCompiledText("p.nsb", 0);
  f.Frames(2);
  std::string saved = SaveScene(f);
  const size_t mark = saved.rfind("VARS");
  ASSERT_NE(mark, std::string::npos);
  struct Case {
    const char* name;
    int32_t count;  // the count in front of the mark
  };
  for (const Case c : {Case{"count past the page states", 0x7FFFFFFF}, Case{"negative count", -5}}) {
    std::string damaged = saved;
    for (int i = 0; i < 4; ++i) damaged[mark - 4 + i] = static_cast<char>(static_cast<uint32_t>(c.count) >> (8 * i));
    MesFixture g;
    g.texts.Add("p.nsb", {Compiled("a<VAR NAME=\"v\">", 0)});
    SetStrVar(g.store, "v", "c");
    TKtMemoryStream s(damaged);
    g.scene.LoadScene(s, 138);
    auto* back = dynamic_cast<TNovaMes*>(g.scene.FindObject(S("mes")));
    ASSERT_NE(back, nullptr) << c.name;
    g.Frames(2);
    EXPECT_EQ(MesFixture::Str(*back, PR_TEXT), "ac") << c.name << ": the variable runs again";
  }
}

// The control record as versions 103 and 124 wrote it.
void OldControl(TStream& s, const std::string& name, int32_t l, int32_t t, int32_t w, int32_t h, int32_t version = 103) {
  s.WriteString(name);
  s.WriteInt32(0);                       // priority
  if (version > 103) s.WriteInt32(0);    // sub-order
  if (version >= 120) s.WriteString("");  // tag
  for (int32_t v : {l, t, w, h, 0, 0}) s.WriteInt32(v);
  s.WriteByte(0);  // position zoomed
  if (version > 103) {
    for (int i = 0; i < 4; ++i) s.WriteInt32(0);  // clip
    s.WriteByte(0);                               // animation paused
  }
  s.WriteByte(1);  // visible
  s.WriteInt32(0);
  for (int32_t v : {0, 0, 1, 1}) s.WriteInt32(v);
  s.WriteByte(0);
  s.WriteString("");
  for (int i = 0; i < 9; ++i) s.WriteString("");  // mouse move, in, out, buttons, wheel
  if (version > 117) {
    s.WriteByte(0);
    for (int i = 0; i < 5; ++i) s.WriteString("");  // keys and focus
  }
  s.WriteInt32(0);  // children
}

TEST(MesSave, Version103Box) {
  TKtMemoryStream s;
  OldControl(s, "mes", 0, 0, 320, 100);
  // The settings record without the shadow and border fields.
  for (int32_t v : {0, 0, 16}) s.WriteInt32(v);
  s.WriteString(DefaultTextFontName());
  for (int32_t v : {0xFF, 100, 320, 3, 0}) s.WriteInt32(v);
  s.WriteByte(1);
  for (int32_t v : {0xFF0000, 0x008000, 0, 0x808080, 255}) s.WriteInt32(v);
  s.WriteByte(0);
  for (int32_t v : {0, 0, 256}) s.WriteInt32(v);
  s.WriteByte(0);
  s.WriteInt32(0);  // message data without rows
  s.WriteByte(0);   // no pixel offset before 113
  s.WriteString("ab");
  s.WriteInt32(0);  // page index
  s.WriteInt32(0);  // scroll
  s.WriteInt32(0);
  for (int i = 0; i < 8; ++i) s.WriteString("");
  s.WriteByte(0);
  s.WriteByte(0);
  s.WriteInt32(256);
  s.WriteByte(0);
  s.WriteString("");
  s.WriteInt32(0);
  // No PR_ONIDLE before 104, no link capture before 120; one page: "a" shown, "b" to come.
  TKtMemoryStream states;
  for (int32_t v : {0, 0, 1}) states.WriteInt32(v);
  states.WriteByte(0);
  states.WriteString("");
  states.WriteInt32(255);
  states.WriteInt32(0);
  s.WriteInt32(static_cast<int32_t>(states.Size()));
  s.WriteBytes(states.Data());

  MesFixture f;
  auto* box = dynamic_cast<TNovaMes*>(f.scene.CreateObject(LT_MES));
  ASSERT_NE(box, nullptr);
  box->SetParent(&f.scene.Displayed());
  s.SetPosition(0);
  box->LoadFromStream(s, 103);
  EXPECT_EQ(s.Position(), s.Size());
  EXPECT_EQ(MesFixture::Int(*box, PR_FONTCOLOR), 0xFF);
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "a");
  f.Frames(5);
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "ab");
}

TEST(LabelSave, CaptionsRoundTrip) {
  MesFixture f;
  auto* label = f.scene.Make<TNovaLabel>(f.services);
  label->SetParent(&f.scene.Displayed());
  label->SetName(S("cap"));
  MesFixture::SetStr(*label, PR_TEXT, "一行目\r\n二");
  for (auto [id, v] : {std::pair{PR_FONTHEIGHT, 20}, {PR_ZOOMX, 300}, {PR_ZOOMY, 200}, {PR_ANGLE, 3},
                       {PR_HALIGN, 2}, {PR_FONTSTYLE, 5}, {PR_LINESPACE, 2}})
    MesFixture::Set(*label, id, v);
  MesFixture::SetStr(*label, PR_ONIDLE, "idle.nsb");
  MesFixture::SetFlag(*label, PR_FLIPV, true);
  auto* cg = f.scene.Make<TNovaCGLabel>(f.services);
  cg->SetParent(&f.scene.Displayed());
  cg->SetName(S("cg"));
  for (auto [id, v] : {std::pair{PR_GLYPHWIDTH, 8}, {PR_GLYPHHEIGHT, 9}, {PR_ALPHA, 300}}) MesFixture::Set(*cg, id, v);
  MesFixture::SetStr(*cg, PR_MAPTEXT, "0123");
  MesFixture::SetStr(*cg, PR_TEXT, "3210\r\n1");
  const std::string saved = SaveScene(f);

  MesFixture g;
  LoadScene(g, saved);
  TNovaObject* l = g.scene.FindObject(S("cap"));
  TNovaObject* c = g.scene.FindObject(S("cg"));
  ASSERT_TRUE(l && c);
  EXPECT_EQ(MesFixture::Str(*l, PR_TEXT), "一行目\r\n二");
  EXPECT_EQ(MesFixture::Int(*l, PR_ZOOMY), 200);
  EXPECT_EQ(MesFixture::Int(*l, PR_WIDTH), MesFixture::Int(*label, PR_WIDTH));
  EXPECT_TRUE(MesFixture::Flag(*l, PR_FLIPV));
  EXPECT_EQ(MesFixture::Int(*c, PR_WIDTH), 32);
  EXPECT_EQ(MesFixture::Int(*c, PR_HEIGHT), 18);
  EXPECT_EQ(SaveScene(g), saved);
}

TEST(LabelSave, OldCaptionRecords) {
  MesFixture f;
  // A caption of version 103: no motion fields, no zoom y.
  TKtMemoryStream s;
  OldControl(s, "cap", 0, 0, 0, 0);
  s.WriteString(DefaultCaptionFontName());
  for (int32_t v : {16, 0}) s.WriteInt32(v);
  s.WriteByte(0);
  for (int32_t v : {255, 0xFF}) s.WriteInt32(v);
  for (uint8_t b : {0, 1, 0, 0}) s.WriteByte(b);  // align, anti-alias, flips
  for (int32_t v : {0, 256}) s.WriteInt32(v);
  s.WriteString("ab\r\ncd");
  auto* label = dynamic_cast<TNovaLabel*>(f.scene.CreateObject(LT_LABEL));
  ASSERT_NE(label, nullptr);
  label->SetParent(&f.scene.Displayed());
  s.SetPosition(0);
  label->LoadFromStream(s, 103);
  EXPECT_EQ(s.Position(), s.Size());
  EXPECT_EQ(label->Lines().size(), 2u);
  EXPECT_EQ(MesFixture::Int(*label, PR_ZOOMY), 256);
  EXPECT_EQ(MesFixture::Int(*label, PR_HEIGHT), 32);

  // An image caption of version 124: no PR_ONIDLE.
  TKtMemoryStream c;
  OldControl(c, "cg", 0, 0, 0, 0, 124);
  c.WriteString("");
  c.WriteString("12");
  c.WriteString("0123456789");
  for (int32_t v : {16, 16, 0}) c.WriteInt32(v);
  c.WriteByte(0);
  c.WriteByte(0);
  c.WriteInt32(255);
  auto* cg = dynamic_cast<TNovaCGLabel*>(f.scene.CreateObject(LT_CGLABEL));
  ASSERT_NE(cg, nullptr);
  cg->SetParent(&f.scene.Displayed());
  c.SetPosition(0);
  cg->LoadFromStream(c, 124);
  EXPECT_EQ(c.Position(), c.Size());
  EXPECT_EQ(cg->Cells(), (std::vector<std::vector<int32_t>>{{1, 2}}));
  EXPECT_EQ(MesFixture::Int(*cg, PR_WIDTH), 32);
}

TEST(ReadListSave, RoundTripAndOldStatus) {
  TNovaReadList marks;
  marks.SetPending("mes", "p.nsb", 0, 3);
  marks.Commit("mes");
  marks.SetPending("mes", "p.nsb", 1, 3);
  marks.Commit("mes");
  marks.SetPending("mes", "q.nsb", 2, 7);
  TKtMemoryStream s;
  marks.SaveToStream(s);
  TNovaReadList back;
  s.SetPosition(0);
  back.LoadFromStream(s, 103);
  EXPECT_EQ(s.Position(), s.Size());
  EXPECT_TRUE(back.IsRead("P.NSB", 3, 1));  // keys compare ignoring case
  EXPECT_FALSE(back.IsRead("q.nsb", 7, 2));
  back.Commit("mes");
  EXPECT_TRUE(back.IsRead("q.nsb", 7, 2));
  TKtMemoryStream again;
  marks.SaveToStream(again);
  EXPECT_EQ(again.Data(), s.Data());
  // Status data before version 100 has no read marks.
  s.SetPosition(0);
  back.LoadFromStream(s, 99);
  EXPECT_EQ(back.Count(), 0);
  EXPECT_EQ(s.Position(), 0);
}

}  // namespace
}  // namespace nova::test
