// Calendar arithmetic on YmdHms fields (spans added and taken away through the
// day number, the field-by-field span between two times).
#include "builtins/timecalc.h"

#include <algorithm>

namespace zel::ymd {
namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kMonthsPerYear = 12;

// Division rounding toward minus infinity, for a positive divisor.
int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

int64_t SecondsOfDay(int64_t hours, int64_t minutes, int64_t seconds) {
  return (hours * 60 + minutes) * 60 + seconds;
}

}  // namespace

bool Shift(const Ymd& t, const Ymd& span, bool subtract, Ymd* out) {
  int64_t sign = subtract ? -1 : 1;
  // Whole days in the span's seconds count as days.
  int64_t days = span.f[kDay] + span.f[kSecond] / kSecondsPerDay;
  int64_t seconds = span.f[kSecond] % kSecondsPerDay;
  int64_t months = int64_t{t.f[kYear]} * kMonthsPerYear + (t.f[kMonth] - 1) +
                   sign * (int64_t{span.f[kYear]} * kMonthsPerYear + span.f[kMonth]);
  if (months < 0 || months / kMonthsPerYear > kMaxYear) return false;
  int32_t year = static_cast<int32_t>(months / kMonthsPerYear);
  int32_t month = static_cast<int32_t>(months % kMonthsPerYear) + 1;
  int32_t day = std::min(t.f[kDay], MonthLength(year, month));
  int64_t clock = SecondsOfDay(t.f[kHour], t.f[kMinute], t.f[kSecond]) +
                  sign * SecondsOfDay(span.f[kHour], span.f[kMinute], seconds);
  int64_t carry = FloorDiv(clock, kSecondsPerDay);
  clock -= carry * kSecondsPerDay;
  int64_t n = DayNumber(year, month, day) + sign * days + carry;
  if (n < 1 || n > DayNumber(kMaxYear, 12, 31)) return false;
  FromDayNumber(n, out);
  out->f[kHour] = static_cast<int32_t>(clock / 3600);
  out->f[kMinute] = static_cast<int32_t>(clock / 60 % 60);
  out->f[kSecond] = static_cast<int32_t>(clock % 60);
  return true;
}

bool Span(const Ymd& later, const Ymd& earlier, Ymd* out) {
  int32_t* d = out->f;
  for (int i = 0; i < kFields; ++i) d[i] = later.f[i] - earlier.f[i];
  if (d[kSecond] < 0) { d[kSecond] += 60; --d[kMinute]; }
  if (d[kMinute] < 0) { d[kMinute] += 60; --d[kHour]; }
  if (d[kHour] < 0) { d[kHour] += 24; --d[kDay]; }
  // A negative day borrows the month before the later time's month; a day of
  // the earlier time that the borrowed month does not have counts as well,
  // the way Shift lowers such a day to the month's end.
  int32_t year = later.f[kYear], month = later.f[kMonth];
  while (d[kYear] >= 0 && (d[kMonth] < 0 || d[kDay] < 0)) {
    if (d[kMonth] < 0) {
      d[kMonth] += 12;
      --d[kYear];
      continue;
    }
    if (--month < 1) {
      month = 12;
      --year;
    }
    int32_t length = MonthLength(year, month);
    d[kDay] += length + std::max(0, earlier.f[kDay] - length);
    --d[kMonth];
  }
  return d[kYear] >= 0;
}

int Compare(const Ymd& a, const Ymd& b) {
  for (int i = 0; i < kFields; ++i)
    if (a.f[i] != b.f[i]) return a.f[i] < b.f[i] ? -1 : 1;
  return 0;
}

Ymd FromSystemTime(const SYSTEMTIME& st) {
  return Ymd{{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond}};
}

bool WaitTarget(const Ymd& given, const Ymd& now, Ymd* target) {
  *target = given;
  if (given.f[kYear] != 0 || given.f[kMonth] != 0 || given.f[kDay] != 0) return true;
  for (int i = kYear; i <= kDay; ++i) target->f[i] = now.f[i];
  if (Compare(*target, now) >= 0) return true;
  Ymd oneDay{{0, 0, 1, 0, 0, 0}};
  Ymd today = *target;
  return Shift(today, oneDay, false, target);
}

}  // namespace zel::ymd
