// Message text in square cells: every character, single- or double-byte, in any face, is as
// wide as its size, so the caret, the pages and the history's rows do not depend on the font's
// own widths (the test rasteriser's single-byte glyphs advance only half the size); a
// half-width glyph is drawn in the middle of its cell.
#include <gtest/gtest.h>

#include <cstdlib>

#include "components/text/mes_fixtures.h"

namespace nova::test {
namespace {

TEST(MesCells, TheCaretMovesBySquareCells) {
  struct Case {
    const char* face;  // empty: the box's default
    const char* markup;
    int32_t caretX;
  };
  const Case cases[] = {
      {"", "iiii", 80},
      {"", "WWWW", 80},
      {"", "あいうえ", 80},
      {"", "iあWい", 80},
      {"ＭＳ Ｐゴシック", "iiii", 80},
      {"ＭＳ Ｐゴシック", "WWWW", 80},
      // Italic adds a fifth of the size to a cell, a border twice its width.
      {"", "<I>ii</I>", 48},
      {"", "<FONT BORDER=2>iあ</FONT>", 48},
      // A size of its own: cells of that size.
      {"", "<FONT SIZE=30>ii</FONT>i", 80},
  };
  for (const Case& c : cases) {
    MesFixture f;
    TNovaMes* box = f.Box("mes", 0, 0, 300, 200);
    MesFixture::Set(*box, PR_FONTHEIGHT, 20);
    MesFixture::Set(*box, PR_TEXTDELAY, 0);
    if (*c.face) MesFixture::SetStr(*box, PR_FONTNAME, c.face);
    MesFixture::SetStr(*box, PR_TEXT, c.markup);
    f.Frames(3);
    EXPECT_EQ(MesFixture::Int(*box, PR_CARETX), c.caretX) << c.face << " " << c.markup;
  }
}

TEST(MesCells, RowsAndPagesBreakAtSquareCells) {
  // A box 100 wide holds five cells of 20 to a row and two rows to a page of 40.
  struct Case {
    const char* markup;
    int32_t pages;
  };
  const Case cases[] = {
      {"i i i i i i i i i i", 3},             // "i " takes 40: two to a row, five rows
      {"aあaあaあaあaあaあ", 2},              // twelve cells, three rows
      {"あいうえおかきくけこ", 1},            // ten cells, two rows
      {"ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿ", 1},               // a single-byte word is never split: one row
      {"iiiii iiiii iiiii iiiii iiiii", 3},  // five words of five cells, one to a row
  };
  for (const Case& c : cases) {
    MesFixture f;
    TNovaMes* box = f.Box("mes", 0, 0, 100, 40);
    MesFixture::Set(*box, PR_FONTHEIGHT, 20);
    MesFixture::SetStr(*box, PR_TEXT, c.markup);
    EXPECT_EQ(MesFixture::Int(*box, PR_COUNT), c.pages) << c.markup;
  }
}

TEST(MesCells, HistoryRowsAreLaidOutInSquareCells) {
  MesFixture f;
  f.texts.Add("p.nsb", {Compiled("i i i i i i i i i i", 0), Compiled("iiii<BR>ii", 0)});
  TNovaMes* box = f.Box("mes", 0, 0, 320, 100);
  TNovaHistoryFormat& narrow = f.history.GetFormat("narrow");
  narrow.Settings = {20, 0, 0, 100, 1000, 2};  // size 20, 100 wide, spacing 2
  for (int32_t command : {0, 1}) {
    box->ClearReadRequest();
    box->SetReadRequest("p.nsb", command);
    box->ShowCompiledText("p.nsb", command);
  }
  box->ClearText();
  const TNovaNewHistory& h = narrow.History;
  ASSERT_TRUE(h.RowMode());
  ASSERT_EQ(h.Pages.size(), 1u);
  // Five rows of two "i " and two rows of the second text, each 20 high plus the spacing.
  std::vector<int32_t> heights, first;
  for (const THistRow& r : h.Pages[0]->Rows) heights.push_back(r.Height), first.push_back(r.FirstGlyph);
  EXPECT_EQ(heights, std::vector<int32_t>(7, 22));
  EXPECT_EQ(first, (std::vector<int32_t>{0, 4, 8, 12, 16, 0, 5}));
  EXPECT_EQ(h.Count(), 7 * 22);
}

TEST(MesCells, AHalfWidthGlyphIsDrawnInTheMiddleOfItsCell) {
  MesFixture f;
  TNovaMes* box = f.Box("mes", 0, 0, 200, 100);
  MesFixture::Set(*box, PR_FONTHEIGHT, 20);
  MesFixture::Set(*box, PR_TEXTDELAY, 0);
  MesFixture::Set(*box, PR_FONTCOLOR, 0xFFFFFF);
  MesFixture::SetStr(*box, PR_TEXT, "ii");
  f.back.Fill(0);
  f.Frames(3);
  // The inked columns of each 20-pixel cell, on the row through the glyphs' middle.
  for (int cell = 0; cell < 2; ++cell) {
    int left = -1, right = -1;
    for (int x = cell * 20; x < cell * 20 + 20; ++x)
      if (f.back.GetPixel(x, 10) != 0) {
        if (left < 0) left = x;
        right = x;
      }
    ASSERT_GE(left, 0) << "cell " << cell;
    const int before = left - cell * 20, after = cell * 20 + 19 - right;
    EXPECT_LE(std::abs(before - after), 1) << "cell " << cell << ": " << left << ".." << right;
    EXPECT_GE(before, 5) << "cell " << cell;
  }
}

}  // namespace
}  // namespace nova::test
