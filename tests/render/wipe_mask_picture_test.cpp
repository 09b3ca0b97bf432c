// Mask pictures as the caller loads them: a picture file read by the formats library into an
// 8-bit surface (its grey palette turns every colour into a grey level) and given to the mask
// kinds; a missing or unusable picture changes everything together.
#include <gtest/gtest.h>

#include "base/stream.h"
#include "formats/bmp_image.h"
#include "formats/surface_loader.h"
#include "render/wipe_kinds.h"
#include "wipe_test_util.h"

namespace nova::test {
namespace {

// A 16 x 4 picture file: black on the left half, white on the right, one mid-grey pixel.
std::unique_ptr<TDIBX> LoadHalvesPicture() {
  TBrioBitmap rgb(16, 4, 24);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 16; ++x) rgb.SetPixel(x, y, x < 8 ? 0x000000 : 0xFFFFFF);
  rgb.SetPixel(0, 3, 0x808080);
  std::vector<uint8_t> bytes = EncodeBmp24(rgb);
  TKtMemoryStream stream(std::string(bytes.begin(), bytes.end()));
  auto mask = std::make_unique<TDIBX>();
  mask->SetSize(1, 1, 8);
  EXPECT_TRUE(LoadSurfaceFromStream(*mask, stream, "halves.bmp"));
  return mask;
}

// Which pixels of row 0 show the new picture ('#'), the old one ('.') or neither ('+').
std::string Row0(TCustomDIBX& dest, const Img& oldPic, const Img& newPic) {
  std::string s;
  for (int x = 0; x < dest.GetWidth(); ++x) {
    uint32_t v = dest.GetPixel(x, 0);
    s += v == newPic.at(x, 0) ? '#' : v == oldPic.at(x, 0) ? '.' : '+';
  }
  return s;
}

TEST(WipeMaskPicture, LoadedPictureHoldsGreyLevels) {
  auto mask = LoadHalvesPicture();
  ASSERT_EQ(mask->GetBitCount(), 8);
  EXPECT_EQ(mask->GetWidth(), 16);
  EXPECT_EQ(mask->GetPixel(1, 0), 0u);
  EXPECT_EQ(mask->GetPixel(12, 2), 255u);
  EXPECT_EQ(mask->GetPixel(0, 3), 128u);
}

// Bright areas change first: black left, white right wipes from right to left; reversed the
// other way round.
TEST(WipeMaskPicture, MaskFadeWipesFromTheBrightSide) {
  struct Case {
    bool reversed;
    int32_t elapsed;
    const char* row;
  } cases[] = {
      {false, 0, "................"},   {false, 250, "........++++++++"}, {false, 500, "........########"},
      {false, 750, "++++++++########"}, {true, 500, "########........"},  {true, 250, "++++++++........"},
  };
  Img oldPic = OldPicture(32, 4, 32), newPic = NewPicture(32, 4, 32);
  for (const auto& c : cases) {
    auto from = ToSurface(oldPic, 32), to = ToSurface(newPic, 32), dest = ToSurface(oldPic, 32);
    auto wipe = CreateWipe(WP_MASKFADE, dest.get(), from.get(), to.get());
    wipe->SetReverse(c.reversed);
    wipe->SetMaskName("halves.bmp");
    wipe->SetMaskImage(LoadHalvesPicture());
    wipe->SetDuration(1000);
    wipe->Prepare();
    wipe->Advance(c.elapsed);
    // The 16-pixel picture repeats across the 32-pixel screen.
    EXPECT_EQ(Row0(*dest, oldPic, newPic), std::string(c.row) + c.row) << c.reversed << " at " << c.elapsed;
  }
}

// Without a picture (or with one that is not 8 bits) every pixel has grey 255: all of them
// change together.
TEST(WipeMaskPicture, MissingPictureChangesEverythingTogether) {
  Img oldPic = OldPicture(16, 4, 32), newPic = NewPicture(16, 4, 32);
  for (int variant = 0; variant < 2; ++variant)
    for (int kind : {WP_MASKFADE, WP_MASKWHITE, WP_MASKBLACK}) {
      auto from = ToSurface(oldPic, 32), to = ToSurface(newPic, 32), dest = ToSurface(oldPic, 32);
      auto wipe = CreateWipe(kind, dest.get(), from.get(), to.get());
      if (variant == 1) wipe->SetMaskImage(ToSurface(Img(4, 4, 0), 32));
      wipe->SetDuration(1000);
      wipe->Prepare();
      auto& grey = kind == WP_MASKFADE ? dynamic_cast<TWipeShadow&>(*wipe).Grey()
                                       : dynamic_cast<TWipeShadowWhite&>(*wipe).Grey();
      EXPECT_EQ(grey, std::vector<uint8_t>(64, 255));
      wipe->Advance(400);
      ModelInput in;
      in.kind = kind, in.elapsed = 400, in.duration = 1000, in.from = oldPic, in.to = newPic;
      EXPECT_EQ(Difference(FromSurface(*dest), ModelStep(in)), "same") << WipeIdentifier(kind);
    }
}

// MASKWHITE: the bright half lights up first and comes back as the new picture first.
TEST(WipeMaskPicture, MaskWhiteFollowsTheGreyLevels) {
  Img oldPic = OldPicture(16, 4, 32), newPic = NewPicture(16, 4, 32);
  auto from = ToSurface(oldPic, 32), to = ToSurface(newPic, 32), dest = ToSurface(oldPic, 32);
  auto wipe = CreateWipe(WP_MASKWHITE, dest.get(), from.get(), to.get());
  wipe->SetMaskImage(LoadHalvesPicture());
  wipe->SetDuration(768);
  wipe->Prepare();
  wipe->Advance(300);  // b = 300: white side v = 299 (the new picture plus grey 212), black side v = 44
  auto plus = [](uint32_t p, uint32_t grey) {
    uint32_t v = 0;
    for (uint32_t m : {0xFF0000u, 0xFF00u, 0xFFu}) v |= std::min<uint32_t>((p & m) + (grey * 0x010101u & m), m);
    return v;
  };
  EXPECT_EQ(dest->GetPixel(12, 0), plus(newPic.at(12, 0), 212));
  EXPECT_EQ(dest->GetPixel(3, 0), plus(oldPic.at(3, 0), 44));
}

}  // namespace
}  // namespace nova::test
