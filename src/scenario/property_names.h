#pragma once
// The PR_ identifiers of the property ids 0..162, as scenario sources spell them.
#include <string>

namespace nova {

const char* PropertyName(int id);                  // "PR_NAME" .. ; nullptr outside 0..162
int FindPropertyByName(const std::string& name);   // exact spelling; -1 when unknown

}  // namespace nova
