// Films in control mode: what each kind of track writes into the control its motion drives,
// frame by frame.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "components/films/box_frame_list.h"
#include "components/images/nova_box.h"
#include "components/images/nova_button.h"
#include "components/images/nova_images.h"
#include "components/images/nova_prev_images.h"
#include "components/images/nova_tile.h"
#include "components/text/nova_label.h"
#include "film_fixtures.h"

namespace nova::test {
namespace {

// The values a picture track gives the driven image at one frame.
struct PictureFrame {
  int32_t X, Y, ZoomX, ZoomY, Width, Height, Angle, Alpha;
  std::array<int32_t, 4> Clip;
  friend bool operator==(const PictureFrame&, const PictureFrame&) = default;
};

std::ostream& operator<<(std::ostream& o, const PictureFrame& f) {
  return o << "{" << f.X << "," << f.Y << " zoom " << f.ZoomX << "x" << f.ZoomY << " size " << f.Width << "x"
           << f.Height << " angle " << f.Angle << " alpha " << f.Alpha << " clip " << f.Clip[0] << ","
           << f.Clip[1] << "," << f.Clip[2] << "," << f.Clip[3] << "}";
}

std::vector<PictureFrame> PlayPicture(FilmScene& fs, const TFilmTrack& track, int frames) {
  fs.AddFilm("m.nmt", Film({track}));
  auto* image = fs.Driven<TNovaImages>(LT_IMAGES, "m.nmt");
  TNovaMotion* motion = MotionOf(*image);
  std::vector<PictureFrame> out;
  if (!motion) return out;
  for (int n = 0; n < frames; ++n) {
    motion->Film().ShowFrame(n);
    out.push_back(PictureFrame{image->MotionX(), image->MotionY(), fs.Get(*image, PR_ZOOMX),
                               fs.Get(*image, PR_ZOOMY), image->Width(), image->Height(),
                               fs.Get(*image, PR_ANGLE), fs.Get(*image, PR_ALPHA),
                               {fs.Get(*image, PR_CLIPLEFT), fs.Get(*image, PR_CLIPTOP),
                                fs.Get(*image, PR_CLIPWIDTH), fs.Get(*image, PR_CLIPHEIGHT)}});
  }
  return out;
}

TEST(FilmControl, PictureTrackAnimatesEveryValue) {
  FilmScene fs;
  TFilmTrack t = Track(FT_PICTURE, 0, 5, "p.bri");
  t.EndPos = TPoint{100, 40};
  t.EaseY = MT_DEC;
  t.EndZoomX = 2.0;
  t.EndZoomY = 0.5;
  t.EndAngle = -90;
  t.EndAlpha = 100;
  t.Clip.EndOrigin = TPoint{4, 8};
  t.Clip.EndSize = TPoint{20, 40};
  const std::vector<PictureFrame> want = {
      {0, 0, 256, 256, 4, 4, 0, 255, {0, 0, 0, 0}},        // a clip narrower than 1: none
      {25, 12, 320, 224, 5, 3, 243, 217, {1, 2, 5, 10}},   // -18 degrees: -12.8 units
      {50, 24, 384, 192, 6, 3, 230, 178, {2, 4, 10, 20}},
      {75, 32, 448, 160, 7, 2, 218, 139, {3, 6, 15, 30}},
      {100, 40, 512, 128, 8, 2, 192, 100, {4, 8, 20, 40}},  // -90 degrees
  };
  EXPECT_EQ(PlayPicture(fs, t, 5), want);
}

TEST(FilmControl, AnglesAndAlphaAcrossTheirWraps) {
  struct Case {
    const char* what;
    int32_t startAngle, endAngle, startAlpha, endAlpha, duration;
    std::vector<std::pair<int, std::pair<int32_t, int32_t>>> frames;  // frame -> (angle, alpha)
  };
  const std::vector<Case> cases = {
      {"a full turn ends at 0", 0, 360, 0, 0, 10, {{0, {0, 255}}, {5, {128, 255}}, {8, {205, 255}}, {9, {0, 255}}}},
      {"back across 0", 10, -10, 0, 0, 3, {{0, {7, 255}}, {1, {2, 255}}, {2, {249, 255}}}},
      // 255 down to -100 over 356 frames: the blend values, then the additive 257 .. 356.
      {"opaque to additive", 0, 0, 0, -100, 356,
       {{0, {0, 255}}, {255, {0, 0}}, {256, {0, 257}}, {300, {0, 301}}, {355, {0, 356}}}},
      {"additive start", 0, 0, -20, 0, 2, {{0, {0, 276}}, {1, {0, 255}}}},
  };
  for (const Case& c : cases) {
    FilmScene fs;
    TFilmTrack t = Track(FT_PICTURE, 0, c.duration, "p.bri");
    t.StartAngle = c.startAngle, t.EndAngle = c.endAngle;
    t.StartAlpha = c.startAlpha, t.EndAlpha = c.endAlpha;
    const auto frames = PlayPicture(fs, t, c.duration);
    ASSERT_EQ(frames.size(), static_cast<size_t>(c.duration)) << c.what;
    for (const auto& [n, values] : c.frames) {
      EXPECT_EQ(frames[static_cast<size_t>(n)].Angle, values.first) << c.what << " frame " << n;
      EXPECT_EQ(frames[static_cast<size_t>(n)].Alpha, values.second) << c.what << " frame " << n;
    }
  }
}

TEST(FilmControl, PictureTrackSetsPictureOrderFlipsOffsetsAndMask) {
  FilmScene fs;
  TFilmTrack t = Track(FT_PICTURE, 0, 40, "two.bri");  // frames of 100 ms (6 frames) and 50 ms (3)
  t.HotSpot = TPoint{2, 3};
  t.Priority = 7;
  t.FlipH = 1;
  fs.AddFilm("m.nmt", Film({t}));
  auto* image = fs.Driven<TNovaImages>(LT_IMAGES, "m.nmt");
  auto* prev = fs.scene.Make<TNovaPrevImages>(fs.services);
  prev->SetParent(&fs.scene.Displayed());
  prev->SetSource("m.nmt");
  ASSERT_TRUE(MotionOf(*image) && MotionOf(*prev));
  struct Case {
    int frame, width, height;
  };
  // The cycle is 9 frames: the first picture for 6, the second for 3.
  for (const Case& c : {Case{0, 4, 4}, Case{5, 4, 4}, Case{6, 6, 2}, Case{8, 6, 2}, Case{9, 4, 4}, Case{15, 6, 2}}) {
    MotionOf(*image)->Film().ShowFrame(c.frame);
    EXPECT_EQ(image->Width(), c.width) << c.frame;
    EXPECT_EQ(image->Height(), c.height) << c.frame;
    EXPECT_EQ(image->OwnSurface()->GetWidth(), c.width) << c.frame;
  }
  EXPECT_EQ(image->SubOrder(), 7);
  EXPECT_EQ(image->Priority(), 0);
  EXPECT_TRUE(ReadProperty(*image, PR_FLIPH).Flag);
  EXPECT_FALSE(ReadProperty(*image, PR_FLIPV).Flag);
  EXPECT_EQ(fs.Get(*image, PR_OFFSETX), 2);
  EXPECT_EQ(fs.Get(*image, PR_OFFSETY), 3);
  EXPECT_TRUE(ReadProperty(*image, PR_CAPTUREMASK).Flag);
  // A preview image keeps its rectangle as its hit area.
  MotionOf(*prev)->Film().ShowFrame(0);
  EXPECT_FALSE(ReadProperty(*prev, PR_CAPTUREMASK).Flag);
  EXPECT_EQ(prev->SubOrder(), 7);
  // The motion goes with a new source: own place and order again.
  image->SetSource("p.bri");
  EXPECT_EQ(image->MotionX(), 0);
  EXPECT_EQ(image->SubOrder(), 0);
}

TEST(FilmControl, ChainedTracksContinueFromTheParentsEnd) {
  FilmScene fs;
  TFilmTrack a = Track(FT_PICTURE, 0, 10, "p.bri");
  a.EndPos = TPoint{100, 0};
  TFilmTrack b = Track(FT_PICTURE, 555, 10, "p.bri");
  b.Parent = 0;
  b.StartPos = TPoint{-7000, 9};  // ignored in a chain
  b.EndPos = TPoint{200, 0};
  fs.AddFilm("m.nmt", Film({a, b}));
  auto* image = fs.Driven<TNovaImages>(LT_IMAGES, "m.nmt");
  TFilmManager& film = MotionOf(*image)->Film();
  EXPECT_EQ(film.FilmFrameCount(), 20);
  EXPECT_EQ(film.Track(1)->AbsoluteStart(), 10);
  EXPECT_EQ(film.Track(0)->Successor(), film.Track(1));
  EXPECT_EQ(film.FirstTrackAtStart(), film.Track(0));
  std::vector<int32_t> xs, ys;
  for (int n = 0; n < 20; ++n) {
    film.ShowFrame(n);
    xs.push_back(image->MotionX());
    ys.push_back(image->MotionY());
  }
  EXPECT_EQ(xs, (std::vector<int32_t>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 111, 122, 133, 144, 155, 166, 177,
                                      188, 200}));
  EXPECT_EQ(ys, std::vector<int32_t>(20, 0));
}

TEST(FilmControl, BoxTrackRectangleAndColours) {
  struct Case {
    int32_t startColor, endColor;
    std::vector<int32_t> colors;
  };
  // Bytes one by one: from -1 (every byte 255) to 0x0000FF, the top byte 0 from the start.
  for (const Case& c : {Case{-1, -1, {-1, -1, -1}}, Case{-1, 0x0000FF, {0xFFFFFF, 0x8080FF, 0x0000FF}},
                        Case{0x102030, 0x302010, {0x102030, 0x202020, 0x302010}}}) {
    FilmScene fs;
    TFilmTrack t = Track(FT_BOX, 0, 3);
    t.StartPos = TPoint{10, 20};
    t.EndPos = TPoint{20, 30};
    t.StartSize = TPoint{5, 6};
    t.EndSize = TPoint{15, 16};
    t.StartColor = c.startColor, t.EndColor = c.endColor;
    t.StartBorderColor = c.startColor, t.EndBorderColor = c.endColor;
    t.StartBorderWidth = 1, t.EndBorderWidth = 5;
    t.Priority = 3;
    fs.AddFilm("b.nmt", Film({t}));
    auto* box = fs.Driven<TNovaBox>(LT_BOX, "b.nmt", {{PR_PRIORITY, Int(10)}});
    ASSERT_TRUE(box->HasMotion());
    box->Update(0);  // the first step records the priority and shows frame 0
    TNovaMotion* motion = MotionOf(*box);
    for (int n = 0; n < 3; ++n) {
      motion->Film().ShowFrame(n);
      EXPECT_EQ(fs.Get(*box, PR_COLOR), c.colors[static_cast<size_t>(n)]) << n;
      EXPECT_EQ(fs.Get(*box, PR_BORDERCOLOR), c.colors[static_cast<size_t>(n)]) << n;
      EXPECT_EQ(fs.Get(*box, PR_BORDERWIDTH), 1 + 2 * n) << n;
      EXPECT_EQ(box->MotionX(), 10 + 5 * n) << n;
      EXPECT_EQ(box->MotionY(), 20 + 5 * n) << n;
      EXPECT_EQ(box->Width(), 5 + 5 * n) << n;
      EXPECT_EQ(box->Height(), 6 + 5 * n) << n;
      EXPECT_EQ(box->Priority(), 13) << n;
    }
  }
}

TEST(FilmControl, LabelTrackWritesTextFontAndPlace) {
  FilmScene fs;
  TFilmTrack t = Track(FT_LABEL, 0, 3);
  t.Text = "Hi";
  t.FontName = "Sans";
  t.FontHeight = 20;
  t.FontColor = 0x123456;
  t.HAlign = 2;
  t.HotSpot = TPoint{4, 5};
  t.StartPos = TPoint{0, 0};
  t.EndPos = TPoint{30, 60};
  t.Priority = 2;
  fs.AddFilm("l.nmt", Film({t}));
  auto* label = fs.Driven<TNovaLabel>(LT_LABEL, "l.nmt", {{PR_PRIORITY, Int(5)}});
  ASSERT_TRUE(label->HasMotion());
  label->Update(0);
  MotionOf(*label)->Film().ShowFrame(1);
  EXPECT_EQ(ReadProperty(*label, PR_TEXT).Str, "Hi");
  EXPECT_EQ(ReadProperty(*label, PR_FONTNAME).Str, "Sans");
  EXPECT_EQ(fs.Get(*label, PR_FONTHEIGHT), 20);
  EXPECT_EQ(fs.Get(*label, PR_FONTCOLOR), 0x123456);
  EXPECT_EQ(fs.Get(*label, PR_HALIGN), 2);
  EXPECT_EQ(label->Priority(), 7);
  EXPECT_EQ(label->MotionX(), 15);
  EXPECT_EQ(label->MotionY(), 30);
  EXPECT_EQ(label->ScreenLeft(), 15 - 4);
  EXPECT_EQ(fs.Get(*label, PR_OFFSETY), 5);
  // A caption's motion plays, finishes, and PR_REPEAT rewinds it.
  EXPECT_TRUE(ReadProperty(*label, PR_PLAYING).Flag);
  bool finished = false;
  for (int i = 0; i < 10 && !finished; ++i) finished = label->Update(17) || MotionOf(*label)->Finished();
  EXPECT_TRUE(MotionOf(*label)->Finished());
  EXPECT_FALSE(ReadProperty(*label, PR_PLAYING).Flag);
  WriteProperty(*label, PR_REPEAT, Flag(true));
  EXPECT_FALSE(MotionOf(*label)->Finished());
  // Played again from the start: the track's priority is not added a second time.
  label->Update(0);
  EXPECT_EQ(label->Priority(), 7);
}

TEST(FilmControl, TileAndEffectTracksWriteTheirValues) {
  FilmScene fs;
  TFilmTrack tile = Track(FT_TILE, 0, 3, "p.bri");
  tile.StartPos = TPoint{0, 0};
  tile.EndPos = TPoint{10, 10};
  tile.StartSize = TPoint{0, 0};  // the picture's size: 4 x 4
  tile.EndSize = TPoint{24, 14};
  tile.EndScroll = TPoint{6, -2};
  tile.Distance = TPoint{5, 7};
  fs.AddFilm("t.nmt", Film({tile}));
  auto* t = fs.Driven<TNovaTile>(LT_TILE, "t.nmt");
  ASSERT_TRUE(t->HasMotion());
  MotionOf(*t)->Film().ShowFrame(1);
  // left 5; right: 3 -> 33 gives 18; width 18 - 5 + 1.
  EXPECT_EQ(t->MotionX(), 5);
  EXPECT_EQ(t->Width(), 14);
  EXPECT_EQ(t->Height(), 9);
  EXPECT_EQ(t->ScreenLeft(), 5);
  EXPECT_EQ(fs.Get(*t, PR_SCROLLX), 3);
  EXPECT_EQ(fs.Get(*t, PR_SCROLLY), -1);
  EXPECT_EQ(fs.Get(*t, PR_DISTANCEX), 5);

  TFilmTrack particle = Track(FT_PARTICLE, 0, 3);
  particle.StartPos = TPoint{2, 4};
  particle.EndPos = TPoint{2, 4};
  particle.StartSize = particle.EndSize = TPoint{30, 20};
  particle.StartAlpha = 100, particle.EndAlpha = 100;
  TFilmTrack fire = Track(FT_FIRE, 3, 2);
  fire.StartPos = fire.EndPos = TPoint{7, 8};
  fire.StartSize = fire.EndSize = TPoint{40, 30};
  fire.Power = 55;
  fs.AddFilm("e.nmt", Film({particle, fire}));
  auto* box = fs.Driven<TNovaBox>(LT_BOX, "e.nmt");
  ASSERT_TRUE(box->HasMotion());
  TFilmManager& film = MotionOf(*box)->Film();
  film.ShowFrame(1);
  EXPECT_EQ(box->MotionX(), 2);
  EXPECT_EQ(box->MotionY(), 4);
  EXPECT_EQ(box->Width(), 30);
  EXPECT_EQ(box->Height(), 20);
  EXPECT_EQ(fs.Get(*box, PR_ALPHA), 100);
  film.ShowFrame(4);
  EXPECT_EQ(box->MotionX(), 7);
  EXPECT_EQ(box->MotionY(), 8);
}

TEST(FilmControl, FarPlacesAndPrioritiesSaturate) {
  FilmScene fs;
  TFilmTrack t = Track(FT_BOX, 0, 2);
  t.StartPos = TPoint{1000, -1000};
  t.EndPos = TPoint{1000, -1000};
  t.Priority = 5;
  TFilmFile f = Film({t});
  f.Relative = 1;
  f.DesignOrigin = TPoint{-2000000000, 2000000000};
  fs.AddFilm("far.nmt", f);
  auto* box = fs.Driven<TNovaBox>(LT_BOX, "far.nmt",
                                  {{PR_LEFT, Int(2000000000)}, {PR_TOP, Int(-2000000000)}, {PR_PRIORITY, Int(INT32_MAX)}});
  box->Update(0);
  EXPECT_EQ(box->MotionX(), INT32_MAX);
  EXPECT_EQ(box->MotionY(), INT32_MIN);
  EXPECT_EQ(box->Priority(), INT32_MAX);
}

TEST(FilmControl, ExtremeRectanglesAndLengthsStayInRange) {
  FilmScene fs;
  TFilmTrack a = Track(FT_BOX, INT32_MAX - 10, INT32_MAX);
  a.StartPos = TPoint{INT32_MIN, INT32_MIN};
  a.EndPos = TPoint{INT32_MAX, INT32_MAX};
  a.StartSize = TPoint{INT32_MAX, 1};
  a.EndSize = TPoint{INT32_MAX, INT32_MIN};
  TFilmTrack b = Track(FT_FIRE, 0, INT32_MAX);
  b.Parent = 0;
  b.EndSize = TPoint{INT32_MIN, INT32_MAX};
  TFilmTrack c = Track(FT_SOUND, INT32_MIN, INT32_MAX, "none.wav");
  fs.AddFilm("x.nmt", Film({a, b, c}));
  auto* box = fs.Driven<TNovaBox>(LT_BOX, "x.nmt");
  ASSERT_TRUE(box->HasMotion());
  TFilmManager& film = MotionOf(*box)->Film();
  EXPECT_EQ(film.FilmFrameCount(), INT32_MAX);
  EXPECT_EQ(film.Track(1)->AbsoluteStart(), INT32_MAX);
  for (int32_t n : {INT32_MAX - 10, INT32_MAX - 9, INT32_MAX - 1, INT32_MAX, 0, INT32_MIN}) film.ShowFrame(n);
  film.ShowFrame(INT32_MAX - 10);
  EXPECT_EQ(box->MotionX(), INT32_MIN);
  EXPECT_EQ(box->Width(), INT32_MAX);  // from INT32_MIN across the whole range
  EXPECT_EQ(box->Height(), 1);
}

}  // namespace
}  // namespace nova::test
