// Message pump (dispatches waiting window messages on the run's thread).
#include "exec/pump.h"

namespace zel::exec {

void PumpMessages(ScriptContext* ctx) {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));  // leave it for the host's own loop
      break;
    }
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

}  // namespace zel::exec
