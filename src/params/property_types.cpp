#include "params/property_types.h"

#include "params/param.h"

namespace nova {

namespace {
// Indexed by property number.
const uint8_t kPropertyTypes[kPropertyCount] = {
    PT_STR, PT_STR, PT_STR, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT,  // 0-7
    PT_INT, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT, PT_STR,  // 8-15
    PT_INT, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT,  // 16-23
    PT_INT, PT_BOOL, PT_INT, PT_BOOL, PT_INT, PT_BOOL, PT_INT, PT_INT,  // 24-31
    PT_STR, PT_STR, PT_STR, PT_STR, PT_STR, PT_STR, PT_STR, PT_STR,  // 32-39
    PT_STR, PT_STR, PT_INT, PT_STR, PT_INT, PT_INT, PT_STR, PT_BOOL,  // 40-47
    PT_INT, PT_INT, PT_STR, PT_INT, PT_INT, PT_INT, PT_STR, PT_STR,  // 48-55
    PT_STR, PT_STR, PT_STR, PT_STR, PT_STR, PT_STR, PT_STR, PT_INT,  // 56-63
    PT_INT, PT_INT, PT_INT, PT_INT, PT_INT, PT_STR, PT_STR, PT_BOOL,  // 64-71
    PT_STR, PT_BOOL, PT_STR, PT_STR, PT_STR, PT_STR, PT_INT, PT_INT,  // 72-79
    PT_INT, PT_BOOL, PT_INT, PT_STR, PT_STR, PT_INT, PT_BOOL, PT_BOOL,  // 80-87
    PT_BOOL, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT, PT_FLOAT,  // 88-95
    PT_FLOAT, PT_INT, PT_BOOL, PT_STR, PT_BOOL, PT_STR, PT_FLOAT, PT_STR,  // 96-103
    PT_STR, PT_STR, PT_STR, PT_INT, PT_INT, PT_INT, PT_INT, PT_BOOL,  // 104-111
    PT_BOOL, PT_STR, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT,  // 112-119
    PT_INT, PT_STR, PT_STR, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT,  // 120-127
    PT_INT, PT_STR, PT_INT, PT_INT, PT_INT, PT_STR, PT_BOOL, PT_STR,  // 128-135
    PT_STR, PT_BOOL, PT_BOOL, PT_BOOL, PT_INT, PT_INT, PT_INT, PT_INT,  // 136-143
    PT_STR, PT_STR, PT_STR, PT_BOOL, PT_STR, PT_STR, PT_BOOL, PT_STR,  // 144-151
    PT_BOOL, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT, PT_BOOL, PT_INT,  // 152-159
    PT_INT, PT_INT, PT_INT  // 160-162
};
}  // namespace

uint8_t PropertyType(int32_t property) {
  if (property < 0 || property >= kPropertyCount) return PT_NONE;
  return static_cast<uint8_t>(kPropertyTypes[property]);
}

}  // namespace nova
