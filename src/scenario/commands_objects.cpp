#include "scenario/commands_objects.h"

namespace nova {

void TComTextIns::LoadFields(TFieldCursor& f) {
  text_ = f.Str();
  box_ = f.Expr();
  readMark_ = f.Expr();
  waitExpr_ = f.Expr();
  blockExpr_ = f.Expr();
}

void TComTextIns::SaveState(TStream& s) {
  WriteStateTag(s);
  s.WriteString(boxName_);
  s.WriteByte(wait_);
  s.WriteByte(blockEvents_);
}

void TComTextIns::LoadState(TStream& s) {
  int version = ReadStateTag(s);
  boxName_ = s.ReadString();
  wait_ = s.ReadByte();
  if (version >= 100) blockEvents_ = s.ReadByte();
}

void TComMovieStop::LoadFields(TFieldCursor& f) {
  object_ = f.Expr();
  fade_ = f.Expr();
  waitExpr_ = f.Expr();
  blockExpr_ = f.Expr();
}

void TComMovieStop::SaveState(TStream& s) {
  WriteStateTag(s);
  s.WriteString(objectName_);
  s.WriteByte(wait_);
  s.WriteByte(blockEvents_);
}

void TComMovieStop::LoadState(TStream& s) {
  int version = ReadStateTag(s);
  objectName_ = s.ReadString();
  wait_ = s.ReadByte();
  if (version >= 100) blockEvents_ = s.ReadByte();
}

void TComFlip::LoadFields(TFieldCursor& f) {
  kind_ = f.Expr();
  durationExpr_ = f.Expr();
  reverse_ = f.Expr();
  carryMode_ = f.Expr();
  patterns_ = f.Exprs();
  clearOld_ = f.Expr();
  param1_ = f.Expr();
  param2_ = f.Expr();
  textParam_ = f.Expr();
  blockExpr_ = f.Expr();
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
