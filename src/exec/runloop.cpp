// Run loop (reads the running text line by line, skips comments, labels and
// definition bodies, substitutes, and runs each statement through the wrapper
// that routes its errors).
#include <cstdio>
#include <cstring>

#include "errors/errinfo.h"
#include "errors/report.h"
#include "exec/exec.h"
#include "exec/pump.h"
#include "exec/udf.h"
#include "expr/eval.h"
#include "extender/hostcall.h"
#include "script/script.h"
#include "values/array.h"

namespace zel::exec {
namespace {

constexpr uint32_t kNoAssignment = ~0u;
constexpr uint32_t kStopReportCaption = 194;
constexpr int kHostEventCode = -1;
constexpr uint16_t kDebuggerStop = 9012;

// The statement of a label line: what follows the label and its blanks, or
// nullptr when only a comment follows.
const char* AfterLabel(const char* line) {
  const char* p = line;
  while (*p && *p != ' ' && *p != '\t') ++p;
  while (*p == ' ' || *p == '\t') ++p;
  return (*p == 0 || *p == ';') ? nullptr : p;
}

// Tells the host about the statement about to run, when it asked for that;
// a host that answers with the debugger's stop code ends the run.
bool StatementEvent(ScriptContext* ctx, const Run* run, const char* stmt) {
  if (!(ctx->eventMask & kEventStatement)) return true;
  char where[16], handle[24], position[16], skip[8];
  snprintf(where, sizeof where, "%d", ctx->udfExecuting != kOwnerNone ? 3 : 2);
  snprintf(handle, sizeof handle, "%llu",
           static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(run->script)));
  snprintf(position, sizeof position, "%lu", static_cast<unsigned long>(run->lineStart));
  const StructFrame* top = ctx->structDepth > 0 ? &ctx->structs[ctx->structDepth - 1] : nullptr;
  snprintf(skip, sizeof skip, "%u", top ? top->state : 0u);
  const char* texts[5] = {stmt, where, handle, position, skip};
  ext::CallHostTexts(ctx, kHostEventCode, nullptr, texts);
  return ctx->error != kDebuggerStop;
}

// A stop the user asked for (Ctrl+Break) ends the run after the statement.
bool StopRequested(ScriptContext* ctx) {
  if (!ctx->stopRequested) return false;
  if (ctx->reportStop && ctx->reportOnStop)
    err::ReportFailure(ctx, kStopReportCaption, ctx->lineBuf, err::kSeveritySevere);
  ctx->stopRequested = 0;
  ctx->reportStop = 0;
  // Inside a body or a called script the callers end too, quietly, as after Exit.
  if (ctx->udfNesting || ctx->callNesting) err::Raise(ctx, err::kExitCode);
  return true;
}

// Reports the error that stops the run at `line`; the run stops whatever the
// report answers, with the error kept.
int StopWithReport(ScriptContext* ctx, const char* line) {
  uint16_t e = ctx->error;
  err::AfterStatement(ctx, line);
  ctx->error = e;
  return kStop;
}

// The definition whose end line is missing, for the report.
const char* OpenDefinitionName(const ScriptContext* ctx) {
  if (ctx->dupDefinition || ctx->udfCount >= kUdfMax || !ctx->udfRecords[ctx->udfCount]) return "";
  return ctx->udfRecords[ctx->udfCount]->name;
}

}  // namespace

int RunStatement(ScriptContext* ctx, Value* result, Run* run, const char* stmt, bool substituted) {
  ctx->error = 0;
  ctx->stmtClass = 0;
  ctx->skipState = 0;
  ++ctx->statements;
  int r;
  if (ctx->deferredLineError) {
    err::Raise(ctx, ctx->deferredLineError);
    ctx->deferredLineError = 0;
    r = kStop;
  } else {
    r = ExecStatement(ctx, result, run, stmt, substituted);
  }
  if (!ctx->error) return r;
  return err::AfterStatement(ctx, stmt, run) == err::After::kContinue ? kGoOn : kStop;
}

int RunLoop(ScriptContext* ctx, Value* result, Run* run) {
  int r = kStop;
  uint32_t start = 0;
  bool endOfText = false;
  for (;;) {
    if (!script::ReadLine(ctx, run->text, run->len, &run->pos, &start)) {
      endOfText = true;
      break;
    }
    run->lineStart = start;
    ctx->lineStart = start;  // where a failure of this line is reported
    ctx->scriptHandle = run->script;
    ctx->assignTarget = kNoAssignment;
    const char* line = ctx->lineBuf;
    bool deferred = ctx->deferredLineError != 0;
    if (!deferred && (line[0] == 0 || line[0] == ';')) continue;
    if (!deferred && line[0] == '#') {
      Definition d = DefinitionLine(ctx, run);
      if (d == Definition::kFailed) {
        r = StopWithReport(ctx, line);
        ctx->inDefinition = 0;  // a definition left open ends with the run
        ctx->dupDefinition = 0;
        break;
      }
      if (d == Definition::kHandled) continue;
    }
    if (ctx->inDefinition) {  // a body is copied at its end line, not run
      if (!deferred) continue;
      err::Raise(ctx, ctx->deferredLineError);
      ctx->deferredLineError = 0;
      r = StopWithReport(ctx, line);
      break;
    }
    int subst = script::Substitute(ctx);
    if (subst == 0) {
      if (Skipping(ctx)) {
        ctx->error = 0;
      } else {
        if (err::AfterStatement(ctx, line, run) == err::After::kContinue) continue;
        r = kStop;
        break;
      }
    }
    const char* stmt = line;
    if (line[0] == ':') {
      stmt = AfterLabel(line);
      if (!stmt) continue;
    }
    if (!StatementEvent(ctx, run, stmt)) {
      r = kStop;
      break;
    }
    uint32_t arrays = arr::UnheldMark(ctx);
    r = RunStatement(ctx, result, run, stmt, subst == 2);
    // Arrays the statement made and no variable took go with it; a Return's
    // value travels on to the caller's statement, which decides.
    if (r != kLeave) {
      expr::ResetValue(ctx, result, 0);
      arr::DisposeUnheld(ctx, arrays);
    }
    if (r != kGoOn) break;
    PumpAfterStatement(ctx);
    if (StopRequested(ctx)) {
      r = kStop;
      break;
    }
  }
  if (endOfText && ctx->inDefinition) {
    err::Raise(ctx, 3723);
    r = StopWithReport(ctx, OpenDefinitionName(ctx));
    ctx->inDefinition = 0;
    ctx->dupDefinition = 0;
  }
  ctx->runResult = r;
  ctx->runError = ctx->error;
  return r;
}

}  // namespace zel::exec
