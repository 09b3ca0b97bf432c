// The player's media on the real libraries: the headless player bundle (FFmpeg decoders, the
// WAV output locked to the frame clock, FluidSynth rendering MIDI into it), movies drawn
// frame-exactly into surfaces, and the SDL sound device on SDL's dummy driver.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "base/process.h"
#include "media/media_item_kinds.h"
#include "media/media_system.h"
#include "media_encoders.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_platform.h"
#include "support/test_support.h"

namespace nova {
namespace {

bool HaveSoundFont() { return std::filesystem::exists("/usr/share/sounds/sf2/default-GM.sf2"); }

// The 16-bit samples of a WAV file written by the headless output.
std::vector<int16_t> WavSamples(const std::string& path) {
  std::string bytes = test::ReadFile(path);
  if (bytes.size() < 44) return {};
  std::vector<int16_t> s((bytes.size() - 44) / 2);
  std::memcpy(s.data(), bytes.data() + 44, s.size() * 2);
  return s;
}

int Peak(const std::vector<int16_t>& s, size_t from = 0, size_t to = SIZE_MAX) {
  int peak = 0;
  for (size_t i = from; i < std::min(to, s.size()); ++i) peak = std::max(peak, std::abs(static_cast<int>(s[i])));
  return peak;
}

class PlayerMedia : public testing::Test {
protected:
  void SetUp() override {
    FrameClock() = TFrameClock{};
    test::EncodeSound(dir_ / "se.ogg", "libvorbis", 44100, 2, 22050,
                      [](int f, int) { return static_cast<int>(10000 * std::sin(2 * 3.14159265 * 440 * f / 44100.0)); });
    test::WriteFile(dir_ / "song.mid", std::string("MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\x0D\0\x90\x3C\x7F\x83\x60\x80\x3C\0\0\xFF\x2F\0", 35));
    test::EncodeMovie(dir_ / "mv.mpg", "mpeg1video", 64, 48, 25, 25,
                      [](int k) { return k < 12 ? 0xFF0000u : 0x0000FFu; });
    files_.SetBaseFolder(dir_.Path());
  }
  // Runs `frames` frames of a headless player writing its sound to out.wav.
  void Run(std::unique_ptr<TPlatform>& platform, TMediaSystem& media, int frames) {
    for (int i = 0; i < frames; ++i) {
      platform->Clock().FrameStep();
      FrameClock().Total += 16;
      media.Update();
    }
  }
  test::TempDir dir_;
  TVrFileManager files_{false};
};

TEST_F(PlayerMedia, HeadlessPlayerWritesTheFramesSound) {
  std::string out = dir_ / "out.wav";
  {
    std::unique_ptr<TPlatform> platform = CreatePlayerPlatform(true, out);
    TMediaSettings s;
    s.GameFolder = dir_.Path();
    TMediaSystem media(*platform, files_, s, nullptr);
    TDMediaItem* se = media.AddSound("se.ogg");
    ASSERT_NE(se, nullptr);
    EXPECT_NEAR(se->GetLen(), 500, 5);
    Run(platform, media, 10);  // 160 ms of silence
    se->Play();
    Run(platform, media, 50);  // 800 ms: the sound (500 ms) plays through
    EXPECT_TRUE(se->IsEnd());
  }
  std::vector<int16_t> s = WavSamples(out);
  ASSERT_EQ(s.size(), 60u * 16 * 441 / 10 * 2);  // exactly 60 frames of 16 ms
  EXPECT_EQ(Peak(s, 0, 160 * 441 / 10 * 2), 0);
  EXPECT_GT(Peak(s), 8000);
  EXPECT_EQ(Peak(s, s.size() - 4410), 0);  // silent again at the end
}

TEST_F(PlayerMedia, HeadlessRunsSoundTheSame) {
  auto run = [&](const std::string& out) {
    std::unique_ptr<TPlatform> platform = CreatePlayerPlatform(true, out);
    TMediaSettings s;
    s.UseDirectSound = false;  // the software mixer
    s.DelayTime = 200;
    TMediaSystem media(*platform, files_, s, nullptr);
    TDMediaItem* se = media.AddSound("se.ogg");
    se->SetAutoRepeat(true);
    se->Play();
    Run(platform, media, 40);
  };
  run(dir_ / "1.wav");
  run(dir_ / "2.wav");
  std::string a = test::ReadFile(dir_ / "1.wav"), b = test::ReadFile(dir_ / "2.wav");
  EXPECT_EQ(a, b);
  EXPECT_GT(Peak(WavSamples(dir_ / "1.wav")), 8000);
}

TEST_F(PlayerMedia, MidiIsRenderedIntoTheSoundFile) {
  if (!HaveSoundFont()) GTEST_SKIP() << "no General MIDI sound font installed";
  std::string out = dir_ / "midi.wav";
  {
    std::unique_ptr<TPlatform> platform = CreatePlayerPlatform(true, out);
    ASSERT_FALSE(platform->MidiPorts().empty());
    TMediaSettings s;
    TMediaSystem media(*platform, files_, s, nullptr);
    TDMediaItem* song = media.AddSound("song.mid");
    song->Play();
    Run(platform, media, 40);
  }
  EXPECT_GT(Peak(WavSamples(out)), 1000);
}

TEST_F(PlayerMedia, MoviesAreDrawnFrameExactly) {
  std::unique_ptr<TPlatform> platform = CreatePlayerPlatform(true, {});
  TMediaSettings s;
  TMediaSystem media(*platform, files_, s, nullptr);
  TVideoItem* v = media.Video()->Add("mv.mpg", true);
  ASSERT_EQ(v->GetSourceWidth(), 64);
  v->Play();
  auto centre = [&] {
    TCustomDIBX* dc = v->GetDC();
    return dc ? dc->GetPixel(32, 24) & 0x00FFFFFF : 0xDEADu;
  };
  EXPECT_TRUE(v->NeedPaint());
  uint32_t first = centre();
  EXPECT_GT(first & 0xFF0000, 0xC00000u);  // red
  EXPECT_FALSE(v->NeedPaint());            // nothing new until the next frame is due
  Run(platform, media, 2);                 // 32 ms: frame 0 still (frames every 40 ms)
  EXPECT_FALSE(v->NeedPaint());
  Run(platform, media, 1);                 // 48 ms: frame 1
  EXPECT_TRUE(v->NeedPaint());
  Run(platform, media, 30);                // 528 ms: frame 13, blue
  EXPECT_GT(centre() & 0xFF, 0xC0u);
  EXPECT_FALSE(v->IsEnd());
  Run(platform, media, 40);
  EXPECT_TRUE(v->IsEnd());
  // Seeking back shows the frame due at that time.
  v->SetPosition(100);
  v->Play();
  EXPECT_GT(centre() & 0xFF0000, 0xC00000u);
}

TEST(SdlSound, DummyDeviceConsumesQueuedStreams) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  TSdlAudioDevice device;
  auto stream = device.OpenStream(TAudioFormat{44100, 2});
  if (!stream) GTEST_SKIP() << "SDL has no dummy sound driver here";
  EXPECT_EQ(device.OpenStream(TAudioFormat{22050, 1}), nullptr);
  std::vector<int16_t> block(4410 * 2, 100);
  stream->Queue(block.data(), 4410);
  EXPECT_LE(stream->QueuedFrames(), 4410u);
  for (int i = 0; i < 100 && stream->PlayedFrames() < 4410; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(stream->PlayedFrames(), 4410u);
  EXPECT_EQ(stream->QueuedFrames(), 0u);
}

}  // namespace
}  // namespace nova
