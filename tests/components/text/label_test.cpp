// Captions: lines measured and rendered with the glyph cache, aligned, drawn unzoomed, zoomed and
// turned; image captions drawing cells of a picture.
#include <gtest/gtest.h>

#include <cstring>

#include "components/text/mes_fixtures.h"
#include "components/text/nova_cglabel.h"
#include "components/text/nova_label.h"
#include "text/label_list.h"

namespace nova::test {
namespace {

bool SameCoverage(TCustomDIBX& a, TCustomDIBX& b) {
  if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
  for (int y = 0; y < a.GetHeight(); ++y)
    for (int x = 0; x < a.GetWidth(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
  return true;
}

TNovaLabel* MakeLabel(MesFixture& f, const std::string& text) {
  auto* label = f.scene.Make<TNovaLabel>(f.services);
  label->SetParent(&f.scene.Displayed());
  // The creation defaults of the Caption command, then the caption's own settings.
  for (auto [id, v] : {std::pair{PR_FONTHEIGHT, 16}, {PR_ZOOMX, 256}, {PR_ZOOMY, 256}, {PR_ALPHA, 255}})
    MesFixture::Set(*label, id, v);
  MesFixture::SetFlag(*label, PR_ANTIALIAS, true);
  MesFixture::Set(*label, PR_FONTCOLOR, 0x00FF00);
  MesFixture::Set(*label, PR_LEFT, 5);
  MesFixture::Set(*label, PR_TOP, 7);
  MesFixture::SetStr(*label, PR_TEXT, text);
  return label;
}

TEST(Label, CentredLinesAreTheGlyphCachesRendering) {
  MesFixture f;
  TNovaLabel* label = MakeLabel(f, "AB\r\nABCD");
  MesFixture::Set(*label, PR_HALIGN, HA_CENTER);
  f.glyphs.SetQuality(3);
  const std::string face = DefaultCaptionFontName();
  const int32_t adv = f.glyphs.GetGlyph('A', face, 0, 16).Advance();
  ASSERT_EQ(f.glyphs.GetGlyph('D', face, 0, 16).Advance(), adv);  // the headless faces: one width
  EXPECT_EQ(MesFixture::Int(*label, PR_WIDTH), 4 * adv);
  EXPECT_EQ(MesFixture::Int(*label, PR_HEIGHT), 32);
  EXPECT_EQ(MesFixture::Str(*label, PR_TEXT), "AB\r\nABCD");

  f.back.Fill(0);
  f.scene.Displayed().AddDirtyRect(TRect{0, 0, 320, 240});
  f.Frame();
  // The expected picture: each line's glyphs rendered by the cache, the short line centred.
  TDIBX color, coverage, expected;
  color.SetSize(4 * adv, 32, 32);
  coverage.SetSize(4 * adv, 32, 8);
  expected.SetSize(320, 240, 32);
  color.Fill(0);
  coverage.Fill(0);
  expected.Fill(0);
  TGlyphPaint paint;
  paint.TextPixel = 0x00FF00;
  const char* lines[] = {"AB", "ABCD"};
  for (int l = 0; l < 2; ++l) {
    int32_t x = (4 * adv - static_cast<int32_t>(std::strlen(lines[l])) * adv) / 2;
    TRect touched;
    for (const char* c = lines[l]; *c; ++c, x += adv)
      touched = Union(touched, RenderGlyph(f.glyphs.GetGlyph(static_cast<uint8_t>(*c), face, 0, 16), color, coverage,
                                           TRect::FromSize(x, l * 16, adv, 16), paint));
    touched = Intersect(touched, TRect{0, 0, 4 * adv, 32});
    EXPECT_EQ(label->LineRects()[static_cast<size_t>(l)], touched);
    expected.DrawMonoMask(5 + touched.Left, 7 + touched.Top, 255, 0x00FF00, false, false, touched, &coverage);
  }
  EXPECT_TRUE(SameCoverage(label->CoverageSurface(), coverage));
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) ASSERT_EQ(f.back.GetPixel(x, y), expected.GetPixel(x, y)) << x << "," << y;
}

TEST(Label, TextLinesZoomAndTurn) {
  MesFixture f;
  TNovaLabel* label = MakeLabel(f, "AB\r\n");
  EXPECT_EQ(label->Lines().size(), 1u);  // a final line break adds no line
  const int32_t w = MesFixture::Int(*label, PR_WIDTH);
  MesFixture::Set(*label, PR_ZOOMX, 512);
  MesFixture::Set(*label, PR_ZOOMY, 0);  // at least 1
  EXPECT_EQ(MesFixture::Int(*label, PR_WIDTH), 2 * w);
  EXPECT_EQ(MesFixture::Int(*label, PR_ZOOMY), 1);
  MesFixture::Set(*label, PR_ZOOMY, 256);
  // Zoomed: stretched over the control's rectangle, nothing outside it.
  f.back.Fill(0);
  f.scene.Displayed().AddDirtyRect(TRect{0, 0, 320, 240});
  f.Frame();
  const TRect drawn = label->DrawnRect();
  int inside = 0, outside = 0;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x)
      if (f.back.GetPixel(x, y)) (drawn.Contains(x, y) ? inside : outside)++;
  EXPECT_GT(inside, 0);
  EXPECT_EQ(outside, 0);
  // A quarter turn about the anchor: the hit rectangle is the turned box, and a point of it
  // hits the caption.
  MesFixture::Set(*label, PR_ZOOMX, 256);
  MesFixture::Set(*label, PR_LEFT, 40);
  MesFixture::Set(*label, PR_ANGLE, 64);
  const TRect turned = label->HitRect();
  EXPECT_EQ(turned.Width(), 17);  // the 16-pixel height, turned, plus the far edge pixel
  EXPECT_EQ(turned.Height(), w + 1);
  EXPECT_EQ(f.scene.Displayed().HitTest(TPoint{turned.Left + 4, turned.Top + 4}, kGeneralModes), label);
  EXPECT_NE(f.scene.Displayed().HitTest(TPoint{40 + w - 2, 7 + 2}, kGeneralModes), label);
}

// Ten 16 x 16 cells side by side, cell i in colour (20 i, 255 - 20 i, 7).
std::string DigitsBitmap() {
  return Bitmap(160, 16, [](int x, int) {
    const uint32_t cell = static_cast<uint32_t>(x / 16);
    return (20 * cell) << 16 | (255 - 20 * cell) << 8 | 7;
  });
}

uint32_t CellPixel(int cell) { return static_cast<uint32_t>((20 * cell) << 16 | (255 - 20 * cell) << 8 | 7); }

TEST(CGLabel, DigitsFromTheirCells) {
  MesFixture f;
  PutFile("digits.bmp", DigitsBitmap());
  auto* label = f.scene.Make<TNovaCGLabel>(f.services);
  label->SetParent(&f.scene.Displayed());
  for (auto [id, v] : {std::pair{PR_ALPHA, 255}, {PR_GLYPHWIDTH, 16}, {PR_GLYPHHEIGHT, 16}, {PR_LEFT, 10}, {PR_TOP, 10}})
    MesFixture::Set(*label, id, v);
  MesFixture::SetStr(*label, PR_SOURCE, "digits.bmp");
  MesFixture::SetStr(*label, PR_MAPTEXT, "0123456789");
  MesFixture::SetStr(*label, PR_TEXT, "2024");
  EXPECT_EQ(label->Cells(), (std::vector<std::vector<int32_t>>{{2, 0, 2, 4}}));
  EXPECT_EQ(MesFixture::Int(*label, PR_WIDTH), 64);
  EXPECT_EQ(MesFixture::Int(*label, PR_HEIGHT), 16);
  EXPECT_EQ(MesFixture::Int(*label, PR_ORIGWIDTH), 160);
  f.back.Fill(0);
  f.Frame();
  const int cells[] = {2, 0, 2, 4};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(f.back.GetPixel(10 + 16 * i + 8, 18), CellPixel(cells[i])) << i;
  EXPECT_EQ(f.back.GetPixel(10 + 64 + 2, 18), 0u);
  // A character outside the map leaves a gap; lines centre within the longest.
  MesFixture::SetStr(*label, PR_TEXT, "1x\r\n123");
  MesFixture::Set(*label, PR_HALIGN, HA_CENTER);
  MesFixture::Set(*label, PR_LINESPACE, 4);
  EXPECT_EQ(label->Cells(), (std::vector<std::vector<int32_t>>{{1, -1}, {1, 2, 3}}));
  EXPECT_EQ(MesFixture::Int(*label, PR_HEIGHT), 36);
  f.back.Fill(0);
  f.scene.Displayed().AddDirtyRect(TRect{0, 0, 320, 240});
  f.Frame();
  EXPECT_EQ(f.back.GetPixel(10 + 8 + 8, 18), CellPixel(1));  // the short line starts half a cell in
  EXPECT_EQ(f.back.GetPixel(10 + 24 + 8, 18), 0u);           // the gap of "x"
  EXPECT_EQ(f.back.GetPixel(10 + 40, 10 + 20 + 8), CellPixel(3));
}

}  // namespace
}  // namespace nova::test
