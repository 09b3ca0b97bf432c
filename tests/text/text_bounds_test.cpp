// Large texts: a text object holds at most its glyph limit, whichever way glyphs arrive, and
// a long variable value expands and collapses without a pass over the list per character.
#include <gtest/gtest.h>

#include <chrono>

#include "base/stream.h"
#include "text_test_util.h"

namespace nova::test {
namespace {

// The characters of a text in UTF-8, a line break as "|".
std::string Shown(const TKtWord& w) {
  std::string out;
  for (int i = 0; i < w.Count(); ++i) {
    if (auto* c = dynamic_cast<const TWdChar*>(w.Glyph(i))) out += SjisToUtf8(c->Text());
    if (dynamic_cast<const TWdOpeReturn*>(w.Glyph(i))) out += "|";
  }
  return out;
}

TEST(TextBounds, GlyphsBeyondTheLimitAreDropped) {
  struct Case {
    const char* what;
    const char* markup;
    std::vector<std::string> values;  // the variables' values, when it has variables
    std::string shown;
    int64_t dropped;
  };
  const Case cases[] = {
      {"characters", "あいうえおかきくけこさしす", {}, "あいうえおかきくけこ", 3},
      {"line breaks and switches count too", "ab<BR><DIV ALIGN=CENTER>cd<BR>efghij", {}, "ab|cd|efg", 3},
      {"a variable's value", "ab<VAR NAME=v>", {"v=cdefghijkl"}, "abcdefghi", 3},
      {"a value before more text", "<VAR NAME=v>xyz", {"v=abcdefghij"}, "abcdefxyz", 4},
  };
  for (const Case& c : cases) {
    TKtWord w;
    w.GlyphLimit = 10;
    Build(w, c.markup);
    w.VarValues = c.values;
    w.ExpandVarsFromValues();
    EXPECT_LE(w.Count(), 10) << c.what;
    EXPECT_EQ(Shown(w), c.shown) << c.what;
    EXPECT_EQ(w.Dropped(), c.dropped) << c.what;
  }

  // A compiled text and a copy are held to the limit of the text they go into.
  TKtWord source;
  Build(source, "あいうえおかきくけこさしす");
  TKtMemoryStream stream;
  source.SaveGlyphStream(stream);
  TKtWord loaded, copied;
  loaded.GlyphLimit = copied.GlyphLimit = 4;
  stream.SetPosition(0);
  loaded.LoadGlyphStream(stream);
  copied.CopyGlyphsFrom(source);
  EXPECT_EQ(Shown(loaded), "あいうえ");
  EXPECT_EQ(Shown(copied), "あいうえ");
  EXPECT_EQ(loaded.Dropped(), 9);
  // A cleared text starts counting again.
  loaded.Clear();
  EXPECT_EQ(loaded.Dropped(), 0);
  EXPECT_FALSE(loaded.Full());
  EXPECT_EQ(kMaxTextGlyphs, TKtWord().GlyphLimit);
}

TEST(TextBounds, ALongValueBeforeALongTextExpandsAndCollapsesInOnePass) {
  // 200000 characters of value in front of 200000 characters of text: inserting or finding
  // them one at a time would move or search the list 200000 times (minutes); in one pass it
  // takes milliseconds.
  const int n = 200000;
  TKtWord w;
  w.BuildGlyphs({"<VAR NAME=v>" + std::string(n, 'x')}, 50);
  ASSERT_EQ(w.Count(), n + 1);
  w.VarValues = {"v=" + std::string(n, 'a')};
  const auto start = std::chrono::steady_clock::now();
  w.ExpandVarsFromValues();
  ASSERT_EQ(w.Count(), 2 * n + 1);
  EXPECT_EQ(static_cast<TWdChar*>(w.Glyph(1))->Code, 'a');
  EXPECT_EQ(static_cast<TWdChar*>(w.Glyph(n))->Code, 'a');
  EXPECT_EQ(static_cast<TWdChar*>(w.Glyph(n + 1))->Code, 'x');
  EXPECT_EQ(static_cast<TWdOpeVar*>(w.Glyph(0))->Expansion.size(), static_cast<size_t>(n));
  w.ExpandVarsFromValues();  // expanding again replaces the expansion
  ASSERT_EQ(w.Count(), 2 * n + 1);
  w.CollapseVars();
  ASSERT_EQ(w.Count(), n + 1);
  EXPECT_EQ(static_cast<TWdChar*>(w.Glyph(1))->Code, 'x');
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 5.0);
}

}  // namespace
}  // namespace nova::test
