// Deferred floating-point errors: the math error hook records an error number
// instead of stopping, and arithmetic takes it into the context afterwards.
#include "values/matherr.h"

#include <cstdint>

#include "errors/errinfo.h"

namespace zel::matherr {
namespace {

// One number for the whole process. volatile: the library writes it from inside
// math functions, which the compiler assumes touch no globals.
volatile uint16_t g_pending = 0;

uint16_t NumberOf(int type) {
  switch (type) {
    case _DOMAIN: return 1341;
    case _OVERFLOW: return 1342;
    case _PLOSS: return 1343;
    case _SING: return 1344;
    case _TLOSS: return 1345;
    default: return 1347;
  }
}

}  // namespace

int __cdecl Hook(struct _exception* e) {
  if (e->type == _UNDERFLOW) {
    e->retval = 0.0;
    return 1;
  }
  g_pending = NumberOf(e->type);
  e->retval = 1.0;
  return 1;
}

void Install() { __mingw_setusermatherr(&Hook); }

void Clear() { g_pending = 0; }

bool TakeInto(ScriptContext* ctx) {
  uint16_t n = g_pending;
  if (!n) return false;
  g_pending = 0;
  err::Raise(ctx, n);
  return true;
}

}  // namespace zel::matherr
