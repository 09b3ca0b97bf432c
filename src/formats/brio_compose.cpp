#include "formats/brio_compose.h"

#include <cstring>

namespace nova {

const uint8_t kBrioDitherMatrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

namespace {

constexpr uint32_t kMask16[3] = {0xF800, 0x07E0, 0x001F};

size_t UsedRowBytes(const TPixelView& v) { return (static_cast<size_t>(v.Width) * v.Bits + 7) / 8; }

// A 32-bit layer pixel matches a key on its colour bytes; the fourth byte does not count.
uint32_t KeyBits(uint32_t pixel, int32_t bits) { return bits == 32 ? pixel & 0xFFFFFFu : pixel; }

uint32_t BlendOpacityPixel(uint32_t d, uint32_t s, uint32_t a, int32_t bits) {
  uint32_t r = 0;
  if (bits == 16) {
    for (uint32_t m : kMask16) r |= (((255 - a) * (d & m) + a * (s & m)) / 255) & m;
    return r;
  }
  uint32_t divisor = bits == 32 ? 256 : 255;
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t dc = (d >> shift) & 0xFF, sc = (s >> shift) & 0xFF;
    r |= (((255 - a) * dc + a * sc) / divisor) << shift;
  }
  return r;  // at 32 bits the fourth byte becomes 0
}

uint32_t BlendMaskPixel(uint32_t d, uint32_t s, uint32_t m, int32_t bits) {
  uint32_t r = 0;
  if (bits == 16) {
    for (uint32_t cm : kMask16) r |= (((s & cm) * m + (d & cm) * (255 - m)) / 256) & cm;
    return r;
  }
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t dc = (d >> shift) & 0xFF, sc = (s >> shift) & 0xFF;
    r |= ((sc * m + dc * (255 - m)) / 256) << shift;
  }
  return r;
}

bool DitherShows(int32_t level, int32_t x, int32_t y) { return level >= 15 || kBrioDitherMatrix[y & 3][x & 3] <= level; }

// ---- fast rows for 16, 24 and 32 bits ----

template <int Bits>
uint32_t Load(const uint8_t* p) {
  if constexpr (Bits == 16) return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
  if constexpr (Bits == 24) return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16;
  if constexpr (Bits == 32) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
  }
}

template <int Bits>
void Store(uint8_t* p, uint32_t v) {
  if constexpr (Bits == 16) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
  }
  if constexpr (Bits == 24) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
  }
  if constexpr (Bits == 32) std::memcpy(p, &v, 4);
}

template <int Bits>
void DrawRows(const TPixelView& frame, const TPixelView& layer, uint32_t a, bool copy, int64_t key) {
  constexpr int step = Bits / 8;
  const bool keyed = key >= 0;
  const uint32_t k = static_cast<uint32_t>(key);
  for (int32_t y = 0; y < frame.Height; ++y) {
    uint8_t* d = frame.Row(y);
    const uint8_t* s = layer.Row(y);
    for (int32_t x = 0; x < frame.Width; ++x, d += step, s += step) {
      uint32_t sv = Load<Bits>(s);
      if (keyed && KeyBits(sv, Bits) == k) continue;
      if (copy) {
        Store<Bits>(d, sv);
        continue;
      }
      uint32_t dv = Load<Bits>(d);
      uint32_t r = 0;
      if constexpr (Bits == 16) {
        r = (((255 - a) * (dv & 0xF800) + a * (sv & 0xF800)) / 255) & 0xF800;
        r |= (((255 - a) * (dv & 0x07E0) + a * (sv & 0x07E0)) / 255) & 0x07E0;
        r |= (((255 - a) * (dv & 0x001F) + a * (sv & 0x001F)) / 255) & 0x001F;
      } else {
        constexpr uint32_t divisor = Bits == 32 ? 256 : 255;
        r = ((255 - a) * (dv & 0xFF) + a * (sv & 0xFF)) / divisor;
        r |= (((255 - a) * ((dv >> 8) & 0xFF) + a * ((sv >> 8) & 0xFF)) / divisor) << 8;
        r |= (((255 - a) * ((dv >> 16) & 0xFF) + a * ((sv >> 16) & 0xFF)) / divisor) << 16;
      }
      Store<Bits>(d, r);
    }
  }
}

template <int Bits>
void MaskRows(const TPixelView& frame, const TPixelView& layer, const TPixelView& mask) {
  constexpr int step = Bits / 8;
  for (int32_t y = 0; y < frame.Height; ++y) {
    uint8_t* d = frame.Row(y);
    const uint8_t* s = layer.Row(y);
    const uint8_t* m = mask.Row(y);
    for (int32_t x = 0; x < frame.Width; ++x, d += step, s += step) {
      uint32_t mv = m[x];
      if (mv == 0) continue;
      uint32_t sv = Load<Bits>(s);
      if (mv == 255) {
        Store<Bits>(d, sv);
        continue;
      }
      uint32_t dv = Load<Bits>(d), r;
      if constexpr (Bits == 16) {
        r = (((sv & 0xF800) * mv + (dv & 0xF800) * (255 - mv)) / 256) & 0xF800;
        r |= (((sv & 0x07E0) * mv + (dv & 0x07E0) * (255 - mv)) / 256) & 0x07E0;
        r |= (((sv & 0x001F) * mv + (dv & 0x001F) * (255 - mv)) / 256) & 0x001F;
      } else {
        r = ((sv & 0xFF) * mv + (dv & 0xFF) * (255 - mv)) / 256;
        r |= ((((sv >> 8) & 0xFF) * mv + ((dv >> 8) & 0xFF) * (255 - mv)) / 256) << 8;
        r |= ((((sv >> 16) & 0xFF) * mv + ((dv >> 16) & 0xFF) * (255 - mv)) / 256) << 16;
      }
      Store<Bits>(d, r);
    }
  }
}

bool SameShape(const TPixelView& a, const TPixelView& b) {
  return !a.Empty() && !b.Empty() && a.Width == b.Width && a.Height == b.Height;
}

}  // namespace

void FillFrameBackground(const TPixelView& frame, const TBrioPalette& palette, uint32_t color) {
  if (frame.Empty()) return;
  uint32_t pixel = frame.Bits <= 8 ? static_cast<uint32_t>(NearestPaletteIndex(palette, color))
                                   : static_cast<uint32_t>(ColorToPixelValue(color, frame.Bits));
  for (int32_t y = 0; y < frame.Height; ++y) {
    uint8_t* row = frame.Row(y);
    if (frame.Bits == 8) {
      std::memset(row, static_cast<int>(pixel), static_cast<size_t>(frame.Width));
      continue;
    }
    for (int32_t x = 0; x < frame.Width; ++x) WritePixel(row, x, frame.Bits, pixel);
  }
}

void CopyLayer(const TPixelView& frame, const TPixelView& layer) {
  if (!SameShape(frame, layer) || frame.Bits != layer.Bits) return;
  for (int32_t y = 0; y < frame.Height; ++y) std::memcpy(frame.Row(y), layer.Row(y), UsedRowBytes(frame));
}

void DrawLayerReference(const TPixelView& frame, const TPixelView& layer, int32_t opacity, int64_t key) {
  if (!SameShape(frame, layer) || frame.Bits != layer.Bits || opacity == 0) return;
  const int32_t bits = frame.Bits;
  const bool copy = opacity > 254 || opacity < 0;
  for (int32_t y = 0; y < frame.Height; ++y) {
    for (int32_t x = 0; x < frame.Width; ++x) {
      uint32_t s = ReadPixel(layer.Row(y), x, bits);
      if (key >= 0 && KeyBits(s, bits) == static_cast<uint32_t>(key)) continue;
      if (copy || (bits <= 8 && DitherShows(opacity / 16, x, y))) {
        WritePixel(frame.Row(y), x, bits, s);
      } else if (bits > 8) {
        uint32_t d = ReadPixel(frame.Row(y), x, bits);
        WritePixel(frame.Row(y), x, bits, BlendOpacityPixel(d, s, static_cast<uint32_t>(opacity), bits));
      }
    }
  }
}

void DrawLayerMaskedReference(const TPixelView& frame, const TPixelView& layer, const TPixelView& mask) {
  if (!SameShape(frame, layer) || !SameShape(frame, mask) || frame.Bits != layer.Bits || mask.Bits != 8) return;
  const int32_t bits = frame.Bits;
  for (int32_t y = 0; y < frame.Height; ++y) {
    for (int32_t x = 0; x < frame.Width; ++x) {
      uint32_t m = mask.Row(y)[x];
      if (m == 0) continue;
      uint32_t s = ReadPixel(layer.Row(y), x, bits);
      // A paletted frame cannot mix colours: the mask value picks a dither level instead.
      if (m == 255 || (bits <= 8 && DitherShows(static_cast<int32_t>(m / 16), x, y))) {
        WritePixel(frame.Row(y), x, bits, s);
      } else if (bits > 8) {
        uint32_t d = ReadPixel(frame.Row(y), x, bits);
        WritePixel(frame.Row(y), x, bits, BlendMaskPixel(d, s, m, bits));
      }
    }
  }
}

void DrawLayer(const TPixelView& frame, const TPixelView& layer, int32_t opacity, int64_t key) {
  if (!SameShape(frame, layer) || frame.Bits != layer.Bits || opacity == 0) return;
  const bool copy = opacity > 254 || opacity < 0;
  if (copy && key < 0) return CopyLayer(frame, layer);
  const uint32_t a = static_cast<uint32_t>(opacity);
  switch (frame.Bits) {
    case 16: return DrawRows<16>(frame, layer, a, copy, key);
    case 24: return DrawRows<24>(frame, layer, a, copy, key);
    case 32: return DrawRows<32>(frame, layer, a, copy, key);
    default: return DrawLayerReference(frame, layer, opacity, key);  // paletted: dithered per pixel
  }
}

void DrawLayerMasked(const TPixelView& frame, const TPixelView& layer, const TPixelView& mask) {
  if (!SameShape(frame, layer) || !SameShape(frame, mask) || frame.Bits != layer.Bits || mask.Bits != 8) return;
  switch (frame.Bits) {
    case 16: return MaskRows<16>(frame, layer, mask);
    case 24: return MaskRows<24>(frame, layer, mask);
    case 32: return MaskRows<32>(frame, layer, mask);
    default: return DrawLayerMaskedReference(frame, layer, mask);
  }
}

}  // namespace nova
