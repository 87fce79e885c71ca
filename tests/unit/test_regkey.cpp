// Splitting key-and-value texts into a subkey and a value name.
#include <gtest/gtest.h>

#include <string>

#include "builtins/regkey.h"
#include "ctxfixture.h"

namespace zel::test {
namespace {

class KeyValueTest : public ContextTest {
 protected:
  // "subkey|name", or "error N".
  std::string Split(const std::string& text) {
    ctx->error = 0;
    static reg::KeyValue kv;
    if (!reg::SplitKeyValue(ctx, text.c_str(), &kv)) return "error " + std::to_string(ctx->error);
    return std::string(kv.subkey) + "|" + kv.name;
  }
};

TEST_F(KeyValueTest, SubkeyAndValueName) {
  const struct {
    const char* text;
    const char* split;
  } kCases[] = {
      {"Software\\Zel", "Software\\Zel|"},            // the default value
      {"Software\\Zel[Version]", "Software\\Zel|Version"},
      {"Software\\Zel\\[Version]", "Software\\Zel|Version"},  // trailing backslash dropped
      {"[Version]", "|Version"},                      // the handle itself
      {"", "|"},
      {"Zel[]", "Zel|"},
      {"list[1]\\item[name]", "list[1]\\item|name"},  // brackets in a key name
      {"nest[a[1]]", "nest|a[1]"},                    // brackets in a value name
      {"paths[C:\\x\\y.exe]", "paths|C:\\x\\y.exe"},
      {"Zel]", "Zel]|"},                              // no "[": all subkey
      {"Zel[name", "error 1402"},
      {"Zel[name]x", "error 1402"},
      {"a]b[c]]", "error 1402"},                      // the final "]" closes nothing
  };
  for (const auto& c : kCases) EXPECT_EQ(Split(c.text), c.split) << c.text;
}

TEST_F(KeyValueTest, SubkeyLengthLimit) {
  std::string fits(reg::kSubkeyRoom - 1, 'k');
  EXPECT_EQ(Split(fits + "[v]"), fits + "|v");
  EXPECT_EQ(Split(fits + "k[v]"), "error 1460");
  EXPECT_EQ(Split(fits + "\\[v]"), fits + "|v");  // the dropped backslash does not count
  EXPECT_EQ(Split("k[" + std::string(reg::kValueNameRoom, 'n') + "]"), "error 1402");
}

// In a double-byte code page a trail byte may equal "\", "[" or "]": such a
// character belongs to the name, whole.
TEST_F(KeyValueTest, DoubleByteTrailBytesAreNotSeparators) {
  if (!IsValidCodePage(932)) GTEST_SKIP() << "code page 932 is not installed";
  ctx->codePage = 932;
  const std::string hyou = "\x95\x5c";  // a character whose trail byte is "\"
  const std::string trailOpen = "\x81\x5b";  // trail byte "["
  EXPECT_EQ(Split("a" + hyou + "[v]"), "a" + hyou + "|v");
  EXPECT_EQ(Split("k[" + trailOpen + "]"), "k|" + trailOpen);
  EXPECT_EQ(Split("k" + trailOpen + "x[v]"), "k" + trailOpen + "x|v");
}

}  // namespace
}  // namespace zel::test
