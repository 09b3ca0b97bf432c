// The bundled game's films as a player sees them, headless: the opening plays in its cinema and
// hands over to the title (a click, Return or Space ends it early), the character walks into the
// room through her relative motion, and the room's picture loops from its loop-start frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "formats/png_image.h"
#include "support/test_support.h"

namespace nova {
namespace {

struct TRgb {
  int R = 0, G = 0, B = 0;
};

// A decoded picture: its colours and, for a picture with one, its alpha.
struct TPicture {
  TDecodedImage Image;
  TRgb At(int x, int y) const {
    const uint32_t v = Image.Color.Pixel(x, y);
    return {static_cast<int>(v >> 16 & 0xFF), static_cast<int>(v >> 8 & 0xFF), static_cast<int>(v & 0xFF)};
  }
  bool Opaque(int x, int y) const { return Image.Mask.Empty() || Image.Mask.Pixel(x, y) == 255; }
  bool operator==(const TPicture& o) const {
    return Image.Color.Width() == o.Image.Color.Width() && Image.Color.Height() == o.Image.Color.Height() &&
           std::equal(Image.Color.Data(), Image.Color.Data() + Image.Color.ByteSize(), o.Image.Color.Data());
  }
};

TPicture ReadPicture(const std::string& file) {
  const std::string bytes = test::ReadFile(file);
  const std::span<const uint8_t> view(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return {DecodePng(view, file)};
}

// The character's dress (200, 80, 90), the only colour of its kind in the room: its leftmost column.
bool Dress(TRgb c) { return c.R > 170 && c.G < 110 && c.B > 70 && c.B < 120; }
int DressLeft(const TPicture& p) {
  int left = 1 << 30;
  for (int y = 0; y < p.Image.Color.Height(); ++y)
    for (int x = 0; x < p.Image.Color.Width(); ++x)
      if (p.Opaque(x, y) && Dress(p.At(x, y))) left = std::min(left, x);
  return left;
}

// One headless run of the bundled game with a scripted input; the screenshots of `frames`.
class DemoRun {
public:
  DemoRun(const std::string& input, std::vector<int> frames) : frames_(std::move(frames)) {
    test::WriteFile(dir_ / "input.txt", input);
    // A copy of the game: a player refuses a second run of the same game folder, and other
    // tests play the bundled game at the same time.
    test::WriteFile(game_ / "game.dat", test::ReadFile(test::BinaryDir() + "/game/game.dat"));
    std::string cmd = std::string("timeout 60 ") + NOVA_PLAYER_PATH + " --headless --frames " +
                      std::to_string(frames_.back() + 1) + " --save-dir '" + dir_ / "save" + "' --input '" +
                      dir_ / "input.txt" + "'";
    for (int f : frames_) cmd += " --screenshot " + std::to_string(f) + ":'" + Shot(f) + "'";
    cmd += " '" + game_.Path() + "'";
    code_ = test::RunCommand(cmd, scratch_).Code;
  }
  int Code() const { return code_; }
  TPicture At(int frame) const { return ReadPicture(Shot(frame)); }

private:
  std::string Shot(int frame) const { return dir_ / ("f" + std::to_string(frame) + ".png"); }
  test::TempDir dir_, scratch_, game_;
  std::vector<int> frames_;
  int code_ = -1;
};

bool Bright(TRgb c) { return c.R + c.G + c.B > 400; }
bool Dark(TRgb c) { return c.R + c.G + c.B < 200; }

// "はじめから" clicked once the title shows (frame 404); the room is entered in frame 406 and
// its curtain opens until frame 444, when the character is made at (480, 170).
constexpr const char* kStartGame = "400 move 320 264\n404 ldown\n405 lup\n";

TEST(DemoFilms, TheOpeningTheEntranceAndTheRoomsLoopPlay) {
  const DemoRun run(kStartGame, {130, 250, 400, 462, 470, 843, 972, 990, 1093, 1343});
  ASSERT_EQ(run.Code(), 0);
  // The opening: the title picture under its caption box (its light border at x 40), then the
  // room on the film's other screen, then the game's own title, where neither is left.
  const TPicture caption = run.At(130), room = run.At(250), title = run.At(400);
  EXPECT_TRUE(Bright(caption.At(40, 400)));
  EXPECT_TRUE(Dark(caption.At(320, 80)));
  EXPECT_TRUE(Bright(room.At(320, 80)));
  EXPECT_TRUE(Dark(title.At(40, 400)));
  EXPECT_TRUE(Dark(title.At(320, 80)));

  // The entrance plays relative to the picture's place: sliding in from the right, past the
  // place by 8 pixels, then on it.
  const int place = 480 + DressLeft(ReadPicture(test::SourceDir() + "/games/films/chara.png"));
  EXPECT_GT(DressLeft(run.At(462)), place + 16);
  EXPECT_EQ(DressLeft(run.At(470)), place - 8);
  EXPECT_EQ(DressLeft(run.At(843)), place);

  // The room's picture ends its first pass in frame 968 and resumes at the loop start (60), not
  // with the fade-in of frames 0-59: the wall stays lit, and a whole loop (480 film frames,
  // 500 player frames of 16 ms) later the room is drawn exactly as before; half a loop away it
  // is not.
  EXPECT_TRUE(Bright(run.At(972).At(320, 80)));
  EXPECT_TRUE(Bright(run.At(990).At(320, 80)));
  EXPECT_TRUE(run.At(843) == run.At(1343));
  EXPECT_FALSE(run.At(843) == run.At(1093));
}

TEST(DemoFilms, TheOpeningEndsAtAClickOrKey) {
  const DemoRun whole("", {400});
  ASSERT_EQ(whole.Code(), 0);
  const TPicture title = whole.At(400);
  struct Case {
    const char* name;
    const char* input;
  };
  for (const Case& c : {Case{"click", "50 move 600 100\n60 ldown\n61 lup\n"},
                        Case{"Return", "60 keydown 13\n61 keyup 13\n"},
                        Case{"Space", "60 keydown 32\n61 keyup 32\n"}}) {
    const DemoRun run(c.input, {59, 113});
    ASSERT_EQ(run.Code(), 0) << c.name;
    EXPECT_FALSE(run.At(59) == title) << c.name;  // still the film
    // The title, shown whole after its fade. Its snow moves, so it is compared at the same
    // time after the title page started: ended in frame 60, the opening ends 287 frames
    // sooner than when it plays to its end.
    EXPECT_TRUE(run.At(113) == title) << c.name;
  }
}

}  // namespace
}  // namespace nova
