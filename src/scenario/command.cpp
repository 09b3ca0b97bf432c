#include "scenario/command.h"

#include <cstring>

#include "base/error.h"
#include "scenario/call_man.h"

namespace nova {

TFieldReader::TFieldReader(TCommandRecord& rec, int32_t pageVersion)
    : rec_(rec), layout_(CommandLayout(rec.Code())), version_(pageVersion) {}

TFieldValue* TFieldReader::Field(const char* name) {
  // The record holds one value per layout field that exists in the page's version, in order.
  size_t stored = 0;
  for (const TFieldLayout& l : layout_.Fields) {
    bool present = l.MinVersion <= version_;
    if (std::strcmp(l.Name, name) == 0) return present && stored < rec_.Fields.size() ? &rec_.Fields[stored] : nullptr;
    if (present) ++stored;
  }
  RaiseError(Format("%s: no field \"%s\"", layout_.Name, name));
}

std::unique_ptr<TNovaParser> TFieldReader::Expr(const char* name) {
  TFieldValue* v = Field(name);
  return v ? std::move(v->Expr) : nullptr;
}

std::string TFieldReader::Str(const char* name) {
  TFieldValue* v = Field(name);
  return v ? std::move(v->Str) : std::string();
}

int32_t TFieldReader::Int(const char* name) {
  TFieldValue* v = Field(name);
  return v ? v->Int : 0;
}

std::vector<std::unique_ptr<TNovaParser>> TFieldReader::Exprs(const char* name) {
  TFieldValue* v = Field(name);
  return v ? std::move(v->Exprs) : std::vector<std::unique_ptr<TNovaParser>>();
}

std::array<std::unique_ptr<TNovaParser>, kPropertyCount> TFieldReader::Props() {
  TFieldValue* v = Field("props");
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
  TFieldReader fields(rec, pageVersion);
  LoadFields(fields);
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
