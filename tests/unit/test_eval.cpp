// The tokenizer and the evaluator, driven the way the executor drives them:
// point the context at a line, take the first token, evaluate.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "ctxfixture.h"
#include "exprcase.h"
#include "expr/eval.h"
#include "lexer/tokenizer.h"
#include "values/convert.h"
#include "values/heap.h"
#include "values/render.h"
#include "values/variables.h"

namespace zel::test {
namespace {

class EvalTest : public ContextTest {
 public:
  std::string VarText(const char* name) {
    char buf[kWorkBuf];
    return vars::AsText(ctx, name, buf, sizeof buf) ? buf : "<none>";
  }
};

TEST_F(EvalTest, PrecedenceAndAssociativity) {
  static const Case cases[] = {
      {"1 + 2 * 3", 0, "7", 'i'},
      {"(1 + 2) * 3", 0, "9", 'i'},
      {"2 ** 3 ** 2", 0, "64", 'i'},
      {"-2 ** 2", 0, "4", 'i'},
      {"10 - 4 - 3", 0, "3", 'i'},
      {"100 / 10 / 5", 0, "2", 'i'},
      {"1 << 2 + 1", 0, "8", 'i'},
      {"1 + 2 : 3", 0, "33", 's'},
      {"1 < 2 == 1", 0, "1", 'i'},
      {"2 | 4 && 0", 0, "0", 'i'},
      {"6 & 3 || 0", 0, "1", 'i'},
      {"!0 + ~0", 0, "0", 'i'},
      {"- - 5", 0, "5", 'i'},
      {"1 ; a comment", 0, "1", 'i'},
  };
  CheckCases(this, cases, sizeof cases / sizeof *cases);
}

TEST_F(EvalTest, IntegerArithmetic) {
  static const Case cases[] = {
      {"7 mod -2", 0, "1", 'i'},
      {"-7 mod 2", 0, "-1", 'i'},
      {"-7 / 2", 0, "-3", 'i'},
      {"2147483647 + 1", 0, "-2147483648", 'i'},
      {"-2147483648 / -1", 0, "-2147483648", 'i'},
      {"-2147483648 mod -1", 0, "0", 'i'},
      {"-8 >> 1", 0, "-4", 'i'},
      {"1 << 33", 0, "2", 'i'},
      {"5 ^ 3", 0, "6", 'i'},
      {"2 ** 0", 0, "1", 'i'},
      {"3 ** 40", 0, "689956897", 'i'},  // wraps like repeated multiplication
      {"2 ** -1", 1351, "", 'i'},
      {"1 / 0", 3062, "", 'i'},
      {"5 mod 0", 3062, "", 'i'},
      {"\"12\" * 2", 0, "24", 'i'},
      {"\"abc\" + 1", 3057, "", 'i'},
  };
  CheckCases(this, cases, sizeof cases / sizeof *cases);
}

TEST_F(EvalTest, FloatArithmetic) {
  static const Case cases[] = {
      {"1.5 + 1", 0, "2.5", 'f'},
      {"1 / 4.0", 0, "0.25", 'f'},
      {"7.5 mod 2", 0, "1.5", 'f'},
      {"-7.5 mod 2", 0, "-1.5", 'f'},
      {"2.0 ** 0.5", 0, "1.41421356", 'f'},
      {"1.0 / 0", 3062, "", 'f'},
      {"1.0 / -0.0", 3062, "", 'f'},
      {"1e300 * 10", 1342, "", 'f'},
      {"1e-200 * 1e-200", 0, "0.0", 'f'},
      {"1 & 1.5", 3063, "", 'f'},
      {"1.5 << 1", 3063, "", 'f'},
      {"~1.5", 3064, "", 'f'},
      {"-1.5", 0, "-1.5", 'f'},
      {"!0.0", 0, "1", 'i'},
      {"1.5 && 0", 0, "0", 'i'},
      {"\"2.5\" * 2", 0, "5.0", 'f'},
      {"-8.0 ** (1.0/3)", 1341, "", 'f'},
  };
  CheckCases(this, cases, sizeof cases / sizeof *cases);
}

// Each arithmetic operator over the pairings of integer, float, numeric text
// and UTF-16 numeric text: the result's type follows the float rule.
TEST_F(EvalTest, OperatorsOverOperandPairings) {
  ValueCell w{};
  w.wstr = heap::StoreWide(ctx, L"6", 1);
  w.flags = kFlagUnicode;
  vars::Define(ctx, "wsix", &w);
  val::FreeValue(ctx, &w, val::kVarCell);
  struct Pair { const char* left; const char* right; bool isFloat; };
  static const Pair pairs[] = {
      {"6", "4", false},     {"6", "4.0", true},      {"6.0", "4", true},  {"6.0", "4.0", true},
      {"\"6\"", "4", false}, {"6", "\"4.0\"", true}, {"wsix", "4", false}, {"wsix", "4.0", true},
  };
  struct Op { const char* op; double expect; };
  static const Op ops[] = {{"+", 10}, {"-", 2}, {"*", 24}, {"/", 1.5}, {"mod", 2}, {"**", 1296}};
  for (const Pair& p : pairs) {
    for (const Op& o : ops) {
      std::string line = std::string(p.left) + " " + o.op + " " + p.right;
      Outcome r = Run(line.c_str());
      ASSERT_EQ(r.error, 0) << line;
      double expect = (!p.isFloat && o.op[0] == '/') ? 1 : o.expect;  // integer division truncates
      EXPECT_EQ(r.type, p.isFloat ? 'f' : 'i') << line;
      EXPECT_DOUBLE_EQ(atof(r.text.c_str()), expect) << line;
    }
  }
}

TEST_F(EvalTest, Concatenation) {
  static const Case cases[] = {
      {"\"a\" : 1 : 2.5", 0, "a12.5", 's'},
      {"\"\" : \"\"", 0, "", 's'},
      {"1 : 2", 0, "12", 's'},
      {"\"it\"\"s\"", 0, "it\"s", 's'},
      {"`a\"b'c`", 0, "a\"b'c", 's'},
      {"'x' : \"y\"", 0, "xy", 's'},
      {"\"open to the end", 0, "open to the end", 's'},
  };
  CheckCases(this, cases, sizeof cases / sizeof *cases);
}

TEST_F(EvalTest, UnicodeOperandsGiveUnicodeResults) {
  ValueCell w{};
  const wchar_t text[] = L"\u00e9t\u00e9";
  w.wstr = heap::StoreWide(ctx, text, wcslen(text));
  w.flags = kFlagUnicode;
  vars::Define(ctx, "w", &w);
  val::FreeValue(ctx, &w, val::kVarCell);
  Outcome o = Run("w : \"!\"");
  EXPECT_EQ(o.error, 0);
  EXPECT_EQ(o.type, 'u');
  EXPECT_EQ(Run("w == w : \"\"").text, "1");
  EXPECT_EQ(Run("w < \"zzz\"").text, "1");
}

TEST_F(EvalTest, Comparisons) {
  static const Case cases[] = {
      {"1 == 1.0", 0, "1", 'i'},
      {"0.1 + 0.2 == 0.3", 0, "1", 'i'},
      {"0.1 + 0.2 > 0.3", 0, "1", 'i'},  // ordering uses the exact difference
      {"\"abc\" < \"abd\"", 0, "1", 'i'},
      {"\"abc\" == \"ABC\"", 0, "0", 'i'},
      {"\"10\" == 10", 0, "1", 'i'},
      {"\"10\" < \"9\"", 0, "0", 'i'},
      {"\"12345678901\" > \"2\"", 0, "1", 'i'},
      {"\"-12345678901\" < \"-2\"", 0, "1", 'i'},
      {"\"00000000000\" == \"-0\"", 0, "1", 'i'},
      {"\"99999999999\" < 100000000000.0", 0, "1", 'i'},
      {"\"1.5\" == 1.5", 0, "1", 'i'},
      {"\"1.5\" < \"abc\"", 0, "1", 'i'},
      {"\"x\" != 1", 0, "1", 'i'},
      {"2 <> 2", 0, "0", 'i'},
      {"-0.0 == 0.0", 0, "1", 'i'},
      {"3 >= 3", 0, "1", 'i'},
      {"3 <= 2", 0, "0", 'i'},
  };
  CheckCases(this, cases, sizeof cases / sizeof *cases);
}

TEST_F(EvalTest, AssignmentStoresAndFailureLeavesZero) {
  EXPECT_EQ(Run("x = 5").error, 0);
  EXPECT_EQ(VarText("x"), "5");
  EXPECT_EQ(Run("x = x * 2 + 1").text, "11");
  EXPECT_EQ(VarText("x"), "11");
  EXPECT_EQ(Run("x = 1 / 0").error, 3062);
  EXPECT_EQ(VarText("x"), "0") << "a failed assignment leaves the integer 0";
  EXPECT_EQ(Run("s = \"text\"").error, 0);
  EXPECT_EQ(Run("s = 5 )").error, 3074);
  EXPECT_EQ(VarText("s"), "0");
  Run("y = 1");
  EXPECT_EQ(Run("x = y = 3").error, 3069);
  EXPECT_EQ(Run("ifx = 3").error, 0) << "a keyword is a whole word only";
  EXPECT_EQ(VarText("ifx"), "3");
  EXPECT_EQ(Run("x == 3").text, "0") << "a variable followed by == is an expression";
  EXPECT_EQ(Run("x").text, "0");
}

TEST_F(EvalTest, TokenErrors) {
  static const Case cases[] = {
      {".5 + 5.", 0, "5.5", 'f'},
      {".", 3054, "", 'i'},
      {"1.2.3", 3338, "", 'i'},
      {"1e5e2", 3339, "", 'i'},
      {"1e", 3054, "", 'i'},
      {"1e-5 * 1e5", 0, "1.0", 'f'},
      {"1-5", 0, "-4", 'i'},
      {"1 # 2", 3054, "", 'i'},
      {"abcdefghijabcdefghijabcdefghij = 1", 0, "1", 'i'},
      {"abcdefghijabcdefghijabcdefghijk = 1", 3055, "", 'i'},
      {"neverseen + 1", 3052, "", 'i'},
      {")", 3061, "", 'i'},
      {"(1 + 2", 3065, "", 'i'},
  };
  CheckCases(this, cases, sizeof cases / sizeof *cases);
}

TEST_F(EvalTest, AddressOfAndDereference) {
  EXPECT_EQ(Run("a = 3").error, 0);
  EXPECT_EQ(Run("b = a&1").text, "1") << "after a variable, & is the bitwise and";
  Outcome p = Run("p = &fresh");
  EXPECT_EQ(p.error, 0);
  EXPECT_EQ(p.text.compare(0, 9, "#VAR$PTR#"), 0);
  uint16_t slot = vars::Lookup(ctx, "fresh");
  ASSERT_NE(slot, vars::kNoSlot);
  EXPECT_EQ(ctx->vars[slot].v.flags, kFlagInt) << "address-of creates the name as an integer";
  EXPECT_EQ(Run("q = &a").error, 0);
  EXPECT_EQ(Run("*q + 1").text, "4");
  EXPECT_EQ(Run("&(1+2)").error, 3818);
  EXPECT_EQ(Run("*5").error, 3064);
  EXPECT_EQ(Run("a && 1").text, "1") << "a double ampersand is always the logical and";
}

TEST_F(EvalTest, Constants) {
  static const Case cases[] = {
      {"@TRUE + 1", 0, "2", 'i'},
      {"@hidden", 0, "-1", 'i'},
      {"@pi", 0, "3.14159265", 'f'},
      {"@regclasses", 0, "-2147483648", 'i'},
      {"StrLen(@tab)", 0, "1", 'i'},
  };
  CheckCases(this, cases, sizeof cases / sizeof *cases);
  Outcome tab = Run("@tab");
  EXPECT_EQ(tab.text, "\t");
  EXPECT_EQ(Run("@crlf").text, "\r\n");
}

TEST_F(EvalTest, SpecialForms) {
  Run("d = 1");
  Run("e = \"s\"");
  static const Case cases[] = {
      {"IsDefined(d)", 0, "1", 'i'},
      {"IsDefined(nothere)", 0, "0", 'i'},
      {"IsDefined(5)", 0, "-1", 'i'},
      {"VarType(d)", 0, "1", 'i'},
      {"VarType(e)", 0, "2", 'i'},
      {"VarType(nothere)", 0, "0", 'i'},
      {"Drop(d, notthere)", 0, "1", 'i'},
      {"IsDefined(d)", 0, "0", 'i'},
      {"Drop(5)", 3102, "", 'i'},
      {"IsDefined d", 3067, "", 'i'},
      {"IsDefined(e", 3066, "", 'i'},
      {"ObjectTypeGet(e)", 0, "", 's'},
      {"PtrGlobalTest(e)", 0, "0", 'i'},
      {"PtrGlobal(e)", 3821, "", 'i'},
  };
  CheckCases(this, cases, sizeof cases / sizeof *cases);
  Outcome g = Run("g = PtrGlobalDefine(e)");
  EXPECT_EQ(g.error, 0);
  EXPECT_EQ(Run("PtrGlobalTest(e)").text, "1");
  EXPECT_EQ(Run("PtrGlobal(e) == g").text, "1");
  EXPECT_EQ(Run("*PtrGlobal(e)").text, "s");
  Outcome m = Run("?makepointer(newname)");
  EXPECT_EQ(m.error, 0);
  EXPECT_EQ(m.text.substr(m.text.size() - 7), "newname");
  // A persistent variable keeps its first value.
  Outcome p1 = Run("pp = PtrPersistent(counter, 10)");
  ASSERT_EQ(p1.error, 0);
  Outcome p2 = Run("PtrPersistent(counter, 20) == pp");
  EXPECT_EQ(p2.text, "1");
  EXPECT_EQ(Run("*pp").text, "10");
  EXPECT_EQ(Run("PtrPersistent(abcdefghijabcdefghijabcdef, 1)").error, 3821);
}

}  // namespace
}  // namespace zel::test
