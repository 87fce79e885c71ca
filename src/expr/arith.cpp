// Arithmetic (unary and binary operators over integers and floats, and
// string concatenation).
#include <cmath>
#include <cstring>

#include "builtins/functable.h"
#include "errors/errinfo.h"
#include "expr/eval.h"
#include "values/convert.h"
#include "values/heap.h"
#include "values/matherr.h"
#include "values/pointers.h"

namespace zel::expr {
namespace {

constexpr double kFloatTooLarge = 1e300;
constexpr double kFloatTiny = 1e-300;

enum NumKind { kNotNumber, kIsInt, kIsFloat };

// Gives the operand a numeric representation: an integer stays, a float
// stays, a COM value tries an integer (without floats) then a float, a text
// tries an integer then a float.
NumKind MakeNumeric(ScriptContext* ctx, Value* v) {
  if (v->flags & kFlagInt) return kIsInt;
  if (v->flags & kFlagFloat) return kIsFloat;
  uint16_t saved = ctx->error;
  NumKind kind = kNotNumber;
  if (v->flags & kFlagVariant) {
    if (val::ToInteger(ctx, v, false)) kind = kIsInt;
    else if (val::ToFloat(ctx, v)) kind = kIsFloat;
  } else if (v->flags & (kFlagString | kFlagUnicode)) {
    if (val::ToInteger(ctx, v, true)) kind = kIsInt;
    else if (val::ToFloat(ctx, v)) kind = kIsFloat;
  }
  if (ctx->error == 3096) return kNotNumber;
  ctx->error = saved;
  return kind;
}

void SetFloat(ScriptContext* ctx, Value* v, double d) {
  ResetValue(ctx, v, 0);
  v->flags = kFlagFloat;
  v->fval = d;
}

bool FloatResult(ScriptContext* ctx, Value* v, double d) {
  if (std::fabs(d) >= kFloatTooLarge) {
    err::Raise(ctx, 1342);
    return false;
  }
  if (std::fabs(d) < kFloatTiny) d = 0.0;
  SetFloat(ctx, v, d);
  return true;
}

// Integer power by squaring: the same wrapped product as repeated
// multiplication, without a loop as long as the exponent.
uint32_t IntPower(uint32_t base, uint32_t exp) {
  uint32_t r = 1;
  while (exp) {
    if (exp & 1) r *= base;
    base *= base;
    exp >>= 1;
  }
  return r;
}

bool IntBinary(ScriptContext* ctx, int op, int32_t a, int32_t b, int32_t* out) {
  uint32_t ua = static_cast<uint32_t>(a), ub = static_cast<uint32_t>(b);
  switch (op) {
    case kIdPlus: *out = static_cast<int32_t>(ua + ub); return true;
    case kIdMinus: *out = static_cast<int32_t>(ua - ub); return true;
    case kIdStar: *out = static_cast<int32_t>(ua * ub); return true;
    case kIdSlash:
    case kIdMod:
      if (b == 0) {
        err::Raise(ctx, 3062);
        return false;
      }
      if (a == INT32_MIN && b == -1) {  // the one quotient that does not fit
        *out = op == kIdSlash ? INT32_MIN : 0;
        return true;
      }
      *out = op == kIdSlash ? a / b : a % b;
      return true;
    case kIdPower:
      if (b < 0) {
        err::Raise(ctx, 1351);
        return false;
      }
      *out = static_cast<int32_t>(IntPower(ua, ub));
      return true;
    case kIdShiftLeft: *out = static_cast<int32_t>(ua << (ub & 31)); return true;
    case kIdShiftRight: {
      int n = static_cast<int>(ub & 31);  // arithmetic: the sign fills
      *out = a < 0 ? static_cast<int32_t>(~(~ua >> n)) : static_cast<int32_t>(ua >> n);
      return true;
    }
    case kIdAmpersand: *out = static_cast<int32_t>(ua & ub); return true;
    case kIdBitOr: *out = static_cast<int32_t>(ua | ub); return true;
    case kIdXor: *out = static_cast<int32_t>(ua ^ ub); return true;
    case kIdLogicalAnd: *out = (a != 0 && b != 0) ? 1 : 0; return true;
    case kIdLogicalOr: *out = (a != 0 || b != 0) ? 1 : 0; return true;
    default: err::Raise(ctx, 3063); return false;
  }
}

bool FloatBinary(ScriptContext* ctx, int op, double a, double b, Value* left) {
  double r;
  switch (op) {
    case kIdPlus: r = a + b; break;
    case kIdMinus: r = a - b; break;
    case kIdStar: r = a * b; break;
    case kIdSlash:
      if (b == 0.0) {
        err::Raise(ctx, 3062);
        return false;
      }
      r = a / b;
      break;
    case kIdPower: r = std::pow(a, b); break;
    case kIdMod:
      if (b == 0.0) {
        err::Raise(ctx, 3062);
        return false;
      }
      r = a - b * std::trunc(a / b);
      break;
    case kIdLogicalAnd:
    case kIdLogicalOr: {
      bool t = op == kIdLogicalAnd ? (a != 0.0 && b != 0.0) : (a != 0.0 || b != 0.0);
      ResetValue(ctx, left, t ? 1 : 0);
      return true;
    }
    default: err::Raise(ctx, 3063); return false;
  }
  if (std::isnan(r)) {  // no finite operand gives NaN except through a domain error
    if (!matherr::TakeInto(ctx)) err::Raise(ctx, 1341);
    return false;
  }
  return FloatResult(ctx, left, r);
}

bool ToFloatOperand(ScriptContext* ctx, Value* v, double* out) {
  if ((v->flags & kFlagFloat) || val::ToFloat(ctx, v)) {
    *out = v->fval;
    return true;
  }
  err::Raise(ctx, 3057);
  return false;
}

}  // namespace

bool ApplyUnary(ScriptContext* ctx, int op, Value* v) {
  if (op == kIdAmpersand) {
    // Address-of: the operand must have been read from a variable.
    if (v->owner_var >= kOwnerElement) {
      err::Raise(ctx, 3818);
      return false;
    }
    char text[kPointerMaxLen + 1];
    const char* name = ctx->vars ? ctx->vars[v->owner_var].name : "";
    if (!ptr::Format(ctx, ctx->frameNumber, name, text, sizeof text)) {
      err::Raise(ctx, 3818);
      return false;
    }
    ResetValue(ctx, v, 0);
    v->str = heap::StoreText(ctx, text, strlen(text));
    if (!v->str) return false;
    v->flags = kFlagString;
    return true;
  }
  if (op == kIdStar && (v->flags & (kFlagString | kFlagUnicode)) && !(v->flags & kFlagInt)) {
    // Dereference: read the variable the pointer text names.
    if (!(v->flags & kFlagString) && !val::ToText(ctx, v)) {
      err::Raise(ctx, 3064);
      return false;
    }
    char text[kPointerMaxLen + 2];
    const char* s = heap::At(ctx, static_cast<uint32_t>(v->str));
    size_t n = strlen(s);
    if (n >= sizeof text) n = sizeof text - 1;  // still too long to be a pointer: rejected
    memcpy(text, s, n);
    text[n] = 0;
    Value target;
    val::InitValue(&target, 0);
    if (!ptr::Read(ctx, text, &target)) {
      ResetValue(ctx, &target, 0);
      return false;
    }
    ResetValue(ctx, v, 0);
    *v = target;
    return true;
  }
  matherr::Clear();
  NumKind kind = MakeNumeric(ctx, v);
  if (kind == kNotNumber) {
    if (!ctx->error) err::Raise(ctx, op == kIdStar ? 3064 : 3057);
    return false;
  }
  if (kind == kIsInt) {
    uint32_t u = static_cast<uint32_t>(v->ival);
    int32_t r;
    switch (op) {
      case kIdPlus: r = v->ival; break;
      case kIdMinus: r = static_cast<int32_t>(0u - u); break;
      case kIdBitNot: r = static_cast<int32_t>(~u); break;
      case kIdNot: r = v->ival == 0 ? 1 : 0; break;
      default: err::Raise(ctx, 3064); return false;
    }
    ResetValue(ctx, v, r);
  } else {
    double d = v->fval;
    switch (op) {
      case kIdPlus: SetFloat(ctx, v, d); break;
      case kIdMinus: SetFloat(ctx, v, -d); break;
      case kIdNot: ResetValue(ctx, v, d == 0.0 ? 1 : 0); break;
      default: err::Raise(ctx, 3064); return false;
    }
  }
  return !matherr::TakeInto(ctx);
}

bool ApplyBinary(ScriptContext* ctx, int op, Value* left, Value* right) {
  if (op == kIdConcat) return Concatenate(ctx, left, right);
  NumKind lk = MakeNumeric(ctx, left);
  NumKind rk = lk == kNotNumber ? kNotNumber : MakeNumeric(ctx, right);
  if (lk == kNotNumber || rk == kNotNumber) {
    if (!ctx->error) err::Raise(ctx, 3057);
    return false;
  }
  if (lk == kIsInt && rk == kIsInt) {
    int32_t r;
    if (!IntBinary(ctx, op, left->ival, right->ival, &r)) return false;
    ResetValue(ctx, left, r);
    return true;
  }
  double a, b;
  if (!ToFloatOperand(ctx, left, &a) || !ToFloatOperand(ctx, right, &b)) return false;
  matherr::Clear();
  bool ok = FloatBinary(ctx, op, a, b, left);
  if (matherr::TakeInto(ctx)) return false;
  return ok;
}

bool Concatenate(ScriptContext* ctx, Value* left, Value* right) {
  bool wide = ((left->flags | right->flags) & (kFlagUnicode | kFlagVariant)) != 0;
  if (wide) {
    if (!val::ToUnicode(ctx, left) || !val::ToUnicode(ctx, right)) {
      if (!ctx->error) err::Raise(ctx, 3056);
      return false;
    }
    const wchar_t* a = heap::WideAt(ctx, left->wstr);
    const wchar_t* b = heap::WideAt(ctx, right->wstr);
    size_t la = wcslen(a), lb = wcslen(b);
    uint32_t off = heap::Alloc(ctx, static_cast<uint32_t>((la + lb + 1) * sizeof(wchar_t)));
    if (!off) {
      err::Raise(ctx, 3096);
      return false;
    }
    wchar_t* out = heap::WideAt(ctx, off);
    memcpy(out, a, la * sizeof(wchar_t));
    memcpy(out + la, b, (lb + 1) * sizeof(wchar_t));
    ResetValue(ctx, left, 0);
    left->wstr = off;
    left->flags = kFlagUnicode;
    return true;
  }
  if (!val::ToText(ctx, left) || !val::ToText(ctx, right)) {
    if (!ctx->error) err::Raise(ctx, 3056);
    return false;
  }
  size_t la = strlen(heap::At(ctx, static_cast<uint32_t>(left->str)));
  size_t lb = strlen(heap::At(ctx, static_cast<uint32_t>(right->str)));
  if (la + lb >= 0x7ff00000u) {
    err::Raise(ctx, 3096);
    return false;
  }
  uint32_t off = heap::Alloc(ctx, static_cast<uint32_t>(la + lb + 1));
  if (!off) {
    err::Raise(ctx, 3096);
    return false;
  }
  char* out = heap::At(ctx, off);
  memcpy(out, heap::At(ctx, static_cast<uint32_t>(left->str)), la);
  memcpy(out + la, heap::At(ctx, static_cast<uint32_t>(right->str)), lb + 1);
  ResetValue(ctx, left, 0);
  left->str = off;
  left->flags = kFlagString;
  return true;
}

}  // namespace zel::expr
