// Message pump (dispatches waiting window messages on the run's thread and
// turns Ctrl+Break into a stop request).
#include "exec/pump.h"

#include "extender/hostcall.h"

namespace zel::exec {
namespace {

constexpr DWORD kMessagePause = 20;  // milliseconds between messages, unless pumping fast

bool KeyDown(int vk) { return GetKeyState(vk) < 0 || GetAsyncKeyState(vk) < 0; }

void CheckBreak(ScriptContext* ctx) {
  if (ctx->eventMask & kEventIdle) {
    const char* none[5] = {};
    ext::CallHostTexts(ctx, -1, nullptr, none);
  }
  if (ctx->breakDisabled) return;
  if (KeyDown(VK_CONTROL) && KeyDown(VK_CANCEL)) {
    ctx->stopRequested = 1;
    ctx->reportStop = 1;
  }
}

void Dispatch(MSG* m) {
  HWND parent = m->hwnd ? GetParent(m->hwnd) : nullptr;
  if (parent && (GetWindowLongA(m->hwnd, GWL_STYLE) & WS_TABSTOP) && IsDialogMessageA(parent, m))
    return;
  TranslateMessage(m);
  DispatchMessageA(m);
}

}  // namespace

void PumpMessages(ScriptContext* ctx) {
  if (ctx->pumpDisabled) return;
  MSG m;
  bool any = false;
  while (!ctx->stopRequested && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    any = true;
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));  // leave it for the host's own loop
      break;
    }
    Dispatch(&m);
    CheckBreak(ctx);
    if (!ctx->fastPump) Sleep(kMessagePause);
  }
  if (!any) CheckBreak(ctx);
  if (!ctx->fastPump) Sleep(0);
}

void PumpAfterStatement(ScriptContext* ctx) {
  DWORD now = GetTickCount();
  if (now == ctx->lastPumpTick) return;
  ctx->lastPumpTick = now;
  PumpMessages(ctx);
}

void WaitPumping(ScriptContext* ctx, uint32_t ms) {
  DWORD startTick = GetTickCount();
  while (!ctx->stopRequested) {
    PumpMessages(ctx);
    DWORD elapsed = GetTickCount() - startTick;
    if (elapsed >= ms) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
  }
}

}  // namespace zel::exec
