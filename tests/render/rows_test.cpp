// The vector row routines against their reference twins: random rows of every length around
// the vector widths, forward and mirrored, with keys, equal pixels and the special mask values.
#include <gtest/gtest.h>

#include <functional>

#include "render/rows.h"
#include "render_test_util.h"

namespace nova::test {
namespace {

struct RowInput {
  std::vector<uint32_t> dest, src;
  std::vector<int> cols;  // source columns of a gathered row, each below the row's length
  std::vector<uint8_t> mask;
  uint32_t amount, key, pixel;
  bool keyed, skipEqual;
};

// Calls one routine of a set on the input; rev reads source and mask backward from the end.
using RowCall = std::function<void(const TRows32&, int rev, uint32_t* d, const uint32_t* s, const uint8_t* m, int n,
                                   const RowInput&)>;

struct RowCase {
  const char* name;
  RowCall call;
};

const RowCase kRowCases[] = {
    {"Copy", [](const TRows32& r, int rev, uint32_t* d, const uint32_t* s, const uint8_t*, int n,
                const RowInput&) { r.Copy[rev](d, s, n); }},
    {"CopyKeyed", [](const TRows32& r, int rev, uint32_t* d, const uint32_t* s, const uint8_t*, int n,
                     const RowInput& in) { r.CopyKeyed[rev](d, s, n, in.key); }},
    {"Alpha", [](const TRows32& r, int rev, uint32_t* d, const uint32_t* s, const uint8_t*, int n,
                 const RowInput& in) { r.Alpha[rev](d, s, n, in.amount, in.keyed, in.key, in.skipEqual); }},
    {"Add", [](const TRows32& r, int rev, uint32_t* d, const uint32_t* s, const uint8_t*, int n,
               const RowInput& in) { r.Add[rev](d, s, n, in.amount, in.keyed, in.key); }},
    {"Mask", [](const TRows32& r, int rev, uint32_t* d, const uint32_t* s, const uint8_t* m, int n,
                const RowInput&) { r.Mask[rev](d, s, m, n); }},
    {"AlphaMask", [](const TRows32& r, int rev, uint32_t* d, const uint32_t* s, const uint8_t* m, int n,
                     const RowInput& in) { r.AlphaMask[rev](d, s, m, n, in.amount); }},
    {"AddMask", [](const TRows32& r, int rev, uint32_t* d, const uint32_t* s, const uint8_t* m, int n,
                   const RowInput& in) { r.AddMask[rev](d, s, m, n, in.amount); }},
    {"MonoMask", [](const TRows32& r, int rev, uint32_t* d, const uint32_t*, const uint8_t* m, int n,
                    const RowInput& in) { r.MonoMask[rev](d, m, n, in.amount, in.pixel); }},
    {"FillAlpha", [](const TRows32& r, int, uint32_t* d, const uint32_t*, const uint8_t*, int n,
                     const RowInput& in) { r.FillAlpha(d, n, in.pixel, in.amount); }},
    {"FillAdd", [](const TRows32& r, int, uint32_t* d, const uint32_t*, const uint8_t*, int n,
                   const RowInput& in) { r.FillAdd(d, n, in.pixel); }},
    {"FillSub", [](const TRows32& r, int, uint32_t* d, const uint32_t*, const uint8_t*, int n,
                   const RowInput& in) { r.FillSub(d, n, in.pixel); }},
    {"Gather", [](const TRows32& r, int, uint32_t* d, const uint32_t*, const uint8_t*, int n,
                  const RowInput& in) { r.Gather(d, in.src.data(), in.cols.data(), n); }},
};

RowInput RandomRow(Rng& rng, int n) {
  RowInput in;
  uint32_t colours[4] = {rng.Next(), rng.Next() & 0xFFFFFF, 0, 0x00FFFFFF};
  auto pick = [&] { return rng.Chance(35) ? colours[rng.Range(0, 3)] : rng.Next(); };
  for (int i = 0; i < n; ++i) {
    in.dest.push_back(pick());
    in.src.push_back(rng.Chance(15) ? in.dest.back() : pick());
    // Runs of one mask value let whole vectors be transparent or opaque.
    in.mask.push_back(i > 0 && rng.Chance(60) ? in.mask.back()
                                              : static_cast<uint8_t>(rng.Chance(50) ? (rng.Chance(50) ? 0 : 255)
                                                                                    : rng.Range(0, 255)));
  }
  for (int i = 0; i < n; ++i) in.cols.push_back(rng.Range(0, n - 1));
  const uint32_t amounts[] = {0, 1, 2, 127, 128, 200, 254, 255};
  in.amount = amounts[rng.Range(0, 7)];
  in.key = colours[rng.Range(0, 3)];
  in.pixel = pick();
  in.keyed = rng.Chance(50);
  in.skipEqual = rng.Chance(50);
  return in;
}

class VectorRows : public ::testing::TestWithParam<std::tuple<RowCase, const char*>> {};

TEST_P(VectorRows, MatchTheReferenceTwins) {
  const auto& [c, set] = GetParam();
  const TRows32* rows = std::string(set) == "SSE2" ? &Sse2Rows32() : Avx2Rows32();
  if (!rows) GTEST_SKIP() << "the processor has no AVX2";
  Rng rng(std::hash<std::string>()(c.name));
  for (int iter = 0; iter < 400; ++iter) {
    int n = iter < 70 ? iter : rng.Range(0, 200);
    RowInput in = RandomRow(rng, n);
    for (int rev = 0; rev < 2; ++rev) {
      std::vector<uint32_t> expected = in.dest, got = in.dest;
      // Mirrored routines read from the last element backward.
      const uint32_t* s = in.src.data() + (rev && n ? n - 1 : 0);
      const uint8_t* m = in.mask.data() + (rev && n ? n - 1 : 0);
      c.call(ReferenceRows32(), rev, expected.data(), s, m, n, in);
      c.call(*rows, rev, got.data(), s, m, n, in);
      ASSERT_EQ(got, expected) << c.name << " n=" << n << " rev=" << rev << " amount=" << in.amount;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Render, VectorRows,
                         ::testing::Combine(::testing::ValuesIn(kRowCases), ::testing::Values("SSE2", "AVX2")),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param);
                         });

}  // namespace
}  // namespace nova::test
