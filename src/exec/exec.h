// Statement execution: the run loop over a script's lines, the per-statement
// wrapper, the statement executor with its structures, and label jumps.
#pragma once
#include <cstdint>
#include "host/context.h"

namespace zel::exec {

// Statement results.
constexpr int kGoOn = 1;   // go on with the next line
constexpr int kStop = 0;   // stop the run (error, Exit, stop request)
constexpr int kLeave = -1; // leave the script or function now running

// StructureStack frame kinds.
enum : uint16_t {
  kFrameIf = 10001,
  kFrameElse = 10002,
  kFrameWhile = 582,
  kFrameFor = 361,
  kFrameForEach = 362,
  kFrameSwitch = 550,
  kFrameGosubFalse = 29000,  // GoSub frames record the pending-Else state: 0,
  kFrameGosubTrue = 29001,   // 1 and -1
  kFrameGosubNone = 29003,
  kFrameCall = 217,
  kFrameUdf = 29500,
};

// How a function's frame (kFrameUdf) was entered, kept in its resume field.
enum : uint32_t {
  kCallStatement = 0,     // a call in a statement
  kCallDialog = 1,        // a dialog's callback
  kCallErrorHandler = 2,  // the handler function of a cancel or an error
  kCallComEvent = 3,      // a COM object's event
  kCallBack = 4,          // any other callback
};

// Skip state bits of a frame.
enum : uint8_t {
  kSkipFalse = 1,     // the condition was false, or no Case matched yet
  kSkipInside = 2,    // inside a region that is being skipped
  kSkipContinue = 4,
  kSkipBreak = 8,
};

// A running text: the main script or a function's body, scrambled, locked.
struct Run {
  HGLOBAL script;
  uint8_t* text;
  uint32_t len;
  uint32_t pos;        // next line to read
  uint32_t lineStart;  // first non-blank character of the line being executed
};

// Runs the text from run->pos to its end (or Exit, a stop, an error that ends
// the run, or a Return that leaves it). `result` receives a returned value.
int RunLoop(ScriptContext* ctx, Value* result, Run* run);

// Executes one statement that starts at `stmt` (inside ctx->lineBuf) through
// the wrapper: errors go to the handlers or the report.
int RunStatement(ScriptContext* ctx, Value* result, Run* run, const char* stmt, bool substituted);

// Executes one statement; errors are left in ctx->error.
int ExecStatement(ScriptContext* ctx, Value* result, Run* run, const char* stmt, bool substituted);

// Searches the running text for the line ":label" and moves run->pos there;
// 3033 when there is none. Unless `noRewrite`, the GoTo or GoSub statement at
// script position `stmtPos` is rewritten to jump there directly next time.
bool SearchLabel(ScriptContext* ctx, Run* run, const char* label, uint32_t stmtPos, bool noRewrite);

// ---- the StructureStack

inline bool Skipping(const ScriptContext* ctx) {
  return ctx->structDepth > 0 && ctx->structs[ctx->structDepth - 1].state != 0;
}
inline StructFrame* Top(ScriptContext* ctx) {
  return ctx->structDepth > 0 ? &ctx->structs[ctx->structDepth - 1] : nullptr;
}
// Pushes a frame (3353 when the stack is full); nullptr on failure.
StructFrame* Push(ScriptContext* ctx, uint16_t kind, uint8_t state, uint32_t resume, uint32_t linePos);
// Ends the top frame; `restoreLoop` restores the inside-a-loop flag it saved.
void Pop(ScriptContext* ctx, bool restoreLoop);

// Structure keywords (statement.cpp hands them over with the keyword current).
int StructureKeyword(ScriptContext* ctx, Value* result, Run* run, const char* stmt, int id,
                     bool substituted);

}  // namespace zel::exec
