// The script's handlers of cancels and errors, run through the run loop with
// a host whose functions raise a cancel and, inside a handler function, read
// and change the error array the way an extender sees it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "builtins/functable.h"
#include "ctxfixture.h"
#include "exec/exec.h"
#include "extender/hostcall.h"
#include "script/script.h"
#include "values/array.h"
#include "values/heap.h"
#include "values/variables.h"

namespace zel::test {
namespace {

enum : LONG { kPoke = 0, kCancelCall = 1 };

const FunctionTableEntry kHandlerHost[] = {
    {kHostIdBase + kPoke, KIND_FUNCTION, fn::Types(ARG_ARRAY), fn::Args(1, 0), 6, "poke11"},
    {kHostIdBase + kCancelCall, KIND_FUNCTION, 0, fn::NoArgs(), 6, "cancel"},
    {0, 0, 0, fn::NoArgs(), 0, ""},
};

ScriptContext* g_ctx = nullptr;
std::vector<std::string> g_elements;  // the array poke11 was given, as text

// poke11(array): records the elements and stores 5 in element 11;
// cancel(): answers as a cancelled prompt.
LONG WINAPI HandlerHost(HWND, HINSTANCE, DWORD, LONG code, ZelViperAnswer, ExtenderServiceBlock*,
                        DWORD*, ExtenderArg* args, LONG argc, DWORD_PTR*) {
  if (code == kCancelCall) return -5;
  if (code != kPoke || argc < 1 || !(args[0].flags & kFlagArray)) return -3;
  auto* b = static_cast<ArrayBlock*>(args[0].text);
  ElementCell* e = arr::Elements(b);
  g_elements.clear();
  for (uint32_t i = 0; i < b->count; ++i) {
    const ValueCell& v = e[i].v;
    g_elements.push_back((v.flags & kFlagString) ? heap::At(g_ctx, static_cast<uint32_t>(v.str))
                         : (v.flags & kFlagInt)  ? std::to_string(v.ival)
                                                 : "?");
  }
  e[11].v.ival = 5;
  return 0;
}

class HandlerTest : public ContextTest {
 protected:
  void SetUp() override {
    ContextTest::SetUp();
    g_ctx = ctx;
    g_elements.clear();
    ctx->silentMode = 1;  // reports go to no log: nothing waits for a click
    ctx->logFile[0] = 0;
    strcpy(ctx->scriptPath, "C:\\scripts\\main.zlt");
    ctx->hostTable = kHandlerHost;
    ctx->hostCallback = reinterpret_cast<void*>(&HandlerHost);
  }

  uint16_t RunText(const std::string& text) { return RunScript(text); }

  std::string Var(const char* name) {
    char buf[256];
    return vars::AsText(ctx, name, buf, sizeof buf) ? buf : "<none>";
  }
};

TEST_F(HandlerTest, FunctionGivesTheFailedAssignmentItsValueAndStaysArmed) {
  EXPECT_EQ(RunText("#DefineFunction onerror(info)\n"
                    "poke11(info)\n"
                    "Return 1\n"
                    "#EndFunction\n"
                    "IntControl(73, 3, 0, \"onerror\", \"\")\n"
                    "x = 1/0\n"
                    "e = LastError()\n"
                    "y = 2/0\n"),
            0);
  EXPECT_EQ(Var("x"), "5");
  EXPECT_EQ(Var("e"), "3062");
  EXPECT_EQ(Var("y"), "5") << "the handler stayed armed";
  EXPECT_EQ(ctx->errorHandlerMode, kHandlerFunction);
  // What the handler saw of the second error.
  std::vector<std::string> want = {"3062", "y = 2/0", "", "y", "C:\\scripts\\main.zlt",
                                   "Attempt to divide by zero", "", "", "8", "0", "1", "0"};
  ASSERT_EQ(g_elements.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    if (i == 2) continue;  // the offset: checked below
    EXPECT_EQ(g_elements[i], want[i]) << "element " << i;
  }
  EXPECT_GT(std::stoi(g_elements[2]), 0);
}

TEST_F(HandlerTest, FunctionSeesWhereInsideAFunctionTheErrorHappened) {
  EXPECT_EQ(RunText("#DefineFunction onerror(info)\n"
                    "poke11(info)\n"
                    "Return 0\n"
                    "#EndFunction\n"
                    "#DefineFunction inner()\n"
                    "IntControl(73, 3, 0, \"onerror\", \"\")\n"
                    "z = 1/0\n"
                    "Return z\n"
                    "#EndFunction\n"
                    "r = inner()\n"),
            0);
  EXPECT_EQ(Var("r"), "5");
  ASSERT_EQ(g_elements.size(), 12u);
  EXPECT_EQ(g_elements[7], "inner");
  EXPECT_EQ(g_elements[8], "7") << "line in the file";
  EXPECT_EQ(g_elements[9], "2") << "line in the body";
}

TEST_F(HandlerTest, CancelGoesToTheCancelLabelWithoutBeingArmed) {
  EXPECT_EQ(RunText("a = 1\ncancel()\na = 2\n:CANCEL\nb = zlerrortextstring\n"
                    "c = zlerroradditionalinfo\n"),
            0);
  EXPECT_EQ(Var("a"), "1");
  EXPECT_EQ(Var("b"), "Cancel");
  EXPECT_EQ(Var("c"), "User pressed Cancel");
  EXPECT_EQ(ctx->cancelHandlerMode, kHandlerCancelLabel) << "never disarmed";
  // Without the label, and with the handler off, a cancel ends the run quietly.
  EXPECT_EQ(RunText("cancel()\nd = 1\n"), 9999);
  EXPECT_EQ(RunText("IntControl(72, 0, 0, \"\", \"\")\ncancel()\n:CANCEL\nd = 1\n"), 9999);
  EXPECT_EQ(Var("d"), "<none>");
}

TEST_F(HandlerTest, CancelFunctionHandlesInsideAnAssignment) {
  EXPECT_EQ(RunText("#DefineFunction oncancel(info)\n"
                    "poke11(info)\n"
                    "Return 0\n"
                    "#EndFunction\n"
                    "IntControl(72, 3, 0, \"oncancel\", \"\")\n"
                    "v = cancel()\n"),
            0);
  EXPECT_EQ(Var("v"), "5");
  ASSERT_EQ(g_elements.size(), 12u);
  EXPECT_EQ(g_elements[0], "9999");
  EXPECT_EQ(g_elements[5], "Cancel");
  EXPECT_EQ(ctx->cancelHandlerMode, kHandlerNone) << "an even answer disarms";
}

// Handlers that need a structure frame when every frame is taken.
TEST_F(HandlerTest, FullStructureStackTurnsTheErrorIntoNestingFailures) {
  const std::string deep = "n = 0\nGoSub deeper\n:deeper\nn = n + 1\nIf n < 100 Then GoSub deeper\n";
  EXPECT_EQ(RunText("IntControl(72, 2, 0, \"\", \"\")\n" + deep + "cancel()\n"), 3618);
  EXPECT_EQ(RunText("#DefineFunction onerror(info)\nReturn 1\n#EndFunction\n"
                    "IntControl(73, 3, 0, \"onerror\", \"\")\n" + deep + "q = 1/0\n"),
            3619);
}

}  // namespace
}  // namespace zel::test
