#pragma once
// A 160 x 120 component scene for menus and preview menus: frames advance the frame clock
// (menus time their animations and held scroll-bar parts by it), keys go through the scene's
// key state, and the pictures of borders, scroll bars and check marks are small layered
// images whose cells have colours of their own.
#include <string>
#include <utility>
#include <vector>

#include "base/process.h"
#include "components/component_fixtures.h"
#include "components/lists/nova_menu.h"
#include "components/lists/nova_prev_menu.h"
#include "components/lists/prev_menu_file.h"

namespace nova::test {

// Virtual-key codes.
constexpr int kVkEnter = 0x0D, kVkEscape = 0x1B, kVkSpace = 0x20, kVkPageUp = 0x21, kVkPageDown = 0x22,
              kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28;

// The colour of cell c of a picture cut into cells side by side.
inline uint32_t CellColour(int c) { return 0x102030u + 0x200000u * static_cast<uint32_t>(c); }

// A picture of `cells` cells of w x h, each filled with CellColour(cell).
inline std::string CellStrip(int cells, int32_t w, int32_t h) {
  BriFrame f;
  f.Width = w * cells, f.Height = h;
  f.Color = [w](int x, int) { return CellColour(x / w); };
  return BriBytes({f});
}

// A picture whose columns cycle through three colours (pattern placement tests).
inline uint32_t ColumnColour(int x) { return x % 3 == 0 ? 0xFF0000u : (x % 3 == 1 ? 0x00FF00u : 0x0000FFu); }
inline std::string ColumnPattern(int32_t w, int32_t h, bool byRows = false) {
  BriFrame f;
  f.Width = w, f.Height = h;
  f.Color = [byRows](int x, int y) { return ColumnColour(byRows ? y : x); };
  return BriBytes({f});
}

struct MenuScene : ComponentScene {
  MenuScene() {
    scene.SetSize(160, 120);
    back.SetSize(160, 120, 32);
    FrameClock().Total = 0;
    AddFile("check.bri", CellStrip(2, 6, 6));
    AddFile("scroll.bri", CellStrip(7, 5, 4));
    // The mouse starts away from where the tests put their menus.
    Mouse().X = 159, Mouse().Y = 119;
  }

  // One frame of ms milliseconds on the frame clock.
  std::vector<TRect> Step(uint32_t ms = 16) {
    FrameClock().Total += ms;
    return Frame(ms);
  }

  // A menu with a smoothed 16-pixel font, then the given properties.
  TNovaMenu* Menu(const std::string& name, std::vector<std::pair<int, TPropValue>> props, bool open = true) {
    props.insert(props.begin(), {PR_ANTIALIAS, Flag(true)});
    props.insert(props.begin(), {PR_FONTHEIGHT, Int(16)});
    auto* menu = Create<TNovaMenu>(LT_MENU, name, props);
    if (open) menu->SetMenuState(TNovaMenu::kOpen);
    return menu;
  }

  // The control takes the keys.
  void Focus(TNovaControl* control) {
    WriteProperty(*control, PR_HANDLEKEY, Flag(true));
    scene.SetFocus(control);
  }
  // A key goes down before the next frame and up after it.
  void Key(int code) {
    scene.Input().SetKeyState(code, true);
    scene.Input().SetKeyPressed(code);
    Step();
    scene.Input().SetKeyState(code, false);
  }
  void Click(int32_t x, int32_t y) {
    MoveMouse(x, y);
    PressLeft();
    Step();
    Release();
    Step();
  }

  // The codes of the queued events of one sender, in order.
  std::vector<int> Codes(const std::string& sender) const {
    std::vector<int> out;
    for (int i = 0; i < scene.Events().Count(); ++i)
      if (scene.SenderName(scene.Events().Entry(i).Sender) == sender) out.push_back(scene.Events().Entry(i).EventCode);
    return out;
  }
};

}  // namespace nova::test
