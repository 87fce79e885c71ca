// Error processing after a statement, the error report (a message box, or
// the silent-mode log) and every other message box of the library.
#include "errors/report.h"

#include <mmsystem.h>
#include <cstdio>
#include <cstring>

#include "errors/errdialog.h"
#include "errors/errinfo.h"
#include "errors/errvars.h"
#include "errors/handlers.h"
#include "errors/messages.h"
#include "errors/support.h"
#include "values/strutil.h"

namespace zel::err {
namespace {

constexpr uint32_t kErrorCaption = 230;  // "Error:"
constexpr size_t kTitleSize = 256;       // a window title as reports show it
constexpr char kLogSeparator[] = "\r\n<HR>\r\n\r\n";

// The title of the host's owner window; "" when there is none.
void OwnerTitle(const ScriptContext* ctx, char* buf, size_t size) {
  buf[0] = 0;
  if (ctx->ownerWindow && GetWindowTextA(ctx->ownerWindow, buf, static_cast<int>(size)) <= 0)
    buf[0] = 0;
}

// Appends one dated report to the log file: the date line, the message, the
// line and the separator. A file that cannot be opened or written loses the
// report.
void AppendLog(ScriptContext* ctx, const char* message, const char* line) {
  if (!ctx->logFile[0]) return;
  SYSTEMTIME t;
  GetLocalTime(&t);
  char title[kTitleSize];
  OwnerTitle(ctx, title, sizeof title);
  char out[kTitleSize + 2 * kWorkBuf + 64];
  int n = snprintf(out, sizeof out, "%02d/%02d/%02d  %02d:%02d:%02d  %s\r\n\r\n%s\r\n\r\n%s\r\n%s",
                   t.wMonth, t.wDay, t.wYear % 100, t.wHour, t.wMinute, t.wSecond, title, message,
                   line, kLogSeparator);
  if (n < 0) return;
  if (n >= static_cast<int>(sizeof out)) n = sizeof out - 1;
  HANDLE f = CreateFileA(ctx->logFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  if (SetFilePointer(f, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER)
    WriteFile(f, out, static_cast<DWORD>(n), &written, nullptr);
  CloseHandle(f);
}

// "NNNN:  text": the message of the number, or the custom text of a
// script-defined or extender error.
void ComposeMessage(ScriptContext* ctx, uint16_t number) {
  char text[kWorkBuf];
  if (HasCustomText(number) && ctx->customErrorText[0])
    str::Copy(ctx, text, ctx->customErrorText, sizeof text);
  else
    msg::Load(ctx, number, text, sizeof text);
  snprintf(ctx->composedMessage, sizeof ctx->composedMessage, "%u:  %s", number, text);
}

// Appends a blank line and `part` to a box text, when there is a part.
void AppendPart(ScriptContext* ctx, char* text, size_t size, const char* part) {
  if (!part[0]) return;
  str::Append(ctx, text, "\n\n", size);
  str::Append(ctx, text, part, size);
}

// The report's box when the error dialog cannot be shown: the composed
// message, the additional information and the failing line, under "Error:"
// and the owner's title. OK alone, or OK to continue and Cancel to exit.
int ShowReportBox(ScriptContext* ctx, bool okOnly) {
  char caption[kTitleSize + 64], title[kTitleSize];
  msg::Load(ctx, kErrorCaption, caption, sizeof caption);
  OwnerTitle(ctx, title, sizeof title);
  if (title[0]) {
    str::Append(ctx, caption, "  ", sizeof caption);
    str::Append(ctx, caption, title, sizeof caption);
  }
  char info[kErrorInfoSize];
  CopyErrorInfo(ctx, info, sizeof info);
  char text[2 * kWorkBuf + kErrorInfoSize + 8];
  str::Copy(ctx, text, ctx->composedMessage, sizeof text);
  AppendPart(ctx, text, sizeof text, info);
  AppendPart(ctx, text, sizeof text, ctx->failLine);
  UINT buttons = okOnly ? MB_OK : MB_OKCANCEL;
  return ShowBox(ctx, text, caption, buttons | MB_ICONSTOP);
}

// Shows the error dialog (or, when it cannot be shown, a box); true when the
// user chose Continue. The support-page button opens the page and stops.
bool ShowReport(ScriptContext* ctx, bool okOnly) {
  if (ctx->soundOn) PlaySoundA("SystemHand", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT);
  char browser[kMaxPathLen] = "";
  if (ctx->supportButton) FindBrowser(browser, sizeof browser);
  int button = RunErrorDialog(ctx, okOnly, browser);
  if (button < 0) button = ShowReportBox(ctx, okOnly) == IDOK ? kButtonContinue : kButtonExit;
  if (button == kButtonSupport) OpenSupportPage(ctx, browser);
  return !okOnly && button == kButtonContinue;
}

}  // namespace

int ShowBox(ScriptContext* ctx, const char* text, const char* caption, UINT type) {
  if (ctx->silentMode) {
    AppendLog(ctx, text, caption);
    return IDCANCEL;
  }
  return MessageBoxA(ctx->hostWindow, text, caption, type | MB_TASKMODAL);
}

bool ReportError(ScriptContext* ctx, uint16_t number, int severity, const char* composed) {
  ctx->reportedError = number;
  bool goOn;
  if (ctx->errorMode == kErrorModeOff && severity == kSeverityMinor) {
    goOn = true;  // recorded for LastError, not shown
  } else {
    if (!composed)
      ComposeMessage(ctx, number);
    else if (composed != ctx->composedMessage)
      str::Copy(ctx, ctx->composedMessage, composed, sizeof ctx->composedMessage);
    bool okOnly = ctx->errorMode == kErrorModeCancel || severity == kSeveritySevere;
    if (ctx->silentMode) {
      AppendLog(ctx, ctx->composedMessage, ctx->failLine);
      goOn = false;  // a logged report answers Exit
    } else {
      goOn = ShowReport(ctx, okOnly);
    }
  }
  FreeErrorInfo(ctx);
  if (goOn) ctx->error = 0;
  return goOn;
}

After AfterStatement(ScriptContext* ctx, const char* line, exec::Run* run) {
  uint16_t number = ctx->error;
  ctx->lastError = number;
  bool chosenContinue = ctx->continueFlag != 0;  // consumed by this statement whatever it left
  ctx->continueFlag = 0;
  bool offered = ctx->handlerOffered != 0;       // a handler function already had it
  ctx->handlerOffered = 0;
  if (number == 0) return After::kContinue;
  if (number >= kFirstControlCode && number != kCancel) {  // never reported again
    if (number == kHandledInAssignment) {
      ctx->lastError = static_cast<uint16_t>(ctx->substitutedError);
    } else if (!chosenContinue) {
      return After::kStop;
    }
    ctx->error = 0;
    return After::kContinue;
  }
  bool described = offered;
  if (!offered && OfferToHandler(ctx, number, line, run, &described)) {
    ctx->error = 0;
    return After::kContinue;
  }
  // What stands: the error, a handler's nesting failure, or a control code a
  // handler function left. An unhandled cancel ends the run quietly.
  number = ctx->error;
  if (number == 0) return After::kContinue;
  if (number >= kFirstControlCode) return After::kStop;
  str::Copy(ctx, ctx->failLine, line ? line : "", sizeof ctx->failLine);
  int severity = ErrorSeverity(number);
  if (ctx->errorMode == kErrorModeOff && severity == kSeverityMinor && !described)
    SetErrorVariables(ctx, number, line, false);
  return ReportError(ctx, number, severity, nullptr) ? After::kContinue : After::kStop;
}

void ReportFailure(ScriptContext* ctx, uint32_t captionId, const char* text, int severity) {
  char caption[kWorkBuf];
  msg::Load(ctx, captionId, caption, sizeof caption);
  UINT icon = severity == kSeveritySevere     ? MB_ICONSTOP
              : severity == kSeverityModerate ? MB_ICONEXCLAMATION
                                              : MB_ICONINFORMATION;
  ShowBox(ctx, text ? text : "", caption, MB_OK | icon);
}

bool ErrorHandlerArmed(const ScriptContext* ctx) { return ctx->errorHandlerMode != kHandlerNone; }

void BeginRun(ScriptContext* ctx) {
  ctx->errorMode = kErrorModeCancel;
  ctx->cancelHandlerMode = kHandlerCancelLabel;
  ctx->errorHandlerMode = kHandlerNone;
  ctx->cancelHandlerName[0] = 0;
  ctx->errorHandlerName[0] = 0;
  ctx->continueFlag = 0;
}

}  // namespace zel::err
