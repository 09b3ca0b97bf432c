#pragma once
// A 320 x 320 scene with the pictures of the value controls: bars of 200 pixels (two cells:
// the rest and the value part), thumbs of 10 pixels along the bar (three cells), buttons of
// 16 x 16 (six cells) and gauge bars of 100 pixels; every cell has its own colour. Frames
// advance the scenario clock the auto-repeat counts by.
#include <vector>

#include "base/process.h"
#include "components/component_fixtures.h"
#include "components/controls/nova_gauge.h"
#include "components/controls/nova_scrollbar.h"
#include "components/controls/nova_slider.h"

namespace nova::test {

constexpr uint32_t kRestPx = 0x800000, kValuePx = 0x008000;
constexpr uint32_t kThumbPx[3] = {0x000080, 0x000081, 0x000082};
constexpr uint32_t kButtonPx[6] = {0x404000, 0x404001, 0x404002, 0x004040, 0x014040, 0x024040};
constexpr uint32_t kLostPx = 0x808000;

// A picture of cells side by side, each w x h of its own colour.
inline std::string CellsBri(int32_t w, int32_t h, std::vector<uint32_t> colours) {
  BriFrame f;
  f.Width = w * static_cast<int32_t>(colours.size()), f.Height = h;
  f.Color = [w, colours](int x, int) { return colours[static_cast<size_t>(x / w)]; };
  return BriBytes({f});
}

struct ControlScene : ComponentScene {
  static constexpr int32_t kLeft = 10, kTop = 10;

  ControlScene() {
    scene.SetSize(320, 320);
    back.SetSize(320, 320, 32);
    FrameClock() = TFrameClock{};
    AddFile("hbar.bri", CellsBri(200, 10, {kRestPx, kValuePx}));
    AddFile("vbar.bri", CellsBri(10, 200, {kRestPx, kValuePx}));
    AddFile("hthumb.bri", CellsBri(10, 20, {kThumbPx[0], kThumbPx[1], kThumbPx[2]}));
    AddFile("vthumb.bri", CellsBri(20, 10, {kThumbPx[0], kThumbPx[1], kThumbPx[2]}));
    AddFile("btn.bri", CellsBri(16, 16, std::vector<uint32_t>(std::begin(kButtonPx), std::end(kButtonPx))));
    AddFile("hgauge.bri", CellsBri(100, 8, {kValuePx, kLostPx}));
    AddFile("vgauge.bri", CellsBri(8, 100, {kValuePx, kLostPx}));
  }

  ~ControlScene() { FrameClock() = TFrameClock{}; }

  // Frames of ms each, the scenario clock advancing with them.
  void Run(uint32_t ms, int frames = 1) {
    for (int i = 0; i < frames; ++i) {
      FrameClock().Total += ms;
      FrameClock().LastDelta = ms;
      Frame(ms);
    }
  }

  // A slider or scroll bar at (10, 10) with the pictures of its orientation, events "n", "h",
  // "r", a range and a value, and further properties.
  TNovaSlider* Slider(int type, bool vertical, int32_t min, int32_t max, int32_t value,
                      std::vector<std::pair<int, TPropValue>> more = {}) {
    std::vector<std::pair<int, TPropValue>> props = {
        {PR_LEFT, Int(kLeft)}, {PR_TOP, Int(kTop)}, {PR_ORIENTATION, Int(vertical ? OT_VERTICAL : OT_HORIZONTAL)},
        {PR_SOURCE, Str(vertical ? "vbar.bri" : "hbar.bri")},
        {PR_THUMBSOURCE, Str(vertical ? "vthumb.bri" : "hthumb.bri")}, {PR_BUTTONSOURCE, Str("btn.bri")},
        {PR_MIN, Int(min)}, {PR_MAX, Int(max)}, {PR_VALUE, Int(value)}, {PR_SMALLCHANGE, Int(1)},
        {PR_LARGECHANGE, Int(1)}, {PR_ALPHA, Int(255)}, {PR_ONNOTIFY, Str("n")}, {PR_ONHOLD, Str("h")},
        {PR_ONRELEASE, Str("r")}};
    props.insert(props.end(), more.begin(), more.end());
    return Create<TNovaSlider>(type, "s", props);
  }

  TNovaGauge* Gauge(bool vertical, int32_t min, int32_t max, int32_t value,
                    std::vector<std::pair<int, TPropValue>> more = {}) {
    std::vector<std::pair<int, TPropValue>> props = {
        {PR_LEFT, Int(kLeft)}, {PR_TOP, Int(kTop)}, {PR_ORIENTATION, Int(vertical ? OT_VERTICAL : OT_HORIZONTAL)},
        {PR_SOURCE, Str(vertical ? "vgauge.bri" : "hgauge.bri")}, {PR_MIN, Int(min)}, {PR_MAX, Int(max)},
        {PR_VALUE, Int(value)}, {PR_ALPHA, Int(255)}};
    props.insert(props.end(), more.begin(), more.end());
    return Create<TNovaGauge>(LT_GAUGE, "g", props);
  }

  // The mouse to a point of the control (local coordinates).
  void MoveTo(int32_t x, int32_t y) { MoveMouse(kLeft + x, kTop + y); }
  uint32_t LocalPx(int32_t x, int32_t y) { return Px(kLeft + x, kTop + y); }
};

}  // namespace nova::test
