#pragma once
// The per-pixel formulas of the blitter, channel by channel with the surface's channel masks.
// Channels stay in place (not shifted down): for channel mask M, D_c = D and M. Every product
// is taken before the shift and the result is masked again, so the formulas hold for every
// pixel format (5-5-5, 5-6-5, 8-8-8) and for index values (whose masks are 8-8-8 as well).
#include <cstdint>

namespace nova::pixel {

struct TMasks {
  uint32_t R = 0xFF0000, G = 0xFF00, B = 0xFF;
  struct TList {
    uint32_t v[3];
    const uint32_t* begin() const { return v; }
    const uint32_t* end() const { return v + 3; }
  };
  TList All() const { return TList{{R, G, B}}; }
};

inline constexpr TMasks kMasks32{};

// (D_c x (255 - w) + S_c x w) >> 8 per channel: alpha blends, mask blends, FillRectAlpha.
inline uint32_t Blend(uint32_t d, uint32_t s, uint32_t w, const TMasks& m) {
  uint32_t out = 0;
  for (uint32_t mask : m.All()) {
    uint64_t v = (uint64_t{d & mask} * (255 - w) + uint64_t{s & mask} * w) >> 8;
    out |= static_cast<uint32_t>(v) & mask;
  }
  return out;
}

// D_c + ((f x S_c) >> 8 and M_c), saturated at M_c: additive draws.
inline uint32_t AddScaled(uint32_t d, uint32_t s, uint32_t f, const TMasks& m) {
  uint32_t out = 0;
  for (uint32_t mask : m.All()) {
    uint64_t v = uint64_t{d & mask} + ((uint64_t{f} * (s & mask) >> 8) & mask);
    out |= v > mask ? mask : static_cast<uint32_t>(v);
  }
  return out;
}

// (C and M_c) + (D and M_c), saturated at M_c: FillRectAdd.
inline uint32_t AddSaturate(uint32_t d, uint32_t c, const TMasks& m) {
  uint32_t out = 0;
  for (uint32_t mask : m.All()) {
    uint64_t v = uint64_t{d & mask} + (c & mask);
    out |= v > mask ? mask : static_cast<uint32_t>(v);
  }
  return out;
}

// (D and M_c) - (C and M_c), 0 below 0: FillRectSub.
inline uint32_t SubSaturate(uint32_t d, uint32_t c, const TMasks& m) {
  uint32_t out = 0;
  for (uint32_t mask : m.All()) {
    uint32_t dc = d & mask, cc = c & mask;
    out |= dc > cc ? dc - cc : 0;
  }
  return out;
}

// ((P_c x C) + (D_c x (total - C))) >> 4: the 1-bit smoothed reduction (weights out of 16).
inline uint32_t MonoSmooth(uint32_t d, uint32_t p, uint32_t c, uint32_t total, const TMasks& m) {
  uint32_t out = 0;
  for (uint32_t mask : m.All()) {
    uint64_t v = (uint64_t{p & mask} * c + uint64_t{d & mask} * (total - c)) >> 4;
    out |= static_cast<uint32_t>(v) & mask;
  }
  return out;
}

// Three colours over the destination by their weights w1..w3 out of `total`, normalised by
// `shift`: the 4-bit smoothed reduction.
inline uint32_t QuadSmooth(uint32_t d, const uint32_t* p, const uint32_t* w, uint32_t total, int shift,
                           const TMasks& m) {
  uint32_t out = 0;
  uint64_t dw = total - (uint64_t{w[0]} + w[1] + w[2]);
  for (uint32_t mask : m.All()) {
    uint64_t v = uint64_t{p[0] & mask} * w[0] + uint64_t{p[1] & mask} * w[1] + uint64_t{p[2] & mask} * w[2] +
                 uint64_t{d & mask} * dw;
    out |= static_cast<uint32_t>(v >> shift) & mask;
  }
  return out;
}

}  // namespace nova::pixel
