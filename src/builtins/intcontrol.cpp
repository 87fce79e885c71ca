// IntControl: the numbered run-time switches of the context. Every request
// returns a text; a switch returns its previous value and takes the new one
// only when it lies in the switch's range.
#include "builtins/intcontrol.h"

#include "builtins/dispatch.h"
#include "errors/errinfo.h"
#include "expr/eval.h"
#include "values/convert.h"
#include "values/strutil.h"

namespace zel::calls {
namespace {

constexpr uint16_t kBadRequest = 3171;
constexpr int kParams = 4;  // p1..p4 follow the request number

// Request numbers.
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

void IntControl(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
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
    default: return err::Raise(ctx, kBadRequest);
  }
  expr::SetText(ctx, r, out);
}

}  // namespace

void RegisterIntControl() { Register("intcontrol", IntControl); }

}  // namespace zel::calls
