// Structures (If/Else, While, For, ForEach, Switch/Case, Break/Continue,
// GoSub/Return) on the StructureStack. Blocks that do not run are still read
// line by line; their frames carry a skip state instead of running.
#include <cstring>

#include "builtins/functable.h"
#include "errors/errinfo.h"
#include "exec/exec.h"
#include "expr/eval.h"
#include "lexer/tokenizer.h"
#include "values/convert.h"
#include "values/variables.h"

namespace zel::exec {
namespace {

bool IsOp(const ScriptContext* ctx, int id) {
  return ctx->tokenKind == lex::kTokKeyword && ctx->tokenCode == id;
}

// A temporary Value that frees itself.
struct TempValue {
  ScriptContext* ctx;
  Value v;
  explicit TempValue(ScriptContext* c) : ctx(c) { val::InitValue(&v, 0); }
  ~TempValue() { expr::ResetValue(ctx, &v, 0); }
  TempValue(const TempValue&) = delete;
  TempValue& operator=(const TempValue&) = delete;
};

// A condition's truth: an integer is true when not zero; a float that cannot
// become an integer counts as true; anything else that does not convert is 3057.
bool Truth(ScriptContext* ctx, Value* v, bool* truth) {
  bool isFloat = (v->flags & kFlagFloat) && !(v->flags & kFlagInt);
  uint16_t saved = ctx->error;
  if (val::ToInteger(ctx, v, true)) {
    *truth = v->ival != 0;
    return true;
  }
  if (isFloat) {
    ctx->error = saved;
    *truth = true;
    return true;
  }
  if (!ctx->error) err::Raise(ctx, 3057);
  return false;
}

// Evaluates the expression that starts at the next token; 3071 when there is none.
bool EvaluateNext(ScriptContext* ctx, Value* v) {
  lex::GetToken(ctx);
  if (ctx->error) return false;
  if (ctx->tokenKind == lex::kTokEnd) {
    err::Raise(ctx, 3071);
    return false;
  }
  expr::EvaluatePlain(ctx, v);
  return !ctx->error;
}

bool AtEnd(ScriptContext* ctx) {
  if (ctx->tokenKind == lex::kTokEnd) return true;
  err::RaiseWithDetail(ctx, 3074, 9505);
  return false;
}

// A number, or a text that converts to one (3361 otherwise).
bool Numeric(ScriptContext* ctx, Value* v) {
  if (v->flags & (kFlagInt | kFlagFloat)) return true;
  uint16_t saved = ctx->error;
  if (val::ToInteger(ctx, v, true) || val::ToFloat(ctx, v)) {
    ctx->error = saved;
    return true;
  }
  ctx->error = 0;
  err::Raise(ctx, 3361);
  return false;
}

uint32_t PositionOf(ScriptContext* ctx, const Run* run, const char* p) {
  return run->lineStart + static_cast<uint32_t>(p - ctx->lineBuf);
}

const char* RestOfLine(const ScriptContext* ctx) {
  const char* p = ctx->prog;
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

// ---- If / Then / Else / EndIf

int Then(ScriptContext* ctx, Value* result, Run* run, bool substituted) {
  bool skipping = Skipping(ctx);
  const char* rest = RestOfLine(ctx);
  if (*rest == 0 || *rest == ';') {
    if (ctx->pendingElse == -1 && !skipping) {
      err::Raise(ctx, 3050);
      return kStop;
    }
    uint8_t state = skipping ? kSkipInside : ctx->pendingElse == 1 ? 0 : kSkipFalse;
    ctx->pendingElse = -1;
    return Push(ctx, kFrameIf, state, 0, run->lineStart) ? kGoOn : kStop;
  }
  if (skipping) return kGoOn;
  if (ctx->pendingElse == -1) {
    err::Raise(ctx, 3050);
    return kStop;
  }
  if (ctx->pendingElse == 1) return ExecStatement(ctx, result, run, rest, substituted);
  return kGoOn;
}

int If(ScriptContext* ctx, Value* result, Run* run, bool substituted) {
  if (Skipping(ctx)) {
    // Read up to Then, ignoring whatever the tokens hold.
    for (;;) {
      lex::GetToken(ctx);
      if (ctx->error) {
        ctx->error = 0;
        if (!*ctx->prog) break;
        ++ctx->prog;
        continue;
      }
      if (ctx->tokenKind == lex::kTokEnd || IsOp(ctx, kIdThen)) break;
    }
    return Then(ctx, result, run, substituted);
  }
  TempValue cond(ctx);
  if (!EvaluateNext(ctx, &cond.v)) return kStop;
  if (ctx->tokenKind != lex::kTokEnd && !IsOp(ctx, kIdThen)) {
    err::RaiseWithDetail(ctx, 3072, 9501);
    return kStop;
  }
  bool truth;
  if (!Truth(ctx, &cond.v, &truth)) return kStop;
  ctx->pendingElse = truth ? 1 : 0;
  return Then(ctx, result, run, substituted);
}

int Else(ScriptContext* ctx, Value* result, Run* run, bool substituted) {
  bool skipping = Skipping(ctx);
  const char* rest = RestOfLine(ctx);
  if (*rest != 0 && *rest != ';') {
    if (skipping) return kGoOn;
    if (ctx->pendingElse == -1) {
      err::Raise(ctx, 3050);
      return kStop;
    }
    if (ctx->pendingElse == 0) return ExecStatement(ctx, result, run, rest, substituted);
    return kGoOn;
  }
  ctx->pendingElse = -1;
  StructFrame* f = Top(ctx);
  if (!f) {
    err::Raise(ctx, 3354);
    return kStop;
  }
  if (f->kind != kFrameIf) {
    err::Raise(ctx, 3358);
    return kStop;
  }
  if (f->state == 0 || f->state == kSkipFalse) f->state ^= kSkipFalse;
  f->kind = kFrameElse;
  return kGoOn;
}

// Checks the top frame for a closing keyword: 3354 with no frame, 3357 when
// it is of another kind.
StructFrame* Closing(ScriptContext* ctx, uint16_t kind1, uint16_t kind2) {
  StructFrame* f = Top(ctx);
  if (!f) {
    err::Raise(ctx, 3354);
    return nullptr;
  }
  if (f->kind != kind1 && f->kind != kind2) {
    err::Raise(ctx, 3357);
    return nullptr;
  }
  return f;
}

int EndIf(ScriptContext* ctx) {
  StructFrame* f = Closing(ctx, kFrameIf, kFrameElse);
  if (!f) return kStop;
  uint8_t carried = f->state & (kSkipContinue | kSkipBreak);
  Pop(ctx, false);
  if (!carried) return kGoOn;
  StructFrame* outer = Top(ctx);
  if (!outer) {
    err::Raise(ctx, 3359);
    return kStop;
  }
  outer->state |= carried;
  return kGoOn;
}

// ---- While

int While(ScriptContext* ctx, Run* run) {
  if (Skipping(ctx)) {
    StructFrame* f = Push(ctx, kFrameWhile, kSkipInside, run->lineStart, run->lineStart);
    return f ? kGoOn : kStop;
  }
  TempValue cond(ctx);
  bool truth;
  if (!EvaluateNext(ctx, &cond.v) || !AtEnd(ctx) || !Truth(ctx, &cond.v, &truth)) return kStop;
  if (!Push(ctx, kFrameWhile, truth ? 0 : kSkipFalse, run->lineStart, run->lineStart)) return kStop;
  ctx->inLoop = 1;
  return kGoOn;
}

int EndWhile(ScriptContext* ctx, Run* run) {
  StructFrame* f = Closing(ctx, kFrameWhile, kFrameWhile);
  if (!f) return kStop;
  if (!(f->state & (kSkipFalse | kSkipInside | kSkipBreak))) run->pos = f->resume;
  Pop(ctx, true);
  return kGoOn;
}

// ---- For / To / Next

// The loop variable of For and ForEach, found or created: 3071 when the line
// ends, `syntaxError` when the token is not a name, 3051 when it cannot be made.
bool LoopVariable(ScriptContext* ctx, uint16_t syntaxError, uint16_t* slot) {
  lex::GetToken(ctx);
  if (ctx->error) return false;
  if (ctx->tokenKind == lex::kTokEnd) {
    err::Raise(ctx, 3071);
    return false;
  }
  if (ctx->tokenKind != lex::kTokVariable) {
    err::Raise(ctx, syntaxError);
    return false;
  }
  *slot = ctx->tokenSlot;
  if (*slot != vars::kNoSlot) return true;
  if (!ctx->error) err::Raise(ctx, 3051);
  return false;
}

int To(ScriptContext* ctx, bool fromNext) {
  StructFrame* f = Top(ctx);
  if (!f || f->kind != kFrameFor) {
    err::Raise(ctx, 3362);
    return kStop;
  }
  TempValue limit(ctx), counter(ctx), step(ctx);
  if (!EvaluateNext(ctx, &limit.v) || !Numeric(ctx, &limit.v)) return kStop;
  uint16_t slot = f->variable;
  if (!ctx->vars || slot >= ctx->varInUse || !val::CopyValue(ctx, &ctx->vars[slot].v, &counter.v, true, false) ||
      !Numeric(ctx, &counter.v)) {
    if (!ctx->error) err::Raise(ctx, 3361);
    return kStop;
  }
  val::InitValue(&step.v, 1);  // without By the step is the integer 1
  if (IsOp(ctx, kIdBy)) {
    if (!EvaluateNext(ctx, &step.v) || !Numeric(ctx, &step.v)) return kStop;
  }
  if (!AtEnd(ctx)) return kStop;
  bool negative = (step.v.flags & kFlagInt) ? step.v.ival < 0 : step.v.fval < 0.0;
  if (fromNext) {
    TempValue add(ctx);
    if (!val::CopyValue(ctx, &step.v, &add.v, true, false)) return kStop;
    if (!expr::ApplyBinary(ctx, kIdPlus, &counter.v, &add.v)) return kStop;
    if (!vars::Assign(ctx, slot, &counter.v)) return kStop;
  }
  // The loop goes on while the counter has not passed the limit.
  if (!expr::ApplyComparison(ctx, negative ? kIdLessEqual : kIdGreaterEqual, &limit.v, &counter.v))
    return kStop;
  f = Top(ctx);
  f->state = limit.v.ival ? 0 : kSkipFalse;
  return kGoOn;
}

int For(ScriptContext* ctx, Run* run) {
  if (Skipping(ctx)) return Push(ctx, kFrameFor, kSkipInside, 0, 0) ? kGoOn : kStop;
  uint16_t slot;
  if (!LoopVariable(ctx, 3360, &slot)) return kStop;
  lex::GetToken(ctx);
  if (ctx->error) return kStop;
  if (!IsOp(ctx, kIdAssign)) {
    err::Raise(ctx, 3360);
    return kStop;
  }
  TempValue start(ctx);
  if (!EvaluateNext(ctx, &start.v) || !Numeric(ctx, &start.v)) return kStop;
  if (!vars::Assign(ctx, slot, &start.v)) return kStop;
  if (!IsOp(ctx, kIdTo)) {
    err::Raise(ctx, 3360);
    return kStop;
  }
  StructFrame* f = Push(ctx, kFrameFor, 0, PositionOf(ctx, run, ctx->tokenStart), run->lineStart);
  if (!f) return kStop;
  f->variable = slot;
  ctx->inLoop = 1;
  return To(ctx, false);
}

int Next(ScriptContext* ctx, Run* run) {
  StructFrame* f = Closing(ctx, kFrameFor, kFrameForEach);
  if (!f) return kStop;
  if (!(f->state & (kSkipFalse | kSkipInside | kSkipBreak))) {
    run->pos = f->resume;
    f->state = 0;
    return kGoOn;
  }
  Pop(ctx, true);
  return kGoOn;
}

// ---- ForEach: the collections themselves are COM objects.

int ForEach(ScriptContext* ctx, Run* run) {
  StructFrame* top = Top(ctx);
  bool again = top && top->kind == kFrameForEach && top->linePos == run->lineStart;
  if (!again && Skipping(ctx))
    return Push(ctx, kFrameForEach, kSkipInside, run->lineStart, run->lineStart) ? kGoOn : kStop;
  uint16_t slot;
  if (!LoopVariable(ctx, 3729, &slot)) return kStop;
  ctx->noCreate = 1;  // "In" is a word of the statement, not a variable
  lex::GetToken(ctx);
  if (ctx->error) return kStop;
  if (ctx->tokenKind != lex::kTokVariable || strcmp(ctx->tokenText, "in") != 0) {
    err::Raise(ctx, 3729);
    return kStop;
  }
  if (!again) {
    StructFrame* f = Push(ctx, kFrameForEach, 0, run->lineStart, run->lineStart);
    if (!f) return kStop;
    f->variable = slot;
    ctx->inLoop = 1;
  }
  // Elements come from COM collections and safe arrays; no other value is one.
  TempValue coll(ctx);
  if (!EvaluateNext(ctx, &coll.v) || !AtEnd(ctx)) return kStop;
  err::Raise(ctx, 3131);
  return kStop;
}

// ---- Switch / Case / EndSwitch

bool SwitchValue(ScriptContext* ctx, Value* v, int32_t* out) {
  if (!AtEnd(ctx)) return false;
  bool floatOnly = (v->flags & kFlagFloat) && !(v->flags & kFlagInt);
  uint16_t saved = ctx->error;
  if (floatOnly || !val::ToInteger(ctx, v, false)) {
    ctx->error = saved;
    err::Raise(ctx, 3364);
    return false;
  }
  *out = v->ival;
  return true;
}

int Switch(ScriptContext* ctx, Run* run) {
  if (Skipping(ctx)) return Push(ctx, kFrameSwitch, kSkipInside, 0, run->lineStart) ? kGoOn : kStop;
  TempValue v(ctx);
  int32_t n;
  if (!EvaluateNext(ctx, &v.v) || !SwitchValue(ctx, &v.v, &n)) return kStop;
  uint32_t u = static_cast<uint32_t>(n);
  StructFrame* f = Push(ctx, kFrameSwitch, kSkipFalse, u >> 16, run->lineStart);
  if (!f) return kStop;
  f->variable = static_cast<uint16_t>(u & 0xffff);
  ctx->inLoop = 1;
  return kGoOn;
}

int Case(ScriptContext* ctx) {
  StructFrame* f = Top(ctx);
  if (!f || f->kind != kFrameSwitch) {
    err::Raise(ctx, 3365);
    return kStop;
  }
  if (f->state != kSkipFalse && f->state != kSkipContinue) return kGoOn;
  TempValue v(ctx);
  int32_t n;
  if (!EvaluateNext(ctx, &v.v) || !SwitchValue(ctx, &v.v, &n)) return kStop;
  uint32_t value = f->resume << 16 | f->variable;
  if (static_cast<uint32_t>(n) == value) f->state = 0;
  return kGoOn;
}

int EndSwitch(ScriptContext* ctx) {
  if (!Closing(ctx, kFrameSwitch, kFrameSwitch)) return kStop;
  Pop(ctx, true);
  return kGoOn;
}

int BreakContinue(ScriptContext* ctx, bool isBreak) {
  if (!ctx->inLoop) {
    err::Raise(ctx, isBreak ? 3355 : 3356);
    return kStop;
  }
  if (Skipping(ctx)) return kGoOn;
  Top(ctx)->state = isBreak ? kSkipBreak : kSkipContinue;
  return kGoOn;
}

// ---- GoSub / Return

int Gosub(ScriptContext* ctx, Run* run, const char* stmt, bool substituted) {
  // The frame remembers the pending-Else state of the call, so that a
  // single-line Else after "If c Then GoSub x" still relates to its If.
  static const uint16_t kKinds[3] = {kFrameGosubFalse, kFrameGosubTrue, kFrameGosubNone};
  uint16_t kind = kKinds[ctx->pendingElse == 1 ? 1 : ctx->pendingElse == 0 ? 0 : 2];
  ctx->pendingElse = -1;
  if (Skipping(ctx)) return kGoOn;
  lex::GetStringToken(ctx);
  if (ctx->error) {
    if (ctx->error == 3054) ctx->error = 3073;
    return kStop;
  }
  if (ctx->tokenKind == lex::kTokEnd) {
    err::Raise(ctx, 3071);
    return kStop;
  }
  char label[kWorkBuf];
  strcpy(label, ctx->tokenText);
  lex::GetToken(ctx);
  if (ctx->error || !AtEnd(ctx)) return kStop;
  if (!Push(ctx, kind, 0, run->pos, run->lineStart)) return kStop;
  ctx->inLoop = 0;
  uint32_t stmtPos = run->lineStart + static_cast<uint32_t>(stmt - ctx->lineBuf);
  if (!SearchLabel(ctx, run, label, stmtPos, substituted)) {
    uint16_t e = ctx->error;
    Pop(ctx, true);
    ctx->error = e;
    return kStop;
  }
  return kGoOn;
}

int Return(ScriptContext* ctx, Value* result, Run* run) {
  if (Skipping(ctx)) return kGoOn;
  lex::GetToken(ctx);
  if (ctx->error) return kStop;
  bool hasValue = ctx->tokenKind != lex::kTokEnd;
  expr::ResetValue(ctx, result, 0);
  if (hasValue) {
    expr::EvaluatePlain(ctx, result);
    if (ctx->error || !AtEnd(ctx)) return kStop;
  }
  for (int i = ctx->structDepth - 1; i >= 0; --i) {
    StructFrame& f = ctx->structs[i];
    if (f.kind == kFrameGosubFalse || f.kind == kFrameGosubTrue || f.kind == kFrameGosubNone) {
      if (hasValue) {
        err::Raise(ctx, 1760);
        return kStop;
      }
      run->pos = f.resume;
      int pending = f.kind == kFrameGosubTrue ? 1 : f.kind == kFrameGosubFalse ? 0 : -1;
      while (ctx->structDepth > i + 1) Pop(ctx, false);
      Pop(ctx, true);
      ctx->pendingElse = pending;
      return kGoOn;
    }
    if (f.kind == kFrameCall || f.kind == kFrameUdf) {
      while (ctx->structDepth > i + 1) Pop(ctx, false);
      Pop(ctx, true);
      ctx->structs[i].variable = 1;  // returned
      return kLeave;
    }
  }
  return kLeave;
}

// "End If", "End While", "End Switch", "End Select", "End For".
int EndWord(ScriptContext* ctx, Value* result, Run* run, const char* stmt) {
  lex::GetToken(ctx);
  if (ctx->error) return kStop;
  if (ctx->tokenKind == lex::kTokKeyword) {
    switch (ctx->tokenCode) {
      case kIdIf: return EndIf(ctx);
      case kIdWhile: return EndWhile(ctx, run);
      case kIdSwitch:
      case kIdSelect: return EndSwitch(ctx);
      case kIdFor: return Next(ctx, run);
    }
  }
  err::Raise(ctx, 3363);
  return kStop;
}

}  // namespace

StructFrame* Push(ScriptContext* ctx, uint16_t kind, uint8_t state, uint32_t resume, uint32_t linePos) {
  if (ctx->structDepth + 1 >= kStructFrames) {
    err::Raise(ctx, 3353);
    return nullptr;
  }
  StructFrame& f = ctx->structs[ctx->structDepth++];
  f = StructFrame{};
  f.kind = kind;
  f.state = state;
  f.resume = resume;
  f.linePos = linePos;
  f.script = ctx->scriptHandle;
  f.function = ctx->udfExecuting;
  f.savedLoop = ctx->inLoop;
  f.collection = vars::kNoSlot;
  return &f;
}

void Pop(ScriptContext* ctx, bool restoreLoop) {
  if (ctx->structDepth <= 0) return;
  StructFrame& f = ctx->structs[--ctx->structDepth];
  if (restoreLoop) ctx->inLoop = f.savedLoop;
  f = StructFrame{};
  f.function = kOwnerNone;
}

int StructureKeyword(ScriptContext* ctx, Value* result, Run* run, const char* stmt, int id,
                     bool substituted) {
  const char* rest = RestOfLine(ctx);
  bool elseWithText = id == kIdElse && *rest && *rest != ';';
  if (id != kIdThen && !elseWithText && id != kIdGosub) ctx->pendingElse = -1;
  switch (id) {
    case kIdIf: return If(ctx, result, run, substituted);
    case kIdThen: return Then(ctx, result, run, substituted);
    case kIdElse: return Else(ctx, result, run, substituted);
    case kIdEndIf: return EndIf(ctx);
    case kIdWhile: return While(ctx, run);
    case kIdEndWhile: return EndWhile(ctx, run);
    case kIdFor: return For(ctx, run);
    case kIdTo: return To(ctx, true);
    case kIdNext:
    case kIdEndFor: return Next(ctx, run);
    case kIdForEach: return ForEach(ctx, run);
    case kIdSwitch:
    case kIdSelect: return Switch(ctx, run);
    case kIdCase: return Case(ctx);
    case kIdEndSwitch:
    case kIdEndSelect: return EndSwitch(ctx);
    case kIdBreak: return BreakContinue(ctx, true);
    case kIdContinue: return BreakContinue(ctx, false);
    case kIdGosub: return Gosub(ctx, run, stmt, substituted);
    case kIdReturn: return Return(ctx, result, run);
    case kIdEnd: return EndWord(ctx, result, run, stmt);
    default:
      err::Raise(ctx, 3352);
      return kStop;
  }
}

}  // namespace zel::exec
