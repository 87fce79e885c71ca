// Time functions: spans between times that add back to the later time, the
// target of a wait for a time of day, and waits that end early on a stop
// request.
#include <gtest/gtest.h>

#include <string>

#include "builtins/timecalc.h"
#include "ctxfixture.h"

namespace zel::test {
namespace {

using ymd::Ymd;

std::string Text(const Ymd& t) {
  char out[64];
  ymd::Format(t, true, out, sizeof out);
  return out;
}

TEST(TimeCalcTest, SpanAddsBackToTheLaterTime) {
  // Every day from December 2007 to March 2009 against later times days,
  // months and years away, with and without a borrowed hour.
  const int offsets[] = {0, 1, 27, 28, 29, 30, 31, 59, 60, 61, 365, 366, 400, 1000};
  for (int64_t n = ymd::DayNumber(2007, 12, 1); n <= ymd::DayNumber(2009, 3, 31); ++n) {
    for (int k : offsets) {
      for (int hour : {0, 13}) {
        Ymd earlier, later, span, back;
        ymd::FromDayNumber(n, &earlier);
        ymd::FromDayNumber(n + k, &later);
        earlier.f[ymd::kHour] = hour;
        later.f[ymd::kHour] = 6;
        bool ok = ymd::Span(later, earlier, &span);
        ASSERT_EQ(ok, k > 0 || hour <= 6) << Text(later) << " - " << Text(earlier);
        if (!ok) continue;
        ASSERT_TRUE(ymd::Shift(earlier, span, false, &back));
        ASSERT_EQ(Text(back), Text(later)) << Text(earlier) << " + " << Text(span);
      }
    }
  }
}

TEST(TimeCalcTest, WaitForATimeOfDayThatPassedEndsTomorrow) {
  struct { Ymd given, now; const char* want; } cases[] = {
      {{{0, 0, 0, 10, 0, 0}}, {{2007, 6, 15, 9, 59, 59}}, "2007:06:15:10:00:00"},
      {{{0, 0, 0, 10, 0, 0}}, {{2007, 6, 15, 10, 0, 0}}, "2007:06:15:10:00:00"},
      {{{0, 0, 0, 10, 0, 0}}, {{2008, 2, 28, 10, 0, 1}}, "2008:02:29:10:00:00"},
      {{{0, 0, 0, 0, 0, 0}}, {{2007, 12, 31, 23, 0, 0}}, "2008:01:01:00:00:00"},
      {{{2007, 1, 1, 0, 0, 0}}, {{2008, 6, 15, 10, 0, 0}}, "2007:01:01:00:00:00"},
  };
  for (const auto& c : cases) {
    Ymd target;
    ASSERT_TRUE(ymd::WaitTarget(c.given, c.now, &target));
    EXPECT_EQ(Text(target), c.want) << Text(c.now);
  }
}

ScriptContext* g_stopTarget = nullptr;

void CALLBACK RequestStop(HWND, UINT, UINT_PTR, DWORD) { g_stopTarget->stopRequested = 1; }

using WaitTest = ContextTest;

TEST_F(WaitTest, StopRequestEndsTheWaits) {
  g_stopTarget = ctx;
  // The last one waits for a time of day a minute ago: tomorrow.
  for (const char* line : {"timedelay(20)", "timedelay(-20)",
                           "timewait(\"0:0:0:\" : strsub(timesubtract(timeymdhms(), "
                           "\"0:0:0:0:1:0\"), 12, 8))"}) {
    ctx->stopRequested = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 200, RequestStop);  // run by the wait's own pump
    ASSERT_NE(timer, 0u);
    DWORD start = GetTickCount();
    Outcome o = Run(line);
    DWORD took = GetTickCount() - start;
    KillTimer(nullptr, timer);
    EXPECT_EQ(o.text, "1") << line;
    EXPECT_GE(took, 150u) << line;
    EXPECT_LT(took, 3000u) << line;
  }
  ctx->stopRequested = 0;
}

}  // namespace
}  // namespace zel::test
