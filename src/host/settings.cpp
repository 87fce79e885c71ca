// Settings (where ZELPREFS.INI lives, and the registry settings key).
#include "host/settings.h"

#include <shlobj.h>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "values/convert.h"

namespace zel::settings {
namespace {

constexpr const char* kFileName = "ZELPREFS.INI";
constexpr const char* kSubFolder = "Drovane\\Settings";
constexpr const char* kRegistryRoot = "Software\\Fenwold Softworks\\Settings\\ZELPREFS\\";
constexpr int kAppDataFolder = 26;

using GetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);

// The user's application-data folder, from SHELL32 or SHFOLDER; the Windows
// directory when neither answers.
void AppDataFolder(char* buf, size_t size) {
  buf[0] = 0;
  for (const char* dll : {"SHELL32.DLL", "SHFOLDER.DLL"}) {
    HMODULE m = LoadLibraryA(dll);
    if (!m) continue;
    auto fn = reinterpret_cast<GetFolderPathFn>(GetProcAddress(m, "SHGetFolderPathA"));
    char path[MAX_PATH] = "";
    bool ok = fn && SUCCEEDED(fn(nullptr, kAppDataFolder, nullptr, 0, path)) && path[0];
    FreeLibrary(m);
    if (ok) {
      snprintf(buf, size, "%s", path);
      return;
    }
  }
  char win[MAX_PATH] = "";
  if (GetWindowsDirectoryA(win, sizeof win)) snprintf(buf, size, "%s", win);
}

// Creates every missing folder of `path`.
bool MakeFolders(const char* path) {
  char part[MAX_PATH];
  size_t n = strlen(path);
  if (n >= sizeof part) return false;
  for (size_t i = 0; i <= n; ++i) {
    if (path[i] == '\\' || path[i] == 0) {
      memcpy(part, path, i);
      part[i] = 0;
      if (i > 2) CreateDirectoryA(part, nullptr);  // skip "C:"
    }
  }
  DWORD a = GetFileAttributesA(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool FilePath(char* buf, size_t size) {
  char folder[MAX_PATH];
  AppDataFolder(folder, sizeof folder);
  if (!folder[0]) return false;
  char dir[MAX_PATH];
  size_t len = strlen(folder);
  const char* sep = len && folder[len - 1] == '\\' ? "" : "\\";
  if (snprintf(dir, sizeof dir, "%s%s%s", folder, sep, kSubFolder) >= static_cast<int>(sizeof dir))
    return false;
  if (!MakeFolders(dir)) return false;
  return snprintf(buf, size, "%s\\%s", dir, kFileName) < static_cast<int>(size);
}

bool WriteIni(const char* section, const char* key, const char* value) {
  char path[MAX_PATH];
  if (!FilePath(path, sizeof path)) return false;
  return WritePrivateProfileStringA(section, key, value, path) != 0;
}

void ReadIni(const char* section, const char* key, const char* def, char* buf, size_t size) {
  char path[MAX_PATH];
  if (!FilePath(path, sizeof path)) {
    snprintf(buf, size, "%s", def);
    return;
  }
  GetPrivateProfileStringA(section, key, def, buf, static_cast<DWORD>(size), path);
}

int32_t ReadRegistryInt(const char* section, const char* key, int32_t def) {
  char keyPath[256];
  snprintf(keyPath, sizeof keyPath, "%s%s", kRegistryRoot, section);
  HKEY k;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                      &k, nullptr) != ERROR_SUCCESS &&
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &k) != ERROR_SUCCESS)
    return def;
  char text[64];
  DWORD type = 0, len = sizeof text - 1;
  int32_t result = def;
  if (RegQueryValueExA(k, key, nullptr, &type, reinterpret_cast<BYTE*>(text), &len) ==
          ERROR_SUCCESS && type == REG_SZ) {
    text[len < sizeof text ? len : sizeof text - 1] = 0;
    result = val::TextToInt(text);
  } else {
    snprintf(text, sizeof text, "%d", def);
    RegSetValueExA(k, key, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(strlen(text) + 1));
  }
  RegCloseKey(k);
  return result;
}

void Load(ScriptContext* ctx) {
  ctx->soundOn = ReadRegistryInt("MAIN", "Sounds", 0);
  ctx->prettyDialogs = ReadRegistryInt("MAIN", "PrettyDialogs", 1);
}

}  // namespace zel::settings
