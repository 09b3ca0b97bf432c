#pragma once
// The functions that reach display objects by name: GetProp, SetProp, Exists, ListCompo,
// ToClientX/Y, ToScreenX/Y and InPrimary, bound to one scene.
#include "params/sysfunc.h"

namespace nova {

class TNovaBaseList;

void RegisterObjectFunctions(TSysFuncMan& funcs, TNovaBaseList& scene);
void UnregisterObjectFunctions(TSysFuncMan& funcs);

}  // namespace nova
