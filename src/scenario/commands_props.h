#pragma once
// Commands that read, write and delete display objects by name: GetProp, SetProp, ObjDel.
#include "scenario/command.h"

namespace nova {

class TComGetProp : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override;
  std::unique_ptr<TNovaParser> object_, prop_;
  std::string varName_;
};

class TComSetProp : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override;
  std::unique_ptr<TNovaParser> object_, prop_, value_;
};

class TComObjDel : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override { object_ = f.Expr("object"); }
  std::unique_ptr<TNovaParser> object_;
};

}  // namespace nova
