// Math functions (integer and float arithmetic, the float library, number
// tests, the Decimals setting, random numbers, and the self-parsed Average,
// Max and Min).
#include "builtins/math.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "builtins/dispatch.h"
#include "builtins/functable.h"
#include "errors/errinfo.h"
#include "expr/eval.h"
#include "lexer/tokenizer.h"
#include "values/convert.h"
#include "values/matherr.h"

namespace zel::calls {
namespace {

constexpr uint16_t kAverageSyntax = 2060;

void SetFloat(Value* r, double d) {
  r->flags = kFlagFloat;
  r->fval = d;
}

// A float result: NaN without a recorded cause is a domain error; a result
// too large for the language is an overflow.
void FloatResult(ScriptContext* ctx, Value* r, double d) {
  if (std::isnan(d)) {
    if (!matherr::TakeInto(ctx)) err::Raise(ctx, 1341);
    return;
  }
  if (std::isinf(d)) {
    if (!matherr::TakeInto(ctx)) err::Raise(ctx, 1342);
    return;
  }
  SetFloat(r, d);
}

double (*FloatFunction(int id))(double) {
  uint16_t len = 0;
  const char* name = fn::NameOf(nullptr, id, &len);
  struct Entry { const char* name; double (*f)(double); };
  static const Entry kTable[] = {
      {"acos", std::acos},   {"asin", std::asin}, {"atan", std::atan},   {"ceiling", std::ceil},
      {"cos", std::cos},     {"cosh", std::cosh}, {"exp", std::exp},     {"fabs", std::fabs},
      {"floor", std::floor}, {"log10", std::log10}, {"loge", std::log}, {"sin", std::sin},
      {"sinh", std::sinh},   {"sqrt", std::sqrt}, {"tan", std::tan},     {"tanh", std::tanh},
  };
  for (const Entry& e : kTable)
    if (strlen(e.name) == len && memcmp(e.name, name, len) == 0) return e.f;
  return nullptr;
}

// One body for the float library: the function is chosen by the ID.
void FloatBody(ScriptContext* ctx, Value* r, Value* args, int, bool, int id) {
  double (*f)(double) = FloatFunction(id);
  if (!f) return err::Raise(ctx, 3046);
  FloatResult(ctx, r, f(args[1].fval));
}

void Abs(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  int32_t n = args[1].ival;
  r->ival = n < 0 ? static_cast<int32_t>(0u - static_cast<uint32_t>(n)) : n;
}

// Int: the float's integer part, truncated toward zero.
void IntPart(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  double d = std::trunc(args[1].fval);
  if (!(d >= INT32_MIN && d <= INT32_MAX)) return err::Raise(ctx, 1342);
  r->ival = static_cast<int32_t>(d);
}

void Decimals(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  r->ival = val::SetDecimals(ctx, args[1].ival);
}

// The number tests look at a copy, so the argument keeps its form.
bool TestInteger(ScriptContext* ctx, const Value* v) {
  if (v->flags & kFlagInt) return true;
  if (!(v->flags & (kFlagString | kFlagUnicode))) return false;
  Value t = *v;
  t.flags &= kFlagString | kFlagUnicode;
  uint16_t saved = ctx->error;
  bool ok = val::ToInteger(ctx, &t, false);
  ctx->error = saved;
  return ok;
}

bool TestFloat(ScriptContext* ctx, const Value* v) {
  if (v->flags & kFlagFloat) return true;
  if (!(v->flags & kFlagString)) return false;
  Value t = *v;
  t.flags = kFlagString;
  uint16_t saved = ctx->error;
  bool ok = val::ToFloat(ctx, &t);
  ctx->error = saved;
  return ok;
}

void IsInt(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  r->ival = TestInteger(ctx, &args[1]) ? 1 : 0;
}

// IsFloat: a float, or a text that reads as a float but not as an integer.
void IsFloat(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  r->ival = !TestInteger(ctx, &args[1]) && TestFloat(ctx, &args[1]) ? 1 : 0;
}

void IsNumber(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  r->ival = TestInteger(ctx, &args[1]) || TestFloat(ctx, &args[1]) ? 1 : 0;
}

// Random(n): an integer from 0 to n inclusive; 0 for n of 0 or less.
void Random(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  int32_t n = args[1].ival;
  if (n <= 0) {
    r->ival = 0;
    return;
  }
  uint64_t wide = (static_cast<uint64_t>(rand()) << 30) ^ (static_cast<uint64_t>(rand()) << 15) ^
                  static_cast<uint64_t>(rand());
  r->ival = static_cast<int32_t>(wide % (static_cast<uint64_t>(n) + 1));
}

// Average, Max and Min read their own list: numbers separated by ",", at
// least one. The result is an integer while every number is, else a float.
void NumberList(ScriptContext* ctx, Value* r, Value*, int, bool, int id) {
  uint16_t len = 0;
  const char* name = fn::NameOf(ctx, id, &len);
  bool isAverage = name[1] == 'v', isMax = name[1] == 'a';
  uint16_t syntax = isAverage ? kAverageSyntax : 3068;
  lex::GetToken(ctx);
  double sum = 0, best = 0;
  int32_t ibest = 0;
  bool allInt = true;
  int count = 0;
  while (!ctx->error) {
    Value v;
    val::InitValue(&v, 0);
    expr::EvaluatePlain(ctx, &v);
    if (!ctx->error) {
      bool isInt = (v.flags & kFlagInt) || (!(v.flags & kFlagFloat) && val::ToInteger(ctx, &v, false));
      if (!isInt && !val::ToFloat(ctx, &v)) err::Raise(ctx, 3057);
      if (!ctx->error) {
        double d = isInt ? v.ival : v.fval;
        if (!isInt) allInt = false;
        if (count == 0 || (isMax ? d > best : d < best)) {
          best = d;
          ibest = isInt ? v.ival : 0;
        }
        sum += d;
        ++count;
      }
    }
    expr::ResetValue(ctx, &v, 0);
    if (ctx->error) return;
    if (ctx->tokenKind == lex::kTokKeyword && ctx->tokenCode == kIdCloseParen) break;
    if (ctx->tokenKind != lex::kTokKeyword || ctx->tokenCode != kIdComma) {
      if (syntax == 3068)
        err::RaiseWithDetail(ctx, 3068, 9500);
      else
        err::Raise(ctx, syntax);
      return;
    }
    lex::GetToken(ctx);
  }
  if (ctx->error) return;
  if (isAverage) {
    SetFloat(r, sum / count);
  } else if (allInt) {
    r->ival = ibest;
  } else {
    SetFloat(r, best);
  }
}

}  // namespace

void RegisterMath() {
  for (const char* name : {"acos", "asin", "atan", "ceiling", "cos", "cosh", "exp", "fabs", "floor",
                           "log10", "loge", "sin", "sinh", "sqrt", "tan", "tanh"})
    Register(name, FloatBody);
  Register("abs", Abs);
  Register("int", IntPart);
  Register("decimals", Decimals);
  Register("isint", IsInt);
  Register("isfloat", IsFloat);
  Register("isnumber", IsNumber);
  Register("random", Random);
  Register("average", NumberList);
  Register("max", NumberList);
  Register("min", NumberList);
}

}  // namespace zel::calls
