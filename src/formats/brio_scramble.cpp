#include "formats/brio_scramble.h"

#include "base/kt_random.h"

namespace nova {

std::vector<uint32_t> ScrambleOrder(uint32_t seed, int32_t n) {
  std::vector<uint32_t> order;
  if (n <= 0) return order;
  order.reserve(static_cast<size_t>(n));
  // Fenwick tree over "still in the pool" flags; the k-th remaining element is found by
  // descending the tree.
  size_t size = static_cast<size_t>(n);
  std::vector<uint32_t> tree(size + 1, 0);
  for (size_t i = 1; i <= size; ++i) {
    tree[i] += 1;
    size_t parent = i + (i & (~i + 1));
    if (parent <= size) tree[parent] += tree[i];
  }
  size_t top = 1;
  while (top * 2 <= size) top *= 2;
  TKtRandom random(seed);
  uint32_t remaining = static_cast<uint32_t>(n);
  for (int32_t i = 0; i < n; ++i) {
    uint32_t k = random.Step() % remaining;  // index among the remaining elements
    size_t pos = 0;
    for (size_t step = top; step > 0; step >>= 1) {
      if (pos + step <= size && tree[pos + step] <= k) {
        pos += step;
        k -= tree[pos];
      }
    }
    // pos is the count of elements before the chosen one; the element itself is pos.
    order.push_back(static_cast<uint32_t>(pos));
    for (size_t j = pos + 1; j <= size; j += j & (~j + 1)) tree[j] -= 1;
    --remaining;
  }
  return order;
}

std::vector<uint32_t> ScrambleOrderReference(uint32_t seed, int32_t n) {
  std::vector<uint32_t> order;
  TKtRandom random(seed);
  random.Init(n);
  for (int32_t i = 0; i < n; ++i) order.push_back(random.Next());
  return order;
}

}  // namespace nova
