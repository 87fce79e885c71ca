// User-defined functions and Call seen by a host: definitions that outlive a
// run, and the Call and file-change events the host asks for.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "extender/hostcall.h"
#include "host/context.h"
#include "scripthost.h"

namespace zel::test {
namespace {

struct Event {
  LONG code;
  std::string first, second;
};
std::vector<Event> g_events;
LONG g_callAnswer = 0;  // what the host answers to a Call event

LONG WINAPI RecordingHost(HWND, HINSTANCE, DWORD, LONG code, ZelViperAnswer, ExtenderServiceBlock*,
                          DWORD*, ExtenderArg* args, LONG argc, DWORD_PTR*) {
  auto text = [&](int i) {
    return i < argc && args[i].text ? std::string(static_cast<const char*>(args[i].text)) : "";
  };
  g_events.push_back({code, text(0), text(1)});
  return code == kHostEventCall ? g_callAnswer : 0;
}

class HostUdfTest : public ScriptHostTest {
 protected:
  void SetUp() override {
    ScriptHostTest::SetUp();
    callback = reinterpret_cast<void*>(&RecordingHost);
    char tmp[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, tmp), 0u);
    dir = std::string(tmp) + "zel_host_udf_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    mainPath = dir + "main.zlt";
    g_events.clear();
    g_callAnswer = 0;
  }
  void TearDown() override {
    ScriptHostTest::TearDown();
    for (const std::string& f : files) DeleteFileA(f.c_str());
    RemoveDirectoryA(dir.c_str());
  }

  std::string Write(const char* name, const std::string& text) {
    std::string path = dir + name;
    WriteTextFile(path, text);
    files.push_back(path);
    return path;
  }

  // The context fields a host of this kind sets: the events it wants and
  // the path of the script it runs.
  void Configure(uint32_t mask) {
    auto* ctx = static_cast<ScriptContext*>(GlobalLock(host.context));
    ctx->eventMask = mask;
    strcpy(ctx->scriptPath, mainPath.c_str());
    GlobalUnlock(host.context);
  }

  int32_t RunError() {
    auto* ctx = static_cast<ScriptContext*>(GlobalLock(host.context));
    int32_t e = ctx->runError;
    GlobalUnlock(host.context);
    return e;
  }

  std::string dir, mainPath;
  std::vector<std::string> files;
};

TEST_F(HostUdfTest, DefinitionsOutliveTheRunThatMadeThem) {
  Configure(0);
  ASSERT_EQ(Run("#DefineFunction twice(n)\nReturn n * 2\n#EndFunction\n"), 1);
  ASSERT_EQ(Run("r = twice(21)\n"), 1);
  EXPECT_EQ(RunError(), 0);
  EXPECT_EQ(Var("r"), "42");
  EXPECT_EQ(boxes, 0);
}

TEST_F(HostUdfTest, ARunLeftInsideADefinitionDoesNotSpoilTheNext) {
  Configure(0);
  Run("#DefineFunction open()\n");
  EXPECT_EQ(RunError(), 3723);
  EXPECT_EQ(boxes, 1) << "reported once";
  ASSERT_EQ(Run("r = 5\n"), 1);
  EXPECT_EQ(RunError(), 0);
  EXPECT_EQ(Var("r"), "5");
}

TEST_F(HostUdfTest, CallAndFileChangeEventsWhenTheHostAsksForThem) {
  std::string called = Write("called.zlt", "made = param1\n");
  std::string library = Write("library.zlt", "#DefineFunction lib()\nReturn 7\n#EndFunction\n");
  Configure(kEventCall | kEventFileChange);
  std::string script = "Call(\"" + called + "\", \"a b\")\nCall(\"" + library +
                       "\", \"\")\n#DefineFunction here()\nReturn 1\n#EndFunction\n"
                       "x = here()\ny = lib()\n";
  ASSERT_EQ(Run(script), 1);
  EXPECT_EQ(RunError(), 0);
  EXPECT_EQ(Var("made"), "a");
  EXPECT_EQ(Var("y"), "7");
  std::vector<Event> want = {
      {kHostEventFileChange, called, ""}, {kHostEventCall, called, "a b"},
      {kHostEventFileChange, mainPath, ""},
      {kHostEventFileChange, library, ""}, {kHostEventCall, library, ""},
      {kHostEventFileChange, mainPath, ""},
      // here() was defined by the main script: no change. lib() was not.
      {kHostEventFileChange, library, ""}, {kHostEventFileChange, mainPath, ""},
  };
  ASSERT_EQ(g_events.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(g_events[i].code, want[i].code) << i;
    EXPECT_EQ(g_events[i].first, want[i].first) << i;
    EXPECT_EQ(g_events[i].second, want[i].second) << i;
  }
}

TEST_F(HostUdfTest, NoEventsUnlessAskedAndARefusedCallDoesNotRun) {
  std::string called = Write("called.zlt", "made = 1\n");
  Configure(0);
  ASSERT_EQ(Run("Call(\"" + called + "\", \"\")\n"), 1);
  EXPECT_TRUE(g_events.empty());
  EXPECT_EQ(Var("made"), "1");
  Configure(kEventCall);
  g_callAnswer = -5;  // the host cancels the call
  ASSERT_EQ(Run("made = 0\nCall(\"" + called + "\", \"\")\nafter = 1\n"), 1);
  ASSERT_EQ(g_events.size(), 1u);
  EXPECT_EQ(g_events[0].code, kHostEventCall);
  EXPECT_EQ(Var("made"), "0") << "the called script did not run";
  EXPECT_EQ(Var("after"), "<none>") << "a cancel ends the run";
  EXPECT_EQ(RunError(), 9999);
}

}  // namespace
}  // namespace zel::test
