#pragma once
// The system functions over the game's file space: FileExists and LoadTextFile, answered by
// the virtual file manager (also for the in-memory "save:" files the scenario stored).
// available: whether a file can be read, bringing in its disk when it lies on another one.
#include <functional>
#include <string>

#include "archive/vrfiles.h"
#include "params/sysfunc.h"

namespace nova {

void RegisterFileFunctions(TSysFuncMan& funcs, TVrFileManager& files,
                           std::function<bool(const std::string& name)> available);
void UnregisterFileFunctions(TSysFuncMan& funcs);

}  // namespace nova
