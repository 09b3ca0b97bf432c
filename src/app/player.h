#pragma once
// The player's process: the command line, the drive and instance checks, game.ini, the
// archives, the main window and its frame loop. Returns the exit code.
#include <filesystem>
#include <string>
#include <vector>

namespace nova {

// args without argv[0]; selfExe: the running executable. Exit codes: see docs/command-line.md.
int RunPlayer(const std::vector<std::string>& args, const std::filesystem::path& selfExe);

// The running executable's path (/proc/self/exe), or fallback when it cannot be read.
std::filesystem::path SelfExecutablePath(const std::filesystem::path& fallback);

}  // namespace nova
