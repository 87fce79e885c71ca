// The clipboard functions against the rest of the desktop: a clipboard that
// another process holds open for a while, an empty clipboard, and one that
// holds no text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "scripthost.h"

namespace zel::test {
namespace {

class ClipboardTest : public ScriptHostTest {};

// Replaces the clipboard's content by `bytes` of data in `format`, or
// empties it when format is 0.
bool PutOnClipboard(UINT format, const void* bytes, size_t n) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  bool ok = true;
  if (format) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, n);
    ok = h && GlobalLock(h);
    if (ok) {
      memcpy(GlobalLock(h), bytes, n);
      GlobalUnlock(h);
      GlobalUnlock(h);
      ok = SetClipboardData(format, h) != nullptr;
    }
  }
  CloseClipboard();
  return ok;
}

// The helper program beside this one.
std::string HelperPath(const char* name) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path, n);
  return p.substr(0, p.find_last_of("\\/") + 1) + name;
}

TEST_F(ClipboardTest, WaitsForAnotherProcessToLetGo) {
  const char* kEvent = "zel-clipholder-ready";
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, kEvent);
  ASSERT_NE(ready, nullptr);
  std::string cmd = "\"" + HelperPath("clipholder.exe") + "\" 2000 " + kEvent;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  ASSERT_EQ(WaitForSingleObject(ready, 20000), WAIT_OBJECT_0);
  bool heldElsewhere = !OpenClipboard(nullptr);
  if (!heldElsewhere) CloseClipboard();
  EXPECT_TRUE(heldElsewhere) << "the helper does not hold the clipboard";

  DWORD start = GetTickCount();
  Run("ErrorMode(@OFF)\nr = ClipPut(\"after the wait\")\ne = LastError()\nt = ClipGet()\n");
  DWORD waited = GetTickCount() - start;
  EXPECT_EQ(Var("e"), "0");
  EXPECT_EQ(Var("r"), "1");
  EXPECT_EQ(Var("t"), "after the wait");
  EXPECT_GE(waited, 900u);
  EXPECT_LT(waited, 15000u);

  DWORD code = 99;
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(ready);
}

TEST_F(ClipboardTest, EmptyClipboardReadsAsEmptyText) {
  ASSERT_TRUE(PutOnClipboard(0, nullptr, 0));
  Run("ErrorMode(@OFF)\nt = ClipGet()\ne = LastError()\nh = ClipHasFormat(1)\n"
      "r = ClipAppend(\"b\")\nu = ClipGet()\n");
  EXPECT_EQ(Var("t"), "");
  EXPECT_EQ(Var("e"), "0");
  EXPECT_EQ(Var("h"), "0");
  EXPECT_EQ(Var("r"), "1");
  EXPECT_EQ(Var("u"), "b");
}

TEST_F(ClipboardTest, ClipboardWithoutText) {
  UINT format = RegisterClipboardFormatA("ZEL test private format");
  ASSERT_NE(format, 0u);
  ASSERT_TRUE(PutOnClipboard(format, "\1\2\3", 3));
  std::string has = "ClipHasFormat(" + std::to_string(format) + ")\n";
  Run("ErrorMode(@OFF)\nh = " + has + "t = ClipGet()\ne = LastError()\nt13 = ClipGetEx(13)\n"
      "e13 = LastError()\nr = ClipAppend(\"x\")\nu = ClipGet()\nh2 = " + has);
  EXPECT_EQ(Var("h"), "1");
  EXPECT_EQ(Var("e"), "1035");
  EXPECT_EQ(Var("e13"), "1035");
  EXPECT_EQ(Var("r"), "1");
  EXPECT_EQ(Var("u"), "x");  // the appended text alone: the other format is gone
  EXPECT_EQ(Var("h2"), "0");
}

}  // namespace
}  // namespace zel::test
