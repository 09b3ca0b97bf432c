#include "scenario/commands_motion.h"

#include "base/error.h"
#include "objects/nova_prop_motion.h"
#include "objects/scene.h"
#include "params/param.h"
#include "scenario/call_man.h"
#include "scenario/messages.h"

namespace nova {

void TComPropMotion::LoadFields(TFieldReader& f) {
  name_ = f.Expr("name");
  object_ = f.Expr("object");
  prop_ = f.Expr("prop");
  value_ = f.Expr("value");
  time_ = f.Expr("time");
  kind_ = f.Expr("kind");
  paused_ = f.Expr("repeat");
}

void TComPropMotion::Execute(TCallMan& cm) {
  TCommand::Execute(cm);
  TNovaBaseList& scene = cm.Scene();
  TNovaPropMotion* motion = scene.Make<TNovaPropMotion>();
  // A property number without a value is an error; the motion it would have made goes with it.
  try {
    const std::string name = EvalStr(name_.get(), cm);
    if (!name.empty()) motion->SetName(name);
    motion->SetTargetName(EvalStr(object_.get(), cm));
    TCustomParam* prop = Evaluate(prop_.get(), cm);
    if (!prop) RaiseError(msg::BadProperty());
    motion->SetPropertyNumber(prop->GetAsInt());
    if (TCustomParam* v = Evaluate(value_.get(), cm)) motion->SetTargetValue(v->GetAsFloat());
    if (TCustomParam* v = Evaluate(time_.get(), cm)) motion->SetDuration(v->GetAsInt());
    if (TCustomParam* v = Evaluate(kind_.get(), cm)) motion->SetMotionType(v->GetAsInt());
    if (TCustomParam* v = Evaluate(paused_.get(), cm)) motion->SetPaused(v->GetAsBool());
  } catch (...) {
    scene.FreeObject(motion);
    throw;
  }
}

}  // namespace nova
