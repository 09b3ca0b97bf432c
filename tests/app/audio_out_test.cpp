// --audio-out: the headless player writes the game's sound, exactly the frames it ran.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "app/options.h"
#include "base/error.h"
#include "support/test_support.h"

namespace nova {
namespace {

TEST(AudioOut, OnlyWithHeadless) {
  EXPECT_EQ(ParseCommandLine({"--headless", "--audio-out", "a.wav", "game"}).AudioOut, "a.wav");
  EXPECT_EQ(ParseCommandLine({"--audio-out=b.wav", "--headless"}).AudioOut, "b.wav");
  EXPECT_THROW(ParseCommandLine({"--audio-out", "a.wav", "game"}), ENovaError);
  EXPECT_THROW(ParseCommandLine({"--headless", "--audio-out"}), ENovaError);
}

TEST(AudioOut, TheFileHoldsTheSoundOfEveryFrame) {
  test::TempDir dir;
  test::WriteFile(dir / "game.dat", test::ReadFile(test::BinaryDir() + "/game/game.dat"));
  const std::string cmd = std::string("timeout 20 ") + NOVA_PLAYER_PATH + " --headless --frames 20 --audio-out " +
                          dir / "out.wav" + " " + dir.Path() + " >/dev/null 2>&1";
  const int status = std::system(cmd.c_str());
  ASSERT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
  const std::string wav = test::ReadFile(dir / "out.wav");
  ASSERT_GE(wav.size(), 44u);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  // 20 frames of 16 ms at 44100 Hz: 14112 stereo 16-bit sample frames.
  EXPECT_EQ(wav.size() - 44, 14112u * 4);
}

}  // namespace
}  // namespace nova
