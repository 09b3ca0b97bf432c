// The fire: its tables, its step over the index image, the 40 ms step rule, the palettes, the
// unscaled and stretched additive draws, the size rules and the saved form.
#include <gtest/gtest.h>

#include <vector>

#include "components/component_fixtures.h"
#include "components/effects/fire_tables.h"
#include "components/effects/nova_fire.h"

namespace nova::test {
namespace {

TEST(FireTables, DecayFollowsTheStrength) {
  struct Case {
    const char* what;
    double x;
    std::vector<std::pair<int, int>> values;  // (sum, decayed)
  };
  const Case cases[] = {
      {"new fire", kNewFireDecay, {{0, 0}, {64, 14}, {302, 67}, {512, 114}, {778, 173}, {1016, 226}, {1023, 227}}},
      {"strength 0", FireDecayOf(0), {{64, 12}, {302, 55}, {512, 93}, {1023, 186}}},
      {"strength 255, capped at 254", FireDecayOf(255), {{64, 22}, {302, 103}, {512, 174}, {778, 254}, {1023, 254}}},
  };
  EXPECT_DOUBLE_EQ(FireDecayOf(0), 5.5);
  for (const Case& c : cases) {
    TFireTables t;
    t.BuildDecay(c.x);
    for (auto [s, d] : c.values) EXPECT_EQ(t.Decay[static_cast<size_t>(s)], d) << c.what << " sum " << s;
  }
}

TEST(FireTables, ResetBuildsTheRandomColumnRowAndMapTables) {
  TFireTables t;
  int calls = 0;
  t.Reset(300, 3, [&](int32_t n) {
    EXPECT_EQ(n, 9);
    return calls++ % 9;
  });
  EXPECT_EQ(calls, 900);
  ASSERT_EQ(t.Random.size(), 900u);
  EXPECT_EQ(t.Random[10], 1);
  ASSERT_EQ(t.Columns.size(), 600u);
  EXPECT_EQ(t.Columns[299], 299 % 256);  // stored as a byte
  EXPECT_EQ(t.Columns[300], 0);
  EXPECT_EQ(t.Columns[599], 299 % 256);
  ASSERT_EQ(t.Rows.size(), 6u);
  EXPECT_EQ(t.Rows[4], 1);
  EXPECT_EQ(t.Map[0], kFireFloor);
  EXPECT_EQ(t.Map[15], kFireFloor);
  EXPECT_EQ(t.Map[16], 16);
  EXPECT_EQ(t.Map[200], 200);
}

// A fresh image of w x h all at the floor value.
std::vector<uint8_t> FreshImage(int w, int h) { return std::vector<uint8_t>(static_cast<size_t>(w * h), kFireFloor); }

TEST(FireStep, FirstStepWithoutRandomness) {
  // Worked by hand with the 4.5 table: the lit bottom rows, then from the top down row 0 sums
  // 16 + 16 + 16 + 254, row 1 254 x 3 + 16 and rows 2 and 3 four times 254; columns 0 and 3
  // keep their value.
  TFireTables t;
  t.BuildDecay(kNewFireDecay);
  t.Reset(4, 6, [](int32_t) { return 0; });
  std::vector<uint8_t> img = FreshImage(4, 6);
  FireStep(img.data(), 4, t);
  const std::vector<uint8_t> want = {16,  67,  67,  16,  16,  173, 173, 16,  254, 226, 226, 254,
                                     254, 226, 226, 254, 254, 254, 254, 254, 254, 254, 254, 254};
  EXPECT_EQ(img, want);
}

TEST(FireStep, CursorsWalkTheRowAndColumnTables) {
  // The row cursor moves every step; the column cursor only when the row cursor is a
  // multiple of 8.
  TFireTables t;
  t.BuildDecay(kNewFireDecay);
  t.Reset(4, 6, [](int32_t) { return 0; });
  std::vector<uint8_t> img = FreshImage(4, 6);
  const int rows[] = {1, 2, 3, 4, 5, 0, 1, 2, 3, 4, 5, 0};
  const int cols[] = {0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 2};
  for (int i = 0; i < 12; ++i) {
    FireStep(img.data(), 4, t);
    EXPECT_EQ(t.RowCursor, rows[i]) << i;
    EXPECT_EQ(t.ColumnCursor, cols[i]) << i;
  }
}

// The step written out pixel by pixel as the fire's rule states it.
void ReferenceStep(std::vector<uint8_t>& p, int w, int h, TFireTables& t) {
  int r = t.Rows[static_cast<size_t>(t.RowCursor + 1)];
  int c = r % 8 == 0 ? t.Columns[static_cast<size_t>(t.ColumnCursor + 1)] : t.Columns[static_cast<size_t>(t.ColumnCursor)];
  t.RowCursor = r, t.ColumnCursor = c;
  auto P = [&](int x, int y) -> uint8_t& { return p[static_cast<size_t>(y * w + x)]; };
  for (int y = h - 4; y < h; ++y)
    for (int x = 0; x < w; ++x) P(x, y) = 254;
  for (int y = 0; y <= h - 3; ++y)
    for (int x = 1; x <= w - 2; ++x) {
      int s = P(x - 1, y + 1) + P(x + 1, y + 1) + P(x, y) + P(x, y + 2);
      int rnd = t.Random[static_cast<size_t>(t.Columns[static_cast<size_t>(c + x)] +
                                             t.Rows[static_cast<size_t>(r + y + 1)] * w)];
      P(x, y) = t.Map[static_cast<size_t>(t.Decay[static_cast<size_t>(s)] - rnd)];
    }
}

TEST(FireStep, MatchesTheRuleWithASeededRandomTable) {
  for (auto [w, h] : {std::pair{7, 9}, {33, 20}, {300, 12}}) {
    uint32_t state = 12345;
    auto random = [&](int32_t n) {
      state = state * 134775813u + 1;
      return static_cast<int32_t>((uint64_t{state} * static_cast<uint32_t>(n)) >> 32);
    };
    TFireTables a, b;
    a.BuildDecay(FireDecayOf(200));
    a.Reset(w, h, random);
    b = a;
    // A pitch wider than the row: the padding must stay untouched.
    const int pitch = w + 3;
    std::vector<uint8_t> img(static_cast<size_t>(pitch * h), 99), ref = FreshImage(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) img[static_cast<size_t>(y * pitch + x)] = kFireFloor;
    for (int step = 0; step < 40; ++step) {
      FireStep(img.data(), pitch, a);
      ReferenceStep(ref, w, h, b);
    }
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x)
        ASSERT_EQ(img[static_cast<size_t>(y * pitch + x)], ref[static_cast<size_t>(y * w + x)]) << w << " " << x << "," << y;
      for (int x = w; x < pitch; ++x) ASSERT_EQ(img[static_cast<size_t>(y * pitch + x)], 99);
    }
  }
}

TEST(FireStep, TinyImagesOnlyLightTheirRows) {
  for (auto [w, h] : {std::pair{1, 1}, {2, 2}, {2, 7}, {7, 2}, {3, 3}}) {
    TFireTables t;
    t.BuildDecay(kNewFireDecay);
    t.Reset(w, h, [](int32_t) { return 8; });
    std::vector<uint8_t> img = FreshImage(w, h);
    FireStep(img.data(), w, t);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint8_t v = img[static_cast<size_t>(y * w + x)];
        if (y >= h - 4) {
          EXPECT_TRUE(v == 254 || (x > 0 && x < w - 1)) << w << "x" << h;
        }
        EXPECT_GE(v, kFireFloor);
      }
  }
  TFireTables empty;
  FireStep(nullptr, 0, empty);  // no image: nothing happens
}

TEST(FirePalette, GradientAndPixelForms) {
  struct Case {
    int index;
    uint32_t rgb32, p565, p555;
  };
  const Case cases[] = {
      {0, 0x000000, 0x0000, 0x0000},
      {16, 0x331301, (51 >> 3) << 11 | (19 >> 2) << 5 | (1 >> 3), (51 >> 3) << 10 | (19 >> 3) << 5 | (1 >> 3)},
      {32, 0x662703, (102 >> 3) << 11 | (39 >> 2) << 5 | (3 >> 3), (102 >> 3) << 10 | (39 >> 3) << 5},
      {67, 0x964004, (150 >> 3) << 11 | (64 >> 2) << 5, (150 >> 3) << 10 | (64 >> 3) << 5},
      {112, 0xD56107, (213 >> 3) << 11 | (97 >> 2) << 5, (213 >> 3) << 10 | (97 >> 3) << 5},
      {192, 0xFFC037, 0xFE06, (31 << 10) | (24 << 5) | 6},
      {255, 0xFFE6AF, 0xFF35, 0x7F95},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FirePalette32()[static_cast<size_t>(c.index)], c.rgb32) << c.index;
    EXPECT_EQ(FirePalette565()[static_cast<size_t>(c.index)], c.p565) << c.index;
    EXPECT_EQ(FirePalette555()[static_cast<size_t>(c.index)], c.p555) << c.index;
  }
  EXPECT_EQ(FirePaletteFor(15), FirePalette555().data());
  EXPECT_EQ(FirePaletteFor(16), FirePalette565().data());
  EXPECT_EQ(FirePaletteFor(32), FirePalette32().data());
  EXPECT_EQ(FirePaletteFor(24), nullptr);
  EXPECT_EQ(FirePaletteFor(8), nullptr);
}

TEST(NovaFire, StrengthSizeAndZoomRules) {
  ComponentScene f;
  auto* fire = f.Create<TNovaFire>(LT_FIRE, "fire");
  ASSERT_NE(fire, nullptr);
  TFireTables expected;
  expected.BuildDecay(kNewFireDecay);
  EXPECT_EQ(fire->Power(), 1);
  WriteProperty(*fire, PR_POWER, TPropValue::OfInt(1));  // the stored value: the 4.5 table stays
  EXPECT_EQ(fire->Tables().Decay, expected.Decay);
  WriteProperty(*fire, PR_POWER, TPropValue::OfInt(0));
  expected.BuildDecay(5.5);
  EXPECT_EQ(fire->Tables().Decay, expected.Decay);
  WriteProperty(*fire, PR_POWER, TPropValue::OfInt(300));
  EXPECT_EQ(ReadProperty(*fire, PR_POWER).Int, 255);
  WriteProperty(*fire, PR_POWER, TPropValue::OfInt(-5));
  EXPECT_EQ(ReadProperty(*fire, PR_POWER).Int, 0);

  struct Case {
    int32_t w, h, zx, zy, width, height;
  };
  const Case cases[] = {
      {40, 30, 256, 256, 40, 30}, {40, 30, 512, 128, 80, 15}, {3, 3, 100, 100, 1, 1},
      {10, 10, 0, -7, 0, 0},  // zooms are at least 1
      {-4, 5, 256, 256, 0, 5}, {2000000000, 2000000000, 2000000000, 256, 1 << 30, 1 << 30},
  };
  for (const Case& c : cases) {
    WriteProperty(*fire, PR_ORIGWIDTH, TPropValue::OfInt(c.w));
    WriteProperty(*fire, PR_ORIGHEIGHT, TPropValue::OfInt(c.h));
    WriteProperty(*fire, PR_ZOOMX, TPropValue::OfInt(c.zx));
    WriteProperty(*fire, PR_ZOOMY, TPropValue::OfInt(c.zy));
    WriteProperty(*fire, PR_WIDTH, TPropValue::OfInt(7));  // ignored
    WriteProperty(*fire, PR_HEIGHT, TPropValue::OfInt(7));
    EXPECT_EQ(ReadProperty(*fire, PR_WIDTH).Int, c.width) << c.w << " " << c.zx;
    EXPECT_EQ(ReadProperty(*fire, PR_HEIGHT).Int, c.height) << c.h << " " << c.zy;
    EXPECT_EQ(ReadProperty(*fire, PR_ZOOMX).Int, std::max(c.zx, 1));
  }
  // The huge image is refused: no image, no steps, nothing drawn, no failure.
  f.Frame(50);
  EXPECT_FALSE(fire->Running());
  EXPECT_LE(fire->Image().GetWidth(), 8);
}

TEST(NovaFire, StepsAtMostEvery40MsAndOncePerFrame) {
  ComponentScene f;
  auto* fire = f.Create<TNovaFire>(LT_FIRE, "fire", {{PR_ORIGWIDTH, TPropValue::OfInt(8)},
                                                     {PR_ORIGHEIGHT, TPropValue::OfInt(40)}});
  // The row cursor moves by one per step (the image is 40 rows tall).
  f.Frame(0);
  ASSERT_TRUE(fire->Running());
  EXPECT_EQ(fire->Tables().RowCursor, 0);
  // Pixels of a new fire are all 16 until the first step.
  for (int y = 0; y < 40; ++y) ASSERT_EQ(fire->Image().GetPixel(3, y), kFireFloor);
  std::vector<int> steps;
  for (int i = 0; i < 10; ++i) {
    f.Frame(16);
    steps.push_back(fire->Tables().RowCursor);
  }
  EXPECT_EQ(steps, (std::vector<int>{0, 0, 1, 1, 2, 2, 2, 3, 3, 4}));
  EXPECT_EQ(fire->Image().GetPixel(3, 39), kFireHot);
  f.Frame(100);  // one step, not two
  EXPECT_EQ(fire->Tables().RowCursor, 5);
  WriteProperty(*fire, PR_ANIPAUSED, TPropValue::OfFlag(true));
  EXPECT_FALSE(ReadProperty(*fire, PR_PLAYING).Flag);
  f.Frame(100);
  EXPECT_EQ(fire->Tables().RowCursor, 5);
  WriteProperty(*fire, PR_ANIPAUSED, TPropValue::OfFlag(false));
  WriteProperty(*fire, PR_PAUSED, TPropValue::OfFlag(true));
  f.Frame(100);
  EXPECT_EQ(fire->Tables().RowCursor, 5);
  WriteProperty(*fire, PR_PAUSED, TPropValue::OfFlag(false));
  EXPECT_TRUE(ReadProperty(*fire, PR_PLAYING).Flag);
  // A new image size starts again from a fresh image.
  WriteProperty(*fire, PR_ORIGHEIGHT, TPropValue::OfInt(20));
  EXPECT_FALSE(fire->Running());
  f.Frame(0);
  EXPECT_EQ(fire->Image().GetHeight(), 20);
  EXPECT_EQ(fire->Tables().RowCursor, 0);
}

TEST(NovaFire, BurnsTheSameFromTheSameSeed) {
  // The random table comes from the effects' generator, so a seeded run repeats exactly.
  auto burn = [](uint32_t seed) {
    ComponentScene f;
    uint32_t state = seed;
    f.services.NextRandomState = [state]() mutable { return state = state * 134775813u + 1; };
    auto* fire = f.Create<TNovaFire>(LT_FIRE, "fire", {{PR_ORIGWIDTH, TPropValue::OfInt(16)},
                                                       {PR_ORIGHEIGHT, TPropValue::OfInt(16)}});
    for (int i = 0; i < 12; ++i) f.Frame(40);
    std::vector<uint32_t> pixels;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) pixels.push_back(fire->Image().GetPixel(x, y));
    return pixels;
  };
  EXPECT_EQ(burn(7), burn(7));
  EXPECT_NE(burn(7), burn(8));
}

// A fire of 4 x 6 at (10, 5) whose image holds known indices, painted onto black.
struct PaintedFire {
  explicit PaintedFire(int32_t zoomX, int32_t zoomY) {
    fire = f.Create<TNovaFire>(LT_FIRE, "fire", {{PR_LEFT, TPropValue::OfInt(10)}, {PR_TOP, TPropValue::OfInt(5)},
                                                 {PR_ORIGWIDTH, TPropValue::OfInt(4)},
                                                 {PR_ORIGHEIGHT, TPropValue::OfInt(6)},
                                                 {PR_ZOOMX, TPropValue::OfInt(zoomX)},
                                                 {PR_ZOOMY, TPropValue::OfInt(zoomY)}});
    f.scene.Displayed().SetColor(0);
    f.scene.UpdateScene(0);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 4; ++x) fire->Image().SetPixel(x, y, static_cast<uint32_t>(x == 0 ? 16 : 17 + 40 * y + x));
    fire->Invalidate();
    f.scene.PaintScene();
  }
  uint32_t Expected(int index) const {
    // Added with factor 255: each channel d + (255 x s) >> 8 over black.
    const uint32_t s = FirePalette32()[static_cast<size_t>(index)];
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) out |= ((((s >> shift) & 0xFF) * 255) >> 8) << shift;
    return out;
  }
  ComponentScene f;
  TNovaFire* fire = nullptr;
};

TEST(NovaFire, DrawsUnscaledAtZoom256) {
  PaintedFire p(256, 256);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 4; ++x) {
      const uint32_t want = x == 0 ? 0 : p.Expected(17 + 40 * y + x);
      EXPECT_EQ(p.f.back.GetPixel(10 + x, 5 + y), want) << x << "," << y;
    }
  EXPECT_EQ(p.f.back.GetPixel(14, 5), 0u);
  EXPECT_EQ(p.f.back.GetPixel(10, 11), 0u);
}

TEST(NovaFire, DrawsStretchedAtOtherZooms) {
  PaintedFire p(512, 1024);  // 8 x 24 on the screen
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 8; ++x) {
      const int sx = x / 2, sy = y / 4;
      const uint32_t want = sx == 0 ? 0 : p.Expected(17 + 40 * sy + sx);
      EXPECT_EQ(p.f.back.GetPixel(10 + x, 5 + y), want) << x << "," << y;
    }
  EXPECT_EQ(p.f.back.GetPixel(18, 5), 0u);
  EXPECT_EQ(p.f.back.GetPixel(10, 29), 0u);
}

// A control record of the older form (version 103).
void WriteOldControl(TStream& s, const std::string& name) {
  s.WriteString(name);
  s.WriteInt32(0);  // priority
  for (int32_t v : {4, 5, 0, 0, 0, 0}) s.WriteInt32(v);
  s.WriteByte(0), s.WriteByte(1);  // position-zoomed, visible
  s.WriteInt32(0);                 // colour
  for (int32_t v : {0, 0, 1, 1}) s.WriteInt32(v);
  s.WriteByte(0);      // ignore-mouse
  s.WriteString("");   // cursor
  for (int i = 0; i < 9; ++i) s.WriteString("");
  s.WriteInt32(0);     // children
}

TEST(NovaFire, SavedAndLoaded) {
  ComponentScene a;
  a.Create<TNovaFire>(LT_FIRE, "fire", {{PR_ORIGWIDTH, TPropValue::OfInt(20)}, {PR_ORIGHEIGHT, TPropValue::OfInt(10)},
                                        {PR_ZOOMX, TPropValue::OfInt(512)}, {PR_ZOOMY, TPropValue::OfInt(128)},
                                        {PR_POWER, TPropValue::OfInt(90)}, {PR_ONIDLE, TPropValue::OfStr("idle")},
                                        {PR_PAUSED, TPropValue::OfFlag(true)}});
  a.Frame(50);
  TKtMemoryStream s;
  a.scene.SaveScene(s);
  s.SetPosition(0);
  ComponentScene b;
  b.scene.LoadScene(s, 138);
  auto* back = dynamic_cast<TNovaFire*>(b.scene.FindObject("fire"));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(ReadProperty(*back, PR_POWER).Int, 90);
  EXPECT_EQ(ReadProperty(*back, PR_ORIGWIDTH).Int, 20);
  EXPECT_EQ(ReadProperty(*back, PR_ORIGHEIGHT).Int, 10);
  EXPECT_EQ(ReadProperty(*back, PR_ZOOMX).Int, 512);
  EXPECT_EQ(ReadProperty(*back, PR_ZOOMY).Int, 128);
  EXPECT_EQ(ReadProperty(*back, PR_WIDTH).Int, 40);
  EXPECT_EQ(ReadProperty(*back, PR_HEIGHT).Int, 5);
  EXPECT_EQ(ReadProperty(*back, PR_ONIDLE).Str, "idle");
  EXPECT_TRUE(ReadProperty(*back, PR_PAUSED).Flag);
  EXPECT_FALSE(back->Running());  // the image is rebuilt at the next update
  TFireTables want;
  want.BuildDecay(FireDecayOf(90));
  EXPECT_EQ(back->Tables().Decay, want.Decay);
  WriteProperty(*back, PR_PAUSED, TPropValue::OfFlag(false));
  b.Frame(40);
  EXPECT_TRUE(back->Running());
  EXPECT_EQ(back->Image().GetWidth(), 20);

  // The older record: no idle page, paused flag or own vertical zoom.
  TKtMemoryStream old;
  WriteOldControl(old, "f");
  for (int32_t v : {1, 12, 6, 768}) old.WriteInt32(v);
  old.WriteInt32(0x7A7A7A7A);
  old.SetPosition(0);
  TNovaObject* o = b.scene.CreateObject(LT_FIRE);
  o->LoadFromStream(old, 103);
  EXPECT_EQ(old.ReadInt32(), 0x7A7A7A7A);
  TFireTables created;
  created.BuildDecay(kNewFireDecay);  // strength 1 as a new fire has: the 4.5 table stays
  EXPECT_EQ(static_cast<TNovaFire*>(o)->Tables().Decay, created.Decay);
  EXPECT_EQ(ReadProperty(*o, PR_WIDTH).Int, 36);
  EXPECT_EQ(ReadProperty(*o, PR_ZOOMY).Int, 256);
  EXPECT_EQ(ReadProperty(*o, PR_HEIGHT).Int, 6);
}

}  // namespace
}  // namespace nova::test
