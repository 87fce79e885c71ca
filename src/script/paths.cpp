// Script file names and the #include file search.
#include "script/paths.h"

#include <cstring>

#include "script/textblock.h"

namespace zel::script {
namespace {

bool HasFolder(const char* name) { return strpbrk(name, "\\/:") != nullptr; }

// Tries `path`; on success makes `found` its full path (or the path as it is
// when the full one does not fit).
HANDLE TryPath(const char* path, char found[kMaxPathLen]) {
  HANDLE f = OpenForRead(path);
  if (f == INVALID_HANDLE_VALUE) return f;
  char full[kMaxPathLen];
  DWORD n = GetFullPathNameA(path, kMaxPathLen, full, nullptr);
  const char* use = n > 0 && n < static_cast<DWORD>(kMaxPathLen) ? full : path;
  if (use != found) lstrcpynA(found, use, kMaxPathLen);
  return f;
}

// SearchPathA over `folders` (nullptr: the system's search order).
HANDLE TrySearch(const char* folders, const char* name, char found[kMaxPathLen]) {
  char hit[kMaxPathLen];
  DWORD n = SearchPathA(folders, name, nullptr, kMaxPathLen, hit, nullptr);
  if (n == 0 || n >= static_cast<DWORD>(kMaxPathLen)) return INVALID_HANDLE_VALUE;
  return TryPath(hit, found);
}

// The folders of the PATH environment variable, searched in their order.
HANDLE TryEnvironmentPath(const char* name, char found[kMaxPathLen]) {
  DWORD need = GetEnvironmentVariableA("PATH", nullptr, 0);
  if (need == 0) return INVALID_HANDLE_VALUE;
  TextBlock folders;
  if (!folders.Alloc(need)) return INVALID_HANDLE_VALUE;
  DWORD got = GetEnvironmentVariableA("PATH", folders.data(), need);
  if (got == 0 || got >= need) return INVALID_HANDLE_VALUE;
  return TrySearch(folders.data(), name, found);
}

}  // namespace

bool IsAbsoluteName(const char* name) {
  if (name[0] == '\\' && name[1] == '\\') return true;
  char c = name[0];
  bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  return letter && name[1] == ':' && name[2] == '\\';
}

size_t FolderLength(const char* path) {
  const char* slash = strrchr(path, '\\');
  return slash ? static_cast<size_t>(slash - path) + 1 : 0;
}

bool JoinPath(const char* folder, size_t folderLen, const char* name, char out[kMaxPathLen]) {
  size_t nameLen = strlen(name);
  if (folderLen + nameLen >= static_cast<size_t>(kMaxPathLen)) return false;
  memmove(out, folder, folderLen);
  memcpy(out + folderLen, name, nameLen + 1);
  return true;
}

HANDLE OpenForRead(const char* path) {
  if (!path[0]) return INVALID_HANDLE_VALUE;
  return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

HANDLE OpenIncludeFile(ScriptContext* ctx, const char* name, const char* baseFolder,
                       char found[kMaxPathLen]) {
  if (IsAbsoluteName(name)) return TryPath(name, found);
  char joined[kMaxPathLen];
  HANDLE f;
  if (baseFolder && baseFolder[0] && JoinPath(baseFolder, strlen(baseFolder), name, joined) &&
      (f = TryPath(joined, found)) != INVALID_HANDLE_VALUE)
    return f;
  if ((f = TryPath(name, found)) != INVALID_HANDLE_VALUE) return f;
  // The file search of `Call`: the running script's folder, then PATH and
  // the system's search order for a bare file name.
  size_t running = FolderLength(ctx->scriptPath);
  if (running && JoinPath(ctx->scriptPath, running, name, joined) &&
      (f = TryPath(joined, found)) != INVALID_HANDLE_VALUE)
    return f;
  if (HasFolder(name)) return INVALID_HANDLE_VALUE;
  if ((f = TryEnvironmentPath(name, found)) != INVALID_HANDLE_VALUE) return f;
  return TrySearch(nullptr, name, found);
}

bool FindCallFile(const char* name, char found[kMaxPathLen]) {
  HANDLE f = INVALID_HANDLE_VALUE;
  if (name[0] && !HasFolder(name)) {
    f = TryEnvironmentPath(name, found);
    if (f == INVALID_HANDLE_VALUE) f = TrySearch(nullptr, name, found);
  }
  if (f == INVALID_HANDLE_VALUE) f = TryPath(name, found);
  if (f == INVALID_HANDLE_VALUE) return false;
  CloseHandle(f);
  return true;
}

}  // namespace zel::script
