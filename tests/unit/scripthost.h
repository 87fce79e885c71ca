// A host fixture that runs whole scripts through the real zel.dll and reads
// the variables the run left in its table.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "boxcloser.h"
#include "testhost.h"

namespace zel::test {

using RunFn = LONG(WINAPI*)(HWND, HGLOBAL, HGLOBAL, void*, const void*);

// Writes `text` as the whole file `path`.
inline void WriteTextFile(const std::string& path, const std::string& text) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD done = 0;
  WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
  CloseHandle(f);
}

class ScriptHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dll = LoadLibraryA("zel.dll");
    ASSERT_NE(dll, nullptr);
    init = reinterpret_cast<ZelDoDaDllInit>(GetProcAddress(dll, "DoDaDllInit"));
    run = reinterpret_cast<RunFn>(GetProcAddress(dll, "ProcessDaBatBuffer"));
    ASSERT_TRUE(init && run);
    ASSERT_TRUE(MakeBlocks(&host, 400, 64 * 1024, 16 * 1024 * 1024));
    ASSERT_TRUE(StartContext(init, &host));
  }
  void TearDown() override {
    init(nullptr, host.context, 0, kZelOpEndContext, 0, nullptr, nullptr);
    FreeBlocks(&host);
  }

  // Runs script bytes with `callback` as the host callback; message boxes
  // are answered and the last one's text kept.
  LONG Run(const std::string& text) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
    memcpy(GlobalLock(h), text.data(), text.size());
    GlobalUnlock(h);
    BoxCloser closer;
    LONG r = run(nullptr, host.context, h, callback, nullptr);
    GlobalFree(h);
    boxes = closer.boxes();
    boxText = closer.text();
    return r;
  }

  // A variable's value as text: integers in decimal, strings as they are;
  // "<none>" for a name without a value.
  std::string Var(const char* name) {
    auto* vars = static_cast<VarRecord*>(GlobalLock(host.table));
    std::string out = "<none>";
    for (int i = 1; i < host.slots; ++i) {
      const VarRecord& r = vars[i];
      if (strcmp(r.name, name) != 0 || !(r.v.flags & kDefinedMask)) continue;
      if (r.v.flags & kFlagString)
        out = host.heap + r.v.str;
      else if (r.v.flags & kFlagInt)
        out = std::to_string(r.v.ival);
      else if (r.v.flags & kFlagFloat)
        out = std::to_string(r.v.fval);
      break;
    }
    GlobalUnlock(host.table);
    return out;
  }

  HMODULE dll = nullptr;
  ZelDoDaDllInit init = nullptr;
  RunFn run = nullptr;
  void* callback = nullptr;
  HostBlocks host;
  int boxes = 0;
  std::string boxText;
};

}  // namespace zel::test
