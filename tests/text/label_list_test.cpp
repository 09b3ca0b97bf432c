// Caption lists: measuring with ABC widths, rendering when stale, drawing through the coverage
// or the colour surface, and the saved record with its version rules.
#include <gtest/gtest.h>

#include "font_test_util.h"
#include "text/label_list.h"
#include "text_test_util.h"

namespace nova::test {
namespace {

class LabelList : public ::testing::Test {
protected:
  CountingFonts fonts;
  TFontPixelManager cache{fonts};
  TKtLabelList list{cache};
};

TEST_F(LabelList, MeasuresHeightsAndAdvances) {
  EXPECT_EQ(list.FontName, Sj("ＭＳ Ｐゴシック"));
  EXPECT_EQ(list.FontSize, 12);
  list.BorderWidth = 1;
  fonts.Abc['C'] = TAbcWidths{1, 5, -1};  // an overhanging last character
  TKtLabelDIB& ab = list.Add("ABA");
  TKtLabelDIB& cc = list.Add("CC");
  TKtLabelDIB& empty = list.Add("");
  list.MeasureAll();
  // 'A' at 12: A 1 + B 4 + C 1 (+ overhang 0) + 2 x border 1.
  EXPECT_EQ(ab.Advances, (std::vector<int32_t>{8, 8, 8}));
  EXPECT_EQ(ab.Width, 24);
  EXPECT_EQ(ab.Height, 14);
  EXPECT_EQ(cc.Advances, (std::vector<int32_t>{7, 8}));  // the last one adds -C
  EXPECT_EQ(cc.Width, 15);
  EXPECT_EQ(empty.Width, 0);
  EXPECT_EQ(fonts.AbcCalls, 3);  // A, B and C once each in a pass
}

TEST_F(LabelList, DrawsThroughTheCoverageOrTheColourSurface) {
  auto target = Surface(40, 20, 32, 0);
  list.Target = target.get();
  TKtLabelDIB& label = list.Add("A");
  list.MeasureAll();
  list.Draw(label, 10, 3);
  EXPECT_FALSE(label.Stale);
  EXPECT_EQ(label.Coverage.GetBitCount(), 8);
  EXPECT_EQ(label.Color.GetBitCount(), 32);
  // The 'A' box covers (1, 1)..(5, 11) of the caption; full coverage weighs 254 / 256.
  EXPECT_EQ(target->GetPixel(10 + 2, 3 + 5), 0xFDFDFDu);
  EXPECT_EQ(target->GetPixel(10 + 0, 3 + 5), 0u);

  list.BorderWidth = 1;
  list.BorderColor = 0x0000FF;  // red
  list.Quality = 0;
  list.MeasureAll();
  target->Fill(0);
  list.Draw(label, 10, 3);
  // The aliased box (2 x 8, offset 2) centred by the ABC widths in its 8-pixel cell:
  // round(3 x 6 / 6) - 2 = 1, so it starts at 2 + 1 + border 1 = 4; the border around it.
  EXPECT_EQ(target->GetPixel(10 + 4, 3 + 5), 0xFFFFFFu);
  EXPECT_EQ(target->GetPixel(10 + 5, 3 + 5), 0xFFFFFFu);
  EXPECT_EQ(target->GetPixel(10 + 3, 3 + 5), 0xFE0000u);
  EXPECT_EQ(target->GetPixel(10 + 6, 3 + 5), 0xFE0000u);
  list.Alpha = 128;
  target->Fill(0);
  list.Draw(label, 10, 3);
  EXPECT_EQ(target->GetPixel(10 + 4, 3 + 5), static_cast<uint32_t>(0x010101 * ((255 * (128 * 255 >> 8)) >> 8)));
}

TEST_F(LabelList, RendersAgainOnlyWhenStaleOrTheTargetChanges) {
  auto target32 = Surface(40, 20, 32, 0), target16 = Surface(40, 20, 16, 0);
  list.Target = target32.get();
  TKtLabelDIB& label = list.Add("AB");
  list.MeasureAll();
  list.Render(label);
  EXPECT_EQ(label.RenderedBits, 32);
  cache.Clear();
  list.Render(label);  // fresh: nothing to do
  EXPECT_EQ(cache.Count(), 0);
  list.Target = target16.get();
  list.Render(label);
  EXPECT_EQ(label.RenderedBits, 16);
  EXPECT_EQ(label.Color.GetBitCount(), 16);
  EXPECT_EQ(cache.Count(), 2);
  list.MarkAllStale();
  EXPECT_TRUE(label.Stale);
}

TEST_F(LabelList, SavedRecordAndItsVersions) {
  list.Quality = 2;
  list.BorderWidth = 2;
  list.Alpha = 200;
  list.FontSize = 20;
  list.FontName = Sj("ＭＳ 明朝");
  list.TextColor = 0x123456;
  list.BorderColor = 0x654321;
  list.Style = 5;
  list.MetricsRecord[0] = 0xAA;
  list.MetricsRecord[211] = 0xBB;
  list.ShadowOffset = 3;
  list.ShadowColor = 0x111111;
  TKtMemoryStream s;
  list.SaveToStream(s);
  EXPECT_EQ(s.Size(), 4 * 4 + 4 + 9 + 4 * 2 + 1 + 212 + 8);

  TKtLabelList back(cache);
  back.Add("x").Stale = false;
  s.SetPosition(0);
  back.LoadFromStream(s, 122);
  EXPECT_EQ(back.Quality, 2);
  EXPECT_EQ(back.FontName, list.FontName);
  EXPECT_EQ(back.Style, 5);
  EXPECT_EQ(back.MetricsRecord, list.MetricsRecord);
  EXPECT_EQ(back.ShadowOffset, 3);
  EXPECT_EQ(back.ShadowColor, 0x111111);
  EXPECT_TRUE(back.Labels[0]->Stale);

  struct Case {
    int32_t version, stored, quality;
  };
  for (Case c : {Case{108, 2, 3}, Case{108, 1, 0}, Case{109, 1, 1}, Case{121, 3, 3}}) {
    list.Quality = c.stored;
    s.Clear();
    list.SaveToStream(s);
    s.SetPosition(0);
    TKtLabelList old(cache);
    old.LoadFromStream(s, c.version);
    EXPECT_EQ(old.Quality, c.quality) << c.version;
    EXPECT_EQ(old.ShadowOffset, 0) << c.version;  // before 122 the shadow is not read
    EXPECT_EQ(s.Remaining(), 8) << c.version;
  }
}

}  // namespace
}  // namespace nova::test
