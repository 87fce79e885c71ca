// Host callback (the records exchanged with the host's callback and with
// extenders, the result callback ViperAnswer, and the call of the host's
// callback for host functions and events).
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>

#include "host/api.h"
#include "values/value.h"

namespace zel {

// Signature passed as the third argument of every ten-argument entry call.
constexpr uint32_t kEntrySignature = 0x30030105;
// Interface version of the records the host callback receives: ExtenderArg
// entries, ANSI texts, answers through ViperAnswer.
constexpr int32_t kHostInterfaceVersion = 4;
// Entries in an argument array; entries past the argument count are zero.
constexpr int kExtArgEntries = 16;
// Version of the ExtenderServiceBlock layout.
constexpr uint32_t kServiceBlockVersion = 1010;

// Negative codes the host callback receives for events.
constexpr int32_t kHostEventStatement = -1;  // per-statement and idle events
constexpr int32_t kHostEventCall = -4;
constexpr int32_t kHostEventFileChange = -5;

// An answer's flag beyond the Value flags: a UTF-16 text whose address is the
// machine word at byte offset 24 of the entry (the integer field on win32, the
// float field on win64).
constexpr uint32_t kAnswerWideAt24 = 0x1000;
constexpr size_t kAnswerWideAt24Offset = 24;

// Argument and result entry. The fields before `text` are a copy of the
// Value's (variant, fval, ival, flags); `text` is a machine address, never a
// heap offset: the ANSI or UTF-16 text, an array block, or null.
// win32: variant 0 (16 bytes), fval 16, ival 24, flags 28, text 32, unused 36;
// 40 bytes. win64: the VARIANT is 24 bytes and the address 8, so fval 24,
// ival 32, flags 36, text 40, unused 48; 56 bytes (padded to 8).
struct ExtenderArg {
  VARIANT variant;  // valid with kFlagVariant
  double fval;      // valid with kFlagFloat
  int32_t ival;     // valid with kFlagInt
  uint32_t flags;   // the Value's type flags
  void* text;       // ANSI or UTF-16 text, or the array block with kFlagArray
  uint32_t unused;
};

static_assert(offsetof(ExtenderArg, text) == offsetof(ValueCell, str),
              "an entry starts with a copy of the Value's fields before its text");
#if !defined(_WIN64)
static_assert(offsetof(ExtenderArg, fval) == 16, "ExtenderArg layout");
static_assert(offsetof(ExtenderArg, ival) == 24, "ExtenderArg layout");
static_assert(offsetof(ExtenderArg, flags) == 28, "ExtenderArg layout");
static_assert(offsetof(ExtenderArg, text) == 32, "ExtenderArg layout");
static_assert(offsetof(ExtenderArg, unused) == 36, "ExtenderArg layout");
static_assert(sizeof(ExtenderArg) == 40, "ExtenderArg is 40 bytes");
#else
static_assert(offsetof(ExtenderArg, fval) == 24, "win64 ExtenderArg layout");
static_assert(offsetof(ExtenderArg, ival) == 32, "win64 ExtenderArg layout");
static_assert(offsetof(ExtenderArg, flags) == 36, "win64 ExtenderArg layout");
static_assert(offsetof(ExtenderArg, text) == 40, "win64 ExtenderArg layout");
static_assert(sizeof(ExtenderArg) == 56, "win64 ExtenderArg");
#endif

struct ScriptContext;

// Service block, built afresh for every entry call and passed by address.
// win32 offsets in the comments, every field 32 bits; 68 bytes. On win64 the
// addresses and handles are 8 bytes: 128 bytes, and `size` says so.
// The services (DLLServices and the Dll... handlers) are not part of the
// library yet: their fields are null until they are.
struct ExtenderServiceBlock {
  ScriptContext* context;        // 0: opaque to the callee; ViperAnswer reads it
  Value* result;                 // 4: result of the current call; null outside a call
  uint32_t version;              // 8: kServiceBlockVersion
  uint32_t size;                 // 12: sizeof(ExtenderServiceBlock)
  void* dllServices;             // 16: DLLServices (null for now)
  HGLOBAL contextHandle;         // 20: the context's own handle (DLLServices' first argument)
  HANDLE logonToken;             // 24: token for starting programs as another user; null: none
  HWND parentWindow;             // 28: owner for dialogs
  void* varHandler;              // 32: DllVarHandler (null for now)
  void* arrHandler;              // 36: DllArrHandler (null for now)
  void* arrayServices;           // 40: DllArrayServices (null for now)
  void* storeErrorInfo;          // 44: DllStoreErrorInfo (null for now)
  void* binaryServices;          // 48: DllBinaryServices (null for now)
  void* varHandlerW;             // 52: DllVarHandlerW (null for now)
  void* arrayStringsToAnsi;      // 56: DllArrayStringsToAnsi (null for now)
  void* arrayStringsToUnicode;   // 60: DllArrayStringsToUnicode (null for now)
  void* arraySwapElements;       // 64: DllArraySwapElements (null for now)
};

#if !defined(_WIN64)
static_assert(offsetof(ExtenderServiceBlock, result) == 4, "service block layout");
static_assert(offsetof(ExtenderServiceBlock, version) == 8, "service block layout");
static_assert(offsetof(ExtenderServiceBlock, dllServices) == 16, "service block layout");
static_assert(offsetof(ExtenderServiceBlock, contextHandle) == 20, "service block layout");
static_assert(offsetof(ExtenderServiceBlock, parentWindow) == 28, "service block layout");
static_assert(offsetof(ExtenderServiceBlock, varHandler) == 32, "service block layout");
static_assert(offsetof(ExtenderServiceBlock, arraySwapElements) == 64, "service block layout");
static_assert(sizeof(ExtenderServiceBlock) == 68, "service block is 68 bytes");
#else
static_assert(offsetof(ExtenderServiceBlock, version) == 16, "win64 service block layout");
static_assert(offsetof(ExtenderServiceBlock, dllServices) == 24, "win64 service block layout");
static_assert(sizeof(ExtenderServiceBlock) == 128, "win64 service block");
#endif

// The result callback handed to the host callback (and to extenders): stores
// the answer into the service block's result.
using ZelViperAnswer = LONG(WINAPI*)(LONG status, LONG_PTR reserved, ExtenderServiceBlock* block,
                                     const ExtenderArg* answer);

// The host callback: window, host instance, kEntrySignature, code, result
// callback, service block, instance data (null for the host), argument
// entries, argument count, scratch word.
using ZelHostEntry = LONG(WINAPI*)(HWND window, HINSTANCE instance, DWORD signature, LONG code,
                                   ZelViperAnswer answer, ExtenderServiceBlock* block,
                                   DWORD* instanceData, ExtenderArg* args, LONG argc,
                                   DWORD_PTR* scratch);

namespace ext {

// Calls the host callback for a host function or command (token IDs 1000 to
// 1998; the host receives the ID less 1000) or an event (a negative code) with
// the argument Values args[1..argc] (args may be null when argc is 0). The
// host answers through ViperAnswer into `result` (null for an event). Returns
// the host's answer; a negative answer sets its error (1213, 2214, 3215, 3210,
// 9999, 9012, 1643) and the substituted error number. Without a host callback
// an event is a no-op (0) and a function is 3046.
int32_t CallHost(ScriptContext* ctx, int code, Value* result, Value* args, int argc);

// The same with five texts (null where absent) as the arguments: the run's
// own calls of the host, such as the per-statement event.
int32_t CallHostTexts(ScriptContext* ctx, int code, Value* result, const char* const texts[5]);

// The error number of a negative answer of the host or an extender.
uint16_t ErrorOfAnswer(int32_t answer);

}  // namespace ext
}  // namespace zel

// Stores an answer into the result of the call in progress, testing the
// answer's flags in this order: VARIANT (with a COM object flag as well: -4),
// array, UTF-16 text, float, integer (the result keeps its integer type);
// with none of these, a negative status makes the text the error text of the
// failure, otherwise an ANSI text (0x02) or a UTF-16 text at offset 24
// (kAnswerWideAt24) is stored. Returns `status`, or -4 when nothing could be
// stored.
ZEL_API LONG WINAPI ViperAnswer(LONG status, LONG_PTR reserved, zel::ExtenderServiceBlock* block,
                                const zel::ExtenderArg* answer);
