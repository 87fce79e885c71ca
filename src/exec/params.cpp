// Parameter lines (the words of a line as param1, param2... and their count
// in param0) and the two functions that take one: Call, which runs another
// script file, and ParseData.
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "builtins/dispatch.h"
#include "errors/errinfo.h"
#include "exec/udf.h"
#include "script/paths.h"
#include "script/textblock.h"
#include "values/convert.h"
#include "values/heap.h"
#include "values/variables.h"

namespace zel::exec {
namespace {

constexpr uint16_t kErrNoMemory = 1588;
constexpr uint16_t kErrCallTooDeep = 3211;
constexpr uint16_t kErrCallNotFound = 1400;

template <typename Ch>
bool IsBlank(Ch c) { return c == ' ' || c == '\t'; }
template <typename Ch>
bool IsQuote(Ch c) { return c == '"' || c == '\'' || c == '`'; }

size_t Length(const char* s) { return strlen(s); }
size_t Length(const wchar_t* s) { return wcslen(s); }

uint32_t Store(ScriptContext* ctx, const char* s, size_t n) { return heap::StoreText(ctx, s, n); }
uint32_t Store(ScriptContext* ctx, const wchar_t* s, size_t n) { return heap::StoreWide(ctx, s, n); }

void ParamName(int32_t n, char name[kVarNameSize + 1]) {
  snprintf(name, kVarNameSize + 1, "param%ld", static_cast<long>(n));
}

bool SetInteger(ScriptContext* ctx, const char* name, int32_t n) {
  ValueCell v;
  val::InitCell(&v, n);
  return vars::Define(ctx, name, &v) != vars::kNoSlot;
}

// Stores one word as param<n>: an ANSI or a UTF-16 string by its character type.
template <typename Ch>
bool StoreWord(ScriptContext* ctx, int32_t n, const Ch* word, size_t len) {
  constexpr bool kWide = sizeof(Ch) != 1;
  uint32_t off = Store(ctx, word, len);
  if (!off) return false;  // 3096 is set
  ValueCell v;
  val::InitCell(&v, 0);
  v.flags = kWide ? kFlagUnicode : kFlagString;
  if (kWide)
    v.wstr = off;
  else
    v.str = off;
  char name[kVarNameSize + 1];
  ParamName(n, name);
  bool ok = vars::Define(ctx, name, &v) != vars::kNoSlot;
  val::FreeValue(ctx, &v, val::kVarCell);
  return ok;
}

// Drops the parameters an earlier line left, as many as param0 counts (no
// more than a table can hold), and sets param0 to 0.
bool DropParams(ScriptContext* ctx) {
  uint16_t slot = vars::Lookup(ctx, "param0");
  int32_t old = 0;
  if (slot != vars::kNoSlot && (ctx->vars[slot].v.flags & kFlagInt)) old = ctx->vars[slot].v.ival;
  if (old > ctx->varCapacity) old = ctx->varCapacity;
  if (!SetInteger(ctx, "param0", 0)) return false;
  for (int32_t n = 1; n <= old; ++n) {
    char name[kVarNameSize + 1];
    ParamName(n, name);
    uint16_t s = vars::Lookup(ctx, name);
    if (s != vars::kNoSlot) vars::FreeSlot(ctx, s);
  }
  return true;
}

// Copies the word at *p into `out` (which has room for the rest of the line)
// without its quotes; *p moves past it. Returns its length.
template <typename Ch>
size_t TakeWord(const Ch** p, Ch* out) {
  const Ch* s = *p;
  size_t n = 0;
  while (*s && !IsBlank(*s)) {
    if (!IsQuote(*s)) {
      out[n++] = *s++;
      continue;
    }
    Ch quote = *s++;
    while (*s) {
      if (*s != quote) {
        out[n++] = *s++;
      } else if (s[1] == quote) {  // a doubled quote stands for one
        out[n++] = quote;
        s += 2;
      } else {
        ++s;
        break;
      }
    }
  }
  out[n] = 0;
  *p = s;
  return n;
}

template <typename Ch>
int32_t ParseLine(ScriptContext* ctx, const Ch* line) {
  if (!DropParams(ctx)) return -1;
  static const Ch kEmpty[1] = {0};
  const Ch* p = line ? line : kEmpty;
  while (IsBlank(*p)) ++p;
  if (!*p) return 0;
  script::TextBlock scratch;  // one word at a time, never longer than the line
  if (!scratch.Alloc((Length(p) + 1) * sizeof(Ch))) {
    err::Raise(ctx, kErrNoMemory);
    return -1;
  }
  auto* word = reinterpret_cast<Ch*>(scratch.data());
  int32_t count = 0;
  while (*p) {
    size_t len = TakeWord(&p, word);
    if (!StoreWord(ctx, ++count, word, len)) return -1;
    while (IsBlank(*p)) ++p;
  }
  return SetInteger(ctx, "param0", count) ? count : -1;
}

// The parameter line of an argument of type code 6: UTF-16 when the call is wide.
int32_t ParseArg(ScriptContext* ctx, const Value& arg, bool wide) {
  if (wide && (arg.flags & kFlagUnicode)) return ParseLine(ctx, heap::WideAt(ctx, arg.wstr));
  return ParseLine(ctx, calls::ArgText(ctx, arg));
}

// Call(file, parameters): runs another script file in the caller's variables
// with its parameters in param0, param1...; returns the script's Return value.
void Call(ScriptContext* ctx, Value* r, Value* args, int, bool wide, int) {
  if (ctx->callNesting >= kCallDepth) return err::Raise(ctx, kErrCallTooDeep);
  if (ParseArg(ctx, args[2], wide) < 0) return;
  if (!val::ToText(ctx, &args[1]) || !val::ToText(ctx, &args[2])) {
    if (!ctx->error) err::Raise(ctx, 3056);
    return;
  }
  char found[kMaxPathLen];
  if (!script::FindCallFile(calls::ArgText(ctx, args[1]), found)) return err::Raise(ctx, kErrCallNotFound);
  RunCalledScript(ctx, found, calls::ArgText(ctx, args[2]), r);
}

// ParseData(line): sets param0, param1... from the line; returns the count.
void ParseData(ScriptContext* ctx, Value* r, Value* args, int, bool wide, int) {
  int32_t n = ParseArg(ctx, args[1], wide);
  if (n >= 0) r->ival = n;
}

}  // namespace

int32_t SetParamLine(ScriptContext* ctx, const char* line) { return ParseLine(ctx, line); }
int32_t SetParamLine(ScriptContext* ctx, const wchar_t* line) { return ParseLine(ctx, line); }

void RegisterScriptCalls() {
  calls::Register("call", Call);
  calls::Register("parsedata", ParseData);
}

}  // namespace zel::exec
