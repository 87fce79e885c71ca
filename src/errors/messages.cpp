// The message table (error texts, captions and labels by number) and the
// translation file that can replace its texts.
#include "errors/messages.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "host/api.h"
#include "host/process.h"
#include "host/settings.h"
#include "values/strutil.h"

namespace zel::msg {
namespace {

constexpr char kMarker[] = "XXX";           // what a missing key reads as
constexpr uint32_t kFirstTranslated = 100;  // ids below are never translated
constexpr size_t kLanguageSize = 21;        // a language name: 20 characters
constexpr size_t kWideStage = 2051;         // bytes of the ANSI text behind a UTF-16 lookup
constexpr char kFileBase[] = "ZELDLANG";
constexpr char kSection[] = "MAIN";

// The translation file one lookup path uses: chosen on its first lookup and
// again on every lookup of id 0. The ANSI and the UTF-16 paths keep one each.
struct Translation {
  bool chosen;
  char file[kMaxPathLen];  // "" when translations are off
};

Translation g_ansi, g_wide;

// Key Language of section MAIN of the settings file; when absent, the
// profile's INTL sLanguage; "enu" when that is absent too.
void LanguageName(char* buf, size_t size) {
  settings::ReadIni(kSection, "Language", kMarker, buf, size);
  if (strcmp(buf, kMarker) == 0)
    GetProfileStringA("INTL", "sLanguage", "enu", buf, static_cast<DWORD>(size));
}

// The folder of the host's program, with its final backslash; "" when unknown.
void HostFolder(const ScriptContext* ctx, char* buf, size_t size) {
  buf[0] = 0;
  HMODULE host = ctx && ctx->hostInstance ? ctx->hostInstance : nullptr;
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(host, path, sizeof path);
  if (n == 0 || n >= sizeof path) return;
  char* slash = strrchr(path, '\\');
  if (!slash) return;
  slash[1] = 0;
  snprintf(buf, size, "%s", path);
}

bool IsFile(const char* path) {
  DWORD a = GetFileAttributesA(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Finds `name` as a program file is found: in `folder`, then along the PATH.
bool FindFile(const char* folder, const char* name, char* out, size_t size) {
  if (snprintf(out, size, "%s%s", folder, name) < static_cast<int>(size) && IsFile(out))
    return true;
  out[0] = 0;
  DWORD need = GetEnvironmentVariableA("PATH", nullptr, 0);
  if (need == 0) return false;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, need);  // PATH may be 32,767 characters
  if (!block) return false;
  char* list = static_cast<char*>(GlobalLock(block));
  bool found = false;
  if (list) {
    DWORD got = GetEnvironmentVariableA("PATH", list, need);
    if (got > 0 && got < need) {
      DWORD n = SearchPathA(list, name, nullptr, static_cast<DWORD>(size), out, nullptr);
      found = n > 0 && n < size;
    }
    GlobalUnlock(block);
  }
  GlobalFree(block);
  if (!found && size) out[0] = 0;
  return found;
}

// ZELDLANG.<language>, else ZELDLANG, each searched from the host's folder.
void Choose(const ScriptContext* ctx, Translation* t) {
  char language[kLanguageSize], folder[MAX_PATH], name[MAX_PATH];
  LanguageName(language, sizeof language);
  HostFolder(ctx, folder, sizeof folder);
  snprintf(name, sizeof name, "%s.%s", kFileBase, language);
  if (!FindFile(folder, name, t->file, sizeof t->file))
    FindFile(folder, kFileBase, t->file, sizeof t->file);
  t->chosen = true;
}

// "~" becomes a line feed and "|" a tab; the second byte of a double-byte
// character is left alone.
void ExpandMarks(const ScriptContext* ctx, char* text) {
  UINT cp = ctx ? ctx->codePage : CP_ACP;
  for (char* p = text; *p; ++p) {
    if (IsDBCSLeadByteEx(cp, static_cast<BYTE>(*p))) {
      if (!*++p) break;
    } else if (*p == '~') {
      *p = '\n';
    } else if (*p == '|') {
      *p = '\t';
    }
  }
}

// The one lookup body behind both entry points.
int LoadWith(Translation* t, ScriptContext* ctx, HINSTANCE module, uint32_t id, char* buf,
             size_t size) {
  if (!buf || !size) return 0;
  buf[0] = 0;
  if (id == 0 || !t->chosen) Choose(ctx, t);
  bool translated = false;
  if (id >= kFirstTranslated && t->file[0]) {
    char key[16], text[kWorkBuf];
    snprintf(key, sizeof key, "X%u", id);
    GetPrivateProfileStringA(kSection, key, kMarker, text, sizeof text, t->file);
    if (strcmp(text, kMarker) != 0) {
      str::Copy(ctx, buf, text, size);
      translated = true;
    }
  }
  if (!translated) {
    int cap = size > INT_MAX ? INT_MAX : static_cast<int>(size);
    if (LoadStringA(module ? module : ModuleInstance(), id, buf, cap) <= 0) {
      buf[0] = 0;
      return 0;
    }
  }
  ExpandMarks(ctx, buf);
  return static_cast<int>(strlen(buf));
}

}  // namespace

int Load(ScriptContext* ctx, uint32_t id, char* buf, size_t size) {
  return LoadWith(&g_ansi, ctx, nullptr, id, buf, size);
}

}  // namespace zel::msg

using namespace zel;

ZEL_API int WINAPI LoadMyString(ScriptContext* ctx, HINSTANCE module, UINT id, char* buffer,
                                int size) {
  if (size <= 0) return 0;
  return msg::LoadWith(&msg::g_ansi, ctx, module, id, buffer, static_cast<size_t>(size));
}

ZEL_API int WINAPI LoadMyStringW(ScriptContext* ctx, HINSTANCE module, UINT id, wchar_t* buffer,
                                 int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = 0;
  char text[msg::kWideStage];
  int n = msg::LoadWith(&msg::g_wide, ctx, module, id, text, sizeof text);
  if (n == 0) return 0;
  wchar_t wide[msg::kWideStage];
  int w = MultiByteToWideChar(ctx ? ctx->codePage : CP_ACP, 0, text, n, wide, msg::kWideStage - 1);
  if (w <= 0) return 0;
  if (w > size - 1) w = size - 1;
  memcpy(buffer, wide, sizeof(wchar_t) * w);
  buffer[w] = 0;
  return w;
}
