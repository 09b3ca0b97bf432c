#pragma once
// The item functions of the expression library, bound to one scene: GetCheck, SetCheck,
// GetEnabled, SetEnabled, GetVisible, SetVisible, GetGroupIndex, GetSelected and SetSelected, and
// IndexOfMenu (the line of an object's item text that equals a text).
// The object named by the first argument answers through TNovaItemList (item_list.h); a name
// that finds no such object leaves the result at its initial value.
#include "params/sysfunc.h"

namespace nova {

class TNovaBaseList;

void RegisterItemFunctions(TSysFuncMan& funcs, TNovaBaseList& scene);
void UnregisterItemFunctions(TSysFuncMan& funcs);

}  // namespace nova
