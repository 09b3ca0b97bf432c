#include "formats/surface_pixels.h"

#include <algorithm>
#include <cstring>

namespace nova {

TSurfaceAccess::TSurfaceAccess(TCustomDIBX& s) : s_(s) {
  uint8_t* origin = s.IsEmpty() ? nullptr : s.PixelAddress(0, 0);
  if (origin) view_ = TPixelView{origin, s.GetPitch(), s.GetWidth(), s.GetHeight(), s.GetStoredBitCount()};
}

TSurfaceAccess::~TSurfaceAccess() {
  if (view_.Origin) s_.Unlock();
}

std::unique_ptr<TDIBX> SurfaceFromBitmap(const TBrioBitmap& bitmap, const TBrioPalette& palette) {
  auto s = std::make_unique<TDIBX>();
  s->SetSize(bitmap.Width(), bitmap.Height(), bitmap.Bits());
  if (bitmap.Bits() <= 8 && !palette.empty()) {
    uint32_t table[256] = {};
    for (size_t i = 0; i < palette.size() && i < 256; ++i) table[i] = palette[i];
    s->SetPaletteEntries(table, 0, static_cast<int>(std::min<size_t>(palette.size(), 256)));
  }
  TSurfaceAccess access(*s);
  const TPixelView& v = access.View();
  const size_t used = (static_cast<size_t>(bitmap.Width()) * bitmap.Bits() + 7) / 8;
  for (int32_t y = 0; y < v.Height; ++y) std::memcpy(v.Row(y), bitmap.Row(y), used);
  return s;
}

TBrioPalette SurfacePalette(TCustomDIBX& s) {
  int bits = s.GetStoredBitCount();
  if (bits > 8) return {};
  TBrioPalette palette(size_t{1} << bits);
  s.GetPaletteEntries(palette.data(), 0, static_cast<int>(palette.size()));
  return palette;
}


uint32_t SurfacePixelToColor(TCustomDIBX& s, uint32_t pixel, const TBrioPalette& palette) {
  if (s.GetStoredBitCount() <= 8) return pixel < palette.size() ? palette[pixel] & 0xFFFFFF : 0;
  return WidenChannel(pixel, s.GetRedMask()) | WidenChannel(pixel, s.GetGreenMask()) << 8 |
         WidenChannel(pixel, s.GetBlueMask()) << 16;
}

TBrioBitmap BitmapFromSurface(TCustomDIBX& s, bool keepDepth) {
  const int bits = s.GetBitCount();
  TSurfaceAccess access(s);
  const TPixelView& v = access.View();
  const bool asIs = bits <= 8 || bits == 24 || (keepDepth && (bits == 16 || bits == 32));
  TBrioBitmap out(v.Width, v.Height, asIs ? s.GetStoredBitCount() : 24);
  if (v.Empty()) return out;
  if (asIs) {
    const size_t used = (static_cast<size_t>(v.Width) * v.Bits + 7) / 8;
    for (int32_t y = 0; y < v.Height; ++y) std::memcpy(out.Row(y), v.Row(y), used);
    return out;
  }
  TBrioPalette none;
  for (int32_t y = 0; y < v.Height; ++y)
    for (int32_t x = 0; x < v.Width; ++x) {
      uint32_t color = SurfacePixelToColor(s, ReadPixel(v.Row(y), x, v.Bits), none);
      out.SetPixel(x, y, static_cast<uint32_t>(ColorToPixelValue(color, 24)));
    }
  return out;
}

}  // namespace nova
