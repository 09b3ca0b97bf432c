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
  TRun r = TextLayout(dir, "--width 100 --page-height 40 --line-spacing 2 --metrics fixed "
                           "'吾輩は<B>猫</B>である。\"Name\"? <IMG SRC=x.bmp>none yet.<BR CLEAR>どこで'");
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_EQ(r.Out,
            "{\"page\": 0, \"row\": 0, \"y\": 0, \"height\": 16, \"text\": \"吾輩は猫であ\"}\n"
            "{\"page\": 0, \"row\": 1, \"y\": 18, \"height\": 16, \"text\": \"る。\\\"Name\\\"? \xEF\xBF\xBC\"}\n"
            "{\"page\": 1, \"row\": 0, \"y\": 0, \"height\": 16, \"text\": \"none yet.\"}\n"
            "{\"page\": 2, \"row\": 0, \"y\": 0, \"height\": 16, \"text\": \"どこで\"}\n");
}

// Rows counted in the output.
size_t Rows(const std::string& out) { return static_cast<size_t>(std::count(out.begin(), out.end(), '\n')); }

TEST(NovatoolText, MeasuresWithTheWidthsOfAFace) {
  TempDir dir;
  std::string words;
  for (int i = 0; i < 40; ++i) words += "i ";
  TRun fixed = TextLayout(dir, "--width 100 --metrics fixed '" + words + "'");
  TRun face = TextLayout(dir, "--width 100 --metrics 'ＭＳ Ｐゴシック' '" + words + "'");
  ASSERT_EQ(face.Code, 0) << face.Err;
  if (face.Err.find("no face") != std::string::npos) GTEST_SKIP() << face.Err;
  // Half-width cells hold 6 "i " to a row of 100; a proportional face's narrow i many more.
  EXPECT_EQ(Rows(fixed.Out), 7u);
  EXPECT_LT(Rows(face.Out), 6u);
  TRun unknown = TextLayout(dir, "--metrics 'No Such Face' abc");
  EXPECT_EQ(unknown.Code, 0);
  EXPECT_NE(unknown.Err.find("novatool text: no face for No Such Face; measuring with "), std::string::npos);
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
