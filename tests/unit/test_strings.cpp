// Text functions through the evaluator where a script case cannot reach:
// StrCat's argument limit (its list is longer than a script line), and the
// string heap after every kind of call, failing ones included.
#include <gtest/gtest.h>

#include <string>

#include "exprcase.h"
#include "values/heap.h"

namespace zel::test {
namespace {

using TextFunctionsTest = ContextTest;

TEST_F(TextFunctionsTest, StrCatTakesAtMost1024Arguments) {
  std::string most = "StrLen(StrCat(", over;
  for (int i = 0; i < 1024; ++i) most += i ? ",7" : "7";
  over = most + ",7))";
  most += "))";
  Outcome o = Run(most.c_str());
  EXPECT_EQ(o.error, 0);
  EXPECT_EQ(o.text, "1024");
  EXPECT_EQ(Run(over.c_str()).error, 2058) << "1,025 arguments";
}

heap::Stats HeapStats(ScriptContext* ctx) {
  heap::Stats st{};
  char why[256] = "";
  EXPECT_TRUE(heap::Check(ctx, &st, why, sizeof why)) << why;
  return st;
}

// Every result is released by the line runner, so the heap must hold the
// same bytes afterwards: the bodies free their own blocks, StrCat releases
// its arguments, and StrInsert's ANSI result leaves no UTF-16 form behind.
TEST_F(TextFunctionsTest, CallsLeaveNoHeapBlocksBehind) {
  static const Case cases[] = {
      {"StrCat('a', 1, 2.5, ChrStringToUnicode('b'))", 0, "a12.5b", 'u'},
      {"StrCat('a', 1/0)", 3062, "", 'i'},
      {"StrCat('a' 'b')", 2058, "", 'i'},
      {"StrInsert('abc', 'x', '.', 5)", 0, "abc.x", 's'},
      {"StrOverlay(ChrStringToUnicode('abc'), 'x')", 0, "xbc", 'u'},
      {"StrInsert('abc', 'x', '', -1)", 1826, "", 'i'},
      {"StrIndexNc(StrFill('ab', 3000), 'BA', 0, @backscan)", 0, "2998", 'i'},
      {"StrCnt(StrFill('ab', 3000), 'B', 0, -1, 0)", 0, "1500", 'i'},
      {"StrClean(StrFill('aB', 3000), 'b', '', 0, 1) == StrFill('a', 1500)", 0, "1", 'i'},
      {"StrSubWild('abcdef', 'C*E', 0)", 0, "cde", 's'},
      {"StrTypeInfo(StrTypeInfo('AB', 0), -1)", 0, "Upper HexDg Alpha", 's'},
      {"StrByteCount(StrFill('x', 3000), 2)", 0, "3000", 'i'},
      {"ItemSort('c,a,b', ',')", 0, "a,b,c", 's'},
      {"ItemSortNc(StrFill('b,A,', 5000) : 'c', ',') == StrFill('A,', 2500) : StrFill('b,', 2500) : 'c'",
       0, "1", 'i'},
      {"ItemExtractCsv(2, 'a,\"b\"\"\",c', 0)", 0, "b\"", 's'},
      {"ItemExtractCsv(1, '\"open', 0)", 1707, "", 'i'},
      {"ChrUnicodeToHex(ChrHexToUnicode('41004230'))", 0, "41004230", 's'},
  };
  heap::Stats before = HeapStats(ctx);
  CheckCases(this, cases);
  heap::Stats after = HeapStats(ctx);
  EXPECT_EQ(after.usedBytes, before.usedBytes);
  EXPECT_EQ(after.blocks - after.freeBlocks, before.blocks - before.freeBlocks);
}

}  // namespace
}  // namespace zel::test
