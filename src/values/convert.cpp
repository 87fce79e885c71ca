// Value conversions between the representations of a cell: integer, float,
// ANSI text, UTF-16 text and VARIANT; and the cell's start, copy and release.
#include "values/convert.h"

#include <oleauto.h>

#include <cstring>
#include <cwchar>

#include "com/variant.h"
#include "values/array.h"
#include "values/codepage.h"
#include "values/heap.h"
#include "values/matherr.h"

namespace zel::val {
namespace {

// A float converts to an integer only within this range, checked before
// rounding: a little inside the 32-bit range.
constexpr double kFloatToIntLimit = 2147483645.0;

const char* TextOf(const ScriptContext* ctx, const ValueCell* c) {
  return heap::At(ctx, static_cast<uint32_t>(c->str));
}

bool Has(const ValueCell* c, uint32_t flag) { return (c->flags & flag) != 0; }

// A VARIANT that the bridge converts directly, without making it text first.
bool HasPlainVariant(const ValueCell* c) {
  return Has(c, kFlagVariant) && !com::VariantHoldsString(&c->variant);
}

// Gives the cell its ANSI text when a string VARIANT or a UTF-16 text is the
// only text it has; true when it has its ANSI text afterwards.
bool EnsureText(ScriptContext* ctx, ValueCell* c) {
  if (Has(c, kFlagString)) return true;
  if (!Has(c, kFlagVariant | kFlagUnicode)) return false;
  return ToText(ctx, c);
}

// The text of an integer (base 10) or a float (by the Decimals setting).
bool NumberText(ScriptContext* ctx, const ValueCell* c, char* buf, size_t size) {
  if (Has(c, kFlagInt)) return IntToText(c->ival, 10, buf, size) > 0;
  if (Has(c, kFlagFloat)) return FormatFloat(ctx, c->fval, buf, size);
  return false;
}

// Leading blanks, then sign characters (only before the first digit) and
// decimal digits, at least one digit, nothing else: no blank after the first
// non-blank.
bool IsCellIntegerText(const char* t) {
  while (*t == ' ') ++t;
  bool digit = false;
  for (; *t; ++t) {
    if (*t >= '0' && *t <= '9') {
      digit = true;
    } else if ((*t != '+' && *t != '-') || digit) {
      return false;
    }
  }
  return digit;
}

bool FloatToInteger(ScriptContext* ctx, ValueCell* c, bool floatAllowed) {
  if (!floatAllowed) return false;
  // An error left by the computation that made this float explains it best.
  if (matherr::TakeInto(ctx)) return false;
  double x = c->fval;
  if (!(x >= -kFloatToIntLimit && x <= kFloatToIntLimit)) return false;  // a NaN fails too
  // The texts showed the float, not the integer: they go with it.
  heap::Free(ctx, Has(c, kFlagString) ? static_cast<uint32_t>(c->str) : 0);
  heap::Free(ctx, Has(c, kFlagUnicode) ? c->wstr : 0);
  c->str = 0;
  c->wstr = 0;
  c->ival = static_cast<int32_t>(RoundHalfAway(x));
  c->flags = (c->flags & ~(kFlagFloat | kFlagString | kFlagUnicode)) | kFlagInt;
  return true;
}

bool VariantToInteger(ValueCell* c, bool floatAllowed) {
  if (!floatAllowed && com::VariantIsFloatKind(&c->variant)) return false;
  int32_t i;
  if (!com::VariantToInt(&c->variant, &i)) return false;
  c->ival = i;
  c->flags |= kFlagInt;
  return true;
}

}  // namespace

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

bool CopyValue(ScriptContext* ctx, const ValueCell* src, ValueCell* dst, bool dupStrings,
               bool addRef) {
  uint32_t newStr = 0, newWide = 0;  // fresh blocks made here, freed again on failure
  if (dupStrings && Has(src, kFlagString)) {
    const char* t = TextOf(ctx, src);
    if (!(newStr = heap::StoreText(ctx, t, strlen(t)))) return false;
  }
  if (dupStrings && Has(src, kFlagUnicode)) {
    const wchar_t* w = heap::WideAt(ctx, src->wstr);
    if (!(newWide = heap::StoreWide(ctx, w, wcslen(w)))) {
      heap::Free(ctx, newStr);
      return false;
    }
  }
  VARIANT variant = src->variant;
  if (addRef && Has(src, kFlagVariant) && !com::VariantCopyTo(&variant, &src->variant)) {
    heap::Free(ctx, newStr);
    heap::Free(ctx, newWide);
    return false;
  }
  if (addRef && Has(src, kFlagArray)) arr::AddRef(arr::BlockOf(src));
  dst->variant = variant;
  dst->fval = src->fval;
  dst->ival = src->ival;
  dst->flags = src->flags;
  dst->str = newStr ? newStr : src->str;
  dst->wstr = newWide ? newWide : src->wstr;
  return true;
}

bool ToInteger(ScriptContext* ctx, ValueCell* c, bool floatAllowed) {
  if (Has(c, kFlagInt)) return true;
  if (Has(c, kFlagFloat)) return FloatToInteger(ctx, c, floatAllowed);
  if (HasPlainVariant(c)) return VariantToInteger(c, floatAllowed);
  if (!EnsureText(ctx, c) || !IsCellIntegerText(TextOf(ctx, c))) return false;
  c->ival = TextToInt(TextOf(ctx, c));
  c->flags |= kFlagInt;
  return true;
}

bool ToText(ScriptContext* ctx, ValueCell* c) {
  if (Has(c, kFlagString)) return true;
  uint32_t off = 0;
  if (Has(c, kFlagVariant)) {
    off = com::VariantToText(ctx, &c->variant);
  } else if (Has(c, kFlagUnicode)) {
    const wchar_t* w = heap::WideAt(ctx, c->wstr);
    off = cp::StoreNarrowed(ctx, w, wcslen(w));
  } else {
    char num[kNumberTextSize];
    if (!NumberText(ctx, c, num, sizeof num)) return false;
    off = heap::StoreText(ctx, num, strlen(num));
  }
  if (!off) return false;
  c->str = off;
  c->flags |= kFlagString;
  return true;
}

bool ToUnicode(ScriptContext* ctx, ValueCell* c) {
  if (Has(c, kFlagUnicode)) return true;
  uint32_t off = 0;
  if (Has(c, kFlagVariant)) {
    off = com::VariantToWide(ctx, &c->variant);
  } else if (Has(c, kFlagString)) {
    const char* t = TextOf(ctx, c);
    off = cp::StoreWidened(ctx, t, strlen(t));
  } else {
    char num[kNumberTextSize];
    if (!NumberText(ctx, c, num, sizeof num)) return false;
    off = cp::StoreWidened(ctx, num, strlen(num));
  }
  if (!off) return false;
  c->wstr = off;
  c->flags |= kFlagUnicode;
  return true;
}

bool ToFloat(ScriptContext* ctx, ValueCell* c) {
  if (Has(c, kFlagFloat)) return true;
  double x;
  if (HasPlainVariant(c)) {
    if (!com::VariantToDouble(&c->variant, &x)) return false;
  } else if (!Has(c, kFlagVariant) && Has(c, kFlagInt)) {
    x = c->ival;
  } else {
    if (!EnsureText(ctx, c)) return false;
    uint16_t before = ctx->error;  // the caller chooses the number, even for an overflow
    if (!ParseFloat(ctx, TextOf(ctx, c), &x)) {
      ctx->error = before;
      return false;
    }
  }
  c->fval = x;
  c->flags |= kFlagFloat;
  return true;
}

}  // namespace zel::val
