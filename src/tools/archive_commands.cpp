#include <cstdio>

#include "tools/commands.h"

namespace nova::tools {

int CmdList(const Args&) {
  std::fprintf(stderr, "novatool: this command is not built yet\n");
  return 2;
}

int CmdCat(const Args&) {
  std::fprintf(stderr, "novatool: this command is not built yet\n");
  return 2;
}

int CmdExtract(const Args&) {
  std::fprintf(stderr, "novatool: this command is not built yet\n");
  return 2;
}

int CmdPack(const Args&) {
  std::fprintf(stderr, "novatool: this command is not built yet\n");
  return 2;
}

}  // namespace nova::tools
