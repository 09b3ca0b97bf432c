#include "text/glyph_render.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include "render/blit.h"

namespace nova {

namespace {

std::atomic<TGlyphRenderPath> gPath{TGlyphRenderPath::Fast};

// The border composition of a glyph pixel of coverage k (1..254) over coverage c: the new
// coverage c + k (255 - c) / 255, and the colour weight k 255 / c' (never above 255: c' >= k).
struct TComposeTables {
  uint8_t Cover[256][256];
  uint8_t Weight[256][256];
  TComposeTables() {
    for (uint32_t k = 0; k < 256; ++k)
      for (uint32_t c = 0; c < 256; ++c) {
        Cover[k][c] = static_cast<uint8_t>(k == 255 ? 255 : c + k * (255 - c) / 255);
        Weight[k][c] = static_cast<uint8_t>(c == 0 ? 255 : std::min(255u, k * 255 / c));
      }
  }
};

const TComposeTables& ComposeTables() {
  static const TComposeTables tables;
  return tables;
}

// pixel::Blend for 8-8-8 pixels, red and blue side by side in one word: each lane's sum stays
// below 65536, so the lanes never carry into each other.
inline uint32_t BlendLanes(uint32_t d, uint32_t s, uint32_t w) {
  uint32_t rb = ((d & 0xFF00FF) * (255 - w) + (s & 0xFF00FF) * w) >> 8 & 0xFF00FF;
  uint32_t g = ((d & 0xFF00) * (255 - w) + (s & 0xFF00) * w) >> 8 & 0xFF00;
  return rb | g;
}

// Pixels through the surfaces' own GetPixel / SetPixel.
class TRefPixels {
public:
  TRefPixels(TCustomDIBX& color, TCustomDIBX& cov, TCustomDIBX& ink) : c_(color), v_(cov), k_(ink) {}
  uint32_t Color(int x, int y) { return c_.GetPixel(x, y); }
  void SetColor(int x, int y, uint32_t v) { c_.SetPixel(x, y, v); }
  uint32_t Cov(int x, int y) { return v_.GetPixel(x, y); }
  void SetCov(int x, int y, uint32_t v) { v_.SetPixel(x, y, v); }
  uint32_t Ink(int i, int j) { return k_.GetPixel(i, j); }
  void FillRow(int y, int xa, int xb, uint32_t color, uint32_t coverage) {
    for (int x = xa; x < xb; ++x) {
      c_.SetPixel(x, y, color);
      v_.SetPixel(x, y, coverage);
    }
  }

private:
  TCustomDIBX &c_, &v_, &k_;
};

// Pixels through row addresses: colour words of T, 8-bit coverage and ink.
template <typename T>
class TRowPixels {
public:
  TRowPixels(TCustomDIBX& color, TCustomDIBX& cov, TCustomDIBX& ink) : c_(&color), v_(&cov), k_(&ink) {}
  explicit operator bool() const { return c_ && v_ && k_; }
  uint32_t Color(int x, int y) { return reinterpret_cast<T*>(c_.Row(y))[x]; }
  void SetColor(int x, int y, uint32_t v) { reinterpret_cast<T*>(c_.Row(y))[x] = static_cast<T>(v); }
  uint32_t Cov(int x, int y) { return v_.Row(y)[x]; }
  void SetCov(int x, int y, uint32_t v) { v_.Row(y)[x] = static_cast<uint8_t>(v); }
  uint32_t Ink(int i, int j) { return k_.Row(j)[i]; }
  void FillRow(int y, int xa, int xb, uint32_t color, uint32_t coverage) {
    if (xa >= xb) return;
    std::fill(reinterpret_cast<T*>(c_.Row(y)) + xa, reinterpret_cast<T*>(c_.Row(y)) + xb, static_cast<T>(color));
    std::memset(v_.Row(y) + xa, static_cast<int>(coverage), static_cast<size_t>(xb - xa));
  }

private:
  blit::TAccess c_, v_, k_;
};

// Runs f with the pixel access of the chosen path.
template <typename F>
void WithPixels(TCustomDIBX& color, TCustomDIBX& cov, TCustomDIBX& ink, F&& f) {
  if (gPath.load(std::memory_order_relaxed) == TGlyphRenderPath::Fast && cov.GetStoredBitCount() == 8 &&
      ink.GetStoredBitCount() == 8) {
    int stored = color.GetStoredBitCount();
    if (stored == 32) {
      TRowPixels<uint32_t> px(color, cov, ink);
      if (px) return f(px);
    } else if (stored == 16) {
      TRowPixels<uint16_t> px(color, cov, ink);
      if (px) return f(px);
    }
  }
  TRefPixels px(color, cov, ink);
  f(px);
}

// One glyph being painted: its image placed at (gx, gy) and what may be written.
struct TPainter {
  TCustomDIBX& color;
  TCustomDIBX& cov;
  TCustomDIBX& ink;
  TRect clip;
  pixel::TMasks masks;
  int32_t bw, bh;

  // A bar: the pixel and coverage 255.
  void Bar(const TRect& r, uint32_t pixel) {
    TRect b = Intersect(r, clip);
    if (b.Empty()) return;
    WithPixels(color, cov, ink, [&](auto& px) {
      for (int y = b.Top; y < b.Bottom; ++y)
        for (int x = b.Left; x < b.Right; ++x) {
          px.SetColor(x, y, pixel);
          px.SetCov(x, y, 255);
        }
    });
  }

  // The glyph's pixels at (x0, y0) that lie in the clip: i in [i0, i1), j in [j0, j1).
  struct TSpan {
    int i0, i1, j0, j1;
  };
  TSpan Visible(int x0, int y0) const {
    return TSpan{std::max(0, clip.Left - x0), std::min(bw, clip.Right - x0), std::max(0, clip.Top - y0),
                 std::min(bh, clip.Bottom - y0)};
  }

  // Calls f(px, x, y, k) for every glyph pixel of coverage k > 0 that lands at (x, y) inside
  // the clip when the glyph is placed at (x0, y0).
  template <typename F>
  void ForInk(int x0, int y0, F&& f) {
    TSpan s = Visible(x0, y0);
    WithPixels(color, cov, ink, [&](auto& px) {
      for (int j = s.j0; j < s.j1; ++j)
        for (int i = s.i0; i < s.i1; ++i)
          if (uint32_t k = px.Ink(i, j)) f(px, x0 + i, y0 + j, k);
    });
  }

  // Without border and shadow: the text pixel where the glyph has coverage, which is copied.
  void Plain(int x0, int y0, uint32_t text) {
    ForInk(x0, y0, [&](auto& px, int x, int y, uint32_t k) {
      px.SetColor(x, y, text);
      px.SetCov(x, y, k);
    });
  }

  // Every pixel within w of a glyph pixel of coverage k composes `pixel` over what is there:
  // coverage c' = 255 when k = 255, else c + k (255 - c) / 255; colour weight s = k 255 / c'.
  // Glyph pixels are taken row by row, each spreading over its square in turn.
  void Spread(int x0, int y0, int w, uint32_t pixel) {
    if (gPath.load(std::memory_order_relaxed) == TGlyphRenderPath::Reference) {
      TRefPixels px(color, cov, ink);
      SpreadReference(px, x0, y0, w, pixel);
    } else {
      WithPixels(color, cov, ink, [&](auto& px) { SpreadFast(px, x0, y0, w, pixel); });
    }
  }

  template <typename P>
  void SpreadReference(P& px, int x0, int y0, int w, uint32_t pixel) {
    for (int j = 0; j < bh; ++j) {
      for (int i = 0; i < bw; ++i) {
        uint32_t k = px.Ink(i, j);
        if (k == 0) continue;
        for (int y = std::max(clip.Top, y0 + j - w); y < std::min(clip.Bottom, y0 + j + w + 1); ++y)
          for (int x = std::max(clip.Left, x0 + i - w); x < std::min(clip.Right, x0 + i + w + 1); ++x) {
            uint32_t c = px.Cov(x, y);
            uint32_t c2 = k == 255 ? 255 : c + k * (255 - c) / 255;
            uint32_t s = c2 == 0 ? 255 : k * 255 / c2;
            px.SetColor(x, y, pixel::Blend(px.Color(x, y), pixel, s, masks));
            px.SetCov(x, y, c2);
          }
      }
    }
  }

  // The same result, faster: a run of fully covered glyph pixels in a row fills the union of
  // their squares at once (a full pixel leaves coverage 255 and the colour (255 pixel) >> 8
  // whatever was there, so the order within the run does not matter), and the compositions of
  // partly covered pixels come from tables.
  template <typename P>
  void SpreadFast(P& px, int x0, int y0, int w, uint32_t pixel) {
    const TComposeTables& t = ComposeTables();
    const uint32_t full = pixel::Blend(0, pixel, 255, masks);
    const bool lanes = masks.R == 0xFF0000 && masks.G == 0xFF00 && masks.B == 0xFF;
    for (int j = 0; j < bh; ++j) {
      const int ya = std::max(clip.Top, y0 + j - w), yb = std::min(clip.Bottom, y0 + j + w + 1);
      if (ya >= yb) continue;
      for (int i = 0; i < bw;) {
        uint32_t k = px.Ink(i, j);
        if (k == 0) {
          ++i;
          continue;
        }
        if (k == 255) {
          int end = i + 1;
          while (end < bw && px.Ink(end, j) == 255) ++end;
          const int xa = std::max(clip.Left, x0 + i - w), xb = std::min(clip.Right, x0 + end - 1 + w + 1);
          for (int y = ya; y < yb; ++y) px.FillRow(y, xa, xb, full, 255);
          i = end;
          continue;
        }
        const uint8_t* coverOf = t.Cover[k];
        const uint8_t* weightOf = t.Weight[k];
        const int xa = std::max(clip.Left, x0 + i - w), xb = std::min(clip.Right, x0 + i + w + 1);
        for (int y = ya; y < yb; ++y)
          for (int x = xa; x < xb; ++x) {
            uint32_t c2 = coverOf[px.Cov(x, y)];
            uint32_t s = weightOf[c2];
            uint32_t d = px.Color(x, y);
            px.SetColor(x, y, lanes ? BlendLanes(d, pixel, s) : pixel::Blend(d, pixel, s, masks));
            px.SetCov(x, y, c2);
          }
        ++i;
      }
    }
  }

  // The face over its border: coverage merged (the larger wins); text where k = 255, else
  // (k text + (255 - k) border) >> 8.
  void Face(int x0, int y0, uint32_t text, uint32_t border) {
    ForInk(x0, y0, [&](auto& px, int x, int y, uint32_t k) {
      px.SetCov(x, y, std::max(px.Cov(x, y), k));
      px.SetColor(x, y, k == 255 ? text : pixel::Blend(border, text, k, masks));
    });
  }

  // The face over a shadow without border: as Plain where nothing lies below; over the
  // shadow the glyph's soft edge is composed onto it (as a border is) instead of replacing it.
  void FaceOver(int x0, int y0, uint32_t text) {
    ForInk(x0, y0, [&](auto& px, int x, int y, uint32_t k) {
      uint32_t c = px.Cov(x, y);
      if (c == 0 || k == 255) {
        px.SetColor(x, y, text);
        px.SetCov(x, y, k == 255 ? 255 : k);
        return;
      }
      uint32_t c2 = c + k * (255 - c) / 255;
      px.SetColor(x, y, pixel::Blend(px.Color(x, y), text, k * 255 / c2, masks));
      px.SetCov(x, y, c2);
    });
  }
};

}  // namespace

void SetGlyphRenderPath(TGlyphRenderPath path) { gPath.store(path); }
TGlyphRenderPath GetGlyphRenderPath() { return gPath.load(); }

int32_t RoundHalfEven(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

TRect RenderGlyph(const TFontPixel& glyph, TCustomDIBX& color, TCustomDIBX& coverage, const TRect& cell,
                  const TGlyphPaint& paint) {
  if (!glyph.Image) return {};
  const int32_t bw = glyph.BlackWidth(), bh = glyph.BlackHeight();
  const int32_t w = std::max(0, paint.BorderWidth), d = std::max(0, paint.ShadowOffset);

  // Placement: centred in the square part of the cell when the glyph leaves room there.
  int32_t g = std::min(cell.Width(), glyph.Size);
  int32_t free = g - bw;
  int32_t s = 0;
  if (glyph.OffsetX + glyph.RightBearing < free) {
    const TAbcWidths& abc = glyph.Abc;
    int32_t sum = abc.A + abc.B + abc.C;
    s = sum != 0 ? RoundHalfEven((abc.A + abc.B / 2.0) * free / sum) - glyph.OffsetX : free / 2 - glyph.OffsetX;
    s = std::max(s, 0);
  }
  const int32_t gx = cell.Left + glyph.OffsetX + s + w, gy = cell.Top + glyph.OffsetY + w;
  TRect touched = TRect::FromSize(cell.Left + glyph.OffsetX + s, cell.Top + glyph.OffsetY, bw + 2 * w + d,
                                  bh + 2 * w + d);

  TPainter p{color, coverage, *glyph.Image, Intersect(color.EffectiveClip(), coverage.EffectiveClip()),
             blit::MasksOf(&color), bw, bh};
  const int32_t ul = glyph.UnderlineThickness, st = glyph.StrikeOutThickness;
  const int32_t bottom = cell.Bottom, strikeTop = cell.Top + glyph.StrikeOutTop;
  auto bar = [&](const TRect& r, uint32_t pixel) {
    if (r.Empty()) return;
    p.Bar(r, pixel);
    touched = Union(touched, r);
  };

  if (w == 0 && d == 0) {
    if (paint.Opaque) {
      TRect box = TRect::FromSize(gx, gy, bw, bh);
      color.FillRect(box, paint.TextPixel);
      coverage.Draw(gx, gy, false, false, false, TRect{0, 0, bw, bh}, glyph.Image.get());
    } else {
      p.Plain(gx, gy, paint.TextPixel);
    }
    if (ul > 0) bar(TRect{cell.Left, bottom - ul, cell.Right, bottom}, paint.TextPixel);
    if (st > 0) bar(TRect{cell.Left, strikeTop, cell.Right, strikeTop + st}, paint.TextPixel);
    return touched;
  }

  // A bar of the text colour, thickness t from top, with border bands of w above and below.
  const int32_t right = cell.Right - (paint.LastOfRun ? d : 0);
  auto bordered = [&](int32_t top, int32_t t) {
    bar(TRect{cell.Left, top, right, top + w}, paint.BorderPixel);
    bar(TRect{cell.Left, top + w, right, top + w + t}, paint.TextPixel);
    bar(TRect{cell.Left, top + w + t, right, top + 2 * w + t}, paint.BorderPixel);
  };

  if (d > 0) {
    const int32_t left = cell.Left + (paint.FirstOfRun ? d : 0);
    if (ul > 0) bar(TRect{left, bottom - 2 * w - ul, cell.Right, bottom}, paint.ShadowPixel);
    p.Spread(gx + d, gy + d, w, paint.ShadowPixel);
    if (st > 0) bar(TRect{left, strikeTop + d, cell.Right, strikeTop + d + 2 * w + st}, paint.ShadowPixel);
  }
  if (ul > 0) bordered(bottom - d - 2 * w - ul, ul);
  if (w > 0) {
    p.Spread(gx, gy, w, paint.BorderPixel);
    p.Face(gx, gy, paint.TextPixel, paint.BorderPixel);
  } else {
    p.FaceOver(gx, gy, paint.TextPixel);
  }
  if (st > 0) bordered(strikeTop, st);
  return touched;
}

}  // namespace nova
