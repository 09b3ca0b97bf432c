#pragma once
// MenuClose: closes the named menu with its animation. While no menu has that name the
// command stays where it is and runs again in a later pass (the next frame), so a script can
// close a menu that its own events are still creating.
#include <memory>

#include "scenario/command.h"

namespace nova {

class TComMenuClose : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override { menu_ = f.Expr("menu"); }

private:
  std::unique_ptr<TNovaParser> menu_;
};

}  // namespace nova
