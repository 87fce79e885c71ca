// Additional information of the current error (detail texts shown after the
// message) and the system-error reporter.
#include "errors/errinfo.h"

#include <cstdio>
#include <cstring>

#include "errors/messages.h"
#include "host/settings.h"

namespace zel::err {
namespace {

constexpr size_t kInfoChars = kErrorInfoSize - 1;  // 1,024 characters and the terminator

// Appends as much of `text` as fits; the block always stays terminated.
void AppendBounded(char* block, const char* text) {
  size_t have = strlen(block);
  size_t room = kInfoChars > have ? kInfoChars - have : 0;
  size_t n = strlen(text);
  if (n > room) n = room;
  memcpy(block + have, text, n);
  block[have + n] = 0;
}

}  // namespace

void AddErrorInfo(ScriptContext* ctx, const char* text) {
  if (!text) return;
  bool fresh = false;
  if (!ctx->errorInfo) {
    ctx->errorInfo = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kErrorInfoSize);
    if (!ctx->errorInfo) return;
    fresh = true;
  }
  char* block = static_cast<char*>(GlobalLock(ctx->errorInfo));
  if (!block) return;
  if (!fresh) {
    static const char kSeparator[] =
        "\n\n----------------------------------------\n\xA0\n";
    AppendBounded(block, kSeparator);
  }
  AppendBounded(block, text);
  GlobalUnlock(ctx->errorInfo);
}

size_t CopyErrorInfo(ScriptContext* ctx, char* buf, size_t size) {
  if (!size) return 0;
  buf[0] = 0;
  if (!ctx->errorInfo) return 0;
  const char* p = static_cast<const char*>(GlobalLock(ctx->errorInfo));
  if (!p) return 0;
  size_t n = strlen(p);
  if (n >= size) n = size - 1;
  memcpy(buf, p, n);
  buf[n] = 0;
  GlobalUnlock(ctx->errorInfo);
  return n;
}

void RaiseWithDetail(ScriptContext* ctx, uint16_t number, uint32_t detail) {
  Raise(ctx, number);
  char text[kWorkBuf];
  if (msg::Load(ctx, detail, text, sizeof text)) AddErrorInfo(ctx, text);
}

void FreeErrorInfo(ScriptContext* ctx) {
  if (!ctx->errorInfo) return;
  GlobalFree(ctx->errorInfo);
  ctx->errorInfo = nullptr;
}

void RecordSystemError(ScriptContext* ctx, long code, const char* call, bool attach) {
  char text[300];
  snprintf(text, sizeof text, "%ld (%s)", code, call ? call : "");
  settings::WriteIni("ZLDEN44I", "LastError", text);
  if (attach) {
    snprintf(text, sizeof text, "%s error:\n\n    %ld", call ? call : "", code);
    AddErrorInfo(ctx, text);
  }
}

}  // namespace zel::err
