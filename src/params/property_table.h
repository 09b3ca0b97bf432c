#pragma once
// The numbered display-object properties 0..162: identifier, display name, value type, the value
// a class that does not support a property reads, and whether writes are ignored. Compiled
// scenarios and save data carry the numbers; the authoring tools spell the identifiers.
#include <cstdint>
#include <string>

namespace nova {

constexpr int kPropertyCount = 163;  // property numbers 0..162

// What a class without the property reads back.
enum class TUnsupported : uint8_t { Zero, MinusOne, One, Full255, Full256, White, True, Empty, False, Width, Height, Own };

struct TPropertyInfo {
  int Id;
  const char* Identifier;   // "PR_NAME" ...
  const char* DisplayUtf8;  // shown by the debug window's property list (UTF-8 source)
  uint8_t Type;             // PT_INT, PT_FLOAT, PT_BOOL or PT_STR
  TUnsupported Unsupported;
  bool ReadOnly;            // writes are ignored
};

// The row of a property number; nullptr outside 0..162.
const TPropertyInfo* PropertyInfo(int32_t id);

// PT_INT, PT_FLOAT, PT_BOOL or PT_STR; PT_NONE for a number outside 0..162.
uint8_t PropertyType(int32_t property);
const char* PropertyName(int id);                  // "PR_NAME" .. ; nullptr outside 0..162
int FindPropertyByName(const std::string& name);   // exact spelling; -1 when unknown
// The display name in Shift-JIS ("名前" ...); empty outside 0..162.
const std::string& PropertyDisplayName(int id);

}  // namespace nova
