#pragma once
// Blocks, loops, labels, jumps, calls and variables.
#include "scenario/command.h"

namespace nova {

class TComIf : public TCommand {
public:
  using TCommand::TCommand;
  int Code() const override { return 0; }
  void Execute(TCallMan& cm) override;
  TNovaParser* Condition() const { return cond_.get(); }

protected:
  void LoadFields(TFieldCursor& f) override { cond_ = f.Expr(); }
  std::unique_ptr<TNovaParser> cond_;
};

// Reached by normal flow (the branch before it ran): skips itself and its block.
class TComElseif : public TComIf {
public:
  using TComIf::TComIf;
  int Code() const override { return 1; }
  void Execute(TCallMan& cm) override;
};

class TComElse : public TCommand {
public:
  using TCommand::TCommand;
  int Code() const override { return 2; }
  bool ContinueFlag() const override { return true; }
  void Execute(TCallMan& cm) override;
};

class TComLabel : public TCommand {
public:
  using TCommand::TCommand;
  int Code() const override { return 3; }
  bool IsLabel(const std::string& name) const override { return text_ == name; }
  const std::string& Text() const { return text_; }

protected:
  void LoadFields(TFieldCursor& f) override { text_ = f.Str(); }
  std::string text_;
};

class TComComment : public TComLabel {
public:
  using TComLabel::TComLabel;
  int Code() const override { return 27; }
  bool IsCommentedOut() const override { return true; }
  bool ContinueFlag() const override { return false; }
};

class TComJump : public TCommand {
public:
  using TCommand::TCommand;
  int Code() const override { return 4; }
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldCursor& f) override;
  std::string pageName_;
  int32_t target_ = 0;
  std::unique_ptr<TNovaParser> cond_;
};

class TComCall : public TCommand {
public:
  using TCommand::TCommand;
  int Code() const override { return 5; }
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldCursor& f) override;
  std::string pageName_;
  int32_t target_ = 0;
  std::string resultVar_;
  std::unique_ptr<TNovaParser> cond_;
  std::vector<std::unique_ptr<TNovaParser>> args_;
};

class TComExit : public TCommand {
public:
  using TCommand::TCommand;
  int Code() const override { return 6; }
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldCursor& f) override { cond_ = f.Expr(); }
  std::unique_ptr<TNovaParser> cond_;
};

class TComBreak : public TComExit {
public:
  using TComExit::TComExit;
  int Code() const override { return 34; }
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldCursor& f) override {
    cond_ = f.Expr();
    target_ = f.Int();
  }
  int32_t target_ = 0;
};

class TComContinue : public TComExit {
public:
  using TComExit::TComExit;
  int Code() const override { return 35; }
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldCursor& f) override {
    cond_ = f.Expr();
    target_ = f.Int();
  }
  int32_t target_ = 0;
};

class TComWhile : public TCommand {
public:
  using TCommand::TCommand;
  int Code() const override { return 31; }
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldCursor& f) override {
    cond_ = f.Expr();
    end_ = f.Int();
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
  int Code() const override { return 32; }
  bool ContinueFlag() const override { return true; }
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldCursor& f) override { statement_ = f.Expr(); }
  std::unique_ptr<TNovaParser> statement_;
};

class TComWhileLoop : public TComWhileInit {
public:
  using TComWhileInit::TComWhileInit;
  int Code() const override { return 33; }
  bool ContinueFlag() const override { return TCommand::ContinueFlag(); }
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldCursor& f) override {
    statement_ = f.Expr();
    target_ = f.Int();
  }
  int32_t target_ = 0;
};

class TComCalc : public TCommand {
public:
  using TCommand::TCommand;
  int Code() const override { return 14; }
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldCursor& f) override { statement_ = f.Expr(); }
  std::unique_ptr<TNovaParser> statement_;
};

class TComVarNew : public TCommand {
public:
  using TCommand::TCommand;
  int Code() const override { return 15; }
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldCursor& f) override;
  std::string name_;
  uint8_t type_ = 0;
  std::unique_ptr<TNovaParser> init_;
  uint8_t scope_ = 0;
};

class TComVarDel : public TCommand {
public:
  using TCommand::TCommand;
  int Code() const override { return 16; }
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldCursor& f) override { name_ = f.Str(); }
  std::string name_;
};

}  // namespace nova
