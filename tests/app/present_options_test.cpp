// The player's options for presenting and testing: scripted input files, screenshots of chosen
// frames, the scaling mode (command line and the user's config file), and where F12 pictures go.
#include <gtest/gtest.h>

#include <span>

#include "app/input_script.h"
#include "app/options.h"
#include "app/screenshot.h"
#include "app/user_config.h"
#include "base/error.h"
#include "formats/png_image.h"
#include "support/test_support.h"

namespace nova {
namespace {

TEST(InputScript, ReadsEveryKindInFrameOrder) {
  std::vector<TScriptedEvent> events = ParseInputScript(
      "# a comment\n"
      "\n"
      "3 move 10 -2\n"
      "1 keydown 65\n"
      "  3   ldown  \r\n"
      "3 lup\n"
      "4 rdown\n"
      "4 rup\n"
      "2 keyup 255\n"
      "5 wheel up\n"
      "5 wheel down\n",
      "in.txt");
  using K = ScriptedKind;
  std::vector<TScriptedEvent> want = {
      {1, K::KeyDown, 0, 0, 65, 4},  {2, K::KeyUp, 0, 0, 255, 9},  {3, K::Move, 10, -2, 0, 3},
      {3, K::LeftDown, 0, 0, 0, 5},  {3, K::LeftUp, 0, 0, 0, 6},   {4, K::RightDown, 0, 0, 0, 7},
      {4, K::RightUp, 0, 0, 0, 8},   {5, K::WheelUp, 0, 0, 0, 10}, {5, K::WheelDown, 0, 0, 0, 11},
  };
  EXPECT_EQ(events, want);
  EXPECT_TRUE(ParseInputScript("", "x").empty());
}

TEST(InputScript, BadLinesAreNamed) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"0 ldown", "in.txt:1: frame number (1 or more) expected"},
      {"# ok\nx ldown", "in.txt:2: frame number"},
      {"-1 ldown", "in.txt:1: frame number"},
      {"4294967296 ldown", "in.txt:1: frame number"},
      {"5", "in.txt:1: event missing"},
      {"5 click", "in.txt:1: unknown event \"click\""},
      {"5 LDOWN", "in.txt:1: unknown event"},
      {"5 move 1", "in.txt:1: move: 2 value(s) expected"},
      {"5 move 1 2 3", "in.txt:1: move: 2 value(s) expected"},
      {"5 move a 2", "in.txt:1: move X Y: whole numbers expected"},
      {"5 move 1.5 2", "in.txt:1: move X Y"},
      {"5 ldown 3", "in.txt:1: ldown: 0 value(s) expected"},
      {"5 keydown", "in.txt:1: keydown: 1 value(s) expected"},
      {"5 keydown 256", "in.txt:1: keydown CODE: a virtual-key code 1..255 expected"},
      {"5 keyup 0", "in.txt:1: keyup CODE"},
      {"5 keyup 0x41", "in.txt:1: keyup CODE"},
      {"5 wheel left", "in.txt:1: wheel: \"up\" or \"down\" expected"},
      {"5 wheel", "in.txt:1: wheel: 1 value(s) expected"},
      {"1 ldown\n\n2 ldown # late comment", "in.txt:3: ldown: 0 value(s) expected"},
  };
  for (const Case& c : cases) {
    std::string message = test::ErrorOf([&] { ParseInputScript(c.text, "in.txt"); });
    EXPECT_EQ(message.rfind(c.message, 0), 0u) << c.text << " -> " << message;
  }
  EXPECT_NE(test::ErrorOf([] { LoadInputScript("/no/such/input.txt"); }).find("cannot read"), std::string::npos);
}

TEST(CommandLine, PresentingOptions) {
  TPlayerOptions o = ParseCommandLine({"--scale", "integer", "--input=keys.txt", "--screenshot", "3:a.png",
                                       "--screenshot=10:dir/b:c.png", "game"});
  EXPECT_EQ(o.Scale, ScaleMode::Integer);
  EXPECT_EQ(o.InputFile, "keys.txt");
  EXPECT_EQ(o.Screenshots, (std::vector<TScreenshotRequest>{{3, "a.png"}, {10, "dir/b:c.png"}}));
  EXPECT_FALSE(ParseCommandLine({}).Scale.has_value());
  for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{{"--scale", "big"},
                                                                           {"--scale"},
                                                                           {"--screenshot", "a.png"},
                                                                           {"--screenshot", "0:a.png"},
                                                                           {"--screenshot", "3:"},
                                                                           {"--screenshot", "x:a.png"},
                                                                           {"--input"}}) {
    EXPECT_THROW(ParseCommandLine(bad), ENovaError) << bad[0] << " " << (bad.size() > 1 ? bad[1] : "");
  }
}

TEST(UserConfig, ScaleComesFromTheIniFile) {
  test::TempDir dir;
  test::WriteFile(dir / "novaplayer.ini", "[Display]\nScale = Smooth\n");
  TUserConfig c = LoadUserConfig(dir / "novaplayer.ini");
  EXPECT_EQ(c.Scale, ScaleMode::Smooth);
  EXPECT_TRUE(c.Warnings.empty());
  test::WriteFile(dir / "novaplayer.ini", "[Display]\nScale=huge\n");
  c = LoadUserConfig(dir / "novaplayer.ini");
  EXPECT_FALSE(c.Scale.has_value());
  ASSERT_EQ(c.Warnings.size(), 1u);
  EXPECT_NE(c.Warnings[0].find("Scale=huge"), std::string::npos);
  EXPECT_FALSE(LoadUserConfig(dir / "absent.ini").Scale.has_value());
}

TEST(Screenshots, PngHoldsThePictureAsRgb) {
  TPicture p;
  p.Resize(3, 2);
  p.Pixels = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF};
  std::vector<uint8_t> png = EncodePicturePng(p);
  ASSERT_GT(png.size(), 26u);
  EXPECT_EQ(png[24], 8);  // bit depth
  EXPECT_EQ(png[25], 2);  // colour type RGB: no alpha
  TDecodedImage image = DecodePng(png, "shot.png");
  ASSERT_EQ(image.Color.Bits(), 24);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(image.Color.Pixel(x, y), p.Row(y)[x]) << x << "," << y;
  }
  EXPECT_TRUE(image.Mask.Empty());
  test::TempDir dir;
  EXPECT_NE(test::ErrorOf([&] { WritePicturePng(p, dir / "missing/shot.png"); }).find("cannot write"), std::string::npos);
}

TEST(Screenshots, PicturesFolderFollowsTheUserDirs) {
  test::TempDir dir;
  const std::filesystem::path home = dir / "home";
  struct Case {
    const char* dirs;  // user-dirs.dirs, or null for none
    const char* environment;
    std::string want;
  } cases[] = {
      {nullptr, "", home.string() + "/Pictures"},
      {nullptr, "/env/pics", "/env/pics"},
      {nullptr, "relative", home.string() + "/Pictures"},
      {"XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", "/env/pics", home.string() + "/Bilder"},
      {"# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n  XDG_PICTURES_DIR=\"/data/Fotos\"\n", "", "/data/Fotos"},
      {"XDG_PICTURES_DIR=\"${HOME}/My \\\"Pics\\\"\"\n", "", home.string() + "/My \"Pics\""},
      {"XDG_PICTURES_DIR=\"$HOME/a\"\nXDG_PICTURES_DIR=\"$HOME/b\"\n", "", home.string() + "/b"},
      {"XDG_PICTURES_DIR=\"Pictures\"\n", "", home.string() + "/Pictures"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(home);
    if (c.dirs) test::WriteFile(home / ".config/user-dirs.dirs", c.dirs);
    EXPECT_EQ(PicturesFolderFrom(home, "", c.environment).string(), c.want) << (c.dirs ? c.dirs : "(none)");
  }
  // XDG_CONFIG_HOME moves the file.
  test::WriteFile(dir / "cfg/user-dirs.dirs", "XDG_PICTURES_DIR=\"/elsewhere\"\n");
  EXPECT_EQ(PicturesFolderFrom(home, dir / "cfg", "").string(), "/elsewhere");
}

TEST(Screenshots, FileNamesCarryGameAndTimeAndNeverOverwrite) {
  test::TempDir dir;
  TLocalTime t{2024, 3, 7, 9, 5, 2, 999};
  EXPECT_EQ(ScreenshotFileName(dir.Path(), "冒険", t).filename().string(), "novaplayer-冒険-20240307-090502.png");
  EXPECT_EQ(ScreenshotFileName(dir.Path(), "a/b:c", t).filename().string(), "novaplayer-a_b_c-20240307-090502.png");
  EXPECT_EQ(ScreenshotFileName(dir.Path(), "", t).filename().string(), "novaplayer-game-20240307-090502.png");
  test::WriteFile(dir / "novaplayer-g-20240307-090502.png", "x");
  test::WriteFile(dir / "novaplayer-g-20240307-090502-2.png", "x");
  EXPECT_EQ(ScreenshotFileName(dir.Path(), "g", t).filename().string(), "novaplayer-g-20240307-090502-3.png");
}

}  // namespace
}  // namespace nova
