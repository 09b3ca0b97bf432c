#pragma once
// The item functions of the expression library, bound to one scene: GetCheck, SetCheck,
// GetEnabled, SetEnabled, GetVisible, SetVisible, GetGroupIndex, GetSelected and SetSelected.
// The object named by the first argument answers through TNovaItemList (item_list.h); a name
// that finds no such object leaves the result at its initial value.
#include "params/sysfunc.h"

namespace nova {

class TNovaBaseList;

void RegisterItemFunctions(TSysFuncMan& funcs, TNovaBaseList& scene);
void UnregisterItemFunctions(TSysFuncMan& funcs);

}  // namespace nova
