// ViperAnswer found by name in the real zel.dll and called as a host's or an
// extender's callback calls it: a service block naming a started context and
// a result Value, and one answer entry.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "extender/hostcall.h"
#include "host/context.h"
#include "testhost.h"

namespace zel::test {
namespace {

class ViperAnswerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HMODULE dll = LoadLibraryA("zel.dll");
    ASSERT_NE(dll, nullptr);
    init = reinterpret_cast<ZelDoDaDllInit>(GetProcAddress(dll, "DoDaDllInit"));
    answer = reinterpret_cast<ZelViperAnswer>(GetProcAddress(dll, "ViperAnswer"));
    ASSERT_NE(init, nullptr);
    ASSERT_NE(answer, nullptr);
    ASSERT_TRUE(MakeBlocks(&host, 50, 64 * 1024, 16 * 1024 * 1024));
    ASSERT_TRUE(StartContext(init, &host));
    ctx = static_cast<ScriptContext*>(GlobalLock(host.context));
    ASSERT_NE(ctx, nullptr);
    ResetResult();
    block = ExtenderServiceBlock{};
    block.context = ctx;
    block.result = &result;
  }
  void TearDown() override {
    if (ctx) GlobalUnlock(host.context);
    init(nullptr, host.context, 0, kZelOpEndContext, 0, nullptr, nullptr);
    FreeBlocks(&host);
  }
  // The result as the dispatch prepares it: the integer 0, owned by a variable
  // so that the owner fields show whether a store cleared them.
  void ResetResult() {
    result = Value{};
    result.flags = kFlagInt;
    result.owner_cell = 1;
    result.owner_var = 3;
    result.owner_frame = 0;
  }
  bool OwnerCleared() const {
    return result.owner_cell == 0 && result.owner_var == 65535 && result.owner_frame == 65535;
  }
  std::string HeapText(uint32_t off) const { return off ? host.heap + off : "<none>"; }
  std::wstring HeapWide(uint32_t off) const {
    return off ? reinterpret_cast<const wchar_t*>(host.heap + off) : L"<none>";
  }

  HostBlocks host;
  ZelDoDaDllInit init = nullptr;
  ZelViperAnswer answer = nullptr;
  ScriptContext* ctx = nullptr;
  Value result;
  ExtenderServiceBlock block;
};

TEST_F(ViperAnswerTest, IntegerKeepsTheCellsIntegerType) {
  ExtenderArg a{};
  a.flags = kFlagInt;
  a.ival = -77;
  EXPECT_EQ(answer(5, 0, &block, &a), 5);
  EXPECT_EQ(result.flags, kFlagInt);
  EXPECT_EQ(result.ival, -77);
  EXPECT_TRUE(OwnerCleared());
  // A cell the dispatch marked keeps its marks.
  ResetResult();
  result.flags = kFlagInt | kFlagFile;
  EXPECT_EQ(answer(0, 0, &block, &a), 0);
  EXPECT_EQ(result.flags, kFlagInt | kFlagFile);
}

TEST_F(ViperAnswerTest, FlagsAreTestedInTheirOrder) {
  static const wchar_t kWide[] = L"wide text";
  static char kAnsi[] = "ansi text";
  struct Case {
    uint32_t flags;
    void* text;
    uint32_t stored;  // the result's flags afterwards
  };
  const Case cases[] = {
      {kFlagInt | kFlagFloat, nullptr, kFlagFloat},            // float before integer
      {kFlagFloat | kFlagUnicode, const_cast<wchar_t*>(kWide), kFlagUnicode},
      {kFlagUnicode | kFlagString, const_cast<wchar_t*>(kWide), kFlagUnicode},
      {kFlagString, kAnsi, kFlagString},
      {kFlagString | kAnswerWideAt24, kAnsi, kFlagString},    // ANSI before offset 24
  };
  for (const Case& c : cases) {
    ResetResult();
    ExtenderArg a{};
    a.flags = c.flags;
    a.fval = 1.25;
    a.ival = 9;
    a.text = c.text;
    EXPECT_EQ(answer(1, 0, &block, &a), 1) << c.flags;
    EXPECT_EQ(result.flags, c.stored) << c.flags;
    EXPECT_TRUE(OwnerCleared()) << c.flags;
    if (c.stored == kFlagFloat) {
      EXPECT_EQ(result.fval, 1.25);
    } else if (c.stored == kFlagUnicode) {
      EXPECT_EQ(HeapWide(result.wstr), kWide);
    } else {
      EXPECT_EQ(HeapText(static_cast<uint32_t>(result.str)), kAnsi);
      EXPECT_NE(host.heap + result.str, kAnsi);  // copied into the heap, not kept by address
    }
  }
}

TEST_F(ViperAnswerTest, WideTextAddressedAtOffset24) {
  static const wchar_t kWide[] = L"at twenty-four";
  ExtenderArg a{};
  a.flags = kAnswerWideAt24;
  const wchar_t* p = kWide;
  memcpy(reinterpret_cast<char*>(&a) + 24, &p, sizeof p);
  EXPECT_EQ(answer(2, 0, &block, &a), 2);
  EXPECT_EQ(result.flags, kFlagUnicode);
  EXPECT_EQ(HeapWide(result.wstr), kWide);
}

TEST_F(ViperAnswerTest, ArrayAndVariantResults) {
  ExtenderArg a{};
  alignas(8) char fakeBlock[64] = {};
  a.flags = kFlagArray;
  a.text = fakeBlock;
  EXPECT_EQ(answer(1, 0, &block, &a), 1);
  EXPECT_EQ(result.flags, kFlagArray);
  EXPECT_EQ(reinterpret_cast<char*>(result.str), fakeBlock);
  ResetResult();
  a = ExtenderArg{};
  a.flags = kFlagArray;  // an array without its block
  EXPECT_EQ(answer(1, 0, &block, &a), -4);
  EXPECT_EQ(result.flags, kFlagInt);
  a = ExtenderArg{};
  a.flags = kFlagVariant;
  a.variant.vt = VT_BSTR;
  a.variant.bstrVal = SysAllocString(L"variant");
  EXPECT_EQ(answer(1, 0, &block, &a), 1);
  EXPECT_EQ(result.flags, kFlagVariant);
  EXPECT_EQ(result.variant.vt, VT_BSTR);
  EXPECT_NE(result.variant.bstrVal, a.variant.bstrVal);  // a copy of its own
  EXPECT_STREQ(result.variant.bstrVal, L"variant");
  VariantClear(&result.variant);
  VariantClear(&a.variant);
}

TEST_F(ViperAnswerTest, AnswersThatCannotBeStored) {
  ctx->error = 1234;  // answering never raises a script error: the status reports it
  ExtenderArg a{};
  struct Case { uint32_t flags; bool withResult; };
  static const Case cases[] = {
      {kFlagVariant | kFlagComObj, true},  // refused before anything else
      {0, true},                           // no form at all
      {kFlagBinBuf, true},                 // nor a form that is not an answer
      {kFlagInt, false},                   // no call in progress
      {kFlagString, false},
  };
  for (const Case& c : cases) {
    ResetResult();
    a.flags = c.flags;
    block.result = c.withResult ? &result : nullptr;
    EXPECT_EQ(answer(1, 0, &block, &a), -4) << c.flags;
    EXPECT_EQ(result.flags, kFlagInt) << c.flags;
  }
  block.result = &result;
  EXPECT_EQ(answer(1, 0, nullptr, &a), -4);
  EXPECT_EQ(answer(1, 0, &block, nullptr), -4);
  ExtenderServiceBlock noContext{};
  a.flags = kFlagInt;
  EXPECT_EQ(answer(1, 0, &noContext, &a), -4);
  EXPECT_EQ(ctx->error, 1234);
}

TEST_F(ViperAnswerTest, FailureTextBecomesTheErrorTexts) {
  std::string longText(3000, 'x');
  longText.replace(0, 4, "321:");
  ExtenderArg a{};
  a.flags = kFlagString;
  a.text = const_cast<char*>(longText.c_str());
  EXPECT_EQ(answer(-2, 0, &block, &a), -2);
  EXPECT_EQ(result.flags, kFlagInt);  // nothing stored
  EXPECT_EQ(strlen(ctx->extenderErrorText), static_cast<size_t>(kWorkBuf - 1));
  EXPECT_EQ(std::string(ctx->extenderErrorText), longText.substr(0, kWorkBuf - 1));
  EXPECT_EQ(strlen(ctx->customErrorText), static_cast<size_t>(kCustomErrorText - 1));
  EXPECT_EQ(std::string(ctx->customErrorText), longText.substr(0, kCustomErrorText - 1));
}

TEST_F(ViperAnswerTest, FailureWithAValueFormStoresNothing) {
  static const uint32_t kForms[] = {kFlagInt, kFlagFloat, kFlagUnicode, kFlagArray, kFlagVariant};
  for (uint32_t f : kForms) {
    ResetResult();
    ExtenderArg a{};
    a.flags = f;
    a.ival = 5;
    a.text = const_cast<char*>("ignored");
    EXPECT_EQ(answer(-1, 0, &block, &a), -1) << f;
    EXPECT_EQ(result.flags, kFlagInt) << f;
    EXPECT_EQ(result.ival, 0) << f;
    EXPECT_STREQ(ctx->extenderErrorText, "Extender Error: Undefined error occurred") << f;
    EXPECT_STREQ(ctx->customErrorText, "Extender Error: Undefined error occurred") << f;
  }
  // A failure with no text at all says the same.
  ExtenderArg none{};
  strcpy(ctx->extenderErrorText, "stale");
  EXPECT_EQ(answer(-3, 0, &block, &none), -3);
  EXPECT_STREQ(ctx->extenderErrorText, "Extender Error: Undefined error occurred");
}

TEST_F(ViperAnswerTest, ASecondAnswerReleasesTheFirst) {
  std::string text(100, 't');
  ExtenderArg s{};
  s.flags = kFlagString;
  s.text = const_cast<char*>(text.c_str());
  ExtenderArg i{};
  i.flags = kFlagInt;
  i.ival = 3;
  uint32_t committed = ctx->heapCommitted;
  // 5,000 texts left behind would need far more than the committed heap.
  for (int n = 0; n < 5000; ++n) {
    ASSERT_EQ(answer(1, 0, &block, &s), 1);
    ASSERT_EQ(answer(1, 0, &block, &i), 1);
  }
  EXPECT_EQ(result.flags, kFlagInt);
  EXPECT_EQ(result.ival, 3);
  EXPECT_EQ(ctx->heapCommitted, committed);
}

}  // namespace
}  // namespace zel::test
