// The message box at work with the installed fonts (FreeType, the IPA substitute of
// "ＭＳ ゴシック"), in a 640 x 480 scene painted into a 32-bit back surface frame by frame:
// - BM_TypeAndPaintPage: the first page of a message (5 rows of 23 characters at size 24 in
//   560 x 150) set as markup and typed out at the player's defaults (50 ms a glyph, no fade),
//   every frame a 16 ms update and a paint of the dirty rectangles, until the page is done;
//   "frames" to the end of the page and "frame_share", the wall time of an average frame
//   against the 16.7 ms of a 60 Hz frame (the reference).
// - BM_FadedPage: the same with a 300 ms fade-in of each glyph.
// - BM_ShowWholePage: speed rate 0, the page appears in one frame: the time from setting the
//   text to the painted page (layout, rendering the page's glyphs, drawing).
// - BM_ShowCompiledText: a TextIns text found again through the message data cache, laid out
//   and rendered (what a TextIns costs before typing).
#include <benchmark/benchmark.h>

#include <chrono>

#include "base/encoding.h"
#include "components/component_services.h"
#include "components/text/history.h"
#include "components/text/mes_text_source.h"
#include "components/text/nova_mes.h"
#include "components/text/read_list.h"
#include "components/register_components.h"
#include "installed_fonts.h"
#include "objects/property_access.h"
#include "objects/scene.h"
#include "params/param_collection.h"
#include "params/sysfunc.h"
#include "render/dibx.h"
#include "support/scene_steps.h"
#include "text/font_pixels.h"
#include "text/ktwords.h"

namespace nova {
namespace {

const std::string& PageMarkup() {
  static const std::string text = Utf8ToSjis(
      "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所で"
      "ニャーニャー泣いていた事だけは記憶している。吾輩はここで始めて<RUBY VALUE=にんげん>人間</RUBY>"
      "というものを見た。しかもあとで聞くとそれは書生という人間中で一番獰悪な種族であったそうだ。");
  return text;
}

class OnePage : public TMesTextSource {
public:
  OnePage() {
    TKtWord word;
    word.BuildGlyphs(SplitMarkupLines(PageMarkup()), 50);
    TKtMemoryStream s;
    word.SaveGlyphStream(s);
    page_->Name = "p.nsb";
    page_->Blocks.push_back(s.Data());
  }
  bool PageExists(const std::string&) override { return true; }
  std::shared_ptr<const TMesTextPage> LoadPage(const std::string&) override { return page_; }

private:
  std::shared_ptr<TMesTextPage> page_ = std::make_shared<TMesTextPage>();
};

struct Game {
  Game() : funcs(store), glyphs(bench::InstalledFonts()) {
    services.Store = &store;
    services.Funcs = &funcs;
    services.Glyphs = &glyphs;
    services.Texts = &texts;
    services.History = &history;
    services.ReadMarks = &marks;
    RegisterComponentClasses(factory, services);
    scene.SetFactory(&factory);
    scene.SetSize(640, 480);
    back.SetSize(640, 480, 32);
    scene.SetBackSurface(&back);
    box = scene.Make<TNovaMes>(services);
    box->SetParent(&scene.Displayed());
    for (auto [id, v] : {std::pair{PR_LEFT, 40}, {PR_TOP, 310}, {PR_WIDTH, 560}, {PR_HEIGHT, 150},
                         {PR_FONTHEIGHT, 24}, {PR_TEXTDELAY, 256}, {PR_ALPHA, 255}, {PR_FONTCOLOR, 0xFFFFFF}})
      WriteProperty(*box, id, TPropValue::OfInt(v));
    WriteProperty(*box, PR_ANTIALIAS, TPropValue::OfFlag(true));
  }
  void Frame() { test::StepScene(scene); }
  bool Playing() { return ReadProperty(*box, PR_PLAYING).Flag; }

  TParamCollection store;
  TSysFuncMan funcs;
  TFontPixelManager glyphs;
  OnePage texts;
  TNovaHistoryFormatManager history;
  TNovaReadList marks;
  TComponentServices services;
  TObjectFactory factory;
  TNovaBaseList scene;
  TDIBX back;
  TNovaMes* box = nullptr;
};

void TypePage(benchmark::State& state, int32_t fade) {
  Game g;
  WriteProperty(*g.box, PR_DELAY, TPropValue::OfInt(fade));
  int frames = 0;
  int64_t totalFrames = 0;
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    WriteProperty(*g.box, PR_TEXT, TPropValue::OfStr(PageMarkup()));
    frames = 0;
    do {
      g.Frame();
      ++frames;
    } while (g.box->StillTyping() && frames < 10000);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    totalFrames += frames;
  }
  const double msPerFrame = seconds * 1000.0 / static_cast<double>(std::max<int64_t>(totalFrames, 1));
  state.counters["frames"] = frames;
  state.counters["glyphs_on_page"] = static_cast<double>(g.box->RevealedText().size()) / 2;
  state.counters["ms_per_frame"] = msPerFrame;
  state.counters["frame_share"] = msPerFrame / (1000.0 / 60.0);
}

void BM_TypeAndPaintPage(benchmark::State& state) { TypePage(state, 0); }
BENCHMARK(BM_TypeAndPaintPage)->Unit(benchmark::kMillisecond);

void BM_FadedPage(benchmark::State& state) { TypePage(state, 300); }
BENCHMARK(BM_FadedPage)->Unit(benchmark::kMillisecond);

void BM_ShowWholePage(benchmark::State& state) {
  Game g;
  WriteProperty(*g.box, PR_TEXTDELAY, TPropValue::OfInt(0));
  for (auto _ : state) {
    WriteProperty(*g.box, PR_TEXT, TPropValue::OfStr(PageMarkup()));
    g.Frame();
  }
  if (g.box->RevealedText().empty()) state.SkipWithError("nothing shown");
}
BENCHMARK(BM_ShowWholePage)->Unit(benchmark::kMicrosecond);

void BM_ShowCompiledText(benchmark::State& state) {
  Game g;
  for (auto _ : state) {
    g.box->ShowCompiledText("p.nsb", 0);
    g.Frame();
  }
  state.counters["pages"] = ReadProperty(*g.box, PR_COUNT).Int;
}
BENCHMARK(BM_ShowCompiledText)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace nova

BENCHMARK_MAIN();
