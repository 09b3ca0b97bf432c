// The whole game object saves in one run and loads in the next: the composition root hands the
// project its save code, SaveScreen writes into "save.dat", the status data is written at the
// end, and the second run's variables after the load are those of the first run at the save.
#include <gtest/gtest.h>

#include <sstream>

#include "archive/vrfiles.h"
#include "authoring/build_project.h"
#include "base/process.h"
#include "game/nova_game.h"
#include "platform/platform.h"
#include "saves/game_saves.h"
#include "saves_fixture.h"
#include "support/quiet_host.h"

namespace nova::test {
namespace {

const char kStart[] =
    "Calc {runs = runs + 1}\n"
    "If {runs == 1}\n"
    "  VarNew \"a\" int {5}\n"
    "  VarNew \"words\" str {\"言葉\"}\n"
    "  VarNew \"shot\" flag {SaveScreen(\"save:shot.bri\", 16, 12)}\n"
    "  GameSave {1} \"\" 0 {\"auto\"}\n"
    "  VarNew \"saved\" int {a + 1}\n"
    "  Wait {} {} {}\n"
    "Else\n"
    "  GameLoad {1}\n"
    "  Wait {} {} {}\n";

class GameRun : public ::testing::Test {
protected:
  void SetUp() override {
    FreshFileManager();
    ResetRunState();
    WriteFile(dir / "src/project.nsp", "name \"saves\"\nscreen 64 48\nstart \"start.nsb\"\nstatus int \"runs\" 0\n");
    WriteFile(dir / "src/start.nss", kStart);
    std::vector<std::string> errors;
    entries = source::BuildSourceFolder(dir / "src", errors);
    ASSERT_TRUE(errors.empty()) << errors[0];
  }

  // One run: frames until the variable `until` exists; the variables at that point.
  std::vector<std::string> Run(const std::string& until, bool& loaded) {
    FreshFileManager();  // a new process
    for (const source::TBuiltEntry& e : entries) RegisterFile(e.Name, e.Bytes);
    FileManager().SetBaseFolder(dir.Path());
    TGameConfig config;
    config.GameFolder = dir.Path();
    config.SaveDir = dir / "save";
    config.HadFolderParameters = true;
    TNovaGame game(platform, config);
    game.Create(host);
    loaded = false;
    for (int i = 0; i < 20 && !game.Store()->FindParam(until); ++i) loaded |= game.Frame();
    std::ostringstream out;
    game.DumpVars(out);
    game.Shutdown();
    std::vector<std::string> lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);)
      if (line.find("\"runs\"") == std::string::npos) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  TempDir dir;
  std::vector<source::TBuiltEntry> entries;
  THeadlessPlatform platform;
  QuietHost host;
};

TEST_F(GameRun, SavesEndsStartsAgainAndLoads) {
  std::filesystem::create_directories(dir / "save");
  bool loaded = false;
  std::vector<std::string> first = Run("saved", loaded);
  EXPECT_FALSE(loaded);
  ASSERT_EQ(first.size(), 4u);
  EXPECT_NE(std::find(first.begin(), first.end(),
                      "{\"name\": \"shot\", \"type\": \"flag\", \"dims\": [], \"values\": [true]}"),
            first.end());

  std::vector<std::string> second = Run("saved", loaded);
  EXPECT_TRUE(loaded);
  EXPECT_EQ(second, first);
  // The picture stored in "save.dat" is a game file of the next run.
  EXPECT_TRUE(FileManager().Exists("save:shot.bri"));
}

}  // namespace
}  // namespace nova::test
