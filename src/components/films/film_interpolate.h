#pragma once
// The easings of film tracks: a value between a track's start and end value at frame t of a
// track of `duration` frames (MT_NORMAL linear, MT_INC accelerating, MT_DEC and any code above
// decelerating). The first frame gives the start value and the last the end value exactly.
#include <cstdint>

namespace nova {

// Integers, rounded to the nearest with halves to even; the linear form divides by
// duration - 1 (truncating toward zero), so the end value is reached on the last frame.
int32_t Interpolate(int ease, int32_t from, int32_t to, int32_t duration, int32_t t);
// Reals (angles, particle parameters); the linear form divides by the duration itself.
double InterpolateReal(int ease, double from, double to, int32_t duration, int32_t t);

// A real zoom (1.0 = 100 %) as the integer the tracks interpolate: trunc(zoom * 256), kept
// inside the 32-bit range (NaN gives 0).
int32_t ZoomUnits(double zoom);
// Degrees as rotation units: round(degrees * 256 / 360) taken into 0..255.
int32_t AngleUnits(double degrees);

}  // namespace nova
