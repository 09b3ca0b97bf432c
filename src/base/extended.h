#pragma once
// Reals are computed as `long double` (80-bit extended on x86-64) and stored in files as the
// 10-byte extended form: 64-bit mantissa with explicit integer bit, then 16-bit sign and
// exponent (bias 16383). The conversions here do not depend on the host's long double layout.
#include <cstdint>

namespace nova {

using Real = long double;

void RealToExtended(Real value, uint8_t out[10]);
Real ExtendedToReal(const uint8_t in[10]);

}  // namespace nova
