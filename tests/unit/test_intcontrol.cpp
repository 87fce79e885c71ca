// IntControl's switches for the other families (previous value returned, only
// values in range stored), its operations, and the offer of unknown requests
// to the host's own intcontrol function.
#include <gtest/gtest.h>

#include <string>

#include "builtins/functable.h"
#include "ctxfixture.h"
#include "extender/hostcall.h"

namespace zel::test {
namespace {

class IntControlTest : public ContextTest {
 protected:
  std::string Text(const std::string& line) {
    Outcome o = Run(line.c_str());
    EXPECT_EQ(o.error, 0) << line;
    return o.text;
  }
  std::string Call(int request, const std::string& p1, const std::string& p2 = "0") {
    return Text("intcontrol(" + std::to_string(request) + ", " + p1 + ", " + p2 + ", 0, 0)");
  }
};

TEST_F(IntControlTest, SwitchesReturnThePreviousValueAndKeepTheirRange) {
  struct Case {
    int request;
    int32_t ScriptContext::*field;
    int32_t defaultValue, inRange, outOfRange;
  } cases[] = {
      {28, &ScriptContext::promptFont, 0, 1, 3},
      {35, &ScriptContext::keyDelay, 25, 0, -1},
      {41, &ScriptContext::yearFourDigits, 1, 0, 2},
      {43, &ScriptContext::keyWaitIdle, 1, 0, 2},
      {45, &ScriptContext::keyConsole, 1, 0, 2},
      {46, &ScriptContext::windowWaitCount, 9, 0, -1},
      {50, &ScriptContext::supportButton, 0, 1, 2},
      {61, &ScriptContext::foregroundMode, 5, -1, 6},
      {62, &ScriptContext::promptForeground, 4, 5, -2},
      {70, &ScriptContext::windowActionDelay, 100, 0, -1},
      {74, &ScriptContext::inputIdleWait, 10000, 0, -1},
      {88, &ScriptContext::batchedInput, 0, 1, 2},
      {91, &ScriptContext::listNameCheck, 0, 2, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.request);
    EXPECT_EQ(Call(c.request, std::to_string(c.inRange), "-1"), std::to_string(c.defaultValue));
    EXPECT_EQ(ctx->*c.field, c.inRange);
    EXPECT_EQ(Call(c.request, std::to_string(c.outOfRange), "-1"), std::to_string(c.inRange));
    EXPECT_EQ(ctx->*c.field, c.inRange);
    EXPECT_EQ(Call(c.request, std::to_string(c.defaultValue), "-1"), std::to_string(c.inRange));
    EXPECT_EQ(ctx->*c.field, c.defaultValue);
  }
  EXPECT_EQ(Run("intcontrol(41, 1, 0, 0, 0)").type, 's');
}

TEST_F(IntControlTest, SecondParametersAndBreakBit) {
  EXPECT_EQ(Call(35, "-1", "40"), "25");  // the keystroke delay stays, the mouse delay changes
  EXPECT_EQ(ctx->keyDelay, 25);
  EXPECT_EQ(ctx->mouseDelay, 40);
  EXPECT_EQ(Call(70, "-1", "0"), "100");
  EXPECT_EQ(ctx->waitDoneDelay, 0);
  EXPECT_EQ(Call(12, "8"), "0");
  EXPECT_EQ(ctx->breakDisabled, 1u);
  EXPECT_EQ(Call(12, "-1"), "8");
  EXPECT_EQ(ctx->breakDisabled, 1u);
  EXPECT_EQ(Call(12, "1"), "8");
  EXPECT_EQ(ctx->breakDisabled, 0u);
}

TEST_F(IntControlTest, OperationsAndTheirErrors) {
  EXPECT_EQ(Text("intcontrol(63, 100, 200, 900, 800)"), "1");
  EXPECT_EQ(ctx->promptRectSet, 1u);
  EXPECT_EQ(ctx->promptRect[2], 900);
  EXPECT_EQ(Text("intcontrol(64, 0, 0, 0, 0)"), "99999");
  ctx->lastExitCode = 3;
  EXPECT_EQ(Text("intcontrol(64, 0, 0, 0, 0)"), "3");
  ctx->udfCount = 0;
  EXPECT_EQ(Text("intcontrol(77, 2, 0, 0, 0)"), "0");
  EXPECT_EQ(Run("intcontrol(77, 99, 0, 0, 0)").error, 1622);
  ctx->udfExecuting = 0;
  EXPECT_EQ(Run("intcontrol(78, 0, 0, 0, 0)").error, 1665);
  ctx->udfExecuting = kMainScript;
  EXPECT_EQ(Text("intcontrol(78, 0, 0, 0, 0)"), "1");
  EXPECT_EQ(Run("intcontrol(83, 0, 0, 0, 0)").error, 1748);
  EXPECT_EQ(Run("intcontrol(58, \"2007:02:29:00:00:00\", 0, 0, 0)").error, 1575);
  EXPECT_EQ(Run("intcontrol(30, \"C:\\no such file.tmp\", \"C:\\x.tmp\", 0, 0)").error, 1426);
  EXPECT_EQ(Run("intcontrol(30, \"C:\\windows\\win.ini\", \"\", 0, 0)").error, 1427);
  EXPECT_EQ(Run("intcontrol(30, \"C:\\windows\\win.ini\", \"Z:\\x.ini\", 0, 0)").error, 1428);
}

// A host with its own intcontrol function, second in its table.
struct OfferSeen {
  int calls = 0;
  LONG code = -1;
  LONG argc = 0;
  int32_t request = 0;
  std::string p1;
};
OfferSeen g_offer;
char g_answer[] = "from host";

LONG WINAPI OfferHost(HWND, HINSTANCE, DWORD, LONG code, ZelViperAnswer answer,
                      ExtenderServiceBlock* block, DWORD*, ExtenderArg* args, LONG argc, DWORD_PTR*) {
  ++g_offer.calls;
  g_offer.code = code;
  g_offer.argc = argc;
  g_offer.request = args[0].ival;
  g_offer.p1 = args[1].text ? static_cast<const char*>(args[1].text) : "";
  ExtenderArg a{};
  a.flags = kFlagString;
  a.text = g_answer;
  return answer(1, 0, block, &a);
}

const FunctionTableEntry kOfferTable[] = {
    {kHostIdBase, KIND_FUNCTION, fn::Types(ARG_STRING), fn::Args(1, 0), 4, "echo"},
    {kHostIdBase + 1, KIND_FUNCTION, fn::Types(ARG_INT, ARG_STRING), fn::Args(2, 0), 10, "intcontrol"},
    {0, 0, 0, fn::NoArgs(), 0, ""},
};

TEST_F(IntControlTest, UnknownRequestsGoToTheHostsIntControl) {
  EXPECT_EQ(Run("intcontrol(80, 0, 0, 0, 0)").error, 3171);  // no host table
  g_offer = OfferSeen{};
  ctx->hostTable = kOfferTable;
  ctx->hostCallback = reinterpret_cast<void*>(&OfferHost);
  EXPECT_EQ(Text("intcontrol(80, \"abc\", 0, 0, 0)"), "from host");
  EXPECT_EQ(g_offer.calls, 1);
  EXPECT_EQ(g_offer.code, 1);
  EXPECT_EQ(g_offer.argc, 5);
  EXPECT_EQ(g_offer.request, 80);
  EXPECT_EQ(g_offer.p1, "abc");
  EXPECT_EQ(Text("intcontrol(41, 1, 0, 0, 0)"), "1");  // known requests stay here
  EXPECT_EQ(g_offer.calls, 1);
  ctx->hostTable = nullptr;
  ctx->hostCallback = nullptr;
}

}  // namespace
}  // namespace zel::test
