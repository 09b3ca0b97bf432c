#include "params/parser.h"

namespace nova {

std::unique_ptr<TNovaParser> CompileExpression(const std::string& text) {
  TKtMemoryStream code;
  {
    TBuildNovaParser build;
    build.Build(text);
    build.SaveToStream(code);
  }
  code.SetPosition(0);
  auto parser = std::make_unique<TNovaParser>();
  parser->LoadFromStream(code);
  return parser;
}

}  // namespace nova
