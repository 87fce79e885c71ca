// The script's own handlers of cancels and errors: the labels :CANCEL and
// :ZLERRORHANDLER, jumped to or called as a subroutine, and the handler
// functions that receive the error array.
#pragma once
#include <cstdint>
#include "host/context.h"

namespace zel::exec {
struct Run;
}

namespace zel::err {

// Offers the cancel (kCancel) or the error `number` of the statement `line`
// to the handler the matching mode arms, in the running text `run` (label
// handlers need it; without it they take nothing). Sets *described when the
// error variables were set for it. True when a handler took it: the run goes
// on where the handler left it, the current error 0. False when none did:
// the current error is then what stands - `number` again, 3618 or 3619 when
// the handler could not be called for want of structure frames, or a control
// code (Exit, an error already reported) that a handler function left.
bool OfferToHandler(ScriptContext* ctx, uint16_t number, const char* line, exec::Run* run,
                    bool* described);

// Calls the handler function of the cancel or the error handler with the
// array zlerrorarray. Its answer: bit 0 clear disarms the handler, bit 1 set
// leaves the error to the report. True when it handled the error; an error
// raised inside it stays as the current error.
bool CallHandlerFunction(ScriptContext* ctx, bool cancel);

// The right side of an assignment failed with `number`: when the matching
// handler is a function, it is called at once. True when it handled the
// error: `value` then holds element 11 of zlerrorarray (an empty text becomes
// the integer 0) and the current error is 0. Otherwise the error stands and
// is reported after the statement without being offered again.
bool HandleInAssignment(ScriptContext* ctx, uint16_t number, Value* value);

}  // namespace zel::err
