// Time from the player's start to the end of its first frame, headless: in process (command
// line, game location, instance lock, game.ini, archives, window, Initialize, one frame,
// teardown) and as a whole process (novaplayer --headless --frames 1 DIR, exec included).
// The game holds a project, a start page and 500 compressed entries beside them.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/player.h"
#include "scenario/project_file.h"
#include "support/archive_fixtures.h"
#include "support/page_builder.h"

namespace {

using namespace nova;

struct TGameDir {
  std::string path;
  TGameDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "novabench-XXXXXX").string();
    path = mkdtemp(tmpl.data());
    test::Entries entries;
    for (int i = 0; i < 500; ++i) entries.emplace_back("cg\\item" + std::to_string(i) + ".txt", test::TextBytes(20000, i));
    TProjectFile project;
    project.Name = "bench";
    project.StartPage = "start.nsb";
    TKtMemoryStream npb;
    WriteProjectFile(npb, project);
    entries.emplace_back("nova.npb", npb.Data());
    test::PageBuilder start;
    test::Calc(start, 0, "x = 1");
    entries.emplace_back("start.nsb", start.Bytes());
    std::ofstream(path + "/game.dat", std::ios::binary) << test::ArchiveBytes(entries);
    std::ofstream(path + "/game.ini") << "[Sound]\nDelayTime=300\n";
  }
  ~TGameDir() { std::filesystem::remove_all(path); }
};

void BM_StartToExitAfterOneFrame(benchmark::State& state) {
  TGameDir game;
  std::filesystem::path self = SelfExecutablePath("bench_app");
  for (auto _ : state) {
    int code = RunPlayer({"--headless", "--frames", "1", game.path}, self);
    if (code != 0) {
      state.SkipWithError(("the player did not run its first frame, exit code " + std::to_string(code)).c_str());
      break;
    }
  }
}
BENCHMARK(BM_StartToExitAfterOneFrame)->Unit(benchmark::kMillisecond);

void BM_ProcessStartToExitAfterOneFrame(benchmark::State& state) {
  TGameDir game;
  std::string player = (SelfExecutablePath("bench_app").parent_path() / "novaplayer").string();
  std::string cmd = player + " --headless --frames 1 " + game.path + " >/dev/null 2>&1";
  for (auto _ : state) {
    int status = std::system(cmd.c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("novaplayer failed");
      break;
    }
  }
}
BENCHMARK(BM_ProcessStartToExitAfterOneFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
