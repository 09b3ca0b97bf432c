#pragma once
// Blocks, loops, labels, jumps, calls and variables.
#include "scenario/command.h"

namespace nova {

class TComIf : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;
  TNovaParser* Condition() const { return cond_.get(); }

protected:
  void LoadFields(TFieldReader& f) override { cond_ = f.Expr("cond"); }
  std::unique_ptr<TNovaParser> cond_;
};

// Reached by normal flow (the branch before it ran): skips itself and its block.
class TComElseif : public TComIf {
public:
  using TComIf::TComIf;
  void Execute(TCallMan& cm) override;
};

class TComElse : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;
};

class TComLabel : public TCommand {
public:
  using TCommand::TCommand;
  bool IsLabel(const std::string& name) const override { return text_ == name; }
  const std::string& Text() const { return text_; }

protected:
  void LoadFields(TFieldReader& f) override { text_ = f.Str("name"); }
  std::string text_;
};

class TComComment : public TComLabel {
public:
  using TComLabel::TComLabel;

protected:
  void LoadFields(TFieldReader& f) override { text_ = f.Str("text"); }
};

class TComJump : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override;
  std::string pageName_;
  int32_t target_ = 0;
  std::unique_ptr<TNovaParser> cond_;
};

class TComCall : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override;
  std::string pageName_;
  int32_t target_ = 0;
  std::string resultVar_;
  std::unique_ptr<TNovaParser> cond_;
  std::vector<std::unique_ptr<TNovaParser>> args_;
};

class TComExit : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override { cond_ = f.Expr("cond"); }
  std::unique_ptr<TNovaParser> cond_;
};

class TComBreak : public TComExit {
public:
  using TComExit::TComExit;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override {
    cond_ = f.Expr("cond");
    target_ = f.Int("target");
  }
  int32_t target_ = 0;
};

class TComContinue : public TComExit {
public:
  using TComExit::TComExit;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override {
    cond_ = f.Expr("cond");
    target_ = f.Int("target");
  }
  int32_t target_ = 0;
};

class TComWhile : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override {
    cond_ = f.Expr("cond");
    end_ = f.Int("end");
  }
  std::unique_ptr<TNovaParser> cond_;
  int32_t end_ = 0;
};

// A command without additions of its own that runs one statement.
class TComRuntime : public TCommand {
public:
  using TCommand::TCommand;
};

class TComWhileInit : public TComRuntime {
public:
  using TComRuntime::TComRuntime;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override { statement_ = f.Expr("expr"); }
  std::unique_ptr<TNovaParser> statement_;
};

class TComWhileLoop : public TComWhileInit {
public:
  using TComWhileInit::TComWhileInit;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override {
    statement_ = f.Expr("expr");
    target_ = f.Int("target");
  }
  int32_t target_ = 0;
};

class TComCalc : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override { statement_ = f.Expr("expr"); }
  std::unique_ptr<TNovaParser> statement_;
};

class TComVarNew : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override;
  std::string name_;
  uint8_t type_ = 0;
  std::unique_ptr<TNovaParser> init_;
  uint8_t scope_ = 0;
};

class TComVarDel : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override { name_ = f.Str("name"); }
  std::string name_;
};

}  // namespace nova
