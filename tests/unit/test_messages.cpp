// The message table and its translation file: the language chosen from the
// settings or the profile, the file found beside the program or along the
// PATH, "~" and "|" expanded, ids below 100 never translated, and the
// separate choices of the ANSI and the UTF-16 lookups.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "boxcloser.h"
#include "errdialogdriver.h"
#include "ctxfixture.h"
#include "errors/messages.h"
#include "errors/report.h"
#include "host/api.h"
#include "host/settings.h"

namespace zel::test {
namespace {

constexpr char kMissing[] = "<missing>";

class TranslationTest : public ContextTest {
 protected:
  void SetUp() override {
    ContextTest::SetUp();
    char exe[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
    ASSERT_TRUE(n > 0 && n < sizeof exe);
    folder_ = exe;
    folder_.resize(folder_.rfind('\\') + 1);
    char path[32768];
    n = GetEnvironmentVariableA("PATH", path, sizeof path);
    savedPath_ = n < sizeof path ? std::string(path, n) : std::string();
    GetProfileStringA("INTL", "sLanguage", kMissing, path, sizeof path);
    savedLanguage_ = path;
  }

  void TearDown() override {
    for (const std::string& f : files_) DeleteFileA(f.c_str());
    for (const std::string& d : folders_) RemoveDirectoryA(d.c_str());
    settings::WriteIni("MAIN", "Language", nullptr);
    SetEnvironmentVariableA("PATH", savedPath_.c_str());
    WriteProfileStringA("INTL", "sLanguage",
                        savedLanguage_ == kMissing ? nullptr : savedLanguage_.c_str());
    if (ctx) {
      Load(0);  // both lookups choose again: no translation for the tests after
      wchar_t w[8];
      LoadMyStringW(ctx, nullptr, 0, w, 8);
    }
    ContextTest::TearDown();
  }

  // Writes a translation file; each entry is "key=value" of section MAIN.
  void WriteTranslation(const std::string& path, std::initializer_list<const char*> entries) {
    files_.push_back(path);
    for (const char* e : entries) {
      std::string entry = e;
      size_t eq = entry.find('=');
      ASSERT_TRUE(WritePrivateProfileStringA("MAIN", entry.substr(0, eq).c_str(),
                                             entry.substr(eq + 1).c_str(), path.c_str()));
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // flush
  }

  std::string Load(uint32_t id) {
    char buf[kWorkBuf];
    int n = msg::Load(ctx, id, buf, sizeof buf);
    EXPECT_EQ(n, static_cast<int>(strlen(buf)));
    return buf;
  }
  std::wstring LoadW(uint32_t id) {
    wchar_t buf[kWorkBuf];
    int n = LoadMyStringW(ctx, nullptr, id, buf, kWorkBuf);
    EXPECT_EQ(n, static_cast<int>(wcslen(buf)));
    return buf;
  }
  std::string Resource(uint32_t id) {
    char buf[kWorkBuf] = "";
    if (LoadStringA(GetModuleHandleA(nullptr), id, buf, sizeof buf) <= 0) buf[0] = 0;
    return buf;
  }

  std::string folder_, savedPath_, savedLanguage_;
  std::vector<std::string> files_, folders_;
};

TEST_F(TranslationTest, TildeAndBarBecomeLineFeedAndTab) {
  WriteTranslation(folder_ + "ZELDLANG.xyz", {"X3066=Bad~args", "X3171=a|b~c"});
  settings::WriteIni("MAIN", "Language", "xyz");
  Load(0);
  EXPECT_EQ(Load(3066), "Bad\nargs");
  EXPECT_EQ(Load(3171), "a\tb\nc");
  EXPECT_EQ(Load(3062), "Attempt to divide by zero");  // a missing key keeps the built-in text
}

TEST_F(TranslationTest, IdsBelowHundredAreNeverTranslated) {
  WriteTranslation(folder_ + "ZELDLANG.hun", {"X99=ninety-nine", "X100=hundred", "X102=menu"});
  settings::WriteIni("MAIN", "Language", "hun");
  Load(0);
  EXPECT_EQ(Load(99), Resource(99));
  EXPECT_EQ(Load(100), "hundred");
  EXPECT_EQ(Load(102), "menu");
}

TEST_F(TranslationTest, IdZeroChoosesTheFileAgain) {
  WriteTranslation(folder_ + "ZELDLANG.abq", {"X3066=Again"});
  settings::WriteIni("MAIN", "Language", "abq");
  Load(0);
  EXPECT_EQ(Load(3066), "Again");
  settings::WriteIni("MAIN", "Language", "none");
  EXPECT_EQ(Load(3066), "Again");  // the choice is kept until id 0
  EXPECT_EQ(Load(0), "");
  EXPECT_EQ(Load(3066), "Wrong Number of Arguments in Function");
}

TEST_F(TranslationTest, ProfileLanguageWhenTheSettingsHaveNone) {
  WriteTranslation(folder_ + "ZELDLANG.qpw", {"X3066=Profile"});
  ASSERT_TRUE(WriteProfileStringA("INTL", "sLanguage", "qpw"));
  Load(0);
  EXPECT_EQ(Load(3066), "Profile");
  WriteTranslation(folder_ + "ZELDLANG.enu", {"X3066=Default"});
  WriteProfileStringA("INTL", "sLanguage", nullptr);
  Load(0);
  EXPECT_EQ(Load(3066), "Default");
}

TEST_F(TranslationTest, PlainFileWhenTheLanguageHasNoFile) {
  WriteTranslation(folder_ + "ZELDLANG", {"X3066=Plain"});
  settings::WriteIni("MAIN", "Language", "nofile");
  Load(0);
  EXPECT_EQ(Load(3066), "Plain");
}

TEST_F(TranslationTest, FileFoundAlongThePath) {
  char temp[MAX_PATH];
  ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
  std::string dir = std::string(temp) + "zel_lang_" + std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  folders_.push_back(dir);
  WriteTranslation(dir + "\\ZELDLANG.pth", {"X3066=Along the path"});
  settings::WriteIni("MAIN", "Language", "pth");
  ASSERT_TRUE(SetEnvironmentVariableA("PATH", (dir + ";" + savedPath_).c_str()));
  Load(0);
  EXPECT_EQ(Load(3066), "Along the path");
}

TEST_F(TranslationTest, WideLookupKeepsItsOwnChoice) {
  WriteTranslation(folder_ + "ZELDLANG.wid", {"X3066=Wide~text"});
  settings::WriteIni("MAIN", "Language", "wid");
  Load(0);
  EXPECT_EQ(LoadW(0), L"");
  EXPECT_EQ(LoadW(3066), L"Wide\ntext");
  settings::WriteIni("MAIN", "Language", "none");
  EXPECT_EQ(LoadW(0), L"");
  EXPECT_EQ(LoadW(3066), L"Wrong Number of Arguments in Function");
  EXPECT_EQ(Load(3066), "Wide\ntext");  // the ANSI lookup did not choose again
}

TEST_F(TranslationTest, ReportShowsTheTranslatedMessage) {
  WriteTranslation(folder_ + "ZELDLANG.rep", {"X3066=Bad~args"});
  settings::WriteIni("MAIN", "Language", "rep");
  Load(0);
  ErrorDialogDriver driver;
  ctx->error = 3066;
  EXPECT_EQ(err::AfterStatement(ctx, "x = abs(1"), err::After::kStop);
  EXPECT_EQ(driver.text(), "3066:  Bad\nargs\n\nx = abs(1");
}

TEST_F(TranslationTest, ResultIsCutToTheBuffer) {
  char buf[10];
  EXPECT_EQ(LoadMyString(ctx, nullptr, 3171, buf, sizeof buf), 9);
  EXPECT_STREQ(buf, "IntContro");
  EXPECT_EQ(LoadMyString(ctx, nullptr, 3171, buf, 0), 0);
  EXPECT_EQ(LoadMyString(ctx, nullptr, 4, buf, sizeof buf), 0);  // no such message
  EXPECT_STREQ(buf, "");
  wchar_t w[4];
  EXPECT_EQ(LoadMyStringW(ctx, nullptr, 3171, w, 4), 3);
  EXPECT_EQ(std::wstring(w), L"Int");
  EXPECT_EQ(LoadMyStringW(nullptr, nullptr, 9999, w, 4), 3);  // no context: the ANSI code page
}

}  // namespace
}  // namespace zel::test
