#pragma once
// Scripted input (novaplayer --input FILE): one event per line, "N what ...", applied at the
// start of frame N (frames count from 1) through the same routing as the window's events.
//   N move X Y | N ldown | N lup | N rdown | N rup | N keydown CODE | N keyup CODE | N wheel up|down
// X and Y are pixels of the game's screen, CODE a virtual-key code 1..255. Lines starting with
// "#" are comments; blank lines are ignored. Events of one frame keep the file's order.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/geometry.h"
#include "platform/input_event.h"

namespace nova {

enum class ScriptedKind { Move, LeftDown, LeftUp, RightDown, RightUp, KeyDown, KeyUp, WheelUp, WheelDown };

struct TScriptedEvent {
  uint32_t Frame = 0;
  ScriptedKind Kind = ScriptedKind::Move;
  int32_t X = 0, Y = 0;  // Move: game-screen pixels
  int Key = 0;           // KeyDown, KeyUp
  int Line = 0;          // where it was written
  friend bool operator==(const TScriptedEvent&, const TScriptedEvent&) = default;
};

// The events sorted by frame. A bad line raises ENovaError "NAME:LINE: reason" (UTF-8).
std::vector<TScriptedEvent> ParseInputScript(std::string_view text, const std::string& name);
// Reads and parses a file; a file that cannot be read raises ENovaError too.
std::vector<TScriptedEvent> LoadInputScript(const std::filesystem::path& file);

// The event as the window would give it, at the scripted mouse. A move sets the mouse to its
// point shifted by origin (where the game's screen starts in the window's client area).
TInputEvent ScriptedInputEvent(const TScriptedEvent& s, TPoint& mouse, TPoint origin = {});

}  // namespace nova
