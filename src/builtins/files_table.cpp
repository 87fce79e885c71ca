// The file table: FileOpen, FileRead, FileWrite and FileClose over the
// context's 128 slots. Reads go line by line through an optional read-ahead
// buffer; byte files and UTF-16 files (either byte order) share one reader
// over the code unit type.
#include "builtins/files.h"

#include <cstring>

#include "builtins/dispatch.h"
#include "builtins/files_common.h"
#include "builtins/text.h"
#include "errors/errinfo.h"
#include "exec/pump.h"
#include "values/codepage.h"
#include "values/convert.h"
#include "values/heap.h"

namespace zel::calls {
namespace {

using files::Path;

constexpr uint16_t kOpenFailed = 1077;
constexpr uint16_t kLineTooLong = 1591;
constexpr uint16_t kBadMode = 3076;
constexpr uint16_t kTooManyFiles = 3078;
constexpr uint16_t kCloseNotOpen = 3080;
constexpr uint16_t kReadNotOpen = 3082;
constexpr uint16_t kReadNotReading = 3087;
constexpr uint16_t kReadPastEnd = 3088;
constexpr uint16_t kWriteNotOpen = 3085;
constexpr uint16_t kWriteNotWriting = 3089;
constexpr uint16_t kWriteFailed = 3467;

constexpr uint32_t kUnbufferedLine = 1280;         // code units of an unbuffered line, at most
constexpr uint32_t kMaxReadBuffer = 64u << 20;     // bytes of a read buffer, at most
constexpr int32_t kRetryForever = -1;
constexpr int32_t kSpreadTries = 20;               // tries of a timeout below 20 seconds
constexpr char kEndMarker[] = "*EOF*";
constexpr uint16_t kCtrlZ = 26;

int32_t HandleNumber(HANDLE h) { return static_cast<int32_t>(reinterpret_cast<intptr_t>(h)); }

FileSlot* FindSlot(ScriptContext* ctx, int32_t handle) {
  if (handle == 0) return nullptr;
  for (FileSlot& s : ctx->files)
    if (s.file && HandleNumber(s.file) == handle) return &s;
  return nullptr;
}

FileSlot* FreeSlot(ScriptContext* ctx) {
  for (FileSlot& s : ctx->files)
    if (!s.file) return &s;
  return nullptr;
}

void ReleaseSlot(FileSlot* s) {
  if (s->file && s->file != INVALID_HANDLE_VALUE) CloseHandle(s->file);
  if (s->buffer) GlobalFree(s->buffer);
  *s = FileSlot{};
}

// ---- FileOpen

enum OpenMode { kModeRead, kModeWrite, kModeAppend, kModeBad };

OpenMode ModeOf(const char* text) {
  if (lstrcmpiA(text, "READ") == 0) return kModeRead;
  if (lstrcmpiA(text, "WRITE") == 0) return kModeWrite;
  if (lstrcmpiA(text, "APPEND") == 0) return kModeAppend;
  return kModeBad;
}

// Opens with retries on a sharing violation, spaced by the timeout
// (seconds): 0 none, -1 forever once a second, 1..19 twenty tries over that
// time, 20 or more that many tries a second apart.
HANDLE OpenRetrying(ScriptContext* ctx, const wchar_t* name, OpenMode mode, int32_t timeout) {
  DWORD access = mode == kModeRead    ? GENERIC_READ
                 : mode == kModeWrite ? GENERIC_WRITE
                                      : GENERIC_READ | GENERIC_WRITE;
  DWORD share = static_cast<DWORD>(mode == kModeRead ? ctx->fileShareRead : ctx->fileShareWrite);
  DWORD how = mode == kModeRead ? OPEN_EXISTING : mode == kModeWrite ? CREATE_ALWAYS : OPEN_ALWAYS;
  int32_t tries = 1;
  uint32_t wait = 1000;
  if (timeout == kRetryForever) {
    tries = -1;
  } else if (timeout > 0 && timeout < kSpreadTries) {
    tries = kSpreadTries;
    wait = static_cast<uint32_t>(timeout) * 1000 / kSpreadTries;
  } else if (timeout >= kSpreadTries) {
    tries = timeout;
  }
  files::QuietErrors quiet;
  for (int32_t n = 1;; ++n) {
    HANDLE h = CreateFileW(name, access, share, nullptr, how, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) return h;
    DWORD why = GetLastError();
    if (why != ERROR_SHARING_VIOLATION || (tries >= 0 && n >= tries)) return h;
    exec::WaitPumping(ctx, wait);
    if (ctx->stopRequested) {
      SetLastError(why);
      return INVALID_HANDLE_VALUE;
    }
  }
}

// The text form a file's first two bytes announce; the position stays after
// a byte-order mark and goes back to 0 without one.
uint8_t ReadMark(HANDLE h) {
  uint8_t mark[2];
  DWORD got = 0;
  uint8_t form = kFormAnsi;
  if (ReadFile(h, mark, 2, &got, nullptr) && got == 2) {
    if (mark[0] == 0xFF && mark[1] == 0xFE) form = kFormUtf16;
    if (mark[0] == 0xFE && mark[1] == 0xFF) form = kFormUtf16BigEndian;
  }
  if (form == kFormAnsi) SetFilePointer(h, 0, nullptr, FILE_BEGIN);
  return form;
}

// The read buffer's bytes: the setting's size (code units), or the file's
// size and one unit more, so that a file of one line without a line end
// still fits.
uint32_t ReadBufferBytes(ScriptContext* ctx, HANDLE h, uint8_t form) {
  uint32_t unit = form == kFormAnsi ? 1 : 2;
  int64_t bytes;
  if (ctx->fileReadBuffer > 0) {
    bytes = static_cast<int64_t>(ctx->fileReadBuffer) * unit;
  } else {
    LARGE_INTEGER size{};
    GetFileSizeEx(h, &size);
    bytes = size.QuadPart + unit;
  }
  return bytes > kMaxReadBuffer ? kMaxReadBuffer : static_cast<uint32_t>(bytes);
}

// FileOpen(name, mode, wide, timeout): the handle of a newly filled slot.
void FileOpen(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  FileSlot* s = FreeSlot(ctx);
  if (!s) return err::Raise(ctx, kTooManyFiles);
  OpenMode mode = ModeOf(ArgText(ctx, args[2]));
  if (mode == kModeBad) return err::Raise(ctx, kBadMode);
  Path name;
  if (!files::PathArg(ctx, &args[1], &name, kOpenFailed)) return;
  bool wide = argc >= 3 && args[3].ival != 0;
  HANDLE h = OpenRetrying(ctx, name.p, mode, argc >= 4 ? args[4].ival : 0);
  if (h == INVALID_HANDLE_VALUE) return files::RaiseSystem(ctx, kOpenFailed, "CreateFile");
  FileSlot slot{};
  slot.file = h;
  if (mode == kModeRead) {
    slot.state = kFileReading;
    slot.form = ReadMark(h);
    slot.wideResult = wide ? 1 : 0;
    if (ctx->fileReadBuffer != 0) {
      slot.bufferSize = ReadBufferBytes(ctx, h, slot.form);
      slot.buffer = GlobalAlloc(GMEM_MOVEABLE, slot.bufferSize);
      if (!slot.buffer) {
        CloseHandle(h);
        return err::Raise(ctx, 1588);
      }
    }
  } else {
    slot.state = kFileWriting;
    slot.form = wide ? kFormUtf16 : kFormAnsi;
    if (mode == kModeAppend) {
      uint8_t form = ReadMark(h);
      if (form != kFormAnsi) slot.form = form;
      LARGE_INTEGER size{};
      if (GetFileSizeEx(h, &size) && size.QuadPart > 0) slot.state |= kFileWritten;
      SetFilePointer(h, 0, nullptr, FILE_END);
    }
  }
  *s = slot;
  r->ival = HandleNumber(h);
  r->flags = kFlagInt | kFlagFile;
}

// ---- FileRead

// Reads one code unit: 1 got one, 0 the end of the file, -1 a read error.
template <typename Ch>
int NextUnit(FileSlot* s, uint8_t* buffer, Ch* unit) {
  if (!buffer) {
    DWORD got = 0;
    if (!ReadFile(s->file, unit, sizeof(Ch), &got, nullptr)) return -1;
    return got == sizeof(Ch) ? 1 : 0;
  }
  if (s->bufferPos + sizeof(Ch) > s->bufferLen) {
    DWORD got = 0;
    if (!ReadFile(s->file, buffer, s->bufferSize, &got, nullptr)) return -1;
    s->bufferPos = 0;
    s->bufferLen = got;
    if (got < sizeof(Ch)) return 0;
  }
  memcpy(unit, buffer + s->bufferPos, sizeof(Ch));
  s->bufferPos += sizeof(Ch);
  return 1;
}

// A line that grows in process memory.
template <typename Ch>
class LineBuffer {
 public:
  LineBuffer() = default;
  LineBuffer(const LineBuffer&) = delete;
  LineBuffer& operator=(const LineBuffer&) = delete;
  ~LineBuffer() {
    if (p_ != local_) HeapFree(GetProcessHeap(), 0, p_);
  }
  bool Add(Ch c) {
    if (len_ == cap_ && !Grow()) return false;
    p_[len_++] = c;
    return true;
  }
  const Ch* data() const { return p_; }
  size_t size() const { return len_; }

 private:
  bool Grow() {
    size_t cap = cap_ * 2;
    void* p = p_ == local_ ? HeapAlloc(GetProcessHeap(), 0, cap * sizeof(Ch))
                           : HeapReAlloc(GetProcessHeap(), 0, p_, cap * sizeof(Ch));
    if (!p) return false;
    if (p_ == local_) memcpy(p, local_, len_ * sizeof(Ch));
    p_ = static_cast<Ch*>(p);
    cap_ = cap;
    return true;
  }
  Ch local_[kUnbufferedLine];
  Ch* p_ = local_;
  size_t len_ = 0;
  size_t cap_ = kUnbufferedLine;
};

uint16_t Swap(uint16_t u) { return static_cast<uint16_t>((u << 8) | (u >> 8)); }

// Stores the end marker in the width of the file's lines.
bool SetEndMarker(ScriptContext* ctx, Value* r, bool wide) {
  if (!wide) return txt::SetResult<char>(ctx, r, kEndMarker, sizeof kEndMarker - 1);
  wchar_t w[sizeof kEndMarker];
  for (size_t i = 0; i < sizeof kEndMarker; ++i) w[i] = static_cast<wchar_t>(kEndMarker[i]);
  return txt::SetResult<wchar_t>(ctx, r, w, sizeof kEndMarker - 1);
}

bool SetLine(ScriptContext* ctx, Value* r, const char* p, size_t n, bool wide) {
  if (!wide) return txt::SetResult<char>(ctx, r, p, n);
  uint32_t off = n ? cp::StoreWidened(ctx, p, n) : heap::StoreWide(ctx, L"", 0);
  if (!off) {
    if (!ctx->error) err::Raise(ctx, 3096);
    return false;
  }
  r->wstr = off;
  r->flags = kFlagUnicode;
  return true;
}
bool SetLine(ScriptContext* ctx, Value* r, const uint16_t* p, size_t n, bool) {
  return txt::SetResult<wchar_t>(ctx, r, reinterpret_cast<const wchar_t*>(p), n);
}

// Collects the next line: a line feed ends it, carriage returns and NULs are
// dropped, Ctrl+Z or the file's end marks the end of the file.
template <typename Ch>
void ReadLine(ScriptContext* ctx, Value* r, FileSlot* s, uint8_t* buffer) {
  bool wide = sizeof(Ch) == 2 || s->wideResult;
  size_t limit = buffer ? s->bufferSize / sizeof(Ch) : kUnbufferedLine;
  LineBuffer<Ch> line;
  for (;;) {
    Ch c;
    int got = NextUnit(s, buffer, &c);
    if (got < 0) return err::Raise(ctx, kReadPastEnd);
    if constexpr (sizeof(Ch) == 2) {
      if (got && s->form == kFormUtf16BigEndian) c = Swap(c);
    }
    if (got == 0 || c == kCtrlZ) {
      s->state |= kFileEndSeen;
      if (line.size() == 0) {
        s->state |= kFileEndReturned;
        SetEndMarker(ctx, r, wide);
        return;
      }
      break;
    }
    if (c == '\n') break;
    if (c == '\r' || c == 0) continue;
    if (line.size() + 1 >= limit) return err::Raise(ctx, kLineTooLong);
    if (!line.Add(c)) return err::Raise(ctx, 1588);
  }
  SetLine(ctx, r, line.data(), line.size(), wide);
}

// Keeps a slot's read buffer locked for one call.
class BufferLock {
 public:
  explicit BufferLock(HGLOBAL h) : h_(h), p_(h ? static_cast<uint8_t*>(GlobalLock(h)) : nullptr) {}
  ~BufferLock() {
    if (p_) GlobalUnlock(h_);
  }
  BufferLock(const BufferLock&) = delete;
  BufferLock& operator=(const BufferLock&) = delete;
  uint8_t* get() const { return p_; }

 private:
  HGLOBAL h_;
  uint8_t* p_;
};

// FileRead(handle): the next line, or "*EOF*" once the end is reached.
void FileRead(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  FileSlot* s = FindSlot(ctx, args[1].ival);
  if (!s) return err::Raise(ctx, kReadNotOpen);
  if (!(s->state & kFileReading)) return err::Raise(ctx, kReadNotReading);
  if (s->state & kFileEndReturned) return err::Raise(ctx, kReadPastEnd);
  bool wide = s->form != kFormAnsi || s->wideResult;
  if (s->state & kFileEndSeen) {
    s->state |= kFileEndReturned;
    SetEndMarker(ctx, r, wide);
    return;
  }
  BufferLock lock(s->buffer);
  if (s->buffer && !lock.get()) return err::Raise(ctx, 1588);
  if (s->form == kFormAnsi)
    ReadLine<char>(ctx, r, s, lock.get());
  else
    ReadLine<uint16_t>(ctx, r, s, lock.get());
}

// ---- FileWrite

constexpr const char* kLineEnds[] = {"", "\r\n", "\n", "\r", "\t"};

// Writes UTF-16 units in the file's byte order.
bool WriteWide(ScriptContext* ctx, FileSlot* s, const wchar_t* p, size_t n) {
  if (s->form != kFormUtf16BigEndian) return files::WriteAll(s->file, p, n * 2);
  txt::WorkMemory w;
  if (!w.Get(ctx, n * 2)) return false;
  uint16_t* out = w.As<uint16_t>();
  for (size_t i = 0; i < n; ++i) out[i] = Swap(static_cast<uint16_t>(p[i]));
  return files::WriteAll(s->file, out, n * 2);
}

bool WriteText(ScriptContext* ctx, FileSlot* s, Value* text, const char* lineEnd) {
  if (s->form == kFormAnsi) {
    if (!(text->flags & kFlagString) && !val::ToText(ctx, text)) return false;
    const char* p = ArgText(ctx, *text);
    return files::WriteAll(s->file, p, strlen(p)) &&
           files::WriteAll(s->file, lineEnd, strlen(lineEnd));
  }
  if (!(text->flags & kFlagUnicode) && !val::ToUnicode(ctx, text)) return false;
  txt::Text<wchar_t> t = txt::Arg<wchar_t>(ctx, *text);
  wchar_t end[3] = {};
  for (size_t i = 0; lineEnd[i]; ++i) end[i] = static_cast<wchar_t>(lineEnd[i]);
  if (!(s->state & kFileWritten)) {
    wchar_t mark = 0xFEFF;
    if (!WriteWide(ctx, s, &mark, 1)) return false;
    s->state |= kFileWritten;
  }
  return WriteWide(ctx, s, t.p, t.len) && WriteWide(ctx, s, end, wcslen(end));
}

// FileWrite(handle, text): the text and the line end of IntControl 53.
void FileWrite(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  FileSlot* s = FindSlot(ctx, args[1].ival);
  if (!s) return err::Raise(ctx, kWriteNotOpen);
  if (!(s->state & kFileWriting)) return err::Raise(ctx, kWriteNotWriting);
  int32_t e = ctx->fileLineEnd;
  const char* lineEnd = e >= 0 && e <= 4 ? kLineEnds[e] : kLineEnds[1];
  if (!WriteText(ctx, s, &args[2], lineEnd)) {
    if (!ctx->error) files::RaiseSystem(ctx, kWriteFailed, "WriteFile");
    return;
  }
  s->state |= kFileWritten;
  r->ival = 1;
}

// FileClose(handle): closes the file and frees its slot.
void FileClose(ScriptContext* ctx, Value*, Value* args, int, bool, int) {
  FileSlot* s = FindSlot(ctx, args[1].ival);
  if (!s) return err::Raise(ctx, kCloseNotOpen);
  ReleaseSlot(s);
}

}  // namespace

void RegisterFileTable() {
  Register("fileopen", FileOpen);
  Register("fileread", FileRead);
  Register("filewrite", FileWrite);
  Register("fileclose", FileClose);
}

}  // namespace zel::calls
