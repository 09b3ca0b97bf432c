// Dispatch of the built-in functions and the Random generator state.
#include <cmath>

#include "params/param_convert.h"
#include "params/sysfunc_internal.h"

namespace nova {
namespace {

uint32_t gRandomState = 0;

}  // namespace

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
  if (!ref || !ref->Target || !ref->Target->Param) return nullptr;
  // A temporary that holds a value (not an element reference) carries a constant or a result.
  TParamCollectionItem* target = ref->Target;
  if (TParamCollection::IsTemporaryName(target->Name()) && target->Param->ClassCode() != kClassVar) return nullptr;
  return target->Param.get();
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

std::string NotAvailable(const char* name) { return std::string(name) + ": not available yet"; }

TSysFuncMan::TSysFuncMan(TParamCollection& store) : store_(store) {
  AddStringFuncs(*this);
  AddNumberFuncs(*this);
  AddDateFuncs(*this);
  AddArrayFuncs(*this);
  AddPathFuncs(*this);
  AddVarFuncs(*this);
}

TSysFuncMan::~TSysFuncMan() = default;

void TSysFuncMan::Register(int code, TSysFuncImpl impl) {
  if (code >= 0 && code < kSysFuncCount) impl_[static_cast<size_t>(code)] = std::move(impl);
}

bool TSysFuncMan::IsRegistered(int code) const {
  return code >= 0 && code < kSysFuncCount && static_cast<bool>(impl_[static_cast<size_t>(code)]);
}

void TSysFuncMan::RegisterVariable(int number, TSystemVarBinding binding) {
  store_.BindSystemVar(number, std::move(binding));
}

void TSysFuncMan::UnregisterVariable(int number) { store_.UnbindSystemVar(number); }

void TSysFuncMan::RegisterClock(TClockBinding clock) { store_.BindClock(std::move(clock)); }

void TSysFuncMan::Call(TParamCollectionItem* dest, int funcCode, int lastIndex,
                       std::vector<std::unique_ptr<TCustomParam>>& args) {
  if (funcCode < 0 || funcCode >= kSysFuncCount) throw ENovaError(Format("function %d: unknown", funcCode));
  const TSysFuncImpl& impl = impl_[static_cast<size_t>(funcCode)];
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
