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

void AddNumberFuncs(TSysFuncMan& m) {
  m.Register(20, FnNot);
  m.Register(26, FnRandom);
  m.Register(37, FnInt);
  m.Register(38, FnFloat);
  m.Register(39, FnSin);
  m.Register(40, FnCos);
  m.Register(41, FnTan);
  m.Register(42, FnArcSin);
  m.Register(43, FnArcCos);
  m.Register(44, FnArcTan);
  m.Register(45, FnArcTan2);
  m.Register(46, FnHypot);
  m.Register(48, FnAbs);
  m.Register(49, FnFabs);
  m.Register(126, FnMin);
  m.Register(127, FnMax);
  m.Register(128, FnFmin);
  m.Register(129, FnFmax);
  m.Register(138, FnStrToIntDef);
  m.Register(139, FnStrToFloatDef);
}

}  // namespace nova
