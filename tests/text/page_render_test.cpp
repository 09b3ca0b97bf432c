// Message text on its page surfaces: centring of half-width characters, links, ruby groups,
// re-rendering hovered characters, and drawing the rendered characters onto a target.
#include <gtest/gtest.h>

#include "font_test_util.h"
#include "text/page_render.h"
#include "text_test_util.h"

namespace nova::test {
namespace {

std::unique_ptr<TDIBX> Copy(TCustomDIBX& s) {
  auto c = Surface(s.GetWidth(), s.GetHeight(), s.GetBitCount());
  for (int y = 0; y < s.GetHeight(); ++y)
    for (int x = 0; x < s.GetWidth(); ++x) c->SetPixel(x, y, s.GetPixel(x, y));
  return c;
}

// The columns of a coverage row that hold ink.
std::vector<int> InkedColumns(TCustomDIBX& coverage, int y) {
  std::vector<int> xs;
  for (int x = 0; x < coverage.GetWidth(); ++x)
    if (coverage.GetPixel(x, y)) xs.push_back(x);
  return xs;
}

class PageRender : public ::testing::Test {
protected:
  CountingFonts fonts;
  TFontPixelManager cache{fonts};
  TKtWord word;  // before the pages
  TWdPageList pages;

  void SetUp() override { word.Settings.FontSize = 16; }
  TWdPage& Show(const std::string& markup, bool reset = false) {
    pages.clear();
    Build(word, markup);
    word.LayoutPages(pages);
    RenderPage(word, *pages.at(0), cache, 32, reset);
    return *pages[0];
  }
  TWdChar& Char(size_t row, size_t k) { return static_cast<TWdChar&>(*pages.at(0)->Rows.at(row)->Children.at(k)); }
};

TEST_F(PageRender, AHalfWidthCharacterIsCentredInItsSquareCell) {
  Show("A漢");
  EXPECT_EQ(word.PageCoverage.GetWidth(), 32);
  EXPECT_EQ(word.PageCoverage.GetHeight(), 16);
  EXPECT_EQ(word.PageColor.Transparent, 0);
  // 'A': a 4-pixel box with A = 2, C = 2 in a 16-pixel cell: shifted by round(4 x 12 / 8) - 2 = 4.
  std::vector<int> row = InkedColumns(word.PageCoverage, 8);
  EXPECT_EQ(row, (std::vector<int>{6, 7, 8, 9, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29}));
  EXPECT_EQ(Char(0, 0).LastDrawn, TRect(6, 2, 10, 14));
  EXPECT_EQ(Char(0, 1).LastDrawn, TRect(18, 2, 30, 14));
  EXPECT_EQ(cache.Quality(), 3);  // the text's smoothing level
}

TEST_F(PageRender, LinksAreUnderlinedAndColouredUnlessTheyHaveTheirOwnColour) {
  word.Settings.LinkColor = 0xFF0000;  // blue
  Show("あ<A HREF=\"go\">い<FONT COLOR=#00FF00>う</FONT></A>え");
  std::vector<int> underline = InkedColumns(word.PageCoverage, 15);
  EXPECT_EQ(underline.front(), 16);
  EXPECT_EQ(underline.back(), 47);
  EXPECT_EQ(underline.size(), 32u);
  auto target = Surface(64, 16, 32, 0x808080);
  for (size_t k = 0; k < 4; ++k) DrawChar(word, Char(0, k), *target, 0, 0);
  // Full coverage through DrawMonoMask weighs the text colour by (255 x 255) >> 8 = 254.
  const uint32_t grey = 128 * 1 >> 8, full = (255 * 254 + 128) >> 8;
  EXPECT_EQ(target->GetPixel(8, 8), grey << 16 | grey << 8 | grey);  // default text colour 0
  EXPECT_EQ(target->GetPixel(24, 8), grey << 16 | grey << 8 | full);  // link colour (0x00RRGGBB here)
  EXPECT_EQ(target->GetPixel(40, 8), grey << 16 | full << 8 | grey);  // its own COLOR
  EXPECT_EQ(target->GetPixel(0, 0), 0x808080u);
}

TEST_F(PageRender, ARubyGroupSpreadsItsReadingOverItsCells) {
  Show("<RUBY VALUE=かなだ>漢字</RUBY>");
  ASSERT_EQ(Char(0, 0).Height, 24);  // 16 + ruby 8
  // Reading at size 8 (6-pixel boxes, inset 1), three characters over 32 pixels:
  // x = round((2k - 1) x 32 / 6) - 4 = 1, 12, 23.
  EXPECT_EQ(InkedColumns(word.PageCoverage, 3),
            (std::vector<int>{2, 3, 4, 5, 6, 7, 13, 14, 15, 16, 17, 18, 24, 25, 26, 27, 28, 29}));
  // The kanji drawn 8 lower.
  EXPECT_TRUE(InkedColumns(word.PageCoverage, 9).empty());
  EXPECT_EQ(InkedColumns(word.PageCoverage, 10).size(), 24u);
  // The first character's rectangle holds the whole reading, so it appears with it.
  EXPECT_EQ(Char(0, 0).LastDrawn, TRect(2, 1, 30, 22));
  EXPECT_EQ(Char(0, 1).LastDrawn, TRect(18, 10, 30, 22));
}

TEST_F(PageRender, HoveredCharactersAreRenderedAgainInPlace) {
  word.Settings.BorderWidth = 1;  // drawn through the colour surface, neighbours overlap
  word.Settings.ActiveLinkColor = 0x0000FF;
  TWdPage& page = Show("あ<A HREF=\"go\">いう</A>え");
  std::vector<TWdChar*> link{&Char(0, 1), &Char(0, 2)};
  for (TWdChar* c : link) c->LinkHover = true;
  TRect area = RenderChars(word, page, cache, link);
  EXPECT_EQ(area, Union(link[0]->LastDrawn, link[1]->LastDrawn));
  auto color = Copy(word.PageColor), coverage = Copy(word.PageCoverage);
  // The same as rendering the whole page in that state.
  RenderPage(word, page, cache, 32);
  EXPECT_TRUE(SamePixels(*color, word.PageColor));
  EXPECT_TRUE(SamePixels(*coverage, word.PageCoverage));
  EXPECT_EQ(word.PageColor.GetPixel(26, 8), 0xFF0000u);  // hover colour 0x0000FF is red
  EXPECT_TRUE(word.PageColor.GetClipRect().Empty());      // the clip is given back
}

TEST_F(PageRender, ResetHidesEveryGlyphAndDrawingFollowsAlpha) {
  word.Settings.TextColor = 0x0000FF;  // red
  Show("あい", true);
  EXPECT_EQ(Char(0, 0).Alpha, 0);
  EXPECT_EQ(Char(0, 1).Alpha, 0);
  auto target = Surface(32, 16, 32, 0x000000);
  DrawChar(word, Char(0, 0), *target, 0, 0);
  EXPECT_EQ(target->GetPixel(8, 8), 0u);
  Char(0, 0).Alpha = 128;
  DrawChar(word, Char(0, 0), *target, 0, 0);
  EXPECT_EQ(target->GetPixel(8, 8), static_cast<uint32_t>((255 * (128 * 255 >> 8)) >> 8) << 16);
}

TEST_F(PageRender, BorderedCharactersAreDrawnThroughTheColourSurface) {
  word.Settings.BorderWidth = 1;
  word.Settings.BorderColor = 0x00FF00;
  word.Settings.TextColor = 0xFFFFFF;
  word.Settings.Smoothing = 0;  // aliased: a 10 x 10 box at (3 + 1, 3 + 1) of the page
  Show("あ");
  auto target = Surface(40, 30, 32, 0x000080);
  DrawChar(word, Char(0, 0), *target, 10, 5);
  EXPECT_EQ(target->GetPixel(10 + 3, 5 + 8), 0x00FE00u);  // border (255 x 255 >> 8)
  EXPECT_EQ(target->GetPixel(10 + 8, 5 + 8), 0xFFFFFFu);  // face
  EXPECT_EQ(target->GetPixel(10 + 2, 5 + 8), 0x000080u);  // outside: untouched
}

}  // namespace
}  // namespace nova::test
