// Whole scripts run through ProcessDaBatBuffer by a host, which then reads
// the variables the run left in its table.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "scripthost.h"

namespace zel::test {
namespace {

class RunTest : public ScriptHostTest {};

TEST_F(RunTest, EmptyScriptsRunNothing) {
  EXPECT_EQ(Run(""), 1);
  EXPECT_EQ(Run("\r\nx = 1\r\n"), 1);
  EXPECT_EQ(Var("x"), "1");
  EXPECT_EQ(boxes, 0);
}

TEST_F(RunTest, IfElsePairs) {
  Run("a = 0\nIf 0\n a = 1\nElse\n a = 2\nEndIf\n"
      "b = 0\nIf 1 Then\n b = 1\nElse\n b = 2\nEndIf\n"
      "If 0 Then c = 1\nElse c = 2\n"
      "If 1 Then d = 1\nElse d = 2\n"
      "If 1\n If 0\n  e = 1\n Else\n  e = 2\n EndIf\nElse\n e = 3\nEnd If\n");
  EXPECT_EQ(boxes, 0) << boxText;
  EXPECT_EQ(Var("a"), "2");
  EXPECT_EQ(Var("b"), "1");
  EXPECT_EQ(Var("c"), "2");
  EXPECT_EQ(Var("d"), "1");
  EXPECT_EQ(Var("e"), "2");
}

TEST_F(RunTest, LoopsWithBreakAndContinue) {
  Run("i = 0\nn = 0\nWhile i < 10\n i = i + 1\n If i == 3 Then Continue\n If i == 6\n  Break\n EndIf\n n = n + i\nEndWhile\n"
      "s = 0\nFor k = 10 To 1 By -1\n s = s + k\nNext\n"
      "t = 0\nFor k2 = 1 To 0\n t = 99\nNext\n"
      "u = 0\nFor k4 = 1 To 4\n u = u + k4\nNext\n"
      "f = 0\nFor k3 = 0 To 1 By 0.25\n f = f + 1\nNext\n");
  EXPECT_EQ(boxes, 0) << boxText;
  EXPECT_EQ(Var("n"), "12");  // 1 + 2 + 4 + 5
  EXPECT_EQ(Var("i"), "6");
  EXPECT_EQ(Var("s"), "55");
  EXPECT_EQ(Var("t"), "0");
  EXPECT_EQ(Var("k2"), "1");
  EXPECT_EQ(Var("u"), "10");
  EXPECT_EQ(Var("k4"), "5");
  EXPECT_EQ(Var("f"), "5");
}

TEST_F(RunTest, SwitchFallsThrough) {
  Run("r = \"\"\nSwitch 2\nCase 1\n r = r : \"1\"\nCase 2\n r = r : \"2\"\nCase 3\n r = r : \"3\"\nEndSwitch\n"
      "q = \"\"\nSelect 3\nCase 3\n q = \"three\"\n Break\nCase 4\n q = \"four\"\nEndSelect\n");
  EXPECT_EQ(boxes, 0) << boxText;
  EXPECT_EQ(Var("r"), "23");
  EXPECT_EQ(Var("q"), "three");
  Run("Switch 1.5\nEndSwitch\n");
  EXPECT_NE(boxText.find("3364"), std::string::npos) << boxText;
}

TEST_F(RunTest, NestingLimit) {
  std::string ok, bad;
  for (int i = 0; i < 100; ++i) ok += "If 1\n";
  ok += "deep = 1\n";
  for (int i = 0; i < 100; ++i) ok += "EndIf\n";
  Run(ok);
  EXPECT_EQ(boxes, 0) << boxText;
  EXPECT_EQ(Var("deep"), "1");
  for (int i = 0; i < 101; ++i) bad += "If 1\n";
  Run(bad);
  EXPECT_NE(boxText.find("3353"), std::string::npos) << boxText;
}

TEST_F(RunTest, GosubAndGoto) {
  Run("x = 0\nGoSub add\nGoSub add\nGoTo done\nx = 100\n:add\nx = x + 1\nReturn\n:done y = x\n");
  EXPECT_EQ(boxes, 0) << boxText;
  EXPECT_EQ(Var("x"), "2");
  EXPECT_EQ(Var("y"), "2");
  Run("GoSub sub\nExit\n:sub\nReturn 5\n");
  EXPECT_NE(boxText.find("1760"), std::string::npos) << boxText;
  Run("GoTo nowhere\n");
  EXPECT_NE(boxText.find("3033"), std::string::npos) << boxText;
}

TEST_F(RunTest, RewrittenAndSubstitutedJumps) {
  // The loop's GoTo is rewritten on its first run and jumps directly later;
  // a substituted label is searched anew each time and can change.
  Run("n = 0\n:again\nn = n + 1\nIf n < 5 Then GoTo again\n"
      "lbl = \"one\"\nhits = \"\"\n:back\nGoTo %lbl%\n:one\nhits = hits : \"1\"\nlbl = \"two\"\nGoTo back\n"
      ":two\nhits = hits : \"2\"\n");
  EXPECT_EQ(boxes, 0) << boxText;
  EXPECT_EQ(Var("n"), "5");
  EXPECT_EQ(Var("hits"), "12");
}

TEST_F(RunTest, LineLengthLimit) {
  std::string v2048 = "v = \"" + std::string(2042, 'a') + "\"";
  ASSERT_EQ(v2048.size(), 2048u);
  Run(v2048 + "\nok = 1\n");
  EXPECT_EQ(boxes, 0) << boxText;
  EXPECT_EQ(Var("ok"), "1");
  // The blank a CR LF leaves before the line feed is a 2,049th character
  // that still runs.
  Run(v2048 + "\r\nok2 = 1\r\n");
  EXPECT_EQ(boxes, 0) << boxText;
  EXPECT_EQ(Var("ok2"), "1");
  Run("early = 1\n" + v2048 + "x\nlate = 1\n");
  EXPECT_EQ(Var("early"), "1") << "the long line fails only when it is reached";
  EXPECT_NE(boxText.find("3722"), std::string::npos) << boxText;
  EXPECT_EQ(Var("late"), "<none>");
}

TEST_F(RunTest, PercentSubstitution) {
  Run("name = \"world\"\ns = \"hello %name%\"\np = \"100%%\"\nu = \"[%nosuch%]\"\n");
  EXPECT_EQ(boxes, 0) << boxText;
  EXPECT_EQ(Var("s"), "hello world");
  EXPECT_EQ(Var("p"), "100%");
  EXPECT_EQ(Var("u"), "[]");
  Run("w = \"50% off\"\n");
  EXPECT_NE(boxText.find("3048"), std::string::npos) << boxText;
}

TEST_F(RunTest, EncodingsAndControlBytes) {
  // UTF-16 with its mark, UTF-8 with its mark: the same script as ANSI.
  std::string utf16 = "\xff\xfe";
  for (char c : std::string("u16 = 7\r\n")) utf16 += std::string(1, c) + '\0';
  Run(utf16);
  EXPECT_EQ(Var("u16"), "7");
  Run("\xef\xbb\xbfu8 = 8\r\n");
  EXPECT_EQ(Var("u8"), "8");
  // Byte 26 ends a line; what follows is the next line.
  Run("z1 = 1\x1az2 = 2\n");
  EXPECT_EQ(Var("z1"), "1");
  EXPECT_EQ(Var("z2"), "2");
}

TEST_F(RunTest, ExitAndErrorsEndTheRun) {
  Run("a1 = 1\nExit\na1 = 2\n");
  EXPECT_EQ(boxes, 0);
  EXPECT_EQ(Var("a1"), "1");
  Run("b1 = 1\nb1 = 1 / 0\nb1 = 2\n");
  EXPECT_EQ(boxes, 1);
  EXPECT_NE(boxText.find("3062"), std::string::npos) << boxText;
  EXPECT_EQ(Var("b1"), "0");
}

}  // namespace
}  // namespace zel::test
