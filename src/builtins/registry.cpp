// Registry key functions: opening, creating, closing and deleting keys,
// existence tests, listings of subkeys and values, remote roots, hives, the
// registry view, and application paths.
#include "builtins/registry.h"

#include <cstring>

#include "builtins/dispatch.h"
#include "builtins/regkey.h"
#include "builtins/text.h"
#include "builtins/ymdhms.h"
#include "errors/errinfo.h"
#include "host/process.h"

namespace zel::calls {
namespace {

using reg::Fail;
using reg::HandleOf;
using reg::KeyOf;
using reg::KeyValue;
using reg::SubKey;
using reg::View;

constexpr uint16_t kOpenFailed = 1158;
constexpr uint16_t kCreateFailed = 1159;
constexpr uint16_t kDeleteFailed = 1229;
constexpr uint16_t kCloseFailed = 1231;
constexpr uint16_t kSetFailed = 1232;
constexpr uint16_t kEntryTypeFailed = 1494;
constexpr uint16_t kBlankSubkey = 1566;
constexpr uint16_t kBadMode = 1621;
constexpr uint16_t kInvalidFlag = 1822;
constexpr uint16_t kNoPrivilege = 1524;

// Deepest key nesting the recursive delete follows; the platform allows 512.
constexpr int kMaxKeyDepth = 512;
// Bytes of a subkey name read by enumeration: 255 characters, each of at
// most two bytes in a double-byte code page.
constexpr DWORD kKeyNameRoom = 512;

// A 64-bit process, or a 32-bit one under 64-bit Windows: the registry has
// two views and opens name their rights.
bool SixtyFourBitWindows() { return sizeof(void*) == 8 || g_process.wow64; }

// The view a context starts with: the 64-bit one for a 32-bit process under
// 64-bit Windows, the process's own otherwise.
uint32_t DefaultView() { return g_process.wow64 ? KEY_WOW64_64KEY : 0; }

void HandleResult(Value* r, HKEY k) { r->ival = HandleOf(k); }

// ---- opening and closing

// RegOpenKey(handle, subkey): a new handle with read and write rights.
void RegOpenKeyBody(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  HKEY k = nullptr;
  const char* sub = ArgText(ctx, args[2]);
  LONG rc = SixtyFourBitWindows()
                ? RegOpenKeyExA(KeyOf(args[1].ival), sub, 0, KEY_READ | KEY_WRITE | View(ctx), &k)
                : RegOpenKeyA(KeyOf(args[1].ival), sub, &k);
  if (rc != ERROR_SUCCESS) {
    err::RecordSystemError(ctx, rc, "RegOpenKey", true);
    return err::Raise(ctx, kOpenFailed);
  }
  HandleResult(r, k);
}

// The access of RegOpenKeyEx's mode: READ, WRITE, FULL in any case, or a
// decimal access mask. False for anything else.
bool AccessOfMode(const char* mode, REGSAM* out) {
  static const struct {
    const char* word;
    REGSAM access;
  } kModes[] = {{"READ", KEY_READ}, {"WRITE", KEY_WRITE}, {"FULL", KEY_ALL_ACCESS}};
  for (const auto& m : kModes) {
    if (lstrcmpiA(mode, m.word) != 0) continue;
    *out = m.access;
    return true;
  }
  uint64_t v = 0;
  size_t i = 0;
  for (; mode[i] >= '0' && mode[i] <= '9' && v <= 0xffffffffull; ++i) v = v * 10 + (mode[i] - '0');
  if (i == 0 || mode[i] || v > 0xffffffffull) return false;
  *out = static_cast<REGSAM>(v);
  return true;
}

// RegOpenKeyEx(handle, subkey, mode[, fourth, fifth]); the last two are not used.
void RegOpenKeyExBody(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  REGSAM access;
  if (!AccessOfMode(ArgText(ctx, args[3]), &access)) return err::Raise(ctx, kBadMode);
  HKEY k = nullptr;
  LONG rc = RegOpenKeyExA(KeyOf(args[1].ival), ArgText(ctx, args[2]), 0, access | View(ctx), &k);
  if (rc != ERROR_SUCCESS) {
    err::RecordSystemError(ctx, rc, "RegOpenKey", true);
    return err::Raise(ctx, kOpenFailed);
  }
  HandleResult(r, k);
}

// RegCreateKey(handle, subkey): opens the key, creating it when needed.
void RegCreateKeyBody(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  HKEY k = nullptr;
  const char* sub = ArgText(ctx, args[2]);
  LONG rc = SixtyFourBitWindows()
                ? RegCreateKeyExA(KeyOf(args[1].ival), sub, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_READ | KEY_WRITE | View(ctx), nullptr, &k, nullptr)
                : RegCreateKeyA(KeyOf(args[1].ival), sub, &k);
  if (rc != ERROR_SUCCESS) {
    err::RecordSystemError(ctx, rc, "RegCreateKey", true);
    return err::Raise(ctx, kCreateFailed);
  }
  HandleResult(r, k);
}

void RegCloseKeyBody(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  if (RegCloseKey(KeyOf(args[1].ival)) != ERROR_SUCCESS) return err::Raise(ctx, kCloseFailed);
  r->ival = 1;
}

// RegOpenFlags(mode): 0 the default view, 1 the 32-bit view, 2 the 64-bit
// view; returns the previous mode. Without two views it changes nothing.
void RegOpenFlags(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  int32_t mode = args[1].ival;
  if (mode < 0 || mode > 2) return err::Raise(ctx, kInvalidFlag);
  if (!SixtyFourBitWindows()) return;
  uint32_t v = ctx->regViewFlag;
  r->ival = v & KEY_WOW64_32KEY ? 1 : v & KEY_WOW64_64KEY ? 2 : 0;
  ctx->regViewFlag = mode == 1 ? KEY_WOW64_32KEY : mode == 2 ? KEY_WOW64_64KEY : DefaultView();
}

// ---- deleting

using DeleteKeyExFn = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);

// The view-aware delete, where the platform has it.
DeleteKeyExFn DeleteKeyEx() {
  FARPROC f = g_process.regDeleteKeyEx;
  if (!f) {
    HMODULE a = GetModuleHandleA("ADVAPI32.DLL");
    f = a ? GetProcAddress(a, "RegDeleteKeyExA") : nullptr;
  }
  return reinterpret_cast<DeleteKeyExFn>(f);
}

LONG DeleteOneKey(const ScriptContext* ctx, HKEY parent, const char* subkey) {
  DeleteKeyExFn ex = View(ctx) ? DeleteKeyEx() : nullptr;
  return ex ? ex(parent, subkey, View(ctx), 0) : RegDeleteKeyA(parent, subkey);
}

// Deletes `subkey` below `parent` with everything below it, its first
// subkey again and again until none is left; the first failure ends the walk.
LONG DeleteTree(const ScriptContext* ctx, HKEY parent, const char* subkey, int depth) {
  if (depth > kMaxKeyDepth) return ERROR_BADKEY;
  HKEY k;
  LONG rc = RegOpenKeyExA(parent, subkey, 0,
                          KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | DELETE | View(ctx), &k);
  if (rc != ERROR_SUCCESS) return rc;
  char name[kKeyNameRoom];
  for (;;) {
    DWORD n = sizeof name;
    rc = RegEnumKeyExA(k, 0, name, &n, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_SUCCESS) rc = DeleteTree(ctx, k, name, depth + 1);
    if (rc != ERROR_SUCCESS) break;
  }
  RegCloseKey(k);
  return rc == ERROR_NO_MORE_ITEMS ? DeleteOneKey(ctx, parent, subkey) : rc;
}

// RegDeleteKey(handle, subkey): the key and all its subkeys; 1.
void RegDeleteKeyBody(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  const char* sub = ArgText(ctx, args[2]);
  if (!*sub) return err::Raise(ctx, kBlankSubkey);
  HKEY key = KeyOf(args[1].ival);
  LONG rc = g_process.platform == kPlatform9x ? RegDeleteKeyA(key, sub) : DeleteTree(ctx, key, sub, 0);
  if (rc != ERROR_SUCCESS) return err::Raise(ctx, kDeleteFailed);
  r->ival = 1;
}

// RegDelValue(handle, subkey[value]): 1 when the value was deleted, else 0.
void RegDelValue(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  KeyValue kv;
  if (!reg::SplitKeyValue(ctx, ArgText(ctx, args[2]), &kv)) return;
  SubKey k;
  if (k.Open(ctx, KeyOf(args[1].ival), kv.subkey, KEY_SET_VALUE) != ERROR_SUCCESS)
    return err::Raise(ctx, reg::kCannotOpenSubkey);
  r->ival = RegDeleteValueA(k.get(), kv.name) == ERROR_SUCCESS;
}

// ---- tests and types

void RegExistKey(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  HKEY k;
  if (RegOpenKeyExA(KeyOf(args[1].ival), ArgText(ctx, args[2]), 0, KEY_READ | View(ctx), &k) !=
      ERROR_SUCCESS)
    return;
  RegCloseKey(k);
  r->ival = 1;
}

// The type of the value a key-and-value text names; false when the subkey or
// the value cannot be read (no error set).
bool ValueType(ScriptContext* ctx, const Value* args, DWORD* type) {
  KeyValue kv;
  if (!reg::SplitKeyValue(ctx, ArgText(ctx, args[2]), &kv)) return false;
  SubKey k;
  return k.Open(ctx, KeyOf(args[1].ival), kv.subkey, KEY_READ) == ERROR_SUCCESS &&
         RegQueryValueExA(k.get(), kv.name, nullptr, type, nullptr, nullptr) == ERROR_SUCCESS;
}

void RegExistValue(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  DWORD type;
  r->ival = ValueType(ctx, args, &type);
}

void RegEntryType(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  DWORD type;
  if (ValueType(ctx, args, &type)) r->ival = static_cast<int32_t>(type);
  else if (!ctx->error) err::Raise(ctx, kEntryTypeFailed);
}

// ---- listings

// Names gathered into one tab-separated text.
class NameList {
 public:
  // Room for `count` names of at most `longest` characters each.
  bool Reserve(ScriptContext* ctx, DWORD count, DWORD longest) {
    room_ = static_cast<size_t>(count) * (2 * static_cast<size_t>(longest) + 2) + 1;
    return mem_.Get(ctx, room_) || Fail(ctx, 1455);
  }
  void Add(const char* name, size_t n) {
    size_t sep = len_ ? 1 : 0;
    if (len_ + sep + n >= room_) return;
    if (sep) mem_.As<char>()[len_++] = '\t';
    memcpy(mem_.As<char>() + len_, name, n);
    len_ += n;
  }
  void Result(ScriptContext* ctx, Value* r) { txt::SetResult<char>(ctx, r, mem_.As<char>(), len_); }

 private:
  txt::WorkMemory mem_;
  size_t room_ = 0;
  size_t len_ = 0;
};

struct KeyInfo {
  DWORD subkeys = 0, longestSubkey = 0, values = 0, longestValue = 0;
  FILETIME written{};
};

// Opens `subkey` below the handle for reading and reads its counts; 1452
// when it cannot be opened or read.
bool ReadKeyInfo(ScriptContext* ctx, int32_t handle, const char* subkey, SubKey* k, KeyInfo* info) {
  if (k->Open(ctx, KeyOf(handle), subkey, KEY_READ) != ERROR_SUCCESS ||
      RegQueryInfoKeyA(k->get(), nullptr, nullptr, nullptr, &info->subkeys, &info->longestSubkey,
                       nullptr, &info->values, &info->longestValue, nullptr, nullptr,
                       &info->written) != ERROR_SUCCESS)
    return Fail(ctx, reg::kCannotOpenSubkey);
  return true;
}

// RegQueryKeys(handle): the names of the key's subkeys, tab-separated.
void RegQueryKeys(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  SubKey k;
  KeyInfo info;
  NameList list;
  if (!ReadKeyInfo(ctx, args[1].ival, "", &k, &info) ||
      !list.Reserve(ctx, info.subkeys, info.longestSubkey))
    return;
  char name[kKeyNameRoom];
  for (DWORD i = 0; i < info.subkeys; ++i) {
    DWORD n = sizeof name;
    LONG rc = RegEnumKeyExA(k.get(), i, name, &n, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_SUCCESS) list.Add(name, n);
  }
  list.Result(ctx, r);
}

// RegQueryKey(handle, index): the name of subkey `index` (from 0); "" past the last.
void RegQueryKey(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  char name[kKeyNameRoom];
  DWORD n = sizeof name;
  LONG rc = args[2].ival < 0 ? ERROR_NO_MORE_ITEMS
                             : RegEnumKeyExA(KeyOf(args[1].ival), static_cast<DWORD>(args[2].ival),
                                             name, &n, nullptr, nullptr, nullptr, nullptr);
  if (rc == ERROR_NO_MORE_ITEMS) n = 0;
  else if (rc != ERROR_SUCCESS) return err::Raise(ctx, reg::kCannotOpenSubkey);
  txt::SetResult<char>(ctx, r, name, n);
}

// RegQueryItem(handle, subkey): the names of the subkey's named values,
// tab-separated (the default value has no name and is not listed).
void RegQueryItem(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  SubKey k;
  KeyInfo info;
  NameList list;
  txt::WorkMemory name;
  if (!ReadKeyInfo(ctx, args[1].ival, ArgText(ctx, args[2]), &k, &info) ||
      !list.Reserve(ctx, info.values, info.longestValue))
    return;
  DWORD room = 2 * info.longestValue + 2;
  if (!name.Get(ctx, room)) return err::Raise(ctx, 1455);
  for (DWORD i = 0; i < info.values; ++i) {
    DWORD n = room;
    LONG rc = RegEnumValueA(k.get(), i, name.As<char>(), &n, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_SUCCESS && n > 0) list.Add(name.As<char>(), n);
  }
  list.Result(ctx, r);
}

// RegQueryKeyLastWriteTime(handle, subkey): local time of the key's last
// change as YmdHms text.
void RegQueryKeyLastWriteTime(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  SubKey k;
  KeyInfo info;
  if (!ReadKeyInfo(ctx, args[1].ival, ArgText(ctx, args[2]), &k, &info)) return;
  FILETIME local;
  SYSTEMTIME st;
  if (!FileTimeToLocalFileTime(&info.written, &local) || !FileTimeToSystemTime(&local, &st))
    return err::Raise(ctx, reg::kCannotOpenSubkey);
  ymd::Ymd t{{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond}};
  char text[32];
  ymd::Format(t, ctx->yearFourDigits != 0, text, sizeof text);
  txt::SetResult<char>(ctx, r, text, strlen(text));
}

// ---- other computers and hives

// RegConnect(computer, root): a root key of another computer ("" this one).
void RegConnect(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  const char* computer = ArgText(ctx, args[1]);
  HKEY k = nullptr;
  LONG rc = RegConnectRegistryA(*computer ? computer : nullptr, KeyOf(args[2].ival), &k);
  if (rc == ERROR_SUCCESS) return HandleResult(r, k);
  err::RecordSystemError(ctx, rc, "RegConnectRegistry", true);
  switch (rc) {
    case ERROR_SERVICE_DOES_NOT_EXIST: return err::Raise(ctx, 1502);
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_COMPUTERNAME: return err::Raise(ctx, 1503);
    case ERROR_INVALID_HANDLE: return err::Raise(ctx, 1504);
    default: return err::Raise(ctx, 1505);
  }
}

// The platform's failures of loading and unloading hives.
void RaiseHiveError(ScriptContext* ctx, LONG rc, bool unloading) {
  switch (rc) {
    case ERROR_INVALID_PARAMETER: return err::Raise(ctx, unloading ? 1528 : 1529);
    case ERROR_ACCESS_DENIED: return err::Raise(ctx, 1526);
    case ERROR_INVALID_HANDLE: return err::Raise(ctx, 1525);
    case ERROR_BADKEY: return err::Raise(ctx, unloading ? 1533 : 1529);
    default: return err::Raise(ctx, 1529);
  }
}

// RegLoadHive(handle, subkey, file): loads a hive file as a new subkey.
void RegLoadHive(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  bool nt = g_process.platform == kPlatformNT;
  if (nt && !(EnablePrivilege("SeRestorePrivilege") && EnablePrivilege("SeBackupPrivilege")))
    return err::Raise(ctx, kNoPrivilege);
  const char* sub = ArgText(ctx, args[2]);
  LONG rc;
  if (args[3].flags & kFlagUnicode) {
    wchar_t wsub[kWorkBuf];
    int n = MultiByteToWideChar(ctx->codePage, 0, sub, -1, wsub, kWorkBuf);
    rc = n > 0 ? RegLoadKeyW(KeyOf(args[1].ival), wsub, txt::Arg<wchar_t>(ctx, args[3]).p)
               : ERROR_INVALID_PARAMETER;
  } else {
    rc = RegLoadKeyA(KeyOf(args[1].ival), sub, ArgText(ctx, args[3]));
  }
  if (rc != ERROR_SUCCESS) {
    err::RecordSystemError(ctx, rc, "RegLoadKey", true);
    return RaiseHiveError(ctx, rc, false);
  }
  r->ival = 1;
}

// RegUnloadHive(handle, subkey): unloads a hive loaded as that subkey.
void RegUnloadHive(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  if (g_process.platform == kPlatformNT && !EnablePrivilege("SeRestorePrivilege"))
    return err::Raise(ctx, kNoPrivilege);
  LONG rc = RegUnLoadKeyA(KeyOf(args[1].ival), ArgText(ctx, args[2]));
  if (rc != ERROR_SUCCESS) {
    err::RecordSystemError(ctx, rc, "RegUnLoadKey", true);
    return RaiseHiveError(ctx, rc, true);
  }
  r->ival = 1;
}

// ---- application paths

// RegApp(program, path): registers a program under the system's application
// paths by its file name: the default value is the program as given, "Path"
// the folders to search first (left alone when path is ""). 1.
void RegApp(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  static const char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
  txt::Text<char> program = txt::Arg<char>(ctx, args[1]);
  const char* path = ArgText(ctx, args[2]);
  txt::LeadBytes lb;
  txt::ReadCodePageLeads(ctx, &lb);
  size_t nameAt = 0;
  for (size_t i = 0; i < program.len; i += txt::Step(lb, program.p + i, program.p + program.len))
    if (program.p[i] == '\\' || program.p[i] == '/' || program.p[i] == ':') nameAt = i + 1;
  char sub[reg::kSubkeyRoom];
  size_t nameLen = program.len - nameAt;
  if (nameLen == 0 || sizeof kAppPaths + nameLen > sizeof sub)
    return err::Raise(ctx, reg::kCannotOpenSubkey);
  memcpy(sub, kAppPaths, sizeof kAppPaths - 1);
  memcpy(sub + sizeof kAppPaths - 1, program.p + nameAt, nameLen);
  sub[sizeof kAppPaths - 1 + nameLen] = 0;
  SubKey k;
  if (k.Create(ctx, HKEY_LOCAL_MACHINE, sub, KEY_SET_VALUE) != ERROR_SUCCESS)
    return err::Raise(ctx, reg::kCannotOpenSubkey);
  auto setText = [&](const char* name, const char* text) {
    return RegSetValueExA(k.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(strlen(text) + 1)) == ERROR_SUCCESS;
  };
  if (!setText("", program.p) || (*path && !setText("Path", path)))
    return err::Raise(ctx, kSetFailed);
  r->ival = 1;
}

}  // namespace

void RegisterRegistry() {
  Register("regopenkey", RegOpenKeyBody);
  Register("regopenkeyex", RegOpenKeyExBody);
  Register("regcreatekey", RegCreateKeyBody);
  Register("regclosekey", RegCloseKeyBody);
  Register("regopenflags", RegOpenFlags);
  Register("regdeletekey", RegDeleteKeyBody);
  Register("regdelvalue", RegDelValue);
  Register("regexistkey", RegExistKey);
  Register("regexistvalue", RegExistValue);
  Register("regentrytype", RegEntryType);
  Register("regquerykeys", RegQueryKeys);
  Register("regquerykey", RegQueryKey);
  Register("regqueryitem", RegQueryItem);
  Register("regquerykeylastwritetime", RegQueryKeyLastWriteTime);
  Register("regconnect", RegConnect);
  Register("regloadhive", RegLoadHive);
  Register("regunloadhive", RegUnloadHive);
  Register("regapp", RegApp);
  RegisterRegistryValues();
}

}  // namespace zel::calls
