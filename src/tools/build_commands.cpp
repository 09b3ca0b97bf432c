#include <cstdio>

#include "tools/commands.h"

namespace nova::tools {

int CmdBuild(const Args&) {
  std::fprintf(stderr, "novatool: this command is not built yet\n");
  return 2;
}

int CmdDisasm(const Args&) {
  std::fprintf(stderr, "novatool: this command is not built yet\n");
  return 2;
}

}  // namespace nova::tools
