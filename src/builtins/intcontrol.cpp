// IntControl: the numbered run-time switches of the context. Every request
// returns a text; a switch returns its previous value and takes the new one
// only when it lies in the switch's range.
#include "builtins/intcontrol.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "builtins/dispatch.h"
#include "builtins/functable.h"
#include "builtins/ymdhms.h"
#include "errors/errinfo.h"
#include "exec/udf.h"
#include "expr/eval.h"
#include "extender/hostcall.h"
#include "host/process.h"
#include "values/convert.h"
#include "values/strutil.h"

namespace zel::calls {
namespace {

constexpr uint16_t kBadRequest = 3171;
constexpr int kParams = 4;  // p1..p4 follow the request number

// Requests of the run's own switches and of the file family.
enum : int32_t {
  kListHidden = 5,
  kListDelimiter = 29,
  kSilentMode = 38,
  kShareRead = 39,
  kShareWrite = 40,
  kLineEnd = 53,
  kReadBuffer = 65,
  kCancelHandler = 72,
  kErrorHandler = 73,
  kExecuteReport = 87,
};

// Requests that keep the settings of other families, and operations.
enum : int32_t {
  kTerminationFlags = 12,
  kPromptFont = 28,
  kMoveAtRestart = 30,
  kInputDelays = 35,
  kYearWidth = 41,
  kKeyWaitIdle = 43,
  kKeyConsole = 45,
  kWindowWaitCount = 46,
  kSupportButton = 50,
  kSetLocalTime = 58,
  kForegroundMode = 61,
  kPromptForeground = 62,
  kPromptRect = 63,
  kLastExitCode = 64,
  kWindowDelays = 70,
  kInputIdleWait = 74,
  kInternalInfo = 77,
  kDropFunctions = 78,
  kObsoleteArrays = 83,
  kBatchedInput = 88,
  kListNameCheck = 91,
};

struct Params {
  const char* text[kParams + 1];  // text[1..4]: p1..p4
  int32_t Int(int n) const { return val::TextToInt(text[n]); }
};

// Writes the switch's current value into `out` and stores `value` when it
// lies in lo..hi; true when it was stored.
template <typename Field>
bool Switch(Field* field, int32_t lo, int32_t hi, int32_t value, char* out, size_t size) {
  val::IntToText(static_cast<int32_t>(*field), 10, out, size);
  if (value < lo || value > hi) return false;
  *field = static_cast<Field>(value);
  return true;
}

// ---- settings of other families, and operations

constexpr uint32_t kNoBreakCheck = 8;  // 12: the pump no longer notices Ctrl+Break
constexpr int32_t kFontFixed = 1, kFontInterface = 2;  // 28
constexpr int32_t kNoLimit = INT32_MAX;

// Writes a plain number as the result.
void Number(int64_t n, char* out, size_t size) { snprintf(out, size, "%lld", static_cast<long long>(n)); }

// 12: the termination-handling bits; bit 8 turns off the Ctrl+Break check.
void TerminationFlags(ScriptContext* ctx, const Params& p, char* out, size_t size) {
  if (Switch(&ctx->pumpFlags, 0, kNoLimit, p.Int(1), out, size))
    ctx->breakDisabled = (ctx->pumpFlags & kNoBreakCheck) != 0;
}

// 28: the user-interface font only where the platform has one.
void PromptFont(ScriptContext* ctx, const Params& p, char* out, size_t size) {
  int32_t mode = p.Int(1);
  if (mode == kFontInterface && !GetStockObject(DEFAULT_GUI_FONT)) mode = kFontFixed;
  Switch(&ctx->promptFont, 0, kFontInterface, mode, out, size);
}

// Length of the drive ("C:") or share ("\\server\share") a full path starts with.
size_t RootLength(const char* path) {
  if (path[0] == '\\' && path[1] == '\\') {
    const char* share = strchr(path + 2, '\\');
    const char* end = share ? strchr(share + 1, '\\') : nullptr;
    return end ? static_cast<size_t>(end - path) : strlen(path);
  }
  return path[0] && path[1] == ':' ? 2 : 0;
}

bool SameRoot(const char* a, const char* b) {
  size_t n = RootLength(a);
  return n == RootLength(b) && CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a,
                                              static_cast<int>(n), b, static_cast<int>(n)) == CSTR_EQUAL;
}

// 30: moves or renames the file p1 to p2 when the system next starts; "0"
// when the system refuses.
void MoveAtRestart(ScriptContext* ctx, const Params& p, char* out, size_t size) {
  char source[kMaxPathLen], target[kMaxPathLen];
  DWORD n = GetFullPathNameA(p.text[1], sizeof source, source, nullptr);
  if (!*p.text[1] || n == 0 || n >= sizeof source ||
      GetFileAttributesA(source) == INVALID_FILE_ATTRIBUTES)
    return err::Raise(ctx, 1426);
  n = GetFullPathNameA(p.text[2], sizeof target, target, nullptr);
  if (!*p.text[2] || n == 0 || n >= sizeof target) return err::Raise(ctx, 1427);
  if (!SameRoot(source, target)) return err::Raise(ctx, 1428);
  bool moved = MoveFileExA(source, target, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING);
  Number(moved ? 1 : 0, out, size);
}

// 35: the keystroke delay (p1, returned) and the mouse delay (p2).
void InputDelays(ScriptContext* ctx, const Params& p, char* out, size_t size) {
  Switch(&ctx->keyDelay, 0, kNoLimit, p.Int(1), out, size);
  if (p.Int(2) >= 0) ctx->mouseDelay = p.Int(2);
}

// 58: sets the system's local time from a YmdHms text; "0" when the system
// refuses the time.
void SetClock(ScriptContext* ctx, const Params& p, char* out, size_t size) {
  ymd::Ymd t;
  if (!ymd::Parse(p.text[1], &t, ymd::kFull, true)) return err::Raise(ctx, 1575);
  if (g_process.platform == kPlatformNT && !EnablePrivilege("SeSystemtimePrivilege"))
    return err::Raise(ctx, 1576);
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(t.f[ymd::kYear]);
  st.wMonth = static_cast<WORD>(t.f[ymd::kMonth]);
  st.wDay = static_cast<WORD>(t.f[ymd::kDay]);
  st.wHour = static_cast<WORD>(t.f[ymd::kHour]);
  st.wMinute = static_cast<WORD>(t.f[ymd::kMinute]);
  st.wSecond = static_cast<WORD>(t.f[ymd::kSecond]);
  Number(SetLocalTime(&st) ? 1 : 0, out, size);
}

// 63: the rectangle of the next pick list or text box, in thousandths of
// the screen.
void PromptRect(ScriptContext* ctx, const Params& p) {
  for (int i = 0; i < 4; ++i) ctx->promptRect[i] = p.Int(i + 1);
  ctx->promptRectSet = 1;
}

// 70: the window-action delay (p1, returned) and the wait-done delay (p2).
void WindowDelays(ScriptContext* ctx, const Params& p, char* out, size_t size) {
  Switch(&ctx->windowActionDelay, 0, kNoLimit, p.Int(1), out, size);
  if (p.Int(2) >= 0) ctx->waitDoneDelay = p.Int(2);
}

// 77: the run's internal counters: 0 open structures, 1 Call nesting, 2
// user-defined functions defined, 3 bodies running inside one another, 4
// statements executed since the context began.
void InternalInfo(ScriptContext* ctx, const Params& p, char* out, size_t size) {
  switch (p.Int(1)) {
    case 0: return Number(ctx->structDepth, out, size);
    case 1: return Number(ctx->callNesting, out, size);
    case 2: return Number(ctx->udfCount, out, size);
    case 3: return Number(ctx->udfNesting, out, size);
    case 4: return Number(static_cast<int64_t>(ctx->statements), out, size);
    default: return err::Raise(ctx, 1622);
  }
}

// 78: forgets every user-defined function, which only the main script may do.
void DropFunctions(ScriptContext* ctx) {
  if (ctx->udfExecuting != kMainScript || ctx->udfNesting != 0) return err::Raise(ctx, 1665);
  exec::FreeDefinitions(ctx);
}

// A request this library does not know goes to the host's own intcontrol
// function when its table has one; false when it has none.
bool OfferToHost(ScriptContext* ctx, Value* r, Value* args, int argc) {
  static constexpr char kName[] = "intcontrol";
  auto table = static_cast<const FunctionTableEntry*>(ctx->hostTable);
  if (!table || !ctx->hostCallback) return false;
  for (int i = 0; i < kHostFunctions && table[i].nameLen != 0; ++i) {
    const FunctionTableEntry& e = table[i];
    if (e.kind == KIND_FUNCTION && e.nameLen == sizeof kName - 1 &&
        memcmp(e.name, kName, sizeof kName - 1) == 0) {
      ext::CallHost(ctx, kHostIdBase + i, r, args, argc);
      return true;
    }
  }
  return false;
}

// 38: silent mode (p1 0 or 1) and the log file that receives its reports (p2).
void SilentMode(ScriptContext* ctx, const Params& p, char* out, size_t size) {
  if (Switch(&ctx->silentMode, 0, 1, p.Int(1), out, size))
    str::Copy(ctx, ctx->logFile, p.text[2], sizeof ctx->logFile);
}

// 72 and 73: the cancel and the error handler's mode (p1 0..3); p2 of 1 frees
// the additional information; with mode 3, p3 names the handler function.
void HandlerMode(ScriptContext* ctx, bool cancel, const Params& p, char* out, size_t size) {
  int32_t* mode = cancel ? &ctx->cancelHandlerMode : &ctx->errorHandlerMode;
  char* name = cancel ? ctx->cancelHandlerName : ctx->errorHandlerName;
  Switch(mode, kHandlerNone, kHandlerFunction, p.Int(1), out, size);
  if (p.Int(2) == 1) err::FreeErrorInfo(ctx);
  if (p.Int(1) == kHandlerFunction) str::Copy(ctx, name, p.text[3], kVarNameSize + 1);
}

// ---- the file and directory switches (5, 29, 39, 40, 53, 65)

constexpr uint16_t kBadDelimiter = 1407;
constexpr uint16_t kBadShareMode = 1471;
constexpr int32_t kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr int32_t kReadBufferFileSize = -2;

// 5: lists include hidden and system entries (p1 not 0).
void ListHidden(ScriptContext* ctx, const Params& p, char* out, size_t size) {
  Switch(&ctx->listHidden, 0, 1, p.Int(1) != 0 ? 1 : 0, out, size);
}

// 29: the list delimiter, one character; returns the previous one. An empty
// p1 only reads.
void ListDelimiter(ScriptContext* ctx, const Params& p, char* out, size_t size) {
  const char* d = p.text[1];
  if (d[0] && (d[1] || IsDBCSLeadByteEx(ctx->codePage, static_cast<BYTE>(d[0]))))
    return err::Raise(ctx, kBadDelimiter);
  if (size > 1) {
    out[0] = ctx->listDelimiter;
    out[1] = 0;
  }
  if (d[0]) ctx->listDelimiter = d[0];
}

// 39 and 40: FileOpen's share mode for reading and for writing; -1 only reads.
void ShareMode(ScriptContext* ctx, int32_t* field, const Params& p, char* out, size_t size) {
  int32_t mode = p.Int(1);
  if (mode != -1 && (mode < 0 || mode > kShareAll)) return err::Raise(ctx, kBadShareMode);
  Switch(field, 0, kShareAll, mode, out, size);
}

// 65: FileRead's buffer: bytes, 0 unbuffered, -2 the file's size.
void ReadBuffer(ScriptContext* ctx, const Params& p, char* out, size_t size) {
  int32_t n = p.Int(1);
  Switch(&ctx->fileReadBuffer, n == kReadBufferFileSize ? n : 0, INT32_MAX, n, out, size);
}

void IntControl(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  Params p{};
  for (int n = 1; n <= kParams; ++n) p.text[n] = ArgText(ctx, args[n + 1]);
  char out[val::kNumberTextSize] = "1";
  switch (args[1].ival) {
    case kSilentMode: SilentMode(ctx, p, out, sizeof out); break;
    case kCancelHandler:
    case kErrorHandler: HandlerMode(ctx, args[1].ival == kCancelHandler, p, out, sizeof out); break;
    case kExecuteReport: Switch(&ctx->executeReportMode, 0, 2, p.Int(1), out, sizeof out); break;
    case kListHidden: ListHidden(ctx, p, out, sizeof out); break;
    case kListDelimiter: ListDelimiter(ctx, p, out, sizeof out); break;
    case kShareRead: ShareMode(ctx, &ctx->fileShareRead, p, out, sizeof out); break;
    case kShareWrite: ShareMode(ctx, &ctx->fileShareWrite, p, out, sizeof out); break;
    case kLineEnd: Switch(&ctx->fileLineEnd, 0, 4, p.Int(1), out, sizeof out); break;
    case kReadBuffer: ReadBuffer(ctx, p, out, sizeof out); break;
    case kTerminationFlags: TerminationFlags(ctx, p, out, sizeof out); break;
    case kPromptFont: PromptFont(ctx, p, out, sizeof out); break;
    case kMoveAtRestart: MoveAtRestart(ctx, p, out, sizeof out); break;
    case kInputDelays: InputDelays(ctx, p, out, sizeof out); break;
    case kYearWidth: Switch(&ctx->yearFourDigits, 0, 1, p.Int(1), out, sizeof out); break;
    case kKeyWaitIdle: Switch(&ctx->keyWaitIdle, 0, 1, p.Int(1), out, sizeof out); break;
    case kKeyConsole: Switch(&ctx->keyConsole, 0, 1, p.Int(1), out, sizeof out); break;
    case kWindowWaitCount: Switch(&ctx->windowWaitCount, 0, kNoLimit, p.Int(1), out, sizeof out); break;
    case kSupportButton: Switch(&ctx->supportButton, 0, 1, p.Int(1), out, sizeof out); break;
    case kSetLocalTime: SetClock(ctx, p, out, sizeof out); break;
    case kForegroundMode: Switch(&ctx->foregroundMode, -1, 5, p.Int(1), out, sizeof out); break;
    case kPromptForeground: Switch(&ctx->promptForeground, -1, 5, p.Int(1), out, sizeof out); break;
    case kPromptRect: PromptRect(ctx, p); break;
    case kLastExitCode: Number(ctx->lastExitCode, out, sizeof out); break;
    case kWindowDelays: WindowDelays(ctx, p, out, sizeof out); break;
    case kInputIdleWait: Switch(&ctx->inputIdleWait, 0, kNoLimit, p.Int(1), out, sizeof out); break;
    case kInternalInfo: InternalInfo(ctx, p, out, sizeof out); break;
    case kDropFunctions: DropFunctions(ctx); break;
    case kObsoleteArrays: return err::Raise(ctx, 1748);
    case kBatchedInput: Switch(&ctx->batchedInput, 0, 1, p.Int(1), out, sizeof out); break;
    case kListNameCheck: Switch(&ctx->listNameCheck, 0, 2, p.Int(1), out, sizeof out); break;
    default:
      if (!OfferToHost(ctx, r, args, argc)) err::Raise(ctx, kBadRequest);
      return;
  }
  if (ctx->error) return;
  expr::SetText(ctx, r, out);
}

}  // namespace

void RegisterIntControl() { Register("intcontrol", IntControl); }

}  // namespace zel::calls
