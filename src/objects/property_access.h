#pragma once
// Reading and writing display-object properties by number, as the property commands and the
// GetProp/SetProp functions do. Every property can be read and written on every object: a class
// that does not have one reads the table's value for it and ignores writes.
#include <cstdint>

#include "objects/property_value.h"

namespace nova {

class TCustomParam;
class TNovaObject;

// The property's value in its table type (id within 0..162).
TPropValue ReadProperty(TNovaObject& object, int id);
// Writes a value already in the property's type; read-only properties ignore it.
void WriteProperty(TNovaObject& object, int id, TPropValue value);

// Stores the property into the variable through the setter of the property's type. Numbers
// outside 0..162 are the error "GetPropエラー".
void GetPropById(TCustomParam& result, TNovaObject& object, int32_t id);
// Reads the variable as the property's type and writes it. Numbers outside 0..162 and the
// particle start positions (PR_APPEARX, PR_APPEARY) are the error "SetPropエラー".
void SetPropById(TNovaObject& object, int32_t id, TCustomParam& value);

}  // namespace nova
