#include "app/options.h"

#include <cerrno>
#include <cstdlib>

#include "base/error.h"
#include "base/sjis.h"

namespace nova {

const char* UsageText() {
  return "Usage: novaplayer [OPTIONS] [GAME...]\n"
         "Runs a game: a folder (its game.dat is the archive; further folders add theirs),\n"
         "a game.dat, or a Windows executable carrying the game's archive. Without GAME the\n"
         "player runs the archive appended to itself, else the bundled game.\n"
         "\n"
         "Options:\n"
         "  --help            show this text and end\n"
         "  --version         show the version and end\n"
         "  --headless        no window and no sound device; the clock advances 16 ms per frame,\n"
         "                    message boxes print to stderr and take their default answer\n"
         "  --frames N        end after frame N as if the window were closed (exit code 0)\n"
         "  --scale MODE      how the picture fills a larger window or the full screen:\n"
         "                    nearest (default), integer or smooth\n"
         "  --input FILE      scripted input: one event per line, \"N move X Y\", \"N ldown\",\n"
         "                    \"N lup\", \"N rdown\", \"N rup\", \"N keydown CODE\", \"N keyup CODE\",\n"
         "                    \"N wheel up|down\", applied at the start of frame N\n"
         "  --screenshot N:FILE.png\n"
         "                    after frame N, write the game's picture to FILE.png (repeatable)\n"
         "  --save-dir DIR    folder of save.dat (default: the game folder when writable, else\n"
         "                    $XDG_DATA_HOME/novaplayer/<game>/)\n"
         "  --trace FILE      write the interpreter's trace to FILE\n"
         "  --dump-vars FILE  write the game's variables to FILE at exit\n"
         "  --audio-out FILE.wav\n"
         "                    with --headless: write the game's sound to FILE.wav (44100 Hz,\n"
         "                    16-bit stereo, exactly the sound of each 16 ms frame)\n"
         "  --config          the settings dialog of the game's \"game.ini\" (as \"/config\")\n"
         "\n"
         "Keys: F11 or Alt+Enter full screen, F12 picture to the pictures folder, Menu key popup menu.\n"
         "User settings: $XDG_CONFIG_HOME/novaplayer/novaplayer.ini ([Display] Scale=MODE).\n";
}

namespace {

uint32_t ParseCount(const std::string& option, const std::string& text) {
  if (text.empty() || text[0] < '0' || text[0] > '9') RaiseError(option + ": not a number: " + text);
  errno = 0;
  char* end = nullptr;
  unsigned long long v = std::strtoull(text.c_str(), &end, 10);
  if (*end != 0 || errno != 0 || v > 0xFFFFFFFFull) RaiseError(option + ": not a number: " + text);
  return static_cast<uint32_t>(v);
}

TScreenshotRequest ParseScreenshot(const std::string& option, const std::string& text) {
  size_t colon = text.find(':');
  if (colon == std::string::npos || colon + 1 == text.size()) RaiseError(option + ": N:FILE expected: " + text);
  TScreenshotRequest r;
  r.Frame = ParseCount(option, text.substr(0, colon));
  if (r.Frame == 0) RaiseError(option + ": frames count from 1: " + text);
  r.File = text.substr(colon + 1);
  return r;
}

}  // namespace

TPlayerOptions ParseCommandLine(const std::vector<std::string>& args) {
  TPlayerOptions o;
  size_t i = 0;
  auto value = [&](const std::string& option, const std::string& inlineValue, bool hasInline) -> std::string {
    if (hasInline) return inlineValue;
    if (i + 1 >= args.size()) RaiseError(option + ": missing value");
    return args[++i];
  };
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") {
      ++i;
      break;
    }
    if (a.size() < 2 || a[0] != '-' || a[1] != '-') break;  // the games begin
    std::string name = a, inlineValue;
    bool hasInline = false;
    if (size_t eq = a.find('='); eq != std::string::npos) {
      name = a.substr(0, eq);
      inlineValue = a.substr(eq + 1);
      hasInline = true;
    }
    auto noValue = [&] {
      if (hasInline) RaiseError(name + ": takes no value");
    };
    if (name == "--help") noValue(), o.Help = true;
    else if (name == "--version") noValue(), o.Version = true;
    else if (name == "--headless") noValue(), o.Headless = true;
    else if (name == "--frames") o.Frames = ParseCount(name, value(name, inlineValue, hasInline));
    else if (name == "--scale") {
      std::string mode = value(name, inlineValue, hasInline);
      o.Scale = ParseScaleMode(mode);
      if (!o.Scale) RaiseError(name + ": nearest, integer or smooth expected: " + mode);
    }
    else if (name == "--input") o.InputFile = value(name, inlineValue, hasInline);
    else if (name == "--screenshot") o.Screenshots.push_back(ParseScreenshot(name, value(name, inlineValue, hasInline)));
    else if (name == "--save-dir") o.SaveDir = value(name, inlineValue, hasInline);
    else if (name == "--trace") o.TraceFile = value(name, inlineValue, hasInline);
    else if (name == "--dump-vars") o.DumpVarsFile = value(name, inlineValue, hasInline);
    else if (name == "--audio-out") o.AudioOut = value(name, inlineValue, hasInline);
    else if (name == "--config") noValue(), o.Config = true;
    else RaiseError("unknown option: " + a);
  }
  for (; i < args.size(); ++i) o.Games.push_back(args[i]);
  if (!o.Games.empty() && SameText(o.Games[0].string(), "/config")) o.Config = true;
  if (!o.AudioOut.empty() && !o.Headless) RaiseError("--audio-out: only with --headless (a window plays the sound)");
  return o;
}

}  // namespace nova
