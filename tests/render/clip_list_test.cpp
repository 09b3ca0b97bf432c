// Dirty-rectangle lists: rectangles within 20 pixels merge, merges cascade.
#include <gtest/gtest.h>

#include "render/clip_list.h"

namespace nova::test {
namespace {

struct ClipListCase {
  const char* name;
  std::vector<TRect> adds;
  std::vector<TRect> expected;
};

class ClipLists : public ::testing::TestWithParam<ClipListCase> {};

TEST_P(ClipLists, MergeRule) {
  TClipList list;
  for (const TRect& r : GetParam().adds) list.Add(r);
  EXPECT_EQ(list.Items(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Render, ClipLists,
    ::testing::Values(
        ClipListCase{"FifteenApartMerge", {{0, 0, 10, 10}, {25, 0, 35, 10}}, {{0, 0, 35, 10}}},
        ClipListCase{"TwentyFiveApartStaySeparate", {{0, 0, 10, 10}, {35, 0, 45, 10}}, {{0, 0, 10, 10}, {35, 0, 45, 10}}},
        ClipListCase{"ExactlyTwentyApartMerge", {{0, 0, 10, 10}, {30, 0, 40, 10}}, {{0, 0, 40, 10}}},
        ClipListCase{"NearOnOneAxisOnlyStaySeparate", {{0, 0, 10, 10}, {5, 40, 8, 50}}, {{0, 0, 10, 10}, {5, 40, 8, 50}}},
        ClipListCase{"InsideChangesNothing", {{0, 0, 50, 50}, {10, 10, 20, 20}}, {{0, 0, 50, 50}}},
        ClipListCase{"EmptyIsIgnored", {{5, 5, 5, 9}}, {}},
        // the third joins the first, and the union then reaches the second
        ClipListCase{"MergesCascade", {{0, 0, 10, 10}, {60, 0, 70, 10}, {25, 0, 45, 10}}, {{0, 0, 70, 10}}},
        ClipListCase{"UnionGoesToTheEnd", {{0, 0, 10, 10}, {100, 0, 110, 10}, {105, 5, 120, 12}},
                     {{0, 0, 10, 10}, {100, 0, 120, 12}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nova::test
