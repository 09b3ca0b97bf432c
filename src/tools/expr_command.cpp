#include <cstdio>

#include "tools/commands.h"

namespace nova::tools {

int CmdExpr(const Args&) {
  std::fprintf(stderr, "novatool: this command is not built yet\n");
  return 2;
}

}  // namespace nova::tools
