// Bounded copy and append: the limit counts the terminator, nothing is written
// past it, a double-byte character is never split, and missing texts are 3098.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ctxfixture.h"
#include "values/strutil.h"

namespace zel::test {
namespace {

using StrUtilTest = ContextTest;

TEST_F(StrUtilTest, CopyAndAppendKeepWholeCharactersWithinTheLimit) {
  struct { uint32_t codePage; const char* start; const char* src; size_t n; const char* result; }
  cases[] = {  // start nullptr: Copy; else Append to start
      {1252, nullptr, "hello", 6, "hello"}, {1252, nullptr, "hello", 5, "hell"},
      {1252, nullptr, "hello", 1, ""},
      {932, nullptr, "a\x82\xa0", 4, "a\x82\xa0"},   // the pair fits
      {932, nullptr, "a\x82\xa0", 3, "a"},           // its lead byte would be last: dropped
      {1252, nullptr, "a\x82\xa0", 3, "a\x82"},      // no double-byte characters here
      {932, nullptr, "\x82\x82\x82", 3, "\x82\x82"}, // a trail byte is not taken for a lead
      {1252, "ab", "cdef", 7, "abcdef"}, {1252, "ab", "cdef", 6, "abcde"},
      {1252, "ab", "cdef", 3, "ab"},
      {932, "ab", "\x82\xa0\x82\xa0", 5, "ab\x82\xa0"}, {932, "ab", "\x82\xa0\x82\xa0", 4, "ab"},
  };
  for (const auto& c : cases) {
    ctx->codePage = c.codePage;
    char dst[16];
    memset(dst, 'X', sizeof dst);
    if (c.start) memcpy(dst, c.start, strlen(c.start) + 1);
    size_t len = c.start ? str::Append(ctx, dst, c.src, c.n) : str::Copy(ctx, dst, c.src, c.n);
    std::string what = std::to_string(c.codePage) + " \"" + c.src + "\" n " + std::to_string(c.n);
    EXPECT_STREQ(dst, c.result) << what;
    EXPECT_EQ(len, strlen(c.result)) << what;
    EXPECT_EQ(std::string(dst + c.n, sizeof dst - c.n), std::string(sizeof dst - c.n, 'X')) << what;
  }
  char full[4] = {'a', 'b', 'c', 'd'};  // no terminator within the limit: left alone
  EXPECT_EQ(str::Append(ctx, full, "x", 4), 4u);
  EXPECT_EQ(std::string(full, 4), "abcd");
}

TEST_F(StrUtilTest, WideFormsBoundTheSameWay) {
  wchar_t dst[16];
  wmemset(dst, L'X', 16);
  EXPECT_EQ(str::Copy(ctx, dst, L"h\u00e9llo", 4), 3u);
  EXPECT_EQ(std::wstring(dst, 5), std::wstring(L"h\u00e9l\0X", 5));
  EXPECT_EQ(str::Append(ctx, dst, L"lo!", 6), 5u);
  EXPECT_EQ(std::wstring(dst, 7), std::wstring(L"h\u00e9llo\0X", 7));
  EXPECT_EQ(str::Copy(ctx, dst, L"abc", 0), 0u);
  EXPECT_EQ(dst[0], L'h');  // a limit of 0 writes nothing
}

TEST_F(StrUtilTest, MissingTextsAreError3098) {
  char a[8] = "keep";
  wchar_t w[8] = L"keep";
  auto refused = [&](size_t r, const char* what) {
    EXPECT_EQ(r, 0u) << what;
    EXPECT_EQ(ctx->error, 3098) << what;
    ctx->error = 0;
  };
  refused(str::Copy(ctx, a, nullptr, 8), "Copy, no source");
  refused(str::Copy(ctx, static_cast<char*>(nullptr), "x", 8), "Copy, no target");
  refused(str::Append(ctx, a, nullptr, 8), "Append, no source");
  refused(str::Append(ctx, static_cast<char*>(nullptr), "x", 8), "Append, no target");
  refused(str::Copy(ctx, w, nullptr, 8), "wide Copy, no source");
  refused(str::Append(ctx, static_cast<wchar_t*>(nullptr), L"x", 8), "wide Append, no target");
  EXPECT_STREQ(a, "keep");
  EXPECT_EQ(std::wstring(w), L"keep");
}

}  // namespace
}  // namespace zel::test
