#pragma once
// Flow control of the whole game: waits, frame ends, save and load requests, resets, the end.
#include "scenario/command.h"

namespace nova {

class TComWait : public TCommand {
public:
  using TCommand::TCommand;
  bool BlocksEvents() const override { return blockEvents_ != 0; }
  bool Yields() const override { return true; }
  void Enter(TCallMan& cm) override;
  void Execute(TCallMan& cm) override;
  void SaveState(TStream& s) override;
  void LoadState(TStream& s) override;
  int32_t Remaining() const { return time_; }

protected:
  void LoadFields(TFieldReader& f) override;
  std::unique_ptr<TNovaParser> cond_, timeExpr_, blockExpr_;
  int32_t time_ = 0;
  int32_t firstFrame_ = 0;
  uint8_t blockEvents_ = 0;
};

class TComDoEvent : public TCommand {
public:
  using TCommand::TCommand;
  bool Yields() const override { return true; }
};

class TComGameSave : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override;
  std::unique_ptr<TNovaParser> slot_, caption_;
  std::string afterLoadPage_;
  int32_t afterLoadIndex_ = 0;
};

class TComGameLoad : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override { slot_ = f.Expr("slot"); }
  std::unique_ptr<TNovaParser> slot_;
};

class TComPCReset : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override;
  std::string pageName_;
  int32_t target_ = 0;
  uint8_t fullReset_ = 0;
};

class TComReset : public TComPCReset {
public:
  using TComPCReset::TComPCReset;
  void Execute(TCallMan& cm) override;
};

class TComTerminate : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;
};

}  // namespace nova
