// The serialised forms: a scene of every class saved and loaded gives the same properties, the
// same picture and the same bytes again; records of version 103 (without the later fields)
// load with their defaults; files that went missing or bad do not fail a load.
#include <gtest/gtest.h>

#include "component_fixtures.h"
#include "components/images/nova_box.h"
#include "components/images/nova_button.h"
#include "components/images/nova_images.h"
#include "components/images/nova_map_image.h"

namespace nova::test {
namespace {

struct SaveScene : ComponentScene {
  SaveScene() {
    AddFile("a.bri", BriBytes({Solid(6, 4, 0xFF0000, 40), Solid(6, 4, 0x00FF00, 40), Solid(6, 4, 0x0000FF, 40)}));
    AddFile("n.bri", BriBytes({Solid(8, 8, 0x808000)}));
    AddFile("h.bri", BriBytes({Solid(8, 8, 0x008080)}));
    TKtMemoryStream map;
    map.WriteInt32(1);
    map.WriteString("R");
    map.WriteByte(0);
    for (int32_t v : {0, 0, 3, 3}) map.WriteInt32(v);
    AddFile("r.map", map.Data());
  }
  std::string Save() {
    TKtMemoryStream s;
    scene.SaveScene(s);
    return s.Data();
  }
  void Load(const std::string& bytes, int32_t version = 138) {
    TKtMemoryStream s(bytes);
    scene.LoadScene(s, version);
  }
};

void Populate(SaveScene& f) {
  auto* box = f.Create<TNovaBox>(LT_BOX, "box", {{PR_LEFT, Int(1)}, {PR_TOP, Int(1)}, {PR_WIDTH, Int(30)},
                                                 {PR_HEIGHT, Int(20)}, {PR_COLOR, Int(0x404040)},
                                                 {PR_BORDERWIDTH, Int(1)}, {PR_BORDERCOLOR, Int(0xFFFFFF)},
                                                 {PR_ALPHA, Int(200)}, {PR_ONIDLE, Str("idle")},
                                                 {PR_REPEAT, Flag(true)}, {PR_SOURCE, Str("still.txt")}});
  TNovaObject* img = f.scene.CreateObject(LT_IMAGES);
  img->TakeExpression(PR_DELAY, std::shared_ptr<TNovaParser>(CompileExpression("7")));
  img->SetName("img");
  static_cast<TNovaControl*>(img)->SetParent(box);
  for (const auto& [id, v] : std::vector<std::pair<int, TPropValue>>{
           {PR_SOURCE, Str("a.bri")}, {PR_LEFT, Int(2)}, {PR_ZOOMX, Int(384)}, {PR_ZOOMY, Int(300)},
           {PR_BRIGHTNESS, Int(16)}, {PR_FLIPH, Flag(true)}, {PR_REPEAT, Flag(true)}, {PR_ONPLAYEND, Str("end")},
           {PR_CAPTUREMASK, Flag(true)}, {PR_ALPHA, Int(300)}, {PR_ANGLE, Int(3)}, {PR_TAG, Str("tagged")}})
    WriteProperty(*img, id, v);
  f.Create(LT_BUTTON, "btn", {{PR_SOURCE, Str("n.bri")}, {PR_HOVERSOURCE, Str("h.bri")}, {PR_LEFT, Int(40)},
                              {PR_GROUPINDEX, Int(3)}, {PR_TEXT, Str("OK")}, {PR_FONTCOLOR, Int(0x00FFFF)},
                              {PR_ONNOTIFY, Str("go")}, {PR_ALLOWALLUP, Flag(true)}, {PR_SELECTED, Flag(true)}});
  f.Create(LT_TILE, "tile", {{PR_SOURCE, Str("n.bri")}, {PR_TOP, Int(30)}, {PR_WIDTH, Int(20)}, {PR_HEIGHT, Int(10)},
                             {PR_SCROLLX, Int(3)}, {PR_DISTANCEY, Int(9)}, {PR_ONIDLE, Str("t")}});
  f.Create(LT_MAPIMG, "map", {{PR_SOURCE, Str("n.bri")}, {PR_HOVERSOURCE, Str("h.bri")}, {PR_MAPSOURCE, Str("r.map")},
                              {PR_LEFT, Int(40)}, {PR_TOP, Int(30)}, {PR_RCLICKSCRAP, Flag(true)},
                              {PR_BRIGHTNESS, Int(-8)}, {PR_ONSELECT, Str("s")}});
}

TEST(SaveLoad, EveryClassComesBackWithItsPropertiesPictureAndBytes) {
  SaveScene a;
  Populate(a);
  for (int i = 0; i < 3; ++i) a.Frame(30);  // the animation stands on its last frame, part-way
  ASSERT_EQ(ReadProperty(*a.scene.FindObject("img"), PR_INDEX).Int, 2);
  const std::string bytes = a.Save();

  SaveScene b;
  b.Load(bytes);
  b.Frame(0);
  a.Frame(0);
  for (const char* name : {"box", "img", "btn", "tile", "map"}) {
    TNovaObject* x = a.scene.FindObject(name);
    TNovaObject* y = b.scene.FindObject(name);
    ASSERT_NE(y, nullptr) << name;
    for (int id = 0; id < 163; ++id) {
      const TPropValue vx = ReadProperty(*x, id), vy = ReadProperty(*y, id);
      EXPECT_TRUE(vx.Int == vy.Int && vx.Flag == vy.Flag && vx.Str == vy.Str && vx.Float == vy.Float)
          << name << " property " << id;
    }
  }
  EXPECT_EQ(static_cast<TNovaImages*>(b.scene.FindObject("img"))->FrameCountdown(),
            static_cast<TNovaImages*>(a.scene.FindObject("img"))->FrameCountdown());
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(a.Px(x, y), b.Px(x, y)) << x << "," << y;
  EXPECT_EQ(b.Save(), bytes);
}

// The control record as version 103 wrote it (no sub-order, tag, plus, clip or key fields).
void WriteControl103(TStream& s, const std::string& name, int32_t left, int32_t top) {
  s.WriteString(name);
  s.WriteInt32(0);  // priority
  for (int32_t v : {left, top, 0, 0, 0, 0}) s.WriteInt32(v);
  s.WriteByte(0);    // position-zoomed
  s.WriteByte(1);    // visible
  s.WriteInt32(0);   // colour
  for (int32_t v : {0, 0, 1, 1}) s.WriteInt32(v);
  s.WriteByte(0);    // ignore-mouse
  s.WriteString("");  // cursor
  for (int i = 0; i < 9; ++i) s.WriteString("");  // mouse events
  s.WriteInt32(0);   // children
}

void WriteImages103(TStream& s, const std::string& name, const std::string& source, int32_t index) {
  WriteControl103(s, name, 4, 5);
  for (int32_t v : {128, 512, 0}) s.WriteInt32(v);  // blend, zoom, angle
  s.WriteByte(0), s.WriteByte(0), s.WriteByte(0);   // flips, capture mask
  s.WriteInt32(25);                                  // countdown
  s.WriteInt32(index);
  s.WriteInt32(0);                                   // brightness
  s.WriteByte(1);                                    // paused
  TNovaParser().SaveToStream(s);
  s.WriteByte(1), s.WriteByte(0);                    // repeat, auto-scrap
  s.WriteString(source);
  s.WriteString("end");
}

TEST(SaveLoad, Version103RecordsLoadWithTheirDefaults) {
  SaveScene f;
  struct Case {
    int type;
    std::function<void(TStream&)> write;
    std::function<void(TNovaObject&)> check;
  };
  const Case cases[] = {
      {LT_IMAGES, [](TStream& s) { WriteImages103(s, "i", "a.bri", 2); },
       [](TNovaObject& o) {
         EXPECT_EQ(ReadProperty(o, PR_ZOOMY).Int, 512);  // one zoom for both axes
         EXPECT_EQ(ReadProperty(o, PR_INDEX).Int, 2);
         EXPECT_EQ(static_cast<TNovaImages&>(o).FrameCountdown(), 25);
         EXPECT_EQ(ReadProperty(o, PR_WIDTH).Int, 12);
         EXPECT_EQ(ReadProperty(o, PR_ONIDLE).Str, "");
         EXPECT_TRUE(ReadProperty(o, PR_PAUSED).Flag);
       }},
      {LT_BUTTON,
       [](TStream& s) {
         WriteImages103(s, "b", "n.bri", 0);
         s.WriteString("h.bri"), s.WriteString("");  // hover, pressed
         s.WriteInt32(0), s.WriteByte(0), s.WriteByte(0);
         s.WriteString("go");
       },
       [](TNovaObject& o) {
         EXPECT_EQ(ReadProperty(o, PR_HOVERSOURCE).Str, "h.bri");
         EXPECT_EQ(ReadProperty(o, PR_CLICKEDSOURCE).Str, "");
         EXPECT_EQ(ReadProperty(o, PR_ONNOTIFY).Str, "go");
         EXPECT_EQ(ReadProperty(o, PR_TEXT).Str, "");
       }},
      {LT_BOX,
       [](TStream& s) {
         WriteControl103(s, "x", 0, 0);
         for (int32_t v : {3, 0xFF, 99}) s.WriteInt32(v);
       },
       [](TNovaObject& o) {
         EXPECT_EQ(ReadProperty(o, PR_BORDERWIDTH).Int, 3);
         EXPECT_EQ(ReadProperty(o, PR_ALPHA).Int, 99);
         EXPECT_EQ(ReadProperty(o, PR_SOURCE).Str, "");
       }},
      {LT_MAPIMG,
       [](TStream& s) {
         WriteControl103(s, "m", 0, 0);
         for (const char* t : {"n.bri", "h.bri", "r.map"}) s.WriteString(t);
         s.WriteInt32(255), s.WriteInt32(0);
         s.WriteString("in"), s.WriteString("out");
         s.WriteByte(1), s.WriteByte(1);
       },
       [](TNovaObject& o) {
         auto& m = static_cast<TNovaMapImage&>(o);
         EXPECT_EQ(m.Regions().size(), 1u);
         EXPECT_EQ(m.Width(), 8);
         EXPECT_EQ(m.ClosingState(), 0);
         EXPECT_TRUE(ReadProperty(o, PR_RCLICKSCRAP).Flag);
         EXPECT_EQ(ReadProperty(o, PR_ONSELECT).Str, "");
       }},
  };
  for (const Case& c : cases) {
    TKtMemoryStream s;
    c.write(s);
    s.WriteInt32(0x7A7A7A7A);  // what follows the record stays unread
    s.SetPosition(0);
    TNovaObject* o = f.scene.CreateObject(c.type);
    o->LoadFromStream(s, 103);
    EXPECT_EQ(s.ReadInt32(), 0x7A7A7A7A) << c.type;
    c.check(*o);
  }
}

TEST(SaveLoad, FilesThatWentMissingOrBadDoNotFailTheLoad) {
  SaveScene a;
  a.Create(LT_IMAGES, "img", {{PR_SOURCE, Str("a.bri")}});
  a.Create(LT_BUTTON, "btn", {{PR_SOURCE, Str("n.bri")}, {PR_HOVERSOURCE, Str("h.bri")}});
  a.Create(LT_MAPIMG, "map", {{PR_SOURCE, Str("n.bri")}, {PR_MAPSOURCE, Str("r.map")}});
  const std::string bytes = a.Save();

  ComponentScene b;  // a game without those files, but with a damaged picture and map
  b.AddFile("n.bri", "Brio106 and nothing else");
  b.AddFile("r.map", "\x05");
  TKtMemoryStream s(bytes);
  b.scene.LoadScene(s, 138);
  auto* img = dynamic_cast<TNovaImages*>(b.scene.FindObject("img"));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->Width(), 8);  // missing: the invisible stand-in
  EXPECT_EQ(ReadProperty(*b.scene.FindObject("btn"), PR_COUNT).Int, 0);  // damaged: no frames
  EXPECT_TRUE(static_cast<TNovaMapImage*>(b.scene.FindObject("map"))->Regions().empty());
  b.Frame();
}

}  // namespace
}  // namespace nova::test
