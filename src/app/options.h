#pragma once
// The command line of novaplayer: novaplayer [OPTIONS] [GAME...]. Options come before the
// game arguments; the first argument that is not an option (or everything after "--") starts
// the games.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nova {

struct TPlayerOptions {
  bool Help = false;
  bool Version = false;
  bool Headless = false;
  bool Config = false;               // first game argument "/config" (any case)
  std::optional<uint32_t> Frames;    // end after this many frames
  std::string SaveDir;               // UTF-8; empty = the default rule
  std::string TraceFile;             // UTF-8; handed to the game hooks
  std::string DumpVarsFile;          // UTF-8; handed to the game hooks
  std::vector<std::string> Games;    // UTF-8 local paths
};

// Raises ENovaError with a UTF-8 message on an unknown option or a bad value.
TPlayerOptions ParseCommandLine(const std::vector<std::string>& args);  // without argv[0]
const char* UsageText();

}  // namespace nova
