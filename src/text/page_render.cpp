#include "text/page_render.h"

#include <algorithm>
#include <functional>

#include "base/sjis.h"
#include "text/glyph_render.h"
#include "text/text_limits.h"

namespace nova {

namespace {

TWdChar* AsChar(TWdGlyph* g) { return g && g->Kind() == gkChar ? static_cast<TWdChar*>(g) : nullptr; }

// What decides whether neighbours continue a run: border width, shadow offset and their colours.
struct TRunKey {
  int32_t BorderWidth, ShadowOffset, BorderColor, ShadowColor;
  friend bool operator==(const TRunKey&, const TRunKey&) = default;
};

TRunKey RunKey(const TKtWord& word, const TWdChar& c) {
  const TKtWordSettings& s = word.Settings;
  return TRunKey{std::max(0, c.BorderWidth() == -1 ? s.BorderWidth : c.BorderWidth()),
                 std::max(0, c.ShadowOffset() == -1 ? s.ShadowOffset : c.ShadowOffset()),
                 c.BorderColor() == -1 ? s.BorderColor : c.BorderColor(),
                 c.ShadowColor() == -1 ? s.ShadowColor : c.ShadowColor()};
}

class TPageRenderer {
public:
  TPageRenderer(TKtWord& word, TFontPixelManager& glyphs) : word_(word), glyphs_(glyphs) {
    bounds_ = TRect{0, 0, word.PageColor.GetWidth(), word.PageColor.GetHeight()};
  }

  // Renders the character at index i of the row (only when `only` is null or it meets `only`).
  void Render(TWdRow& row, size_t i, const TRect* only) {
    TWdChar* c = AsChar(row.Children[i]);
    if (!c) return;
    if (only && Intersect(c->LastDrawn, *only).Empty()) return;
    TCharLook look = CharLook(word_, *c);
    const TWdChar* prev = i > 0 ? AsChar(row.Children[i - 1]) : nullptr;
    const TWdChar* next = i + 1 < row.Children.size() ? AsChar(row.Children[i + 1]) : nullptr;
    const TRunKey key = RunKey(word_, *c);

    TGlyphPaint paint;
    paint.TextPixel = static_cast<uint32_t>(word_.PageColor.ColorToPixel(look.TextColor));
    paint.BorderPixel = static_cast<uint32_t>(word_.PageColor.ColorToPixel(look.BorderColor));
    paint.ShadowPixel = static_cast<uint32_t>(word_.PageColor.ColorToPixel(look.ShadowColor));
    paint.BorderWidth = look.BorderWidth;
    paint.ShadowOffset = look.ShadowOffset;
    paint.FirstOfRun = !prev || !(RunKey(word_, *prev) == key);
    paint.LastOfRun = !next || !(RunKey(word_, *next) == key);

    const int32_t x = row.X + c->X, y = row.Y + c->Y;
    TRect touched;
    int32_t rubyHeight = 0;
    const std::string& ruby = c->Ruby();
    if (!ruby.empty()) {
      rubyHeight = std::max(1, look.Size / 2);
      if (!prev || prev->Ruby() != ruby) touched = Ruby(row, i, look, paint, x, y, rubyHeight);
    }
    const TFontPixel& glyph = glyphs_.GetGlyph(c->Code, look.FontName, look.Style, look.Size);
    TRect cell = TRect::FromSize(x, y + rubyHeight, c->Width, c->Height - rubyHeight);
    touched = Union(touched, RenderGlyph(glyph, word_.PageColor, word_.PageCoverage, cell, paint));
    c->LastDrawn = Intersect(touched, bounds_);
  }

private:
  // The ruby of the group starting at index i, spread over the group's width.
  TRect Ruby(TWdRow& row, size_t i, const TCharLook& look, TGlyphPaint paint, int32_t x, int32_t y, int32_t r) {
    const std::string& ruby = AsChar(row.Children[i])->Ruby();
    int32_t groupWidth = 0;
    for (size_t j = i; j < row.Children.size(); ++j) {
      const TWdChar* g = AsChar(row.Children[j]);
      if (!g || g->Ruby() != ruby) break;
      groupWidth += g->Width;
    }
    paint.BorderWidth = std::min(paint.BorderWidth, 1);
    paint.ShadowOffset = std::min(paint.ShadowOffset, 1);
    paint.FirstOfRun = paint.LastOfRun = true;
    const int n = static_cast<int>(CharCount(ruby));
    TRect touched;
    int k = 1;
    for (size_t p = 0; p < ruby.size(); ++k) {
      size_t len = CharLen(ruby, p);
      uint16_t code = static_cast<unsigned char>(ruby[p]);
      if (len == 2) code = static_cast<uint16_t>(code << 8 | static_cast<unsigned char>(ruby[p + 1]));
      p += len;
      bool wide = len == 2;
      int32_t rx = RoundHalfEven((2.0 * k - 1) * groupWidth / (2.0 * n)) + x - (wide ? r / 2 : r / 4);
      const TFontPixel& glyph = glyphs_.GetGlyph(code, look.FontName, look.Style & 3, r);
      TRect cell = TRect::FromSize(rx, y, wide ? r : r / 2, r);
      touched = Union(touched, RenderGlyph(glyph, word_.PageColor, word_.PageCoverage, cell, paint));
    }
    return touched;
  }

  TKtWord& word_;
  TFontPixelManager& glyphs_;
  TRect bounds_;
};

void ForEachChar(TWdPage& page, const std::function<void(TWdRow&, size_t)>& f) {
  for (const auto& row : page.Rows)
    for (size_t i = 0; i < row->Children.size(); ++i) f(*row, i);
}

}  // namespace

TCharLook CharLook(const TKtWord& word, const TWdChar& c) {
  const TKtWordSettings& s = word.Settings;
  TCharLook look;
  const std::string& name = c.FontName().empty() ? s.FontName : c.FontName();
  look.FontName = name.empty() ? DefaultTextFontName() : name;
  look.Size = c.Size() ? c.Size() : s.FontSize;
  bool link = !c.Link.empty();
  look.Style = static_cast<uint8_t>(c.Style() | (link ? 4 : 0));
  if (link && c.LinkHover) {
    look.TextColor = s.ActiveLinkColor;
  } else if (c.Color() == -1) {
    look.TextColor = link ? s.LinkColor : s.TextColor;
  } else {
    look.TextColor = c.Color();
  }
  look.BorderColor = c.BorderColor() == -1 ? s.BorderColor : c.BorderColor();
  look.ShadowColor = c.ShadowColor() == -1 ? s.ShadowColor : c.ShadowColor();
  TRunKey key = RunKey(word, c);
  look.BorderWidth = key.BorderWidth;
  look.ShadowOffset = key.ShadowOffset;
  return look;
}

void PageSurfaceSize(const TKtWord& word, const TWdPage& page, int64_t& width, int64_t& height) {
  // 64 bits: rows of huge characters may lie beyond the int32 range.
  width = std::max(page.Width, word.Settings.Width);
  height = page.Height;
  for (const auto& row : page.Rows) {
    width = std::max(width, int64_t{row->X} + row->Width);
    height = std::max(height, int64_t{row->Y} + row->Height);
    for (const TWdGlyph* g : row->Children) {
      width = std::max(width, int64_t{row->X} + g->X + g->Width);
      height = std::max(height, int64_t{row->Y} + g->Y + g->Height);
    }
  }
  width = std::max<int64_t>(1, width);
  height = std::max<int64_t>(1, height);
}

bool RenderPage(TKtWord& word, TWdPage& page, TFontPixelManager& glyphs, int bitCount, bool reset) {
  if (reset)
    for (const auto& row : page.Rows)
      for (TWdGlyph* g : row->Children)
        if (g->Kind() == gkChar || g->Kind() == gkImg) static_cast<TWdReal*>(g)->Alpha = 0;
  int64_t width = 0, height = 0;
  PageSurfaceSize(word, page, width, height);
  if (!TextSurfaceFits(width, height)) {
    // Nothing is rendered: the characters have no rectangle to be drawn from.
    word.PageColor.SetSize(1, 1, bitCount);
    word.PageCoverage.SetSize(1, 1, 8);
    ForEachChar(page, [](TWdRow& row, size_t i) {
      if (row.Children[i]->Kind() == gkChar) static_cast<TWdChar*>(row.Children[i])->LastDrawn = TRect{};
    });
    return false;
  }
  word.PageColor.SetSize(static_cast<int>(width), static_cast<int>(height), bitCount);
  word.PageColor.Transparent = 0;
  word.PageColor.ResetClip();
  word.PageColor.Fill(0);
  word.PageCoverage.SetSize(static_cast<int>(width), static_cast<int>(height), 8);
  word.PageCoverage.ResetClip();
  word.PageCoverage.Fill(0);
  glyphs.SetQuality(word.Settings.Smoothing);
  TPageRenderer renderer(word, glyphs);
  ForEachChar(page, [&](TWdRow& row, size_t i) { renderer.Render(row, i, nullptr); });
  return true;
}

TRect RenderChars(TKtWord& word, TWdPage& page, TFontPixelManager& glyphs, const std::vector<TWdChar*>& chars) {
  TRect area;
  for (const TWdChar* c : chars) area = Union(area, c->LastDrawn);
  if (area.Empty()) return {};
  TRect colorClip = word.PageColor.GetClipRect(), coverageClip = word.PageCoverage.GetClipRect();
  word.PageColor.FillRect(area, 0);
  word.PageCoverage.FillRect(area, 0);
  word.PageColor.SetClipRect(area);
  word.PageCoverage.SetClipRect(area);
  glyphs.SetQuality(word.Settings.Smoothing);
  TPageRenderer renderer(word, glyphs);
  ForEachChar(page, [&](TWdRow& row, size_t i) { renderer.Render(row, i, &area); });
  word.PageColor.SetClipRect(colorClip);
  word.PageCoverage.SetClipRect(coverageClip);
  return area;
}

void DrawChar(TKtWord& word, const TWdChar& c, TCustomDIBX& target, int32_t x, int32_t y) {
  const TRect& r = c.LastDrawn;
  if (c.Alpha <= 0 || r.Empty()) return;
  TCharLook look = CharLook(word, c);
  if (look.Colored()) {
    if (c.Alpha < 255) {
      target.DrawAlphaMask(x + r.Left, y + r.Top, c.Alpha, &word.PageCoverage, false, false, r, &word.PageColor);
    } else {
      target.DrawMask(x + r.Left, y + r.Top, &word.PageCoverage, false, false, r, &word.PageColor);
    }
  } else {
    uint32_t pixel = static_cast<uint32_t>(target.ColorToPixel(look.TextColor));
    target.DrawMonoMask(x + r.Left, y + r.Top, c.Alpha, pixel, false, false, r, &word.PageCoverage);
  }
}

}  // namespace nova
