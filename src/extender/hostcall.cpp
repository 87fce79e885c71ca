// Host callback (argument entries built from Values, a fresh service block for
// every call, the host's negative answers turned into errors) and ViperAnswer,
// which stores an answer into the result of the call in progress.
#include "extender/hostcall.h"

#include <cstring>
#include <cwchar>

#include "builtins/functable.h"
#include "com/variant.h"
#include "errors/errinfo.h"
#include "errors/messages.h"
#include "host/context.h"
#include "values/array.h"
#include "values/convert.h"
#include "values/heap.h"
#include "values/strutil.h"

namespace zel::ext {
namespace {

constexpr LONG kNotStored = -4;                // ViperAnswer: the answer could not be stored
constexpr uint32_t kUndefinedFailure = 866;    // message: the callee failed without a text
constexpr uint32_t kNoSubstitute = 999;        // substituted error when the text names none
constexpr size_t kLeadingNumberSpan = 10;      // a text's leading number ends in ':' within this
constexpr int kTextArgs = 5;                   // texts of the run's own calls of the host

void FillServiceBlock(ScriptContext* ctx, Value* result, ExtenderServiceBlock* block) {
  *block = ExtenderServiceBlock{};
  block->context = ctx;
  block->result = result;
  block->version = kServiceBlockVersion;
  block->size = sizeof *block;
  block->contextHandle = ctx->selfHandle;
  block->parentWindow = ctx->ownerWindow;
}

// A VARIANT argument gains the plain form the callee reads: its text, its
// float or its integer; an object keeps only the VARIANT. A safe array would
// become a script array through the COM bridge, which the library does not
// have yet: 1811.
bool ExpandVariant(ScriptContext* ctx, Value* a) {
  if (!(a->flags & kFlagVariant)) return true;
  const VARIANT* v = &a->variant;
  bool ok = true;
  if (v->vt & VT_ARRAY) {
    ok = false;
  } else if (com::VariantHoldsString(v)) {
    ok = val::ToText(ctx, a);
  } else if (com::VariantIsFloatKind(v)) {
    ok = val::ToFloat(ctx, a);
  } else {
    val::ToInteger(ctx, a, false);  // objects and the like have no integer form
  }
  if (!ok && !ctx->error) err::Raise(ctx, 1811);
  return ok;
}

// One argument entry: the Value's fields up to its text, and the text's
// address (the ANSI text; a Unicode-only Value gains one first). Empty texts
// and Values without text give a null address.
bool BuildEntry(ScriptContext* ctx, Value* a, ExtenderArg* e) {
  if (!ExpandVariant(ctx, a)) return false;
  if ((a->flags & kFlagUnicode) && !(a->flags & kFlagString) && !val::ToText(ctx, a)) {
    if (!ctx->error) err::Raise(ctx, 3056);
    return false;
  }
  memcpy(e, static_cast<const ValueCell*>(a), offsetof(ExtenderArg, text));
  if (a->flags & kFlagArray) {
    e->text = arr::BlockOf(a);
  } else if (a->flags & kFlagString) {
    char* t = heap::At(ctx, static_cast<uint32_t>(a->str));
    e->text = t && *t ? t : nullptr;
  }
  return true;
}

// The number an error text begins with, when a ':' follows it within the
// first characters; otherwise kNoSubstitute.
uint32_t LeadingErrorNumber(const char* text) {
  if (text[0] < '0' || text[0] > '9') return kNoSubstitute;
  if (!memchr(text, ':', strnlen(text, kLeadingNumberSpan))) return kNoSubstitute;
  return static_cast<uint32_t>(val::TextToInt(text));
}

// The code the host receives; false when there is nothing to call (3046 for
// a function without a host, or a code outside the host's ranges).
bool HostCode(ScriptContext* ctx, int code, LONG* hostCode) {
  if (code < 0) {
    *hostCode = code;
    return ctx->hostCallback != nullptr;
  }
  if (code >= kHostIdBase && code <= kHostIdLast && ctx->hostCallback) {
    *hostCode = code - kHostIdBase;
    return true;
  }
  err::Raise(ctx, 3046);
  return false;
}

int32_t Invoke(ScriptContext* ctx, LONG hostCode, Value* result, ExtenderArg* entries, int argc) {
  ExtenderServiceBlock block;
  FillServiceBlock(ctx, result, &block);
  DWORD_PTR scratch = 0;
  ctx->extenderErrorText[0] = 0;  // a failure's text is this call's or none
  auto host = reinterpret_cast<ZelHostEntry>(ctx->hostCallback);
  LONG answer = host(ctx->hostWindow, ctx->hostInstance, kEntrySignature, hostCode, &ViperAnswer,
                     &block, nullptr, entries, argc, &scratch);
  if (answer < 0) {
    ctx->substitutedError = LeadingErrorNumber(ctx->extenderErrorText);
    err::Raise(ctx, ErrorOfAnswer(answer));
  }
  return answer;
}

// ---- storing an answer

void ClearOwner(Value* r) {
  r->owner_cell = 0;
  r->owner_var = kOwnerNone;
  r->owner_frame = kOwnerNone;
}

// The error texts of a failure: the context's whole and the custom error text.
void SetFailureText(ScriptContext* ctx, const char* text) {
  str::Copy(ctx, ctx->extenderErrorText, text, sizeof ctx->extenderErrorText);
  str::Copy(ctx, ctx->customErrorText, text, sizeof ctx->customErrorText);
}

void SetUndefinedFailureText(ScriptContext* ctx) {
  char text[kWorkBuf];
  msg::Load(ctx, kUndefinedFailure, text, sizeof text);
  SetFailureText(ctx, text);
}

bool StoreVariant(ScriptContext* ctx, Value* r, const VARIANT* v) {
  VARIANT copy;
  if (!com::VariantCopyTo(&copy, v)) return false;
  val::FreeValue(ctx, r, val::kEvalValue);
  r->variant = copy;
  r->flags = kFlagVariant;
  return true;
}

bool StoreArray(ScriptContext* ctx, Value* r, void* block) {
  if (!block) return false;
  val::FreeValue(ctx, r, val::kEvalValue);
  r->str = reinterpret_cast<AddrWord>(block);
  r->flags = kFlagArray;
  return true;
}

bool StoreAnsi(ScriptContext* ctx, Value* r, const char* text) {
  if (!text) text = "";
  uint32_t off = heap::StoreText(ctx, text, strlen(text));
  if (!off) return false;
  val::FreeValue(ctx, r, val::kEvalValue);
  r->str = off;
  r->flags = kFlagString;
  return true;
}

bool StoreWide(ScriptContext* ctx, Value* r, const wchar_t* text) {
  if (!text) text = L"";
  uint32_t off = heap::StoreWide(ctx, text, wcslen(text));
  if (!off) return false;
  val::FreeValue(ctx, r, val::kEvalValue);
  r->wstr = off;
  r->flags = kFlagUnicode;
  return true;
}

bool StoreFloat(ScriptContext* ctx, Value* r, double x) {
  val::FreeValue(ctx, r, val::kEvalValue);
  r->fval = x;
  r->flags = kFlagFloat;
  return true;
}

// The result keeps its integer type (and any marks that go with it).
bool StoreInteger(ScriptContext* ctx, Value* r, int32_t i) {
  val::FreeValue(ctx, r, val::kEvalValue);
  r->ival = i;
  r->flags = (r->flags & ~kFlagFloat) | kFlagInt;
  return true;
}

const wchar_t* WideAt24(const ExtenderArg* a) {
  const wchar_t* w;
  memcpy(&w, reinterpret_cast<const char*>(a) + kAnswerWideAt24Offset, sizeof w);
  return w;
}

// An answer with a value form: a failure stores nothing and says only that
// the callee failed.
LONG StoreValueForm(ScriptContext* ctx, LONG status, Value* r, const ExtenderArg* a) {
  if (status < 0) {
    SetUndefinedFailureText(ctx);
    return status;
  }
  if (!r) return kNotStored;
  uint32_t f = a->flags;
  bool ok = (f & kFlagVariant)   ? StoreVariant(ctx, r, &a->variant)
            : (f & kFlagArray)   ? StoreArray(ctx, r, a->text)
            : (f & kFlagUnicode) ? StoreWide(ctx, r, static_cast<const wchar_t*>(a->text))
            : (f & kFlagFloat)   ? StoreFloat(ctx, r, a->fval)
                                 : StoreInteger(ctx, r, a->ival);
  if (!ok) return kNotStored;
  ClearOwner(r);
  return status;
}

// An answer with no value form: a failure's text, or a text to store.
LONG StoreTextForm(ScriptContext* ctx, LONG status, Value* r, const ExtenderArg* a) {
  if (status < 0) {
    if (a->text) {
      SetFailureText(ctx, static_cast<const char*>(a->text));
    } else {
      SetUndefinedFailureText(ctx);
    }
    return status;
  }
  if (!r) return kNotStored;
  bool ok = (a->flags & kFlagString)        ? StoreAnsi(ctx, r, static_cast<const char*>(a->text))
            : (a->flags & kAnswerWideAt24) ? StoreWide(ctx, r, WideAt24(a))
                                            : false;
  if (!ok) return kNotStored;
  ClearOwner(r);
  return status;
}

LONG StoreAnswer(ScriptContext* ctx, LONG status, Value* r, const ExtenderArg* a) {
  constexpr uint32_t kValueForms = kFlagVariant | kFlagArray | kFlagUnicode | kFlagFloat | kFlagInt;
  if ((a->flags & kFlagVariant) && (a->flags & kFlagComObj)) return kNotStored;
  if (a->flags & kValueForms) return StoreValueForm(ctx, status, r, a);
  return StoreTextForm(ctx, status, r, a);
}

}  // namespace

uint16_t ErrorOfAnswer(int32_t answer) {
  switch (answer) {
    case -1: return 1213;  // minor
    case -2: return 2214;  // moderate
    case -3: return 3215;  // severe
    case -4: return 3210;  // the result could not be stored
    case -5: return 9999;  // cancel
    case -6: return 9012;  // debugger stop
    case -7: return 1643;  // an array result could not be made
    default: return answer < -7 ? 3210 : 0;
  }
}

int32_t CallHost(ScriptContext* ctx, int code, Value* result, Value* args, int argc) {
  LONG hostCode;
  if (!HostCode(ctx, code, &hostCode)) return 0;
  if (argc < 0 || argc > kExtArgEntries || (argc > 0 && !args)) {
    err::Raise(ctx, 3070);
    return 0;
  }
  ExtenderArg entries[kExtArgEntries] = {};
  for (int n = 1; n <= argc; ++n)
    if (!BuildEntry(ctx, &args[n], &entries[n - 1])) return 0;
  return Invoke(ctx, hostCode, result, entries, argc);
}

int32_t CallHostTexts(ScriptContext* ctx, int code, Value* result, const char* const texts[5]) {
  LONG hostCode;
  if (!HostCode(ctx, code, &hostCode)) return 0;
  ExtenderArg entries[kExtArgEntries] = {};
  for (int i = 0; i < kTextArgs; ++i) {
    entries[i].flags = kFlagString;
    entries[i].text = const_cast<char*>(texts ? texts[i] : nullptr);
  }
  return Invoke(ctx, hostCode, result, entries, kTextArgs);
}

}  // namespace zel::ext

using namespace zel;

ZEL_API LONG WINAPI ViperAnswer(LONG status, LONG_PTR reserved, ExtenderServiceBlock* block,
                                const ExtenderArg* answer) {
  if (!block || !block->context || !answer) return ext::kNotStored;
  ScriptContext* ctx = block->context;
  uint16_t saved = ctx->error;  // storing never raises a script error: the status reports it
  LONG rc = ext::StoreAnswer(ctx, status, block->result, answer);
  ctx->error = saved;
  return rc;
}
