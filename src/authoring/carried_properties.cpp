#include "authoring/carried_properties.h"

#include "params/class_properties.h"
#include "scenario/commands_create.h"

namespace nova::source {

void AddClassProperties(TPropSet& set, int commandCode) {
  for (int id : CreationProperties(CreatedTypeCode(commandCode))) PropSetAdd(set, id);
}

}  // namespace nova::source
