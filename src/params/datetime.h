#pragma once
// Date serials: whole days since 1899-12-30 plus the time of day as a fraction, on the
// proleptic Gregorian calendar. Decoding rounds to the millisecond; for a negative serial the
// fraction counts forward from the start of its (negative) day, as the platform's runtime does.
#include <cstdint>

#include "base/extended.h"

namespace nova {

struct TDateParts {
  int Year = 0, Month = 0, Day = 0;
};
struct TTimeParts {
  int Hour = 0, Min = 0, Sec = 0, MSec = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1..12
// False for years outside 1..9999 or a day that the month does not have.
bool TryEncodeDate(int year, int month, int day, Real& serial);
// False outside 0-23, 0-59, 0-59, 0-999.
bool TryEncodeTime(int hour, int min, int sec, int msec, Real& fraction);

// Raise an error for a serial too large to decode (the runtime's integer overflow).
TDateParts DecodeDate(Real serial);  // all zero before 0001-01-01
TTimeParts DecodeTime(Real serial);
int DayOfWeek(Real serial);  // 1 = Sunday .. 7 = Saturday

}  // namespace nova
