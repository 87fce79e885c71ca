// Conversions of a Value cell between integer, float, ANSI text, UTF-16 text
// and VARIANT; failures leave the cell as it was, and no heap block is lost.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <string>

#include "ctxfixture.h"
#include "values/convert.h"
#include "values/heap.h"
#include "values/matherr.h"

#include <oleauto.h>  // after windows.h

namespace zel::test {
namespace {

class ConvertTest : public ContextTest {
 protected:
  void SetUp() override {
    ContextTest::SetUp();
    ctx->codePage = 1252;  // fixed, so the non-ASCII cases do not depend on the machine
    baseline = UsedBytes();
  }
  void TearDown() override {
    EXPECT_EQ(UsedBytes(), baseline) << "heap blocks left behind";
    ContextTest::TearDown();
  }
  uint32_t UsedBytes() {
    heap::Stats st{};
    char why[128] = "";
    EXPECT_TRUE(heap::Check(ctx, &st, why, sizeof why)) << why;
    return st.usedBytes;
  }
  ValueCell Cell(uint32_t flags) {
    ValueCell c;
    val::InitCell(&c, 0);
    c.flags = flags;
    return c;
  }
  ValueCell Float(double x) { ValueCell c = Cell(kFlagFloat); c.fval = x; return c; }
  ValueCell Text(const char* t) {
    ValueCell c = Cell(kFlagString);
    c.str = heap::StoreText(ctx, t, strlen(t));
    return c;
  }
  ValueCell Wide(const wchar_t* w) {
    ValueCell c = Cell(kFlagUnicode);
    c.wstr = heap::StoreWide(ctx, w, wcslen(w));
    return c;
  }
  std::string TextOf(const ValueCell& c) { return heap::At(ctx, static_cast<uint32_t>(c.str)); }
  std::wstring WideOf(const ValueCell& c) { return heap::WideAt(ctx, c.wstr); }
  void Free(ValueCell* c) { val::FreeValue(ctx, c, val::kVarCell); }

  uint32_t baseline = 0;
};

TEST_F(ConvertTest, FloatToIntegerChecksTheRangeBeforeRounding) {
  struct { double x; bool allowed, ok; int32_t n; } cases[] = {
      {2147483645.0, true, true, 2147483645}, {2147483645.4, true, false, 0},
      {-2147483645.0, true, true, -2147483645}, {-2147483645.4, true, false, 0},
      {2147483644.6, true, true, 2147483645}, {-2.5, true, true, -3}, {2.5, true, true, 3},
      {-0.4, true, true, 0}, {NAN, true, false, 0}, {INFINITY, true, false, 0}, {1.5, false, false, 0},
  };
  for (const auto& c : cases) {
    ValueCell v = Float(c.x);
    EXPECT_EQ(val::ToInteger(ctx, &v, c.allowed), c.ok) << c.x << (c.allowed ? "" : " (no floats)");
    EXPECT_EQ(v.flags, static_cast<uint32_t>(c.ok ? kFlagInt : kFlagFloat)) << c.x;
    EXPECT_EQ(v.ival, c.n) << c.x;
    EXPECT_TRUE(c.ok || v.fval == c.x || std::isnan(c.x)) << c.x;  // a failure keeps the float
  }
  ValueCell v = Float(2.5);  // its texts showed the float: they go with it
  ASSERT_TRUE(val::ToText(ctx, &v) && val::ToUnicode(ctx, &v));
  ASSERT_TRUE(val::ToInteger(ctx, &v, true));
  EXPECT_EQ(v.flags, static_cast<uint32_t>(kFlagInt));
  EXPECT_EQ(ctx->error, 0);
}

TEST_F(ConvertTest, TextToNumbers) {
  struct { const char* text; bool intOk; int32_t n; bool floatOk; double x; } cases[] = {
      {" 42", true, 42, true, 42.0}, {"42 ", false, 0, false, 0}, {"+-4", true, 0, false, 0},
      {"4e2", false, 0, true, 400.0}, {"1d3", false, 0, false, 0}, {"", false, 0, false, 0},
      {"   ", false, 0, false, 0}, {"+ 4", false, 0, false, 0}, {"4-", false, 0, false, 0},
      {"\t4", false, 0, true, 4.0}, {"2147483648", true, INT_MIN, true, 2147483648.0},
      {"1e400", false, 0, false, 0},
  };
  for (const auto& c : cases) {
    ValueCell v = Text(c.text);
    uint32_t str = static_cast<uint32_t>(v.str);
    EXPECT_EQ(val::ToInteger(ctx, &v, false), c.intOk) << '"' << c.text << '"';
    EXPECT_EQ(v.ival, c.n) << '"' << c.text << '"';
    v.flags &= ~kFlagInt;
    EXPECT_EQ(val::ToFloat(ctx, &v), c.floatOk) << '"' << c.text << '"';
    EXPECT_EQ(v.flags, c.floatOk ? kFlagString | kFlagFloat : kFlagString) << '"' << c.text << '"';
    EXPECT_EQ(v.fval, c.floatOk ? c.x : 0.0) << '"' << c.text << '"';
    EXPECT_EQ(v.str, str) << '"' << c.text << '"';  // the text stays in its block
    EXPECT_EQ(ctx->error, 0) << '"' << c.text << '"';  // even after the overflow: the caller chooses
    Free(&v);
  }
}

TEST_F(ConvertTest, NumbersToTextAndUnicode) {
  ValueCell minInt = Cell(kFlagInt);
  minInt.ival = INT_MIN;
  struct { ValueCell v; const char* text; } cases[] = {
      {minInt, "-2147483648"}, {Float(1.5), "1.5"}, {Float(-0.0), "0.0"},
      {Float(0.00005), "5.00000000e-005"}, {Float(1e10), "1.00000000e+010"},
  };
  for (auto& c : cases) {
    ValueCell a = c.v, w = c.v;
    ASSERT_TRUE(val::ToText(ctx, &a) && val::ToUnicode(ctx, &w)) << c.text;
    EXPECT_EQ(TextOf(a), c.text);
    EXPECT_EQ(WideOf(w), std::wstring(c.text, c.text + strlen(c.text)));
    EXPECT_EQ(a.flags | w.flags, c.v.flags | kFlagString | kFlagUnicode) << c.text;
    Free(&a);
    Free(&w);
  }
  ValueCell nan = Float(NAN);
  EXPECT_FALSE(val::ToText(ctx, &nan) || val::ToUnicode(ctx, &nan));
  EXPECT_EQ(ctx->error, 1599);
  EXPECT_EQ(nan.flags, static_cast<uint32_t>(kFlagFloat));
}

TEST_F(ConvertTest, NonAsciiRoundTripsThroughTheCodePage) {
  struct { uint32_t codePage; const char* ansi; const wchar_t* wide; } cases[] = {
      {1252, "caf\xe9 \x80", L"caf\u00e9 \u20ac"}, {932, "a\x82\xa0z", L"a\u3042z"}, {1252, "", L""},
  };
  for (const auto& c : cases) {
    ctx->codePage = c.codePage;
    ValueCell a = Text(c.ansi);
    ASSERT_TRUE(val::ToUnicode(ctx, &a)) << c.codePage << " " << c.ansi;
    EXPECT_EQ(WideOf(a), c.wide) << c.codePage << " " << c.ansi;
    ValueCell w = Wide(c.wide);
    ASSERT_TRUE(val::ToText(ctx, &w)) << c.codePage << " " << c.ansi;
    EXPECT_EQ(TextOf(w), c.ansi) << c.codePage;
    Free(&a);
    Free(&w);
  }
  ValueCell w = Wide(L" 42");  // UTF-16 alone becomes text before it is read
  ASSERT_TRUE(val::ToInteger(ctx, &w, false));
  EXPECT_EQ(w.flags, kFlagUnicode | kFlagString | kFlagInt);
  Free(&w);
}

TEST_F(ConvertTest, VariantsConvertThroughTheBridge) {
  struct { const wchar_t* bstr; VARTYPE vt; double x; bool intOk; int32_t n; bool floatOk;
           const char* text; } cases[] = {
      {nullptr, VT_I4, 7, true, 7, true, "7"},
      {nullptr, VT_R8, 2.75, false, 0, true, nullptr},  // a float kind, floats not allowed
      {nullptr, VT_NULL, 0, false, 0, false, ""},
      {L" 42", VT_BSTR, 0, true, 42, true, " 42"},
      {L"4e2", VT_BSTR, 0, false, 0, true, "4e2"},
      {L"caf\u00e9", VT_BSTR, 0, false, 0, false, "caf\xe9"},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const auto& c = cases[i];
    ValueCell v = Cell(kFlagVariant);
    V_VT(&v.variant) = c.vt;
    if (c.vt == VT_I4) V_I4(&v.variant) = static_cast<int32_t>(c.x);
    if (c.vt == VT_R8) V_R8(&v.variant) = c.x;
    if (c.bstr) V_BSTR(&v.variant) = SysAllocString(c.bstr);
    EXPECT_EQ(val::ToInteger(ctx, &v, false), c.intOk) << "case " << i;
    EXPECT_EQ(v.ival, c.n) << "case " << i;
    EXPECT_EQ(val::ToFloat(ctx, &v), c.floatOk) << "case " << i;
    if (c.text) {
      ASSERT_TRUE(val::ToText(ctx, &v)) << "case " << i;
      EXPECT_EQ(TextOf(v), c.text) << "case " << i;
    }
    ASSERT_TRUE(val::ToUnicode(ctx, &v)) << "case " << i;
    if (c.bstr) {
      EXPECT_EQ(WideOf(v), c.bstr) << "case " << i;
    }
    EXPECT_EQ(ctx->error, 0) << "case " << i;
    Free(&v);
    EXPECT_EQ(v.flags & ~(kFlagInt | kFlagFloat), 0u) << "case " << i;  // the VARIANT is released too
  }
  ValueCell huge = Cell(kFlagVariant);
  V_VT(&huge.variant) = VT_R8;
  V_R8(&huge.variant) = 1e20;
  EXPECT_FALSE(val::ToInteger(ctx, &huge, true));  // the bridge finds it too large
  EXPECT_EQ(ctx->error, 0);
}

TEST_F(ConvertTest, PendingMathErrorFailsTheIntegerConversion) {
  matherr::Clear();
  volatile double two = 2.0;
  ValueCell v = Float(acos(two));  // out of the domain: recorded, and the result is 1.0
  EXPECT_FALSE(val::ToInteger(ctx, &v, true));
  EXPECT_EQ(ctx->error, 1341);
  EXPECT_EQ(v.flags, static_cast<uint32_t>(kFlagFloat));
  EXPECT_TRUE(val::ToInteger(ctx, &v, true));  // taken once, then gone
  EXPECT_EQ(v.ival, 1);
}

TEST_F(ConvertTest, CopyDuplicatesOrSharesTextsAndVariants) {
  ValueCell src = Text("abc");
  ASSERT_TRUE(val::ToUnicode(ctx, &src));
  ValueCell dup, shared;
  ASSERT_TRUE(val::CopyValue(ctx, &src, &dup, true, false));
  ASSERT_TRUE(val::CopyValue(ctx, &src, &shared, false, false));
  EXPECT_TRUE(shared.str == src.str && shared.wstr == src.wstr);
  EXPECT_TRUE(dup.str != src.str && dup.wstr != src.wstr && dup.flags == src.flags);
  Free(&src);  // the duplicate keeps its own blocks
  EXPECT_EQ(TextOf(dup), "abc");
  EXPECT_EQ(WideOf(dup), L"abc");
  Free(&dup);
  ValueCell var = Cell(kFlagVariant);
  V_VT(&var.variant) = VT_BSTR;
  V_BSTR(&var.variant) = SysAllocString(L"xyz");
  ValueCell counted, plain;
  ASSERT_TRUE(val::CopyValue(ctx, &var, &counted, true, true));
  ASSERT_TRUE(val::CopyValue(ctx, &var, &plain, true, false));
  EXPECT_EQ(V_BSTR(&plain.variant), V_BSTR(&var.variant));
  EXPECT_NE(V_BSTR(&counted.variant), V_BSTR(&var.variant));
  Free(&var);
  EXPECT_EQ(std::wstring(V_BSTR(&counted.variant)), L"xyz");
  Free(&counted);
}

}  // namespace
}  // namespace zel::test
