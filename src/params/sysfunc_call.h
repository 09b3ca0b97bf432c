#pragma once
// What a function implementation sees of one call: typed argument reads, the result setters
// and the variable behind a variable argument.
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "params/param.h"
#include "params/param_collection.h"
#include "params/sysfunc.h"

namespace nova {

struct TSysFuncCall {
  TSysFuncMan& Man;
  TCustomParam* Dest;  // the result temporary's value (never null inside an implementation)
  std::vector<std::unique_ptr<TCustomParam>>& Args;
  int Count;  // arguments actually given
  int Code;
  std::vector<std::unique_ptr<TCustomParam>> Scratch;

  TParamCollection& Store() { return Man.store_; }
  int& CalcDepth() { return Man.calcDepth_; }
  const char* Name() const { return SysFuncInfo(Code).Name; }

  bool Has(int i) const { return i < Count; }
  TCustomParam& Arg(int i) { return *Args[static_cast<size_t>(i)]; }
  int32_t Int(int i) { return Arg(i).GetAsInt(); }
  Real Float(int i) { return Arg(i).GetAsFloat(); }
  bool Bool(int i) { return Arg(i).GetAsBool(); }
  std::string Str(int i) { return Arg(i).GetAsStr(); }

  // The variable an argument is bound to, or null when the argument is a constant (the
  // compiled form hands a constant over in a temporary: that is no variable either).
  TCustomParam* Variable(int i);
  // The variable, or the constant itself.
  TCustomParam& Whole(int i) {
    TCustomParam* v = Variable(i);
    return v ? *v : Arg(i);
  }
  // What a var argument is written through: the operand itself when it refers to a variable
  // (so element references work), else a scratch copy, so that a constant of the compiled
  // expression never changes.
  TCustomParam& Out(int i);
  // The same for functions that change a whole variable (dimensions included).
  TCustomParam& OutWhole(int i);
  // The variable, or the error `message` when the argument is no variable.
  TCustomParam& RequireVariable(int i, const std::string& message) {
    TCustomParam* v = Variable(i);
    if (!v) throw ENovaError(message);
    return *v;
  }

  void ResultInt(int32_t v) { Dest->SetAsInt(v); }
  void ResultFloat(Real v);  // a result that is not a finite number is the runtime's error
  void ResultBool(bool v) { Dest->SetAsBool(v); }
  void ResultStr(const std::string& v) { Dest->SetAsStr(v); }
};

}  // namespace nova
