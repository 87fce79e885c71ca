// The time functions called from script lines: results and their year width,
// and the waits, which keep their length and end early on a stop request.
#include <gtest/gtest.h>

#include <string>

#include "ctxfixture.h"

namespace zel::test {
namespace {

class TimeFunctionsTest : public ContextTest {
 protected:
  std::string Text(const std::string& line) {
    Outcome o = Run(line.c_str());
    EXPECT_EQ(o.error, 0) << line;
    return o.text;
  }

  // Runs `line`, which must return 1; the milliseconds it took.
  DWORD Timed(const std::string& line) {
    DWORD start = GetTickCount();
    EXPECT_EQ(Text(line), "1") << line;
    return GetTickCount() - start;
  }
};

ScriptContext* g_stopTarget = nullptr;

void CALLBACK RequestStop(HWND, UINT, UINT_PTR, DWORD) {
  if (g_stopTarget) g_stopTarget->stopRequested = 1;
}

// Sets the stop request from a timer that the wait's own message pump runs.
class StopTimer {
 public:
  StopTimer(ScriptContext* ctx, UINT ms) {
    g_stopTarget = ctx;
    id_ = SetTimer(nullptr, 0, ms, RequestStop);
  }
  ~StopTimer() {
    KillTimer(nullptr, id_);
    g_stopTarget = nullptr;
  }
  bool armed() const { return id_ != 0; }

 private:
  UINT_PTR id_;
};

TEST_F(TimeFunctionsTest, JulianDaysRoundTripOverCenturies) {
  for (int year = 1200; year <= 2800; year += 37) {
    for (const char* monthDay : {":01:01", ":02:28", ":12:31"}) {
      std::string date = std::to_string(year) + monthDay;
      std::string back = Text("timejultoymd(timejulianday(\"" + date + "\"))");
      EXPECT_EQ(back, date + ":00:00:00");
    }
  }
  EXPECT_EQ(Text("timejulianday(\"2000:03:01\") - timejulianday(\"2000:02:28\")"), "2");
  EXPECT_EQ(Text("timejulianday(\"2100:03:01\") - timejulianday(\"2100:02:28\")"), "1");
  EXPECT_EQ(Text("timejultoymd(3652425)"), "9999:12:31:00:00:00");
  EXPECT_EQ(Text("timejultoymd(3652426)"), "0000:01:01:00:00:00");  // year 10000 prints its last four digits
}

TEST_F(TimeFunctionsTest, TwoDigitYearsFollowTheSwitch) {
  EXPECT_EQ(Text("timeadd(\"49:12:31\", \"0:0:1\")"), "2050:01:01:00:00:00");
  EXPECT_EQ(Text("timeadd(\"50:12:31\", \"0:0:1\")"), "1951:01:01:00:00:00");
  EXPECT_EQ(Text("intcontrol(41, 0, 0, 0, 0)"), "1");
  EXPECT_EQ(ctx->yearFourDigits, 0);
  EXPECT_EQ(Text("timeadd(\"1999:12:31:23:59:59\", \"0:0:0:0:0:1\")"), "00:01:01:00:00:00");
  EXPECT_EQ(Text("timediff(\"2009:03:01\", \"2007:02:28\")"), "02:00:01:00:00:00");
  EXPECT_EQ(Text("timesubtract(\"2000:03:01\", \"0:0:1\")"), "00:02:29:00:00:00");
  EXPECT_EQ(Text("strlen(timeymdhms())"), "17");
}

TEST_F(TimeFunctionsTest, DiffSecsStopsAt22000Days) {
  EXPECT_EQ(Text("timediffsecs(\"2067:03:27\", \"2007:01:01\")"), "1900800000");  // 22000 days
  EXPECT_EQ(Run("timediffsecs(\"2067:03:28\", \"2007:01:01\")").error, 1018);
  EXPECT_EQ(Text("timediffsecs(\"2007:01:01\", \"2067:03:27\")"), "-1900800000");
  EXPECT_EQ(Run("timediffsecs(\"2007:01:01\", \"2067:03:28\")").error, 1018);
}

TEST_F(TimeFunctionsTest, ClockTextsHaveTheirShape) {
  std::string exact = Text("getexacttime()");
  ASSERT_EQ(exact.size(), 11u) << exact;
  for (size_t i : {2u, 5u, 8u}) EXPECT_EQ(exact[i], ':') << exact;
  std::string now = Text("timeymdhms()");
  EXPECT_EQ(Text("timediffdays(\"" + now + "\", timeymdhms())"), "0");
  EXPECT_EQ(Text("gettickcount() > 0"), "1");
}

TEST_F(TimeFunctionsTest, DelaysWaitAboutAsLongAsAsked) {
  DWORD took = Timed("timedelay(0.3)");
  EXPECT_GE(took, 280u);
  EXPECT_LT(took, 1500u);
  took = Timed("timedelay(-0.25)");
  EXPECT_GE(took, 240u);
  EXPECT_LT(took, 1000u);
  took = Timed("delay(1)");
  EXPECT_GE(took, 980u);
  EXPECT_LT(took, 2500u);
}

TEST_F(TimeFunctionsTest, StopRequestEndsTheWaits) {
  {
    StopTimer stop(ctx, 200);
    ASSERT_TRUE(stop.armed());
    EXPECT_LT(Timed("timedelay(20)"), 3000u);
  }
  ctx->stopRequested = 0;
  {
    // A time of day a minute ago waits until tomorrow, unless stopped.
    StopTimer stop(ctx, 200);
    ASSERT_TRUE(stop.armed());
    EXPECT_LT(Timed("timewait(\"0:0:0:\" : strsub(timesubtract(timeymdhms(), \"0:0:0:0:1:0\"), 12, 8))"),
              3000u);
  }
  ctx->stopRequested = 0;
  {
    StopTimer stop(ctx, 200);
    ASSERT_TRUE(stop.armed());
    EXPECT_LT(Timed("timedelay(-20)"), 3000u);
  }
}

}  // namespace
}  // namespace zel::test
