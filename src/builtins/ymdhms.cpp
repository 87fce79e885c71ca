// The YmdHms text and the day number.
#include "builtins/ymdhms.h"

#include <cstdio>
#include <cstring>

namespace zel::ymd {
namespace {

constexpr int kMaxYearDigits = 4;

// Step 5 of the checks: the time of day for every mode but kSyntaxOnly.
bool CheckTime(Ymd* t, int mode) {
  if (t->f[kHour] == 24 && mode == kLenientTime) {
    t->f[kHour] = 0;
    return true;
  }
  if (mode == kLenientTime) return t->f[kHour] < 24;
  return t->f[kMinute] < 60 && t->f[kSecond] < 60 && t->f[kHour] < 24;
}

bool CheckDate(Ymd* t, size_t yearDigits, bool twoDigitYear) {
  if (t->f[kDay] == 0 || t->f[kMonth] == 0 || t->f[kMonth] > 12) return false;
  if (yearDigits > kMaxYearDigits) return false;
  if (twoDigitYear && yearDigits <= 2) t->f[kYear] += t->f[kYear] < 50 ? 2000 : 1900;
  return t->f[kDay] <= MonthLength(t->f[kYear], t->f[kMonth]);
}

}  // namespace

bool IsLeapYear(int32_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int32_t MonthLength(int32_t year, int32_t month) {
  switch (month) {
    case 2: return IsLeapYear(year) ? 29 : 28;
    case 4: case 6: case 9: case 11: return 30;
    default: return 31;
  }
}

bool Parse(const char* text, Ymd* out, int mode, bool twoDigitYear) {
  *out = Ymd{};
  if (!text || strstr(text, "::")) return false;
  size_t yearDigits = 0;
  int field = 0;
  for (const char* p = text; *p && field < kFields; ++p) {
    if (*p == ':') {
      ++field;
    } else if (*p >= '0' && *p <= '9') {
      // A field too long for 32 bits is invalid whatever the mode.
      int64_t v = int64_t{out->f[field]} * 10 + (*p - '0');
      if (v > INT32_MAX) return false;
      out->f[field] = static_cast<int32_t>(v);
      if (field == kYear) ++yearDigits;
    } else {
      return false;
    }
  }
  if (field != 2 && field != 5) return false;
  if (mode == kSyntaxOnly) return true;
  if (!CheckTime(out, mode)) return false;
  if (mode == kTimeOnly) return true;
  return CheckDate(out, yearDigits, twoDigitYear);
}

int64_t DayNumber(int32_t year, int32_t month, int32_t day) {
  int64_t a = month + 9;
  int64_t y = year + a / 12 + 399;
  return ((a % 12) * 153 + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 + day - 146037;
}

void FromDayNumber(int64_t n, Ymd* out) {
  *out = Ymd{};
  // Estimate the year from the mean year length, then correct it.
  int64_t year = (n * 400) / 146097;
  while (year > 0 && DayNumber(static_cast<int32_t>(year), 1, 1) > n) --year;
  while (DayNumber(static_cast<int32_t>(year + 1), 1, 1) <= n) ++year;
  int32_t y = static_cast<int32_t>(year);
  int32_t month = 1;
  while (month < 12 && DayNumber(y, month + 1, 1) <= n) ++month;
  out->f[kYear] = y;
  out->f[kMonth] = month;
  out->f[kDay] = static_cast<int32_t>(n - DayNumber(y, month, 1) + 1);
}

void Format(const Ymd& t, bool fourDigitYear, char* out, size_t size) {
  if (size == 0) return;
  if (fourDigitYear)
    snprintf(out, size, "%04d:%02d:%02d:%02d:%02d:%02d", static_cast<int>(t.f[kYear]),
             static_cast<int>(t.f[kMonth]), static_cast<int>(t.f[kDay]),
             static_cast<int>(t.f[kHour]), static_cast<int>(t.f[kMinute]),
             static_cast<int>(t.f[kSecond]));
  else
    snprintf(out, size, "%02d:%02d:%02d:%02d:%02d:%02d", static_cast<int>(t.f[kYear] % 100),
             static_cast<int>(t.f[kMonth]), static_cast<int>(t.f[kDay]),
             static_cast<int>(t.f[kHour]), static_cast<int>(t.f[kMinute]),
             static_cast<int>(t.f[kSecond]));
}

}  // namespace zel::ymd

ZEL_API BOOL WINAPI ParseYMDHMS(const char* text, int32_t* fields, int32_t mode,
                                int32_t twoDigitYear) {
  zel::ymd::Ymd t;
  bool ok = zel::ymd::Parse(text, &t, mode, twoDigitYear != 0);
  if (fields) memcpy(fields, t.f, sizeof t.f);
  return ok ? TRUE : FALSE;
}
