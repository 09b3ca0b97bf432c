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

void TComMovieStop::LoadFields(TFieldReader& f) {
  object_ = f.Expr("object");
  fade_ = f.Expr("fade");
  waitExpr_ = f.Expr("wait");
  blockExpr_ = f.Expr("block");
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

void TComFlip::LoadFields(TFieldReader& f) {
  kind_ = f.Expr("kind");
  durationExpr_ = f.Expr("time");
  reverse_ = f.Expr("reverse");
  carryMode_ = f.Expr("mode");
  patterns_ = f.Exprs("patterns");
  clearOld_ = f.Expr("clear");
  param1_ = f.Expr("param1");
  param2_ = f.Expr("param2");
  textParam_ = f.Expr("text");
  blockExpr_ = f.Expr("block");
}

void TComFlip::SaveState(TStream& s) {
  WriteStateTag(s);
  s.WriteByte(blockEvents_);
  s.WriteByte(clearOldFlag_);
}

void TComFlip::LoadState(TStream& s) {
  int version = ReadStateTag(s);
  if (version >= 100) {
    blockEvents_ = s.ReadByte();
    clearOldFlag_ = s.ReadByte();
  }
}

}  // namespace nova
