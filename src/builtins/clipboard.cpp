// Clipboard text functions: the clipboard opened patiently while another
// program holds it, the text format that fits the request, and conversions
// between ANSI, OEM and UTF-16 text.
#include "builtins/clipboard.h"

#include <climits>
#include <cstring>
#include <cwchar>

#include "builtins/dispatch.h"
#include "builtins/functable.h"
#include "builtins/text.h"
#include "errors/errinfo.h"
#include "exec/pump.h"

namespace zel::calls {
namespace {

constexpr uint16_t kClipboardBusy = 1034;
constexpr uint16_t kNoSuitableText = 1035;
constexpr uint16_t kNoClipboardMemory = 1037;
constexpr uint16_t kBadFormat = 1535;
constexpr uint16_t kNoHeap = 3096;

constexpr int kOpenAttempts = 30;        // one a second while another program holds it
constexpr uint32_t kRetryPauseMs = 1000;

// ---- formats

bool IsNarrow(UINT f) { return f == CF_TEXT || f == CF_OEMTEXT; }
bool IsAnsiOrWide(UINT f) { return f == CF_TEXT || f == CF_UNICODETEXT; }
bool IsText(UINT f) { return IsNarrow(f) || f == CF_UNICODETEXT; }
size_t UnitBytes(UINT f) { return f == CF_UNICODETEXT ? sizeof(wchar_t) : 1; }

// The code page of a narrow format: the run's, except that OEM text uses the
// system's OEM code page while the run keeps the system default.
UINT PageOf(const ScriptContext* ctx, UINT format) {
  return format == CF_OEMTEXT && ctx->codePage == CP_ACP ? CP_OEMCP : ctx->codePage;
}

// The first format on the open clipboard, in its own order, that `accept`
// takes; 0 when there is none.
UINT FirstFormat(bool (*accept)(UINT)) {
  for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f))
    if (accept(f)) return f;
  return 0;
}

// ---- the open clipboard

// Opened for the host's window and closed when the object goes. While
// another program holds it, waits a second with messages pumped and tries
// again, up to 30 attempts; a stopped run or the last failure is 1034.
class Clipboard {
 public:
  Clipboard() = default;
  Clipboard(const Clipboard&) = delete;
  Clipboard& operator=(const Clipboard&) = delete;
  ~Clipboard() {
    if (open_) CloseClipboard();
  }

  bool Open(ScriptContext* ctx) {
    HWND owner = ctx->hostWindow && IsWindow(ctx->hostWindow) ? ctx->hostWindow : nullptr;
    for (int attempt = 1; !ctx->stopRequested; ++attempt) {
      if (OpenClipboard(owner)) return open_ = true;
      if (attempt == kOpenAttempts) break;
      exec::WaitPumping(ctx, kRetryPauseMs);
    }
    err::Raise(ctx, kClipboardBusy);
    return false;
  }

 private:
  bool open_ = false;
};

// Code units of a text in one format (bytes of narrow text, UTF-16 units).
struct Units {
  const void* p;
  size_t n;
};

// The text the open clipboard holds in one format, locked while the object
// lives; its length stops at the terminator or the end of the block.
class HeldText {
 public:
  HeldText() = default;
  HeldText(const HeldText&) = delete;
  HeldText& operator=(const HeldText&) = delete;
  ~HeldText() { Release(); }

  bool Lock(UINT format) {
    h_ = GetClipboardData(format);
    void* p = h_ ? GlobalLock(h_) : nullptr;
    if (!p) return false;
    size_t bytes = GlobalSize(h_);
    text_.p = p;
    text_.n = format == CF_UNICODETEXT
                  ? wcsnlen(static_cast<const wchar_t*>(p), bytes / sizeof(wchar_t))
                  : strnlen(static_cast<const char*>(p), bytes);
    return true;
  }
  void Release() {
    if (text_.p) GlobalUnlock(h_);
    text_ = Units{nullptr, 0};
  }
  Units text() const { return text_; }

 private:
  HANDLE h_ = nullptr;
  Units text_{nullptr, 0};
};

// ---- conversion

// Widens or narrows `t` with the code page; the result goes to `w`. False
// without memory (1588 set).
bool Widen(ScriptContext* ctx, UINT page, Units t, txt::WorkMemory* w, Units* out) {
  const char* p = static_cast<const char*>(t.p);
  int n = t.n ? MultiByteToWideChar(page, 0, p, static_cast<int>(t.n), nullptr, 0) : 0;
  if (n < 0) n = 0;
  if (!w->Get(ctx, (static_cast<size_t>(n) + 1) * sizeof(wchar_t))) return false;
  if (n) n = MultiByteToWideChar(page, 0, p, static_cast<int>(t.n), w->As<wchar_t>(), n);
  *out = Units{w->As<wchar_t>(), n > 0 ? static_cast<size_t>(n) : 0};
  return true;
}

bool Narrow(ScriptContext* ctx, UINT page, Units t, txt::WorkMemory* w, Units* out) {
  const wchar_t* p = static_cast<const wchar_t*>(t.p);
  int n = t.n ? WideCharToMultiByte(page, 0, p, static_cast<int>(t.n), nullptr, 0, nullptr, nullptr) : 0;
  if (n < 0) n = 0;
  if (!w->Get(ctx, static_cast<size_t>(n) + 1)) return false;
  if (n) n = WideCharToMultiByte(page, 0, p, static_cast<int>(t.n), w->As<char>(), n, nullptr, nullptr);
  *out = Units{w->As<char>(), n > 0 ? static_cast<size_t>(n) : 0};
  return true;
}

// `t`, text of format `from`, as text of format `to`: `t` itself when the
// two agree, else converted into `w`. Text the code page cannot convert
// comes out empty. False when the text is too long or there is no memory.
bool Convert(ScriptContext* ctx, UINT from, Units t, UINT to, txt::WorkMemory* w, Units* out) {
  if (from == to || (IsNarrow(from) && IsNarrow(to) && PageOf(ctx, from) == PageOf(ctx, to))) {
    *out = t;
    return true;
  }
  if (t.n > INT_MAX / 4) return false;
  if (to == CF_UNICODETEXT) return Widen(ctx, PageOf(ctx, from), t, w, out);
  if (from == CF_UNICODETEXT) return Narrow(ctx, PageOf(ctx, to), t, w, out);
  txt::WorkMemory wide;  // between the ANSI and the OEM code page
  Units mid;
  return Widen(ctx, PageOf(ctx, from), t, &wide, &mid) && Narrow(ctx, PageOf(ctx, to), mid, w, out);
}

// ---- reading

bool SetText(ScriptContext* ctx, Value* r, UINT format, Units t) {
  return format == CF_UNICODETEXT
             ? txt::SetResult<wchar_t>(ctx, r, static_cast<const wchar_t*>(t.p), t.n)
             : txt::SetResult<char>(ctx, r, static_cast<const char*>(t.p), t.n);
}

// The clipboard's text in format `want` (0: the first of ANSI and UTF-16
// text on the clipboard).
void ReadText(ScriptContext* ctx, Value* r, UINT want) {
  Clipboard cb;
  if (!cb.Open(ctx)) return;
  if (!want) want = FirstFormat(IsAnsiOrWide);
  if (!want) want = CF_TEXT;
  if (CountClipboardFormats() == 0) return (void)SetText(ctx, r, want, Units{"\0", 0});
  UINT have = want;
  if (!IsClipboardFormatAvailable(want))
    have = want == CF_UNICODETEXT                         ? FirstFormat(IsNarrow)
           : IsClipboardFormatAvailable(CF_UNICODETEXT) ? CF_UNICODETEXT
                                                          : 0;
  HeldText held;
  if (!have || !held.Lock(have)) return err::Raise(ctx, kNoSuitableText);
  txt::WorkMemory w;
  Units t;
  if (!Convert(ctx, have, held.text(), want, &w, &t)) return err::Raise(ctx, kNoHeap);
  SetText(ctx, r, want, t);
}

// ClipGet(): the text in the first text format found on the clipboard.
void ClipGet(ScriptContext* ctx, Value* r, Value*, int, bool, int) { ReadText(ctx, r, 0); }

// ClipGetEx(format): the text as ANSI (1), OEM (7) or UTF-16 (13) text.
void ClipGetEx(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  UINT format = static_cast<UINT>(args[1].ival);
  if (!IsText(format)) return err::Raise(ctx, kBadFormat);
  ReadText(ctx, r, format);
}

// ---- writing

// ClipPut(text) and ClipAppend(text): the clipboard then holds the text
// alone, or its own text followed by this one in its own format. The new
// block is complete before the clipboard is emptied, so a failure leaves the
// previous content alone.
void WriteText(ScriptContext* ctx, Value* r, Value* args, int, bool wide, int id) {
  UINT argFormat = wide ? CF_UNICODETEXT : CF_TEXT;
  Units arg{nullptr, 0};
  if (wide) {
    txt::Text<wchar_t> t = txt::Arg<wchar_t>(ctx, args[1]);
    arg = Units{t.p, t.len};
  } else {
    txt::Text<char> t = txt::Arg<char>(ctx, args[1]);
    arg = Units{t.p, t.len};
  }
  Clipboard cb;
  if (!cb.Open(ctx)) return;
  UINT target = argFormat;
  HeldText held;
  if (id == kIdClipAppend) {
    UINT f = FirstFormat(IsText);
    if (f && held.Lock(f)) target = f;
  }
  txt::WorkMemory w;
  Units add;
  if (!Convert(ctx, argFormat, arg, target, &w, &add)) return err::Raise(ctx, kNoClipboardMemory);
  Units old = held.text();
  size_t unit = UnitBytes(target);
  size_t units = old.n + add.n + 1;
  HGLOBAL block = units < SIZE_MAX / unit ? GlobalAlloc(GMEM_MOVEABLE, units * unit) : nullptr;
  char* p = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
  if (!p) {
    if (block) GlobalFree(block);
    return err::Raise(ctx, kNoClipboardMemory);
  }
  if (old.n) memcpy(p, old.p, old.n * unit);
  if (add.n) memcpy(p + old.n * unit, add.p, add.n * unit);
  memset(p + (units - 1) * unit, 0, unit);
  GlobalUnlock(block);
  held.Release();
  EmptyClipboard();
  if (!SetClipboardData(target, block)) {
    GlobalFree(block);
    return err::Raise(ctx, kNoClipboardMemory);
  }
  r->ival = 1;
}

// ClipHasFormat(format): 1 when the clipboard holds that format.
void ClipHasFormat(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Clipboard cb;
  if (cb.Open(ctx)) r->ival = IsClipboardFormatAvailable(static_cast<UINT>(args[1].ival)) ? 1 : 0;
}

}  // namespace

void RegisterClipboard() {
  Register("clipget", ClipGet);
  Register("clipgetex", ClipGetEx);
  Register("clipput", WriteText);
  Register("clipappend", WriteText);
  Register("cliphasformat", ClipHasFormat);
}

}  // namespace zel::calls
