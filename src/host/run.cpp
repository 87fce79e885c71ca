// One run of a script for the host (ProcessDaBatBuffer: prepares the host's
// buffer, resets the run state, runs the text and releases what the run left).
#include "errors/errinfo.h"
#include "errors/report.h"
#include "exec/exec.h"
#include "exec/pump.h"
#include "expr/eval.h"
#include "host/api.h"
#include "host/context.h"
#include "host/hostlock.h"
#include "script/script.h"
#include "values/array.h"
#include "values/convert.h"

namespace zel {
namespace {

constexpr uint32_t kCursorPause = 20;  // milliseconds of pumping around a run

void ResetRunState(ScriptContext* ctx, void* callback, const void* hostTable) {
  ctx->stopRequested = 0;
  ctx->reportStop = 0;
  ctx->reportOnStop = 1;
  ctx->structDepth = 0;
  ctx->pendingElse = -1;
  ctx->inLoop = 0;
  ctx->traceOn = 0;
  ctx->stmtClass = 0;
  ctx->skipState = 0;
  ctx->callNesting = 0;
  ctx->udfNesting = 0;
  ctx->udfExecuting = kMainScript;
  ctx->inUdfBody = 0;
  ctx->inDefinition = 0;  // a definition left open by an earlier run ended with it
  ctx->dupDefinition = 0;
  ctx->handlerSavedError = 0;
  ctx->error = 0;
  ctx->deferredLineError = 0;
  ctx->decimals = kDecimalsDefault;
  ctx->assignTarget = ~0u;
  ctx->bodyBase = 0;
  ctx->runResult = 0;
  ctx->runError = 0;
  ctx->hostCallback = callback;
  ctx->hostTable = hostTable;
  err::BeginRun(ctx);
}

}  // namespace
}  // namespace zel

using namespace zel;

ZEL_API LONG WINAPI ProcessDaBatBuffer(HWND window, HGLOBAL context, HGLOBAL script, void* callback,
                                       const void* hostTable) {
  ContextLock lock(context);
  ScriptContext* ctx = lock.get();
  if (!ctx || !script) return 0;
  ctx->hostWindow = window;
  uint32_t len = 0;
  if (!script::PrepareHostBuffer(ctx, script, &len)) return 0;
  if (!ctx->varTable || !ctx->heapBase) return 0;
  ctx->vars = static_cast<VarRecord*>(GlobalLock(ctx->varTable));
  if (!ctx->vars) return 0;
  ResetRunState(ctx, callback, hostTable);
  SetCursor(ctx->cursorWait);
  exec::WaitPumping(ctx, kCursorPause);
  exec::PumpMessages(ctx);
  auto* text = static_cast<uint8_t*>(GlobalLock(script));
  if (text) {
    exec::Run run{script, text, len, 0, 0};
    Value result;
    val::InitValue(&result, 0);
    uint32_t arrays = arr::UnheldMark(ctx);
    exec::RunLoop(ctx, &result, &run);
    expr::ResetValue(ctx, &result, 0);
    arr::DisposeUnheld(ctx, arrays);
    GlobalUnlock(script);
  }
  SetCursor(ctx->cursorNormal);
  exec::WaitPumping(ctx, kCursorPause);
  GlobalUnlock(ctx->varTable);
  ctx->vars = nullptr;
  return 1;
}
