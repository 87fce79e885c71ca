// The current error and its additional information: detail texts attached
// to the error, and the system-error reporter.
#pragma once
#include <cstddef>
#include <cstdint>
#include "host/context.h"

namespace zel::err {

// Sets the context's current error number.
inline void Raise(ScriptContext* ctx, uint16_t number) { ctx->error = number; }

// Appends one detail text to the additional-information block of the current
// error (created on first use, 1,024 characters at most, texts separated by
// two line feeds, 40 hyphens, a line feed, a no-break space and a line feed).
void AddErrorInfo(ScriptContext* ctx, const char* text);

// Sets the current error and attaches message `detail` (a 95xx text) as its
// additional information.
void RaiseWithDetail(ScriptContext* ctx, uint16_t number, uint32_t detail);

// Copies the additional-information text into `buf` ("" when there is none);
// returns its length.
size_t CopyErrorInfo(ScriptContext* ctx, char* buf, size_t size);

// Frees the additional-information block.
void FreeErrorInfo(ScriptContext* ctx);

// Writes "%ld (%s)" (code, call name) to key "LastError" of section
// "ZLDEN44I" of the settings file; when `attach` is set, also attaches
// "%s error:\n\n    %ld" as additional information.
void RecordSystemError(ScriptContext* ctx, long code, const char* call, bool attach);

// Severity of an error number: minor 1, moderate 0, severe 13.
constexpr int kSeverityMinor = 1, kSeverityModerate = 0, kSeveritySevere = 13;
constexpr int Severity(uint32_t n) {
  return n < 2001 ? kSeverityMinor : n < 3001 ? kSeverityModerate : kSeveritySevere;
}

}  // namespace zel::err
