// Functions about variables and statements: VarExists, AssignTemp, GetVarType, Calc, and the
// save captions the project provides.
#include "base/stream.h"
#include "params/compiler_internal.h"
#include "params/environment.h"
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

void FnGetSaveCaption(TSysFuncCall& c) { c.ResultStr(Environment().GetSaveCaption(c.Int(0))); }

void FnListSaveCaption(TSysFuncCall& c) {
  std::vector<std::pair<std::string, int32_t>> saves = Environment().SaveCaptions();
  auto count = static_cast<int32_t>(saves.size());
  if (c.Has(0)) {
    TCustomParam& v = c.OutWhole(0);
    v.SetDims({count});
    for (int32_t i = 0; i < count; ++i) v.SetStrAt(i, saves[static_cast<size_t>(i)].first);
  }
  if (c.Has(1)) {
    TCustomParam& v = c.OutWhole(1);
    v.SetDims({count});
    for (int32_t i = 0; i < count; ++i) v.SetIntAt(i, saves[static_cast<size_t>(i)].second);
  }
  c.ResultInt(count);
}

}  // namespace

void AddVarFuncs(TSysFuncImpl* t) {
  t[27] = FnGetSaveCaption;
  t[50] = FnVarExists;
  t[84] = FnAssignTemp;
  t[130] = FnGetVarType;
  t[134] = FnListSaveCaption;
  t[136] = FnCalc;
}

}  // namespace nova
