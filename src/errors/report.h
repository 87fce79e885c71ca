// Error processing after a statement: by the error's severity, the ErrorMode
// and the armed handlers, the run goes on, a handler runs, or the error is
// reported and the run ends.
#pragma once
#include <windows.h>
#include <cstdint>
#include "host/context.h"

namespace zel::exec {
struct Run;
}

namespace zel::err {

// What the run does after a statement that left an error number.
enum class After { kContinue, kStop };

// Called by the statement wrapper when ctx->error is not 0 after a statement
// whose text is `line`. Handles the control codes (9000 and up), hands
// cancels and errors to the handlers, reports what no handler takes (a
// dialog, or the silent-mode log) and says whether the run goes on. On
// kContinue the current error is 0; the reported number stays for LastError.
// `run` is the running text, where label handlers are searched; without it
// only a handler function can take the error.
After AfterStatement(ScriptContext* ctx, const char* line, exec::Run* run = nullptr);

// Reports a failure outside any statement (a script that cannot be loaded, an
// #include that fails): `text` under the caption of message `captionId`, at
// severity `severity`; logged instead of shown in silent mode.
void ReportFailure(ScriptContext* ctx, uint32_t captionId, const char* text, int severity);

// Reports error `number` of severity `severity` with ctx->failLine as the
// failing line: records it as the reported error; a minor error under @OFF is
// not shown; otherwise the report shows the composed message (`composed`, or
// "NNNN:  text" made from the number when null), the additional information
// and the failing line, or logs them in silent mode. The additional
// information is freed. Returns true to continue (the current error is then 0),
// false to stop.
bool ReportError(ScriptContext* ctx, uint16_t number, int severity, const char* composed);

// Every message box of the library goes through here: shown task-modal and
// owned by the host window; in silent mode logged instead (`text` as the
// message, `caption` as the line), answering IDCANCEL. Returns the button.
int ShowBox(ScriptContext* ctx, const char* text, const char* caption, UINT type);

// Whether a script error would go to an error handler rather than be shown.
bool ErrorHandlerArmed(const ScriptContext* ctx);

// Resets what every run starts with: ErrorMode @CANCEL, the cancel handler at
// -1 and the error handler at 0.
void BeginRun(ScriptContext* ctx);

}  // namespace zel::err
