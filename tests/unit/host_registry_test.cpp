// Registry hives through the real library: a hive file saved from a key is
// loaded below HKEY_USERS, read by a script and unloaded again.
#include <gtest/gtest.h>

#include <string>

#include "scripthost.h"

namespace zel::test {
namespace {

class RegistryHiveTest : public ScriptHostTest {};

bool EnablePrivilege(const char* name) {
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
    return false;
  TOKEN_PRIVILEGES tp{};
  tp.PrivilegeCount = 1;
  tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  bool ok = LookupPrivilegeValueA(nullptr, name, &tp.Privileges[0].Luid) &&
            AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
  CloseHandle(token);
  return ok;
}

TEST_F(RegistryHiveTest, LoadsReadsAndUnloads) {
  const char* kSource = "Software\\ZEL tests\\hive source";
  char dir[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, dir), 0u);
  std::string file = std::string(dir) + "zel-test-hive.dat";
  DeleteFileA(file.c_str());
  HKEY k;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSource, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  const char text[] = "from the hive";
  RegSetValueExA(k, "origin", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
  ASSERT_TRUE(EnablePrivilege("SeBackupPrivilege"));
  LONG saved = RegSaveKeyA(k, file.c_str(), nullptr);
  RegCloseKey(k);
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\ZEL tests");
  ASSERT_EQ(saved, ERROR_SUCCESS);

  Run("ErrorMode(@OFF)\nl = RegLoadHive(@REGUSERS, \"ZEL test hive\", \"" + file + "\")\n"
      "el = LastError()\nv = RegQueryValue(@REGUSERS, \"ZEL test hive[origin]\")\n"
      "u = RegUnloadHive(@REGUSERS, \"ZEL test hive\")\neu = LastError()\n"
      "gone = RegExistKey(@REGUSERS, \"ZEL test hive\")\n"
      "m = RegLoadHive(@REGUSERS, \"ZEL test hive\", \"" + file + ".missing\")\nem = LastError()\n");
  DeleteFileA(file.c_str());
  EXPECT_EQ(Var("el"), "0");
  EXPECT_EQ(Var("l"), "1");
  EXPECT_EQ(Var("v"), "from the hive");
  EXPECT_EQ(Var("eu"), "0");
  EXPECT_EQ(Var("u"), "1");
  EXPECT_EQ(Var("gone"), "0");
  EXPECT_EQ(Var("m"), "0");
  EXPECT_EQ(Var("em"), "1529");
}

}  // namespace
}  // namespace zel::test
