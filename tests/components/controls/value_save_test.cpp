// The value controls in saved data: a scene of a slider, a scroll bar and a gauge comes back
// with its properties and the same bytes; records of the older versions (before the capture
// mask, the gauge's idle event and the bar size) load with their defaults.
#include <gtest/gtest.h>

#include "components/controls/control_fixtures.h"
#include "support/old_control_record.h"

namespace nova::test {
namespace {

constexpr int32_t kCurrentVersion = 138;

std::string SaveOf(ControlScene& f) {
  TKtMemoryStream s;
  f.scene.SaveScene(s);
  return s.Data();
}

TEST(ValueControlSave, SliderScrollBarAndGaugeComeBackWithTheirPropertiesAndBytes) {
  ControlScene a;
  a.Slider(LT_SLIDER, true, -10, 90, 40,
           {{PR_NAME, Str("slider")}, {PR_SMALLCHANGE, Int(4)}, {PR_ALPHA, Int(200)}, {PR_PAUSED, Flag(true)},
            {PR_CAPTUREMASK, Flag(true)}, {PR_BARSIZE, Int(120)}, {PR_ONIDLE, Str("i")}});
  a.Slider(LT_SCROLLBAR, false, 0, 100, 70, {{PR_NAME, Str("scroll")}, {PR_LARGECHANGE, Int(25)}, {PR_TOP, Int(60)}});
  TNovaGauge* g = a.Gauge(true, 0, 100, 100,
                          {{PR_DELAY, Int(700)}, {PR_DURATION, Int(300)}, {PR_REVERSE, Flag(true)},
                           {PR_BARSIZE, Int(50)}, {PR_ONIDLE, Str("gi")}, {PR_ALPHA, Int(300)}});
  WriteProperty(*g, PR_VALUE, Int(30));  // mid-drop when saved
  a.Frame();
  const std::string bytes = SaveOf(a);

  ControlScene b;
  TKtMemoryStream in(bytes);
  b.scene.LoadScene(in, kCurrentVersion);
  for (const char* name : {"slider", "scroll", "g"}) {
    TNovaObject* x = a.scene.FindObject(name);
    TNovaObject* y = b.scene.FindObject(name);
    ASSERT_NE(y, nullptr) << name;
    EXPECT_EQ(y->TypeCode(), x->TypeCode()) << name;
    for (int id = 0; id < 163; ++id) {
      if (id == PR_PLAYING) continue;  // a loaded gauge shows its value
      const TPropValue vx = ReadProperty(*x, id), vy = ReadProperty(*y, id);
      EXPECT_TRUE(vx.Int == vy.Int && vx.Flag == vy.Flag && vx.Str == vy.Str) << name << " property " << id;
    }
  }
  auto* loaded = dynamic_cast<TNovaGauge*>(b.scene.FindObject("g"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->Shown(), 30);
  EXPECT_EQ(loaded->Lost(), 0);
  EXPECT_EQ(SaveOf(b), bytes);
}

// The slider's own fields as a version writes them.
void OldSliderFields(TStream& s, int32_t version, bool scrollbar) {
  s.WriteString("hbar.bri");
  s.WriteString("hthumb.bri");
  s.WriteString("btn.bri");
  for (int32_t v : {0, 100, 50, 3, 255}) s.WriteInt32(v);
  s.WriteByte(0);  // paused
  s.WriteByte(OT_HORIZONTAL);
  for (const char* e : {"n", "h", "r", "i"}) s.WriteString(e);
  if (version > 118) s.WriteByte(1);  // capture mask
  if (version > 127) s.WriteInt32(80);
  if (scrollbar) s.WriteInt32(9);
}

void OldGaugeFields(TStream& s, int32_t version) {
  s.WriteString("hgauge.bri");
  for (int32_t v : {0, 100, 40, 255}) s.WriteInt32(v);
  s.WriteByte(0);
  s.WriteByte(OT_HORIZONTAL);
  s.WriteInt32(500);
  s.WriteInt32(200);
  s.WriteByte(1);  // reverse
  if (version > 124) s.WriteString("gi");
  if (version > 127) s.WriteInt32(60);
}

TEST(ValueControlSave, OlderRecordsLoadWithTheDefaultsOfTheirMissingFields) {
  struct OldCase {
    int type;
    int32_t version;
    bool captureMask;
    int32_t barSize;
    const char* onIdle;
  };
  const OldCase cases[] = {
      {LT_SLIDER, 118, false, 0, "i"},    {LT_SLIDER, 119, true, 0, "i"},     {LT_SLIDER, 128, true, 80, "i"},
      {LT_SCROLLBAR, 118, false, 0, "i"}, {LT_SCROLLBAR, 128, true, 80, "i"}, {LT_GAUGE, 124, false, 0, ""},
      {LT_GAUGE, 125, false, 0, "gi"},    {LT_GAUGE, 128, false, 60, "gi"},
  };
  for (const OldCase& c : cases) {
    ControlScene f;
    TKtMemoryStream s;
    WriteOldControl(s, c.version, "old", 1, 1, 0);
    if (c.type == LT_GAUGE) OldGaugeFields(s, c.version);
    else OldSliderFields(s, c.version, c.type == LT_SCROLLBAR);
    const int64_t size = s.Size();
    s.SetPosition(0);
    TNovaObject* o = f.scene.CreateObject(c.type);
    o->LoadFromStream(s, c.version);
    const std::string what = std::to_string(c.type) + " v" + std::to_string(c.version);
    EXPECT_EQ(s.Position(), size) << what << ": every field read, no more";
    EXPECT_EQ(ReadProperty(*o, PR_BARSIZE).Int, c.barSize) << what;
    EXPECT_EQ(ReadProperty(*o, PR_ONIDLE).Str, c.onIdle) << what;
    auto* control = static_cast<TNovaControl*>(o);
    if (c.type == LT_GAUGE) {
      EXPECT_EQ(ReadProperty(*o, PR_VALUE).Int, 40) << what;
      EXPECT_TRUE(ReadProperty(*o, PR_REVERSE).Flag) << what;
      EXPECT_EQ(static_cast<TNovaGauge*>(o)->Shown(), 40) << what;
      EXPECT_EQ(control->Width(), c.barSize > 0 ? c.barSize : 100) << what << ": laid out again";
    } else {
      EXPECT_EQ(ReadProperty(*o, PR_CAPTUREMASK).Flag, c.captureMask) << what;
      EXPECT_EQ(ReadProperty(*o, PR_SMALLCHANGE).Int, 3) << what;
      EXPECT_EQ(ReadProperty(*o, PR_ONRELEASE).Str, "r") << what;
      if (c.type == LT_SCROLLBAR) {
        EXPECT_EQ(ReadProperty(*o, PR_LARGECHANGE).Int, 9) << what;
      }
      const int32_t length = c.barSize > 0 ? c.barSize : 200;
      EXPECT_EQ(control->Width(), length + (c.type == LT_SLIDER ? 10 : 0) + 32) << what << ": laid out again";
    }
  }
}

TEST(ValueControlSave, MissingOrDamagedPicturesDoNotFailALoad) {
  ControlScene f;
  f.AddFile("bad.bri", "not a picture");
  TKtMemoryStream s;
  WriteOldControl(s, kCurrentVersion, "old", 1, 1, 0);
  s.WriteString("bad.bri");
  s.WriteString("gone.bri");
  s.WriteString("");
  for (int32_t v : {0, 100, 50, 1, 255}) s.WriteInt32(v);
  s.WriteByte(0);
  s.WriteByte(OT_HORIZONTAL);
  for (int i = 0; i < 4; ++i) s.WriteString("");
  s.WriteByte(0);
  s.WriteInt32(0);
  s.SetPosition(0);
  TNovaObject* o = f.scene.CreateObject(LT_SLIDER);
  EXPECT_NO_THROW(o->LoadFromStream(s, kCurrentVersion));
  EXPECT_EQ(ReadProperty(*o, PR_SOURCE).Str, "bad.bri") << "the name stays for the next save";
  EXPECT_EQ(static_cast<TNovaControl*>(o)->Width(), 0) << "no bar picture";
  f.Frame();
}

TEST(ValueControlSave, ADamagedPictureSetByTheScenarioRaisesItsErrorAndEmptiesTheControl) {
  ControlScene f;
  f.AddFile("bad.bri", "not a picture");
  TNovaSlider* s = f.Slider(LT_SLIDER, false, 0, 100, 50);
  TNovaGauge* g = f.Gauge(false, 0, 100, 50);
  ASSERT_GT(s->Width(), 0);
  ASSERT_GT(g->Width(), 0);
  EXPECT_THROW(s->SetProperty(PR_SOURCE, Str("bad.bri")), std::exception);
  EXPECT_THROW(g->SetProperty(PR_SOURCE, Str("bad.bri")), std::exception);
  EXPECT_EQ(s->Width(), 0) << "no bar: no size";
  EXPECT_EQ(g->Width(), 0);
  f.Frame();
}

}  // namespace
}  // namespace nova::test
