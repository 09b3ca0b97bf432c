#include "components/item_functions.h"

#include "components/item_list.h"
#include "objects/scene.h"
#include "params/param_convert.h"
#include "params/sysfunc_call.h"

namespace nova {

namespace {

constexpr const char* kFunctions[] = {"GetCheck",   "SetCheck",      "GetEnabled",  "SetEnabled", "GetVisible",
                                      "SetVisible", "GetGroupIndex", "GetSelected", "SetSelected"};

// The object of the first argument as an item list, and the item the second argument names.
TNovaItemList* Target(TSysFuncCall& c, TNovaBaseList& scene, int& index) {
  TNovaObject* object = scene.FindObject(c.Str(0));
  auto* list = dynamic_cast<TNovaItemList*>(object);
  if (!list) return nullptr;
  TCustomParam& arg = c.Arg(1);
  if (arg.GetParamType() == PT_STR && object->TypeCode() == LT_PREVMENU) {
    // A preview menu also takes the name of a button.
    const std::string text = arg.GetAsStr();
    int32_t number = 0;
    index = TryTextToInt(text, number) ? number : list->ItemIndexOfName(text);
  } else {
    index = c.Int(1);
  }
  return list;
}

using TGetFlag = bool (TNovaItemList::*)(int);
using TSetFlag = void (TNovaItemList::*)(int, bool);

void RegisterFlagPair(TSysFuncMan& funcs, TNovaBaseList& scene, const char* getName, const char* setName,
                      TGetFlag get, TSetFlag set) {
  funcs.Register(FindSysFunc(getName), [&scene, get](TSysFuncCall& c) {
    int index = 0;
    if (TNovaItemList* list = Target(c, scene, index)) c.ResultBool((list->*get)(index));
  });
  funcs.Register(FindSysFunc(setName), [&scene, set](TSysFuncCall& c) {
    int index = 0;
    if (TNovaItemList* list = Target(c, scene, index)) (list->*set)(index, c.Bool(2));
  });
}

}  // namespace

void RegisterItemFunctions(TSysFuncMan& funcs, TNovaBaseList& scene) {
  RegisterFlagPair(funcs, scene, "GetCheck", "SetCheck", &TNovaItemList::GetItemCheck, &TNovaItemList::SetItemCheck);
  RegisterFlagPair(funcs, scene, "GetEnabled", "SetEnabled", &TNovaItemList::GetItemEnabled,
                   &TNovaItemList::SetItemEnabled);
  RegisterFlagPair(funcs, scene, "GetVisible", "SetVisible", &TNovaItemList::GetItemVisible,
                   &TNovaItemList::SetItemVisible);
  RegisterFlagPair(funcs, scene, "GetSelected", "SetSelected", &TNovaItemList::GetItemSelected,
                   &TNovaItemList::SetItemSelected);
  funcs.Register(FindSysFunc("GetGroupIndex"), [&scene](TSysFuncCall& c) {
    int index = 0;
    if (TNovaItemList* list = Target(c, scene, index)) c.ResultInt(list->GetItemGroupIndex(index));
  });
}

void UnregisterItemFunctions(TSysFuncMan& funcs) {
  for (const char* f : kFunctions) funcs.Register(FindSysFunc(f), nullptr);
}

}  // namespace nova
