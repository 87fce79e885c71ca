// Call dispatch (argument parsing, conversion by type code, routing by ID).
#include "builtins/dispatch.h"

#include <cstdio>
#include <cstring>

#include "builtins/families.h"
#include "builtins/functable.h"
#include "errors/errinfo.h"
#include "errors/messages.h"
#include "exec/udf.h"
#include "expr/eval.h"
#include "extender/hostcall.h"
#include "host/process.h"
#include "lexer/tokenizer.h"
#include "values/array.h"
#include "values/convert.h"
#include "values/heap.h"
#include "values/matherr.h"

namespace zel::calls {
namespace {

Body g_bodies[kKeyTokens];
bool g_registered;

bool IsOp(const ScriptContext* ctx, int id) {
  return ctx->tokenKind == lex::kTokKeyword && ctx->tokenCode == id;
}

// Arrays passed as arguments are pinned as soon as they are read, so that
// nothing the later arguments or the call do can destroy them under it. Each
// slot remembers the block it pinned.
struct Pins {
  ArrayBlock* block[kMaxArgs + 1] = {};
};

void PinArray(const Value& a, ArrayBlock** pin) {
  if (!(a.flags & kFlagArray) || !a.str) return;
  *pin = arr::BlockOf(&a);
  arr::AddRef(*pin);
}

void ReleaseArgs(ScriptContext* ctx, Value* args, int upto, Pins* pins) {
  for (int i = 1; i <= upto; ++i) {
    if (pins->block[i]) arr::Unpin(ctx, pins->block[i]);
    pins->block[i] = nullptr;
    expr::ResetValue(ctx, &args[i], 0);
  }
}

// A text argument of code 6 (or 8 under the Unicode switch) that already is
// UTF-16 makes the whole call wide.
bool IsWideCall(const Value* args, int argc, uint64_t types) {
  for (int n = 1; n <= argc; ++n) {
    unsigned code = static_cast<unsigned>(types >> (4 * (n - 1))) & 15;
    if (code != ARG_TEXT && !(code == ARG_TEXT_BOTH && UnicodeSwitch())) continue;
    const Value& a = args[n];
    if ((a.flags & kFlagUnicode) && !(a.flags & kFlagString)) return true;
    if (a.flags & kFlagVariant) {
      VARTYPE vt = a.variant.vt;
      if ((vt & ~VT_BYREF) == VT_BSTR) return true;
    }
  }
  return false;
}

bool ConvertText(ScriptContext* ctx, Value* a, bool toWide) {
  if (toWide) {
    if (val::ToUnicode(ctx, a)) return true;
    if (!ctx->error) err::Raise(ctx, 3820);
    return false;
  }
  if (val::ToText(ctx, a)) return true;
  if (!ctx->error) err::Raise(ctx, 3056);
  return false;
}

bool ConvertArg(ScriptContext* ctx, Value* a, int n, unsigned code, bool wide) {
  switch (code) {
    case ARG_ANY: return true;
    case ARG_VARIANT:
      if (a->flags & kFlagVariant) return true;
      err::Raise(ctx, 3732);  // values become variants with the COM bridge
      return false;
    case ARG_ARRAY:
      if (a->flags & kFlagArray) return true;
      err::Raise(ctx, 3650);
      return false;
    case ARG_STRING: return ConvertText(ctx, a, false);
    case ARG_WSTRING: return ConvertText(ctx, a, true);
    case ARG_TEXT: return ConvertText(ctx, a, wide);
    case ARG_TEXT_SYS: return ConvertText(ctx, a, UnicodeSwitch());
    case ARG_TEXT_BOTH: return ConvertText(ctx, a, wide && UnicodeSwitch());
    case ARG_FLOAT:
      if (val::ToFloat(ctx, a)) return true;
      if (!ctx->error) err::Raise(ctx, 3340);
      return false;
    default: {  // integer, and the unused codes
      if (val::ToInteger(ctx, a, true)) return true;
      if (!ctx->error && val::ToFloat(ctx, a) && val::ToInteger(ctx, a, true)) return true;
      if (!ctx->error) {
        char detail[kWorkBuf], text[kWorkBuf];
        msg::Load(ctx, 9503, detail, sizeof detail);
        snprintf(text, sizeof text, detail, n);
        err::Raise(ctx, 3057);
        err::AddErrorInfo(ctx, text);
      }
      return false;
    }
  }
}

// Reads the arguments after "(" into args[1..]; returns their count, or -1.
int ParseArgs(ScriptContext* ctx, Value* args, int required, int total, Pins* pins) {
  lex::GetToken(ctx);
  if (ctx->error) return -1;
  int n = 1;
  while (n <= total) {
    if (IsOp(ctx, kIdCloseParen) && n > required) break;  // optional ones omitted
    if (n > 1) {
      lex::GetToken(ctx);  // past ","
      if (ctx->error) break;
    }
    expr::EvaluatePlain(ctx, &args[n]);
    if (ctx->error) break;
    PinArray(args[n], &pins->block[n]);
    if (n < required && !IsOp(ctx, kIdComma)) {
      err::RaiseWithDetail(ctx, 3068, 9500);
      break;
    }
    ++n;
  }
  if (!ctx->error && !IsOp(ctx, kIdCloseParen)) err::RaiseWithDetail(ctx, 3066, 9504);
  if (ctx->error) {
    ReleaseArgs(ctx, args, kMaxArgs, pins);
    return -1;
  }
  return n - 1;
}

}  // namespace

bool OpenParen(ScriptContext* ctx, int id) {
  lex::GetToken(ctx);
  if (ctx->error) return false;
  if (IsOp(ctx, kIdOpenParen)) return true;
  char detail[kWorkBuf], text[kWorkBuf];
  msg::Load(ctx, 9502, detail, sizeof detail);
  uint16_t len = 0;
  const char* name = fn::NameOf(ctx, id, &len);
  snprintf(text, sizeof text, "%.*s %s", static_cast<int>(len), name, detail);
  err::Raise(ctx, 3067);
  err::AddErrorInfo(ctx, text);
  return false;
}

const char* ArgText(const ScriptContext* ctx, const Value& arg) {
  const char* text = arg.flags & kFlagString ? heap::At(ctx, static_cast<uint32_t>(arg.str)) : nullptr;
  return text ? text : "";
}

bool Register(const char* name, Body body) {
  size_t n = strlen(name);
  for (int id = 0; id < static_cast<int>(kKeyTokens); ++id) {
    const FunctionTableEntry& e = kBuiltinTable[id];
    if (e.nameLen == n && memcmp(e.name, name, n) == 0 && e.kind == KIND_FUNCTION) {
      g_bodies[id] = body;
      return true;
    }
  }
  return false;
}

void DispatchCall(ScriptContext* ctx, int id, Value* result, Value* args, int argc,
                  bool selfParsed, uint64_t argTypes) {
  expr::ResetValue(ctx, result, 0);
  bool wide = false;
  bool isUdf = id >= kUdfIdBase && id <= kUdfIdLast;
  if (!selfParsed && !isUdf) {
    wide = IsWideCall(args, argc, argTypes);
    for (int n = 1; n <= argc; ++n) {
      unsigned code = static_cast<unsigned>(argTypes >> (4 * (n - 1))) & 15;
      if (!ConvertArg(ctx, &args[n], n, code, wide)) return;
    }
  }
  if (!g_registered) {
    RegisterFamilies();
    g_registered = true;
  }
  matherr::Clear();
  if (isUdf) {
    exec::CallUdf(ctx, id, result, args, argc);
  } else if (id >= kHostIdBase && id <= kHostIdLast) {
    ext::CallHost(ctx, id, result, args, argc);
  } else {
    Body body = id >= 0 && id < kKeyTokens ? g_bodies[id] : nullptr;
    if (!body) {
      err::Raise(ctx, 3046);  // a family that is not part of the library yet
      return;
    }
    body(ctx, result, args, argc, wide, id);
  }
  // A numeric result never carries a stale text form.
  if ((result->flags & (kFlagInt | kFlagFloat)) && (result->flags & kFlagString)) {
    val::FreeValue(ctx, result, val::kEvalValue, true);
  }
  matherr::TakeInto(ctx);
}

void ParseCall(ScriptContext* ctx, Value* result) {
  int id = ctx->tokenCode;
  fn::ArgCount counts = fn::ArgCounts(ctx, id);
  int required = counts.required, optional = counts.optional;
  uint64_t types = fn::ArgTypes(ctx, id);
  bool selfParsed = required == kSelfParsed;
  if (selfParsed) required = optional = 0;
  int total = required + optional;
  if (!selfParsed && total > kMaxArgs) return err::Raise(ctx, 3070);
  if (id != kIdOleObject && !OpenParen(ctx, id)) return;
  Value args[kMaxArgs + 1];
  for (Value& a : args) val::InitValue(&a, 0);
  int argc = kMaxArgs;
  Pins pins;
  if (!selfParsed) {
    argc = ParseArgs(ctx, args, required, total, &pins);
    if (argc < 0) return;
  }
  DispatchCall(ctx, id, result, args, argc, selfParsed, types);
  ReleaseArgs(ctx, args, argc, &pins);
  if (!ctx->error) lex::GetToken(ctx);
}

}  // namespace zel::calls
