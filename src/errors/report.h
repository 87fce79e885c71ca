// Error processing after a statement: by the error's severity, the ErrorMode
// and the armed handlers, the run goes on, a handler runs, or the error is
// reported and the run ends.
#pragma once
#include <cstdint>
#include "host/context.h"

namespace zel::err {

// What the run does after a statement that left an error number.
enum class After { kContinue, kStop };

// Called by the statement wrapper when ctx->error is not 0 after a statement
// whose text is `line`. Handles the control codes (9000 and up), hands
// cancels and errors to the handlers, reports what no handler takes (a
// dialog, or the silent-mode log) and says whether the run goes on.
After AfterStatement(ScriptContext* ctx, const char* line);

// Reports a failure outside any statement (a script that cannot be loaded, an
// #include that fails): `text` under the caption of message `captionId`, at
// severity `severity`; logged instead of shown in silent mode.
void ReportFailure(ScriptContext* ctx, uint32_t captionId, const char* text, int severity);

}  // namespace zel::err
