// Copying, moving, appending and renaming files: FileCopy, FileMove,
// FileAppend, FileCopyAttr, FileMoveAttr and FileRename. A source may hold wildcards; each match
// goes to the name the target pattern forms from it, after the overwrite
// decision and the free-space check.
#include <cwchar>

#include "builtins/dispatch.h"
#include "builtins/files.h"
#include "builtins/files_common.h"
#include "builtins/files_warn.h"
#include "errors/errinfo.h"

namespace zel::calls {
namespace {

using files::Path;

enum Operation { kCopy, kMove, kAppend, kRename };

// The numbers each operation raises.
struct OperationErrors {
  uint16_t fromFailed;  // the source cannot be found or opened
  uint16_t noSpace;     // the target's drive lacks the room
  uint16_t failed;      // the copy itself failed
  const char* call;     // the system call recorded with `failed`
};
constexpr OperationErrors kErrors[] = {
    {1009, 1404, 1008, "CopyFile"},
    {1004, 1405, 1003, "MoveFile"},
    {1012, 1406, 1014, "WriteFile"},
    {1005, 0, 1006, "MoveFile"},
};

constexpr uint16_t kBackgroundWarning = 3473;
constexpr uint16_t kSameFile = 2118;
constexpr uint16_t kAppendWildTarget = 2122;
constexpr DWORD kAppendChunk = 28672;  // bytes FileAppend moves at a time

// ---- target names

// The target of one source file: into a folder, through a wildcard
// pattern, or the target name itself.
bool FormTarget(const Path& target, const wchar_t* name, Path* out) {
  size_t start = files::NameStart(target.p, target.len);
  bool folder = start == target.len || files::IsDirectory(files::Attributes(target.p));
  if (!folder && !files::HasWildcards(target.p + start))
    return files::SetPath(out, target.p, target.len);
  if (!files::SetPath(out, target.p, folder ? target.len : start)) return false;
  if (folder && out->len > 0 && out->p[out->len - 1] != '\\' && out->p[out->len - 1] != '/' &&
      out->p[out->len - 1] != ':' && !files::AppendPath(out, L"\\"))
    return false;
  if (folder) return files::AppendPath(out, name);
  files::ApplyPattern(target.p + start, name, out);
  return out->len + 1 < files::kPathUnits;
}

// ---- the overwrite decision

// Whether the source counts as newer: a later last-write second, or the same
// second and a later or equal fraction when both files keep fractions.
bool SourceIsNewer(const WIN32_FILE_ATTRIBUTE_DATA& s, const WIN32_FILE_ATTRIBUTE_DATA& t) {
  auto ticks = [](const FILETIME& f) {
    return (static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
  };
  constexpr uint64_t kSecond = 10000000;
  uint64_t a = ticks(s.ftLastWriteTime), b = ticks(t.ftLastWriteTime);
  if (a / kSecond != b / kSecond) return a / kSecond > b / kSecond;
  if (a % kSecond == 0 || b % kSecond == 0) return true;
  return a % kSecond >= b % kSecond;
}

enum Decision { kGo, kLeave, kStop };

Decision Decide(ScriptContext* ctx, const wchar_t* source, const wchar_t* target) {
  uint32_t& answer = ctx->overwriteAnswer;
  if (answer == files::kOverwriteAll) return kGo;
  if (answer == files::kCancelAll) return kStop;
  WIN32_FILE_ATTRIBUTE_DATA s, t;
  if (!GetFileAttributesExW(target, GetFileExInfoStandard, &t)) return kGo;
  if (!GetFileAttributesExW(source, GetFileExInfoStandard, &s)) return kGo;  // reported by the copy
  bool newer = SourceIsNewer(s, t);
  if (answer != files::kUseNewerAll && answer != files::kUseOlderAll)
    answer = files::AskOverwrite(ctx, target, source);
  switch (answer) {
    case files::kOverwrite:
    case files::kOverwriteAll: return kGo;
    case files::kUseNewer:
    case files::kUseNewerAll: return newer ? kGo : kLeave;
    case files::kUseOlder:
    case files::kUseOlderAll: return newer ? kLeave : kGo;
    case files::kSkip: return kLeave;
    default: return kStop;
  }
}

// ---- room on the target's drive

// The root whose free space counts: "X:\" for a drive, the share of a UNC name.
bool DriveRoot(const wchar_t* target, Path* root) {
  wchar_t full[files::kPathUnits];
  DWORD n = GetFullPathNameW(target, files::kPathUnits, full, nullptr);
  if (n == 0 || n >= files::kPathUnits) return false;
  if (n >= 2 && full[1] == ':') {
    wchar_t r[4] = {static_cast<wchar_t>(towupper(full[0])), ':', '\\', 0};
    return files::SetPath(root, r, 3);
  }
  if (full[0] != '\\' || full[1] != '\\') return false;
  size_t i = 2, parts = 0;
  for (; i < n && parts < 2; ++i)
    if (full[i] == '\\') ++parts;
  if (!files::SetPath(root, full, i)) return false;
  if (parts < 2) return files::AppendPath(root, L"\\");
  return true;
}

bool EnoughRoom(const wchar_t* source, const wchar_t* target, bool whole) {
  int64_t need = files::SizeOf(source);
  int64_t have = files::SizeOf(target);
  if (!whole && have > 0) need -= have;
  if (need <= 0) return true;
  Path root;
  ULARGE_INTEGER avail;
  files::QuietErrors quiet;
  if (!DriveRoot(target, &root) || !GetDiskFreeSpaceExW(root.p, &avail, nullptr, nullptr))
    return true;  // nothing to measure: the copy itself will tell
  return avail.QuadPart >= static_cast<uint64_t>(need);
}

// ---- the operations

bool AppendFile(ScriptContext* ctx, const wchar_t* source, const wchar_t* target) {
  files::QuietErrors quiet;
  HANDLE in =
      CreateFileW(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (in == INVALID_HANDLE_VALUE) {
    files::RaiseSystem(ctx, kErrors[kAppend].fromFailed, "CreateFile");
    return false;
  }
  HANDLE out =
      CreateFileW(target, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = out != INVALID_HANDLE_VALUE &&
            SetFilePointer(out, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER;
  static uint8_t spare[kWorkBuf];  // when no copy buffer can be had
  HGLOBAL h = GlobalAlloc(GMEM_FIXED, kAppendChunk);
  uint8_t* buf = h ? static_cast<uint8_t*>(h) : spare;
  DWORD size = h ? kAppendChunk : sizeof spare;
  while (ok) {
    DWORD got = 0, put = 0;
    ok = ReadFile(in, buf, size, &got, nullptr) != 0;
    if (!ok || got == 0) break;
    ok = WriteFile(out, buf, got, &put, nullptr) && put == got;
  }
  if (!ok) files::RaiseSystem(ctx, kErrors[kAppend].failed, "WriteFile");
  if (h) GlobalFree(h);
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  CloseHandle(in);
  return ok;
}

enum Outcome { kFailed, kLeft, kDone };

Outcome ProcessOne(ScriptContext* ctx, Operation op, const wchar_t* source, const wchar_t* target) {
  const OperationErrors& e = kErrors[op];
  if (!files::IsFile(files::Attributes(source))) {
    err::Raise(ctx, e.fromFailed);
    return kFailed;
  }
  wchar_t a[files::kPathUnits], b[files::kPathUnits];
  DWORD na = GetFullPathNameW(source, files::kPathUnits, a, nullptr);
  DWORD nb = GetFullPathNameW(target, files::kPathUnits, b, nullptr);
  if (na && nb && na < files::kPathUnits && nb < files::kPathUnits && lstrcmpiW(a, b) == 0) {
    err::Raise(ctx, kSameFile);
    return kFailed;
  }
  if (op == kCopy || op == kMove) {
    Decision d = Decide(ctx, source, target);
    if (d == kStop) {
      err::Raise(ctx, err::kCancel);
      return kFailed;
    }
    if (d == kLeave) return kLeft;
  }
  if (op != kRename && !EnoughRoom(source, target, op == kAppend)) {
    err::Raise(ctx, e.noSpace);
    return kFailed;
  }
  files::QuietErrors quiet;
  bool ok;
  switch (op) {
    case kCopy: ok = CopyFileW(source, target, FALSE) != 0; break;
    case kMove:
      if (files::IsFile(files::Attributes(target))) DeleteFileW(target);
      ok = MoveFileExW(source, target, MOVEFILE_COPY_ALLOWED) != 0;
      break;
    case kRename: ok = MoveFileW(source, target) != 0; break;  // never onto an existing file
    default: ok = AppendFile(ctx, source, target); break;
  }
  if (!ok && !ctx->error) files::RaiseSystem(ctx, e.failed, e.call);
  return ok ? kDone : kFailed;
}

// FileCopy(from, to, warning), FileMove(...), FileAppend(from, to),
// FileCopyAttr(from, to, warning, attributes), FileMoveAttr(...),
// FileRename(from, to). The result is 1 when every match was handled.
void CopyFamily(ScriptContext* ctx, Value* r, Value* args, int argc, Operation op, bool withAttr) {
  bool warning = (op == kCopy || op == kMove) && args[3].ival != 0;
  if (warning && ctx->silentMode) return err::Raise(ctx, kBackgroundWarning);
  ctx->overwriteAnswer = warning ? files::kAsk : files::kOverwriteAll;
  Path source, target;
  if (!files::PathArg(ctx, &args[1], &source, files::kNameOverrun) ||
      !files::PathArg(ctx, &args[2], &target, files::kNameOverrun))
    return;
  if (op == kAppend && files::HasWildcards(target.p)) return err::Raise(ctx, kAppendWildTarget);
  const char* attrs = withAttr && argc >= 4 ? ArgText(ctx, args[4]) : "";
  // The matches are listed first, so that new targets never join the walk.
  files::WideList names;
  if (!files::ListMatches(source.p, files::kFindFiles, true, &names))
    return err::Raise(ctx, files::kListMemory);
  if (names.size() == 0) return err::Raise(ctx, kErrors[op].fromFailed);
  bool ok = true;
  files::ForEachName(names, [&](const wchar_t* from) {
    Path to;
    if (!ok) return;
    if (!FormTarget(target, from + files::NameStart(from, wcslen(from)), &to)) {
      ok = false;
      return err::Raise(ctx, files::kNameOverrun);
    }
    Outcome done = ProcessOne(ctx, op, from, to.p);
    ok = done != kFailed;
    if (done == kDone && *attrs)
      files::ApplyAttributeText(to.p, attrs, false);  // a failure here is not the copy's
  });
  if (ok) r->ival = 1;
}

template <Operation op, bool withAttr>
void CopyBody(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  CopyFamily(ctx, r, args, argc, op, withAttr);
}

}  // namespace

void RegisterFileCopy() {
  Register("filecopy", CopyBody<kCopy, false>);
  Register("filemove", CopyBody<kMove, false>);
  Register("fileappend", CopyBody<kAppend, false>);
  Register("filecopyattr", CopyBody<kCopy, true>);
  Register("filemoveattr", CopyBody<kMove, true>);
  Register("filerename", CopyBody<kRename, false>);
}

}  // namespace zel::calls
