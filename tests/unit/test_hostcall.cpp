// The host callback as the library calls it: a fake host registered in the
// context records what it receives and answers as each case asks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "builtins/functable.h"
#include "ctxfixture.h"
#include "expr/eval.h"
#include "extender/hostcall.h"
#include "lexer/tokenizer.h"
#include "values/array.h"
#include "values/convert.h"
#include "values/heap.h"
#include "values/variables.h"

namespace zel::test {
namespace {

// What the fake host saw of its last call, and how it answers.
struct FakeHost {
  int calls = 0;
  HWND window = nullptr;
  HINSTANCE instance = nullptr;
  DWORD signature = 0;
  LONG code = 0;
  bool gotAnswer = false;
  ExtenderServiceBlock block{};
  bool instanceDataNull = false;
  bool scratchGiven = false;
  LONG argc = 0;
  ExtenderArg args[kExtArgEntries]{};
  std::string texts[kExtArgEntries];
  // The answer: status and entry handed to ViperAnswer (when `answers`), then
  // the callback's own return value.
  bool answers = false;
  LONG status = 0;
  ExtenderArg entry{};
  LONG returns = 0;
  LONG viperResult = 0;
};

FakeHost g_host;

LONG WINAPI FakeHostEntry(HWND window, HINSTANCE instance, DWORD signature, LONG code,
                          ZelViperAnswer answer, ExtenderServiceBlock* block, DWORD* instanceData,
                          ExtenderArg* args, LONG argc, DWORD_PTR* scratch) {
  FakeHost& h = g_host;
  ++h.calls;
  h.window = window;
  h.instance = instance;
  h.signature = signature;
  h.code = code;
  h.gotAnswer = answer == &ViperAnswer;
  h.block = *block;
  h.instanceDataNull = instanceData == nullptr;
  h.scratchGiven = scratch != nullptr;
  h.argc = argc;
  for (int i = 0; i < kExtArgEntries; ++i) {
    h.args[i] = args[i];
    h.texts[i] = args[i].text && !(args[i].flags & kFlagArray)
                     ? static_cast<const char*>(args[i].text) : "<null>";
  }
  if (h.answers) h.viperResult = answer(h.status, 0, block, &h.entry);
  return h.returns;
}

class HostCallTest : public ContextTest {
 protected:
  void SetUp() override {
    ContextTest::SetUp();
    g_host = FakeHost{};
    ctx->hostCallback = reinterpret_cast<void*>(&FakeHostEntry);
    ctx->hostWindow = reinterpret_cast<HWND>(0x1234);
    ctx->hostInstance = reinterpret_cast<HINSTANCE>(0x5678);
    for (Value& a : args) val::InitValue(&a, 0);
    val::InitValue(&result, 0);
  }
  void TearDown() override {
    for (Value& a : args) expr::ResetValue(ctx, &a, 0);
    expr::ResetValue(ctx, &result, 0);
    ContextTest::TearDown();
  }
  void SetText(Value* v, const char* text) {
    v->str = heap::StoreText(ctx, text, strlen(text));
    v->flags = kFlagString;
  }
  void SetWide(Value* v, const wchar_t* text) {
    v->wstr = heap::StoreWide(ctx, text, wcslen(text));
    v->flags = kFlagUnicode;
  }
  Value args[kExtArgEntries + 1];
  Value result;
};

TEST_F(HostCallTest, FunctionCallArguments) {
  args[1].ival = 42;
  SetText(&args[2], "two");
  args[3].flags = kFlagFloat;
  args[3].fval = 2.5;
  SetWide(&args[4], L"wide");
  EXPECT_EQ(ext::CallHost(ctx, 1007, &result, args, 4), 0);
  EXPECT_EQ(ctx->error, 0);
  ASSERT_EQ(g_host.calls, 1);
  EXPECT_EQ(g_host.code, 7);
  EXPECT_EQ(g_host.signature, 0x30030105u);
  EXPECT_EQ(g_host.window, ctx->hostWindow);
  EXPECT_EQ(g_host.instance, ctx->hostInstance);
  EXPECT_TRUE(g_host.gotAnswer);
  EXPECT_TRUE(g_host.instanceDataNull);
  EXPECT_TRUE(g_host.scratchGiven);
  EXPECT_EQ(g_host.argc, 4);
  EXPECT_EQ(g_host.args[0].flags, kFlagInt);
  EXPECT_EQ(g_host.args[0].ival, 42);
  EXPECT_EQ(g_host.texts[0], "<null>");
  EXPECT_EQ(g_host.args[1].flags, kFlagString);
  EXPECT_EQ(g_host.texts[1], "two");
  EXPECT_EQ(g_host.args[2].flags, kFlagFloat);
  EXPECT_EQ(g_host.args[2].fval, 2.5);
  // A Unicode-only argument reaches the host as ANSI text as well.
  EXPECT_EQ(g_host.args[3].flags, kFlagUnicode | kFlagString);
  EXPECT_EQ(g_host.texts[3], "wide");
  for (int i = 4; i < kExtArgEntries; ++i) {
    EXPECT_EQ(g_host.args[i].flags, 0u) << i;
    EXPECT_EQ(g_host.args[i].ival, 0) << i;
    EXPECT_EQ(g_host.args[i].fval, 0.0) << i;
    EXPECT_EQ(g_host.args[i].text, nullptr) << i;
  }
}

TEST_F(HostCallTest, ServiceBlockIsFreshAndNamesTheCall) {
  ctx->ownerWindow = reinterpret_cast<HWND>(0x9abc);
  ext::CallHost(ctx, 1000, &result, args, 0);
  const ExtenderServiceBlock& b = g_host.block;
  EXPECT_EQ(b.context, ctx);
  EXPECT_EQ(b.result, &result);
  EXPECT_EQ(b.version, 1010u);
  EXPECT_EQ(b.size, sizeof(ExtenderServiceBlock));
  EXPECT_EQ(b.contextHandle, host.context);
  EXPECT_EQ(b.parentWindow, ctx->ownerWindow);
  EXPECT_EQ(b.logonToken, nullptr);
  EXPECT_EQ(b.dllServices, nullptr);
  EXPECT_EQ(g_host.code, 0);
}

TEST_F(HostCallTest, EmptyTextsAndArraysAsAddresses) {
  SetText(&args[1], "");
  ArrayBlock block{};
  args[2].flags = kFlagArray;
  args[2].str = reinterpret_cast<AddrWord>(&block);
  ext::CallHost(ctx, 1001, &result, args, 2);
  EXPECT_EQ(g_host.args[0].flags, kFlagString);
  EXPECT_EQ(g_host.args[0].text, nullptr);
  EXPECT_EQ(g_host.args[1].text, &block);
  args[2].flags = 0;  // the block is the test's, not the heap's
  args[2].str = 0;
}

TEST_F(HostCallTest, WhichCallsReachTheHost) {
  struct Case { bool host; int code; int argc; LONG received; uint16_t error; };
  static const Case cases[] = {
      {true, 1000, 0, 0, 0},      {true, 1001, 0, 1, 0},      {true, 1998, 0, 998, 0},
      {true, -1, 0, -1, 0},       {true, -4, 0, -4, 0},       {true, -5, 0, -5, 0},
      {true, 1000, kExtArgEntries, 0, 0},
      {true, 1000, kExtArgEntries + 1, -99, 3070},  // -99: the host is not called
      {true, 999, 0, -99, 3046},  {true, 1999, 0, -99, 3046}, {true, 10000, 0, -99, 3046},
      {true, 5, 0, -99, 3046},    {false, 1000, 0, -99, 3046},
      {false, -1, 0, -99, 0},     {false, -5, 0, -99, 0},     // no host: events are no-ops
  };
  for (const Case& c : cases) {
    ctx->hostCallback = c.host ? reinterpret_cast<void*>(&FakeHostEntry) : nullptr;
    ctx->error = 0;
    g_host.calls = 0;
    ext::CallHost(ctx, c.code, c.code < 0 ? nullptr : &result, args, c.argc);
    EXPECT_EQ(ctx->error, c.error) << c.code << " " << c.argc;
    EXPECT_EQ(g_host.calls, c.received == -99 ? 0 : 1) << c.code << " " << c.argc;
    if (c.received != -99) {
      EXPECT_EQ(g_host.code, c.received) << c.code;
      EXPECT_EQ(g_host.argc, c.argc) << c.code;
    }
  }
}

TEST_F(HostCallTest, NegativeAnswersBecomeErrors) {
  struct Case { LONG answer; uint16_t error; };
  static const Case cases[] = {
      {-1, 1213}, {-2, 2214}, {-3, 3215}, {-4, 3210}, {-5, 9999},
      {-6, 9012}, {-7, 1643}, {-8, 3210}, {-1000, 3210}, {0, 0}, {1, 0}, {77, 0},
  };
  for (const Case& c : cases) {
    ctx->error = 0;
    ctx->substitutedError = 0;
    g_host.returns = c.answer;
    EXPECT_EQ(ext::CallHost(ctx, 1000, &result, args, 0), c.answer);
    EXPECT_EQ(ctx->error, c.error) << c.answer;
    if (c.answer < 0) {
      EXPECT_EQ(ctx->substitutedError, 999u) << c.answer;
    }
    EXPECT_EQ(ext::ErrorOfAnswer(c.answer), c.error) << c.answer;
  }
}

TEST_F(HostCallTest, ErrorTextNamesTheSubstitutedNumber) {
  struct Case { const char* text; uint32_t substituted; };
  static const Case cases[] = {
      {"123: the host failed", 123},
      {"123:", 123},
      {"123456789: nine digits", 123456789},
      {"55: followed by a failure without text", 55},
      {nullptr, 999},  // no answer: the earlier call's text is forgotten
      {"1234567890: colon past the first ten", 999},
      {"123 no colon", 999},
      {" 123: a blank first", 999},
      {"abc: no number", 999},
      {"", 999},
  };
  for (const Case& c : cases) {
    ctx->error = 0;
    g_host.answers = c.text != nullptr;
    g_host.status = -2;
    g_host.entry = ExtenderArg{};
    g_host.entry.flags = kFlagString;
    g_host.entry.text = const_cast<char*>(c.text);
    g_host.returns = -2;
    ext::CallHost(ctx, 1000, &result, args, 0);
    EXPECT_EQ(ctx->error, 2214) << (c.text ? c.text : "<none>");
    EXPECT_EQ(ctx->substitutedError, c.substituted) << (c.text ? c.text : "<none>");
    EXPECT_STREQ(ctx->extenderErrorText, c.text ? c.text : "");
  }
}

TEST_F(HostCallTest, FiveTextsForTheRunsOwnCalls) {
  const char* texts[5] = {"line", "2", nullptr, "17", "0"};
  ext::CallHostTexts(ctx, -1, nullptr, texts);
  EXPECT_EQ(g_host.code, -1);
  EXPECT_EQ(g_host.argc, 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(g_host.args[i].flags, kFlagString) << i;
  EXPECT_EQ(g_host.texts[0], "line");
  EXPECT_EQ(g_host.texts[1], "2");
  EXPECT_EQ(g_host.texts[2], "<null>");
  EXPECT_EQ(g_host.texts[4], "0");
  EXPECT_EQ(g_host.args[5].flags, 0u);
  EXPECT_EQ(g_host.block.result, nullptr);
}

TEST_F(HostCallTest, VariantArgumentsGainTheirPlainForm) {
  args[1].flags = kFlagVariant;
  args[1].variant.vt = VT_I4;
  args[1].variant.lVal = 9;
  args[2].flags = kFlagVariant;
  args[2].variant.vt = VT_R8;
  args[2].variant.dblVal = 0.5;
  args[3].flags = kFlagVariant;
  args[3].variant.vt = VT_BSTR;
  args[3].variant.bstrVal = SysAllocString(L"bstr");
  ext::CallHost(ctx, 1000, &result, args, 3);
  EXPECT_EQ(ctx->error, 0);
  EXPECT_EQ(g_host.args[0].flags, kFlagVariant | kFlagInt);
  EXPECT_EQ(g_host.args[0].ival, 9);
  EXPECT_EQ(g_host.args[1].flags, kFlagVariant | kFlagFloat);
  EXPECT_EQ(g_host.args[1].fval, 0.5);
  EXPECT_EQ(g_host.args[2].flags, kFlagVariant | kFlagString);
  EXPECT_EQ(g_host.texts[2], "bstr");
  EXPECT_EQ(g_host.args[2].variant.vt, VT_BSTR);
  // A safe array is not converted: the call does not happen.
  g_host.calls = 0;
  expr::ResetValue(ctx, &args[1], 0);
  args[1].flags = kFlagVariant;
  args[1].variant.vt = VT_ARRAY | VT_I4;
  args[1].variant.parray = nullptr;
  ext::CallHost(ctx, 1000, &result, args, 1);
  EXPECT_EQ(ctx->error, 1811);
  EXPECT_EQ(g_host.calls, 0);
  args[1].flags = 0;
  args[1].variant.vt = VT_EMPTY;
}

// ---- host functions reached from script text

class HostFunctionTest : public HostCallTest {
 protected:
  void SetUp() override {
    HostCallTest::SetUp();
    ctx->hostTable = kTable;
  }
  // Evaluates one line; the error it leaves.
  uint16_t Run(const char* line) { return ContextTest::Run(line).error; }
  std::string VarText(const char* name) {
    char buf[kWorkBuf];
    return vars::AsText(ctx, name, buf, sizeof buf) ? buf : "<none>";
  }
  static const FunctionTableEntry kTable[3];
};

const FunctionTableEntry HostFunctionTest::kTable[3] = {
    {1000, KIND_FUNCTION, fn::Types(ARG_STRING, ARG_INT), fn::Args(1, 1), 5, "probe"},
    {1001, KIND_FUNCTION, fn::Types(ARG_FLOAT), fn::Args(1, 0), 5, "other"},
    {0, 0, 0, fn::NoArgs(), 0, ""},
};

TEST_F(HostFunctionTest, ArgumentsConvertedByTheHostsTypeCodes) {
  EXPECT_EQ(Run("x = Probe(6 * 7, \"12\")"), 0);
  ASSERT_EQ(g_host.calls, 1);
  EXPECT_EQ(g_host.code, 0);
  EXPECT_EQ(g_host.argc, 2);
  EXPECT_TRUE(g_host.args[0].flags & kFlagString);
  EXPECT_EQ(g_host.texts[0], "42");
  EXPECT_TRUE(g_host.args[1].flags & kFlagInt);
  EXPECT_EQ(g_host.args[1].ival, 12);
  EXPECT_EQ(Run("y = other(1)"), 0);
  EXPECT_EQ(g_host.code, 1);
  EXPECT_TRUE(g_host.args[0].flags & kFlagFloat);
  EXPECT_EQ(g_host.args[0].fval, 1.0);
}

TEST_F(HostFunctionTest, TheAnswerIsTheCallsValue) {
  struct Case { uint32_t flags; int32_t ival; double fval; const char* text; const char* shown; };
  static const Case cases[] = {
      {kFlagInt, 17, 0, nullptr, "17"},
      {kFlagFloat, 0, 0.25, nullptr, "0.25"},
      {kFlagString, 0, 0, "answered", "answered"},
  };
  for (const Case& c : cases) {
    g_host.answers = true;
    g_host.status = 1;
    g_host.entry = ExtenderArg{};
    g_host.entry.flags = c.flags;
    g_host.entry.ival = c.ival;
    g_host.entry.fval = c.fval;
    g_host.entry.text = const_cast<char*>(c.text);
    g_host.returns = 1;
    EXPECT_EQ(Run("x = probe('a')"), 0) << c.shown;
    EXPECT_EQ(VarText("x"), c.shown);
  }
  // Without an answer the call's value is the integer 0.
  g_host.answers = false;
  EXPECT_EQ(Run("x = probe('a') + 5"), 0);
  EXPECT_EQ(VarText("x"), "5");
}

TEST_F(HostFunctionTest, AFailingHostFailsTheStatement) {
  g_host.returns = -3;
  EXPECT_EQ(Run("x = probe('a')"), 3215);
  g_host.returns = -5;
  EXPECT_EQ(Run("x = probe('a')"), 9999);
  ctx->hostCallback = nullptr;
  EXPECT_EQ(Run("x = probe('a')"), 3046);
}

}  // namespace
}  // namespace zel::test
