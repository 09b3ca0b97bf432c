// Members of light and blends: fade, white, black, flash, the mask picture through white or
// black (WP_MASKWHITE, WP_MASKBLACK), the blurs and the spotlight.
#include <algorithm>
#include <cmath>
#include <functional>

#include "render/blit.h"
#include "render/rows_scalar.h"
#include "render/wipe_kinds.h"
#include "render/wipe_math.h"

namespace nova {

namespace {

// A pixel's light: bit 8 selects the new picture, the low byte is the grey added (subtracted
// when darkening) with saturation; 0 copies the picture's pixel as it is.
constexpr uint16_t kNew = 0x100;

// dest := picture (from or to by code) +/- grey, every pixel; codes(y, out) gives the row's
// codes. 32-bit rows work on the words, 15/16 bits on 16-bit words with the channel masks,
// the plain path (and other depths) pixel by pixel.
void LightPixels(TCustomDIBX* dest, TCustomDIBX* from, TCustomDIBX* to, bool darken,
                 const std::function<void(int, uint16_t*)>& codes) {
  if (!blit::Compatible(dest, from) || !blit::Compatible(dest, to)) return;
  const int w = std::min({dest->GetWidth(), from->GetWidth(), to->GetWidth()});
  const int h = std::min({dest->GetHeight(), from->GetHeight(), to->GetHeight()});
  std::vector<uint16_t> code(static_cast<size_t>(std::max(w, 0)));
  uint32_t grey[256];
  for (int v = 0; v < 256; ++v)
    grey[v] = static_cast<uint32_t>(dest->ColorToPixel(static_cast<int32_t>(v * 0x010101u)));
  const pixel::TMasks cm = blit::MasksOf(dest);
  auto light = [&](uint32_t p, uint16_t c) -> uint32_t {
    if ((c & 0xFF) == 0) return p;
    return darken ? pixel::SubSaturate(p, grey[c & 0xFF], cm) : pixel::AddSaturate(p, grey[c & 0xFF], cm);
  };
  const int bits = dest->GetStoredBitCount();
  const bool direct = GetBlitPath() != TBlitPath::PerPixel && (bits == 16 || bits == 32);
  if (!direct) {
    for (int y = 0; y < h; ++y) {
      codes(y, code.data());
      for (int x = 0; x < w; ++x) {
        uint16_t c = code[static_cast<size_t>(x)];
        dest->SetPixel(x, y, light((c & kNew ? to : from)->GetPixel(x, y), c));
      }
    }
    return;
  }
  blit::TAccess d(dest), f(from), t(to);
  if (!blit::AllLocked(d, f, t)) return;
  for (int y = 0; y < h; ++y) {
    codes(y, code.data());
    if (bits == 32) {
      uint32_t* dr = d.Row32(y);
      const uint32_t* fr = f.Row32(y);
      const uint32_t* tr = t.Row32(y);
      for (int x = 0; x < w; ++x) {
        uint16_t c = code[static_cast<size_t>(x)];
        uint32_t p = c & kNew ? tr[x] : fr[x];
        uint32_t g = (c & 0xFF) * 0x010101u;
        dr[x] = g == 0 ? p : darken ? px32::SubSaturate(p, g) : px32::AddSaturate(p, g);
      }
    } else {
      auto* dr = reinterpret_cast<uint16_t*>(d.Row(y));
      auto* fr = reinterpret_cast<const uint16_t*>(f.Row(y));
      auto* tr = reinterpret_cast<const uint16_t*>(t.Row(y));
      for (int x = 0; x < w; ++x) {
        uint16_t c = code[static_cast<size_t>(x)];
        dr[x] = static_cast<uint16_t>(light(c & kNew ? tr[x] : fr[x], c));
      }
    }
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// FADE: the new picture at alpha elapsed x 256 / duration over the old one, placed at
// (round(q x parameter 0), round(q x parameter 1)), q = (duration - elapsed - 1) / duration.

void TWipeFade::DrawStep() {
  StartFrom(from_);
  const double q = static_cast<double>(duration_ - elapsed_ - 1) / duration_;
  const int alpha = static_cast<int>(Scaled(256));
  dest_->DrawAlpha(wipe::Round(q * params_[0]), wipe::Round(q * params_[1]), alpha, false, false, false,
                   TRect{0, 0, to_->GetWidth(), to_->GetHeight()}, to_);
}

// ---------------------------------------------------------------------------------------------
// WHITE, BLACK: a = elapsed x 511 / duration; below 256 the old picture with grey a added
// (subtracted), then the new one with grey 511 - a. FLASH: the new picture with grey
// 255 - elapsed x 255 / duration added.

namespace {

void WhiteOrBlack(TCustomDIBX* dest, TCustomDIBX* from, TCustomDIBX* to, int64_t a, bool darken,
                  const std::function<void(TCustomDIBX*)>& start) {
  start(a < 256 ? from : to);
  const int v = static_cast<int>(a < 256 ? a : 511 - a);
  const int32_t c = v * 0x010101;
  const uint32_t grey = static_cast<uint32_t>(dest->ColorToPixel(c));
  const TRect all{0, 0, dest->GetWidth(), dest->GetHeight()};
  darken ? dest->FillRectSub(all, grey) : dest->FillRectAdd(all, grey);
}

}  // namespace

void TWipeWhite::DrawStep() {
  WhiteOrBlack(dest_, from_, to_, Scaled(511), false, [this](TCustomDIBX* p) { StartFrom(p); });
}

void TWipeBlack::DrawStep() {
  WhiteOrBlack(dest_, from_, to_, Scaled(511), true, [this](TCustomDIBX* p) { StartFrom(p); });
}

void TWipeFlash::DrawStep() {
  StartFrom(to_);
  dest_->FillRectAdd(TRect{0, 0, W(), H()}, GreyPixel(static_cast<int>(255 - Scaled(255))));
}

// ---------------------------------------------------------------------------------------------
// MASKWHITE, MASKBLACK: b = elapsed x 768 / duration; a pixel of grey level g has
// v = clamp(b + g - 256, 0, 511): the old picture plus (minus) grey v up to 255, then the new
// picture plus (minus) grey 511 - v.

void TWipeShadowWhite::Prepare() {
  TCustomWipe::Prepare();
  grey_ = GreyLevels();
}

void TWipeShadowWhite::DrawStep() {
  const int64_t b = Scaled(768);
  uint16_t byGrey[256];
  for (int g = 0; g < 256; ++g) {
    int64_t v = std::clamp<int64_t>(b + g - 256, 0, 511);
    byGrey[g] = static_cast<uint16_t>(v <= 255 ? v : kNew | (511 - v));
  }
  LightPixels(dest_, from_, to_, Darkens(), [&](int y, uint16_t* out) {
    const uint8_t* g = grey_.data() + static_cast<size_t>(y) * static_cast<size_t>(W());
    for (int x = 0; x < W(); ++x) out[x] = byGrey[g[x]];
  });
}

// ---------------------------------------------------------------------------------------------
// SPOT: per pixel n = round(hypot(y - H / 2, x - W / 2)) (reversed: round(R) - n), with
// R = hypot(H / 2, W / 2); b = elapsed x (R + 512) / duration, truncated. The old picture while
// b < n + 256, then the new one; while n <= b < n + 512 the light b - n (first 256 steps) or
// n - b + 511 (next 256) is added.

TWipeSpot::TWipeSpot(TCustomDIBX* destination, TCustomDIBX* from, TCustomDIBX* to)
    : TCustomWipe(destination, from, to) {
  BuildTable();
}

void TWipeSpot::SetReverse(uint8_t reverse) {
  TCustomWipe::SetReverse(reverse);
  BuildTable();
}

void TWipeSpot::BuildTable() {
  const int cx = W() / 2, cy = H() / 2;
  radius_ = std::hypot(cy, cx);
  const int32_t far = wipe::Round(radius_);
  distance_.resize(static_cast<size_t>(W()) * static_cast<size_t>(H()));
  for (int y = 0; y < H(); ++y)
    for (int x = 0; x < W(); ++x) {
      int32_t n = wipe::Round(std::hypot(y - cy, x - cx));
      distance_[static_cast<size_t>(y) * W() + x] = static_cast<uint16_t>(reverse_ ? far - n : n);
    }
}

void TWipeSpot::DrawStep() {
  const auto b = static_cast<int64_t>(std::floor(elapsed_ * (radius_ + 512) / duration_));
  LightPixels(dest_, from_, to_, false, [&](int y, uint16_t* out) {
    const uint16_t* n = distance_.data() + static_cast<size_t>(y) * W();
    for (int x = 0; x < W(); ++x) {
      int64_t k = b - n[x];
      out[x] = k < 0     ? 0
               : k < 256 ? static_cast<uint16_t>(k)
               : k < 512 ? static_cast<uint16_t>(kNew | (511 - k))
                         : kNew;
    }
  });
}

// ---------------------------------------------------------------------------------------------
// BLURWHITE, BLURBLACK: blurred copies of both pictures (radius min(W, H) / 20) made at
// construction; b = elapsed x 639 / duration: the old picture sharp to blurred (alpha b), the
// blurred old picture brightened by 4 (b - 256), the blurred new one brightened by 4 (383 - b),
// the new picture blurred to sharp (alpha 639 - b). BLURBLACK darkens instead.

TWipeBlurWhite::TWipeBlurWhite(TCustomDIBX* destination, TCustomDIBX* from, TCustomDIBX* to)
    : TCustomWipe(destination, from, to) {
  const int radius = std::min(W(), H()) / 20;
  BoxBlur(*from_, blurFrom_, radius);
  BoxBlur(*to_, blurTo_, radius);
}

void TWipeBlurWhite::DrawStep() {
  const int64_t b = Scaled(639);
  const TRect all{0, 0, W(), H()};
  auto light = [&](int64_t v) {
    uint32_t grey = GreyPixel(static_cast<int>(v));
    Darkens() ? dest_->FillRectSub(all, grey) : dest_->FillRectAdd(all, grey);
  };
  if (b <= 255) {
    StartFrom(from_);
    dest_->DrawAlpha(0, 0, static_cast<int>(b), false, false, false, all, &blurFrom_);
  } else if (b <= 319) {
    StartFrom(&blurFrom_);
    light(4 * (b - 256));
  } else if (b <= 383) {
    StartFrom(&blurTo_);
    light(4 * (383 - b));
  } else {
    StartFrom(to_);
    dest_->DrawAlpha(0, 0, static_cast<int>(639 - b), false, false, false, all, &blurTo_);
  }
}

void BoxBlur(TCustomDIBX& picture, TDIBX& out, int radius) {
  const int w = picture.GetWidth(), h = picture.GetHeight();
  out.SetSize(w, h, picture.GetBitCount() ? picture.GetBitCount() : 32);
  if (w <= 0 || h <= 0) return;
  if (radius <= 0) {
    out.Assign(&picture);
    return;
  }
  const uint32_t masks[3] = {picture.GetRedMask(), picture.GetGreenMask(), picture.GetBlueMask()};
  const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
  std::vector<uint32_t> pixels(n), result(n, 0), rowSums(n);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) pixels[static_cast<size_t>(y) * w + x] = picture.GetPixel(x, y);
  std::vector<uint64_t> prefix(static_cast<size_t>(std::max(w, h)) + 1);
  for (uint32_t mask : masks) {
    if (mask == 0) continue;
    const int shift = __builtin_ctz(mask);
    // Sums over the window's columns, then over its rows; the count is their product.
    for (int y = 0; y < h; ++y) {
      const uint32_t* row = pixels.data() + static_cast<size_t>(y) * w;
      for (int x = 0; x < w; ++x) prefix[x + 1] = prefix[x] + ((row[x] & mask) >> shift);
      for (int x = 0; x < w; ++x) {
        int lo = std::max(0, x - radius), hi = std::min(w, x + radius + 1);
        rowSums[static_cast<size_t>(y) * w + x] = static_cast<uint32_t>(prefix[hi] - prefix[lo]);
      }
    }
    for (int x = 0; x < w; ++x) {
      for (int y = 0; y < h; ++y) prefix[y + 1] = prefix[y] + rowSums[static_cast<size_t>(y) * w + x];
      const int columns = std::min(w, x + radius + 1) - std::max(0, x - radius);
      for (int y = 0; y < h; ++y) {
        int lo = std::max(0, y - radius), hi = std::min(h, y + radius + 1);
        uint64_t average = (prefix[hi] - prefix[lo]) / (static_cast<uint64_t>(columns) * (hi - lo));
        result[static_cast<size_t>(y) * w + x] |= (static_cast<uint32_t>(average) << shift) & mask;
      }
    }
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out.SetPixel(x, y, result[static_cast<size_t>(y) * w + x]);
}

}  // namespace nova
