#include "base/extended.h"

#include <cmath>
#include <limits>

namespace nova {

void RealToExtended(Real value, uint8_t out[10]) {
  uint64_t mantissa = 0;
  unsigned exponent = 0;
  bool negative = std::signbit(value);
  if (std::isnan(value)) {
    exponent = 0x7FFF;
    mantissa = 0xC000000000000000ull;
  } else if (std::isinf(value)) {
    exponent = 0x7FFF;
    mantissa = 0x8000000000000000ull;
  } else if (value != 0) {
    int e = 0;
    Real m = std::frexp(std::fabs(value), &e);  // m in [0.5, 1)
    int biased = e - 1 + 16383;
    if (biased <= 0) {
      // Denormal: the integer bit is clear and the exponent field is 0.
      m = std::ldexp(m, biased - 1);
      biased = 0;
    }
    if (biased >= 0x7FFF) {
      exponent = 0x7FFF;
      mantissa = 0x8000000000000000ull;
    } else {
      Real scaled = std::ldexp(m, 64);
      Real rounded = std::nearbyint(scaled);
      if (rounded >= std::ldexp(static_cast<Real>(1), 64)) {
        // Rounding carried out of the mantissa (only when long double is wider than 64 bits).
        rounded = std::ldexp(rounded, -1);
        ++biased;
      }
      mantissa = static_cast<uint64_t>(rounded);
      exponent = static_cast<unsigned>(biased);
    }
  }
  for (int i = 0; i < 8; ++i) out[i] = static_cast<uint8_t>(mantissa >> (8 * i));
  unsigned se = exponent | (negative ? 0x8000u : 0u);
  out[8] = static_cast<uint8_t>(se & 0xFF);
  out[9] = static_cast<uint8_t>(se >> 8);
}

Real ExtendedToReal(const uint8_t in[10]) {
  uint64_t mantissa = 0;
  for (int i = 0; i < 8; ++i) mantissa |= static_cast<uint64_t>(in[i]) << (8 * i);
  unsigned se = static_cast<unsigned>(in[8]) | (static_cast<unsigned>(in[9]) << 8);
  bool negative = (se & 0x8000u) != 0;
  int exponent = static_cast<int>(se & 0x7FFFu);
  Real v;
  if (exponent == 0x7FFF) {
    v = (mantissa << 1) == 0 ? std::numeric_limits<Real>::infinity() : std::numeric_limits<Real>::quiet_NaN();
  } else if (exponent == 0) {
    v = std::ldexp(static_cast<Real>(mantissa), 1 - 16383 - 63);
  } else {
    v = std::ldexp(static_cast<Real>(mantissa), exponent - 16383 - 63);
  }
  return negative ? -v : v;
}

}  // namespace nova
