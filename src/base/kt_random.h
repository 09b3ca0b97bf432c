#pragma once
// The tool family's deterministic generator: a key stream (Step) and a permutation (Init/Next).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nova {

class TKtRandom {
public:
  explicit TKtRandom(uint32_t seed = 0) : seed_(seed) {}
  void SetSeed(uint32_t seed) { seed_ = seed; }
  uint32_t State() const { return state_; }
  void SetState(uint32_t state) { state_ = state; }

  // state := state * 5 + seed (wrapping); returns the new state.
  uint32_t Step() {
    state_ = state_ * 5u + seed_;
    return state_;
  }
  // Fills the pool with 0 .. n-1.
  void Init(int n);
  // Step, then take (and remove) the pool element at state mod pool size.
  uint32_t Next();
  size_t PoolSize() const { return pool_.size(); }

private:
  uint32_t seed_;
  uint32_t state_ = 0;
  std::vector<uint32_t> pool_;
};

}  // namespace nova
