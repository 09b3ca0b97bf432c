#include "platform/headless_fonts.h"

#include <algorithm>

#include "base/encoding.h"
#include "base/sjis.h"
#include "platform/sfnt_names.h"

namespace nova {

namespace {

constexpr uint8_t kRim = 96;

bool IsBlank(uint16_t code) { return code < 0x21 || code == 0x7F || code == 0x8140; }

class THeadlessFont : public TFont {
public:
  THeadlessFont(THeadlessFontRasterizer& owner, int32_t size, bool bold) : owner_(owner), size_(size), bold_(bold) {
    int32_t descent = size / 8;
    metrics_.Height = size;
    metrics_.Ascent = size - descent;
    metrics_.Descent = descent;
    metrics_.UnderlineThickness = std::max(1, size / 16);
    metrics_.UnderlinePosition = -(size / 16);
    metrics_.StrikeOutThickness = std::max(1, size / 16);
    metrics_.StrikeOutPosition = size * 3 / 10;
  }

  const TOutlineMetrics& Metrics() const override { return metrics_; }

  bool RenderGlyph(uint16_t code, bool mono, TGlyphBitmap& out) override {
    if (!mono && owner_.RefuseGrey) return false;
    ++owner_.Renders;
    out = TGlyphBitmap{};
    out.Advance = Advance(code);
    TAbcWidths abc = AbcWidths(code);
    if (abc.B <= 0) return true;
    int32_t inset = size_ / 8;
    int32_t w = abc.B, h = size_ - 2 * inset;
    int32_t x = abc.A, top = metrics_.Ascent - inset;
    if (h <= 0) return true;
    if (mono) {
      // Only the inside is at least half covered.
      if (w <= 2 || h <= 2) return true;
      w -= 2, h -= 2, x += 1, top -= 1;
    }
    out.Width = w;
    out.Height = h;
    out.OriginX = x;
    out.OriginY = top;
    out.Coverage.assign(static_cast<size_t>(w) * h, 255);
    if (!mono && w > 2 && h > 2) {
      for (int32_t j = 0; j < h; ++j)
        for (int32_t i = 0; i < w; ++i)
          if (i == 0 || j == 0 || i == w - 1 || j == h - 1) out.Coverage[static_cast<size_t>(j) * w + i] = kRim;
    }
    return true;
  }

  TAbcWidths AbcWidths(uint16_t code) override {
    int32_t advance = Advance(code);
    int32_t inset = size_ / 8;
    int32_t box = advance - 2 * inset + (bold_ ? 1 : 0);
    if (IsBlank(code) || advance - 2 * inset <= 0) return TAbcWidths{0, 0, advance};
    return TAbcWidths{inset, box, advance - inset - box};
  }

private:
  int32_t Advance(uint16_t code) const { return code > 255 ? size_ : size_ / 2; }

  THeadlessFontRasterizer& owner_;
  int32_t size_;
  bool bold_;
  TOutlineMetrics metrics_;
};

}  // namespace

struct THeadlessFontRasterizer::TFace : TFontFace {
  TFace(THeadlessFontRasterizer& owner, std::string name, std::string source, bool fixed, bool japanese)
      : Owner(owner), FaceName(std::move(name)), From(std::move(source)), Fixed(fixed), Japanese(japanese) {}
  const std::string& Name() const override { return FaceName; }
  std::string Source() const override { return From; }
  std::unique_ptr<TFont> CreateFont(int32_t size, bool bold, bool) override {
    return std::make_unique<THeadlessFont>(Owner, std::max(1, size), bold);
  }
  THeadlessFontRasterizer& Owner;
  std::string FaceName, From;
  std::vector<std::string> Aliases;  // the other family names of an added face
  bool Fixed, Japanese;
};

THeadlessFontRasterizer::THeadlessFontRasterizer() {
  for (auto [name, fixed] : {std::pair{"ＭＳ ゴシック", true}, std::pair{"ＭＳ Ｐゴシック", false},
                             std::pair{"ＭＳ 明朝", true}, std::pair{"ＭＳ Ｐ明朝", false}})
    builtIn_.push_back(std::make_unique<TFace>(*this, Utf8ToSjis(name), "headless", fixed, true));
}

THeadlessFontRasterizer::~THeadlessFontRasterizer() = default;

TFontFace* THeadlessFontRasterizer::FindFace(const std::string& family) {
  // The newest added face first: a game's own font wins over everything else.
  for (auto it = faces_.rbegin(); it != faces_.rend(); ++it) {
    if (SameText((*it)->FaceName, family)) return it->get();
    for (const std::string& alias : (*it)->Aliases)
      if (SameText(alias, family)) return it->get();
  }
  for (auto& f : builtIn_)
    if (SameText(f->FaceName, family)) return f.get();
  return nullptr;
}

int THeadlessFontRasterizer::AddFontData(std::string bytes) {
  int added = 0;
  for (int i = 0, n = SfntFaceCount(bytes); i < n; ++i) {
    TSfntFaceInfo info;
    if (!ReadSfntFaceInfo(bytes, i, info) || info.Families.empty()) continue;
    auto face = std::make_unique<TFace>(*this, info.Families[0], "font data", info.FixedPitch, info.Japanese);
    face->Aliases.assign(info.Families.begin() + 1, info.Families.end());
    faces_.push_back(std::move(face));
    ++added;
  }
  return added;
}

std::vector<std::string> THeadlessFontRasterizer::Families(bool fixedPitchOnly) {
  std::vector<std::string> names;
  auto add = [&](const TFace& f) {
    if (!f.Japanese || (fixedPitchOnly && !f.Fixed)) return;
    names.push_back(f.FaceName);
    names.insert(names.end(), f.Aliases.begin(), f.Aliases.end());
  };
  for (auto& f : builtIn_) add(*f);
  for (auto& f : faces_) add(*f);
  return names;
}

std::unique_ptr<TFontRasterizer> CreateHeadlessFontRasterizer() { return std::make_unique<THeadlessFontRasterizer>(); }

}  // namespace nova
