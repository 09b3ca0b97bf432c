// Sound tracks: the chain's sound in the game scene follows the film (paused on the last
// frame, restarted when the film loops back, moved when 3 s or more from the film's time).
#include <gtest/gtest.h>

#include <cstdlib>

#include "../media/media_scene.h"
#include "components/films/film_manager.h"
#include "components/films/frame_list.h"
#include "components/images/nova_box.h"
#include "formats/film_file.h"

namespace nova::test {
namespace {

std::string SoundFilm(int32_t duration, int32_t loopStart, int32_t volume) {
  TFilmFile f;
  TFilmTrack t = NewFilmTrack(FT_SOUND);
  t.Duration = duration;
  t.File = "s.wav";
  t.StartVolume = t.EndVolume = volume;
  t.EndBalance = 100;
  f.Tracks.push_back(t);
  f.LoopStart = loopStart;
  const std::vector<uint8_t> bytes = WriteFilmFile(f);
  return std::string(bytes.begin(), bytes.end());
}

struct SoundFilmScene {
  SoundFilmScene(int32_t duration, int32_t loopStart) : film(m.services) {
    m.Write("s.wav", ToneWav(12000));
    anchor = dynamic_cast<TNovaControl*>(m.scene.CreateObject(LT_BOX));
    anchor->SetName("cin");
    anchor->SetParent(&m.scene.Displayed());
    film.SetScene(&m.scene);
    film.SetAnchor(anchor);
    film.SetVolume(500);
    const std::string bytes = SoundFilm(duration, loopStart, 800);
    film.ReadFilm({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, "f.nmt");
    film.StartFilm();
  }
  ~SoundFilmScene() { film.Clear(); }
  TNovaObject* Sound() { return film.Track(0)->GetObject(); }
  bool Paused() { return MediaScene::Get(*Sound(), PR_PAUSED).Flag; }
  int32_t Position() { return MediaScene::Get(*Sound(), PR_INDEX).Int; }

  MediaScene m;
  TNovaControl* anchor = nullptr;
  TFilmManager film;
};

TEST(FilmSound, FollowsPausesAndRestartsWithTheFilm) {
  SoundFilmScene s(600, 300);
  ASSERT_NE(s.Sound(), nullptr);
  EXPECT_TRUE(s.Sound()->HasSystemName());
  EXPECT_TRUE(s.Paused());  // made paused at the start
  EXPECT_TRUE(MediaScene::Get(*s.Sound(), PR_REPEAT).Flag);  // the film loops inside it
  EXPECT_EQ(MediaScene::Get(*s.Sound(), PR_VOLUME).Int, 400);
  s.film.ShowFrame(0);
  EXPECT_FALSE(s.Paused());
  EXPECT_EQ(MediaScene::Get(*s.Sound(), PR_BALANCE).Int, 0);
  s.m.Frames(3);
  // Near the film's time: left alone; 3 s or more away: moved to it.
  s.film.ShowFrame(100);
  EXPECT_LT(s.Position(), 1000);
  s.film.ShowFrame(400);
  EXPECT_NEAR(s.Position(), 400 * 1000 / 60, 50);
  EXPECT_EQ(MediaScene::Get(*s.Sound(), PR_BALANCE).Int, 66);  // 400 * 100 / 599
  // The last frame pauses it.
  s.film.ShowFrame(599);
  EXPECT_TRUE(s.Paused());
  // Back to the loop start: from its beginning, then on to the film's time.
  s.film.ShowFrame(300);
  EXPECT_FALSE(s.Paused());
  EXPECT_LT(s.Position(), 100);
  s.film.ShowFrame(301);
  EXPECT_NEAR(s.Position(), 301 * 1000 / 60, 50);
  // A stopped or paused film holds the sound.
  s.film.SetRunning(false);
  EXPECT_TRUE(s.Paused());
  s.film.ShowFrame(302);
  EXPECT_TRUE(s.Paused());
  s.film.SetRunning(true);
  s.film.SetFilmPaused(true);
  s.film.ShowFrame(303);
  EXPECT_TRUE(s.Paused());
  s.film.SetFilmPaused(false);
  EXPECT_FALSE(s.Paused());
}

TEST(FilmSound, AChainKeepsOneSoundAcrossItsSeams) {
  MediaScene m;
  m.Write("s.wav", ToneWav(12000));
  TFilmFile f;
  TFilmTrack a = NewFilmTrack(FT_SOUND);
  a.Duration = 300;
  a.File = "s.wav";
  TFilmTrack b = NewFilmTrack(FT_SOUND);
  b.Parent = 0;
  b.Duration = 300;
  b.EndVolume = 0;
  f.Tracks = {a, b};
  const std::vector<uint8_t> bytes = WriteFilmFile(f);
  TFilmManager film(m.services);
  film.SetSoundScene(&m.scene);
  auto* anchor = dynamic_cast<TNovaControl*>(m.scene.CreateObject(LT_BOX));
  anchor->SetParent(&m.scene.Displayed());
  film.SetScene(&m.scene);
  film.SetAnchor(anchor);
  film.ReadFilm(bytes, "c.nmt");
  film.StartFilm();
  const int objects = m.scene.ObjectCount();
  TNovaObject* sound = film.Track(0)->GetObject();
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(film.Track(1)->GetObject(), sound);
  for (int n : {0, 150, 299, 300, 450}) {
    film.ShowFrame(n);
    EXPECT_EQ(film.Track(1)->GetObject(), sound) << n;
    EXPECT_FALSE(MediaScene::Get(*sound, PR_PAUSED).Flag) << n;
  }
  EXPECT_EQ(MediaScene::Get(*sound, PR_VOLUME).Int, 1000 - 150 * 1000 / 299);
  EXPECT_EQ(m.scene.ObjectCount(), objects);
  // The chain's last frame is the film's: paused there.
  film.ShowFrame(599);
  EXPECT_TRUE(MediaScene::Get(*sound, PR_PAUSED).Flag);
  film.Clear();
  EXPECT_TRUE(m.scene.IsPendingDeletion(sound));
}

TEST(FilmSound, RepeatsOnlyWhenShorterThanTheTrackOrLoopedInto) {
  struct Case {
    int32_t duration, loopStart;
    bool repeat;
  };
  // The sound lasts 12 s = 720 frames.
  for (const Case& c : {Case{800, 0, true}, Case{600, 0, false}, Case{600, 300, true}, Case{600, 599, false}}) {
    SoundFilmScene s(c.duration, c.loopStart);
    ASSERT_NE(s.Sound(), nullptr);
    EXPECT_EQ(MediaScene::Get(*s.Sound(), PR_REPEAT).Flag, c.repeat) << c.duration << " " << c.loopStart;
  }
}

}  // namespace
}  // namespace nova::test
