// Nested runs (the body of a user-defined function or subroutine, and a
// script file run by Call): the caller's statement state is put aside, the
// body or file runs with the same run loop, and the caller gets its state back.
#include <cstring>

#include "builtins/functable.h"
#include "errors/errinfo.h"
#include "exec/udf.h"
#include "expr/eval.h"
#include "extender/hostcall.h"
#include "script/script.h"
#include "values/array.h"
#include "values/variables.h"

namespace zel::exec {
namespace {

constexpr uint32_t kNoAssignment = ~0u;
constexpr uint16_t kErrNoFrame = 1672;       // no variable frame for a function
constexpr uint16_t kErrBadDefinition = 3627; // a body that is not stored
constexpr uint16_t kErrFrameLock = 3673;     // a function's frame cannot be entered or left
constexpr uint16_t kErrNoMemory = 1588;

// What a nested run overwrites and the caller's statement needs back. The
// line alone is 2 KB and calls nest as deep as the StructureStack, so the
// record lives on the process heap rather than the stack.
struct CallerState {
  char line[kWorkBuf];  // the statement being executed, which the token pointers point into
  const char* prog;
  const char* tokenStart;
  uint8_t tokenKind;
  int16_t tokenCode;
  uint16_t tokenSlot;
  uint32_t lineStart;
  HGLOBAL scriptHandle;
  char scriptPath[kMaxPathLen];
  uint32_t bodyBase;
  uint32_t inUdfBody;
  uint16_t udfExecuting;
  int32_t pendingElse;
  int32_t cancelHandlerMode;
  int32_t errorHandlerMode;
  uint32_t traceOn;
  uint32_t traceMode;
  char traceFile[kMaxPathLen];
  uint32_t assignTarget;
  uint8_t inLoop;
  int32_t structDepth;
};

class SavedCaller {
 public:
  SavedCaller() : s_(static_cast<CallerState*>(HeapAlloc(GetProcessHeap(), 0, sizeof(CallerState)))) {}
  ~SavedCaller() {
    if (s_) HeapFree(GetProcessHeap(), 0, s_);
  }
  SavedCaller(const SavedCaller&) = delete;
  SavedCaller& operator=(const SavedCaller&) = delete;
  CallerState* get() const { return s_; }

 private:
  CallerState* s_;
};

void SaveCaller(const ScriptContext* ctx, CallerState* s) {
  memcpy(s->line, ctx->lineBuf, sizeof s->line);
  s->prog = ctx->prog;
  s->tokenStart = ctx->tokenStart;
  s->tokenKind = ctx->tokenKind;
  s->tokenCode = ctx->tokenCode;
  s->tokenSlot = ctx->tokenSlot;
  s->lineStart = ctx->lineStart;
  s->scriptHandle = ctx->scriptHandle;
  memcpy(s->scriptPath, ctx->scriptPath, sizeof s->scriptPath);
  s->bodyBase = ctx->bodyBase;
  s->inUdfBody = ctx->inUdfBody;
  s->udfExecuting = ctx->udfExecuting;
  s->pendingElse = ctx->pendingElse;
  s->cancelHandlerMode = ctx->cancelHandlerMode;
  s->errorHandlerMode = ctx->errorHandlerMode;
  s->traceOn = ctx->traceOn;
  s->traceMode = ctx->traceMode;
  memcpy(s->traceFile, ctx->traceFile, sizeof s->traceFile);
  s->assignTarget = ctx->assignTarget;
  s->inLoop = ctx->inLoop;
  s->structDepth = ctx->structDepth;
}

// Tells the host that the script now running is another file, when it asks
// for that. The host's answer cannot stop anything here.
void FileChangeEvent(ScriptContext* ctx) {
  if (!(ctx->eventMask & kEventFileChange)) return;
  uint16_t saved = ctx->error;
  const char* texts[5] = {ctx->scriptPath, nullptr, nullptr, nullptr, nullptr};
  ext::CallHostTexts(ctx, kHostEventFileChange, nullptr, texts);
  ctx->error = saved;
}

// Makes `path` the script now running.
void EnterScript(ScriptContext* ctx, const char* path) {
  bool changed = lstrcmpiA(path, ctx->scriptPath) != 0;
  lstrcpynA(ctx->scriptPath, path, sizeof ctx->scriptPath);
  if (changed) FileChangeEvent(ctx);
}

// What a body or a called script must not inherit from its caller.
void ResetForNestedRun(ScriptContext* ctx) {
  ctx->pendingElse = -1;
  ctx->cancelHandlerMode = kHandlerNone;
  ctx->errorHandlerMode = kHandlerNone;
  ctx->traceOn = 0;
  ctx->traceMode = 0;
  ctx->assignTarget = kNoAssignment;
}

// Gives the caller its statement back; frames the nested run left open are dropped.
void RestoreCaller(ScriptContext* ctx, const CallerState* s) {
  while (ctx->structDepth > s->structDepth) Pop(ctx, false);
  ctx->inLoop = s->inLoop;
  memcpy(ctx->lineBuf, s->line, sizeof ctx->lineBuf);
  ctx->prog = s->prog;
  ctx->tokenStart = s->tokenStart;
  ctx->tokenKind = s->tokenKind;
  ctx->tokenCode = s->tokenCode;
  ctx->tokenSlot = s->tokenSlot;
  ctx->lineStart = s->lineStart;
  ctx->scriptHandle = s->scriptHandle;
  ctx->deferredLineError = 0;
  bool changed = lstrcmpiA(ctx->scriptPath, s->scriptPath) != 0;
  memcpy(ctx->scriptPath, s->scriptPath, sizeof ctx->scriptPath);
  if (changed) FileChangeEvent(ctx);
  ctx->bodyBase = s->bodyBase;
  ctx->inUdfBody = s->inUdfBody;
  ctx->udfExecuting = s->udfExecuting;
  ctx->pendingElse = s->pendingElse;
  ctx->cancelHandlerMode = s->cancelHandlerMode;
  ctx->errorHandlerMode = s->errorHandlerMode;
  ctx->traceOn = s->traceOn;
  ctx->traceMode = s->traceMode;
  memcpy(ctx->traceFile, s->traceFile, sizeof ctx->traceFile);
  ctx->assignTarget = s->assignTarget;
}

// An error that ended a nested run has been reported inside it: the caller
// gets `reported` instead, which stops it without a second report. Exit and
// Cancel keep their numbers and end the caller as they end any run.
void MarkReported(ScriptContext* ctx, uint16_t reported) {
  uint16_t e = ctx->error;
  if (e && e != err::kExitCode && e != err::kCancel) ctx->error = reported;
}

// Whether the Call or function frame at `index` was left by a Return, which
// took it off the stack and marked it; the mark is cleared.
bool TakeReturned(ScriptContext* ctx, int index) {
  StructFrame& f = ctx->structs[index];
  bool returned = f.variable != 0;
  f.variable = 0;
  return returned;
}

// Runs a locked text from its start.
void RunText(ScriptContext* ctx, HGLOBAL script, uint32_t len, Value* result) {
  auto* text = static_cast<uint8_t*>(GlobalLock(script));
  if (!text) {
    err::Raise(ctx, kErrFrameLock);
    return;
  }
  Run run{script, text, len, 0, 0};
  RunLoop(ctx, result, &run);
  GlobalUnlock(script);
}

// ---- user-defined functions

// Parameters become variables of the current table holding the arguments;
// in a subroutine that table is the caller's, whose variable of the same
// name is replaced.
bool BindParams(ScriptContext* ctx, const UdfRecord* r, const Value* args) {
  for (int i = 0; i < r->paramCount; ++i) {
    char name[kVarNameSize + 1];
    if (!vars::LowerName(r->params[i], name)) return false;  // cannot happen: parsed to fit
    uint16_t slot = vars::Create(ctx, name, false);
    if (slot == vars::kNoSlot || !vars::Assign(ctx, slot, &args[i + 1])) return false;
  }
  return true;
}

// Before a function's variables go: the array of the result is pinned, so
// that it outlives them (the caller unpins it once they are gone); a COM
// object read from one of them moves to the result; the result no longer
// names a local variable. Returns the pinned block, or nullptr.
ArrayBlock* DetachResult(ScriptContext* ctx, Value* result, uint16_t local) {
  ArrayBlock* pinned = nullptr;
  if ((result->flags & kFlagArray) && result->str) {
    pinned = arr::BlockOf(result);
    arr::AddRef(pinned);
  }
  if (result->owner_frame != local) return pinned;
  uint16_t slot = result->owner_var;
  if ((result->flags & kFlagVariant) && slot < ctx->varInUse && ctx->vars)
    ctx->vars[slot].v.flags &= ~(kFlagVariant | kFlagComObj | kFlagComTemp);
  result->owner_var = kOwnerNone;
  result->owner_frame = kOwnerNone;
  result->owner_cell = 0;
  return pinned;
}

void ReleaseLocals(ScriptContext* ctx) {
  for (uint16_t slot = ctx->varInUse; slot-- > 1;)
    if (ctx->vars[slot].v.flags != kFlagUndefined) vars::FreeSlot(ctx, slot);
}

// Enters the function's own frame (none for a subroutine), binds the
// parameters, runs the body and lets the frame's variables go. True when the
// body ran, whatever its outcome.
bool RunBody(ScriptContext* ctx, UdfRecord* r, uint16_t local, Value* result, const Value* args) {
  FrameSave caller{};
  if (local && !vars::EnterFrame(ctx, local, &caller)) {
    err::Raise(ctx, kErrFrameLock);
    return false;
  }
  bool ran = BindParams(ctx, r, args);
  if (ran) RunText(ctx, r->body, r->bodyLength, result);
  r->assignTarget = ctx->assignTarget;
  if (!local) return ran;
  uint16_t e = ctx->error;
  ArrayBlock* pinned = DetachResult(ctx, result, local);
  ReleaseLocals(ctx);
  if (!vars::LeaveFrame(ctx, &caller) && !e) e = kErrFrameLock;
  // With the locals gone the result's array is held by its creator's lock and
  // the caller's variables alone; one that none of them took is disposed of
  // after the caller's statement unless it stores it.
  if (pinned) arr::Unpin(ctx, pinned);
  ctx->error = e;
  return ran;
}

}  // namespace

bool CallUdf(ScriptContext* ctx, int id, Value* result, Value* args, int argc, uint32_t mode) {
  int index = id - kUdfIdBase;
  UdfRecord* r = index >= 0 && index < ctx->udfCount ? ctx->udfRecords[index] : nullptr;
  if (!r || !r->body || argc != r->paramCount) {
    err::Raise(ctx, kErrBadDefinition);
    return false;
  }
  SavedCaller saved;
  if (!saved.get()) {
    err::Raise(ctx, kErrNoFrame);
    return false;
  }
  SaveCaller(ctx, saved.get());
  StructFrame* frame = Push(ctx, kFrameUdf, 0, mode, ctx->lineStart);
  if (!frame) return false;
  if (mode != kCallStatement) {  // no statement of the caller's led here
    frame->linePos = 0;
    frame->script = nullptr;
    frame->function = kMainScript;
  }
  int frameIndex = ctx->structDepth - 1;
  ctx->inLoop = 0;
  bool isFunction = r->subroutine == 0;
  uint16_t local = isFunction ? vars::CreateFrame(ctx, ctx->varCapacity) : 0;
  bool ran = false;
  if (isFunction && !local) {
    err::Raise(ctx, kErrNoFrame);
  } else {
    ++ctx->udfNesting;
    EnterScript(ctx, r->sourceFile);
    ResetForNestedRun(ctx);
    ctx->inUdfBody = 1;
    ctx->bodyBase = r->bodyStart;
    ctx->udfExecuting = static_cast<uint16_t>(index);
    ran = RunBody(ctx, r, local, result, args);
    --ctx->udfNesting;
  }
  if (local) vars::FreeFrame(ctx, local);
  if (!TakeReturned(ctx, frameIndex)) expr::ResetValue(ctx, result, 0);
  RestoreCaller(ctx, saved.get());
  if (ran) MarkReported(ctx, err::kReportedUntraced);
  return ctx->error == 0;
}

bool RunCalledScript(ScriptContext* ctx, const char* path, const char* params, Value* result) {
  SavedCaller saved;
  if (!saved.get()) {
    err::Raise(ctx, kErrNoMemory);
    return false;
  }
  SaveCaller(ctx, saved.get());
  if (!Push(ctx, kFrameCall, 0, 0, ctx->lineStart)) return false;
  int frameIndex = ctx->structDepth - 1;
  ctx->inLoop = 0;
  ++ctx->callNesting;
  EnterScript(ctx, path);
  bool ran = false;
  if (ctx->eventMask & kEventCall) {
    const char* texts[5] = {path, params, nullptr, nullptr, nullptr};
    ext::CallHostTexts(ctx, kHostEventCall, nullptr, texts);  // a refusal stands as the error
  }
  if (!ctx->error) {
    ResetForNestedRun(ctx);
    ctx->inUdfBody = 0;
    ctx->bodyBase = 0;
    uint32_t len = 0;
    HGLOBAL script = script::LoadScriptFile(ctx, path, &len);
    if (script) {
      RunText(ctx, script, len, result);
      GlobalFree(script);
    } else if (!ctx->error) {
      err::Raise(ctx, err::kReportedInCall);  // the loader has reported why
    }
    ran = script != nullptr;
  }
  if (!TakeReturned(ctx, frameIndex)) expr::ResetValue(ctx, result, 0);
  --ctx->callNesting;
  RestoreCaller(ctx, saved.get());
  if (ran) MarkReported(ctx, err::kReportedInCall);
  return ctx->error == 0;
}

}  // namespace zel::exec
