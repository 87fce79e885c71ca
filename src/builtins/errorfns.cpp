// Error functions (ErrorMode, LastError, and ErrorEvent, which raises a
// script-defined error).
#include "builtins/errorfns.h"

#include <cstdio>

#include "builtins/dispatch.h"
#include "errors/errinfo.h"
#include "errors/messages.h"
#include "errors/report.h"
#include "values/strutil.h"

namespace zel::calls {
namespace {

constexpr uint32_t kUserDefinedLabel = 879;  // "User-Defined Error:"
constexpr uint16_t kBadSeverity = 1666, kBadEventCode = 1667;

// ErrorMode(mode): 0 @OFF, 1 @CANCEL, anything else @NOTIFY; returns the
// previous mode.
void ErrorMode(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  r->ival = static_cast<int32_t>(ctx->errorMode);
  int32_t mode = args[1].ival;
  ctx->errorMode = mode == 0 ? kErrorModeOff : mode == 1 ? kErrorModeCancel : kErrorModeNotify;
}

// LastError(): the last reported error (the script's own code or the real
// number for the codes that stand for another); a second call returns 0.
void LastError(ScriptContext* ctx, Value* r, Value*, int, bool, int) {
  uint32_t n = ctx->reportedError;
  if (err::StandsForAnother(n)) n = ctx->substitutedError;
  r->ival = static_cast<int32_t>(n);
  ctx->reportedError = 0;
  ctx->substitutedError = 0;
}

// ErrorEvent(severity, code, text): severity -1, -2 or -3 raises the minor,
// moderate or severe script-defined error carrying the script's code
// (7000..7999) and text. Unless a minor error under @OFF is only recorded or
// an error handler takes it, it is reported at once and the statement ends
// with 9016, the continue flag telling whether the user chose Continue.
void ErrorEvent(ScriptContext* ctx, Value*, Value* args, int, bool, int) {
  uint16_t number;
  switch (args[1].ival) {
    case -1: number = err::kEventMinor; break;
    case -2: number = err::kEventModerate; break;
    case -3: number = err::kEventSevere; break;
    default: return err::Raise(ctx, kBadSeverity);
  }
  int32_t code = args[2].ival;
  if (code < err::kEventCodeFirst || code > err::kEventCodeLast) return err::Raise(ctx, kBadEventCode);
  ctx->substitutedError = static_cast<uint32_t>(code);
  str::Copy(ctx, ctx->customErrorText, ArgText(ctx, args[3]), sizeof ctx->customErrorText);
  err::Raise(ctx, number);
  int severity = err::ErrorSeverity(number);
  if (ctx->errorMode == kErrorModeOff && severity == err::kSeverityMinor) return;
  if (err::ErrorHandlerArmed(ctx)) return;
  char label[kWorkBuf], composed[kWorkBuf];
  msg::Load(ctx, kUserDefinedLabel, label, sizeof label);
  snprintf(composed, sizeof composed, "%s  %d: %s", label, code, ctx->customErrorText);
  str::Copy(ctx, ctx->failLine, ctx->customErrorText, sizeof ctx->failLine);
  bool goOn = err::ReportError(ctx, number, severity, composed);
  err::Raise(ctx, err::kReportedEvent);
  ctx->continueFlag = goOn ? 1 : 0;
}

}  // namespace

void RegisterErrorFunctions() {
  Register("errormode", ErrorMode);
  Register("lasterror", LastError);
  Register("errorevent", ErrorEvent);
}

}  // namespace zel::calls
