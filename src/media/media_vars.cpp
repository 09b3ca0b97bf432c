#include "media/media_vars.h"

#include "params/sysfunc_call.h"
#include "params/system_vars.h"

namespace nova {

constexpr int kGetDisplayMode = 65;

void RegisterMediaVariables(TSysFuncMan& funcs, TMediaSystem& media, TMediaVarHooks hooks) {
  funcs.RegisterVariable(SV_SOUNDON, {.GetFlag = [&media](int) { return media.SoundOn(); },
                                      .SetFlag = [&media, hooks](bool on) {
                                        media.SetSoundOn(on);
                                        if (hooks.SoundSwitched) hooks.SoundSwitched(on);
                                      }});
  funcs.RegisterVariable(SV_MIDIPORT, {.GetStr = [&media](int) { return media.Midi() ? media.Midi()->PortName() : std::string(); },
                                       .SetStr = [&media](const std::string& name) {
                                         if (media.Midi()) media.Midi()->SelectPort(name);
                                       }});
  funcs.RegisterVariable(SV_MIDIPORTS, {.GetStr = [&media](int index) -> std::string {
                                          if (!media.Midi()) return {};
                                          const auto& names = media.Midi()->PortNames();
                                          if (index < 0) index = 0;
                                          return index < static_cast<int>(names.size()) ? names[static_cast<size_t>(index)] : std::string();
                                        },
                                        .Count = [&media] { return media.Midi() ? static_cast<int>(media.Midi()->PortNames().size()) : 0; }});
  funcs.RegisterVariable(SV_DISPLAYMODECOUNT, {.GetInt = [&media] {
                                                 return media.Screen() ? static_cast<int32_t>(media.Screen()->Modes().size()) : 0;
                                               }});
  funcs.RegisterVariable(SV_DISPLAYMODEINDEX, {.GetInt = [&media] { return media.Screen() ? media.Screen()->ChosenIndex() : -1; },
                                               .SetInt = [&media, hooks](int32_t index) {
                                                 if (!media.Screen()) return;
                                                 media.Screen()->SetChosenIndex(index);
                                                 if (hooks.ApplyScreenMode) hooks.ApplyScreenMode();
                                               }});
  funcs.Register(kGetDisplayMode, [&media](TSysFuncCall& c) {
    int index = c.Int(0);
    TScreenManager* screen = media.Screen();
    if (!screen || index < 0 || index >= static_cast<int>(screen->Modes().size())) {
      c.ResultBool(false);
      return;
    }
    const TDisplayMode& m = screen->Modes()[static_cast<size_t>(index)];
    c.Out(1).SetAsInt(m.Width);
    c.Out(2).SetAsInt(m.Height);
    c.Out(3).SetAsInt(m.Bits);
    c.Out(4).SetAsInt(m.RefreshRate);
    c.ResultBool(true);
  });
}

void UnregisterMediaVariables(TSysFuncMan& funcs) {
  for (int v : {SV_SOUNDON, SV_MIDIPORT, SV_MIDIPORTS, SV_DISPLAYMODECOUNT, SV_DISPLAYMODEINDEX}) funcs.UnregisterVariable(v);
  funcs.Register(kGetDisplayMode, nullptr);
}

}  // namespace nova
