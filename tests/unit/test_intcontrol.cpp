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
}

TEST_F(IntControlTest, SecondParametersAndOperations) {
  EXPECT_EQ(Call(35, "-1", "40"), "25");  // the keystroke delay stays, the mouse delay changes
  EXPECT_EQ(ctx->mouseDelay, 40);
  EXPECT_EQ(Call(12, "8"), "0");
  EXPECT_EQ(ctx->breakDisabled, 1u);
  EXPECT_EQ(Call(12, "1"), "8");
  EXPECT_EQ(ctx->breakDisabled, 0u);
  ctx->lastExitCode = 3;
  EXPECT_EQ(Call(64, "0"), "3");
  EXPECT_EQ(Run("intcontrol(77, 99, 0, 0, 0)").error, 1622);
  ctx->udfExecuting = 0;
  EXPECT_EQ(Run("intcontrol(78, 0, 0, 0, 0)").error, 1665);
  ctx->udfExecuting = kMainScript;
  EXPECT_EQ(Run("intcontrol(58, \"2007:02:29:00:00:00\", 0, 0, 0)").error, 1575);
  EXPECT_EQ(Run("intcontrol(30, \"C:\\no such file.tmp\", \"C:\\x.tmp\", 0, 0)").error, 1426);
  EXPECT_EQ(Run("intcontrol(30, \"C:\\windows\\win.ini\", \"\", 0, 0)").error, 1427);
  EXPECT_EQ(Run("intcontrol(30, \"C:\\windows\\win.ini\", \"Z:\\x.ini\", 0, 0)").error, 1428);
}

// A host with its own intcontrol function, second in its table: it notes
// what it received (code, count, request, p1) and answers a text.
std::string g_offerSeen;
char g_answer[] = "from host";

LONG WINAPI OfferHost(HWND, HINSTANCE, DWORD, LONG code, ZelViperAnswer answer,
                      ExtenderServiceBlock* block, DWORD*, ExtenderArg* args, LONG argc, DWORD_PTR*) {
  g_offerSeen += std::to_string(code) + " " + std::to_string(argc) + " " +
                 std::to_string(args[0].ival) + " " + static_cast<const char*>(args[1].text) + ";";
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
  g_offerSeen.clear();
  ctx->hostTable = kOfferTable;
  ctx->hostCallback = reinterpret_cast<void*>(&OfferHost);
  EXPECT_EQ(Text("intcontrol(80, \"abc\", 0, 0, 0)"), "from host");
  EXPECT_EQ(Text("intcontrol(41, 1, 0, 0, 0)"), "1");  // known requests stay here
  EXPECT_EQ(g_offerSeen, "1 5 80 abc;");
  ctx->hostTable = nullptr;
  ctx->hostCallback = nullptr;
}

}  // namespace
}  // namespace zel::test
