#pragma once
// Helpers of the glyph tests: a rasteriser over the headless one that counts face look-ups and
// font creations and can hide every face or give characters other ABC widths; surfaces and
// their pixels as text.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless_fonts.h"
#include "render/dibx.h"
#include "text/font_pixels.h"

namespace nova::test {

class CountingFonts : public TFontRasterizer {
public:
  THeadlessFontRasterizer Inner;
  int Lookups = 0, Creations = 0, AbcCalls = 0;
  bool NoFaces = false;
  std::map<uint16_t, TAbcWidths> Abc;  // replaces the headless widths of these characters

  TFontFace* FindFace(const std::string& family) override {
    ++Lookups;
    TFontFace* inner = NoFaces ? nullptr : Inner.FindFace(family);
    if (!inner) return nullptr;
    auto& wrapped = faces_[inner];
    if (!wrapped) wrapped = std::make_unique<Face>(*this, *inner);
    return wrapped.get();
  }
  int AddFontData(std::string bytes) override { return Inner.AddFontData(std::move(bytes)); }
  std::vector<std::string> Families(bool fixedPitchOnly) override { return Inner.Families(fixedPitchOnly); }

private:
  struct Font : TFont {
    CountingFonts& Owner;
    std::unique_ptr<TFont> InnerFont;
    Font(CountingFonts& o, std::unique_ptr<TFont> f) : Owner(o), InnerFont(std::move(f)) {}
    const TOutlineMetrics& Metrics() const override { return InnerFont->Metrics(); }
    bool RenderGlyph(uint16_t code, bool mono, TGlyphBitmap& out) override {
      return InnerFont->RenderGlyph(code, mono, out);
    }
    TAbcWidths AbcWidths(uint16_t code) override {
      ++Owner.AbcCalls;
      auto it = Owner.Abc.find(code);
      return it != Owner.Abc.end() ? it->second : InnerFont->AbcWidths(code);
    }
  };
  struct Face : TFontFace {
    CountingFonts& Owner;
    TFontFace& InnerFace;
    Face(CountingFonts& o, TFontFace& f) : Owner(o), InnerFace(f) {}
    const std::string& Name() const override { return InnerFace.Name(); }
    std::string Source() const override { return InnerFace.Source(); }
    std::unique_ptr<TFont> CreateFont(int32_t size, bool bold, bool italic) override {
      ++Owner.Creations;
      return std::make_unique<Font>(Owner, InnerFace.CreateFont(size, bold, italic));
    }
  };
  std::map<TFontFace*, std::unique_ptr<Face>> faces_;
};

// A glyph made by hand: its coverage rows (one string of byte values per row) and placement.
inline std::unique_ptr<TFontPixel> HandGlyph(const std::vector<std::vector<int>>& rows, int32_t size, uint8_t style = 0) {
  auto g = std::make_unique<TFontPixel>();
  g->Size = size;
  g->Style = style;
  if (!rows.empty()) {
    g->Image = std::make_unique<TDIBX>();
    g->Image->SetSize(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), 8);
    for (size_t y = 0; y < rows.size(); ++y)
      for (size_t x = 0; x < rows[y].size(); ++x)
        g->Image->SetPixel(static_cast<int>(x), static_cast<int>(y), static_cast<uint32_t>(rows[y][x]));
  }
  return g;
}

// A w x h surface of bits filled with `fill`.
inline std::unique_ptr<TDIBX> Surface(int w, int h, int bits, uint32_t fill = 0) {
  auto s = std::make_unique<TDIBX>();
  s->SetSize(w, h, bits);
  s->Fill(fill);
  return s;
}

// The rows of an 8-bit surface as characters: '.' for 0, '#' for 255, '+' between.
inline std::vector<std::string> CoverageMap(TCustomDIBX& s) {
  std::vector<std::string> rows;
  for (int y = 0; y < s.GetHeight(); ++y) {
    std::string row;
    for (int x = 0; x < s.GetWidth(); ++x) {
      uint32_t v = s.GetPixel(x, y);
      row += v == 0 ? '.' : v == 255 ? '#' : '+';
    }
    rows.push_back(row);
  }
  return rows;
}

// Every pixel of two surfaces equal.
inline bool SamePixels(TCustomDIBX& a, TCustomDIBX& b) {
  if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
  for (int y = 0; y < a.GetHeight(); ++y)
    for (int x = 0; x < a.GetWidth(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
  return true;
}

}  // namespace nova::test
