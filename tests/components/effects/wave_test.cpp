// The wave: its row offsets and phase steps, descendants drawn through the proxy with their
// rows shifted, the widened invalidation, the geometry and the saved form.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "components/component_fixtures.h"
#include "components/effects/nova_wave.h"
#include "objects/screen.h"

namespace nova::test {
namespace {

TNovaWave* MakeWave(ComponentScene& f, int32_t left, int32_t top, int32_t width, int32_t height,
                    int32_t amplitude = 10) {
  return f.Create<TNovaWave>(LT_WAVE, "wave", {{PR_LEFT, TPropValue::OfInt(left)}, {PR_TOP, TPropValue::OfInt(top)},
                                               {PR_WIDTH, TPropValue::OfInt(width)},
                                               {PR_HEIGHT, TPropValue::OfInt(height)},
                                               {PR_AMP, TPropValue::OfInt(amplitude)}});
}

TEST(NovaWave, NewWaveDefaultsAndRowOffsets) {
  ComponentScene f;
  auto* wave = MakeWave(f, 0, 0, 64, 200);
  EXPECT_EQ(ReadProperty(*wave, PR_WAVELEN).Int, 200);
  EXPECT_EQ(ReadProperty(*wave, PR_DELAY).Int, 2000);
  EXPECT_EQ(wave->Phase(), 0);
  const auto& offsets = wave->Proxy().Offsets();
  ASSERT_EQ(offsets.size(), 200u);
  // A quarter wavelength per 50 rows: 0, +10, 0, -10.
  EXPECT_EQ(offsets[0], 0);
  EXPECT_EQ(offsets[50], 10);
  EXPECT_EQ(offsets[100], 0);
  EXPECT_EQ(offsets[150], -10);
  EXPECT_EQ(offsets[10], 3);  // 10 x sin(2 pi / 20) = 3.09
  // Wavelength and amplitude reshape the table at once.
  WriteProperty(*wave, PR_WAVELEN, TPropValue::OfInt(40));
  EXPECT_EQ(offsets[10], 10);
  WriteProperty(*wave, PR_WAVELEN, TPropValue::OfInt(0));  // at least 1
  EXPECT_EQ(ReadProperty(*wave, PR_WAVELEN).Int, 1);
  WriteProperty(*wave, PR_DELAY, TPropValue::OfInt(-3));
  EXPECT_EQ(ReadProperty(*wave, PR_DELAY).Int, 1);
  WriteProperty(*wave, PR_AMP, TPropValue::OfInt(-2000000000));  // not clamped
  EXPECT_EQ(ReadProperty(*wave, PR_AMP).Int, -2000000000);
}

TEST(NovaWave, PhaseStepsByTwoAndByThreeWhenTheRemainderCompletesAPeriod) {
  ComponentScene f;
  auto* wave = MakeWave(f, 0, 0, 64, 48);
  // 16 ms x 256 = 4096 = 2 x 2000 + 96: the carried 96s make a third step in frame 21.
  std::vector<int> steps;
  int before = wave->Phase();
  for (int i = 0; i < 25; ++i) {
    f.Frame(16);
    steps.push_back((before - wave->Phase() + 255) % 255);
    before = wave->Phase();
  }
  std::vector<int> want(25, 2);
  want[20] = 3;
  EXPECT_EQ(steps, want);
  EXPECT_EQ(wave->PhaseRemainder(), 16 + 4 * 96);
  // The phase has 255 values: from 0, two steps back is 253.
  ComponentScene g;
  auto* other = MakeWave(g, 0, 0, 64, 48);
  g.Frame(16);
  EXPECT_EQ(other->Phase(), 253);
  // The table follows the phase.
  const double angle = 2 * std::numbers::pi * 253 / 256 + 30 * 2 * std::numbers::pi / 200;
  EXPECT_EQ(other->Proxy().Offsets()[30], static_cast<int32_t>(std::nearbyint(10 * std::sin(angle))));
  // Paused or animation-paused, the phase stays.
  WriteProperty(*other, PR_ANIPAUSED, TPropValue::OfFlag(true));
  g.Frame(500);
  EXPECT_EQ(other->Phase(), 253);
  EXPECT_FALSE(ReadProperty(*other, PR_PLAYING).Flag);
}

// A picture whose column 5 is red on blue, 40 x 48, as the wave's child at (10, 0).
struct WavyPicture {
  explicit WavyPicture(int32_t amplitude) {
    f.AddFile("s.bri", BriBytes({[] {
                BriFrame b;
                b.Width = 40, b.Height = 48;
                b.Color = [](int x, int) { return x == 5 ? 0xFF0000u : 0x0000FFu; };
                return b;
              }()}));
    wave = MakeWave(f, 0, 0, 64, 48, amplitude);
    WriteProperty(*wave, PR_WAVELEN, TPropValue::OfInt(48));
    picture = f.Create<TNovaControl>(LT_IMAGES, "pic", {{PR_SOURCE, TPropValue::OfStr("s.bri")},
                                                        {PR_LEFT, TPropValue::OfInt(10)}}, wave);
    f.scene.PaintScene();
  }
  // The column of the red pixel in a row (-1 when none).
  int RedAt(int y) {
    for (int x = 0; x < 64; ++x)
      if (f.back.GetPixel(x, y) == 0xFF0000u) return x;
    return -1;
  }
  ComponentScene f;
  TNovaWave* wave = nullptr;
  TNovaControl* picture = nullptr;
};

TEST(NovaWave, DescendantsDrawThroughTheProxyRowsShifted) {
  WavyPicture p(4);
  EXPECT_EQ(p.picture->DrawSurface(), &p.wave->Proxy());
  const auto& offsets = p.wave->Proxy().Offsets();
  int shifted = 0;
  for (int y = 0; y < 48; ++y) {
    EXPECT_EQ(p.RedAt(y), 15 + offsets[static_cast<size_t>(y)]) << y;
    shifted += offsets[static_cast<size_t>(y)] != 0;
  }
  EXPECT_GT(shifted, 30);
}

TEST(NovaWave, AmplitudeZeroDrawsStraight) {
  WavyPicture p(0);
  EXPECT_EQ(p.picture->DrawSurface(), p.f.scene.Displayed().DrawSurface());
  for (int y = 0; y < 48; ++y) EXPECT_EQ(p.RedAt(y), 15) << y;
}

TEST(NovaWave, InvalidationOfDescendantsIsWidenedByTheAmplitude) {
  struct Case {
    int32_t amplitude;
    TRect child;  // the child's dirty rectangle as it arrives at the screen
  };
  const Case cases[] = {{6, TRect{14, 12, 30, 20}}, {-6, TRect{14, 12, 30, 20}}, {0, TRect{20, 12, 24, 20}}};
  for (const Case& c : cases) {
    ComponentScene f;
    auto* wave = MakeWave(f, 10, 10, 30, 30, c.amplitude);
    auto* box = f.Create<TNovaControl>(LT_BOX, "b", {{PR_LEFT, TPropValue::OfInt(10)}, {PR_TOP, TPropValue::OfInt(2)},
                                                     {PR_WIDTH, TPropValue::OfInt(4)},
                                                     {PR_HEIGHT, TPropValue::OfInt(8)}}, wave);
    f.Frame(0);
    TClipList& dirty = f.scene.Displayed().DirtyList();
    dirty.Clear();
    box->Invalidate();
    ASSERT_EQ(dirty.Count(), 1) << c.amplitude;
    EXPECT_EQ(dirty[0], c.child) << c.amplitude;
    // The wave's own rectangle is not widened.
    dirty.Clear();
    wave->Invalidate();
    ASSERT_EQ(dirty.Count(), 1);
    EXPECT_EQ(dirty[0], (TRect{10, 10, 40, 40}));
  }
}

TEST(NovaWave, GeometryMovesAndResizesTheProxy) {
  ComponentScene f;
  auto* holder = f.Create<TNovaControl>(LT_BOX, "h", {{PR_LEFT, TPropValue::OfInt(5)}, {PR_TOP, TPropValue::OfInt(7)},
                                                      {PR_WIDTH, TPropValue::OfInt(60)},
                                                      {PR_HEIGHT, TPropValue::OfInt(40)}});
  auto* wave = f.Create<TNovaWave>(LT_WAVE, "w", {{PR_LEFT, TPropValue::OfInt(3)}, {PR_TOP, TPropValue::OfInt(4)},
                                                  {PR_WIDTH, TPropValue::OfInt(20)},
                                                  {PR_HEIGHT, TPropValue::OfInt(30)}}, holder);
  EXPECT_EQ(wave->Proxy().OriginX(), 8);
  EXPECT_EQ(wave->Proxy().RowOrigin(), 11);
  EXPECT_EQ(wave->Proxy().GetWidth(), 20);
  EXPECT_EQ(wave->Proxy().Offsets().size(), 30u);
  WriteProperty(*holder, PR_LEFT, TPropValue::OfInt(0));  // a moved ancestor moves the rows too
  EXPECT_EQ(wave->Proxy().OriginX(), 3);
  WriteProperty(*wave, PR_HEIGHT, TPropValue::OfInt(-5));
  EXPECT_TRUE(wave->Proxy().Offsets().empty());
  WriteProperty(*wave, PR_HEIGHT, TPropValue::OfInt(2000000000));  // the table is capped
  EXPECT_EQ(wave->Proxy().Offsets().size(), static_cast<size_t>(kMaxWaveRows));
  f.Frame(16);
}

TEST(NovaWave, SavedAndLoadedWithItsChildrenDrawnThroughIt) {
  WavyPicture a(4);
  WriteProperty(*a.wave, PR_DELAY, TPropValue::OfInt(900));
  WriteProperty(*a.wave, PR_ONIDLE, TPropValue::OfStr("idle"));
  WriteProperty(*a.wave, PR_PAUSED, TPropValue::OfFlag(true));
  TKtMemoryStream s;
  a.f.scene.SaveScene(s);
  s.SetPosition(0);
  WavyPicture b(0);
  b.f.scene.LoadScene(s, 138);
  auto* wave = dynamic_cast<TNovaWave*>(b.f.scene.FindObject("wave"));
  ASSERT_NE(wave, nullptr);
  EXPECT_EQ(ReadProperty(*wave, PR_AMP).Int, 4);
  EXPECT_EQ(ReadProperty(*wave, PR_WAVELEN).Int, 48);
  EXPECT_EQ(ReadProperty(*wave, PR_DELAY).Int, 900);
  EXPECT_EQ(ReadProperty(*wave, PR_ONIDLE).Str, "idle");
  EXPECT_TRUE(ReadProperty(*wave, PR_PAUSED).Flag);
  EXPECT_EQ(wave->Proxy().Offsets().size(), 48u);
  EXPECT_EQ(wave->Proxy().GetWidth(), 64);
  b.f.scene.PaintScene();
  const auto& offsets = wave->Proxy().Offsets();
  for (int y = 0; y < 48; ++y) EXPECT_EQ(b.RedAt(y), 15 + offsets[static_cast<size_t>(y)]) << y;
}

TEST(NovaWave, OlderAndDamagedRecords) {
  ComponentScene f;
  auto record = [](int32_t wavelength, int32_t period) {
    TKtMemoryStream s;
    s.WriteString("w");
    s.WriteInt32(0);  // priority
    for (int32_t v : {3, 4, 20, 30, 0, 0}) s.WriteInt32(v);
    s.WriteByte(0), s.WriteByte(1);  // position-zoomed, visible
    s.WriteInt32(0);                 // colour
    for (int32_t v : {0, 0, 1, 1}) s.WriteInt32(v);
    s.WriteByte(0);
    s.WriteString("");
    for (int i = 0; i < 9; ++i) s.WriteString("");
    s.WriteInt32(0);  // children
    for (int32_t v : {7, wavelength, period}) s.WriteInt32(v);
    s.WriteInt32(0x7A7A7A7A);
    s.SetPosition(0);
    return s;
  };
  struct Case {
    int32_t wavelength, period, wantWavelength, wantPeriod;
  };
  // A damaged record's zero would divide by zero at every update.
  for (const Case& c : {Case{33, 900, 33, 900}, Case{0, -4, 1, 1}}) {
    TKtMemoryStream s = record(c.wavelength, c.period);
    TNovaObject* o = f.scene.CreateObject(LT_WAVE);
    static_cast<TNovaControl*>(o)->SetParent(&f.scene.Displayed());
    o->LoadFromStream(s, 103);
    EXPECT_EQ(s.ReadInt32(), 0x7A7A7A7A);
    auto* wave = static_cast<TNovaWave*>(o);
    EXPECT_EQ(ReadProperty(*o, PR_AMP).Int, 7);
    EXPECT_EQ(ReadProperty(*o, PR_WAVELEN).Int, c.wantWavelength);
    EXPECT_EQ(ReadProperty(*o, PR_DELAY).Int, c.wantPeriod);
    EXPECT_EQ(wave->Proxy().Offsets().size(), 30u);
    EXPECT_EQ(wave->Proxy().OriginX(), 3);
    EXPECT_EQ(wave->Proxy().RowOrigin(), 4);
    f.Frame(16);
  }
}

}  // namespace
}  // namespace nova::test
