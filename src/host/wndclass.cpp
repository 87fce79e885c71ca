// Window classes (registered once per process by the first initialisation).
#include "host/wndclass.h"

#include "host/process.h"

namespace zel {
namespace {

constexpr int kNotifyExtraBytes = 8;
constexpr int kDialogExtraBytes = 38;

// Until the multimedia and dialog subsystems take these windows over, the
// classes behave as plain windows.
LRESULT CALLBACK NotifyWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(w, m, wp, lp);
}
LRESULT CALLBACK DialogWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(w, m, wp, lp);
}
LRESULT CALLBACK DialogWindowProc2(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(w, m, wp, lp);
}
LRESULT CALLBACK DialogWindowProcW(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(w, m, wp, lp);
}

bool Registered(ATOM atom) { return atom != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS; }

WNDCLASSA DialogClass(const char* name, WNDPROC proc) {
  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = proc;
  wc.cbWndExtra = kDialogExtraBytes;
  wc.hInstance = ModuleInstance();
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = name;
  return wc;
}

}  // namespace

bool RegisterWindowClasses() {
  if (g_process.classesRegistered) return true;
  WNDCLASSA notify{};
  notify.lpfnWndProc = NotifyWindowProc;
  notify.cbWndExtra = kNotifyExtraBytes;
  notify.hInstance = ModuleInstance();
  notify.lpszClassName = kNotifyClass;
  if (!Registered(RegisterClassA(&notify))) return false;
  WNDCLASSA dlg = DialogClass(kDialogClass, DialogWindowProc);
  if (!Registered(RegisterClassA(&dlg))) return false;
  WNDCLASSA dlg2 = DialogClass(kDialogClass2, DialogWindowProc2);
  if (!Registered(RegisterClassA(&dlg2))) return false;
  WNDCLASSA a = DialogClass(kDialogClassW, nullptr);
  if (g_process.platform == kPlatformNT) {
    WNDCLASSW w{};
    w.style = a.style;
    w.lpfnWndProc = DialogWindowProcW;
    w.cbWndExtra = a.cbWndExtra;
    w.hInstance = a.hInstance;
    w.hCursor = a.hCursor;
    w.hbrBackground = a.hbrBackground;
    w.lpszClassName = kDialogClassWideName;
    if (!Registered(RegisterClassW(&w))) return false;
  } else {
    a.lpfnWndProc = DialogWindowProc;
    if (!Registered(RegisterClassA(&a))) return false;
  }
  g_process.classesRegistered = true;
  return true;
}

}  // namespace zel
