#pragma once
// The value type of each numbered display-object property (int, string, flag or real), which
// types the temporary that receives GetProp.
#include <cstdint>

namespace nova {

constexpr int kPropertyCount = 163;  // property numbers 0..162

// PT_INT, PT_FLOAT, PT_BOOL or PT_STR; PT_NONE for a number outside 0..162.
uint8_t PropertyType(int32_t property);

}  // namespace nova
