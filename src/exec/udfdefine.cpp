// Definitions of user-defined functions and subroutines (the table of their
// records, the definition and end lines, and the bodies copied out of the
// running text).
#include <cstring>

#include "errors/errinfo.h"
#include "exec/udf.h"
#include "lexer/chars.h"
#include "script/scramble.h"

namespace zel::exec {
namespace {

enum Keyword { kDefineFunction, kDefineSubroutine, kEndFunction, kEndSubroutine, kNoKeyword };

struct KeywordText {
  const char* text;
  size_t len;
};
constexpr KeywordText kKeywords[] = {
    {"#DefineFunction", 15}, {"#DefineSubroutine", 17}, {"#EndFunction", 12}, {"#EndSubroutine", 14}};

// Errors of the two forms: function, subroutine.
constexpr uint16_t kErrNested[2] = {3623, 3691};
constexpr uint16_t kErrSyntax[2] = {3624, 3692};
constexpr uint16_t kErrUnmatchedEnd[2] = {3625, 3693};
constexpr uint16_t kErrTooMany = 3626;
constexpr uint16_t kErrNoMemory = 1733;

// The keyword a line starts with, compared without regard to case on the
// keyword's own length.
Keyword KeywordOf(const char* line) {
  for (int k = kDefineFunction; k < kNoKeyword; ++k)
    if (_strnicmp(line, kKeywords[k].text, kKeywords[k].len) == 0) return static_cast<Keyword>(k);
  return kNoKeyword;
}

const char* SkipBlanks(const char* p) {
  while (lex::IsBlank(*p)) ++p;
  return p;
}

// Copies the word at `p` up to one of `stops` or the end into `out`; its
// length, or 0 when it is empty or longer than kVarNameSize.
size_t ReadWord(const char* p, const char* stops, char out[kVarNameSize + 1]) {
  size_t n = 0;
  for (; p[n] && !strchr(stops, p[n]); ++n) {
    if (n == static_cast<size_t>(kVarNameSize)) return 0;
    out[n] = p[n];
  }
  out[n] = 0;
  return n;
}

// What a definition line says: "name(param, ...)".
struct Header {
  char name[kVarNameSize + 1];  // lower case
  uint16_t nameLen;
  uint16_t paramCount;
  char params[kUdfParams][kVarNameSize + 1];
};

// Reads the parameter list after "(" up to its ")"; the text after it, or
// nullptr on a syntax error.
const char* ParseParams(const char* p, Header* h) {
  p = SkipBlanks(p);
  if (*p == ')') return p + 1;
  for (;;) {
    if (h->paramCount == kUdfParams) return nullptr;
    size_t n = ReadWord(p, "\t,) ", h->params[h->paramCount]);
    if (n == 0) return nullptr;
    ++h->paramCount;
    p = SkipBlanks(p + n);
    if (*p == ')') return p + 1;
    if (*p != ',') return nullptr;
    p = SkipBlanks(p + 1);
  }
}

// Parses the text after a definition keyword. False on a syntax error.
bool ParseHeader(const char* text, Header* h) {
  *h = Header{};
  const char* p = SkipBlanks(text);
  size_t n = ReadWord(p, "\t( ", h->name);
  if (n == 0) return false;
  for (size_t i = 0; i < n; ++i) h->name[i] = lex::LowerAscii(h->name[i]);  // as lookup compares
  h->nameLen = static_cast<uint16_t>(n);
  p = SkipBlanks(p + n);
  if (*p != '(') return false;
  p = ParseParams(p + 1, h);
  if (!p) return false;
  p = SkipBlanks(p);
  return *p == 0 || *p == ';';
}

bool AlreadyDefined(const ScriptContext* ctx, const Header& h) {
  for (int i = 0; i < ctx->udfCount; ++i) {
    const UdfRecord* r = ctx->udfRecords[i];
    if (r && r->nameLen == h.nameLen && memcmp(r->name, h.name, h.nameLen) == 0) return true;
  }
  return false;
}

// Makes sure record `index` exists: its block of kUdfBlockRecords records is
// allocated zero-filled, and stays locked until the definitions are freed.
bool EnsureRecord(ScriptContext* ctx, int index) {
  int block = index / kUdfBlockRecords;
  if (block <= ctx->udfHighBlock && ctx->udfRecords[index]) return true;
  if (block >= kUdfBlocks) return false;
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kUdfBlockRecords * sizeof(UdfRecord));
  auto* records = h ? static_cast<UdfRecord*>(GlobalLock(h)) : nullptr;
  if (!records) {
    if (h) GlobalFree(h);
    return false;
  }
  ctx->udfBlocks[block] = h;
  for (int i = 0; i < kUdfBlockRecords; ++i) ctx->udfRecords[block * kUdfBlockRecords + i] = &records[i];
  ctx->udfHighBlock = block;
  return true;
}

Definition Fail(ScriptContext* ctx, uint16_t number) {
  err::Raise(ctx, number);
  return Definition::kFailed;
}

Definition Define(ScriptContext* ctx, const Run* run, int form, const char* rest) {
  if (ctx->inDefinition) return Fail(ctx, kErrNested[form]);
  if (ctx->udfCount >= kUdfMax) return Fail(ctx, kErrTooMany);
  if (!EnsureRecord(ctx, ctx->udfCount)) return Fail(ctx, kErrNoMemory);
  Header h;
  if (!ParseHeader(rest, &h)) return Fail(ctx, kErrSyntax[form]);
  ctx->inDefinition = 1;
  // A name defined before keeps its first definition; this body is ignored.
  ctx->dupDefinition = AlreadyDefined(ctx, h) ? 1 : 0;
  if (ctx->dupDefinition) return Definition::kHandled;
  UdfRecord* r = ctx->udfRecords[ctx->udfCount];
  *r = UdfRecord{};
  r->paramCount = h.paramCount;
  r->nameLen = h.nameLen;
  memcpy(r->name, h.name, sizeof r->name);
  memcpy(r->params, h.params, sizeof r->params);
  lstrcpynA(r->sourceFile, ctx->scriptPath, sizeof r->sourceFile);
  r->bodyStart = ctx->bodyBase + run->pos;
  r->assignTarget = ~0u;
  r->subroutine = form;
  return Definition::kHandled;
}

// Copies the body, [body start, start of the end line), out of the running
// text as it is, still scrambled for its script positions, and stores a NUL
// scrambled for the position after it.
Definition End(ScriptContext* ctx, const Run* run, int form) {
  if (!ctx->inDefinition) return Fail(ctx, kErrUnmatchedEnd[form]);
  ctx->inDefinition = 0;
  if (ctx->dupDefinition) {
    ctx->dupDefinition = 0;
    return Definition::kHandled;
  }
  UdfRecord* r = ctx->udfRecords[ctx->udfCount];
  uint32_t from = r->bodyStart - ctx->bodyBase;  // in the running text
  uint32_t to = run->lineStart < run->len ? run->lineStart : run->len;
  uint32_t len = to > from ? to - from : 0;
  HGLOBAL body = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(len) + 1);
  auto* p = body ? static_cast<uint8_t*>(GlobalLock(body)) : nullptr;
  if (!p) {
    if (body) GlobalFree(body);
    return Fail(ctx, kErrNoMemory);
  }
  if (len) memcpy(p, run->text + from, len);
  p[len] = scramble::Encode(0, r->bodyStart + len);
  GlobalUnlock(body);
  r->body = body;
  r->bodyLength = len;
  ++ctx->udfCount;
  return Definition::kHandled;
}

}  // namespace

Definition DefinitionLine(ScriptContext* ctx, const Run* run) {
  const char* line = ctx->lineBuf;
  Keyword k = KeywordOf(line);
  const char* rest = line + (k == kNoKeyword ? 0 : kKeywords[k].len);
  switch (k) {
    case kDefineFunction: return Define(ctx, run, 0, rest);
    case kDefineSubroutine: return Define(ctx, run, 1, rest);
    case kEndFunction: return End(ctx, run, 0);
    case kEndSubroutine: return End(ctx, run, 1);
    default: return Definition::kNotOne;
  }
}

void FreeDefinitions(ScriptContext* ctx) {
  for (UdfRecord*& r : ctx->udfRecords) {
    if (r && r->body) GlobalFree(r->body);
    r = nullptr;
  }
  for (HGLOBAL& h : ctx->udfBlocks) {
    if (!h) continue;
    GlobalUnlock(h);
    GlobalFree(h);
    h = nullptr;
  }
  ctx->udfHighBlock = -1;
  ctx->udfCount = 0;
  ctx->inDefinition = 0;
  ctx->dupDefinition = 0;
}

}  // namespace zel::exec
