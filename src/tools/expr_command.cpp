// novatool expr [--var NAME:TYPE[DIMS][=VALUE]]... [--hex] [--dump-vars] TEXT...
#include <cstdio>
#include <iostream>

#include "base/error.h"
#include "authoring/expr_runner.h"
#include "params/var_dump.h"
#include "tools/commands.h"

namespace nova::tools {

namespace {
int ExprUsage() {
  std::fprintf(stderr,
               "usage: novatool expr [--var NAME:TYPE[DIMS][=VALUE]]... [--hex] [--dump-vars] TEXT...\n"
               "  TYPE is int, real, flag or str; DIMS like [3,4]\n");
  return 2;
}
}  // namespace

int CmdExpr(const Args& args) {
  TExprWorkbench bench;
  TParamCollection& store = bench.Store();
  bool hex = false, dumpVars = false;
  std::vector<std::string> texts;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--hex") {
      hex = true;
    } else if (a == "--dump-vars") {
      dumpVars = true;
    } else if (a == "--var" || a.rfind("--var=", 0) == 0) {
      std::string declaration;
      if (a == "--var") {
        if (++i >= args.size()) return ExprUsage();
        declaration = args[i];
      } else {
        declaration = a.substr(6);
      }
      try {
        DeclareVariable(store, declaration);
      } catch (const ENovaError& e) {
        std::fprintf(stderr, "novatool expr: %s\n", e.what());
        return 2;
      }
    } else if (a == "--") {
      texts.insert(texts.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    } else if (a.size() > 2 && a.rfind("--", 0) == 0) {
      std::fprintf(stderr, "novatool expr: unknown option %s\n", a.c_str());
      return ExprUsage();
    } else {
      texts.push_back(a);
    }
  }
  if (texts.empty()) return ExprUsage();
  bool allCompiled = true;
  for (const std::string& text : texts) {
    std::string line;
    allCompiled &= RunExpressionLine(store, bench.Funcs(), text, hex, line);
    std::cout << line << '\n';
  }
  if (dumpVars) DumpVars(store, std::cout);
  std::cout.flush();
  return allCompiled ? 0 : 1;
}

}  // namespace nova::tools
