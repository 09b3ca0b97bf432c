// The start-up splash: the player's film plays in a centred cinema before the game's first
// page, which runs only once the cinema has gone; a click, Space or Return cuts it short.
#include <gtest/gtest.h>

#include "archive/vrfiles.h"
#include "base/process.h"
#include "formats/film_file.h"
#include "game/nova_game.h"
#include "game/splash.h"
#include "objects/nova_control.h"
#include "objects/scene.h"
#include "params/param_collection.h"
#include "scenario/project_file.h"
#include "support/page_builder.h"
#include "support/quiet_host.h"
#include "support/test_support.h"

namespace nova::test {
namespace {

// One second of a 40 x 20 film: a box.
std::vector<uint8_t> OneSecondFilm() {
  TFilmFile film;
  film.SceneSize = TPoint{40, 20};
  TFilmTrack box = NewFilmTrack(FT_BOX, 40, 20);
  box.Duration = 60;
  box.StartColor = box.EndColor = 0x202020;
  film.Tracks.push_back(box);
  return WriteFilmFile(film);
}

enum class Skip { None, Return, Space, Click };

class SplashTest : public ::testing::Test {
protected:
  void SetUp() override {
    FreshFileManager();
    ResetRunState();
    TProjectFile pf;
    pf.Name = "game";
    pf.StartPage = "start.nsb";
    pf.ScreenWidth = 320;
    pf.ScreenHeight = 240;
    TKtMemoryStream npb;
    WriteProjectFile(npb, pf);
    RegisterFile("nova.npb", npb.Data());
    // The first page leaves a mark and waits.
    PageBuilder b;
    VarNew(b, "ran", 1, "1");
    std::vector<TFieldValue> wait;
    for (int i = 0; i < 3; ++i) wait.push_back(FExpr(""));
    b.Add(kWait, 0, std::move(wait), 0);
    b.Register("start.nsb");
  }
  void TearDown() override {
    SetQuitting(false);
    ResetFileManager(false);
  }

  // Runs frames (16 ms each) from `first` on and returns the one in which the first page ran;
  // skip input goes in before frame 6.
  int FramesUntilThePageRuns(TNovaGame& game, Skip skip, int first = 1) {
    for (int frame = first; frame <= 200; ++frame) {
      if (frame == 6) {
        TInputState& input = game.Input();
        if (skip == Skip::Click) input.DisplayedScreen().LeftPressedNow = true;
        if (skip == Skip::Return || skip == Skip::Space) {
          const int key = skip == Skip::Return ? 13 : 32;
          input.SetKeyState(key, true);
          input.SetKeyPressed(key);
        }
      }
      FrameClock().LastDelta = 16;
      game.Frame();
      if (game.Store()->FindParam("ran")) return frame;
    }
    return -1;
  }

  TempDir dir;
  THeadlessPlatform platform;
  QuietHost host;
};

TEST_F(SplashTest, PlaysBeforeTheFirstPageUntilItEndsOrIsSkipped) {
  // Game frames: frame 1 starts the splash; its cinema holds the film's first frame for two
  // updates and then counts 16 ms a frame, reaching frame 60 (992 ms) in frame 64, where it
  // removes itself; frame 65 sees it gone, and the page runs in frame 66. Skipped in frame 6,
  // the cinema goes in that frame's update: the page runs in frame 8.
  struct Case {
    const char* what;
    bool splash;
    Skip skip;
    int pageFrame;
  } cases[] = {
      {"no splash", false, Skip::None, 1},
      {"played out", true, Skip::None, 66},
      {"Return", true, Skip::Return, 8},
      {"Space", true, Skip::Space, 8},
      {"click", true, Skip::Click, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    TGameConfig config = FolderGameConfig(dir.Path());
    if (c.splash) config.SplashFilm = OneSecondFilm();
    TNovaGame game(platform, config);
    game.Create(host);
    ASSERT_FALSE(Quitting());
    if (c.splash) {
      ASSERT_NE(game.Splash(), nullptr);
      FrameClock().LastDelta = 16;
      game.Frame();
      // Centred on the displayed screen, taking no clicks, not saved.
      auto* cinema = dynamic_cast<TNovaControl*>(game.Splash()->Cinema());
      ASSERT_NE(cinema, nullptr);
      EXPECT_EQ(cinema->TypeCode(), LT_CINEMA);
      EXPECT_EQ(cinema->Parent(), &game.Scene()->Displayed());
      EXPECT_EQ(cinema->Left(), 140);
      EXPECT_EQ(cinema->Top(), 110);
      EXPECT_EQ(cinema->IgnoreMouse(), IM_ALL);
      EXPECT_TRUE(cinema->HasSystemName());
      EXPECT_TRUE(FileManager().Exists(TSplash::kFilmName));
    }
    EXPECT_EQ(FramesUntilThePageRuns(game, c.skip, c.splash ? 2 : 1), c.pageFrame);
    EXPECT_EQ(game.Splash(), nullptr);
    // The film's archive went with the splash.
    EXPECT_FALSE(FileManager().Exists(TSplash::kFilmName));
    game.Shutdown();
    TearDown();
  }
}

TEST_F(SplashTest, AFilmThatIsNotAFilmEndsTheSplashAtOnce) {
  TGameConfig config = FolderGameConfig(dir.Path());
  config.SplashFilm = {'n', 'o', 't', ' ', 'a', ' ', 'f', 'i', 'l', 'm'};
  TNovaGame game(platform, config);
  game.Create(host);
  // Frame 1 starts it and the empty film ends in that frame's update; frame 2 sees it gone.
  EXPECT_EQ(FramesUntilThePageRuns(game, Skip::None), 3);
}

}  // namespace
}  // namespace nova::test
