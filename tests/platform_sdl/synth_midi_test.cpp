// The sequencer on the FluidSynth synthesizer: it ticks in the synthesizer's render, so a note
// sounds from its tick's frame, however the sound device cuts its periods.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "base/stream.h"
#include "media/midi_player.h"
#include "platform/sdl/fluidsynth_midi.h"

namespace nova {
namespace {

const char* kSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";

// The headless platform with the synthesizer as its MIDI port, rendering into a hub of its own.
class TSynthPlatform : public THeadlessPlatform {
public:
  std::unique_ptr<TMidiOutput> OpenMidi(int) override { return OpenFluidSynthMidi(hub.OpenStream(), kSoundFont); }
  TAudioHub hub;
};

// One note on 40 ticks in: 208 ms at division 96 and tempo 500000.
std::string OneNote() {
  return std::string("MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\x0C\x28\x90\x3C\x7F\x60\x80\x3C\0\0\xFF\x2F\0", 34);
}

// The first frame with a sample above the dither's noise, rendering in periods of `period`.
int64_t Onset(size_t period) {
  TSynthPlatform platform;
  TMidiPlayV player(platform);
  EXPECT_TRUE(player.Open(0));
  TKtMemoryStream s(OneNote());
  EXPECT_TRUE(player.LoadFromStream(s));
  EXPECT_EQ(player.File().Events[0].Time, 208);
  player.PlayFrom(0);
  std::vector<int16_t> buffer(period * 2);
  for (int64_t frame = 0; frame < 44100; frame += static_cast<int64_t>(period)) {
    platform.hub.Mix(buffer.data(), period);
    for (size_t i = 0; i < buffer.size(); ++i)
      if (std::abs(static_cast<int>(buffer[i])) > 64) return frame + static_cast<int64_t>(i / 2);
  }
  return -1;
}

TEST(SynthMidi, NotesSoundFromTheFrameOfTheirTick) {
  if (!std::filesystem::exists(kSoundFont)) GTEST_SKIP() << "no General MIDI sound font installed";
  // The note at 208 ms goes out on the tick at 210 ms: frame 9261. The synthesizer starts it
  // with its next block of 64 frames, and the attack takes a few frames more.
  const int64_t tick = 210 * 441 / 10;
  int64_t first = Onset(1024);
  EXPECT_GE(first, tick);
  EXPECT_LT(first, tick + 64 + 128);
  // Other periods (the SDL device's, a headless frame step's) sound the note on the same frame.
  for (size_t period : {441, 705, 4096, 333}) EXPECT_EQ(Onset(period), first) << period;
}

}  // namespace
}  // namespace nova
