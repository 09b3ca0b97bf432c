// Dispatch of the built-in functions and the Random generator state.
#include <cmath>

#include "params/environment.h"
#include "params/param_convert.h"
#include "params/sysfunc_internal.h"

namespace nova {
namespace {

uint32_t gRandomState = 0;

struct TDispatch {
  TSysFuncImpl Impl[kSysFuncCount] = {};
  TDispatch() {
    AddStringFuncs(Impl);
    AddNumberFuncs(Impl);
    AddDateFuncs(Impl);
    AddArrayFuncs(Impl);
    AddFileFuncs(Impl);
    AddVarFuncs(Impl);
  }
};

TDispatch& Dispatch() {
  static TDispatch dispatch;
  return dispatch;
}

}  // namespace

void SetSysFuncImpl(int code, TSysFuncImpl impl) {
  if (code >= 0 && code < kSysFuncCount) Dispatch().Impl[code] = impl;
}

uint32_t RandomSeed() { return gRandomState; }
void SetRandomSeed(uint32_t seed) { gRandomState = seed; }
void SeedRandomFromTime(const TDateTimeParts& now) {
  SetRandomSeed(static_cast<uint32_t>(((now.Hour * 60 + now.Min) * 60 + now.Sec) * 1000 + now.MSec));
}

// Random(n): the high 32 bits of n (unsigned) times the next state.
int32_t NextRandom(int32_t n) {
  gRandomState = gRandomState * 134775813u + 1u;
  uint64_t product = uint64_t{static_cast<uint32_t>(n)} * gRandomState;
  return static_cast<int32_t>(static_cast<uint32_t>(product >> 32));
}

TCustomParam* TSysFuncCall::Variable(int i) {
  auto* ref = dynamic_cast<TParamVar*>(&Arg(i));
  return (ref && ref->Target) ? ref->Target->Param.get() : nullptr;
}

TCustomParam& TSysFuncCall::Out(int i) {
  if (Variable(i)) return Arg(i);
  return OutWhole(i);
}

TCustomParam& TSysFuncCall::OutWhole(int i) {
  if (TCustomParam* v = Variable(i)) return *v;
  std::unique_ptr<TCustomParam> copy = CreateParam(static_cast<uint8_t>(Arg(i).GetParamType()));
  if (!copy) copy = CreateParam(PT_STR);
  copy->AssignRaw(Arg(i));
  Scratch.push_back(std::move(copy));
  return *Scratch.back();
}

void TSysFuncCall::ResultFloat(Real v) {
  if (std::isnan(v)) throw ENovaError(kInvalidFloatOperation);
  if (std::isinf(v)) throw ENovaError(kFloatOverflow);
  Dest->SetAsFloat(v);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::string NotAvailable(const char* name) { return std::string(name) + ": not available yet"; }

TSysFuncMan::TSysFuncMan(TParamCollection& store) : store_(store) {}
TSysFuncMan::~TSysFuncMan() = default;

void TSysFuncMan::Call(TParamCollectionItem* dest, int funcCode, int lastIndex,
                       std::vector<std::unique_ptr<TCustomParam>>& args) {
  if (funcCode < 0 || funcCode >= kSysFuncCount) throw ENovaError(Format("function %d: unknown", funcCode));
  TSysFuncImpl impl = Dispatch().Impl[funcCode];
  if (!impl) throw ENovaError(NotAvailable(SysFuncInfo(funcCode).Name));
  if (!dest || !dest->Param) throw ENovaError(Format("%s: no result variable", SysFuncInfo(funcCode).Name));
  int count = lastIndex + 1;
  if (count > static_cast<int>(args.size())) count = static_cast<int>(args.size());
  if (count < 0) count = 0;
  // A stored expression may carry fewer arguments than the function needs: refuse it rather
  // than read past the operands.
  if (count < SysFuncInfo(funcCode).MinArgs)
    throw ENovaError(Format("%s: too few arguments", SysFuncInfo(funcCode).Name));
  TSysFuncCall call{*this, dest->Param.get(), args, count, funcCode, {}};
  impl(call);
}

}  // namespace nova
