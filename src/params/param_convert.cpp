#include "params/param_convert.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

#include "base/error.h"

namespace nova {

const char* const kInvalidFloatOperation = "Invalid floating point operation";
const char* const kFloatDivisionByZero = "Floating point division by zero";
const char* const kFloatOverflow = "Floating point overflow";
const char* const kIntDivisionByZero = "Division by zero";
const char* const kIntOverflow = "Integer overflow";

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decimal conversions must not follow the process locale.
locale_t CLocale() {
  static locale_t loc = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
  return loc;
}

}  // namespace

bool TryTextToInt(std::string_view s, int32_t& out) {
  size_t i = 0, n = s.size();
  while (i < n && IsBlank(s[i])) ++i;
  bool negative = false;
  if (i < n && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  bool hex = false;
  if (i < n && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n) return false;
  uint64_t value = 0;
  if (hex) {
    for (; i < n; ++i) {
      int d = HexValue(s[i]);
      if (d < 0) return false;
      value = value * 16 + static_cast<uint64_t>(d);
      if (value > 0xFFFFFFFFull) return false;
    }
  } else {
    const uint64_t limit = negative ? 0x80000000ull : 0x7FFFFFFFull;
    for (; i < n; ++i) {
      if (!IsDigit(s[i])) return false;
      value = value * 10 + static_cast<uint64_t>(s[i] - '0');
      if (value > limit) return false;
    }
  }
  uint32_t u = static_cast<uint32_t>(value);
  if (negative) u = 0u - u;
  out = static_cast<int32_t>(u);
  return true;
}

int32_t TextToInt(std::string_view text) {
  int32_t v = 0;
  return TryTextToInt(text, v) ? v : 0;
}

bool TryTextToReal(std::string_view s, Real& out) {
  size_t i = 0, n = s.size();
  while (i < n && IsBlank(s[i])) ++i;
  size_t start = i;
  if (i < n && (s[i] == '-' || s[i] == '+')) ++i;
  size_t digits = 0;
  while (i < n && IsDigit(s[i])) ++i, ++digits;
  if (i < n && s[i] == '.') {
    ++i;
    while (i < n && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < n && (s[i] == '-' || s[i] == '+')) ++i;
    size_t expDigits = 0;
    while (i < n && IsDigit(s[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  size_t end = i;
  while (i < n && IsBlank(s[i])) ++i;
  if (i != n) return false;
  std::string number(s.substr(start, end - start));
  Real v = strtold_l(number.c_str(), nullptr, CLocale());
  if (!std::isfinite(v)) return false;  // too large for a real
  out = v;
  return true;
}

Real TextToReal(std::string_view text) {
  Real v = 0;
  return TryTextToReal(text, v) ? v : 0;
}

std::string IntToText(int32_t v) { return std::to_string(v); }

std::string RealToText(Real v) {
  if (std::isnan(v)) return "Nan";
  if (std::isinf(v)) return v > 0 ? "+Inf" : "-Inf";
  if (v == 0) return "0";
  // 40 significant digits are far more than the value holds, so rounding them to 15 below is
  // the rounding of the exact value.
  char buf[96];
  std::snprintf(buf, sizeof buf, "%.39Le", std::fabs(v));
  std::string digits(1, buf[0]);
  digits.append(buf + 2, 39);
  int exponent = std::atoi(buf + 42);  // after "d." + 39 digits + "e"
  bool up = digits[15] >= '5';
  digits.resize(15);
  if (up) {
    int k = 14;
    while (k >= 0 && digits[static_cast<size_t>(k)] == '9') digits[static_cast<size_t>(k--)] = '0';
    if (k < 0) {
      digits.insert(digits.begin(), '1');
      digits.resize(15);
      ++exponent;
    } else {
      ++digits[static_cast<size_t>(k)];
    }
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = v < 0 ? "-" : "";
  if (exponent >= 15 || exponent < -5) {
    out += digits[0];
    if (digits.size() > 1) out += "." + digits.substr(1);
    out += "E" + std::to_string(exponent);
  } else if (exponent >= 0) {
    size_t intDigits = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= intDigits) {
      out += digits + std::string(intDigits - digits.size(), '0');
    } else {
      out += digits.substr(0, intDigits) + "." + digits.substr(intDigits);
    }
  } else {
    out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  }
  return out;
}

int32_t RealToInt(Real v) {
  Real t = std::trunc(v);
  if (!(t >= -9223372036854775808.0L && t < 9223372036854775808.0L)) RaiseError(kInvalidFloatOperation);
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(t))));
}

}  // namespace nova
