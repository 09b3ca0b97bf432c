// The mask members' composition: every pixel from the old or the new picture, or a blend of
// both, by the mask value, the mask repeated down the screen. Row routines on 32 bits, direct
// 16-bit words on 15/16 bits, and the plain per-pixel formula (the reference, and every other
// depth) give the same pixels.
#include <algorithm>
#include <cstring>

#include "render/blit.h"
#include "render/wipes.h"

namespace nova {

namespace {

// (f_c x (255 - m) + t_c x m) >> 8 on one 15/16-bit pixel with the channel masks.
inline uint16_t Blend16(uint32_t f, uint32_t t, uint32_t m, uint32_t rm, uint32_t gm, uint32_t bm) {
  uint32_t im = 255 - m;
  uint32_t r = (((f & rm) * im + (t & rm) * m) >> 8) & rm;
  uint32_t g = (((f & gm) * im + (t & gm) * m) >> 8) & gm;
  uint32_t b = (((f & bm) * im + (t & bm) * m) >> 8) & bm;
  return static_cast<uint16_t>(r | g | b);
}

}  // namespace

void ComposeThroughMask(TCustomDIBX* dest, TCustomDIBX* from, TCustomDIBX* to, TCustomDIBX* mask, bool binary) {
  if (!dest || !from || !to || !mask || mask->GetBitCount() != 8 || mask->IsEmpty()) return;
  if (!blit::Compatible(dest, from) || !blit::Compatible(dest, to)) return;
  const int w = std::min({dest->GetWidth(), from->GetWidth(), to->GetWidth(), mask->GetWidth()});
  const int h = std::min({dest->GetHeight(), from->GetHeight(), to->GetHeight()});
  const int mh = mask->GetHeight();
  blit::TAccess d(dest), f(from), t(to), m(mask);
  if (!blit::AllLocked(d, f, t, m)) return;
  const int bits = dest->GetStoredBitCount();

  if (blit::UseRows32(dest)) {
    const TRows32& rows = ActiveRows32();
    for (int y = 0; y < h; ++y) {
      uint32_t* dr = d.Row32(y);
      const uint32_t* fr = f.Row32(y);
      const uint32_t* tr = t.Row32(y);
      const uint8_t* mr = m.Row(y % mh);
      if (binary) {
        for (int x = 0; x < w; ++x) dr[x] = mr[x] ? tr[x] : fr[x];
      } else {
        std::memcpy(dr, fr, static_cast<size_t>(w) * 4);
        rows.Mask[0](dr, tr, mr, w);
      }
    }
    return;
  }

  if (bits == 16 && GetBlitPath() != TBlitPath::PerPixel) {
    const uint32_t rm = dest->GetRedMask(), gm = dest->GetGreenMask(), bm = dest->GetBlueMask();
    for (int y = 0; y < h; ++y) {
      auto* dr = reinterpret_cast<uint16_t*>(d.Row(y));
      auto* fr = reinterpret_cast<const uint16_t*>(f.Row(y));
      auto* tr = reinterpret_cast<const uint16_t*>(t.Row(y));
      const uint8_t* mr = m.Row(y % mh);
      for (int x = 0; x < w; ++x) {
        uint32_t mv = mr[x];
        dr[x] = mv == 0 ? fr[x] : (binary || mv == 255) ? tr[x] : Blend16(fr[x], tr[x], mv, rm, gm, bm);
      }
    }
    return;
  }

  // The plain formula, pixel by pixel.
  const pixel::TMasks cm = blit::MasksOf(dest);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t mv = mask->GetPixel(x, y % mh);
      uint32_t fv = from->GetPixel(x, y), tv = to->GetPixel(x, y);
      dest->SetPixel(x, y, mv == 0 ? fv : (binary || mv == 255) ? tv : pixel::Blend(fv, tv, mv, cm));
    }
}

}  // namespace nova
