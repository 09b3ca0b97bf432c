// Smoothed reductions: ink counts of 1-bit blocks, the three colours of 4-bit blocks, flips,
// and the paths against each other.
#include <gtest/gtest.h>

#include "render/dibx.h"
#include "render_test_util.h"

namespace nova::test {
namespace {

// Two 4 x 4 blocks side by side: the left one all ink (0 bits), the right one with 4 ink bits.
std::unique_ptr<TDIBX> MonoBlocks() {
  std::vector<uint32_t> bits(32, 1);
  for (int y = 0; y < 4; ++y) bits[static_cast<size_t>(y * 8)] = bits[static_cast<size_t>(y * 8 + 1)] =
                                  bits[static_cast<size_t>(y * 8 + 2)] = bits[static_cast<size_t>(y * 8 + 3)] = 0;
  bits[4] = bits[13] = bits[22] = bits[31] = 0;
  return Surface(8, 4, 1, bits);
}

struct MonoCase {
  const char* name;
  int alpha;
  bool flipH;
  uint32_t dest;
  uint32_t left, right;
};

class MonoSmooth : public ::testing::TestWithParam<std::tuple<MonoCase, TBlitPath>> {
protected:
  void TearDown() override { SetBlitPath(TBlitPath::FastRows); }
};

TEST_P(MonoSmooth, CountsInkPerBlock) {
  const auto& [c, path] = GetParam();
  SetBlitPath(path);
  auto s = MonoBlocks();
  auto d = Surface(3, 1, 32, std::vector<uint32_t>(3, c.dest));
  d->DrawMonoSmooth(0, 0, 4, c.alpha, false, c.flipH, 0x00FFFFFF, TRect{0, 0, 8, 4}, s.get());
  EXPECT_EQ(Pixels(*d), (std::vector<uint32_t>{c.left, c.right, c.dest}));
}

const MonoCase kMono[] = {
    {"Opaque", 255, false, 0, 0x00FFFFFF, 0x003F3F3F},
    {"HalfAlpha", 128, false, 0, 0x007F7F7F, 0x001F1F1F},
    {"OverColour", 255, false, 0x00102030, 0x00FFFFFF, 0x004B5763},
    {"Mirrored", 255, true, 0, 0x003F3F3F, 0x00FFFFFF},
};

INSTANTIATE_TEST_SUITE_P(Render, MonoSmooth,
                         ::testing::Combine(::testing::ValuesIn(kMono),
                                            ::testing::Values(TBlitPath::FastRows, TBlitPath::PerPixel)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" + PathName(std::get<1>(info.param));
                         });

TEST(QuadSmooth, MixesThreeColoursByCoverage) {
  for (TBlitPath path : {TBlitPath::FastRows, TBlitPath::PerPixel}) {
    SetBlitPath(path);
    // A 2 x 2 block holding 1, 1, 2 and an empty pixel; then an empty block.
    auto s = Surface(4, 2, 4, {1, 1, 0, 0, 2, 0, 0, 0});
    auto d = Surface(3, 1, 32, {0, 0x00FFFFFF, 0x00123456});
    d->DrawQuadSmooth(0, 0, 2, 255, false, false, 0x00FF0000, 0x000000FF, 0x0000FF00, TRect{0, 0, 4, 2}, s.get());
    d->DrawQuadSmooth(1, 0, 2, 255, false, false, 0x00FF0000, 0x000000FF, 0x0000FF00, TRect{0, 0, 2, 2}, s.get());
    // weights 510, 255, 0 of 1024 (shift 10), the destination keeps 259
    EXPECT_EQ(Pixels(*d), (std::vector<uint32_t>{0x007F003F, 0x00BF407F, 0x00123456})) << PathName(path);
  }
  SetBlitPath(TBlitPath::FastRows);
}

TEST(SmoothPaths, AgreeOnRandomReductions) {
  Rng rng(99);
  for (int iter = 0; iter < 200; ++iter) {
    bool quad = iter % 2;
    int n = rng.Range(1, 5);
    auto d = RandomSurface(rng, rng.Range(1, 20), rng.Range(1, 8), 32);
    auto s = RandomSurface(rng, rng.Range(1, 50), rng.Range(1, 30), quad ? 4 : 1);
    if (rng.Chance(50)) d->AddClip(TRect{rng.Range(-2, 8), rng.Range(-2, 4), rng.Range(3, 22), rng.Range(2, 10)});
    TRect sr{rng.Range(0, s->GetWidth() - 1), rng.Range(0, s->GetHeight() - 1), 0, 0};
    sr.Right = rng.Range(sr.Left, s->GetWidth());
    sr.Bottom = rng.Range(sr.Top, s->GetHeight());
    int alpha = rng.Range(0, 300), x = rng.Range(-5, 15), y = rng.Range(-3, 6);
    bool fv = rng.Chance(50), fh = rng.Chance(50);
    std::string bad = PathsDisagree(*d, [&](TCustomDIBX& t) {
      if (quad)
        t.DrawQuadSmooth(x, y, n, alpha, fv, fh, 0x00FF0000, 0x0000FF00, 0x000000FF, sr, s.get());
      else
        t.DrawMonoSmooth(x, y, n, alpha, fv, fh, 0x00FFCC88, sr, s.get());
    });
    ASSERT_EQ(bad, "") << "iteration " << iter;
  }
}

}  // namespace
}  // namespace nova::test
