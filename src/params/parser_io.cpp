// The stored form of a compiled expression, and copying one.
#include "params/parser.h"

namespace nova {
namespace {

const char* const kOpeNames[] = {"ocNone",  "ocTo",     "ocPlus",   "ocMinus",   "ocMul",     "ocDiv",  "ocMod",
                                 "ocOr",    "ocAnd",    "ocXor",    "ocDimTo",   "ocFunc",    "ocEqual", "ocBig",
                                 "ocSmall", "ocEBig",   "ocESmall", "ocShiftL",  "ocShiftR",  "ocComboStr", "ocNEqual"};

std::unique_ptr<TCustomParam> ReadOperand(TStream& s) {
  switch (s.ReadByte()) {
    case 1: {
      auto p = std::make_unique<TParamInt>();
      p->Elements[0] = s.ReadInt32();
      return p;
    }
    case 2: {
      auto p = std::make_unique<TParamFloat>();
      p->Elements[0] = s.ReadExtended();
      return p;
    }
    case 3: {
      auto p = std::make_unique<TParamFlag>();
      p->Elements[0] = s.ReadByte();
      return p;
    }
    case 4: {
      auto p = std::make_unique<TParamStr>();
      p->Elements[0] = s.ReadString();
      return p;
    }
    default: {  // 0, and any unknown kind, is a variable name
      auto p = std::make_unique<TParamVar>();
      p->Name = s.ReadString();
      return p;
    }
  }
}

void WriteOperand(TStream& s, const TCustomParam& p) {
  if (auto* i = dynamic_cast<const TParamInt*>(&p)) {
    s.WriteByte(1);
    s.WriteInt32(i->Elements.empty() ? 0 : i->Elements[0]);
  } else if (auto* f = dynamic_cast<const TParamFloat*>(&p)) {
    s.WriteByte(2);
    s.WriteExtended(f->Elements.empty() ? 0 : f->Elements[0]);
  } else if (auto* b = dynamic_cast<const TParamFlag*>(&p)) {
    s.WriteByte(3);
    s.WriteByte(b->Elements.empty() ? 0 : b->Elements[0]);
  } else if (auto* t = dynamic_cast<const TParamStr*>(&p)) {
    s.WriteByte(4);
    s.WriteString(t->Elements.empty() ? std::string() : t->Elements[0]);
  } else {
    auto* v = dynamic_cast<const TParamVar*>(&p);
    s.WriteByte(0);
    s.WriteString(v ? v->Name : std::string());
  }
}

std::unique_ptr<TCustomParam> CopyOperand(const TCustomParam& p) {
  if (auto* i = dynamic_cast<const TParamInt*>(&p)) {
    auto c = std::make_unique<TParamInt>();
    c->Elements[0] = i->Elements.empty() ? 0 : i->Elements[0];
    return c;
  }
  if (auto* f = dynamic_cast<const TParamFloat*>(&p)) {
    auto c = std::make_unique<TParamFloat>();
    c->Elements[0] = f->Elements.empty() ? 0 : f->Elements[0];
    return c;
  }
  if (auto* b = dynamic_cast<const TParamFlag*>(&p)) {
    auto c = std::make_unique<TParamFlag>();
    c->Elements[0] = b->Elements.empty() ? 0 : b->Elements[0];
    return c;
  }
  if (auto* t = dynamic_cast<const TParamStr*>(&p)) {
    auto c = std::make_unique<TParamStr>();
    c->Elements[0] = t->Elements.empty() ? std::string() : t->Elements[0];
    return c;
  }
  auto c = std::make_unique<TParamVar>();
  if (auto* v = dynamic_cast<const TParamVar*>(&p)) c->Name = v->Name;  // never the binding
  return c;
}

}  // namespace

const char* OpeCodeName(uint8_t op) { return op < sizeof(kOpeNames) / sizeof(kOpeNames[0]) ? kOpeNames[op] : ""; }

void TNovaParser::LoadFromStream(TStream& s) {
  Clear();
  int32_t count = s.ReadInt32();
  // The stream is trusted, but a damaged count must not make us read zeros for ever.
  for (int32_t n = 0; n < count && s.Remaining() > 0; ++n) {
    auto o = std::make_unique<TOpeData>();
    o->Op = s.ReadByte();
    o->DestName = s.ReadString();
    int32_t operands = s.ReadInt32();
    if (o->Op == ocFunc) o->FuncCode = s.ReadByte();
    for (int32_t k = 0; k < operands && s.Remaining() > 0; ++k) o->Operands.push_back(ReadOperand(s));
    Operations.push_back(std::move(o));
  }
}

void TNovaParser::SaveToStream(TStream& s) const {
  s.WriteInt32(static_cast<int32_t>(Operations.size()));
  for (const auto& o : Operations) {
    s.WriteByte(o->Op);
    s.WriteString(o->DestName);
    s.WriteInt32(static_cast<int32_t>(o->Operands.size()));
    if (o->Op == ocFunc) s.WriteByte(o->FuncCode);
    for (const auto& p : o->Operands) WriteOperand(s, *p);
  }
}

void TNovaParser::Assign(const TNovaParser& other) {
  if (&other == this) return;
  Operations.clear();
  for (const auto& src : other.Operations) {
    auto o = std::make_unique<TOpeData>();
    o->Op = src->Op;
    o->DestName = src->DestName;
    o->FuncCode = src->FuncCode;
    for (const auto& p : src->Operands) o->Operands.push_back(CopyOperand(*p));
    Operations.push_back(std::move(o));
  }
}

}  // namespace nova
