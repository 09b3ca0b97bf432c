// Message boxes and captions whose font height (from a script or a damaged save) would need a
// text surface beyond the limits: they draw nothing, say so on stderr, and the game goes on.
#include <gtest/gtest.h>

#include <climits>

#include "components/text/mes_fixtures.h"
#include "components/text/nova_label.h"
#include "text/text_limits.h"

namespace nova::test {
namespace {

bool Painted(TDIBX& back) {
  for (int y = 0; y < back.GetHeight(); ++y)
    for (int x = 0; x < back.GetWidth(); ++x)
      if (back.GetPixel(x, y) != 0) return true;
  return false;
}

// One frame over the whole screen, with what it wrote to stderr.
std::string PaintedFrame(MesFixture& f) {
  f.back.Fill(0);
  f.scene.Displayed().AddDirtyRect(TRect{0, 0, 320, 240});
  testing::internal::CaptureStderr();
  f.Frame();
  return testing::internal::GetCapturedStderr();
}

std::string SaveScene(MesFixture& f) {
  TKtMemoryStream s;
  f.scene.SaveScene(s);
  return s.Data();
}

TEST(TextSurfaceLimits, MessageBoxWithHugeCharactersShowsNothingAndTypesOn) {
  struct Case {
    int32_t fontHeight;
    bool drawn;
  };
  for (const Case c : {Case{16, true}, Case{100000, false}, Case{INT32_MAX / 2, false}}) {
    MesFixture f;
    TNovaMes* box = f.Box("mes", 0, 0, 300, 200);
    MesFixture::Set(*box, PR_FONTCOLOR, 0xFFFFFF);
    MesFixture::Set(*box, PR_FONTHEIGHT, c.fontHeight);
    f.store.TextDelay = 0;
    MesFixture::SetStr(*box, PR_TEXT, "あい");
    const std::string err = PaintedFrame(f);
    // Characters taller than the box have a page each.
    EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), c.drawn ? "あい" : "あ") << c.fontHeight << ": typing goes on";
    EXPECT_EQ(Painted(f.back), c.drawn) << c.fontHeight;
    if (c.drawn) {
      EXPECT_EQ(err, "") << c.fontHeight;
      continue;
    }
    EXPECT_EQ(box->Word().PageColor.GetWidth(), 1) << c.fontHeight;
    EXPECT_NE(err.find("novaplayer: mes: text surface "), std::string::npos) << err;
    EXPECT_EQ(PaintedFrame(f), "") << "reported when the page is rendered, not every frame";

    // A saved game holding the font height loads and draws nothing either.
    const std::string saved = SaveScene(f);
    MesFixture g;
    TKtMemoryStream s(saved);
    testing::internal::CaptureStderr();
    g.scene.LoadScene(s, 138);
    const std::string loadErr = testing::internal::GetCapturedStderr();
    EXPECT_NE(loadErr.find("mes: text surface"), std::string::npos) << loadErr;
    PaintedFrame(g);
    EXPECT_FALSE(Painted(g.back)) << c.fontHeight;
  }
}

TEST(TextSurfaceLimits, CaptionSizesSaturateAndHugeOnesDrawNothing) {
  struct Case {
    int32_t fontHeight, zoom;
    int32_t height;  // PR_HEIGHT: the natural height zoomed, held to -2^30 .. 2^30
    bool drawn;
    bool reported;  // a caption of negative size is not even painted, so not reported
  };
  const Case cases[] = {
      {16, 256, 16, true, false},
      {16, 512, 32, true, false},
      {100000, 256, 100000, false, true},
      {-2147483647, 256, -(1 << 30), false, false},  // the zoom's product overflowed before
      {1 << 29, 256, 1 << 29, false, true},
      {1 << 30, 1024, 1 << 30, false, true},
      {-2147483647, 1024, -(1 << 30), false, false},
  };
  for (const Case& c : cases) {
    MesFixture f;
    auto* label = f.scene.Make<TNovaLabel>(f.services);
    label->SetName("cap");
    label->SetParent(&f.scene.Displayed());
    for (auto [id, v] : {std::pair{PR_FONTHEIGHT, c.fontHeight}, {PR_ZOOMX, 256}, {PR_ZOOMY, c.zoom}, {PR_ALPHA, 255}})
      MesFixture::Set(*label, id, v);
    MesFixture::Set(*label, PR_FONTCOLOR, 0xFFFFFF);
    MesFixture::SetStr(*label, PR_TEXT, "AB");
    EXPECT_EQ(MesFixture::Int(*label, PR_HEIGHT), c.height) << c.fontHeight << " x " << c.zoom;
    const std::string err = PaintedFrame(f);
    EXPECT_EQ(Painted(f.back), c.drawn) << c.fontHeight << " x " << c.zoom;
    if (!c.reported) {
      EXPECT_EQ(err, "") << c.fontHeight << " x " << c.zoom;
    } else {
      EXPECT_EQ(err, "novaplayer: " +
                         TextSurfaceRefusal("cap", label->NaturalWidth(), label->NaturalHeight()) + "\n");
    }
  }
}

}  // namespace
}  // namespace nova::test
