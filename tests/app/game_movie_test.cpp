// Movies in the running game: drawn into the game's picture frame by frame, as images or as
// overlays over the finished picture, with the rectangles the window must show.
#include <gtest/gtest.h>

#include "archive/vrfiles.h"
#include "base/process.h"
#include "components/media/nova_video.h"
#include "game/nova_game.h"
#include "objects/property_access.h"
#include "objects/scene.h"
#include "platform/platform.h"
#include "platform/sdl/ffmpeg_decoders.h"
#include "platform_sdl/media_encoders.h"
#include "scenario/page_format.h"
#include "scenario/project_file.h"
#include "support/quiet_host.h"
#include "support/test_support.h"

namespace nova {
namespace {

// A page that waits for ever.
std::string WaitPage() {
  TPageFile page;
  page.PropSetRecords.assign(kCommandCount, std::string(kPropSetBytes, '\0'));
  TCommandRecord wait;
  wait.CodeByte = 7;
  wait.Fields.resize(3);
  for (TFieldValue& f : wait.Fields) {
    f.Kind = TFieldKind::Expr;
    f.Expr = std::make_unique<TNovaParser>();
  }
  page.Commands.push_back(std::move(wait));
  TKtMemoryStream m;
  WritePageFile(m, page);
  return m.Data();
}

class GameMovie : public testing::Test {
protected:
  void SetUp() override {
    ResetFileManager(false);
    FileManager().AddMemoryArchive();
    FileManager().SetBaseFolder(dir.Path());
    SetQuitting(false);
    FrameClock() = TFrameClock{};
    platform.SetDecoders(CreateFfmpegDecoders());
    test::EncodeMovie(dir / "mv.mpg", "mpeg1video", 64, 48, 25, 25, [](int k) { return k < 12 ? 0xFF0000u : 0x0000FFu; });
    TProjectFile pf;
    pf.Name = "movie";
    pf.StartPage = "start.nsb";
    pf.ScreenWidth = 160;
    pf.ScreenHeight = 120;
    TKtMemoryStream npb;
    WriteProjectFile(npb, pf);
    FileManager().Archive(0)->AddMemoryFile("nova.npb")->Memory->Assign(npb.Data());
    FileManager().Archive(0)->AddMemoryFile("start.nsb")->Memory->Assign(WaitPage());
  }
  void TearDown() override {
    SetQuitting(false);
    SetApplicationTitle("");  // the project named the application
    ResetFileManager(false);
  }
  TNovaVideo* Movie(TNovaGame& game, bool overlay, int32_t left, int32_t top) {
    auto* v = dynamic_cast<TNovaVideo*>(game.Scene()->CreateObject(LT_VIDEO));
    v->SetParent(&game.Scene()->Displayed());
    WriteProperty(*v, PR_OVERLAY, TPropValue::OfFlag(overlay));
    WriteProperty(*v, PR_SOURCE, TPropValue::OfStr("mv.mpg"));
    WriteProperty(*v, PR_LEFT, TPropValue::OfInt(left));
    WriteProperty(*v, PR_TOP, TPropValue::OfInt(top));
    return v;
  }
  // One frame of the player: the clock's step, the game's frame, its paint.
  std::vector<TRect> Frame(TNovaGame& game) {
    platform.Clock().FrameStep();
    FrameClock().Total += 16;
    FrameClock().LastDelta = 16;
    game.Frame();
    return game.Paint(panel);
  }
  uint32_t At(int x, int y) const { return panel.Row(y)[x] & 0xFFFFFF; }
  static bool Red(uint32_t p) { return (p >> 16 & 0xFF) > 0xC0 && (p & 0xFF) < 0x40; }
  static bool Blue(uint32_t p) { return (p & 0xFF) > 0xC0 && (p >> 16 & 0xFF) < 0x40; }

  test::TempDir dir;
  THeadlessPlatform platform;
  test::QuietHost host;
  TPicture panel;
};

TEST_F(GameMovie, BothKindsOfMovieReachTheGamesPictureOnTime) {
  TNovaGame game(platform, test::FolderGameConfig(dir.Path()));
  game.Create(host);
  TNovaVideo* image = Movie(game, false, 0, 0);
  TNovaVideo* overlay = Movie(game, true, 80, 60);
  image->SetPlayState(LP_PLAY);
  overlay->SetPlayState(LP_PLAY);
  for (int frame = 1; frame <= 40; ++frame) {
    const std::vector<TRect> changed = Frame(game);
    const bool blue = FrameClock().Total >= 480;
    EXPECT_TRUE(blue ? Blue(At(32, 24)) : Red(At(32, 24))) << FrameClock().Total;
    EXPECT_TRUE(blue ? Blue(At(112, 84)) : Red(At(112, 84))) << FrameClock().Total;
    EXPECT_EQ(At(70, 50), 0u);  // between the two
    // A new frame of the overlay is among the rectangles the window shows.
    if (FrameClock().Total == 480) {
      bool shown = false;
      for (const TRect& r : changed) shown |= r.Contains(TPoint{112, 84});
      EXPECT_TRUE(shown);
    }
  }
  game.Shutdown();
}

}  // namespace
}  // namespace nova
