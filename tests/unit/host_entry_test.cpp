// The library driven as a host drives it: loaded with LoadLibrary, entry points
// found by name, the context, table and heap allocated by the host.
#include <gtest/gtest.h>

#include "boxcloser.h"
#include "testhost.h"

namespace zel::test {
namespace {

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dll = LoadLibraryA("zel.dll");
    ASSERT_NE(dll, nullptr);
    init = reinterpret_cast<ZelDoDaDllInit>(GetProcAddress(dll, "DoDaDllInit"));
    ASSERT_NE(init, nullptr);
    ASSERT_TRUE(MakeBlocks(&host, 100, 64 * 1024, 16 * 1024 * 1024));
  }
  void TearDown() override {
    FreeBlocks(&host);
    // The library stays loaded: its window classes live as long as the process.
  }
  HMODULE dll = nullptr;
  ZelDoDaDllInit init = nullptr;
  HostBlocks host;
};

TEST_F(HostTest, InterfaceCheck) {
  EXPECT_EQ(init(nullptr, nullptr, 0x1300, kZelOpCheckInterface, 0, nullptr, nullptr), 61936);
  EXPECT_EQ(init(nullptr, nullptr, 0x13ff, kZelOpCheckInterface, 0, nullptr, nullptr), 61936);
  BoxCloser closer;
  EXPECT_EQ(init(nullptr, nullptr, 0x1200, kZelOpCheckInterface, 0, nullptr, nullptr), 0);
  EXPECT_EQ(closer.boxes(), 1);
  EXPECT_EQ(closer.text(), "Version Interface Incompatible");
  EXPECT_EQ(closer.caption(), "DLL mismatch");
}

TEST_F(HostTest, FullCallingOrder) {
  ASSERT_TRUE(StartContext(init, &host));
  auto* vars = static_cast<VarRecord*>(GlobalLock(host.table));
  ASSERT_NE(vars, nullptr);
  EXPECT_EQ(vars[0].v.flags, 8u);
  EXPECT_EQ(vars[0].v.ival, -1);
  EXPECT_EQ(vars[0].name[0], 0);
  GlobalUnlock(host.table);
  // The heap is laid out in the host's range.
  EXPECT_EQ(memcmp(host.heap, "5678", 4), 0);
  EXPECT_EQ(memcmp(host.heap + 40, "QRST", 4), 0);
  EXPECT_EQ(init(nullptr, host.context, 0, kZelOpEndContext, 0, nullptr, nullptr), 1);
}

TEST_F(HostTest, UnknownOperationsChangeNothing) {
  ASSERT_TRUE(StartContext(init, &host));
  std::string before(static_cast<char*>(GlobalLock(host.context)), kZelContextBytes);
  GlobalUnlock(host.context);
  for (int16_t op : {4, 98, -1, 100}) {
    EXPECT_EQ(init(nullptr, host.context, 0, op, 0, nullptr, nullptr), 0) << op;
  }
  std::string after(static_cast<char*>(GlobalLock(host.context)), kZelContextBytes);
  GlobalUnlock(host.context);
  EXPECT_TRUE(before == after);
  EXPECT_EQ(init(nullptr, host.context, 0, kZelOpEndContext, 0, nullptr, nullptr), 1);
}

TEST_F(HostTest, FailuresReportedByReturnValue) {
  // Operation 1 returns 76 even when the context cannot be locked.
  EXPECT_EQ(init(nullptr, nullptr, 0, kZelOpInitContext, 0, nullptr, nullptr), 76);
  EXPECT_EQ(init(nullptr, nullptr, 0, kZelOpBindVariables, 10, nullptr, nullptr), 0);
  EXPECT_EQ(init(nullptr, host.context, 0, kZelOpBindVariables, 10, nullptr, nullptr), 0);
  EXPECT_EQ(init(nullptr, nullptr, 1, kZelOpAttachHeap, 4096, nullptr, nullptr), 0);
  EXPECT_EQ(init(nullptr, host.context, 0, kZelOpAttachHeap, 4096, nullptr, nullptr), 0);
  EXPECT_EQ(init(nullptr, nullptr, 0, kZelOpEndContext, 0, nullptr, nullptr), 0);
  // A block too small to be a context is refused like one that cannot be locked.
  HGLOBAL small = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64);
  EXPECT_EQ(init(nullptr, small, reinterpret_cast<LONG_PTR>(host.table), kZelOpBindVariables, 10,
                 nullptr, nullptr), 0);
  GlobalFree(small);
}

TEST_F(HostTest, EndingAContextThatNeverRan) {
  ASSERT_EQ(init(nullptr, host.context, 0, kZelOpInitContext,
                 reinterpret_cast<LONG_PTR>(GetModuleHandleA(nullptr)), nullptr, nullptr), 76);
  EXPECT_EQ(init(nullptr, host.context, 0, kZelOpEndContext, 0, nullptr, nullptr), 1);
}

TEST_F(HostTest, SecondInitialisationKeepsProcessState) {
  ASSERT_TRUE(StartContext(init, &host));
  WNDCLASSA wc{};
  EXPECT_TRUE(GetClassInfoA(dll, "zl8wcmmn", &wc));
  EXPECT_TRUE(GetClassInfoA(dll, "zl9wcdlg", &wc));
  EXPECT_TRUE(GetClassInfoA(dll, "zl0wcdl2", &wc));
  WNDCLASSW wcw{};
  EXPECT_TRUE(GetClassInfoW(dll, L"zl0wcdl3", &wcw));
  HostBlocks second;
  ASSERT_TRUE(MakeBlocks(&second, 50, 64 * 1024, 1024 * 1024));
  EXPECT_TRUE(StartContext(init, &second));
  EXPECT_EQ(init(nullptr, second.context, 0, kZelOpEndContext, 0, nullptr, nullptr), 1);
  FreeBlocks(&second);
  EXPECT_EQ(init(nullptr, host.context, 0, kZelOpEndContext, 0, nullptr, nullptr), 1);
}

}  // namespace
}  // namespace zel::test
