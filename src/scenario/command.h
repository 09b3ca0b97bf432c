#pragma once
// The command base: one record of a page, built from its generic record form (header, then
// its fields in layout order). The interpreter calls Enter once on arrival, then Execute,
// which normally moves the command index on; a command that leaves the index where it was
// runs again later.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"
#include "params/parser.h"
#include "scenario/page_format.h"

namespace nova {

class TPage;
class TCallMan;

// A record's fields by the names of its layout (the layout table is the one place that gives
// their order); fields the page's version does not have read as absent (nullptr / empty).
class TFieldReader {
public:
  TFieldReader(TCommandRecord& rec, int32_t pageVersion);
  TFieldValue* Field(const char* name);  // null when absent; an unknown name is a coding error
  std::unique_ptr<TNovaParser> Expr(const char* name);
  std::string Str(const char* name);
  int32_t Int(const char* name);
  std::vector<std::unique_ptr<TNovaParser>> Exprs(const char* name);
  std::array<std::unique_ptr<TNovaParser>, kPropertyCount> Props();

private:
  TCommandRecord& rec_;
  const TCommandLayout& layout_;
  int32_t version_;
};

class TCommand {
public:
  explicit TCommand(TPage* page) : page_(page) {}
  virtual ~TCommand() = default;
  TCommand(const TCommand&) = delete;
  TCommand& operator=(const TCommand&) = delete;

  int Code() const { return layout_->Code; }
  const TCommandLayout& Layout() const { return *layout_; }
  // The record's flag, unless the command's class fixes it (see the layout table).
  bool ContinueFlag() const { return layout_->ForcedContinue >= 0 ? layout_->ForcedContinue != 0 : continue_ != 0; }
  bool IsCommentedOut() const { return layout_->AlwaysCommentedOut || commentedOut_ != 0; }
  void SetCommentedOut(bool on) { commentedOut_ = on ? 1 : 0; }
  virtual bool BlocksEvents() const { return false; }
  virtual bool IsLabel(const std::string&) const { return false; }
  // Header and fields of the record (the expressions are moved out of it).
  void LoadFromRecord(TCommandRecord& rec, int32_t pageVersion);
  virtual void Enter(TCallMan&) {}
  virtual void Execute(TCallMan& cm);  // moves to the next command
  virtual void SaveState(TStream&) {}
  virtual void LoadState(TStream&) {}
  virtual void Abort(TCallMan&) {}
  virtual bool Yields() const { return false; }

  TPage* Page() const { return page_; }
  int32_t Indent() const { return indent_; }
  int32_t Line() const { return line_; }

protected:
  virtual void LoadFields(TFieldReader&) {}

private:
  friend std::unique_ptr<TCommand> CreateCommand(TPage* page, int code);
  TPage* page_;
  const TCommandLayout* layout_ = nullptr;
  int32_t indent_ = 0;
  uint8_t commentedOut_ = 0;
  uint8_t continue_ = 0;
  int32_t line_ = 0;
};

// Expression helpers: a missing or empty expression, or a run that gave no result, has no value.
TCustomParam* Evaluate(TNovaParser* expr, TCallMan& cm);
int32_t EvalInt(TNovaParser* expr, TCallMan& cm, int32_t fallback);
bool EvalFlag(TNovaParser* expr, TCallMan& cm, bool fallback);
std::string EvalStr(TNovaParser* expr, TCallMan& cm);

// Running-state records start with "nova" + three digits.
void WriteStateTag(TStream& s);
int ReadStateTag(TStream& s);  // the version, 0 without a tag (the position is then unchanged)

// The command of a code (0..60), empty; "不正なコマンド" for any other code.
std::unique_ptr<TCommand> CreateCommand(TPage* page, int code);

}  // namespace nova
