// The cooperative message pump: dispatches the thread's waiting window
// messages so that windows stay responsive while a script runs.
#pragma once
#include "host/context.h"

namespace zel::exec {

void PumpMessages(ScriptContext* ctx);

}  // namespace zel::exec
