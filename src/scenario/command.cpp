#include "scenario/command.h"

#include <cstring>

#include "scenario/call_man.h"

namespace nova {

TFieldCursor::TFieldCursor(TCommandRecord& rec, int32_t pageVersion)
    : rec_(rec), layout_(CommandLayout(rec.Code())), version_(pageVersion) {}

TFieldValue* TFieldCursor::Next() {
  if (layoutPos_ >= layout_.Fields.size()) return nullptr;
  const TFieldLayout& l = layout_.Fields[layoutPos_++];
  if (l.MinVersion > version_) return nullptr;
  if (fieldPos_ >= rec_.Fields.size()) return nullptr;
  return &rec_.Fields[fieldPos_++];
}

std::unique_ptr<TNovaParser> TFieldCursor::Expr() {
  TFieldValue* v = Next();
  return v ? std::move(v->Expr) : nullptr;
}

std::string TFieldCursor::Str() {
  TFieldValue* v = Next();
  return v ? std::move(v->Str) : std::string();
}

int32_t TFieldCursor::Int() {
  TFieldValue* v = Next();
  return v ? v->Int : 0;
}

std::vector<std::unique_ptr<TNovaParser>> TFieldCursor::Exprs() {
  TFieldValue* v = Next();
  return v ? std::move(v->Exprs) : std::vector<std::unique_ptr<TNovaParser>>();
}

std::array<std::unique_ptr<TNovaParser>, kPropertyCount> TFieldCursor::Props() {
  TFieldValue* v = Next();
  std::array<std::unique_ptr<TNovaParser>, kPropertyCount> out{};
  if (v)
    for (size_t i = 0; i < out.size(); ++i) out[i] = std::move(v->Props[i]);
  return out;
}

void TCommand::LoadFromRecord(TCommandRecord& rec, int32_t pageVersion) {
  indent_ = rec.Indent;
  commentedOut_ = rec.CommentedOut;
  continue_ = rec.Continue;
  line_ = rec.Line;
  TFieldCursor cursor(rec, pageVersion);
  LoadFields(cursor);
}

void TCommand::Execute(TCallMan& cm) { cm.Next(); }

TCustomParam* Evaluate(TNovaParser* expr, TCallMan& cm) {
  if (!expr || expr->Empty()) return nullptr;
  expr->Execute(cm.Store(), cm.Funcs());
  return expr->Result.get();
}

int32_t EvalInt(TNovaParser* expr, TCallMan& cm, int32_t fallback) {
  TCustomParam* v = Evaluate(expr, cm);
  return v ? v->GetAsInt() : fallback;
}

bool EvalFlag(TNovaParser* expr, TCallMan& cm, bool fallback) {
  TCustomParam* v = Evaluate(expr, cm);
  return v ? v->GetAsBool() : fallback;
}

std::string EvalStr(TNovaParser* expr, TCallMan& cm) {
  TCustomParam* v = Evaluate(expr, cm);
  return v ? v->GetAsStr() : std::string();
}

void WriteStateTag(TStream& s) { s.WriteBuffer("nova100", 7); }

int ReadStateTag(TStream& s) {
  int64_t start = s.Position();
  char tag[7] = {};
  int64_t got = s.Read(tag, 7);
  if (got < 4 || std::memcmp(tag, "nova", 4) != 0) {
    s.SetPosition(start);
    return 0;
  }
  int v = 0;
  for (int i = 4; i < 7; ++i) {
    if (i >= got || tag[i] < '0' || tag[i] > '9') return 0;
    v = v * 10 + (tag[i] - '0');
  }
  return v;
}

}  // namespace nova
