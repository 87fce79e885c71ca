// Host entry (DoDaDllInit: the interface check, the initialisation and binding
// of a ScriptContext, the string heap's attachment, and the end of a context).
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "binary/buffer.h"
#include "errors/errinfo.h"
#include "errors/messages.h"
#include "errors/report.h"
#include "exec/pump.h"
#include "exec/udf.h"
#include "host/api.h"
#include "host/context.h"
#include "host/hostlock.h"
#include "host/process.h"
#include "host/settings.h"
#include "host/wndclass.h"
#include "script/scramble.h"
#include "values/array.h"
#include "values/convert.h"
#include "values/heap.h"
#include "values/matherr.h"

namespace zel {
namespace {

// DoDaDllInit calls are serialised by a plain counter polled every 50 ms.
class EntryGuard {
 public:
  EntryGuard() {
    while (g_process.entryGuard != 0) Sleep(50);
    ++g_process.entryGuard;
  }
  ~EntryGuard() { --g_process.entryGuard; }
  EntryGuard(const EntryGuard&) = delete;
  EntryGuard& operator=(const EntryGuard&) = delete;
};

using IsWow64Fn = BOOL(WINAPI*)(HANDLE, PBOOL);

void LearnPlatform() {
  if (g_process.factsKnown) return;
  OSVERSIONINFOA vi{};
  vi.dwOSVersionInfoSize = sizeof vi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&vi);
#pragma GCC diagnostic pop
  g_process.platform = vi.dwPlatformId == VER_PLATFORM_WIN32_NT ? kPlatformNT : kPlatform9x;
  g_process.majorVersion = vi.dwMajorVersion;
  g_process.minorVersion = vi.dwMinorVersion;
  g_process.newerSystem = g_process.platform == kPlatformNT && vi.dwMajorVersion >= 5;
  if (g_process.platform == kPlatformNT) {
    HMODULE k = GetModuleHandleA("KERNEL32.DLL");
    auto fn = k ? reinterpret_cast<IsWow64Fn>(GetProcAddress(k, "IsWow64Process")) : nullptr;
    BOOL wow = FALSE;
    g_process.wow64 = fn && fn(GetCurrentProcess(), &wow) && wow;
  }
  g_process.factsKnown = true;
}

// Looks up the optional system functions the platform offers.
void FindOptionalFunctions() {
  if (g_process.platform == kPlatform9x) {
    static const char* const kNames[5] = {"CreateToolhelp32Snapshot", "Process32First",
                                          "Process32Next", "Module32First", "Module32Next"};
    HMODULE k = GetModuleHandleA("KERNEL32.DLL");
    bool all = k != nullptr;
    for (int i = 0; i < 5 && all; ++i) all = (g_process.toolhelp[i] = GetProcAddress(k, kNames[i]));
    if (!all)
      for (FARPROC& f : g_process.toolhelp) f = nullptr;
  }
  if (g_process.newerSystem) {
    HMODULE u = GetModuleHandleA("USER32.DLL");
    g_process.blockInput = u ? GetProcAddress(u, "BlockInput") : nullptr;
  }
  if (g_process.wow64) {
    HMODULE a = LoadLibraryA("ADVAPI32.DLL");
    g_process.regDeleteKeyEx = a ? GetProcAddress(a, "RegDeleteKeyExA") : nullptr;
  }
}

// Seeds the generator with the calendar time modulo the tick count, never 1.
void SeedRandom() {
  unsigned long r;
  do {
    DWORD tick = GetTickCount();
    r = static_cast<unsigned long>(time(nullptr)) % (tick ? tick : 1);
  } while (r == 1);
  srand(static_cast<unsigned>(r));
}

void LoadMenuTexts(ScriptContext* ctx) {
  if (g_process.messagesLoaded) return;
  msg::Load(ctx, 730, g_process.popupMenuText, sizeof g_process.popupMenuText);
  msg::Load(ctx, 731, g_process.menuItemText, sizeof g_process.menuItemText);
  g_process.messagesLoaded = true;
}

LONG CheckInterface(LONG_PTR value) {
  if (((value >> 8) & 0xff) == static_cast<LONG_PTR>(kZelInterfaceVersion)) return kZelInterfaceOk;
  MessageBoxA(GetFocus(), "Version Interface Incompatible", "DLL mismatch",
              MB_OK | MB_SETFOREGROUND);
  return 0;
}

// The run-time switches' defaults; IntControl changes them for the context's life.
void InitSwitches(ScriptContext* ctx) {
  ctx->listDelimiter = '\t';
  ctx->keyDelay = 25;
  ctx->yearFourDigits = 1;
  ctx->keyWaitIdle = 1;
  ctx->keyConsole = 1;
  ctx->windowWaitCount = 9;
  ctx->fileShareRead = 1;
  ctx->fileShareWrite = 0;
  ctx->fileLineEnd = 1;
  bool nine8 = g_process.platform == kPlatform9x && g_process.minorVersion >= 10;  // 98 and ME
  ctx->foregroundMode = nine8 ? 3 : g_process.newerSystem ? 5 : 0;
  ctx->promptForeground = nine8 ? 3 : g_process.newerSystem ? 4 : 0;
  ctx->lastExitCode = 99999;
  ctx->fileReadBuffer = -2;
  ctx->windowActionDelay = 100;
  ctx->waitDoneDelay = 500;
  ctx->inputIdleWait = 10000;
}

LONG InitContext(HGLOBAL context, LONG_PTR hostInstance) {
  ContextLock lock(context);
  ScriptContext* ctx = lock.get();
  if (!ctx) return kZelInitDone;
  LearnPlatform();
  ctx->hostInstance = reinterpret_cast<HINSTANCE>(hostInstance);
  ctx->includeMode = kIncludeMerge | kIncludeRunTime;
  ctx->udfHighBlock = -1;
  ctx->udfExecuting = kOwnerNone;
  ctx->ddeTimeout = kDdeDefaultTimeout;
  ctx->cursorWait = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
  ctx->cursorNormal = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  ctx->cursorCurrent = ctx->cursorNormal;
  for (FileSlot& f : ctx->files) f = FileSlot{};
  for (BufferSlot& b : ctx->buffers) b = BufferSlot{};
  for (HGLOBAL& h : ctx->udfBlocks) h = nullptr;
  for (UdfRecord*& r : ctx->udfRecords) r = nullptr;
  ctx->regViewFlag = g_process.wow64 ? 256 : 0;
  InitSwitches(ctx);
  err::BeginRun(ctx);
  ctx->decimals = kDecimalsDefault;
  ctx->codePage = CP_ACP;
  ctx->pendingElse = -1;
  settings::Load(ctx);
  SeedRandom();
  scramble::BuildTables();
  matherr::Install();
  LoadMenuTexts(ctx);
  if (!RegisterWindowClasses()) return 0;
  FindOptionalFunctions();
  exec::PumpMessages(ctx);
  return kZelInitDone;
}

// The bottom edge of a default-sized overlapped window, used to place windows
// above the icons.
int32_t MeasureDefaultWindowBottom() {
  HWND w = CreateWindowA(kNotifyClass, "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, ModuleInstance(), nullptr);
  if (!w) return 0;
  RECT r{};
  GetWindowRect(w, &r);
  DestroyWindow(w);
  return r.bottom;
}

LONG BindVariables(HWND window, HGLOBAL context, LONG_PTR table, LONG_PTR slots) {
  if (!context) return 0;
  ContextLock lock(context);
  ScriptContext* ctx = lock.get();
  if (!ctx) return 0;
  HGLOBAL tableHandle = reinterpret_cast<HGLOBAL>(table);
  VarRecord* vars = tableHandle ? static_cast<VarRecord*>(GlobalLock(tableHandle)) : nullptr;
  if (!vars) return 0;
  ctx->selfHandle = context;
  ctx->hostWindow = window;
  HWND parent = window ? GetParent(window) : nullptr;
  ctx->ownerWindow = parent ? parent : window;
  ctx->varTable = tableHandle;
  ctx->varCapacity = static_cast<uint16_t>(slots);
  // Slot 0 is reserved: empty name, integer -1, uninitialized.
  VarRecord& zero = vars[0];
  zero = VarRecord{};
  zero.v.ival = -1;
  zero.v.flags = kFlagUninit;
  ctx->varInUse = 1;
  GlobalUnlock(tableHandle);
  ctx->frameNumber = 0;
  ctx->frameSerial = ++ctx->frameCounter;
  ctx->frameTick = GetTickCount();
  FrameRecord& f0 = ctx->frames[0];
  f0 = FrameRecord{};
  f0.number = 0;
  f0.table = tableHandle;
  f0.serial = ctx->frameSerial;
  f0.tick = ctx->frameTick;
  f0.capacity = ctx->varCapacity;
  f0.inUse = 1;
  f0.lastAssigned = kOwnerNone;
  ctx->aboveIconsBottom = MeasureDefaultWindowBottom();
  exec::PumpMessages(ctx);
  return 1;
}

// Points the environment variable "=X:" of the current drive at the current
// directory, as the command processor keeps it.
void SetDriveDirectoryVariable() {
  char dir[MAX_PATH];
  DWORD n = GetCurrentDirectoryA(sizeof dir, dir);
  if (n == 0 || n >= sizeof dir || dir[1] != ':') return;
  char name[4] = {'=', dir[0], ':', 0};
  SetEnvironmentVariableA(name, dir);
}

LONG AttachHeap(HGLOBAL context, LONG_PTR base, LONG_PTR committed, const char* descriptor) {
  if (!context || !base) return 0;
  ContextLock lock(context);
  ScriptContext* ctx = lock.get();
  if (!ctx) return 0;
  // The fixed records, one free block of at least the smallest size, and the
  // end tag need 72 bytes.
  if (committed < 72 || static_cast<uint64_t>(committed) > 0xfffff000u) return 0;
  ctx->heapBase = reinterpret_cast<char*>(base);
  heap::Init(ctx, static_cast<uint32_t>(committed));
  exec::PumpMessages(ctx);
  SetDriveDirectoryVariable();
  if (descriptor) ctx->heapDescriptor = reinterpret_cast<uint8_t*>(const_cast<char*>(descriptor));
  return 1;
}

// Releases the arrays and COM objects held by the variables of frame 0.
void ReleaseVariables(ScriptContext* ctx) {
  if (!ctx->varTable) return;
  auto* vars = static_cast<VarRecord*>(GlobalLock(ctx->varTable));
  if (!vars) return;
  VarRecord* saved = ctx->vars;
  ctx->vars = vars;
  for (uint32_t i = 0; i < ctx->varInUse && i < ctx->varCapacity; ++i) {
    ValueCell& v = vars[i].v;
    if (v.flags & kFlagArray) arr::Release(ctx, &v, true);
    if (v.flags & kFlagVariant) {
      VariantClear(&v.variant);
      v.flags &= ~(kFlagVariant | kFlagComObj);
    }
  }
  ctx->vars = saved;
  GlobalUnlock(ctx->varTable);
}

void CloseFileSlots(ScriptContext* ctx) {
  for (FileSlot& f : ctx->files) {
    if (f.file && f.file != INVALID_HANDLE_VALUE) CloseHandle(f.file);
    if (f.buffer) {
      while (GlobalFlags(f.buffer) & GMEM_LOCKCOUNT) GlobalUnlock(f.buffer);
      GlobalFree(f.buffer);
    }
    f = FileSlot{};
  }
}

LONG EndContext(HGLOBAL context, const char* callback) {
  if (!context) return 0;
  ContextLock lock(context);
  ScriptContext* ctx = lock.get();
  if (!ctx) return 0;
  ctx->hostCallback = const_cast<char*>(callback);
  for (uint32_t i = 0; i < kNativeLibs && ctx->nativeLibCount > 0; ++i) {
    if (ctx->nativeLibs[i]) {
      FreeLibrary(ctx->nativeLibs[i]);
      ctx->nativeLibs[i] = nullptr;
      --ctx->nativeLibCount;
    }
  }
  ReleaseVariables(ctx);
  arr::EndUnheld(ctx);
  CloseFileSlots(ctx);
  bin::ReleaseAll(ctx);
  exec::FreeDefinitions(ctx);
  err::FreeErrorInfo(ctx);
  if (ctx->inputBlocked && g_process.blockInput) {
    reinterpret_cast<BOOL(WINAPI*)(BOOL)>(g_process.blockInput)(FALSE);
    ctx->inputBlocked = 0;
  }
  for (int i = 0; i < 5; ++i) exec::PumpMessages(ctx);
  return 1;
}

}  // namespace
}  // namespace zel

using namespace zel;

ZEL_API LONG WINAPI DoDaDllInit(HWND window, HGLOBAL context, LONG_PTR value, int16_t operation,
                                LONG_PTR number, const char* text1, const char* text2) {
  EntryGuard guard;
  switch (operation) {
    case kZelOpCheckInterface: return CheckInterface(value);
    case kZelOpInitContext: return InitContext(context, number);
    case kZelOpBindVariables: return BindVariables(window, context, value, number);
    case kZelOpAttachHeap: return AttachHeap(context, value, number, text2);
    case kZelOpEndContext: return EndContext(context, text2);
    default: return 0;
  }
}

ZEL_API uint32_t WINAPI VMalloc(ScriptContext* ctx, uint32_t bytes) {
  return ctx ? heap::Alloc(ctx, bytes) : 0;
}

ZEL_API void WINAPI VFree(ScriptContext* ctx, uint32_t offset) {
  if (ctx) heap::Free(ctx, offset);
}
