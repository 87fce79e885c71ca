// Texts of numbers: FormatFloat by every Decimals setting, ParseFloat, integer
// texts in bases 2 to 36, the integer and hexadecimal checks, the Decimals
// clamping, and the VARIANT type names.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "ctxfixture.h"
#include "values/convert.h"

namespace zel::test {
namespace {

using NumTextTest = ContextTest;

TEST_F(NumTextTest, FormatFloatFollowsTheDecimalsSetting) {
  struct { int32_t d; double x; const char* text; } cases[] = {
      {-1, 0.0, "0.0"}, {-1, -0.0, "0.0"}, {-1, 100.0, "100.0"}, {-1, 0.00005, "5.00000000e-005"},
      {-1, 123456789.5, "123456789.5"}, {-1, 1e10, "1.00000000e+010"}, {-1, 2.0, "2.0"},
      {-1, -1e10, "-1.00000000e+010"}, {-1, -2.25, "-2.25"}, {-1, 999999999.0, "9.99999999e+008"},
      {-1, 998999999.0, "998999999.0"}, {-1, 0.0001, "0.0001"}, {-1, 1e-300, "1.00000000e-300"},
      {-1, 1.0 / 3.0, "0.33333333"}, {0, 2.5, "3"}, {0, -2.5, "-3"}, {0, -0.0, "0"}, {0, -0.4, "0"},
      {0, 2147483646.6, "2147483647"}, {0, 3e9, "3.e+009"}, {2, 1.5, "1.50"}, {2, -0.0, "0.00"},
      {2, 0.00005, "0.00"}, {2, 1e10, "1.00e+010"}, {2, 123456789.5, "123456789.50"},
      {-2, -0.0, "0"}, {-2, 1e10, "1e+010"}, {-2, 1.5, "1.5"}, {-2, 0.00005, "5e-005"},
      {-2, 123456789.5, "1.23457e+008"}, {-2, 100.0, "100"}, {-3, 1.5, "1.500000e+000"},
      {-3, -0.0, "0.000000e+000"}, {-3, 1e100, "1.000000e+100"}, {8, 1.5, "1.50000000"},
      {8, -0.0, "0.00000000"}, {8, 123456789.5, "123456789.50000000"}, {8, 1e10, "1.00000000e+010"},
      {8, 0.00005, "0.00005000"}, {12, 1.5, "1.50000000"}, {-9, 1.5, "1.5"},  // stored out of range
  };
  for (const auto& c : cases) {
    ctx->decimals = c.d;
    char buf[val::kNumberTextSize];
    EXPECT_TRUE(val::FormatFloat(ctx, c.x, buf, sizeof buf)) << c.d << " / " << c.x;
    EXPECT_STREQ(buf, c.text) << "Decimals " << c.d << ", x " << c.x;
  }
  EXPECT_EQ(ctx->error, 0);
}

TEST_F(NumTextTest, FormatFloatFailures) {
  struct { double x; uint16_t error; size_t size; } cases[] = {
      {NAN, 1599, 32}, {-NAN, 1599, 32}, {INFINITY, 1342, 32}, {-INFINITY, 1342, 32},
      {123.25, 0, 3},  // every setting needs more than 3 bytes for it
  };
  for (int32_t d : {-1, 0, 2, -2, -3, 8}) {
    for (const auto& c : cases) {
      ctx->decimals = d;
      ctx->error = 0;
      char buf[32];
      memset(buf, 'X', sizeof buf);
      EXPECT_FALSE(val::FormatFloat(ctx, c.x, buf, c.size)) << d << " / " << c.x;
      EXPECT_EQ(ctx->error, c.error) << d << " / " << c.x;
      EXPECT_EQ(std::string(buf, 2), std::string("\0X", 2)) << d << " / " << c.x;
    }
  }
}

TEST_F(NumTextTest, ParseFloatReadsWholeDecimalTextsOnly) {
  struct { const char* text; bool ok; double x; uint16_t error; } cases[] = {
      {"4e2", true, 400.0, 0}, {" 2.5", true, 2.5, 0}, {".5", true, 0.5, 0}, {"5.", true, 5.0, 0},
      {"-1E-2", true, -0.01, 0}, {"1e-400", true, 0.0, 0}, {"1e400", false, 0, 1342},
      {"1d3", false, 0, 0}, {"1D3", false, 0, 0}, {"", false, 0, 0}, {"2.5 ", false, 0, 0},
      {"inf", false, 0, 0}, {"nan", false, 0, 0}, {"0x10", false, 0, 0}, {"+", false, 0, 0},
      {"e5", false, 0, 0}, {"1e", false, 0, 0}, {"1.2.3", false, 0, 0},
  };
  for (const auto& c : cases) {
    ctx->error = 0;
    double x = -99.0;
    EXPECT_EQ(val::ParseFloat(ctx, c.text, &x), c.ok) << '"' << c.text << '"';
    EXPECT_EQ(x, c.ok ? c.x : -99.0) << '"' << c.text << '"';
    EXPECT_EQ(ctx->error, c.error) << '"' << c.text << '"';
  }
}

TEST(NumText, IntToTextInEveryBaseBothWidthsWithinTheBuffer) {
  struct { int32_t n; int base; size_t size; const char* text; } cases[] = {
      {INT_MIN, 10, 40, "-2147483648"}, {255, 16, 40, "FF"}, {-255, 16, 40, "-FF"},
      {0, 2, 40, "0"}, {1295, 36, 40, "ZZ"}, {INT_MAX, 2, 40, "1111111111111111111111111111111"},
      {INT_MIN, 16, 40, "-80000000"}, {5, 1, 40, ""}, {5, 37, 40, ""},
      {-12345, 10, 7, "-12345"}, {-12345, 10, 6, ""},  // six characters need seven places
  };
  for (const auto& c : cases) {
    char a[40];
    wchar_t w[40];
    int len = static_cast<int>(strlen(c.text));
    EXPECT_EQ(val::IntToText(c.n, c.base, a, c.size), len) << c.n << " base " << c.base;
    EXPECT_STREQ(a, c.text) << c.n << " base " << c.base;
    EXPECT_EQ(val::IntToText(c.n, c.base, w, c.size), len) << c.n << " base " << c.base;
    EXPECT_EQ(std::wstring(w), std::wstring(c.text, c.text + len)) << c.n << " base " << c.base;
  }
}

TEST(NumText, TextToIntAndTextToIntBase) {
  struct { const char* text; int32_t n; } plain[] = {
      {" 42", 42}, {"-17x", -17}, {"+-4", 0}, {"  -2147483648", INT_MIN}, {"4294967297", 1},
      {"\t5", 0}, {"", 0},
  };
  for (const auto& c : plain) {
    EXPECT_EQ(val::TextToInt(c.text), c.n) << '"' << c.text << '"';
    std::wstring w(c.text, c.text + strlen(c.text));
    EXPECT_EQ(val::TextToInt(w.c_str()), c.n) << '"' << c.text << "\" (UTF-16)";
  }
  struct { const char* text; int base; int32_t n; } based[] = {
      {"FF", 16, 255}, {"ff", 16, 255}, {"101", 2, 5}, {"", 16, 0}, {"zz", 36, 1295},
      {"12", 1, -1}, {"12", 37, -1}, {"2", 2, -2}, {"G", 16, -2}, {"1 ", 10, -2}, {"-1", 10, -2},
  };
  for (const auto& c : based)
    EXPECT_EQ(val::TextToIntBase(c.text, c.base), c.n) << '"' << c.text << "\" base " << c.base;
}

TEST(NumText, IntegerAndHexTextChecks) {
  struct { const char* text; bool integer, hex; } cases[] = {
      {" 42", true, true}, {"42 ", true, true}, {"\t-7\t", true, true}, {"", true, true},
      {"+-4", false, false}, {"4e2", false, true}, {"FF", false, true}, {"0x1F", false, false},
      {"4 2", false, false}, {"G", false, false}, {"4\n", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(val::IsIntegerText(c.text), c.integer) << '"' << c.text << '"';
    EXPECT_EQ(val::IsHexText(c.text), c.hex) << '"' << c.text << '"';
  }
}

TEST_F(NumTextTest, SetDecimalsClampsAndReturnsThePrevious) {
  EXPECT_EQ(ctx->decimals, -1);  // every context starts at -1
  struct { int32_t n, previous, stored; } steps[] = {
      {20, -1, 8}, {-7, 8, -1}, {9, -1, 8}, {8, 8, 8}, {-3, 8, -3}, {-4, -3, -1}, {0, -1, 0},
  };
  for (const auto& s : steps) {
    EXPECT_EQ(val::SetDecimals(ctx, s.n), s.previous) << "Decimals(" << s.n << ")";
    EXPECT_EQ(ctx->decimals, s.stored) << "Decimals(" << s.n << ")";
  }
}

TEST(NumText, VariantTypeNames) {
  struct { const char* name; int32_t type, category; } cases[] = {
      {"VT_I4", 3, 1}, {"vt_bool", 11, 1}, {"I1", 16, 1}, {"ui1", 17, 1}, {"Ui2", 18, 1},
      {"VT_UI4", 19, 1}, {"i2", 2, 1}, {"CY", 6, 2}, {"vt_Date", 7, 2}, {"Decimal", 14, 2},
      {"NULL", 1, 2}, {"VT_", -1, 0}, {"VT_VT_I4", -1, 0}, {"R8", -1, 0}, {"I4 ", -1, 0},
  };
  for (const auto& c : cases) {
    int32_t category = 99;
    EXPECT_EQ(MyVariantStrToNum(c.name, &category), c.type) << '"' << c.name << '"';
    EXPECT_EQ(category, c.category) << '"' << c.name << '"';
  }
  EXPECT_EQ(MyVariantStrToNum("I4", nullptr), 3);
  EXPECT_EQ(MyVariantStrToNum(nullptr, nullptr), -1);
}

}  // namespace
}  // namespace zel::test
