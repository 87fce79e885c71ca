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

// Reads the subscripts of "i, j, ..." into index; false when malformed.
bool ParseSubscripts(const char* text, int32_t* subs, int* count) {
  *count = 0;
  const char* p = text;
  for (;;) {
    while (*p == ' ' || *p == '\t') ++p;
    if (*p < '0' || *p > '9') return false;
    int64_t n = 0;
    while (*p >= '0' && *p <= '9') {
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

bool RenderCell(ScriptContext* ctx, const ValueCell* c, char* buf, size_t size) {
  if (!buf || !size) return false;
  buf[0] = 0;
  if ((c->flags & kFlagString) && !(c->flags & kFlagArray)) {
    const char* s = heap::At(ctx, static_cast<uint32_t>(c->str));
    CopyBounded(s ? s : "", buf, size);
    return true;
  }
  if (!(c->flags & (kFlagInt | kFlagFloat | kFlagUnicode | kFlagVariant))) return false;
  // Convert a shallow copy: only the text it gains is its own, and freed here.
  ValueCell tmp = *c;
  tmp.flags &= ~(kFlagString | kFlagArray);
  tmp.str = 0;
  uint16_t saved = ctx->error;
  bool ok = val::ToText(ctx, &tmp);
  ctx->error = saved;
  if (!ok) return false;
  const char* s = heap::At(ctx, static_cast<uint32_t>(tmp.str));
  CopyBounded(s ? s : "", buf, size);
  heap::Free(ctx, static_cast<uint32_t>(tmp.str));
  return true;
}

bool RenderElement(ScriptContext* ctx, const ValueCell* c, const char* subscript, char* buf,
                   size_t size) {
  if (!(c->flags & kFlagArray) || !c->str) return false;
  ArrayBlock* b = arr::BlockOf(c);
  int32_t subs[kMaxDims];
  int count;
  if (!ParseSubscripts(subscript, subs, &count) || count != b->dims) return false;
  uint32_t index = 0;
  for (int k = 0; k < count; ++k) {
    if (subs[k] >= b->sizes[k]) return false;
    index = index * static_cast<uint32_t>(b->sizes[k]) + static_cast<uint32_t>(subs[k]);
  }
  if (index >= b->count) return false;
  return RenderCell(ctx, &arr::Elements(b)[index].v, buf, size);
}

}  // namespace zel
