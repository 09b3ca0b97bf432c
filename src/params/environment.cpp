#include "params/environment.h"

namespace nova {

namespace {
TSystemEnvironment& DefaultEnvironment() {
  static TSystemEnvironment env;
  return env;
}
TSystemEnvironment* current = nullptr;
}  // namespace

TSystemEnvironment& Environment() { return current ? *current : DefaultEnvironment(); }

void SetEnvironment(TSystemEnvironment* env) { current = env; }

}  // namespace nova
