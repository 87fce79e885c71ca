// zelrun: the reference host (runs one script file with zel.dll).
// Usage: zelrun [--silent] SCRIPT [PARAMS...]. Loads zel.dll from its own
// folder, drives it in the host's calling order, fills param0 (the count) and
// param1, param2... from PARAMS, and adds one host function, Echo(text), which
// writes the text and a line feed to standard output. With --silent, errors
// are logged instead of shown and each logged report's message is copied to
// standard error after the run. Exit status: 0 the run reached its end or
// Exit; 1 an error ended it; 2 the script could not be loaded or run, or the
// arguments are wrong.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "builtins/functable.h"
#include "extender/hostcall.h"
#include "host/api.h"
#include "host/context.h"
#include "values/varrecord.h"

namespace {

using namespace zel;

constexpr int kExitDone = 0;
constexpr int kExitError = 1;
constexpr int kExitNotRun = 2;

constexpr uint16_t kSlots = 2000;                     // variable slots of the host's table
constexpr uint32_t kHeapCommit = 64 * 1024;           // committed at the start; the library grows it
constexpr uint32_t kHeapReserve = 256 * 1024 * 1024;  // address range the heap may grow into
constexpr int32_t kExitCode = 9000;                   // the run ended with Exit

using InitFn = decltype(&::DoDaDllInit);
using RunFn = decltype(&::ProcessDaBatBuffer);
using VMallocFn = decltype(&::VMalloc);

struct Library {
  HMODULE module;
  InitFn init;
  RunFn run;
  VMallocFn vmalloc;
};

struct HostBlocks {
  HGLOBAL context;
  HGLOBAL table;
  char* heap;
};

// ---- output

// Writes all of `len` bytes to a standard handle; false when it cannot.
bool WriteAll(DWORD which, const char* text, size_t len) {
  HANDLE h = GetStdHandle(which);
  if (!h || h == INVALID_HANDLE_VALUE) return false;
  while (len > 0) {
    DWORD chunk = len > 0x10000 ? 0x10000 : static_cast<DWORD>(len), done = 0;
    if (!WriteFile(h, text, chunk, &done, nullptr) || done == 0) return false;
    text += done;
    len -= done;
  }
  return true;
}

// One line on standard error, "zelrun: " first.
__attribute__((format(printf, 1, 2))) void Complain(const char* format, ...) {
  char line[1024] = "zelrun: ";
  size_t head = strlen(line);
  va_list args;
  va_start(args, format);
  int n = vsnprintf(line + head, sizeof line - head - 1, format, args);
  va_end(args);
  size_t len = n < 0 ? head : head + static_cast<size_t>(n);
  if (len > sizeof line - 2) len = sizeof line - 2;
  line[len++] = '\n';
  WriteAll(STD_ERROR_HANDLE, line, len);
}

// ---- the host function table and callback

constexpr int kEchoCode = 0;  // Echo's record index: the code the callback receives

const FunctionTableEntry kHostTable[] = {
    {kHostIdBase + kEchoCode, KIND_FUNCTION, fn::Types(ARG_STRING), fn::Args(1, 0), 4, "echo"},
    {0, 0, 0, fn::NoArgs(), 0, ""},  // terminator
};

// Echo(text): the text and a line feed on standard output, at once; answers 1.
LONG Echo(ZelViperAnswer answer, ExtenderServiceBlock* block, const ExtenderArg* args, LONG argc) {
  const char* text = argc >= 1 && args[0].text ? static_cast<const char*>(args[0].text) : "";
  bool ok = WriteAll(STD_OUTPUT_HANDLE, text, strlen(text)) && WriteAll(STD_OUTPUT_HANDLE, "\n", 1);
  ExtenderArg result{};
  if (!ok) {
    static char failure[] = "Echo: standard output cannot be written";
    result.text = failure;
    answer(-1, 0, block, &result);
    return -1;
  }
  result.flags = kFlagInt;
  result.ival = 1;
  return answer(1, 0, block, &result);
}

LONG WINAPI HostCallback(HWND, HINSTANCE, DWORD, LONG code, ZelViperAnswer answer,
                         ExtenderServiceBlock* block, DWORD*, ExtenderArg* args, LONG argc,
                         DWORD_PTR*) {
  if (code == kEchoCode && answer && args) return Echo(answer, block, args, argc);
  return 0;  // events need nothing from this host
}

// ---- the library

bool LoadZel(Library* lib) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) {
    Complain("cannot find its own folder (system error %lu)", GetLastError());
    return false;
  }
  char* slash = strrchr(path, '\\');
  size_t folder = slash ? static_cast<size_t>(slash - path + 1) : 0;
  if (folder + sizeof "zel.dll" > sizeof path) {
    Complain("its folder's path is too long");
    return false;
  }
  memcpy(path + folder, "zel.dll", sizeof "zel.dll");
  lib->module = LoadLibraryA(path);
  if (!lib->module) {
    Complain("cannot load %s (system error %lu)", path, GetLastError());
    return false;
  }
  lib->init = reinterpret_cast<InitFn>(GetProcAddress(lib->module, "DoDaDllInit"));
  lib->run = reinterpret_cast<RunFn>(GetProcAddress(lib->module, "ProcessDaBatBuffer"));
  lib->vmalloc = reinterpret_cast<VMallocFn>(GetProcAddress(lib->module, "VMalloc"));
  if (lib->init && lib->run && lib->vmalloc) return true;
  Complain("%s lacks an entry point a host needs", path);
  return false;
}

// Interface check, context, variable table and string heap, in the host's order.
bool StartContext(const Library& lib, HostBlocks* h) {
  if (lib.init(nullptr, nullptr, kZelInterfaceVersion << 8, kZelOpCheckInterface, 0, nullptr,
               nullptr) != static_cast<LONG>(kZelInterfaceOk))
    return false;
  h->context = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kZelContextBytes);
  h->table = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(VarRecord) * kSlots);
  h->heap = static_cast<char*>(VirtualAlloc(nullptr, kHeapReserve, MEM_RESERVE, PAGE_NOACCESS));
  if (!h->context || !h->table || !h->heap ||
      !VirtualAlloc(h->heap, kHeapCommit, MEM_COMMIT, PAGE_READWRITE))
    return false;
  auto self = reinterpret_cast<LONG_PTR>(GetModuleHandleA(nullptr));
  if (lib.init(nullptr, h->context, 0, kZelOpInitContext, self, nullptr, nullptr) !=
      static_cast<LONG>(kZelInitDone))
    return false;
  if (lib.init(nullptr, h->context, reinterpret_cast<LONG_PTR>(h->table), kZelOpBindVariables,
               kSlots, nullptr, nullptr) != 1)
    return false;
  return lib.init(nullptr, h->context, reinterpret_cast<LONG_PTR>(h->heap), kZelOpAttachHeap,
                  kHeapCommit, nullptr, nullptr) == 1;
}

void FreeBlocks(HostBlocks* h) {
  if (h->context) GlobalFree(h->context);
  if (h->table) GlobalFree(h->table);
  if (h->heap) VirtualFree(h->heap, 0, MEM_RELEASE);
  *h = HostBlocks{};
}

// ---- context fields the host writes or reads itself
// The library has no exported service for these yet (the run's error number,
// silent mode and its log, the script's path, the count of variable slots in
// use): these functions are the only places where zelrun reaches into the
// context's layout, each doing one thing.

bool TurnOnSilentMode(HGLOBAL context, const char* logPath) {
  auto* ctx = static_cast<ScriptContext*>(GlobalLock(context));
  if (!ctx) return false;
  size_t n = strlen(logPath);
  bool fits = n < sizeof ctx->logFile;
  if (fits) {
    memcpy(ctx->logFile, logPath, n + 1);
    ctx->silentMode = 1;
  }
  GlobalUnlock(context);
  return fits;
}

bool SetScriptPath(HGLOBAL context, const char* path) {
  auto* ctx = static_cast<ScriptContext*>(GlobalLock(context));
  if (!ctx) return false;
  size_t n = strlen(path);
  bool fits = n < sizeof ctx->scriptPath;
  if (fits) memcpy(ctx->scriptPath, path, n + 1);
  GlobalUnlock(context);
  return fits;
}

// With the context locked by the caller: the library looks up variables only
// among the slots in use, so records the host wrote must be counted.
void SetSlotsInUse(ScriptContext* ctx, uint16_t inUse) { ctx->varInUse = inUse; }

int32_t RunErrorOf(HGLOBAL context) {
  auto* ctx = static_cast<ScriptContext*>(GlobalLock(context));
  if (!ctx) return -1;
  int32_t e = ctx->runError;
  GlobalUnlock(context);
  return e;
}

// ---- parameter variables

// Writes one variable record into the host's table.
void WriteRecord(VarRecord* slot, const char* name, uint32_t flags, int32_t ival, uint32_t text) {
  *slot = VarRecord{};
  slot->v.flags = flags;
  slot->v.ival = ival;
  slot->v.str = text;
  snprintf(slot->name, sizeof slot->name, "%s", name);
}

// param0 (the count) in slot 1, then param1, param2... as strings in the
// slots after it; the texts are allocated in the string heap with VMalloc.
bool SetParams(const Library& lib, const HostBlocks& h, char** params, int count) {
  if (count < 0 || count + 2 >= kSlots) {
    Complain("too many parameters (at most %d)", kSlots - 3);
    return false;
  }
  auto* ctx = static_cast<ScriptContext*>(GlobalLock(h.context));
  auto* vars = static_cast<VarRecord*>(GlobalLock(h.table));
  bool ok = ctx && vars;
  for (int i = 0; ok && i < count; ++i) {
    size_t len = strlen(params[i]);
    uint32_t off = len < 0x7fffffff ? lib.vmalloc(ctx, static_cast<uint32_t>(len + 1)) : 0;
    if (!off) {
      Complain("no room in the string heap for parameter %s", params[i]);
      ok = false;
      break;
    }
    memcpy(h.heap + off, params[i], len + 1);
    char name[kVarNameSize + 1];
    snprintf(name, sizeof name, "param%d", i + 1);
    WriteRecord(&vars[i + 2], name, kFlagString, 0, off);
  }
  if (ok) {
    WriteRecord(&vars[1], "param0", kFlagInt, count, 0);
    SetSlotsInUse(ctx, static_cast<uint16_t>(count + 2));
  }
  if (vars) GlobalUnlock(h.table);
  if (ctx) GlobalUnlock(h.context);
  return ok;
}

// ---- the script

// The file's bytes in a movable block, followed by two zero bytes (a
// terminator for ANSI and for UTF-16 text); nullptr when it cannot be read.
HGLOBAL ReadScript(const char* path) {
  HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    Complain("cannot open %s (system error %lu)", path, GetLastError());
    return nullptr;
  }
  LARGE_INTEGER size{};
  HGLOBAL block = nullptr;
  if (GetFileSizeEx(f, &size) && size.QuadPart < 0x7ffffff0)
    block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(size.QuadPart) + 2);
  char* p = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
  DWORD want = static_cast<DWORD>(size.QuadPart), got = 0;
  bool ok = p && ReadFile(f, p, want, &got, nullptr) && got == want;
  if (p) GlobalUnlock(block);
  CloseHandle(f);
  if (ok) return block;
  Complain("cannot read %s (system error %lu)", path, GetLastError());
  if (block) GlobalFree(block);
  return nullptr;
}

// ---- the silent-mode log

// A fresh, empty log file in the temporary folder; false when none can be made.
bool MakeLogPath(char path[MAX_PATH]) {
  char folder[MAX_PATH];
  DWORD n = GetTempPathA(sizeof folder, folder);
  return n > 0 && n < sizeof folder && GetTempFileNameA(folder, "zlr", 0, path) != 0;
}

// Each report of the log is a dated line, a blank line, the composed message,
// a blank line, the failing line and a separator. Copies each report's
// message to standard error, on a line of its own.
void CopyReports(const char* log) {
  static const char kSeparator[] = "\r\n<HR>\r\n\r\n";
  const char* p = log;
  while (*p) {
    const char* end = strstr(p, kSeparator);
    if (!end) end = p + strlen(p);
    const char* start = strstr(p, "\r\n\r\n");
    if (start && start < end) {
      start += 4;
      const char* stop = strstr(start, "\r\n\r\n");
      if (!stop || stop > end) stop = end;
      char line[kWorkBuf];
      size_t n = 0;
      for (const char* c = start; c < stop && n < sizeof line - 2; ++c)
        line[n++] = (*c == '\r' || *c == '\n') ? ' ' : *c;
      while (n > 0 && line[n - 1] == ' ') --n;
      line[n++] = '\n';
      if (n > 1) WriteAll(STD_ERROR_HANDLE, line, n);
    }
    p = *end ? end + sizeof kSeparator - 1 : end;
  }
}

void CopyLogToStderr(const char* path) {
  HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER size{};
  char* text = nullptr;
  if (GetFileSizeEx(f, &size) && size.QuadPart < 0x10000000)
    text = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(size.QuadPart) + 1));
  DWORD got = 0;
  if (text && ReadFile(f, text, static_cast<DWORD>(size.QuadPart), &got, nullptr)) {
    text[got] = 0;
    CopyReports(text);
  }
  if (text) HeapFree(GetProcessHeap(), 0, text);
  CloseHandle(f);
}

// ---- the run

struct Options {
  bool silent;
  const char* script;
  char** params;
  int paramCount;
};

bool ParseOptions(int argc, char** argv, Options* o) {
  *o = Options{};
  int i = 1;
  for (; i < argc && strncmp(argv[i], "--", 2) == 0; ++i) {
    if (strcmp(argv[i], "--silent") != 0) {
      Complain("unknown option %s", argv[i]);
      return false;
    }
    o->silent = true;
  }
  if (i >= argc) return false;
  o->script = argv[i];
  o->params = argv + i + 1;
  o->paramCount = argc - i - 1;
  return true;
}

// Runs the script in a started context; the exit status.
int RunScript(const Library& lib, const HostBlocks& h, const Options& o, HGLOBAL script,
              const char* logPath) {
  char full[MAX_PATH];
  DWORD n = GetFullPathNameA(o.script, sizeof full, full, nullptr);
  if (n == 0 || n >= sizeof full || !SetScriptPath(h.context, full)) {
    Complain("the script's path is too long: %s", o.script);
    return kExitNotRun;
  }
  if (!SetParams(lib, h, o.params, o.paramCount)) return kExitNotRun;
  if (logPath && !TurnOnSilentMode(h.context, logPath)) {
    Complain("cannot turn on silent mode with the log %s", logPath);
    return kExitNotRun;
  }
  if (!lib.run(nullptr, h.context, script, reinterpret_cast<void*>(&HostCallback), kHostTable)) {
    Complain("the library could not start %s", o.script);
    return kExitNotRun;
  }
  int32_t e = RunErrorOf(h.context);
  return e == 0 || e == kExitCode ? kExitDone : kExitError;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, &o)) {
    static const char kUsage[] = "usage: zelrun [--silent] SCRIPT [PARAMS...]\n";
    WriteAll(STD_ERROR_HANDLE, kUsage, sizeof kUsage - 1);
    return kExitNotRun;
  }
  HGLOBAL script = ReadScript(o.script);
  if (!script) return kExitNotRun;
  char logPath[MAX_PATH] = "";
  if (o.silent && !MakeLogPath(logPath)) {
    Complain("cannot make a log file in the temporary folder (system error %lu)", GetLastError());
    GlobalFree(script);
    return kExitNotRun;
  }
  Library lib{};
  HostBlocks h{};
  int status = kExitNotRun;
  if (LoadZel(&lib)) {
    if (StartContext(lib, &h)) {
      status = RunScript(lib, h, o, script, o.silent ? logPath : nullptr);
      lib.init(nullptr, h.context, 0, kZelOpEndContext, 0, nullptr,
               reinterpret_cast<const char*>(&HostCallback));
    } else {
      Complain("zel.dll refused the interface check or a context");
    }
  }
  if (o.silent) {
    CopyLogToStderr(logPath);
    DeleteFileA(logPath);
  }
  FreeBlocks(&h);
  GlobalFree(script);
  return status;
}
