// The text object: cells, counting positions, copying glyphs, hit tests and the settings record.
#include <gtest/gtest.h>

#include "text_test_util.h"

namespace nova::test {
namespace {

TEST(KtWord, CharacterCells) {
  TKtWord w;
  w.Settings.FontSize = 20;
  w.Settings.BorderWidth = 1;
  w.Settings.ShadowOffset = 2;
  auto deco = [](int32_t size, uint8_t style, const char* ruby, int32_t border, int32_t shadow) {
    TDecorateValues d;
    d.Size = size;
    d.Style = style;
    d.Ruby = ruby;
    d.BorderWidth = border;
    d.ShadowOffset = shadow;
    return d;
  };
  struct Case {
    TDecorateValues d;
    uint16_t code;
    int32_t width, height;
  } cases[] = {
      {deco(0, 0, "", 0, 0), 'A', 20, 20},            // default size, square for single-byte too
      {deco(16, 0, "", 0, 0), 0x82A0, 16, 16},
      {deco(16, fsItalic | fsBold, "", 0, 0), 'A', 19, 16},
      {deco(16, 0, "r", 0, 0), 'A', 16, 24},
      {deco(1, 0, "r", 0, 0), 'A', 1, 2},              // ruby adds at least 1
      {deco(16, 0, "", -1, -1), 'A', 16 + 2 + 2, 16 + 2 + 2},
      {deco(16, 0, "", 3, 0), 'A', 22, 22},
      {deco(16, fsItalic, "r", 2, 1), 'A', 16 + 3 + 4 + 1, 16 + 8 + 4 + 1},
  };
  for (const Case& c : cases) {
    TGlyphSize cell = w.CharCell(c.d, c.code);
    EXPECT_EQ(cell.Width, c.width) << c.d.Size << " " << int(c.d.Style);
    EXPECT_EQ(cell.Height, c.height) << c.d.Size << " " << int(c.d.Style);
  }
  // Fixed pitch: single-byte characters half as wide, rounded down; the rest still widens.
  TFixedPitchMetrics fixed;
  w.Metrics = &fixed;
  EXPECT_EQ(w.CharCell(deco(15, 0, "", 0, 0), 'A').Width, 7);
  EXPECT_EQ(w.CharCell(deco(15, 0, "", 0, 0), 0x82A0).Width, 15);
  EXPECT_EQ(w.CharCell(deco(15, fsItalic, "", 1, 2), 'A').Width, 7 + 3 + 2 + 2);
}

TEST(KtWord, PositionsCountTheCountableGlyphs) {
  TKtWord w;
  Build(w, "<DIV ALIGN=RIGHT>あ<BR><INDENT>い</DIV><UNDENT><EVENT VALUE=e><VAR NAME=v><IMG SRC=a>");
  // Glyphs: align あ br indent い align undent event var img
  ASSERT_EQ(w.Count(), 10);
  EXPECT_EQ(w.CountGlyphs(), 8);
  const int positions[] = {0, 0, 1, 2, 3, 4, 4, 5, 6, 7};
  for (int i = 0; i < w.Count(); ++i) EXPECT_EQ(w.PositionOfGlyph(i), positions[i]) << i;
  const int glyphs[] = {1, 2, 3, 4, 6, 7, 8, 9};
  for (int p = 0; p < 8; ++p) EXPECT_EQ(w.GlyphOfPosition(p), glyphs[p]) << p;
  EXPECT_EQ(w.GlyphOfPosition(8), w.Count());
  w.VarValues = {"v=xy"};
  w.ExpandVarsFromValues();
  ASSERT_EQ(w.Count(), 12);
  EXPECT_EQ(w.CountGlyphs(), 8);
  EXPECT_EQ(w.PositionOfGlyph(9), 6) << "an expanded character has its variable's position";
  EXPECT_EQ(w.PositionOfGlyph(11), 7);
  EXPECT_EQ(w.GlyphOfPosition(7), 11);
}

TEST(KtWord, CopiesGlyphsFromAnotherText) {
  TKtWord src;
  Build(src, "<FONT SIZE=30><A HREF=l>あ</A></FONT><VAR NAME=v><IMG SRC=p.bmp ALIGN=TOP><BR CLEAR><EVENT VALUE=e END>");
  src.VarValues = {"v=xyz"};
  src.ExpandVarsFromValues();
  FakeImages images;
  images.Sizes["p.bmp"] = {8, 9};
  src.Images = &images;
  src.Glyph(5)->Measure();
  ASSERT_NE(static_cast<TWdImg*>(src.Glyph(5))->Picture, nullptr);

  TKtWord dst;
  Build(dst, "<FONT SIZE=30>x");
  dst.CopyGlyphsFrom(src);
  ASSERT_EQ(dst.Count(), 6) << "the expansion of the variable is not copied";
  auto* c = static_cast<TWdChar*>(dst.Glyph(1));
  EXPECT_EQ(c->Text(), Sj("あ"));
  EXPECT_EQ(c->Link, "l");
  EXPECT_EQ(c->Decorate(), static_cast<TWdChar*>(dst.Glyph(0))->Decorate()) << "interned in the new list";
  EXPECT_EQ(dst.Decorates().Count(), 2);
  auto* v = static_cast<TWdOpeVar*>(dst.Glyph(2));
  EXPECT_EQ(v->Expression, "v");
  EXPECT_FALSE(v->Expanded);
  auto* img = static_cast<TWdImg*>(dst.Glyph(3));
  EXPECT_EQ(img->FileName, "p.bmp");
  EXPECT_EQ(img->Align, waTop);
  EXPECT_EQ(img->Picture, nullptr) << "frames are loaded again when measured";
  EXPECT_EQ(static_cast<TWdOpeReturn*>(dst.Glyph(4))->Clear, 1);
  EXPECT_TRUE(static_cast<TWdOpeEvent*>(dst.Glyph(5))->Stop);

  TKtWord part;
  part.CopyGlyphsFrom(src, 1, 1);
  ASSERT_EQ(part.Count(), 1);
  EXPECT_EQ(part.Glyph(0)->Kind(), gkVar);
}

TEST(KtWord, RowsHitTestTheirDrawnGlyphs) {
  TKtWord w;
  w.Settings.FontSize = 10;
  Build(w, "ab<BR>cd");
  TWdPageList pages;
  w.LayoutPages(pages);
  ASSERT_EQ(pages.size(), 1u);
  TWdPage& page = *pages[0];
  EXPECT_EQ(page.HitTest(12, 15), w.Glyph(4));
  EXPECT_EQ(page.HitTest(5, 5), w.Glyph(0));
  EXPECT_EQ(page.HitTest(25, 5), nullptr);
  static_cast<TWdReal*>(w.Glyph(0))->Alpha = 0;
  EXPECT_EQ(page.HitTest(5, 5), nullptr) << "only glyphs drawn fully answer";
  EXPECT_EQ(page.Rows[1]->HitTest(12, 15), w.Glyph(4));
}

TEST(KtWordSettings, RecordFollowsTheObjectStreamVersion) {
  TKtWordSettings s;
  s.OriginX = 5;
  s.FontName = Sj("ＭＳ 明朝");
  s.Paging = false;
  s.Caret = {3, 4};
  s.Option = 77;
  s.OptionByte1 = 1;
  s.OptionByte2 = 2;
  s.ShadowColor = 0x123456;
  s.BorderWidth = 2;
  s.ShadowOffset = 3;
  struct Case {
    int32_t version;
    size_t extra;  // bytes after the common part
  } cases[] = {{109, 0}, {110, 4}, {111, 12}};
  size_t common = 0;
  for (const Case& c : cases) {
    TKtMemoryStream m;
    s.SaveToStream(m, c.version);
    if (c.version == 109) common = m.Data().size();
    EXPECT_EQ(m.Data().size(), common + c.extra) << c.version;
    m.SetPosition(0);
    TKtWordSettings r;
    r.LoadFromStream(m, c.version);
    EXPECT_EQ(m.Position(), m.Size()) << c.version;
    EXPECT_EQ(r.OriginX, 5);
    EXPECT_EQ(r.FontName, s.FontName);
    EXPECT_FALSE(r.Paging);
    EXPECT_EQ(r.Caret, s.Caret);
    EXPECT_EQ(r.Option, 77);
    EXPECT_EQ(r.OptionByte1, 1);
    EXPECT_EQ(r.OptionByte2, 2);
    EXPECT_EQ(r.ShadowColor, c.version >= 110 ? 0x123456 : 0);
    EXPECT_EQ(r.BorderWidth, c.version > 110 ? 2 : 0);
    EXPECT_EQ(r.ShadowOffset, c.version > 110 ? 3 : 0);
  }
  // 16 int32 fields, 3 bytes and the font name string.
  EXPECT_EQ(common, 4u * 16 + 3 + 4 + s.FontName.size());
  TKtWordSettings d;
  EXPECT_EQ(d.FontSize, 12);
  EXPECT_EQ(d.FontName, Sj("ＭＳ ゴシック"));
  EXPECT_EQ(d.LinkColor, 0xFF0000);
  EXPECT_EQ(d.ActiveLinkColor, 0x008000);
  EXPECT_EQ(d.BorderColor, 0x808080);
  EXPECT_EQ(d.Smoothing, 3);
  EXPECT_EQ(d.Option, 255);
  EXPECT_TRUE(d.Paging);
}

}  // namespace
}  // namespace nova::test
