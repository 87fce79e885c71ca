// Calendar arithmetic on YmdHms fields: adding and taking away spans, the
// span between two times, ordering, and the target of a wait.
#pragma once
#include <windows.h>
#include <cstdint>
#include "builtins/ymdhms.h"

namespace zel::ymd {

// Results past this year are refused, so every field stays a 32-bit value.
constexpr int32_t kMaxYear = 999999;

// `t` moved by `span` (years, months, days, hours, minutes and seconds to add,
// or to take away when `subtract`). A day beyond the month reached by the
// years and months is lowered to that month's last day first (January 31 plus
// one month is the last day of February). False when the result lies before
// 0000:01:01 or after kMaxYear.
bool Shift(const Ymd& t, const Ymd& span, bool subtract, Ymd* out);

// The span from `earlier` to `later` in years, months, days, hours, minutes
// and seconds, field by field with borrows, so that adding the span to
// `earlier` gives `later`. False when `later` lies before `earlier`.
bool Span(const Ymd& later, const Ymd& earlier, Ymd* out);

// Orders two times field by field: negative, 0 or positive.
int Compare(const Ymd& a, const Ymd& b);

Ymd FromSystemTime(const SYSTEMTIME& st);

// The moment a wait for `given` ends, seen at `now`: a full date stays as it
// is; a time of day (year, month and day 0) falls on today, or on tomorrow
// when that moment has already passed.
bool WaitTarget(const Ymd& given, const Ymd& now, Ymd* target);

}  // namespace zel::ymd
