// Exported services found by their plain names in the real zel.dll.
#include <gtest/gtest.h>

#include <string>

#include "host/api.h"

namespace zel::test {
namespace {

using VariantStrToNumFn = int32_t(WINAPI*)(const char*, int32_t*);
using LoadMyStringFn = int(WINAPI*)(ScriptContext*, HINSTANCE, UINT, char*, int);
using LoadMyStringWFn = int(WINAPI*)(ScriptContext*, HINSTANCE, UINT, wchar_t*, int);

TEST(HostExports, VariantTypeNamesByName) {
  HMODULE dll = LoadLibraryA("zel.dll");
  ASSERT_NE(dll, nullptr);
  auto fn = reinterpret_cast<VariantStrToNumFn>(GetProcAddress(dll, "MyVariantStrToNum"));
  ASSERT_NE(fn, nullptr);
  int32_t category = 0;
  EXPECT_EQ(fn("vt_ui2", &category), 18);
  EXPECT_EQ(category, 1);
  EXPECT_EQ(fn("VT_R8", &category), -1);
  EXPECT_EQ(category, 0);
}

TEST(HostExports, MessagesByNumber) {
  HMODULE dll = LoadLibraryA("zel.dll");
  ASSERT_NE(dll, nullptr);
  auto ansi = reinterpret_cast<LoadMyStringFn>(GetProcAddress(dll, "LoadMyString"));
  auto wide = reinterpret_cast<LoadMyStringWFn>(GetProcAddress(dll, "LoadMyStringW"));
  ASSERT_NE(ansi, nullptr);
  ASSERT_NE(wide, nullptr);
  char buf[64];
  EXPECT_EQ(ansi(nullptr, nullptr, 3171, buf, sizeof buf), 37);
  EXPECT_STREQ(buf, "IntControl: Invalid IntControl opcode");
  // The table's text holds an escaped character; it must come out plain.
  ansi(nullptr, nullptr, 3320, buf, sizeof buf);
  EXPECT_EQ(std::string(buf), std::string("EvalDisk: Disk Drive speci") + "fication error");
  wchar_t w[64];
  EXPECT_EQ(wide(nullptr, nullptr, 9999, w, 64), 21);
  EXPECT_STREQ(w, L"User requested Cancel");
}

}  // namespace
}  // namespace zel::test
