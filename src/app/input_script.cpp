#include "app/input_script.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/error.h"
#include "base/text_lines.h"

namespace nova {
namespace {

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// A whole decimal number within [low, high].
bool Number(const std::string& text, int64_t low, int64_t high, int64_t& out) {
  if (text.empty()) return false;
  size_t start = text[0] == '-' ? 1 : 0;
  if (start == text.size() || text.find_first_not_of("0123456789", start) != std::string::npos) return false;
  errno = 0;
  long long v = std::strtoll(text.c_str(), nullptr, 10);
  if (errno != 0 || v < low || v > high) return false;
  out = v;
  return true;
}

}  // namespace

std::vector<TScriptedEvent> ParseInputScript(std::string_view text, const std::string& name) {
  std::vector<TScriptedEvent> events;
  std::vector<std::string> lines = SplitLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    const int lineNo = static_cast<int>(i + 1);
    auto bad = [&](const std::string& why) { RaiseError(name + ":" + std::to_string(lineNo) + ": " + why); };
    std::vector<std::string> w = Words(lines[i]);
    if (w.empty() || w[0][0] == '#') continue;
    TScriptedEvent e;
    e.Line = lineNo;
    int64_t n = 0;
    if (!Number(w[0], 1, 0xFFFFFFFFll, n)) bad("frame number (1 or more) expected, found \"" + w[0] + "\"");
    e.Frame = static_cast<uint32_t>(n);
    if (w.size() < 2) bad("event missing after the frame number");
    const std::string& what = w[1];
    size_t operands = 0;
    if (what == "move") {
      e.Kind = ScriptedKind::Move;
      operands = 2;
      if (w.size() == 4) {
        int64_t x = 0, y = 0;
        if (!Number(w[2], -1000000, 1000000, x) || !Number(w[3], -1000000, 1000000, y)) bad("move X Y: whole numbers expected");
        e.X = static_cast<int32_t>(x);
        e.Y = static_cast<int32_t>(y);
      }
    } else if (what == "ldown" || what == "lup" || what == "rdown" || what == "rup") {
      e.Kind = what == "ldown" ? ScriptedKind::LeftDown
               : what == "lup" ? ScriptedKind::LeftUp
               : what == "rdown" ? ScriptedKind::RightDown
                                 : ScriptedKind::RightUp;
    } else if (what == "keydown" || what == "keyup") {
      e.Kind = what == "keydown" ? ScriptedKind::KeyDown : ScriptedKind::KeyUp;
      operands = 1;
      int64_t code = 0;
      if (w.size() == 3 && !Number(w[2], 1, 255, code)) bad(what + " CODE: a virtual-key code 1..255 expected");
      e.Key = static_cast<int>(code);
    } else if (what == "wheel") {
      operands = 1;
      if (w.size() == 3) {
        if (w[2] == "up") e.Kind = ScriptedKind::WheelUp;
        else if (w[2] == "down") e.Kind = ScriptedKind::WheelDown;
        else bad("wheel: \"up\" or \"down\" expected");
      }
    } else {
      bad("unknown event \"" + what + "\"");
    }
    if (w.size() != 2 + operands) bad(what + ": " + std::to_string(operands) + " value(s) expected");
    events.push_back(e);
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const TScriptedEvent& a, const TScriptedEvent& b) { return a.Frame < b.Frame; });
  return events;
}

std::vector<TScriptedEvent> LoadInputScript(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) RaiseError(file.string() + ": cannot read the input file");
  std::ostringstream text;
  text << in.rdbuf();
  return ParseInputScript(text.str(), file.string());
}

TInputEvent ScriptedInputEvent(const TScriptedEvent& s, TPoint& mouse, TPoint origin) {
  TInputEvent e;
  switch (s.Kind) {
    case ScriptedKind::Move:
      e.Kind = InputKind::MouseMove;
      mouse = TPoint{s.X + origin.X, s.Y + origin.Y};
      break;
    case ScriptedKind::LeftDown: e.Kind = InputKind::MouseDown, e.Button = MouseButton::Left; break;
    case ScriptedKind::LeftUp: e.Kind = InputKind::MouseUp, e.Button = MouseButton::Left; break;
    case ScriptedKind::RightDown: e.Kind = InputKind::MouseDown, e.Button = MouseButton::Right; break;
    case ScriptedKind::RightUp: e.Kind = InputKind::MouseUp, e.Button = MouseButton::Right; break;
    case ScriptedKind::KeyDown: e.Kind = InputKind::KeyDown, e.Key = s.Key; break;
    case ScriptedKind::KeyUp: e.Kind = InputKind::KeyUp, e.Key = s.Key; break;
    case ScriptedKind::WheelUp: e.Kind = InputKind::Wheel, e.Wheel = 1; break;
    case ScriptedKind::WheelDown: e.Kind = InputKind::Wheel, e.Wheel = -1; break;
  }
  e.X = mouse.X;
  e.Y = mouse.Y;
  return e;
}

}  // namespace nova
