// Process-wide state (platform facts, once-only flags, scramble tables).
#include "host/process.h"

namespace zel {

ProcessState g_process;

HINSTANCE ModuleInstance() {
  return g_process.instance ? g_process.instance : GetModuleHandleA(nullptr);
}

}  // namespace zel
