#include "scenario/commands_cabinet.h"

#include <algorithm>

#include "objects/nova_cabinet.h"
#include "objects/scene.h"
#include "scenario/call_man.h"

namespace nova {

void TComCabinet::LoadFields(TFieldReader& f) {
  props_ = f.Props();
  mode_ = f.Expr("mode");
  patterns_ = f.Exprs("patterns");
}

bool TComCabinet::TSelection::Chosen(const std::string& name) const {
  const bool listed = std::find(Patterns.begin(), Patterns.end(), name) != Patterns.end();
  return Mode != listed;
}

TComCabinet::TSelection TComCabinet::EvaluateSelection(TCallMan& cm) {
  TSelection s;
  s.Mode = EvalFlag(mode_.get(), cm, false);
  for (const auto& p : patterns_) s.Patterns.push_back(EvalStr(p.get(), cm));
  return s;
}

TNovaControl* TComCabinet::FindCabinet(TCallMan& cm, const std::string& name) {
  if (name.empty()) return nullptr;  // the empty name would find the displayed screen
  TNovaObject* object = cm.Scene().FindObject(name);
  return object && object->IsControl() && object->TypeCode() == LT_CABINET ? static_cast<TNovaControl*>(object)
                                                                              : nullptr;
}

void TComCabinet::MoveChosen(TNovaControl& from, TNovaControl& to, const TSelection& chosen, TNovaControl& cabinet) {
  const std::vector<TNovaControl*> children = from.Children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    TNovaControl* child = *it;
    if (child == &cabinet || !chosen.Chosen(child->Name())) continue;
    child->SetParent(&to);
  }
  if (cabinet.ChildCount() == 0) cabinet.MarkForDeletion();
}

void TComCabinetSave::Execute(TCallMan& cm) {
  cm.Next();
  TNovaBaseList& scene = cm.Scene();
  const std::string name = EvalStr(Prop(PR_NAME), cm);
  TNovaControl* cabinet = FindCabinet(cm, name);
  if (!cabinet) {
    TNovaObject* made = scene.CreateObject(LT_CABINET);
    if (made && (!made->IsControl() || made->TypeCode() != LT_CABINET)) {
      scene.FreeObject(made);
      made = nullptr;
    }
    // The cabinet class belongs to the object model: it is there without a registered maker.
    cabinet = made ? static_cast<TNovaControl*>(made) : scene.Make<TNovaCabinet>();
    if (!name.empty()) cabinet->SetName(name);
    cabinet->SetParent(&scene.GetScreen(0));
  }
  const TSelection chosen = EvaluateSelection(cm);
  MoveChosen(scene.BackScreen(), *cabinet, chosen, *cabinet);
}

void TComCabinetLoad::Execute(TCallMan& cm) {
  cm.Next();
  TNovaControl* cabinet = FindCabinet(cm, EvalStr(Prop(PR_NAME), cm));
  if (!cabinet) return;
  const TSelection chosen = EvaluateSelection(cm);
  MoveChosen(*cabinet, cm.Scene().BackScreen(), chosen, *cabinet);
}

}  // namespace nova
