#pragma once
// The conversions every value accessor uses when a value is read or written as another type.
//   integer text: blanks (space, tab), optional sign, decimal digits or hexadecimal digits after
//                 one of "$", "x", "X", "0x", "0X"; the whole text is used and must fit 32 bits
//                 (decimal within the signed range, hexadecimal up to FFFFFFFF)
//   real text:    blanks, optional sign, digits with an optional fraction (at least one digit),
//                 an optional exponent (e or E, optional sign, digits), blanks; "." separates
//   real -> text: general format, 15 significant digits, rounding half away from zero; fixed
//                 notation when the rounded value has at most 15 integer digits and is at least
//                 0.00001 in magnitude, else d.dddE[-]x
//   flag text:    "TRUE" (exactly) and "FALSE"
#include <cstdint>
#include <string>
#include <string_view>

#include "base/extended.h"

namespace nova {

bool TryTextToInt(std::string_view text, int32_t& out);
int32_t TextToInt(std::string_view text);  // 0 when the text is no integer
bool TryTextToReal(std::string_view text, Real& out);
Real TextToReal(std::string_view text);  // 0.0 when the text is no real

std::string IntToText(int32_t v);
std::string RealToText(Real v);
inline std::string FlagToText(bool v) { return v ? "TRUE" : "FALSE"; }
inline bool TextToFlag(std::string_view text) { return text == "TRUE"; }

// Truncates toward zero and keeps the low 32 bits (the runtime truncates to 64 bits first);
// a value outside the 64-bit range or not a number raises the invalid-operation error.
int32_t RealToInt(Real v);

// The runtime's floating-point error texts (also used by the executor).
extern const char* const kInvalidFloatOperation;
extern const char* const kFloatDivisionByZero;
extern const char* const kFloatOverflow;
extern const char* const kIntDivisionByZero;
extern const char* const kIntOverflow;

}  // namespace nova
