// Every transition kind's step at 800 x 600 x 32 bits, in milliseconds per frame: a transition
// of one second stepped at 60 frames per second (every step a new moment, so the mask kinds
// render their mask each time), against the budget of a 60 Hz frame (the goal is under 4 ms, a
// quarter of it). Times are the thread's processor time; "worst" is the slowest of the 60
// moments, averaged over the runs. The same steps through the plain per-pixel path (the
// reference every fast loop is tested against) give the "ratio" (plain time / fast time).
//
//   build/bench_wipes [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <time.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "noisy_picture.h"
#include "render/dibx.h"
#include "render/wipes.h"

namespace {

using nova::TDIBX;

constexpr int kW = 800, kH = 600, kFrames = 60, kDuration = 1000;

// A photo-like picture: smooth gradients with a little noise.
std::unique_ptr<TDIBX> Picture(uint32_t seed) {
  return nova::bench::NoisyPicture(kW, kH, seed, [seed](int x, int y) {
    uint32_t r = static_cast<uint32_t>((x * 200 / kW + seed * 40) % 240), g = static_cast<uint32_t>(y * 200 / kH);
    return r << 16 | g << 8 | static_cast<uint32_t>((x + y) * 127 / (kW + kH));
  });
}

// A mask picture: a soft diagonal with rings.
std::unique_ptr<TDIBX> MaskPicture() {
  auto m = std::make_unique<TDIBX>();
  m->SetSize(kW, kH, 8);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      m->PixelAddress(x, y)[0] = static_cast<uint8_t>((x + y) * 200 / (kW + kH) + 50 * std::sin(std::hypot(x, y) / 20));
  return m;
}

// The processor time of this thread: the step's own work, not the time other programs on the
// machine take from it.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Result {
  double fastMean = 0, fastWorst = 0, plainMean = 0;
};
std::map<int, Result>& Results() {
  static std::map<int, Result> r;
  return r;
}

struct Scene {
  std::unique_ptr<TDIBX> from = Picture(1), to = Picture(2), dest = Picture(1);
  std::unique_ptr<nova::TCustomWipe> Make(int kind) {
    nova::TWipeContext context;
    context.Defaults.AimZoomAt(kW, kH);
    context.Random = nova::TWipeRandomLcg(12345);
    auto wipe = nova::CreateWipe(kind, dest.get(), from.get(), to.get(), context);
    wipe->SetDuration(kDuration);
    wipe->SetMaskImage(MaskPicture());
    wipe->Prepare();
    return wipe;
  }
};

// Times single steps; a new transition starts every kFrames steps (outside the timing), so
// that CRACK's dropped chips come back.
void BM_Step(benchmark::State& state, int kind, nova::TBlitPath path) {
  nova::SetBlitPath(path);
  Scene scene;
  std::unique_ptr<nova::TCustomWipe> wipe;
  int frame = 0;
  double total = 0;
  double moment[kFrames] = {};  // time spent at each moment of the transition
  int counts[kFrames] = {};
  for (auto _ : state) {
    if (frame % kFrames == 0) wipe = scene.Make(kind);
    int32_t elapsed = (frame % kFrames) * kDuration / kFrames;
    ++frame;
    double t0 = ThreadSeconds();
    bool done = wipe->Advance(elapsed);
    double seconds = ThreadSeconds() - t0;
    benchmark::DoNotOptimize(done);
    state.SetIterationTime(seconds);
    total += seconds;
    moment[(frame - 1) % kFrames] += seconds;
    ++counts[(frame - 1) % kFrames];
  }
  // The slowest moment of the transition, averaged over the runs (single outliers are the
  // machine's, not the step's).
  double worst = 0;
  for (int i = 0; i < kFrames; ++i)
    if (counts[i]) worst = std::max(worst, moment[i] / counts[i]);
  nova::SetBlitPath(nova::TBlitPath::FastRows);
  double mean = total / static_cast<double>(state.iterations()) * 1000;
  state.counters["ms_per_step"] = mean;
  Result& r = Results()[kind];
  if (path == nova::TBlitPath::FastRows) {
    r.fastMean = mean;
    r.fastWorst = worst * 1000;
    state.counters["worst_ms"] = worst * 1000;
  } else {
    r.plainMean = mean;
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (int kind = nova::WP_FADE; kind <= nova::WP_BLOCKRANDOM; ++kind) {
    std::string name = nova::WipeIdentifier(kind);
    benchmark::RegisterBenchmark((name + "/fast").c_str(), BM_Step, kind, nova::TBlitPath::FastRows)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.3);
    benchmark::RegisterBenchmark((name + "/plain").c_str(), BM_Step, kind, nova::TBlitPath::PerPixel)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.3);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("\n%-16s %12s %12s %12s %8s  %s\n", "kind (800x600x32)", "fast ms", "worst ms", "plain ms", "ratio",
              "under 4 ms");
  for (const auto& [kind, r] : Results())
    std::printf("%-16s %12.3f %12.3f %12.3f %8.1f  %s\n", nova::WipeIdentifier(kind), r.fastMean, r.fastWorst,
                r.plainMean, r.fastMean > 0 ? r.plainMean / r.fastMean : 0.0, r.fastMean < 4 ? "yes" : "NO");
  std::printf("ms per step of a 1 s transition at 60 frames per second; ratio: plain per-pixel path / fast path\n");
  return 0;
}
