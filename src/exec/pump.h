// The cooperative message pump: dispatches the thread's waiting window
// messages after every statement and inside waits, and notices Ctrl+Break.
#pragma once
#include <cstdint>
#include "host/context.h"

namespace zel::exec {

// Takes every waiting message (offering those of tab-stop windows to their
// dialog parent), checks for Ctrl+Break after each, and yields the rest of
// the time slice unless the context asks for fast pumping.
void PumpMessages(ScriptContext* ctx);

// The pump after a statement: a full pump at most once per tick of the
// system clock, so that a tight loop pays for no system call on most
// statements while windows still see their messages within a tick.
void PumpAfterStatement(ScriptContext* ctx);

// Pumps messages for `ms` milliseconds, or until a stop is requested.
void WaitPumping(ScriptContext* ctx, uint32_t ms);

}  // namespace zel::exec
