#include "components/lists/item_functions.h"

#include "base/sjis.h"
#include "base/text_lines.h"
#include "components/lists/item_list.h"
#include "objects/property_access.h"
#include "objects/scene.h"
#include "params/param_convert.h"
#include "params/sysfunc_call.h"

namespace nova {

namespace {

constexpr const char* kFunctions[] = {"GetCheck",      "SetCheck",    "GetEnabled",  "SetEnabled",
                                      "GetVisible",    "SetVisible",  "GetGroupIndex", "GetSelected",
                                      "SetSelected",   "IndexOfMenu"};

// Bytes 0x00-0x20 at both ends go.
std::string TrimBlanks(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20) --end;
  return text.substr(begin, end - begin);
}

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
  // The line of the object's item text (a menu's PR_TEXT) equal to the text, ASCII case ignored.
  funcs.Register(FindSysFunc("IndexOfMenu"), [&scene](TSysFuncCall& c) {
    c.ResultInt(-1);
    TNovaObject* object = scene.FindObject(c.Str(0));
    if (!object) return;
    const std::string wanted = c.Str(1);
    const std::vector<std::string> lines = SplitLines(TrimBlanks(ReadProperty(*object, PR_TEXT).Str));
    for (size_t i = 0; i < lines.size(); ++i)
      if (SameText(lines[i], wanted)) {
        c.ResultInt(static_cast<int32_t>(i));
        return;
      }
  });
  funcs.Register(FindSysFunc("GetGroupIndex"), [&scene](TSysFuncCall& c) {
    int index = 0;
    if (TNovaItemList* list = Target(c, scene, index)) c.ResultInt(list->GetItemGroupIndex(index));
  });
}

void UnregisterItemFunctions(TSysFuncMan& funcs) {
  for (const char* f : kFunctions) funcs.Register(FindSysFunc(f), nullptr);
}

}  // namespace nova
