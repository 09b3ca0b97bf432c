// The mask composition and the other direct pixel loops of the transitions: the reading of a
// blended mask, the binary shortcut, the repeated mask, pictures of other sizes, and every
// blit path against the plain per-pixel path on random pictures.
#include <gtest/gtest.h>

#include "render/wipe_kinds.h"
#include "render_test_util.h"
#include "wipe_test_util.h"

namespace nova::test {
namespace {

class ComposePaths : public ::testing::TestWithParam<int> {
protected:
  void TearDown() override { SetBlitPath(TBlitPath::FastRows); }
};

// A blended mask composes as DrawMask does: 0 keeps the old pixel, 255 copies the new one
// exactly (the per-channel formula alone would give (new x 255) >> 8, a step darker), values
// between blend (old x (255 - m) + new x m) >> 8.
TEST_P(ComposePaths, MaskValuesOnEveryPath) {
  const int bits = GetParam();
  const uint32_t oldPixel = ModelPixel(0x204060, bits), newPixel = ModelPixel(0xF0C0A0, bits);
  const std::vector<uint32_t> maskValues = {0, 255, 128, 1, 254, 64};
  for (TBlitPath path : {TBlitPath::FastRows, TBlitPath::ReferenceRows, TBlitPath::PerPixel}) {
    SetBlitPath(path);
    SCOPED_TRACE(PathName(path));
    auto from = Surface(21, 1, bits, std::vector<uint32_t>(21, oldPixel));
    auto to = Surface(21, 1, bits, std::vector<uint32_t>(21, newPixel));
    auto dest = Surface(21, 1, bits, {});
    std::vector<uint32_t> m(21);
    for (size_t i = 0; i < m.size(); ++i) m[i] = maskValues[i % maskValues.size()];
    auto mask = Surface(21, 1, 8, m);
    ComposeThroughMask(dest.get(), from.get(), to.get(), mask.get(), false);
    for (int x = 0; x < 21; ++x) {
      uint32_t mv = m[static_cast<size_t>(x)];
      uint32_t want = mv == 0 ? oldPixel : mv == 255 ? newPixel : 0;
      if (mv != 0 && mv != 255)
        for (uint32_t cm : {dest->GetRedMask(), dest->GetGreenMask(), dest->GetBlueMask()})
          want |= (((oldPixel & cm) * (255 - mv) + (newPixel & cm) * mv) >> 8) & cm;
      EXPECT_EQ(dest->GetPixel(x, 0), want) << "mask " << mv;
    }
  }
}

// Random pictures and masks (repeated every 3 rows), blended and binary: every path gives the
// pixels of the old picture assigned and the new one drawn through a full-height mask with
// DrawMask.
TEST_P(ComposePaths, AgreesWithAssignAndDrawMask) {
  const int bits = GetParam();
  Rng rng(static_cast<uint64_t>(bits));
  for (int round = 0; round < 6; ++round) {
    const int w = rng.Range(1, 70), h = rng.Range(1, 12);
    const bool binary = round % 2 == 1;
    auto from = RandomSurface(rng, w, h, bits), to = RandomSurface(rng, w, h, bits);
    auto mask = RandomSurface(rng, w, 3, 8);
    if (binary)
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < w; ++x) mask->SetPixel(x, y, mask->GetPixel(x, y) & 1 ? 255 : 0);
    auto full = Surface(w, h, 8, {});
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) full->SetPixel(x, y, mask->GetPixel(x, y % 3));
    SetBlitPath(TBlitPath::PerPixel);
    auto want = Surface(w, h, bits, {});
    want->Assign(from.get());
    want->DrawMask(0, 0, full.get(), false, false, TRect{0, 0, w, h}, to.get());
    for (TBlitPath path : {TBlitPath::FastRows, TBlitPath::ReferenceRows, TBlitPath::PerPixel}) {
      SetBlitPath(path);
      auto dest = RandomSurface(rng, w, h, bits);
      ComposeThroughMask(dest.get(), from.get(), to.get(), mask.get(), binary);
      EXPECT_EQ(Pixels(*dest), Pixels(*want)) << PathName(path) << " round " << round;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Render, ComposePaths, ::testing::Values(32, 16, 15, 24),
                         [](const auto& info) { return "Bits" + std::to_string(info.param); });

TEST(WipeCompose, OnlyTheCommonAreaIsDrawn) {
  auto from = Surface(6, 4, 32, std::vector<uint32_t>(24, 1));
  auto to = Surface(4, 3, 32, std::vector<uint32_t>(12, 2));
  auto mask = Surface(5, 1, 8, std::vector<uint32_t>(5, 255));
  auto dest = Surface(6, 4, 32, {});
  ComposeThroughMask(dest.get(), from.get(), to.get(), mask.get(), true);
  EXPECT_EQ(Picture(*dest), "2222..\n2222..\n2222..\n......\n");
}

TEST(WipeCompose, RefusesMismatchedPictures) {
  auto from = Surface(4, 2, 32, std::vector<uint32_t>(8, 1));
  auto to16 = Surface(4, 2, 16, std::vector<uint32_t>(8, 2));
  auto mask = Surface(4, 1, 8, std::vector<uint32_t>(4, 255));
  auto mask32 = Surface(4, 1, 32, std::vector<uint32_t>(4, 255));
  auto dest = Surface(4, 2, 32, {});
  ComposeThroughMask(dest.get(), from.get(), to16.get(), mask.get(), true);
  ComposeThroughMask(dest.get(), from.get(), from.get(), mask32.get(), true);
  EXPECT_EQ(Picture(*dest), "....\n....\n");
}

// The light loops (SPOT, MASKWHITE, MASKBLACK) and RIPPLE on random pictures: the direct
// 16- and 32-bit loops against the per-pixel path.
TEST(WipeCompose, DirectLoopsAgreeWithThePerPixelPath) {
  Rng rng(5);
  for (int kind : {WP_SPOT, WP_MASKWHITE, WP_MASKBLACK, WP_RIPPLE})
    for (int bits : {32, 16, 15}) {
      auto from = RandomSurface(rng, 41, 30, bits), to = RandomSurface(rng, 41, 30, bits);
      for (int32_t e : {0, 120, 333, 500, 777, 999}) {
        std::vector<uint32_t> results[2];
        int i = 0;
        for (TBlitPath path : {TBlitPath::PerPixel, TBlitPath::FastRows}) {
          SetBlitPath(path);
          auto dest = Surface(41, 30, bits, {});
          auto wipe = CreateWipe(kind, dest.get(), from.get(), to.get());
          wipe->SetDuration(1000);
          wipe->SetMaskImage(GreySurface(GreyPicture()));
          wipe->Prepare();
          wipe->Advance(e);
          results[i++] = Pixels(*dest);
        }
        EXPECT_EQ(results[0], results[1]) << WipeIdentifier(kind) << " bits " << bits << " at " << e;
      }
    }
  SetBlitPath(TBlitPath::FastRows);
}

// The blur: every channel the truncated average of the square's pixels inside the picture,
// against a direct sum, at several radii and bit counts.
TEST(WipeCompose, BoxBlurAveragesTheSquare) {
  Rng rng(9);
  for (int bits : {32, 16, 15})
    for (int radius : {0, 1, 2, 5}) {
      auto pic = RandomSurface(rng, 13, 9, bits);
      TDIBX out;
      BoxBlur(*pic, out, radius);
      ASSERT_EQ(out.GetBitCount(), bits);
      for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x) {
          uint32_t want = 0;
          for (uint32_t m : {pic->GetRedMask(), pic->GetGreenMask(), pic->GetBlueMask()}) {
            uint64_t sum = 0, n = 0;
            for (int j = std::max(0, y - radius); j <= std::min(8, y + radius); ++j)
              for (int i = std::max(0, x - radius); i <= std::min(12, x + radius); ++i)
                sum += pic->GetPixel(i, j) & m, ++n;
            want |= static_cast<uint32_t>(sum / n) & m;
          }
          if (radius == 0) want = pic->GetPixel(x, y);
          ASSERT_EQ(out.GetPixel(x, y), want) << bits << " r " << radius << " at " << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace nova::test
