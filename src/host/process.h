// Process-wide state shared by every ScriptContext of the process: set once,
// without locks, on the host's thread.
#pragma once
#include <windows.h>
#include <cstdint>
#include "host/limits.h"

namespace zel {

enum : uint32_t { kPlatform9x = 1, kPlatformNT = 2 };

struct ProcessState {
  HINSTANCE instance;        // this library's module
  bool factsKnown;
  uint32_t platform;         // kPlatform9x or kPlatformNT
  uint32_t majorVersion, minorVersion;
  bool newerSystem;          // NT family, major version 5 or later
  bool wow64;                // a 32-bit process under 64-bit Windows
  volatile long entryGuard;  // DoDaDllInit calls in progress
  bool classesRegistered;
  bool scrambleBuilt;
  uint8_t scramble[256];     // a permutation of the byte values
  uint8_t unscramble[256];   // its inverse
  bool messagesLoaded;
  char popupMenuText[kMessageText];  // message 730
  char menuItemText[kMessageText];   // message 731
  FARPROC blockInput;        // USER32 BlockInput, when present
  FARPROC regDeleteKeyEx;    // ADVAPI32 RegDeleteKeyExA, under 64-bit Windows
  FARPROC toolhelp[5];       // 9x process and module enumeration
  bool quickLookBuilt;
  uint32_t quickLook[kQuickLookChars];      // keyword index: first record of each first character
  uint32_t quickLookCopy[kQuickLookChars];  // made with it; the diagnostics dump compares the two
};

extern ProcessState g_process;

// The process-wide Unicode switch: UTF-16 text paths are taken on the NT family.
inline bool UnicodeSwitch() { return g_process.platform == kPlatformNT; }

// Module handle for resources: the library's own, or the program's when the
// library's objects are linked into a program (the unit tests).
HINSTANCE ModuleInstance();

// Enables a privilege (such as "SeSystemtimePrivilege") of the process's
// token; false when the token cannot have it.
bool EnablePrivilege(const char* name);

}  // namespace zel
