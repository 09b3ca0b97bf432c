// Layout of a 2,000-character Japanese message into pages with fixed-pitch cells (font size 24,
// 480 x 120 pixels: 20 characters to a row, 5 rows to a page), the way a message box lays out
// its text; "s_per_page" is the time per laid-out page. Building the glyphs from markup is
// measured apart.
#include <benchmark/benchmark.h>

#include "sample_message.h"
#include "text/ktwords.h"

namespace nova {
namespace {

void Setup(TKtWord& w, TTextMetrics& metrics) {
  w.Metrics = &metrics;
  w.Settings.FontSize = 24;
  w.Settings.Width = 480;
  w.Settings.PageHeight = 120;
}

void BM_LayoutPages(benchmark::State& state) {
  TFixedPitchMetrics metrics;
  TKtWord w;
  Setup(w, metrics);
  w.BuildGlyphs(SplitMarkupLines(bench::SampleMessage()), 50);
  size_t pages = 0;
  for (auto _ : state) {
    TWdPageList list;
    w.LayoutPages(list);
    pages = list.size();
    benchmark::DoNotOptimize(list.data());
  }
  state.counters["glyphs"] = w.Count();
  state.counters["pages"] = static_cast<double>(pages);
  state.counters["s_per_page"] = benchmark::Counter(static_cast<double>(pages),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}
BENCHMARK(BM_LayoutPages);

void BM_BuildGlyphs(benchmark::State& state) {
  TFixedPitchMetrics metrics;
  TKtWord w;
  Setup(w, metrics);
  const std::vector<std::string> lines = SplitMarkupLines(bench::SampleMessage());
  for (auto _ : state) {
    w.BuildGlyphs(lines, 50);
    benchmark::DoNotOptimize(w.Count());
  }
  state.counters["glyphs"] = w.Count();
}
BENCHMARK(BM_BuildGlyphs);

}  // namespace
}  // namespace nova

BENCHMARK_MAIN();
