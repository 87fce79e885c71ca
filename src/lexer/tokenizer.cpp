// Tokenizer (reads one token at a time from the current line, classifying
// words as keywords or variable names and creating variables on first sight).
#include "lexer/tokenizer.h"

#include <cstdio>
#include <cstring>

#include "builtins/functable.h"
#include "errors/errinfo.h"
#include "lexer/chars.h"
#include "lexer/lookup.h"
#include "values/variables.h"

namespace zel::lex {
namespace {

constexpr int kTokenMax = kWorkBuf - 1;  // characters a token may hold
constexpr int kStringMax = 2049;         // characters copied from a string literal

inline bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
inline bool IsQuote(unsigned char c) { return c == '"' || c == '`' || c == '\''; }
size_t NameLength(const ScriptContext* ctx, int id) {
  uint16_t len = 0;
  fn::NameOf(ctx, id, &len);
  return len;
}

inline bool IsLeadByte(ScriptContext* ctx, unsigned char c) {
  return c >= 0x80 && IsDBCSLeadByteEx(ctx->codePage, c);
}

void SetText(ScriptContext* ctx, const char* from, size_t n) {
  if (n > static_cast<size_t>(kTokenMax)) n = kTokenMax;
  memcpy(ctx->tokenText, from, n);
  ctx->tokenText[n] = 0;
}

// A number: digits with at most one "." and one exponent.
void ReadNumber(ScriptContext* ctx) {
  const char* p = ctx->prog;
  const char* start = p;
  bool dot = false, exp = false;
  ctx->tokenKind = kTokInteger;
  for (;;) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (IsDigit(c)) {
      ++p;
    } else if (c == '.') {
      if (dot) return err::Raise(ctx, 3338);
      bool digitAfter = IsDigit(static_cast<unsigned char>(p[1]));
      bool digitBefore = p > start && IsDigit(static_cast<unsigned char>(p[-1]));
      if (!digitAfter && !digitBefore) return err::Raise(ctx, 3054);
      dot = true;
      ctx->tokenKind = kTokFloat;
      ++p;
    } else if (c == 'e' || c == 'E') {
      if (exp) return err::Raise(ctx, 3339);
      unsigned char n1 = static_cast<unsigned char>(p[1]);
      bool ok = IsDigit(n1) || ((n1 == '+' || n1 == '-') && IsDigit(static_cast<unsigned char>(p[2])));
      if (!ok) return err::Raise(ctx, 3054);
      exp = true;
      ctx->tokenKind = kTokFloat;
      p += IsDigit(n1) ? 1 : 2;  // the sign belongs to the exponent
    } else {
      break;
    }
    if (p - start > kTokenMax) return err::Raise(ctx, 3054);  // longer than a token can hold
  }
  SetText(ctx, start, static_cast<size_t>(p - start));
  ctx->prog = p;
}

// A string literal: the opening quote closes it; doubled, it stands for itself.
void ReadString(ScriptContext* ctx) {
  const char* p = ctx->prog;
  char quote = *p++;
  int n = 0;
  while (*p && n < kStringMax) {
    if (*p == quote) {
      if (p[1] != quote) {
        ++p;
        break;
      }
      ++p;  // a doubled quote: keep one
    } else if (IsLeadByte(ctx, static_cast<unsigned char>(*p)) && p[1]) {
      if (n + 2 > kStringMax) break;
      ctx->tokenText[n++] = *p++;
    }
    ctx->tokenText[n++] = *p++;
  }
  ctx->tokenText[n] = 0;
  ctx->tokenKind = kTokString;
  ctx->prog = p;
}

// An object reference: the run of name characters and "." ("@" only first).
void ReadObjectReference(ScriptContext* ctx) {
  const char* p = ctx->prog;
  const char* start = p;
  while (*p && (IsNameChar(*p) || *p == '.')) {
    if (*p == '@' && p != start) break;
    ++p;
  }
  SetText(ctx, start, static_cast<size_t>(p - start));
  ctx->prog = p;
  ctx->tokenKind = kTokKeyword;
  ctx->tokenCode = kIdOleObject;
  ctx->objectNoCreate = ctx->noCreate;
}

// A variable name, created on first sight unless the caller asked otherwise.
void ReadVariable(ScriptContext* ctx, bool addressOf) {
  const char* p = ctx->prog;
  const char* start = p;
  while (*p && (IsNameChar(*p) || *p == '.')) ++p;
  size_t len = static_cast<size_t>(p - start);
  size_t limit = ctx->persistentMode ? kPersistNameSize : kVarNameSize;
  if (len > limit) return err::Raise(ctx, 3055);
  char lower[kVarNameSize + 1];
  memcpy(lower, start, len);
  lower[len] = 0;
  vars::LowerName(lower, lower);
  if (ctx->persistentMode) {
    // Decorated with the running function's number: "?" hex "__" name.
    char decorated[kWorkBuf];
    int n = snprintf(decorated, sizeof decorated, "?%02x__%s", ctx->udfExecuting, lower);
    if (n < 0 || n > kVarNameSize) return err::Raise(ctx, 3055);
    memcpy(lower, decorated, static_cast<size_t>(n) + 1);
  }
  size_t nameLen = strlen(lower);
  memcpy(ctx->nameBuf, lower, nameLen + 1);
  memcpy(ctx->tokenText, lower, nameLen + 1);
  ctx->prog = p;
  ctx->tokenKind = kTokVariable;
  ctx->tokenSlot = vars::kNoSlot;
  if (ctx->noCreate) {
    // Parked in slot 0 with the top bit set on its first character, where no
    // search can match it.
    if (ctx->vars) {
      VarRecord& zero = ctx->vars[0];
      memset(zero.name, 0, sizeof zero.name);
      memcpy(zero.name, lower, nameLen);
      zero.name[0] = static_cast<char>(zero.name[0] | 0x80);
    }
    return;
  }
  ctx->tokenSlot = vars::Create(ctx, lower, addressOf);
}

}  // namespace

void SetLine(ScriptContext* ctx, const char* line) {
  ctx->prog = line;
  ctx->tokenStart = line;
  ctx->tokenKind = kTokEnd;
  ctx->tokenCode = 0;
  ctx->tokenText[0] = 0;
}

void GetToken(ScriptContext* ctx) {
  uint8_t prevKind = ctx->tokenKind;
  int16_t prevCode = ctx->tokenCode;
  ctx->tokenKind = kTokEnd;
  const char* p = ctx->prog;
  while (IsBlank(*p)) ++p;
  ctx->prog = p;
  ctx->tokenStart = p;
  unsigned char c = static_cast<unsigned char>(*p);
  bool addressOf = c == '&' && p[1] != '&' && prevKind == kTokKeyword &&
                   prevCode != kIdCloseParen && fn::KindOf(ctx, prevCode) != KIND_CONSTANT;
  bool createAsInteger = ctx->addressOfPending || ctx->addressOfRequest;
  if (c == 0 || c == ';') {
    ctx->tokenText[0] = 0;
  } else if (IsDigit(c) || c == '.') {
    ReadNumber(ctx);
  } else if (!IsAlpha(static_cast<char>(c)) && c != '@' && c != '_') {
    if (LookupKeyword(ctx, 0)) {
      size_t n = NameLength(ctx, ctx->tokenCode);
      SetText(ctx, p, n);
      ctx->prog = p + n;
      ctx->tokenKind = kTokKeyword;
    } else if (IsQuote(c)) {
      ReadString(ctx);
    } else {
      err::Raise(ctx, 3054);
    }
  } else if (LookupKeyword(ctx, 1)) {
    if (ctx->tokenCode == kIdOleObject) {
      ReadObjectReference(ctx);
    } else {
      size_t n = NameLength(ctx, ctx->tokenCode);
      SetText(ctx, p, n);
      ctx->prog = p + n;
      ctx->tokenKind = kTokKeyword;
    }
  } else {
    ReadVariable(ctx, createAsInteger);
  }
  ctx->addressOfPending = addressOf;
  ctx->noCreate = 0;
  ctx->addressOfRequest = 0;
}

void GetStringToken(ScriptContext* ctx) {
  ctx->tokenKind = kTokEnd;
  const char* p = ctx->prog;
  while (IsBlank(*p)) ++p;
  ctx->prog = p;
  ctx->tokenStart = p;
  ctx->tokenText[0] = 0;
  if (*p == 0 || *p == ';') return;
  if (!IsNameChar(*p)) return err::Raise(ctx, 3054);
  int n = 0;
  while (*p && IsNameChar(*p)) {
    int step = IsLeadByte(ctx, static_cast<unsigned char>(*p)) && p[1] ? 2 : 1;
    if (n + step > kWorkBuf - 1) {
      ctx->tokenText[0] = 0;
      return err::Raise(ctx, 3053);
    }
    for (int i = 0; i < step; ++i) ctx->tokenText[n++] = *p++;
  }
  ctx->tokenText[n] = 0;
  ctx->prog = p;
  ctx->tokenKind = kTokString;
  ctx->tokenCode = -1;
}

void Putback(ScriptContext* ctx) {
  if (ctx->tokenKind == kTokEnd) return;
  // Back to where the token began: right for every kind, including string
  // literals whose text lost its quotes.
  if (ctx->tokenStart) ctx->prog = ctx->tokenStart;
  ctx->tokenKind = kTokEnd;
}

}  // namespace zel::lex

ZEL_API int WINAPI get_token(zel::ScriptContext* ctx) {
  if (!ctx) return 0;
  zel::lex::GetToken(ctx);
  return ctx->tokenKind;
}

ZEL_API int WINAPI get_string_token(zel::ScriptContext* ctx) {
  if (!ctx) return 0;
  zel::lex::GetStringToken(ctx);
  return ctx->tokenKind;
}

ZEL_API void WINAPI putback(zel::ScriptContext* ctx) {
  if (ctx) zel::lex::Putback(ctx);
}
