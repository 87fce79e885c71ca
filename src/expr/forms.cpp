// Special forms that take variable names rather than values: Drop,
// IsDefined, VarType, ObjectTypeGet, ?makepointer and the Ptr forms.
#include <cstdio>
#include <cstring>

#include "builtins/dispatch.h"
#include "builtins/functable.h"
#include "com/variant.h"
#include "errors/errinfo.h"
#include "errors/messages.h"
#include "expr/eval.h"
#include "lexer/lookup.h"
#include "lexer/tokenizer.h"
#include "values/array.h"
#include "values/convert.h"
#include "values/heap.h"
#include "values/pointers.h"
#include "values/variables.h"

namespace zel::expr {
namespace {

bool IsOp(const ScriptContext* ctx, int id) {
  return ctx->tokenKind == lex::kTokKeyword && ctx->tokenCode == id;
}

// ")" must close the form (3066 with message 9504); reads the token after it.
bool CloseParen(ScriptContext* ctx) {
  if (!IsOp(ctx, kIdCloseParen)) {
    err::RaiseWithDetail(ctx, 3066, 9504);
    return false;
  }
  lex::GetToken(ctx);
  return !ctx->error;
}

void SetPointer(ScriptContext* ctx, Value* v, uint16_t frame, const char* name) {
  char text[kPointerMaxLen + 1];
  if (ptr::Format(ctx, frame, name, text, sizeof text)) SetText(ctx, v, text);
}

// One argument naming a variable: a name, or "*p" for the variable that the
// pointer p names, whose frame then becomes current.
struct NameArg {
  bool isName;        // a variable name (directly or through "*")
  bool validPointer;  // false when a "*" form held no valid pointer
  char name[kVarNameSize + 1];
  ptr::FrameSwitch sw;
};

// Reads the argument from the next token on, without creating names.
void ReadNameArg(ScriptContext* ctx, NameArg* a) {
  *a = NameArg{};
  a->validPointer = true;
  ctx->noCreate = 1;
  lex::GetToken(ctx);
  bool viaPointer = !ctx->error && IsOp(ctx, kIdStar);
  if (viaPointer) {
    ctx->noCreate = 1;
    lex::GetToken(ctx);
  }
  if (ctx->error || ctx->tokenKind != lex::kTokVariable) return;
  a->isName = true;
  memcpy(a->name, ctx->nameBuf, kVarNameSize);
  a->name[kVarNameSize] = 0;
  if (!viaPointer) return;
  uint16_t holder = vars::Lookup(ctx, a->name);
  const ValueCell* h = holder == vars::kNoSlot ? nullptr : &ctx->vars[holder].v;
  char text[kPointerMaxLen + 2] = "";
  if (h && (h->flags & kFlagString))
    snprintf(text, sizeof text, "%s", heap::At(ctx, static_cast<uint32_t>(h->str)));
  uint16_t frame;
  uint16_t saved = ctx->error;
  if (!ptr::Parse(ctx, text, &frame, a->name)) {
    ctx->error = saved;
    a->validPointer = false;
    return;
  }
  ptr::SwitchTo(ctx, frame, &a->sw);
}

// Switches back from a name argument's frame; 3816 when that fails.
bool RestoreFrame(ScriptContext* ctx, NameArg* a) { return ptr::SwitchBack(ctx, &a->sw); }

void Drop(ScriptContext* ctx, Value* result) {
  for (;;) {
    NameArg a;
    ReadNameArg(ctx, &a);
    if (!ctx->error && !a.isName) err::Raise(ctx, 3102);
    if (!ctx->error && a.validPointer) {
      uint16_t slot = vars::Lookup(ctx, a.name);
      uint32_t self = static_cast<uint32_t>(ctx->frameNumber) << 16 | slot;
      // The target of an assignment still being evaluated keeps its value.
      if (slot != vars::kNoSlot && ctx->assignTarget != self) vars::FreeSlot(ctx, slot);
    }
    uint16_t e = ctx->error;
    ctx->error = 0;
    RestoreFrame(ctx, &a);
    if (e) ctx->error = e;
    if (ctx->error) return;
    lex::GetToken(ctx);
    if (ctx->error || !IsOp(ctx, kIdComma)) break;
  }
  if (!ctx->error && CloseParen(ctx)) ResetValue(ctx, result, 1);
}

// The element of the array in `v` whose subscript follows the name (the
// current token); nullptr when the subscript fails. The subscript's "]"
// becomes current either way, when the subscript is well formed.
const ValueCell* InspectedElement(ScriptContext* ctx, const ValueCell* v) {
  lex::GetToken(ctx);
  const char* bracket = ctx->tokenStart;
  size_t close = lex::SubscriptEnd(bracket);
  ElementCell* e = ctx->error ? nullptr : ReadSubscript(ctx, arr::BlockOf(v));
  ctx->error = 0;
  if (!e && close) {
    ctx->prog = bracket + close;  // resume at the "]"
    lex::GetToken(ctx);
  }
  return e ? &e->v : nullptr;
}

bool SubscriptFollows(const ScriptContext* ctx) {
  const char* p = ctx->prog;
  while (*p == ' ' || *p == '\t') ++p;
  return *p == '[';
}

// IsDefined, VarType and ObjectTypeGet: one name argument, and no error ever.
void Inspect(ScriptContext* ctx, int id, Value* result) {
  NameArg a;
  ReadNameArg(ctx, &a);
  int32_t answer = -1;
  const char* typeName = "";
  if (!ctx->error && a.isName && a.validPointer) {
    uint16_t slot = vars::Lookup(ctx, a.name);
    const ValueCell* v = slot == vars::kNoSlot ? nullptr : &ctx->vars[slot].v;
    bool defined = v && vars::IsDefined(*v);
    if (defined && (v->flags & kFlagArray) && v->str && SubscriptFollows(ctx)) {
      v = InspectedElement(ctx, v);
      defined = v && v->flags != kFlagUndefined;
    }
    answer = id == kIdIsDefined ? (defined ? 1 : 0)
                                    : (defined ? static_cast<int32_t>(v->flags & 0xffff) : 0);
    if (defined && (v->flags & kFlagVariant)) typeName = com::VariantTypeName(v->variant.vt);
  }
  RestoreFrame(ctx, &a);
  ctx->error = 0;
  if (ctx->tokenKind != lex::kTokEnd && !IsOp(ctx, kIdCloseParen)) lex::GetToken(ctx);
  ctx->error = 0;
  if (!CloseParen(ctx)) return;
  if (id == kIdObjectTypeGet)
    SetText(ctx, result, typeName);
  else
    ResetValue(ctx, result, answer);
}

void MakePointer(ScriptContext* ctx, Value* result) {
  ctx->addressOfRequest = 1;
  lex::GetToken(ctx);
  if (ctx->error) return;
  if (ctx->tokenKind != lex::kTokVariable || ctx->tokenSlot == vars::kNoSlot) {
    err::Raise(ctx, 3761);
    return;
  }
  char name[kVarNameSize + 1];
  memcpy(name, ctx->nameBuf, sizeof name);
  name[kVarNameSize] = 0;
  lex::GetToken(ctx);
  if (ctx->error || !CloseParen(ctx)) return;
  SetPointer(ctx, result, ctx->frameNumber, name);
}

// PtrGlobalDefine, PtrGlobal, PtrGlobalTest and PtrPersistent work on
// variables of the main script.
void GlobalForm(ScriptContext* ctx, int id, Value* result) {
  ptr::FrameSwitch sw{};
  if (!ptr::SwitchTo(ctx, 0, &sw)) return;
  if (id == kIdPtrGlobalDefine) ctx->addressOfRequest = 1;
  if (id == kIdPtrPersistent) ctx->persistentMode = 1;
  lex::GetToken(ctx);
  ctx->persistentMode = 0;
  char name[kVarNameSize + 1] = "";
  uint16_t slot = vars::kNoSlot;
  int32_t test = 0;
  if (ctx->error == 3055 && id == kIdPtrPersistent) {
    ctx->error = 0;
    err::RaiseWithDetail(ctx, 3821, 9508);
  } else if (!ctx->error && ctx->tokenKind != lex::kTokVariable) {
    err::RaiseWithDetail(ctx, 3821, 9509);
  } else if (!ctx->error && (slot = ctx->tokenSlot) == vars::kNoSlot) {
    err::RaiseWithDetail(ctx, 3821, 9510);
  }
  if (!ctx->error) {
    memcpy(name, ctx->nameBuf, kVarNameSize);
    name[kVarNameSize] = 0;
    VarRecord& r = ctx->vars[slot];
    if (id == kIdPtrGlobalDefine) {
      r.mark |= kMarkGlobal;
    } else if (id == kIdPtrGlobal || id == kIdPtrGlobalTest) {
      bool isTest = id == kIdPtrGlobalTest;
      if (!vars::IsDefined(r.v)) {
        if (!isTest) err::RaiseWithDetail(ctx, 3821, 9511);
      } else if (!(r.mark & kMarkGlobal)) {
        if (!isTest) err::RaiseWithDetail(ctx, 3821, 9512);
      } else {
        test = 1;
      }
    }
  }
  if (!ctx->error) lex::GetToken(ctx);
  if (!ctx->error && id == kIdPtrPersistent) {
    if (!IsOp(ctx, kIdComma)) {
      err::Raise(ctx, 3066);
    } else {
      // The initial value is an expression of the caller's frame; it is stored
      // only the first time, while the variable is still uninitialized.
      ptr::SwitchBack(ctx, &sw);
      lex::GetToken(ctx);
      Value init;
      val::InitValue(&init, 0);
      if (!ctx->error) EvaluatePlain(ctx, &init);
      if (!ctx->error && ptr::SwitchTo(ctx, 0, &sw)) {
        slot = vars::Lookup(ctx, name);
        if (slot != vars::kNoSlot && !vars::IsDefined(ctx->vars[slot].v))
          vars::Assign(ctx, slot, &init);
      }
      ResetValue(ctx, &init, 0);
    }
  }
  uint16_t e = ctx->error;
  ctx->error = 0;
  ptr::SwitchBack(ctx, &sw);
  if (e) ctx->error = e;
  if (ctx->error || !CloseParen(ctx)) return;
  if (id == kIdPtrGlobalTest)
    ResetValue(ctx, result, test);
  else
    SetPointer(ctx, result, 0, name);
}

}  // namespace

void SetText(ScriptContext* ctx, Value* v, const char* text) {
  ResetValue(ctx, v, 0);
  v->str = heap::StoreText(ctx, text, strlen(text));
  if (v->str) v->flags = kFlagString;
}

void SpecialForm(ScriptContext* ctx, int id, Value* result) {
  if (id == kIdPtrGlobalDefine && ctx->udfExecuting != kMainScript)
    return err::RaiseWithDetail(ctx, 3821, 9507);
  if (!calls::OpenParen(ctx, id)) return;
  switch (id) {
    case kIdDrop: return Drop(ctx, result);
    case kIdIsDefined:
    case kIdVarType:
    case kIdObjectTypeGet: return Inspect(ctx, id, result);
    case kIdMakePointer: return MakePointer(ctx, result);
    default: return GlobalForm(ctx, id, result);
  }
}

}  // namespace zel::expr
