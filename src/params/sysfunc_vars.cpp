// Functions about variables and statements: VarExists, AssignTemp, GetVarType, Calc.
#include "base/stream.h"
#include "params/compiler_internal.h"
#include "params/parser.h"
#include "params/sysfunc_internal.h"

namespace nova {
namespace {

constexpr int kMaxCalcDepth = 32;

void FnVarExists(TSysFuncCall& c) { c.ResultBool(c.Store().FindParam(c.Str(0)) != nullptr); }

void FnAssignTemp(TSysFuncCall& c) {
  std::string name = c.Str(0);
  if (name.empty() || !c.Store().FindParam(name)) return;
  c.Store().TempTarget = name;
  c.ResultBool(true);
}

void FnGetVarType(TSysFuncCall& c) { c.ResultInt(c.Whole(0).GetParamType()); }

// Compiles and runs a statement against the same store; its own errors end it silently,
// a compile error ends the calling expression.
void FnCalc(TSysFuncCall& c) {
  std::string text = compiler::Trim(c.Str(0));
  if (text.empty()) return;
  if (c.CalcDepth() >= kMaxCalcDepth) throw ENovaError("Calc: nested too deeply");
  std::unique_ptr<TNovaParser> parser = CompileExpression(text);
  ++c.CalcDepth();
  try {
    parser->Execute(c.Store(), c.Man);
  } catch (...) {
    --c.CalcDepth();
    throw;
  }
  --c.CalcDepth();
  c.ResultBool(true);
}

}  // namespace

void AddVarFuncs(TSysFuncMan& m) {
  m.Register(50, FnVarExists);
  m.Register(84, FnAssignTemp);
  m.Register(130, FnGetVarType);
  m.Register(136, FnCalc);
}

}  // namespace nova
