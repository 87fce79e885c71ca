// Buffers and the clipboard: the data of any clipboard format copied into a
// buffer, and a buffer's data put on the clipboard in a format.
#include <windows.h>

#include <cstring>

#include "binary/buffer.h"
#include "builtins/dispatch.h"
#include "errors/errinfo.h"

namespace zel::bin {
namespace {

constexpr uint16_t kCannotOpen = 1559;
constexpr uint16_t kNotAvailable = 1560;
constexpr uint16_t kCannotGet = 1561;
constexpr uint16_t kCannotAccess = 1562;
constexpr uint16_t kNoRoom = 1563;
constexpr uint16_t kClipMemory = 1564;
constexpr uint16_t kCannotStore = 1565;

// Another program may hold the clipboard for a moment: a few tries.
constexpr int kOpenTries = 10;
constexpr DWORD kOpenPauseMs = 20;

// The window that owns what we put on the clipboard: the host's, or else a
// message-only window of the process (the system refuses data put while the
// clipboard is open for no window).
HWND ClipboardOwner(const ScriptContext* ctx) {
  static HWND own;
  if (ctx->hostWindow) return ctx->hostWindow;
  if (!own || !IsWindow(own))
    own = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  return own;
}

// Opens the clipboard for the scope; 1559 when it stays taken.
class ClipboardLock {
 public:
  explicit ClipboardLock(ScriptContext* ctx) {
    HWND owner = ClipboardOwner(ctx);
    for (int i = 0; i < kOpenTries && !open_; ++i) {
      open_ = OpenClipboard(owner) != 0;
      if (!open_) Sleep(kOpenPauseMs);
    }
    if (!open_) err::Raise(ctx, kCannotOpen);
  }
  ClipboardLock(const ClipboardLock&) = delete;
  ClipboardLock& operator=(const ClipboardLock&) = delete;
  ~ClipboardLock() {
    if (open_) CloseClipboard();
  }
  bool ok() const { return open_; }

 private:
  bool open_ = false;
};

// Bytes of the terminator the text formats carry.
size_t TerminatorBytes(UINT format) {
  return format == CF_UNICODETEXT ? 2 : format == CF_TEXT || format == CF_OEMTEXT ? 1 : 0;
}

// The data length of a clipboard block: text formats end at their
// terminator, other formats fill the block.
size_t DataLength(UINT format, const uint8_t* p, size_t block) {
  if (format == CF_UNICODETEXT) {
    size_t i = 0;
    while (i + 1 < block && (p[i] || p[i + 1])) i += 2;
    return i < block ? i : block;
  }
  if (TerminatorBytes(format)) {
    const void* nul = memchr(p, 0, block);
    return nul ? size_t(static_cast<const uint8_t*>(nul) - p) : block;
  }
  return block;
}

// BinaryClipGet(h, format): the clipboard's data of the format copied to the
// start of the buffer; sets and returns the EOD.
void ClipGet(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Get(ctx, args[1].ival);
  if (!b) return;
  UINT format = UINT(args[2].ival);
  ClipboardLock lock(ctx);
  if (!lock.ok()) return;
  if (!IsClipboardFormatAvailable(format)) return err::Raise(ctx, kNotAvailable);
  HANDLE h = GetClipboardData(format);
  if (!h) return err::Raise(ctx, kCannotGet);
  const uint8_t* p = static_cast<const uint8_t*>(GlobalLock(h));
  if (!p) return err::Raise(ctx, kCannotAccess);
  size_t n = DataLength(format, p, GlobalSize(h));
  if (n > size_t(b->size)) {
    GlobalUnlock(h);
    return err::Raise(ctx, kNoRoom);
  }
  memcpy(b->data, p, n);
  GlobalUnlock(h);
  b->eod = static_cast<int32_t>(n);
  r->ival = b->eod;
}

// BinaryClipPut(h, format): bytes 0 to EOD become the clipboard's only
// content, in the format (text formats get their terminator). Returns 1.
void ClipPut(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Get(ctx, args[1].ival);
  if (!b) return;
  UINT format = UINT(args[2].ival);
  size_t n = size_t(b->eod), bytes = n + TerminatorBytes(format);
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes ? bytes : 1);
  void* p = h ? GlobalLock(h) : nullptr;
  if (!p) {
    if (h) GlobalFree(h);
    return err::Raise(ctx, kClipMemory);
  }
  memcpy(p, b->data, n);
  GlobalUnlock(h);
  ClipboardLock lock(ctx);
  if (!lock.ok()) {
    GlobalFree(h);
    return;
  }
  EmptyClipboard();
  if (!SetClipboardData(format, h)) {
    GlobalFree(h);
    return err::Raise(ctx, kCannotStore);
  }
  r->ival = 1;
}

}  // namespace

void RegisterClipboard() {
  calls::Register("binaryclipget", ClipGet);
  calls::Register("binaryclipput", ClipPut);
}

}  // namespace zel::bin
