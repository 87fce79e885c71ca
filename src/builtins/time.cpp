// Time functions (the clock as YmdHms and display texts, calendar arithmetic
// on YmdHms texts, day numbers, and the waits that keep messages flowing).
#include "builtins/time.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "builtins/dispatch.h"
#include "builtins/timecalc.h"
#include "builtins/ymdhms.h"
#include "errors/errinfo.h"
#include "errors/messages.h"
#include "exec/pump.h"
#include "expr/eval.h"

namespace zel::calls {
namespace {

using ymd::Ymd;

constexpr uint16_t kDiffBadValue = 1017;     // TimeDiffDays, TimeDiffSecs
constexpr uint16_t kDiffOutOfRange = 1018;   // TimeDiffSecs over kMaxSecondsSpanDays
constexpr uint16_t kAddFailed = 1019;
constexpr uint16_t kJulianBadValue = 1020;   // TimeJulianDay
constexpr uint16_t kDelayFailed = 1021;      // TimeDelay, Delay
constexpr uint16_t kWaitBadTime = 1022;      // TimeWait
constexpr uint16_t kBadJulianDay = 1461;     // TimeJulToYmd
constexpr uint16_t kSubtractFailed = 1462;   // TimeSubtract, TimeDiff

constexpr int64_t kMaxSecondsSpanDays = 22000;  // keeps TimeDiffSecs within 32 bits
constexpr uint32_t kWeekdayNames = 207;         // "SunMonTueWedThuFriSat"
constexpr int kWeekdayLength = 3;
constexpr DWORD kPollMs = 100;                  // clock checks of a wait
constexpr DWORD kTopUpMs = 1000;                // TimeDelay's last wait at most
constexpr double kMsNudge = 1e-6;
constexpr int kColonsOfFullTime = 5;
constexpr size_t kTimeText = 64;
constexpr size_t kDisplayText = 256;
constexpr size_t kIntlText = 32;

// ---- arguments and results

bool ParseTime(ScriptContext* ctx, const Value& arg, int mode, Ymd* out) {
  return ymd::Parse(ArgText(ctx, arg), out, mode, true);
}

bool ParseSpan(ScriptContext* ctx, const Value& arg, Ymd* out) {
  return ymd::Parse(ArgText(ctx, arg), out, ymd::kSyntaxOnly, false);
}

// A YmdHms result, its year as wide as the run's setting asks.
void SetTime(ScriptContext* ctx, Value* r, const Ymd& t) {
  char out[kTimeText];
  ymd::Format(t, ctx->yearFourDigits != 0, out, sizeof out);
  expr::SetText(ctx, r, out);
}

Ymd Now(bool utc) {
  SYSTEMTIME st;
  if (utc)
    GetSystemTime(&st);
  else
    GetLocalTime(&st);
  return ymd::FromSystemTime(st);
}

// ---- the clock

void TimeYmdHms(ScriptContext* ctx, Value* r, Value*, int, bool, int) {
  SetTime(ctx, r, Now(false));
}

void WeekdayName(ScriptContext* ctx, int weekday, char out[kWeekdayLength + 1]) {
  char names[kIntlText];
  int length = msg::Load(ctx, kWeekdayNames, names, sizeof names);
  int at = weekday * kWeekdayLength;
  out[0] = 0;
  if (at >= 0 && at + kWeekdayLength <= length) {
    memcpy(out, names + at, kWeekdayLength);
    out[kWeekdayLength] = 0;
  }
}

char ProfileChar(const char* key, const char* fallback) {
  char text[kIntlText];
  GetProfileStringA("intl", key, fallback, text, sizeof text);
  return text[0] ? text[0] : fallback[0];
}

IntlDisplay ReadIntlProfile() {
  IntlDisplay s{};
  s.dateOrder = static_cast<int>(GetProfileIntA("intl", "iDate", 0));
  s.clock24 = GetProfileIntA("intl", "iTime", 0) != 0;
  s.dateSeparator = ProfileChar("sDate", "/");
  s.timeSeparator = ProfileChar("sTime", ":");
  GetProfileStringA("intl", "s1159", "AM", s.morning, sizeof s.morning);
  GetProfileStringA("intl", "s2359", "PM", s.afternoon, sizeof s.afternoon);
  char shortDate[kIntlText];
  GetProfileStringA("intl", "sShortDate", "M/d/yy", shortDate, sizeof shortDate);
  s.fourDigitYear = strstr(shortDate, "yyy") != nullptr;
  return s;
}

// TimeDate and DateTime: the weekday, then the date and the time as the
// user's locale writes them.
void TimeDate(ScriptContext* ctx, Value* r, Value*, int, bool, int) {
  SYSTEMTIME st;
  GetLocalTime(&st);
  char weekday[kWeekdayLength + 1];
  WeekdayName(ctx, st.wDayOfWeek, weekday);
  char date[kIntlText * 2], clock[kIntlText * 2], out[kDisplayText];
  if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date) &&
      GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, clock, sizeof clock))
    snprintf(out, sizeof out, "%s %s %s", weekday, date, clock);
  else
    FormatIntlDisplay(ReadIntlProfile(), st, weekday, out, sizeof out);
  expr::SetText(ctx, r, out);
}

// The time of day with hundredths of a second, by the user's time separator.
void GetExactTime(ScriptContext* ctx, Value* r, Value*, int, bool, int) {
  char sep[kIntlText];
  GetProfileStringA("intl", "sTime", ":", sep, sizeof sep);
  SYSTEMTIME st;
  GetLocalTime(&st);
  char out[kDisplayText];
  snprintf(out, sizeof out, "%02d%s%02d%s%02d%s%02d", st.wHour, sep, st.wMinute, sep, st.wSecond,
           sep, st.wMilliseconds / 10);
  expr::SetText(ctx, r, out);
}

void TickCount(ScriptContext*, Value* r, Value*, int, bool, int) {
  r->ival = static_cast<int32_t>(GetTickCount());
}

// ---- calendar arithmetic

void ShiftTime(ScriptContext* ctx, Value* r, Value* args, bool subtract) {
  Ymd t, span, out;
  if (!ParseTime(ctx, args[1], ymd::kFull, &t) || !ParseSpan(ctx, args[2], &span) ||
      !ymd::Shift(t, span, subtract, &out))
    return err::Raise(ctx, subtract ? kSubtractFailed : kAddFailed);
  SetTime(ctx, r, out);
}

void TimeAdd(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  ShiftTime(ctx, r, args, false);
}

void TimeSubtract(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  ShiftTime(ctx, r, args, true);
}

void TimeDiff(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Ymd later, earlier, span;
  if (!ParseTime(ctx, args[1], ymd::kFull, &later) ||
      !ParseTime(ctx, args[2], ymd::kFull, &earlier) || !ymd::Span(later, earlier, &span))
    return err::Raise(ctx, kSubtractFailed);
  SetTime(ctx, r, span);
}

bool ParseTwoTimes(ScriptContext* ctx, Value* args, Ymd* a, Ymd* b) {
  if (ParseTime(ctx, args[1], ymd::kFull, a) && ParseTime(ctx, args[2], ymd::kFull, b)) return true;
  err::Raise(ctx, kDiffBadValue);
  return false;
}

int64_t DayDifference(const Ymd& a, const Ymd& b) {
  return ymd::DayNumber(a.f[ymd::kYear], a.f[ymd::kMonth], a.f[ymd::kDay]) -
         ymd::DayNumber(b.f[ymd::kYear], b.f[ymd::kMonth], b.f[ymd::kDay]);
}

void TimeDiffDays(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Ymd a, b;
  if (ParseTwoTimes(ctx, args, &a, &b)) r->ival = static_cast<int32_t>(DayDifference(a, b));
}

void TimeDiffSecs(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Ymd a, b;
  if (!ParseTwoTimes(ctx, args, &a, &b)) return;
  int64_t days = DayDifference(a, b);
  if (days > kMaxSecondsSpanDays || days < -kMaxSecondsSpanDays) return err::Raise(ctx, kDiffOutOfRange);
  int64_t hours = days * 24 + a.f[ymd::kHour] - b.f[ymd::kHour];
  int64_t minutes = hours * 60 + a.f[ymd::kMinute] - b.f[ymd::kMinute];
  r->ival = static_cast<int32_t>(minutes * 60 + a.f[ymd::kSecond] - b.f[ymd::kSecond]);
}

void TimeJulianDay(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Ymd t;
  if (!ParseTime(ctx, args[1], ymd::kLenientTime, &t)) return err::Raise(ctx, kJulianBadValue);
  r->ival = static_cast<int32_t>(ymd::DayNumber(t.f[ymd::kYear], t.f[ymd::kMonth], t.f[ymd::kDay]));
}

void TimeJulToYmd(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  if (args[1].ival < 1) return err::Raise(ctx, kBadJulianDay);
  Ymd t;
  ymd::FromDayNumber(args[1].ival, &t);
  t.f[ymd::kYear] %= 10000;  // the year prints with four digits at most
  SetTime(ctx, r, t);
}

// ---- waits

// Waits until the clock (local time, or UTC) reaches `target`, checking it
// every kPollMs while messages keep flowing; a stop request ends the wait.
void WaitUntil(ScriptContext* ctx, const Ymd& target, bool utc) {
  while (!ctx->stopRequested) {
    exec::WaitPumping(ctx, kPollMs);
    if (ymd::Compare(Now(utc), target) >= 0) return;
  }
}

int CountColons(const char* text) {
  int n = 0;
  for (const char* p = text; *p; ++p) n += *p == ':';
  return n;
}

// TimeWait: a full YmdHms, or a time of day (year, month and day 0) that
// means today, or tomorrow once it has passed.
void TimeWait(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  const char* text = ArgText(ctx, args[1]);
  Ymd given, target;
  if (CountColons(text) != kColonsOfFullTime || !ymd::Parse(text, &given, ymd::kSyntaxOnly, false))
    return err::Raise(ctx, kWaitBadTime);
  bool timeOfDay = given.f[ymd::kYear] == 0 && given.f[ymd::kMonth] == 0 && given.f[ymd::kDay] == 0;
  if (!ymd::Parse(text, &given, timeOfDay ? ymd::kTimeOnly : ymd::kFull, true) ||
      !ymd::WaitTarget(given, Now(false), &target))
    return err::Raise(ctx, kWaitBadTime);
  WaitUntil(ctx, target, false);
  r->ival = 1;
}

// TimeDelay and Delay: whole seconds are waited for on the UTC clock (which
// a long wait cannot lose to the tick count's wrap), the fraction by the
// tick count. A negative number of seconds is one plain wait of that length.
void TimeDelay(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  DWORD start = GetTickCount();
  double seconds = args[1].fval;
  if (!(std::fabs(seconds) < INT32_MAX)) return err::Raise(ctx, kDelayFailed);  // NaN too
  int64_t whole = static_cast<int64_t>(seconds);
  // The nudge keeps 1.2 from becoming 1 second and 199 milliseconds.
  int64_t ms = static_cast<int64_t>((seconds - static_cast<double>(whole)) * 1000 +
                                    (seconds < 0 ? -kMsNudge : kMsNudge));
  int64_t total = whole * 1000 + ms;
  if (seconds < 0) {
    if (-total >= INFINITE) return err::Raise(ctx, kDelayFailed);
    exec::WaitPumping(ctx, static_cast<uint32_t>(-total));
    r->ival = 1;
    return;
  }
  Ymd target, span{{0, 0, 0, 0, 0, static_cast<int32_t>(whole)}};
  if (!ymd::Shift(Now(true), span, false, &target)) return err::Raise(ctx, kDelayFailed);
  WaitUntil(ctx, target, true);
  if (ms >= 100) exec::WaitPumping(ctx, static_cast<uint32_t>(ms));
  int64_t elapsed = GetTickCount() - start;
  if (elapsed < total)
    exec::WaitPumping(ctx, static_cast<uint32_t>(total - elapsed < kTopUpMs ? total - elapsed : kTopUpMs));
  r->ival = 1;
}

}  // namespace

void FormatIntlDisplay(const IntlDisplay& s, const SYSTEMTIME& st, const char* weekday, char* out,
                       size_t size) {
  if (size == 0) return;
  char year[kIntlText], date[kIntlText * 2], clock[kIntlText];
  snprintf(year, sizeof year, "%0*d", s.fourDigitYear ? 4 : 2,
           s.fourDigitYear ? st.wYear : st.wYear % 100);
  char ds = s.dateSeparator, ts = s.timeSeparator;
  if (s.dateOrder == 0)
    snprintf(date, sizeof date, "%2d%c%02d%c%s", st.wMonth, ds, st.wDay, ds, year);
  else if (s.dateOrder == 1)
    snprintf(date, sizeof date, "%2d%c%02d%c%s", st.wDay, ds, st.wMonth, ds, year);
  else
    snprintf(date, sizeof date, "%s%c%02d%c%02d", year, ds, st.wMonth, ds, st.wDay);
  int hour = st.wHour;
  if (!s.clock24) hour = hour % 12 == 0 ? 12 : hour % 12;
  snprintf(clock, sizeof clock, "%2d%c%02d%c%02d", hour, ts, st.wMinute, ts, st.wSecond);
  if (s.clock24)
    snprintf(out, size, "%s %s %s", weekday, date, clock);
  else
    snprintf(out, size, "%s %s %s %s", weekday, date, clock, st.wHour < 12 ? s.morning : s.afternoon);
}

void RegisterTime() {
  Register("timeymdhms", TimeYmdHms);
  Register("timedate", TimeDate);
  Register("datetime", TimeDate);
  Register("getexacttime", GetExactTime);
  Register("gettickcount", TickCount);
  Register("timeadd", TimeAdd);
  Register("timesubtract", TimeSubtract);
  Register("timediff", TimeDiff);
  Register("timediffdays", TimeDiffDays);
  Register("timediffsecs", TimeDiffSecs);
  Register("timejulianday", TimeJulianDay);
  Register("timejultoymd", TimeJulToYmd);
  Register("timewait", TimeWait);
  Register("timedelay", TimeDelay);
  Register("delay", TimeDelay);
}

}  // namespace zel::calls
