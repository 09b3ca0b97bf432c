// novatool text layout at the command line.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/test_support.h"

namespace nova::test {
namespace {

struct TRun {
  int Code;
  std::string Out, Err;
};

TRun TextLayout(const TempDir& dir, const std::string& args) {
  std::string cmd = "'" + BinaryDir() + "/novatool' text layout " + args + " >'" + (dir / "out") + "' 2>'" +
                    (dir / "err") + "'";
  int rc = std::system(cmd.c_str());
  return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, ReadFile(dir / "out"), ReadFile(dir / "err")};
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

TEST(NovatoolText, RefusesWhatItCannotDo) {
  TempDir dir;
  TRun face = TextLayout(dir, "--metrics 'ＭＳ ゴシック' abc");
  EXPECT_EQ(face.Code, 1);
  EXPECT_EQ(face.Err, "novatool text: face metrics need the glyph cache\n");
  TRun href = TextLayout(dir, "'<A>link</A>'");
  EXPECT_EQ(href.Code, 1);
  EXPECT_EQ(href.Err, "novatool text: <A>タグにHREF値がありません\n");
  EXPECT_EQ(TextLayout(dir, "--width").Code, 2);
}

}  // namespace
}  // namespace nova::test
