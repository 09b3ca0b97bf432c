// Stretched draws: column sampling in 16.16 steps, clipping that keeps the unclipped sampling,
// mirroring, the 1280-column span, and the paths against each other on random draws.
#include <gtest/gtest.h>

#include "render/dibx.h"
#include "render_test_util.h"

namespace nova::test {
namespace {

struct StretchCase {
  const char* name;
  std::vector<uint32_t> source;  // one row, 8 bits
  int destWidth;
  TRect clip;  // all zero: none
  bool flipH;
  const char* expected;
};

class Stretch : public ::testing::TestWithParam<StretchCase> {};

TEST_P(Stretch, SamplesColumns) {
  const StretchCase& c = GetParam();
  for (int bits : {8, 32}) {
    auto s = Surface(static_cast<int>(c.source.size()), 1, bits, c.source);
    auto d = Surface(c.destWidth, 1, bits, {});
    if (c.clip.Right) d->AddClip(c.clip);
    d->StretchDraw(TRect{0, 0, c.destWidth, 1}, s.get(), 255, false, c.flipH, false,
                   TRect{0, 0, static_cast<int>(c.source.size()), 1});
    EXPECT_EQ(Picture(*d), std::string(c.expected) + "\n") << bits;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Render, Stretch,
    ::testing::Values(StretchCase{"Double", {1, 2, 3, 4}, 8, {}, false, "11223344"},
                      StretchCase{"Half", {1, 2, 3, 4, 5, 6, 7, 8}, 4, {}, false, "1357"},
                      // step trunc(3/7 x 65536) = 28086: columns 0 0 0 1 1 2 2
                      StretchCase{"ThreeToSeven", {1, 2, 3}, 7, {}, false, "1112233"},
                      StretchCase{"ClippedKeepsTheSampling", {1, 2, 3, 4}, 8, {3, 0, 8, 1}, false, "...23344"},
                      StretchCase{"Mirrored", {1, 2, 3, 4}, 8, {}, true, "44332211"},
                      StretchCase{"MirroredAndClipped", {1, 2, 3, 4}, 8, {0, 0, 5, 1}, true, "44332..."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StretchEdges, OneColumnRepeatsOverThreeHundredPixels) {
  auto s = Surface(1, 1, 32, {0x123456});
  auto d = Surface(300, 2, 32, {});
  d->StretchDraw(TRect{0, 0, 300, 2}, s.get(), 255, false, false, false, TRect{0, 0, 1, 1});
  EXPECT_EQ(Pixels(*d), std::vector<uint32_t>(600, 0x123456));
}

TEST(StretchEdges, SpansStopAfter1280Columns) {
  auto s = Surface(1, 1, 32, {7});
  auto d = Surface(1500, 1, 32, {});
  d->StretchDraw(TRect{0, 0, 1500, 1}, s.get(), 255, false, false, false, TRect{0, 0, 1, 1});
  EXPECT_EQ(d->GetPixel(1279, 0), 7u);
  EXPECT_EQ(d->GetPixel(1280, 0), 0u);
}

TEST(StretchEdges, BlendHasNoEqualPixelTestAndSourceMustLieInside) {
  auto s = Surface(1, 1, 32, {0x00808080});
  auto d = Surface(2, 1, 32, {0x00808080, 0x00808080});
  d->StretchDraw(TRect{0, 0, 2, 1}, s.get(), 100, false, false, false, TRect{0, 0, 1, 1});
  // (0x80 x 155 + 0x80 x 100) >> 8 = 0x7F: blended although equal.
  EXPECT_EQ(d->GetPixel(0, 0), 0x007F7F7Fu);
  d->StretchDraw(TRect{0, 0, 2, 1}, s.get(), 255, false, false, false, TRect{0, 0, 2, 1});
  EXPECT_EQ(d->GetPixel(1, 0), 0x007F7F7Fu);  // srcRect beyond the source: nothing
}

TEST(StretchEdges, MaskAndAdditiveMembersFollowTheUnscaledFormulas) {
  auto s = Surface(1, 1, 32, {0x00A0C0E0});
  auto m = Surface(1, 1, 8, {128});
  auto d = Surface(2, 2, 32, std::vector<uint32_t>(4, 0x00204060));
  d->StretchDrawMask(TRect{0, 0, 2, 1}, s.get(), 255, m.get(), false, false, TRect{0, 0, 1, 1});
  d->StretchDrawAddMask(TRect{0, 1, 2, 2}, s.get(), 255, m.get(), false, false, TRect{0, 0, 1, 1});
  EXPECT_EQ(Pixels(*d), (std::vector<uint32_t>{0x005F7F9F, 0x005F7F9F, 0x006F9FCF, 0x006F9FCF}));
}

// --- The paths agree on random stretched draws ---

enum class StretchOp { Draw, Mask, Add, AddMask, Indexed };

TEST(StretchPaths, AgreeOnRandomDraws) {
  Rng rng(4242);
  int changed = 0;
  for (int iter = 0; iter < 600; ++iter) {
    auto op = static_cast<StretchOp>(iter % 5);
    auto d = RandomSurface(rng, rng.Range(1, 60), rng.Range(1, 12), 32);
    bool indexed = op == StretchOp::Indexed;
    auto s = RandomSurface(rng, rng.Range(1, 30), rng.Range(1, 10), indexed ? 8 : 32);
    auto m = RandomSurface(rng, s->GetWidth(), s->GetHeight(), 8);
    if (rng.Chance(50)) s->Transparent = static_cast<int32_t>(s->GetPixel(0, 0));
    if (rng.Chance(50)) d->AddClip(TRect{rng.Range(-5, 20), rng.Range(-3, 6), rng.Range(5, 70), rng.Range(2, 14)});
    TRect sr{rng.Range(0, s->GetWidth() - 1), rng.Range(0, s->GetHeight() - 1), 0, 0};
    sr.Right = rng.Range(sr.Left, s->GetWidth());
    sr.Bottom = rng.Range(sr.Top, s->GetHeight());
    TRect dr{rng.Range(-20, d->GetWidth()), rng.Range(-5, d->GetHeight()), 0, 0};
    dr.Right = dr.Left + rng.Range(0, 90);
    dr.Bottom = dr.Top + rng.Range(0, 20);
    const int amounts[] = {0, 1, 100, 254, 255, 256};
    int amount = amounts[rng.Range(0, 5)];
    bool fv = rng.Chance(50), fh = rng.Chance(50), keyed = rng.Chance(50);
    uint32_t table[256];
    for (uint32_t& t : table) t = rng.Next() & 0xFFFFFF;
    int threshold = s->Transparent + 1;
    bool touched = false;
    std::string bad = PathsDisagree(
        *d,
        [&](TCustomDIBX& t) {
          switch (op) {
            case StretchOp::Draw: t.StretchDraw(dr, s.get(), amount, fv, fh, keyed, sr); break;
            case StretchOp::Mask: t.StretchDrawMask(dr, s.get(), amount, m.get(), fv, fh, sr); break;
            case StretchOp::Add: t.StretchDrawAdd(dr, s.get(), amount, fv, fh, keyed, sr); break;
            case StretchOp::AddMask: t.StretchDrawAddMask(dr, s.get(), amount, m.get(), fv, fh, sr); break;
            case StretchOp::Indexed: t.StretchIndexed(dr, s.get(), table, amount, fv, fh, threshold, sr); break;
          }
        },
        &touched);
    ASSERT_EQ(bad, "") << "iteration " << iter;
    changed += touched;
  }
  EXPECT_GT(changed, 150);
}

}  // namespace
}  // namespace nova::test
