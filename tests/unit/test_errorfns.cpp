// ErrorMode, LastError, ErrorEvent and IntControl, called from script
// lines the way the executor runs them.
#include <gtest/gtest.h>

#include <string>

#include "boxcloser.h"
#include "ctxfixture.h"
#include "errdialogdriver.h"
#include "errors/errinfo.h"
#include "errors/report.h"

namespace zel::test {
namespace {

using err::After;

class ErrorFunctionsTest : public ContextTest {
 protected:
  // Runs a line and the processing after it, as the statement wrapper does.
  After Statement(const char* line) {
    Run(line, false);
    return err::AfterStatement(ctx, line);
  }
  std::string Text(const char* line) {
    Outcome o = Run(line);
    EXPECT_EQ(o.error, 0) << line;
    return o.text;
  }
  uint16_t ErrorOf(const char* line) { return Run(line).error; }
};

// ---- ErrorMode and LastError

TEST_F(ErrorFunctionsTest, OffRecordsAMinorErrorForLastErrorOnce) {
  EXPECT_EQ(Text("errormode(@off)"), "1");
  BoxCloser closer;
  EXPECT_EQ(Statement("x = 2 ** -1"), After::kContinue);
  EXPECT_EQ(closer.boxes(), 0);
  EXPECT_EQ(Text("lasterror()"), "1351");
  EXPECT_EQ(Text("lasterror()"), "0");
}

TEST_F(ErrorFunctionsTest, AnyOtherModeIsNotifyAndThePreviousIsReturned) {
  EXPECT_EQ(Text("errormode(5)"), "1");
  EXPECT_EQ(ctx->errorMode, kErrorModeNotify);
  BoxCloser closer(IDOK);
  EXPECT_EQ(Statement("x = 2 ** -1"), After::kContinue);
  EXPECT_EQ(closer.boxes(), 1);
  EXPECT_TRUE(closer.offeredCancel());
  EXPECT_EQ(Text("errormode(-1)"), "2");
  EXPECT_EQ(Text("errormode(@off)"), "2");
  EXPECT_EQ(Text("errormode(@cancel)"), "0");
  EXPECT_EQ(Text("errormode(@notify)"), "1");
}

TEST_F(ErrorFunctionsTest, LastErrorGivesTheRealNumberBehindASubstitute) {
  for (uint32_t n : {1213u, 1668u, 2214u, 2669u, 3215u, 3670u, 9013u, 9014u, 9015u, 9016u}) {
    ctx->reportedError = n;
    ctx->substitutedError = 7123;
    EXPECT_EQ(Text("lasterror()"), "7123") << n;
    EXPECT_EQ(ctx->substitutedError, 0u);
  }
  ctx->reportedError = 3062;
  ctx->substitutedError = 7123;
  EXPECT_EQ(Text("lasterror()"), "3062");
}

// ---- ErrorEvent

TEST_F(ErrorFunctionsTest, ErrorEventChecksSeverityAndCode) {
  EXPECT_EQ(ErrorOf("errorevent(5, 7001, \"x\")"), 1666);
  EXPECT_EQ(ErrorOf("errorevent(0, 7001, \"x\")"), 1666);
  EXPECT_EQ(ErrorOf("errorevent(-4, 7001, \"x\")"), 1666);
  EXPECT_EQ(ErrorOf("errorevent(-1, 6999, \"x\")"), 1667);
  EXPECT_EQ(ErrorOf("errorevent(-1, 8000, \"x\")"), 1667);
  ctx->errorMode = kErrorModeOff;
  EXPECT_EQ(ErrorOf("errorevent(-1, 7000, \"x\")"), 1668);
  EXPECT_EQ(ErrorOf("errorevent(-1, 7999, \"x\")"), 1668);
}

TEST_F(ErrorFunctionsTest, ErrorEventIsReportedAtOnceAndContinued) {
  ctx->errorMode = kErrorModeNotify;
  ErrorDialogDriver driver(IDOK);
  Outcome o = Run("errorevent(-2, 7001, \"x\")", false);
  EXPECT_EQ(o.error, err::kReportedEvent);
  ASSERT_EQ(driver.seen().size(), 1u);
  EXPECT_EQ(driver.seen()[0].button1, "&Continue");
  EXPECT_EQ(driver.seen()[0].button2, "&Exit");
  EXPECT_EQ(driver.text(), "User-Defined Error:  7001: x\n\nx");
  EXPECT_STREQ(ctx->composedMessage, "User-Defined Error:  7001: x");
  EXPECT_EQ(err::AfterStatement(ctx, "errorevent(-2, 7001, \"x\")"), After::kContinue);
  EXPECT_EQ(driver.seen().size(), 1u);  // not shown a second time
  EXPECT_EQ(Text("lasterror()"), "7001");
  EXPECT_EQ(Text("lasterror()"), "0");
}

TEST_F(ErrorFunctionsTest, ErrorEventExitEndsTheRun) {
  ctx->errorMode = kErrorModeNotify;
  BoxCloser closer(IDCANCEL);
  EXPECT_EQ(Statement("errorevent(-2, 7001, \"x\")"), After::kStop);
  EXPECT_EQ(ctx->error, err::kReportedEvent);
}

TEST_F(ErrorFunctionsTest, SevereErrorEventOffersNoContinue) {
  ctx->errorMode = kErrorModeNotify;
  BoxCloser closer(IDOK);
  EXPECT_EQ(Statement("errorevent(-3, 7002, \"fatal\")"), After::kStop);
  EXPECT_EQ(closer.boxes(), 1);
  EXPECT_FALSE(closer.offeredCancel());
}

TEST_F(ErrorFunctionsTest, MinorErrorEventUnderOffIsOnlyRecorded) {
  ctx->errorMode = kErrorModeOff;
  BoxCloser closer;
  EXPECT_EQ(Statement("errorevent(-1, 7003, \"quiet\")"), After::kContinue);
  EXPECT_EQ(closer.boxes(), 0);
  EXPECT_EQ(ctx->lastError, err::kEventMinor);
  EXPECT_EQ(Text("lasterror()"), "7003");
}

TEST_F(ErrorFunctionsTest, ErrorEventWithAnArmedHandlerWaitsForTheStatementEnd) {
  EXPECT_EQ(Text("intcontrol(73, 1, 0, \"\", \"\")"), "0");
  ErrorDialogDriver driver;
  EXPECT_EQ(Run("errorevent(-2, 7004, \"later\")", false).error, err::kEventModerate);
  EXPECT_EQ(driver.seen().size(), 0u);
  EXPECT_EQ(err::AfterStatement(ctx, "errorevent(-2, 7004, \"later\")"), After::kStop);
  EXPECT_EQ(driver.seen().size(), 1u);  // no handler took it
  EXPECT_EQ(driver.text(), "2669:  later\n\nerrorevent(-2, 7004, \"later\")");
}

TEST_F(ErrorFunctionsTest, ErrorEventTextIsCutTo255Characters) {
  ctx->errorMode = kErrorModeOff;
  std::string line = "errorevent(-1, 7005, \"" + std::string(300, 'w') + "\")";
  EXPECT_EQ(ErrorOf(line.c_str()), err::kEventMinor);
  EXPECT_EQ(std::string(ctx->customErrorText), std::string(255, 'w'));
}

TEST_F(ErrorFunctionsTest, SilentErrorEventIsLoggedAndStops) {
  char temp[MAX_PATH];
  ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
  std::string log = std::string(temp) + "zel_event_" + std::to_string(GetCurrentProcessId()) + ".log";
  DeleteFileA(log.c_str());
  std::string on = "intcontrol(38, 1, \"" + log + "\", 0, 0)";
  EXPECT_EQ(Text(on.c_str()), "0");
  ctx->errorMode = kErrorModeNotify;
  BoxCloser closer;
  EXPECT_EQ(Statement("errorevent(-2, 7006, \"logged\")"), After::kStop);
  EXPECT_EQ(closer.boxes(), 0);
  HANDLE f = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  char buf[512] = "";
  DWORD got = 0;
  ReadFile(f, buf, sizeof buf - 1, &got, nullptr);
  CloseHandle(f);
  DeleteFileA(log.c_str());
  std::string text(buf, got);
  EXPECT_NE(text.find("\r\n\r\nUser-Defined Error:  7006: logged\r\n\r\nlogged\r\n\r\n<HR>\r\n\r\n"),
            std::string::npos)
      << text;
}

// ---- IntControl

TEST_F(ErrorFunctionsTest, SilentModeReturnsThePreviousMode) {
  EXPECT_EQ(Text("intcontrol(38, 1, \"C:\\errors.log\", 0, 0)"), "0");
  EXPECT_EQ(ctx->silentMode, 1u);
  EXPECT_STREQ(ctx->logFile, "C:\\errors.log");
  EXPECT_EQ(Text("intcontrol(38, -1, \"other.log\", 0, 0)"), "1");  // out of range: only reads
  EXPECT_STREQ(ctx->logFile, "C:\\errors.log");
  EXPECT_EQ(Text("intcontrol(38, 0, \"\", 0, 0)"), "1");
  EXPECT_EQ(ctx->silentMode, 0u);
  EXPECT_STREQ(ctx->logFile, "");
}

TEST_F(ErrorFunctionsTest, HandlerModesReturnThePreviousMode) {
  EXPECT_EQ(Text("intcontrol(72, 2, 0, \"\", \"\")"), "-1");
  EXPECT_EQ(Text("intcontrol(72, 5, 0, \"\", \"\")"), "2");
  EXPECT_EQ(Text("intcontrol(72, -1, 0, \"\", \"\")"), "2");  // -1 is never set by a script
  EXPECT_EQ(ctx->cancelHandlerMode, kHandlerSubroutine);
  EXPECT_EQ(Text("intcontrol(73, 3, 0, \"MyHandler\", \"\")"), "0");
  EXPECT_EQ(ctx->errorHandlerMode, kHandlerFunction);
  EXPECT_STREQ(ctx->errorHandlerName, "MyHandler");
  EXPECT_EQ(Text("intcontrol(73, 0, 0, \"Other\", \"\")"), "3");
  EXPECT_STREQ(ctx->errorHandlerName, "MyHandler");  // a name only comes with mode 3
  EXPECT_EQ(ctx->cancelHandlerName[0], 0);
}

TEST_F(ErrorFunctionsTest, HandlerNameHoldsThirtyCharacters) {
  std::string line = "intcontrol(72, 3, 0, \"" + std::string(31, 'n') + "\", \"\")";
  EXPECT_EQ(Text(line.c_str()), "-1");
  EXPECT_EQ(std::string(ctx->cancelHandlerName), std::string(30, 'n'));
}

TEST_F(ErrorFunctionsTest, FlagOneFreesTheAdditionalInformation) {
  err::AddErrorInfo(ctx, "detail");
  EXPECT_EQ(Text("intcontrol(73, -1, 0, \"\", \"\")"), "0");
  EXPECT_NE(ctx->errorInfo, nullptr);
  EXPECT_EQ(Text("intcontrol(73, -1, 1, \"\", \"\")"), "0");
  EXPECT_EQ(ctx->errorInfo, nullptr);
  err::AddErrorInfo(ctx, "detail");
  EXPECT_EQ(Text("intcontrol(72, -1, 1, \"\", \"\")"), "-1");
  EXPECT_EQ(ctx->errorInfo, nullptr);
}

TEST_F(ErrorFunctionsTest, ExecuteReportModeTakesZeroToTwo) {
  EXPECT_EQ(Text("intcontrol(87, 2, 0, 0, 0)"), "0");
  EXPECT_EQ(Text("intcontrol(87, 3, 0, 0, 0)"), "2");
  EXPECT_EQ(Text("intcontrol(87, -1, 0, 0, 0)"), "2");
  EXPECT_EQ(Text("intcontrol(87, 0, 0, 0, 0)"), "2");
  EXPECT_EQ(ctx->executeReportMode, 0);
}

TEST_F(ErrorFunctionsTest, ResultIsText) {
  EXPECT_EQ(Run("intcontrol(87, 1, 0, 0, 0)").type, 's');
}

TEST_F(ErrorFunctionsTest, UnknownRequestRaises3171) {
  for (const char* line : {"intcontrol(0, 0, 0, 0, 0)", "intcontrol(80, 0, 0, 0, 0)",
                           "intcontrol(102, 0, 0, 0, 0)", "intcontrol(-5, 0, 0, 0, 0)"})
    EXPECT_EQ(ErrorOf(line), 3171) << line;
}

}  // namespace
}  // namespace zel::test
