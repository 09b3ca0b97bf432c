// Index-image sources: 4-bit images through 16 pixel values, 8-bit images added through 256,
// and the rule of which indices are drawn.
#include <gtest/gtest.h>

#include "render/dibx.h"
#include "render_test_util.h"

namespace nova::test {
namespace {

struct Indexed4Case {
  const char* name;
  int alpha;
  std::vector<uint32_t> expected;
};

class Indexed4 : public ::testing::TestWithParam<std::tuple<Indexed4Case, TBlitPath>> {
protected:
  void TearDown() override { SetBlitPath(TBlitPath::FastRows); }
};

TEST_P(Indexed4, CopyBlendOrAdd) {
  const auto& [c, path] = GetParam();
  SetBlitPath(path);
  auto s = Surface(4, 1, 4, {0, 1, 2, 3});
  s->Transparent = 0;
  uint32_t table[16] = {0x00FF00FF, 0x00102030, 0x00FFFFFF, 0x00808080};
  auto d = Surface(4, 1, 32, std::vector<uint32_t>(4, 0x00404040));
  d->DrawIndexed4(0, 0, table, c.alpha, false, false, TRect{0, 0, 4, 1}, s.get());
  EXPECT_EQ(Pixels(*d), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Render, Indexed4,
    ::testing::Combine(
        ::testing::Values(Indexed4Case{"Copy", 255, {0x00404040, 0x00102030, 0x00FFFFFF, 0x00808080}},
                          Indexed4Case{"Blend", 128, {0x00404040, 0x00272F37, 0x009F9F9F, 0x005F5F5F}},
                          Indexed4Case{"Add", 511, {0x00404040, 0x004F5F6F, 0x00FFFFFF, 0x00BFBFBF}}),
        ::testing::Values(TBlitPath::FastRows, TBlitPath::PerPixel)),
    [](const auto& info) { return std::string(std::get<0>(info.param).name) + "_" + PathName(std::get<1>(info.param)); });

TEST(Indexed, AddOn15BitsLeavesWhiteAndZeroEntriesAlone) {
  auto s = Surface(2, 1, 4, {1, 2});
  uint32_t table[16] = {0, 0x0421, 0};
  auto d = Surface(3, 1, 15, {0xFFFF, 0xFFFF, 0x1234});
  d->DrawIndexed4(0, 0, table, 511, false, false, TRect{0, 0, 2, 1}, s.get());
  d->DrawIndexed4(2, 0, table, 511, false, false, TRect{1, 0, 2, 1}, s.get());
  EXPECT_EQ(Pixels(*d), (std::vector<uint32_t>{0xFFFF, 0xFFFF, 0x1234}));
}

TEST(Indexed, AddedIndicesAtOrAboveTheThreshold) {
  auto s = Surface(3, 1, 8, {16, 17, 200});
  s->Transparent = 16;
  uint32_t table[256] = {};
  table[17] = 0x00010203;
  table[200] = 0x00102030;
  table[16] = 0x00FFFFFF;
  auto d = Surface(3, 1, 32, std::vector<uint32_t>(3, 0x00101010));
  d->DrawIndexedAdd(0, 0, table, 255, false, false, 17, TRect{0, 0, 3, 1}, s.get());
  EXPECT_EQ(Pixels(*d), (std::vector<uint32_t>{0x00101010, 0x00101112, 0x001F2F3F}));
}

TEST(Indexed, RowRoutinesUseTheThresholdAndThePerPixelPathTheTransparentIndex) {
  auto s = Surface(2, 1, 8, {17, 200});
  s->Transparent = 16;
  uint32_t table[256] = {};
  table[17] = 0x00101010;
  table[200] = 0x00101010;
  for (TBlitPath path : {TBlitPath::FastRows, TBlitPath::PerPixel}) {
    SetBlitPath(path);
    auto d = Surface(2, 1, 32, {0, 0});
    d->DrawIndexedAdd(0, 0, table, 256, false, false, 100, TRect{0, 0, 2, 1}, s.get());
    uint32_t first = path == TBlitPath::FastRows ? 0 : 0x000F0F0F;
    EXPECT_EQ(Pixels(*d), (std::vector<uint32_t>{first, 0x000F0F0F})) << PathName(path);
  }
  SetBlitPath(TBlitPath::FastRows);
}

TEST(IndexedPaths, AgreeOnRandomDraws) {
  Rng rng(31337);
  for (int iter = 0; iter < 300; ++iter) {
    bool four = iter % 2;
    auto d = RandomSurface(rng, rng.Range(1, 30), rng.Range(1, 8), 32);
    auto s = RandomSurface(rng, rng.Range(1, 30), rng.Range(1, 8), four ? 4 : 8);
    s->Transparent = rng.Chance(70) ? static_cast<int32_t>(s->GetPixel(0, 0)) : -1;
    if (rng.Chance(40)) d->AddClip(TRect{rng.Range(-5, 10), rng.Range(-2, 4), rng.Range(5, 35), rng.Range(2, 10)});
    uint32_t table[256];
    for (uint32_t& t : table) t = rng.Next();
    TRect sr{rng.Range(-2, s->GetWidth()), rng.Range(-2, s->GetHeight()), 0, 0};
    sr.Right = sr.Left + rng.Range(0, 32);
    sr.Bottom = sr.Top + rng.Range(0, 9);
    const int amounts[] = {0, 1, 100, 255, 256, 400, 511};
    int amount = amounts[rng.Range(0, 6)];
    int x = rng.Range(-10, 30), y = rng.Range(-3, 8);
    bool fv = rng.Chance(50), fh = rng.Chance(50);
    std::string bad = PathsDisagree(*d, [&](TCustomDIBX& t) {
      if (four)
        t.DrawIndexed4(x, y, table, amount, fv, fh, sr, s.get());
      else
        t.DrawIndexedAdd(x, y, table, amount, fv, fh, s->Transparent + 1, sr, s.get());
    });
    ASSERT_EQ(bad, "") << "iteration " << iter;
  }
}

}  // namespace
}  // namespace nova::test
