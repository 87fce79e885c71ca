// Deferred floating-point errors (the C library's math error hook and the one
// pending error number it records for the whole process).
#pragma once
#include <math.h>

#include "host/context.h"

namespace zel::matherr {

// Replaces the C library's math error hook with Hook. Harmless to repeat.
void Install();

// Forgets a pending error number.
void Clear();

// Turns a pending error number into the context's error and clears it; true
// when one was pending (ctx->error is left alone otherwise).
bool TakeInto(ScriptContext* ctx);

// The hook itself: records 1341 (domain), 1342 (overflow), 1343 (partial loss
// of significance), 1344 (singularity), 1345 (total loss) or 1347 (any other
// kind) and makes the library's result 1.0; an underflow records nothing and
// makes the result 0.0. Returns nonzero: the library reports nothing itself.
int __cdecl Hook(struct _exception* e);

}  // namespace zel::matherr
