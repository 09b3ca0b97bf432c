#include "components/effects/effect_random.h"

#include "components/component_services.h"
#include "params/sysfunc.h"

namespace nova {
namespace {

uint32_t NextEffectState(const TComponentServices& services) {
  if (services.NextRandomState) return services.NextRandomState();
  // Random's own step; its result for n = 1 is always 0, the new state is what counts.
  NextRandom(1);
  return RandomSeed();
}

}  // namespace

int32_t EffectRandomInt(const TComponentServices& services, int32_t n) {
  const uint32_t state = NextEffectState(services);
  if (n <= 1) return 0;
  // The high 32 bits of n times the state, as Random scales it.
  return static_cast<int32_t>((uint64_t{static_cast<uint32_t>(n)} * state) >> 32);
}

double EffectRandomReal(const TComponentServices& services) {
  return NextEffectState(services) / 4294967296.0;
}

}  // namespace nova
