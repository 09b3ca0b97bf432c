#pragma once
// The command line of novaplayer: novaplayer [OPTIONS] [GAME...]. Options come before the
// game arguments; the first argument that is not an option (or everything after "--") starts
// the games.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/screenshot.h"
#include "platform/present_layout.h"

namespace nova {

struct TPlayerOptions {
  bool Help = false;
  bool Version = false;
  bool Headless = false;
  bool Config = false;               // --config, or the first game argument "/config" (any case)
  std::optional<uint32_t> Frames;    // end after frame N
  std::optional<ScaleMode> Scale;    // --scale (else the user's config file)
  std::filesystem::path InputFile;   // scripted input
  std::vector<TScreenshotRequest> Screenshots;
  std::filesystem::path SaveDir;               // empty = the default rule
  std::filesystem::path TraceFile;             // the interpreter's trace
  std::filesystem::path DumpVarsFile;          // the variables at exit
  std::filesystem::path AudioOut;              // headless: the sound as a WAV file
  std::vector<std::filesystem::path> Games;    // the game arguments
};

// Raises ENovaError with a UTF-8 message on an unknown option or a bad value.
TPlayerOptions ParseCommandLine(const std::vector<std::string>& args);  // without argv[0]
const char* UsageText();

}  // namespace nova
