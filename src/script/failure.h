// Failures of loading and preparing script text, reported once each through
// the error report at the severity of a failed load.
#pragma once
#include <cstdint>
#include "host/context.h"

namespace zel::script {

// Message numbers of the failures.
enum : uint32_t {
  kMsgFileNotFound = 102,     // "Specified menu/batch file not found"
  kMsgExecutionError = 111,   // "Execution Error", the caption of the general failures
  kMsgNoMemory = 203,         // "Unable to allocate memory for menu/batch file"
  kMsgNoLock = 204,           // "Unable to lock memory for menu/batch file"
  kMsgReadFailed = 206,       // "File I/O error reading batch file"
  kMsgUnicodeFailed = 215,    // "Error converting Unicode batch/menu file"
  kMsgNoWorkBuffer = 216,     // "Could not allocate (or lock) work buffer"
  kMsgIncludeFailed = 217,    // "Unable to access or process specified #include file"
  kMsgIncludeTooDeep = 218,   // "#include files too deeply nested (> 16 levels)"
  kMsgUnknownEncoded = 219,   // "Unknown ZLC file format"
};

// Reports `text` (a file name) under the caption of message `captionId`.
void ReportNamed(ScriptContext* ctx, uint32_t captionId, const char* text);

// Reports the text of message `messageId` under the caption "Execution Error".
void ReportMessage(ScriptContext* ctx, uint32_t messageId);

}  // namespace zel::script
