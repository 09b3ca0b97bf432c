// Motions: a film played on a control at 60 frames per second (start-up, repeat from the
// loop-start frame, the end, seeking through PR_INDEX, relative films moved by a script).
#include <gtest/gtest.h>

#include <vector>

#include "components/images/nova_box.h"
#include "components/images/nova_button.h"
#include "components/images/nova_images.h"
#include "film_fixtures.h"

namespace nova::test {
namespace {

TFilmFile Moving(int32_t frames, int32_t loopStart = 0) {
  TFilmTrack t = Track(FT_PICTURE, 0, frames, "p.bri");
  t.EndPos = TPoint{frames - 1, 0};  // x = frame
  return Film({t}, loopStart);
}

// The frame the image shows after each of `steps` updates of one frame's time.
std::vector<int32_t> Play(TNovaImages& image, int steps, std::vector<bool>* ended = nullptr) {
  std::vector<int32_t> frames;
  for (int k = 0; k < steps; ++k) {
    // The first two steps only show frame 0; time runs from the third.
    const bool done = MotionOf(image)->Step(k < 2 ? StepMs(1) : StepMs(k - 1));
    if (ended) ended->push_back(done);
    frames.push_back(ReadProperty(image, PR_INDEX).Int);
  }
  return frames;
}

TEST(NovaMotion, RepeatResumesAtTheLoopStart) {
  FilmScene fs;
  fs.AddFilm("m.nmt", Moving(120, 30));
  auto* image = fs.Driven<TNovaImages>(LT_IMAGES, "m.nmt", {{PR_REPEAT, Flag(true)}});
  ASSERT_TRUE(MotionOf(*image));
  EXPECT_EQ(ReadProperty(*image, PR_COUNT).Int, 120);
  std::vector<bool> ended;
  const std::vector<int32_t> frames = Play(*image, 2 + 119 + 90 + 5, &ended);
  std::vector<int32_t> want = {0, 0};
  for (int f = 1; f < 120; ++f) want.push_back(f);
  for (int round = 0; round < 2; ++round)
    for (int f = 30; f < 120 && want.size() < frames.size(); ++f) want.push_back(f);
  EXPECT_EQ(frames, want);
  EXPECT_EQ(std::count(ended.begin(), ended.end(), true), 0);
  EXPECT_EQ(image->MotionX(), 34);  // the film's x follows the frame
}

TEST(NovaMotion, WithoutRepeatItFinishesOnceOnTheLastFrame) {
  FilmScene fs;
  fs.AddFilm("m.nmt", Moving(10));
  auto* image = fs.Driven<TNovaImages>(LT_IMAGES, "m.nmt", {{PR_ONPLAYEND, Str("end.nsb")}});
  std::vector<bool> ended;
  const std::vector<int32_t> frames = Play(*image, 14, &ended);
  EXPECT_EQ(frames, (std::vector<int32_t>{0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9, 9}));
  EXPECT_EQ(ended, (std::vector<bool>{false, false, false, false, false, false, false, false, false, false, false,
                                      true, false, false}));
  EXPECT_FALSE(ReadProperty(*image, PR_PLAYING).Flag);
  // Through the scene: the finishing update posts the play-end event; PR_REPEAT rewinds.
  WriteProperty(*image, PR_REPEAT, Flag(true));
  EXPECT_TRUE(ReadProperty(*image, PR_PLAYING).Flag);
  WriteProperty(*image, PR_REPEAT, Flag(false));
  fs.ClearEvents();
  for (int i = 0; i < 20; ++i) fs.Frame(17);
  EXPECT_EQ(fs.Events().size(), 1u);
}

TEST(NovaMotion, IndexSeeksTheFilmsTime) {
  FilmScene fs;
  fs.AddFilm("m.nmt", Moving(100));
  auto* image = fs.Driven<TNovaImages>(LT_IMAGES, "m.nmt");
  TNovaMotion* motion = MotionOf(*image);
  motion->Step(0);
  motion->Step(0);
  WriteProperty(*image, PR_INDEX, Int(40));
  EXPECT_EQ(motion->Elapsed(), 667);  // 40 frames, rounded
  motion->Step(0);
  EXPECT_EQ(ReadProperty(*image, PR_INDEX).Int, 40);
  EXPECT_EQ(image->MotionX(), 40);
  // Animation-paused: time stands still.
  WriteProperty(*image, PR_ANIPAUSED, Flag(true));
  motion->Step(500);
  EXPECT_EQ(ReadProperty(*image, PR_INDEX).Int, 40);
}

TEST(NovaMotion, RelativeFilmFollowsAScriptsMove) {
  FilmScene fs;
  TFilmFile film = Moving(60);
  film.Relative = 1;
  film.DesignOrigin = TPoint{10, 5};
  film.Tracks[0].StartPos = TPoint{10, 5};
  film.Tracks[0].EndPos = TPoint{69, 5};  // x = 10 + frame
  fs.AddFilm("m.nmt", film);
  auto* image = fs.Driven<TNovaImages>(LT_IMAGES, "m.nmt", {{PR_LEFT, Int(100)}, {PR_TOP, Int(50)}});
  ASSERT_TRUE(MotionOf(*image));
  Play(*image, 12);  // frame 10
  EXPECT_EQ(image->MotionX(), 100 + 10);
  EXPECT_EQ(image->MotionY(), 50);
  EXPECT_EQ(image->ScreenLeft(), 110);
  // The script moves it: the same frame again at the new place, and on from there.
  WriteProperty(*image, PR_LEFT, Int(300));
  MotionOf(*image)->Step(0);
  EXPECT_EQ(image->MotionX(), 300 + 10);
  MotionOf(*image)->Step(StepMs(11));
  EXPECT_EQ(image->MotionX(), 300 + 11);
  EXPECT_EQ(image->MotionY(), 50);
}

TEST(NovaMotion, EveryMotionCarryingControlPlaysThroughTheScene) {
  struct Case {
    int type;
    int track;
  };
  for (const Case& c : {Case{LT_IMAGES, FT_PICTURE}, Case{LT_BUTTON, FT_PICTURE}, Case{LT_TILE, FT_TILE},
                        Case{LT_BOX, FT_BOX}, Case{LT_LABEL, FT_LABEL}}) {
    FilmScene fs;
    TFilmTrack t = Track(c.track, 0, 30, c.track == FT_LABEL || c.track == FT_BOX ? "" : "p.bri");
    t.EndPos = TPoint{29, 0};
    fs.AddFilm("m.nmt", Film({t}));
    auto* control = fs.Driven<TNovaControl>(c.type, "m.nmt", {{PR_ONPLAYEND, Str("end.nsb")}});
    ASSERT_TRUE(control && control->HasMotion()) << c.type;
    std::vector<int32_t> xs;
    for (int k = 0; k < 34; ++k) {
      fs.Frame(k < 2 ? 16 : StepMs(k - 1));
      xs.push_back(control->MotionX());
    }
    // Two frames at the start, then one film frame per update.
    EXPECT_EQ(xs[0], 0) << c.type;
    EXPECT_EQ(xs[1], 0) << c.type;
    EXPECT_EQ(xs[2], 1) << c.type;
    EXPECT_EQ(xs[20], 19) << c.type;
    // Tiles always repeat (frame 30 is frame 0 again); a button's play end is its clicked
    // state's only.
    EXPECT_EQ(xs[33], c.type == LT_TILE ? 2 : 29) << c.type;
    EXPECT_EQ(fs.Events().size(), c.type == LT_TILE || c.type == LT_BUTTON ? 0u : 1u) << c.type;
  }
}

TEST(NovaMotion, NotSavedButMadeAgainFromTheSourceOnLoad) {
  FilmScene fs;
  fs.AddFilm("m.nmt", Moving(30));
  auto* image = fs.Driven<TNovaImages>(LT_IMAGES, "m.nmt");
  auto* label = fs.Create<TNovaControl>(LT_LABEL, "cap", {{PR_SOURCE, Str("m.nmt")}});
  auto* box = fs.Create<TNovaControl>(LT_BOX, "box", {{PR_SOURCE, Str("m.nmt")}});
  for (int k = 0; k < 12; ++k) fs.Frame(17);
  ASSERT_GT(image->MotionX(), 5);
  TKtMemoryStream saved;
  fs.scene.SaveScene(saved);
  FilmScene other;
  other.AddFilm("m.nmt", Moving(30));
  TKtMemoryStream in(saved.Data());
  other.scene.LoadScene(in, 138);
  other.Frame(17);
  other.Frame(17);
  struct Case {
    const char* name;
    int32_t x;
  };
  // An image keeps its frame (its saved PR_INDEX sets the film's time); the others start over.
  for (const Case& c : {Case{"driven", 10}, Case{"cap", 0}, Case{"box", 0}}) {
    TNovaControl* control = other.scene.FindControl(c.name);
    ASSERT_NE(control, nullptr) << c.name;
    EXPECT_TRUE(control->HasMotion()) << c.name;
    EXPECT_EQ(control->MotionX(), c.x) << c.name;
  }
  EXPECT_EQ(label->MotionX(), 10);
  EXPECT_EQ(box->MotionX(), 10);
}

TEST(NovaMotion, EachButtonStateHasItsMotion) {
  FilmScene fs;
  fs.AddFilm("a.nmt", Moving(10));
  TFilmFile other = Moving(10);
  other.Tracks[0].StartPos = TPoint{0, 20};
  other.Tracks[0].EndPos = TPoint{0, 20};
  fs.AddFilm("b.nmt", other);
  auto* button = fs.Create<TNovaButton>(LT_BUTTON, "b", {{PR_SOURCE, Str("a.nmt")}, {PR_HOVERSOURCE, Str("b.nmt")}});
  ASSERT_TRUE(button->HasMotion());
  button->Update(16);
  EXPECT_EQ(button->MotionY(), 0);
  button->SetButtonState(TNovaButton::kHover);
  button->Update(16);
  EXPECT_EQ(button->MotionY(), 20);
}

TEST(NovaMotion, DamagedOrMissingFilmsPlayEmptyAndFinishAtOnce) {
  for (const char* name : {"bad.nmt", "missing.nmt"}) {
    FilmScene fs;
    // A signature and version, then a header cut short.
    std::string bad = "NovaMotion108";
    bad.append(3, '\x01');
    fs.AddFile("bad.nmt", bad);
    testing::internal::CaptureStderr();
    auto* image = fs.Driven<TNovaImages>(LT_IMAGES, name);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind(std::string("novaplayer: ") + name + ":", 0), 0u) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    ASSERT_TRUE(MotionOf(*image)) << name;
    EXPECT_EQ(MotionOf(*image)->FrameCount(), 0);
    EXPECT_TRUE(MotionOf(*image)->Step(16)) << name;  // the first step ends it
    EXPECT_TRUE(MotionOf(*image)->Finished());
  }
}

}  // namespace
}  // namespace nova::test
