// File times in the YmdHms form, local time: FileTimeGet, FileYmdHms,
// FileTimeGetEx, FileTimeSet, FileTimeSetEx, FileTimeTouch, and the
// comparable number FileTimeCode.
#include <cwchar>

#include "builtins/dispatch.h"
#include "builtins/files.h"
#include "builtins/files_common.h"
#include "builtins/ymdhms.h"
#include "errors/errinfo.h"
#include "expr/eval.h"

namespace zel::calls {
namespace {

using files::Path;

constexpr uint16_t kTimeNotFound = 1015;
constexpr uint16_t kBadTime = 1020;

// Which time of a file: 1 created, 2 last written, 3 last accessed.
enum Which { kCreated = 1, kWritten = 2, kAccessed = 3 };

bool ValidWhich(int32_t w) { return w >= kCreated && w <= kAccessed; }

bool ReadTime(const wchar_t* name, Which which, FILETIME* out) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!*name || !GetFileAttributesExW(name, GetFileExInfoStandard, &d)) return false;
  *out = which == kCreated ? d.ftCreationTime : which == kWritten ? d.ftLastWriteTime
                                                                  : d.ftLastAccessTime;
  return true;
}

// Writes one of the times of every file a mask matches (or of one file or
// directory); false when there is none or one cannot be written.
bool WriteTimes(const wchar_t* mask, Which which, const FILETIME& t) {
  files::WideList names;
  if (files::HasWildcards(mask)) {
    if (!files::ListMatches(mask, files::kFindFiles, true, &names)) return false;
  } else if (files::Attributes(mask) != INVALID_FILE_ATTRIBUTES) {
    names.Add(mask, wcslen(mask) + 1);
  }
  bool ok = names.size() > 0;
  files::ForEachName(names, [&](const wchar_t* name) {
    HANDLE h = ok ? CreateFileW(name, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)
                  : INVALID_HANDLE_VALUE;
    ok = h != INVALID_HANDLE_VALUE &&
         SetFileTime(h, which == kCreated ? &t : nullptr, which == kAccessed ? &t : nullptr,
                     which == kWritten ? &t : nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  });
  return ok;
}

void SetYmdResult(ScriptContext* ctx, Value* r, const FILETIME& t) {
  char text[32];
  if (!files::FormatFileTime(ctx, t, text)) return err::Raise(ctx, kBadTime);
  expr::SetText(ctx, r, text);
}

bool ParseTime(ScriptContext* ctx, const char* text, FILETIME* out) {
  ymd::Ymd y;
  SYSTEMTIME s{};
  FILETIME local;
  if (!ymd::Parse(text, &y, ymd::kFull, true) || y.f[ymd::kYear] < 1601 ||
      y.f[ymd::kYear] > 30827) {
    err::Raise(ctx, kBadTime);
    return false;
  }
  s.wYear = static_cast<WORD>(y.f[ymd::kYear]);
  s.wMonth = static_cast<WORD>(y.f[ymd::kMonth]);
  s.wDay = static_cast<WORD>(y.f[ymd::kDay]);
  s.wHour = static_cast<WORD>(y.f[ymd::kHour]);
  s.wMinute = static_cast<WORD>(y.f[ymd::kMinute]);
  s.wSecond = static_cast<WORD>(y.f[ymd::kSecond]);
  if (!SystemTimeToFileTime(&s, &local) || !LocalFileTimeToFileTime(&local, out)) {
    err::Raise(ctx, kBadTime);
    return false;
  }
  return true;
}

void GetBody(ScriptContext* ctx, Value* r, Value* args, int32_t which) {
  Path name;
  if (!files::PathArg(ctx, &args[1], &name, files::kNameOverrun)) return;
  if (!ValidWhich(which)) return err::Raise(ctx, files::kBadRequest);
  FILETIME t;
  if (!ReadTime(name.p, static_cast<Which>(which), &t)) return err::Raise(ctx, kTimeNotFound);
  SetYmdResult(ctx, r, t);
}

// FileTimeGet(file), FileYmdHms(file): the last-write time.
void FileTimeGet(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  GetBody(ctx, r, args, kWritten);
}

// FileTimeGetEx(file, which).
void FileTimeGetEx(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  GetBody(ctx, r, args, args[2].ival);
}

void SetBody(ScriptContext* ctx, Value* r, Value* args, int32_t which, const FILETIME* given) {
  Path name;
  if (!files::PathArg(ctx, &args[1], &name, files::kNameOverrun)) return;
  if (!ValidWhich(which)) return err::Raise(ctx, files::kBadRequest);
  FILETIME t;
  if (given)
    t = *given;
  else if (!ParseTime(ctx, ArgText(ctx, args[2]), &t))
    return;
  files::QuietErrors quiet;
  if (!WriteTimes(name.p, static_cast<Which>(which), t)) return err::Raise(ctx, kTimeNotFound);
  r->ival = 1;
}

// FileTimeSet(files, ymdhms): sets the last-write time.
void FileTimeSet(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  SetBody(ctx, r, args, kWritten, nullptr);
}

// FileTimeSetEx(files, ymdhms, which).
void FileTimeSetEx(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  SetBody(ctx, r, args, args[3].ival, nullptr);
}

// FileTimeTouch(files): the last-write time becomes now.
void FileTimeTouch(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  SetBody(ctx, r, args, kWritten, &now);
}

// FileTimeCode(file): the last-write time as one number that grows with the
// time (date in the high word, time of day in two-second steps in the low),
// for comparing files.
void FileTimeCode(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path name;
  if (!files::PathArg(ctx, &args[1], &name, files::kNameOverrun)) return;
  FILETIME t, local;
  WORD date = 0, time = 0;
  if (!ReadTime(name.p, kWritten, &t)) return err::Raise(ctx, kTimeNotFound);
  if (!FileTimeToLocalFileTime(&t, &local) || !FileTimeToDosDateTime(&local, &date, &time))
    return err::Raise(ctx, kBadTime);
  r->ival = static_cast<int32_t>((static_cast<uint32_t>(date) << 16) | time);
}

}  // namespace

void RegisterFileTimes() {
  Register("filetimeget", FileTimeGet);
  Register("fileymdhms", FileTimeGet);
  Register("filetimegetex", FileTimeGetEx);
  Register("filetimeset", FileTimeSet);
  Register("filetimesetex", FileTimeSetEx);
  Register("filetimetouch", FileTimeTouch);
  Register("filetimecode", FileTimeCode);
}

}  // namespace zel::calls
