#include "scenario/commands_props.h"

#include "base/error.h"
#include "objects/property_access.h"
#include "objects/scene.h"
#include "params/param_collection.h"
#include "scenario/call_man.h"
#include "scenario/messages.h"

namespace nova {
namespace {

// The property number of a get or set command; no value is an error.
int32_t PropertyNumber(TNovaParser* expr, TCallMan& cm) {
  TCustomParam* v = Evaluate(expr, cm);
  if (!v) RaiseError(msg::BadProperty());
  return v->GetAsInt();
}

}  // namespace

void TComGetProp::LoadFields(TFieldReader& f) {
  object_ = f.Expr("object");
  prop_ = f.Expr("prop");
  varName_ = f.Str("var");
}

void TComGetProp::Execute(TCallMan& cm) {
  cm.Next();
  TNovaObject* object = cm.Scene().FindObject(EvalStr(object_.get(), cm));
  if (!object) return;
  const int32_t id = PropertyNumber(prop_.get(), cm);
  TParamCollectionItem* target = cm.Store().FindParam(varName_);
  if (!target || !target->Param) return;
  GetPropById(*target->Param, *object, id);
}

void TComSetProp::LoadFields(TFieldReader& f) {
  object_ = f.Expr("object");
  prop_ = f.Expr("prop");
  value_ = f.Expr("value");
}

void TComSetProp::Execute(TCallMan& cm) {
  cm.Next();
  TNovaObject* object = cm.Scene().FindObject(EvalStr(object_.get(), cm));
  if (!object) return;
  const int32_t id = PropertyNumber(prop_.get(), cm);
  if (TCustomParam* value = Evaluate(value_.get(), cm)) SetPropById(*object, id, *value);
}

void TComObjDel::Execute(TCallMan& cm) {
  cm.Next();
  TNovaBaseList& scene = cm.Scene();
  TNovaObject* object = scene.FindObject(EvalStr(object_.get(), cm));
  // The screens stay (an empty name finds the displayed one).
  if (!object || object == &scene.GetScreen(0) || object == &scene.GetScreen(1)) return;
  object->MarkForDeletion();
}

}  // namespace nova
