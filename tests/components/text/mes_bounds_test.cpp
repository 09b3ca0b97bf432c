// A message box given more text than a text object holds shows the glyphs that fit and says
// on stderr how many it left out.
#include <gtest/gtest.h>

#include "components/text/mes_fixtures.h"

namespace nova::test {
namespace {

TEST(MesBounds, TextBeyondTheGlyphLimitIsCutAndReported) {
  MesFixture f;
  TNovaMes* box = f.Box("mes", 0, 0, 320, 100);
  box->Word().GlyphLimit = 50;  // the game's limit is 2^20; the same rule at a size a test can run
  MesFixture::Set(*box, PR_TEXTDELAY, 0);
  std::string markup;
  for (int i = 0; i < 40; ++i) markup += "あいう<BR>";  // 160 glyphs
  testing::internal::CaptureStderr();
  MesFixture::SetStr(*box, PR_TEXT, markup);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "novaplayer: mes: the text holds more than 50 glyphs; the last 110 are not shown\n");
  EXPECT_EQ(box->Word().Count(), 50);
  // Twelve and a half rows of 16 in pages of six rows: three pages, typed as usual.
  EXPECT_EQ(MesFixture::Int(*box, PR_COUNT), 3);
  f.Frames(3);
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "あいう\r\nあいう\r\nあいう\r\nあいう\r\nあいう\r\nあいう\r\n");
  MesFixture::Set(*box, PR_INDEX, 2);
  f.Frames(3);
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "あい");
  // A text within the limit says nothing.
  testing::internal::CaptureStderr();
  MesFixture::SetStr(*box, PR_TEXT, "あいう");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(MesFixture::Int(*box, PR_COUNT), 1);
}

}  // namespace
}  // namespace nova::test
