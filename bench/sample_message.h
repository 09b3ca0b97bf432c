#pragma once
// The message the text benchmarks lay out: at least 2,000 characters of Japanese prose (Shift-JIS
// markup) with ruby, a coloured phrase and paragraph breaks.
#include <string>

#include "base/encoding.h"
#include "text/ktwords.h"

namespace nova::bench {

inline std::string SampleMessage() {
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

}  // namespace nova::bench
