// The library's entry point: it only records the module instance.
#include <windows.h>

#include "host/process.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  zel::g_process.instance = instance;
  return TRUE;
}
