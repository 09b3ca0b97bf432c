// Drawing images: the blend values, zoom and explicit sizes, flips, rotation, masks and
// brightness, checked against the pixel arithmetic of the surfaces; hit testing through the
// rotation and the capture mask; and that every change repaints what it must.
#include <gtest/gtest.h>

#include <functional>

#include "components/component_fixtures.h"
#include "components/images/nova_images.h"

namespace nova::test {
namespace {

using Images = TNovaImages;

// Channel-wise arithmetic on 0x00RRGGBB pixels.
uint32_t PerChannel(uint32_t d, uint32_t s, const std::function<uint32_t(uint32_t, uint32_t)>& op) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) out |= (op((d >> shift) & 0xFF, (s >> shift) & 0xFF) & 0xFF) << shift;
  return out;
}

struct PaintScene : ComponentScene {
  Images* Image(const std::string& name, const std::string& file, int32_t x, int32_t y,
                std::vector<std::pair<int, TPropValue>> props = {}) {
    props.insert(props.begin(), {{PR_SOURCE, Str(file)}, {PR_LEFT, Int(x)}, {PR_TOP, Int(y)}});
    return Create<Images>(LT_IMAGES, name, props);
  }
  // The incrementally painted picture equals a full repaint: nothing stale, nothing missing.
  void ExpectNoStalePixels(const char* what) {
    Frame();
    TDIBX incremental;
    incremental.SetSize(64, 48, 32);
    incremental.Assign(&back);
    back.Fill(0x123456);
    scene.Displayed().AddDirtyRect(TRect{0, 0, 64, 48});
    scene.PaintScene();
    scene.ClearDirty();
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x)
        if (incremental.GetPixel(x, y) != back.GetPixel(x, y)) {
          ADD_FAILURE() << what << ": stale pixel at " << x << "," << y;
          return;
        }
  }
};

BriFrame Quad(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  BriFrame f;
  f.Width = f.Height = 2;
  f.Color = [=](int x, int y) { return y == 0 ? (x == 0 ? a : b) : (x == 0 ? c : d); };
  return f;
}

constexpr uint32_t kA = 0x112233, kB = 0x445566, kC = 0x778899, kD = 0xAABBCC;

TEST(ImagePaint, BlendValuesFollowTheSurfaceArithmetic) {
  PaintScene f;
  f.scene.Displayed().SetColor(0x808080);
  f.AddFile("p.bri", BriBytes({Solid(4, 3, 0x2040FF)}));
  Images* img = f.Image("i", "p.bri", 10, 5);
  EXPECT_EQ(img->Width(), 4);
  EXPECT_EQ(img->Height(), 3);
  struct Case {
    int32_t alpha;
    uint32_t expected;
  };
  const Case cases[] = {
      {255, 0x2040FF},
      {128, PerChannel(0x808080, 0x2040FF, [](uint32_t d, uint32_t s) { return (d * 127 + s * 128) >> 8; })},
      // 300 adds with factor 44, saturating.
      {300, PerChannel(0x808080, 0x2040FF, [](uint32_t d, uint32_t s) { return std::min(255u, d + ((44 * s) >> 8)); })},
      {0, 0x808080},
      {600, PerChannel(0x808080, 0x2040FF, [](uint32_t d, uint32_t s) { return std::min(255u, d + ((255 * s) >> 8)); })},
  };
  for (const Case& c : cases) {
    WriteProperty(*img, PR_ALPHA, Int(c.alpha));
    f.Frame();
    EXPECT_EQ(f.Px(11, 6), c.expected) << "alpha " << c.alpha;
    EXPECT_EQ(f.Px(14, 6), 0x808080u) << "alpha " << c.alpha;
  }
}

TEST(ImagePaint, ZoomExplicitSizeAndFlips) {
  PaintScene f;
  f.AddFile("q.bri", BriBytes({Quad(kA, kB, kC, kD)}));
  Images* img = f.Image("i", "q.bri", 0, 0, {{PR_ZOOMX, Int(512)}, {PR_ZOOMY, Int(384)}});
  f.Frame();
  EXPECT_EQ(img->Width(), 4);
  EXPECT_EQ(img->Height(), 3);
  // Nearest-neighbour stretch: columns 0-1 from source column 0, 2-3 from column 1.
  EXPECT_EQ(f.Px(1, 0), kA);
  EXPECT_EQ(f.Px(2, 0), kB);
  EXPECT_EQ(f.Px(3, 2), kD);

  WriteProperty(*img, PR_WIDTH, Int(6));
  EXPECT_EQ(ReadProperty(*img, PR_ZOOMX).Int, 0);
  f.Frame();
  EXPECT_EQ(img->Width(), 6);
  // The source step is 2 / 6 in 16.16, truncated: column 3 still reads source column 0.
  EXPECT_EQ(f.Px(3, 0), kA);
  EXPECT_EQ(f.Px(4, 0), kB);
  EXPECT_EQ(f.Px(6, 0), 0u);
  WriteProperty(*img, PR_ZOOMX, Int(-5));  // zooms below 1 store 1
  EXPECT_EQ(ReadProperty(*img, PR_ZOOMX).Int, 1);
  WriteProperty(*img, PR_ZOOMX, Int(256));
  WriteProperty(*img, PR_ZOOMY, Int(256));
  EXPECT_EQ(img->Width(), 2);

  // A flip mirrors the anchor too: the picture now ends at left.
  WriteProperty(*img, PR_LEFT, Int(1));
  WriteProperty(*img, PR_TOP, Int(1));
  WriteProperty(*img, PR_FLIPH, Flag(true));
  f.Frame();
  EXPECT_EQ(img->ScreenLeft(), 0);
  EXPECT_EQ(f.Px(0, 1), kB);
  EXPECT_EQ(f.Px(1, 2), kC);
  WriteProperty(*img, PR_FLIPV, Flag(true));
  f.Frame();
  EXPECT_EQ(f.Px(0, 0), kD);
}

TEST(ImagePaint, RotationDrawsAboutTheAnchorWithTheLowEightBitsOfTheAngle) {
  PaintScene f;
  BriFrame bar;
  bar.Width = 6, bar.Height = 2;
  bar.Color = [](int x, int y) { return 0x100000u * (x + 1) + 0x10u * (y + 1); };
  f.AddFile("bar.bri", BriBytes({bar}));
  Images* img = f.Image("i", "bar.bri", 30, 20, {{PR_OFFSETX, Int(1)}, {PR_OFFSETY, Int(1)}});
  f.Frame();
  TDIBX plain;
  plain.SetSize(64, 48, 32);
  plain.Assign(&f.back);
  WriteProperty(*img, PR_ANGLE, Int(256));  // a whole turn: unrotated
  f.Frame();
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(f.Px(x, y), plain.GetPixel(x, y));

  // A quarter turn: the rotated draw at the anchor (30, 20) about source point (1, 1).
  WriteProperty(*img, PR_ANGLE, Int(64 + 256));
  f.Frame();
  TDIBX expected;
  expected.SetSize(64, 48, 32);
  expected.Fill(0);
  TBrioItem* item = f.cache.Image(0);
  expected.DrawRotate(30, 20, 255, false, false, false, 64, 1, 1, TRect{0, 0, 6, 2}, &item->Frames[0]->Surface, 256,
                      256);
  int inked = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      ASSERT_EQ(f.Px(x, y), expected.GetPixel(x, y)) << x << "," << y;
      inked += expected.GetPixel(x, y) != 0;
    }
  EXPECT_EQ(inked, 12);
  // The bar now stands upright: hit inside the turned picture, not where it lay before.
  const TRect hit = img->HitRect();
  EXPECT_EQ(hit.Width(), 3);  // the rotated box (one pixel wider, as the draw visits it)
  EXPECT_EQ(hit.Height(), 7);
  EXPECT_EQ(f.scene.Displayed().HitTest(TPoint{31, 23}, kGeneralModes), img);
  EXPECT_EQ(f.scene.Displayed().HitTest(TPoint{29, 23}, kGeneralModes), &f.scene.Displayed());
  EXPECT_EQ(f.scene.Displayed().HitTest(TPoint{33, 20}, kGeneralModes), &f.scene.Displayed());
}

TEST(ImagePaint, MasksBlendAndNarrowTheHitTest) {
  PaintScene f;
  f.scene.Displayed().SetColor(0x0000FF);  // red, as a pixel 0xFF0000
  BriFrame half = Solid(4, 4, 0xFFFFFF);
  half.Mask = [](int x, int) { return static_cast<uint8_t>(x < 2 ? 255 : (x == 2 ? 100 : 0)); };
  f.AddFile("m.bri", BriBytes({half}));
  Images* img = f.Image("i", "m.bri", 0, 0);
  f.Frame();
  EXPECT_EQ(f.Px(0, 0), 0xFFFFFFu);
  EXPECT_EQ(f.Px(2, 0), PerChannel(0xFF0000, 0xFFFFFF, [](uint32_t d, uint32_t s) { return (d * 155 + s * 100) >> 8; }));
  EXPECT_EQ(f.Px(3, 0), 0xFF0000u);
  // Alpha and mask combine: b = (a x m) >> 8.
  WriteProperty(*img, PR_ALPHA, Int(128));
  f.Frame();
  EXPECT_EQ(f.Px(2, 0), PerChannel(0xFF0000, 0xFFFFFF, [](uint32_t d, uint32_t s) {
              const uint32_t b = (128 * 100) >> 8;
              return (d * (255 - b) + s * b) >> 8;
            }));

  TNovaBase& screen = f.scene.Displayed();
  EXPECT_EQ(screen.HitTest(TPoint{3, 1}, kGeneralModes), img);
  WriteProperty(*img, PR_CAPTUREMASK, Flag(true));
  EXPECT_EQ(screen.HitTest(TPoint{3, 1}, kGeneralModes), &screen);  // transparent: falls through
  EXPECT_EQ(screen.HitTest(TPoint{2, 1}, kGeneralModes), &screen);  // 100 is not above 127
  EXPECT_EQ(screen.HitTest(TPoint{1, 1}, kGeneralModes), img);
  // Zoomed and flipped, the mask is read through the zoom and mirrored: relative x r reads
  // mask column 3 - r / 2.
  WriteProperty(*img, PR_LEFT, Int(10));
  WriteProperty(*img, PR_ZOOMX, Int(512));
  WriteProperty(*img, PR_FLIPH, Flag(true));
  const int32_t sx = img->ScreenLeft();
  EXPECT_EQ(sx, 3);
  EXPECT_EQ(screen.HitTest(TPoint{sx + 7, 1}, kGeneralModes), img);      // column 0
  EXPECT_EQ(screen.HitTest(TPoint{sx + 4, 1}, kGeneralModes), img);      // column 1
  EXPECT_EQ(screen.HitTest(TPoint{sx + 3, 1}, kGeneralModes), &screen);  // column 2
  // Blend value 0 draws nothing but still takes the mouse.
  WriteProperty(*img, PR_ALPHA, Int(0));
  EXPECT_EQ(screen.HitTest(TPoint{sx + 7, 1}, kGeneralModes), img);
}

TEST(ImagePaint, BrightnessAddsOrSubtractsOnAPrivateCopy) {
  PaintScene f;
  f.AddFile("p.bri", BriBytes({Solid(4, 4, 0x2040F0)}));
  Images* img = f.Image("i", "p.bri", 0, 0, {{PR_BRIGHTNESS, Int(0x20)}});
  f.Frame();
  EXPECT_EQ(f.Px(1, 1), 0x4060FFu);  // saturated in blue
  WriteProperty(*img, PR_BRIGHTNESS, Int(-0x30));
  f.Frame();
  EXPECT_EQ(f.Px(1, 1), 0x0010C0u);
  // The shared picture is untouched.
  EXPECT_EQ(f.cache.Image(0)->Frames[0]->Surface.GetPixel(1, 1), 0x2040F0u);
}

TEST(ImagePaint, BrightnessMovesTheColourKeyAlong) {
  TDIBX source, copy;
  source.SetSize(2, 1, 32);
  source.SetPixel(0, 0, 0x102030);
  source.SetPixel(1, 0, 0xF0F0F0);
  source.Transparent = 0x102030;
  ApplyBrightness(source, copy, 0x10);
  EXPECT_EQ(copy.GetPixel(0, 0), 0x203040u);
  EXPECT_EQ(copy.Transparent, 0x203040);
  EXPECT_EQ(copy.GetPixel(1, 0), 0xFFFFFFu);
  ApplyBrightness(source, copy, -0x20);
  EXPECT_EQ(copy.Transparent, 0x000010);
}

TEST(ImagePaint, MissingDamagedAndForeignSources) {
  PaintScene f;
  f.scene.Displayed().SetColor(0x00FF00);
  Images* missing = f.Image("m", "gone.bri", 0, 0);
  f.Frame();
  EXPECT_EQ(missing->Width(), 8);  // an 8 x 8 frame keyed on its only colour: invisible
  EXPECT_EQ(f.Px(2, 2), 0x00FF00u);

  const std::string good = BriBytes({Solid(4, 4, 0xFFFFFF)});
  f.AddFile("bad.bri", good.substr(0, good.size() - 40));
  Images* damaged = f.Create<Images>(LT_IMAGES, "d");
  try {
    WriteProperty(*damaged, PR_SOURCE, Str("bad.bri"));
    FAIL() << "no error";
  } catch (const ENovaError& e) {
    EXPECT_NE(std::string(e.what()).find("bad.bri"), std::string::npos);
  }
  EXPECT_EQ(ReadProperty(*damaged, PR_SOURCE).Str, "bad.bri");
  EXPECT_EQ(ReadProperty(*damaged, PR_COUNT).Int, 0);
  EXPECT_EQ(damaged->Width(), 0);
  f.Frame();  // draws nothing, fails nothing

  f.AddFile("pic.png", "not read");
  Images* other = f.Image("o", "pic.png", 0, 0);
  EXPECT_EQ(ReadProperty(*other, PR_COUNT).Int, 0);
  EXPECT_EQ(other->Width(), 0);
}

TEST(ImagePaint, EveryVisibleChangeIsRepainted) {
  PaintScene f;
  f.scene.Displayed().SetColor(0x202020);
  f.AddFile("a.bri", BriBytes({Solid(6, 6, 0xFF0000, 50), Solid(6, 6, 0x00FF00, 50)}));
  f.AddFile("b.bri", BriBytes({Quad(kA, kB, kC, kD)}));
  f.AddFile("c.bri", BriBytes({Solid(6, 6, 0x0000FF)}));
  Images* img = f.Image("i", "a.bri", 10, 10, {{PR_PAUSED, Flag(true)}});
  Images* child = f.Image("c", "b.bri", 2, 2);
  child->SetParent(img);
  f.ExpectNoStalePixels("start");
  struct Step {
    const char* what;
    std::function<void()> change;
  };
  const Step steps[] = {
      {"index", [&] { WriteProperty(*img, PR_INDEX, Int(1)); }},
      {"source of the same size", [&] { WriteProperty(*img, PR_SOURCE, Str("c.bri")); }},
      {"alpha", [&] { WriteProperty(*img, PR_ALPHA, Int(100)); }},
      {"brightness", [&] { WriteProperty(*img, PR_BRIGHTNESS, Int(40)); }},
      {"zoom", [&] { WriteProperty(*img, PR_ZOOMX, Int(700)); }},
      {"zoom back", [&] { WriteProperty(*img, PR_ZOOMX, Int(256)); }},
      {"angle", [&] { WriteProperty(*img, PR_ANGLE, Int(30)); }},
      {"offset while turned", [&] { WriteProperty(*img, PR_OFFSETX, Int(3)); }},
      {"angle back", [&] { WriteProperty(*img, PR_ANGLE, Int(0)); }},
      {"flip", [&] { WriteProperty(*child, PR_FLIPH, Flag(true)); }},
      {"explicit height", [&] { WriteProperty(*img, PR_HEIGHT, Int(3)); }},
      {"move", [&] { WriteProperty(*img, PR_LEFT, Int(40)); }},
      {"hide", [&] { WriteProperty(*img, PR_VISIBLE, Flag(false)); }},
      {"show", [&] { WriteProperty(*img, PR_VISIBLE, Flag(true)); }},
      {"empty source", [&] { WriteProperty(*img, PR_SOURCE, Str("")); }},
  };
  for (const Step& s : steps) {
    s.change();
    f.ExpectNoStalePixels(s.what);
  }
}

TEST(ImagePaint, AnImageWithAPictureOfItsOwn) {
  PaintScene f;
  auto* snap = f.scene.Make<TNovaImage>();
  snap->SetNameDirect(std::string("\x01\x01"));
  snap->SetParent(&f.scene.Displayed());
  snap->Picture().SetSize(5, 4, 32);
  snap->Picture().Fill(0x00ABCD);
  snap->PictureChanged();
  f.ExpectNoStalePixels("snapshot");
  EXPECT_EQ(snap->Width(), 5);
  EXPECT_EQ(f.Px(4, 3), 0x00ABCDu);
  EXPECT_EQ(f.Px(5, 3), 0u);
}

TEST(ImagePaint, PositionZoomedChildrenOfAStretchedParentMeetExactly) {
  PaintScene f;
  f.AddFile("bg.bri", BriBytes({Solid(10, 4, 0x101010)}));
  f.AddFile("piece.bri", BriBytes({Solid(3, 4, 0xFFFFFF)}));
  Images* parent = f.Image("p", "bg.bri", 0, 0, {{PR_ZOOMX, Int(333)}});
  std::vector<Images*> pieces;
  for (int i = 0; i < 3; ++i) {
    Images* piece = f.Image("c" + std::to_string(i), "piece.bri", 3 * i, 0,
                            {{PR_POSZOOMED, Flag(true)}, {PR_ZOOMX, Int(333)}});
    piece->SetParent(parent);
    pieces.push_back(piece);
  }
  f.Frame();
  EXPECT_EQ(parent->Width(), 13);
  // Each piece ends where the next begins, in the 16.16 ratio 13 / 10 rounded half up.
  const int64_t ratio = (int64_t{13} << 16) / 10;
  for (int i = 0; i < 3; ++i) {
    const int32_t left = static_cast<int32_t>((3 * i * ratio + 0x8000) >> 16);
    const int32_t right = static_cast<int32_t>((3 * (i + 1) * ratio + 0x8000) >> 16);
    EXPECT_EQ(pieces[static_cast<size_t>(i)]->ScreenLeft(), left) << i;
    EXPECT_EQ(pieces[static_cast<size_t>(i)]->Width(), right - left) << i;
  }
}

}  // namespace
}  // namespace nova::test
