// A program that holds the clipboard open for a while, for the tests of
// functions that must wait for the clipboard.
//   clipholder.exe MILLISECONDS EVENT
// Opens the clipboard for a hidden window of its own, sets the named event
// (created by the caller), waits, closes the clipboard and exits 0; exits 1
// when the clipboard could not be opened.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  DWORD ms = static_cast<DWORD>(strtoul(argv[1], nullptr, 10));
  HWND w = CreateWindowA("STATIC", "clipholder", 0, 0, 0, 0, 0, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
  if (!w || !ready || !OpenClipboard(w)) return 1;
  SetEvent(ready);
  Sleep(ms);
  CloseClipboard();
  CloseHandle(ready);
  DestroyWindow(w);
  return 0;
}
