// Item functions, evaluated as expressions: items numbered from 1 and -1 for
// the last, empty lists and items, delimiters at the ends, one-item lists,
// sorting with mixed case, CSV quoting and malformed lines, UTF-16 lists and
// a list of 10,000 items.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "exprcase.h"
#include "values/heap.h"
#include "values/variables.h"

namespace zel::test {
namespace {

using ItemsTest = ContextTest;

TEST_F(ItemsTest, CountAndExtractNumberItemsFromOne) {
  static const Case cases[] = {
      {"ItemCount('', ',')", 0, "0", 'i'},
      {"ItemCount(',', ',')", 0, "2", 'i'},
      {"ItemCount('a', ',')", 0, "1", 'i'},
      {"ItemCount('a,b,c', ',')", 0, "3", 'i'},
      {"ItemCount('a' : @tab : 'b', '')", 0, "2", 'i'},
      {"ItemCount('a,b', ',,')", 1705, "", 'i'},
      {"ItemExtract(2, 'a,b,c', ',')", 0, "b", 's'},
      {"ItemExtract(-1, 'a,b,c', ',')", 0, "c", 's'},
      {"ItemExtract(4, 'a,b,c', ',')", 0, "", 's'},
      {"ItemExtract(0, 'a,b,c', ',')", 0, "", 's'},
      {"ItemExtract(-2, 'a,b,c', ',')", 0, "", 's'},
      {"ItemExtract(1, '', ',')", 0, "", 's'},
      {"ItemExtract(-1, '', ',')", 0, "", 's'},
      {"ItemExtract(1, ',x', ',')", 0, "", 's'},
      {"ItemExtract(2, ',x', ',')", 0, "x", 's'},
      {"ItemExtract(-1, 'x,', ',')", 0, "", 's'},
      {"ItemExtract(1, ' a ,b', ',')", 0, " a ", 's'},
      {"ItemExtract(2, 'a' : @tab : 'b', '')", 0, "b", 's'},
      {"ItemExtract(1, 'a,b', 'xy')", 1705, "", 'i'},
  };
  CheckCases(this, cases);
}

TEST_F(ItemsTest, InsertLocateRemoveAndReplace) {
  static const Case cases[] = {
      {"ItemInsert('x', 0, 'a,b', ',')", 0, "x,a,b", 's'},
      {"ItemInsert('x', 1, 'a,b', ',')", 0, "a,x,b", 's'},
      {"ItemInsert('x', 2, 'a,b', ',')", 0, "a,b,x", 's'},
      {"ItemInsert('x', -1, 'a,b', ',')", 0, "a,b,x", 's'},
      {"ItemInsert('x', 9, 'a,b', ',')", 0, "a,b,x", 's'},
      {"ItemInsert('x', 1, '', ',')", 0, "x", 's'},
      {"ItemInsert('x', 0, 'a', ',')", 0, "x,a", 's'},
      {"ItemInsert('', 1, 'a,b', ',')", 0, "a,,b", 's'},
      {"ItemInsert('x', 1, 'a,b', ';;')", 1705, "", 'i'},
      {"ItemLocate('b', 'a,b,c', ',')", 0, "2", 'i'},
      {"ItemLocate('c', 'a,b,c', ',')", 0, "3", 'i'},
      {"ItemLocate('B', 'a,b,c', ',')", 0, "0", 'i'},
      {"ItemLocate('ab', 'a,b', ',')", 0, "0", 'i'},
      {"ItemLocate('', 'a,,b', ',')", 0, "2", 'i'},
      {"ItemLocate('a', '', ',')", 0, "0", 'i'},
      {"ItemLocate('', '', ',')", 0, "0", 'i'},
      {"ItemRemove(2, 'a,b,c', ',')", 0, "a,c", 's'},
      {"ItemRemove(1, 'a,b,c', ',')", 0, "b,c", 's'},
      {"ItemRemove(3, 'a,b,c', ',')", 0, "a,b", 's'},
      {"ItemRemove(-1, 'a,b,c', ',')", 0, "a,b", 's'},
      {"ItemRemove(4, 'a,b,c', ',')", 0, "a,b,c", 's'},
      {"ItemRemove(0, 'a,b,c', ',')", 0, "a,b,c", 's'},
      {"ItemRemove(1, 'a', ',')", 0, "", 's'},
      {"ItemRemove(1, '', ',')", 0, "", 's'},
      {"ItemRemove(2, 'a,', ',')", 0, "a", 's'},
      {"ItemRemove(1, ',b', ',')", 0, "b", 's'},
      {"ItemReplace('x', 2, 'a,b,c', ',')", 0, "a,x,c", 's'},
      {"ItemReplace('x', -1, 'a,b,c', ',')", 0, "a,b,x", 's'},
      {"ItemReplace('x', 1, 'a', ',')", 0, "x", 's'},
      {"ItemReplace('x', 5, 'a,b,c', ',')", 0, "a,b,c", 's'},
      {"ItemReplace('', 1, 'a,b', ',')", 0, ",b", 's'},
      {"ItemReplace('x', 1, '', ',')", 0, "", 's'},
  };
  CheckCases(this, cases);
}

TEST_F(ItemsTest, SortUsesTheLocaleAndKeepsEqualItemsInOrder) {
  static const Case cases[] = {
      {"ItemSort('c,a,B,b,A', ',')", 0, "a,A,b,B,c", 's'},
      {"ItemSortNc('c,a,B,b,A', ',')", 0, "a,A,B,b,c", 's'},  // equal items keep their order
      {"ItemSortNc('B,a,b,A', ',')", 0, "a,A,B,b", 's'},
      {"ItemSort('10,9,1', ',')", 0, "1,10,9", 's'},
      {"ItemSort('', ',')", 0, "", 's'},
      {"ItemSort('x', ',')", 0, "x", 's'},
      {"ItemSort('b,,a', ',')", 0, ",a,b", 's'},
      {"ItemSort('b,a,', ',')", 0, ",a,b", 's'},
      {"ItemSort('b' : @tab : 'a', '')", 0, "a\tb", 's'},
      {"ItemSort('b,a', '--')", 1705, "", 'i'},
      {"ItemSortNc('b,a', '--')", 1705, "", 'i'},
  };
  CheckCases(this, cases);
}

TEST_F(ItemsTest, CsvFieldsFollowQuotingRules) {
  static const Case cases[] = {
      {"ItemCountCsv('a,b,c', 0)", 0, "3", 'i'},
      {"ItemCountCsv('', 0)", 0, "0", 'i'},
      {"ItemCountCsv('a,', 0)", 0, "2", 'i'},
      {"ItemCountCsv(' ', 0)", 0, "1", 'i'},
      {"ItemCountCsv('\"a,b\",c', 0)", 0, "2", 'i'},
      {"ItemCountCsv('a;b', 0, ';')", 0, "2", 'i'},
      {"ItemCountCsv(@tab : 'a', 0, @tab)", 0, "2", 'i'},
      {"ItemCountCsv('a', 0, ';;')", 1712, "", 'i'},
      {"ItemCountCsv('a', 0, '')", 1712, "", 'i'},
      {"ItemCountCsv('a', 0, ' ')", 1712, "", 'i'},
      {"ItemCountCsv('a', 0, '\"')", 1712, "", 'i'},
      {"ItemCountCsv('a', 0, @cr)", 1712, "", 'i'},
      {"ItemCountCsv('a', 0, @lf)", 1712, "", 'i'},
      {"ItemCountCsv('a\"b', 0)", 1706, "", 'i'},
      {"ItemCountCsv('\"a', 0)", 1706, "", 'i'},
      {"ItemCountCsv('\"a\"x,b', 0)", 1706, "", 'i'},
      {"ItemExtractCsv(2, 'a, \"b \"\"x\"\" c\" ,d', 0)", 0, "b \"x\" c", 's'},
      {"ItemExtractCsv(2, 'a, \"b \"\"x\"\" c\" ,d', 1)", 0, " b \"x\" c ", 's'},
      {"ItemExtractCsv(3, 'a, \"b \"\"x\"\" c\" ,d', 0)", 0, "d", 's'},
      {"ItemExtractCsv(1, ' a ,b', 0)", 0, "a", 's'},
      {"ItemExtractCsv(1, ' a ,b', 1)", 0, " a ", 's'},
      {"ItemExtractCsv(-1, 'a,b,c', 0)", 0, "c", 's'},
      {"ItemExtractCsv(-1, 'a,b,', 0)", 0, "", 's'},
      {"ItemExtractCsv(4, 'a,b,c', 0)", 0, "", 's'},
      {"ItemExtractCsv(0, 'a,b,c', 0)", 0, "", 's'},
      {"ItemExtractCsv(2, 'a,\"\",c', 0)", 0, "", 's'},
      {"ItemExtractCsv(1, '\"\"\"\"', 0)", 0, "\"", 's'},
      {"ItemExtractCsv(1, '\"a,b\"', 0)", 0, "a,b", 's'},
      {"ItemExtractCsv(2, 'a;\"b;c\";d', 0, ';')", 0, "b;c", 's'},
      {"ItemExtractCsv(1, @tab : 'a' : @tab, 0)", 0, "a", 's'},
      {"ItemExtractCsv(2, 'a' : @tab : ' b ', 0, @tab)", 0, "b", 's'},
      {"ItemExtractCsv(1, @tab : 'a', 0, @tab)", 0, "", 's'},  // tab delimits: not a blank
      {"ItemExtractCsv(2, 'a,b\"x', 0)", 1707, "", 'i'},
      {"ItemExtractCsv(1, 'a,b\"x', 0)", 1707, "", 'i'},  // the whole line must be sound
      {"ItemExtractCsv(1, '\"open', 0)", 1707, "", 'i'},
      {"ItemExtractCsv(1, 'a', 0, 'xy')", 1713, "", 'i'},
      {"ItemExtractCsv(1, 'a', 0, '')", 1713, "", 'i'},
  };
  CheckCases(this, cases);
}

// U+3042 has no character in the ANSI code page: the results are read back
// with ChrUnicodeToHex.
TEST_F(ItemsTest, WideListsGiveWideResults) {
  ASSERT_EQ(Run("a = Num2Char(12354)").error, 0);
  ASSERT_EQ(Run("w = 'b,' : a : ',a'").error, 0);
  static const Case cases[] = {
      {"ItemCount(w, ',')", 0, "3", 'i'},
      {"ChrUnicodeToHex(ItemExtract(2, w, ','))", 0, "4230", 's'},
      {"ItemExtract(1, w, ',')", 0, "b", 'u'},
      {"ItemLocate(a, w, ',')", 0, "2", 'i'},
      {"ChrUnicodeToHex(ItemSort(w, ','))", 0, "61002C0062002C004230", 's'},
      {"ChrUnicodeToHex(ItemRemove(1, w, ','))", 0, "42302C006100", 's'},
      {"ChrUnicodeToHex(ItemReplace(a, 3, w, ','))", 0, "62002C0042302C004230", 's'},
      {"ChrUnicodeToHex(ItemInsert(a, 0, 'x', ','))", 0, "42302C007800", 's'},
      {"ChrUnicodeToHex(ItemExtract(2, w, Num2Char(12354)))", 0, "2C006100", 's'},
      {"ItemCountCsv(w, 0)", 0, "3", 'i'},
      {"ChrUnicodeToHex(ItemExtractCsv(2, 'x, \"' : a : '\" ', 0))", 0, "4230", 's'},
      {"ItemExtractCsv(1, ChrStringToUnicode('\"q\"\"\"'), 0)", 0, "q\"", 'u'},
      {"ItemCountCsv(ChrStringToUnicode('a\"'), 0)", 1706, "", 'i'},
  };
  CheckCases(this, cases);
}

// A list of 10,000 items, far beyond the working buffers.
TEST_F(ItemsTest, TenThousandItemsSortAndSplit) {
  std::string list;
  for (int i = 10000; i >= 1; --i) {
    char item[16];
    snprintf(item, sizeof item, "%s%05d", i % 2 ? "K" : "k", i);
    if (!list.empty()) list += ',';
    list += item;
  }
  ValueCell c{};
  c.str = heap::StoreText(ctx, list.data(), list.size());
  c.flags = kFlagString;
  ASSERT_NE(c.str, 0u);
  vars::Define(ctx, "big", &c);
  val::FreeValue(ctx, &c, val::kVarCell);
  ASSERT_EQ(Run("s = ItemSortNc(big, ',')").error, 0);
  static const Case cases[] = {
      {"ItemCount(big, ',')", 0, "10000", 'i'},
      {"ItemExtract(-1, big, ',')", 0, "K00001", 's'},
      {"ItemExtract(5000, big, ',')", 0, "K05001", 's'},
      {"ItemLocate('K00001', big, ',')", 0, "10000", 'i'},
      {"ItemCount(s, ',')", 0, "10000", 'i'},
      {"ItemExtract(1, s, ',')", 0, "K00001", 's'},
      {"ItemExtract(2, s, ',')", 0, "k00002", 's'},
      {"ItemExtract(-1, s, ',')", 0, "k10000", 's'},
      {"StrLen(s) == StrLen(big)", 0, "1", 'i'},
      {"ItemExtract(2, ItemSort(big, ','), ',')", 0, "k00002", 's'},
      {"ItemCount(ItemRemove(1, big, ','), ',')", 0, "9999", 'i'},
      {"ItemCountCsv(big, 0)", 0, "10000", 'i'},
      {"ItemExtractCsv(-1, big, 0)", 0, "K00001", 's'},
  };
  CheckCases(this, cases);
}

}  // namespace
}  // namespace zel::test
