// Binary buffers through the evaluator: bounds at the last valid offset and
// one past it, EOD movement, searching, records, tags, translation and
// compression, and the buffer table's limits.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "binary/buffer.h"
#include "binary/compress.h"
#include "builtins/dispatch.h"
#include "builtins/functable.h"
#include "exprcase.h"
#include "values/array.h"

namespace zel::test {
namespace {

using BinaryTest = ContextTest;

// Runs lines that must succeed (setting up buffers and their contents).
void RunAll(ContextTest* t, std::initializer_list<const char*> lines) {
  for (const char* line : lines) ASSERT_EQ(t->Run(line).error, 0) << "line: " << line;
}

TEST_F(BinaryTest, NumbersAtTheLastOffsetAndOnePast) {
  RunAll(this, {"b = BinaryAlloc(16)"});
  static const Case cases[] = {
      {"BinaryPeek(b, 10)", 0, "0", 'i'},
      {"BinaryEodGet(b)", 0, "11", 'i'},  // a peek past the EOD moves it
      {"BinaryPeek(b, 16)", 3325, "", 'i'},
      {"BinaryEodGet(b)", 0, "11", 'i'},  // a failure moves nothing
      {"BinaryPeek(b, -1)", 1548, "", 'i'},
      {"BinaryPeek(b, 2147483647)", 3325, "", 'i'},
      {"BinaryPoke(b, 15, 255)", 0, "0", 'i'},
      {"BinaryPoke(b, 15, -1)", 0, "255", 'i'},
      {"BinaryPoke(b, 15, -256)", 0, "255", 'i'},
      {"BinaryPoke(b, 15, 256)", 3326, "", 'i'},
      {"BinaryPoke(b, 15, -257)", 3326, "", 'i'},
      {"BinaryPoke(b, 16, 0)", 3325, "", 'i'},
      {"BinaryEodGet(b)", 0, "16", 'i'},
      {"BinaryPoke2(b, 14, 65535)", 0, "0", 'i'},
      {"BinaryPeek2(b, 14)", 0, "65535", 'i'},
      {"BinaryPoke2(b, 14, -65536)", 0, "65535", 'i'},
      {"BinaryPoke2(b, 14, 65536)", 3326, "", 'i'},
      {"BinaryPeek2(b, 15)", 3325, "", 'i'},
      {"BinaryPoke4(b, 12, -1)", 0, "0", 'i'},
      {"BinaryPeek4(b, 12)", 0, "-1", 'i'},
      {"BinaryIncr4(b, 12)", 0, "0", 'i'},  // wraps in 32 bits
      {"BinaryPeek4(b, 13)", 3325, "", 'i'},
      {"BinaryPoke(b, 0, 255)", 0, "0", 'i'},
      {"BinaryIncr(b, 0)", 0, "0", 'i'},
      {"BinaryIncr2(b, 0)", 0, "1", 'i'},
      {"BinaryPoke4(b, 0, 305419896)", 0, "1", 'i'},
      {"BinaryPeekHex(b, 0, 4)", 0, "78563412", 's'},  // little-endian
      {"BinaryPokeFlt(b, 8, 2.5) == 0", 0, "1", 'i'},
      {"BinaryIncrFlt(b, 8) == 3.5", 0, "1", 'i'},
      {"BinaryPeekFlt(b, 8) == 3.5", 0, "1", 'i'},
      {"BinaryPeekFlt(b, 9)", 3325, "", 'i'},
      {"BinaryIncrFlt(b, 9)", 3325, "", 'i'},
  };
  CheckCases(this, cases);
}

// Each writing function moves the EOD up to the end of what it wrote, never
// down; reading texts and combining bytes leave it alone.
TEST_F(BinaryTest, EodMovesWithEachWrite) {
  RunAll(this, {"e = BinaryAlloc(40)"});
  struct Step {
    const char* action;
    int eod;
    uint16_t error;
  };
  static const Step steps[] = {
      {"BinaryPoke(e, 10, 1)", 11, 0},         {"BinaryPoke2(e, 1, 1)", 4, 0},
      {"BinaryPoke4(e, 10, 1)", 14, 0},        {"BinaryPokeFlt(e, 10, 1.0)", 18, 0},
      {"BinaryIncr2(e, 20)", 22, 0},           {"BinaryPeek4(e, 30)", 34, 0},
      {"BinaryPokeStr(e, 5, 'abc')", 8, 0},    {"BinaryPokeStrW(e, 5, 'abc')", 11, 0},
      {"BinaryPokeHex(e, 38, '0102')", 40, 0}, {"BinaryCopy(e, 20, e, 0, 4)", 24, 0},
      {"BinaryXor(e, 0, e, 1, 3)", 4, 0},      {"BinaryPeekStr(e, 0, 40)", 4, 0},
      {"BinaryPeekHex(e, 0, 40)", 4, 0},       {"BinaryReadEx(e, 0, 'nofile.bin', 0, 1)", 4, 1077},
  };
  for (const Step& s : steps) {
    Run("x = BinaryEodSet(e, 4)");
    Outcome o = Run(s.action);
    EXPECT_EQ(o.error, s.error) << s.action;
    EXPECT_EQ(Run("BinaryEodGet(e)").text, std::to_string(s.eod)) << s.action;
  }
}

TEST_F(BinaryTest, TableLimitsAndFreedHandles) {
  for (int i = 0; i < kBufferSlots; ++i) ASSERT_EQ(Run("BinaryAlloc(1)").error, 0) << i;
  static const Case cases[] = {
      {"BinaryAlloc(1)", 3024, "", 'i'},
      {"BinaryFree(987700)", 0, "0", 'i'},
      {"BinaryPeek(987700, 0)", 3023, "", 'i'},
      {"BinaryFree(987700)", 3023, "", 'i'},
      {"h = BinaryAlloc(5)", 0, "987700", 'i'},
      {"VarType(h)", 0, "65", 'i'},
      {"BinaryPeek(987658, 0)", 3023, "", 'i'},
      {"BinaryPeek(987787, 0)", 3023, "", 'i'},
      {"BinaryEodSet(h, 5)", 0, "0", 'i'},
      {"BinaryEodSet(h, 6)", 3127, "", 'i'},
      {"BinaryBufInfo(h, -1)", 0, "1", 'i'},
      {"BinaryBufInfo(987700, -1)", 0, "0", 'i'},  // not marked as a handle
      {"BinaryBufInfo(987700, 0)", 3023, "", 'i'},
      {"BinaryBufInfo(h, 0)", 0, "5", 'i'},
      {"BinaryBufInfo(h, 2)", 0, "5", 'i'},
      {"BinaryBufInfo(h, 3)", 1809, "", 'i'},
      {"BinaryOleType(h, 203)", 0, "1", 'i'},
      {"BinaryOleType(h, 212)", 1514, "", 'i'},
      {"BinaryOleType(h, 400)", 1514, "", 'i'},
      {"BinaryOleType(h, 200)", 1515, "", 'i'},
      {"BinaryOleType(h, 5)", 1516, "", 'i'},
      {"BinaryFree(h)", 0, "0", 'i'},
      {"BinaryBufInfo(h, -1)", 0, "0", 'i'},
  };
  CheckCases(this, cases);
  EXPECT_EQ(ctx->buffers[41].oleType, 0u);  // freeing cleared the slot
}

TEST_F(BinaryTest, TextsThatWouldOverrunTheBuffer) {
  RunAll(this, {"s = BinaryAlloc(8)"});
  static const Case cases[] = {
      {"BinaryPokeStr(s, 5, 'abc')", 0, "3", 'i'},
      {"BinaryPokeStr(s, 6, 'abc')", 2332, "", 'i'},
      {"BinaryPokeStr(s, 2147483647, 'abc')", 2332, "", 'i'},
      {"BinaryPeekStr(s, 5, 3)", 0, "abc", 's'},
      {"BinaryPeekStr(s, 6, 3)", 2331, "", 'i'},
      {"BinaryPeekStr(s, 2, 2147483647)", 2331, "", 'i'},
      {"BinaryPeekStr(s, 0, 8)", 0, "", 's'},  // stops at the first NUL
      {"BinaryPokeStrW(s, 2, 'h' : Num2Char(233) : 'y')", 0, "6", 'i'},
      {"BinaryPokeStrW(s, 3, 'abc')", 2332, "", 'i'},
      {"BinaryPeekHex(s, 2, 6)", 0, "6800E9007900", 's'},
      {"BinaryPeekStrW(s, 2, 6) == 'h' : Num2Char(233) : 'y'", 0, "1", 'i'},
      {"BinaryPeekStrW(s, 2, 7)", 1765, "", 'i'},
      {"BinaryPeekStrW(s, 3, 6)", 2331, "", 'i'},
      {"x = BinaryEodSet(s, 7)", 0, "8", 'i'},
      {"BinaryPeekStrW(s, 2, 6)", 1766, "", 'i'},  // ends at the odd EOD
      {"BinaryPokeStrW(s, 0, 'AB', 1)", 0, "4", 'i'},
      {"BinaryPeekHex(s, 0, 4)", 0, "00410042", 's'},
      {"BinaryPeekStrW(s, 0, 4, 1)", 0, "AB", 'u'},
      {"BinaryPokeHex(s, 0, '00FFa1')", 0, "3", 'i'},
      {"BinaryPeekHex(s, 0, 3)", 0, "00FFA1", 's'},
      {"BinaryPokeHex(s, 0, '0G')", 1720, "", 'i'},
      {"BinaryPokeHex(s, 0, '123')", 1720, "", 'i'},
      {"BinaryPokeHex(s, 6, '010203')", 1721, "", 'i'},
      {"BinaryPeekHex(s, 7, 2)", 1544, "", 'i'},
      {"BinaryPeekHex(s, 9, 0)", 1543, "", 'i'},
  };
  CheckCases(this, cases);
}

TEST_F(BinaryTest, RangesOfTwoBuffers) {
  RunAll(this, {"c1 = BinaryAlloc(8)", "c2 = BinaryAlloc(8)", "x = BinaryPokeHex(c1, 0, '0F0F0F0F')",
               "x = BinaryPokeHex(c2, 0, 'FF00FF00FF00FF00')"});
  static const Case cases[] = {
      {"BinaryAnd(c1, 0, c2, 0, 4)", 0, "1", 'i'},
      {"BinaryPeekHex(c1, 0, 4)", 0, "0F000F00", 's'},
      {"BinaryOr(c1, -1, c2, 0, 1)", 1548, "", 'i'},
      {"BinaryOr(c1, 0, c2, 0, -1)", 1549, "", 'i'},
      {"BinaryOr(c1, 8, c2, 0, 1)", 1543, "", 'i'},
      {"BinaryOr(c1, 4, c2, 0, 1)", 1550, "", 'i'},
      {"BinaryOr(c1, 0, c2, 0, 9)", 1544, "", 'i'},
      {"BinaryOr(c1, 0, c2, 0, 5)", 1551, "", 'i'},
      {"BinaryXor(c1, 0, c2, 0, 0)", 0, "1", 'i'},
      {"BinaryXor(c1, 0, c2, 1, 3)", 0, "1", 'i'},
      {"BinaryPeekHex(c1, 0, 4)", 0, "0FFF0F00", 's'},
      {"BinaryCompare(c2, 0, c2, 2, 6)", 0, "1", 'i'},
      {"BinaryCompare(c2, 0, c2, 1, 6)", 0, "0", 'i'},
      {"BinaryCompare(c1, 0, c2, 0, 5)", 0, "0", 'i'},  // past c1's EOD
      {"BinaryCompare(c1, 7, c2, 7, 0)", 0, "1", 'i'},
      {"BinaryCompare(c1, 8, c2, 0, 0)", 1543, "", 'i'},
      {"BinaryCompare(c1, 0, c2, 0, 9)", 1544, "", 'i'},
      {"BinaryCopy(c1, 6, c2, 0, 2)", 0, "2", 'i'},
      {"BinaryEodGet(c1)", 0, "8", 'i'},
      {"BinaryCopy(c1, 8, c2, 0, 1)", 3327, "", 'i'},
      {"BinaryCopy(c1, 7, c2, 0, 2)", 3328, "", 'i'},
      {"BinaryCopy(c1, 0, c2, 7, 2)", 3329, "", 'i'},
      {"BinaryCopy(c1, 0, c2, 0, 2147483647)", 3328, "", 'i'},
      {"BinaryCopy(c1, 1, c1, 0, 4)", 0, "4", 'i'},  // overlapping
      {"BinaryPeekHex(c1, 0, 5)", 0, "0F0FFF0F00", 's'},
  };
  CheckCases(this, cases);
}

TEST_F(BinaryTest, SearchesForwardBackwardAndAtTheEnds) {
  RunAll(this, {"x = BinaryAlloc(20)", "n = BinaryPokeStr(x, 0, 'abcABCabc')", "y = BinaryAlloc(10)",
               "p = BinaryAlloc(4)", "n = BinaryPokeStr(p, 0, 'Ca')"});
  static const Case cases[] = {
      {"BinaryIndex(x, 0, 'bc', 0)", 0, "1", 'i'},
      {"BinaryIndex(x, 2, 'abc', 0)", 0, "6", 'i'},
      {"BinaryIndex(x, 7, 'abc', 0)", 0, "0", 'i'},
      {"BinaryIndexEx(x, 7, 'abc', 0, 1)", 0, "-1", 'i'},
      {"BinaryIndexEx(x, 6, 'abc', 0, 1)", 0, "6", 'i'},  // ends at the EOD
      {"BinaryIndexNc(x, 1, 'abc', 0)", 0, "3", 'i'},
      {"BinaryIndexEx(x, 1, 'ABC', 0, 0)", 0, "3", 'i'},
      {"BinaryIndexEx(x, 4, 'ABC', 0, 1)", 0, "-1", 'i'},
      {"BinaryIndexEx(x, 8, 'abc', 1, 1)", 0, "6", 'i'},
      {"BinaryIndexEx(x, 7, 'abc', 1, 1)", 0, "0", 'i'},
      {"BinaryIndexEx(x, 2, 'abc', 1, 1)", 0, "0", 'i'},  // ends at the offset
      {"BinaryIndexEx(x, 1, 'abc', 1, 1)", 0, "-1", 'i'},
      {"BinaryIndexEx(x, 19, 'abc', 1, 1)", 0, "6", 'i'},
      {"BinaryIndexEx(x, 19, 'CAB', 1, 0)", 0, "5", 'i'},
      {"BinaryIndexEx(x, 20, 'abc', 1, 1)", 3333, "", 'i'},
      {"BinaryIndexEx(x, -1, 'abc', 0, 1)", 1548, "", 'i'},
      {"BinaryIndex(x, 3, '', 0)", 0, "3", 'i'},
      {"BinaryIndexEx(x, 9, '', 0, 1)", 0, "-1", 'i'},
      {"BinaryIndexEx(x, 15, '', 1, 1)", 0, "8", 'i'},
      {"BinaryIndexEx(y, 0, 'a', 0, 1)", 0, "-1", 'i'},  // an empty buffer
      {"BinaryIndexEx(y, 9, 'a', 1, 1)", 0, "-1", 'i'},
      {"BinaryIndexEx(y, 0, '', 0, 1)", 0, "-1", 'i'},
      {"BinaryIndexBin(x, 0, '634142', 0)", 0, "2", 'i'},
      {"BinaryIndexBin(x, 0, p, 0)", 0, "5", 'i'},
      {"BinaryIndexBin(x, 0, p, 0, 0)", 0, "2", 'i'},
      {"BinaryIndexBin(x, 8, p, 1, 0)", 0, "5", 'i'},
      {"BinaryIndexBin(x, 0, '4G', 0)", 1714, "", 'i'},
      {"BinaryIndexBin(x, 0, '414', 0)", 1714, "", 'i'},
      {"BinaryIndexBin(x, 0, '', 0)", 1715, "", 'i'},
      {"BinaryStrCnt(x, 0, 8, 'abc')", 0, "2", 'i'},
      {"BinaryStrCnt(x, 8, 0, 'abc')", 0, "2", 'i'},
      {"BinaryStrCnt(x, 0, 5, 'abc')", 0, "1", 'i'},
      {"BinaryStrCnt(x, 0, 8, '')", 0, "0", 'i'},
      {"BinaryStrCnt(x, 0, 9, 'abc')", 1550, "", 'i'},
      {"BinaryStrCnt(x, 0, 20, 'abc')", 3333, "", 'i'},
      {"BinaryStrCnt(x, -1, 3, 'abc')", 3333, "", 'i'},
  };
  CheckCases(this, cases);
}

TEST_F(BinaryTest, ReplaceMovesTheEodOrChangesNothing) {
  RunAll(this, {"z = BinaryAlloc(12)", "n = BinaryPokeStr(z, 0, 'aXbxc')", "w = BinaryAlloc(6)",
               "n = BinaryPokeStr(w, 0, 'a')", "n = BinaryEodSet(w, 3)"});
  static const Case cases[] = {
      {"BinaryReplace(z, 'x', '--', 0)", 0, "2", 'i'},
      {"BinaryPeekStr(z, 0, 12)", 0, "a--b--c", 's'},
      {"BinaryReplace(z, '-', '', 1)", 0, "4", 'i'},
      {"BinaryEodGet(z)", 0, "3", 'i'},
      {"BinaryReplace(z, 'B', 'q', 1)", 0, "0", 'i'},
      {"BinaryReplace(z, 'b', StrFill('q', 10), 1)", 0, "1", 'i'},  // exactly fills it
      {"BinaryReplace(z, 'q', 'qq', 1)", 1614, "", 'i'},
      {"BinaryPeekStr(z, 0, 12)", 0, "aqqqqqqqqqqc", 's'},
      {"BinaryReplace(w, '', '-', 1)", 0, "2", 'i'},  // each zero byte
      {"BinaryPeekStr(w, 0, 6)", 0, "a--", 's'},
  };
  CheckCases(this, cases);
}

TEST_F(BinaryTest, TagsWalkReplaceAndMissingEndTags) {
  RunAll(this, {"g = BinaryAlloc(60)",
               "n = BinaryPokeStr(g, 0, '<b>one</b> x <B>two</b> <b>a' : @crlf : 'b' : @tab : 'c </b><b>three')",
               "t = BinaryTagInit(g, '<b>', '</b>')"});
  static const Case cases[] = {
      {"t = BinaryTagFind(t)", 0, "002D00000000000000460003000400000003<b> </b> ", 's'},
      {"BinaryTagExtr(t, 0)", 0, "one", 's'},
      {"BinaryTagIndex(t, 0)", 0, "3", 'i'},
      {"BinaryTagIndex(t, 1)", 0, "0", 'i'},
      {"BinaryTagLen(t, 0)", 0, "3", 'i'},
      {"BinaryTagLen(t, 1)", 0, "10", 'i'},
      {"BinaryTagLen(t, 2)", 1655, "", 'i'},
      {"t = BinaryTagFind(t)", 0, "002D00000000000D00460003000400000003<b> </b> ", 's'},
      {"BinaryTagExtr(t, 0)", 0, "two", 's'},  // found without regard to case
      {"t = BinaryTagRepl(t, '2')", 0, "002D00000000000E00520003000400000000<b> </b> ", 's'},
      {"BinaryPeekStr(g, 0, 14)", 0, "<b>one</b> x 2", 's'},
      {"t = BinaryTagFind(t)", 0, "002D00000000000F00460003000400000007<b> </b> ", 's'},
      {"BinaryTagExtr(t, 1)", 0, "a b c ", 's'},
      {"t = BinaryTagFind(t)", 0, "", 's'},  // the last start tag has no end tag
      {"BinaryTagIndex(t, 0)", 1581, "", 'i'},
      {"BinaryTagInit(g, '', '</b>')", 1580, "", 'i'},
      {"BinaryTagFind('003000000000000000490003000400000000<b> </b> ')", 1581, "", 'i'},
      {"BinaryTagFind('002D00000000000000490003000400000000<b>x</b> ')", 1581, "", 'i'},
      {"BinaryTagFind('002D007F0000000000490003000400000000<b> </b> ')", 3023, "", 'i'},
  };
  CheckCases(this, cases);
}

TEST_F(BinaryTest, ReplacingATagWithoutRoomSkipsThePair) {
  RunAll(this, {"g = BinaryAlloc(12)", "n = BinaryPokeStr(g, 0, '[a]x[b]y')",
               "t = BinaryTagFind(BinaryTagInit(g, '[', ']'))"});
  static const Case cases[] = {
      {"t = BinaryTagRepl(t, '12345678')", 0, "002800000000000300520001000100000000[ ] ", 's'},
      {"BinaryPeekStr(g, 0, 12)", 0, "[a]x[b]y", 's'},
      {"BinaryTagExtr(BinaryTagFind(t), 0)", 0, "b", 's'},
  };
  CheckCases(this, cases);
}

// Four records of `size` bytes from hex, sorted, read back as hex.
std::string SortedHex(ContextTest* t, int size, const char* hex, int keyOffset, int keySize,
                      int flags) {
  t->Run("BinaryFree(r)");
  std::string line = "r = BinaryAlloc(" + std::to_string(size * 4) + ")";
  EXPECT_EQ(t->Run(line.c_str()).error, 0);
  EXPECT_EQ(t->Run((std::string("BinaryPokeHex(r, 0, '") + hex + "')").c_str()).error, 0);
  line = "BinarySort(r, " + std::to_string(size) + ", " + std::to_string(keyOffset) + ", " +
         std::to_string(keySize) + ", " + std::to_string(flags) + ")";
  Outcome o = t->Run(line.c_str());
  EXPECT_EQ(o.error, 0) << line;
  return t->Run(("BinaryPeekHex(r, 0, " + std::to_string(size * 4) + ")").c_str()).text;
}

TEST_F(BinaryTest, SortsRecordsByEachKeyType) {
  // byte keys at offset 0; records with equal keys keep their order
  EXPECT_EQ(SortedHex(this, 2, "03AA01BB02CC01DD", 0, 9, 1), "01BB01DD02CC03AA");
  EXPECT_EQ(SortedHex(this, 2, "03AA01BB02CC01DD", 0, 1, 1 | 16), "03AA02CC01BB01DD");
  // unaligned 16-bit keys, little-endian
  EXPECT_EQ(SortedHex(this, 3, "00FF00" "000101" "000002" "000100", 1, 2, 2),
            "000100" "00FF00" "000101" "000002");
  // 32-bit keys are unsigned
  EXPECT_EQ(SortedHex(this, 4, "FFFFFFFF" "01000000" "00000080" "02000000", 0, 4, 4),
            "01000000" "02000000" "00000080" "FFFFFFFF");
  // doubles: -1.5, 2.0, 0.5, -0.0
  EXPECT_EQ(SortedHex(this, 8,
                      "000000000000F8BF" "0000000000000040" "000000000000E03F" "0000000000000080",
                      0, 8, 8),
            "000000000000F8BF" "0000000000000080" "000000000000E03F" "0000000000000040");
  // text keys: without regard to case first, then with it
  EXPECT_EQ(SortedHex(this, 2, "6231" "4132" "6133" "4234", 0, 1, 0), "4132613342346231");
  // a text key ends at its NUL: "a" and "a" are equal and keep their order
  EXPECT_EQ(SortedHex(this, 3, "616200" "414200" "610058" "610059", 0, 3, 0),
            "610058" "610059" "414200" "616200");
}

TEST_F(BinaryTest, SortAndHashCheckTheRecordLayout) {
  RunAll(this, {"r = BinaryAlloc(16)"});
  static const Case cases[] = {
      {"BinarySort(r, 0, 0, 1, 0)", 1474, "", 'i'},
      {"BinarySort(r, 4, -1, 1, 0)", 1475, "", 'i'},
      {"BinarySort(r, 4, 0, 0, 0)", 1476, "", 'i'},
      {"BinarySort(r, 4, 2, 4, 0)", 1477, "", 'i'},
      {"BinarySort(r, 4, 2, 1, 4)", 1477, "", 'i'},  // a 32-bit key is 4 bytes
      {"BinarySort(r, 17, 0, 1, 0)", 1478, "", 'i'},
      {"BinarySort(r, 16, 0, 16, 0)", 0, "1", 'i'},
      {"BinaryHashRec(r, 4, 0, 4, '')", 1480, "", 'i'},
      {"BinaryHashRec(r, 4, 0, 4, 'abcde')", 1481, "", 'i'},
      {"BinaryHashRec(r, 4, 3, 2, 'a')", 1477, "", 'i'},
  };
  CheckCases(this, cases);
}

TEST_F(BinaryTest, HashingIntoARecordTable) {
  // 10 records of 8 bytes, the key in bytes 2..7: the start record is the
  // hash mod 9, and probing wraps to the first record.
  RunAll(this, {"h = BinaryAlloc(80)", "one = BinaryAlloc(8)", "twelve = BinaryAlloc(48)"});
  static const Case cases[] = {
      {"BinaryHashRec(h, 8, 2, 6, 'a')", 0, "56", 'i'},     // 97 mod 9 = 7
      {"BinaryHashRec(h, 8, 2, 6, 'ab')", 0, "32", 'i'},    // 292 mod 9 = 4
      {"BinaryHashRec(h, 8, 2, 6, 'abcd')", 0, "64", 'i'},  // 1466 mod 9 = 8
      {"BinaryHashRec(h, 8, 2, 6, 'AbcD')", 0, "64", 'i'},  // the same start; found without regard to case
      {"BinaryHashRec(h, 8, 2, 6, 'j')", 0, "72", 'i'},     // 106 mod 9 = 7: the next free record
      {"BinaryHashRec(h, 8, 2, 6, 's')", 0, "0", 'i'},      // 115 mod 9 = 7: wraps to the first
      {"BinaryHashRec(h, 8, 2, 6, 'sixsix')", 0, "8", 'i'},
      {"BinaryPeekStr(h, 10, 6)", 0, "sixsix", 's'},        // a full-size key has no terminator
      {"BinaryHashRec(h, 8, 2, 6, 'SIXSIX')", 0, "8", 'i'},
      {"BinaryHashRec(h, 8, 2, 6, 'k1')", 0, "16", 'i'},
      {"BinaryHashRec(h, 8, 2, 6, 'k2')", 0, "24", 'i'},
      {"BinaryHashRec(h, 8, 2, 6, 'k3')", 0, "40", 'i'},
      {"BinaryHashRec(h, 8, 2, 6, 'k4')", 0, "48", 'i'},
      {"BinaryHashRec(h, 8, 2, 6, 'k5')", 1482, "", 'i'},
      {"BinaryHashRec(h, 8, 2, 6, 'K2')", 0, "24", 'i'},    // found by probing a full table
      {"BinaryEodGet(h)", 0, "80", 'i'},
      {"BinaryHashRec(one, 8, 0, 8, 'x')", 0, "0", 'i'},
      {"BinaryHashRec(one, 8, 0, 8, 'y')", 1482, "", 'i'},
      // bytes are signed characters: 233 is -23, and (2^32 - 23) mod 11 = 3
      {"BinaryHashRec(twelve, 4, 0, 4, Num2Char(233))", 0, "12", 'i'},
  };
  CheckCases(this, cases);
}

TEST_F(BinaryTest, ChecksumsOfTheData) {
  RunAll(this, {"c = BinaryAlloc(16)"});
  static const Case cases[] = {
      {"BinaryChecksum(c, 1)", 0, "0000", 's'},
      {"BinaryChecksum(c, 2)", 0, "00000000", 's'},
      {"BinaryChecksum(c, 0)", 0, "d41d8cd9-8f00b204-e9800998-ecf8427e", 's'},
      {"n = BinaryPokeStr(c, 0, '123456789')", 0, "9", 'i'},
      {"BinaryChecksum(c, 0)", 0, "25f9e794-323b4538-85f5181f-1b624d0b", 's'},
      {"BinaryChecksum(c, 1)", 0, "bb3d", 's'},
      {"BinaryChecksum(c, 2)", 0, "cbf43926", 's'},
      {"BinaryChecksum(c, 3)", 1704, "", 'i'},
  };
  CheckCases(this, cases);
}

TEST_F(BinaryTest, TranslationTablesAndCharacterSets) {
  RunAll(this, {"t = BinaryAlloc(65536)", "d = BinaryAlloc(4)", "n = BinaryPokeHex(d, 0, '4142')"});
  for (int i = 0; i < 256; ++i)
    Run(("x = BinaryPoke(t, " + std::to_string(i) + ", " + std::to_string(255 - i) + ")").c_str());
  static const Case cases[] = {
      {"BinaryXlate(d, t, 0)", 0, "2", 'i'},
      {"BinaryPeekHex(d, 0, 2)", 0, "BEBD", 's'},
      {"BinaryXlate(d, t, 1)", 1658, "", 'i'},  // the table's EOD is 256
      {"n = BinaryEodSet(t, 65536)", 0, "256", 'i'},
      {"n = BinaryPokeHex(d, 0, '0102')", 0, "2", 'i'},
      {"BinaryXlate(d, t, 1)", 0, "4", 'i'},  // bytes to 16-bit entries 1 and 2
      {"BinaryPeekHex(d, 0, 4)", 0, "FDFCFBFA", 's'},
      {"BinaryXlate(d, t, 1)", 1663, "", 'i'},  // 8 bytes would not fit
      {"n = BinaryPokeHex(d, 0, '03000500')", 0, "4", 'i'},
      {"BinaryXlate(d, t, 2)", 0, "2", 'i'},  // 4 data bytes make 2
      {"BinaryPeekHex(d, 0, 2)", 0, "FCFA", 's'},
      {"BinaryXlate(d, t, 3)", 1660, "", 'i'},
      {"BinaryXlate(d, t, 4)", 1656, "", 'i'},
      {"BinaryXlate(d, t, -1)", 1656, "", 'i'},
      {"n = BinaryEodSet(d, 3)", 0, "2", 'i'},
      {"BinaryXlate(d, t, 2)", 1661, "", 'i'},
      {"n = BinaryEodSet(d, 0)", 0, "3", 'i'},
      {"BinaryXlate(d, t, 0)", 0, "0", 'i'},
      {"c = BinaryAlloc(8)", 0, "987661", 'i'},
      {"n = BinaryPokeStr(c, 0, 'abc')", 0, "3", 'i'},
      {"BinaryConvert(c, 0, 3, 0, 1)", 0, "6", 'i'},
      {"BinaryPeekHex(c, 0, 6)", 0, "410042004300", 's'},
      {"BinaryConvert(c, 3, 0, 0, 2)", 0, "3", 'i'},
      {"BinaryPeekStr(c, 0, 8)", 0, "abc", 's'},
      {"BinaryConvert(c, 0, 2, 1252, 1)", 0, "3", 'i'},
      {"BinaryPeekStr(c, 0, 8)", 0, "ABC", 's'},
      {"n = BinaryPokeStr(c, 3, 'de')", 0, "2", 'i'},
      {"BinaryConvert(c, 0, 3, 0, 0)", 1556, "", 'i'},  // 10 bytes in 8
      {"BinaryPeekStr(c, 0, 8)", 0, "ABCde", 's'},
      {"BinaryConvert(c, 3, 0, 0, 0)", 1557, "", 'i'},  // 5 bytes are no UTF-16 text
      {"BinaryConvert(c, 0, 4, 0, 0)", 1553, "", 'i'},
      {"BinaryConvert(c, 0, 1, 0, 4)", 1554, "", 'i'},
      {"BinaryConvert(c, 0, 1, 0, 3)", 1555, "", 'i'},
      // to and from UTF-16 the 8-bit side is in the code page given: 0x82 is
      // U+00E9 in code page 437
      {"n = BinaryPokeHex(c, 0, '82')", 0, "1", 'i'},
      {"n = BinaryEodSet(c, 1)", 0, "5", 'i'},
      {"BinaryConvert(c, 0, 3, 437, 0)", 0, "2", 'i'},
      {"BinaryPeekHex(c, 0, 2)", 0, "E900", 's'},
      {"BinaryConvert(c, 3, 2, 437, 1)", 0, "1", 'i'},  // upper case: U+00C9 is 0x90
      {"BinaryPeekHex(c, 0, 1)", 0, "90", 's'},
  };
  CheckCases(this, cases);
}

// Bytes that compress, but not to nothing: runs of a pseudo-random walk.
std::vector<uint8_t> SampleData(size_t n) {
  std::vector<uint8_t> v(n);
  uint32_t s = 12345;
  for (size_t i = 0; i < n; ++i) {
    s = s * 1103515245u + 12345u;
    v[i] = static_cast<uint8_t>(i % 7 ? v[i - 1] : s >> 24);
  }
  return v;
}

TEST_F(BinaryTest, CompressionRoundTripRestoresTheBytes) {
  const size_t kBytes = 300 * 1024;
  std::vector<uint8_t> data = SampleData(kBytes);
  RunAll(this, {"a = BinaryAlloc(307200)", "c = BinaryAlloc(400000)", "u = BinaryAlloc(307200)",
               "s = BinaryAlloc(100)"});
  BufferSlot& a = ctx->buffers[0];
  memcpy(a.data, data.data(), kBytes);
  a.eod = static_cast<int32_t>(kBytes);
  Outcome packed = Run("BinaryComp(a, c, 9)");
  ASSERT_EQ(packed.error, 0);
  int clen = std::stoi(packed.text);
  EXPECT_GT(clen, 0);
  EXPECT_LT(clen, static_cast<int>(kBytes) / 2);
  EXPECT_EQ(Run("BinaryUncomp(c, u)").text, std::to_string(kBytes));
  EXPECT_EQ(memcmp(ctx->buffers[2].data, data.data(), kBytes), 0);
  static const Case cases[] = {
      {"BinaryComp(a, s, 9)", 1592, "", 'i'},  // no room
      {"BinaryComp(a, c, 10)", 1592, "", 'i'},
      {"BinaryEodGet(s)", 0, "0", 'i'},
      {"BinaryUncomp(c, s)", 1593, "", 'i'},
      {"x = BinaryPoke(c, 20, BinaryPeek(c, 20) ^ 255)", 0, "", '?'},
      {"BinaryUncomp(c, u)", 1593, "", 'i'},  // damaged
      {"BinaryEodGet(u)", 0, "307200", 'i'},
  };
  for (const Case& c : cases) {
    Outcome o = Run(c.line);
    EXPECT_EQ(o.error, c.error) << c.line;
    if (c.type != '?' && !c.error) {
      EXPECT_EQ(o.text, c.text) << c.line;
    }
  }
  EXPECT_EQ(memcmp(ctx->buffers[2].data, data.data(), kBytes), 0) << "a failure leaves the destination";
}

// An array block laid out the way arrays keep them, with one holder.
class HandMadeArray {
 public:
  explicit HandMadeArray(uint32_t n) {
    h_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(ArrayBlock) + n * sizeof(ElementCell));
    b_ = static_cast<ArrayBlock*>(GlobalLock(h_));
    b_->sizes[0] = int32_t(n);
    b_->dims = n ? 1 : 0;
    b_->data = reinterpret_cast<AddrWord>(b_ + 1);
    b_->count = n;
    b_->dataSize = n * sizeof(ElementCell);
  }
  ~HandMadeArray() {
    GlobalUnlock(h_);
    GlobalFree(h_);
  }
  ValueCell& At(uint32_t i) { return arr::Elements(b_)[i].v; }
  // Calls BinaryAllocArray with the array; the result in *r.
  uint16_t AllocArray(ScriptContext* ctx, Value* r) {
    Value args[2];
    val::InitValue(&args[0], 0);
    val::InitValue(&args[1], 0);
    args[1].flags = kFlagArray;
    args[1].str = reinterpret_cast<AddrWord>(b_);
    val::InitValue(r, 0);
    ctx->error = 0;
    const FunctionTableEntry* e = &kBuiltinTable[160];
    EXPECT_EQ(std::string(e->name, e->nameLen), "binaryallocarray");
    calls::DispatchCall(ctx, 160, r, args, 1, false, e->argTypes);
    return ctx->error;
  }

 private:
  HGLOBAL h_;
  ArrayBlock* b_;
};

TEST_F(BinaryTest, ArraysBecomeBuffersOfBytes) {
  HandMadeArray a(4);
  const int32_t values[] = {0, 255, -1, 65};
  for (uint32_t i = 0; i < 4; ++i) {
    a.At(i).ival = values[i];
    a.At(i).flags = kFlagInt;
  }
  a.At(3).flags = kFlagFloat;  // 64.6 rounds to 65
  a.At(3).fval = 64.6;
  Value r;
  ASSERT_EQ(a.AllocArray(ctx, &r), 0);
  EXPECT_EQ(r.flags, kFlagInt | kFlagBinBuf);
  BufferSlot* b = bin::Get(ctx, r.ival);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->size, 4);
  EXPECT_EQ(b->eod, 4);
  EXPECT_EQ(memcmp(b->data, "\x00\xFF\xFF\x41", 4), 0);
  a.At(1).ival = 256;
  EXPECT_EQ(a.AllocArray(ctx, &r), 3326);
  a.At(1).flags = 0;
  EXPECT_EQ(a.AllocArray(ctx, &r), 1640);
  EXPECT_EQ(ctx->buffers[1].buffer, nullptr) << "a failed copy frees its buffer";
  HandMadeArray empty(0);
  EXPECT_EQ(empty.AllocArray(ctx, &r), 1710);
}

TEST(UncompressBufferTest, DecompressesInPlace) {
  std::vector<uint8_t> data = SampleData(5000);
  std::vector<char> buf(6001);
  uLongf clen = uLongf(buf.size());
  ASSERT_EQ(compress(reinterpret_cast<Bytef*>(buf.data()), &clen, data.data(), uLong(data.size())), Z_OK);
  std::vector<char> copy(buf);
  EXPECT_EQ(UncompressBuffer(buf.data(), int(clen), 6000), 5000);
  EXPECT_EQ(memcmp(buf.data(), data.data(), data.size()), 0);
  EXPECT_EQ(buf[5000], 0);
  EXPECT_EQ(UncompressBuffer(copy.data(), int(clen), 4999), -1);  // capacity too small
  EXPECT_EQ(UncompressBuffer(nullptr, int(clen), 6000), -1);
  EXPECT_EQ(UncompressBuffer(copy.data(), 0, 6000), -1);
  EXPECT_EQ(UncompressBuffer(copy.data(), int(clen), 0), -1);
  copy[3] ^= 0x55;
  EXPECT_EQ(UncompressBuffer(copy.data(), int(clen), 6000), -1);
}

}  // namespace
}  // namespace zel::test
