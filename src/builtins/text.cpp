// Text helpers of the string, item and character functions.
#include "builtins/text.h"

#include <cstring>
#include <cwchar>

#include "builtins/dispatch.h"
#include "errors/errinfo.h"
#include "values/heap.h"

namespace zel::txt {

template <>
Text<char> Arg<char>(const ScriptContext* ctx, const Value& v) {
  const char* p = calls::ArgText(ctx, v);
  return Text<char>{p, strlen(p)};
}

template <>
Text<wchar_t> Arg<wchar_t>(const ScriptContext* ctx, const Value& v) {
  const wchar_t* p = (v.flags & kFlagUnicode) ? heap::WideAt(ctx, v.wstr) : nullptr;
  if (!p) return Text<wchar_t>{L"", 0};
  return Text<wchar_t>{p, wcslen(p)};
}

void ReadCodePageLeads(const ScriptContext* ctx, LeadBytes* lb) {
  memset(lb, 0, sizeof *lb);
  CPINFO info;
  if (!GetCPInfo(ctx->codePage, &info) || info.MaxCharSize < 2) return;
  for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i]; i += 2) {
    for (unsigned b = info.LeadByte[i]; b <= info.LeadByte[i + 1] && b < 256; ++b) {
      lb->lead[b] = true;
      lb->any = true;
    }
  }
}

// Heap texts are addressed by 32-bit offsets, so every length fits the
// mappings' 32-bit count.
void Upper(char* p, size_t n) { CharUpperBuffA(p, static_cast<DWORD>(n)); }
void Upper(wchar_t* p, size_t n) { CharUpperBuffW(p, static_cast<DWORD>(n)); }
void Lower(char* p, size_t n) { CharLowerBuffA(p, static_cast<DWORD>(n)); }
void Lower(wchar_t* p, size_t n) { CharLowerBuffW(p, static_cast<DWORD>(n)); }

WorkMemory::~WorkMemory() {
  if (!h_) return;
  GlobalUnlock(h_);
  GlobalFree(h_);
}

bool WorkMemory::Get(ScriptContext* ctx, size_t bytes) {
  if (h_) {  // a second request replaces the first
    GlobalUnlock(h_);
    GlobalFree(h_);
    h_ = nullptr;
    p_ = nullptr;
  }
  h_ = GlobalAlloc(GMEM_MOVEABLE, bytes ? bytes : 1);
  p_ = h_ ? GlobalLock(h_) : nullptr;
  if (p_) return true;
  if (h_) GlobalFree(h_);
  h_ = nullptr;
  err::Raise(ctx, 1588);
  return false;
}

template <>
char* NewResult<char>(ScriptContext* ctx, Value* r, size_t len) {
  uint32_t off = len < kMaxResultUnits ? heap::Alloc(ctx, static_cast<uint32_t>(len + 1)) : 0;
  if (!off) {
    err::Raise(ctx, 3096);
    return nullptr;
  }
  char* p = heap::At(ctx, off);
  p[len] = 0;
  r->str = off;
  r->flags = kFlagString;
  return p;
}

template <>
wchar_t* NewResult<wchar_t>(ScriptContext* ctx, Value* r, size_t len) {
  uint32_t off = len < kMaxResultUnits
                     ? heap::Alloc(ctx, static_cast<uint32_t>((len + 1) * sizeof(wchar_t)))
                     : 0;
  if (!off) {
    err::Raise(ctx, 3096);
    return nullptr;
  }
  wchar_t* p = heap::WideAt(ctx, off);
  p[len] = 0;
  r->wstr = off;
  r->flags = kFlagUnicode;
  return p;
}

template <typename Ch>
bool SetResult(ScriptContext* ctx, Value* r, const Ch* p, size_t len) {
  Ch* out = NewResult<Ch>(ctx, r, len);
  if (!out) return false;
  if (len) memcpy(out, p, len * sizeof(Ch));
  return true;
}
template bool SetResult<char>(ScriptContext*, Value*, const char*, size_t);
template bool SetResult<wchar_t>(ScriptContext*, Value*, const wchar_t*, size_t);

template <typename Ch>
bool ItemDelimiter(ScriptContext* ctx, const LeadBytes& lb, Text<Ch> given, Text<Ch>* out) {
  static const Ch kTab[] = {'\t', 0};
  if (given.len == 0) {
    *out = Text<Ch>{kTab, 1};
    return true;
  }
  if (Step(lb, given.p, given.p + given.len) != given.len) {
    err::Raise(ctx, 1705);
    return false;
  }
  *out = given;
  return true;
}
template bool ItemDelimiter<char>(ScriptContext*, const LeadBytes&, Text<char>, Text<char>*);
template bool ItemDelimiter<wchar_t>(ScriptContext*, const LeadBytes&, Text<wchar_t>, Text<wchar_t>*);

}  // namespace zel::txt
