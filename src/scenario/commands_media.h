#pragma once
// The media commands: MediaPlay starts a sound or a video; MovieStop (declared with the other
// waiting commands in commands_objects.h) stops one.
#include "scenario/commands_objects.h"

namespace nova {

class TComMediaPlay : public TComExprRecord {
public:
  using TComExprRecord::TComExprRecord;
  void Execute(TCallMan& cm) override;
};

}  // namespace nova
