// TNovaParser::Execute: runs the operations of a compiled expression against the store.
// Variable operands are bound by name for each operation; destinations that begin with "____"
// are created on first use as typed temporaries and freed when the run ends. The first error
// ends the run silently; what the operations before it did stays done.
#include <cmath>
#include <cstring>

#include "base/error.h"
#include "params/executor.h"
#include "params/param_collection.h"
#include "params/param_convert.h"
#include "params/param_messages.h"
#include "params/parser.h"
#include "params/property_table.h"
#include "params/sysfunc.h"

namespace nova {

namespace {

constexpr char kArgName[] = "____arg";
constexpr uint8_t kGetPropFunction = 2;  // its temporary takes the type of the property it reads

bool IsTempName(const std::string& name) { return name.size() >= 4 && std::memcmp(name.data(), "____", 4) == 0; }

// The temporaries one run created, freed (newest first) when the run ends.
class TTempScope {
public:
  explicit TTempScope(TParamCollection& store) : store_(store) {}
  TTempScope(const TTempScope&) = delete;
  TTempScope& operator=(const TTempScope&) = delete;
  ~TTempScope() {
    for (size_t k = count_; k-- > 0;) Free(k < kInline ? inline_[k] : more_[k - kInline]);
  }
  void Add(TParamCollectionItem* item, uint8_t type) {
    if (count_ < kInline) inline_[count_] = {item, type};
    else more_.push_back({item, type});
    ++count_;
  }

private:
  struct Entry {
    TParamCollectionItem* item;
    uint8_t type;
  };
  static constexpr size_t kInline = 24;

  void Free(const Entry& e) {
    // Only an item that is still in the store is freed; temporaries are normally the last items.
    for (int i = store_.Count() - 1; i >= TParamCollection::kSystemCount; --i) {
      if (store_.Item(i) == e.item) {
        store_.FreeTemporary(e.item, e.type);
        return;
      }
    }
  }

  TParamCollection& store_;
  Entry inline_[kInline];  // only the first count_ are set
  std::vector<Entry> more_;
  size_t count_ = 0;
};

// Every variable operand returns to unbound when the operation ends, also after an error.
class TBinding {
public:
  explicit TBinding(TOpeData& op) : op_(op) {}
  TBinding(const TBinding&) = delete;
  TBinding& operator=(const TBinding&) = delete;
  ~TBinding() {
    for (auto& operand : op_.Operands) {
      if (operand->ClassCode() == kClassVar) static_cast<TParamVar*>(operand.get())->Target = nullptr;
    }
  }
  void Bind(const TParamCollection& store) {
    for (auto& operand : op_.Operands) {
      if (operand->ClassCode() != kClassVar) continue;
      auto* ref = static_cast<TParamVar*>(operand.get());
      if (ref->NameHash < 0) ref->NameHash = THashCollection::HashOf(ref->Name);
      TParamCollectionItem* target = store.FindParamCached(ref->Name, ref->NameHash, ref->Cache);
      if (!target) RaiseError(msg::NoSuchVar(ref->Name));
      ref->Target = target;
      // An array-element temporary hands its element on.
      ref->Index = target->Param->ClassCode() == kClassVar ? static_cast<TParamVar*>(target->Param.get())->Index : 0;
    }
  }

private:
  TOpeData& op_;
};

[[noreturn]] void RaiseBadOperation(const TOpeData& op) {
  std::string text = msg::BadExpression() + op.DestName + msg::OperationType() + OpeCodeName(op.Op);
  for (const auto& operand : op.Operands) text += "\r\n" + operand->GetAsStr();
  RaiseError(text);
}

TCustomParam& Operand(const TOpeData& op, size_t k) {
  if (k >= op.Operands.size()) RaiseBadOperation(op);
  return *op.Operands[k];
}

Real CheckedReal(Real r) {
  if (std::isnan(r)) RaiseError(kInvalidFloatOperation);
  if (std::isinf(r)) RaiseError(kFloatOverflow);
  return r;
}

void Arithmetic(const TOpeData& op, TCustomParam& d) {
  TCustomParam& a = Operand(op, 0);
  TCustomParam& b = Operand(op, 1);
  if (d.GetParamType() == PT_FLOAT) {
    Real x = a.GetAsFloat(), y = b.GetAsFloat(), r = 0;
    switch (op.Op) {
      case ocPlus: r = x + y; break;
      case ocMinus: r = x - y; break;
      case ocMul: r = x * y; break;
      default:
        if (y == 0) RaiseError(x == 0 || std::isnan(x) ? kInvalidFloatOperation : kFloatDivisionByZero);
        r = x / y;
        break;
    }
    d.SetAsFloat(CheckedReal(r));
    return;
  }
  // 32-bit integers that wrap: computed unsigned.
  int32_t x = a.GetAsInt(), y = b.GetAsInt();
  uint32_t ux = static_cast<uint32_t>(x), uy = static_cast<uint32_t>(y), r = 0;
  switch (op.Op) {
    case ocPlus: r = ux + uy; break;
    case ocMinus: r = ux - uy; break;
    case ocMul: r = ux * uy; break;
    default:
      if (y == 0) RaiseError(kIntDivisionByZero);
      if (x == INT32_MIN && y == -1) RaiseError(kIntOverflow);  // the processor's divide fault
      r = static_cast<uint32_t>(x / y);
      break;
  }
  d.SetAsInt(static_cast<int32_t>(r));
}

void IntegerOperation(const TOpeData& op, TCustomParam& d) {
  int32_t x = Operand(op, 0).GetAsInt(), y = Operand(op, 1).GetAsInt();
  uint32_t ux = static_cast<uint32_t>(x), uy = static_cast<uint32_t>(y), r = 0;
  switch (op.Op) {
    case ocMod:
      if (y == 0) RaiseError(kIntDivisionByZero);
      if (x == INT32_MIN && y == -1) RaiseError(kIntOverflow);
      r = static_cast<uint32_t>(x % y);
      break;
    case ocOr: r = ux | uy; break;
    case ocAnd: r = ux & uy; break;
    case ocXor: r = ux ^ uy; break;
    case ocShiftL: r = ux << (uy & 31); break;
    default: r = ux >> (uy & 31); break;  // ocShiftR: zeros enter from the left
  }
  d.SetAsInt(static_cast<int32_t>(r));
}

template <typename T>
bool Compare(uint8_t op, const T& x, const T& y) {
  switch (op) {
    case ocEqual: return x == y;
    case ocBig: return x > y;
    case ocSmall: return x < y;
    case ocEBig: return x >= y;
    case ocESmall: return x <= y;
    default: return x != y;  // ocNEqual
  }
}

bool Comparison(const TOpeData& op) {
  TCustomParam& a = Operand(op, 0);
  TCustomParam& b = Operand(op, 1);
  switch (a.GetParamType()) {
    case PT_STR: {
      std::string x = a.GetAsStr(), y = b.GetAsStr();
      size_t n = std::min(x.size(), y.size());
      int c = n ? std::memcmp(x.data(), y.data(), n) : 0;  // unsigned bytes
      if (c == 0) c = x.size() < y.size() ? -1 : x.size() > y.size() ? 1 : 0;
      return Compare(op.Op, c, 0);
    }
    case PT_FLOAT: return Compare(op.Op, a.GetAsFloat(), b.GetAsFloat());
    case PT_BOOL: return Compare(op.Op, static_cast<int>(a.GetAsBool()), static_cast<int>(b.GetAsBool()));
    default: return Compare(op.Op, a.GetAsInt(), b.GetAsInt());
  }
}

void Perform(TOpeData& op, TParamCollectionItem* dest, TSysFuncMan& funcs) {
  TCustomParam& d = *dest->Param;
  switch (op.Op) {
    case ocTo: {
      TCustomParam& a = Operand(op, 0);
      switch (d.GetParamType()) {
        case PT_INT: d.SetAsInt(a.GetAsInt()); break;
        case PT_FLOAT: d.SetAsFloat(a.GetAsFloat()); break;
        case PT_BOOL: d.SetAsBool(a.GetAsBool()); break;
        case PT_STR: d.SetAsStr(a.GetAsStr()); break;
        default: break;  // a reference destination is left alone
      }
      break;
    }
    case ocPlus:
    case ocMinus:
    case ocMul:
    case ocDiv: Arithmetic(op, d); break;
    case ocMod:
    case ocOr:
    case ocAnd:
    case ocXor:
    case ocShiftL:
    case ocShiftR: IntegerOperation(op, d); break;
    case ocComboStr: d.SetAsStr(Operand(op, 0).GetAsStr() + Operand(op, 1).GetAsStr()); break;
    case ocEqual:
    case ocBig:
    case ocSmall:
    case ocEBig:
    case ocESmall:
    case ocNEqual: d.SetAsBool(Comparison(op)); break;
    case ocFunc: funcs.Call(dest, op.FuncCode, static_cast<int>(op.Operands.size()) - 1, op.Operands); break;
    case ocDimTo: break;
    default: RaiseBadOperation(op);
  }
}

void RunOperation(TOpeData& op, TParamCollection& store, TSysFuncMan& funcs, TTempScope& temps) {
  TBinding binding(op);
  binding.Bind(store);
  if (op.DestHash < 0) op.DestHash = THashCollection::HashOf(op.DestName);
  TParamCollectionItem* dest = store.FindParamCached(op.DestName, op.DestHash, op.DestCache);
  if (!dest && IsTempName(op.DestName)) {
    uint8_t type = TemporaryType(op);
    dest = store.AddTemporary(type, op.DestName);
    temps.Add(dest, type);
    if (op.Op == ocDimTo) SetUpElement(op, static_cast<TParamVar&>(*dest->Param));
  }
  if (!dest) RaiseError(msg::NoSuchVar(op.DestName));
  Perform(op, dest, funcs);
}

}  // namespace

void SetUpElement(const TOpeData& op, TParamVar& element) {
  TCustomParam& arrayOperand = Operand(op, 0);
  if (arrayOperand.ClassCode() != kClassVar) RaiseError(msg::NoSuchVar(arrayOperand.GetAsStr()));
  auto& ref = static_cast<TParamVar&>(arrayOperand);
  TParamCollectionItem* target = ref.Target;
  TCustomParam& array = *target->Param;

  size_t count = op.Operands.size() - 1;
  std::vector<int32_t> indices(count);
  for (size_t k = 0; k < count; ++k) indices[k] = op.Operands[k + 1]->GetAsInt();
  auto fail = [&](const std::string& why) {
    std::string text = ref.Name + "[";
    for (size_t k = 0; k < count; ++k) text += (k ? "," : "") + IntToText(indices[k]);
    RaiseError(text + "]\r\n" + why);
  };
  if (array.GetDimCount() != static_cast<int>(count)) fail(msg::BadSubscript());
  int64_t flat = 0, stride = 1;
  for (size_t k = count; k-- > 0;) {
    flat += stride * indices[k];
    stride *= array.GetDim(static_cast<int>(k));
  }
  // A negative index passes here and fails at the first access.
  if (flat >= array.GetCount()) fail(msg::SubscriptBeyondCount());
  if (ReferenceChainReaches(target->Param.get(), &element)) fail(msg::BadSubscript());  // its own element
  element.Name = ref.Name;
  element.Target = target;
  element.Index = flat < INT32_MIN ? -1 : static_cast<int32_t>(flat);
}

uint8_t TemporaryType(const TOpeData& op) {
  switch (op.Op) {
    case ocTo: return static_cast<uint8_t>(Operand(op, 0).GetParamType());
    case ocPlus: {
      int t = Operand(op, 0).GetParamType();
      return t == PT_STR ? PT_STR : t == PT_FLOAT ? PT_FLOAT : PT_INT;
    }
    case ocMinus:
    case ocMul:
    case ocDiv: return Operand(op, 0).GetParamType() == PT_FLOAT ? PT_FLOAT : PT_INT;
    case ocMod:
    case ocOr:
    case ocAnd:
    case ocXor:
    case ocShiftL:
    case ocShiftR: return PT_INT;
    case ocEqual:
    case ocBig:
    case ocSmall:
    case ocEBig:
    case ocESmall:
    case ocNEqual: return PT_BOOL;
    case ocComboStr: return PT_STR;
    case ocDimTo: return PT_NONE;
    case ocFunc:
      if (op.FuncCode == kGetPropFunction) {
        uint8_t t = op.Operands.size() >= 2 ? PropertyType(op.Operands[1]->GetAsInt()) : uint8_t{PT_NONE};
        if (t == PT_NONE) RaiseError(msg::BadGetPropArgument());
        return t;
      }
      return SysFuncInfo(op.FuncCode).ResultType;
    default: RaiseBadOperation(op);
  }
}

void TNovaParser::Clear() {
  Operations.clear();
  Result.reset();
}

void TNovaParser::Execute(TParamCollection& store, TSysFuncMan& funcs) {
  Result.reset();
  TTempScope temps(store);
  try {
    for (auto& op : Operations) RunOperation(*op, store, funcs, temps);
  } catch (const std::exception&) {
    // An error ends the expression without a message.
  }
  if (!Operations.empty() && Operations.back()->Op == ocTo && Operations.back()->DestName == kArgName) {
    try {
      Result = store.CopyParam(kArgName);
    } catch (const std::exception&) {
      Result.reset();
    }
  }
}

}  // namespace nova
