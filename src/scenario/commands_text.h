#pragma once
// The text and history commands: TextIns shows a compiled text in a message box (and may wait
// while the box has pages), TextClr empties a box, CallHist shows history entries in a box,
// FormatHist registers a history format, ClrHist and ClrRead empty the history and the read
// marks.
#include "scenario/commands_objects.h"

namespace nova {

class TComTextIns : public TComObjectWait {
public:
  using TComObjectWait::TComObjectWait;
  const std::string& TextBlock() const { return text_; }
  void Enter(TCallMan& cm) override;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override;
  std::string text_;
  std::unique_ptr<TNovaParser> box_, readMark_;
};

class TComTextClr : public TComExprRecord {
public:
  using TComExprRecord::TComExprRecord;
  void Execute(TCallMan& cm) override;
};

class TComCallHist : public TComExprRecord {
public:
  using TComExprRecord::TComExprRecord;
  void Execute(TCallMan& cm) override;
};

class TComEntryHist : public TComExprRecord {
public:
  using TComExprRecord::TComExprRecord;
  void Execute(TCallMan& cm) override;
};

class TComClrHist : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;
};

class TComClrRead : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;
};

}  // namespace nova
