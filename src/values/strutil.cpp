// Bounded string helpers, ANSI and UTF-16 sharing one body per operation.
#include "values/strutil.h"

#include "errors/errinfo.h"

namespace zel::str {
namespace {

// Length of a character that starts at p: 2 for a lead byte followed by its
// trail byte, else 1. UTF-16 code units are taken one at a time.
size_t CharLen(UINT codePage, const char* p) {
  return p[1] && IsDBCSLeadByteEx(codePage, static_cast<BYTE>(p[0])) ? 2 : 1;
}
size_t CharLen(UINT, const wchar_t*) { return 1; }

UINT CodePageOf(const ScriptContext* ctx) { return ctx ? ctx->codePage : CP_ACP; }

bool Present(ScriptContext* ctx, const void* dst, const void* src) {
  if (dst && src) return true;
  if (ctx) err::Raise(ctx, 3098);
  return false;
}

// Copies whole characters while they fit in n - 1 and terminates. Walks from
// the start of src, so a trail byte is never taken for a lead byte.
template <typename Ch>
size_t CopyBody(UINT codePage, Ch* dst, const Ch* src, size_t n) {
  if (n == 0) return 0;
  size_t len = 0;
  while (src[len]) {
    size_t step = CharLen(codePage, src + len);
    if (len + step > n - 1) break;  // the terminator needs the last place
    for (size_t i = 0; i < step; ++i) dst[len + i] = src[len + i];
    len += step;
  }
  dst[len] = 0;
  return len;
}

template <typename Ch>
size_t CopyT(ScriptContext* ctx, Ch* dst, const Ch* src, size_t n) {
  if (!Present(ctx, dst, src)) return 0;
  return CopyBody(CodePageOf(ctx), dst, src, n);
}

template <typename Ch>
size_t AppendT(ScriptContext* ctx, Ch* dst, const Ch* src, size_t n) {
  if (!Present(ctx, dst, src)) return 0;
  size_t have = 0;
  while (have < n && dst[have]) ++have;
  if (have == n) return n;  // not terminated within its room: no place to append
  return have + CopyBody(CodePageOf(ctx), dst + have, src, n - have);
}

}  // namespace

size_t Copy(ScriptContext* ctx, char* dst, const char* src, size_t n) {
  return CopyT(ctx, dst, src, n);
}
size_t Copy(ScriptContext* ctx, wchar_t* dst, const wchar_t* src, size_t n) {
  return CopyT(ctx, dst, src, n);
}
size_t Append(ScriptContext* ctx, char* dst, const char* src, size_t n) {
  return AppendT(ctx, dst, src, n);
}
size_t Append(ScriptContext* ctx, wchar_t* dst, const wchar_t* src, size_t n) {
  return AppendT(ctx, dst, src, n);
}

}  // namespace zel::str
