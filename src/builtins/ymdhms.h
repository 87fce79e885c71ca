// The YmdHms text ("2007:06:15:13:05:00"), the form every time and file-time
// function reads and writes, and the day number used for calendar arithmetic.
#pragma once
#include <cstddef>
#include <cstdint>
#include "host/api.h"

namespace zel::ymd {

// Checks ParseYMDHMS applies after the syntax.
enum ParseMode : int {
  kSyntaxOnly = 0,   // any field values
  kFull = 1,         // time below 24:60:60, then the date
  kLenientTime = 2,  // hour 24 becomes 0, minutes and seconds unchecked, then the date
  kTimeOnly = 3,     // the time checks of kFull, no date checks
};

enum Field : int { kYear, kMonth, kDay, kHour, kMinute, kSecond, kFields };

struct Ymd {
  int32_t f[kFields];  // year, month, day, hour, minute, second
};

// Reads `text` into `out`; false when it is not valid for `mode`. With
// `twoDigitYear`, a year written with one or two digits becomes 2000 + year
// below 50 and 1900 + year from 50 on.
bool Parse(const char* text, Ymd* out, int mode, bool twoDigitYear);

bool IsLeapYear(int32_t year);
int32_t MonthLength(int32_t year, int32_t month);  // month 1..12

// Day number of a date: 0000:01:01 is day 1, 1970:01:01 day 719529.
int64_t DayNumber(int32_t year, int32_t month, int32_t day);
// The date of a day number (n >= 1): year, month and day of `out`; the time
// fields are set to 0.
void FromDayNumber(int64_t n, Ymd* out);

// Prints `t` as "YYYY:MM:DD:hh:mm:ss", or with the year modulo 100 as two
// digits when `fourDigitYear` is false. `size` bounds the output.
void Format(const Ymd& t, bool fourDigitYear, char* out, size_t size);

}  // namespace zel::ymd

// Exported for extenders: parses `text` into six integers (year, month, day,
// hour, minute, second); non-zero when the text is valid for `mode`.
ZEL_API BOOL WINAPI ParseYMDHMS(const char* text, int32_t* fields, int32_t mode,
                                int32_t twoDigitYear);
