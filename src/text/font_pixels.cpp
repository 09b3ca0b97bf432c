#include "text/font_pixels.h"

#include <algorithm>

#include "base/error.h"
#include "base/sjis.h"
#include "text/kt_word.h"
#include "text/text_limits.h"

namespace nova {

namespace {

constexpr int kTopValue[4] = {1, 4, 16, 64};  // the highest grey value of each level

struct TGreyTables {
  std::array<std::array<uint8_t, 65>, 4> Table{};
  std::array<std::array<uint8_t, 256>, 4> FromCoverage{};
  TGreyTables() {
    Table[0][1] = 255;
    const uint8_t level1[5] = {0, 79, 127, 207, 255};
    std::copy(level1, level1 + 5, Table[1].begin());
    for (int v = 1; v <= 16; ++v) Table[2][v] = static_cast<uint8_t>(v < 8 ? 43 + 12 * (v - 1) : 159 + 12 * (v - 8));
    for (int v = 1; v <= 64; ++v) {
      int k = (v >= 8) + (v >= 24) + (v >= 40);
      Table[3][v] = static_cast<uint8_t>(18 + 3 * (v - 1) + 16 * k);
    }
    for (int level = 0; level < 4; ++level) {
      for (int c = 0; c < 256; ++c) {
        int v = level == 0 ? (c >= 128 ? 1 : 0) : (c * kTopValue[level] + 127) / 255;
        FromCoverage[level][c] = Table[level][v];
      }
    }
  }
};

const TGreyTables& Tables() {
  static const TGreyTables tables;
  return tables;
}

int ClampLevel(int level) { return std::clamp(level, 0, 3); }

}  // namespace

uint8_t GreyToCoverage(int level, int v) {
  level = ClampLevel(level);
  return Tables().Table[level][std::clamp(v, 0, kTopValue[level])];
}

std::vector<uint16_t> GlyphCodes(std::string_view text) {
  std::vector<uint16_t> codes;
  for (size_t i = 0; i < text.size();) {
    size_t len = CharLen(text, i);
    uint16_t code = static_cast<unsigned char>(text[i]);
    if (len == 2) code = static_cast<uint16_t>(code << 8 | static_cast<unsigned char>(text[i + 1]));
    codes.push_back(code);
    i += len;
  }
  return codes;
}

uint8_t QuantizeCoverage(int level, uint8_t coverage) { return Tables().FromCoverage[ClampLevel(level)][coverage]; }

TFontPixelManager::TFontPixelManager(TFontRasterizer& fonts) : fonts_(fonts) {}

TFontPixelManager::~TFontPixelManager() = default;

void TFontPixelManager::SetQuality(int32_t level) { quality_ = greyRefused_ ? 0 : ClampLevel(level); }

TFont& TFontPixelManager::Select(TSelected& sel, const std::string& name, int32_t size, uint8_t style) {
  if (sel.Font && sel.Name == name && sel.Size == size && sel.Style == style) return *sel.Font;
  sel.Font.reset();
  // A name the platform has no face for is drawn in the default face.
  TFontFace* face = fonts_.FindFace(name);
  if (!face) face = fonts_.FindFace(DefaultTextFontName());
  std::unique_ptr<TFont> font = face ? face->CreateFont(std::max(1, size), style & 1, style & 2) : nullptr;
  if (!font) throw ENovaError("Error:GetOutlineTextMetrics");
  sel.Font = std::move(font);
  sel.Name = name;
  sel.Size = size;
  sel.Style = style;
  return *sel.Font;
}

const TFontPixel& TFontPixelManager::GetGlyph(uint16_t code, const std::string& fontName, uint8_t style,
                                               int32_t size) {
  std::vector<TFontPixel*>& bucket = buckets_[code & 0xFF];
  for (TFontPixel* g : bucket) {
    if (g->Code == code && g->Size == size && g->Style == style && g->Quality == quality_ && g->FontName == fontName) {
      used_.splice(used_.begin(), used_, g->used_);
      ++hits_;
      return *g;
    }
  }
  ++misses_;
  // The font first: a font that cannot be made leaves the cache as it was. A glyph beyond the
  // largest rasterised size needs no font: it only advances.
  TFont* font = size > kMaxGlyphSize ? nullptr : &Select(current_, fontName, size, style);
  auto owned = std::make_unique<TFontPixel>();
  TFontPixel& glyph = *owned;
  glyph.Code = code;
  glyph.FontName = fontName;
  glyph.Size = size;
  glyph.Style = style;
  glyph.Quality = quality_;
  if (font) Rasterize(glyph, *font);
  else glyph.RightBearing = code > 255 ? size : size / 2;
  used_.push_front(std::move(owned));
  glyph.used_ = used_.begin();
  buckets_[code & 0xFF].push_back(&glyph);
  if (static_cast<int>(used_.size()) > kCapacity) {
    TFontPixel* last = used_.back().get();
    std::vector<TFontPixel*>& b = buckets_[last->Code & 0xFF];
    b.erase(std::find(b.begin(), b.end(), last));
    used_.pop_back();
  }
  return glyph;
}

void TFontPixelManager::Rasterize(TFontPixel& glyph, TFont& font) {
  TGlyphBitmap bitmap;
  bool drawn = font.RenderGlyph(glyph.Code, quality_ == 0, bitmap);
  if (!drawn && quality_ > 0) {
    // No grey glyphs on this platform: aliased glyphs from now on.
    greyRefused_ = true;
    quality_ = 0;
    glyph.Quality = 0;
    drawn = font.RenderGlyph(glyph.Code, true, bitmap);
  }
  const TOutlineMetrics& m = font.Metrics();
  glyph.Abc = font.AbcWidths(glyph.Code);
  if (glyph.Style & 4) glyph.UnderlineThickness = m.UnderlineThickness;
  if (glyph.Style & 8) {
    glyph.StrikeOutTop = m.Ascent - m.StrikeOutPosition;
    glyph.StrikeOutThickness = m.StrikeOutThickness;
  }
  if (!drawn || bitmap.Width <= 0 || bitmap.Height <= 0) {
    glyph.RightBearing = drawn ? bitmap.Advance : glyph.Abc.A + glyph.Abc.B + glyph.Abc.C;
    return;
  }
  auto image = std::make_unique<TDIBX>();
  image->SetSize(bitmap.Width, bitmap.Height, 8);
  for (int32_t y = 0; y < bitmap.Height; ++y) {
    uint8_t* row = image->PixelAddress(0, y);
    const uint8_t* src = bitmap.Coverage.data() + static_cast<size_t>(y) * bitmap.Width;
    for (int32_t x = 0; x < bitmap.Width; ++x) row[x] = QuantizeCoverage(glyph.Quality, src[x]);
    image->Unlock();
  }
  glyph.Image = std::move(image);
  glyph.OffsetX = std::max(0, bitmap.OriginX);
  glyph.OffsetY = std::max(0, m.Ascent - bitmap.OriginY);
  glyph.RightBearing = std::max(0, bitmap.Advance - bitmap.Width - glyph.OffsetX);
}

const TOutlineMetrics& TFontPixelManager::MeasureMetrics(const std::string& fontName, int32_t size, uint8_t style) {
  return Select(scratch_, fontName, size, style).Metrics();
}

TAbcWidths TFontPixelManager::MeasureAbc(uint16_t code, const std::string& fontName, int32_t size, uint8_t style) {
  return Select(scratch_, fontName, size, style).AbcWidths(code);
}

std::vector<const TFontPixel*> TFontPixelManager::UsedOrder() const {
  std::vector<const TFontPixel*> order;
  for (const auto& g : used_) order.push_back(g.get());
  return order;
}

void TFontPixelManager::Clear() {
  used_.clear();
  for (auto& b : buckets_) b.clear();
}

}  // namespace nova
