// The script's own handlers of cancels and errors.
#include "errors/handlers.h"

#include "builtins/functable.h"
#include "errors/errinfo.h"
#include "errors/errvars.h"
#include "exec/exec.h"
#include "exec/udf.h"
#include "expr/eval.h"
#include "values/array.h"
#include "values/convert.h"
#include "values/heap.h"
#include "values/variables.h"

namespace zel::err {
namespace {

constexpr uint16_t kCancelNesting = 3618;  // no frame left to call the cancel handler
constexpr uint16_t kErrorNesting = 3619;   // ... the error handler

// The cancel or the error side of the handlers.
struct Side {
  int32_t* mode;
  const char* name;   // handler function
  const char* label;
  uint16_t nesting;
};

Side SideOf(ScriptContext* ctx, bool cancel) {
  if (cancel) return {&ctx->cancelHandlerMode, ctx->cancelHandlerName, "CANCEL", kCancelNesting};
  return {&ctx->errorHandlerMode, ctx->errorHandlerName, "ZLERRORHANDLER", kErrorNesting};
}

bool StackFull(const ScriptContext* ctx) { return ctx->structDepth + 1 >= kStructFrames; }

// The definition named `name` (any case), or -1.
int FindHandler(const ScriptContext* ctx, const char* name) {
  if (!IsCharAlphaA(name[0])) return -1;
  for (int i = 0; i < ctx->udfCount; ++i) {
    const UdfRecord* r = exec::DefinedUdf(ctx, i);
    if (r && lstrcmpiA(r->name, name) == 0) return i;
  }
  return -1;
}

// What stands after a handler function did not take `number`: a control
// code it left (Exit, an error it already reported) ends the run; anything
// else gives the error back.
void GiveBack(ScriptContext* ctx, uint16_t number) {
  if (ctx->error < kFirstControlCode) ctx->error = number;
}

bool OfferToFunction(ScriptContext* ctx, uint16_t number, const char* line, const Side& side,
                     bool* described) {
  if (StackFull(ctx)) {
    ctx->error = side.nesting;
    return false;
  }
  SetErrorVariables(ctx, number, line, true);
  *described = true;
  ctx->error = 0;
  if (CallHandlerFunction(ctx, number == kCancel)) return true;
  GiveBack(ctx, number);
  return false;
}

// Jumps to the handler's label, or calls it as a subroutine: a GoSub frame
// whose Return resumes after the failing statement.
bool OfferToLabel(ScriptContext* ctx, uint16_t number, const char* line, exec::Run* run,
                  const Side& side, bool* described) {
  if (!run) return false;
  int32_t mode = *side.mode;
  bool subroutine = mode == kHandlerSubroutine;
  if (subroutine) {
    static const uint16_t kKinds[3] = {exec::kFrameGosubFalse, exec::kFrameGosubTrue,
                                       exec::kFrameGosubNone};
    uint16_t kind = kKinds[ctx->pendingElse == 1 ? 1 : ctx->pendingElse == 0 ? 0 : 2];
    if (!exec::Push(ctx, kind, 0, run->pos, run->lineStart)) {
      ctx->error = side.nesting;
      return false;
    }
    ctx->pendingElse = -1;
    ctx->inLoop = 0;
  }
  SetErrorVariables(ctx, number, line, false);
  *described = true;
  ctx->error = 0;
  if (mode != kHandlerCancelLabel) *side.mode = kHandlerNone;  // a label handler is used once
  if (exec::SearchLabel(ctx, run, side.label, 0, true)) return true;
  if (subroutine) exec::Pop(ctx, true);
  ctx->error = number;
  return false;
}

// A handler's text becomes the integer 0 when it is empty.
void EmptyTextToZero(ScriptContext* ctx, Value* v) {
  bool text = (v->flags & (kFlagString | kFlagUnicode)) && !(v->flags & (kFlagInt | kFlagFloat));
  if (!text) return;
  bool empty = (v->flags & kFlagUnicode) ? !heap::WideAt(ctx, v->wstr) || !*heap::WideAt(ctx, v->wstr)
                                         : !heap::At(ctx, static_cast<uint32_t>(v->str)) ||
                                               !*heap::At(ctx, static_cast<uint32_t>(v->str));
  if (empty) expr::ResetValue(ctx, v, 0);
}

}  // namespace

bool OfferToHandler(ScriptContext* ctx, uint16_t number, const char* line, exec::Run* run,
                    bool* described) {
  bool cancel = number == kCancel;
  Side side = SideOf(ctx, cancel);
  if (!cancel) ctx->reportedError = number;
  switch (*side.mode) {
    case kHandlerFunction: return OfferToFunction(ctx, number, line, side, described);
    case kHandlerLabel:
    case kHandlerSubroutine: return OfferToLabel(ctx, number, line, run, side, described);
    case kHandlerCancelLabel:
      return cancel && OfferToLabel(ctx, number, line, run, side, described);
    default: return false;
  }
}

bool CallHandlerFunction(ScriptContext* ctx, bool cancel) {
  Side side = SideOf(ctx, cancel);
  int index = FindHandler(ctx, side.name);
  const UdfRecord* r = exec::DefinedUdf(ctx, index);
  if (!r || !r->body || r->paramCount != 1) return false;
  Value args[2], result;
  val::InitValue(&args[0], 0);
  val::InitValue(&args[1], 0);
  val::InitValue(&result, 0);
  // The array goes in as it is, pinned while the call runs; without one the
  // parameter is the integer 0.
  ArrayBlock* pinned = nullptr;
  uint16_t slot = ctx->vars ? vars::Lookup(ctx, "zlerrorarray") : vars::kNoSlot;
  if (slot != vars::kNoSlot && (ctx->vars[slot].v.flags & kFlagArray) && ctx->vars[slot].v.str) {
    args[1].flags = kFlagArray;
    args[1].str = ctx->vars[slot].v.str;
    pinned = arr::BlockOf(&args[1]);
    arr::AddRef(pinned);
  }
  bool ran = exec::CallUdf(ctx, kUdfIdBase + index, &result, args, 1, exec::kCallErrorHandler);
  if (pinned) arr::Unpin(ctx, pinned);
  int32_t answer = 0;
  if (ran) {
    if (val::ToInteger(ctx, &result, true)) answer = result.ival;
    ctx->error = 0;  // an answer that is no number counts as 0
  }
  expr::ResetValue(ctx, &result, 0);
  if (!(answer & 1)) *side.mode = kHandlerNone;
  return ran && !(answer & 2);
}

bool HandleInAssignment(ScriptContext* ctx, uint16_t number, Value* value) {
  bool cancel = number == kCancel;
  if (!cancel && number >= kFirstControlCode) return false;
  Side side = SideOf(ctx, cancel);
  if (*side.mode != kHandlerFunction) return false;
  ctx->handlerOffered = 1;  // whatever comes of it, not offered again after the statement
  bool described = false;
  if (!cancel) ctx->reportedError = number;
  if (!OfferToFunction(ctx, number, ctx->lineBuf, side, &described)) return false;
  expr::ResetValue(ctx, value, 0);
  Value e;
  val::InitValue(&e, 0);
  if (ErrorElement(ctx, kElemResult, &e)) {
    static_cast<ValueCell&>(*value) = e;
    EmptyTextToZero(ctx, value);
  }
  ctx->error = 0;
  return true;
}

}  // namespace zel::err
