#pragma once
// Caption sets of buttons and list boxes: one TKtLabelList per control holds the font, colours,
// border and shadow of its captions and a TKtLabelDIB per caption, which keeps the caption
// rendered in a colour surface and an 8-bit coverage surface until it goes stale.
//
// Measuring (with the cache's scratch font): a caption is as high as the font's cell plus twice
// the border width; each character advances A + B + C + overhang + twice the border width (the
// last one also by -C when C is negative). Rendering puts every character into its cell
// (x, 0, advance, font size). Drawing goes through the coverage in the text colour without
// border and shadow, else through the colour surface. A caption beyond the limits of text
// surfaces (text_limits.h: a huge font height or border) is neither rendered nor drawn; the
// refusal is written to stderr when it is rendered.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"
#include "render/dibx.h"
#include "text/font_pixels.h"

namespace nova {

class TKtLabelList;

class TKtLabelDIB {
public:
  explicit TKtLabelDIB(TKtLabelList* owner) : Owner(owner) {}
  TDIBX Color, Coverage;
  TKtLabelList* Owner;
  std::string Text;
  bool Stale = true;
  int32_t Height = 0, Width = 0;
  std::vector<int32_t> Advances;  // one per character
  int RenderedBits = 0;           // the bit count the caption was rendered at
  bool Refused = false;           // beyond the text surface limits: not rendered, not drawn
};

// "ＭＳ Ｐゴシック": the face of captions.
const std::string& DefaultCaptionFontName();

class TKtLabelList {
public:
  static constexpr size_t kMetricsRecordSize = 212;

  explicit TKtLabelList(TFontPixelManager& glyphs);

  int32_t Quality = 3;
  TCustomDIBX* Target = nullptr;  // the surface captions are drawn onto (its bit count counts)
  int32_t BorderWidth = 0;
  int32_t Alpha = 255;
  int32_t FontSize = 12;
  std::string FontName = DefaultCaptionFontName();
  int32_t TextColor = 0xFFFFFF;
  int32_t BorderColor = 0;
  uint8_t Style = 0;
  // The platform's outline text metrics record of the font: kept and saved as it was read.
  std::array<uint8_t, kMetricsRecordSize> MetricsRecord{};
  int32_t ShadowOffset = 0;
  int32_t ShadowColor = 0;

  std::vector<std::unique_ptr<TKtLabelDIB>> Labels;
  TKtLabelDIB& Add(const std::string& text);

  // Measures every caption: height, width and advances.
  void MeasureAll();
  // Renders a caption when it is stale or the target's bit count changed since.
  void Render(TKtLabelDIB& label);
  // Draws a caption (rendering it first when needed) at (x, y) of the target.
  void Draw(TKtLabelDIB& label, int32_t x, int32_t y);
  void MarkAllStale();

  // The caption list record after the control's own fields.
  void SaveToStream(TStream& s) const;
  // version: the object stream's (below 109 a stored quality above 1 means 3, else 0; shadow
  // offset and colour from 122 on). Marks every caption stale.
  void LoadFromStream(TStream& s, int32_t version);

private:
  bool Plain() const { return BorderWidth <= 0 && ShadowOffset <= 0; }
  int TargetBits() const;

  TFontPixelManager& glyphs_;
};

}  // namespace nova
