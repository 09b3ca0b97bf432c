#pragma once
// Parts of the executor that other code and tests look at directly.
#include <cstdint>

#include "params/parser.h"

namespace nova {

// The type of the temporary an operation creates for its destination, from its (bound)
// operands: PT_INT .. PT_STR, or PT_NONE for an array-element reference. Raises the
// executor's error for an invalid operation and for GetProp of a property number outside 0..162.
uint8_t TemporaryType(const TOpeData& op);

// Points an array-element reference at the element of ocDimTo's bound operand 0 that operands
// 1.. index (row-major: the last index varies fastest). Raises "NAME[i,j]\r\n添え字が不正です"
// when the index count differs from the dimension count and "...要素数を超えています" when
// the flat index reaches the element count; a negative flat index passes.
void SetUpElement(const TOpeData& op, TParamVar& element);

}  // namespace nova
