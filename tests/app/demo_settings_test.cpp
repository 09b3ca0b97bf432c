// The bundled game's settings screen, headless: opened from the title's corner button, its music
// slider dragged to the left end while the title's music plays. The music has to fall silent
// while the thumb is still held (the volume follows the drag, not the release), the gauge under
// the slider has to empty, the value has to stay in the game's variables, and the back button
// has to leave the title as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

#include "formats/png_image.h"
#include "support/test_support.h"

namespace nova {
namespace {

// The settings button (508, 436, 112 x 32) clicked once the title shows; the music thumb (at
// 800 of 0..1000: the bar starts at 265 and is 200 long) grabbed in frame 462 and dragged to the
// bar's start by frame 480, let go in frame 540; the back button (where the settings button
// was) clicked in frame 562.
constexpr const char* kDragMusic =
    "400 move 564 452\n404 ldown\n405 lup\n"
    "460 move 425 109\n462 ldown\n470 move 345 109\n480 move 265 109\n540 lup\n"
    "560 move 564 452\n562 ldown\n563 lup\n";

// The loudest sample of frames [from, to) of a headless run's sound (705.6 stereo sample frames
// a frame).
int Peak(const std::string& wav, int from, int to) {
  int peak = 0;
  const size_t end = std::min(wav.size(), 44 + static_cast<size_t>(to * 705.6) * 4);
  for (size_t i = 44 + static_cast<size_t>(from * 705.6) * 4; i + 1 < end; i += 2) {
    int16_t s;
    std::memcpy(&s, wav.data() + i, 2);
    peak = std::max(peak, std::abs(static_cast<int>(s)));
  }
  return peak;
}

struct TRgb {
  int R = 0, G = 0, B = 0;
};

TRgb PixelOf(const std::string& file, int x, int y) {
  const std::string bytes = test::ReadFile(file);
  const TDecodedImage image =
      DecodePng(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), file);
  const uint32_t v = image.Color.Pixel(x, y);
  return {static_cast<int>(v >> 16 & 0xFF), static_cast<int>(v >> 8 & 0xFF), static_cast<int>(v & 0xFF)};
}

TEST(DemoSettings, TheMusicFollowsItsSliderWhileDragged) {
  test::TempDir dir, game;  // a copy of the game: other tests play the bundled one at the same time
  test::WriteFile(game / "game.dat", test::ReadFile(test::BinaryDir() + "/game/game.dat"));
  test::WriteFile(dir / "input.txt", kDragMusic);
  const std::string shot = " --screenshot ";
  const std::string cmd = std::string("timeout 60 ") + NOVA_PLAYER_PATH + " --headless --frames 600 --save-dir '" +
                          dir.Path() + "' --audio-out '" + dir / "out.wav" + "' --dump-vars '" + dir / "vars.jsonl" +
                          "' --input '" + dir / "input.txt" + "'" + shot + "475:'" + dir / "drag.png" + "'" + shot +
                          "545:'" + dir / "let_go.png" + "'" + shot + "590:'" + dir / "back.png" + "' '" +
                          game.Path() + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);

  const std::string wav = test::ReadFile(dir / "out.wav");
  EXPECT_GT(Peak(wav, 440, 461), 3000);  // the title's music before the drag
  EXPECT_LT(Peak(wav, 485, 540), 100);   // silent at 0 while the thumb is still held
  EXPECT_GT(Peak(wav, 562, 568), 2000);  // the back button's click, at the sounds' own volume

  // Mid-drag (at 400) the gauge's value part is green at its start; once it has eased to 0 the
  // dark track shows there.
  const TRgb dragged = PixelOf(dir / "drag.png", 275, 138), emptied = PixelOf(dir / "let_go.png", 275, 138);
  EXPECT_GT(dragged.G, 120);
  EXPECT_GT(dragged.G, dragged.R + 40);
  EXPECT_LT(emptied.G, 60);
  // The panel dims the title's first button; back on the title it is lit again.
  EXPECT_LT(PixelOf(dir / "drag.png", 230, 262).B, 100);
  EXPECT_GT(PixelOf(dir / "back.png", 230, 262).B, 150);

  const std::string vars = test::ReadFile(dir / "vars.jsonl");
  EXPECT_NE(vars.find(R"({"name": "musicVolume", "type": "int", "dims": [], "values": [0]})"), std::string::npos)
      << vars;
  EXPECT_NE(vars.find(R"({"name": "soundVolume", "type": "int", "dims": [], "values": [1000]})"), std::string::npos)
      << vars;
}

}  // namespace
}  // namespace nova
