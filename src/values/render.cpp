// Rendering of stored values as text.
#include "values/render.h"

#include <cstdio>
#include <cstring>

#include "values/array.h"
#include "values/convert.h"
#include "values/heap.h"

namespace zel {
namespace {

void CopyBounded(const char* text, char* buf, size_t size) {
  size_t n = strlen(text);
  if (n >= size) n = size - 1;
  memcpy(buf, text, n);
  buf[n] = 0;
}

constexpr int kSubscriptDigits = 20;  // characters of one subscript of a subscript text

// Reads the subscripts of "i, j, ..." into subs; false when malformed.
bool ParseSubscripts(const char* text, int32_t* subs, int* count) {
  *count = 0;
  const char* p = text;
  for (;;) {
    while (*p == ' ' || *p == '\t') ++p;
    if (*p < '0' || *p > '9') return false;
    int64_t n = 0;
    for (int digits = 0; *p >= '0' && *p <= '9'; ++digits) {
      if (digits == kSubscriptDigits) return false;
      n = n * 10 + (*p++ - '0');
      if (n > INT32_MAX) return false;
    }
    if (*count == kMaxDims) return false;
    subs[(*count)++] = static_cast<int32_t>(n);
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == 0) return true;
    if (*p++ != ',') return false;
  }
}

}  // namespace

bool CellText(ScriptContext* ctx, const ValueCell* c, const char** text, uint32_t* made) {
  *made = 0;
  if ((c->flags & kFlagString) && !(c->flags & kFlagArray)) {
    const char* s = heap::At(ctx, static_cast<uint32_t>(c->str));
    *text = s ? s : "";
    return true;
  }
  if (!(c->flags & (kFlagInt | kFlagFloat | kFlagUnicode | kFlagVariant))) return false;
  // Convert a shallow copy: only the text it gains is its own.
  ValueCell tmp = *c;
  tmp.flags &= ~(kFlagString | kFlagArray);
  tmp.str = 0;
  if (!val::ToText(ctx, &tmp)) return false;
  *made = static_cast<uint32_t>(tmp.str);
  const char* s = heap::At(ctx, *made);
  *text = s ? s : "";
  return true;
}

bool RenderCell(ScriptContext* ctx, const ValueCell* c, char* buf, size_t size) {
  if (!buf || !size) return false;
  buf[0] = 0;
  const char* text;
  uint32_t made;
  uint16_t saved = ctx->error;
  bool ok = CellText(ctx, c, &text, &made);
  ctx->error = saved;
  if (!ok) return false;
  CopyBounded(text, buf, size);
  heap::Free(ctx, made);
  return true;
}

bool RenderElement(ScriptContext* ctx, const ValueCell* c, const char* subscript, char* buf,
                   size_t size) {
  if (!(c->flags & kFlagArray) || !c->str) return false;
  int32_t subs[kMaxDims];
  int count;
  if (!ParseSubscripts(subscript, subs, &count)) return false;
  ElementCell* e = arr::ElementAt(arr::BlockOf(c), subs, count);
  if (!e) return false;
  if (e->v.flags == kFlagUndefined) {  // never assigned: an empty text
    if (size) buf[0] = 0;
    return size != 0;
  }
  return RenderCell(ctx, &e->v, buf, size);
}

}  // namespace zel
