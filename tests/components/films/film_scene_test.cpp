// Films played by a cinema: objects created under the anchor (anchored mode) or on the two
// screens of a private scene whose transitions the transition tracks drive (scene mode).
#include <gtest/gtest.h>

#include <vector>

#include "components/effects/nova_fire.h"
#include "components/effects/nova_particle.h"
#include "components/images/nova_box.h"
#include "components/images/nova_custom_image.h"
#include "components/text/nova_label.h"
#include "film_fixtures.h"
#include "render/wipes.h"

namespace nova::test {
namespace {

uint8_t Red(uint32_t px) { return static_cast<uint8_t>(px >> 16); }
uint8_t Blue(uint32_t px) { return static_cast<uint8_t>(px); }

TNovaControl* ObjectOf(const TFilmManager& film, int track) {
  return dynamic_cast<TNovaControl*>(film.Track(track)->GetObject());
}

struct PrivateScene {
  explicit PrivateScene(FilmScene& fs) : film(fs.services) {
    scene.SetFactory(&fs.factory);
    scene.SetSize(64, 48);
    back.SetSize(64, 48, 32);
    scene.SetBackSurface(&back);
    film.SetScene(&scene);
    film.SetSoundScene(&fs.scene);
  }
  ~PrivateScene() { film.Clear(); }
  TNovaBaseList scene;
  TDIBX back;
  TFilmManager film;
};

TEST(FilmScene, TransitionTrackSwitchesTheScreens) {
  FilmScene fs;
  TFilmFile f;
  f.SceneSize = TPoint{64, 48};
  f.BackColor = 0;
  f.Tracks.push_back(Track(FT_PICTURE, 0, 100, "red.bri"));   // screen 0
  TFilmTrack wipe = Track(FT_WIPE, 50, 30);
  wipe.WipeType = WP_FADE;
  f.Tracks.push_back(wipe);
  f.Tracks.push_back(Track(FT_PICTURE, 79, 21, "blue.bri"));  // starts on the wipe's last frame: screen 1
  TFilmTrack other = Track(FT_PICTURE, 40, 60, "p.bri");
  other.OtherScreen = 1;                                       // screen 1
  f.Tracks.push_back(other);
  f.Tracks.push_back(Track(FT_PICTURE, 78, 5, "p.bri"));      // screen 0
  PrivateScene ps(fs);
  ps.film.ReadFilm(Bytes(FilmBytes(f)), "s.nmt");
  ASSERT_TRUE(ps.film.NeedsOwnScene());
  ps.film.StartFilm();
  struct Expect {
    int displayed;
    int elapsed;  // of the running transition, -1 none
  };
  std::vector<Expect> seen;
  std::vector<uint32_t> pixels;
  for (int n = 0; n < 100; ++n) {
    ps.film.ShowFrame(n);
    ps.scene.PaintScene();
    ps.scene.ClearDirty();
    TCustomWipe* wipe = ps.scene.Transition();
    seen.push_back({ps.scene.DisplayedIndex(), wipe ? wipe->Elapsed() : -1});
    pixels.push_back(ps.back.GetPixel(30, 30));
    if (n == 78) {
      EXPECT_EQ(ObjectOf(ps.film, 0)->Parent(), &ps.scene.GetScreen(0));
      EXPECT_EQ(ObjectOf(ps.film, 3)->Parent(), &ps.scene.GetScreen(1));
      EXPECT_EQ(ObjectOf(ps.film, 4)->Parent(), &ps.scene.GetScreen(0));
    }
    if (n == 79) {
      EXPECT_EQ(ObjectOf(ps.film, 2)->Parent(), &ps.scene.GetScreen(1));
    }
  }
  for (int n = 0; n < 100; ++n) {
    const Expect want = n < 50 ? Expect{0, -1} : n < 80 ? Expect{0, n - 50} : Expect{1, -1};
    EXPECT_EQ(seen[static_cast<size_t>(n)].displayed, want.displayed) << n;
    EXPECT_EQ(seen[static_cast<size_t>(n)].elapsed, want.elapsed) << n;
  }
  // The composed picture: red, then the fade from red to screen 1 (black until the blue
  // picture starts on the fade's last frame), then blue.
  EXPECT_EQ(pixels[49] & 0xFFFFFF, 0xFF0000u);
  EXPECT_GT(Red(pixels[65]), 0x60);
  EXPECT_LT(Red(pixels[65]), 0xA0);
  EXPECT_LT(Red(pixels[70]), Red(pixels[60]));
  EXPECT_EQ(Blue(pixels[75]), 0);
  EXPECT_EQ(pixels[85] & 0xFFFFFF, 0x0000FFu);
  // Screens take the film's colour; objects have system names and go outside their tracks.
  EXPECT_EQ(ps.scene.GetScreen(1).Color(), 0);
  TNovaControl* last = ObjectOf(ps.film, 4);
  EXPECT_EQ(last, nullptr);  // frames 78..82 only
  TNovaControl* red = ObjectOf(ps.film, 0);
  ASSERT_NE(red, nullptr);
  EXPECT_TRUE(red->HasSystemName());
  EXPECT_EQ(red->Name().substr(0, 1), "\x01");
  ps.film.ShowFrame(100);
  EXPECT_TRUE(ps.scene.IsPendingDeletion(red));
  EXPECT_TRUE(red->Name().empty());
  EXPECT_EQ(ObjectOf(ps.film, 0), nullptr);
}

TEST(FilmScene, AnchoredObjectsLiveUnderTheAnchorWithinTheirTracks) {
  FilmScene fs;
  auto* anchor = fs.Create<TNovaBox>(LT_BOX, "cin");
  TFilmTrack picture = Track(FT_PICTURE, 2, 3, "p.bri");
  picture.StartPos = TPoint{1, 2};
  picture.EndPos = TPoint{5, 6};
  picture.Priority = 4;
  picture.EndZoomX = 2.0;
  TFilmTrack label = Track(FT_LABEL, 0, 2);
  label.Text = "A";
  TFilmTrack box = Track(FT_BOX, 0, 1);
  box.StartColor = box.EndColor = 0x00FF00;
  TFilmManager film(fs.services);
  film.SetScene(&fs.scene);
  film.SetAnchor(anchor);
  film.ReadFilm(Bytes(FilmBytes(Film({picture, label, box}))), "a.nmt");
  EXPECT_FALSE(film.NeedsOwnScene());
  film.StartFilm();
  const int before = fs.scene.ObjectCount();
  film.ShowFrame(0);
  EXPECT_EQ(ObjectOf(film, 0), nullptr);
  ASSERT_NE(ObjectOf(film, 1), nullptr);
  EXPECT_EQ(ObjectOf(film, 1)->Parent(), anchor);
  EXPECT_EQ(ReadProperty(*ObjectOf(film, 1), PR_TEXT).Str, "A");
  ASSERT_NE(ObjectOf(film, 2), nullptr);
  EXPECT_EQ(ReadProperty(*ObjectOf(film, 2), PR_COLOR).Int, 0x00FF00);
  EXPECT_EQ(ObjectOf(film, 2)->Parent(), anchor);
  EXPECT_EQ(fs.scene.ObjectCount(), before + 2);
  film.ShowFrame(3);
  auto* image = dynamic_cast<TNovaCustomImage*>(ObjectOf(film, 0));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Name().rfind("\x01" "cin" "\x01", 0), 0u);
  EXPECT_EQ(image->Parent(), anchor);
  EXPECT_EQ(image->Left(), 3);
  EXPECT_EQ(image->Top(), 4);
  EXPECT_EQ(image->ZoomX(), 384);
  EXPECT_EQ(image->Width(), 6);  // the picture's 4 pixels times the zoom
  EXPECT_EQ(image->Priority(), 4);
  EXPECT_TRUE(ReadProperty(*image, PR_CAPTUREMASK).Flag);
  EXPECT_EQ(ObjectOf(film, 1), nullptr);  // the label's track has ended
  // A script deletes the picture: the next frame makes a new one.
  fs.scene.FreeObject(image);
  film.ShowFrame(4);
  ASSERT_NE(ObjectOf(film, 0), nullptr);
  EXPECT_EQ(ObjectOf(film, 0)->Left(), 5);
  film.ShowFrame(5);
  EXPECT_EQ(ObjectOf(film, 0), nullptr);
  // Freeing the film: its objects go at the end of the frame, and until then show no picture
  // of the cache entries the tracks released.
  film.ShowFrame(3);
  auto* left = dynamic_cast<TNovaCustomImage*>(ObjectOf(film, 0));
  ASSERT_NE(left, nullptr);
  film.Clear();
  EXPECT_TRUE(fs.scene.IsPendingDeletion(left));
  EXPECT_EQ(left->OwnSurface(), nullptr);
  EXPECT_EQ(fs.cache.FindImage(TBrioCollection::CacheKey("p.bri", false, false)), nullptr);
  fs.Frame();
}

TEST(FilmScene, ParticleAndFireTracksCreateTheirEffectObjects) {
  // Outside control mode a particle track makes its emitter and a fire track its fire (under
  // the anchor, with a system name) on their first frame.
  FilmScene fs;
  auto* anchor = fs.Create<TNovaBox>(LT_BOX, "cin");
  TFilmTrack particle = Track(FT_PARTICLE, 0, 5, "");  // an empty source name
  TFilmTrack fire = Track(FT_FIRE, 0, 5);
  fire.Parent = -1;
  TFilmTrack after = Track(FT_PICTURE, 0, 5, "p.bri");
  TFilmManager film(fs.services);
  film.SetScene(&fs.scene);
  film.SetAnchor(anchor);
  film.ReadFilm(Bytes(FilmBytes(Film({particle, fire, after}))), "e.nmt");
  ASSERT_EQ(film.TrackCount(), 3);
  EXPECT_EQ(film.Track(2)->TrackType(), FT_PICTURE);  // read on correctly after the particle record
  const int before = fs.scene.ObjectCount();
  for (int n = 0; n < 5; ++n) film.ShowFrame(n);
  auto* emitter = dynamic_cast<TNovaParticle*>(film.Track(0)->GetObject());
  ASSERT_NE(emitter, nullptr);
  EXPECT_EQ(emitter->Parent(), anchor);
  EXPECT_TRUE(emitter->HasSystemName());
  auto* flames = dynamic_cast<TNovaFire*>(film.Track(1)->GetObject());
  ASSERT_NE(flames, nullptr);
  EXPECT_EQ(flames->Parent(), anchor);
  EXPECT_TRUE(flames->HasSystemName());
  EXPECT_NE(film.Track(2)->GetObject(), nullptr);
  EXPECT_EQ(fs.scene.ObjectCount(), before + 3);
}

TEST(FilmScene, LoadingKeepsEmptyFilmsAndRejectsDamagedOnes) {
  FilmScene fs;
  struct Case {
    const char* what;
    std::string bytes;
    bool raises;
  };
  const std::string good = FilmBytes(Film({Track(FT_PICTURE, 0, 5, "p.bri")}));
  // The first record's parent (after the 42 header bytes and the type byte) set to itself.
  std::string ownParent = good;
  ownParent.replace(43, 4, std::string(4, '\0'));
  const std::vector<Case> cases = {
      {"no signature", "NotAFilm at all", false},
      {"truncated", good.substr(0, good.size() - 3), true},
      {"own parent", ownParent, true},
      {"bad version", "NovaMotion1x0" + good.substr(13), true},
  };
  for (const Case& c : cases) {
    TFilmManager film(fs.services);
    film.ReadFilm(Bytes(good), "ok.nmt");
    ASSERT_EQ(film.FilmFrameCount(), 5);
    bool raised = false;
    try {
      film.ReadFilm(Bytes(c.bytes), "x.nmt");
    } catch (const std::exception& e) {
      raised = true;
      EXPECT_NE(std::string(e.what()).find("x.nmt"), std::string::npos) << c.what;
    }
    EXPECT_EQ(raised, c.raises) << c.what;
    EXPECT_EQ(film.TrackCount(), 0) << c.what;
    EXPECT_EQ(film.FilmFrameCount(), 0) << c.what;  // not the length of the film before
    EXPECT_EQ(film.FirstTrackAtStart(), nullptr) << c.what;
    film.ShowFrame(0);  // an empty film shows nothing
  }
}

TEST(FilmScene, OldFilmsCountHalfFrames) {
  FilmScene fs;
  TFilmFile f = Film({Track(FT_PICTURE, 10, 30, "p.bri")}, 15);
  f.Version = 106;
  TFilmManager film(fs.services);
  film.ReadFilm(Bytes(FilmBytes(f)), "old.nmt");
  EXPECT_EQ(film.Track(0)->AbsoluteStart(), 20);
  EXPECT_EQ(film.Track(0)->Duration(), 60);
  EXPECT_EQ(film.LoopStart(), 30);
  EXPECT_EQ(film.FilmFrameCount(), 80);
}

}  // namespace
}  // namespace nova::test
