// Directories: the current directory (DirChange, DirGet), making, removing
// and renaming directories, DirExist, DirSize, and the program's and the
// system's folders (DirHome, DirWindows).
#include <cwchar>

#include "builtins/dispatch.h"
#include "builtins/files.h"
#include "builtins/files_common.h"
#include "errors/errinfo.h"
#include "host/process.h"

namespace zel::calls {
namespace {

using files::Path;

constexpr uint16_t kDirMakeFailed = 1028;
constexpr uint16_t kDirRemoveFailed = 1029;
constexpr uint16_t kDirRenameFailed = 1030;
constexpr uint16_t kDirChangeFailed = 1031;
constexpr uint16_t kDirSizeNotFound = 1423;
constexpr uint16_t kRenameFromIllegal = 2203;
constexpr uint16_t kRenameToIllegal = 2204;

bool IsSeparator(wchar_t c) { return c == '\\' || c == '/'; }

// Drops a trailing separator from a path of three or more characters, so
// that "C:\" stays the root.
void DropTrailingSeparator(Path* p) {
  if (p->len >= 3 && IsSeparator(p->p[p->len - 1]) && !(p->len == 3 && p->p[1] == ':'))
    p->p[--p->len] = 0;
}

// Makes the result the folder `p` with a "\" at its end.
void SetFolderResult(ScriptContext* ctx, Value* r, Path* p) {
  if (p->len > 0 && !IsSeparator(p->p[p->len - 1])) files::AppendPath(p, L"\\");
  files::SetNameResult(ctx, r, p->p, p->len);
}

// DirChange(path): makes the path the current directory (a drive letter
// first makes its drive current; a bare drive goes to that drive's current
// directory) and records it in the drive's "=X:" variable.
void DirChange(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path path;
  if (!files::PathArg(ctx, &args[1], &path, files::kNameOverrun)) return;
  DropTrailingSeparator(&path);
  files::QuietErrors quiet;
  bool ok = path.len > 0;
  if (ok && path.len == 2 && path.p[1] == ':') {
    // The drive's own current directory, as the system remembers it.
    wchar_t full[files::kPathUnits];
    DWORD n = GetFullPathNameW(path.p, files::kPathUnits, full, nullptr);
    ok = n > 0 && n < files::kPathUnits && SetCurrentDirectoryW(full);
  } else if (ok) {
    ok = SetCurrentDirectoryW(path.p) != 0;
  }
  Path now;
  DWORD n = ok ? GetCurrentDirectoryW(files::kPathUnits, now.p) : 0;
  if (n == 0 || n >= files::kPathUnits)
    return files::RaiseSystem(ctx, kDirChangeFailed, "SetCurrentDirectory");
  if (n >= 2 && now.p[1] == ':') {
    wchar_t var[4] = {'=', static_cast<wchar_t>(towupper(now.p[0])), ':', 0};
    SetEnvironmentVariableW(var, now.p);
  }
  r->ival = 1;
}

// DirGet(): the current directory, ending in "\".
void DirGet(ScriptContext* ctx, Value* r, Value*, int, bool, int) {
  Path now;
  DWORD n = GetCurrentDirectoryW(files::kPathUnits, now.p);
  now.len = n < files::kPathUnits ? n : 0;
  now.p[now.len] = 0;
  SetFolderResult(ctx, r, &now);
}

// DirMake(path): makes the directory and any missing folders above it; an
// existing directory is no failure.
void DirMake(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path path;
  if (!files::PathArg(ctx, &args[1], &path, files::kNameOverrun)) return;
  DropTrailingSeparator(&path);
  if (path.len == 0 || files::HasWildcards(path.p)) return err::Raise(ctx, kDirMakeFailed);
  files::QuietErrors quiet;
  // Each folder from the top down; a drive or share at the start simply
  // fails to be made and is found to exist.
  DWORD why = ERROR_PATH_NOT_FOUND;
  for (size_t i = 1; i <= path.len; ++i) {
    if (i < path.len && !IsSeparator(path.p[i])) continue;
    wchar_t keep = path.p[i];
    path.p[i] = 0;
    if (!files::IsDirectory(files::Attributes(path.p)) && !CreateDirectoryW(path.p, nullptr))
      why = GetLastError();
    path.p[i] = keep;
  }
  if (!files::IsDirectory(files::Attributes(path.p))) {
    SetLastError(why);
    return files::RaiseSystem(ctx, kDirMakeFailed, "CreateDirectory");
  }
  r->ival = 1;
}

// DirRemove(path): removes an empty directory.
void DirRemove(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path path;
  if (!files::PathArg(ctx, &args[1], &path, files::kNameOverrun)) return;
  DropTrailingSeparator(&path);
  files::QuietErrors quiet;
  if (path.len == 0 || !RemoveDirectoryW(path.p))
    return files::RaiseSystem(ctx, kDirRemoveFailed, "RemoveDirectory");
  r->ival = 1;
}

// DirRename(from, to): renames (or moves, on one drive) a directory.
void DirRename(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path from, to;
  if (!files::PathArg(ctx, &args[1], &from, files::kNameOverrun) ||
      !files::PathArg(ctx, &args[2], &to, files::kNameOverrun))
    return;
  DropTrailingSeparator(&from);
  DropTrailingSeparator(&to);
  if (from.len == 0 || files::HasWildcards(from.p)) return err::Raise(ctx, kRenameFromIllegal);
  if (to.len == 0 || files::HasWildcards(to.p)) return err::Raise(ctx, kRenameToIllegal);
  files::QuietErrors quiet;
  if (!files::IsDirectory(files::Attributes(from.p)) || !MoveFileW(from.p, to.p))
    return files::RaiseSystem(ctx, kDirRenameFailed, "MoveFile");
  r->ival = 1;
}

// DirExist(path): 1 when the directory exists.
void DirExist(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path path;
  if (!files::PathArg(ctx, &args[1], &path, files::kNameOverrun)) return;
  DropTrailingSeparator(&path);
  if (path.len == 2 && path.p[1] == ':') files::AppendPath(&path, L"\\");
  r->ival = files::IsDirectory(files::Attributes(path.p)) ? 1 : 0;
}

// Adds the sizes of the files below `folder` (which ends in "\"), and of the
// folders below it when `deep`.
bool AddSizes(Path* folder, bool deep, int64_t* total) {
  size_t keep = folder->len;
  if (!files::AppendPath(folder, L"*")) return false;
  WIN32_FIND_DATAW d;
  HANDLE h = FindFirstFileW(folder->p, &d);
  folder->p[folder->len = keep] = 0;
  if (h == INVALID_HANDLE_VALUE) return true;
  bool ok = true;
  do {
    if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      *total += (static_cast<int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
    } else if (deep && wcscmp(d.cFileName, L".") != 0 && wcscmp(d.cFileName, L"..") != 0 &&
               !(d.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      ok = files::AppendPath(folder, d.cFileName) && files::AppendPath(folder, L"\\") &&
           AddSizes(folder, deep, total);
      folder->p[folder->len = keep] = 0;
    }
  } while (ok && FindNextFileW(h, &d));
  FindClose(h);
  return ok;
}

// DirSize(path, flags): the bytes of the files in the directory and every
// directory below it; with flags 1 only the directory's own files.
void DirSize(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path path;
  if (!files::PathArg(ctx, &args[1], &path, files::kNameOverrun)) return;
  if (args[2].ival < 0 || args[2].ival > 1) return err::Raise(ctx, files::kBadRequest);
  DropTrailingSeparator(&path);
  if (path.len == 2 && path.p[1] == ':') files::AppendPath(&path, L"\\");
  if (!files::IsDirectory(files::Attributes(path.p))) return err::Raise(ctx, kDirSizeNotFound);
  if (!IsSeparator(path.p[path.len - 1]) && !files::AppendPath(&path, L"\\"))
    return err::Raise(ctx, files::kNameOverrun);
  int64_t total = 0;
  files::QuietErrors quiet;
  if (!AddSizes(&path, args[2].ival == 0, &total)) return err::Raise(ctx, files::kNameOverrun);
  files::SetSizeResult(r, total);
}

// DirHome(): the folder of the program that runs the library.
void DirHome(ScriptContext* ctx, Value* r, Value*, int, bool, int) {
  Path p;
  DWORD n = GetModuleFileNameW(nullptr, p.p, files::kPathUnits);
  p.len = n < files::kPathUnits ? files::NameStart(p.p, n) : 0;
  p.p[p.len] = 0;
  SetFolderResult(ctx, r, &p);
}

// DirWindows(request): 0 the Windows folder, 1 the system folder.
void DirWindows(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Path p;
  int32_t which = args[1].ival;
  if (which < 0 || which > 1) return err::Raise(ctx, files::kBadRequest);
  UINT n = which == 0 ? GetWindowsDirectoryW(p.p, files::kPathUnits)
                      : GetSystemDirectoryW(p.p, files::kPathUnits);
  p.len = n < files::kPathUnits ? n : 0;
  p.p[p.len] = 0;
  SetFolderResult(ctx, r, &p);
}

}  // namespace

void RegisterDirs() {
  Register("dirchange", DirChange);
  Register("dirget", DirGet);
  Register("dirmake", DirMake);
  Register("dirremove", DirRemove);
  Register("dirrename", DirRename);
  Register("direxist", DirExist);
  Register("dirsize", DirSize);
  Register("dirhome", DirHome);
  Register("dirwindows", DirWindows);
}

}  // namespace zel::calls
