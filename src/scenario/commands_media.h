#pragma once
// The media commands: MediaPlay starts a sound or a video; MovieStop stops one, at once or
// fading out, and may wait until it is gone.
#include "objects/nova_object.h"
#include "scenario/commands_objects.h"

namespace nova {

class TComMediaPlay : public TComExprRecord {
public:
  using TComExprRecord::TComExprRecord;
  void Execute(TCallMan& cm) override;
};

class TComMovieStop : public TComObjectWait {
public:
  using TComObjectWait::TComObjectWait;
  void Enter(TCallMan& cm) override;
  void Execute(TCallMan& cm) override;
  void SaveState(TStream& s) override;
  void LoadState(TStream& s) override;

protected:
  void LoadFields(TFieldReader& f) override;
  std::unique_ptr<TNovaParser> object_, fade_;
  TObjectRef target_;  // a fading sound changes its name: the object itself is waited for
  TNovaBaseList* scene_ = nullptr;
};

}  // namespace nova
