// zelrun.exe, the reference host, started as a program: its exit status and
// what it writes when the arguments are wrong or the script cannot be read.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace zel::test {
namespace {

constexpr DWORD kWaitMs = 60000;

struct Outcome {
  DWORD status;
  std::string out, err;
};

std::string FolderOfThisProgram() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string s(path, n < sizeof path ? n : 0);
  size_t slash = s.rfind('\\');
  return slash == std::string::npos ? std::string() : s.substr(0, slash + 1);
}

// An inheritable temporary file for one of the child's standard handles.
HANDLE TempFile(std::string* name) {
  char folder[MAX_PATH], file[MAX_PATH];
  if (!GetTempPathA(sizeof folder, folder) || !GetTempFileNameA(folder, "zrt", 0, file))
    return INVALID_HANDLE_VALUE;
  *name = file;
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return CreateFileA(file, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                     CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
}

std::string ReadBack(HANDLE h) {
  std::string text;
  SetFilePointer(h, 0, nullptr, FILE_BEGIN);
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) text.append(buf, got);
  return text;
}

// Runs zelrun with `args`; false when it could not be started or did not end.
bool RunZelrun(const std::string& args, Outcome* o) {
  std::string outName, errName;
  HANDLE out = TempFile(&outName), err = TempFile(&errName);
  if (out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE) return false;
  std::string exe = FolderOfThisProgram() + "zelrun.exe";
  std::string command = "\"" + exe + "\" " + args;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi{};
  bool ended = false;
  if (CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                     &pi)) {
    ended = WaitForSingleObject(pi.hProcess, kWaitMs) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(pi.hProcess, 99);
    GetExitCodeProcess(pi.hProcess, &o->status);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  o->out = ReadBack(out);
  o->err = ReadBack(err);
  CloseHandle(out);
  CloseHandle(err);
  DeleteFileA(outName.c_str());
  DeleteFileA(errName.c_str());
  return ended;
}

TEST(Zelrun, WrongArgumentsAndUnreadableScriptsExitWithTwo) {
  struct Case {
    const char* args;
    const char* message;  // expected on standard error
  };
  static const Case cases[] = {
      {"", "usage: zelrun [--silent] SCRIPT [PARAMS...]"},
      {"--silent", "usage: zelrun [--silent] SCRIPT [PARAMS...]"},
      {"--verbose script.zlt", "zelrun: unknown option --verbose"},
      {"--silent --verbose script.zlt", "zelrun: unknown option --verbose"},
      {"no-such-folder\\no-such-script.zlt one two",
       "zelrun: cannot open no-such-folder\\no-such-script.zlt (system error 3)"},
      {"--silent no-such-script.zlt", "zelrun: cannot open no-such-script.zlt (system error 2)"},
  };
  for (const Case& c : cases) {
    Outcome o{};
    ASSERT_TRUE(RunZelrun(c.args, &o)) << c.args;
    EXPECT_EQ(o.status, 2u) << c.args;
    EXPECT_EQ(o.out, "") << c.args;
    EXPECT_NE(o.err.find(c.message), std::string::npos) << c.args << "\n" << o.err;
  }
}

}  // namespace
}  // namespace zel::test
