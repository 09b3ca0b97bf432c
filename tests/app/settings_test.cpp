#include <gtest/gtest.h>

#include "app/game_ini.h"
#include "app/options.h"
#include "base/error.h"
#include "support/test_support.h"

namespace nova {
namespace {

TEST(GameIni, DelayTimeRoundsDownThenClamps) {
  struct Case {
    int32_t in, out;
  } cases[] = {{950, 500}, {50, 100}, {349, 300}, {500, 500}, {100, 100}, {199, 100}, {0, 100}, {-250, 100}, {501, 500}};
  for (const Case& c : cases) EXPECT_EQ(NormaliseDelayTime(c.in), c.out) << c.in;
}

TEST(GameIni, ReadsTheTableWithWindowsRules) {
  struct Case {
    const char* text;
    bool directSound;
    int32_t delay;
    bool wmp;
  } cases[] = {
      {"", true, 500, false},
      {"[Sound]\nDirectSound=0\nDelayTime=349\n[Video]\nUseWMP=1\n", false, 300, true},
      {"[sound]\r\ndirectsound = 0\r\ndelaytime=  950 \r\n[VIDEO]\r\nusewmp=2\r\n", false, 500, true},  // case, blanks, CRLF
      {"[Sound]\nDelayTime=\"200\"\n", true, 200, false},           // quotes as the profile functions strip them
      {"[Sound]\nDelayTime=$C8\nDirectSound=0x0\n", false, 200, false},  // hexadecimal text
      {"[Sound]\nDelayTime=abc\nDirectSound=yes\n", true, 500, false},   // bad values keep the defaults
      {"[Sound]\nDelayTime=12abc\n[Video]\nUseWMP=true\n", true, 500, false},
      {"[Sound]\nDelayTime=99999999999\n", true, 500, false},       // out of range
      {"DelayTime=200\n[Other]\nDelayTime=200\n", true, 500, false},  // outside its section
      {"[Sound]\nDelayTime=200\nDelayTime=400\n;DelayTime=100\n", true, 200, false},  // the first one wins
      {"[Video]\nUseWMP=-1\n", true, 500, true},
  };
  for (const Case& c : cases) {
    TIniFile ini;
    ini.Parse(c.text);
    TGameSettings s = ReadGameSettings(ini);
    EXPECT_EQ(s.UseDirectSound, c.directSound) << c.text;
    EXPECT_EQ(s.DelayTime, c.delay) << c.text;
    EXPECT_EQ(s.UseWMP, c.wmp) << c.text;
  }
}

TEST(GameIni, AbsentFileGivesDefaults) {
  test::TempDir dir;
  TGameSettings s = LoadGameSettings(dir / "game.ini");
  EXPECT_TRUE(s.UseDirectSound);
  EXPECT_EQ(s.DelayTime, 500);
  EXPECT_FALSE(s.UseWMP);
  test::WriteFile(dir / "game.ini", "[Sound]\nDelayTime=150\n");
  EXPECT_EQ(LoadGameSettings(dir / "game.ini").DelayTime, 100);
}

// A game copied from Windows may spell its settings file in capitals.
TEST(GameIni, FoundWithoutRegardToCase) {
  test::TempDir dir;
  test::WriteFile(dir / "GAME.INI", "[Sound]\nDelayTime=250\n");
  EXPECT_EQ(LoadGameSettings(dir / "game.ini").DelayTime, 200);
}

TEST(CommandLine, ParsesOptionsBeforeTheGames) {
  TPlayerOptions o = ParseCommandLine({"--headless", "--frames", "10", "--save-dir=/s", "--trace", "t.txt",
                                       "--dump-vars", "v.json", "game", "--frames", "more"});
  EXPECT_TRUE(o.Headless);
  ASSERT_TRUE(o.Frames.has_value());
  EXPECT_EQ(*o.Frames, 10u);
  EXPECT_EQ(o.SaveDir, "/s");
  EXPECT_EQ(o.TraceFile, "t.txt");
  EXPECT_EQ(o.DumpVarsFile, "v.json");
  EXPECT_EQ(o.Games, (std::vector<std::filesystem::path>{"game", "--frames", "more"}));  // after the first game: games
  EXPECT_EQ(ParseCommandLine({"--", "--odd-name"}).Games, std::vector<std::filesystem::path>{"--odd-name"});
  EXPECT_TRUE(ParseCommandLine({"/CONFIG"}).Config);
  EXPECT_FALSE(ParseCommandLine({}).Frames.has_value());
}

TEST(CommandLine, RefusesBadOptions) {
  for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
           {"--bogus"}, {"--frames"}, {"--frames", "-1"}, {"--frames", "ten"}, {"--frames", "99999999999"},
           {"--headless=1"}, {"--save-dir"}}) {
    EXPECT_THROW(ParseCommandLine(bad), ENovaError) << bad[0];
  }
}

}  // namespace
}  // namespace nova
