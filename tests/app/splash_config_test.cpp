// The start-up splash as the player carries it: the user's config turns it off, and the film
// compiled into the player is a film a cinema plays to its end in a few seconds, by itself.
#include <gtest/gtest.h>

#include "app/splash_film.h"
#include "app/user_config.h"
#include "formats/film_file.h"
#include "support/test_support.h"

namespace nova {
namespace {

namespace fs = std::filesystem;

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

// The player with a window (SDL's dummy driver): the splash holds the first page back unless the
// user turned it off, the run is headless, or Return skips it.
TEST(SplashFilm, ThePlayerShowsItBeforeTheFirstPage) {
  test::TempDir dir, scratch;
  test::WriteFile(dir / "src/project.nsp", "name \"t\"\nscreen 320 240\nstart \"start.nsb\"\n");
  test::WriteFile(dir / "src/start.nss", "VarNew \"ran\" int {1}\n");
  test::TRun built = test::RunCommand(test::NovatoolCommand() + " build '" + (dir / "src") + "' -o '" +
                                          (dir / "game") + "'",
                                      scratch);
  ASSERT_EQ(built.Code, 0) << built.Err;
  test::WriteFile(dir / "return.txt", "3 keydown 13\n4 keyup 13\n");
  struct Case {
    const char* what;
    const char* config;  // the user's novaplayer.ini, null: none
    const char* options;
    bool ran;  // the first page ran within 20 frames (the film lasts 2.5 s)
  } cases[] = {
      {"shown", nullptr, "", false},
      {"turned off", "[Player]\nSplash=off\n", "", true},
      {"headless", nullptr, "--headless", true},
      {"skipped with Return", nullptr, "--input return.txt", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(dir / "config");
    fs::create_directories(dir / "config/novaplayer");
    if (c.config) test::WriteFile(dir / "config/novaplayer/novaplayer.ini", c.config);
    fs::remove(dir / "vars.jsonl");
    test::TRun r = test::RunCommand(
        "cd '" + dir.Path() + "' && XDG_CONFIG_HOME='" + (dir / "config") +
            "' SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 30 " + NOVA_PLAYER_PATH + " " + c.options +
            " --frames 20 --dump-vars vars.jsonl '" + (dir / "game") + "'",
        scratch);
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(test::ReadFile(dir / "vars.jsonl").find("\"name\": \"ran\"") != std::string::npos, c.ran);
  }
}

}  // namespace
}  // namespace nova
