// The emitter's saved form: its particles are never written, everything else comes back (the
// expressions in their compiled form, the reals in full precision), a loaded emitter pre-rolls
// again; records of version 103 end before the pre-roll; a source that went missing does not
// fail the load.
#include <gtest/gtest.h>

#include "particle_fixtures.h"

namespace nova::test {
namespace {

struct SaveParticles : ParticleScene {
  SaveParticles() {
    TParamCollectionItem* n = store.AddParam(PT_INT);
    store.SetParamName(n, "n");
    n->Param->SetAsInt(6);
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

const long double kThird = 1.0L / 3;

TNovaParticle* Populate(SaveParticles& f) {
  return f.Emitter({"n * 2", "n + 1", "40"},
                   {{PR_SOURCE, Str("dot.bri")}, {PR_PARTMOTION, Int(PM_SNOW)}, {PR_PARAM1, Float(kThird)},
                    {PR_PARAM2, Float(0)}, {PR_PARAM3, Float(-7.25L)}, {PR_ALPHA, Int(300)}, {PR_INDEX, Int(120)},
                    {PR_ONIDLE, Str("idle")}, {PR_DURATION, Int(5000)}, {PR_TAG, Str("t")}});
}

TEST(ParticleSave, ParticlesAreNeverSavedAndALoadedEmitterPreRollsAgain) {
  for (bool paused : {false, true}) {
    SaveParticles a;
    TNovaParticle* ea = Populate(a);
    for (int i = 0; i < 10; ++i) a.Frame(16);
    ASSERT_GT(a.Count(*ea), 3);
    WriteProperty(*ea, PR_PAUSED, Flag(paused));
    const std::string bytes = a.Save();

    SaveParticles b;
    b.Load(bytes);
    ASSERT_EQ(b.scene.ObjectCount(), 1);
    auto* eb = dynamic_cast<TNovaParticle*>(b.scene.FindObject("em"));
    ASSERT_NE(eb, nullptr);
    EXPECT_EQ(eb->State(), 0);
    for (int id = 0; id < 163; ++id) {
      const TPropValue va = ReadProperty(*ea, id), vb = ReadProperty(*eb, id);
      EXPECT_TRUE(va.Int == vb.Int && va.Flag == vb.Flag && va.Str == vb.Str && va.Float == vb.Float)
          << "property " << id;
    }
    EXPECT_EQ(eb->Param(1), kThird);
    EXPECT_EQ(eb->Duration(), 5000 - 9 * 16);
    EXPECT_EQ(eb->Frames().Count(), 1);
    EXPECT_EQ(b.Save(), bytes);
    WriteProperty(*eb, PR_PAUSED, Flag(false));
    // The pre-roll of 120 ms at 40 ms: three particles at the places the restored expressions
    // give.
    b.Frame(16);
    ASSERT_EQ(b.Count(*eb), 3);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(b.Particle(*eb, i).OriginX(), 12);
      EXPECT_EQ(b.Particle(*eb, i).OriginY(), 7);
    }
  }
}

// The control record as version 103 wrote it (no sub-order, tag, plus, clip or key fields).
void WriteControl103(TStream& s, const std::string& name) {
  s.WriteString(name);
  s.WriteInt32(0);  // priority
  for (int32_t v : {3, 4, 40, 30, 0, 0}) s.WriteInt32(v);
  s.WriteByte(0);    // position-zoomed
  s.WriteByte(1);    // visible
  s.WriteInt32(0);   // colour
  for (int32_t v : {0, 0, 1, 1}) s.WriteInt32(v);
  s.WriteByte(0);    // ignore-mouse
  s.WriteString("");  // cursor
  for (int i = 0; i < 9; ++i) s.WriteString("");  // mouse events
  s.WriteInt32(0);   // children
}

TEST(ParticleSave, RecordsOfEveryVersionLoad) {
  struct Case {
    int32_t version;
    const char* source;
    int frames;        // of the source once loaded
    int32_t preRoll;   // read from version 104 on
    const char* onIdle;
    bool paused;
    int32_t duration;
    int particles;      // after the first update: the pre-roll at the restored 25 ms interval
    int32_t countdown;
  };
  const Case cases[] = {
      {103, "dot.bri", 1, 0, "", false, 0, 1, 25},
      {138, "anim.bri", 2, 90, "idle", true, 700, 4, 20},
      // A file that went missing shows the image cache's stand-in frame; a damaged one loads
      // nothing, and neither fails the load.
      {138, "gone.bri", 1, 90, "idle", true, 700, 4, 20},
      {138, "bad.bri", 0, 90, "idle", true, 700, 4, 20},
  };
  for (const Case& c : cases) {
    ParticleScene f;
    f.AddFile("bad.bri", "not a layered image");
    TKtMemoryStream s;
    if (c.version == 103) {
      WriteControl103(s, "em");
    } else {
      // The control record of this version, as a control writes it.
      auto* model = f.Emitter({}, {{PR_LEFT, Int(3)}, {PR_TOP, Int(4)}});
      model->TNovaControl::SaveToStream(s);
      f.scene.FreeObject(model);
    }
    CompileExpression("5")->SaveToStream(s);
    TNovaParser().SaveToStream(s);  // no vertical expression
    CompileExpression("25")->SaveToStream(s);
    s.WriteString(c.source);
    s.WriteByte(PM_STAR);
    for (long double p : {1.5L, kThird, -2.0L}) s.WriteExtended(p);
    s.WriteInt32(260);
    if (c.version > 103) {
      s.WriteInt32(90);
      s.WriteString("idle");
      s.WriteByte(1);
      s.WriteInt32(700);
    }
    s.WriteInt32(0x7A7A7A7A);  // what follows the record stays unread
    s.SetPosition(0);
    TNovaObject* o = f.scene.CreateObject(LT_PARTICLE);
    ASSERT_NO_THROW(o->LoadFromStream(s, c.version)) << c.version;
    EXPECT_EQ(s.ReadInt32(), 0x7A7A7A7A) << c.version;
    auto& e = static_cast<TNovaParticle&>(*o);
    EXPECT_EQ(e.Source(), c.source);
    EXPECT_EQ(e.Frames().Count(), c.frames) << c.version;
    EXPECT_EQ(e.Pattern(), PM_STAR);
    EXPECT_EQ(e.Param(1), 1.5L);
    EXPECT_EQ(e.Param(2), kThird);
    EXPECT_EQ(e.Param(3), -2.0L);
    EXPECT_EQ(e.Alpha(), 260);
    EXPECT_EQ(e.PreRoll(), c.preRoll);
    EXPECT_EQ(ReadProperty(e, PR_ONIDLE).Str, c.onIdle);
    EXPECT_EQ(e.Paused(), c.paused);
    EXPECT_EQ(e.Duration(), c.duration);
    EXPECT_EQ(e.State(), 0);
    // The expressions came back: the particles appear at x 5, y 0, every 25 ms.
    e.SetParent(&f.scene.Displayed());
    WriteProperty(e, PR_PAUSED, Flag(false));
    f.Frame(16);
    ASSERT_EQ(f.Count(e), c.particles) << c.version;
    EXPECT_EQ(e.Countdown(), c.countdown) << c.version;
    EXPECT_EQ(f.Particle(e, 0).OriginX(), 5);
    EXPECT_EQ(f.Particle(e, 0).OriginY(), 0);
  }
}

}  // namespace
}  // namespace nova::test
