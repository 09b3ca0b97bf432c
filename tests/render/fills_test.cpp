// The blending fills, pixel by pixel from the formulas, on every blit path.
#include <gtest/gtest.h>

#include "render/dibx.h"
#include "render_test_util.h"

namespace nova::test {
namespace {

enum class Op { Alpha, Add, Sub };

struct FillCase {
  const char* name;
  int bits;
  Op op;
  uint32_t dest, pixel;
  int alpha;
  uint32_t expected;
};

class BlendFills : public ::testing::TestWithParam<std::tuple<FillCase, TBlitPath>> {
protected:
  void TearDown() override { SetBlitPath(TBlitPath::FastRows); }
};

TEST_P(BlendFills, Formula) {
  const auto& [c, path] = GetParam();
  SetBlitPath(path);
  // 21 pixels wide so that the vector routines and their scalar tails both see the case.
  auto s = Surface(21, 2, c.bits, std::vector<uint32_t>(42, c.dest));
  switch (c.op) {
    case Op::Alpha: s->FillRectAlpha(TRect{0, 0, 21, 1}, c.pixel, c.alpha); break;
    case Op::Add: s->FillRectAdd(TRect{0, 0, 21, 1}, c.pixel); break;
    case Op::Sub: s->FillRectSub(TRect{0, 0, 21, 1}, c.pixel); break;
  }
  for (int x = 0; x < 21; ++x) {
    EXPECT_EQ(s->GetPixel(x, 0), c.expected) << x;
    EXPECT_EQ(s->GetPixel(x, 1), c.dest) << "row outside the rectangle";
  }
}

const FillCase kFills[] = {
    {"Alpha32", 32, Op::Alpha, 0x00102030, 0x00F0E0D0, 128, 0x007F7F7F},
    {"Alpha32ClearsTopByte", 32, Op::Alpha, 0xAB102030, 0x00F0E0D0, 128, 0x007F7F7F},
    {"Alpha32Zero", 32, Op::Alpha, 0x00102030, 0x00F0E0D0, 0, 0x00102030},
    {"Alpha32EqualPixelStays", 32, Op::Alpha, 0x00F0E0D0, 0x00F0E0D0, 200, 0x00F0E0D0},
    {"Alpha32Full", 32, Op::Alpha, 0x00000000, 0x00FFFFFF, 255, 0x00FEFEFE},
    {"Alpha16", 16, Op::Alpha, 0xFFFF, 0x0000, 100, 0x94D2},
    {"Add32Saturates", 32, Op::Add, 0x00804020, 0x00905010, 255, 0x00FF9030},
    {"Add16WhiteSaturatesEveryChannel", 16, Op::Add, 0x8410, 0xFFFF, 255, 0xFFFF},
    {"Add15", 15, Op::Add, 0x4210, 0x2108, 255, 0x6318},
    {"Sub32StopsAtZero", 32, Op::Sub, 0x00804020, 0x00905010, 255, 0x00000010},
    {"Sub16", 16, Op::Sub, 0xFFFF, 0x0841, 255, 0xF7BE},
};

INSTANTIATE_TEST_SUITE_P(Render, BlendFills,
                         ::testing::Combine(::testing::ValuesIn(kFills),
                                            ::testing::Values(TBlitPath::FastRows, TBlitPath::ReferenceRows,
                                                              TBlitPath::PerPixel)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" + PathName(std::get<1>(info.param));
                         });

TEST(Fill, FrameRectAlphaSkipsTheSidesOfAFlatFrame) {
  // Height 3 with width 2: top and bottom bands overlap, no side bands.
  auto s = Surface(4, 3, 8, std::vector<uint32_t>(12, 0));
  s->FrameRectAdd(TRect{0, 0, 4, 3}, 2, 3);
  EXPECT_EQ(Picture(*s),
            "3333\n"
            "6666\n"
            "3333\n");
}

TEST(FillPaths, AgreeOnRandomRectanglesAndFrames) {
  Rng rng(5);
  for (int iter = 0; iter < 300; ++iter) {
    auto d = RandomSurface(rng, rng.Range(1, 40), rng.Range(1, 10), 32);
    if (rng.Chance(50)) d->AddClip(TRect{rng.Range(-5, 20), rng.Range(-2, 5), rng.Range(5, 45), rng.Range(3, 12)});
    TRect r{rng.Range(-5, 30), rng.Range(-3, 8), 0, 0};
    r.Right = r.Left + rng.Range(0, 40);
    r.Bottom = r.Top + rng.Range(0, 12);
    uint32_t pixel = rng.Chance(30) ? d->GetPixel(0, 0) : rng.Next();
    int alpha = rng.Range(-1, 300), width = rng.Range(0, 4), kind = iter % 5;
    std::string bad = PathsDisagree(*d, [&](TCustomDIBX& t) {
      switch (kind) {
        case 0: t.FillRectAlpha(r, pixel, alpha); break;
        case 1: t.FillRectAdd(r, pixel); break;
        case 2: t.FillRectSub(r, pixel); break;
        case 3: t.FrameRectAlpha(r, width, alpha, pixel); break;
        case 4: t.FrameRectAdd(r, width, pixel); break;
      }
    });
    ASSERT_EQ(bad, "") << "iteration " << iter;
  }
}

}  // namespace
}  // namespace nova::test
