// User-defined functions and subroutines: the table of definitions, the
// definition lines the run loop hands over, calls of a definition's body, the
// Call function that runs another script file, and the parameter line that
// fills param0, param1...
#pragma once
#include <cstddef>
#include <cstdint>
#include "exec/exec.h"
#include "host/context.h"

namespace zel {

constexpr int kUdfParams = 16;        // parameters of one definition
constexpr int kUdfBlockRecords = 16;  // records per allocated block of the table
constexpr int kCallDepth = 6;         // scripts a Call may run inside one another

static_assert(kUdfBlocks * kUdfBlockRecords == kUdfMax, "the blocks hold every record");

#pragma pack(push, 4)

// One definition. win32 offsets: parameter count 0, name length 2, body 4,
// body start 8, body length 12, assignment target 16, subroutine 20, name 24,
// parameters 55, source file 551; 812 bytes. On win64 the body handle is 8
// bytes and everything after it moves by 4.
struct UdfRecord {
  uint16_t paramCount;
  uint16_t nameLen;
  HGLOBAL body;            // the body, still scrambled for its script positions, and a
                           // scrambled NUL; null until the end line has been read
  uint32_t bodyStart;      // script position of the first byte after the definition line
  uint32_t bodyLength;     // bytes of the body, the NUL not counted
  uint32_t assignTarget;   // assignment in progress when the body last stopped; ~0u none
  uint32_t subroutine;     // 0 #DefineFunction, 1 #DefineSubroutine
  char name[kVarNameSize + 1];                 // lower case
  char params[kUdfParams][kVarNameSize + 1];   // as written
  char sourceFile[kMaxPathLen + 1];            // script file that defined it
};

#pragma pack(pop)

#if !defined(_WIN64)
static_assert(offsetof(UdfRecord, body) == 4, "definition record layout");
static_assert(offsetof(UdfRecord, assignTarget) == 16, "definition record layout");
static_assert(offsetof(UdfRecord, name) == 24, "definition record layout");
static_assert(offsetof(UdfRecord, params) == 55, "definition record layout");
static_assert(offsetof(UdfRecord, sourceFile) == 551, "definition record layout");
static_assert(sizeof(UdfRecord) == 812, "a definition record is 812 bytes");
#endif

namespace exec {

// The record of a defined function or subroutine (index below ctx->udfCount),
// or nullptr.
inline const UdfRecord* DefinedUdf(const ScriptContext* ctx, int index) {
  if (index < 0 || index >= ctx->udfCount || index >= kUdfMax) return nullptr;
  return ctx->udfRecords[index];
}

// ---- definitions (udfdefine.cpp)

// What a line starting with "#" was to the definition handling.
enum class Definition { kNotOne, kHandled, kFailed };

// Handles a #DefineFunction, #DefineSubroutine, #EndFunction or
// #EndSubroutine line held in ctx->lineBuf, read from the running text at
// run->lineStart with run->pos after it. kFailed leaves the error set (3623,
// 3624, 3625, 3626, 3691, 3692, 3693, 1733).
Definition DefinitionLine(ScriptContext* ctx, const Run* run);

// Frees every stored body and the blocks of the table; no definitions remain.
void FreeDefinitions(ScriptContext* ctx);

// ---- nested runs (nested.cpp)

// Calls definition `id` - kUdfIdBase with args[1..argc] (one per parameter,
// unconverted); `result` receives its Return value or the integer 0. True
// when the body ran to its end or a Return; false with the error set, which
// is 9015 for an error already reported inside the body.
// `mode` says how it was entered (kCallStatement...): a call from a statement
// records that statement in the frame; the others record none.
bool CallUdf(ScriptContext* ctx, int id, Value* result, Value* args, int argc,
             uint32_t mode = kCallStatement);

// Runs the script file `path` (already found) in the caller's variables as a
// Call, telling the host about `params` when it asks for Call events.
// `result` receives its Return value or the integer 0. False with the error
// set, which is 9013 for an error already reported inside.
bool RunCalledScript(ScriptContext* ctx, const char* path, const char* params, Value* result);

// ---- parameter lines (params.cpp)

// Splits a parameter line into words and stores them as param1, param2... in
// the current frame after dropping the ones an earlier line left (as many as
// param0 said); param0 becomes the count, which is returned. Words are parted
// by blanks; a quote (", ' or `) opens a part that the same quote closes, in
// which a doubled quote stands for one. The UTF-16 form stores UTF-16 texts.
// -1 with the error set when a variable cannot be stored.
int32_t SetParamLine(ScriptContext* ctx, const char* line);
int32_t SetParamLine(ScriptContext* ctx, const wchar_t* line);

// Binds Call and ParseData to their names.
void RegisterScriptCalls();

}  // namespace exec
}  // namespace zel
