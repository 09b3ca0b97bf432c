#include "params/class_properties.h"

#include <algorithm>
#include <array>

namespace nova {
namespace {

// The property numbers used below (the full list is the property table).
enum : int {
  NAME = 0, PARENT = 1, SOURCE = 2, LEFT = 3, TOP = 4, WIDTH = 5, HEIGHT = 6, ZOOMX = 7, COLOR = 8,
  BORDERWIDTH = 9, BORDERCOLOR = 10, ALPHA = 11, PRIORITY = 12, OFFSETX = 13, OFFSETY = 14, FONTNAME = 15,
  FONTHEIGHT = 16, FONTSTYLE = 17, LINESPACE = 18, FONTCOLOR = 19, FONTLINKCOLOR = 20, FONTBORDERCOLOR = 21,
  FONTHOVERCOLOR = 22, FONTHOVERSTYLE = 23, HOVERCOLOR = 24, ANTIALIAS = 25, DELAY = 26, PAUSED = 27, VOLUME = 28,
  REPEAT = 29, BALANCE = 30, ANGLE = 31, ONPLAYING = 32, ONNOTIFY = 33, ONMOUSEMOVE = 34, ONMOUSEOUT = 35,
  ONLBTNDOWN = 36, ONLBTNUP = 37, ONRBTNDOWN = 38, ONRBTNUP = 39, ONWHEELDOWN = 40, ONWHEELUP = 41,
  BRIGHTNESS = 42, ONPLAYEND = 43, INDEX = 44, ONLINK = 46, VISIBLE = 47, COLCOUNT = 48, ROWCOUNT = 49, TEXT = 50,
  MARGINX = 51, MARGINY = 52, HALIGN = 53, BORDERSOURCETL = 54, BORDERVALIGNR = 68, SCROLLSOURCE = 69,
  CHECKSOURCE = 70, AUTOSCRAP = 71, ONSELECT = 72, RCLICKSCRAP = 73, ONOPENING = 74, ONOPENED = 75,
  ONCLOSING = 76, ONCLOSED = 77, IGNOREMOUSE = 80, TEXTPAUSED = 81, TEXTDELAY = 82, HOVERSOURCE = 83,
  PRESSEDSOURCE = 84, GROUPINDEX = 85, ALLOWALLUP = 86, SELECTED = 87, CAPTUREMASK = 88, POWER = 89,
  ORIGWIDTH = 90, ORIGHEIGHT = 91, APPEARX = 92, APPEARY = 93, PARTMOTION = 94, PARAM1 = 95, PARAM2 = 96,
  TOPINDEX = 97, READONLY = 98, CURSOR = 99, POSZOOMED = 100, ONPLAYSTART = 101, PARAM3 = 102, ONMOUSEIN = 103,
  ONMAPIN = 104, ONMAPOUT = 105, MAPSOURCE = 106, AMP = 107, WAVELEN = 108, SCROLLX = 109, SCROLLY = 110,
  FLIPH = 111, FLIPV = 112, ONIDLE = 113, DISTANCEX = 114, DISTANCEY = 115, CLIPLEFT = 116, CLIPTOP = 117,
  CLIPWIDTH = 118, CLIPHEIGHT = 119, DURATION = 120, THUMBSOURCE = 121, BUTTONSOURCE = 122, MIN = 123, MAX = 124,
  VALUE = 125, ORIENTATION = 126, SMALLCHANGE = 127, LARGECHANGE = 128, MAPTEXT = 129, GLYPHWIDTH = 130,
  GLYPHHEIGHT = 131, ZOOMY = 132, CLICKEDSOURCE = 133, ANIPAUSED = 134, ONHOLD = 135, ONRELEASE = 136,
  REVERSE = 137, REWINDONLOAD = 139, FONTSHADOWCOLOR = 141, FONTBORDER = 142, FONTSHADOW = 143,
  ONKEYDOWN = 144, ONKEYUP = 145, ONKEYREPEAT = 146, HANDLEKEY = 147, ONFOCUSIN = 148, ONFOCUSOUT = 149,
  OVERLAY = 150, TAG = 151, CAPTURELINK = 152, FONTHOVERBORDER = 153, FONTHOVERSHADOWCOLOR = 156, BARSIZE = 157,
  MUTEONLOAD = 158, PLUSX = 159, PLUSY = 160, REPEATPOS = 162,
};

using TList = std::vector<int>;

const TList kEveryObject = {NAME, PRIORITY, TAG};
const TList kEveryControl = {PARENT,      LEFT,       TOP,        WIDTH,       HEIGHT,      COLOR,       OFFSETX,
                             OFFSETY,     VISIBLE,    IGNOREMOUSE, CURSOR,     POSZOOMED,   CLIPLEFT,    CLIPTOP,
                             CLIPWIDTH,   CLIPHEIGHT, ANIPAUSED,  HANDLEKEY,   PLUSX,       PLUSY,       ONMOUSEMOVE,
                             ONMOUSEIN,   ONMOUSEOUT, ONLBTNDOWN, ONLBTNUP,    ONRBTNDOWN,  ONRBTNUP,    ONWHEELDOWN,
                             ONWHEELUP,   ONKEYDOWN,  ONKEYUP,    ONKEYREPEAT, ONFOCUSIN,   ONFOCUSOUT};
const TList kImages = {SOURCE, ZOOMX,    ZOOMY,     ALPHA,       PAUSED, REPEAT, ANGLE,  BRIGHTNESS,
                       ONPLAYEND, INDEX, AUTOSCRAP, CAPTUREMASK, FLIPH,  FLIPV,  ONIDLE, DELAY};
const TList kSlider = {SOURCE, ALPHA, PAUSED, ONNOTIFY,    CAPTUREMASK, ONIDLE,   THUMBSOURCE, BUTTONSOURCE,
                       MIN,    MAX,   VALUE,  ORIENTATION, SMALLCHANGE, ONHOLD,   ONRELEASE,   BARSIZE};
const TList kEdit = {FONTNAME, FONTHEIGHT, FONTSTYLE, FONTCOLOR, PAUSED, ONNOTIFY, TEXT, READONLY};

struct TClassRow {
  uint8_t Type;
  bool Control;
  std::vector<TList> Lists;
};

std::vector<int> Build(const TClassRow& row) {
  std::vector<int> ids = kEveryObject;
  if (row.Control) ids.insert(ids.end(), kEveryControl.begin(), kEveryControl.end());
  for (const TList& l : row.Lists) ids.insert(ids.end(), l.begin(), l.end());
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  return ids;
}

std::vector<int> Range(int from, int to) {
  std::vector<int> v;
  for (int i = from; i <= to; ++i) v.push_back(i);
  return v;
}

std::array<std::vector<int>, 128> MakeTable() {
  const TList menuBorders = Range(BORDERSOURCETL, BORDERVALIGNR);
  const std::vector<TClassRow> rows = {
      {2, true, {{SOURCE, BORDERWIDTH, BORDERCOLOR, ALPHA, PAUSED, REPEAT, ONPLAYEND, AUTOSCRAP, ONIDLE}}},
      {8, true, {kImages}},
      {3, true,
       {kImages, {FONTNAME, FONTHEIGHT, FONTSTYLE, FONTCOLOR, ANTIALIAS, ONNOTIFY, TEXT, HOVERSOURCE, PRESSEDSOURCE,
                  CLICKEDSOURCE, GROUPINDEX, ALLOWALLUP, SELECTED}}},
      {20, true,
       {{SOURCE, ZOOMX, ZOOMY, ALPHA, PAUSED, ANGLE, BRIGHTNESS, INDEX, CAPTUREMASK, FLIPH, FLIPV, ONIDLE, SCROLLX,
         SCROLLY, DISTANCEX, DISTANCEY}}},
      {18, true,
       {{SOURCE, ALPHA, PAUSED, BRIGHTNESS, AUTOSCRAP, ONSELECT, RCLICKSCRAP, HOVERSOURCE, ONMAPIN, ONMAPOUT,
         MAPSOURCE, ONIDLE}}},
      {4, true, {{SOURCE, PAUSED, VOLUME, REPEAT, ONPLAYEND, INDEX, AUTOSCRAP, ONIDLE, REWINDONLOAD, MUTEONLOAD}}},
      {25, true, {{SOURCE, PAUSED, ONPLAYEND, AUTOSCRAP, ONSELECT, RCLICKSCRAP, ONMAPIN, ONMAPOUT, ONIDLE}}},
      {12, true,
       {menuBorders,
        {BORDERWIDTH, BORDERCOLOR, ALPHA, FONTNAME, FONTHEIGHT, FONTSTYLE, LINESPACE, FONTCOLOR, FONTBORDERCOLOR,
         FONTHOVERCOLOR, FONTHOVERSTYLE, HOVERCOLOR, ANTIALIAS, DELAY, PAUSED, INDEX, ROWCOUNT, TEXT, MARGINX, MARGINY,
         HALIGN, SCROLLSOURCE, CHECKSOURCE, AUTOSCRAP, ONSELECT, RCLICKSCRAP, ONOPENING, ONOPENED, ONCLOSING,
         ONCLOSED, TOPINDEX, ONMAPIN, ONMAPOUT, ONIDLE, FONTSHADOWCOLOR, FONTBORDER, FONTSHADOW, FONTHOVERBORDER,
         FONTHOVERBORDER + 1, FONTHOVERBORDER + 2, FONTHOVERSHADOWCOLOR}}},
      {21, true, {kSlider}},
      {22, true, {kSlider, {LARGECHANGE}}},
      {23, true,
       {{SOURCE, ALPHA, DELAY, PAUSED, ONIDLE, DURATION, MIN, MAX, VALUE, ORIENTATION, REVERSE, BARSIZE}}},
      {6, true, {{ZOOMX, ZOOMY, PAUSED, POWER, ORIGWIDTH, ORIGHEIGHT, ONIDLE}}},
      {19, true, {{DELAY, PAUSED, AMP, WAVELEN, ONIDLE}}},
      {14, true,
       {{SOURCE, ALPHA, PAUSED, INDEX, PARTMOTION, PARAM1, PARAM2, PARAM3, ONIDLE, DURATION, APPEARX, APPEARY,
         DELAY}}},
      {5, true, {kEdit}},
      {11, true, {kEdit, {HALIGN}}},
      {16, true,
       {{SOURCE, ZOOMX, ZOOMY, ALPHA, DELAY, PAUSED, VOLUME, REPEAT, BALANCE, ANGLE, ONPLAYEND, INDEX, AUTOSCRAP,
         CAPTUREMASK, FLIPH, FLIPV, ONIDLE, REWINDONLOAD, OVERLAY, MUTEONLOAD}}},
      {9, true,
       {{SOURCE, ZOOMX, ZOOMY, ALPHA, FONTNAME, FONTHEIGHT, FONTSTYLE, LINESPACE, FONTCOLOR, ANTIALIAS, PAUSED, REPEAT,
         ANGLE, ONPLAYEND, TEXT, HALIGN, AUTOSCRAP, FLIPH, FLIPV, ONIDLE}}},
      {24, true, {{SOURCE, ALPHA, LINESPACE, PAUSED, TEXT, HALIGN, ONIDLE, MAPTEXT, GLYPHWIDTH, GLYPHHEIGHT}}},
      {13, true,
       {{ALPHA, FONTNAME, FONTHEIGHT, LINESPACE, FONTCOLOR, FONTLINKCOLOR, FONTBORDERCOLOR, FONTHOVERCOLOR, ANTIALIAS,
         DELAY, PAUSED, ONPLAYING, ONNOTIFY, ONPLAYEND, INDEX, ONLINK, TEXT, TEXTPAUSED, TEXTDELAY, ONPLAYSTART,
         SCROLLY, ONIDLE, FONTSHADOWCOLOR, FONTBORDER, FONTSHADOW, CAPTURELINK}}},
      {27, true, {}},
      {17, false,
       {{SOURCE, DELAY, PAUSED, VOLUME, REPEAT, BALANCE, ONPLAYEND, INDEX, AUTOSCRAP, ANIPAUSED, REWINDONLOAD,
         MUTEONLOAD, REPEATPOS}}},
      {15, false, {{DELAY, PAUSED, ONNOTIFY, AUTOSCRAP}}},
      {26, false, {{PAUSED}}},
      {7, false, {{SOURCE, ONPLAYEND}}},
  };
  // Objects that take their size from their picture, text or film (a cinema) do not get width
  // and height from their command: an empty expression there would give them the creation
  // default 0 and overwrite the size of the picture or film just loaded (the sources come first).
  const TList sized = {8, 3, 18, 16, 9, 24, 4};
  std::array<std::vector<int>, 128> table;
  for (const TClassRow& row : rows) {
    const bool ownSize = std::find(sized.begin(), sized.end(), row.Type) != sized.end();
    for (int id : Build(row))
      if (!ownSize || (id != WIDTH && id != HEIGHT)) table[row.Type].push_back(id);
  }
  return table;
}

}  // namespace

const std::vector<int>& CreationProperties(uint8_t typeCode) {
  static const std::array<std::vector<int>, 128> table = MakeTable();
  return table[typeCode & 0x7F];
}

}  // namespace nova
