#include "text/label_list.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "base/encoding.h"
#include "text/font_pixels.h"
#include "text/glyph_render.h"
#include "text/text_limits.h"

namespace nova {

const std::string& DefaultCaptionFontName() {
  static const std::string name = Utf8ToSjis("ＭＳ Ｐゴシック");
  return name;
}

TKtLabelList::TKtLabelList(TFontPixelManager& glyphs) : glyphs_(glyphs) {}

TKtLabelDIB& TKtLabelList::Add(const std::string& text) {
  Labels.push_back(std::make_unique<TKtLabelDIB>(this));
  Labels.back()->Text = text;
  return *Labels.back();
}

int TKtLabelList::TargetBits() const { return Target ? Target->GetBitCount() : 32; }

void TKtLabelList::MeasureAll() {
  const TOutlineMetrics& m = glyphs_.MeasureMetrics(FontName, FontSize, Style);
  std::map<uint16_t, TAbcWidths> cache;  // one measuring pass
  for (auto& label : Labels) {
    // Sizes from damaged or hostile fonts and borders are held instead of overflowing (the
    // owner centres captions with them); the caption is then refused when it is rendered.
    label->Height = TextObjectSide(int64_t{m.Height} + 2 * int64_t{BorderWidth});
    label->Advances.clear();
    label->Width = 0;
    std::vector<uint16_t> codes = GlyphCodes(label->Text);
    for (size_t i = 0; i < codes.size(); ++i) {
      auto it = cache.find(codes[i]);
      if (it == cache.end()) it = cache.emplace(codes[i], glyphs_.MeasureAbc(codes[i], FontName, FontSize, Style)).first;
      const TAbcWidths& abc = it->second;
      int64_t advance = int64_t{abc.A} + abc.B + abc.C + m.Overhang + 2 * int64_t{BorderWidth};
      if (i + 1 == codes.size() && abc.C < 0) advance -= abc.C;
      const auto held = static_cast<int32_t>(std::clamp<int64_t>(advance, INT32_MIN, INT32_MAX));
      label->Advances.push_back(held);
      label->Width = TextObjectSide(int64_t{label->Width} + held);
    }
    label->Stale = true;
  }
}

void TKtLabelList::Render(TKtLabelDIB& label) {
  int bits = TargetBits();
  if (!label.Stale && label.RenderedBits == bits) return;
  std::vector<uint16_t> codes = GlyphCodes(label.Text);
  if (label.Advances.size() != codes.size()) MeasureAll();
  label.Stale = false;
  label.RenderedBits = bits;
  label.Refused = !TextSurfaceFits(std::max(1, label.Width), std::max(1, label.Height));
  if (label.Refused) {
    label.Color.SetSize(1, 1, bits);
    label.Coverage.SetSize(1, 1, 8);
    ReportTextSurfaceRefused("caption \"" + label.Text + "\"", label.Width, label.Height);
    return;
  }
  label.Color.SetSize(std::max(1, label.Width), std::max(1, label.Height), bits);
  label.Color.Fill(0);
  label.Coverage.SetSize(std::max(1, label.Width), std::max(1, label.Height), 8);
  label.Coverage.Fill(0);
  glyphs_.SetQuality(Quality);
  TGlyphPaint paint;
  paint.TextPixel = static_cast<uint32_t>(label.Color.ColorToPixel(TextColor));
  paint.BorderPixel = static_cast<uint32_t>(label.Color.ColorToPixel(BorderColor));
  paint.ShadowPixel = static_cast<uint32_t>(label.Color.ColorToPixel(ShadowColor));
  paint.BorderWidth = BorderWidth;
  paint.ShadowOffset = ShadowOffset;
  int32_t x = 0;
  for (size_t i = 0; i < codes.size(); ++i) {
    paint.FirstOfRun = i == 0;
    paint.LastOfRun = i + 1 == codes.size();
    const TFontPixel& glyph = glyphs_.GetGlyph(codes[i], FontName, Style, FontSize);
    RenderGlyph(glyph, label.Color, label.Coverage, TRect::FromSize(x, 0, label.Advances[i], FontSize), paint);
    x += label.Advances[i];
  }
}

void TKtLabelList::Draw(TKtLabelDIB& label, int32_t x, int32_t y) {
  if (!Target) return;
  Render(label);
  TRect src{0, 0, label.Width, label.Height};
  if (label.Refused || src.Empty()) return;
  if (Plain()) {
    Target->DrawMonoMask(x, y, Alpha, static_cast<uint32_t>(Target->ColorToPixel(TextColor)), false, false, src,
                         &label.Coverage);
  } else if (Alpha < 255) {
    Target->DrawAlphaMask(x, y, Alpha, &label.Coverage, false, false, src, &label.Color);
  } else {
    Target->DrawMask(x, y, &label.Coverage, false, false, src, &label.Color);
  }
}

void TKtLabelList::MarkAllStale() {
  for (auto& label : Labels) label->Stale = true;
}

void TKtLabelList::SaveToStream(TStream& s) const {
  s.WriteInt32(Quality);
  s.WriteInt32(BorderWidth);
  s.WriteInt32(Alpha);
  s.WriteInt32(FontSize);
  s.WriteString(FontName);
  s.WriteInt32(TextColor);
  s.WriteInt32(BorderColor);
  s.WriteByte(Style);
  s.WriteBuffer(MetricsRecord.data(), kMetricsRecordSize);
  s.WriteInt32(ShadowOffset);
  s.WriteInt32(ShadowColor);
}

void TKtLabelList::LoadFromStream(TStream& s, int32_t version) {
  Quality = s.ReadInt32();
  if (version < 109) Quality = Quality > 1 ? 3 : 0;
  BorderWidth = s.ReadInt32();
  Alpha = s.ReadInt32();
  FontSize = s.ReadInt32();
  FontName = s.ReadString();
  TextColor = s.ReadInt32();
  BorderColor = s.ReadInt32();
  Style = s.ReadByte();
  s.ReadBuffer(MetricsRecord.data(), kMetricsRecordSize);
  if (version >= 122) {
    ShadowOffset = s.ReadInt32();
    ShadowColor = s.ReadInt32();
  }
  MarkAllStale();
}

}  // namespace nova
