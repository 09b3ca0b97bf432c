// Which class answers which property: every number 0..162 on every class, against the table
// of supported properties; read-only members; the defaults of new objects.
#include <gtest/gtest.h>

#include <set>

#include "component_fixtures.h"

namespace nova::test {
namespace {

const std::set<int> kCommon = {PR_PARENT,     PR_LEFT,      PR_TOP,        PR_WIDTH,       PR_HEIGHT,     PR_COLOR,
                               PR_OFFSETX,    PR_OFFSETY,   PR_VISIBLE,    PR_IGNOREMOUSE, PR_CURSOR,     PR_POSZOOMED,
                               PR_CLIPLEFT,   PR_CLIPTOP,   PR_CLIPWIDTH,  PR_CLIPHEIGHT,  PR_ANIPAUSED,  PR_PLAYING,
                               PR_HANDLEKEY,  PR_PLUSX,     PR_PLUSY,      PR_ONMOUSEMOVE, PR_ONMOUSEIN,  PR_ONMOUSEOUT,
                               PR_ONLBTNDOWN, PR_ONLBTNUP,  PR_ONRBTNDOWN, PR_ONRBTNUP,    PR_ONWHEELDOWN, PR_ONWHEELUP,
                               PR_ONKEYDOWN,  PR_ONKEYUP,   PR_ONKEYREPEAT, PR_ONFOCUSIN,  PR_ONFOCUSOUT};

const std::set<int> kImages = {PR_SOURCE,  PR_ZOOMX,      PR_ZOOMY,   PR_ALPHA,        PR_PAUSED,    PR_REPEAT,
                               PR_ANGLE,   PR_BRIGHTNESS, PR_ONPLAYEND, PR_INDEX,      PR_COUNT,     PR_AUTOSCRAP,
                               PR_CAPTUREMASK, PR_ORIGWIDTH, PR_ORIGHEIGHT, PR_FLIPH, PR_FLIPV,     PR_ONIDLE};

const std::set<int> kSlider = {PR_SOURCE,      PR_ALPHA,        PR_PAUSED, PR_ONNOTIFY, PR_CAPTUREMASK, PR_ONIDLE,
                               PR_THUMBSOURCE, PR_BUTTONSOURCE, PR_MIN, PR_MAX, PR_VALUE, PR_ORIENTATION,
                               PR_SMALLCHANGE, PR_ONHOLD, PR_ONRELEASE, PR_BARSIZE};

std::set<int> Join(std::set<int> a, const std::set<int>& b) {
  a.insert(b.begin(), b.end());
  return a;
}
std::set<int> Without(std::set<int> a, const std::set<int>& b) {
  for (int x : b) a.erase(x);
  return a;
}

TEST(Properties, EachClassAnswersExactlyItsProperties) {
  struct Case {
    int type;
    std::set<int> own;
  };
  const Case cases[] = {
      {LT_BOX, {PR_SOURCE, PR_BORDERWIDTH, PR_BORDERCOLOR, PR_ALPHA, PR_PAUSED, PR_REPEAT, PR_ONPLAYEND, PR_AUTOSCRAP,
                PR_ONIDLE}},
      {LT_IMAGES, kImages},
      {LT_FIRE, {PR_ZOOMX, PR_ZOOMY, PR_PAUSED, PR_POWER, PR_ORIGWIDTH, PR_ORIGHEIGHT, PR_ONIDLE}},
      {LT_WAVE, {PR_DELAY, PR_PAUSED, PR_AMP, PR_WAVELEN, PR_ONIDLE}},
      {LT_BUTTON, Join(kImages, {PR_FONTNAME, PR_FONTHEIGHT, PR_FONTSTYLE, PR_FONTCOLOR, PR_ANTIALIAS, PR_ONNOTIFY,
                                 PR_TEXT, PR_HOVERSOURCE, PR_PRESSEDSOURCE, PR_CLICKEDSOURCE, PR_GROUPINDEX,
                                 PR_ALLOWALLUP, PR_SELECTED})},
      {LT_TILE, Join(Without(kImages, {PR_ONPLAYEND, PR_AUTOSCRAP}), {PR_SCROLLX, PR_SCROLLY, PR_DISTANCEX, PR_DISTANCEY})},
      {LT_MAPIMG, {PR_SOURCE, PR_ALPHA, PR_PAUSED, PR_REPEAT, PR_BRIGHTNESS, PR_AUTOSCRAP, PR_ONSELECT, PR_RCLICKSCRAP,
                   PR_HOVERSOURCE, PR_ONMAPIN, PR_ONMAPOUT, PR_MAPSOURCE, PR_ONIDLE}},
      {LT_SLIDER, kSlider},
      {LT_SCROLLBAR, Join(kSlider, {PR_LARGECHANGE})},
      {LT_GAUGE, {PR_SOURCE, PR_ALPHA, PR_DELAY, PR_PAUSED, PR_ONIDLE, PR_DURATION, PR_MIN, PR_MAX, PR_VALUE,
                  PR_ORIENTATION, PR_REVERSE, PR_BARSIZE}},
  };
  const std::set<int> special = {PR_NAME, PR_PRIORITY, PR_TAG, PR_COMPOTYPE, PR_APPEARX, PR_APPEARY};
  for (const Case& c : cases) {
    ComponentScene f;
    TNovaObject* o = f.Create(c.type, "o");
    ASSERT_NE(o, nullptr) << c.type;
    EXPECT_EQ(ReadProperty(*o, PR_COMPOTYPE).Int, c.type);
    const std::set<int> supported = Join(kCommon, c.own);
    for (int id = 0; id < 163; ++id) {
      if (special.count(id)) continue;
      TPropValue v;
      EXPECT_EQ(o->GetProperty(id, v), supported.count(id) == 1) << "type " << c.type << " property " << id;
    }
  }
}

TEST(Properties, ReadOnlyMembersAndDefaults) {
  ComponentScene f;
  f.AddFile("a.bri", BriBytes({Solid(5, 3, 0xFFFFFF)}));
  TNovaObject* img = f.Create(LT_IMAGES, "i", {{PR_SOURCE, Str("a.bri")}});
  TNovaObject* tile = f.Create(LT_TILE, "t");
  TNovaObject* map = f.Create(LT_MAPIMG, "m");
  TNovaObject* box = f.Create(LT_BOX, "b");
  struct Case {
    TNovaObject* object;
    int id;
    TPropValue write;
    int32_t expected;  // read back as an integer (flags 0/1)
  };
  auto read = [](TNovaObject& o, int id) {
    TPropValue v = ReadProperty(o, id);
    return v.Type == PT_BOOL ? static_cast<int32_t>(v.Flag) : v.Int;
  };
  const Case cases[] = {
      {img, PR_ORIGWIDTH, Int(9), 5},   {img, PR_ORIGHEIGHT, Int(9), 3},   {img, PR_COUNT, Int(9), 1},
      {img, PR_PLAYING, Flag(false), 1},{tile, PR_REPEAT, Flag(false), 1}, {map, PR_REPEAT, Flag(false), 1},
      {box, PR_ZOOMX, Int(9), 256},     {box, PR_INDEX, Int(9), -1},       {box, PR_BRIGHTNESS, Int(9), 255},
      {img, PR_BORDERCOLOR, Int(9), -1},
  };
  for (const Case& c : cases) {
    WriteProperty(*c.object, c.id, c.write);
    EXPECT_EQ(read(*c.object, c.id), c.expected) << c.object->Name() << " " << c.id;
  }
  // New objects: opaque, unzoomed, brightness 0, no frame shown without a source.
  TNovaObject* empty = f.Create(LT_IMAGES, "e");
  EXPECT_EQ(ReadProperty(*empty, PR_ALPHA).Int, 255);
  EXPECT_EQ(ReadProperty(*empty, PR_ZOOMY).Int, 256);
  EXPECT_EQ(ReadProperty(*empty, PR_BRIGHTNESS).Int, 0);
  EXPECT_EQ(ReadProperty(*empty, PR_INDEX).Int, -1);
  EXPECT_EQ(ReadProperty(*box, PR_BORDERCOLOR).Int, -1);
  EXPECT_EQ(ReadProperty(*box, PR_ALPHA).Int, 255);
}

}  // namespace
}  // namespace nova::test
