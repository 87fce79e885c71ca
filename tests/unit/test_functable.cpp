// Keyword and function table and keyword lookup: the table's shape and fixed
// IDs, signatures and constants, the first-character index and its
// diagnostics, and lookups of words, operators, object references and host names.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "boxcloser.h"
#include "builtins/functable.h"
#include "ctxfixture.h"
#include "host/process.h"
#include "lexer/lookup.h"

namespace zel::test {
namespace {

std::string NameOf(const FunctionTableEntry& e) { return std::string(e.name, e.nameLen); }

// The test's own linear search, independent of the index under test.
int IdOf(const std::string& name) {
  for (int i = 0; i < kKeyTokens; ++i)
    if (NameOf(kBuiltinTable[i]) == name) return i;
  return -1;
}

std::set<std::string> NamesOfKind(uint32_t kind) {
  std::set<std::string> names;
  for (const FunctionTableEntry& e : kBuiltinTable)
    if (e.kind == kind) names.insert(NameOf(e));
  return names;
}

// ---- the table itself

TEST(FuncTable, IdsEqualIndexesAndNamesAreSortedLowerCase) {
  for (int i = 0; i < kKeyTokens; ++i) {
    const FunctionTableEntry& e = kBuiltinTable[i];
    SCOPED_TRACE(NameOf(e));
    EXPECT_EQ(e.id, uint32_t(i));
    ASSERT_GT(e.nameLen, 0);
    ASSERT_LT(e.nameLen, kFuncNameSize);
    EXPECT_EQ(strlen(e.name), e.nameLen);  // NUL-padded after the name
    for (char c : NameOf(e)) EXPECT_FALSE(c >= 'A' && c <= 'Z');
    if (i > 0) {
      EXPECT_LT(NameOf(kBuiltinTable[i - 1]), NameOf(e));
    }
  }
}

TEST(FuncTable, KindsHoldTheirMembers) {
  using Names = std::set<std::string>;
  struct Row {
    uint32_t kind;
    Names members;
  } rows[] = {
      {KIND_OPERATOR, {"&&", "(", ")", "**", ",", "/", ":", "::", "<<", "=", ">>", "[", "]", "^",
                       "by", "mod", "|", "||"}},
      {KIND_UNARY_OPERATOR, {"!", "&", "*", "+", "-", "~"}},
      {KIND_COMMAND, {"beep", "execute", "exit", "goto", "yield"}},
      {KIND_COMPARISON, {"!=", "<", "<=", "<>", "==", ">", ">="}},
      {KIND_SPECIAL_FORM, {"?makepointer", "drop", "isdefined", "objecttypeget", "ptrglobal",
                           "ptrglobaldefine", "ptrglobaltest", "ptrpersistent", "vartype"}},
      {KIND_STRUCTURE, {"break", "case", "continue", "else", "end", "endfor", "endif", "endselect",
                        "endswitch", "endwhile", "for", "foreach", "gosub", "if", "next", "return",
                        "select", "switch", "then", "to", "while"}},
  };
  for (const Row& r : rows) EXPECT_EQ(NamesOfKind(r.kind), r.members) << "kind " << r.kind;

  Names constants = NamesOfKind(KIND_CONSTANT);
  EXPECT_EQ(constants.size(), 99u);
  for (const std::string& n : constants) EXPECT_EQ(n[0], '@') << n;
  EXPECT_EQ(NamesOfKind(KIND_FUNCTION).size(), 466u);
  EXPECT_EQ(NamesOfKind(KIND_FUNCTION).count("?oleobject"), 1u);
}

TEST(FuncTable, FixedIds) {
  const char* ops[] = {"!", "!=", "&", "&&", "(", ")", "*", "**", "+", ",", "-", "/",
                       ":", "::", "<", "<<", "<=", "<>", "=", "==", ">", ">=", ">>"};
  for (int code = 0; code < 23; ++code) EXPECT_EQ(IdOf(ops[code]), code) << ops[code];
  struct {
    const char* name;
    int id;
  } fixed[] = {
      {"?ddeserver", 23}, {"?getviapointer", 24}, {"?makepointer", 25}, {"?oleobject", 26},
      {"?setviapointer", 27}, {"[", 127}, {"]", 128}, {"^", 129}, {"about", 130}, {"abs", 131},
      {"call", 217}, {"chrunicodetostring", 228}, {"clipappend", 229}, {"for", 361},
      {"foreach", 362}, {"ignoreinput", 373}, {"inidelete", 374}, {"mod", 411},
      {"strbytecount", 521}, {"strcat", 522}, {"switch", 550}, {"while", 582}, {"yields", 627},
      {"|", 628}, {"||", 629}, {"~", 630},
  };
  for (const auto& f : fixed) EXPECT_EQ(IdOf(f.name), f.id) << f.name;
}

TEST(FuncTable, OperatorKindsOfTheTokenizer) {
  const uint32_t U = KIND_UNARY_OPERATOR, C = KIND_COMPARISON, O = KIND_OPERATOR;
  const uint32_t kinds[23] = {U, C, U, O, O, O, U, O, U, O, U, O, O, O, C, O, C, C, O, C, C, C, O};
  for (int code = 0; code < 23; ++code) EXPECT_EQ(kBuiltinTable[code].kind, kinds[code]) << code;
  EXPECT_EQ(kBuiltinTable[kIdOleObject].kind, KIND_FUNCTION);
  EXPECT_EQ(kBuiltinTable[kIdMod].kind, KIND_OPERATOR);
  EXPECT_EQ(kBuiltinTable[kIdBitNot].kind, KIND_UNARY_OPERATOR);
}

uint64_t Pack(const std::vector<uint32_t>& codes) {
  uint64_t w = 0;
  for (size_t i = 0; i < codes.size(); ++i) w |= uint64_t(codes[i]) << (4 * i);
  return w;
}

TEST(FuncTable, SignaturesOfCharacteristicFunctions) {
  struct {
    const char* name;
    int required, optional;
    std::vector<uint32_t> types;
  } rows[] = {
      {"strsub", 3, 0, {6, 0, 0}},        {"strindex", 4, 0, {6, 6, 0, 0}},
      {"itemextract", 3, 0, {0, 6, 6}},   {"fileopen", 2, 2, {5, 1, 0, 0}},
      {"filewrite", 2, 0, {0, 6}},        {"display", 3, 0, {0, 8, 8}},
      {"intcontrol", 5, 0, {0, 1, 1, 1, 1}}, {"arrinfo", 2, 0, {15, 0}},
      {"arrayfileput", 2, 1, {1, 3, 0}},  {"objectcreate", 1, 1, {5, 5}},
      {"acos", 1, 0, {2}},                {"run", 2, 0, {7, 7}},
      {"arrayswapelements", 11, 0, {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const auto& r : rows) {
    int id = IdOf(r.name);
    ASSERT_GE(id, 0) << r.name;
    const FunctionTableEntry& e = kBuiltinTable[id];
    EXPECT_EQ(e.kind, KIND_FUNCTION) << r.name;
    EXPECT_EQ(e.args.counts.minArgs, r.required) << r.name;
    EXPECT_EQ(e.args.counts.optArgs, r.optional) << r.name;
    EXPECT_EQ(e.argTypes, Pack(r.types)) << r.name;
  }
}

TEST(FuncTable, SelfParsedFunctionsAreExactlyTheListedOnes) {
  std::set<std::string> found;
  for (const FunctionTableEntry& e : kBuiltinTable) {
    if (e.kind != KIND_FUNCTION || e.args.counts.minArgs != kSelfParsed) continue;
    found.insert(NameOf(e));
    EXPECT_EQ(e.args.counts.optArgs, 0) << NameOf(e);
    EXPECT_EQ(e.argTypes, 0u) << NameOf(e);
  }
  std::set<std::string> listed = {"?oleobject", "average", "dllcall", "dllcallcdecl",
                                  "getobject",  "max",     "min",     "objectget",
                                  "objecttype", "strcat",  "winclosenot"};
  EXPECT_EQ(found, listed);
}

TEST(FuncTable, EveryFunctionFitsTheArgumentSlots) {
  for (const FunctionTableEntry& e : kBuiltinTable) {
    if (e.kind != KIND_FUNCTION || e.args.counts.minArgs == kSelfParsed) continue;
    int total = e.args.counts.minArgs + e.args.counts.optArgs;
    EXPECT_LE(total, kMaxArgs) << NameOf(e);
    EXPECT_EQ(e.args.counts.zero, 0) << NameOf(e);
    for (int n = total; n < kMaxArgs; ++n)  // no type code past the last argument
      EXPECT_EQ((e.argTypes >> (4 * n)) & 15, 0u) << NameOf(e) << " argument " << n + 1;
    for (int n = 0; n < total; ++n) {  // codes 4 and 9..14 never occur built in
      uint64_t code = (e.argTypes >> (4 * n)) & 15;
      EXPECT_TRUE((code <= 8 && code != 4) || code == 15) << NameOf(e) << " code " << code;
    }
  }
}

// ---- @constants

TEST(FuncTable, ConstantEncodings) {
  struct {
    const char* name;
    uint32_t value;
  } rows[] = {
      {"@pi", 0xF0F0F000},     {"@e", 0xF0F0F001},       {"@lightmps", 0xF0F0F013},
      {"@crlf", 0xFFF0F000},   {"@tab", 0xFFF0F001},     {"@lf", 0xFFF0F003},
      {"@true", 1},            {"@false", 0},            {"@hidden", 0xFFFFFFFF},
      {"@regclasses", 0x80000000}, {"@regusers", 0x80000003}, {"@aboveicons", 1000000001},
      {"@wholesection", 692837},   {"@mplayrdblck", 1024},    {"@scrolllock", 145},
  };
  for (const auto& r : rows) {
    int id = IdOf(r.name);
    ASSERT_GE(id, 0) << r.name;
    EXPECT_EQ(kBuiltinTable[id].kind, KIND_CONSTANT) << r.name;
    EXPECT_EQ(kBuiltinTable[id].args.constValue, r.value) << r.name;
  }
}

TEST(FuncTable, DecodedConstants) {
  auto decode = [](const char* name) {
    return fn::DecodeConstant(kBuiltinTable[IdOf(name)].args.constValue);
  };
  struct {
    const char* name;
    double value;
  } floats[] = {{"@pi", 3.141592653589793}, {"@e", 2.718281828459045},
                {"@goldenratio", 1.618033988749895}, {"@avogadro", 6.02252e+23},
                {"@lightmps", 186272.0}};
  for (const auto& f : floats) {
    fn::ConstantValue c = decode(f.name);
    EXPECT_EQ(c.form, fn::ConstForm::kFloat) << f.name;
    EXPECT_EQ(c.real, f.value) << f.name;
  }
  struct {
    const char* name;
    const char* text;
  } texts[] = {{"@crlf", "\r\n"}, {"@tab", "\t"}, {"@cr", "\r"}, {"@lf", "\n"}};
  for (const auto& t : texts) {
    fn::ConstantValue c = decode(t.name);
    EXPECT_EQ(c.form, fn::ConstForm::kString) << t.name;
    EXPECT_EQ(std::string(c.text, c.textLen), t.text) << t.name;
  }
  struct {
    const char* name;
    int32_t value;
  } ints[] = {{"@hidden", -1}, {"@regclasses", INT32_MIN}, {"@noresize", 1000000000}, {"@ldblclick", 515}};
  for (const auto& i : ints) {
    fn::ConstantValue c = decode(i.name);
    EXPECT_EQ(c.form, fn::ConstForm::kInt) << i.name;
    EXPECT_EQ(c.integer, i.value) << i.name;
  }
}

TEST(FuncTable, ConstantIndexesOutsideTheListsAreEmpty) {
  fn::ConstantValue f = fn::DecodeConstant(kConstFloatTag | 20);
  EXPECT_EQ(f.form, fn::ConstForm::kFloat);
  EXPECT_EQ(f.real, 0.0);
  fn::ConstantValue s = fn::DecodeConstant(kConstStringTag | 4);
  EXPECT_EQ(s.form, fn::ConstForm::kString);
  EXPECT_EQ(s.textLen, 0u);
  EXPECT_STREQ(s.text, "");
  fn::ConstantValue i = fn::DecodeConstant(0xF0F0F100);  // the tag needs all 24 high bits
  EXPECT_EQ(i.form, fn::ConstForm::kInt);
  EXPECT_EQ(uint32_t(i.integer), 0xF0F0F100u);
}

// ---- the first-character index

TEST(QuickLook, IndexPointsAtEachFirstCharacter) {
  BoxCloser closer;
  uint32_t index[kQuickLookChars], copy[kQuickLookChars];
  lex::BuildQuickLook(kBuiltinTable, kKeyTokens, index, copy);
  EXPECT_EQ(closer.boxes(), 0);
  for (uint32_t c = 0; c < kQuickLookChars; ++c) {
    uint32_t expect = kKeyTokens;
    for (uint32_t i = 0; i < uint32_t(kKeyTokens); ++i)
      if (static_cast<unsigned char>(kBuiltinTable[i].name[0]) >= c) {
        expect = i;
        break;
      }
    EXPECT_EQ(index[c], expect) << "character " << c;
    EXPECT_EQ(copy[c], index[c]) << "character " << c;
  }
  EXPECT_EQ(index['@'], 28u);
  EXPECT_EQ(index['a'], 130u);
  EXPECT_EQ(index['~'], 630u);
  EXPECT_EQ(index[127], 631u);
}

FunctionTableEntry Record(uint32_t id, uint32_t kind, uint64_t types, ArgsOrValue args,
                          const char* name) {
  FunctionTableEntry e{id, kind, types, args, uint16_t(strlen(name)), {}};
  memcpy(e.name, name, e.nameLen < sizeof e.name ? e.nameLen : sizeof e.name);
  return e;
}

FunctionTableEntry Rec(uint32_t id, const char* name) {
  return Record(id, KIND_FUNCTION, 0, fn::NoArgs(), name);
}

TEST(QuickLook, RecordOutOfOrderShowsFsop782) {
  FunctionTableEntry t[] = {Rec(0, "beta"), Rec(1, "alpha"), Rec(2, "gamma")};
  BoxCloser closer;
  uint32_t index[kQuickLookChars], copy[kQuickLookChars];
  lex::BuildQuickLook(t, 3, index, copy);
  EXPECT_EQ(closer.boxes(), 1);
  EXPECT_EQ(closer.caption(), "FSOP782");
  EXPECT_EQ(closer.text(), "alpha");
  EXPECT_EQ(index['z'], 3u);  // the build went on to the end
}

TEST(QuickLook, IdThatIsNotItsIndexShowsFnp983) {
  FunctionTableEntry t[] = {Rec(0, "alpha"), Rec(9, "apple"), Rec(5, "beta"), Rec(3, "gamma")};
  BoxCloser closer;
  uint32_t index[kQuickLookChars], copy[kQuickLookChars];
  lex::BuildQuickLook(t, 4, index, copy);
  EXPECT_EQ(closer.boxes(), 1);  // "apple" does not start a first character
  EXPECT_EQ(closer.caption(), "FNP983");
  EXPECT_EQ(closer.text(), "beta");
  EXPECT_EQ(index['g'], 3u);
}

// ---- lookups

class LookupTest : public ContextTest {
 protected:
  // Runs one lookup; the ID found, or -1 (and the token code untouched).
  int Look(const char* text, int wholeWord) {
    ctx->prog = text;
    ctx->tokenCode = -7;
    int r = lex::LookupKeyword(ctx, wholeWord);
    EXPECT_EQ(ctx->prog, text);
    if (r == 0) {
      EXPECT_EQ(ctx->tokenCode, -7) << text;
      return -1;
    }
    EXPECT_EQ(r, 1);
    return ctx->tokenCode;
  }

  std::string Name(int id) {
    uint16_t len = 0;
    const char* name = fn::NameOf(ctx, id, &len);
    return std::string(name, len);
  }

  void AddVariable(const char* name, uint32_t flags) {
    VarRecord& r = ctx->vars[ctx->varInUse];
    snprintf(r.name, sizeof r.name, "%s", name);
    r.v.flags = flags;
    added_.push_back(ctx->varInUse++);
  }

  void TearDown() override {
    if (ctx) {
      for (uint16_t slot : added_) ctx->vars[slot] = VarRecord{};
      ctx->hostTable = nullptr;
    }
    ContextTest::TearDown();
  }

  std::vector<uint16_t> added_;
};

struct Case {
  const char* text;
  int wholeWord;
  int id;  // -1: no match
};

TEST_F(LookupTest, WordsMatchWholeAndWithoutRegardToCase) {
  const Case cases[] = {
      {"abs(1)", 1, 131}, {"Abs", 1, 131}, {"ABS (x)", 1, 131}, {"absx", 1, -1},
      {"abs_", 1, -1}, {"abs@", 1, -1}, {"abs1", 1, -1}, {"absx", 0, 131},
      {"if x", 1, kIdIf}, {"IF(", 1, kIdIf}, {"ifx", 1, -1}, {"mod 3", 1, kIdMod},
      {"MOD", 1, kIdMod}, {"model", 1, -1}, {"endif", 1, kIdEndIf}, {"end if", 1, kIdEnd},
      {"intcontrol(", 1, IdOf("intcontrol")}, {"int(", 1, IdOf("int")}, {"intc", 0, IdOf("int")},
      {"binaryincr2(", 1, IdOf("binaryincr2")}, {"binaryincr(", 1, IdOf("binaryincr")},
      {"log10(", 1, IdOf("log10")}, {"@TRUE", 1, IdOf("@true")}, {"@truex", 1, -1},
      {"@cr", 1, IdOf("@cr")}, {"@CrLf;", 1, IdOf("@crlf")}, {"@crx", 1, -1},
      {"regquerykeylastwritetime(", 1, IdOf("regquerykeylastwritetime")},
      {"yields", 1, kIdYields}, {"yield", 1, kIdYield},
  };
  for (const Case& c : cases) EXPECT_EQ(Look(c.text, c.wholeWord), c.id) << c.text;
}

TEST_F(LookupTest, OperatorsMatchTheLongestPrefix) {
  const Case cases[] = {
      {"<=1", 0, 16}, {"<1", 0, 14}, {"<<2", 0, 15}, {"<>", 0, 17}, {"**2", 0, 7},
      {"*2", 0, 6}, {"::", 0, 13}, {":x", 0, 12}, {"!=", 0, 1}, {"!x", 0, 0},
      {"==", 0, 19}, {"=1", 0, 18}, {">=", 0, 21}, {">>", 0, 22}, {">", 0, 20},
      {"&&", 0, 3}, {"&x", 0, 2}, {"||", 0, 629}, {"|x", 0, 628}, {"~1", 0, 630},
      {"[", 0, 127}, {"]", 0, 128}, {"^", 0, 129}, {"(", 0, 4}, {")", 0, 5},
      {"?oleobject", 0, 26}, {"?makepointer", 0, 25},
  };
  for (const Case& c : cases) EXPECT_EQ(Look(c.text, c.wholeWord), c.id) << c.text;
}

TEST_F(LookupTest, TextWithoutARecordMatchesNothing) {
  const Case cases[] = {
      {"", 0, -1}, {"#x", 0, -1}, {".5", 0, -1}, {"$", 0, -1}, {"\x7f", 0, -1},
      {"\xe9t\xe9", 1, -1}, {"abs\xe9", 1, -1},  // a letter of the ANSI code page follows
      {"zzz", 1, -1}, {"@nosuch", 1, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(Look(c.text, c.wholeWord), c.id) << c.text;
}

TEST_F(LookupTest, NameDirectlyFollowedByDotIsAnObjectReference) {
  std::string name30(30, 'q'), name31(31, 'q'), abs31 = "abs" + std::string(28, 'q');
  std::string dot30 = name30 + ".x", dot31 = name31 + ".x", absDot31 = abs31 + ".x";
  const Case cases[] = {
      {"a.b", 1, kIdOleObject}, {"obj.method(1)", 1, kIdOleObject}, {"abs.x", 1, kIdOleObject},
      {"_x.y", 1, kIdOleObject}, {"a .b", 1, -1}, {"abs.x", 0, 131},
      {dot30.c_str(), 1, kIdOleObject}, {dot31.c_str(), 1, -1}, {absDot31.c_str(), 1, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(Look(c.text, c.wholeWord), c.id) << c.text;
}

TEST_F(LookupTest, SubscriptAndDotMakeAnObjectReferenceOnlyForObjectBases) {
  AddVariable("arr", kFlagArray);
  AddVariable("var", kFlagVariant | kFlagComObj);
  AddVariable("str", kFlagString);
  AddVariable("wstr", kFlagUnicode);
  AddVariable("num", kFlagInt);
  AddVariable("un", kFlagUninit);
  const Case cases[] = {
      {"arr[1].b", 1, kIdOleObject}, {"var[1].b", 1, kIdOleObject},
      {"str[1].b", 1, kIdOleObject}, {"wstr[1].b", 1, kIdOleObject},
      {"ARR[1].b", 1, kIdOleObject}, {"arr[1, 2].b", 1, kIdOleObject},
      {"arr[b[1]].c", 1, kIdOleObject}, {"arr[(1)].b", 1, kIdOleObject},
      {"arr[']'].b", 1, kIdOleObject}, {"arr[f(1,2)].b", 1, kIdOleObject},
      {"num[1].b", 1, -1}, {"un[1].b", 1, -1}, {"none[1].b", 1, -1},
      {"arr[1]", 1, -1}, {"arr[1] .b", 1, -1}, {"arr[1].b", 0, -1},
      {"arr[1.b", 1, -1}, {"arr[].b", 1, -1}, {"arr[ ].b", 1, -1}, {"arr[1,].b", 1, -1},
      {"arr[,1].b", 1, -1}, {"arr[1;2].b", 1, -1}, {"arr[1)].b", 1, -1},
      {"arr[(1].b", 1, -1}, {"arr['1].b", 1, -1},
      {"abs[1].x", 1, 131},  // no such variable: the built-in name stands
  };
  for (const Case& c : cases) EXPECT_EQ(Look(c.text, c.wholeWord), c.id) << c.text;
}

FunctionTableEntry HostRec(uint32_t kind, uint64_t types, ArgsOrValue args, const char* name) {
  return Record(0, kind, types, args, name);
}

TEST_F(LookupTest, HostNamesMatchWholeWordsAfterTheBuiltIns) {
  FunctionTableEntry host[] = {
      HostRec(KIND_FUNCTION, fn::Types(ARG_STRING, ARG_INT), fn::Args(1, 1), "hostfn"),
      HostRec(KIND_FUNCTION, 0, fn::Args(0, 0), "abs"),
      HostRec(KIND_COMMAND, 0, fn::Args(0, 0), "hostcmd"),
      HostRec(KIND_FUNCTION | KIND_NOT_AVAILABLE, 0, fn::Args(0, 0), "hostoff"),
      FunctionTableEntry{0, 0, 0, fn::NoArgs(), 0, {}},  // terminator
      HostRec(KIND_FUNCTION, 0, fn::Args(0, 0), "ghost"),
  };
  EXPECT_EQ(Look("hostfn(1)", 1), -1);  // no host table yet
  ctx->hostTable = host;
  const Case cases[] = {
      {"hostfn(1)", 1, 1000}, {"HOSTFN", 1, 1000}, {"hostfn", 0, -1}, {"hostfnx", 1, -1},
      {"abs(1)", 1, 131}, {"hostcmd", 1, 1002}, {"hostoff()", 1, 1003}, {"ghost", 1, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(Look(c.text, c.wholeWord), c.id) << c.text;

  EXPECT_EQ(fn::KindOf(ctx, 1000), KIND_FUNCTION);
  EXPECT_EQ(fn::KindOf(ctx, 1002), KIND_COMMAND);
  EXPECT_EQ(fn::KindOf(ctx, 1003), KIND_FUNCTION | KIND_NOT_AVAILABLE);
  EXPECT_EQ(fn::KindOf(ctx, 1004), KIND_NONE);  // the terminator
  EXPECT_EQ(fn::KindOf(ctx, 1005), KIND_NONE);  // past it
  fn::ArgCount n = fn::ArgCounts(ctx, 1000);
  EXPECT_EQ(n.required, 1);
  EXPECT_EQ(n.optional, 1);
  EXPECT_EQ(fn::ArgTypes(ctx, 1000), fn::Types(ARG_STRING, ARG_INT));
  EXPECT_EQ(Name(1000), "hostfn");
}

// ---- accessors by ID

TEST_F(LookupTest, AccessorsReadTheBuiltInRecords) {
  EXPECT_EQ(fn::KindOf(ctx, 131), KIND_FUNCTION);
  EXPECT_EQ(fn::KindOf(ctx, kIdWhile), KIND_STRUCTURE);
  fn::ArgCount n = fn::ArgCounts(ctx, IdOf("fileopen"));
  EXPECT_EQ(n.required, 2);
  EXPECT_EQ(n.optional, 2);
  EXPECT_EQ(fn::ArgTypes(ctx, IdOf("strsub")), fn::Types(ARG_TEXT, ARG_INT, ARG_INT));
  EXPECT_EQ(fn::ConstValue(ctx, IdOf("@hidden")), 0xFFFFFFFFu);
  EXPECT_EQ(Name(kIdBitNot), "~");
  EXPECT_EQ(Name(545), "strsub");
}

TEST_F(LookupTest, UserDefinedIdsAreFunctionsTakingAnything) {
  for (int id : {kUdfIdBase, kUdfIdLast}) {
    EXPECT_EQ(fn::KindOf(ctx, id), KIND_FUNCTION) << id;
    EXPECT_EQ(fn::ArgTypes(ctx, id), kAllArgsAny) << id;
  }
}

TEST_F(LookupTest, IdsOutsideEveryRangeHaveNoRecord) {
  for (int id : {-1, kKeyTokens, 999, kHostIdBase, kHostIdLast + 1, kUdfIdBase - 1,
                 kUdfIdLast + 1, kExtIdBase - 1, kExtIdLast + 1}) {
    EXPECT_EQ(fn::KindOf(ctx, id), KIND_NONE) << id;
    fn::ArgCount n = fn::ArgCounts(ctx, id);
    EXPECT_EQ(n.required + n.optional, 0) << id;
    EXPECT_EQ(fn::ArgTypes(ctx, id), 0u) << id;
    uint16_t len = 9;
    EXPECT_STREQ(fn::NameOf(ctx, id, &len), "") << id;
    EXPECT_EQ(len, 0) << id;
  }
}

TEST_F(LookupTest, IndexReportsDamageBetweenItsTwoCopies) {
  Look("abs", 1);  // builds the index
  EXPECT_EQ(lex::QuickLookStatus(), lex::QuickLookState::kOkay);
  g_process.quickLookCopy['m'] ^= 1;
  EXPECT_EQ(lex::QuickLookStatus(), lex::QuickLookState::kDamaged);
  g_process.quickLookCopy['m'] ^= 1;
  EXPECT_EQ(lex::QuickLookStatus(), lex::QuickLookState::kOkay);
}

}  // namespace
}  // namespace zel::test
