#pragma once
// The function families of this library, each registering its rows with the dispatcher.
#include "params/sysfunc_call.h"

namespace nova {

void AddStringFuncs(TSysFuncMan& man);
void AddNumberFuncs(TSysFuncMan& man);
void AddDateFuncs(TSysFuncMan& man);
void AddArrayFuncs(TSysFuncMan& man);
void AddPathFuncs(TSysFuncMan& man);
void AddVarFuncs(TSysFuncMan& man);

// Random(n): advances the process-wide state.
int32_t NextRandom(int32_t n);

// The message of a function whose subsystem is absent.
std::string NotAvailable(const char* name);

}  // namespace nova
