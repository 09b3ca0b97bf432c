// The movie object: frames drawn into the screen exactly when they are due, overlays drawn over
// the finished picture at the object's place, its end, stopping, cabinets and its saved form.
#include <gtest/gtest.h>

#include "components/media/nova_video.h"
#include "media/media_items.h"
#include "media_scene.h"
#include "objects/nova_cabinet.h"
#include "platform_sdl/media_encoders.h"

namespace nova::test {
namespace {

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;

// A 64 x 48 movie of one second at 25 frames a second: red for frames 0..11 (up to 480 ms),
// blue from frame 12.
struct MovieScene : MediaScene {
  MovieScene() { EncodeMovie(dir / "mv.mpg", "mpeg1video", 64, 48, 25, 25, [](int k) { return k < 12 ? kRed : kBlue; }); }
  TNovaVideo* Video(const std::string& name, bool overlay) {
    auto* v = dynamic_cast<TNovaVideo*>(scene.CreateObject(LT_VIDEO));
    v->SetName(name);
    v->SetParent(&scene.Displayed());
    Set(*v, PR_OVERLAY, TPropValue::OfFlag(overlay));
    Set(*v, PR_SOURCE, TPropValue::OfStr("mv.mpg"));
    Set(*v, PR_VOLUME, TPropValue::OfInt(1000));
    return v;
  }
  // The colour at a point of the picture: red, blue or something else (0).
  uint32_t Colour(int x, int y) {
    const uint32_t p = back.GetPixel(x, y) & 0xFFFFFF;
    const uint32_t r = p >> 16 & 0xFF, b = p & 0xFF;
    if (r > 0xC0 && b < 0x40) return kRed;
    if (b > 0xC0 && r < 0x40) return kBlue;
    return 0;
  }
};

TEST(Video, FramesAreDrawnIntoTheScreenWhenTheyAreDue) {
  MovieScene m;
  TNovaVideo* v = m.Video("mv", false);
  v->SetPlayState(LP_PLAY);
  ASSERT_NE(v->Item(), nullptr);
  EXPECT_EQ(v->Width(), 64);
  EXPECT_EQ(v->Height(), 48);
  EXPECT_EQ(MediaScene::Get(*v, PR_ORIGWIDTH).Int, 64);
  // The picture is checked for a new frame every 32 ms: frame 12 (due at 480 ms) is drawn in
  // the frame of 480 ms, the red ones before.
  for (int frame = 1; frame <= 40; ++frame) {
    m.Frame();
    EXPECT_EQ(m.Colour(32, 24), m.Now() < 480 ? kRed : kBlue) << m.Now();
  }
  EXPECT_TRUE(MediaScene::Get(*v, PR_PLAYING).Flag);
  EXPECT_NEAR(MediaScene::Get(*v, PR_INDEX).Int, 640, 1);
}

TEST(Video, ZoomStretchesTheFrames) {
  MovieScene m;
  TNovaVideo* v = m.Video("mv", false);
  MediaScene::Set(*v, PR_ZOOMX, TPropValue::OfInt(128));
  MediaScene::Set(*v, PR_ZOOMY, TPropValue::OfInt(128));
  MediaScene::Set(*v, PR_LEFT, TPropValue::OfInt(16));
  v->SetPlayState(LP_PLAY);
  EXPECT_EQ(v->Width(), 32);
  EXPECT_EQ(v->Height(), 24);
  m.Frames(2);
  EXPECT_EQ(m.Colour(20, 10), kRed);
  EXPECT_NE(m.Colour(50, 10), kRed);  // outside the half-size picture
  EXPECT_NE(m.Colour(10, 10), kRed);
}

TEST(Video, AnOverlayIsDrawnOverThePictureAtTheObjectsPlace) {
  MovieScene m;
  TNovaVideo* v = m.Video("mv", true);
  MediaScene::Set(*v, PR_LEFT, TPropValue::OfInt(10));
  v->SetPlayState(LP_PLAY);
  m.Frames(2);
  // Cut at the screen's edge: the source loses the same columns.
  EXPECT_EQ(v->OverlayRect(), (TRect{10, 0, 64, 48}));
  EXPECT_TRUE(v->Item()->GetVisible());
  EXPECT_EQ(m.Colour(40, 24), kRed);
  EXPECT_NE(m.Colour(5, 24), kRed);
  MediaScene::Set(*v, PR_VISIBLE, TPropValue::OfFlag(false));
  m.Frame();
  EXPECT_FALSE(v->Item()->GetVisible());
  EXPECT_TRUE(v->OverlayRect().Empty());
  MediaScene::Set(*v, PR_VISIBLE, TPropValue::OfFlag(true));
  MediaScene::Set(*v, PR_CLIPLEFT, TPropValue::OfInt(0));
  MediaScene::Set(*v, PR_CLIPTOP, TPropValue::OfInt(0));
  MediaScene::Set(*v, PR_CLIPWIDTH, TPropValue::OfInt(20));
  MediaScene::Set(*v, PR_CLIPHEIGHT, TPropValue::OfInt(10));
  m.Frame();
  EXPECT_EQ(v->OverlayRect(), (TRect{10, 0, 30, 10}));
}

TEST(Video, TheEndPostsItsEventOnceOrScrapsTheMovie) {
  for (bool autoScrap : {false, true}) {
    MovieScene m;
    TNovaVideo* v = m.Video("mv", false);
    MediaScene::Set(*v, PR_ONPLAYEND, TPropValue::OfStr("end.nsb"));
    MediaScene::Set(*v, PR_AUTOSCRAP, TPropValue::OfFlag(autoScrap));
    v->SetPlayState(LP_PLAY);
    const TObjectRef ref(v);
    m.Frames(90);  // 1.44 s of a one-second movie
    if (autoScrap) {
      EXPECT_EQ(m.scene.Resolve(ref), nullptr);
    } else {
      EXPECT_EQ(m.Count("mv:43"), 1);
      EXPECT_EQ(m.Colour(32, 24), kBlue);  // the last frame stays
    }
  }
  MovieScene m;
  TNovaVideo* v = m.Video("mv", false);
  MediaScene::Set(*v, PR_ONPLAYEND, TPropValue::OfStr("end.nsb"));
  MediaScene::Set(*v, PR_REPEAT, TPropValue::OfFlag(true));
  v->SetPlayState(LP_PLAY);
  m.Frames(70);  // 1.12 s: round again, red
  EXPECT_EQ(m.Count("mv:43"), 0);
  EXPECT_EQ(m.Colour(32, 24), kRed);
}

TEST(Video, StoppingKeepsTheObjectAndAFadeOutRemovesIt) {
  MovieScene m;
  TNovaVideo* v = m.Video("mv", false);
  v->SetPlayState(LP_PLAY);
  m.Frames(3);
  v->SetPlayState(LP_STOP);
  EXPECT_EQ(v->Item(), nullptr);
  EXPECT_EQ(v->OwnSurface(), nullptr);
  EXPECT_FALSE(v->IsPendingDeletion());
  EXPECT_EQ(m.media->Video()->Count(), 0);
  v->SetPlayState(LP_PLAY);
  MediaScene::Set(*v, PR_DELAY, TPropValue::OfInt(160));
  v->SetPlayState(LP_STOPFADE);
  const TObjectRef ref(v);
  m.Frames(8);
  EXPECT_NE(m.scene.Resolve(ref), nullptr);
  m.Frames(4);
  EXPECT_EQ(m.scene.Resolve(ref), nullptr);
  EXPECT_EQ(m.media->Video()->Count(), 0);
}

TEST(Video, ACabinetPausesAndResumesIt) {
  MovieScene m;
  TNovaVideo* v = m.Video("mv", false);
  v->SetPlayState(LP_PLAY);
  m.Frames(3);
  auto* cabinet = m.scene.Make<TNovaCabinet>();
  v->SetParent(cabinet);
  EXPECT_FALSE(v->Item()->IsPlaying());
  const int32_t at = v->Item()->GetPosition();
  m.Frames(10);
  EXPECT_EQ(v->Item()->GetPosition(), at);
  v->SetParent(&m.scene.Displayed());
  EXPECT_TRUE(v->Item()->IsPlaying());
}

// A saved movie as a version of the save data has it: the object, control and image records
// with their defaults, then the movie's own fields.
std::string VideoRecord(int32_t version, bool overlay, bool mute, uint8_t state) {
  TKtMemoryStream s;
  s.WriteString("mv");
  s.WriteInt32(0);  // priority
  if (version > 103) s.WriteInt32(0);
  if (version >= 120) s.WriteString("");
  for (int32_t v : {0, 0, 64, 48, 0, 0}) s.WriteInt32(v);  // rectangle and offsets
  s.WriteByte(0);                                          // position-zoomed
  if (version >= 130) for (int i = 0; i < 4; ++i) s.WriteInt32(0);
  if (version > 103) {
    for (int i = 0; i < 4; ++i) s.WriteInt32(0);  // clip
    s.WriteByte(0);                               // animation-paused
  }
  s.WriteByte(1);  // visible
  s.WriteInt32(0);
  for (int32_t v : {0, 0, 1, 1}) s.WriteInt32(v);
  s.WriteByte(0);                                    // ignore-mouse
  s.WriteString("");                                 // cursor
  const int events = 1 + (version > 101 ? 1 : 0) + 7;  // mouse events
  for (int i = 0; i < events; ++i) s.WriteString("");
  if (version > 117) {
    s.WriteByte(0);
    for (int i = 0; i < 5; ++i) s.WriteString("");
  }
  s.WriteInt32(0);  // children
  for (int32_t v : {255, 256, 0}) s.WriteInt32(v);  // alpha, zoom x, angle
  for (int i = 0; i < 3; ++i) s.WriteByte(0);       // flips, capture mask
  if (version >= 104) s.WriteInt32(256);
  s.WriteString("mv.mpg");
  for (bool b : {false, false, false}) s.WriteByte(b);  // repeat, auto-scrap, paused
  for (int32_t v : {700, 0, 0, 320}) s.WriteInt32(v);  // volume, balance, fade, position
  s.WriteByte(state);
  s.WriteString("end.nsb");
  s.WriteString("idle.nsb");
  if (version > 107) s.WriteByte(0);  // rewind-on-load off: the position is kept
  if (version >= 112) s.WriteByte(overlay);
  if (version > 128) s.WriteByte(mute);
  return s.Data();
}

TEST(Video, LoadsEveryVersionOfItsRecord) {
  struct Case {
    int32_t version;
    bool overlay;
    int32_t volume, position;
  };
  // Before 108 the movie rewinds (no rewind byte), before 112 it is an overlay, before 129
  // nothing is muted.
  for (const Case& c : {Case{103, true, 700, 0}, Case{111, true, 700, 320}, Case{112, false, 700, 320},
                        Case{128, false, 700, 320}, Case{138, false, 0, 320}}) {
    MovieScene m;
    TKtMemoryStream in;
    in.Assign(VideoRecord(c.version, false, true, LP_PLAY));
    auto* v = dynamic_cast<TNovaVideo*>(m.scene.CreateObject(LT_VIDEO));
    v->LoadFromStream(in, c.version);
    EXPECT_EQ(in.Position(), in.Size()) << c.version;
    EXPECT_EQ(v->Overlay(), c.overlay) << c.version;
    EXPECT_EQ(MediaScene::Get(*v, PR_VOLUME).Int, c.volume) << c.version;
    EXPECT_EQ(MediaScene::Get(*v, PR_ONIDLE).Str, "idle.nsb") << c.version;
    ASSERT_NE(v->Item(), nullptr) << c.version;
    EXPECT_TRUE(v->Item()->IsPlaying()) << c.version;
    EXPECT_NEAR(v->Item()->GetPosition(), c.position, 20) << c.version;
  }
}

TEST(Video, TheSavedMovieComesBackAsItWas) {
  MovieScene m;
  TNovaVideo* v = m.Video("mv", false);
  MediaScene::Set(*v, PR_ZOOMX, TPropValue::OfInt(512));
  MediaScene::Set(*v, PR_REPEAT, TPropValue::OfFlag(true));
  v->SetPlayState(LP_PLAY);
  m.Frames(20);
  TKtMemoryStream saved;
  v->SaveToStream(saved);
  m.scene.FreeObject(v);
  saved.SetPosition(0);
  auto* back = dynamic_cast<TNovaVideo*>(m.scene.CreateObject(LT_VIDEO));
  back->LoadFromStream(saved, 138);
  EXPECT_FALSE(back->Overlay());
  EXPECT_EQ(back->Width(), 128);
  EXPECT_TRUE(MediaScene::Get(*back, PR_REPEAT).Flag);
  ASSERT_NE(back->Item(), nullptr);
  EXPECT_TRUE(back->Item()->IsPlaying());
  EXPECT_LT(back->Item()->GetPosition(), 20);  // rewound on load (the default)
}

}  // namespace
}  // namespace nova::test
