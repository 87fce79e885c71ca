// User-defined functions: definition lines and their records, the table's
// blocks and limit, lookup by name, calls and what they leave behind, and
// parameter lines.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "builtins/functable.h"
#include "ctxfixture.h"
#include "exec/udf.h"
#include "script/paths.h"
#include "script/scramble.h"
#include "script/script.h"
#include "values/array.h"
#include "values/heap.h"
#include "values/variables.h"

namespace zel::test {
namespace {

constexpr char kMainPath[] = "C:\\scripts\\main.zlt";

class UdfTest : public ContextTest {
 protected:
  void SetUp() override {
    ContextTest::SetUp();
    ctx->silentMode = 1;  // reports go to no log: nothing waits for a click
    ctx->logFile[0] = 0;
    ctx->includeMode = 0;
    strcpy(ctx->scriptPath, kMainPath);
  }

  // Runs a script text as a host's run would; the error it ended with.
  uint16_t RunText(const std::string& text) { return RunScript(text); }

  // The token code of the word at the start of `text` (-1 when it is no keyword).
  int CodeOf(const char* text) {
    lex::SetLine(ctx, text);
    lex::GetToken(ctx);
    int code = ctx->tokenKind == lex::kTokKeyword ? ctx->tokenCode : -1;
    ctx->error = 0;
    return code;
  }

  std::string Var(const char* name) {
    char buf[256];
    return vars::AsText(ctx, name, buf, sizeof buf) ? buf : "<none>";
  }

  const UdfRecord* Record(int i) { return ctx->udfRecords[i]; }
};

std::string Definitions(int from, int count) {
  std::string text;
  for (int i = from; i < from + count; ++i)
    text += "#DefineFunction f" + std::to_string(i) + "()\nReturn " + std::to_string(i) +
            "\n#EndFunction\n";
  return text;
}

// ---- definition lines

TEST_F(UdfTest, ADefinitionRecordsItsNameParametersSourceAndScrambledBody) {
  std::string text =
      "x = 1\n#DefineFunction  MyFunc ( First, second\t)  ; note\nReturn First\n  y = 2\n"
      "#EndFunction\nx = 2\n";
  ASSERT_EQ(RunText(text), 0);
  ASSERT_EQ(ctx->udfCount, 1);
  const UdfRecord* r = Record(0);
  EXPECT_STREQ(r->name, "myfunc");
  EXPECT_EQ(r->nameLen, 6);
  EXPECT_EQ(r->paramCount, 2);
  EXPECT_STREQ(r->params[0], "First") << "parameters are kept as written";
  EXPECT_STREQ(r->params[1], "second");
  EXPECT_EQ(r->subroutine, 0u);
  EXPECT_EQ(r->assignTarget, ~0u);
  EXPECT_STREQ(r->sourceFile, kMainPath);
  ASSERT_NE(r->body, nullptr);
  size_t start = text.find("Return");
  EXPECT_EQ(r->bodyStart, start);
  EXPECT_EQ(r->bodyLength, text.find("#EndFunction") - start);
  // The body is the script's bytes, scrambled for their script positions,
  // then a NUL scrambled for the position after them.
  auto* body = static_cast<uint8_t*>(GlobalLock(r->body));
  std::string decoded;
  for (uint32_t i = 0; i < r->bodyLength; ++i)
    decoded += static_cast<char>(scramble::Decode(body[i], r->bodyStart + i));
  EXPECT_EQ(decoded, "Return First\n  y = 2\n");
  EXPECT_EQ(scramble::Decode(body[r->bodyLength], r->bodyStart + r->bodyLength), 0);
  GlobalUnlock(r->body);
  EXPECT_EQ(Var("x"), "2") << "the lines around the definition ran; the body did not";
  EXPECT_EQ(Var("y"), "<none>");
}

TEST_F(UdfTest, DefinitionLineSyntax) {
  const std::string name30(30, 'n'), name31(31, 'n');
  std::string sixteen = "p1", seventeen;
  for (int i = 2; i <= 16; ++i) sixteen += ",p" + std::to_string(i);
  seventeen = sixteen + ",p17";
  struct Case {
    std::string line;
    uint16_t error;
  } cases[] = {
      {"#DefineFunction a()", 0},
      {"#DefineFunction b( )", 0},
      {"#DefineFunction\tc\t(\tx\t)\t", 0},
      {"#DefineFunction d() ; comment", 0},
      {"#DefineFunction " + name30 + "()", 0},
      {"#DefineFunction e(" + name30 + ")", 0},
      {"#DefineFunction g(" + sixteen + ")", 0},
      {"#DefineFunction", 3624},
      {"#DefineFunction ()", 3624},
      {"#DefineFunction h", 3624},
      {"#DefineFunction h x()", 3624},
      {"#DefineFunction h(a", 3624},
      {"#DefineFunction h(a,)", 3624},
      {"#DefineFunction h(,a)", 3624},
      {"#DefineFunction h(a b)", 3624},
      {"#DefineFunction h() x", 3624},
      {"#DefineFunction " + name31 + "()", 3624},
      {"#DefineFunction h(" + name31 + ")", 3624},
      {"#DefineFunction h(" + seventeen + ")", 3624},
      {"#DefineSubroutine s(a", 3692},
      {"#definesubroutine t()", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunText(c.line + "\n#EndFunction\n"), c.error) << c.line;
    EXPECT_EQ(ctx->inDefinition, 0) << c.line;
  }
  EXPECT_EQ(ctx->udfCount, 8);
  uint16_t len = 0;
  EXPECT_EQ(fn::ArgCounts(ctx, kUdfIdBase + 6).required, 16);
  EXPECT_STREQ(fn::NameOf(ctx, kUdfIdBase + 7, &len), "t");
  EXPECT_EQ(Record(7)->subroutine, 1u);
}

TEST_F(UdfTest, EndLinesAndNesting) {
  EXPECT_EQ(RunText("#EndFunction\n"), 3625);
  EXPECT_EQ(RunText("#EndSubroutine\n"), 3693);
  EXPECT_EQ(RunText("#DefineFunction a()\n#DefineFunction b()\n#EndFunction\n"), 3623);
  EXPECT_EQ(RunText("#DefineSubroutine a()\n#DefineSubroutine b()\n#EndFunction\n"), 3691);
  EXPECT_EQ(ctx->inDefinition, 0) << "a definition error ends the run and the open definition";
  EXPECT_EQ(ctx->udfCount, 0) << "no definition was completed";
  EXPECT_EQ(RunText("#DefineFunction open()\nx = 1\n"), 3723);
  EXPECT_EQ(ctx->inDefinition, 0) << "the open definition ends with its run";
  EXPECT_EQ(RunText("#DefineSubroutine mixed()\n#EndFunction\n"), 0)
      << "the end keywords are not matched to the definition keywords";
  EXPECT_EQ(ctx->udfCount, 1);
  EXPECT_EQ(Record(0)->subroutine, 1u);
}

TEST_F(UdfTest, ASecondDefinitionOfANameIsIgnored) {
  ASSERT_EQ(RunText("#DefineFunction twice(a)\nReturn 1\n#EndFunction\n"
                    "#DefineFunction TWICE(a, b)\nReturn 2\n#EndFunction\n"),
            0);
  EXPECT_EQ(ctx->udfCount, 1);
  EXPECT_EQ(Record(0)->paramCount, 1);
  EXPECT_EQ(ctx->dupDefinition, 0);
  EXPECT_EQ(RunText("r = twice(0)\n"), 0);
  EXPECT_EQ(Var("r"), "1");
}

TEST_F(UdfTest, TheTableGrowsInBlocksOf16UpTo512) {
  EXPECT_EQ(ctx->udfHighBlock, -1);
  ASSERT_EQ(RunText(Definitions(0, 16)), 0);
  EXPECT_EQ(ctx->udfHighBlock, 0);
  EXPECT_EQ(ctx->udfRecords[16], nullptr);
  ASSERT_EQ(RunText(Definitions(16, 1)), 0);
  EXPECT_EQ(ctx->udfHighBlock, 1);
  ASSERT_EQ(RunText(Definitions(17, kUdfMax - 17)), 0);
  EXPECT_EQ(ctx->udfCount, kUdfMax);
  EXPECT_EQ(ctx->udfHighBlock, kUdfBlocks - 1);
  EXPECT_EQ(RunText(Definitions(kUdfMax, 1)), 3626);
  EXPECT_EQ(RunText(Definitions(0, 1)), 3626) << "the limit comes before the duplicate test";
  EXPECT_EQ(ctx->udfCount, kUdfMax);
  EXPECT_EQ(CodeOf("f511()"), kUdfIdBase + 511);
  EXPECT_EQ(RunText("r = f511() + f0()\n"), 0);
  EXPECT_EQ(Var("r"), "511");
}

TEST_F(UdfTest, LookupFindsTheLongestDefinedNameAfterTheBuiltIns) {
  ASSERT_EQ(RunText("#DefineFunction go()\n#EndFunction\n#DefineFunction gone(a)\n#EndFunction\n"
                    "#DefineFunction abs(a)\n#EndFunction\n"),
            0);
  EXPECT_EQ(CodeOf("gone(1)"), kUdfIdBase + 1);
  EXPECT_EQ(CodeOf("GO()"), kUdfIdBase + 0);
  EXPECT_EQ(CodeOf("goner()"), -1) << "a longer word is a variable name";
  int builtin = CodeOf("abs(1)");
  EXPECT_TRUE(builtin >= 0 && builtin < kKeyTokens) << "the built-in wins";
  uint16_t len = 0;
  const char* builtinName = fn::NameOf(ctx, builtin, &len);
  EXPECT_EQ(std::string(builtinName, len), "abs");
  EXPECT_EQ(fn::KindOf(ctx, kUdfIdBase + 1), KIND_FUNCTION);
  EXPECT_EQ(fn::ArgCounts(ctx, kUdfIdBase + 1).required, 1);
  EXPECT_EQ(fn::ArgCounts(ctx, kUdfIdBase + 1).optional, 0);
  EXPECT_EQ(fn::ArgTypes(ctx, kUdfIdBase + 1), kAllArgsAny);
  const char* name = fn::NameOf(ctx, kUdfIdBase + 1, &len);
  EXPECT_EQ(std::string(name, len), "gone");
  fn::NameOf(ctx, kUdfIdBase + 3, &len);
  EXPECT_EQ(len, 0) << "no fourth definition";
}

TEST_F(UdfTest, FreeingTheDefinitionsEmptiesTheTable) {
  ASSERT_EQ(RunText(Definitions(0, 20)), 0);
  exec::FreeDefinitions(ctx);
  EXPECT_EQ(ctx->udfCount, 0);
  EXPECT_EQ(ctx->udfHighBlock, -1);
  EXPECT_EQ(ctx->udfBlocks[0], nullptr);
  EXPECT_EQ(ctx->udfRecords[19], nullptr);
  EXPECT_EQ(CodeOf("f1()"), -1);
  ASSERT_EQ(RunText(Definitions(5, 1)), 0) << "the table starts again";
  EXPECT_EQ(CodeOf("f5()"), kUdfIdBase);
}

// ---- calls

// A one-dimensional array of integer elements, made the way array blocks
// are: one movable block, locked once by its maker.
ArrayBlock* MakeArray(int32_t first, int32_t second) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(ArrayBlock) + 2 * sizeof(ElementCell));
  auto* b = static_cast<ArrayBlock*>(GlobalLock(h));
  b->dims = 1;
  b->sizes[0] = 2;
  b->count = 2;
  b->dataSize = 2 * sizeof(ElementCell);
  b->data = reinterpret_cast<AddrWord>(reinterpret_cast<char*>(b) + sizeof(ArrayBlock));
  val::InitCell(&arr::Elements(b)[0].v, first);
  val::InitCell(&arr::Elements(b)[1].v, second);
  return b;
}

TEST_F(UdfTest, AnArrayReturnedFromALocalVariableOutlivesTheFunction) {
  ASSERT_EQ(RunText("#DefineFunction pass(a)\nkeep = a\nReturn a\n#EndFunction\n"), 0);
  ArrayBlock* b = MakeArray(42, 43);
  HGLOBAL h = GlobalHandle(b);
  Value args[2];
  val::InitValue(&args[0], 0);
  val::InitValue(&args[1], 0);
  args[1].flags = kFlagArray;
  args[1].str = reinterpret_cast<AddrWord>(b);
  Value result;
  val::InitValue(&result, 0);
  ASSERT_TRUE(exec::CallUdf(ctx, kUdfIdBase, &result, args, 1));
  // Two local variables held it; they are gone, and the block is still there
  // with its maker's lock: the caller's statement decides whether a variable
  // takes it.
  EXPECT_EQ(GlobalFlags(h) & (GMEM_LOCKCOUNT | GMEM_INVALID_HANDLE), 1u);
  ASSERT_TRUE(result.flags & kFlagArray);
  EXPECT_EQ(arr::BlockOf(&result), b);
  EXPECT_EQ(arr::Elements(b)[1].v.ival, 43);
  EXPECT_EQ(result.owner_frame, kOwnerNone) << "the result names no variable of the gone frame";
  EXPECT_EQ(result.owner_var, kOwnerNone);
  arr::Release(ctx, &result, true);
}

TEST_F(UdfTest, ACallLeavesNoFrameStructureOrStateBehind) {
  ASSERT_EQ(RunText("#DefineFunction f(a)\nIf 1\nWhile 1\nlocal = a\nReturn local : \"!\"\n"
                    "#EndFunction\n"),
            0);
  ctx->pendingElse = 1;
  ctx->inLoop = 1;
  strcpy(ctx->lineBuf, "f(5) + 1 rest");  // the body's lines pass through the same buffer
  lex::SetLine(ctx, ctx->lineBuf);
  lex::GetToken(ctx);
  const char* prog = ctx->prog;
  Value args[2];
  val::InitValue(&args[0], 0);
  val::InitValue(&args[1], 7);
  Value result;
  val::InitValue(&result, 0);
  ASSERT_TRUE(exec::CallUdf(ctx, kUdfIdBase, &result, args, 1));
  EXPECT_STREQ(heap::At(ctx, static_cast<uint32_t>(result.str)), "7!");
  expr::ResetValue(ctx, &result, 0);
  EXPECT_EQ(ctx->structDepth, 0) << "the If and While the body left open are dropped";
  EXPECT_EQ(ctx->frameNumber, 0);
  EXPECT_EQ(ctx->frames[1].table, nullptr) << "the function's frame is freed";
  EXPECT_EQ(ctx->udfNesting, 0);
  EXPECT_EQ(ctx->udfExecuting, kMainScript);
  EXPECT_EQ(ctx->inUdfBody, 0u);
  EXPECT_EQ(ctx->bodyBase, 0u);
  EXPECT_EQ(ctx->pendingElse, 1);
  EXPECT_EQ(ctx->inLoop, 1);
  EXPECT_STREQ(ctx->lineBuf, "f(5) + 1 rest") << "the caller's statement is back";
  EXPECT_EQ(ctx->prog, prog);
  EXPECT_EQ(Var("local"), "<none>");
  EXPECT_EQ(Var("a"), "<none>");
}

TEST_F(UdfTest, ErrorsInsideTheBodyBecome9015AndSetupErrorsStay) {
  ASSERT_EQ(RunText("#DefineFunction bad()\nx = 1 / 0\n#EndFunction\n"
                    "#DefineFunction leave()\nExit\n#EndFunction\n"
                    "#DefineFunction fine()\nReturn 1\n#EndFunction\n"),
            0);
  Value result;
  val::InitValue(&result, 0);
  EXPECT_FALSE(exec::CallUdf(ctx, kUdfIdBase, &result, nullptr, 0));
  EXPECT_EQ(ctx->error, 9015) << "reported inside; the caller stops without a second report";
  EXPECT_EQ(ctx->reportedError, 3062u);
  ctx->error = 0;
  EXPECT_FALSE(exec::CallUdf(ctx, kUdfIdBase + 1, &result, nullptr, 0));
  EXPECT_EQ(ctx->error, 9000) << "Exit ends the whole run";
  ctx->error = 0;
  EXPECT_FALSE(exec::CallUdf(ctx, kUdfIdBase + 3, &result, nullptr, 0));
  EXPECT_EQ(ctx->error, 3627) << "no such definition";
  ctx->error = 0;
  // A full StructureStack: the call cannot start, and says why.
  ctx->structDepth = kStructFrames - 1;
  EXPECT_FALSE(exec::CallUdf(ctx, kUdfIdBase + 2, &result, nullptr, 0));
  EXPECT_EQ(ctx->error, 3353);
  ctx->structDepth = 0;
  ctx->error = 0;
  // Every variable frame taken: 1672.
  uint16_t taken[kVarFrames] = {};
  for (int i = 1; i < kVarFrames; ++i) taken[i] = vars::CreateFrame(ctx, 10);
  EXPECT_EQ(taken[kVarFrames - 1], kVarFrames - 1);
  EXPECT_FALSE(exec::CallUdf(ctx, kUdfIdBase + 2, &result, nullptr, 0));
  EXPECT_EQ(ctx->error, 1672);
  EXPECT_EQ(ctx->structDepth, 0);
  for (int i = 1; i < kVarFrames; ++i) vars::FreeFrame(ctx, taken[i]);
  ctx->error = 0;
  EXPECT_TRUE(exec::CallUdf(ctx, kUdfIdBase + 2, &result, nullptr, 0));
  EXPECT_EQ(result.ival, 1);
}

// ---- the file search of Call

class CallFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmp[MAX_PATH], cwd[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, tmp), 0u);
    ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, cwd), 0u);
    cwd_ = cwd;
    dir_ = std::string(tmp) + "zel_call_test_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir_.c_str(), nullptr);
    CreateDirectoryA((dir_ + "\\sub").c_str(), nullptr);
    Touch(dir_ + "\\sub\\called.zlt");
    Touch(dir_ + "\\onpath_zel.zlt");
    DWORD n = GetEnvironmentVariableA("PATH", nullptr, 0);
    path_.resize(n);
    if (n) GetEnvironmentVariableA("PATH", &path_[0], n);
  }
  void TearDown() override {
    SetCurrentDirectoryA(cwd_.c_str());
    SetEnvironmentVariableA("PATH", path_.c_str());
    DeleteFileA((dir_ + "\\sub\\called.zlt").c_str());
    DeleteFileA((dir_ + "\\onpath_zel.zlt").c_str());
    RemoveDirectoryA((dir_ + "\\sub").c_str());
    RemoveDirectoryA(dir_.c_str());
  }
  static void Touch(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);
  }
  static std::string Lower(std::string s) {
    CharLowerBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
  }
  std::string dir_, cwd_, path_;
};

TEST_F(CallFileTest, NamesWithAFolderAreRelativeToTheCurrentDirectory) {
  char found[kMaxPathLen];
  std::string full = dir_ + "\\sub\\called.zlt";
  ASSERT_TRUE(script::FindCallFile(full.c_str(), found));
  EXPECT_EQ(Lower(found), Lower(full));
  ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
  ASSERT_TRUE(script::FindCallFile("sub\\called.zlt", found));
  EXPECT_EQ(Lower(found), Lower(full)) << "the full path is what runs";
  EXPECT_FALSE(script::FindCallFile("sub\\nosuch.zlt", found));
  EXPECT_FALSE(script::FindCallFile("sub", found)) << "a folder is no script";
  EXPECT_FALSE(script::FindCallFile("", found));
}

TEST_F(CallFileTest, ABareNameIsSearchedOnThePathThenInTheCurrentDirectory) {
  char found[kMaxPathLen];
  EXPECT_FALSE(script::FindCallFile("onpath_zel.zlt", found));
  std::string withDir = dir_ + ";" + path_;
  SetEnvironmentVariableA("PATH", withDir.c_str());
  ASSERT_TRUE(script::FindCallFile("onpath_zel.zlt", found));
  EXPECT_EQ(Lower(found), Lower(dir_ + "\\onpath_zel.zlt"));
  SetEnvironmentVariableA("PATH", path_.c_str());
  ASSERT_TRUE(SetCurrentDirectoryA((dir_ + "\\sub").c_str()));
  ASSERT_TRUE(script::FindCallFile("called.zlt", found));
  EXPECT_EQ(Lower(found), Lower(dir_ + "\\sub\\called.zlt"));
}

// ---- parameter lines

TEST_F(UdfTest, AParameterLineSetsParam0AndTheWords) {
  EXPECT_EQ(exec::SetParamLine(ctx, "one 'two three'\tfour"), 3);
  EXPECT_EQ(Var("param0"), "3");
  EXPECT_EQ(Var("param1"), "one");
  EXPECT_EQ(Var("param2"), "two three");
  EXPECT_EQ(Var("param3"), "four");
  EXPECT_EQ(exec::SetParamLine(ctx, "a\"b c\"d `x``y` 'it''s'\"q\" \"open"), 4);
  EXPECT_EQ(Var("param1"), "ab cd");
  EXPECT_EQ(Var("param2"), "x`y");
  EXPECT_EQ(Var("param3"), "it'sq");
  EXPECT_EQ(Var("param4"), "open");
  EXPECT_EQ(exec::SetParamLine(ctx, "  solo  "), 1);
  EXPECT_EQ(Var("param1"), "solo");
  EXPECT_EQ(Var("param2"), "<none>") << "words of the earlier line are dropped";
  EXPECT_EQ(Var("param4"), "<none>");
  EXPECT_EQ(exec::SetParamLine(ctx, ""), 0);
  EXPECT_EQ(Var("param0"), "0");
  EXPECT_EQ(Var("param1"), "<none>");
}

TEST_F(UdfTest, OnlyAnIntegerParam0SaysWhatToDrop) {
  EXPECT_EQ(exec::SetParamLine(ctx, "a b c"), 3);
  ValueCell text{};
  text.str = heap::StoreText(ctx, "3", 1);
  text.flags = kFlagString;
  vars::Define(ctx, "param0", &text);
  val::FreeValue(ctx, &text, val::kVarCell);
  EXPECT_EQ(exec::SetParamLine(ctx, "x"), 1);
  EXPECT_EQ(Var("param3"), "c") << "a text in param0 counts as no parameters";
  // A count far beyond the table is bounded by it.
  ValueCell huge;
  val::InitCell(&huge, 2000000000);
  vars::Define(ctx, "param0", &huge);
  EXPECT_EQ(exec::SetParamLine(ctx, "y"), 1);
  EXPECT_EQ(Var("param3"), "<none>");
}

TEST_F(UdfTest, TheUtf16FormStoresUtf16Words) {
  EXPECT_EQ(exec::SetParamLine(ctx, L"\x263A 'b c'"), 2);
  uint16_t slot = vars::Lookup(ctx, "param2");
  ASSERT_NE(slot, vars::kNoSlot);
  const ValueCell& v = ctx->vars[slot].v;
  ASSERT_EQ(v.flags, kFlagUnicode);
  EXPECT_STREQ(heap::WideAt(ctx, v.wstr), L"b c");
  slot = vars::Lookup(ctx, "param1");
  EXPECT_STREQ(heap::WideAt(ctx, ctx->vars[slot].v.wstr), L"\x263A");
  EXPECT_EQ(Var("param0"), "2");
}

}  // namespace
}  // namespace zel::test
