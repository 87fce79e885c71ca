// Prompt functions. ButtonNames sets the captions of the OK and Cancel
// buttons of the next box that has buttons (a prompt, or the error dialog's
// single button); that box uses them once.
#include "builtins/prompts.h"

#include "builtins/dispatch.h"
#include "values/convert.h"

namespace zel::calls {
namespace {

// A caption argument as ANSI text, cut to kButtonName characters.
void Caption(ScriptContext* ctx, Value* arg, char* out) {
  if (!(arg->flags & kFlagString)) val::ToText(ctx, arg);
  lstrcpynA(out, ArgText(ctx, *arg), kButtonName + 1);
}

// ButtonNames(ok, cancel): an empty caption leaves that button's own.
void ButtonNames(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Caption(ctx, &args[1], ctx->buttonOk);
  Caption(ctx, &args[2], ctx->buttonCancel);
  ctx->buttonNamesPending = 1;
  r->ival = 1;
}

}  // namespace

void RegisterPrompts() { Register("buttonnames", ButtonNames); }

}  // namespace zel::calls
