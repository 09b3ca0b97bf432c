// Message text with the installed fonts (FreeType, the IPA substitutes of "ＭＳ ゴシック"):
// - BM_LayoutAndRender: a 2,000-character Japanese message laid out into pages of 480 x 120 at
//   size 24 (20 characters to a row, 5 rows to a page) and every page rendered into its page
//   surfaces, as a message box shows it; "s_per_page" is layout plus rendering per page (CPU
//   time; the goal is below 2 ms). Arguments: border width and shadow offset (0/0 plain, 2/2 outlined
//   with a shadow); the glyph cache stays warm across iterations, as in a running game.
// - BM_LayoutAndRenderCold: the same with the cache emptied before every iteration, so each
//   page also rasterises its glyphs.
// - BM_RenderPageReference: one page rendered with the fast pixel path and with the plain
//   reference path in turn; "ratio" is reference time / fast time.
// - BM_DialogueHitRate: a dialogue scene (a name caption and one to three lines per message,
//   40 messages, then a two-choice menu) through a fresh cache; "hit_rate" is the share of
//   glyph requests the cache answered.
#include <benchmark/benchmark.h>

#include <chrono>

#include "base/encoding.h"
#include "installed_fonts.h"
#include "sample_message.h"
#include "text/glyph_render.h"
#include "text/ktwords.h"
#include "text/label_list.h"
#include "text/page_render.h"

namespace nova {
namespace {

void Setup(TKtWord& w, int border, int shadow) {
  w.Settings.FontSize = 24;
  w.Settings.Width = 480;
  w.Settings.PageHeight = 120;
  w.Settings.BorderWidth = border;
  w.Settings.ShadowOffset = shadow;
  w.Settings.TextColor = 0xFFFFFF;
  w.BuildGlyphs(SplitMarkupLines(bench::SampleMessage()), 50);
}

void LayoutAndRender(benchmark::State& state, bool cold) {
  TFontPixelManager cache(bench::InstalledFonts());
  TKtWord w;
  Setup(w, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  size_t pages = 0;
  for (auto _ : state) {
    if (cold) cache.Clear();
    TWdPageList list;
    w.LayoutPages(list);
    for (auto& page : list) RenderPage(w, *page, cache, 32, true);
    pages = list.size();
    benchmark::DoNotOptimize(w.PageCoverage.PixelAddress(0, 0));
  }
  state.counters["glyphs"] = w.Count();
  state.counters["pages"] = static_cast<double>(pages);
  state.counters["s_per_page"] = benchmark::Counter(static_cast<double>(pages),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

void BM_LayoutAndRender(benchmark::State& state) { LayoutAndRender(state, false); }
BENCHMARK(BM_LayoutAndRender)->Args({0, 0})->Args({2, 2})->Unit(benchmark::kMillisecond);

void BM_LayoutAndRenderCold(benchmark::State& state) { LayoutAndRender(state, true); }
BENCHMARK(BM_LayoutAndRenderCold)->Args({0, 0})->Args({2, 2})->Unit(benchmark::kMillisecond);

void BM_RenderPageReference(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  TFontPixelManager cache(bench::InstalledFonts());
  TKtWord w;
  Setup(w, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  TWdPageList list;
  w.LayoutPages(list);
  RenderPage(w, *list[0], cache, 32);  // warm
  double fast = 0, reference = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    RenderPage(w, *list[0], cache, 32);
    auto t1 = Clock::now();
    SetGlyphRenderPath(TGlyphRenderPath::Reference);
    RenderPage(w, *list[0], cache, 32);
    SetGlyphRenderPath(TGlyphRenderPath::Fast);
    auto t2 = Clock::now();
    fast += std::chrono::duration<double>(t1 - t0).count();
    reference += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["fast_ms"] = fast * 1000 / static_cast<double>(state.iterations());
  state.counters["reference_ms"] = reference * 1000 / static_cast<double>(state.iterations());
  state.counters["ratio"] = reference / fast;
}
BENCHMARK(BM_RenderPageReference)->Args({0, 0})->Args({2, 2})->Unit(benchmark::kMillisecond);

// A scene of short messages: who speaks, what they say.
const char* const kDialogue[][2] = {
    {"坊っちゃん", "親譲りの無鉄砲で小供の時から損ばかりしている。"},
    {"坊っちゃん", "小学校に居る時分学校の二階から飛び降りて一週間ほど腰を抜かした事がある。"},
    {"同級生", "いくら威張っても、そこから飛び降りる事は出来まい。弱虫やーい。"},
    {"坊っちゃん", "なぜそんな無闇をしたと聞く人があるかも知れぬ。別段深い理由でもない。"},
    {"おやじ", "二階ぐらいから飛び降りて腰を抜かす奴があるか。"},
    {"坊っちゃん", "この次は抜かさずに飛んで見せますと答えた。"},
    {"清", "あなたは真っ直でよいご気性だ。"},
    {"坊っちゃん", "おれは何が嫌いだと言って人に隠れて自分だけ得をするほど嫌いな事はない。"},
    {"清", "それでも、あなたはきっと立派な人になりますよ。"},
    {"坊っちゃん", "清は時々台所で人の居ない時に「あなたは真っ直でよいご気性だ」と賞める事が時々あった。"},
    {"兄", "お前のような乱暴者は、とても物にはならない。"},
    {"坊っちゃん", "元来女のような性分で、ずるいから、仲がよくなかった。十日に一遍ぐらいの割で喧嘩をしていた。"},
    {"清", "坊っちゃんはいつ家をお持ちなさいます。"},
    {"坊っちゃん", "家を持つ了見はない。しかし清がそう言うから、いずれ持つとだけ答えておいた。"},
    {"校長", "教育の精神について長い話をした。生徒の模範になれの、一校の師表と仰がれなくてはいかんの。"},
    {"坊っちゃん", "そんなえらい人が月給四十円で遥々こんな田舎へくるもんか。"},
    {"山嵐", "君は学校に騒動を起すつもりで来たんじゃなかろうな。"},
    {"坊っちゃん", "騒動なんぞ起すつもりはない。おれは正直に教えるだけだ。"},
    {"赤シャツ", "君、あまり生徒を叱っちゃいけないよ。ここの生徒は気が荒いから。"},
    {"坊っちゃん", "叱るのがいけないなら、何を教えればいいんです。"},
};

void BM_DialogueHitRate(benchmark::State& state) {
  uint64_t hits = 0, misses = 0;
  for (auto _ : state) {
    TFontPixelManager cache(bench::InstalledFonts());
    TKtLabelList names(cache);
    TDIBX screen;
    screen.SetSize(640, 480, 32);
    names.Target = &screen;
    names.FontSize = 20;
    for (int round = 0; round < 2; ++round) {
      for (const auto& line : kDialogue) {
        names.Labels.clear();
        TKtLabelDIB& name = names.Add(Utf8ToSjis(line[0]));
        names.MeasureAll();
        names.Draw(name, 20, 340);
        TKtWord w;
        w.Settings.FontSize = 24;
        w.Settings.Width = 560;
        w.Settings.PageHeight = 96;
        w.Settings.BorderWidth = 1;
        w.BuildGlyphs(SplitMarkupLines(Utf8ToSjis(line[1])), 50);
        TWdPageList pages;
        w.LayoutPages(pages);
        for (auto& page : pages) RenderPage(w, *page, cache, 32, true);
      }
    }
    names.Labels.clear();
    for (const char* choice : {"はい", "いいえ"}) names.Add(Utf8ToSjis(choice));
    names.MeasureAll();
    for (auto& label : names.Labels) names.Draw(*label, 100, 100);
    hits += cache.Hits();
    misses += cache.Misses();
  }
  state.counters["requests"] = static_cast<double>(hits + misses) / static_cast<double>(state.iterations());
  state.counters["hit_rate"] = static_cast<double>(hits) / static_cast<double>(hits + misses);
}
BENCHMARK(BM_DialogueHitRate)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nova

BENCHMARK_MAIN();
