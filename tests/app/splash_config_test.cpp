// The start-up splash as the player carries it: the user's config turns it off, and the film
// compiled into the player is a film a cinema plays to its end in a few seconds, by itself.
#include <gtest/gtest.h>

#include "app/splash_film.h"
#include "app/user_config.h"
#include "formats/film_file.h"
#include "support/test_support.h"

namespace nova {
namespace {

TEST(SplashConfig, TheUserConfigTurnsTheSplashOff) {
  struct Case {
    const char* file;  // null: no file
    bool splash;
    bool warned;
  } cases[] = {
      {nullptr, true, false},
      {"[Display]\nScale=smooth\n", true, false},
      {"[Player]\nSplash=off\n", false, false},
      {"[Player]\nSplash = No\n", false, false},
      {"[Player]\nSplash=0\n", false, false},
      {"[Player]\nSplash=false\n", false, false},
      {"[Player]\nSplash=on\n", true, false},
      {"[Player]\nSplash=1\n", true, false},
      {"[Player]\nSplash=sometimes\n", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file ? c.file : "no file");
    test::TempDir dir;
    if (c.file) test::WriteFile(dir / "novaplayer.ini", c.file);
    const TUserConfig config = LoadUserConfig(dir / "novaplayer.ini");
    EXPECT_EQ(config.Splash, c.splash);
    ASSERT_EQ(config.Warnings.size(), c.warned ? 1u : 0u);
    if (c.warned) {
      EXPECT_NE(config.Warnings[0].find("[Player] Splash=sometimes"), std::string::npos);
    }
  }
}

TEST(SplashFilm, IsAShortFilmOfItsOwn) {
  const std::span<const uint8_t> bytes = SplashFilmBytes();
  ASSERT_TRUE(IsFilmFile(bytes));
  const TFilmPlayback film = PlaybackTracks(ReadFilmFile(bytes, "splash"));
  ASSERT_FALSE(film.Tracks.empty());
  int32_t frames = 0;
  for (const TFilmTrack& t : film.Tracks) {
    // Only what needs no file: labels and boxes, on the cinema (no second screen).
    EXPECT_TRUE(t.Type() == FT_LABEL || t.Type() == FT_BOX) << t.Type();
    EXPECT_EQ(t.OtherScreen, 0);
    if (t.Parent < 0) frames = std::max(frames, t.Start + t.Duration);
  }
  EXPECT_GE(frames, 60);   // a second at least
  EXPECT_LE(frames, 300);  // and at most five
  EXPECT_EQ(film.BackColor, -1);
  EXPECT_LE(film.SceneSize.X, 640);
  EXPECT_LE(film.SceneSize.Y, 480);
}

}  // namespace
}  // namespace nova
