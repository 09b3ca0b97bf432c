// Saved forms of menus and preview menus: a round trip gives the same properties, picture and
// bytes; records of older versions (written here field by field as those versions had them)
// load with the defaults of the fields they lack.
#include <gtest/gtest.h>

#include <functional>

#include "menu_fixtures.h"
#include "support/old_control_record.h"
#include "text/label_list.h"

namespace nova::test {
namespace {

struct SaveScene : MenuScene {
  SaveScene() {
    AddFile("tl.bri", BriBytes({Solid(3, 2, 0xFF0000)}));
    AddFile("cc.bri", ColumnPattern(3, 3));
    AddFile("n.bri", BriBytes({Solid(10, 8, 0x101010)}));
    AddFile("d.bri", BriBytes({Solid(10, 8, 0x404040)}));
    AddFile("c.bri", BriBytes({Solid(10, 8, 0x505050)}));
    TPrevMenuFile file;
    file.Width = 90, file.Height = 20;
    for (int i = 0; i < 2; ++i) {
      TNovaPrevMenuData b;
      b.Name = i ? "load" : "start";
      b.X = 40 * i;
      b.Images[0] = "n.bri";
      b.Images[4] = "d.bri";
      b.Images[12] = "c.bri";
      b.Group = -1;
      file.Buttons.push_back(b);
    }
    AddFile("pm.npm", WritePrevMenuFile(file, 106));
  }
  std::string Save() {
    TKtMemoryStream s;
    scene.SaveScene(s);
    return s.Data();
  }
  void Load(const std::string& bytes) {
    TKtMemoryStream s(bytes);
    scene.LoadScene(s, 138);
  }
};

void ExpectSameProperties(TNovaObject& a, TNovaObject& b) {
  for (int id = 0; id <= 162; ++id) {
    const TPropValue x = ReadProperty(a, id), y = ReadProperty(b, id);
    EXPECT_EQ(x.Type, y.Type) << id;
    EXPECT_EQ(x.Int, y.Int) << id;
    EXPECT_EQ(x.Flag, y.Flag) << id;
    EXPECT_EQ(x.Str, y.Str) << id;
  }
}

TEST(MenuSave, ARoundTripKeepsEverything) {
  SaveScene a;
  TNovaMenu* m = a.Menu("menu", {{PR_LEFT, Int(4)},
                                 {PR_TOP, Int(6)},
                                 {PR_TEXT, Str("ab\r\ncd\r\nef\r\ngh")},
                                 {PR_ROWCOUNT, Int(3)},
                                 {PR_LINESPACE, Int(2)},
                                 {PR_MARGINX, Int(3)},
                                 {PR_MARGINY, Int(1)},
                                 {PR_BORDERWIDTH, Int(1)},
                                 {PR_BORDERCOLOR, Int(0x00FF00)},
                                 {PR_COLOR, Int(0x202020)},
                                 {PR_ALPHA, Int(230)},
                                 {PR_HALIGN, Int(1)},
                                 {PR_BORDERSOURCETL, Str("tl.bri")},
                                 {PR_BORDERSOURCECC, Str("cc.bri")},
                                 {PR_BORDERHALIGNC, Int(2)},
                                 {PR_BORDERVALIGNC, Int(1)},
                                 {PR_SCROLLSOURCE, Str("scroll.bri")},
                                 {PR_CHECKSOURCE, Str("check.bri")},
                                 {PR_FONTCOLOR, Int(0xFFFF00)},
                                 {PR_FONTHOVERCOLOR, Int(0x00FFFF)},
                                 {PR_FONTHOVERSTYLE, Int(1)},
                                 {PR_FONTBORDER, Int(1)},
                                 {PR_FONTSHADOW, Int(2)},
                                 {PR_FONTHOVERSHADOWCOLOR, Int(0x123456)},
                                 {PR_HOVERCOLOR, Int(0x000080)},
                                 {PR_DELAY, Int(120)},
                                 {PR_AUTOSCRAP, Flag(true)},
                                 {PR_RCLICKSCRAP, Flag(true)},
                                 {PR_INDEX, Int(2)},
                                 {PR_ONSELECT, Str("sel")},
                                 {PR_ONIDLE, Str("idle")},
                                 {PR_ONMAPIN, Str("in")},
                                 {PR_ONMAPOUT, Str("out")},
                                 {PR_ONOPENING, Str("o1")},
                                 {PR_ONOPENED, Str("o2")},
                                 {PR_ONCLOSING, Str("c1")},
                                 {PR_ONCLOSED, Str("c2")}});
  m->SetItemCheck(0, true);
  m->SetItemCheck(3, true);
  WriteProperty(*m, PR_TOPINDEX, Int(1));
  TNovaPrevMenu* pm = a.Create<TNovaPrevMenu>(LT_PREVMENU, "pm",
                                              {{PR_SOURCE, Str("pm.npm")}, {PR_TOP, Int(80)}, {PR_AUTOSCRAP, Flag(true)},
                                               {PR_ONPLAYEND, Str("end")}, {PR_ONSELECT, Str("s")}});
  pm->SetItemEnabled(0, false);
  pm->SetItemCheck(1, true);
  a.Step();
  a.ClearEvents();
  const std::string bytes = a.Save();

  SaveScene b;
  b.Load(bytes);
  auto* m2 = dynamic_cast<TNovaMenu*>(b.scene.FindObject("menu"));
  auto* pm2 = dynamic_cast<TNovaPrevMenu*>(b.scene.FindObject("pm"));
  ASSERT_NE(m2, nullptr);
  ASSERT_NE(pm2, nullptr);
  ExpectSameProperties(*m, *m2);
  ExpectSameProperties(*pm, *pm2);
  EXPECT_TRUE(m2->GetItemCheck(3));
  EXPECT_FALSE(m2->GetItemCheck(1));
  EXPECT_EQ(m2->MenuState(), TNovaMenu::kOpen);
  EXPECT_FALSE(pm2->GetItemEnabled(0));
  EXPECT_TRUE(pm2->GetItemCheck(1));
  EXPECT_EQ(pm2->ButtonImage(1)->Source(), "c.bri");
  EXPECT_EQ(pm2->ChildCount(), 2);  // the buttons are made again, not saved
  b.Step();
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 160; ++x) ASSERT_EQ(a.Px(x, y), b.Px(x, y)) << x << "," << y;
  b.ClearEvents();
  EXPECT_EQ(b.Save(), bytes);
}

TEST(MenuSave, AClosingMenuStaysClosingAfterLoading) {
  SaveScene a;
  TNovaMenu* m = a.Menu("menu", {{PR_TEXT, Str("ab\r\ncd")}, {PR_ROWCOUNT, Int(2)}, {PR_DELAY, Int(100)}});
  m->SetMenuState(TNovaMenu::kClosing);
  a.Step();
  a.Step();
  ASSERT_EQ(m->Phase(), TNovaMenu::kCloseShrink);
  ASSERT_LT(m->Height(), 32);
  SaveScene b;
  b.Load(a.Save());
  auto* m2 = dynamic_cast<TNovaMenu*>(b.scene.FindObject("menu"));
  ASSERT_NE(m2, nullptr);
  EXPECT_TRUE(m2->Closing());
  EXPECT_EQ(m2->Height(), 32);  // the shrinking starts again from the full height
  const TObjectRef ref(m2);
  for (int i = 0; i < 10; ++i) b.Step();
  EXPECT_EQ(b.scene.Resolve(ref), nullptr);
}

// ---- records of older versions, field by field ----

void WriteLabels(TStream& s, int32_t version, int32_t quality) {
  s.WriteInt32(quality);
  s.WriteInt32(0);    // border
  s.WriteInt32(255);  // alpha
  s.WriteInt32(16);
  s.WriteString("");
  s.WriteInt32(0xFFFFFF);
  s.WriteInt32(0);
  s.WriteByte(0);
  s.WriteBytes(std::string(TKtLabelList::kMetricsRecordSize, '\0'));
  if (version >= 122) s.WriteInt32(0), s.WriteInt32(0);
}

// A menu of three items, the first and last checked, scrolled to 1 of 2 rows, open.
void WriteMenu(TStream& s, int32_t version, int32_t quality) {
  WriteOldControl(s, version, "m", 0, 0, -1);
  WriteLabels(s, version, quality);
  WriteLabels(s, version, quality);
  s.WriteString("a\r\nb\r\nc");
  for (int32_t v : {0, 255, 0, 0, 0, -1, 2}) s.WriteInt32(v);  // line space .. row count
  for (int i = 0; i < 9; ++i) s.WriteString(i == 0 ? "tl.bri" : ""), s.WriteByte(0), s.WriteByte(0);
  s.WriteString("");
  s.WriteString("check.bri");
  s.WriteInt32(1);                   // top index
  if (version < 104) s.WriteByte(9);  // a byte of old records
  s.WriteByte(2);                    // alignment
  for (uint8_t c : {1, 0, 1}) s.WriteByte(c);
  s.WriteString("sel");
  s.WriteByte(0);
  s.WriteInt32(-1);  // index
  s.WriteInt32(0);   // phase
  if (version > 130) s.WriteString("idle");
  if (version > 133) s.WriteString("in"), s.WriteString("out");
  s.WriteInt32(75);  // delay
  s.WriteInt32(-1);
  s.WriteByte(0), s.WriteByte(1);
  s.WriteByte(0);  // open
  for (const char* e : {"o1", "o2", "c1", "c2"}) s.WriteString(e);
}

// The two-button preview menu with the flag arrays its version has.
void WritePrevMenu(TStream& s, int32_t version) {
  WriteOldControl(s, version, "pm", 0, 0, -1);
  s.WriteString("pm.npm");
  s.WriteByte(0), s.WriteByte(1), s.WriteByte(0);
  for (const char* e : {"in", "out", "idle", "sel", "end"}) s.WriteString(e);
  const std::vector<std::vector<uint8_t>> flags = {{1, 0}, {1, 0}, {0, 1, 1}};  // one more than buttons
  const int32_t since[] = {126, 131, 135};
  for (int i = 0; i < 3; ++i) {
    if (version <= since[i]) continue;
    s.WriteInt32(static_cast<int32_t>(flags[static_cast<size_t>(i)].size()));
    for (uint8_t f : flags[static_cast<size_t>(i)]) s.WriteByte(f);
  }
}

TEST(MenuSave, OlderRecordsLoadWithTheirDefaults) {
  struct Case {
    int type;
    int32_t version;
    std::function<void(TStream&)> write;
    std::function<void(TNovaObject&)> check;
  };
  const Case cases[] = {
      {LT_MENU, 103, [](TStream& s) { WriteMenu(s, 103, 2); },
       [](TNovaObject& o) {
         auto& m = static_cast<TNovaMenu&>(o);
         EXPECT_TRUE(ReadProperty(o, PR_ANTIALIAS).Flag);  // an old quality above 1 is 3
         EXPECT_EQ(ReadProperty(o, PR_HALIGN).Int, 2);
         EXPECT_EQ(m.TopIndex(), 1);
         EXPECT_TRUE(m.GetItemCheck(0) && !m.GetItemCheck(1) && m.GetItemCheck(2));
         EXPECT_EQ(ReadProperty(o, PR_ONIDLE).Str, "");
         EXPECT_EQ(ReadProperty(o, PR_ONMAPIN).Str, "");
         EXPECT_EQ(ReadProperty(o, PR_DELAY).Int, 75);
         EXPECT_EQ(m.Height(), 2 + 32);  // open: laid out with its top-left cell
       }},
      {LT_MENU, 121, [](TStream& s) { WriteMenu(s, 121, 0); },
       [](TNovaObject& o) {
         EXPECT_FALSE(ReadProperty(o, PR_ANTIALIAS).Flag);
         EXPECT_EQ(ReadProperty(o, PR_ONIDLE).Str, "");
       }},
      {LT_MENU, 131, [](TStream& s) { WriteMenu(s, 131, 3); },
       [](TNovaObject& o) {
         EXPECT_EQ(ReadProperty(o, PR_ONIDLE).Str, "idle");
         EXPECT_EQ(ReadProperty(o, PR_ONMAPOUT).Str, "");
         EXPECT_EQ(ReadProperty(o, PR_CHECKSOURCE).Str, "check.bri");
       }},
      {LT_MENU, 134, [](TStream& s) { WriteMenu(s, 134, 3); },
       [](TNovaObject& o) { EXPECT_EQ(ReadProperty(o, PR_ONMAPOUT).Str, "out"); }},
      {LT_PREVMENU, 126, [](TStream& s) { WritePrevMenu(s, 126); },
       [](TNovaObject& o) {
         auto& pm = static_cast<TNovaPrevMenu&>(o);
         ASSERT_EQ(pm.ButtonCount(), 2);
         EXPECT_TRUE(pm.GetItemEnabled(1) && pm.GetItemVisible(1) && !pm.GetItemCheck(1));
         EXPECT_TRUE(ReadProperty(o, PR_RCLICKSCRAP).Flag);
         EXPECT_EQ(ReadProperty(o, PR_ONPLAYEND).Str, "end");
       }},
      {LT_PREVMENU, 131, [](TStream& s) { WritePrevMenu(s, 131); },
       [](TNovaObject& o) {
         auto& pm = static_cast<TNovaPrevMenu&>(o);
         EXPECT_FALSE(pm.GetItemEnabled(1));
         EXPECT_EQ(pm.ButtonImage(1)->Source(), "d.bri");
         EXPECT_TRUE(pm.GetItemVisible(1));
       }},
      {LT_PREVMENU, 135, [](TStream& s) { WritePrevMenu(s, 135); },
       [](TNovaObject& o) {
         auto& pm = static_cast<TNovaPrevMenu&>(o);
         EXPECT_FALSE(pm.GetItemVisible(1));
         EXPECT_FALSE(pm.GetItemCheck(1));
       }},
      {LT_PREVMENU, 136, [](TStream& s) { WritePrevMenu(s, 136); },
       [](TNovaObject& o) {
         auto& pm = static_cast<TNovaPrevMenu&>(o);
         EXPECT_FALSE(pm.GetItemCheck(0));
         EXPECT_TRUE(pm.GetItemCheck(1) == false);  // hidden: reads unchecked
         pm.SetItemVisible(1, true);
         EXPECT_TRUE(pm.GetItemCheck(1));
         EXPECT_EQ(pm.ButtonImage(1)->Source(), "c.bri");
       }},
  };
  for (const Case& c : cases) {
    SaveScene f;
    TKtMemoryStream s;
    c.write(s);
    s.WriteInt32(0x7A7A7A7A);  // what follows the record stays unread
    s.SetPosition(0);
    TNovaObject* o = f.scene.CreateObject(c.type);
    static_cast<TNovaControl*>(o)->SetParent(&f.scene.Displayed());
    o->LoadFromStream(s, c.version);
    EXPECT_EQ(s.ReadInt32(), 0x7A7A7A7A) << c.type << " " << c.version;
    EXPECT_FALSE(s.ReadPastEnd());
    c.check(*o);
  }
}

TEST(MenuSave, PicturesThatWentMissingDoNotFailTheLoad) {
  SaveScene a;
  a.Menu("menu", {{PR_TEXT, Str("ab")}, {PR_BORDERSOURCETL, Str("tl.bri")}, {PR_CHECKSOURCE, Str("check.bri")}});
  a.Create(LT_PREVMENU, "pm", {{PR_SOURCE, Str("pm.npm")}});
  const std::string bytes = a.Save();
  ComponentScene b;  // a game with a damaged border picture and menu file
  b.AddFile("tl.bri", "Brio106 and nothing else");
  b.AddFile("pm.npm", "NovaPrevMenu999");
  TKtMemoryStream s(bytes);
  b.scene.LoadScene(s, 138);
  auto* m = dynamic_cast<TNovaMenu*>(b.scene.FindObject("menu"));
  auto* pm = dynamic_cast<TNovaPrevMenu*>(b.scene.FindObject("pm"));
  ASSERT_NE(m, nullptr);
  ASSERT_NE(pm, nullptr);
  EXPECT_EQ(m->Cell(0).Width(), 0);
  EXPECT_EQ(pm->ButtonCount(), 0);
  EXPECT_EQ(ReadProperty(*pm, PR_SOURCE).Str, "pm.npm");
}

}  // namespace
}  // namespace nova::test
