// The overwrite confirmation of FileCopy answered for real: a timer on the
// test's own thread finds the dialog, reads which target it asks about and
// presses the button chosen for that file; the test then looks at which
// targets changed.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "host/context.h"
#include "scripthost.h"

namespace zel::test {
namespace {

constexpr int kTargetText = 1011;  // the dialog's description of the target
constexpr char kTitle[] = "Confirm File Replace";

// Presses, for each dialog, the button whose caption is given for the file
// name that the dialog's target text mentions.
class DialogAnswerer {
 public:
  explicit DialogAnswerer(std::map<std::string, std::string> answers)
      : answers_(std::move(answers)) {
    self_ = this;
    timer_ = SetTimer(nullptr, 0, 50, &DialogAnswerer::OnTimer);
  }
  ~DialogAnswerer() {
    KillTimer(nullptr, timer_);
    self_ = nullptr;
  }
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  const std::vector<std::string>& asked() const { return asked_; }

 private:
  struct Search {
    const char* caption;
    HWND found;
  };
  static BOOL CALLBACK OnButton(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    char text[64] = "";
    GetWindowTextA(w, text, sizeof text);
    if (strcmp(text, s->caption) != 0) return TRUE;
    s->found = w;
    return FALSE;
  }
  static BOOL CALLBACK OnWindow(HWND w, LPARAM) {
    char text[1024] = "";
    GetWindowTextA(w, text, sizeof text);
    if (!IsWindowVisible(w) || strcmp(text, kTitle) != 0) return TRUE;
    GetDlgItemTextA(w, kTargetText, text, sizeof text);
    for (const auto& [name, caption] : self_->answers_) {
      if (!strstr(text, name.c_str())) continue;
      Search s{caption.c_str(), nullptr};
      EnumChildWindows(w, &DialogAnswerer::OnButton, reinterpret_cast<LPARAM>(&s));
      if (!s.found) return FALSE;
      self_->asked_.push_back(name);
      self_->pressed_ = w;
      PostMessageA(w, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(s.found), BN_CLICKED),
                   reinterpret_cast<LPARAM>(s.found));
      return FALSE;
    }
    return FALSE;
  }
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (!self_ || IsWindow(self_->pressed_)) return;  // the last answer is on its way
    EnumThreadWindows(GetCurrentThreadId(), &DialogAnswerer::OnWindow, 0);
  }

  static inline DialogAnswerer* self_ = nullptr;
  UINT_PTR timer_ = 0;
  HWND pressed_ = nullptr;
  std::map<std::string, std::string> answers_;
  std::vector<std::string> asked_;
};

class HostFilesTest : public ScriptHostTest {
 protected:
  void SetUp() override {
    ScriptHostTest::SetUp();
    char tmp[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, tmp), 0u);
    dir = std::string(tmp) + "zel_host_files_" + std::to_string(GetCurrentProcessId()) + "\\";
    for (const char* sub : {"", "src", "src2", "dst"})
      ASSERT_TRUE(CreateDirectoryA((dir + sub).c_str(), nullptr) ||
                  GetLastError() == ERROR_ALREADY_EXISTS);
  }
  void TearDown() override {
    ScriptHostTest::TearDown();
    for (const std::string& f : files) DeleteFileA(f.c_str());
    for (const char* sub : {"src", "src2", "dst", ""}) RemoveDirectoryA((dir + sub).c_str());
  }

  // Writes a file whose last-write time is `day` days into 2020.
  void Write(const std::string& name, const std::string& text, int day) {
    std::string path = dir + name;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD done = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
    SYSTEMTIME s{2020, 1, 0, static_cast<WORD>(day), 12, 0, 0, 0};
    FILETIME t;
    SystemTimeToFileTime(&s, &t);
    SetFileTime(f, nullptr, nullptr, &t);
    CloseHandle(f);
    files.push_back(path);
  }
  std::string Read(const std::string& name) {
    HANDLE f = CreateFileA((dir + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    char buf[64] = "";
    DWORD got = 0;
    ReadFile(f, buf, sizeof buf - 1, &got, nullptr);
    CloseHandle(f);
    return std::string(buf, got);
  }
  int32_t RunError() {
    auto* ctx = static_cast<ScriptContext*>(GlobalLock(host.context));
    int32_t e = ctx->runError;
    GlobalUnlock(host.context);
    return e;
  }

  std::string dir;
  std::vector<std::string> files;
};

TEST_F(HostFilesTest, EachAnswerDecidesForItsFileAndCancelStopsTheRun) {
  Write("src\\newer.txt", "from src", 20);  // newer than its target
  Write("dst\\newer.txt", "old dst", 10);
  Write("src\\older.txt", "from src", 10);  // older than its target
  Write("dst\\older.txt", "new dst", 20);
  Write("src\\skip.txt", "from src", 20);
  Write("dst\\skip.txt", "kept", 10);
  Write("src\\fresh.txt", "from src", 10);  // no target: copied without a question
  files.push_back(dir + "dst\\fresh.txt");
  Write("src2\\stop.txt", "from src", 20);
  Write("dst\\stop.txt", "kept", 10);
  DialogAnswerer answerer({{"newer.txt", "Use &Newer"},
                           {"older.txt", "Use &Newer"},
                           {"skip.txt", "&Skip"},
                           {"stop.txt", "&Cancel"}});
  ASSERT_EQ(Run("r = FileCopy(\"" + dir + "src\\*.txt\", \"" + dir + "dst\", @TRUE)\n" +
                "FileCopy(\"" + dir + "src2\\stop.txt\", \"" + dir + "dst\\\", @TRUE)\n" +
                "after = 1\n"),
            1);
  EXPECT_EQ(Var("r"), "1") << "Use Newer and Skip count as success";
  EXPECT_EQ(Var("after"), "<none>") << "Cancel ends the run";
  EXPECT_EQ(RunError(), 9999);
  EXPECT_EQ(answerer.asked().size(), 4u);
  EXPECT_EQ(Read("dst\\newer.txt"), "from src");
  EXPECT_EQ(Read("dst\\older.txt"), "new dst");
  EXPECT_EQ(Read("dst\\skip.txt"), "kept");
  EXPECT_EQ(Read("dst\\fresh.txt"), "from src");
  EXPECT_EQ(Read("dst\\stop.txt"), "kept");
}

TEST_F(HostFilesTest, AnAnswerForAllIsNotAskedAgain) {
  Write("src\\a.txt", "from src", 10);
  Write("dst\\a.txt", "new dst", 20);
  Write("src\\b.txt", "from src", 10);
  Write("dst\\b.txt", "new dst", 20);
  DialogAnswerer answerer({{"a.txt", "Use Ol&der All"}, {"b.txt", "Use Ol&der All"}});
  ASSERT_EQ(Run("r = FileMove(\"" + dir + "src\\*.txt\", \"" + dir + "dst\\*.*\", @TRUE)\n"), 1);
  EXPECT_EQ(RunError(), 0);
  EXPECT_EQ(Var("r"), "1");
  EXPECT_EQ(answerer.asked().size(), 1u);
  EXPECT_EQ(Read("dst\\a.txt"), "from src");
  EXPECT_EQ(Read("dst\\b.txt"), "from src");
  EXPECT_EQ(GetFileAttributesA((dir + "src\\a.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace zel::test
