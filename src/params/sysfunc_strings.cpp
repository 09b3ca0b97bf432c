// String functions: byte-wise and double-byte aware, formatting and case.
#include <cstring>

#include "base/sjis.h"
#include "params/jconvert.h"
#include "params/param_convert.h"
#include "params/sysfunc_internal.h"

namespace nova {
namespace {

constexpr size_t kMaxResultBytes = size_t{1} << 28;  // refuse results that cannot sensibly be held
constexpr int kMaxPrecision = 4096;

[[noreturn]] void FormatError(const std::string& fmt) {
  throw ENovaError("Format '" + fmt + "' invalid or incompatible with argument");
}

// The runtime's Format with one integer argument, as IntToStr(v, n) builds it: "%." + n + "d".
// Literal text is copied, "%%" is a percent sign; a conversion takes an optional precision and
// one of d, u, x (upper case hexadecimal); anything else is the format error.
std::string FormatInt(const std::string& fmt, int32_t v) {
  std::string out;
  bool used = false;
  for (size_t i = 0; i < fmt.size(); ++i) {
    if (fmt[i] != '%') {
      out += fmt[i];
      continue;
    }
    if (++i >= fmt.size()) FormatError(fmt);
    if (fmt[i] == '%') {
      out += '%';
      continue;
    }
    int prec = -1;
    if (fmt[i] == '.') {
      prec = 0;
      for (++i; i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9'; ++i) {
        prec = prec * 10 + (fmt[i] - '0');
        if (prec > kMaxPrecision) prec = kMaxPrecision;
      }
    }
    if (i >= fmt.size() || used) FormatError(fmt);
    used = true;
    std::string digits;
    bool negative = false;
    switch (fmt[i]) {
      case 'd':
      case 'D':
        negative = v < 0;
        digits = std::to_string(negative ? -int64_t{v} : int64_t{v});
        break;
      case 'u':
      case 'U':
        digits = std::to_string(static_cast<uint32_t>(v));
        break;
      case 'x':
      case 'X':
        digits = Format("%X", static_cast<uint32_t>(v));
        break;
      default:
        FormatError(fmt);
    }
    if (prec > static_cast<int>(digits.size())) digits.insert(0, static_cast<size_t>(prec) - digits.size(), '0');
    if (negative) out += '-';
    out += digits;
  }
  return out;
}

void FnIntToStr(TSysFuncCall& c) {
  int32_t v = c.Int(0);
  c.ResultStr(c.Has(1) ? FormatInt("%." + c.Str(1) + "d", v) : IntToText(v));
}

void FnIntToHex(TSysFuncCall& c) {
  std::string s = Format("%X", static_cast<uint32_t>(c.Int(0)));
  int32_t digits = c.Int(1);
  if (digits > kMaxPrecision) digits = kMaxPrecision;
  if (digits > static_cast<int32_t>(s.size())) s.insert(0, static_cast<size_t>(digits) - s.size(), '0');
  c.ResultStr(s);
}

void FnLength(TSysFuncCall& c) { c.ResultInt(static_cast<int32_t>(c.Str(0).size())); }
void FnJLength(TSysFuncCall& c) { c.ResultInt(static_cast<int32_t>(CharCount(c.Str(0)))); }

void FnCopy(TSysFuncCall& c) {
  c.ResultStr(ByteCopy(c.Str(0), c.Int(1), c.Has(2) ? c.Int(2) : INT32_MAX));
}
void FnJCopy(TSysFuncCall& c) {
  std::string s = c.Str(0);
  c.ResultStr(c.Has(2) ? JCopy(s, c.Int(1), c.Int(2)) : JCopyToEnd(s, c.Int(1)));
}

// Delete and Insert change their variable argument and give no result.
void FnDelete(TSysFuncCall& c) {
  std::string s = c.Str(0);
  ByteDelete(s, c.Int(1), c.Has(2) ? c.Int(2) : INT32_MAX);
  c.Out(0).SetAsStr(s);
}
void FnJDelete(TSysFuncCall& c) {
  std::string s = c.Str(0);
  if (c.Has(2)) {
    JDelete(s, c.Int(1), c.Int(2));
  } else {
    JDeleteToEnd(s, c.Int(1));
  }
  c.Out(0).SetAsStr(s);
}
void FnInsert(TSysFuncCall& c) {
  std::string s = c.Str(1);
  ByteInsert(c.Str(0), s, c.Int(2));
  c.Out(1).SetAsStr(s);
}
void FnJInsert(TSysFuncCall& c) {
  std::string s = c.Str(1);
  JInsert(c.Str(0), s, c.Int(2));
  c.Out(1).SetAsStr(s);
}

// The difference of the first bytes that differ, else of the lengths (ASCII letters of
// single-byte characters folded to upper case for CompareText).
int32_t CompareBytes(const std::string& x, const std::string& y, bool foldCase) {
  const std::string a = foldCase ? UpperCaseAnsi(x) : x, b = foldCase ? UpperCaseAnsi(y) : y;
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
  return static_cast<int32_t>(a.size()) - static_cast<int32_t>(b.size());
}

void FnCompareStr(TSysFuncCall& c) { c.ResultInt(CompareBytes(c.Str(0), c.Str(1), false)); }
void FnCompareText(TSysFuncCall& c) { c.ResultInt(CompareBytes(c.Str(0), c.Str(1), true)); }
void FnPos(TSysFuncCall& c) { c.ResultInt(BytePos(c.Str(0), c.Str(1))); }
void FnJPos(TSysFuncCall& c) { c.ResultInt(JPos(c.Str(0), c.Str(1))); }

void FnTrim(TSysFuncCall& c) {
  std::string s = c.Str(0);
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 0x20) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 0x20) --e;
  c.ResultStr(s.substr(b, e - b));
}
void FnJTrim(TSysFuncCall& c) { c.ResultStr(JTrim(c.Str(0))); }
void FnFixStr(TSysFuncCall& c) { c.ResultStr(FixStr(c.Str(0))); }
void FnLowerCase(TSysFuncCall& c) { c.ResultStr(LowerCaseAnsi(c.Str(0))); }
void FnUpperCase(TSysFuncCall& c) { c.ResultStr(UpperCaseAnsi(c.Str(0))); }

void FnStringOfChar(TSysFuncCall& c) {
  std::string unit = c.Str(0);
  int32_t n = c.Int(1);
  std::string out;
  if (n > 0 && !unit.empty()) {
    if (unit.size() * static_cast<size_t>(n) > kMaxResultBytes) throw ENovaError("StringOfChar: out of memory");
    out.reserve(unit.size() * static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) out += unit;
  }
  c.ResultStr(out);
}

// Finds pattern in s at a character boundary from byte `from`; npos when there is none.
size_t FindAtChar(const std::string& s, const std::string& pattern, size_t from) {
  for (size_t i = from; i + pattern.size() <= s.size(); i += CharLen(s, i))
    if (s.compare(i, pattern.size(), pattern) == 0) return i;
  return std::string::npos;
}

void FnStringReplace(TSysFuncCall& c) {
  std::string s = c.Str(0), from = c.Str(1), to = c.Str(2);
  bool all = c.Has(3) && c.Bool(3);
  bool ignoreCase = c.Has(4) && c.Bool(4);
  if (from.empty()) {
    c.ResultStr(s);
    return;
  }
  const std::string hay = ignoreCase ? UpperCaseAnsi(s) : s;
  const std::string needle = ignoreCase ? UpperCaseAnsi(from) : from;
  std::string out;
  size_t pos = 0;
  for (;;) {
    size_t hit = FindAtChar(hay, needle, pos);
    if (hit == std::string::npos) break;
    out.append(s, pos, hit - pos);
    out += to;
    pos = hit + needle.size();
    if (!all) break;
  }
  out.append(s, pos, std::string::npos);
  c.ResultStr(out);
}

void FnHanToZen(TSysFuncCall& c) { c.ResultStr(HanToZen(c.Str(0))); }
void FnZenToHan(TSysFuncCall& c) { c.ResultStr(ZenToHan(c.Str(0))); }

void FnAddDelimiter(TSysFuncCall& c) {
  std::string text = c.Str(1);
  c.ResultStr(text.empty() ? std::string() : text + c.Str(0));
}

}  // namespace

void AddStringFuncs(TSysFuncMan& m) {
  m.Register(0, FnIntToStr);
  m.Register(1, FnIntToHex);
  m.Register(5, FnLength);
  m.Register(6, FnJLength);
  m.Register(7, FnCopy);
  m.Register(8, FnJCopy);
  m.Register(9, FnDelete);
  m.Register(10, FnJDelete);
  m.Register(11, FnInsert);
  m.Register(12, FnJInsert);
  m.Register(13, FnCompareStr);
  m.Register(14, FnCompareText);
  m.Register(15, FnPos);
  m.Register(16, FnJPos);
  m.Register(17, FnTrim);
  m.Register(18, FnJTrim);
  m.Register(64, FnFixStr);
  m.Register(73, FnLowerCase);
  m.Register(74, FnUpperCase);
  m.Register(82, FnStringOfChar);
  m.Register(83, FnStringReplace);
  m.Register(85, FnHanToZen);
  m.Register(86, FnZenToHan);
  m.Register(133, FnAddDelimiter);
}

}  // namespace nova
