// Cinema surfaces: time at 60 frames per second with the start-up hold, the end and the loop,
// films played under the cinema in the game scene or in its private scene, the saved form at
// every layout, and sources that are absent, not films or unreadable.
#include <gtest/gtest.h>

#include "components/component_fixtures.h"
#include "components/films/film_manager.h"
#include "components/films/nova_cinema.h"
#include "formats/film_file.h"

namespace nova::test {
namespace {

constexpr uint32_t kRed = 0x0000FF;  // colours are 0x00BBGGRR; pixels 0x00RRGGBB
constexpr uint32_t kRedPixel = 0xFF0000;

std::string Bytes(const TFilmFile& film) {
  const std::vector<uint8_t> v = WriteFilmFile(film);
  return std::string(v.begin(), v.end());
}

// A film of one red box at (2, 3), 5 x 4, shown for `frames` frames.
TFilmFile BoxFilm(int32_t frames, TPoint size = {20, 10}, int32_t backColor = -1, int32_t loopStart = 0) {
  TFilmFile film;
  film.Signature = "NovaCinema";
  film.SceneSize = size;
  film.BackColor = backColor;
  film.LoopStart = loopStart;
  TFilmTrack box = NewFilmTrack(FT_BOX, size.X, size.Y);
  box.Start = 0;
  box.Duration = frames;
  box.StartPos = box.EndPos = TPoint{2, 3};
  box.StartSize = box.EndSize = TPoint{5, 4};
  box.StartColor = box.EndColor = static_cast<int32_t>(kRed);
  box.StartBorderColor = box.EndBorderColor = -1;
  box.StartAlpha = box.EndAlpha = 255;
  film.Tracks.push_back(box);
  return film;
}

struct CinemaScene : ComponentScene {
  TNovaCinema* Make(const std::string& source, const std::vector<std::pair<int, TPropValue>>& props = {}) {
    std::vector<std::pair<int, TPropValue>> all = props;
    all.emplace_back(PR_SOURCE, Str(source));
    return Create<TNovaCinema>(LT_CINEMA, "cine", all);
  }
  void AddFilm(const std::string& name, const TFilmFile& film) { AddFile(name, Bytes(film)); }
  void Run(int frames, uint32_t ms) {
    for (int i = 0; i < frames; ++i) Frame(ms);
  }
};

TEST(Cinema, EndsAfterItsFramesOrLoopsBackToTheLoopStart) {
  struct Case {
    bool repeat;
    int32_t loopStart;
    int32_t indexAtEnd;  // after 20 counted steps of 100 ms (2 s = frame 120 of 120)
    bool ended;
    int events;
  } cases[] = {
      {false, 0, 119, true, 1},
      {true, 0, 0, false, 0},
      {true, 30, 30, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "repeat " << c.repeat << " loop start " << c.loopStart);
    CinemaScene f;
    f.AddFilm("f.nmt", BoxFilm(120, {20, 10}, -1, c.loopStart));
    TNovaCinema* cine = f.Make("f.nmt", {{PR_REPEAT, Flag(c.repeat)}, {PR_ONPLAYEND, Str("end")}});
    ASSERT_NE(cine->Film(), nullptr);
    EXPECT_EQ(ReadProperty(*cine, PR_COUNT).Int, 120);
    // The first two updates hold frame 0; time counts from the third.
    f.Run(2, 100);
    EXPECT_EQ(cine->ElapsedMs(), 0);
    EXPECT_TRUE(ReadProperty(*cine, PR_PLAYING).Flag);
    f.Run(19, 100);
    EXPECT_EQ(ReadProperty(*cine, PR_INDEX).Int, 114);  // 1900 ms
    EXPECT_FALSE(cine->Ended());
    f.Run(1, 100);
    EXPECT_EQ(ReadProperty(*cine, PR_INDEX).Int, c.indexAtEnd);
    EXPECT_EQ(cine->Ended(), c.ended);
    f.Run(10, 100);
    EXPECT_EQ(static_cast<int>(f.Events().size()), c.events);
    if (c.events) {
      EXPECT_EQ(f.Events()[0], "cine:43");
    }
    EXPECT_EQ(ReadProperty(*cine, PR_PLAYING).Flag, !c.ended);
  }
}

TEST(Cinema, AutoScrapRemovesTheEndedCinemaWithoutAnEvent) {
  CinemaScene f;
  f.AddFilm("f.nmt", BoxFilm(6));
  TNovaCinema* cine = f.Make("f.nmt", {{PR_AUTOSCRAP, Flag(true)}, {PR_ONPLAYEND, Str("end")}});
  f.Run(2, 16);
  f.Run(1, 100);  // 100 ms = frame 6 of 6
  EXPECT_FALSE(f.scene.IsRegistered(cine));
  EXPECT_TRUE(f.Events().empty());
}

TEST(Cinema, IndexJumpsInTimeAndPauseHoldsIt) {
  CinemaScene f;
  f.AddFilm("f.nmt", BoxFilm(120));
  TNovaCinema* cine = f.Make("f.nmt");
  f.Run(5, 100);
  WriteProperty(*cine, PR_INDEX, Int(30));
  EXPECT_EQ(cine->ElapsedMs(), 500);
  f.Run(2, 100);  // the jump holds like a start
  EXPECT_EQ(ReadProperty(*cine, PR_INDEX).Int, 30);
  f.Run(1, 50);
  EXPECT_EQ(ReadProperty(*cine, PR_INDEX).Int, 33);  // 550 ms
  for (int id : {PR_PAUSED, PR_ANIPAUSED}) {
    WriteProperty(*cine, id, Flag(true));
    EXPECT_TRUE(cine->Film()->FilmPaused());
    EXPECT_FALSE(ReadProperty(*cine, PR_PLAYING).Flag);
    f.Run(3, 100);
    EXPECT_EQ(cine->ElapsedMs(), 550) << id;
    WriteProperty(*cine, id, Flag(false));
    EXPECT_FALSE(cine->Film()->FilmPaused());
  }
  // Huge and negative indexes neither overflow nor run backwards.
  WriteProperty(*cine, PR_INDEX, Int(INT32_MAX));
  EXPECT_EQ(cine->ElapsedMs(), INT32_MAX);
  WriteProperty(*cine, PR_INDEX, Int(-5));
  EXPECT_EQ(cine->ElapsedMs(), 0);
  WriteProperty(*cine, PR_VOLUME, Int(-300));
  EXPECT_EQ(ReadProperty(*cine, PR_VOLUME).Int, 0);
}

TEST(Cinema, AnchoredFilmPutsItsObjectsUnderTheCinema) {
  CinemaScene f;
  f.AddFilm("f.nmt", BoxFilm(120, {20, 10}));
  TNovaCinema* cine = f.Make("f.nmt", {{PR_LEFT, Int(10)}, {PR_TOP, Int(5)}});
  EXPECT_FALSE(cine->SceneMode());
  EXPECT_EQ(ReadProperty(*cine, PR_WIDTH).Int, 20);
  EXPECT_EQ(ReadProperty(*cine, PR_HEIGHT).Int, 10);
  f.Frame();
  ASSERT_EQ(cine->ChildCount(), 1);
  TNovaControl* box = cine->Child(0);
  EXPECT_EQ(box->TypeCode(), LT_BOX);
  EXPECT_TRUE(box->HasSystemName());
  EXPECT_EQ(f.Px(12, 8), kRedPixel);  // (10 + 2, 5 + 3)
  EXPECT_EQ(f.Px(16, 11), kRedPixel);
  EXPECT_EQ(f.Px(17, 8), 0u);
  // Clicks go to the cinema, not to the film's box; a child of the game's own is hit.
  EXPECT_EQ(cine->HitTest(TPoint{12, 8}, kLeftPressModes), cine);
  auto* own = f.Create<TNovaControl>(LT_BOX, "own", {{PR_LEFT, Int(1)}, {PR_TOP, Int(2)}, {PR_WIDTH, Int(4)},
                                                     {PR_HEIGHT, Int(4)}, {PR_COLOR, Int(-1)}}, cine);
  EXPECT_EQ(cine->HitTest(TPoint{12, 8}, kLeftPressModes), own);
  f.scene.FreeObject(own);
  // The film's objects are not saved with the cinema.
  TKtMemoryStream s;
  f.scene.SaveScene(s);
  s.SetPosition(0);
  CinemaScene g;
  g.AddFilm("f.nmt", BoxFilm(120, {20, 10}));
  g.scene.LoadScene(s, 138);
  auto* loaded = dynamic_cast<TNovaCinema*>(g.scene.FindObject("cine"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->ChildCount(), 0);  // the film makes its box again on its first frame
  g.Frame();
  EXPECT_EQ(loaded->ChildCount(), 1);
  EXPECT_EQ(g.Px(12, 8), kRedPixel);
}

TEST(Cinema, SceneModeShowsThePrivateSceneThroughItsRectangle) {
  CinemaScene f;
  f.scene.Displayed().SetColor(0x00FF00);
  f.AddFilm("f.nmt", BoxFilm(120, {16, 8}, 0xFF0000));  // blue background
  TNovaCinema* cine = f.Make("f.nmt", {{PR_LEFT, Int(8)}, {PR_TOP, Int(4)}});
  ASSERT_TRUE(cine->SceneMode());
  EXPECT_EQ(ReadProperty(*cine, PR_WIDTH).Int, 16);
  EXPECT_EQ(cine->PrivateScene().ScreenWidth(), 16);
  EXPECT_EQ(cine->ChildCount(), 0);
  f.Frame();
  EXPECT_EQ(cine->PrivateScene().ObjectCount(), 1);
  struct Probe {
    int x, y;
    uint32_t want;
  } probes[] = {
      {8, 4, 0x0000FF},    {23, 11, 0x0000FF},  // the film's background, corner to corner
      {10, 7, kRedPixel},  {14, 10, kRedPixel},  // its box at (2, 3) .. (6, 6)
      {7, 4, 0x00FF00},    {24, 4, 0x00FF00},   {8, 12, 0x00FF00},  // the game screen around it
  };
  for (const Probe& p : probes) EXPECT_EQ(f.Px(p.x, p.y), p.want) << p.x << "," << p.y;
  // Moved, the picture follows.
  WriteProperty(*cine, PR_LEFT, Int(0));
  f.Frame();
  EXPECT_EQ(f.Px(2, 7), kRedPixel);
  EXPECT_EQ(f.Px(10, 7), 0x0000FFu);
  EXPECT_EQ(f.Px(20, 7), 0x00FF00u);
  // Resized through its width, the private scene follows.
  WriteProperty(*cine, PR_WIDTH, Int(12));
  EXPECT_EQ(cine->PrivateScene().ScreenWidth(), 12);
}

TEST(Cinema, APrivateTransitionRepaintsTheWholeCinema) {
  // Red on screen 0, green on screen 1 (other screen), a fade from frame 10 to 39.
  TFilmFile film = BoxFilm(100, {16, 8});
  TFilmTrack green = film.Tracks[0];
  green.OtherScreen = 1;
  green.StartColor = green.EndColor = 0x00FF00;
  TFilmTrack fade = NewFilmTrack(FT_WIPE, 16, 8);
  fade.Start = 10;
  fade.Duration = 30;
  fade.WipeType = WP_FADE;
  film.Tracks.push_back(green);
  film.Tracks.push_back(fade);
  CinemaScene f;
  f.AddFilm("f.nmt", film);
  TNovaCinema* cine = f.Make("f.nmt", {{PR_LEFT, Int(30)}, {PR_TOP, Int(20)}});
  ASSERT_TRUE(cine->SceneMode());
  f.Run(3, 16);
  EXPECT_EQ(f.Px(33, 24), kRedPixel);
  const TRect drawn = cine->DrawnRect();
  auto covered = [&](const std::vector<TRect>& dirty) {
    for (const TRect& r : dirty)
      if (Intersect(r, drawn) == drawn) return true;
    return false;
  };
  WriteProperty(*cine, PR_INDEX, Int(25));
  f.Run(2, 16);
  ASSERT_TRUE(cine->PrivateScene().TransitionRunning());
  // Half way through the fade, every frame repaints the cinema whole.
  EXPECT_TRUE(covered(f.Frame(16)));
  EXPECT_TRUE(covered(f.Frame(16)));
  const uint32_t mid = f.Px(33, 24);
  EXPECT_GT(mid >> 16 & 0xFF, 0x30u);
  EXPECT_GT(mid >> 8 & 0xFF, 0x30u);
  WriteProperty(*cine, PR_INDEX, Int(60));
  f.Run(3, 16);
  EXPECT_FALSE(cine->PrivateScene().TransitionRunning());
  EXPECT_EQ(cine->PrivateScene().DisplayedIndex(), 1);
  EXPECT_EQ(f.Px(33, 24), 0x00FF00u);
  // Outside a transition only what changed is repainted.
  EXPECT_FALSE(covered(f.Frame(16)));
}

TEST(Cinema, SizesBeyondAScreenAllocateNothing) {
  CinemaScene f;
  TFilmFile huge = BoxFilm(10, {100000, 100000}, 0);  // a scene-mode film of 10^10 pixels
  f.AddFilm("huge.nmt", huge);
  testing::internal::CaptureStderr();
  TNovaCinema* cine = f.Make("huge.nmt");
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("novaplayer: huge.nmt: the film's scene size 100000x100000 is beyond the limit"),
            std::string::npos)
      << err;
  EXPECT_FALSE(cine->SceneMode());
  EXPECT_EQ(cine->PrivateScene().ScreenWidth(), 0);
  struct Size {
    int32_t width, height;
    bool shown;
  } sizes[] = {{100000, 100000, false}, {8192, 8192, false}, {-5, 10, false}, {INT32_MAX, 1, false},
               {4097, 4096, false},     {16, 8, true},      {1024, 512, true}};
  for (const Size& size : sizes) {
    WriteProperty(*cine, PR_WIDTH, Int(size.width));
    WriteProperty(*cine, PR_HEIGHT, Int(size.height));
    EXPECT_EQ(ReadProperty(*cine, PR_WIDTH).Int, size.width);
    EXPECT_EQ(cine->PrivateScene().ScreenWidth(), size.shown ? size.width : 0) << size.width << "x" << size.height;
    f.Frame();
  }
}

// The fields a cinema appends to its control record, as a save of the given version lays them out.
std::string CinemaFields(int32_t v, const std::string& source, int32_t frame, bool rewind, int32_t volume, bool mute,
                         bool ended, bool repeat = false, const std::string& onIdle = "") {
  TKtMemoryStream s;
  s.WriteString(source);
  s.WriteByte(repeat);
  s.WriteByte(0);
  s.WriteByte(0);
  s.WriteString("end");
  if (v > 103) s.WriteString(onIdle);
  if (v > 116) {
    s.WriteInt32(frame);
    s.WriteByte(rewind);
  }
  if (v > 128) {
    s.WriteInt32(volume);
    s.WriteByte(mute);
  }
  if (v > 132) s.WriteByte(ended);
  return s.Data();
}

// A whole cinema record of a version, for a 20 x 10 cinema without children.
std::string CinemaRecord(int32_t v, const std::string& source, int32_t frame, bool rewind, int32_t volume, bool mute,
                         bool ended) {
  TKtMemoryStream s;
  s.WriteString("cine");
  s.WriteInt32(0);
  if (v > 103) s.WriteInt32(0);
  if (v >= 120) s.WriteString("");
  for (int32_t x : {0, 0, 20, 10, 0, 0}) s.WriteInt32(x);
  s.WriteByte(0);
  if (v >= 130)
    for (int i = 0; i < 4; ++i) s.WriteInt32(0);
  if (v > 103) {
    for (int i = 0; i < 4; ++i) s.WriteInt32(0);
    s.WriteByte(0);
  }
  s.WriteByte(1);
  s.WriteInt32(0);
  for (int32_t x : {0, 0, 1, 1}) s.WriteInt32(x);
  s.WriteByte(0);
  s.WriteString("");
  s.WriteString("");
  if (v > 101) s.WriteString("");
  for (int i = 0; i < 7; ++i) s.WriteString("");
  if (v > 117) {
    s.WriteByte(0);
    for (int i = 0; i < 5; ++i) s.WriteString("");
  }
  s.WriteInt32(0);  // children
  return s.Data() + CinemaFields(v, source, frame, rewind, volume, mute, ended);
}

TEST(Cinema, LoadsEveryLayoutOfItsRecord) {
  struct Case {
    int32_t version, frame;
    bool rewind;
    int32_t volume;
    bool mute, ended;
    int32_t wantIndex, wantVolume;
    bool wantEnded;
  } cases[] = {
      {138, 40, false, 500, false, false, 40, 500, false},  // resumes where it was
      {138, 40, true, 500, false, false, 0, 500, false},    // rewind-on-load starts again
      {138, 40, false, 500, true, false, 40, 0, false},     // mute-on-load: silent
      {138, 119, false, 500, false, true, 119, 500, true},  // an ended cinema stays ended
      {138, 119, true, 500, false, true, 0, 500, false},    // ... unless it starts again
      {130, 40, false, 700, true, true, 40, 0, false},      // no ended byte before 133
      {120, 40, false, 0, false, false, 40, 1000, false},   // no volume before 129
      {110, 40, false, 0, false, false, 0, 1000, false},    // no frame before 117
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "version " << c.version << " frame " << c.frame << " rewind " << c.rewind);
    CinemaScene f;
    f.AddFilm("f.nmt", BoxFilm(120));
    TKtMemoryStream s;
    s.Assign(CinemaRecord(c.version, "f.nmt", c.frame, c.rewind, c.volume, c.mute, c.ended));
    s.SetPosition(0);
    auto* cine = dynamic_cast<TNovaCinema*>(f.scene.CreateObject(LT_CINEMA));
    ASSERT_NE(cine, nullptr);
    cine->LoadFromStream(s, c.version);
    cine->SetParent(&f.scene.Displayed());
    EXPECT_EQ(s.Position(), s.Size());
    EXPECT_EQ(ReadProperty(*cine, PR_VOLUME).Int, c.wantVolume);
    EXPECT_EQ(cine->Film()->Volume(), c.wantVolume);
    EXPECT_EQ(ReadProperty(*cine, PR_MUTEONLOAD).Flag, c.version > 128 && c.mute);
    f.Run(2, 16);
    EXPECT_EQ(ReadProperty(*cine, PR_INDEX).Int, c.wantIndex);
    EXPECT_EQ(cine->Ended(), c.wantEnded);
    f.Run(1, 16);
    // An ended cinema does not report its end a second time.
    EXPECT_TRUE(f.Events().empty());
  }
}

TEST(Cinema, SavedFormRoundTrips) {
  CinemaScene f;
  f.AddFilm("f.nmt", BoxFilm(120));
  TNovaCinema* cine = f.Make("f.nmt", {{PR_VOLUME, Int(300)}, {PR_REPEAT, Flag(true)}, {PR_ONPLAYEND, Str("end")},
                                       {PR_ONIDLE, Str("idle")}, {PR_LEFT, Int(3)}});
  WriteProperty(*cine, PR_INDEX, Int(25));
  f.Run(2, 16);
  TKtMemoryStream s;
  cine->SaveToStream(s);
  const std::string fields = CinemaFields(138, "f.nmt", 25, false, 300, false, false, true, "idle");
  ASSERT_GE(s.Data().size(), fields.size());
  EXPECT_EQ(s.Data().substr(s.Data().size() - fields.size()), fields);
  s.SetPosition(0);
  auto* copy = dynamic_cast<TNovaCinema*>(f.scene.CreateObject(LT_CINEMA));
  copy->LoadFromStream(s, 138);
  EXPECT_EQ(s.Position(), s.Size());
  for (int id : {PR_SOURCE, PR_ONIDLE, PR_ONPLAYEND}) EXPECT_EQ(ReadProperty(*copy, id).Str, ReadProperty(*cine, id).Str);
  for (int id : {PR_VOLUME, PR_LEFT, PR_WIDTH, PR_HEIGHT, PR_COUNT})
    EXPECT_EQ(ReadProperty(*copy, id).Int, ReadProperty(*cine, id).Int) << id;
  EXPECT_TRUE(ReadProperty(*copy, PR_REPEAT).Flag);
  copy->SetParent(&f.scene.Displayed());
  f.Run(2, 16);
  EXPECT_EQ(ReadProperty(*copy, PR_INDEX).Int, 25);
}

TEST(Cinema, SourcesThatAreNoFilm) {
  struct Case {
    const char* what;
    std::string bytes;  // empty: no such file
    bool film;
    bool ends;
    const char* stderrHas;
  } cases[] = {
      {"absent", "", false, false, ""},
      {"not a film", "hello, this is text", true, true, ""},
      {"unreadable", "NovaCinema999", true, true, "novaplayer: f.nmt: "},
      {"truncated", Bytes(BoxFilm(10)).substr(0, 40), true, true, "novaplayer: f.nmt: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CinemaScene f;
    if (!c.bytes.empty()) f.AddFile("f.nmt", c.bytes);
    testing::internal::CaptureStderr();
    TNovaCinema* cine = f.Make("f.nmt", {{PR_ONPLAYEND, Str("end")}, {PR_WIDTH, Int(8)}, {PR_HEIGHT, Int(8)}});
    const std::string err = testing::internal::GetCapturedStderr();
    if (*c.stderrHas) EXPECT_NE(err.find(c.stderrHas), std::string::npos) << err;
    else EXPECT_EQ(err, "");
    EXPECT_EQ(cine->Film() != nullptr, c.film);
    EXPECT_EQ(ReadProperty(*cine, PR_COUNT).Int, 0);
    f.Run(40, 100);
    EXPECT_EQ(ReadProperty(*cine, PR_INDEX).Int, 0);
    EXPECT_EQ(cine->Ended(), c.ends);
    EXPECT_EQ(f.Events().size(), c.ends ? 1u : 0u);
    EXPECT_FALSE(ReadProperty(*cine, PR_PLAYING).Flag);
  }
}

}  // namespace
}  // namespace nova::test
