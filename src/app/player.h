#pragma once
// The player's process: the command line, the drive and instance checks, game.ini, the
// archives, the main window and its frame loop. Returns the exit code.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/game_hooks.h"

namespace nova {

using TGameHooksFactory = std::function<std::unique_ptr<TGameHooks>()>;

// args without argv[0]; selfExe: the running executable (UTF-8). Exit codes: 0 normal end
// (also the silent ends: optical medium, second instance), 1 start-up error, 2 bad command line.
int RunPlayer(const std::vector<std::string>& args, const std::string& selfExe, const TGameHooksFactory& hooks);

// The running executable's path (/proc/self/exe), or fallback when it cannot be read.
std::string SelfExecutablePath(const std::string& fallback);

}  // namespace nova
