// Layout of Japanese prose: rows, line-breaking rules, ruby, no-break runs, pages, alignment,
// indents, images and floats.
#include <gtest/gtest.h>

#include "text_test_util.h"

namespace nova::test {
namespace {

using Pages = std::vector<std::vector<std::string>>;

class Layout : public ::testing::Test {
protected:
  TKtWord w;  // declared first: pages are freed before the glyphs they show
  TWdPageList pages;
  FakeImages images;
  TFixedPitchMetrics fixed;

  void SetUp() override {
    // Square cells of 20: ten double-byte characters to a row of 200.
    w.Settings.FontSize = 20;
    w.Settings.Width = 200;
    w.Images = &images;
  }
  Pages Run(const std::string& markup) {
    Build(w, markup);
    pages.clear();
    w.LayoutPages(pages);
    return PageTexts(pages);
  }
  TWdRow& Row(size_t p, size_t r) { return *pages.at(p)->Rows.at(r); }
  TWdGlyph* At(size_t p, size_t r, size_t k) { return Row(p, r).Children.at(k); }
};

TEST_F(Layout, ProseFillsRowsOfTheWidth) {
  EXPECT_EQ(Run("吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。"),
            (Pages{{"吾輩は猫である。名前", "はまだ無い。どこで生", "れたかとんと見当がつ", "かぬ。"}}));
  for (size_t r = 0; r < 4; ++r) {
    EXPECT_EQ(Row(0, r).Y, static_cast<int32_t>(20 * r));
    EXPECT_EQ(Row(0, r).Height, 20);
  }
  for (size_t k = 0; k < 10; ++k) EXPECT_EQ(At(0, 1, k)->X, static_cast<int32_t>(20 * k));
  EXPECT_EQ(Row(0, 0).Width, 200);
  EXPECT_EQ(Row(0, 3).Width, 60);
  EXPECT_EQ(pages[0]->Height, 80);
  EXPECT_EQ(At(0, 0, 0)->Parent, &Row(0, 0));
}

TEST_F(Layout, KinsokuKeepsPunctuationOffRowStartsAndBracketsOffRowEnds) {
  struct Case {
    const char* markup;
    std::vector<std::string> rows;
  } cases[] = {
      // The last character that still fits goes down with the full stop after it.
      {"あいうえおかきくけこ。さ", {"あいうえおかきくけ", "こ。さ"}},
      {"あいうえおかきくけこ、さ", {"あいうえおかきくけ", "こ、さ"}},
      {"あいうえおかきく「け」。", {"あいうえおかきく", "「け」。"}},
      {"あいうえおかきくけ！？", {"あいうえおかきく", "け！？"}},
      // An opening bracket that would end a row goes down with what follows.
      {"あいうえおかきくけ「こさ」", {"あいうえおかきくけ", "「こさ」"}},
      {"あいうえおかきくけ（こ）", {"あいうえおかきくけ", "（こ）"}},
      // A bracket after a full row opens the next one.
      {"あいうえおかきくけこ「さ」", {"あいうえおかきくけこ", "「さ」"}},
      {"春はあけぼの。やうやう白くなりゆく山ぎは、少しあかりて、紫だちたる雲のほそくたなびきたる。",
       {"春はあけぼの。やうや", "う白くなりゆく山ぎ", "は、少しあかりて、紫", "だちたる雲のほそくた", "なびきたる。"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Run(c.markup), Pages{c.rows}) << c.markup;
}

TEST_F(Layout, HalfWidthPunctuationFollowsTheSameRules) {
  w.Metrics = &fixed;  // single-byte characters 10 wide
  EXPECT_EQ(Run("あいうえおかきくけこ｡"), (Pages{{"あいうえおかきくけ", "こ｡"}}));
  EXPECT_EQ(Run("あいうえおかきくけ｢こ"), (Pages{{"あいうえおかきくけ", "｢こ"}}));
  // Single-byte printable characters never break between them, punctuation or not.
  EXPECT_EQ(Run("あいうえおかきくけ(ｺ)"), (Pages{{"あいうえおかきくけ", "(ｺ)"}}));
}

TEST_F(Layout, RubyGroupsAndNoBreakRunsMoveWhole) {
  EXPECT_EQ(Run("あいうえおかきくけ<RUBY VALUE=かんじ>漢字</RUBY>です"), (Pages{{"あいうえおかきくけ", "漢字です"}}));
  // Ruby makes its characters taller; the others sit on the same baseline.
  EXPECT_EQ(Row(0, 1).Y, 20);
  EXPECT_EQ(Row(0, 1).Height, 30);
  EXPECT_EQ(At(0, 1, 0)->Y, 0);
  EXPECT_EQ(At(0, 1, 2)->Y, 10);
  EXPECT_EQ(Run("あいうえおかきく<NOBR>けこさし</NOBR>す"), (Pages{{"あいうえおかきく", "けこさしす"}}));
  // Two neighbouring groups with different readings may break between them.
  EXPECT_EQ(Run("あいうえおかきくけ<RUBY VALUE=か>漢</RUBY><RUBY VALUE=じ>字</RUBY>"),
            (Pages{{"あいうえおかきくけ漢", "字"}}));
}

TEST_F(Layout, SingleByteWordsStayWhole) {
  w.Metrics = &fixed;
  w.Settings.Width = 100;
  EXPECT_EQ(Run("The quick brown fox"), (Pages{{"The quick ", "brown fox"}}));
  EXPECT_EQ(Run("a   b"), (Pages{{"a b"}})) << "three spaces lay out as one";
  // A word wider than the row overflows its own row; the line break after it adds no blank row.
  EXPECT_EQ(Run("a Supercalifragilistic<BR>next"), (Pages{{"a ", "Supercalifragilistic", "next"}}));
  EXPECT_EQ(Row(0, 1).Width, 200);
  EXPECT_EQ(Row(0, 2).Y, 40);
}

TEST_F(Layout, EscapedTagsAndPreformattedText) {
  w.Metrics = &fixed;
  EXPECT_EQ(Run("\\<B\\>bold\\</B\\>"), (Pages{{"<B>bold</B>"}}));
  EXPECT_EQ(static_cast<TWdChar*>(w.Glyph(3))->Style(), 0);
  EXPECT_EQ(Run("<PRE>\nfirst line\nsecond\n</PRE>third"), (Pages{{"first line", "secondthird"}}));
  EXPECT_EQ(Run("comment<!-- not shown -->s are hidden"), (Pages{{"comments are hidden"}}));
}

TEST_F(Layout, PagesHoldTheRowsThatFit) {
  w.Settings.PageHeight = 100;
  w.Settings.LineSpacing = 4;
  EXPECT_EQ(Run("一<BR>二<BR>三<BR>四<BR>五<BR>六"), (Pages{{"一", "二", "三", "四"}, {"五", "六"}}));
  for (size_t r = 0; r < 4; ++r) EXPECT_EQ(Row(0, r).Y, static_cast<int32_t>(24 * r));
  EXPECT_EQ(Row(1, 0).Y, 0);
  EXPECT_EQ(Row(1, 1).Y, 24);
  EXPECT_EQ(pages[0]->Height, 92);

  w.Settings.Paging = false;
  EXPECT_EQ(Run("一<BR>二<BR>三<BR>四<BR>五<BR>六"), (Pages{{"一", "二", "三", "四", "五", "六"}}));
  EXPECT_EQ(Row(0, 5).Y, 120);
}

TEST_F(Layout, ARowThatDoesNotFitStartsTheNextPageAgain) {
  w.Settings.PageHeight = 50;
  const std::string text = "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所で";
  Pages p = Run("<DIV ALIGN=RIGHT>" + text);
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[0], (std::vector<std::string>{"吾輩は猫である。名前", "はまだ無い。どこで生"}));
  EXPECT_EQ(p[1], (std::vector<std::string>{"れたかとんと見当がつ", "かぬ。何でも薄暗いじ"}));
  EXPECT_EQ(p[2], (std::vector<std::string>{"めじめした所で"}));
  EXPECT_EQ(Row(2, 0).Y, 0);
  EXPECT_EQ(Row(2, 0).Align, waRight) << "the restarted row keeps its alignment";
  EXPECT_EQ(At(2, 0, 0)->X, 60);
  EXPECT_EQ(At(2, 0, 0)->Parent, &Row(2, 0));
  // A row taller than the page still gets a page of its own.
  w.Settings.PageHeight = 10;
  EXPECT_EQ(Run("あ<BR>い"), (Pages{{"あ"}, {"い"}}));
}

TEST_F(Layout, ClearEndsThePage) {
  EXPECT_EQ(Run("一<BR CLEAR>二<CLEAR>三"), (Pages{{"一"}, {"二"}, {"三"}}));
  EXPECT_EQ(Row(1, 0).Y, 0);
}

TEST_F(Layout, EmptyLinesAreAsHighAsTheDefaultSize) {
  w.Settings.FontSize = 12;
  EXPECT_EQ(Run("<FONT SIZE=30>一<BR><BR>二<BR><EVENT VALUE=x><BR>三</FONT>"), (Pages{{"一", "", "二", "", "三"}}));
  const int32_t heights[] = {30, 12, 30, 12, 30};
  const int32_t tops[] = {0, 30, 42, 72, 84};
  for (size_t r = 0; r < 5; ++r) {
    EXPECT_EQ(Row(0, r).Height, heights[r]) << r;
    EXPECT_EQ(Row(0, r).Y, tops[r]) << r;
  }
}

TEST_F(Layout, ImagesWidenTheRowAboveAndBelow) {
  images.Sizes["p.bmp"] = {40, 40};
  struct Case {
    const char* align;
    int32_t height, imageY, textY;
  } cases[] = {
      {"CENTER", 40, 0, 10},  // half the difference above and below
      {"TOP", 40, 0, 0},
      {"BOTTOM", 40, 0, 20},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(std::string("あ<IMG SRC=p.bmp ALIGN=") + c.align + ">い"), (Pages{{"あ[img]い"}}));
    EXPECT_EQ(Row(0, 0).Height, c.height) << c.align;
    EXPECT_EQ(At(0, 0, 1)->Y, c.imageY) << c.align;
    EXPECT_EQ(At(0, 0, 0)->Y, c.textY) << c.align;
    EXPECT_EQ(At(0, 0, 2)->X, 60) << c.align;
  }
  // The band is worked out against the tallest text, whatever comes first.
  Run("<IMG SRC=p.bmp ALIGN=CENTER><FONT SIZE=30>あ");
  EXPECT_EQ(Row(0, 0).Height, 40);
  EXPECT_EQ(At(0, 0, 0)->Y, 0);
  EXPECT_EQ(At(0, 0, 1)->Y, 5);
  // A picture that does not exist measures 0 x 0.
  EXPECT_EQ(Run("あ<IMG SRC=none.bmp>い"), (Pages{{"あ[img]い"}}));
  EXPECT_EQ(Row(0, 0).Height, 20);
  EXPECT_EQ(At(0, 0, 2)->X, 20);
}

TEST_F(Layout, AlignmentSwitches) {
  Run("<DIV ALIGN=CENTER>あい</DIV><BR><DIV ALIGN=RIGHT>う</DIV><BR>え<DIV ALIGN=RIGHT>お</DIV>");
  EXPECT_EQ(Row(0, 0).Align, waCenter);
  EXPECT_EQ(At(0, 0, 0)->X, 80);
  EXPECT_EQ(Row(0, 0).Width, 120) << "the row's width is its right edge";
  EXPECT_EQ(At(0, 1, 0)->X, 180);
  EXPECT_EQ(Row(0, 2).Align, waLeft) << "a switch after the row's first character waits for the next row";
  // A switch before the first character of an open row still counts for that row.
  Run("<EVENT VALUE=e><DIV ALIGN=CENTER>あ");
  EXPECT_EQ(Row(0, 0).Align, waCenter);
  EXPECT_EQ(At(0, 0, 1)->X, 90);
}

TEST_F(Layout, WithoutWidthTheWidestRowSetsIt) {
  w.Settings.Width = 0;
  EXPECT_EQ(Run("あいう<BR><DIV ALIGN=CENTER>あ</DIV><BR><DIV ALIGN=RIGHT>え"), (Pages{{"あいう", "あ", "え"}}));
  EXPECT_EQ(w.Settings.Width, 60);
  EXPECT_EQ(pages[0]->Width, 60);
  EXPECT_EQ(At(0, 1, 0)->X, 20);
  EXPECT_EQ(At(0, 2, 0)->X, 40);
  // Nothing ever breaks without a width.
  w.Settings.Width = 0;
  EXPECT_EQ(Run("吾輩は猫である。名前はまだ無い。"), (Pages{{"吾輩は猫である。名前はまだ無い。"}}));
}

TEST_F(Layout, IndentsFollowThePen) {
  EXPECT_EQ(Run("※<INDENT>吾輩は猫である。名前はまだ無い。<UNDENT><BR>どこで"),
            (Pages{{"※吾輩は猫である。名", "前はまだ無い。", "どこで"}}));
  ASSERT_NE(Row(0, 1).Filler, nullptr);
  EXPECT_EQ(Row(0, 1).Filler->Width, 20);
  EXPECT_EQ(At(0, 1, 1)->X, 20);
  EXPECT_EQ(Row(0, 2).Filler, nullptr);
  EXPECT_EQ(At(0, 2, 0)->X, 0);
  // An indent as wide as the row does not apply (it would push every character to a row of its own).
  EXPECT_EQ(Run("あいうえおかきくけこ<INDENT>さしすせそ"), (Pages{{"あいうえおかきくけこ", "さしすせそ"}}));
  EXPECT_EQ(Row(0, 1).Filler, nullptr);
  // Nearly as wide: the first run of each row overflows rather than the row closing.
  w.Metrics = &fixed;
  EXPECT_EQ(Run("あいうえおかきくけa<INDENT>こさ"), (Pages{{"あいうえおかきくけa", "こ", "さ"}}));
  EXPECT_EQ(Row(0, 1).Filler->Width, 190);
  EXPECT_EQ(Row(0, 1).Width, 210);
  w.Metrics = nullptr;
  // A row that moves to the next page keeps its indent.
  w.Settings.PageHeight = 40;
  EXPECT_EQ(Run("※<INDENT>吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。"),
            (Pages{{"※吾輩は猫である。名", "前はまだ無い。どこ"}, {"で生れたかとんと見", "当がつかぬ。"}}));
  EXPECT_EQ(Row(1, 0).Filler->Width, 20);
  EXPECT_EQ(Row(1, 1).Filler->Width, 20);
  w.Settings.PageHeight = 0;
  // An indent with no open row does nothing.
  EXPECT_EQ(Run("あ<BR><INDENT>いうえおかきくけこさしす"), (Pages{{"あ", "いうえおかきくけこさ", "しす"}}));
}

TEST_F(Layout, LineSpacingSeparatesRows) {
  w.Settings.LineSpacing = 5;
  Run("吾輩は猫である。名前はまだ無い。どこで生れたか");
  EXPECT_EQ(Row(0, 1).Y, 25);
  EXPECT_EQ(Row(0, 2).Y, 50);
  EXPECT_EQ(pages[0]->Height, 70);
}

TEST_F(Layout, FloatingImagesLetTextFlowBeside) {
  images.Sizes["f.bmp"] = {60, 50};
  const std::string text = "吾輩は猫である。名前はまだ無い。どこで生れたかと";
  for (uint8_t side : {waLeft, waRight}) {
    SCOPED_TRACE(side);
    Build(w, "<IMG SRC=f.bmp>" + text);
    static_cast<TWdImg*>(w.Glyph(0))->Align = side;  // only glyph streams hold such images
    pages.clear();
    w.LayoutPages(pages);
    EXPECT_EQ(PageTexts(pages), (Pages{{"[img]", "吾輩は猫であ", "る。名前はまだ", "無い。どこで生", "れたかと"}}));
    EXPECT_TRUE(Row(0, 0).Float);
    EXPECT_EQ(Row(0, 0).Height, 50);
    EXPECT_EQ(At(0, 0, 0)->X, side == waLeft ? 0 : 140);
    EXPECT_EQ(At(0, 0, 0)->Y, 0);
    for (size_t r = 1; r <= 3; ++r) {
      EXPECT_EQ(Row(0, r).Y, static_cast<int32_t>(20 * (r - 1)));
      EXPECT_EQ(Row(0, r).LeftLimit, side == waLeft ? 60 : 0);
      EXPECT_EQ(Row(0, r).RightLimit, side == waLeft ? 200 : 140);
    }
    EXPECT_EQ(At(0, 1, 0)->X, side == waLeft ? 60 : 0);
    EXPECT_EQ(Row(0, 4).LeftLimit, 0);
    EXPECT_EQ(Row(0, 4).RightLimit, 200);
    EXPECT_EQ(pages[0]->Height, 80);
  }
  // Where the run does not fit beside the band, the row moves below it.
  images.Sizes["wide.bmp"] = {190, 30};
  Build(w, "あい<IMG SRC=wide.bmp>うえ");
  static_cast<TWdImg*>(w.Glyph(2))->Align = waLeft;
  pages.clear();
  w.LayoutPages(pages);
  EXPECT_EQ(PageTexts(pages), (Pages{{"あい", "[img]", "うえ"}}));
  EXPECT_EQ(Row(0, 1).Y, 20);
  EXPECT_EQ(Row(0, 2).Y, 50);
  EXPECT_EQ(Row(0, 2).LeftLimit, 0);
}

TEST_F(Layout, LaysOutARangeIntoMorePages) {
  Build(w, "一二三<BR>四五六");
  TWdPageList first, second;
  w.LayoutPages(first, 0, 3);
  w.LayoutPages(second, 4, 100);
  EXPECT_EQ(PageTexts(first), (Pages{{"一二三"}}));
  EXPECT_EQ(PageTexts(second), (Pages{{"四五六"}}));
  w.LayoutPages(first, 4, -1);
  EXPECT_EQ(first.size(), 2u) << "new pages are appended";
}

}  // namespace
}  // namespace nova::test
