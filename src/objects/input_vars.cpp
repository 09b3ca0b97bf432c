#include "objects/input_vars.h"

#include "objects/scene.h"
#include "params/system_vars.h"

namespace nova {
namespace {

constexpr int kWheelDownKey = 256, kWheelUpKey = 257;  // the two extra elements of the key arrays

TSystemVarBinding Flag(std::function<bool()> get) {
  return TSystemVarBinding{.GetFlag = [get = std::move(get)](int) { return get(); }};
}

}  // namespace

void RegisterInputVariables(TSysFuncMan& funcs, TNovaBaseList& scene, TMoveCursor moveCursor) {
  TInputState& in = scene.Input();
  auto screen = [&in]() -> TScreenMouseState& { return in.DisplayedScreen(); };
  // A held button that an object has captured is not the scenario's.
  auto captured = [&scene](uint8_t bit) { return (scene.Displayed().CaptureSet & bit) != 0; };
  funcs.RegisterVariable(SV_LCLICK, {.GetFlag = [screen](int) { return screen().LeftPressedThisFrame; },
                                     .SetFlag = [screen](bool v) { screen().LeftPressedThisFrame = v; }});
  funcs.RegisterVariable(SV_RCLICK, {.GetFlag = [screen](int) { return screen().RightPressedThisFrame; },
                                     .SetFlag = [screen](bool v) { screen().RightPressedThisFrame = v; }});
  funcs.RegisterVariable(SV_LPUSH, Flag([screen, captured] { return screen().LeftHeld && !captured(4); }));
  funcs.RegisterVariable(SV_RPUSH, Flag([screen, captured] { return screen().RightHeld && !captured(8); }));
  funcs.RegisterVariable(SV_WHEELDOWN, Flag([screen] { return screen().WheelDownThisFrame; }));
  funcs.RegisterVariable(SV_WHEELUP, Flag([screen] { return screen().WheelUpThisFrame; }));
  funcs.RegisterVariable(SV_MOUSEX, {.GetInt = [screen] { return screen().X; },
                                     .SetInt = [screen, moveCursor](int32_t v) {
                                       if (moveCursor) moveCursor(v, screen().Y);
                                     }});
  funcs.RegisterVariable(SV_MOUSEY, {.GetInt = [screen] { return screen().Y; },
                                     .SetInt = [screen, moveCursor](int32_t v) {
                                       if (moveCursor) moveCursor(screen().X, v);
                                     }});
  auto keys = [&in, screen](bool (TInputState::*test)(int) const) {
    return TSystemVarBinding{.GetFlag = [&in, screen, test](int code) {
      if (code == kWheelDownKey) return screen().WheelDownThisFrame;
      if (code == kWheelUpKey) return screen().WheelUpThisFrame;
      return (in.*test)(code);
    }};
  };
  funcs.RegisterVariable(SV_KEYPUSH, keys(&TInputState::IsKeyHeld));
  funcs.RegisterVariable(SV_KEYCLICK, keys(&TInputState::IsKeyPressedThisFrame));
  funcs.RegisterVariable(SV_KEYREPEAT, keys(&TInputState::IsKeyRepeatThisFrame));
  funcs.RegisterVariable(SV_ACTIVECOMPO, {.GetStr = [&scene](int) {
                                            TNovaControl* focus = scene.Focus();
                                            return focus ? focus->Name() : std::string();
                                          },
                                          .SetStr = [&scene](const std::string& name) {
                                            if (name.empty()) return;
                                            TNovaControl* c = scene.FindControl(name);
                                            if (c && !c->IsPendingDeletion() && c->Visible() && c->HandleKey())
                                              scene.SetFocus(c);
                                          }});
}

void UnregisterInputVariables(TSysFuncMan& funcs) {
  for (int v : {SV_LCLICK, SV_RCLICK, SV_LPUSH, SV_RPUSH, SV_WHEELDOWN, SV_WHEELUP, SV_MOUSEX, SV_MOUSEY, SV_KEYPUSH,
                SV_KEYCLICK, SV_KEYREPEAT, SV_ACTIVECOMPO})
    funcs.UnregisterVariable(v);
}

}  // namespace nova
