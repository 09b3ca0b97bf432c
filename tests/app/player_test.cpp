// The novaplayer program run as a user runs it: games built with novatool into folders and
// executables, exit codes and their reasons, folders Shift-JIS cannot name, signals.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace nova {
namespace {

namespace fs = std::filesystem;

using test::TRun;
using test::RunCommand;

// A game source folder with a project and the given start page.
void WriteGameSource(const fs::path& dir, const std::string& startPage, const std::string& exitPage = "") {
  test::WriteFile(dir / "project.nsp", "name \"t\"\nscreen 320 240\nstart \"start.nsb\"\n" +
                                           std::string(exitPage.empty() ? "" : "exit \"exit.nsb\"\n"));
  test::WriteFile(dir / "start.nss", startPage);
  if (!exitPage.empty()) test::WriteFile(dir / "exit.nss", exitPage);
}

class PlayerTest : public testing::Test {
protected:
  // Builds the source folder into out (game.dat), with extra novatool build options.
  void Build(const fs::path& src, const fs::path& out, const std::string& options = "") {
    TRun r = Novatool("build '" + src.string() + "' -o '" + out.string() + "' " + options);
    ASSERT_EQ(r.Code, 0) << r.Err;
  }
  TRun Novatool(const std::string& args) { return RunCommand(test::NovatoolCommand() + " " + args, scratch); }
  TRun Play(const std::string& args) {
    return RunCommand(std::string("timeout 20 ") + NOVA_PLAYER_PATH + " --headless " + args, scratch);
  }
  fs::path D() const { return dir.Path(); }
  test::TempDir dir, scratch;
};

// The data-disk search of an executable that carries the whole game: with "install.dat" in its
// archive saying the data is complete, it starts alone; renamed, it still runs.
TEST_F(PlayerTest, AnExecutableCarryingTheWholeGameStartsAlone) {
  WriteGameSource(D() / "src", "VarNew \"ran\" int {1}\n");
  Build(D() / "src", D() / "built");
  test::WriteFile(D() / "stub.exe", "MZ" + std::string(126, '\0'));
  // The built pages, packed after a Windows executable stub with the install record.
  TRun extracted = Novatool("extract '" + (D() / "built/game.dat").string() + "' '" + (D() / "pages").string() + "'");
  ASSERT_EQ(extracted.Code, 0) << extracted.Err;
  fs::create_directories(D() / "game");
  TRun packed = Novatool("pack '" + (D() / "pages").string() + "' -o '" + (D() / "game/play.exe").string() +
                         "' --exe '" + (D() / "stub.exe").string() + "' --install t");
  ASSERT_EQ(packed.Code, 0) << packed.Err;
  for (const char* name : {"play.exe", "play.bin"}) {
    if (std::string(name) == "play.bin") fs::rename(D() / "game/play.exe", D() / "game/play.bin");
    TRun r = Play("--frames 3 --dump-vars '" + (D() / "vars.jsonl").string() + "' '" + (D() / "game" / name).string() + "'");
    EXPECT_EQ(r.Code, 0) << name << ": " << r.Err;
    EXPECT_NE(test::ReadFile(D() / "vars.jsonl").find("\"name\": \"ran\""), std::string::npos) << name;
  }
  // Without the record the player asks for a reinstallation and says so.
  fs::create_directories(D() / "bare");
  packed = Novatool("pack '" + (D() / "pages").string() + "' -o '" + (D() / "bare/play.exe").string() + "' --exe '" +
                    (D() / "stub.exe").string() + "'");
  ASSERT_EQ(packed.Code, 0) << packed.Err;
  TRun r = Play("--frames 3 '" + (D() / "bare/play.exe").string() + "'");
  EXPECT_EQ(r.Code, 3);
  EXPECT_NE(r.Err.find("インストールし直してください"), std::string::npos) << r.Err;
}

// Every way start-up can stop ends with a non-zero code and the reason on stderr.
TEST_F(PlayerTest, StartUpFailuresExitNonZeroWithTheReason) {
  // Games that the builder would refuse: compiled files packed by hand.
  WriteGameSource(D() / "src", "Calc {1}\n");
  Build(D() / "src", D() / "built");
  ASSERT_EQ(Novatool("extract '" + (D() / "built/game.dat").string() + "' '" + (D() / "noStart").string() + "'").Code, 0);
  fs::remove(D() / "noStart/start.nsb");
  test::WriteFile(D() / "noProject/x.txt", "no project here");
  for (const char* folder : {"noStart", "noProject"}) {
    fs::create_directories(D() / "out" / folder);
    ASSERT_EQ(Novatool("pack '" + (D() / folder).string() + "' -o '" + (D() / "out" / folder / "game.dat").string() + "'").Code,
              0);
  }
  test::WriteFile(D() / "big/project.nsp", "name \"t\"\nscreen 100000 600\nstart \"start.nsb\"\n");
  test::WriteFile(D() / "big/start.nss", "Calc {1}\n");
  Build(D() / "big", D() / "out/big");
  test::WriteFile(D() / "old/project.nsp", "name \"t\"\nscreen 320 240\nstart \"start.nsb\"\n");
  test::WriteFile(D() / "old/start.nss", ".version 102\nCalc {1}\n");
  Build(D() / "old", D() / "out/old");
  struct Case {
    const char* game;
    int code;
    const char* reason;
  } cases[] = {
      {"noStart", 1, "スタートページがありません"},
      {"noProject", 1, "nova.npb"},
      {"big", 1, "100000 x 600"},
      {"old", 1, "リビルドしてください"},
  };
  for (const Case& c : cases) {
    TRun r = Play("--frames 3 '" + (D() / "out" / c.game).string() + "'");
    EXPECT_EQ(r.Code, c.code) << c.game << ": " << r.Err;
    EXPECT_NE(r.Err.find(c.reason), std::string::npos) << c.game << ": " << r.Err;
  }
  // A game that ends normally still exits 0.
  WriteGameSource(D() / "fine", "Terminate\n");
  Build(D() / "fine", D() / "out/fine");
  EXPECT_EQ(Play("--frames 5 '" + (D() / "out/fine").string() + "'").Code, 0);
}

// Game folders are paths on the user's disk, whatever characters their names hold.
TEST_F(PlayerTest, FoldersShiftJisCannotNameRunTheGame) {
  WriteGameSource(D() / "src", "VarNew \"ran\" int {1}\nVarNew \"note\" flag {FileExists(\"note.txt\")}\n");
  for (const char* folder : {"zoë", "한국", "ゲーム"}) {
    Build(D() / "src", D() / folder);
    test::WriteFile(D() / folder / "note.txt", "a loose file beside game.dat");
    TRun r = Play("--frames 3 --dump-vars '" + (D() / "vars.jsonl").string() + "' '" + (D() / folder).string() + "'");
    ASSERT_EQ(r.Code, 0) << folder << ": " << r.Err;
    std::string vars = test::ReadFile(D() / "vars.jsonl");
    EXPECT_NE(vars.find("\"name\": \"ran\""), std::string::npos) << folder;
    EXPECT_NE(vars.find("\"name\": \"note\", \"type\": \"flag\", \"dims\": [], \"values\": [true]"), std::string::npos)
        << folder << ": " << vars;
  }
}

// A page that never yields is ended by SIGTERM within a second, the normal way: the exit page
// runs and the teardown goes through its steps.
TEST_F(PlayerTest, TerminationEndsAPageThatNeverYields) {
  WriteGameSource(D() / "src", "VarNew \"n\" int {0}\nLabel \"top\"\nCalc {n = n + 1}\nJump \"start.nsb\" \"top\"\n",
                  "VarNew \"exited\" int {1}\n");
  Build(D() / "src", D() / "game");
  std::string trace = (D() / "points.txt").string();
  // The signal goes once the player has started the game (the last trace point of the start-up,
  // written long after the signal handler is in place), however slowly a busy machine gets
  // there; the script prints the milliseconds from the signal to the end. timeout runs in the
  // foreground: otherwise it passes the signal on twice (to the player and to its process
  // group), and a second request ends the player at once, as a second Ctrl+C should.
  TRun r = RunCommand("sh -c 'NOVALOG=" + trace + " timeout --foreground 60 " + NOVA_PLAYER_PATH + " --headless --dump-vars " +
                          (D() / "vars.jsonl").string() + " " + (D() / "game").string() +
                          " & p=$!; n=0; while ! grep -qx NovaInitColor " + trace +
                          " 2>/dev/null && [ $n -lt 1200 ]; do sleep 0.05; n=$((n+1)); done;"
                          " t0=$(date +%s%N); kill -TERM $p; wait $p; rc=$?;"
                          " echo $(( ($(date +%s%N) - t0) / 1000000 )); exit $rc'",
                      scratch);
  EXPECT_EQ(r.Code, 0) << r.Err;
  ASSERT_FALSE(r.Out.empty());
  const std::string lastLine = r.Out.substr(r.Out.find_last_of('\n', r.Out.size() - 2) + 1);
  EXPECT_LT(std::stoi(lastLine), 10000) << r.Out;  // the signal ended it, not the timeout
  EXPECT_NE(test::ReadFile(trace).find("Project.Free\nSysFuncMan.Free\nParamMan.Free\nNovaFinalize\nMediaFinal\nFormClose\n"),
            std::string::npos);
  EXPECT_NE(test::ReadFile(D() / "vars.jsonl").find("\"name\": \"exited\""), std::string::npos);
}

// The log of an earlier run goes, in whatever letter case it was written; the trace this run
// writes there stays.
TEST_F(PlayerTest, TheOldLogGoesButNotTheTraceBeingWritten) {
  WriteGameSource(D() / "src", "Terminate\n");
  Build(D() / "src", D() / "game");
  test::WriteFile(D() / "game/NOVAPLAY.LOG", "old");
  EXPECT_EQ(Play("--frames 3 '" + (D() / "game").string() + "'").Code, 0);
  EXPECT_FALSE(fs::exists(D() / "game/NOVAPLAY.LOG"));
  EXPECT_EQ(Play("--frames 3 --trace '" + (D() / "game/novaplay.log").string() + "' '" + (D() / "game").string() + "'").Code,
            0);
  EXPECT_TRUE(fs::exists(D() / "game/novaplay.log"));
  EXPECT_NE(test::ReadFile(D() / "game/novaplay.log").find("start.nsb"), std::string::npos);
}


// Scripted input reaches the scenario at its frame; screenshots are written after their frame;
// a bad input line is a bad command line.
TEST_F(PlayerTest, ScriptedInputAndScreenshotsOfFrames) {
  WriteGameSource(D() / "src",
                  "VarNew \"mx\" int {-5}\n"
                  "VarNew \"clicks\" int {0}\n"
                  "While {1}\n"
                  "  Calc {mx = @MouseX}\n"
                  "  If {@LClick}\n"
                  "    Calc {clicks = clicks + 1}\n"
                  "  Wait {} {1}\n"
                  "WhileLoop {}\n");
  Build(D() / "src", D() / "game");
  test::WriteFile(D() / "in.txt", "# the mouse comes in at frame 2\n2 move 7 9\n3 ldown\n3 lup\n");
  struct Case {
    int frames;
    const char* mx;
    const char* clicks;
  } cases[] = {{1, "[-1]", "[0]"}, {2, "[7]", "[0]"}, {3, "[7]", "[1]"}};
  for (const Case& c : cases) {
    TRun r = Play("--frames " + std::to_string(c.frames) + " --input '" + (D() / "in.txt").string() + "' --dump-vars '" +
                  (D() / "vars.jsonl").string() + "' '" + (D() / "game").string() + "'");
    ASSERT_EQ(r.Code, 0) << r.Err;
    std::string vars = test::ReadFile(D() / "vars.jsonl");
    EXPECT_NE(vars.find(std::string("\"mx\", \"type\": \"int\", \"dims\": [], \"values\": ") + c.mx), std::string::npos)
        << c.frames << ": " << vars;
    EXPECT_NE(vars.find(std::string("\"clicks\", \"type\": \"int\", \"dims\": [], \"values\": ") + c.clicks),
              std::string::npos)
        << c.frames << ": " << vars;
  }
  TRun r = Play("--frames 3 --screenshot '2:" + (D() / "a.png").string() + "' --screenshot '9:" +
                (D() / "b.png").string() + "' '" + (D() / "game").string() + "'");
  EXPECT_EQ(r.Code, 0) << r.Err;
  std::string png = test::ReadFile(D() / "a.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(static_cast<uint8_t>(png[19]), 320 % 256);  // IHDR width 320 (big-endian), height 240
  EXPECT_EQ(static_cast<uint8_t>(png[23]), 240);
  EXPECT_FALSE(fs::exists(D() / "b.png"));
  EXPECT_NE(r.Err.find("the game ended after frame 3"), std::string::npos) << r.Err;

  test::WriteFile(D() / "bad.txt", "1 move 1 2\n2 move 7\n");
  r = Play("--input '" + (D() / "bad.txt").string() + "' '" + (D() / "game").string() + "'");
  EXPECT_EQ(r.Code, 2);
  EXPECT_NE(r.Err.find("bad.txt:2: move: 2 value(s) expected"), std::string::npos) << r.Err;
  r = Play("--scale huge '" + (D() / "game").string() + "'");
  EXPECT_EQ(r.Code, 2);
}

}  // namespace
}  // namespace nova
