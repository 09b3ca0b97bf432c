// Media in the running game: the sound objects play through the game's media system into the
// headless sound output, MediaPlay and MovieStop drive them from a page, the window's focus
// and @SoundON silence them, and the media variables are bound.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "archive/vrfiles.h"
#include "base/encoding.h"
#include "base/process.h"
#include "components/media/nova_sound.h"
#include "game/nova_game.h"
#include "media/media_system.h"
#include "objects/property_access.h"
#include "objects/scene.h"
#include "params/param_collection.h"
#include "scenario/project_file.h"
#include "support/page_builder.h"
#include "support/quiet_host.h"
#include "support/test_support.h"

namespace nova::test {
namespace {

constexpr int kMovieStop = 21, kMediaPlay = 55;

std::string ToneWav(int ms) {
  const int frames = 44100 * ms / 1000;
  std::string data;
  for (int f = 0; f < frames; ++f) {
    const auto s = static_cast<int16_t>(8000 * std::sin(2 * 3.14159265358979 * 440.0 * f / 44100));
    for (int c = 0; c < 2; ++c) data.append(reinterpret_cast<const char*>(&s), 2);
  }
  auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  auto le16 = [](uint32_t v) { return std::string{char(v), char(v >> 8)}; };
  return "RIFF" + le32(36 + static_cast<uint32_t>(data.size())) + "WAVEfmt " + le32(16) + le16(1) + le16(2) +
         le32(44100) + le32(44100 * 4) + le16(4) + le16(16) + "data" + le32(static_cast<uint32_t>(data.size())) + data;
}

class MediaWiring : public testing::Test {
protected:
  void SetUp() override {
    FreshFileManager();
    ResetRunState();
    // Sounds are streamed from files (the archive's are stored uncompressed): a loose file.
    WriteFile(dir / "tone.wav", ToneWav(3000));
    FileManager().SetBaseFolder(dir.Path());
    TProjectFile pf;
    pf.Name = "game";
    pf.StartPage = "start.nsb";
    TKtMemoryStream npb;
    WriteProjectFile(npb, pf);
    RegisterFile("nova.npb", npb.Data());
  }
  void TearDown() override {
    SetQuitting(false);
    ResetFileManager(false);
  }
  void Start(TNovaGame& game) {
    game.Create(host);
    ASSERT_NE(game.Media(), nullptr);
  }
  // The player's frame: the clock's step (the step's sound), then the game's frame.
  void Frames(TNovaGame& game, int n) {
    for (int i = 0; i < n; ++i) {
      platform.Clock().FrameStep();
      FrameClock().Total += 16;
      FrameClock().LastDelta = 16;
      game.Frame();
    }
  }
  int Peak(uint32_t fromMs, uint32_t toMs) {
    platform.Audio().Flush();
    const std::string bytes = ReadFile(dir / "out.wav");
    const size_t count = (bytes.size() - 44) / 2;
    int peak = 0;
    for (size_t i = std::min<size_t>(count, fromMs * 441 / 10 * 2); i < std::min<size_t>(count, toMs * 441 / 10 * 2); ++i) {
      int16_t s;
      std::memcpy(&s, bytes.data() + 44 + 2 * i, 2);
      peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak;
  }
  TNovaSound* Sound(TNovaGame& game, const std::string& name) {
    auto* s = dynamic_cast<TNovaSound*>(game.Scene()->CreateObject(LT_SOUND));
    s->SetName(name);
    WriteProperty(*s, PR_SOURCE, TPropValue::OfStr("tone.wav"));
    WriteProperty(*s, PR_VOLUME, TPropValue::OfInt(1000));
    WriteProperty(*s, PR_REPEAT, TPropValue::OfFlag(true));
    return s;
  }
  TGameConfig Config() { return FolderGameConfig(dir.Path()); }

  TempDir dir;
  THeadlessPlatform platform{THeadlessOptions{dir / "out.wav"}};
  QuietHost host;
};

TEST_F(MediaWiring, APagePlaysASoundAndStopsItWithAFade) {
  PageBuilder b;
  VarNew(b, "done", 1, "0");
  Wait(b, "", "100", "");
  b.Add(kMediaPlay, 0, [] {
    std::vector<TFieldValue> f;
    f.push_back(FExpr("\"bgm\""));
    return f;
  }());
  Wait(b, "", "500", "");
  b.Add(kMovieStop, 0, [] {
    std::vector<TFieldValue> f;
    for (const char* e : {"\"bgm\"", "300", "TRUE", ""}) f.push_back(FExpr(e));
    return f;
  }());
  Calc(b, 0, "done = @TickCount");
  Wait(b, "", "", "");
  b.Register("start.nsb");
  TNovaGame game(platform, Config());
  Start(game);
  Sound(game, "bgm");
  Frames(game, 70);  // 1120 ms
  // Silent until MediaPlay (about 100 ms in), then the tone until the fade (about 600 ms in),
  // then nothing once the fade of 300 ms is over and the page has gone on.
  EXPECT_EQ(Peak(0, 96), 0);
  EXPECT_GT(Peak(150, 600), 7000);
  const int32_t done = game.Store()->FindParam("done")->Param->GetAsInt();
  EXPECT_GE(done, 900);
  EXPECT_LE(done, 1000);
  EXPECT_EQ(Peak(done, 1120), 0);
  EXPECT_EQ(game.Scene()->ObjectCount(), 0);
  game.Shutdown();
}

TEST_F(MediaWiring, TheWindowsFocusAndTheSoundSwitchSilenceTheGame) {
  PageBuilder b;
  Wait(b, "", "", "");
  b.Register("start.nsb");
  TNovaGame game(platform, Config());
  Start(game);
  Sound(game, "bgm")->SetPlayState(LP_PLAY);
  Frames(game, 10);
  game.Suspend();
  const uint32_t away = FrameClock().Total;
  Frames(game, 10);
  game.Resume();
  const uint32_t back = FrameClock().Total;
  Frames(game, 10);
  TCustomParam& soundOn = *game.Store()->FindParam("@SoundON")->Param;
  EXPECT_TRUE(soundOn.GetAsBool());
  soundOn.SetAsStr("0");
  EXPECT_FALSE(game.Media()->SoundOn());
  const uint32_t off = FrameClock().Total;
  Frames(game, 10);
  soundOn.SetAsBool(true);
  const uint32_t on = FrameClock().Total;
  Frames(game, 10);
  EXPECT_GT(Peak(16, away), 7000);
  EXPECT_EQ(Peak(away + 16, back), 0);
  EXPECT_GT(Peak(back + 16, off), 7000);
  EXPECT_EQ(Peak(off + 16, on), 0);
  EXPECT_GT(Peak(on + 16, FrameClock().Total), 7000);
  game.Shutdown();
}

TEST_F(MediaWiring, MediaVariablesAreBoundWhileTheGameRuns) {
  PageBuilder b;
  Wait(b, "", "", "");
  b.Register("start.nsb");
  TNovaGame game(platform, Config());
  Start(game);
  TParamCollection& store = *game.Store();
  // The headless platform's one MIDI port after the mapper.
  EXPECT_EQ(store.FindParam("@MidiPorts")->Param->GetCount(), 2);
  EXPECT_EQ(store.FindParam("@MidiPorts")->Param->GetStrAt(0), Utf8ToSjis("MIDIマッパー"));
  EXPECT_EQ(store.FindParam("@MidiPort")->Param->GetAsStr(), Utf8ToSjis("MIDIマッパー"));
  EXPECT_EQ(store.FindParam("@DisplayModeCount")->Param->GetAsInt(), 0);  // no window
  game.Shutdown();
  EXPECT_EQ(game.Media(), nullptr);
}

}  // namespace
}  // namespace nova::test
