// The layered-image cache: shared items per file and variant, users, missing and damaged
// files, scrambled files, the dither flag with its system variable, surface release.
#include <gtest/gtest.h>

#include "components/component_fixtures.h"
#include "components/images/image_vars.h"
#include "params/system_vars.h"

namespace nova::test {
namespace {

TEST(ImageCache, ItemsAreSharedPerFileAndVariantAndFreedWithTheirLastUser) {
  ComponentScene f;
  f.AddFile("a.bri", BriBytes({Solid(4, 3, 0x112233, 50), Solid(4, 3, 0x445566, 0)}));
  int u1 = 0, u2 = 0, u3 = 0;
  TBrioItem* a = f.cache.AcquireImage(&u1, "a.bri", false, false);
  EXPECT_EQ(f.cache.AcquireImage(&u2, "A.BRI", false, false), a);  // names compare case-insensitively
  EXPECT_EQ(f.cache.AcquireImage(&u2, "a.bri", false, false), a);  // a user counts once
  TBrioItem* masked = f.cache.AcquireImage(&u3, "a.bri", true, true);
  EXPECT_NE(masked, a);
  EXPECT_EQ(masked->Name(), "a.bri?m?t");
  EXPECT_EQ(f.cache.Decodes(), 2u);
  ASSERT_EQ(a->FrameCount(), 2);
  EXPECT_EQ(a->Users.size(), 2u);
  EXPECT_EQ(a->Width, 4);
  EXPECT_EQ(a->Height, 3);
  EXPECT_EQ(a->Frames[0]->Duration, 50);
  EXPECT_EQ(a->Frames[1]->Duration, 1);  // a delay of 0 lasts 1 ms
  EXPECT_EQ(a->TotalDuration, 51);
  EXPECT_EQ(a->Frames[0]->Surface.GetBitCount(), 32);
  EXPECT_EQ(a->Frames[0]->Surface.GetPixel(1, 1), 0x112233u);
  EXPECT_FALSE(a->Frames[0]->HasMask);
  EXPECT_TRUE(masked->Frames[0]->HasMask);  // "?m" gives every frame a mask
  EXPECT_EQ(masked->Frames[0]->MaskSurface.GetPixel(0, 0), 255u);

  f.cache.ReleaseImage(&u1);
  EXPECT_EQ(f.cache.Count(), 2);
  f.cache.ReleaseImage(&u2);
  EXPECT_EQ(f.cache.Count(), 1);
  EXPECT_EQ(f.cache.FindImage("a.bri"), nullptr);
  f.cache.ReleaseImage(&u3);
  EXPECT_EQ(f.cache.Count(), 0);
}

TEST(ImageCache, AMissingFileIsAnInvisibleEightByEightFrame) {
  ComponentScene f;
  int u = 0;
  TBrioItem* item = f.cache.AcquireImage(&u, "none.bri", false, true);
  EXPECT_TRUE(item->Missing);
  ASSERT_EQ(item->FrameCount(), 1);
  TBrioItemFrame& frame = *item->Frames[0];
  EXPECT_EQ(frame.Surface.GetWidth(), 8);
  EXPECT_EQ(frame.Surface.GetPixel(3, 3), 0u);
  EXPECT_EQ(frame.Surface.Transparent, 0);
  ASSERT_TRUE(frame.HasMask);
  EXPECT_EQ(frame.MaskSurface.GetPixel(3, 3), 0u);
}

TEST(ImageCache, ADamagedFileRaisesAnErrorNamingItAndLeavesNoItem) {
  ComponentScene f;
  std::string bytes = BriBytes({Solid(8, 8, 0xFFFFFF)});
  f.AddFile("cut.bri", bytes.substr(0, bytes.size() / 2));
  int u = 0;
  try {
    f.cache.AcquireImage(&u, "cut.bri", false, false);
    FAIL() << "no error";
  } catch (const ENovaError& e) {
    EXPECT_NE(std::string(e.what()).find("cut.bri"), std::string::npos) << e.what();
  }
  EXPECT_EQ(f.cache.Count(), 0);
}

TEST(ImageCache, ScrambledFilesAreReadWithTheProjectKey) {
  ComponentScene f;
  BriFrame rows = Solid(2, 4, 0);
  rows.Color = [](int, int y) { return static_cast<uint32_t>(0x10 * (y + 1)); };
  f.AddFile("s.bri", BriBytes({rows}, 1234));
  f.services.ImageKey = 1234;
  int u = 0;
  TBrioItem* item = f.cache.AcquireImage(&u, "s.bri", false, false);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(item->Frames[0]->Surface.GetPixel(0, y), 0x10u * (y + 1));
}

TEST(ImageCache, DitherRebuildsEveryItemAndRepaintsBothScreens) {
  ComponentScene f;
  RegisterImageVariables(f.funcs, f.cache);
  f.AddFile("a.bri", BriBytes({Solid(4, 4, 0x00FF00)}));
  int u = 0;
  TBrioItem* item = f.cache.AcquireImage(&u, "a.bri", false, false);
  TBrioItemFrame* frame = item->Frames[0].get();
  const uint32_t generation = frame->Generation;
  f.Frame();
  TCustomParam& dither = *f.store.ParamItem(SV_CGDITHER)->Param;
  EXPECT_FALSE(dither.GetAsBool());
  dither.SetAsBool(true);
  EXPECT_TRUE(f.cache.Dither());
  EXPECT_EQ(f.cache.Decodes(), 2u);
  EXPECT_EQ(item->Frames[0].get(), frame);  // rebuilt in place: users keep their pointers
  EXPECT_EQ(frame->Generation, generation + 1);
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(f.scene.GetScreen(i).DirtyList().Items(), (std::vector<TRect>{TRect{0, 0, 64, 48}}));
  dither.SetAsBool(true);  // the same value changes nothing
  EXPECT_EQ(f.cache.Decodes(), 2u);
  UnregisterImageVariables(f.funcs);
}

TEST(ImageCache, ReleasedSurfacesComeBackAtTheNewDepth) {
  ComponentScene f;
  f.AddFile("a.bri", BriBytes({Solid(4, 4, 0xFF0000)}));
  int u = 0;
  TBrioItem* item = f.cache.AcquireImage(&u, "a.bri", false, false);
  f.cache.ReleaseImageSurfaces();
  EXPECT_TRUE(item->Frames[0]->Surface.IsEmpty());
  f.cache.SetBitCount(16);
  f.cache.RestoreImageSurfaces();
  EXPECT_EQ(item->Frames[0]->Surface.GetBitCount(), 16);
  EXPECT_EQ(item->Frames[0]->Surface.GetPixel(0, 0), 0xF800u);  // red in 5-6-5
}

TEST(ImageCache, ADroppedFileIsDecodedAgainForNewUsers) {
  ComponentScene f;
  f.AddFile("a.bri", BriBytes({Solid(4, 4, 0x0000FF)}));
  int u1 = 0, u2 = 0;
  TBrioItem* old = f.cache.AcquireImage(&u1, "a.bri", false, false);
  f.files.Archive(0)->RemoveFile("a.bri");
  f.AddFile("a.bri", BriBytes({Solid(2, 2, 0x00FF00)}));
  f.cache.DropImage("A.bri");
  TBrioItem* fresh = f.cache.AcquireImage(&u2, "a.bri", false, false);
  EXPECT_NE(fresh, old);
  EXPECT_EQ(fresh->Width, 2);
  EXPECT_EQ(old->Width, 4);  // the first user keeps its pictures
  f.cache.ReleaseImage(&u1);
  EXPECT_EQ(f.cache.Count(), 1);
}

}  // namespace
}  // namespace nova::test
