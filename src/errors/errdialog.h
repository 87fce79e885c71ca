// The error dialog: the composed message, where the statement stands, the
// failing line, more information, the traceback of the open structures and
// the support page; and the traceback's frame formatter.
#pragma once
#include <windows.h>
#include <cstddef>
#include "host/api.h"
#include "host/context.h"

namespace zel::err {

// Buttons that end the error dialog.
constexpr int kButtonContinue = IDOK;  // "&Continue", or the "&Ok" of the OK-only dialog
constexpr int kButtonExit = IDCANCEL;
constexpr int kButtonSupport = 140;    // "Tech Support &Web Page"

// Shows the dialog for the report in ctx (composed message, failing line,
// additional information) owned by the host window: "ERRORMSG" with one
// button when `okOnly`, else "ERRORMSGB" with Continue and Exit. `browser`
// names the web browser found for the support page ("" none). Returns the
// button that ended it, or -1 when the dialog could not be shown.
int RunErrorDialog(ScriptContext* ctx, bool okOnly, const char* browser);

// Formats traceback line `index` (0 = the outermost open structure) by
// `format`, which takes the frame number, its kind, its line number (long),
// its statement and its file name: "%3d %-14s %6ld %-32s %s" for the
// traceback, "%d\t%s\t%ld\t%s\t%s" for the debug dumps.
void FormatFrame(ScriptContext* ctx, int index, const char* format, char* out, size_t size);

}  // namespace zel::err

ZEL_API INT_PTR CALLBACK ErrorMsgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
ZEL_API INT_PTR CALLBACK StackInfoProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
