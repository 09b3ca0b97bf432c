// Date and time functions on date serials (days since 1899-12-30, time as a fraction).
#include "base/encoding.h"
#include "params/datetime.h"
#include "params/sysfunc_internal.h"

namespace nova {
namespace {

// The platform's date-time type is a double: serials pass through it on the way in and out.
Real AsDateTime(Real v) { return static_cast<Real>(static_cast<double>(v)); }
Real Serial(TSysFuncCall& c, int i) { return AsDateTime(c.Float(i)); }

void FnEncodeDate(TSysFuncCall& c) {
  Real serial = 0;
  int y = c.Int(0), m = c.Int(1), d = c.Int(2);
  if (!TryEncodeDate(y, m, d, serial)) throw ENovaError(Format("%d-%d-%d is not a valid date", y, m, d));
  c.ResultFloat(AsDateTime(serial));
}

void FnEncodeTime(TSysFuncCall& c) {
  Real t = 0;
  int h = c.Int(0), m = c.Int(1), s = c.Int(2);
  if (!TryEncodeTime(h, m, s, 0, t)) throw ENovaError(Format("%d:%d:%d is not a valid time", h, m, s));
  c.ResultFloat(AsDateTime(t));
}

void FnDecodeDate(TSysFuncCall& c) {
  TDateParts d = DecodeDate(Serial(c, 0));
  c.Out(1).SetAsInt(d.Year);
  c.Out(2).SetAsInt(d.Month);
  c.Out(3).SetAsInt(d.Day);
}

void FnDecodeTime(TSysFuncCall& c) {
  TTimeParts t = DecodeTime(Serial(c, 0));
  c.Out(1).SetAsInt(t.Hour);
  c.Out(2).SetAsInt(t.Min);
  c.Out(3).SetAsInt(t.Sec);
}

void FnGetYear(TSysFuncCall& c) { c.ResultInt(DecodeDate(Serial(c, 0)).Year); }
void FnGetMonth(TSysFuncCall& c) { c.ResultInt(DecodeDate(Serial(c, 0)).Month); }
void FnGetDay(TSysFuncCall& c) { c.ResultInt(DecodeDate(Serial(c, 0)).Day); }
void FnGetHour(TSysFuncCall& c) { c.ResultInt(DecodeTime(Serial(c, 0)).Hour); }
void FnGetMin(TSysFuncCall& c) { c.ResultInt(DecodeTime(Serial(c, 0)).Min); }
void FnGetSec(TSysFuncCall& c) { c.ResultInt(DecodeTime(Serial(c, 0)).Sec); }
void FnGetWeek(TSysFuncCall& c) { c.ResultInt(DayOfWeek(Serial(c, 0))); }

void FnGetWeekStr(TSysFuncCall& c) {
  static const char* const kNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  c.ResultStr(kNames[DayOfWeek(Serial(c, 0)) - 1]);
}

void FnGetWeekJStr(TSysFuncCall& c) {
  static const std::string kNames[7] = {Utf8ToSjis("日"), Utf8ToSjis("月"), Utf8ToSjis("火"), Utf8ToSjis("水"),
                                        Utf8ToSjis("木"), Utf8ToSjis("金"), Utf8ToSjis("土")};
  c.ResultStr(kNames[DayOfWeek(Serial(c, 0)) - 1]);
}

}  // namespace

void AddDateFuncs(TSysFuncMan& m) {
  m.Register(51, FnEncodeDate);
  m.Register(52, FnEncodeTime);
  m.Register(53, FnDecodeDate);
  m.Register(54, FnDecodeTime);
  m.Register(55, FnGetYear);
  m.Register(56, FnGetMonth);
  m.Register(57, FnGetDay);
  m.Register(58, FnGetHour);
  m.Register(59, FnGetMin);
  m.Register(60, FnGetSec);
  m.Register(61, FnGetWeek);
  m.Register(62, FnGetWeekStr);
  m.Register(63, FnGetWeekJStr);
}

}  // namespace nova
