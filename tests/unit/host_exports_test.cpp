// Exported services found by their plain names in the real zel.dll.
#include <gtest/gtest.h>

#include "host/api.h"

namespace zel::test {
namespace {

using VariantStrToNumFn = int32_t(WINAPI*)(const char*, int32_t*);

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

}  // namespace
}  // namespace zel::test
