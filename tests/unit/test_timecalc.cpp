// Calendar arithmetic: spans added and taken away at month ends, in leap
// years and at the century rule; spans between times that add back; the
// target of a wait for a time of day; the display text's fallback form.
#include <gtest/gtest.h>

#include <string>

#include "builtins/time.h"
#include "builtins/timecalc.h"

namespace zel::test {
namespace {

using ymd::Ymd;

std::string Text(const Ymd& t) {
  char out[64];
  ymd::Format(t, true, out, sizeof out);
  return out;
}

Ymd Parse(const char* text, int mode = ymd::kSyntaxOnly) {
  Ymd t;
  EXPECT_TRUE(ymd::Parse(text, &t, mode, false)) << text;
  return t;
}

TEST(TimeCalcTest, ShiftAddsAndTakesAwaySpans) {
  struct { const char* time; const char* span; bool subtract; const char* want; } cases[] = {
      {"2007:01:31:00:00:00", "0:1:0:0:0:0", false, "2007:02:28:00:00:00"},
      {"2008:01:31:00:00:00", "0:1:0:0:0:0", false, "2008:02:29:00:00:00"},
      {"2100:01:31:00:00:00", "0:1:0:0:0:0", false, "2100:02:28:00:00:00"},
      {"2400:01:31:00:00:00", "0:1:0:0:0:0", false, "2400:02:29:00:00:00"},
      {"2007:01:31:00:00:00", "0:1:1:0:0:0", false, "2007:03:01:00:00:00"},
      {"2008:02:29:00:00:00", "1:0:0:0:0:0", false, "2009:02:28:00:00:00"},
      {"2007:08:31:00:00:00", "0:25:0:0:0:0", false, "2009:09:30:00:00:00"},
      {"2007:01:01:00:00:00", "0:0:0:0:0:90061", false, "2007:01:02:01:01:01"},
      {"2007:12:31:23:59:59", "0:0:0:0:0:1", false, "2008:01:01:00:00:00"},
      {"2007:12:31:00:00:00", "0:0:0:48:0:0", false, "2008:01:02:00:00:00"},
      {"2007:01:01:00:00:00", "0:0:0:0:1500:0", false, "2007:01:02:01:00:00"},
      {"1970:01:01:00:00:00", "0:0:0:0:0:2147483647", false, "2038:01:19:03:14:07"},
      {"2007:03:01:00:00:00", "0:0:1:0:0:0", true, "2007:02:28:00:00:00"},
      {"2000:03:01:00:00:00", "0:0:1:0:0:0", true, "2000:02:29:00:00:00"},
      {"1900:03:01:00:00:00", "0:0:1:0:0:0", true, "1900:02:28:00:00:00"},
      {"2007:03:31:00:00:00", "0:1:0:0:0:0", true, "2007:02:28:00:00:00"},
      {"2007:01:31:00:00:00", "0:2:0:0:0:0", true, "2006:11:30:00:00:00"},
      {"2007:01:01:00:00:00", "0:0:0:0:0:1", true, "2006:12:31:23:59:59"},
      {"2007:01:01:00:30:00", "0:0:0:0:0:90061", true, "2006:12:30:23:28:59"},
      {"0001:03:01:00:00:00", "1:2:0:0:0:0", true, "0000:01:01:00:00:00"},
  };
  for (const auto& c : cases) {
    Ymd out;
    ASSERT_TRUE(ymd::Shift(Parse(c.time), Parse(c.span), c.subtract, &out)) << c.time << " " << c.span;
    EXPECT_EQ(Text(out), c.want) << c.time << (c.subtract ? " - " : " + ") << c.span;
  }
}

TEST(TimeCalcTest, ShiftRefusesResultsOutsideTheCalendar) {
  struct { const char* time; const char* span; bool subtract; } cases[] = {
      {"0000:01:01:00:00:00", "0:0:1:0:0:0", true},
      {"0000:01:01:00:00:00", "0:0:0:0:0:1", true},
      {"0001:01:01:00:00:00", "2:0:0:0:0:0", true},
      {"0001:01:01:00:00:00", "0:13:0:0:0:0", true},
      {"9999:12:31:00:00:00", "999999:0:0:0:0:0", false},
      {"2007:01:01:00:00:00", "0:2147483647:0:0:0:0", false},
      {"2007:01:01:00:00:00", "0:0:2147483647:0:0:0", false},
  };
  for (const auto& c : cases) {
    Ymd out;
    EXPECT_FALSE(ymd::Shift(Parse(c.time), Parse(c.span), c.subtract, &out)) << c.time << " " << c.span;
  }
}

TEST(TimeCalcTest, SpanBorrowsAndAddsBackToTheLaterTime) {
  struct { const char* later; const char* earlier; const char* want; } cases[] = {
      {"2007:03:01:00:00:00", "2007:01:31:12:00:00", "0000:01:00:12:00:00"},
      {"2008:03:01:00:00:00", "2007:02:28:00:00:00", "0001:00:02:00:00:00"},
      {"2007:05:01:00:00:00", "2007:03:31:00:00:00", "0000:01:01:00:00:00"},
      {"2008:01:01:00:00:00", "2007:12:31:23:59:59", "0000:00:00:00:00:01"},
      {"2007:06:15:13:05:00", "2007:06:15:13:05:00", "0000:00:00:00:00:00"},
  };
  for (const auto& c : cases) {
    Ymd span;
    ASSERT_TRUE(ymd::Span(Parse(c.later), Parse(c.earlier), &span)) << c.later << " " << c.earlier;
    EXPECT_EQ(Text(span), c.want) << c.later << " - " << c.earlier;
  }
  // Every day from December 2007 to March 2009 against later times a day,
  // a month, a year and more away, with and without a borrowed hour.
  const int offsets[] = {0, 1, 27, 28, 29, 30, 31, 59, 60, 61, 365, 366, 400, 1000};
  int64_t first = ymd::DayNumber(2007, 12, 1), last = ymd::DayNumber(2009, 3, 31);
  for (int64_t n = first; n <= last; ++n) {
    for (int k : offsets) {
      for (int hour : {0, 13}) {
        Ymd earlier, later, span, back;
        ymd::FromDayNumber(n, &earlier);
        earlier.f[ymd::kHour] = hour;
        ymd::FromDayNumber(n + k, &later);
        later.f[ymd::kHour] = 6;
        if (k == 0 && hour > 6) {
          EXPECT_FALSE(ymd::Span(later, earlier, &span)) << Text(later) << " - " << Text(earlier);
          continue;
        }
        ASSERT_TRUE(ymd::Span(later, earlier, &span)) << Text(later) << " - " << Text(earlier);
        ASSERT_TRUE(ymd::Shift(earlier, span, false, &back));
        ASSERT_EQ(Text(back), Text(later)) << Text(earlier) << " + " << Text(span);
      }
    }
  }
}

TEST(TimeCalcTest, SpanRefusesAnEarlierLaterTime) {
  Ymd span;
  EXPECT_FALSE(ymd::Span(Parse("2007:01:01"), Parse("2007:01:01:00:00:01"), &span));
  EXPECT_FALSE(ymd::Span(Parse("2007:01:01"), Parse("2007:02:01"), &span));
  EXPECT_FALSE(ymd::Span(Parse("2006:12:31"), Parse("2007:01:01"), &span));
}

TEST(TimeCalcTest, WaitForATimeOfDayThatPassedEndsTomorrow) {
  struct { const char* given; const char* now; const char* want; } cases[] = {
      {"0:0:0:10:00:00", "2007:06:15:09:59:59", "2007:06:15:10:00:00"},
      {"0:0:0:10:00:00", "2007:06:15:10:00:00", "2007:06:15:10:00:00"},
      {"0:0:0:10:00:00", "2007:06:15:10:00:01", "2007:06:16:10:00:00"},
      {"0:0:0:10:00:00", "2008:02:28:11:00:00", "2008:02:29:10:00:00"},
      {"0:0:0:00:00:00", "2007:12:31:23:00:00", "2008:01:01:00:00:00"},
      {"2007:01:01:00:00:00", "2008:06:15:10:00:00", "2007:01:01:00:00:00"},
  };
  for (const auto& c : cases) {
    Ymd target;
    ASSERT_TRUE(ymd::WaitTarget(Parse(c.given), Parse(c.now), &target));
    EXPECT_EQ(Text(target), c.want) << c.given << " at " << c.now;
  }
}

TEST(TimeCalcTest, DisplayFallbackFollowsTheInternationalSettings) {
  SYSTEMTIME st{};
  st.wYear = 2007;
  st.wMonth = 6;
  st.wDay = 5;
  st.wMinute = 5;
  st.wSecond = 9;
  struct { int order; bool clock24; bool fourDigits; WORD hour; const char* want; } cases[] = {
      {0, false, false, 0, "Tue  6/05/07 12:05:09 AM"},
      {0, false, false, 12, "Tue  6/05/07 12:05:09 PM"},
      {0, false, true, 13, "Tue  6/05/2007  1:05:09 PM"},
      {1, false, false, 11, "Tue  5/06/07 11:05:09 AM"},
      {2, true, true, 0, "Tue 2007/06/05  0:05:09"},
      {2, true, false, 23, "Tue 07/06/05 23:05:09"},
  };
  for (const auto& c : cases) {
    calls::IntlDisplay s{c.order, c.clock24, '/', ':', "AM", "PM", c.fourDigits};
    st.wHour = c.hour;
    char out[128];
    calls::FormatIntlDisplay(s, st, "Tue", out, sizeof out);
    EXPECT_STREQ(out, c.want);
  }
}

}  // namespace
}  // namespace zel::test
