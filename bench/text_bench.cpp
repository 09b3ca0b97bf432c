// Layout of a 2,000-character Japanese message into pages with fixed-pitch cells (font size 24,
// 480 x 120 pixels: 20 characters to a row, 5 rows to a page), the way a message box lays out
// its text; "s_per_page" is the time per laid-out page. Building the glyphs from markup is
// measured apart.
#include <benchmark/benchmark.h>

#include "base/encoding.h"
#include "text/ktwords.h"

namespace nova {
namespace {

// At least 2,000 characters of prose with ruby, a coloured phrase and paragraph breaks.
std::string Message() {
  const std::string paragraph = Utf8ToSjis(
      "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所で"
      "ニャーニャー泣いていた事だけは記憶している。吾輩はここで始めて<RUBY VALUE=にんげん>人間</RUBY>"
      "というものを見た。しかもあとで聞くとそれは書生という人間中で一番<FONT COLOR=#FF0000>獰悪</FONT>"
      "な種族であったそうだ。「この書生というのは時々我々を捕えて煮て食うという話である。」<BR>");
  std::string text;
  TKtWord probe;
  do {
    text += paragraph;
    probe.BuildGlyphs(SplitMarkupLines(text), 50);
  } while (probe.Count() < 2000);
  return text;
}

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
  w.BuildGlyphs(SplitMarkupLines(Message()), 50);
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
  const std::vector<std::string> lines = SplitMarkupLines(Message());
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
