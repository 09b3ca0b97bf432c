// Time from the player's start to its first frame, headless: in process (command line, game
// location, instance lock, game.ini, archives, window, Initialize, first frame painted) and
// as a whole process (novaplayer --headless --frames 1 DIR, including exec and teardown).
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/player.h"

namespace {

std::string Int32(uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }

// A header-less archive of n compressed entries of text-like bytes.
std::string MakeArchive(int n) {
  std::string names, data;
  std::vector<uint32_t> sizes;
  for (int i = 0; i < n; ++i) {
    std::string name = "cg\\item" + std::to_string(i) + ".txt";
    names += Int32(static_cast<uint32_t>(name.size())) + name;
    std::string content;
    for (int k = 0; k < 2000; ++k) content += "line " + std::to_string(k * i) + "\n";
    uLongf size = compressBound(content.size());
    std::string packed(size, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(content.data()),
              content.size(), 1);
    packed.resize(size);
    sizes.push_back(static_cast<uint32_t>(size));
    data += packed;
  }
  uint32_t offset = 4 + static_cast<uint32_t>(names.size()) + 4 * (n + 1);
  std::string offsets;
  for (uint32_t s : sizes) offsets += Int32(offset), offset += s;
  offsets += Int32(offset);
  return Int32(static_cast<uint32_t>(n)) + names + offsets + data;
}

struct TGameDir {
  std::string path;
  TGameDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "novabench-XXXXXX").string();
    path = mkdtemp(tmpl.data());
    std::ofstream(path + "/game.dat", std::ios::binary) << MakeArchive(500);
    std::ofstream(path + "/game.ini") << "[Sound]\nDelayTime=300\n";
  }
  ~TGameDir() { std::filesystem::remove_all(path); }
};

class TFirstFrameHooks : public nova::TGameHooks {
public:
  explicit TFirstFrameHooks(std::chrono::steady_clock::time_point* firstFrame) : firstFrame_(firstFrame) {}
  bool HasProject() override { return true; }
  void PaintScene(nova::TPicture&) override {
    if (firstFrame_->time_since_epoch().count() == 0) *firstFrame_ = std::chrono::steady_clock::now();
  }

private:
  std::chrono::steady_clock::time_point* firstFrame_;
};

void BM_StartToFirstFrame(benchmark::State& state) {
  TGameDir game;
  std::string self = nova::SelfExecutablePath("bench_app");
  for (auto _ : state) {
    std::chrono::steady_clock::time_point first{};
    auto start = std::chrono::steady_clock::now();
    int code = nova::RunPlayer({"--headless", "--frames", "1", game.path}, self,
                               [&] { return std::make_unique<TFirstFrameHooks>(&first); });
    if (code != 0 || first.time_since_epoch().count() == 0) {
      state.SkipWithError(("the player did not reach its first frame, exit code " + std::to_string(code)).c_str());
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(first - start).count());
  }
}
BENCHMARK(BM_StartToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ProcessStartToExitAfterOneFrame(benchmark::State& state) {
  TGameDir game;
  std::string player = std::filesystem::path(nova::SelfExecutablePath("bench_app")).parent_path() / "novaplayer";
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
