#pragma once
// Compiled expressions built by hand for the executor's tests: operand texts are classified
// like the compiled form does (integer, real, TRUE/FALSE, "string", else a variable name).
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "params/param.h"
#include "params/param_convert.h"
#include "params/parser.h"

namespace nova::test {

inline std::unique_ptr<TCustomParam> MakeOperand(const std::string& text) {
  int32_t i = 0;
  Real r = 0;
  if (TryTextToInt(text, i)) {
    auto p = std::make_unique<TParamInt>();
    p->SetAsInt(i);
    return p;
  }
  if (TryTextToReal(text, r)) {
    auto p = std::make_unique<TParamFloat>();
    p->SetAsFloat(r);
    return p;
  }
  if (text == "TRUE" || text == "FALSE") {
    auto p = std::make_unique<TParamFlag>();
    p->SetAsBool(text == "TRUE");
    return p;
  }
  if (text.size() > 1 && text.front() == '"' && text.back() == '"') {
    auto p = std::make_unique<TParamStr>();
    p->SetAsStr(text.substr(1, text.size() - 2));
    return p;
  }
  auto p = std::make_unique<TParamVar>();
  p->Name = text;
  return p;
}

struct OpSpec {
  uint8_t op;
  std::string dest;
  std::vector<std::string> operands;
  uint8_t func = 0;
};

inline void Build(TNovaParser& parser, std::initializer_list<OpSpec> ops) {
  parser.Clear();
  for (const auto& desc : ops) {
    auto op = std::make_unique<TOpeData>();
    op->Op = desc.op;
    op->DestName = desc.dest;
    op->FuncCode = desc.func;
    for (const auto& text : desc.operands) op->Operands.push_back(MakeOperand(text));
    parser.Operations.push_back(std::move(op));
  }
}

}  // namespace nova::test
