// String functions, evaluated as expressions: positions from 1 and bounds,
// empty texts, case, filling, replacing, cleaning, counting, wildcards,
// StrCat's own argument list, double-byte text and UTF-16 arguments.
#include <gtest/gtest.h>

#include <string>

#include "exprcase.h"

namespace zel::test {
namespace {

using StringsTest = ContextTest;

TEST_F(StringsTest, LengthsCountCharactersAndBytesByForm) {
  static const Case cases[] = {
      {"StrLen('')", 0, "0", 'i'},
      {"StrLen('abc')", 0, "3", 'i'},
      {"StrCharCount('a b')", 0, "3", 'i'},
      {"StrLen(123)", 0, "3", 'i'},
      {"StrByteCount('abc', 0)", 0, "3", 'i'},
      {"StrByteCount('abc', 1)", 0, "6", 'i'},
      {"StrByteCount(ChrHexToString('E9'), 2)", 0, "2", 'i'},
      {"StrByteCount('', 1)", 0, "0", 'i'},
      {"StrByteCount('abc', 3)", 1822, "", 'i'},
      {"StrByteCount(ChrHexToUnicode('E9004230'), 1)", 0, "4", 'i'},
      {"StrByteCount(ChrHexToUnicode('E9004230'), 2)", 0, "5", 'i'},
  };
  CheckCases(this, cases);
}

TEST_F(StringsTest, SubstringBoundsNeverRaiseErrors) {
  static const Case cases[] = {
      {"StrSub('abcdef', 3, -1)", 0, "cdef", 's'},
      {"StrSub('abcdef', 1, 2)", 0, "ab", 's'},
      {"StrSub('abc', 2, 10)", 0, "bc", 's'},
      {"StrSub('abc', 3, 1)", 0, "c", 's'},
      {"StrSub('abc', 5, 1)", 0, "", 's'},
      {"StrSub('abc', 4, -1)", 0, "", 's'},
      {"StrSub('abc', 0, 0)", 0, "", 's'},
      {"StrSub('abc', 0, 2)", 0, "", 's'},
      {"StrSub('abc', -1, -1)", 0, "", 's'},
      {"StrSub('abc', 2, 0)", 0, "", 's'},
      {"StrSub('abc', 1, -2)", 0, "", 's'},
      {"StrSub('', 1, 1)", 0, "", 's'},
  };
  CheckCases(this, cases);
}

TEST_F(StringsTest, IndexScansForwardAndBackwardFromStart) {
  static const Case cases[] = {
      {"StrIndex('abcabc', 'bc', 0, @backscan)", 0, "5", 'i'},
      {"StrIndex('abcabc', 'bc', 4, @backscan)", 0, "2", 'i'},
      {"StrIndex('abcabc', 'bc', 2, @backscan)", 0, "0", 'i'},  // must end by position 2
      {"StrIndex('abcabc', 'bc', 0, @fwdscan)", 0, "2", 'i'},
      {"StrIndex('abcabc', 'bc', 3, @fwdscan)", 0, "5", 'i'},
      {"StrIndex('abcabc', 'bc', 6, @fwdscan)", 0, "0", 'i'},
      {"StrIndex('abc', '', 2, @fwdscan)", 0, "2", 'i'},
      {"StrIndex('', 'a', 0, @fwdscan)", 0, "0", 'i'},
      {"StrIndex('abc', 'c', 4, @fwdscan)", 0, "0", 'i'},
      {"StrIndex('abc', 'a', -1, @fwdscan)", 0, "0", 'i'},
      {"StrIndex('abc', 'abcd', 0, @fwdscan)", 0, "0", 'i'},
      {"StrIndex('ABC', 'b', 0, @fwdscan)", 0, "0", 'i'},
      {"StrIndexNc('ABCabc', 'bC', 3, @fwdscan)", 0, "5", 'i'},
      {"StrIndexNc('ABCabc', 'bC', 0, @backscan)", 0, "5", 'i'},
      {"StrScan('a,b;c', ',;', 0, @fwdscan)", 0, "2", 'i'},
      {"StrScan('a,b;c', ',;', 3, @fwdscan)", 0, "4", 'i'},
      {"StrScan('a,b;c', ',;', 0, @backscan)", 0, "4", 'i'},
      {"StrScan('a,b;c', ',;', 3, @backscan)", 0, "2", 'i'},
      {"StrScan('a,b;c', ',;', 1, @backscan)", 0, "0", 'i'},
      {"StrScan('abc', ',', 0, @fwdscan)", 0, "0", 'i'},
      {"StrScan('', ',', 0, @fwdscan)", 0, "0", 'i'},
      {"StrScan('abc', '', 2, @fwdscan)", 0, "2", 'i'},
      {"StrScan('abc', 'a', 5, @fwdscan)", 0, "0", 'i'},
  };
  CheckCases(this, cases);
}

TEST_F(StringsTest, ComparisonUsesTheLocaleAndCaseMapsTheText) {
  static const Case cases[] = {
      {"StrCmp('abc', 'abc')", 0, "0", 'i'},
      {"StrCmp('a', 'b') < 0", 0, "1", 'i'},
      {"StrCmp('b', 'a') > 0", 0, "1", 'i'},
      {"StrCmp('a', 'B') < 0", 0, "1", 'i'},  // byte order would put B first
      {"StrCmp('ABC', 'abc') != 0", 0, "1", 'i'},
      {"StrICmp('ABC', 'abc')", 0, "0", 'i'},
      {"StrICmp('abd', 'ABC') > 0", 0, "1", 'i'},
      {"StrUpper('AbC 1')", 0, "ABC 1", 's'},
      {"StrLower('AbC 1')", 0, "abc 1", 's'},
      {"StrLower('')", 0, "", 's'},
      {"StrTrim(' ' : @tab : ' a b ' : @tab)", 0, "a b", 's'},
      {"StrTrim('   ')", 0, "", 's'},
      {"StrTrim('')", 0, "", 's'},
  };
  CheckCases(this, cases);
}

TEST_F(StringsTest, FillAndFixPadOrCutToExactLengths) {
  static const Case cases[] = {
      {"StrFill('ab', 5)", 0, "ababa", 's'},
      {"StrFill('', 3)", 0, "   ", 's'},
      {"StrFill('ab', 0)", 0, "", 's'},
      {"StrFill('ab', -4)", 0, "", 's'},
      {"StrFix('abc', '.', 6)", 0, "abc...", 's'},
      {"StrFix('abc', 'xy', 6)", 0, "abcxyx", 's'},
      {"StrFix('abcdef', '.', 3)", 0, "abc", 's'},
      {"StrFix('abc', '', 5)", 0, "abc  ", 's'},
      {"StrFix('abc', '.', 0)", 0, "", 's'},
      {"StrFix('abc', '.', -1)", 1571, "", 'i'},
      {"StrFixChars('abc', '.', 4)", 0, "abc.", 's'},
      {"StrFixLeft('abc', '.', 6)", 0, "...abc", 's'},
      {"StrFixLeft('abc', 'xy', 6)", 0, "xyxabc", 's'},
      {"StrFixCharsL('abcdef', '.', 3)", 0, "abc", 's'},
      {"StrFixLeft('abc', '.', -2)", 1571, "", 'i'},
      {"StrFixBytes('abc', '.', 5)", 0, "abc..", 's'},
      {"StrFixBytesL('abc', '.', 5)", 0, "..abc", 's'},
      {"StrFixBytes('abc', '.', -1)", 1571, "", 'i'},
  };
  CheckCases(this, cases);
}

TEST_F(StringsTest, ReplaceGoesLeftToRightWithoutOverlap) {
  static const Case cases[] = {
      {"StrReplace('a.b.c', '.', '--')", 0, "a--b--c", 's'},
      {"StrReplace('aaa', 'aa', 'b')", 0, "ba", 's'},
      {"StrReplace('abc', 'b', '')", 0, "ac", 's'},
      {"StrReplace('abc', '', 'x')", 0, "abc", 's'},
      {"StrReplace('', 'a', 'x')", 0, "", 's'},
      {"StrReplace('ABC', 'b', 'x')", 0, "ABC", 's'},
      {"StrReplace('abab', 'ab', 'abab')", 0, "abababab", 's'},
  };
  CheckCases(this, cases);
}

TEST_F(StringsTest, InsertAndOverlayPadAndCheckTheirPositions) {
  static const Case cases[] = {
      {"StrInsert('abc', 'XY')", 0, "XYabc", 's'},
      {"StrInsert('abc', 'XY', '', 4)", 0, "abcXY", 's'},
      {"StrInsert('abc', 'XY', '.', 6)", 0, "abc..XY", 's'},
      {"StrInsert('abc', 'XY', '.', 2, 4)", 0, "aXY..bc", 's'},
      {"StrInsert('abc', 'XY', '.', 2, 1)", 0, "aXbc", 's'},
      {"StrInsert('abc', 'XY', '.', 0, 0)", 0, "abc", 's'},
      {"StrInsert('', 'XY', '-=', 3)", 0, "--XY", 's'},
      {"StrInsert('abc', 'XY', '', -1)", 1826, "", 'i'},
      {"StrInsert('abc', 'XY', '', 1, -2)", 1827, "", 'i'},
      {"StrOverlay('abcdef', 'XY', '', 3)", 0, "abXYef", 's'},
      {"StrOverlay('abc', 'XYZ', '', 2)", 0, "aXYZ", 's'},
      {"StrOverlay('abc', 'X', '.', 5)", 0, "abc.X", 's'},
      {"StrOverlay('abcdef', 'X', '.', 2, 3)", 0, "aX..ef", 's'},
      {"StrOverlay('abc', 'XY')", 0, "XYc", 's'},
      {"StrOverlay('abc', 'X', '', -3)", 1826, "", 'i'},
      {"StrOverlay('abc', 'X', '', 1, -5)", 1827, "", 'i'},
  };
  CheckCases(this, cases);
}

TEST_F(StringsTest, CleanRemovesOrKeepsTheSetWithItsFlags) {
  static const Case cases[] = {
      {"StrClean('a-b_c', '-_', '', 1, 1)", 0, "abc", 's'},
      {"StrClean('a-b_c', '-_', '+', 1, 1)", 0, "a+b+c", 's'},
      {"StrClean('abcABC', 'b', '', 0, 1)", 0, "acAC", 's'},
      {"StrClean('abcABC', 'b', '', 1, 1)", 0, "acABC", 's'},
      {"StrClean('a1b2', '0123456789', '', 1, 2)", 0, "12", 's'},
      {"StrClean('a1b2', '0123456789', '<>', 1, 2)", 0, "<>1<>2", 's'},
      {"StrClean('abc', '', 'x', 1, 2)", 0, "xxx", 's'},
      {"StrClean('abc', '', 'x', 1, 1)", 0, "abc", 's'},
      {"StrClean('', 'a', 'x', 1, 1)", 0, "", 's'},
      {"StrClean('abc', 'a', '', 2, 1)", 1616, "", 'i'},
      {"StrClean('abc', 'a', '', 1, 3)", 1617, "", 'i'},
  };
  CheckCases(this, cases);
}

TEST_F(StringsTest, CountChecksItsPositionsAndSwapsThem) {
  static const Case cases[] = {
      {"StrCnt('abcabc', 'bc', 0, -1, 1)", 0, "2", 'i'},
      {"StrCnt('aaaa', 'aa', 0, -1, 1)", 0, "2", 'i'},
      {"StrCnt('abcABC', 'bc', 0, -1, 0)", 0, "2", 'i'},
      {"StrCnt('abcABC', 'bc', 0, -1, 1)", 0, "1", 'i'},
      {"StrCnt('abcabc', 'bc', 3, -1, 1)", 0, "1", 'i'},
      {"StrCnt('abcabc', 'bc', -1, 1, 1)", 0, "2", 'i'},
      {"StrCnt('abcabc', 'bc', 1, 4, 1)", 0, "1", 'i'},
      {"StrCnt('abcabc', 'bc', 1, 5, 1)", 0, "2", 'i'},  // a match may run past the end position
      {"StrCnt('', 'a', 9, 9, 0)", 0, "0", 'i'},
      {"StrCnt('abc', '', 9, 9, 0)", 0, "0", 'i'},
      {"StrCnt('abc', 'a', 4, 1, 0)", 1734, "", 'i'},
      {"StrCnt('abc', 'a', -2, 1, 0)", 1734, "", 'i'},
      {"StrCnt('abc', 'a', 1, 9, 0)", 1735, "", 'i'},
  };
  CheckCases(this, cases);
}

TEST_F(StringsTest, WildcardsMatchRunsWithoutRegardToCase) {
  static const Case cases[] = {
      {"StrIndexWild('abcdef', 'c*e', 0)", 0, "3", 'i'},
      {"StrLenWild('abcdef', 'c*e', 0)", 0, "3", 'i'},
      {"StrSubWild('abcdef', 'c*e', 0)", 0, "cde", 's'},
      {"StrSubWild('abcdef', 'C?E', 1)", 0, "cde", 's'},
      {"StrSubWild('abcdef', '*', 3)", 0, "cdef", 's'},
      {"StrSubWild('abcdef', 'c*', 0)", 0, "cdef", 's'},
      {"StrIndexWild('abc', '', 2)", 0, "2", 'i'},
      {"StrLenWild('abc', '', 2)", 0, "0", 'i'},
      {"StrIndexWild('', 'a', 0)", 0, "0", 'i'},
      {"StrIndexWild('', '', 0)", 0, "0", 'i'},
      {"StrIndexWild('abcdef', 'x*', 0)", 0, "0", 'i'},
      {"StrLenWild('abcdef', 'x*', 0)", 0, "0", 'i'},
      {"StrSubWild('abcdef', 'x*', 0)", 0, "", 's'},
      {"StrIndexWild('abcabc', 'b?', 3)", 0, "5", 'i'},
      {"StrSubWild('abc', 'abc**', 0)", 0, "abc", 's'},
      {"StrIndexWild('abc', 'abcd', 0)", 0, "0", 'i'},
      {"StrIndexWild('abc', '?', 4)", 0, "0", 'i'},
      {"StrSubWild('aXbXc', '*x', 0)", 0, "aX", 's'},  // the first X after the star ends the run
      {"StrSubWild('abc', 'a?" "?', 0)", 0, "abc", 's'},
      {"StrIndexWild('ab', 'a?" "?', 0)", 0, "0", 'i'},
      {"StrSubWild('xaybzc', 'a*b*c', 0)", 0, "aybzc", 's'},
      {"StrSubWild('abc', '*?', 0)", 0, "abc", 's'},
  };
  CheckCases(this, cases);
}

TEST_F(StringsTest, TypeInfoNamesAndCombinesClassBits) {
  static const Case cases[] = {
      {"StrTypeInfo('257', -1)", 0, "Upper Alpha", 's'},
      {"StrTypeInfo('0', -1)", 0, "", 's'},
      {"StrTypeInfo('511', -1)", 0, "Upper Lower Digit Space Punct Cntrl Blank HexDg Alpha", 's'},
      {"StrTypeInfo('x', -1)", 1824, "", 'i'},
      {"StrTypeInfo('abc', 2)", 1822, "", 'i'},
      {"StrTypeInfo('', 0)", 0, "0", 's'},
      {"StrTypeInfo(StrTypeInfo('AB', 0), -1)", 0, "Upper HexDg Alpha", 's'},
      {"StrTypeInfo(StrTypeInfo('a1', 0), -1)", 0, "HexDg", 's'},
      {"StrTypeInfo(StrTypeInfo('a1', 1), -1)", 0, "Lower Digit HexDg Alpha", 's'},
      {"StrTypeInfo(StrTypeInfo(' ', 1), -1)", 0, "Space Blank", 's'},
  };
  CheckCases(this, cases);
}

TEST_F(StringsTest, StrCatReadsItsOwnList) {
  static const Case cases[] = {
      {"StrCat(1, 2.5, 'x')", 0, "12.5x", 's'},
      {"StrCat('a')", 0, "a", 's'},
      {"StrCat()", 0, "", 's'},
      {"StrCat('a' : 'b', 1 + 2)", 0, "ab3", 's'},
      {"StrLen(StrCat('ab', 'cd')) + 1", 0, "5", 'i'},
      {"StrCat('a' 'b')", 2058, "", 'i'},
      {"StrCat('a', 'b'", 2058, "", 'i'},
      {"StrCat('a', 1/0)", 3062, "", 'i'},
      {"StrCat('a', ChrStringToUnicode('b'))", 0, "ab", 'u'},
  };
  CheckCases(this, cases);
  std::string most = "StrLen(StrCat(", over;
  for (int i = 0; i < 1024; ++i) most += i ? ",7" : "7";
  over = most + ",7))";
  most += "))";
  Outcome o = Run(most.c_str());
  EXPECT_EQ(o.error, 0);
  EXPECT_EQ(o.text, "1024");
  EXPECT_EQ(Run(over.c_str()).error, 2058) << "1,025 arguments";
}

TEST_F(StringsTest, ResultsOutgrowTheWorkingBuffers) {
  static const Case cases[] = {
      {"StrLen(StrFill('ab', 5000))", 0, "5000", 'i'},
      {"StrLen(StrReplace(StrFill('a', 3000), 'a', 'bb'))", 0, "6000", 'i'},
      {"StrSub(StrFill('abc', 9000), 8999, -1)", 0, "bc", 's'},
      {"StrIndex(StrFill('a', 4000) : 'b', 'ab', 0, @fwdscan)", 0, "4000", 'i'},
      {"StrLen(StrFix('', 'xy', 70000))", 0, "70000", 'i'},
      {"StrCnt(StrFill('ab', 6000), 'B', 0, -1, 0)", 0, "3000", 'i'},
      {"StrLen(StrUpper(StrFill('a', 2100)))", 0, "2100", 'i'},
      {"StrLen(StrCat(StrFill('a', 2100), StrFill('b', 2100)))", 0, "4200", 'i'},
      {"StrLenWild(StrFill('a', 3000) : 'b', 'a*b', 0)", 0, "3001", 'i'},
      {"StrFill('a', 2147483647)", 3096, "", 'i'},
      {"StrIndexWild(StrFill('a', 200000), '*b', 0)", 0, "0", 'i'},  // gives up once the text runs out
      {"StrIndexWild(StrFill('a', 200000) : 'b', 'a*b', 0)", 0, "1", 'i'},
  };
  CheckCases(this, cases);
}

// Shift-JIS: 82A0 and 82A2 are two double-byte characters; the byte pair A0 82
// across them is no character.
TEST_F(StringsTest, DoubleByteCharactersAreNeverSplit) {
  ASSERT_EQ(Run("ChrSetCodePage(932)").error, 0);
  ASSERT_EQ(Run("j = ChrHexToString('82A082A2')").error, 0);
  ASSERT_EQ(Run("across = ChrHexToString('A082')").error, 0);
  static const Case cases[] = {
      {"StrLen(j)", 0, "2", 'i'},
      {"StrByteCount(j, 0)", 0, "4", 'i'},
      {"ChrStringToHex(StrSub(j, 2, 1))", 0, "82A2", 's'},
      {"ChrStringToHex(StrSub(j : 'x', 2, -1))", 0, "82A278", 's'},
      {"StrIndex(j, across, 0, @fwdscan)", 0, "0", 'i'},
      {"StrIndex(j : 'x', 'x', 0, @fwdscan)", 0, "3", 'i'},
      {"StrReplace(j, across, 'x') == j", 0, "1", 'i'},
      {"StrCnt(j, across, 0, -1, 1)", 0, "1", 'i'},  // StrCnt counts at byte positions
      {"StrScan(j : ',', across, 0, @fwdscan)", 0, "0", 'i'},
      {"ChrStringToHex(StrFixBytes(j : 'b', '.', 3))", 0, "82A02E", 's'},
      {"ChrStringToHex(StrFixBytes('a', j, 4))", 0, "6182A020", 's'},  // no room for half a pad
      {"ChrStringToHex(StrFix(j, '', 3))", 0, "82A082A220", 's'},
      {"ChrStringToHex(StrClean(j : 'a', across, '', 1, 1))", 0, "82A082A261", 's'},
      {"StrLenWild(j : 'b', '?b', 0)", 0, "2", 'i'},
      {"ChrStringToHex(StrSubWild(j, '?', 2))", 0, "82A2", 's'},
  };
  CheckCases(this, cases);
}

// UTF-16 arguments (made with ChrHexToUnicode) give UTF-16 results, read back
// with ChrUnicodeToHex; U+3042 has no character in the ANSI code page.
TEST_F(StringsTest, WideArgumentsGiveWideResults) {
  ASSERT_EQ(Run("w = ChrHexToUnicode('610042306200')").error, 0);  // a, U+3042, b
  static const Case cases[] = {
      {"StrLen(w)", 0, "3", 'i'},
      {"ChrUnicodeToHex(StrSub(w, 2, 1))", 0, "4230", 's'},
      {"StrIndex(w, 'b', 0, @fwdscan)", 0, "3", 'i'},
      {"StrIndexNc(w, 'B', 0, @fwdscan)", 0, "3", 'i'},
      {"ChrUnicodeToHex(StrReplace(w, 'a', Num2Char(12354)))", 0, "423042306200", 's'},
      {"ChrUnicodeToHex(StrUpper(w))", 0, "410042304200", 's'},
      {"ChrUnicodeToHex(StrLower(ChrHexToUnicode('C900')))", 0, "E900", 's'},
      {"ChrUnicodeToHex(StrTrim(' ' : w : ' '))", 0, "610042306200", 's'},
      {"ChrUnicodeToHex(StrFix(w, '.', 4))", 0, "6100423062002E00", 's'},
      {"ChrUnicodeToHex(StrFixLeft(w, '', 4))", 0, "2000610042306200", 's'},
      {"ChrUnicodeToHex(StrFill(Num2Char(12354), 2))", 0, "42304230", 's'},
      {"ChrUnicodeToHex(StrClean(w, Num2Char(12354), '-', 1, 1))", 0, "61002D006200", 's'},
      {"StrCnt(w : w, Num2Char(12354), 0, -1, 1)", 0, "2", 'i'},
      {"ChrUnicodeToHex(StrSubWild(w, '?B', 0))", 0, "42306200", 's'},
      {"ChrUnicodeToHex(StrInsert(w, 'x', '', 2))", 0, "6100780042306200", 's'},
      {"ChrUnicodeToHex(StrOverlay('abc', Num2Char(12354), '', 3))", 0, "610062004230", 's'},
      {"StrCmp(w, w)", 0, "0", 'i'},
      {"StrScan(w, Num2Char(12354), 0, @fwdscan)", 0, "2", 'i'},
      {"ChrUnicodeToHex(StrCat(w, 1))", 0, "6100423062003100", 's'},
      {"StrSub(w, 1, 1)", 0, "a", 'u'},
      {"StrUpper(ChrStringToUnicode('ab'))", 0, "AB", 'u'},
      {"StrInsert('abc', 'x')", 0, "xabc", 's'},  // no UTF-16 argument: an ANSI result
  };
  CheckCases(this, cases);
}

}  // namespace
}  // namespace zel::test
