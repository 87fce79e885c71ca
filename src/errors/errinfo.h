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

// ---- numbers

// Ranges: up to kLastMinor minor, up to kLastModerate moderate, severe below
// kFirstControlCode; from there on control codes that travel in the error
// field but are not errors.
constexpr uint32_t kLastMinor = 2000;
constexpr uint32_t kLastModerate = 3000;
constexpr uint16_t kFirstControlCode = 9000;

// Control codes.
constexpr uint16_t kExitCode = 9000;            // the script executed Exit
constexpr uint16_t kReportedInCall = 9013;      // shown inside a called script or UDF
constexpr uint16_t kReportedByExtender = 9014;  // an extender error, already shown
constexpr uint16_t kReportedUntraced = 9015;    // as 9013, not traced again
constexpr uint16_t kReportedEvent = 9016;       // an ErrorEvent error, already shown
constexpr uint16_t kHandledInAssignment = 9998; // a handler function took an assignment's error
constexpr uint16_t kCancel = 9999;              // the user cancelled

// Errors a script raises with ErrorEvent, by severity; the script's own code
// (kEventCodeFirst..kEventCodeLast) is kept as the substituted error.
constexpr uint16_t kEventMinor = 1668, kEventModerate = 2669, kEventSevere = 3670;
constexpr int32_t kEventCodeFirst = 7000, kEventCodeLast = 7999;

// Severity of an error number: minor 1, moderate 0, severe 13 (the values the
// error report is given).
constexpr int kSeverityMinor = 1, kSeverityModerate = 0, kSeveritySevere = 13;
constexpr int ErrorSeverity(uint32_t n) {
  return n <= kLastMinor ? kSeverityMinor : n <= kLastModerate ? kSeverityModerate : kSeveritySevere;
}

// An extender's own error, by severity, its text in the custom error text.
constexpr uint16_t kExtenderMinor = 1213, kExtenderModerate = 2214, kExtenderSevere = 3215;

// Errors whose text is the custom error text: ErrorEvent's and the extenders'.
constexpr bool HasCustomText(uint32_t n) {
  return n == kExtenderMinor || n == kExtenderModerate || n == kExtenderSevere ||
         n == kEventMinor || n == kEventModerate || n == kEventSevere;
}

// Numbers that stand for another, kept in the substituted-error field: the
// custom-text errors and the already-reported codes 9013..9016.
constexpr bool StandsForAnother(uint32_t n) {
  return HasCustomText(n) || (n >= kReportedInCall && n <= kReportedEvent);
}

}  // namespace zel::err
