// Expression evaluator (precedence levels, primaries and assignment).
#include "expr/eval.h"

#include <cstring>

#include "builtins/dispatch.h"
#include "builtins/functable.h"
#include "errors/errinfo.h"
#include "errors/handlers.h"
#include "lexer/tokenizer.h"
#include "values/array.h"
#include "values/convert.h"
#include "values/heap.h"
#include "values/pointers.h"
#include "values/variables.h"

namespace zel::expr {
namespace {

constexpr uint32_t kNoAssignment = ~0u;

bool IsOp(const ScriptContext* ctx, int id) {
  return ctx->tokenKind == lex::kTokKeyword && ctx->tokenCode == id;
}

// Reads the next token and evaluates the operand of one level into `right`.
using LevelFn = void (*)(ScriptContext*, Value*);

void Primary(ScriptContext* ctx, Value* v);

// Runs `next` for the right operand of every operator of `ops` that follows,
// applying each as it comes: every binary level is left-associative.
template <size_t N>
void BinaryLevel(ScriptContext* ctx, Value* left, LevelFn next, const int (&ops)[N],
                 bool (*apply)(ScriptContext*, int, Value*, Value*)) {
  next(ctx, left);
  while (!ctx->error && ctx->tokenKind == lex::kTokKeyword) {
    int op = ctx->tokenCode;
    bool found = false;
    for (int o : ops) found = found || o == op;
    if (!found) return;
    lex::GetToken(ctx);
    if (ctx->error) return;
    Value right;
    val::InitValue(&right, 0);
    next(ctx, &right);
    if (!ctx->error) apply(ctx, op, left, &right);
    ResetValue(ctx, &right, 0);
  }
}

bool ApplyBinaryOp(ScriptContext* ctx, int op, Value* l, Value* r) { return ApplyBinary(ctx, op, l, r); }
bool ApplyConcat(ScriptContext* ctx, int, Value* l, Value* r) { return Concatenate(ctx, l, r); }

constexpr int kPowerOps[] = {kIdPower};
constexpr int kMulOps[] = {kIdStar, kIdSlash, kIdMod};
constexpr int kAddOps[] = {kIdPlus, kIdMinus};
constexpr int kShiftOps[] = {kIdShiftLeft, kIdShiftRight};
constexpr int kConcatOps[] = {kIdConcat};
constexpr int kCompareOps[] = {kIdEqual, kIdNotEqual, kIdLessGreater, kIdLess,
                               kIdLessEqual, kIdGreater, kIdGreaterEqual};
constexpr int kBitOps[] = {kIdAmpersand, kIdBitOr, kIdXor};
constexpr int kLogicOps[] = {kIdLogicalAnd, kIdLogicalOr};

void Level8(ScriptContext* ctx, Value* v) { BinaryLevel(ctx, v, Primary, kPowerOps, ApplyBinaryOp); }
void Level7(ScriptContext* ctx, Value* v) { BinaryLevel(ctx, v, Level8, kMulOps, ApplyBinaryOp); }
void Level6(ScriptContext* ctx, Value* v) { BinaryLevel(ctx, v, Level7, kAddOps, ApplyBinaryOp); }
void Level5(ScriptContext* ctx, Value* v) { BinaryLevel(ctx, v, Level6, kShiftOps, ApplyBinaryOp); }
void Level4(ScriptContext* ctx, Value* v) { BinaryLevel(ctx, v, Level5, kConcatOps, ApplyConcat); }
void Level3(ScriptContext* ctx, Value* v) {
  BinaryLevel(ctx, v, Level4, kCompareOps, ApplyComparison);
  // A single "=" inside an expression is an assignment where none may stand.
  if (!ctx->error && IsOp(ctx, kIdAssign)) err::RaiseWithDetail(ctx, 3069, 9506);
}
void Level2(ScriptContext* ctx, Value* v) { BinaryLevel(ctx, v, Level3, kBitOps, ApplyBinaryOp); }
void Level1(ScriptContext* ctx, Value* v) { BinaryLevel(ctx, v, Level2, kLogicOps, ApplyBinaryOp); }

// The Value of an @constant.
void ConstantValue(ScriptContext* ctx, int id, Value* v) {
  ResetValue(ctx, v, 0);
  fn::ConstantValue c = fn::DecodeConstant(fn::ConstValue(ctx, id));
  switch (c.form) {
    case fn::ConstForm::kInt: v->ival = c.integer; break;
    case fn::ConstForm::kFloat:
      v->flags = kFlagFloat;
      v->fval = c.real;
      break;
    case fn::ConstForm::kString:
      v->str = heap::StoreText(ctx, c.text, c.textLen);
      if (v->str) v->flags = kFlagString;
      break;
  }
}

// A variable's value, copied with fresh strings and its owner recorded.
void VariableValue(ScriptContext* ctx, Value* v) {
  uint16_t slot = ctx->tokenSlot;
  if (slot == vars::kNoSlot || !ctx->vars) {
    if (!ctx->error) vars::FindVar(ctx, ctx->tokenText, true);
    return;
  }
  const ValueCell& cell = ctx->vars[slot].v;
  if (!vars::IsDefined(cell)) {
    vars::FindVar(ctx, ctx->tokenText, true);  // reports the uninitialized name
    return;
  }
  if ((cell.flags & kFlagArray) && cell.str) {
    // An array: one of its elements when a subscript follows, else the array
    // itself (no reference taken).
    lex::GetToken(ctx);
    if (ctx->error) return;
    if (IsOp(ctx, kIdOpenBracket)) return ElementValue(ctx, v, arr::BlockOf(&cell));
    ResetValue(ctx, v, 0);
    val::CopyValue(ctx, &cell, v, false, false);
    v->owner_var = slot;
    v->owner_frame = ctx->frameNumber;
    return;
  }
  ResetValue(ctx, v, 0);
  if (!val::CopyValue(ctx, &cell, v, true, false)) {
    if (!ctx->error) err::Raise(ctx, 3096);
    return;
  }
  v->owner_var = slot;
  v->owner_frame = ctx->frameNumber;
  lex::GetToken(ctx);
}

void Literal(ScriptContext* ctx, Value* v) {
  ResetValue(ctx, v, 0);
  switch (ctx->tokenKind) {
    case lex::kTokInteger: v->ival = val::TextToInt(ctx->tokenText); break;
    case lex::kTokString:
      v->str = heap::StoreText(ctx, ctx->tokenText, strlen(ctx->tokenText));
      if (!v->str) return;
      v->flags = kFlagString;
      break;
    case lex::kTokFloat: {
      double d;
      if (!val::ParseFloat(ctx, ctx->tokenText, &d)) {
        if (!ctx->error) err::Raise(ctx, 3054);
        return;
      }
      v->flags = kFlagFloat;
      v->fval = d;
      break;
    }
  }
  lex::GetToken(ctx);
}

void Primary(ScriptContext* ctx, Value* v) {
  switch (ctx->tokenKind) {
    case lex::kTokVariable: return VariableValue(ctx, v);
    case lex::kTokInteger:
    case lex::kTokString:
    case lex::kTokFloat: return Literal(ctx, v);
    case lex::kTokKeyword: break;
    default: return err::Raise(ctx, 3061);
  }
  int id = ctx->tokenCode;
  uint32_t kind = fn::KindOf(ctx, id);
  if (kind == KIND_UNARY_OPERATOR) {
    lex::GetToken(ctx);
    if (ctx->error) return;
    Primary(ctx, v);  // unary operators nest and bind tighter than "**"
    if (!ctx->error) ApplyUnary(ctx, id, v);
    // "*p[...]": an element of the array that the pointer names.
    if (!ctx->error && id == kIdStar && (v->flags & kFlagArray) && v->str &&
        IsOp(ctx, kIdOpenBracket))
      ElementValue(ctx, v, arr::BlockOf(v));
    return;
  }
  if (id == kIdOpenParen) {
    lex::GetToken(ctx);
    if (ctx->error) return;
    Evaluate(ctx, v, false, false);
    if (ctx->error) return;
    if (!IsOp(ctx, kIdCloseParen)) return err::Raise(ctx, 3065);
    lex::GetToken(ctx);
    return;
  }
  if ((kind & ~KIND_NOT_AVAILABLE) == KIND_FUNCTION || id == kIdOleObject)
    return calls::ParseCall(ctx, v);
  if (kind == KIND_SPECIAL_FORM) return SpecialForm(ctx, id, v);
  if (kind == KIND_CONSTANT) {
    ConstantValue(ctx, id, v);
    if (!ctx->error) lex::GetToken(ctx);
    return;
  }
  err::Raise(ctx, 3061);
}

// ---- assignment

// The variable that holds the pointer of a "*p = ..." statement: its name
// waits in slot 0. kNoSlot when there is none.
uint16_t PointerHolder(ScriptContext* ctx) {
  char name[kVarNameSize + 1];
  memcpy(name, ctx->vars[0].name, sizeof name);
  name[0] = static_cast<char>(name[0] & 0x7f);
  name[kVarNameSize] = 0;
  return vars::Lookup(ctx, name);
}

// The variable a "*p = ..." statement assigns; the pointer's frame becomes
// current. The pointer is the holder's text, or, for "*p[...] = ...", the
// text of the holder's element that the subscript selects.
uint16_t PointerTarget(ScriptContext* ctx, ptr::FrameSwitch* sw) {
  char name[kVarNameSize + 1];
  uint16_t holder = PointerHolder(ctx);
  const ValueCell* h = holder == vars::kNoSlot ? nullptr : &ctx->vars[holder].v;
  if (h && (h->flags & kFlagArray) && h->str && !IsOp(ctx, kIdAssign)) {
    lex::GetToken(ctx);  // "[", which IsElementAssignment saw
    ElementCell* e = ctx->error ? nullptr : ReadSubscript(ctx, arr::BlockOf(h));
    if (!e) return vars::kNoSlot;
    lex::GetToken(ctx);  // past "]": the "="
    if (ctx->error) return vars::kNoSlot;
    h = &e->v;
  }
  if (!h || !(h->flags & kFlagString)) {
    err::Raise(ctx, 3813);
    return vars::kNoSlot;
  }
  char text[kPointerMaxLen + 2];
  const char* s = heap::At(ctx, static_cast<uint32_t>(h->str));
  size_t n = strlen(s);
  if (n >= sizeof text) n = sizeof text - 1;
  memcpy(text, s, n);
  text[n] = 0;
  uint16_t frame;
  if (!ptr::Parse(ctx, text, &frame, name)) return vars::kNoSlot;
  if (!ptr::SwitchTo(ctx, frame, sw)) return vars::kNoSlot;
  uint16_t slot = vars::Lookup(ctx, name);
  if (slot == vars::kNoSlot) err::Raise(ctx, 3813);
  return slot;
}

// The target gives up its old value before the new one is stored: an array it
// holds is released unless the new value is that same array.
// Returns false when the target keeps its array (nothing to store).
bool ClearTarget(ScriptContext* ctx, ValueCell* target, const Value* result) {
  if ((target->flags & kFlagArray) && (result->flags & kFlagArray) && target->str == result->str &&
      !ctx->error)
    return false;
  val::FreeValue(ctx, target, val::kVarCell);
  val::InitCell(target, 0);
  return true;
}

void Assign(ScriptContext* ctx, Value* result, bool throughPointer) {
  ptr::FrameSwitch sw{};
  uint16_t slot = throughPointer ? PointerTarget(ctx, &sw) : ctx->tokenSlot;
  if (!ctx->error && slot == vars::kNoSlot) err::Raise(ctx, 3051);
  if (ctx->error) {
    ptr::SwitchBack(ctx, &sw);
    return;
  }
  uint16_t targetFrame = ctx->frameNumber;
  // Evaluate the right side in the frame the statement runs in.
  ptr::FrameSwitch back{};
  if (sw.switched) ptr::SwitchBack(ctx, &sw), back.switched = false;
  uint32_t savedTarget = ctx->assignTarget;
  ctx->assignTarget = static_cast<uint32_t>(targetFrame) << 16 | slot;
  lex::GetToken(ctx);  // past "="
  if (!ctx->error) Level1(ctx, result);
  uint16_t evalError = ctx->error, handled = 0;
  if (evalError) {
    if (err::HandleInAssignment(ctx, evalError, result)) {
      handled = evalError;
      evalError = 0;
      ctx->tokenKind = lex::kTokEnd;  // what the failed right side left unread is dropped
    } else {
      evalError = ctx->error;  // the error, or what became of it in the handler
    }
  }
  if (!evalError) ctx->assignTarget = savedTarget;  // a failed one stays named for the error report
  ctx->error = 0;
  if (!ptr::SwitchTo(ctx, targetFrame, &back)) return;
  ValueCell* target = &ctx->vars[slot].v;
  ctx->error = evalError;
  bool store = ClearTarget(ctx, target, result);
  if (!ctx->error && ctx->tokenKind != lex::kTokEnd) err::RaiseWithDetail(ctx, 3074, 9505);
  if (!ctx->error && store && !val::CopyValue(ctx, result, target, true, true)) {
    val::InitCell(target, 0);
    if (!ctx->error) err::Raise(ctx, 3096);
  }
  if (!ctx->error) ctx->frames[ctx->frameNumber].lastAssigned = slot;
  uint16_t finalError = ctx->error;
  if (handled && !finalError) {  // the handler's value stands in for the failed one
    finalError = err::kHandledInAssignment;
    ctx->substitutedError = handled;
  }
  ctx->error = 0;
  ptr::SwitchBack(ctx, &back);
  if (finalError) ctx->error = finalError;
}

bool HoldsArray(const ScriptContext* ctx, uint16_t slot) {
  return slot != vars::kNoSlot && ctx->vars && slot < ctx->varInUse &&
         (ctx->vars[slot].v.flags & kFlagArray) && ctx->vars[slot].v.str;
}

}  // namespace

void ResetValue(ScriptContext* ctx, Value* v, int32_t n) {
  val::FreeValue(ctx, v, val::kEvalValue, true);
  val::InitValue(v, n);
}

void Evaluate(ScriptContext* ctx, Value* result, bool assignAllowed, bool throughPointer) {
  if (ctx->tokenKind != lex::kTokVariable) return Level1(ctx, result);
  // A variable: an assignment when "=" follows, else the start of an expression.
  const char* varStart = ctx->tokenStart;
  uint16_t varSlot = ctx->tokenSlot;
  uint16_t arraySlot = throughPointer ? PointerHolder(ctx) : varSlot;
  if (HoldsArray(ctx, arraySlot) && IsElementAssignment(ctx->prog)) {
    if (!assignAllowed) return err::RaiseWithDetail(ctx, 3069, 9506);
    if (!throughPointer) return AssignElement(ctx, result, varSlot);
    ctx->tokenSlot = varSlot;
    return Assign(ctx, result, true);  // the element holds the pointer
  }
  lex::GetToken(ctx);
  if (ctx->error) return;
  if (!IsOp(ctx, kIdAssign)) {
    // Make the variable the current token again, with the cursor after it.
    const char* after = ctx->tokenKind == lex::kTokEnd ? ctx->prog : ctx->tokenStart;
    lex::Putback(ctx);
    ctx->prog = after;
    ctx->tokenStart = varStart;
    ctx->tokenKind = lex::kTokVariable;
    ctx->tokenSlot = varSlot;
    strcpy(ctx->tokenText, ctx->nameBuf);
    return Level1(ctx, result);
  }
  if (!assignAllowed) return err::RaiseWithDetail(ctx, 3069, 9506);
  ctx->tokenSlot = varSlot;
  Assign(ctx, result, throughPointer);
}

}  // namespace zel::expr

ZEL_API int WINAPI ProcessSubExpression(zel::ScriptContext* ctx, zel::Value* result,
                                        int assignAllowed, int throughPointer, void* errorVar) {
  if (!ctx || !result) return 0;
  zel::expr::Evaluate(ctx, result, assignAllowed != 0, throughPointer != 0);
  return ctx->error == 0;
}
