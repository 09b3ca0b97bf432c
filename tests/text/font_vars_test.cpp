// @Fonts and @FixedFonts.
#include <gtest/gtest.h>

#include "params/param_collection.h"
#include "params/sysfunc.h"
#include "platform/headless_fonts.h"
#include "text/font_vars.h"
#include "text_test_util.h"

namespace nova::test {
namespace {

TEST(FontVars, ListSortedWithoutRepeatsOrVerticalFaces) {
  EXPECT_EQ(FontListText({"b", "@ＭＳ ゴシック", "A", "a", "C", "", "B"}), "A\r\nb\r\nC");
  EXPECT_EQ(FontListText({}), "");
  EXPECT_EQ(FontListText({"@only"}), "");
}

TEST(FontVars, ReadTheRasteriserAtTheMomentOfReading) {
  TParamCollection store;
  TSysFuncMan funcs(store);
  THeadlessFontRasterizer fonts;
  RegisterFontVariables(funcs, fonts);
  // Shift-JIS order: "ＭＳ Ｐ" (0x82 0x6F) before "ＭＳ ゴ" (0x83) before "ＭＳ 明" (0x96).
  EXPECT_EQ(store.FindParam("@Fonts")->Param->GetAsStr(),
            Sj("ＭＳ Ｐゴシック\r\nＭＳ Ｐ明朝\r\nＭＳ ゴシック\r\nＭＳ 明朝"));
  EXPECT_EQ(store.FindParam("@FixedFonts")->Param->GetAsStr(), Sj("ＭＳ ゴシック\r\nＭＳ 明朝"));
  store.FindParam("@Fonts")->Param->SetAsStr("ignored");
  EXPECT_EQ(store.FindParam("@Fonts")->Param->GetAsStr().substr(0, 4), Sj("ＭＳ"));
}

}  // namespace
}  // namespace nova::test
