// Unscaled draws: hand-computed pixels of each formula, the clipping and mirroring rules, and a
// comparison of every blit path with a plain model of the whole operation on random surfaces.
#include <gtest/gtest.h>

#include <functional>

#include "render/dibx.h"
#include "render/pixel_math.h"
#include "render_test_util.h"

namespace nova::test {
namespace {

class PathTest : public ::testing::TestWithParam<TBlitPath> {
protected:
  void SetUp() override { SetBlitPath(GetParam()); }
  void TearDown() override { SetBlitPath(TBlitPath::FastRows); }
};

const auto kPaths = ::testing::Values(TBlitPath::FastRows, TBlitPath::ReferenceRows, TBlitPath::PerPixel);
std::string PathParamName(const ::testing::TestParamInfo<TBlitPath>& info) { return PathName(info.param); }

// --- One pixel value per formula, over a row of 21 pixels (vector steps and the tail) ---

enum class Op { Draw, Alpha, Add, Mask, AlphaMask, AddMask, MonoMask };

struct FormulaCase {
  const char* name;
  int bits;
  Op op;
  uint32_t dest, src;
  int amount;      // alpha or factor
  uint32_t mask;   // mask value
  uint32_t expected;
};

class Formulas : public ::testing::TestWithParam<std::tuple<FormulaCase, TBlitPath>> {
protected:
  void TearDown() override { SetBlitPath(TBlitPath::FastRows); }
};

void RunOp(TCustomDIBX& d, Op op, int x, int y, int amount, TCustomDIBX* mask, bool flipV, bool flipH, bool keyed,
           const TRect& r, TCustomDIBX* s, uint32_t pixel = 0) {
  switch (op) {
    case Op::Draw: d.Draw(x, y, flipV, flipH, keyed, r, s); break;
    case Op::Alpha: d.DrawAlpha(x, y, amount, flipV, flipH, keyed, r, s); break;
    case Op::Add: d.DrawAdd(x, y, amount, flipV, flipH, keyed, r, s); break;
    case Op::Mask: d.DrawMask(x, y, mask, flipV, flipH, r, s); break;
    case Op::AlphaMask: d.DrawAlphaMask(x, y, amount, mask, flipV, flipH, r, s); break;
    case Op::AddMask: d.DrawAddMask(x, y, amount, mask, flipV, flipH, r, s); break;
    case Op::MonoMask: d.DrawMonoMask(x, y, amount, pixel, flipV, flipH, r, mask); break;
  }
}

TEST_P(Formulas, OnePixelValue) {
  const auto& [c, path] = GetParam();
  SetBlitPath(path);
  auto d = Surface(21, 1, c.bits, std::vector<uint32_t>(21, c.dest));
  auto s = Surface(21, 1, c.bits, std::vector<uint32_t>(21, c.src));
  auto m = Surface(21, 1, 8, std::vector<uint32_t>(21, c.mask));
  RunOp(*d, c.op, 0, 0, c.amount, m.get(), false, false, false, TRect{0, 0, 21, 1}, s.get(), c.src);
  for (int x = 0; x < 21; ++x) EXPECT_EQ(d->GetPixel(x, 0), c.expected) << x;
}

const FormulaCase kFormulas[] = {
    {"Alpha", 32, Op::Alpha, 0x00204060, 0x00A0C0E0, 100, 0, 0x00517191},
    {"AlphaEqualPixelsStay", 32, Op::Alpha, 0x12A0C0E0, 0x12A0C0E0, 100, 0, 0x12A0C0E0},
    {"AlphaZeroDrawsNothing", 32, Op::Alpha, 0x00204060, 0x00A0C0E0, 0, 0, 0x00204060},
    {"Alpha255Copies", 32, Op::Alpha, 0x00204060, 0x77A0C0E0, 255, 0, 0x77A0C0E0},
    {"Alpha16", 16, Op::Alpha, 0x0000, 0xFFFF, 128, 0, 0x7BEF},
    {"Add", 32, Op::Add, 0x00204060, 0x00A0C0E0, 128, 0, 0x0070A0D0},
    {"AddSaturates", 32, Op::Add, 0x00F0F0F0, 0x00FF0020, 255, 0, 0x00FFF0FF},
    {"Add8BitIgnoresTheFactor", 8, Op::Add, 200, 100, 10, 0, 255},
    {"Add8BitSmall", 8, Op::Add, 20, 30, 1, 0, 50},
    {"Mask", 32, Op::Mask, 0x00204060, 0x00A0C0E0, 0, 128, 0x005F7F9F},
    {"MaskZero", 32, Op::Mask, 0x00204060, 0x00A0C0E0, 0, 0, 0x00204060},
    {"MaskFullCopies", 32, Op::Mask, 0x00204060, 0x55A0C0E0, 0, 255, 0x55A0C0E0},
    {"AlphaMask", 32, Op::AlphaMask, 0x00204060, 0x00A0C0E0, 200, 128, 0x00517191},
    {"AlphaMaskSmallProductStillBlends", 32, Op::AlphaMask, 0x00204060, 0x00A0C0E0, 1, 128, 0x001F3F5F},
    {"AddMask", 32, Op::AddMask, 0x00204060, 0x00A0C0E0, 255, 128, 0x006F9FCF},
    {"MonoMaskFull", 32, Op::MonoMask, 0, 0x00FFFFFF, 255, 255, 0x00FDFDFD},
    {"MonoMaskQuarter", 32, Op::MonoMask, 0, 0x00FFFFFF, 255, 64, 0x003E3E3E},
    {"MonoMask16", 16, Op::MonoMask, 0, 0xFFFF, 255, 255, 0xF7DE},
};

INSTANTIATE_TEST_SUITE_P(Render, Formulas, ::testing::Combine(::testing::ValuesIn(kFormulas), kPaths),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" + PathName(std::get<1>(info.param));
                         });

// --- Clipping and mirroring ---

class Clipping : public PathTest {};

TEST_P(Clipping, MirroredDrawCutOnTheLeftLosesTheSourceRightEnd) {
  for (int bits : {8, 32}) {
    auto s = Surface(10, 1, bits, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    auto d = Surface(10, 1, bits, {});
    d->Draw(-3, 0, false, true, false, TRect{0, 0, 10, 1}, s.get());
    EXPECT_EQ(Picture(*d), "7654321...\n") << bits;
  }
}

TEST_P(Clipping, VerticalMirrorAndClipRectangle) {
  auto s = Surface(2, 4, 32, {1, 2, 3, 4, 5, 6, 7, 8});
  auto d = Surface(4, 4, 32, {});
  d->AddClip(TRect{0, 1, 4, 3});
  d->Draw(1, 0, true, false, false, TRect{0, 0, 2, 4}, s.get());
  EXPECT_EQ(Picture(*d),
            "....\n"
            ".56.\n"
            ".34.\n"
            "....\n");
}

TEST_P(Clipping, KeyedPixelsAreHidden) {
  auto s = Surface(4, 1, 32, {1, 9, 2, 9});
  s->Transparent = 9;
  auto d = Surface(4, 1, 32, {5, 5, 5, 5});
  d->Draw(0, 0, false, false, true, TRect{0, 0, 4, 1}, s.get());
  EXPECT_EQ(Picture(*d), "1525\n");
  d->Draw(0, 0, false, false, false, TRect{0, 0, 4, 1}, s.get());
  EXPECT_EQ(Picture(*d), "1929\n");
}

TEST_P(Clipping, SourceRectangleBeyondTheSourceDrawsOnlyWhatExists) {
  auto s = Surface(3, 1, 32, {1, 2, 3});
  auto d = Surface(8, 1, 32, {});
  d->Draw(2, 0, false, false, false, TRect{-2, 0, 5, 1}, s.get());
  EXPECT_EQ(Picture(*d), "....123.\n");
}

TEST_P(Clipping, MismatchedFormatsAndBadMasksDrawNothing) {
  auto s = Surface(2, 1, 16, {1, 2});
  auto d = Surface(2, 1, 32, {});
  d->Draw(0, 0, false, false, false, TRect{0, 0, 2, 1}, s.get());
  auto s32 = Surface(2, 1, 32, {3, 4});
  auto mask24 = Surface(2, 1, 24, {255, 255});
  d->DrawMask(0, 0, mask24.get(), false, false, TRect{0, 0, 2, 1}, s32.get());
  d->DrawAlphaMask(0, 0, 100, mask24.get(), false, false, TRect{0, 0, 2, 1}, s32.get());
  d->DrawMonoMask(0, 0, 255, 7, false, false, TRect{0, 0, 2, 1}, mask24.get());
  EXPECT_EQ(Picture(*d), "..\n");
}

TEST_P(Clipping, MonoMaskRectangleMustLieInsideTheMask) {
  auto mask = Surface(3, 1, 8, {255, 255, 255});
  auto d = Surface(3, 1, 32, {});
  d->DrawMonoMask(0, 0, 255, 0xFFFFFF, false, false, TRect{1, 0, 4, 1}, mask.get());
  EXPECT_EQ(Picture(*d), "...\n");
  d->DrawMonoMask(0, 0, 255, 0xFFFFFF, false, false, TRect{-1, 0, 2, 1}, mask.get());
  EXPECT_EQ(Picture(*d), "...\n");
}

TEST_P(Clipping, AssignCopiesEqualBitmapsWholeAndOthersThroughDraw) {
  auto s = Surface(3, 2, 32, {1, 2, 3, 4, 5, 6});
  auto d = Surface(3, 2, 32, {});
  d->AddClip(TRect{0, 0, 1, 1});  // the block copy ignores the clip
  d->Assign(s.get());
  EXPECT_EQ(Picture(*d), "123\n456\n");
  auto wide = Surface(5, 1, 32, {});
  wide->Assign(s.get());
  EXPECT_EQ(Picture(*wide), "123..\n");
}

INSTANTIATE_TEST_SUITE_P(Render, Clipping, kPaths, PathParamName);

// --- Every path against a plain model on random surfaces ---

// The model: every destination pixel inside the clip maps back to srcRect (mirrored on a
// flipped axis); pixels whose source does not exist are left alone.
void Model(TCustomDIBX& d, Op op, int x, int y, int amount, TCustomDIBX* mask, bool flipV, bool flipH, bool keyed,
           const TRect& r, TCustomDIBX& s, uint32_t pixel) {
  bool masked = op == Op::Mask || op == Op::AlphaMask || op == Op::AddMask || op == Op::MonoMask;
  if (amount <= 0 && op != Op::Draw && op != Op::Mask) return;
  if (op == Op::MonoMask) {
    if (r.Left < 0 || r.Top < 0 || r.Right > mask->GetWidth() || r.Bottom > mask->GetHeight()) return;
  } else if (s.GetBitCount() != d.GetBitCount()) {
    return;
  }
  TRect clip = d.EffectiveClip();
  pixel::TMasks m{d.GetRedMask(), d.GetGreenMask(), d.GetBlueMask()};
  TCustomDIBX& src = op == Op::MonoMask ? *mask : s;
  uint32_t a = static_cast<uint32_t>(std::min(amount, 255));
  for (int dy = clip.Top; dy < clip.Bottom; ++dy)
    for (int dx = clip.Left; dx < clip.Right; ++dx) {
      int i = dx - x, j = dy - y;
      if (i < 0 || j < 0 || i >= r.Width() || j >= r.Height()) continue;
      int sx = flipH ? r.Right - 1 - i : r.Left + i, sy = flipV ? r.Bottom - 1 - j : r.Top + j;
      if (sx < 0 || sy < 0 || sx >= src.GetWidth() || sy >= src.GetHeight()) continue;
      if (masked && (sx >= mask->GetWidth() || sy >= mask->GetHeight())) continue;
      uint32_t dv = d.GetPixel(dx, dy), sv = op == Op::MonoMask ? pixel : s.GetPixel(sx, sy);
      uint32_t mv = masked ? mask->GetPixel(sx, sy) : 255;
      bool hidden = keyed && s.Transparent != -1 && sv == static_cast<uint32_t>(s.Transparent);
      switch (op) {
        case Op::Draw:
          if (!hidden) d.SetPixel(dx, dy, sv);
          break;
        case Op::Alpha:
          if (!hidden && (a == 255 || sv != dv)) d.SetPixel(dx, dy, a == 255 ? sv : pixel::Blend(dv, sv, a, m));
          break;
        case Op::Add:
          if (!hidden)
            d.SetPixel(dx, dy, d.GetBitCount() == 8 ? std::min(255u, dv + sv) : pixel::AddScaled(dv, sv, a, m));
          break;
        case Op::Mask:
          if (mv) d.SetPixel(dx, dy, mv == 255 ? sv : pixel::Blend(dv, sv, mv, m));
          break;
        case Op::AlphaMask:
          if (mv)
            d.SetPixel(dx, dy, a == 255 ? (mv == 255 ? sv : pixel::Blend(dv, sv, mv, m))
                                        : pixel::Blend(dv, sv, (a * mv) >> 8, m));
          break;
        case Op::AddMask:
          if (mv) d.SetPixel(dx, dy, pixel::AddScaled(dv, sv, (a * mv) >> 8, m));
          break;
        case Op::MonoMask:
          if (mv) d.SetPixel(dx, dy, pixel::Blend(dv, sv, (a * mv) >> 8, m));
          break;
      }
    }
}

struct RandomCase {
  Op op;
  const char* name;
};

class RandomDraws : public ::testing::TestWithParam<std::tuple<RandomCase, TBlitPath>> {
protected:
  void TearDown() override { SetBlitPath(TBlitPath::FastRows); }
};

TEST_P(RandomDraws, MatchTheModel) {
  const auto& [c, path] = GetParam();
  SetBlitPath(path);
  Rng rng(static_cast<uint64_t>(c.op) * 7919 + 17);
  const int depths[] = {32, 32, 32, 16, 15, 24, 8};
  int changed = 0;
  for (int iter = 0; iter < 300; ++iter) {
    int bits = depths[rng.Range(0, 6)];
    auto d = RandomSurface(rng, rng.Range(1, 40), rng.Range(1, 9), bits);
    auto s = RandomSurface(rng, rng.Range(1, 40), rng.Range(1, 9), rng.Chance(95) ? bits : 32);
    auto m = RandomSurface(rng, s->GetWidth() + rng.Range(-2, 2), s->GetHeight() + rng.Range(-1, 1), 8);
    if (rng.Chance(50)) s->Transparent = static_cast<int32_t>(s->GetPixel(0, 0));
    if (rng.Chance(40))
      d->AddClip(TRect{rng.Range(-5, 10), rng.Range(-3, 3), rng.Range(10, 45), rng.Range(3, 12)});
    TRect r{rng.Range(-3, s->GetWidth() - 1), rng.Range(-2, s->GetHeight() - 1), 0, 0};
    r.Right = r.Left + rng.Range(0, s->GetWidth() + 4);
    r.Bottom = r.Top + rng.Range(0, s->GetHeight() + 2);
    if (c.op == Op::MonoMask && rng.Chance(80)) r = Intersect(r, TRect{0, 0, m->GetWidth(), m->GetHeight()});
    int x = rng.Range(-r.Width(), d->GetWidth()), y = rng.Range(-r.Height(), d->GetHeight());
    const int amounts[] = {0, 1, 64, 128, 200, 254, 255, 300};
    int amount = amounts[rng.Range(0, 7)];
    bool flipV = rng.Chance(50), flipH = rng.Chance(50), keyed = rng.Chance(50);
    uint32_t pixel = rng.Next() & (bits == 32 ? 0xFFFFFFFF : bits == 8 ? 0xFF : 0xFFFF);
    auto expected = Surface(d->GetWidth(), d->GetHeight(), bits, Pixels(*d));
    expected->SetClipRect(d->GetClipRect());
    Model(*expected, c.op, x, y, amount, m.get(), flipV, flipH, keyed, r, *s, pixel);
    changed += Pixels(*expected) != Pixels(*d);
    RunOp(*d, c.op, x, y, amount, m.get(), flipV, flipH, keyed, r, s.get(), pixel);
    ASSERT_EQ(Pixels(*d), Pixels(*expected))
        << "iteration " << iter << " bits " << bits << " at " << x << "," << y << " amount " << amount << " flips "
        << flipV << flipH << " keyed " << keyed;
  }
  EXPECT_GT(changed, 50) << "too few of the random draws touched any pixel";
}

const RandomCase kRandomOps[] = {{Op::Draw, "Draw"},           {Op::Alpha, "DrawAlpha"},
                                 {Op::Add, "DrawAdd"},         {Op::Mask, "DrawMask"},
                                 {Op::AlphaMask, "DrawAlphaMask"}, {Op::AddMask, "DrawAddMask"},
                                 {Op::MonoMask, "DrawMonoMask"}};

INSTANTIATE_TEST_SUITE_P(Render, RandomDraws, ::testing::Combine(::testing::ValuesIn(kRandomOps), kPaths),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" + PathName(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace nova::test
