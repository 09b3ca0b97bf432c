// Time from the player's start to the end of its first frame, headless: in process (command
// line, game location, instance lock, game.ini, archives, window, Initialize, one frame,
// teardown) and as a whole process (novaplayer --headless --frames 1 DIR, exec included).
// The game holds a project, a start page and 500 compressed entries beside them.
// Also the main window's share of a frame of a 640 x 480 game: composing the client picture
// and presenting it (the headless window copies what it is given, as a texture upload would)
// when the game changed one 64 x 64 rectangle, against the whole picture every frame (the
// reference: what a frame cost before only the changed rectangles were presented).
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/player.h"
#include "app/view.h"
#include "base/process.h"
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

// A 640 x 480 game that changes a square (or everything) every frame.
class TSquareGame : public TGame {
public:
  explicit TSquareGame(bool whole) : whole_(whole) {}
  void Create(TGameHost&) override {}
  bool Running() const override { return true; }
  int32_t ScreenWidth() const override { return 640; }
  int32_t ScreenHeight() const override { return 480; }
  std::string Title() const override { return "bench"; }
  bool SleepFlag() const override { return false; }
  TInputState& Input() override { return input_; }
  bool Frame() override { return false; }
  std::vector<TRect> Paint(TPicture& panel) override {
    ++n_;
    TRect r = whole_ ? TRect{0, 0, 640, 480} : TRect::FromSize((n_ * 37) % 576, (n_ * 53) % 416, 64, 64);
    for (int y = r.Top; y < r.Bottom; ++y) std::fill(panel.Row(y) + r.Left, panel.Row(y) + r.Right, n_);
    return {r};
  }
  void Suspend() override {}
  void Resume() override {}
  void Shutdown() override {}
  std::string FailureReason() const override { return ""; }
  int ExitCode() const override { return 0; }

private:
  bool whole_;
  uint32_t n_ = 0;
  TInputState input_;
};

void BM_FramePresent(benchmark::State& state) {
  const bool whole = state.range(0) != 0;
  SetQuitting(false);
  THeadlessPlatform platform;
  TSquareGame game(whole);
  {
    TFormView view(platform, game, TStartupInfo{});
    view.Create();
    for (auto _ : state) view.Frame();
    state.SetLabel(whole ? "whole picture (reference)" : "one 64 x 64 rectangle");
  }
  SetQuitting(false);
}
BENCHMARK(BM_FramePresent)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
