// Fire tracks outside control mode: one fire per chain, made on the chain's first frame under
// the anchor, driven frame by frame (place, image size, zooms, strength) across the seam and
// freed after the chain.
#include <gtest/gtest.h>

#include "components/effects/nova_fire.h"
#include "components/films/effect_frame_lists.h"
#include "components/images/nova_box.h"
#include "film_fixtures.h"

namespace nova::test {
namespace {

TEST(FilmFire, AChainDrivesOneFire) {
  FilmScene fs;
  auto* anchor = fs.Create<TNovaBox>(LT_BOX, "cin");
  TFilmTrack first = Track(FT_FIRE, 0, 11);
  first.StartPos = TPoint{2, 3};
  first.EndPos = TPoint{12, 3};
  first.StartSize = TPoint{20, 10};
  first.EndSize = TPoint{40, 10};
  first.StartZoomX = first.EndZoomX = 2.0;
  first.StartZoomY = first.EndZoomY = 1.0;
  first.Power = 80;
  first.Priority = 4;
  TFilmTrack second = Track(FT_FIRE, 0, 10);
  second.Parent = 0;
  second.EndPos = TPoint{22, 13};
  second.EndSize = TPoint{40, 30};
  second.EndZoomX = second.EndZoomY = 1.0;
  second.Power = 200;
  second.Priority = 4;
  TFilmManager film(fs.services);
  film.SetScene(&fs.scene);
  film.SetAnchor(anchor);
  film.ReadFilm(Bytes(FilmBytes(Film({first, second}))), "f.nmt");
  ASSERT_EQ(film.TrackCount(), 2);
  const int before = fs.scene.ObjectCount();

  film.ShowFrame(0);
  auto* fire = dynamic_cast<TNovaFire*>(film.Track(0)->GetObject());
  ASSERT_NE(fire, nullptr);
  EXPECT_EQ(fire->Parent(), anchor);
  EXPECT_TRUE(fire->HasSystemName());
  EXPECT_EQ(fire->Priority(), 4);
  EXPECT_EQ(fire->Left(), 2);
  EXPECT_EQ(fs.Get(*fire, PR_ORIGWIDTH), 20);
  EXPECT_EQ(fs.Get(*fire, PR_ORIGHEIGHT), 10);
  EXPECT_EQ(fs.Get(*fire, PR_ZOOMX), 512);
  EXPECT_EQ(fs.Get(*fire, PR_WIDTH), 40);
  EXPECT_EQ(fs.Get(*fire, PR_POWER), 80);

  film.ShowFrame(5);
  EXPECT_EQ(film.Track(0)->GetObject(), fire);
  const TFilmRect r = static_cast<TFireFrameList*>(film.Track(0))->FireRectAt(5);
  EXPECT_GT(r.Left, 2);
  EXPECT_LT(r.Left, 12);
  EXPECT_EQ(fire->Left(), r.Left);
  EXPECT_EQ(fs.Get(*fire, PR_ORIGWIDTH), r.Width);
  EXPECT_EQ(fs.Get(*fire, PR_WIDTH), r.Width * 2);

  // Across the seam the same fire goes on with the second track's values.
  film.ShowFrame(12);
  EXPECT_EQ(film.Track(1)->GetObject(), fire);
  EXPECT_EQ(fs.scene.ObjectCount(), before + 1);
  EXPECT_EQ(fs.Get(*fire, PR_POWER), 200);
  EXPECT_GT(fire->Top(), 3);
  EXPECT_LT(fs.Get(*fire, PR_ZOOMX), 512);

  // The fire burns in the scene's frames.
  fs.Frame(40);
  EXPECT_TRUE(fire->Running());

  // After the chain it goes.
  film.ShowFrame(25);
  EXPECT_TRUE(fs.scene.IsPendingDeletion(fire));
  fs.Frame();
}

}  // namespace
}  // namespace nova::test
