// Buffers and files: reading a whole file into a buffer, writing a buffer's
// data to a file, and reading or writing a range of each. Files are opened
// with the share modes FileOpen uses.
#include <windows.h>

#include "binary/buffer.h"
#include "builtins/dispatch.h"
#include "errors/errinfo.h"
#include "values/heap.h"

namespace zel::bin {
namespace {

constexpr uint16_t kOpenFailed = 1077;
constexpr uint16_t kFileTooLarge = 1330;
constexpr uint16_t kOffsetPastFile = 1545;
constexpr uint16_t kCountPastFile = 1546;
constexpr uint16_t kSeekFailed = 1547;
constexpr uint16_t kReadFailed = 1612;
constexpr uint16_t kWriteFailed = 1613;
constexpr uint16_t kReadTooLarge = 1674;

// Closes a file handle when it goes out of scope.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (ok()) CloseHandle(h_);
  }
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

// Opens the file named by a text argument (UTF-16 when the call made it so);
// INVALID_HANDLE_VALUE with 1077 when it cannot be opened.
HANDLE OpenFile(ScriptContext* ctx, const Value& name, DWORD access, DWORD share, DWORD how) {
  HANDLE h;
  if ((name.flags & kFlagUnicode) && name.wstr)
    h = CreateFileW(heap::WideAt(ctx, name.wstr), access, share, nullptr, how, FILE_ATTRIBUTE_NORMAL, nullptr);
  else
    h = CreateFileA(calls::ArgText(ctx, name), access, share, nullptr, how, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) err::Raise(ctx, kOpenFailed);
  return h;
}

// Moves `n` bytes with ReadFile or WriteFile, in pieces the calls accept;
// false unless every byte moved.
template <typename Ptr, typename Io>
bool Transfer(HANDLE f, Ptr p, int64_t n, Io io) {
  while (n > 0) {
    DWORD want = n > 0x40000000 ? 0x40000000 : DWORD(n), done = 0;
    if (!io(f, p, want, &done, nullptr) || done != want) return false;
    p += done;
    n -= done;
  }
  return true;
}
bool ReadAll(HANDLE f, uint8_t* p, int64_t n) { return Transfer(f, p, n, ReadFile); }
bool WriteAll(HANDLE f, const uint8_t* p, int64_t n) { return Transfer(f, p, n, WriteFile); }

bool FileSize(HANDLE f, int64_t* size) {
  LARGE_INTEGER li;
  if (!GetFileSizeEx(f, &li)) return false;
  *size = li.QuadPart;
  return true;
}

bool Seek(ScriptContext* ctx, HANDLE f, int64_t at) {
  LARGE_INTEGER li;
  li.QuadPart = at;
  if (SetFilePointerEx(f, li, nullptr, FILE_BEGIN)) return true;
  err::Raise(ctx, kSeekFailed);
  return false;
}

// BinaryRead(h, file): the whole file from offset 0; sets and returns the EOD.
void Read(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Get(ctx, args[1].ival);
  if (!b) return;
  FileHandle f(OpenFile(ctx, args[2], GENERIC_READ, DWORD(ctx->fileShareRead), OPEN_EXISTING));
  if (!f.ok()) return;
  int64_t size = 0;
  if (!FileSize(f.get(), &size)) return err::Raise(ctx, kReadFailed);
  if (size > b->size) return err::Raise(ctx, kFileTooLarge);
  if (!ReadAll(f.get(), b->data, size)) return err::Raise(ctx, kReadFailed);
  b->eod = static_cast<int32_t>(size);
  r->ival = b->eod;
}

// BinaryWrite(h, file): creates or truncates the file and writes bytes 0 to
// EOD; returns the EOD.
void Write(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Get(ctx, args[1].ival);
  if (!b) return;
  FileHandle f(OpenFile(ctx, args[2], GENERIC_WRITE, DWORD(ctx->fileShareWrite), CREATE_ALWAYS));
  if (!f.ok()) return;
  if (!WriteAll(f.get(), b->data, b->eod)) return err::Raise(ctx, kWriteFailed);
  r->ival = b->eod;
}

// A count of -1 means the rest of the file.
constexpr int32_t kRestOfFile = -1;

// BinaryReadEx(h, offset, file, file offset, count): reads `count` bytes of
// the file at its offset into the buffer; the EOD moves up to their end.
// Returns the bytes read.
void ReadEx(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Get(ctx, args[1].ival);
  int32_t at = args[2].ival, fileAt = args[4].ival, count = args[5].ival;
  if (!b || !CheckOffset(ctx, at) || !CheckOffset(ctx, fileAt)) return;
  if (count < kRestOfFile) return err::Raise(ctx, kBadCount);
  if (at > b->size) return err::Raise(ctx, kOffsetPastSize);
  FileHandle f(OpenFile(ctx, args[3], GENERIC_READ, DWORD(ctx->fileShareRead), OPEN_EXISTING));
  if (!f.ok()) return;
  int64_t size = 0;
  if (!FileSize(f.get(), &size)) return err::Raise(ctx, kReadFailed);
  if (fileAt > size) return err::Raise(ctx, kOffsetPastFile);
  int64_t n = count == kRestOfFile ? size - fileAt : count;
  if (n > INT32_MAX) return err::Raise(ctx, kReadTooLarge);
  if (fileAt + n > size) return err::Raise(ctx, kCountPastFile);
  if (!Within(at, n, b->size)) return err::Raise(ctx, kCountPastSize);
  if (!Seek(ctx, f.get(), fileAt)) return;
  if (!ReadAll(f.get(), b->data + at, n)) return err::Raise(ctx, kReadFailed);
  ExtendEod(b, at + n);
  r->ival = static_cast<int32_t>(n);
}

// BinaryWriteEx(h, offset, file, file offset, count): writes `count` bytes
// of the buffer's data at the file's offset (-1: at its end), creating the
// file when it does not exist. Returns the bytes written.
void WriteEx(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Get(ctx, args[1].ival);
  int32_t at = args[2].ival, fileAt = args[4].ival, count = args[5].ival;
  if (!b || !CheckOffsetCount(ctx, at, count)) return;
  if (fileAt < kRestOfFile) return err::Raise(ctx, kBadOffset);
  if (at > b->eod) return err::Raise(ctx, kOffsetPastEod);
  if (!Within(at, count, b->eod)) return err::Raise(ctx, kCountPastEod);
  FileHandle f(OpenFile(ctx, args[3], GENERIC_WRITE, DWORD(ctx->fileShareWrite), OPEN_ALWAYS));
  if (!f.ok()) return;
  int64_t size = 0;
  if (!FileSize(f.get(), &size)) return err::Raise(ctx, kWriteFailed);
  int64_t where = fileAt == kRestOfFile ? size : fileAt;
  if (where > size) return err::Raise(ctx, kOffsetPastFile);
  if (!Seek(ctx, f.get(), where)) return;
  if (!WriteAll(f.get(), b->data + at, count)) return err::Raise(ctx, kWriteFailed);
  r->ival = count;
}

}  // namespace

void RegisterFiles() {
  calls::Register("binaryread", Read);
  calls::Register("binarywrite", Write);
  calls::Register("binaryreadex", ReadEx);
  calls::Register("binarywriteex", WriteEx);
}

}  // namespace zel::bin
