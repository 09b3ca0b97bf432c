#pragma once
// A property's value on its way between a variable and an object: one of the four property
// types (PT_INT, PT_FLOAT, PT_BOOL, PT_STR), read or written in the property's own type.
#include <cstdint>
#include <string>

#include "base/extended.h"
#include "params/param.h"

namespace nova {

struct TPropValue {
  uint8_t Type = PT_INT;
  int32_t Int = 0;
  Real Float = 0;
  bool Flag = false;
  std::string Str;

  static TPropValue OfInt(int32_t v) {
    TPropValue p;
    p.Int = v;
    return p;
  }
  static TPropValue OfFlag(bool v) {
    TPropValue p;
    p.Type = PT_BOOL;
    p.Flag = v;
    return p;
  }
  static TPropValue OfFloat(Real v) {
    TPropValue p;
    p.Type = PT_FLOAT;
    p.Float = v;
    return p;
  }
  static TPropValue OfStr(std::string v) {
    TPropValue p;
    p.Type = PT_STR;
    p.Str = std::move(v);
    return p;
  }
};

}  // namespace nova
