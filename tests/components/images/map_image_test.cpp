// Map images: region shapes from the map file, map-in and map-out as the mouse moves, the
// hover picture inside the hovered region only, choosing a region (@SelStr, @SelIndex,
// PR_ONSELECT), closing with auto-scrap, on a right click and on Escape, keyboard choice.
#include <gtest/gtest.h>

#include <limits>

#include "components/component_fixtures.h"
#include "components/images/nova_map_image.h"
#include "components/images/map_regions.h"
#include "params/system_vars.h"

namespace nova::test {
namespace {

constexpr uint32_t kSourcePx = 0x800000, kHoverPx = 0x00C000;

struct MapEntry {
  std::string name;
  uint8_t shape;
  std::vector<int32_t> numbers;  // four for shapes 0 and 1, else the points
};

std::string MapBytes(const std::vector<MapEntry>& entries) {
  TKtMemoryStream s;
  s.WriteInt32(static_cast<int32_t>(entries.size()));
  for (const MapEntry& e : entries) {
    s.WriteString(e.name);
    s.WriteByte(e.shape);
    if (e.shape > 1) s.WriteInt32(static_cast<int32_t>(e.numbers.size() / 2));
    for (int32_t v : e.numbers) s.WriteInt32(v);
  }
  return s.Data();
}

struct MapScene : ComponentScene {
  MapScene() {
    AddFile("src.bri", BriBytes({Solid(16, 8, kSourcePx)}));
    AddFile("hov.bri", BriBytes({Solid(16, 8, kHoverPx)}));
    // A is the left half, B the right half (inclusive corners).
    AddFile("two.map", MapBytes({{"A", 0, {0, 0, 7, 7}}, {"B", 0, {8, 0, 15, 7}}}));
  }
  TNovaMapImage* Map(std::vector<std::pair<int, TPropValue>> props = {}) {
    props.insert(props.begin(), {{PR_SOURCE, Str("src.bri")},
                                 {PR_HOVERSOURCE, Str("hov.bri")},
                                 {PR_MAPSOURCE, Str("two.map")},
                                 {PR_LEFT, Int(10)},
                                 {PR_TOP, Int(10)},
                                 {PR_ONMAPIN, Str("in")},
                                 {PR_ONMAPOUT, Str("out")},
                                 {PR_ONSELECT, Str("sel")}});
    return Create<TNovaMapImage>(LT_MAPIMG, "m", props);
  }
  std::string SelStr() { return store.ParamItem(SV_SELSTR)->Param->GetAsStr(); }
  int32_t SelIndex() { return store.ParamItem(SV_SELINDEX)->Param->GetAsInt(); }
};

TEST(MapRegions, ShapesCoverTheirPixels) {
  const std::string bytes = MapBytes({{"r", 0, {1, 1, 2, 3}},
                                      {"e", 1, {0, 0, 5, 3}},
                                      {"p", 7, {0, 0, 4, 0, 0, 4}}});
  auto regions = ReadMapRegions(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "x.map");
  ASSERT_EQ(regions.size(), 3u);
  struct Case {
    int region, x, y;
    bool inside;
  };
  const Case cases[] = {
      {0, 1, 1, true},  {0, 2, 3, true},  {0, 3, 3, false}, {0, 2, 4, false},  // right, bottom inclusive
      {1, 0, 0, false}, {1, 3, 2, true},  {1, 0, 2, true},  {1, 5, 0, false},  // ellipse in 0..5 x 0..3
      {2, 0, 0, true},  {2, 1, 1, true},  {2, 2, 2, false}, {2, 0, 2, true},   // triangle
  };
  for (const Case& c : cases) EXPECT_EQ(regions[c.region].Contains(c.x, c.y), c.inside) << c.region << ":" << c.x << "," << c.y;
  EXPECT_EQ(regions[1].Box(), (TRect{0, 0, 6, 4}));
  EXPECT_EQ(regions[2].Box(), (TRect{0, 0, 4, 4}));
  // A file that ends inside an entry names itself.
  try {
    ReadMapRegions(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size() - 3), "x.map");
    FAIL() << "no error";
  } catch (const ENovaError& e) {
    EXPECT_NE(std::string(e.what()).find("x.map"), std::string::npos);
  }
}

std::vector<TMapRegion> Regions(const std::vector<MapEntry>& entries) {
  const std::string bytes = MapBytes(entries);
  return ReadMapRegions(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "x.map");
}

constexpr int32_t kMax = std::numeric_limits<int32_t>::max(), kMin = std::numeric_limits<int32_t>::min();

TEST(MapRegions, ShapesAtTheEndsOfTheCoordinatesAnswerExactly) {
  const auto regions = Regions({{"whole", 0, {kMin, kMin, kMax, kMax}},
                                {"wide ellipse", 1, {-100000, -100000, 100000, 100000}},
                                {"whole ellipse", 1, {kMin, kMin, kMax, kMax}},
                                {"square", 2, {-2000000000, -2000000000, 2000000000, -2000000000, 2000000000,
                                               2000000000, -2000000000, 2000000000}},
                                {"half", 2, {-2000000000, -2000000000, 2000000000, 2000000000, -2000000000,
                                             2000000000}}});
  ASSERT_EQ(regions.size(), 5u);
  // The largest right and bottom edges stay where they are.
  EXPECT_EQ(regions[0].Bounds, (TRect{kMin, kMin, kMax, kMax}));
  struct Case {
    int region;
    int32_t x, y;
    bool inside;
  };
  const Case cases[] = {
      {0, 0, 0, true},         {0, kMin, kMin, true},        {0, kMax - 1, kMax - 1, true},
      {1, 0, 0, true},         {1, 100000, 0, true},         {1, 70711, 70711, true},
      {1, 70712, 70712, false}, {1, -70711, -70711, true},   {1, -70712, -70712, false},
      {1, -100000, -100000, false},
      {2, 0, 0, true},         {2, kMin, 0, true},           {2, kMax - 1, 0, true},
      {2, kMin, kMin, false},
      {3, 0, 0, true},         {3, 1999999999, -2000000000, true}, {3, 2000000000, 0, false},
      {3, -2000000001, 0, false},
      {4, 0, 1, true},         {4, 1, 0, false},             {4, -1999999999, 1999999998, true},
      {4, 1999999998, -1999999999, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(regions[static_cast<size_t>(c.region)].Contains(c.x, c.y), c.inside)
        << regions[static_cast<size_t>(c.region)].Name << ": " << c.x << "," << c.y;
}

TEST(MapRegions, ARowCoversThePixelsThePixelTestFinds) {
  const auto regions = Regions({
      {"triangle", 2, {0, 0, 9, 2, 3, 11}},
      {"star", 2, {6, 0, 9, 11, 0, 4, 12, 4, 3, 11}},  // self-crossing: the middle winds twice
      {"notch", 2, {0, 0, 12, 0, 12, 10, 6, 3, 0, 10}},
      {"backwards", 2, {0, 0, 0, 10, 11, 10, 11, 0}},
      // Edges from far away crossing the rows looked at: y = x + 6 (through pixel centres) and x = 3 + y / 2.
      {"far", 2, {-2000000000, -1999999994, 2000000000, 2000000006, 2000000000, -2000000000}},
      {"steep", 2, {-999999997, -2000000000, 1000000003, 2000000000, -2000000000, 2000000000}},
      {"ellipse", 1, {1, 1, 10, 7}},
      {"rectangle", 0, {2, 3, 5, 8}},
  });
  std::vector<uint8_t> row;
  for (const TMapRegion& r : regions) {
    int covered = 0;
    for (int32_t y = -2; y < 14; ++y) {
      r.RowCoverage(y, -3, 15, row);
      ASSERT_EQ(row.size(), 18u);
      for (int32_t x = -3; x < 15; ++x) {
        EXPECT_EQ(row[static_cast<size_t>(x + 3)] != 0, r.Contains(x, y)) << r.Name << ": " << x << "," << y;
        covered += row[static_cast<size_t>(x + 3)];
      }
    }
    EXPECT_GT(covered, 5) << r.Name;  // every shape covers part of the rows looked at
  }
  regions[0].RowCoverage(3, 5, 5, row);
  EXPECT_TRUE(row.empty());
}

TEST(MapImage, ARegionFarBeyondThePictureHoversOverThePicture) {
  for (const MapEntry& entry : {MapEntry{"r", 0, {kMin, kMin, kMax, kMax}},
                                MapEntry{"e", 1, {-100000, -100000, 100000, 100000}},
                                MapEntry{"p", 2, {-2000000000, -2000000000, 2000000000, -2000000000, 0,
                                                  2000000000}}}) {
    MapScene f;
    f.AddFile("far.map", MapBytes({entry}));
    TNovaMapImage* m = f.Map({{PR_MAPSOURCE, Str("far.map")}});
    f.MoveMouse(12, 12);
    f.Frame();
    EXPECT_EQ(m->HoveredRegion(), 0) << entry.name;
    for (TPoint p : {TPoint{10, 10}, TPoint{25, 17}}) EXPECT_EQ(f.Px(p.X, p.Y), kHoverPx) << entry.name;
    EXPECT_EQ(f.Px(26, 12), 0u) << entry.name;  // beside the picture
  }
}

TEST(MapImage, MovingAcrossRegionsPostsOutThenInAndPaintsTheHoverInsideTheRegion) {
  MapScene f;
  TNovaMapImage* m = f.Map();
  EXPECT_EQ(m->Width(), 16);
  EXPECT_EQ(m->Height(), 8);
  f.Frame();
  EXPECT_EQ(f.Px(12, 12), kSourcePx);
  f.MoveMouse(12, 12);
  f.Frame();
  EXPECT_EQ(m->HoveredRegion(), 0);
  EXPECT_EQ(f.Px(12, 12), kHoverPx);
  EXPECT_EQ(f.Px(20, 12), kSourcePx);
  f.MoveMouse(20, 12);
  f.Frame();
  EXPECT_EQ(f.Events(), (std::vector<std::string>{"m:104(A,0)", "m:105(A,0)", "m:104(B,1)"}));
  EXPECT_EQ(f.Px(12, 12), kSourcePx);
  EXPECT_EQ(f.Px(20, 12), kHoverPx);
}

TEST(MapImage, ChoosingARegionSetsTheSelectionAndClosesWithAutoScrap) {
  MapScene f;
  TNovaMapImage* m = f.Map({{PR_AUTOSCRAP, Flag(true)}});
  f.MoveMouse(21, 12);
  f.PressLeft();
  f.Frame();
  EXPECT_EQ(f.SelStr(), "B");
  EXPECT_EQ(f.SelIndex(), 1);
  EXPECT_EQ(f.Events(), (std::vector<std::string>{"m:104(B,1)", "m:72(B,1)"}));
  EXPECT_EQ(m->ClosingState(), 101);
  EXPECT_TRUE(m->IsEventBlocked());
  f.Release();
  f.Frame();
  EXPECT_EQ(f.scene.FindObject("m"), nullptr);
}

TEST(MapImage, RightClickAndEscapeCloseWithAnEmptySelection) {
  for (bool escape : {false, true}) {
    MapScene f;
    f.store.SelStr = "old";
    f.store.SelIndex = 4;
    TNovaMapImage* m = f.Map({{PR_RCLICKSCRAP, Flag(true)}, {PR_HANDLEKEY, Flag(true)}});
    f.MoveMouse(12, 12);
    f.Frame();
    if (escape) {
      f.scene.SetFocus(m);
      f.scene.Input().SetKeyState(0x1B, true);
      f.scene.Input().SetKeyPressed(0x1B);
    } else {
      f.PressRight();
    }
    f.Frame();
    EXPECT_EQ(f.SelStr(), "");
    EXPECT_EQ(f.SelIndex(), -1);
    EXPECT_TRUE(m->Closing());
    f.Frame();
    EXPECT_EQ(f.scene.FindObject("m"), nullptr) << escape;
  }
}

TEST(MapImage, ArrowKeysWalkTheRegionsAndEnterChooses) {
  MapScene f;
  TNovaMapImage* m = f.Map({{PR_HANDLEKEY, Flag(true)}});
  f.Frame();
  f.scene.SetFocus(m);
  auto key = [&](int code) {
    f.scene.Input().SetKeyState(code, true);
    f.scene.Input().SetKeyPressed(code);
    f.Frame();
    f.scene.Input().SetKeyState(code, false);
    f.Frame();
  };
  key(0x28);  // down from none: the first
  EXPECT_EQ(m->HoveredRegion(), 0);
  key(0x27);  // right
  EXPECT_EQ(m->HoveredRegion(), 1);
  key(0x28);  // past the last: back to the first
  EXPECT_EQ(m->HoveredRegion(), 0);
  key(0x26);  // up from the first: the last
  EXPECT_EQ(m->HoveredRegion(), 1);
  key(0x0D);
  EXPECT_EQ(f.SelStr(), "B");
  EXPECT_EQ(f.SelIndex(), 1);
}

TEST(MapImage, MissingAndDamagedMapFiles) {
  MapScene f;
  TNovaMapImage* m = f.Map({{PR_MAPSOURCE, Str("none.map")}});
  EXPECT_TRUE(m->Regions().empty());
  f.AddFile("bad.map", MapBytes({{"A", 0, {0, 0, 7, 7}}}).substr(0, 10));
  EXPECT_THROW(WriteProperty(*m, PR_MAPSOURCE, Str("bad.map")), ENovaError);
  EXPECT_TRUE(m->Regions().empty());
  f.MoveMouse(12, 12);
  f.Frame();  // no regions: nothing hovered, nothing fails
  EXPECT_EQ(m->HoveredRegion(), -1);
}

}  // namespace
}  // namespace nova::test
