// Script text: loading and preparing (Unicode marks, line ends, scrambling),
// #include merging and its failures, the line reader and its length limit,
// percent-sign substitution, the run-time #include, and locating a position.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "boxcloser.h"
#include "ctxfixture.h"
#include "errors/messages.h"
#include "script/scramble.h"
#include "script/script.h"
#include "values/convert.h"
#include "values/heap.h"
#include "values/variables.h"

namespace zel::test {
namespace {

struct Line {
  std::string text;
  uint16_t deferred;  // ctx->deferredLineError after the read
  uint32_t start;
};

class ScriptTest : public ContextTest {
 protected:
  void SetUp() override {
    ContextTest::SetUp();
    char tmp[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, tmp);
    ASSERT_GT(n, 0u);
    dir_ = std::string(tmp) + "zel_script_test_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(dir_.c_str(), nullptr);
    ctx->includeMode = kIncludeMerge | kIncludeRunTime;
    ctx->scriptPath[0] = 0;
  }

  void TearDown() override {
    for (HGLOBAL h : blocks_) GlobalFree(h);
    for (auto it = files_.rbegin(); it != files_.rend(); ++it) DeleteFileA(it->c_str());
    for (auto it = dirs_.rbegin(); it != dirs_.rend(); ++it) RemoveDirectoryA(it->c_str());
    RemoveDirectoryA(dir_.c_str());
    ContextTest::TearDown();
  }

  // Writes `bytes` to a file of the test's folder; returns its full path.
  std::string Write(const std::string& name, const std::string& bytes) {
    std::string path = name.size() > 1 && name[1] == ':' ? name : dir_ + name;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(f, INVALID_HANDLE_VALUE) << path;
    DWORD put = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(f);
    files_.push_back(path);
    return path;
  }

  std::string SubFolder(const std::string& name) {
    std::string path = dir_ + name;
    CreateDirectoryA(path.c_str(), nullptr);
    dirs_.push_back(path);
    return path + "\\";
  }

  // A movable block holding `bytes` and two NUL bytes, as a host hands it over.
  HGLOBAL HostBlock(const std::string& bytes) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size() + 2);
    char* p = static_cast<char*>(GlobalLock(h));
    memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(h);
    blocks_.push_back(h);
    return h;
  }

  HGLOBAL Load(const std::string& path, uint32_t* len) {
    HGLOBAL h = script::LoadScriptFile(ctx, path.c_str(), len);
    if (h) blocks_.push_back(h);
    return h;
  }

  // The plain text of a prepared block (positions from 0).
  std::string Plain(HGLOBAL h, uint32_t len) {
    const uint8_t* t = static_cast<const uint8_t*>(GlobalLock(h));
    std::string s;
    for (uint32_t i = 0; i < len; ++i) s += static_cast<char>(scramble::Decode(t[i], i));
    EXPECT_EQ(scramble::Decode(t[len], len), 0) << "the terminator is scrambled too";
    GlobalUnlock(h);
    return s;
  }

  std::vector<Line> ReadAll(HGLOBAL h, uint32_t len) {
    const uint8_t* t = static_cast<const uint8_t*>(GlobalLock(h));
    std::vector<Line> lines;
    uint32_t pos = 0, start = 0;
    while (lines.size() < 10000 && script::ReadLine(ctx, t, len, &pos, &start))
      lines.push_back({ctx->lineBuf, ctx->deferredLineError, start});
    GlobalUnlock(h);
    return lines;
  }

  std::vector<std::string> Texts(const std::vector<Line>& lines) {
    std::vector<std::string> v;
    for (const Line& l : lines) v.push_back(l.text);
    return v;
  }

  std::string Msg(uint32_t id) {
    char buf[kWorkBuf];
    msg::Load(ctx, id, buf, sizeof buf);
    return buf;
  }

  // The marker line the merger writes for `line` of `path`.
  static std::string Marker(const std::string& path, uint32_t line, int kind = 1) {
    std::string m = ";\x0b";
    m += static_cast<char>(64 + kind);
    m += '@';
    for (int i = 0; i < 4; ++i) m += static_cast<char>(64 + ((line >> (18 - 6 * i)) & 63));
    return m + path + "\n";
  }

  std::string FullPath(const std::string& path) {
    char full[MAX_PATH];
    GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return full;
  }

  // Position of the first occurrence of `what` in the plain text.
  uint32_t Find(HGLOBAL h, uint32_t len, const std::string& what) {
    size_t at = Plain(h, len).find(what);
    EXPECT_NE(at, std::string::npos) << what;
    return static_cast<uint32_t>(at);
  }

  script::Location LocateAt(HGLOBAL h, uint32_t len, uint32_t pos) {
    script::Location loc;
    const uint8_t* t = static_cast<const uint8_t*>(GlobalLock(h));
    script::Locate(ctx, t, len, pos, &loc);
    GlobalUnlock(h);
    return loc;
  }

  // Defines variable `name` as a string.
  void SetText(const char* name, const std::string& text) {
    ValueCell v{};
    v.str = heap::StoreText(ctx, text.c_str(), text.size());
    v.flags = kFlagString;
    ASSERT_NE(vars::Define(ctx, name, &v), vars::kNoSlot);
    val::FreeValue(ctx, &v, val::kVarCell);
  }
  void SetInt(const char* name, int32_t n) {
    ValueCell v;
    val::InitCell(&v, n);
    ASSERT_NE(vars::Define(ctx, name, &v), vars::kNoSlot);
  }

  // Substitutes `line`; the result code, with the line left in ctx->lineBuf.
  int Sub(const std::string& line) {
    ctx->error = 0;
    lstrcpynA(ctx->lineBuf, line.c_str(), kWorkBuf);
    return script::Substitute(ctx);
  }

  // A file chain: name0 includes name1, ..., the last holds "deepest".
  void WriteChain(int files) {
    for (int i = 0; i < files; ++i) {
      std::string body = "line of " + std::to_string(i) + "\r\n";
      if (i + 1 < files) body += "#include \"chain" + std::to_string(i + 1) + ".zlt\"\r\n";
      else body += "deepest\r\n";
      Write("chain" + std::to_string(i) + ".zlt", body);
    }
  }

  BoxCloser closer_;  // answers any failure report, so no test waits on a box
  std::string dir_;
  std::vector<std::string> files_, dirs_;
  std::vector<HGLOBAL> blocks_;
};

// ---- loading and preparing

TEST_F(ScriptTest, FileLinesEndInLineFeedsAndTheTextIsScrambled) {
  ctx->includeMode = 0;
  std::string text = "a = 1\r\nb = 2\rc = 3\n\r\n";
  uint32_t len = 0;
  HGLOBAL h = Load(Write("plain.zlt", text), &len);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(len, text.size());
  EXPECT_EQ(Plain(h, len), "a = 1 \nb = 2\nc = 3\n \n");
  const char* stored = static_cast<const char*>(GlobalLock(h));
  EXPECT_NE(std::string(stored, len), "a = 1 \nb = 2\nc = 3\n \n") << "never plain in memory";
  GlobalUnlock(h);
  EXPECT_EQ(closer_.boxes(), 0);
}

TEST_F(ScriptTest, Utf16AndUtf8FilesLoadLikeTheirAnsiText) {
  ctx->includeMode = 0;
  const wchar_t* wide = L"x = \"caf\u00e9\"\r\ny = 2\r\n";
  char ansi[64];
  int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, sizeof ansi, nullptr, nullptr);
  ASSERT_GT(n, 1);
  std::string utf16 = "\xff\xfe";
  utf16.append(reinterpret_cast<const char*>(wide), wcslen(wide) * sizeof(wchar_t));
  char utf8[64];
  int m = WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
  ASSERT_GT(m, 1);

  uint32_t lenA = 0, len16 = 0, len8 = 0;
  HGLOBAL a = Load(Write("ansi.zlt", ansi), &lenA);
  HGLOBAL w = Load(Write("utf16.zlt", utf16), &len16);
  HGLOBAL u = Load(Write("utf8.zlt", std::string("\xef\xbb\xbf") + utf8), &len8);
  ASSERT_TRUE(a && w && u);
  EXPECT_EQ(len16, lenA);
  EXPECT_EQ(len8, lenA);
  EXPECT_EQ(Plain(w, len16), Plain(a, lenA));
  EXPECT_EQ(Plain(u, len8), Plain(a, lenA));
  EXPECT_EQ(Texts(ReadAll(u, len8)), Texts(ReadAll(a, lenA)));
}

TEST_F(ScriptTest, Utf16AndUtf8HostBuffersPrepareLikeTheirAnsiText) {
  ctx->includeMode = 0;
  const wchar_t* wide = L"s = \"\u00fcber\"\r\nt = 1";
  char ansi[64], utf8[64];
  WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, sizeof ansi, nullptr, nullptr);
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
  std::string utf16 = "\xff\xfe";
  utf16.append(reinterpret_cast<const char*>(wide), wcslen(wide) * sizeof(wchar_t));

  HGLOBAL a = HostBlock(ansi), w = HostBlock(utf16), u = HostBlock(std::string("\xef\xbb\xbf") + utf8);
  uint32_t lenA = 0, len16 = 0, len8 = 0;
  ASSERT_TRUE(script::PrepareHostBuffer(ctx, a, &lenA));
  ASSERT_TRUE(script::PrepareHostBuffer(ctx, w, &len16));
  ASSERT_TRUE(script::PrepareHostBuffer(ctx, u, &len8));
  EXPECT_EQ(lenA, strlen(ansi));
  EXPECT_EQ(Plain(w, len16), Plain(a, lenA));
  EXPECT_EQ(Plain(u, len8), Plain(a, lenA));
  EXPECT_EQ(Plain(a, lenA).substr(0, 3), "s =");
}

TEST_F(ScriptTest, AMarkWithNothingAfterItFailsWith215) {
  uint32_t len = 7;
  std::string path = Write("bomonly.zlt", "\xef\xbb\xbf");
  EXPECT_EQ(script::LoadScriptFile(ctx, path.c_str(), &len), nullptr);
  EXPECT_EQ(len, 0u);
  EXPECT_EQ(closer_.boxes(), 1);
  EXPECT_EQ(closer_.caption(), Msg(215));
  EXPECT_EQ(closer_.text(), path);
}

TEST_F(ScriptTest, AnEncodedScriptFailsWith219) {
  uint32_t len;
  std::string four = Write("four.zlt", "\x04x = 1\r\n");
  EXPECT_NE(Load(four, &len), nullptr) << "byte 4 does not mark an encoded script";
  EXPECT_EQ(closer_.boxes(), 0);
  for (char first : {'\x01', '\x03'}) {
    closer_.Reset();
    std::string path = Write("encoded.zlc", std::string(1, first) + "ZLC data");
    EXPECT_EQ(script::LoadScriptFile(ctx, path.c_str(), &len), nullptr);
    EXPECT_EQ(closer_.boxes(), 1);
    EXPECT_EQ(closer_.caption(), Msg(219));
    EXPECT_EQ(closer_.caption(), "Unknown ZLC file format");
    EXPECT_EQ(closer_.text(), path);
  }
}

TEST_F(ScriptTest, AMissingFileFailsWith102) {
  std::string path = dir_ + "nosuch.zlt";
  uint32_t len;
  EXPECT_EQ(script::LoadScriptFile(ctx, path.c_str(), &len), nullptr);
  EXPECT_EQ(closer_.boxes(), 1);
  EXPECT_EQ(closer_.caption(), Msg(102));
  EXPECT_EQ(closer_.text(), path);
}

TEST_F(ScriptTest, AnEmptyHostBufferPreparesToNothing) {
  HGLOBAL h = HostBlock("");
  uint32_t len = 9;
  ASSERT_TRUE(script::PrepareHostBuffer(ctx, h, &len));
  EXPECT_EQ(len, 0u);
  EXPECT_TRUE(ReadAll(h, len).empty());
  EXPECT_EQ(closer_.boxes(), 0);
}

TEST_F(ScriptTest, ScrambleTextMixesInThePosition) {
  uint8_t text[4] = {'a', 'a', 'a', 0};
  script::ScrambleText(text, 4, 300);
  for (uint32_t i = 0; i < 4; ++i)
    EXPECT_EQ(scramble::Decode(text[i], 300 + i), i < 3 ? 'a' : 0);
  EXPECT_NE(text[0], text[1]) << "the same byte at two positions is stored differently";
}

// ---- reading lines

TEST_F(ScriptTest, LinesUpTo2048CharactersAreKeptAndLongerOnesAreCutWith3722) {
  ctx->includeMode = 0;
  std::string a(2048, 'a'), b(2049, 'b'), c(2048, 'c'), d(2048, 'd');
  std::string text = "first\r\n" + a + "\r\n" + b + "\r\n" + c + " \r\n" + d + " \nlast";
  HGLOBAL h = HostBlock(text);
  uint32_t len;
  ASSERT_TRUE(script::PrepareHostBuffer(ctx, h, &len));
  std::vector<Line> lines = ReadAll(h, len);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0].text, "first ");
  EXPECT_EQ(lines[0].deferred, 0);
  EXPECT_EQ(lines[1].text, a) << "2,048 characters and the space left of the CR LF";
  EXPECT_EQ(lines[1].deferred, 0);
  EXPECT_EQ(lines[2].text, b.substr(0, 2048)) << "2,049 characters before the CR LF";
  EXPECT_EQ(lines[2].deferred, 3722);
  EXPECT_EQ(lines[3].text, c) << "the 2,049th is a space, but not the one left of the line feed";
  EXPECT_EQ(lines[3].deferred, 3722);
  EXPECT_EQ(lines[4].text, d) << "2,048 characters and a space before a bare line feed";
  EXPECT_EQ(lines[4].deferred, 0);
  EXPECT_EQ(lines[5].text, "last") << "the cut line's rest is dropped, not read as a line";
  EXPECT_EQ(lines[5].deferred, 0);
}

TEST_F(ScriptTest, Byte26EndsALineAndBlanksAreSkipped) {
  ctx->includeMode = 0;
  HGLOBAL h = HostBlock("one\x1a  two\r\n\t three\r\n\r\nfour");
  uint32_t len;
  ASSERT_TRUE(script::PrepareHostBuffer(ctx, h, &len));
  std::vector<Line> lines = ReadAll(h, len);
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"one", "two ", "three ", "", "four"}));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].start, 0u);
  EXPECT_EQ(lines[1].start, 6u) << "the first non-blank character";
  EXPECT_EQ(lines[2].start, 13u);
}

TEST_F(ScriptTest, AnEmptyFirstLineIsALine) {
  ctx->includeMode = 0;
  HGLOBAL h = HostBlock("\r\nx = 1\r\n");
  uint32_t len;
  ASSERT_TRUE(script::PrepareHostBuffer(ctx, h, &len));
  EXPECT_EQ(Texts(ReadAll(h, len)), (std::vector<std::string>{"", "x = 1 "}));
}

TEST_F(ScriptTest, ANulInsideAFileIsPassedOverAndReadingEnds) {
  ctx->includeMode = 0;
  std::string text("a\0b\n\0\nc\0", 8);
  uint32_t len;
  HGLOBAL h = Load(Write("withnul.zlt", text), &len);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(len, 8u);
  EXPECT_EQ(Texts(ReadAll(h, len)), (std::vector<std::string>{"ab", "", "c"}));
}

TEST_F(ScriptTest, ABodyIsReadWithItsOwnScramblingBase) {
  const char* body = "  inside\nsecond";
  const uint32_t base = 1234;
  uint8_t text[32];
  uint32_t len = static_cast<uint32_t>(strlen(body));
  memcpy(text, body, len + 1);
  script::ScrambleText(text, len + 1, base);
  ctx->bodyBase = base;
  uint32_t pos = 0, start = 0;
  ASSERT_TRUE(script::ReadLine(ctx, text, len, &pos, &start));
  EXPECT_STREQ(ctx->lineBuf, "inside");
  EXPECT_EQ(start, 2u);
  ASSERT_TRUE(script::ReadLine(ctx, text, len, &pos, &start));
  EXPECT_STREQ(ctx->lineBuf, "second");
  EXPECT_FALSE(script::ReadLine(ctx, text, len, &pos, &start));
  ctx->bodyBase = 0;
}

// ---- substitution

TEST_F(ScriptTest, TwoPercentSignsMakeOneAndAnUnknownNameVanishes) {
  EXPECT_EQ(Sub("x = \"100%%\""), 1);
  EXPECT_STREQ(ctx->lineBuf, "x = \"100%\"");
  EXPECT_EQ(Sub("a%nosuch%b"), 2);
  EXPECT_STREQ(ctx->lineBuf, "ab");
  EXPECT_EQ(ctx->error, 0);
  EXPECT_EQ(Sub("plain line"), 1);
  EXPECT_STREQ(ctx->lineBuf, "plain line");
}

TEST_F(ScriptTest, AVariableBetweenPercentSignsIsReplacedByItsText) {
  SetInt("x", 42);
  SetText("Greeting", "hello");
  EXPECT_EQ(Sub("n = %x% + %GREETING%"), 2);
  EXPECT_STREQ(ctx->lineBuf, "n = 42 + hello");
  EXPECT_STREQ(ctx->work2, "GREETING") << "the name substituted last";
}

TEST_F(ScriptTest, FourNamesStandForControlCharacters) {
  EXPECT_EQ(Sub("[%@CRLF%|%@tab%|%@cr%|%@Lf%]"), 2);
  EXPECT_STREQ(ctx->lineBuf, "[\r\n|\t|\r|\n]");
  SetText("@tab", "own");
  EXPECT_EQ(Sub("%@tab%"), 2);
  EXPECT_STREQ(ctx->lineBuf, "own") << "a variable of that name comes first";
}

TEST_F(ScriptTest, ANameOf30CharactersIsAllowedAnd31Is3047) {
  std::string thirty(30, 'n');
  EXPECT_EQ(Sub("<%" + thirty + "%>"), 2);
  EXPECT_STREQ(ctx->lineBuf, "<>");
  EXPECT_EQ(Sub("<%" + thirty + "n%>"), 0);
  EXPECT_EQ(ctx->error, 3047);
}

TEST_F(ScriptTest, APercentSignWithoutItsPartnerIs3048) {
  EXPECT_EQ(Sub("x = 5 % 2"), 0);
  EXPECT_EQ(ctx->error, 3048);
  EXPECT_EQ(Sub("x = \"50%\""), 0);
  EXPECT_EQ(ctx->error, 3048);
  EXPECT_EQ(Sub("%name and more"), 0);
  EXPECT_EQ(ctx->error, 3048);
}

TEST_F(ScriptTest, AResultOf2050CharactersOrMoreIs3101) {
  SetText("s", std::string(2000, 'z'));
  EXPECT_EQ(Sub("%s%" + std::string(49, 'a')), 2);
  EXPECT_EQ(strlen(ctx->lineBuf), 2049u);
  EXPECT_EQ(Sub("%s%" + std::string(50, 'a')), 0);
  EXPECT_EQ(ctx->error, 3101);
  SetText("big", std::string(3000, 'y'));
  EXPECT_EQ(Sub("%big%"), 0) << "a value longer than a line is not cut to fit";
  EXPECT_EQ(ctx->error, 3101);
}

TEST_F(ScriptTest, DoubleByteCharactersCountTwiceInAName) {
  if (!IsDBCSLeadByteEx(932, 0x82)) GTEST_SKIP() << "code page 932 not available";
  ctx->codePage = 932;
  std::string kana15, kana16;
  for (int i = 0; i < 15; ++i) kana15 += "\x82\xa0";
  kana16 = kana15 + "\x82\xa0";
  EXPECT_EQ(Sub("<%" + kana15 + "%>"), 2);
  EXPECT_STREQ(ctx->lineBuf, "<>");
  EXPECT_EQ(Sub("<%" + kana16 + "%>"), 0);
  EXPECT_EQ(ctx->error, 3047);
  // A pair is copied whole: its trail byte is never read as a percent sign's partner.
  EXPECT_EQ(Sub("\x82\x25x"), 1);
  EXPECT_STREQ(ctx->lineBuf, "\x82\x25x");
  ctx->codePage = CP_ACP;
}

// ---- run-time #include

TEST_F(ScriptTest, ARunTimeIncludeBecomesACall) {
  ctx->includeMode = kIncludeRunTime;
  EXPECT_EQ(Sub("#INCLUDE\t 'other.zlt'  "), 1);
  EXPECT_STREQ(ctx->lineBuf, "Call(\"other.zlt\",``)");
  EXPECT_EQ(Sub("#include x"), 1);
  EXPECT_STREQ(ctx->lineBuf, "Call(\"x\",``)");
  EXPECT_EQ(Sub("#include \"half.zlt'"), 1);
  EXPECT_STREQ(ctx->lineBuf, "Call(\"half.zlt'\",``)") << "only a matching quote closes";
  EXPECT_EQ(Sub("#includes x.zlt"), 1);
  EXPECT_STREQ(ctx->lineBuf, "#includes x.zlt");
  EXPECT_EQ(Sub("#include "), 1) << "too short";
  EXPECT_STREQ(ctx->lineBuf, "#include ");
  ctx->includeMode = 0;
  EXPECT_EQ(Sub("#include \"other.zlt\""), 1);
  EXPECT_STREQ(ctx->lineBuf, "#include \"other.zlt\"");
}

TEST_F(ScriptTest, ARunTimeIncludeIsFoundInTheRunningScriptsFolder) {
  ctx->includeMode = kIncludeRunTime;
  Write("lib.zlt", "x = 1\r\n");
  lstrcpynA(ctx->scriptPath, (dir_ + "main.zlt").c_str(), kMaxPathLen);
  EXPECT_EQ(Sub("#include \"lib.zlt\""), 1);
  EXPECT_EQ(std::string(ctx->lineBuf), "Call(\"" + dir_ + "lib.zlt\",``)");
  EXPECT_EQ(Sub("#include absent.zlt"), 1);
  EXPECT_STREQ(ctx->lineBuf, "Call(\"absent.zlt\",``)");
  SetText("where", dir_);
  EXPECT_EQ(Sub("#include %where%lib.zlt"), 2) << "substitution comes first";
  EXPECT_EQ(std::string(ctx->lineBuf), "Call(\"" + dir_ + "lib.zlt\",``)");
}

// ---- #include merging

TEST_F(ScriptTest, AnIncludeLineGivesWayToTheMergedFileBetweenMarkers) {
  std::string inc = Write("inc.zlt", "c = 3\r\n");
  std::string main = Write("main.zlt", "a = 1\r\n  #include \"inc.zlt\" ; why\r\nb = 2\r\n");
  uint32_t len;
  HGLOBAL h = Load(main, &len);
  ASSERT_NE(h, nullptr);
  std::string want = Marker(main, 1) + "a = 1 \n" + Marker(inc, 1) + "c = 3 \n" + Marker(main, 3) +
                     "b = 2 \n";
  EXPECT_EQ(Plain(h, len), want);
  EXPECT_EQ(len, want.size());
  EXPECT_EQ(closer_.boxes(), 0);
}

TEST_F(ScriptTest, DefinitionLinesAreFollowedByMarkers) {
  std::string main = Write("def.zlt",
                           "#DefineFunction f()\r\nreturn 1\r\n#EndFunction\r\n#definesubroutine s\r\n");
  uint32_t len;
  HGLOBAL h = Load(main, &len);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(Plain(h, len), Marker(main, 1) + "#DefineFunction f() \n" + Marker(main, 2) +
                               "return 1 \n#EndFunction \n#definesubroutine s \n" + Marker(main, 5));
}

TEST_F(ScriptTest, WithoutTheMergeBitIncludeLinesStay) {
  ctx->includeMode = kIncludeRunTime;
  std::string main = Write("keep.zlt", "#include \"gone.zlt\"\r\n");
  uint32_t len;
  HGLOBAL h = Load(main, &len);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(Plain(h, len), "#include \"gone.zlt\" \n");
}

TEST_F(ScriptTest, AnErrorInANestedIncludeIsLocatedInItsOwnFile) {
  std::string b = Write("b.zlt", "b1\r\nbad line\r\n");
  std::string a = Write("a.zlt", "a1\r\n#include 'b.zlt'\r\na3\r\n");
  std::string main = Write("top.zlt", "m1\r\nm2\r\n#include a.zlt\r\nm4\r\n");
  uint32_t len;
  HGLOBAL h = Load(main, &len);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(Texts(ReadAll(h, len)).size(), 12u) << "7 lines and 5 marker lines";

  script::Location loc = LocateAt(h, len, Find(h, len, "bad line"));
  EXPECT_EQ(std::string(loc.path), b);
  EXPECT_EQ(loc.line, 2u);
  EXPECT_STREQ(loc.text, "bad line ");
  EXPECT_EQ(loc.markerFlag, 65);
  EXPECT_EQ(loc.bodyLine, 0u);

  loc = LocateAt(h, len, Find(h, len, "a3"));
  EXPECT_EQ(std::string(loc.path), a);
  EXPECT_EQ(loc.line, 3u);
  loc = LocateAt(h, len, Find(h, len, "m4"));
  EXPECT_EQ(std::string(loc.path), main);
  EXPECT_EQ(loc.line, 4u);
  loc = LocateAt(h, len, Find(h, len, "m2") + 1);
  EXPECT_EQ(loc.line, 2u) << "a position inside the line";
  EXPECT_STREQ(loc.text, "m2 ");
}

TEST_F(ScriptTest, LocateWithoutMarkersNamesTheRunningScript) {
  ctx->includeMode = 0;
  lstrcpynA(ctx->scriptPath, "C:\\scripts\\run.zlt", kMaxPathLen);
  HGLOBAL h = HostBlock("one\r\n\r\n   three\x1a four\r\n");
  uint32_t len;
  ASSERT_TRUE(script::PrepareHostBuffer(ctx, h, &len));
  script::Location loc = LocateAt(h, len, Find(h, len, "four"));
  EXPECT_STREQ(loc.path, "C:\\scripts\\run.zlt");
  EXPECT_EQ(loc.line, 3u) << "lines are counted by line feeds";
  EXPECT_STREQ(loc.text, "four ");
  loc = LocateAt(h, len, Find(h, len, "three"));
  EXPECT_STREQ(loc.text, "three");
  EXPECT_EQ(loc.markerFlag, 0);
}

TEST_F(ScriptTest, LocateInsideABodyCountsFromTheBody) {
  std::string main = Write("udf.zlt", "x = 1\r\n#DefineFunction f()\r\n  y = 2\r\n  oops\r\n#EndFunction\r\n");
  uint32_t len;
  HGLOBAL h = Load(main, &len);
  ASSERT_NE(h, nullptr);
  std::string plain = Plain(h, len);
  // The body: from the marker after the #DefineFunction line to #EndFunction.
  uint32_t from = static_cast<uint32_t>(plain.find("\n", plain.find("#DefineFunction")) + 1);
  uint32_t to = static_cast<uint32_t>(plain.find("#EndFunction"));
  const uint8_t* t = static_cast<const uint8_t*>(GlobalLock(h));
  std::vector<uint8_t> body(t + from, t + to + 1);
  GlobalUnlock(h);
  ctx->bodyBase = from;
  ctx->inUdfBody = 1;
  script::Location loc;
  script::Locate(ctx, body.data(), to - from,
                 static_cast<uint32_t>(plain.find("oops") - from), &loc);
  ctx->bodyBase = 0;
  ctx->inUdfBody = 0;
  EXPECT_EQ(std::string(loc.path), main);
  EXPECT_EQ(loc.line, 4u);
  EXPECT_EQ(loc.bodyLine, 2u);
  EXPECT_STREQ(loc.text, "oops ");
}

TEST_F(ScriptTest, FifteenNestedIncludesMergeAndSixteenFailWith218) {
  WriteChain(16);  // chain0 includes chain1 ... chain15: fifteen levels
  uint32_t len;
  HGLOBAL h = Load(dir_ + "chain0.zlt", &len);
  ASSERT_NE(h, nullptr);
  std::vector<std::string> lines = Texts(ReadAll(h, len));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "deepest "), lines.end());
  EXPECT_EQ(closer_.boxes(), 0);

  WriteChain(17);  // and chain15 includes chain16: sixteen
  EXPECT_EQ(Load(dir_ + "chain0.zlt", &len), nullptr);
  EXPECT_EQ(closer_.boxes(), 1);
  EXPECT_EQ(closer_.caption(), Msg(111));
  EXPECT_EQ(closer_.text(), Msg(218));
}

TEST_F(ScriptTest, AMissingIncludeFailsWith217NamingIt) {
  std::string main = Write("miss.zlt", "x = 1\r\n#include \"not-there.zlt\"\r\n");
  uint32_t len;
  EXPECT_EQ(Load(main, &len), nullptr);
  EXPECT_EQ(closer_.boxes(), 1);
  EXPECT_EQ(closer_.caption(), Msg(217));
  EXPECT_EQ(closer_.text(), "not-there.zlt");
}

TEST_F(ScriptTest, AnUnterminatedQuotedNameFailsWith217NamingIt) {
  std::string main = Write("quote.zlt", "#include \"lib.zlt\r\nx = 1\r\n");
  Write("lib.zlt", "y = 2\r\n");
  uint32_t len;
  EXPECT_EQ(Load(main, &len), nullptr);
  EXPECT_EQ(closer_.boxes(), 1);
  EXPECT_EQ(closer_.caption(), Msg(217));
  EXPECT_EQ(closer_.text(), "lib.zlt");
}

TEST_F(ScriptTest, AnIncludeNameOf259CharactersIsUsedAnd260Fails) {
  std::string folder = SubFolder("long");
  std::string name = folder + std::string(259 - folder.size() - 4, 'n') + ".zlt";
  ASSERT_EQ(name.size(), 259u);
  Write(name, "from the long name\r\n");
  std::string main = Write("long.zlt", "#include " + name + "\r\n");
  uint32_t len;
  HGLOBAL h = Load(main, &len);
  ASSERT_NE(h, nullptr);
  EXPECT_NE(Plain(h, len).find("from the long name"), std::string::npos);

  std::string over = "#include \"" + name + "x\"\r\n";
  Write("long.zlt", over);
  EXPECT_EQ(Load(main, &len), nullptr);
  EXPECT_EQ(closer_.boxes(), 1);
  EXPECT_EQ(closer_.caption(), Msg(217));
  EXPECT_EQ(closer_.text(), name) << "the name as far as it may go";
}

TEST_F(ScriptTest, ARelativeIncludeIsFoundInTheScriptsFolderFromAnyCurrentDirectory) {
  std::string sub = SubFolder("sub");
  Write("sub\\piece.zlt", "piece\r\n");
  std::string main = Write("sub\\whole.zlt", "#include piece.zlt\r\n");
  char saved[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, saved);
  SetCurrentDirectoryA(dir_.c_str());
  uint32_t len;
  HGLOBAL h = Load(main, &len);
  SetCurrentDirectoryA(saved);
  ASSERT_NE(h, nullptr);
  EXPECT_NE(Plain(h, len).find(Marker(sub + "piece.zlt", 1) + "piece \n"), std::string::npos);
}

TEST_F(ScriptTest, AnIncludedUtf8FileIsConvertedToo) {
  Write("u8.zlt", "\xef\xbb\xbfz = 1\r\n");
  std::string main = Write("withu8.zlt", "#include u8.zlt\r\n");
  uint32_t len;
  HGLOBAL h = Load(main, &len);
  ASSERT_NE(h, nullptr);
  std::vector<std::string> lines = Texts(ReadAll(h, len));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "z = 1 "), lines.end());
}

TEST_F(ScriptTest, AnAlreadyMergedIncludeIsTakenAsItIs) {
  std::string merged = Marker("C:\\elsewhere\\x.zlt", 7) + "#include nothing.zlt\n";
  Write("merged.zlt", merged);
  std::string main = Write("usesmerged.zlt", "#include merged.zlt\r\n");
  uint32_t len;
  HGLOBAL h = Load(main, &len);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(Plain(h, len), Marker(main, 1) + merged + Marker(main, 2));
}

TEST_F(ScriptTest, MarkerLinesInsideATextAreNotCounted) {
  std::string inc = Write("c.zlt", "c\r\n");
  std::string main = Write("counts.zlt", "one\r\n" + Marker("C:\\x.zlt", 40) +
                                             "two\r\n#include c.zlt\r\nthree\r\n");
  uint32_t len;
  HGLOBAL h = Load(main, &len);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(Plain(h, len), Marker(main, 1) + "one \n" + Marker("C:\\x.zlt", 40) + "two \n" +
                               Marker(inc, 1) + "c \n" + Marker(main, 4) + "three \n");
}

TEST_F(ScriptTest, TheHostsBlockGrowsUnderItsHandleWhenIncludesAreMerged) {
  std::string big(20000, 'x');
  Write("big.zlt", big + "\r\n");
  lstrcpynA(ctx->scriptPath, (dir_ + "host.zlt").c_str(), kMaxPathLen);
  HGLOBAL h = HostBlock("#include \"big.zlt\"\r\nafter\r\n");
  size_t before = GlobalSize(h);
  uint32_t len;
  ASSERT_TRUE(script::PrepareHostBuffer(ctx, h, &len));
  EXPECT_GT(GlobalSize(h), before);
  EXPECT_GT(GlobalSize(h), static_cast<size_t>(len));
  std::string plain = Plain(h, len);
  EXPECT_EQ(plain.substr(0, 2), ";\x0b");
  EXPECT_NE(plain.find(big + " \n"), std::string::npos);
  EXPECT_NE(plain.find("after \n"), std::string::npos);
  std::vector<Line> lines = ReadAll(h, len);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().text, "after ");
}

TEST_F(ScriptTest, AHostBufferIncludeFailureIsReported) {
  HGLOBAL h = HostBlock("#include `absent.zlt`\r\n");
  uint32_t len;
  EXPECT_FALSE(script::PrepareHostBuffer(ctx, h, &len));
  EXPECT_EQ(closer_.boxes(), 1);
  EXPECT_EQ(closer_.caption(), Msg(217));
  EXPECT_EQ(closer_.text(), "absent.zlt");
}

}  // namespace
}  // namespace zel::test
