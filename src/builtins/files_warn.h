// The overwrite confirmation of FileCopy, FileMove and their relatives.
#pragma once
#include <cstdint>

#include "host/context.h"

namespace zel::files {

// Answers of the confirmation, kept in ctx->overwriteAnswer.
enum : uint32_t {
  kAsk = 0,
  kOverwrite = 1,
  kUseNewer = 2,
  kUseOlder = 3,
  kSkip = 4,
  kOverwriteAll = 101,
  kUseNewerAll = 102,
  kUseOlderAll = 103,
  kCancelAll = 104,
};

// Shows the "FILEWARN" dialog for replacing `target` by `source` and returns
// the button's answer; kCancelAll when the dialog cannot be shown.
uint32_t AskOverwrite(ScriptContext* ctx, const wchar_t* target, const wchar_t* source);

}  // namespace zel::files
