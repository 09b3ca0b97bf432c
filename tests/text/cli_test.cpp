// novatool text layout at the command line.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/test_support.h"

namespace nova::test {
namespace {

TRun TextLayout(const TempDir& dir, const std::string& args) {
  return RunCommand(NovatoolCommand() + " text layout " + args, dir);
}

TEST(NovatoolText, PrintsOneObjectPerRow) {
  TempDir dir;
  TRun r = TextLayout(dir, "--width 100 --page-height 40 --line-spacing 2 "
                           "'吾輩は<B>猫</B>である。\"Name\"? <IMG SRC=x.bmp>none yet.<BR CLEAR>どこで'");
  ASSERT_EQ(r.Code, 0) << r.Err;
  // Cells of 16: six to a row of 100; the quoted word does not fit beside "る。" and, overflowing,
  // takes a row of its own on the next page.
  EXPECT_EQ(r.Out,
            "{\"page\": 0, \"row\": 0, \"y\": 0, \"height\": 16, \"width\": 96, \"text\": \"吾輩は猫であ\"}\n"
            "{\"page\": 0, \"row\": 1, \"y\": 18, \"height\": 16, \"width\": 32, \"text\": \"る。\"}\n"
            "{\"page\": 1, \"row\": 0, \"y\": 0, \"height\": 16, \"width\": 128, "
            "\"text\": \"\\\"Name\\\"? \xEF\xBF\xBC\"}\n"
            "{\"page\": 1, \"row\": 1, \"y\": 18, \"height\": 16, \"width\": 80, \"text\": \"none \"}\n"
            "{\"page\": 2, \"row\": 0, \"y\": 0, \"height\": 16, \"width\": 64, \"text\": \"yet.\"}\n"
            "{\"page\": 3, \"row\": 0, \"y\": 0, \"height\": 16, \"width\": 48, \"text\": \"どこで\"}\n");
}

// Rows counted in the output.
size_t Rows(const std::string& out) { return static_cast<size_t>(std::count(out.begin(), out.end(), '\n')); }

TEST(NovatoolText, LaysOutInSquareCellsWhateverTheFace) {
  TempDir dir;
  std::string words;
  for (int i = 0; i < 40; ++i) words += "i ";
  // "i " takes two cells of 16: three to a row of 100, fourteen rows; a face's narrow "i"
  // changes nothing, as in the message box.
  TRun plain = TextLayout(dir, "--width 100 '" + words + "'");
  ASSERT_EQ(plain.Code, 0) << plain.Err;
  EXPECT_EQ(Rows(plain.Out), 14u);
  for (const char* metrics : {"fixed", "'ＭＳ Ｐゴシック'", "'ＭＳ ゴシック'"}) {
    TRun r = TextLayout(dir, std::string("--width 100 --metrics ") + metrics + " '" + words + "'");
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(r.Out, plain.Out) << metrics;
  }
  TRun sized = TextLayout(dir, "--font-size 20 --metrics 'ＭＳ Ｐゴシック' 'iiii' ");
  EXPECT_NE(sized.Out.find("\"height\": 20, \"width\": 80,"), std::string::npos) << sized.Out;
  TRun unknown = TextLayout(dir, "--metrics 'No Such Face' abc");
  EXPECT_EQ(unknown.Code, 0);
  EXPECT_NE(unknown.Err.find("novatool text: no face for No Such Face; drawing with "), std::string::npos);
}

TEST(NovatoolText, RefusesWhatItCannotDo) {
  TempDir dir;
  TRun href = TextLayout(dir, "'<A>link</A>'");
  EXPECT_EQ(href.Code, 1);
  EXPECT_EQ(href.Err, "novatool text: <A>タグにHREF値がありません\n");
  EXPECT_EQ(TextLayout(dir, "--width").Code, 2);
}

}  // namespace
}  // namespace nova::test
