#include "base/kt_random.h"

#include "base/error.h"

namespace nova {

void TKtRandom::Init(int n) {
  pool_.clear();
  if (n > 0) pool_.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) pool_.push_back(static_cast<uint32_t>(i));
}

uint32_t TKtRandom::Next() {
  if (pool_.empty()) RaiseError("TKtRandom: empty pool");
  uint32_t k = Step() % static_cast<uint32_t>(pool_.size());
  uint32_t v = pool_[k];
  pool_.erase(pool_.begin() + k);
  return v;
}

}  // namespace nova
