// Error processing after a statement: the control codes, the ErrorMode
// table, the report's box (its text and buttons), the additional
// information, and the silent-mode log.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "boxcloser.h"
#include "ctxfixture.h"
#include "errdialogdriver.h"
#include "errors/errinfo.h"
#include "errors/report.h"

namespace zel::test {
namespace {

using err::After;

class ReportTest : public ContextTest {
 protected:
  void TearDown() override {
    if (!logPath_.empty()) DeleteFileA(logPath_.c_str());
    if (window_) DestroyWindow(window_);
    ContextTest::TearDown();
  }

  // Turns silent mode on with a fresh log file in the temporary folder.
  void BeSilent() {
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
    logPath_ = std::string(temp) + "zel_silent_" + std::to_string(GetCurrentProcessId()) + ".log";
    DeleteFileA(logPath_.c_str());
    ctx->silentMode = 1;
    snprintf(ctx->logFile, sizeof ctx->logFile, "%s", logPath_.c_str());
  }
  std::string Log() {
    std::ifstream in(logPath_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // Gives the context a host window with a title, as a host binds it.
  void HostWindow(const char* title) {
    window_ = CreateWindowA("STATIC", title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                            nullptr);
    ASSERT_NE(window_, nullptr);
    ctx->hostWindow = ctx->ownerWindow = window_;
  }

  // Leaves `number` as a statement's error and runs the processing after it.
  After Fail(uint16_t number, const char* line = "x = 1") {
    ctx->error = number;
    return err::AfterStatement(ctx, line);
  }

  std::string logPath_;
  HWND window_ = nullptr;
};

// ---- the ErrorMode table

struct ModeCase {
  uint32_t mode;
  uint16_t number;
  int answer;     // the button pressed
  int boxes;      // boxes shown
  bool canCancel; // the box offers Continue and Exit
  After after;
};

TEST_F(ReportTest, ErrorModeDecidesBoxAndOutcome) {
  const uint32_t off = kErrorModeOff, cancel = kErrorModeCancel, notify = kErrorModeNotify;
  static const ModeCase cases[] = {
      {off, 1351, IDOK, 0, false, After::kContinue},
      {off, 2058, IDOK, 1, true, After::kContinue},
      {off, 2058, IDCANCEL, 1, true, After::kStop},
      {off, 3062, IDOK, 1, false, After::kStop},
      {cancel, 1351, IDOK, 1, false, After::kStop},
      {cancel, 2058, IDOK, 1, false, After::kStop},
      {cancel, 3062, IDOK, 1, false, After::kStop},
      {notify, 1351, IDOK, 1, true, After::kContinue},
      {notify, 1351, IDCANCEL, 1, true, After::kStop},
      {notify, 2058, IDOK, 1, true, After::kContinue},
      {notify, 3062, IDOK, 1, false, After::kStop},
  };
  for (const ModeCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " error " << c.number << " answer "
                                    << c.answer);
    ctx->errorMode = c.mode;
    ctx->reportedError = 0;
    BoxCloser closer(c.answer);
    EXPECT_EQ(Fail(c.number), c.after);
    EXPECT_EQ(closer.boxes(), c.boxes);
    if (c.boxes) {
      EXPECT_EQ(closer.offeredCancel(), c.canCancel);
    }
    EXPECT_EQ(ctx->lastError, c.number);
    EXPECT_EQ(ctx->reportedError, c.number);
    EXPECT_EQ(ctx->error, c.after == After::kContinue ? 0 : c.number);
  }
}

TEST_F(ReportTest, DialogShowsComposedMessageAndFailingLine) {
  ErrorDialogDriver driver;
  EXPECT_EQ(Fail(3062, "x = 1/0"), After::kStop);
  ASSERT_EQ(driver.seen().size(), 1u);
  EXPECT_EQ(driver.seen()[0].title, "Error:");
  EXPECT_EQ(driver.text(), "3062:  Attempt to divide by zero\n\nx = 1/0");
  EXPECT_STREQ(ctx->composedMessage, "3062:  Attempt to divide by zero");
  EXPECT_STREQ(ctx->failLine, "x = 1/0");
}

TEST_F(ReportTest, CaptionNamesTheHostWindow) {
  HostWindow("Host Title");
  ErrorDialogDriver driver;
  Fail(3062);
  ASSERT_EQ(driver.seen().size(), 1u);
  EXPECT_EQ(driver.seen()[0].title, "Error:  Host Title");
}

TEST_F(ReportTest, AdditionalInformationShownThenFreed) {
  err::AddErrorInfo(ctx, "first detail");
  ErrorDialogDriver driver(IDOK, true, false);
  Fail(3066, "x = abs(1");
  ASSERT_EQ(driver.seen().size(), 1u);
  EXPECT_TRUE(driver.seen()[0].moreInfoEnabled);
  EXPECT_EQ(driver.seen()[0].moreInfo, "first detail");
  EXPECT_EQ(driver.text(), "3066:  Wrong Number of Arguments in Function\n\nx = abs(1");
  Fail(3062, "y = 1/0");
  EXPECT_FALSE(driver.seen().back().moreInfoEnabled) << "nothing more to tell";
  EXPECT_EQ(ctx->errorInfo, nullptr);
}

TEST_F(ReportTest, MinorErrorUnderOffIsRecordedAndItsInformationFreed) {
  ctx->errorMode = kErrorModeOff;
  err::AddErrorInfo(ctx, "detail");
  BoxCloser closer;
  EXPECT_EQ(Fail(1351), After::kContinue);
  EXPECT_EQ(closer.boxes(), 0);
  EXPECT_EQ(ctx->reportedError, 1351u);
  EXPECT_EQ(ctx->errorInfo, nullptr);
}

TEST_F(ReportTest, ScriptDefinedErrorsShowTheirOwnText) {
  snprintf(ctx->customErrorText, sizeof ctx->customErrorText, "%s", "the script's words");
  ErrorDialogDriver driver;
  Fail(2669, "");
  EXPECT_EQ(driver.text(), "2669:  the script's words");
  Fail(1213, "");
  EXPECT_EQ(driver.text(), "1213:  the script's words");
  ctx->customErrorText[0] = 0;
  Fail(2669, "");
  EXPECT_EQ(driver.text(), "2669:  Moderate user-defined error");
}

TEST_F(ReportTest, MessageWithoutTextShowsOnlyTheNumber) {
  ErrorDialogDriver driver;
  Fail(3001, "");
  EXPECT_EQ(driver.text(), "3001:  ");
}

// ---- control codes

TEST_F(ReportTest, ControlCodesEndTheRunUnshown) {
  BoxCloser closer;
  for (uint16_t code : {9000, 9002, 9012, 9013, 9014, 9015, 9016, 9999}) {
    EXPECT_EQ(Fail(code), After::kStop) << code;
    EXPECT_EQ(ctx->error, code);
    EXPECT_EQ(ctx->lastError, code);
  }
  EXPECT_EQ(closer.boxes(), 0);
  EXPECT_EQ(ctx->reportedError, 0u);
}

TEST_F(ReportTest, ContinueFlagLetsAReportedCodeGoOn) {
  BoxCloser closer;
  for (uint16_t code : {9013, 9014, 9016}) {
    ctx->continueFlag = 1;
    EXPECT_EQ(Fail(code), After::kContinue) << code;
    EXPECT_EQ(ctx->continueFlag, 0u);
    EXPECT_EQ(ctx->error, 0);
    EXPECT_EQ(ctx->lastError, code);
  }
  EXPECT_EQ(Fail(9016), After::kStop);  // the flag was used up
  EXPECT_EQ(closer.boxes(), 0);
}

TEST_F(ReportTest, ContinueFlagDoesNotOutliveAStatement) {
  ctx->continueFlag = 1;
  EXPECT_EQ(Fail(0), After::kContinue);
  EXPECT_EQ(ctx->continueFlag, 0u);
}

TEST_F(ReportTest, HandledAssignmentContinuesWithTheRealNumber) {
  ctx->substitutedError = 3062;
  EXPECT_EQ(Fail(9998), After::kContinue);
  EXPECT_EQ(ctx->error, 0);
  EXPECT_EQ(ctx->lastError, 3062);
}

TEST_F(ReportTest, ArmedHandlerWithNothingToRunStillReports) {
  ctx->errorHandlerMode = kHandlerLabel;
  ctx->cancelHandlerMode = kHandlerLabel;
  BoxCloser closer;
  EXPECT_EQ(Fail(3062), After::kStop);
  EXPECT_EQ(closer.boxes(), 1);
  EXPECT_EQ(Fail(9999), After::kStop);
  EXPECT_EQ(closer.boxes(), 1);
}

// ---- silent mode

// A logged report: the date line, then the message and the line, each
// followed by a blank line, then the separator.
void ExpectBlock(const std::string& block, const std::string& title, const std::string& message,
                 const std::string& line) {
  size_t eol = block.find("\r\n");
  ASSERT_NE(eol, std::string::npos);
  std::regex date(R"(\d\d/\d\d/\d\d  \d\d:\d\d:\d\d  )");
  std::string head = block.substr(0, eol);
  ASSERT_GE(head.size(), title.size());
  EXPECT_TRUE(std::regex_match(head.substr(0, head.size() - title.size()), date)) << head;
  EXPECT_EQ(head.substr(head.size() - title.size()), title);
  EXPECT_EQ(block.substr(eol), "\r\n\r\n" + message + "\r\n\r\n" + line + "\r\n\r\n<HR>\r\n\r\n");
}

TEST_F(ReportTest, SilentReportIsLoggedAndStops) {
  BeSilent();
  ctx->errorMode = kErrorModeNotify;
  BoxCloser closer;
  EXPECT_EQ(Fail(2058, "x = strcat()"), After::kStop);
  EXPECT_EQ(closer.boxes(), 0);
  ExpectBlock(Log(), "", "2058:  StrCat: Function syntax error", "x = strcat()");
  EXPECT_EQ(ctx->reportedError, 2058u);
  EXPECT_STREQ(ctx->composedMessage, "2058:  StrCat: Function syntax error");
}

TEST_F(ReportTest, SilentReportsAppendDatedBlocks) {
  BeSilent();
  HostWindow("Owner");
  Fail(3062, "x = 1/0");
  Fail(1351, "y = 2 ** -1");
  std::string log = Log();
  size_t cut = log.find("<HR>\r\n\r\n") + 8;
  ExpectBlock(log.substr(0, cut), "Owner", "3062:  Attempt to divide by zero", "x = 1/0");
  ExpectBlock(log.substr(cut), "Owner", "1351:  FP Math: Fact args must be positive whole numbers <=170",
              "y = 2 ** -1");
}

TEST_F(ReportTest, SilentMinorErrorUnderOffIsNotLogged) {
  BeSilent();
  ctx->errorMode = kErrorModeOff;
  EXPECT_EQ(Fail(1351), After::kContinue);
  EXPECT_EQ(Log(), "");
}

TEST_F(ReportTest, SilentWithoutLogFileStillStops) {
  BeSilent();
  ctx->logFile[0] = 0;
  BoxCloser closer;
  EXPECT_EQ(Fail(2058), After::kStop);
  EXPECT_EQ(closer.boxes(), 0);
}

TEST_F(ReportTest, UnwritableLogLosesTheReport) {
  BeSilent();
  snprintf(ctx->logFile, sizeof ctx->logFile, "%s", "Q:\\no\\such\\folder\\zel.log");
  EXPECT_EQ(Fail(3062), After::kStop);
}

TEST_F(ReportTest, SilentBoxesAreLoggedAndAnswerCancel) {
  BeSilent();
  BoxCloser closer;
  EXPECT_EQ(err::ShowBox(ctx, "Some text", "Some caption", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(closer.boxes(), 0);
  ExpectBlock(Log(), "", "Some text", "Some caption");
}

TEST_F(ReportTest, BoxesAreShownWhenNotSilent) {
  BoxCloser closer(IDCANCEL);
  EXPECT_EQ(err::ShowBox(ctx, "Some text", "Some caption", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(closer.boxes(), 1);
  EXPECT_EQ(closer.caption(), "Some caption");
}

// ---- failures outside statements

TEST_F(ReportTest, FailureShowsItsTextUnderTheCaption) {
  BoxCloser closer;
  err::ReportFailure(ctx, 111, "Specified menu/batch file not found", err::kSeveritySevere);
  EXPECT_EQ(closer.boxes(), 1);
  EXPECT_EQ(closer.caption(), "Execution Error");
  EXPECT_EQ(closer.text(), "Specified menu/batch file not found");
  EXPECT_FALSE(closer.offeredCancel());
}

TEST_F(ReportTest, SilentFailureIsLogged) {
  BeSilent();
  BoxCloser closer;
  err::ReportFailure(ctx, 111, "Cannot load", err::kSeveritySevere);
  EXPECT_EQ(closer.boxes(), 0);
  ExpectBlock(Log(), "", "Cannot load", "Execution Error");
}

// ---- severities

TEST(Severity, RangesMeetAtTheirBounds) {
  EXPECT_EQ(err::ErrorSeverity(1), err::kSeverityMinor);
  EXPECT_EQ(err::ErrorSeverity(2000), err::kSeverityMinor);
  EXPECT_EQ(err::ErrorSeverity(2001), err::kSeverityModerate);
  EXPECT_EQ(err::ErrorSeverity(3000), err::kSeverityModerate);
  EXPECT_EQ(err::ErrorSeverity(3001), err::kSeveritySevere);
  EXPECT_EQ(err::ErrorSeverity(8999), err::kSeveritySevere);
}

}  // namespace
}  // namespace zel::test
