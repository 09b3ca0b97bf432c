#include "scenario/commands_flow.h"

#include "base/error.h"
#include "params/param_collection.h"
#include "scenario/call_man.h"
#include "scenario/messages.h"

namespace nova {

namespace {

// A condition that gives no value does not hold back the command it guards.
bool CondHolds(TNovaParser* cond, TCallMan& cm) { return EvalFlag(cond, cm, true); }

// Index of the first command after start whose indent is not greater than indent.
int32_t SkipBlock(const TPage& page, int32_t start, int32_t indent) {
  int32_t i = start;
  while (page.Contains(i) && page.Command(i)->Indent() > indent) ++i;
  return i;
}

}  // namespace

void TComIf::Execute(TCallMan& cm) {
  const int32_t self = cm.Index();
  if (CondHolds(cond_.get(), cm)) {
    cm.SetIndex(self + 1);
    return;
  }
  const TPage& page = *Page();
  int32_t i = self + 1;
  while (page.Contains(i)) {
    TCommand* c = page.Command(i);
    if (c->Indent() > Indent()) {
      ++i;
      continue;
    }
    if (c->Indent() < Indent()) break;
    if (c->Code() == 1) {
      if (CondHolds(static_cast<TComElseif*>(c)->Condition(), cm)) {
        cm.SetIndex(i + 1);
        return;
      }
      ++i;
      continue;
    }
    if (c->Code() == 2) {
      cm.SetIndex(i + 1);
      return;
    }
    break;
  }
  cm.SetIndex(i);
}

void TComElseif::Execute(TCallMan& cm) { cm.SetIndex(SkipBlock(*Page(), cm.Index() + 1, Indent())); }

void TComElse::Execute(TCallMan& cm) { cm.SetIndex(SkipBlock(*Page(), cm.Index() + 1, Indent())); }

void TComJump::LoadFields(TFieldReader& f) {
  pageName_ = f.Str("page");
  target_ = f.Int("target");
  cond_ = f.Expr("cond");
}

void TComJump::Execute(TCallMan& cm) {
  if (!CondHolds(cond_.get(), cm) || !cm.Host().CheckFile(pageName_)) {
    cm.Next();
    return;
  }
  const int32_t index = cm.Index();
  TPage* p;
  try {
    p = cm.GetPage(pageName_, true);
  } catch (...) {
    cm.SetIndex(index + 1);  // the page could not be read: go on after the jump
    throw;
  }
  cm.SetCurrentPage(p);
  cm.SetIndex(target_);
}

void TComCall::LoadFields(TFieldReader& f) {
  pageName_ = f.Str("page");
  target_ = f.Int("target");
  resultVar_ = f.Str("result");
  cond_ = f.Expr("cond");
  args_ = f.Exprs("args");
}

void TComCall::Execute(TCallMan& cm) {
  if (!CondHolds(cond_.get(), cm) || !cm.Host().CheckFile(pageName_)) {
    cm.Next();
    return;
  }
  std::vector<std::string> args;
  for (auto& a : args_)
    if (TCustomParam* v = Evaluate(a.get(), cm)) args.push_back(v->GetAsStr());
  const int32_t index = cm.Index();
  try {
    cm.CallPage(pageName_, target_, resultVar_, std::move(args));
  } catch (...) {
    cm.SetIndex(index + 1);
    throw;
  }
}

void TComExit::Execute(TCallMan& cm) {
  if (CondHolds(cond_.get(), cm))
    cm.EndPage();
  else
    cm.Next();
}

namespace {
// Break and Continue: a true condition jumps to the target, or leaves the page when the target
// is negative; otherwise the next command.
void JumpOrLeave(TNovaParser* cond, int32_t target, TCallMan& cm) {
  if (!CondHolds(cond, cm))
    cm.Next();
  else if (target < 0)
    cm.EndPage();
  else
    cm.SetIndex(target);
}
}  // namespace

void TComBreak::Execute(TCallMan& cm) { JumpOrLeave(cond_.get(), target_, cm); }

void TComContinue::Execute(TCallMan& cm) { JumpOrLeave(cond_.get(), target_, cm); }

void TComWhile::Execute(TCallMan& cm) {
  if (EvalFlag(cond_.get(), cm, false))
    cm.Next();
  else
    cm.SetIndex(end_);
}

void TComWhileInit::Execute(TCallMan& cm) {
  cm.Next();
  Evaluate(statement_.get(), cm);
}

void TComWhileLoop::Execute(TCallMan& cm) {
  cm.SetIndex(target_);
  Evaluate(statement_.get(), cm);
}

void TComCalc::Execute(TCallMan& cm) {
  cm.Next();
  Evaluate(statement_.get(), cm);
}

void TComVarNew::LoadFields(TFieldReader& f) {
  name_ = f.Str("name");
  type_ = static_cast<uint8_t>(f.Int("type"));
  init_ = f.Expr("value");
  scope_ = static_cast<uint8_t>(f.Int("scope"));
}

void TComVarNew::Execute(TCallMan& cm) {
  cm.Next();
  if (name_.empty()) RaiseError(msg::NoVariableName());
  static TNovaParser empty;
  VarNew(cm.Store(), name_, type_, init_ ? *init_ : empty, scope_, cm.Funcs());
}

void TComVarDel::Execute(TCallMan& cm) {
  cm.Next();
  VarDel(cm.Store(), name_);
}

}  // namespace nova
