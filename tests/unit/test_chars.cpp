// Character and code-page functions, evaluated as expressions: codes of
// characters and back, hexadecimal texts, conversions through the run's
// code page, and choosing that code page.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "exprcase.h"

namespace zel::test {
namespace {

using CharsTest = ContextTest;

TEST_F(CharsTest, CodesOfCharactersAndBack) {
  static const Case cases[] = {
      {"Char2Num('A')", 0, "65", 'i'},
      {"Char2Num('AB')", 0, "65", 'i'},
      {"Char2Num('')", 0, "0", 'i'},
      {"Char2Num(ChrHexToString('E9'))", 0, "233", 'i'},
      {"Char2Num(ChrHexToUnicode('AC20'))", 0, "8364", 'i'},
      {"Char2Num(ChrHexToUnicode('3DD800DE'))", 0, "128512", 'i'},  // a surrogate pair
      {"Num2Char(65)", 0, "A", 's'},
      {"Num2Char(0)", 0, "", 's'},
      {"ChrStringToHex(Num2Char(233))", 0, "E9", 's'},
      {"ChrUnicodeToHex(Num2Char(8364))", 0, "AC20", 's'},
      {"ChrUnicodeToHex(Num2Char(128512))", 0, "3DD800DE", 's'},
      {"Char2Num(Num2Char(1114111))", 0, "1114111", 'i'},
      {"Num2Char(-1)", 1824, "", 'i'},
      {"Num2Char(55296)", 1824, "", 'i'},  // a lone surrogate
      {"Num2Char(1114112)", 1824, "", 'i'},
  };
  CheckCases(this, cases);
}

TEST_F(CharsTest, HexadecimalTextsBothWays) {
  static const Case cases[] = {
      {"ChrStringToHex('Az')", 0, "417A", 's'},
      {"ChrStringToHex('')", 0, "", 's'},
      {"ChrHexToString('417a')", 0, "Az", 's'},
      {"ChrHexToString('')", 0, "", 's'},
      {"ChrHexToString('417')", 1824, "", 'i'},
      {"ChrHexToString('4G')", 1824, "", 'i'},
      {"ChrHexToString('4100')", 1824, "", 'i'},  // no zero byte in a text
      {"ChrUnicodeToHex(ChrStringToUnicode('Ab'))", 0, "41006200", 's'},
      {"ChrUnicodeToHex('')", 0, "", 's'},
      {"ChrHexToUnicode('41006200')", 0, "Ab", 'u'},
      {"ChrHexToUnicode('')", 0, "", 'u'},
      {"ChrHexToUnicode('410')", 1824, "", 'i'},
      {"ChrHexToUnicode('0000')", 1824, "", 'i'},
      {"ChrHexToUnicode('41ZZ')", 1824, "", 'i'},
      {"StrLen(ChrStringToHex(StrFill('x', 3000)))", 0, "6000", 'i'},
      {"StrLen(ChrHexToUnicode(StrFill('4100', 4000)))", 0, "1000", 'i'},
  };
  CheckCases(this, cases);
}

TEST_F(CharsTest, TheRunsCodePageChoosesTheConversions) {
  char acp[16], oem[16];
  snprintf(acp, sizeof acp, "%u", GetACP());
  snprintf(oem, sizeof oem, "%u", GetOEMCP());
  const Case before[] = {
      {"ChrGetCodePage(0)", 0, "0", 'i'},
      {"ChrGetCodePage(1)", 0, acp, 'i'},
      {"ChrGetCodePage(2)", 0, oem, 'i'},
      {"ChrGetCodePage(3)", 1822, "", 'i'},
      {"ChrSetCodePage(12345)", 1824, "", 'i'},
      {"ChrSetCodePage(-5)", 1824, "", 'i'},
      {"ChrGetCodePage(0)", 0, "0", 'i'},  // a refused code page changes nothing
      {"ChrStringToHex(ChrUnicodeToString(ChrHexToUnicode('4230')))", 0, "3F", 's'},
      {"ChrSetCodePage(932)", 0, "0", 'i'},
      {"ChrGetCodePage(0)", 0, "932", 'i'},
      {"ChrUnicodeToHex(ChrStringToUnicode(ChrHexToString('82A0')))", 0, "4230", 's'},
      {"ChrStringToHex(ChrUnicodeToString(ChrHexToUnicode('4230')))", 0, "82A0", 's'},
      {"ChrStringToHex(ChrHexToUnicode('4230') : '')", 0, "82A0", 's'},  // implicit conversions too
      {"Char2Num(ChrHexToString('82A0'))", 0, "12354", 'i'},
      {"ChrSetCodePage(0)", 0, "932", 'i'},
  };
  CheckCases(this, before, sizeof before / sizeof *before);
  EXPECT_EQ(ctx->codePage, 0u);
}

}  // namespace
}  // namespace zel::test
