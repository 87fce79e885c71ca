// Array subscripts (reading "[" s1, ..., sn "]" from the tokens and addressing
// the element they select; reading an element and assigning to one).
#include <cstring>

#include "builtins/functable.h"
#include "errors/errinfo.h"
#include "expr/eval.h"
#include "lexer/lookup.h"
#include "lexer/tokenizer.h"
#include "values/array.h"
#include "values/convert.h"

namespace zel::expr {
namespace {

bool IsOp(const ScriptContext* ctx, int id) {
  return ctx->tokenKind == lex::kTokKeyword && ctx->tokenCode == id;
}

// A pin on a block for as long as the guard lives: nothing a subscript or a
// right-hand side evaluates may destroy the block under the element.
class PinGuard {
 public:
  PinGuard(ScriptContext* ctx, ArrayBlock* b) : ctx_(ctx), b_(b) { arr::AddRef(b_); }
  ~PinGuard() { arr::Unpin(ctx_, b_); }
  PinGuard(const PinGuard&) = delete;
  PinGuard& operator=(const PinGuard&) = delete;

 private:
  ScriptContext* ctx_;
  ArrayBlock* b_;
};

// Reads one subscript of dimension k: the expression from the next token
// on, which "," or "]" must follow; a number (a float is rounded) inside the
// dimension. False with the error set.
bool ReadOneSubscript(ScriptContext* ctx, const ArrayBlock* b, int k, int32_t* out) {
  lex::GetToken(ctx);
  if (ctx->error) return false;
  Value v;
  val::InitValue(&v, 0);
  EvaluatePlain(ctx, &v);
  bool ok = !ctx->error;
  if (ok && !IsOp(ctx, kIdComma) && !IsOp(ctx, kIdCloseBracket)) {
    err::Raise(ctx, 1633);
    ok = false;
  }
  if (ok && !val::ToInteger(ctx, &v, true)) {
    if (!ctx->error) err::Raise(ctx, 1634);
    ok = false;
  }
  if (ok && (v.ival < 0 || v.ival >= b->sizes[k])) {
    err::Raise(ctx, 1636);
    ok = false;
  }
  *out = v.ival;
  ResetValue(ctx, &v, 0);
  return ok;
}

}  // namespace

ElementCell* ReadSubscript(ScriptContext* ctx, ArrayBlock* b) {
  if (b->dims == 0) {
    err::Raise(ctx, 1710);
    return nullptr;
  }
  if (!b->data) {
    err::Raise(ctx, 1637);
    return nullptr;
  }
  PinGuard pin(ctx, b);
  int32_t subs[kMaxDims] = {};
  int n = 0;
  while (n < b->dims) {
    if (!ReadOneSubscript(ctx, b, n, &subs[n])) return nullptr;
    ++n;
    if (IsOp(ctx, kIdCloseBracket)) break;
  }
  if (!IsOp(ctx, kIdCloseBracket)) {
    err::Raise(ctx, 1633);
    return nullptr;
  }
  if (n < b->dims) {
    err::Raise(ctx, 1635);
    return nullptr;
  }
  ElementCell* e = arr::ElementAt(b, subs, n);
  if (!e) err::Raise(ctx, 1636);
  return e;
}

bool IsElementAssignment(const char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  if (*p != '[') return false;
  size_t close = lex::SubscriptEnd(p);
  if (!close) return false;
  p += close + 1;
  while (*p == ' ' || *p == '\t') ++p;
  return p[0] == '=' && p[1] != '=';
}

void ElementValue(ScriptContext* ctx, Value* v, ArrayBlock* b) {
  ElementCell* e = ReadSubscript(ctx, b);
  if (!e) return;
  if (e->v.flags == kFlagUndefined) return err::Raise(ctx, 1640);
  ResetValue(ctx, v, 0);
  if (!val::CopyValue(ctx, &e->v, v, true, false)) {
    if (!ctx->error) err::Raise(ctx, 3096);
    return;
  }
  v->owner_cell = reinterpret_cast<AddrWord>(e);
  v->owner_var = kOwnerElement;
  v->owner_frame = ctx->frameNumber;
  lex::GetToken(ctx);  // past "]"
}

void AssignElement(ScriptContext* ctx, Value* result, uint16_t slot) {
  ArrayBlock* b = arr::BlockOf(&ctx->vars[slot].v);
  lex::GetToken(ctx);
  if (ctx->error) return;
  if (!IsOp(ctx, kIdOpenBracket)) return err::Raise(ctx, 1632);
  PinGuard pin(ctx, b);
  ElementCell* e = ReadSubscript(ctx, b);
  if (!e) return;
  lex::GetToken(ctx);  // past "]": the "=" that IsElementAssignment saw
  if (!ctx->error && !IsOp(ctx, kIdAssign)) err::Raise(ctx, 3061);
  if (ctx->error) return;
  // The variable is the assignment's target while the right side runs, so
  // that Drop leaves it alone.
  uint32_t savedTarget = ctx->assignTarget;
  ctx->assignTarget = static_cast<uint32_t>(ctx->frameNumber) << 16 | slot;
  lex::GetToken(ctx);
  if (!ctx->error) EvaluatePlain(ctx, result);
  ctx->assignTarget = savedTarget;
  // The element gives up its old value whatever the outcome.
  val::FreeValue(ctx, &e->v, val::kElementCell);
  val::InitCell(&e->v, 0);
  if (ctx->error) return;
  if (ctx->tokenKind != lex::kTokEnd) return err::RaiseWithDetail(ctx, 3074, 9505);
  if (result->flags & kFlagArray) return err::Raise(ctx, 3647);
  if (!val::CopyValue(ctx, result, &e->v, true, true)) {
    val::InitCell(&e->v, 0);
    if (!ctx->error) err::Raise(ctx, 3096);
    return;
  }
  ctx->frames[ctx->frameNumber].lastAssigned = slot;
}

}  // namespace zel::expr
