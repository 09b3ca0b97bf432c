#include "scenario/commands_objects.h"

#include <cstring>

namespace nova {

TNovaParser* TComExprRecord::Expr(const char* name) const {
  for (const auto& [field, expr] : exprs_)
    if (std::strcmp(field, name) == 0) return expr.get();
  return nullptr;
}

void TComExprRecord::LoadFields(TFieldReader& f) {
  for (const TFieldLayout& l : Layout().Fields)
    if (l.Kind == TFieldKind::Expr) exprs_.emplace_back(l.Name, f.Expr(l.Name));
}

void TComObjectWait::SaveState(TStream& s) {
  WriteStateTag(s);
  s.WriteString(objectName_);
  s.WriteByte(wait_);
  s.WriteByte(blockEvents_);
}

void TComObjectWait::LoadState(TStream& s) {
  int version = ReadStateTag(s);
  objectName_ = s.ReadString();
  wait_ = s.ReadByte();
  if (version >= 100) blockEvents_ = s.ReadByte();
}

}  // namespace nova
