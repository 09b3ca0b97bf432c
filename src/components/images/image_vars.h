#pragma once
// The system variable of the image cache: @CGDither, the dither flag; a new value rebuilds
// every cached image and repaints both screens.
#include "params/sysfunc.h"

namespace nova {

class TBrioCollection;

void RegisterImageVariables(TSysFuncMan& funcs, TBrioCollection& images);
void UnregisterImageVariables(TSysFuncMan& funcs);

}  // namespace nova
