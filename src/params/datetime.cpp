#include "params/datetime.h"

#include <cmath>

#include "base/error.h"
#include "params/param_convert.h"

namespace nova {
namespace {

constexpr int64_t kMSecsPerDay = 86400000;
constexpr int64_t kDateDelta = 693594;  // days from 0001-01-01 (day 1) to 1899-12-30

struct TTimeStamp {
  int64_t Date;  // day 1 = 0001-01-01
  int64_t Time;  // milliseconds into the day
};

// The serial rounded to whole milliseconds; a negative serial keeps its fraction positive.
TTimeStamp ToTimeStamp(Real serial) {
  Real ms = std::nearbyint(std::fabs(serial) * kMSecsPerDay);
  if (!std::isfinite(ms) || ms >= 9.2e18L) throw ENovaError(kInvalidFloatOperation);
  auto t = static_cast<int64_t>(ms);
  int64_t days = t / kMSecsPerDay;
  if (days > INT32_MAX) throw ENovaError(kIntOverflow);
  TTimeStamp r;
  r.Time = t % kMSecsPerDay;
  r.Date = (serial < 0 ? -days : days) + kDateDelta;
  return r;
}

int64_t DaysBeforeYear(int64_t year) {
  int64_t y = year - 1;
  return y * 365 + y / 4 - y / 100 + y / 400;
}

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0) && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return (month == 2 && IsLeapYear(year)) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, Real& serial) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    return false;
  int64_t days = DaysBeforeYear(year);
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  days += day;
  serial = static_cast<Real>(days - kDateDelta);
  return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, Real& fraction) {
  if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
    return false;
  int64_t ms = ((int64_t{hour} * 60 + min) * 60 + sec) * 1000 + msec;
  fraction = static_cast<Real>(ms) / static_cast<Real>(kMSecsPerDay);
  return true;
}

TDateParts DecodeDate(Real serial) {
  int64_t day = ToTimeStamp(serial).Date;
  TDateParts d;
  if (day <= 0) return d;
  // Count whole 400-, 100-, 4- and 1-year cycles from 0001-01-01.
  int64_t n = day - 1;
  int64_t y = 1;
  y += 400 * (n / 146097);
  n %= 146097;
  int64_t c = n / 36524;
  if (c == 4) c = 3;
  y += 100 * c;
  n -= c * 36524;
  y += 4 * (n / 1461);
  n %= 1461;
  int64_t k = n / 365;
  if (k == 4) k = 3;
  y += k;
  n -= k * 365;
  int year = static_cast<int>(y), month = 1;
  while (n >= DaysInMonth(year, month)) n -= DaysInMonth(year, month++);
  d.Year = year;
  d.Month = month;
  d.Day = static_cast<int>(n) + 1;
  return d;
}

TTimeParts DecodeTime(Real serial) {
  int64_t t = ToTimeStamp(serial).Time;
  TTimeParts r;
  r.Hour = static_cast<int>(t / 3600000);
  r.Min = static_cast<int>(t / 60000 % 60);
  r.Sec = static_cast<int>(t / 1000 % 60);
  r.MSec = static_cast<int>(t % 1000);
  return r;
}

int DayOfWeek(Real serial) {
  int64_t day = ToTimeStamp(serial).Date;
  int64_t w = day % 7;
  if (w < 0) w += 7;
  return static_cast<int>(w) + 1;
}

}  // namespace nova
