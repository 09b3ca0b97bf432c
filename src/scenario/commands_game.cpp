#include "scenario/commands_game.h"

#include "base/process.h"
#include "params/param_collection.h"
#include "scenario/call_man.h"

namespace nova {

void TComWait::LoadFields(TFieldReader& f) {
  cond_ = f.Expr("cond");
  timeExpr_ = f.Expr("time");
  blockExpr_ = f.Expr("block");
}

void TComWait::Enter(TCallMan& cm) {
  time_ = EvalInt(timeExpr_.get(), cm, 0);
  firstFrame_ = 1;
  blockEvents_ = EvalFlag(blockExpr_.get(), cm, false) ? 1 : 0;
}

void TComWait::Execute(TCallMan& cm) {
  TCustomParam* cond = Evaluate(cond_.get(), cm);
  if (cond && !cond->GetAsBool()) {
    cm.Next();
    return;
  }
  if (time_ != 0) {
    if (firstFrame_) {
      firstFrame_ = 0;  // the frame the wait began in does not count
    } else {
      time_ -= static_cast<int32_t>(FrameClock().LastDelta);
      if (time_ <= 0) {
        cm.Next();
        return;
      }
    }
  }
  cm.SetContinue(false);
}

void TComWait::SaveState(TStream& s) {
  WriteStateTag(s);
  s.WriteInt32(time_);
  s.WriteInt32(firstFrame_);
  s.WriteByte(blockEvents_);
}

void TComWait::LoadState(TStream& s) {
  int version = ReadStateTag(s);
  time_ = s.ReadInt32();
  firstFrame_ = s.ReadInt32();
  if (version >= 100) blockEvents_ = s.ReadByte();
}

void TComGameSave::LoadFields(TFieldReader& f) {
  slot_ = f.Expr("slot");
  afterLoadPage_ = f.Str("page");
  afterLoadIndex_ = f.Int("target");
  caption_ = f.Expr("caption");
}

void TComGameSave::Execute(TCallMan& cm) {
  cm.Next();
  int32_t slot = EvalInt(slot_.get(), cm, 0);
  std::string caption = EvalStr(caption_.get(), cm);
  cm.Host().RequestSave(slot, afterLoadPage_, afterLoadIndex_, caption);
}

void TComGameLoad::Execute(TCallMan& cm) {
  cm.Next();
  cm.Host().RequestLoad(EvalInt(slot_.get(), cm, 0));
}

void TComPCReset::LoadFields(TFieldReader& f) {
  pageName_ = f.Str("page");
  target_ = f.Int("target");
  fullReset_ = static_cast<uint8_t>(f.Int("full"));
}

void TComPCReset::Execute(TCallMan& cm) {
  const int32_t index = cm.Index();
  try {
    cm.ProgramReset(pageName_, target_, fullReset_ != 0);
  } catch (...) {
    if (cm.Index() == index) cm.SetIndex(index + 1);  // the target page could not be read
    throw;
  }
}

void TComReset::Execute(TCallMan& cm) {
  const int32_t index = cm.Index();
  cm.Host().ResetGame();
  cm.Store().ResetVars();
  try {
    cm.Start(pageName_);
  } catch (...) {
    cm.SetIndex(index + 1);
    throw;
  }
  cm.SetIndex(target_);
}

void TComTerminate::Execute(TCallMan& cm) {
  cm.Next();
  SetQuitting(true);
  PostCloseRequest();
}

}  // namespace nova
