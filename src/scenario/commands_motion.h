#pragma once
// PropMotion: creates a property motion that moves one property of a named object.
#include <memory>

#include "scenario/command.h"

namespace nova {

class TComPropMotion : public TCommand {
public:
  using TCommand::TCommand;
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override;

private:
  std::unique_ptr<TNovaParser> name_, object_, prop_, value_, time_, kind_, paused_;
};

}  // namespace nova
