// Cinemas in a whole game: made by the Cinema command from a film built by novatool, reporting
// their end to a handler page, and saved and loaded with the game (rewind- and mute-on-load).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace nova {
namespace {

using test::RunCommand;
using test::TRun;

class CinemaGameTest : public testing::Test {
protected:
  // A film of one box lasting `frames` frames, built into the game's source folder as f.nmt.
  void WriteFilm(int frames) {
    test::WriteFile(dir / "f.film", "film NovaCinema 108\nscene_size 40 20\ntrack box\n  duration " +
                                        std::to_string(frames) + "\n  start_color 0xFF\n  end_color 0xFF\n");
    std::filesystem::create_directories(dir / "src");
    TRun r = Novatool("film build '" + (dir / "f.film") + "' -o '" + (dir / "src/f.nmt") + "'");
    ASSERT_EQ(r.Code, 0) << r.Err;
  }
  void Build() {
    TRun r = Novatool("build '" + (dir / "src") + "' -o '" + (dir / "game") + "'");
    ASSERT_EQ(r.Code, 0) << r.Err;
  }
  // One headless run; the variables at its end.
  std::string Play(int frames) {
    std::filesystem::create_directories(dir / "save");
    TRun r = RunCommand(std::string("timeout 30 ") + NOVA_PLAYER_PATH + " --headless --frames " + std::to_string(frames) +
                            " --save-dir '" + (dir / "save") + "' --dump-vars '" + (dir / "vars.jsonl") + "' '" +
                            (dir / "game") + "'",
                        scratch);
    EXPECT_EQ(r.Code, 0) << r.Err;
    return test::ReadFile(dir / "vars.jsonl");
  }
  TRun Novatool(const std::string& args) { return RunCommand(test::NovatoolCommand() + " " + args, scratch); }
  test::TempDir dir, scratch;
};

std::string Int(const std::string& name, int v) {
  return "{\"name\": \"" + name + "\", \"type\": \"int\", \"dims\": [], \"values\": [" + std::to_string(v) + "]}";
}

int IntOf(const std::string& vars, const std::string& name) {
  const std::string key = "{\"name\": \"" + name + "\", \"type\": \"int\", \"dims\": [], \"values\": [";
  const size_t at = vars.find(key);
  return at == std::string::npos ? -999 : std::stoi(vars.substr(at + key.size()));
}

TEST_F(CinemaGameTest, TheCommandMakesACinemaThatReportsItsEnd) {
  WriteFilm(30);
  test::WriteFile(dir / "src/project.nsp", "name \"t\"\nscreen 320 240\nstart \"start.nsb\"\n");
  test::WriteFile(dir / "src/start.nss",
                  "VarNew \"ended\" int {0}\nVarNew \"count\" int {0}\n"
                  "Cinema PR_NAME={\"c\"} PR_SOURCE={\"f.nmt\"} PR_ONPLAYEND={\"end.nsb\"}\n"
                  "GetProp {\"c\"} {45} \"count\"\nWait {} {2000}\n");
  test::WriteFile(dir / "src/end.nss", "Calc {ended = ended + 1}\n");
  Build();
  const std::string vars = Play(90);  // half a second of film, then an ended cinema
  EXPECT_NE(vars.find(Int("count", 30)), std::string::npos) << vars;
  EXPECT_NE(vars.find(Int("ended", 1)), std::string::npos) << vars;
}

TEST_F(CinemaGameTest, ASavedGameBringsItsCinemasBack) {
  WriteFilm(600);
  test::WriteFile(dir / "src/project.nsp", "name \"t\"\nscreen 320 240\nstart \"start.nsb\"\nstatus int \"runs\" 0\n");
  // The first run saves half a second in; the second loads that save.
  test::WriteFile(dir / "src/start.nss",
                  "Calc {runs = runs + 1}\n"
                  "If {runs == 1}\n"
                  "  VarNew \"before\" int {0}\n"
                  "  Cinema PR_NAME={\"a\"} PR_SOURCE={\"f.nmt\"} PR_REWINDONLOAD={TRUE}\n"
                  "  Cinema PR_NAME={\"b\"} PR_SOURCE={\"f.nmt\"} PR_MUTEONLOAD={TRUE} PR_VOLUME={400}\n"
                  "  Wait {} {500}\n"
                  "  Calc {before = GetProp(\"b\", 44)}\n"
                  "  GameSave {1} \"resume.nsb\" 0 {\"cinemas\"}\n"
                  "  Wait {} {} {}\n"
                  "Else\n"
                  "  GameLoad {1}\n"
                  "  Wait {} {} {}\n");
  test::WriteFile(dir / "src/resume.nss",
                  "VarNew \"aIndex\" int {-1}\nVarNew \"bIndex\" int {-1}\n"
                  "VarNew \"aVolume\" int {-1}\nVarNew \"bVolume\" int {-1}\n"
                  "Wait {} {200}\n"
                  "Calc {aIndex = GetProp(\"a\", 44)}\nCalc {bIndex = GetProp(\"b\", 44)}\n"
                  "Calc {aVolume = GetProp(\"a\", 28)}\nCalc {bVolume = GetProp(\"b\", 28)}\n");
  Build();
  Play(60);
  const std::string vars = Play(60);
  const int before = IntOf(vars, "before");
  EXPECT_GE(before, 25) << vars;  // about 30 frames in when saved
  // "a" starts again from the beginning, "b" goes on from where it was, silent.
  EXPECT_GE(IntOf(vars, "aIndex"), 0) << vars;
  EXPECT_LT(IntOf(vars, "aIndex"), before) << vars;
  EXPECT_GT(IntOf(vars, "bIndex"), before) << vars;
  EXPECT_EQ(IntOf(vars, "aVolume"), 1000) << vars;
  EXPECT_EQ(IntOf(vars, "bVolume"), 0) << vars;
}

}  // namespace
}  // namespace nova
