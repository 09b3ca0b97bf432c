#pragma once
// Record shapes that several commands share: a list of named expressions, and the running
// state of a command that waits for an object. (Object creation, properties, cabinets, Flip,
// text, media and motions have files of their own.)
#include "scenario/command.h"

namespace nova {

// A command whose record is a list of expressions (object name, settings ...), kept by the
// names the layout table gives them.
class TComExprRecord : public TCommand {
public:
  using TCommand::TCommand;
  TNovaParser* Expr(const char* name) const;

protected:
  void LoadFields(TFieldReader& f) override;
  std::vector<std::pair<const char*, std::unique_ptr<TNovaParser>>> exprs_;
};

// A command that may wait for an object (the message box typing its text, a medium fading out):
// its running-state record is the object's name, the wait flag and the event-blocking flag.
class TComObjectWait : public TCommand {
public:
  using TCommand::TCommand;
  bool BlocksEvents() const override { return blockEvents_ != 0; }
  bool Yields() const override { return wait_ != 0; }
  void SaveState(TStream& s) override;
  void LoadState(TStream& s) override;

protected:
  std::unique_ptr<TNovaParser> waitExpr_, blockExpr_;
  std::string objectName_;
  uint8_t wait_ = 0, blockEvents_ = 0;
};

}  // namespace nova
