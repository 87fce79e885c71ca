// Keyword and function table: the 56-byte record that describes every word the
// language knows (shared with the host's and the extenders' tables), the
// built-in table, and the accessors that read a record by token ID.
#pragma once
#include <cstddef>
#include <cstdint>
#include "host/context.h"
#include "host/limits.h"

namespace zel {

// ---- record kinds

constexpr uint32_t KIND_OPERATOR       = 0;
constexpr uint32_t KIND_UNARY_OPERATOR = 1;  // may also stand in front of one operand
constexpr uint32_t KIND_FUNCTION       = 2;
constexpr uint32_t KIND_CONSTANT       = 3;
constexpr uint32_t KIND_COMMAND        = 4;  // statement word written without parentheses
constexpr uint32_t KIND_COMPARISON     = 5;
constexpr uint32_t KIND_SPECIAL_FORM   = 6;  // takes variable names; the evaluator parses it
constexpr uint32_t KIND_STRUCTURE      = 8;
constexpr uint32_t KIND_NOT_AVAILABLE  = 0x2000;  // bit: known, but not available (host and extender tables)
constexpr uint32_t KIND_NONE           = 0xFFFFFFFFu;  // accessor result: no record has this ID

// ---- argument type codes, one 4-bit code per argument

constexpr uint32_t ARG_INT       = 0;   // 32-bit integer
constexpr uint32_t ARG_STRING    = 1;   // ANSI string
constexpr uint32_t ARG_FLOAT     = 2;   // 64-bit float
constexpr uint32_t ARG_ARRAY     = 3;   // must be an array
constexpr uint32_t ARG_VARIANT   = 4;   // COM variant (extender tables only)
constexpr uint32_t ARG_WSTRING   = 5;   // UTF-16 string
constexpr uint32_t ARG_TEXT      = 6;   // ANSI, or UTF-16 when the call is wide
constexpr uint32_t ARG_TEXT_SYS  = 7;   // ANSI, or UTF-16 under the process's Unicode switch
constexpr uint32_t ARG_TEXT_BOTH = 8;   // UTF-16 only when the call is wide and the switch is on
constexpr uint32_t ARG_ANY       = 15;  // passed as it is
constexpr uint64_t kAllArgsAny   = ~0ull;  // every argument ARG_ANY (user-defined functions)

constexpr uint8_t kSelfParsed = 255;  // minArgs of a function that reads its own argument list

// ---- token ID ranges

constexpr int kHostIdBase = 1000;   // host table record (ID - 1000)
constexpr int kHostIdLast = kHostIdBase + kHostFunctions - 1;
constexpr int kUdfIdBase  = 4000;   // user-defined function (ID - 4000)
constexpr int kUdfIdLast  = 4998;
constexpr int kExtIdBase  = 10000;  // extender table record (ID - 10000)
constexpr int kExtIdLast  = 10500;

// ---- @constant encodings of constValue

constexpr uint32_t kConstTagMask   = 0xFFFFFF00u;
constexpr uint32_t kConstFloatTag  = 0xF0F0F000u;  // low 5 bits: index of the float constant
constexpr uint32_t kConstStringTag = 0xFFF0F000u;  // low 5 bits: 0 CR LF, 1 tab, 2 CR, 3 LF
constexpr uint32_t kConstIndexMask = 0x1Fu;

// ---- the record

// Bytes 16..19: minArgs, optArgs and two zero bytes for a function; one
// little-endian u32 constValue for an @constant.
union ArgsOrValue {
  struct Counts {
    uint8_t minArgs;  // required arguments; kSelfParsed: the function parses its own list
    uint8_t optArgs;  // optional arguments that may follow the required ones
    uint16_t zero;
  } counts;
  uint32_t constValue;

  constexpr ArgsOrValue(uint8_t minArgs, uint8_t optArgs) : counts{minArgs, optArgs, 0} {}
  constexpr explicit ArgsOrValue(uint32_t value) : constValue(value) {}
};

struct FunctionTableEntry {
  uint32_t id;                // 0: token ID; in the built-in table, the record's index
  uint32_t kind;              // 4: KIND_...
  uint64_t argTypes;          // 8: type code of argument n in bits 4(n-1)..4(n-1)+3; 0 for non-functions
  ArgsOrValue args;           // 16: counts, or an @constant's value
  uint16_t nameLen;           // 20: bytes of the name
  char name[kFuncNameSize];   // 22: lower case, NUL-padded (not terminated at full length)
};

static_assert(offsetof(FunctionTableEntry, id) == 0, "function table record layout");
static_assert(offsetof(FunctionTableEntry, kind) == 4, "function table record layout");
static_assert(offsetof(FunctionTableEntry, argTypes) == 8, "function table record layout");
static_assert(offsetof(FunctionTableEntry, args) == 16, "function table record layout");
static_assert(offsetof(FunctionTableEntry, args.counts.minArgs) == 16, "function table record layout");
static_assert(offsetof(FunctionTableEntry, args.counts.optArgs) == 17, "function table record layout");
static_assert(offsetof(FunctionTableEntry, args.counts.zero) == 18, "function table record layout");
static_assert(offsetof(FunctionTableEntry, nameLen) == 20, "function table record layout");
static_assert(offsetof(FunctionTableEntry, name) == 22, "function table record layout");
static_assert(sizeof(ArgsOrValue) == 4, "counts and constValue share four bytes");
static_assert(sizeof(FunctionTableEntry) == 56, "function table record is 56 bytes");

// The built-in table: kKeyTokens records sorted by name (byte order), so that
// each first character's records are contiguous for the keyword index.
extern const FunctionTableEntry kBuiltinTable[kKeyTokens];

// ---- notable token IDs (each checked against its record's name at compile time)

constexpr int kIdNot = 0;                   // !
constexpr int kIdNotEqual = 1;              // !=
constexpr int kIdAmpersand = 2;             // &
constexpr int kIdLogicalAnd = 3;            // &&
constexpr int kIdOpenParen = 4;             // (
constexpr int kIdCloseParen = 5;            // )
constexpr int kIdStar = 6;                  // *
constexpr int kIdPower = 7;                 // **
constexpr int kIdPlus = 8;                  // +
constexpr int kIdComma = 9;                 // ,
constexpr int kIdMinus = 10;                // -
constexpr int kIdSlash = 11;                // /
constexpr int kIdConcat = 12;               // :
constexpr int kIdDoubleColon = 13;          // ::
constexpr int kIdLess = 14;                 // <
constexpr int kIdShiftLeft = 15;            // <<
constexpr int kIdLessEqual = 16;            // <=
constexpr int kIdLessGreater = 17;          // <>
constexpr int kIdAssign = 18;               // =
constexpr int kIdEqual = 19;                // ==
constexpr int kIdGreater = 20;              // >
constexpr int kIdGreaterEqual = 21;         // >=
constexpr int kIdShiftRight = 22;           // >>
constexpr int kIdDdeServer = 23;            // ?ddeserver
constexpr int kIdGetViaPointer = 24;        // ?getviapointer
constexpr int kIdMakePointer = 25;          // ?makepointer
constexpr int kIdOleObject = 26;            // ?oleobject
constexpr int kIdSetViaPointer = 27;        // ?setviapointer
constexpr int kIdOpenBracket = 127;         // [
constexpr int kIdCloseBracket = 128;        // ]
constexpr int kIdXor = 129;                 // ^
constexpr int kIdAbout = 130;               // about
constexpr int kIdBeep = 158;                // beep
constexpr int kIdBreak = 214;               // break
constexpr int kIdBy = 216;                  // by
constexpr int kIdCall = 217;                // call
constexpr int kIdCase = 218;                // case
constexpr int kIdChrUnicodeToString = 228;  // chrunicodetostring
constexpr int kIdClipAppend = 229;          // clipappend
constexpr int kIdContinue = 236;            // continue
constexpr int kIdDrop = 290;                // drop
constexpr int kIdElse = 292;                // else
constexpr int kIdEnd = 293;                 // end
constexpr int kIdEndFor = 294;              // endfor
constexpr int kIdEndIf = 295;               // endif
constexpr int kIdEndSelect = 296;           // endselect
constexpr int kIdEndSwitch = 298;           // endswitch
constexpr int kIdEndWhile = 299;            // endwhile
constexpr int kIdExecute = 306;             // execute
constexpr int kIdExit = 308;                // exit
constexpr int kIdFor = 361;                 // for
constexpr int kIdForEach = 362;             // foreach
constexpr int kIdGosub = 366;               // gosub
constexpr int kIdGoto = 367;                // goto
constexpr int kIdIf = 372;                  // if
constexpr int kIdIgnoreInput = 373;         // ignoreinput
constexpr int kIdIniDelete = 374;           // inidelete
constexpr int kIdIsDefined = 385;           // isdefined
constexpr int kIdMod = 411;                 // mod
constexpr int kIdNext = 420;                // next
constexpr int kIdObjectTypeGet = 435;       // objecttypeget
constexpr int kIdPtrGlobal = 450;           // ptrglobal
constexpr int kIdPtrGlobalDefine = 451;     // ptrglobaldefine
constexpr int kIdPtrGlobalTest = 452;       // ptrglobaltest
constexpr int kIdPtrPersistent = 453;       // ptrpersistent
constexpr int kIdReturn = 488;              // return
constexpr int kIdSelect = 501;              // select
constexpr int kIdStrByteCount = 521;        // strbytecount
constexpr int kIdStrCat = 522;              // strcat
constexpr int kIdSwitch = 550;              // switch
constexpr int kIdThen = 559;                // then
constexpr int kIdTo = 571;                  // to
constexpr int kIdVarType = 576;             // vartype
constexpr int kIdWhile = 582;               // while
constexpr int kIdYield = 626;               // yield
constexpr int kIdYields = 627;              // yields
constexpr int kIdBitOr = 628;               // |
constexpr int kIdLogicalOr = 629;           // ||
constexpr int kIdBitNot = 630;              // ~

namespace fn {

// ---- building records (the built-in table, and tests that build host tables)

// Packs one type code per argument, argument 1 in the lowest 4 bits.
template <typename... Codes>
constexpr uint64_t Types(Codes... codes) {
  static_assert(sizeof...(codes) <= kMaxArgs, "at most 16 arguments");
  uint64_t word = 0;
  int shift = 0;
  ((word |= uint64_t(codes & 15u) << shift, shift += 4), ...);
  return word;
}
constexpr ArgsOrValue Args(uint8_t required, uint8_t optional) { return ArgsOrValue(required, optional); }
constexpr ArgsOrValue SelfParsed() { return ArgsOrValue(kSelfParsed, 0); }
constexpr ArgsOrValue NoArgs() { return ArgsOrValue(0, 0); }
// An integer constant given as signed 32-bit or as its unsigned bit pattern.
constexpr ArgsOrValue IntConst(int64_t value) { return ArgsOrValue(uint32_t(value)); }
constexpr ArgsOrValue FloatConst(uint32_t index) { return ArgsOrValue(kConstFloatTag | index); }
constexpr ArgsOrValue StringConst(uint32_t index) { return ArgsOrValue(kConstStringTag | index); }

// ---- reading records by token ID (0..630 built in, 1000..1998 host,
// 4000..4998 user-defined, 10000..10500 extender)

struct ArgCount {
  uint8_t required;  // kSelfParsed for a function that parses its own list
  uint8_t optional;
};

// The record's kind; KIND_FUNCTION for every user-defined function ID;
// KIND_NONE when no record has the ID.
uint32_t KindOf(const ScriptContext* ctx, int id);

// Required and optional argument counts; {0, 0} when no record has the ID.
ArgCount ArgCounts(const ScriptContext* ctx, int id);

// The argument type word; kAllArgsAny for user-defined functions; 0 when no
// record has the ID.
uint64_t ArgTypes(const ScriptContext* ctx, int id);

// An @constant's value word (meaningful for KIND_CONSTANT records); 0 when no
// record has the ID.
uint32_t ConstValue(const ScriptContext* ctx, int id);

// The name as the table spells it (not NUL-terminated) and its length in
// *len; "" and 0 when no record has the ID.
const char* NameOf(const ScriptContext* ctx, int id, uint16_t* len);

// The built-in record of an ID, or nullptr outside 0..630.
const FunctionTableEntry* BuiltinRecord(int id);

// Record `index` of the host's table, or nullptr when the host gave no table,
// the index is past its terminating record (nameLen 0) or beyond the IDs the
// host range holds.
const FunctionTableEntry* HostRecord(const ScriptContext* ctx, int index);

// Record `index` of the extender table, or nullptr.
const FunctionTableEntry* ExtenderRecord(const ScriptContext* ctx, int index);

// ---- @constant values

enum class ConstForm { kInt, kFloat, kString };

// What a constValue stands for. Texts are static and `text` is NUL-terminated.
struct ConstantValue {
  ConstForm form;
  int32_t integer;    // kInt
  double real;        // kFloat
  const char* text;   // kString
  uint32_t textLen;   // kString
};

// Decodes a constValue: float tag -> that float constant (0.0 for an unknown
// index), string tag -> CR LF, tab, CR or LF (empty for an unknown index),
// anything else -> the signed integer.
ConstantValue DecodeConstant(uint32_t constValue);

}  // namespace fn
}  // namespace zel
