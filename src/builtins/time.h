// Time functions.
#pragma once
#include <windows.h>
#include <cstddef>

namespace zel::calls {

void RegisterTime();

// The user's international settings that the display text of the date and
// time falls back on when the system cannot format them.
struct IntlDisplay {
  int dateOrder;       // 0 month day year, 1 day month year, else year month day
  bool clock24;        // false: a 12-hour clock with the two marks
  char dateSeparator;
  char timeSeparator;
  char morning[16];
  char afternoon[16];
  bool fourDigitYear;
};

// "Wed 6/13/07 1:05:00 PM" and the like: the weekday's name, the date and the
// time of `st` by the settings `s`; `size` bounds the output.
void FormatIntlDisplay(const IntlDisplay& s, const SYSTEMTIME& st, const char* weekday, char* out,
                       size_t size);

}  // namespace zel::calls
