// Particles and films: a film's particle track makes an emitter under its anchor, gives it the
// track's place, looks and emission values frame by frame and takes it away with its particles
// when the chain ends; an emitter whose source is a film plays that film on every particle at
// the particle's age. And a painted emitter repeats pixel for pixel from the same seed.
#include <gtest/gtest.h>

#include <cstdint>

#include "../films/film_fixtures.h"
#include "particle_fixtures.h"
#include "base/process.h"
#include "components/effects/nova_particle.h"
#include "components/effects/particle_motion.h"
#include "components/films/effect_frame_lists.h"
#include "components/images/nova_box.h"
#include "params/sysfunc.h"

namespace nova::test {
namespace {

struct ParticleFilm : FilmScene {
  ParticleFilm() {
    FrameClock().FrameBudget = 16;
    services.NextRandomState = [this] { return randomState = randomState * 134775813u + 1u; };
  }
  uint32_t randomState = 99;
};

TFilmTrack EmitterTrack(int32_t start, int32_t duration, const std::string& file) {
  TFilmTrack t = Track(FT_PARTICLE, start, duration, file);
  t.StartPos = t.EndPos = TPoint{2, 4};
  t.StartSize = t.EndSize = TPoint{40, 30};
  t.Priority = 3;
  t.StartAlpha = t.EndAlpha = 100;
  t.PartMotion = PM_SNOW;
  t.Index = 200;
  // Interval 50 + Random(1); x 0 -> 18 + Random(1); y 6 + Random(1).
  t.Emission = {50, 50, 1, 1, 0, 6, 18, 6, 1, 1, 1, 1};
  t.StartParam = t.EndParam = {0.5, 0, 0};
  return t;
}

TEST(ParticleFilm, AParticleTrackMakesAndDrivesItsEmitterUntilTheChainEnds) {
  ParticleFilm fs;
  auto* anchor = fs.Create<TNovaBox>(LT_BOX, "cin");
  TFilmTrack first = EmitterTrack(0, 10, "p.bri");
  TFilmTrack second = EmitterTrack(0, 10, "p.bri");
  second.Parent = 0;  // starts at frame 10 from the end values of the first
  second.Emission = {50, 50, 1, 1, 18, 6, 18, 6, 1, 1, 1, 1};
  TFilmManager film(fs.services);
  film.SetScene(&fs.scene);
  film.SetAnchor(anchor);
  film.ReadFilm(Bytes(FilmBytes(Film({first, second}))), "fx\\e.nmt");
  fs.AddFile("fx\\p.bri", BriBytes({Solid(4, 4, 0xFF0000)}));
  const int before = fs.scene.ObjectCount();
  TNovaParticle* emitter = nullptr;
  for (int n = 0; n < 20; ++n) {
    film.ShowFrame(n);
    auto* now = dynamic_cast<TNovaParticle*>(film.Track(0)->GetObject());
    ASSERT_NE(now, nullptr) << n;
    if (emitter) {
      EXPECT_EQ(now, emitter) << "one emitter across the seam, frame " << n;
    }
    emitter = now;
    EXPECT_EQ(emitter->Parent(), anchor);
    EXPECT_EQ(emitter->Left(), 2);
    EXPECT_EQ(emitter->Top(), 4);
    EXPECT_EQ(emitter->Width(), 40);
    EXPECT_EQ(emitter->Height(), 30);
    EXPECT_EQ(emitter->Priority(), 3);
    EXPECT_EQ(emitter->Alpha(), 100);
    EXPECT_EQ(emitter->Source(), "fx\\p.bri");
    EXPECT_EQ(emitter->Pattern(), PM_SNOW);
    EXPECT_EQ(emitter->PreRoll(), 200);
    EXPECT_EQ(emitter->Param(1), 0.5L);
    // The record holds the track's emission values of this frame.
    ASSERT_NE(emitter->Param(), nullptr);
    auto* shown = static_cast<TParticleFrameList*>(film.Track(n < 10 ? 0 : 1));
    const TParticleEmission e = shown->EmissionAt(n < 10 ? n : n - 10);
    EXPECT_EQ(emitter->Param()->XBase, e.XBase) << n;
    EXPECT_EQ(emitter->Param()->YBase, 6);
    EXPECT_EQ(emitter->Param()->IntervalBase, 50);
    EXPECT_EQ(emitter->Param()->XRange, 1);
    fs.Frame(16);
  }
  // The emitter made its particles by the record: every 50 ms at the x base of the moment
  // (0 to 18 over the first track).
  ASSERT_GT(emitter->Particles().Count(), 5);
  for (int i = 0; i < emitter->Particles().Count(); ++i) {
    const TNovaParticleImages& p = *emitter->Particles().Item(i);
    EXPECT_GE(p.OriginX(), 0);
    EXPECT_LE(p.OriginX(), 18);
    EXPECT_EQ(p.OriginY(), 6);
    EXPECT_EQ(ReadProperty(const_cast<TNovaParticleImages&>(p), PR_ALPHA).Int, 100);
  }
  EXPECT_EQ(emitter->Particles().Item(emitter->Particles().Count() - 1)->OriginX(), 18);
  // Past the chain the emitter goes, and its particles with it.
  film.ShowFrame(20);
  EXPECT_EQ(film.Track(0)->GetObject(), nullptr);
  fs.Frame(16);
  EXPECT_EQ(fs.scene.ObjectCount(), before);
}

TEST(ParticleFilm, ParticlesOfAFilmSourcePlayItAtTheirAge) {
  ParticleFilm fs;
  // A relative film of 30 frames: the particle's picture, 3 pixels right of the particle.
  TFilmTrack picture = Track(FT_PICTURE, 0, 30, "p.bri");
  picture.StartPos = picture.EndPos = TPoint{3, 0};
  picture.Priority = 5;
  TFilmFile f = Film({picture});
  f.Relative = 1;
  fs.AddFilm("move.nmt", f);
  auto* e = fs.Create<TNovaParticle>(
      LT_PARTICLE, "em",
      {{PR_SOURCE, Str("move.nmt")}, {PR_PARTMOTION, Int(PM_SNOW)}, {PR_WIDTH, Int(64)}, {PR_HEIGHT, Int(48)}});
  ASSERT_NE(e->FilmMotion(), nullptr);
  e->TakeExpression(PR_DELAY, std::shared_ptr<TNovaParser>(CompileExpression("50")));
  e->TakeExpression(PR_APPEARX, std::shared_ptr<TNovaParser>(CompileExpression("20")));
  e->TakeExpression(PR_APPEARY, std::shared_ptr<TNovaParser>(CompileExpression("10")));
  int seen = 0;
  for (int i = 0; i < 100; ++i) {
    fs.Frame(16);
    for (int k = 0; k < e->Particles().Count(); ++k) {
      TNovaParticleImages& p = *e->Particles().Item(k);
      // The film ends a particle once its age reaches the film's 30 frames (496 ms is frame 30).
      EXPECT_LE(p.Age(), 480) << i;
      ++seen;
      EXPECT_NE(p.OwnSurface(), nullptr);
      EXPECT_EQ(p.MotionX(), p.Left() + 3);
      EXPECT_EQ(p.MotionY(), p.Top());
      // The picture track orders the particle by its priority.
      EXPECT_EQ(p.SubOrder(), 5);
    }
  }
  EXPECT_GT(seen, 100);
  EXPECT_GE(e->Particles().Count(), 9);
  EXPECT_LE(e->Particles().Count(), 11);
  // A new source takes the film and the particles away at once.
  WriteProperty(*e, PR_SOURCE, Str("p.bri"));
  EXPECT_EQ(e->FilmMotion(), nullptr);
  EXPECT_EQ(e->Particles().Count(), 0);
  fs.Frame(16);
  EXPECT_EQ(e->Particles().Count(), 1);
}

// The back surface after some frames of a painted emitter of red dots on black, drawn from the
// scenario's own generator seeded as a headless game seeds it.
std::vector<uint32_t> Picture(uint32_t seed, int frames) {
  SetRandomSeed(seed);
  FilmScene fs;
  FrameClock().FrameBudget = 16;
  fs.AddFile("dot.bri", BriBytes({Solid(4, 4, 0xFF0000)}));
  fs.Create<TNovaParticle>(LT_PARTICLE, "em",
                           {{PR_SOURCE, Str("dot.bri")}, {PR_PARTMOTION, Int(PM_SNOW)}, {PR_WIDTH, Int(64)},
                            {PR_HEIGHT, Int(48)}, {PR_PARAM1, Float(0.7L)}, {PR_PARAM2, Float(2)},
                            {PR_PARAM3, Float(6)}, {PR_INDEX, Int(1500)}});
  auto* e = static_cast<TNovaParticle*>(fs.scene.FindObject("em"));
  e->TakeExpression(PR_DELAY, std::shared_ptr<TNovaParser>(CompileExpression("Random(60) + 20")));
  e->TakeExpression(PR_APPEARX, std::shared_ptr<TNovaParser>(CompileExpression("Random(64)")));
  for (int i = 0; i < frames; ++i) fs.Frame(16);
  std::vector<uint32_t> pixels;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) pixels.push_back(fs.Px(x, y) & 0xFFFFFF);
  return pixels;
}

TEST(ParticleFilm, APaintedEmitterRepeatsPixelForPixelFromTheSameSeed) {
  const std::vector<uint32_t> first = Picture(0, 40);
  const std::vector<uint32_t> again = Picture(0, 40);
  EXPECT_EQ(first, again);
  int red = 0;
  for (uint32_t px : first) red += px == 0xFF0000;
  // Several dots are on the screen, and another seed places them elsewhere.
  EXPECT_GE(red, 5 * 16);
  EXPECT_NE(Picture(1, 40), first);
}

}  // namespace
}  // namespace nova::test
