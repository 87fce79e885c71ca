// Value conversions (between the representations of a cell, and between
// numbers and their texts).
#include "values/convert.h"

namespace zel::val {

int32_t TextToInt(const char* text) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  while (*p == ' ') ++p;
  bool neg = false;
  if (*p == '-' || *p == '+') neg = *p++ == '-';
  uint32_t n = 0;  // wraps in 32 bits: no overflow check
  while (*p >= '0' && *p <= '9') n = n * 10 + (*p++ - '0');
  return static_cast<int32_t>(neg ? 0u - n : n);
}

}  // namespace zel::val

#include <oleauto.h>

#include "values/array.h"
#include "values/heap.h"

namespace zel::val {

void InitCell(ValueCell* c, int32_t i) {
  *c = ValueCell{};
  c->ival = i;
  c->flags = kFlagInt;
}

void InitValue(Value* v, int32_t i) {
  InitCell(v, i);
  v->reserved = 0;
  v->owner_cell = 0;
  v->owner_var = kOwnerNone;
  v->owner_frame = kOwnerNone;
}

void FreeValue(ScriptContext* ctx, ValueCell* c, CellKind kind, bool keepArray) {
  if (c->flags & kFlagArray) {
    if (keepArray) {
      c->str = 0;
      c->flags &= ~kFlagArray;
    } else {
      arr::Release(ctx, c, false);
    }
  }
  if (c->flags & kFlagString) {
    heap::Free(ctx, static_cast<uint32_t>(c->str));
    c->str = 0;
    c->flags &= ~kFlagString;
  }
  if (c->flags & kFlagUnicode) {
    heap::Free(ctx, c->wstr);
    c->wstr = 0;
    c->flags &= ~kFlagUnicode;
  }
  if (c->flags & kFlagVariant) {
    bool ownedElsewhere =
        kind == kEvalValue && static_cast<Value*>(c)->owner_var < kOwnerElement;
    if (!ownedElsewhere) {
      VariantClear(&c->variant);
      c->flags &= ~(kFlagVariant | kFlagComObj | kFlagComTemp);
    }
  }
}

}  // namespace zel::val
