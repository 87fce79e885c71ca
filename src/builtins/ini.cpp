// INI file functions: reading, writing, deleting and listing entries through
// the system's profile-string service, on "WIN.INI" or on a named file.
#include "builtins/ini.h"

#include <cstring>

#include "builtins/dispatch.h"
#include "builtins/text.h"
#include "errors/errinfo.h"

namespace zel::calls {
namespace {

constexpr uint16_t kDeviceLines = 1335;
constexpr uint16_t kNoMemory = 1588;

constexpr DWORD kValueRoom = 65535;  // bytes of a value read
constexpr DWORD kListRoom = 32000;   // bytes of a list, unless the file is larger
constexpr char kWholeSection[] = "692837";  // @WHOLESECTION passed as a key
constexpr char kNone[] = "(NONE)";           // a list without names

// The profile file a call works on: a named one, or the system's own
// "WIN.INI" (nullptr).
struct Profile {
  const char* file;
};

// The device lines of the "386ENH" section belong to the system.
bool DeviceLines(ScriptContext* ctx, const char* section, const char* key) {
  if (lstrcmpiA(section, "386ENH") != 0 || lstrcmpiA(key, "DEVICE") != 0) return false;
  err::Raise(ctx, kDeviceLines);
  return true;
}

// `section` and `key` as the service takes them: "" stays "" for a value,
// nullptr where the whole level is meant.
DWORD ReadString(Profile p, const char* section, const char* key, const char* def, char* out,
                 DWORD room) {
  return p.file ? GetPrivateProfileStringA(section, key, def, out, room, p.file)
                : GetProfileStringA(section, key, def, out, room);
}

BOOL WriteString(Profile p, const char* section, const char* key, const char* value) {
  return p.file ? WritePrivateProfileStringA(section, key, value, p.file)
                : WriteProfileStringA(section, key, value);
}

// The service trims blanks off a default; a key that is absent gives the
// script's default as it was written.
void Read(ScriptContext* ctx, Value* r, Profile p, const char* section, const char* key,
          const char* def) {
  static const char kAbsent[] = "\x01\x02zel absent\x02\x01";
  txt::WorkMemory w;
  if (!w.Get(ctx, kValueRoom)) return;
  ReadString(p, section, key, kAbsent, w.As<char>(), kValueRoom);
  const char* text = strcmp(w.As<char>(), kAbsent) == 0 ? def : w.As<char>();
  txt::SetResult<char>(ctx, r, text, strnlen(text, kValueRoom - 1));
}

// Section, key and value all empty: the service writes out what it holds
// in its cache; nothing is written to the file. 1, or 0 when the service
// could not write.
void Write(Value* r, Profile p, const char* section, const char* key, const char* value) {
  bool flush = !*section && !*key && !*value;
  BOOL ok = flush ? WriteString(p, nullptr, nullptr, nullptr) : WriteString(p, section, key, value);
  r->ival = flush || ok ? 1 : 0;
}

void Delete(Profile p, const char* section, const char* key) {
  WriteString(p, section, strcmp(key, kWholeSection) == 0 ? nullptr : key, nullptr);
}

// Bytes of the list buffer: 32000, or the file's size when that is larger
// (a list of names never outgrows the file that holds them).
DWORD ListRoom(Profile p) {
  char winIni[MAX_PATH + 10];
  const char* file = p.file;
  if (!file) {
    UINT n = GetWindowsDirectoryA(winIni, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return kListRoom;
    strcpy(winIni + n, winIni[n - 1] == '\\' ? "WIN.INI" : "\\WIN.INI");
    file = winIni;
  }
  WIN32_FILE_ATTRIBUTE_DATA a;
  if (!GetFileAttributesExA(file, GetFileExInfoStandard, &a) || a.nFileSizeHigh ||
      a.nFileSizeLow > 0x7ffffff0u - 2)
    return kListRoom;
  return a.nFileSizeLow + 2 > kListRoom ? a.nFileSizeLow + 2 : kListRoom;
}

// The section names ("" section) or the key names of a section, joined by
// tabs; "(NONE)" when there are none.
void Itemize(ScriptContext* ctx, Value* r, Profile p, const char* section) {
  DWORD room = ListRoom(p);
  txt::WorkMemory w;
  if (!w.Get(ctx, room)) return;
  char* list = w.As<char>();
  DWORD n = ReadString(p, *section ? section : nullptr, nullptr, kNone, list, room);
  if (n >= room) n = room - 1;
  while (n > 0 && list[n - 1] == 0) --n;  // the terminator pair ends the list
  if (n == 0) return (void)txt::SetResult<char>(ctx, r, kNone, sizeof kNone - 1);
  for (DWORD i = 0; i < n; ++i)
    if (list[i] == 0) list[i] = '\t';
  txt::SetResult<char>(ctx, r, list, n);
}

// ---- bodies

Profile WinIni() { return Profile{nullptr}; }
Profile Named(ScriptContext* ctx, const Value& file) { return Profile{ArgText(ctx, file)}; }

void IniRead(ScriptContext* ctx, Value* r, Value* a, int, bool, int) {
  Read(ctx, r, WinIni(), ArgText(ctx, a[1]), ArgText(ctx, a[2]), ArgText(ctx, a[3]));
}

void IniReadPvt(ScriptContext* ctx, Value* r, Value* a, int, bool, int) {
  if (DeviceLines(ctx, ArgText(ctx, a[1]), ArgText(ctx, a[2]))) return;
  Read(ctx, r, Named(ctx, a[4]), ArgText(ctx, a[1]), ArgText(ctx, a[2]), ArgText(ctx, a[3]));
}

void IniWrite(ScriptContext* ctx, Value* r, Value* a, int, bool, int) {
  Write(r, WinIni(), ArgText(ctx, a[1]), ArgText(ctx, a[2]), ArgText(ctx, a[3]));
}

void IniWritePvt(ScriptContext* ctx, Value* r, Value* a, int, bool, int) {
  if (DeviceLines(ctx, ArgText(ctx, a[1]), ArgText(ctx, a[2]))) return;
  Write(r, Named(ctx, a[4]), ArgText(ctx, a[1]), ArgText(ctx, a[2]), ArgText(ctx, a[3]));
}

void IniDelete(ScriptContext* ctx, Value*, Value* a, int, bool, int) {
  Delete(WinIni(), ArgText(ctx, a[1]), ArgText(ctx, a[2]));
}

void IniDeletePvt(ScriptContext* ctx, Value*, Value* a, int, bool, int) {
  Delete(Named(ctx, a[3]), ArgText(ctx, a[1]), ArgText(ctx, a[2]));
}

void IniItemize(ScriptContext* ctx, Value* r, Value* a, int, bool, int) {
  Itemize(ctx, r, WinIni(), ArgText(ctx, a[1]));
}

void IniItemizePvt(ScriptContext* ctx, Value* r, Value* a, int, bool, int) {
  Itemize(ctx, r, Named(ctx, a[2]), ArgText(ctx, a[1]));
}

}  // namespace

void RegisterIni() {
  Register("iniread", IniRead);
  Register("inireadpvt", IniReadPvt);
  Register("iniwrite", IniWrite);
  Register("iniwritepvt", IniWritePvt);
  Register("inidelete", IniDelete);
  Register("inideletepvt", IniDeletePvt);
  Register("iniitemize", IniItemize);
  Register("iniitemizepvt", IniItemizePvt);
}

}  // namespace zel::calls
