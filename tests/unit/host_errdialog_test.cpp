// The error dialog as a host shows it: a failing script run without silent
// mode, the dialog read and driven by a timer on the same thread (its
// message, where the statement stands, its traceback), and what the run did
// after Continue or Exit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "errdialogdriver.h"
#include "host/context.h"
#include "scripthost.h"

namespace zel::test {
namespace {

class ErrorDialogTest : public ScriptHostTest {
 protected:
  void SetUp() override {
    ScriptHostTest::SetUp();
    char tmp[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, tmp), 0u);
    dir = std::string(tmp) + "zel_dlg_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    mainPath = dir + "main.zlt";
    libPath = Write("lib.zlt",
                    "#DefineFunction check(n)\n"
                    "  For i = 1 To 1\n"
                    "    y = Sqrt(-n)\n"
                    "  Next\n"
                    "  Return 7\n"
                    "#EndFunction\n");
    auto* ctx = static_cast<ScriptContext*>(GlobalLock(host.context));
    strcpy(ctx->scriptPath, mainPath.c_str());
    GlobalUnlock(host.context);
  }
  void TearDown() override {
    ScriptHostTest::TearDown();
    DeleteFileA(libPath.c_str());
    RemoveDirectoryA(dir.c_str());
  }

  std::string Write(const char* name, const std::string& text) {
    std::string path = dir + name;
    WriteTextFile(path, text);
    return path;
  }

  // Runs the script with the driver answering; the error the run ended with.
  int32_t RunDriven(const std::string& text) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
    memcpy(GlobalLock(h), text.data(), text.size());
    GlobalUnlock(h);
    EXPECT_EQ(run(nullptr, host.context, h, nullptr, nullptr), 1);
    GlobalFree(h);
    auto* ctx = static_cast<ScriptContext*>(GlobalLock(host.context));
    int32_t e = ctx->runError;
    GlobalUnlock(host.context);
    return e;
  }

  std::string dir, mainPath, libPath;
};

const char kFailingMain[] =
    "ErrorMode(@NOTIFY)\n"
    "#include \"lib.zlt\"\n"
    "r = check(3)\n"
    "after = 1\n";

TEST_F(ErrorDialogTest, ShowsWhereTheErrorIsAndItsTraceback) {
  ErrorDialogDriver driver(IDCANCEL, false, true);
  // Exit ends the run; the error was reported inside the function.
  EXPECT_EQ(RunDriven(kFailingMain), 9015);
  EXPECT_EQ(Var("after"), "<none>");
  ASSERT_EQ(driver.seen().size(), 1u);
  const ErrorDialogSeen& s = driver.seen()[0];
  EXPECT_EQ(s.title, "Error:");
  EXPECT_EQ(s.message, "1341:  FP Math: Argument to function outside domain of function");
  EXPECT_EQ(s.where, "On line 3 of " + libPath);
  EXPECT_EQ(s.whereToo, "In Routine \"check\"");
  EXPECT_EQ(s.line, "y = Sqrt(-n)");
  EXPECT_EQ(s.button1, "&Continue");
  EXPECT_EQ(s.button2, "&Exit");
  EXPECT_FALSE(s.supportVisible);
  EXPECT_EQ(s.tracebackTitle, "Traceback");
  std::vector<std::string> want = {
      "  # Type            Line# Error Line                       Source File",
      "",
      "  1 <udf>               3 r = check(3)                     main.zlt",
      "  2 for                 2 For i = 1 To 1                   lib.zlt",
      "  3 <error>             3 y = Sqrt(-n)                     lib.zlt",
  };
  EXPECT_EQ(s.traceback, want);
}

TEST_F(ErrorDialogTest, ContinueGoesOnWithTheNextStatement) {
  ErrorDialogDriver driver(IDOK);
  EXPECT_EQ(RunDriven(kFailingMain), 0);
  ASSERT_EQ(driver.seen().size(), 1u);
  EXPECT_EQ(Var("r"), "7") << "the function ran on after its failing line";
  EXPECT_EQ(Var("after"), "1");
}

TEST_F(ErrorDialogTest, SevereErrorOffersOneButtonNamedByButtonNames) {
  auto* ctx = static_cast<ScriptContext*>(GlobalLock(host.context));
  ctx->supportButton = 1;  // Wine registers a browser for http
  GlobalUnlock(host.context);
  ErrorDialogDriver driver(IDOK, false, true);
  EXPECT_EQ(RunDriven("ButtonNames(\"&Understood\", \"\")\n"
                      "x = \"a long statement text that the traceback cuts\" : 1/0\n"
                      "after = 1\n"),
            3062);
  EXPECT_EQ(Var("after"), "<none>") << "a severe error stops the run";
  ASSERT_EQ(driver.seen().size(), 1u);
  const ErrorDialogSeen& s = driver.seen()[0];
  EXPECT_EQ(s.button1, "&Understood");
  EXPECT_EQ(s.button2, "");
  EXPECT_TRUE(s.supportVisible);
  EXPECT_EQ(s.where, "On line 2 of " + mainPath);
  EXPECT_EQ(s.whereToo, "");
  ASSERT_EQ(s.traceback.size(), 3u);
  EXPECT_EQ(s.traceback[2],
            "  1 <error>             2 x = \"a long statement text th... main.zlt");
  // The caption was used once: the next dialog has its own again.
  EXPECT_EQ(RunDriven("y = 1/0\n"), 3062);
  ASSERT_EQ(driver.seen().size(), 2u);
  EXPECT_EQ(driver.seen()[1].button1, "&Ok");
}

TEST_F(ErrorDialogTest, DialogProceduresAreExported) {
  EXPECT_NE(GetProcAddress(dll, "ErrorMsgProc"), nullptr);
  EXPECT_NE(GetProcAddress(dll, "StackInfoProc"), nullptr);
}

}  // namespace
}  // namespace zel::test
