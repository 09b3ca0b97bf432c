#pragma once
// Uniform random numbers for the effect surfaces, all drawn from one generator: the services'
// NextRandomState, or the scenario's Random generator when that is empty. One generator that
// the game seeds makes a headless run (and its screenshots) repeat exactly.
#include <cstdint>

namespace nova {

struct TComponentServices;

// A uniform integer in 0 .. n - 1; 0 for n <= 1 (an empty range draws nothing, but the
// generator still advances, so the sequence does not depend on the ranges).
int32_t EffectRandomInt(const TComponentServices& services, int32_t n);
// A uniform real in [0, 1).
double EffectRandomReal(const TComponentServices& services);

}  // namespace nova
