// The support page offered by the error dialog.
#include "errors/support.h"

#include <shellapi.h>
#include <cstdio>
#include <cstring>

#include "errors/messages.h"
#include "exec/pump.h"

namespace zel::err {
namespace {

constexpr uint32_t kMsgSupportPage = 235;  // the default support address
constexpr uint32_t kPollMs = 20;
constexpr uintptr_t kShellOk = 32;         // ShellExecute results above this succeeded

// The default value of a key under HKEY_CLASSES_ROOT; "" when there is none.
bool ClassesValue(const char* key, char* out, LONG size) {
  out[0] = 0;
  LONG len = size;
  return RegQueryValueA(HKEY_CLASSES_ROOT, key, out, &len) == ERROR_SUCCESS && out[0];
}

// The program part of a command: up to the first blank, or inside the
// quotes that open it.
void ProgramPart(const char* command, char* out, size_t size) {
  const char* p = command;
  char stop = ' ';
  if (*p == '"') {
    stop = '"';
    ++p;
  }
  size_t n = 0;
  while (p[n] && p[n] != stop && n + 1 < size) ++n;
  memcpy(out, p, n);
  out[n] = 0;
}

// The folder for the temporary shortcut: TMP, TEMP, HOMEPATH, else Windows.
void ShortcutFolder(char* out, DWORD size) {
  static const char* const kVars[] = {"TMP", "TEMP", "HOMEPATH"};
  for (const char* v : kVars) {
    DWORD n = GetEnvironmentVariableA(v, out, size);
    if (n > 0 && n < size) return;
  }
  if (!GetWindowsDirectoryA(out, size)) out[0] = 0;
}

bool OpenThroughShortcut(ScriptContext* ctx, const char* address) {
  char folder[MAX_PATH], path[MAX_PATH + 16];
  ShortcutFolder(folder, sizeof folder);
  size_t n = strlen(folder);
  snprintf(path, sizeof path, "%s%s$ZELTEMP.URL", folder, n && folder[n - 1] != '\\' ? "\\" : "");
  HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  char text[600];
  int len = snprintf(text, sizeof text, "[InternetShortcut]\r\nURL=%s", address);
  DWORD done = 0;
  bool written = len > 0 && len < static_cast<int>(sizeof text) &&
                 WriteFile(f, text, static_cast<DWORD>(len), &done, nullptr);
  CloseHandle(f);
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = "open";
  info.lpFile = path;
  info.nShow = SW_SHOWNORMAL;
  bool opened = written && ShellExecuteExA(&info);
  if (opened && info.hProcess) {
    while (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT && !ctx->stopRequested)
      exec::WaitPumping(ctx, kPollMs);
    CloseHandle(info.hProcess);
  }
  DeleteFileA(path);
  return opened;
}

}  // namespace

bool FindBrowser(char* out, size_t size) {
  out[0] = 0;
  char command[1024];
  bool found = ClassesValue("InternetShortcut\\shell\\open\\command", command, sizeof command) ||
               ClassesValue("http\\shell\\open\\command", command, sizeof command);
  if (!found) {
    char cls[256], key[300];
    if (ClassesValue(".htm", cls, sizeof cls)) {
      snprintf(key, sizeof key, "%s\\shell\\open\\command", cls);
      found = ClassesValue(key, command, sizeof command);
    }
  }
  if (!found) found = GetProfileStringA("Extensions", "htm", "", command, sizeof command) > 0;
  if (found) ProgramPart(command, out, size);
  return out[0] != 0;
}

void OpenSupportPage(ScriptContext* ctx, const char* browser) {
  char address[sizeof ctx->supportPage];
  lstrcpynA(address, ctx->supportPage, sizeof address);
  if (!address[0]) msg::Load(ctx, kMsgSupportPage, address, sizeof address);
  if (!address[0]) return;
  auto shell = reinterpret_cast<uintptr_t>(ShellExecuteA(ctx->hostWindow, "open", address, nullptr,
                                                         nullptr, SW_SHOWNORMAL));
  if (shell > kShellOk) return;
  if (browser && browser[0]) {
    shell = reinterpret_cast<uintptr_t>(ShellExecuteA(ctx->hostWindow, "open", browser, address,
                                                      nullptr, SW_SHOWNORMAL));
    if (shell > kShellOk) return;
  }
  OpenThroughShortcut(ctx, address);
}

}  // namespace zel::err
