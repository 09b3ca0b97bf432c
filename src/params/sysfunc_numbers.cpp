// Number functions: conversions, Random, trigonometry, absolute values, minimum and maximum.
#include <cmath>

#include "params/param_convert.h"
#include "params/sysfunc_internal.h"

namespace nova {
namespace {

void FnNot(TSysFuncCall& c) { c.ResultBool(!c.Bool(0)); }
void FnRandom(TSysFuncCall& c) { c.ResultInt(NextRandom(c.Int(0))); }
void FnInt(TSysFuncCall& c) { c.ResultInt(RealToInt(c.Float(0))); }
void FnFloat(TSysFuncCall& c) { c.ResultFloat(c.Float(0)); }
void FnSin(TSysFuncCall& c) { c.ResultFloat(std::sin(c.Float(0))); }
void FnCos(TSysFuncCall& c) { c.ResultFloat(std::cos(c.Float(0))); }
void FnTan(TSysFuncCall& c) { c.ResultFloat(std::tan(c.Float(0))); }
void FnArcSin(TSysFuncCall& c) { c.ResultFloat(std::asin(c.Float(0))); }
void FnArcCos(TSysFuncCall& c) { c.ResultFloat(std::acos(c.Float(0))); }
void FnArcTan(TSysFuncCall& c) { c.ResultFloat(std::atan(c.Float(0))); }
// The angle of the point (x = a1, y = a0).
void FnArcTan2(TSysFuncCall& c) { c.ResultFloat(std::atan2(c.Float(0), c.Float(1))); }
void FnHypot(TSysFuncCall& c) { c.ResultFloat(std::hypot(c.Float(0), c.Float(1))); }

void FnAbs(TSysFuncCall& c) {
  // The most negative integer stays itself, as 32-bit negation wraps.
  auto v = static_cast<uint32_t>(c.Int(0));
  c.ResultInt(static_cast<int32_t>(static_cast<int32_t>(v) < 0 ? 0u - v : v));
}
void FnFabs(TSysFuncCall& c) { c.ResultFloat(std::fabs(c.Float(0))); }

void FnMin(TSysFuncCall& c) {
  int32_t a = c.Int(0), b = c.Int(1);
  c.ResultInt(a < b ? a : b);
}
void FnMax(TSysFuncCall& c) {
  int32_t a = c.Int(0), b = c.Int(1);
  c.ResultInt(a > b ? a : b);
}
void FnFmin(TSysFuncCall& c) {
  Real a = c.Float(0), b = c.Float(1);
  c.ResultFloat(a < b ? a : b);
}
void FnFmax(TSysFuncCall& c) {
  Real a = c.Float(0), b = c.Float(1);
  c.ResultFloat(a > b ? a : b);
}

void FnStrToIntDef(TSysFuncCall& c) {
  int32_t v = 0;
  c.ResultInt(TryTextToInt(c.Str(0), v) ? v : c.Int(1));
}
void FnStrToFloatDef(TSysFuncCall& c) {
  Real v = 0;
  c.ResultFloat(TryTextToReal(c.Str(0), v) ? v : c.Float(1));
}

}  // namespace

void AddNumberFuncs(TSysFuncImpl* t) {
  t[20] = FnNot;
  t[26] = FnRandom;
  t[37] = FnInt;
  t[38] = FnFloat;
  t[39] = FnSin;
  t[40] = FnCos;
  t[41] = FnTan;
  t[42] = FnArcSin;
  t[43] = FnArcCos;
  t[44] = FnArcTan;
  t[45] = FnArcTan2;
  t[46] = FnHypot;
  t[48] = FnAbs;
  t[49] = FnFabs;
  t[126] = FnMin;
  t[127] = FnMax;
  t[128] = FnFmin;
  t[129] = FnFmax;
  t[138] = FnStrToIntDef;
  t[139] = FnStrToFloatDef;
}

}  // namespace nova
