// The YmdHms parser's modes and the day number, checked against dates whose
// day numbers are known.
#include <gtest/gtest.h>

#include <string>

#include "builtins/ymdhms.h"

namespace zel::test {
namespace {

using ymd::Ymd;

TEST(YmdHmsTest, ParseModesAndTwoDigitYears) {
  struct { const char* text; int mode; bool twoDigit; bool ok; Ymd want; } cases[] = {
      {"2007:02:29", ymd::kSyntaxOnly, false, true, {{2007, 2, 29, 0, 0, 0}}},
      {"2007:02:29", ymd::kTimeOnly, false, true, {{2007, 2, 29, 0, 0, 0}}},
      {"2007:02:29", ymd::kFull, false, false, {}},
      {"2000:02:29", ymd::kFull, false, true, {{2000, 2, 29, 0, 0, 0}}},
      {"1900:02:29", ymd::kFull, false, false, {}},
      {"07:1:5", ymd::kFull, true, true, {{2007, 1, 5, 0, 0, 0}}},
      {"77:1:5", ymd::kFull, true, true, {{1977, 1, 5, 0, 0, 0}}},
      {"07:1:5", ymd::kFull, false, true, {{7, 1, 5, 0, 0, 0}}},
      {"0007:1:5", ymd::kFull, true, true, {{7, 1, 5, 0, 0, 0}}},  // four digits written
      {"2007::05", ymd::kSyntaxOnly, false, false, {}},
      {"2007:13:01", ymd::kFull, false, false, {}},
      {"20070:01:01", ymd::kFull, false, false, {}},
      {"20070:01:01", ymd::kSyntaxOnly, false, true, {{20070, 1, 1, 0, 0, 0}}},
      {"2007:06:15:13:05:00", ymd::kFull, false, true, {{2007, 6, 15, 13, 5, 0}}},
      {"2007:06:15:24:00:00", ymd::kFull, false, false, {}},
      {"2007:06:15:24:99:99", ymd::kLenientTime, false, true, {{2007, 6, 15, 0, 99, 99}}},
      {"2007:06:15:25:00:00", ymd::kLenientTime, false, false, {}},
      {"2007:06:15:23:60:00", ymd::kFull, false, false, {}},
      {"0:0:0:23:59:59", ymd::kTimeOnly, false, true, {{0, 0, 0, 23, 59, 59}}},
      {"2007:06", ymd::kSyntaxOnly, false, false, {}},          // one separator
      {"2007:06:15:13", ymd::kSyntaxOnly, false, false, {}},    // three
      {"1:2:3:4:5:6:7", ymd::kSyntaxOnly, false, false, {}},    // six
      {"2007-06-15", ymd::kSyntaxOnly, false, false, {}},
      {"2007:06:15 ", ymd::kSyntaxOnly, false, false, {}},
      {"99999999999999999999:1:1", ymd::kSyntaxOnly, false, false, {}},  // beyond 32 bits
      {"2007:00:10", ymd::kFull, false, false, {}},
      {"2007:04:31", ymd::kFull, false, false, {}},
      {"2007:04:00", ymd::kFull, false, false, {}},
  };
  for (const auto& c : cases) {
    Ymd got;
    EXPECT_EQ(ymd::Parse(c.text, &got, c.mode, c.twoDigit), c.ok) << c.text << " mode " << c.mode;
    if (!c.ok) continue;
    for (int f = 0; f < ymd::kFields; ++f) EXPECT_EQ(got.f[f], c.want.f[f]) << c.text << " field " << f;
  }
}

TEST(YmdHmsTest, DayNumbersRoundTripAcrossCenturies) {
  EXPECT_EQ(ymd::DayNumber(0, 1, 1), 1);
  EXPECT_EQ(ymd::DayNumber(1970, 1, 1), 719529);
  EXPECT_EQ(ymd::DayNumber(2000, 3, 1), 730546);
  EXPECT_EQ(ymd::DayNumber(2000, 3, 1) - ymd::DayNumber(2000, 2, 28), 2);
  EXPECT_EQ(ymd::DayNumber(1900, 3, 1) - ymd::DayNumber(1900, 2, 28), 1);
  // Every day from 1590 to 2410: consecutive numbers, and each maps back.
  int64_t expect = ymd::DayNumber(1590, 1, 1);
  for (int32_t y = 1590; y <= 2410; ++y)
    for (int32_t m = 1; m <= 12; ++m)
      for (int32_t d = 1; d <= ymd::MonthLength(y, m); ++d, ++expect) {
        ASSERT_EQ(ymd::DayNumber(y, m, d), expect) << y << ":" << m << ":" << d;
        Ymd back;
        ymd::FromDayNumber(expect, &back);
        ASSERT_TRUE(back.f[0] == y && back.f[1] == m && back.f[2] == d) << expect;
      }
  Ymd first;
  ymd::FromDayNumber(1, &first);
  EXPECT_TRUE(first.f[0] == 0 && first.f[1] == 1 && first.f[2] == 1);
}

TEST(YmdHmsTest, FormatPrintsFourOrTwoDigitYears) {
  char out[32];
  Ymd t{{2007, 6, 15, 13, 5, 0}};
  ymd::Format(t, true, out, sizeof out);
  EXPECT_STREQ(out, "2007:06:15:13:05:00");
  ymd::Format(t, false, out, sizeof out);
  EXPECT_STREQ(out, "07:06:15:13:05:00");
  char small[8];
  ymd::Format(t, true, small, sizeof small);
  EXPECT_STREQ(small, "2007:06");
}

}  // namespace
}  // namespace zel::test
