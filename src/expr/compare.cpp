// Comparison (chooses integer, float, digit-string or text comparison from
// the pair of operands, then applies the comparison operator).
#include <cmath>
#include <cstring>

#include "builtins/functable.h"
#include "errors/errinfo.h"
#include "expr/eval.h"
#include "host/process.h"
#include "values/convert.h"
#include "values/heap.h"
#include "values/matherr.h"

namespace zel::expr {
namespace {

constexpr size_t kLongText = 9;  // texts longer than this may not fit an integer

enum Class { kClsInt, kClsFloat, kClsString, kClsUnicode, kClsOther };
enum Mode { kModeInt, kModeFloat, kModeDigits, kModeAnsi, kModeWide };

Class ClassOf(const Value* v) {
  if (v->flags & kFlagInt) return kClsInt;
  if (v->flags & kFlagFloat) return kClsFloat;
  if (v->flags & kFlagString) return kClsString;
  if (v->flags & kFlagUnicode) return kClsUnicode;
  return kClsOther;
}

bool IsLong(ScriptContext* ctx, const Value* v) {
  if (v->flags & kFlagString) return strlen(heap::At(ctx, static_cast<uint32_t>(v->str))) > kLongText;
  if (v->flags & kFlagUnicode) return wcslen(heap::WideAt(ctx, v->wstr)) > kLongText;
  return false;
}

// Trial conversions while choosing a mode leave no error behind.
bool TryInteger(ScriptContext* ctx, Value* v) {
  uint16_t saved = ctx->error;
  bool ok = val::ToInteger(ctx, v, false);
  ctx->error = saved;
  return ok;
}
bool TryFloat(ScriptContext* ctx, Value* v) {
  uint16_t saved = ctx->error;
  bool ok = val::ToFloat(ctx, v);
  ctx->error = saved;
  return ok;
}

// A number against a text: integer (or digits when the text is long), else
// float, else the texts.
Mode NumberAgainstText(ScriptContext* ctx, Class number, Value* text, Mode textMode) {
  if (number == kClsInt && TryInteger(ctx, text)) return IsLong(ctx, text) ? kModeDigits : kModeInt;
  if (TryFloat(ctx, text)) return kModeFloat;
  return textMode;
}

Mode TextAgainstText(ScriptContext* ctx, Value* l, Value* r, Mode textMode) {
  bool li = TryInteger(ctx, l);
  if (li && TryInteger(ctx, r)) return (IsLong(ctx, l) || IsLong(ctx, r)) ? kModeDigits : kModeInt;
  if (li) return TryFloat(ctx, r) ? kModeFloat : textMode;
  return (TryFloat(ctx, l) && TryFloat(ctx, r)) ? kModeFloat : textMode;
}

Mode ChooseMode(ScriptContext* ctx, Value* l, Value* r) {
  Class lc = ClassOf(l), rc = ClassOf(r);
  bool lNum = lc == kClsInt || lc == kClsFloat, rNum = rc == kClsInt || rc == kClsFloat;
  if (lNum && rNum) return (lc == kClsInt && rc == kClsInt) ? kModeInt : kModeFloat;
  if (lNum) return NumberAgainstText(ctx, lc, r, rc == kClsUnicode ? kModeWide : kModeAnsi);
  if (rNum) return NumberAgainstText(ctx, rc, l, lc == kClsUnicode ? kModeWide : kModeAnsi);
  bool wide = lc == kClsUnicode || rc == kClsUnicode;
  return TextAgainstText(ctx, l, r, wide ? kModeWide : kModeAnsi);
}

int Sign(double d) { return d < 0 ? -1 : d > 0 ? 1 : 0; }

// Decimal integer texts of any length: sign, then magnitude by length and digits.
int CompareDigits(ScriptContext* ctx, const char* a, const char* b) {
  struct Num {
    bool neg;
    const char* digits;
    size_t len;
    bool bad;
  };
  auto parse = [](const char* s) {
    Num n{false, nullptr, 0, false};
    while (*s == ' ') ++s;
    if (*s == '+' || *s == '-') n.neg = *s++ == '-';
    while (*s == '0' && s[1] >= '0' && s[1] <= '9') ++s;
    n.digits = s;
    while (*s >= '0' && *s <= '9') ++s;
    n.len = static_cast<size_t>(s - n.digits);
    n.bad = *s != 0;
    return n;
  };
  Num x = parse(a), y = parse(b);
  if (x.bad || y.bad) {
    MessageBoxA(nullptr, "Trailing spaces in numeric string", "ZEL Internal Error",
                MB_OK | MB_TASKMODAL);
    return 0;
  }
  bool xZero = x.len == 1 && x.digits[0] == '0', yZero = y.len == 1 && y.digits[0] == '0';
  if (xZero && yZero) return 0;
  if (xZero) x.neg = false;
  if (yZero) y.neg = false;
  if (x.neg != y.neg) return x.neg ? -1 : 1;
  int mag = x.len != y.len ? (x.len < y.len ? -1 : 1) : strncmp(x.digits, y.digits, x.len);
  mag = mag < 0 ? -1 : mag > 0 ? 1 : 0;
  return x.neg ? -mag : mag;
}

int CompareWide(ScriptContext* ctx, Value* l, Value* r) {
  if (!val::ToUnicode(ctx, l) || !val::ToUnicode(ctx, r)) return 0;
  const wchar_t* a = heap::WideAt(ctx, l->wstr);
  const wchar_t* b = heap::WideAt(ctx, r->wstr);
  if (UnicodeSwitch()) return lstrcmpW(a, b);
  Value la = *l, lb = *r;  // shallow copies that gain only their ANSI text
  la.flags = kFlagUnicode;
  lb.flags = kFlagUnicode;
  la.str = lb.str = 0;
  int result;
  if (val::ToText(ctx, &la) && val::ToText(ctx, &lb)) {
    result = lstrcmpA(heap::At(ctx, static_cast<uint32_t>(la.str)),
                      heap::At(ctx, static_cast<uint32_t>(lb.str)));
  } else {
    result = wcscmp(a, b);  // an exact comparison of code units
  }
  heap::Free(ctx, static_cast<uint32_t>(la.str));
  heap::Free(ctx, static_cast<uint32_t>(lb.str));
  return result;
}

// -1, 0 or 1 for left against right in the chosen mode; `equalityOnly`
// selects the float comparison by printed text.
bool CompareIn(ScriptContext* ctx, Mode mode, bool equalityOnly, Value* l, Value* r, int* out) {
  switch (mode) {
    case kModeInt:
      if (!(l->flags & kFlagInt) && !TryInteger(ctx, l)) return false;
      if (!(r->flags & kFlagInt) && !TryInteger(ctx, r)) return false;
      *out = l->ival < r->ival ? -1 : l->ival > r->ival ? 1 : 0;
      return true;
    case kModeFloat: {
      if (!(l->flags & kFlagFloat) && !val::ToFloat(ctx, l)) return false;
      if (!(r->flags & kFlagFloat) && !val::ToFloat(ctx, r)) return false;
      if (!equalityOnly) {
        *out = Sign(l->fval - r->fval);
        return true;
      }
      // Floats are equal when they print alike at the present Decimals setting.
      char a[64], b[64];
      if (!val::FormatFloat(ctx, l->fval, a, sizeof a) || !val::FormatFloat(ctx, r->fval, b, sizeof b))
        return false;
      *out = strcmp(a, b) == 0 ? 0 : 1;
      return true;
    }
    case kModeDigits:
    case kModeAnsi:
      if (!val::ToText(ctx, l) || !val::ToText(ctx, r)) return false;
      *out = mode == kModeDigits
                 ? CompareDigits(ctx, heap::At(ctx, static_cast<uint32_t>(l->str)),
                                 heap::At(ctx, static_cast<uint32_t>(r->str)))
                 : lstrcmpA(heap::At(ctx, static_cast<uint32_t>(l->str)),
                            heap::At(ctx, static_cast<uint32_t>(r->str)));
      return true;
    case kModeWide:
      if (!val::ToUnicode(ctx, l) || !val::ToUnicode(ctx, r)) return false;
      *out = CompareWide(ctx, l, r);
      return true;
  }
  return false;
}

}  // namespace

bool ApplyComparison(ScriptContext* ctx, int op, Value* left, Value* right) {
  matherr::Clear();
  if (ClassOf(left) == kClsOther || ClassOf(right) == kClsOther) {
    // A COM value is reduced to a plain value first.
    if ((left->flags & kFlagVariant) && !TryInteger(ctx, left) && !TryFloat(ctx, left))
      val::ToText(ctx, left);
    if ((right->flags & kFlagVariant) && !TryInteger(ctx, right) && !TryFloat(ctx, right))
      val::ToText(ctx, right);
    if (ClassOf(left) == kClsOther || ClassOf(right) == kClsOther) {
      err::Raise(ctx, 3057);
      return false;
    }
  }
  bool equality = op == kIdEqual || op == kIdNotEqual || op == kIdLessGreater;
  Mode mode = ChooseMode(ctx, left, right);
  int c = 0;
  if (!CompareIn(ctx, mode, equality, left, right, &c)) {
    if (!ctx->error) err::Raise(ctx, 3057);
    return false;
  }
  bool r;
  switch (op) {
    case kIdEqual: r = c == 0; break;
    case kIdNotEqual:
    case kIdLessGreater: r = c != 0; break;
    case kIdLess: r = c < 0; break;
    case kIdLessEqual: r = c <= 0; break;
    case kIdGreater: r = c > 0; break;
    case kIdGreaterEqual: r = c >= 0; break;
    default: err::Raise(ctx, 3063); return false;
  }
  ResetValue(ctx, left, r ? 1 : 0);
  return !matherr::TakeInto(ctx);
}

}  // namespace zel::expr
