#pragma once
// The stored order of scrambled rows and tiles: a permutation drawn from TKtRandom in pool
// mode, seeded with the image key. Stored item i belongs to image item order[i].
#include <cstdint>
#include <vector>

namespace nova {

// Takes the element at (state mod pool size) from a pool 0 .. n-1 with an index tree, so a
// picture with many rows or tiles costs n log n instead of n squared.
std::vector<uint32_t> ScrambleOrder(uint32_t seed, int32_t n);

// The same through TKtRandom's own pool (Init, then n times Next); kept as the reference.
std::vector<uint32_t> ScrambleOrderReference(uint32_t seed, int32_t n);

}  // namespace nova
