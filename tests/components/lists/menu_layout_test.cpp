// Menu items and layout: the text split into items, the top index clamped, and the size made
// of the labels, the border line, the border cells, the margins, the scroll bar and the check
// marks.
#include <gtest/gtest.h>

#include "components/lists/list_box_picture.h"
#include "menu_fixtures.h"
#include "text/label_list.h"

namespace nova::test {
namespace {

TEST(MenuItems, TheTextSplitsIntoItemsWithoutControlBytesAtItsEnds) {
  struct Case {
    std::string text;
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {"\r\nA\r\nB\r\n", {"A", "B"}},
      {"A\r\n\r\nB", {"A", "", "B"}},
      {"", {}},
      {"\x01\x02 X\t\r\n", {" X"}},
      {"one\ntwo\rthree", {"one", "two", "three"}},
  };
  for (const Case& c : cases) {
    MenuScene f;
    TNovaMenu* m = f.Menu("m", {{PR_TEXT, Str(c.text)}});
    ASSERT_EQ(m->ItemCount(), static_cast<int>(c.items.size())) << c.text;
    for (size_t i = 0; i < c.items.size(); ++i) EXPECT_EQ(m->ItemText(static_cast<int>(i)), c.items[i]);
    EXPECT_EQ(ReadProperty(*m, PR_COUNT).Int, static_cast<int32_t>(c.items.size()));
    EXPECT_EQ(ReadProperty(*m, PR_TEXT).Str, c.text);  // read back as written
  }
}

TEST(MenuItems, NewTextClearsTheChecksAndScrollsToTheTop) {
  MenuScene f;
  TNovaMenu* m = f.Menu("m", {{PR_TEXT, Str("a\r\nb\r\nc\r\nd")}, {PR_ROWCOUNT, Int(2)}});
  m->SetItemCheck(1, true);
  WriteProperty(*m, PR_TOPINDEX, Int(2));
  ASSERT_EQ(m->TopIndex(), 2);
  WriteProperty(*m, PR_TEXT, Str("x\r\ny\r\nz"));
  EXPECT_EQ(m->TopIndex(), 0);
  EXPECT_FALSE(m->GetItemCheck(1));
  // Items beyond the list read unchecked and take no check.
  m->SetItemCheck(5, true);
  EXPECT_FALSE(m->GetItemCheck(5));
  EXPECT_FALSE(m->GetItemCheck(-1));
}

TEST(MenuItems, TheTopIndexStaysWithinTheItemsThatDoNotFit) {
  struct Case {
    int items, rows, set, expected;
  };
  const Case cases[] = {{10, 4, 9, 6}, {10, 4, 3, 3}, {10, 4, -2, 0}, {3, 4, 2, 0}, {4, 4, 1, 0}};
  for (const Case& c : cases) {
    MenuScene f;
    std::string text;
    for (int i = 0; i < c.items; ++i) text += "i" + std::to_string(i) + "\r\n";
    TNovaMenu* m = f.Menu("m", {{PR_TEXT, Str(text)}, {PR_ROWCOUNT, Int(c.rows)}});
    WriteProperty(*m, PR_TOPINDEX, Int(c.set));
    EXPECT_EQ(ReadProperty(*m, PR_TOPINDEX).Int, c.expected) << c.items << " " << c.rows << " " << c.set;
    EXPECT_EQ(m->Scrolling(), c.items > c.rows);
  }
}

// The expected size of a menu after the layout rules, from its parts.
struct Parts {
  int32_t textWidth, rows, rowHeight, lineSpace, border, marginX, marginY;
  int32_t left = 0, right = 0, top = 0, bottom = 0, bar = 0, check = 0;
  int32_t Width() const { return textWidth + 2 * border + left + right + 2 * marginX + bar + check; }
  int32_t Height() const {
    const int32_t text = rows > 0 ? rows * rowHeight + (rows - 1) * lineSpace : 0;
    return text + 2 * border + top + bottom + 2 * marginY;
  }
};

int32_t Widest(TKtLabelList& list) {
  int32_t w = 0;
  for (auto& l : list.Labels) w = std::max(w, l->Width);
  return w;
}

TEST(MenuLayout, TheSizeAddsLabelsBorderCellsMarginsBarAndChecks) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, TPropValue>> props;
    int32_t left, right, top, bottom, bar, check, rows;
  };
  const std::vector<std::pair<int, TPropValue>> base = {
      {PR_TEXT, Str("AB\r\nCDEF\r\nG\r\nHI\r\nJ\r\nK")}, {PR_LINESPACE, Int(6)}, {PR_BORDERWIDTH, Int(2)},
      {PR_MARGINX, Int(3)}, {PR_MARGINY, Int(4)}};
  auto with = [&](std::vector<std::pair<int, TPropValue>> more) {
    auto p = base;
    p.insert(p.end(), more.begin(), more.end());
    return p;
  };
  const Case cases[] = {
      {"plain", with({{PR_ROWCOUNT, Int(6)}}), 0, 0, 0, 0, 0, 0, 6},
      {"cells", with({{PR_ROWCOUNT, Int(8)}, {PR_BORDERSOURCETL, Str("tl.bri")}, {PR_BORDERSOURCETC, Str("tc.bri")},
                      {PR_BORDERSOURCETR, Str("tr.bri")}, {PR_BORDERSOURCECL, Str("cl.bri")},
                      {PR_BORDERSOURCECC, Str("cc.bri")}, {PR_BORDERSOURCECR, Str("cr.bri")},
                      {PR_BORDERSOURCEBL, Str("bl.bri")}, {PR_BORDERSOURCEBC, Str("bc.bri")},
                      {PR_BORDERSOURCEBR, Str("br.bri")}}),
       3, 6, 4, 7, 0, 0, 6},
      {"missing cells count nothing", with({{PR_ROWCOUNT, Int(6)}, {PR_BORDERSOURCETL, Str("none.bri")},
                                            {PR_BORDERSOURCEBR, Str("gone.bri")}}),
       0, 0, 0, 0, 0, 0, 6},
      {"scroll bar and checks", with({{PR_ROWCOUNT, Int(2)}, {PR_SCROLLSOURCE, Str("scroll.bri")},
                                      {PR_CHECKSOURCE, Str("check.bri")}}),
       0, 0, 0, 0, 5, 6, 2},
      {"no bar while all fit", with({{PR_ROWCOUNT, Int(6)}, {PR_SCROLLSOURCE, Str("scroll.bri")}}), 0, 0, 0, 0, 0, 0,
       6},
      {"no rows", with({{PR_ROWCOUNT, Int(0)}}), 0, 0, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    MenuScene f;
    const std::pair<const char*, std::pair<int, int>> sizes[] = {
        {"tl.bri", {3, 2}}, {"tc.bri", {5, 4}}, {"tr.bri", {6, 3}}, {"cl.bri", {2, 5}}, {"cc.bri", {1, 1}},
        {"cr.bri", {4, 5}}, {"bl.bri", {3, 6}}, {"bc.bri", {1, 7}}, {"br.bri", {2, 2}}};
    for (const auto& [file, wh] : sizes) f.AddFile(file, BriBytes({Solid(wh.first, wh.second, 0x808080)}));
    TNovaMenu* m = f.Menu("m", c.props);
    m->Layout();
    const Parts p{Widest(m->Labels()), c.rows, m->RowHeight(), 6, 2, 3, 4,
                  c.left, c.right, c.top, c.bottom, c.bar, c.check};
    EXPECT_EQ(m->RowHeight(), 16) << c.what;
    EXPECT_EQ(p.textWidth, 32) << c.what;  // "CDEF": four half-width characters
    EXPECT_EQ(m->Width(), p.Width()) << c.what;
    EXPECT_EQ(m->Height(), p.Height()) << c.what;
  }
}

TEST(MenuLayout, TheWiderOfTheNormalAndHoverLabelsSetsTheWidth) {
  MenuScene f;
  TNovaMenu* m = f.Menu("m", {{PR_TEXT, Str("AB\r\nCDEF")}, {PR_ROWCOUNT, Int(2)}, {PR_FONTHOVERBORDER, Int(2)}});
  m->Layout();
  const int32_t hoverWidth = Widest(m->HoverLabels());
  EXPECT_EQ(hoverWidth, Widest(m->Labels()) + 4 * 4);  // every character grows by twice the border
  EXPECT_EQ(m->Width(), hoverWidth);
  EXPECT_EQ(m->Height(), 2 * 16);  // the rows keep the normal labels' height
}

TEST(MenuLayout, RowsAreTheFontHeightApartWhateverTheTextBorder) {
  struct Case {
    int32_t border, hoverBorder;
  };
  const Case cases[] = {{0, 0}, {2, 0}, {0, 3}, {5, 5}};
  for (const Case& c : cases) {
    MenuScene f;
    TNovaMenu* m = f.Menu("m", {{PR_TEXT, Str("A\r\nB\r\nC")}, {PR_ROWCOUNT, Int(3)}, {PR_LINESPACE, Int(4)},
                                {PR_MARGINY, Int(3)}, {PR_FONTBORDER, Int(c.border)},
                                {PR_FONTHOVERBORDER, Int(c.hoverBorder)}});
    m->Layout();
    ASSERT_GT(m->Labels().Labels[0]->Height, 0);
    EXPECT_EQ(m->RowHeight(), 16) << c.border << " " << c.hoverBorder;
    EXPECT_EQ(m->Height(), 3 * 16 + 2 * 4 + 2 * 3) << c.border << " " << c.hoverBorder;
    // Each row answers the pointer from h = min(3, 4 / 2) above its text, every 16 + 4 pixels.
    const TNovaMenu::TGeometry g = m->Geometry();
    EXPECT_EQ(g.Step, 20);
    for (int32_t row = 0; row < 3; ++row) {
      const int32_t top = g.Y0 - 2 + row * 20;
      EXPECT_EQ(m->ItemAt(TPoint{g.X0, top}), row) << c.border << " row " << row;
      EXPECT_EQ(m->ItemAt(TPoint{g.X0, top - 1}), row - 1) << c.border << " row " << row;
    }
    EXPECT_EQ(m->ItemAt(TPoint{g.X0, g.Y0 + 2 * 20 + 16 + 2}), -1) << c.border;
  }
}

TEST(MenuLayout, ChangesLayOutAgainAtTheNextUpdate) {
  MenuScene f;
  TNovaMenu* m = f.Menu("m", {{PR_TEXT, Str("AB")}, {PR_ROWCOUNT, Int(3)}});
  f.Step();
  const int32_t w = m->Width();
  WriteProperty(*m, PR_TEXT, Str("ABCD\r\nE"));
  EXPECT_TRUE(m->LayoutDirty());
  f.Step();
  EXPECT_FALSE(m->LayoutDirty());
  EXPECT_EQ(m->Width(), w + 16);
  EXPECT_EQ(m->Height(), 2 * 16);
  WriteProperty(*m, PR_MARGINY, Int(5));
  f.Step();
  EXPECT_EQ(m->Height(), 2 * 16 + 10);
}

TEST(MenuLayout, PatternStartsFollowTheAlignment) {
  struct Case {
    int32_t cell, image;
    uint8_t align;
    int32_t start;
  };
  const Case cases[] = {{10, 3, 0, 0}, {10, 3, 1, 0}, {11, 3, 1, -1}, {10, 3, 2, -1}, {9, 3, 2, 0},
                        {4, 9, 1, -2}, {4, 9, 2, -5}, {4, 9, 0, 0},   {5, 0, 1, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(AlignedPatternStart(c.cell, c.image, c.align), c.start) << c.cell << " " << c.image << " " << +c.align;
}

}  // namespace
}  // namespace nova::test
