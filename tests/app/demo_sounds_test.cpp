// The bundled game's sounds, made at build time: the music as Ogg and MIDI of the same length,
// the button effects, all playable by the player's media and packed into the game.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "archive/vrfile_collection.h"
#include "archive/vrfiles.h"
#include "base/process.h"
#include "media/media_system.h"
#include "platform/sdl/sdl_platform.h"
#include "support/test_support.h"

namespace nova {
namespace {

TEST(DemoSounds, PlayWithTheirLengths) {
  const std::string folder = test::BinaryDir() + "/demo_sounds";
  test::TempDir dir;
  FrameClock() = TFrameClock{};
  TVrFileManager files(false);
  files.SetBaseFolder(folder);
  {
    std::unique_ptr<TPlatform> platform = CreatePlayerPlatform(true, dir / "out.wav");
    TMediaSystem media(*platform, files, TMediaSettings{}, nullptr);
    struct Case {
      const char* name;
      int minMs, maxMs;
    };
    for (const Case& c : {Case{"bgm.ogg", 9590, 9610}, Case{"bgm.mid", 9590, 9610}, Case{"click.wav", 20, 80},
                          Case{"decide.wav", 200, 400}}) {
      TDMediaItem* item = media.AddSound(c.name);
      ASSERT_NE(item, nullptr) << c.name;
      EXPECT_GE(item->GetLen(), c.minMs) << c.name;
      EXPECT_LE(item->GetLen(), c.maxMs) << c.name;
      media.Release(item);
    }
    TDMediaItem* music = media.AddSound("bgm.ogg");
    music->Play();
    for (int i = 0; i < 60; ++i) {
      platform->Clock().FrameStep();
      FrameClock().Total += 16;
      media.Update();
    }
  }
  // A second of music: loud enough, never clipped.
  const std::string wav = test::ReadFile(dir / "out.wav");
  int peak = 0;
  for (size_t i = 44; i + 1 < wav.size(); i += 2) {
    int16_t s;
    std::memcpy(&s, wav.data() + i, 2);
    peak = std::max(peak, std::abs(static_cast<int>(s)));
  }
  EXPECT_GT(peak, 8000);
  EXPECT_LT(peak, 32000);
}

// The loudest sample of frames [from, to) of a headless run's sound (705.6 sample frames a frame).
int PeakOfFrames(const std::string& wav, int from, int to) {
  int peak = 0;
  for (size_t i = 44 + static_cast<size_t>(from * 705.6) * 4; i + 1 < wav.size() && i < 44 + static_cast<size_t>(to * 705.6) * 4;
       i += 2) {
    int16_t s;
    std::memcpy(&s, wav.data() + i, 2);
    peak = std::max(peak, std::abs(static_cast<int>(s)));
  }
  return peak;
}

// The bundled game played as its screenshot test plays it: the opening film's music and chime
// play until the film ends (frame 346), the title's music fades in, the first button sounds
// over it, and the room's MIDI music goes on under the story.
TEST(DemoSounds, TheBundledGameSoundsWhenPlayed) {
  test::TempDir dir, game;  // a copy of the game: other tests play the bundled one at the same time
  test::WriteFile(game / "game.dat", test::ReadFile(test::BinaryDir() + "/game/game.dat"));
  const std::string cmd = std::string(NOVA_PLAYER_PATH) + " --headless --frames 660 --save-dir " + dir.Path() +
                          " --audio-out " + dir.Path() + "/out.wav --input " + test::SourceDir() +
                          "/games/demo/.test/input.txt " + game.Path() + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  const std::string wav = test::ReadFile(dir / "out.wav");
  ASSERT_GT(wav.size(), 44u + 660 * 2822u);
  EXPECT_GT(PeakOfFrames(wav, 60, 200), 8000);   // the opening's music and chime
  EXPECT_LT(PeakOfFrames(wav, 350, 372), 200);   // the title's fade-in starts from silence
  EXPECT_GT(PeakOfFrames(wav, 404, 420), 8000);  // the button's sound (frame 404)
  EXPECT_GT(PeakOfFrames(wav, 510, 660), 1000);  // the room's music
}

TEST(DemoSounds, ArePackedIntoTheBundledGame) {
  TVrFileManager files(false);
  files.AddArchiveFile(test::BinaryDir() + "/game/game.dat");
  for (const char* name : {"sound\\bgm.ogg", "sound\\bgm.mid", "sound\\click.wav", "sound\\decide.wav", "movie\\tv.mpg", "title.nsb"})
    EXPECT_TRUE(files.Exists(name)) << name;
  // Sounds and the movie are stored as is, so the media code reads them straight from the archive.
  for (const char* name : {"sound\\bgm.ogg", "sound\\click.wav", "movie\\tv.mpg"})
    EXPECT_EQ(files.FindEntry(name)->Stored, 1) << name;
}

}  // namespace
}  // namespace nova
