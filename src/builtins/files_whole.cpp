// Whole files as one text: FileGet and FilePut (ANSI bytes), FileGetW and
// FilePutW (UTF-16 with its byte-order mark).
#include <cstring>

#include "builtins/dispatch.h"
#include "builtins/files.h"
#include "builtins/files_common.h"
#include "builtins/text.h"
#include "errors/errinfo.h"

namespace zel::calls {
namespace {

using files::Path;

constexpr uint16_t kOpenError = 1800;
constexpr uint16_t kReadError = 1801;
constexpr uint16_t kWriteError = 1802;

// An open file handle, closed when it goes.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return h_; }
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

// Opens the file of argument 1 for reading and learns its size.
bool OpenForReading(ScriptContext* ctx, Value* arg, HANDLE* h, uint64_t* size) {
  Path name;
  if (!files::PathArg(ctx, arg, &name, kOpenError)) return false;
  files::QuietErrors quiet;
  *h = CreateFileW(name.p, GENERIC_READ, static_cast<DWORD>(ctx->fileShareRead), nullptr,
                   OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER n{};
  if (*h == INVALID_HANDLE_VALUE || !GetFileSizeEx(*h, &n)) {
    files::RaiseSystem(ctx, kOpenError, "CreateFile");
    return false;
  }
  *size = static_cast<uint64_t>(n.QuadPart);
  return true;
}

// FileGet(file): the file's bytes as ANSI text; NUL bytes become blanks.
void FileGet(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  HANDLE raw;
  uint64_t size;
  if (!OpenForReading(ctx, &args[1], &raw, &size)) return;
  FileHandle h(raw);
  char* p = size < txt::kMaxResultUnits ? txt::NewResult<char>(ctx, r, size) : nullptr;
  if (!p) return err::Raise(ctx, 3096);
  if (!files::ReadAll(h.get(), p, size)) return files::RaiseSystem(ctx, kReadError, "ReadFile");
  for (uint64_t i = 0; i < size; ++i)
    if (p[i] == 0) p[i] = ' ';
}

// FileGetW(file): the file as UTF-16 text. A byte-order mark is dropped (a
// big-endian file is turned around); without one the bytes are taken as
// UTF-16 little-endian.
void FileGetW(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  HANDLE raw;
  uint64_t size;
  if (!OpenForReading(ctx, &args[1], &raw, &size)) return;
  FileHandle h(raw);
  uint8_t mark[2] = {};
  bool big = false;
  if (size >= 2) {
    if (!files::ReadAll(h.get(), mark, 2)) return files::RaiseSystem(ctx, kReadError, "ReadFile");
    big = mark[0] == 0xFE && mark[1] == 0xFF;
    if ((mark[0] == 0xFF && mark[1] == 0xFE) || big)
      size -= 2;
    else
      SetFilePointer(h.get(), 0, nullptr, FILE_BEGIN);
  }
  uint64_t units = size / 2;
  wchar_t* p = units < txt::kMaxResultUnits ? txt::NewResult<wchar_t>(ctx, r, units) : nullptr;
  if (!p) return err::Raise(ctx, 3096);
  if (!files::ReadAll(h.get(), p, units * 2))
    return files::RaiseSystem(ctx, kReadError, "ReadFile");
  for (uint64_t i = 0; i < units; ++i) {
    if (big) p[i] = static_cast<wchar_t>((p[i] << 8) | (p[i] >> 8));
    if (p[i] == 0) p[i] = ' ';
  }
}

// Creates or replaces the file and writes `n` bytes after `mark` bytes of
// `prefix`; the result is the count of bytes written.
void PutBody(ScriptContext* ctx, Value* r, Value* file, const void* prefix, size_t mark,
             const void* p, size_t n) {
  Path name;
  if (!files::PathArg(ctx, file, &name, kOpenError)) return;
  files::QuietErrors quiet;
  FileHandle h(CreateFileW(name.p, GENERIC_WRITE, static_cast<DWORD>(ctx->fileShareWrite), nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.ok()) return files::RaiseSystem(ctx, kOpenError, "CreateFile");
  if (!files::WriteAll(h.get(), prefix, mark) || !files::WriteAll(h.get(), p, n))
    return files::RaiseSystem(ctx, kWriteError, "WriteFile");
  files::SetSizeResult(r, static_cast<int64_t>(mark + n));
}

// FilePut(file, text): writes the ANSI text as it is.
void FilePut(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  const char* text = ArgText(ctx, args[2]);
  PutBody(ctx, r, &args[1], "", 0, text, strlen(text));
}

// FilePutW(file, text): writes the byte-order mark FF FE and the UTF-16 text.
void FilePutW(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  txt::Text<wchar_t> t = txt::Arg<wchar_t>(ctx, args[2]);
  static const uint8_t kMark[2] = {0xFF, 0xFE};
  PutBody(ctx, r, &args[1], kMark, sizeof kMark, t.p, t.len * sizeof(wchar_t));
}

}  // namespace

void RegisterFileWhole() {
  Register("fileget", FileGet);
  Register("filegetw", FileGetW);
  Register("fileput", FilePut);
  Register("fileputw", FilePutW);
}

}  // namespace zel::calls
