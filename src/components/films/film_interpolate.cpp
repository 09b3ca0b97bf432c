#include "components/films/film_interpolate.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "objects/nova_prop_motion.h"

namespace nova {

namespace {

// The 64-bit result of an easing brought back into 32 bits (the eased value lies between
// the two ends, so this only guards absurd inputs).
int32_t Narrow(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

}  // namespace

int32_t Interpolate(int ease, int32_t from, int32_t to, int32_t duration, int32_t t) {
  if (t == 0 || duration <= 1) return from;
  if (t == duration - 1) return to;
  const int64_t span = int64_t{to} - from;
  if (ease == MT_NORMAL) {
    // 64-bit products: a long track over a wide range would overflow 32 bits.
    const int64_t v = int64_t{from} + int64_t{t} * span / (int64_t{duration} - 1);
    return Narrow(static_cast<double>(v));
  }
  const double half = std::numbers::pi / 2 / duration;
  if (ease == MT_INC) {
    const double d = std::nearbyint(static_cast<double>(span) * std::sin((double(duration) - t - 1) * half));
    return Narrow(double(to) - d);
  }
  return Narrow(double(from) + std::nearbyint(std::sin(t * half) * static_cast<double>(span)));
}

double InterpolateReal(int ease, double from, double to, int32_t duration, int32_t t) {
  if (t == 0 || duration <= 1) return from;
  if (t == duration - 1) return to;
  if (ease == MT_NORMAL) return from + t * (to - from) / duration;
  const double half = std::numbers::pi / 2 / duration;
  if (ease == MT_INC) return to - (to - from) * std::sin((double(duration) - t - 1) * half);
  return from + std::sin(t * half) * (to - from);
}

int32_t ZoomUnits(double zoom) { return Narrow(std::trunc(zoom * 256)); }

int32_t AngleUnits(double degrees) {
  const double units = std::nearbyint(degrees * 256 / 360);
  if (!std::isfinite(units)) return 0;
  const double m = std::fmod(units, 256.0);
  return static_cast<int32_t>(m < 0 ? m + 256 : m);
}

}  // namespace nova
