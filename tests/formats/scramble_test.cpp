// The stored order of scrambled rows and tiles.
#include <gtest/gtest.h>

#include "formats/brio_scramble.h"

namespace nova {
namespace {

TEST(ScrambleOrder, SeedOneSendsFourRowsToOneZeroThreeTwo) {
  // States 1, 6, 31, 156 taken modulo 4, 3, 2, 1.
  EXPECT_EQ(ScrambleOrder(1, 4), (std::vector<uint32_t>{1, 0, 3, 2}));
}

TEST(ScrambleOrder, SeedZeroKeepsTheStoredOrder) {
  std::vector<uint32_t> order = ScrambleOrder(0, 37);
  for (uint32_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], i);
}

TEST(ScrambleOrder, TreeMatchesThePlainPool) {
  const struct {
    uint32_t seed;
    int32_t n;
  } cases[] = {{1, 1}, {1, 2}, {7, 100}, {0x12345678, 333}, {0xFFFFFFFF, 1000}, {42, 4097}, {3, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(ScrambleOrder(c.seed, c.n), ScrambleOrderReference(c.seed, c.n)) << c.seed << " " << c.n;
}

}  // namespace
}  // namespace nova
