// Map images: region shapes from the map file, map-in and map-out as the mouse moves, the
// hover picture inside the hovered region only, choosing a region (@SelStr, @SelIndex,
// PR_ONSELECT), closing with auto-scrap, on a right click and on Escape, keyboard choice.
#include <gtest/gtest.h>

#include "components/component_fixtures.h"
#include "components/images/nova_map_image.h"
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
