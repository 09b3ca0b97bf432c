// novaplayer: runs a game (see docs/command-line.md).
#include <string>
#include <vector>

#include "app/player.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return nova::RunPlayer(args, nova::SelfExecutablePath(argc > 0 ? argv[0] : "novaplayer"));
}
