// novatool: archives, expressions, the scenario compiler and disassembler.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "base/encoding.h"
#include "base/error.h"
#include "tools/commands.h"

namespace {

struct Command {
  const char* name;
  int (*run)(const nova::tools::Args&);
  const char* usage;
};

const Command kCommands[] = {
    {"list", nova::tools::CmdList, "list ARCHIVE                 entries: name, size, stored/compressed, checksum"},
    {"cat", nova::tools::CmdCat, "cat ARCHIVE NAME             one entry to stdout"},
    {"extract", nova::tools::CmdExtract, "extract ARCHIVE DIR          every entry under DIR"},
    {"pack", nova::tools::CmdPack, "pack DIR -o OUT [--version 0|100|101|102] [--exe STUB] [--ext] [--install NAME]"},
    {"expr", nova::tools::CmdExpr, "expr [--var NAME:TYPE[DIMS][=VALUE]]... [--hex] [--dump-vars] TEXT..."},
    {"build", nova::tools::CmdBuild, "build SRC_DIR -o OUT_DIR [--install NAME] | build PAGE_SOURCE -o PAGE.nsb"},
    {"disasm", nova::tools::CmdDisasm, "disasm FILE.nsb | disasm game.dat PAGE | disasm game.dat -o DIR"},
    {"image", nova::tools::CmdImage, "image info|decode|encode FILE [-o OUT] [--key N] [--frame K] [--compression C]"},
    {"save", nova::tools::CmdSave, "save list|show FILE [--json] [--game GAME_FOLDER|game.dat]"},
    {"film", nova::tools::CmdFilm, "film build DESCRIPTION -o FILE.nmt | film dump FILE.nmt [-o DESCRIPTION]"},
    {"text", nova::tools::CmdText,
     "text layout [--width W] [--page-height H] [--line-spacing S] [--font-size N] [--metrics fixed|FACE] MARKUP"},
};

void Usage(FILE* out) {
  std::fprintf(out, "usage: novatool COMMAND [ARGS]\n\ncommands:\n");
  for (const Command& c : kCommands) std::fprintf(out, "  %s\n", c.usage);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
    Usage(argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  nova::tools::Args args(argv + 2, argv + argc);
  for (const Command& c : kCommands) {
    if (std::strcmp(argv[1], c.name) != 0) continue;
    try {
      return c.run(args);
    } catch (const nova::ENovaError& e) {
      std::fprintf(stderr, "novatool %s: %s\n", c.name, nova::SjisToUtf8(e.what()).c_str());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "novatool %s: %s\n", c.name, e.what());
    }
    return 1;
  }
  std::fprintf(stderr, "novatool: unknown command '%s'\n", argv[1]);
  Usage(stderr);
  return 2;
}
