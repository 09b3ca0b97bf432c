#pragma once
// The blend of one source pixel onto one destination pixel, as chosen by the scaled, rotated
// and pattern draws: on 32-bit rows through the row routines, or pixel by pixel.
#include <algorithm>
#include <cstdint>

#include "render/pixel_math.h"
#include "render/rows.h"

namespace nova::blit {

enum class TBlend { Copy, Alpha, Add, Mask, AlphaMask, AddMask };

struct TBlendOp {
  TBlend kind = TBlend::Copy;
  uint32_t amount = 255;   // alpha or factor, 0..255
  bool keyed = false;      // hide source pixels equal to key
  uint32_t key = 0;
  bool skipEqual = false;  // alpha blends leave pixels equal to the source alone
  bool plainAdd8 = false;  // 8-bit destinations add the plain values, whatever the factor

  bool Masked() const { return kind == TBlend::Mask || kind == TBlend::AlphaMask || kind == TBlend::AddMask; }

  // The blend of a display object's value: 0..254 blend, 255 opaque, 256..511 additive with
  // factor value - 256 (capped at 255).
  static TBlendOp FromValue(int value, bool masked) {
    TBlendOp op;
    if (value == 255) {
      op.kind = masked ? TBlend::Mask : TBlend::Copy;
    } else if (value < 255) {
      op.kind = masked ? TBlend::AlphaMask : TBlend::Alpha;
      op.amount = static_cast<uint32_t>(value);
    } else {
      op.kind = masked ? TBlend::AddMask : TBlend::Add;
      op.amount = static_cast<uint32_t>(std::min(value - 256, 255));
    }
    return op;
  }

  void Row32(const TRows32& rows, int rev, uint32_t* d, const uint32_t* s, const uint8_t* m, int n) const {
    switch (kind) {
      case TBlend::Copy: keyed ? rows.CopyKeyed[rev](d, s, n, key) : rows.Copy[rev](d, s, n); break;
      case TBlend::Alpha: rows.Alpha[rev](d, s, n, amount, keyed, key, skipEqual); break;
      case TBlend::Add: rows.Add[rev](d, s, n, amount, keyed, key); break;
      case TBlend::Mask: rows.Mask[rev](d, s, m, n); break;
      case TBlend::AlphaMask: rows.AlphaMask[rev](d, s, m, n, amount); break;
      case TBlend::AddMask: rows.AddMask[rev](d, s, m, n, amount); break;
    }
  }

  // The new destination pixel, or false when the pixel is left alone.
  bool Pixel(uint32_t dv, uint32_t sv, uint32_t mv, const pixel::TMasks& m, bool index8, uint32_t& out) const {
    if ((keyed && sv == key) || (Masked() && mv == 0)) return false;
    switch (kind) {
      case TBlend::Copy: out = sv; return true;
      case TBlend::Alpha:
        if (skipEqual && sv == dv) return false;
        out = pixel::Blend(dv, sv, amount, m);
        return true;
      case TBlend::Add:
        out = plainAdd8 && index8 ? std::min(255u, dv + sv) : pixel::AddScaled(dv, sv, amount, m);
        return true;
      case TBlend::Mask: out = mv == 255 ? sv : pixel::Blend(dv, sv, mv, m); return true;
      case TBlend::AlphaMask: out = pixel::Blend(dv, sv, (amount * mv) >> 8, m); return true;
      case TBlend::AddMask: out = pixel::AddScaled(dv, sv, (amount * mv) >> 8, m); return true;
    }
    return false;
  }
};

}  // namespace nova::blit
