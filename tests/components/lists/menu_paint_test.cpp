// Menu painting against reference draws: the border line, the background, the rows with the
// hover highlight, the hover labels and the check marks; the blend modes; the border cells'
// pattern alignment; the scroll bar's parts; and what repaints after a change.
#include <gtest/gtest.h>

#include "components/images/nova_box.h"
#include "menu_fixtures.h"
#include "text/label_list.h"

namespace nova::test {
namespace {

// Counts the pixels where two surfaces differ.
int Differences(TCustomDIBX& a, TCustomDIBX& b) {
  int n = 0;
  for (int y = 0; y < a.GetHeight(); ++y)
    for (int x = 0; x < a.GetWidth(); ++x) n += a.GetPixel(x, y) != b.GetPixel(x, y);
  return n;
}

TEST(MenuPaint, RowsHoverAndChecksMatchTheReferenceDraw) {
  MenuScene f;
  TNovaMenu* m = f.Menu("m", {{PR_LEFT, Int(10)},
                              {PR_TOP, Int(10)},
                              {PR_TEXT, Str("AB\r\nCD\r\nEF")},
                              {PR_ROWCOUNT, Int(3)},
                              {PR_BORDERWIDTH, Int(1)},
                              {PR_BORDERCOLOR, Int(0x00FFFF)},
                              {PR_COLOR, Int(0x402010)},
                              {PR_MARGINX, Int(4)},
                              {PR_MARGINY, Int(3)},
                              {PR_LINESPACE, Int(4)},
                              {PR_CHECKSOURCE, Str("check.bri")},
                              {PR_FONTCOLOR, Int(0xFFFFFF)},
                              {PR_FONTHOVERCOLOR, Int(0x0000FF)},
                              {PR_HOVERCOLOR, Int(0x008000)}});
  m->SetItemCheck(1, true);
  m->SetItemCheck(2, true);
  m->SetHovered(2);
  f.Step();

  // By the rules: outer (10,10)-(42,74), inner one pixel in; text at x0 = 11 + 4 + 6 = 21,
  // rows from y0 = 11 + 3 = 14 every 16 + 4 pixels; the highlight h = min(3, 4 / 2) = 2 around
  // the row, from the inner left + 1 over 2 * 4 + 16 + 6 - 2 pixels.
  EXPECT_EQ(m->Width(), 32);
  EXPECT_EQ(m->Height(), 64);
  TDIBX ref;
  ref.SetSize(160, 120, 32);
  ref.Fill(0);
  ref.FrameRect(TRect{10, 10, 42, 74}, 1, static_cast<uint32_t>(ref.ColorToPixel(0x00FFFF)));
  ref.FillRect(TRect{11, 11, 41, 73}, static_cast<uint32_t>(ref.ColorToPixel(0x402010)));
  TKtLabelList normal(f.glyphs), hover(f.glyphs);
  for (TKtLabelList* l : {&normal, &hover}) {
    l->FontSize = 16;
    l->Quality = 3;
    l->Target = &ref;
  }
  normal.TextColor = 0xFFFFFF;
  hover.TextColor = 0x0000FF;
  normal.Add("AB");
  normal.Add("CD");
  hover.Add("EF");
  normal.MeasureAll();
  hover.MeasureAll();
  normal.Draw(*normal.Labels[0], 21, 14);
  normal.Draw(*normal.Labels[1], 21, 34);
  ref.FillRect(TRect::FromSize(21 - 6, 34 + 5, 6, 6), CellColour(0));
  ref.FillRect(TRect{12, 52, 40, 72}, static_cast<uint32_t>(ref.ColorToPixel(0x008000)));
  hover.Draw(*hover.Labels[0], 21, 54);
  ref.FillRect(TRect::FromSize(21 - 6, 54 + 5, 6, 6), CellColour(1));
  EXPECT_EQ(Differences(f.back, ref), 0);
  // Not two empty pictures: the highlight, the hovered text and a check mark are there.
  EXPECT_EQ(f.Px(12, 52), static_cast<uint32_t>(ref.ColorToPixel(0x008000)));
  EXPECT_EQ(f.Px(15, 39), CellColour(0));
  int hoverText = 0;
  for (int y = 54; y < 70; ++y)
    for (int x = 21; x < 37; ++x) hoverText += f.Px(x, y) != static_cast<uint32_t>(ref.ColorToPixel(0x008000));
  EXPECT_GT(hoverText, 20);
}

TEST(MenuPaint, TheBlendValueChoosesTheDrawingMode) {
  for (int32_t blend : {255, 128, 300, 0}) {
    MenuScene f;
    f.Menu("m", {{PR_LEFT, Int(5)}, {PR_TOP, Int(6)}, {PR_TEXT, Str("")}, {PR_MARGINX, Int(10)},
                 {PR_MARGINY, Int(8)}, {PR_BORDERWIDTH, Int(2)}, {PR_BORDERCOLOR, Int(0x3060C0)},
                 {PR_COLOR, Int(0x204080)}, {PR_ALPHA, Int(blend)}});
    f.back.Fill(0x101010);
    f.scene.Displayed().SetColor(-1);  // keep the backdrop
    f.Step();
    TDIBX ref;
    ref.SetSize(160, 120, 32);
    ref.Fill(0x101010);
    const TRect outer = TRect::FromSize(5, 6, 24, 20), inner = TRect::FromSize(7, 8, 20, 16);
    auto px = [&](int32_t c) { return static_cast<uint32_t>(ref.ColorToPixel(blend >= 256 ? ScaleColor(c, blend - 256) : c)); };
    if (blend == 255) {
      ref.FrameRect(outer, 2, px(0x3060C0));
      ref.FillRect(inner, px(0x204080));
    } else if (blend > 255) {
      ref.FrameRectAdd(outer, 2, px(0x3060C0));
      ref.FillRectAdd(inner, px(0x204080));
    } else if (blend > 0) {
      ref.FrameRectAlpha(outer, 2, blend, px(0x3060C0));
      ref.FillRectAlpha(inner, px(0x204080), blend);
    }
    EXPECT_EQ(Differences(f.back, ref), 0) << blend;
  }
}

TEST(MenuPaint, BorderCellPatternsFollowTheirAlignment) {
  struct Case {
    int prop;
    int32_t align;
    bool vertical;
    uint32_t first, second;  // the colours at the cell's first two pixels along the axis
  };
  const Case cases[] = {
      {PR_BORDERHALIGNC, 0, false, ColumnColour(0), ColumnColour(1)},
      {PR_BORDERHALIGNC, 1, false, ColumnColour(1), ColumnColour(2)},  // 8 mod 3 = 2: starts 1 in
      {PR_BORDERHALIGNC, 2, false, ColumnColour(2), ColumnColour(0)},  // ends at the right edge
      {PR_BORDERVALIGNC, 0, true, ColumnColour(0), ColumnColour(1)},
      {PR_BORDERVALIGNC, 2, true, ColumnColour(1), ColumnColour(2)},   // 4 mod 3 = 1
  };
  for (const Case& c : cases) {
    MenuScene f;
    f.AddFile("cols.bri", ColumnPattern(3, 1));
    f.AddFile("rows.bri", ColumnPattern(1, 3, true));
    f.Menu("m", {{PR_LEFT, Int(20)}, {PR_TOP, Int(30)}, {PR_MARGINX, Int(4)}, {PR_MARGINY, Int(2)},
                 {PR_BORDERSOURCECC, Str(c.vertical ? "rows.bri" : "cols.bri")}, {c.prop, Int(c.align)}});
    f.Step();
    // The background cell fills the whole 8 x 4 menu.
    const uint32_t a = c.vertical ? f.Px(20, 30) : f.Px(20, 30), b = c.vertical ? f.Px(20, 31) : f.Px(21, 30);
    EXPECT_EQ(a, c.first) << c.prop << " " << c.align;
    EXPECT_EQ(b, c.second) << c.prop << " " << c.align;
    EXPECT_EQ(f.Px(28, 30), 0u);  // nothing beyond the menu
  }
}

TEST(MenuPaint, CornerAndEdgeCellsSitAroundTheTextArea) {
  MenuScene f;
  f.AddFile("tl.bri", BriBytes({Solid(3, 2, 0xFF0000)}));
  f.AddFile("br.bri", BriBytes({Solid(2, 5, 0x00FF00)}));
  f.AddFile("l.bri", BriBytes({Solid(1, 1, 0x0000FF)}));
  TNovaMenu* m = f.Menu("m", {{PR_LEFT, Int(10)}, {PR_TOP, Int(20)}, {PR_TEXT, Str("AB")},
                              {PR_BORDERSOURCETL, Str("tl.bri")}, {PR_BORDERSOURCEBR, Str("br.bri")},
                              {PR_BORDERSOURCECL, Str("l.bri")}});
  f.Step();
  // Columns 3 (left) and 2 (right), rows 2 (top) and 5 (bottom) around 16 x 16 of text.
  ASSERT_EQ(m->Width(), 3 + 16 + 2);
  ASSERT_EQ(m->Height(), 2 + 16 + 5);
  EXPECT_EQ(f.Px(10, 20), 0xFF0000u);
  EXPECT_EQ(f.Px(12, 21), 0xFF0000u);
  EXPECT_EQ(f.Px(29, 38), 0x00FF00u);  // from the right column, below the bottom row's start
  EXPECT_EQ(f.Px(30, 42), 0x00FF00u);
  // The 1-pixel left cell is right-aligned against the 3-pixel column, between the rows.
  EXPECT_EQ(f.Px(12, 22), 0x0000FFu);
  EXPECT_EQ(f.Px(12, 37), 0x0000FFu);
  EXPECT_EQ(f.Px(11, 22), 0u);
}

TEST(MenuPaint, TheScrollBarShowsArrowsTrackAndThumb) {
  MenuScene f;
  TNovaMenu* m = f.Menu("m", {{PR_TEXT, Str("a\r\nb\r\nc\r\nd\r\ne\r\nf")}, {PR_ROWCOUNT, Int(2)},
                              {PR_SCROLLSOURCE, Str("scroll.bri")}});
  f.Step();
  // 8 pixels of text and a 5-pixel bar; 32 high: arrows at 0 and 28, thumb at 4 + 20 * top / 4.
  ASSERT_EQ(m->Width(), 13);
  ASSERT_EQ(m->Height(), 32);
  const int x = 8;
  EXPECT_EQ(f.Px(x, 0), CellColour(0));
  EXPECT_EQ(f.Px(x + 4, 3), CellColour(0));
  EXPECT_EQ(f.Px(x, 28), CellColour(2));
  EXPECT_EQ(f.Px(x, 4), CellColour(6));
  EXPECT_EQ(f.Px(x, 8), CellColour(4));
  EXPECT_EQ(f.Px(x, 27), CellColour(4));
  WriteProperty(*m, PR_TOPINDEX, Int(4));
  f.Step();
  EXPECT_EQ(f.Px(x, 24), CellColour(6));
  EXPECT_EQ(f.Px(x, 4), CellColour(4));
  // Pressing the up arrow shows its pressed cell while held.
  f.MoveMouse(x + 1, 1);
  f.PressLeft();
  f.Step();
  EXPECT_EQ(f.Px(x, 0), CellColour(1));
  f.Release();
  f.Step();
  EXPECT_EQ(f.Px(x, 0), CellColour(0));
}

TEST(MenuPaint, WhatTheMenuShowsRepaintsWhenItChanges) {
  struct Case {
    const char* what;
    std::function<void(TNovaMenu&)> change;
  };
  const Case cases[] = {
      {"hover", [](TNovaMenu& m) { m.SetHovered(1); }},
      {"check", [](TNovaMenu& m) { m.SetItemCheck(0, true); }},
      {"top", [](TNovaMenu& m) { WriteProperty(m, PR_TOPINDEX, Int(1)); }},
      {"hover colour", [](TNovaMenu& m) { WriteProperty(m, PR_HOVERCOLOR, Int(0x00FF00)); }},
      {"font colour", [](TNovaMenu& m) { WriteProperty(m, PR_FONTCOLOR, Int(0x00FF00)); }},
      {"alpha", [](TNovaMenu& m) { WriteProperty(m, PR_ALPHA, Int(100)); }},
      {"border colour", [](TNovaMenu& m) { WriteProperty(m, PR_BORDERCOLOR, Int(0xFF)); }},
      {"alignment", [](TNovaMenu& m) { WriteProperty(m, PR_HALIGN, Int(2)); }},
      {"text", [](TNovaMenu& m) { WriteProperty(m, PR_TEXT, Str("z")); }},
  };
  for (const Case& c : cases) {
    MenuScene f;
    TNovaMenu* m = f.Menu("m", {{PR_LEFT, Int(40)}, {PR_TOP, Int(50)}, {PR_TEXT, Str("a\r\nb\r\nc")},
                                {PR_ROWCOUNT, Int(2)}, {PR_HOVERCOLOR, Int(0xFF0000)}});
    f.Step();
    EXPECT_TRUE(f.Step().empty()) << c.what;  // settled: nothing to repaint
    const TRect drawn = m->DrawnRect();
    c.change(*m);
    const std::vector<TRect> dirty = f.Step();
    bool covers = false;
    for (const TRect& r : dirty) covers |= !Intersect(r, drawn).Empty();
    EXPECT_TRUE(covers) << c.what;
  }
}

}  // namespace
}  // namespace nova::test
