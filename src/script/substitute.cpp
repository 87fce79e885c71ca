// Percent-sign substitution of a line before it runs, and the run-time form
// of #include. Works in the context's fixed buffers: no heap allocation.
#include <cstddef>
#include <cstring>

#include "errors/errinfo.h"
#include "lexer/chars.h"
#include "script/paths.h"
#include "script/script.h"
#include "values/variables.h"

namespace zel::script {
namespace {

constexpr uint16_t kErrNameTooLong = 3047;
constexpr uint16_t kErrNoClosingPercent = 3048;
constexpr uint16_t kErrSubstitutionTooLong = 3101;

constexpr size_t kResultMax = kWorkBuf - 1;
constexpr size_t kSubscriptText = 40;  // characters between the brackets of %name[...]%  // characters of a result; one more is 3101

// A run-time #include line: "#include", a blank, at least one more character.
constexpr size_t kIncludeWord = 8;
constexpr size_t kIncludeLineMin = 10;

bool IsLeadByte(const ScriptContext* ctx, const char* p) {
  unsigned char c = static_cast<unsigned char>(*p);
  return c >= 0x80 && p[1] && IsDBCSLeadByteEx(ctx->codePage, c);
}

bool IsQuote(char c) { return c == '"' || c == '\'' || c == '`'; }

// Compares the first n characters of `text` with lower-case `word` without
// regard to ASCII case (n 0: the whole of both).
bool SameNoCase(const char* text, const char* word, size_t n = 0) {
  for (size_t i = 0; n == 0 || i < n; ++i) {
    if (lex::LowerAscii(text[i]) != word[i]) return false;
    if (!word[i]) return true;
  }
  return true;
}

// The four names that stand for control characters when no variable has them.
const char* SpecialText(const char* name) {
  if (SameNoCase(name, "@crlf")) return "\r\n";
  if (SameNoCase(name, "@tab")) return "\t";
  if (SameNoCase(name, "@cr")) return "\r";
  if (SameNoCase(name, "@lf")) return "\n";
  return "";
}

// Appends n bytes to the result in ctx->work1 at *len; false (3101) when the
// result would grow past kResultMax characters.
bool Put(ScriptContext* ctx, size_t* len, const char* p, size_t n) {
  if (*len + n > kResultMax) {
    err::Raise(ctx, kErrSubstitutionTooLong);
    return false;
  }
  memcpy(ctx->work1 + *len, p, n);
  *len += n;
  return true;
}

// Replaces %name% at `p` (just after the first percent sign). Returns the
// character after the closing percent sign, nullptr on error.
const char* PutVariable(ScriptContext* ctx, const char* p, size_t* len) {
  const char* e = p;
  while (*e) {
    if (IsLeadByte(ctx, e)) e += 2;  // a double-byte character counts as two
    else if (lex::IsNameChar(*e)) ++e;
    else break;
  }
  size_t n = static_cast<size_t>(e - p);
  if (n > static_cast<size_t>(kVarNameSize)) {
    err::Raise(ctx, kErrNameTooLong);
    return nullptr;
  }
  // An array element: the name, then its subscripts in brackets.
  if (*e == '[') {
    const char* close = e + 1;
    while (*close && *close != ']' && *close != '%' &&
           close - e <= static_cast<ptrdiff_t>(kSubscriptText))
      ++close;
    if (*close == ']' && close[1] == '%') e = close + 1;
  }
  if (*e != '%') {
    err::Raise(ctx, kErrNoClosingPercent);
    return nullptr;
  }
  size_t whole = static_cast<size_t>(e - p);  // the name and any subscript
  memcpy(ctx->work2, p, whole);
  ctx->work2[whole] = 0;
  // The value is rendered one character past the longest result, so a
  // value that would not fit is seen as too long instead of being cut.
  char value[kWorkBuf + 1];
  const char* text = vars::AsText(ctx, ctx->work2, value, sizeof value) ? value
                                                                         : SpecialText(ctx->work2);
  if (!Put(ctx, len, text, strlen(text))) return nullptr;
  return e + 1;
}

// Percent-sign substitution of ctx->lineBuf into ctx->work1: 0 on error, 1
// when no name was replaced, 2 when one was.
int Expand(ScriptContext* ctx) {
  size_t len = 0;
  int result = 1;
  for (const char* p = ctx->lineBuf; *p;) {
    if (*p != '%') {
      size_t step = IsLeadByte(ctx, p) ? 2 : 1;  // pairs stay together
      if (!Put(ctx, &len, p, step)) return 0;
      p += step;
    } else if (p[1] == '%') {
      if (!Put(ctx, &len, "%", 1)) return 0;
      p += 2;
    } else {
      p = PutVariable(ctx, p + 1, &len);
      if (!p) return 0;
      result = 2;
    }
  }
  ctx->work1[len] = 0;
  return result;
}

bool IsRunTimeInclude(const char* line) {
  return strlen(line) >= kIncludeLineMin && lex::IsBlank(line[kIncludeWord]) &&
         SameNoCase(line, "#include", kIncludeWord);
}

// Turns "#include name" in ctx->lineBuf into Call("name",``).
bool RewriteInclude(ScriptContext* ctx) {
  const char* p = ctx->lineBuf + kIncludeWord + 1;
  while (lex::IsBlank(*p)) ++p;
  const char* end = p + strlen(p);
  while (end > p && lex::IsBlank(end[-1])) --end;
  if (end > p && IsQuote(*p)) {
    char quote = *p++;
    if (end > p && end[-1] == quote) --end;
  }
  size_t n = static_cast<size_t>(end - p);
  memmove(ctx->work2, p, n);
  ctx->work2[n] = 0;
  // A relative name is tried in the running script's folder.
  const char* name = ctx->work2;
  char full[kMaxPathLen];
  size_t folder = FolderLength(ctx->scriptPath);
  if (!IsAbsoluteName(name) && folder && JoinPath(ctx->scriptPath, folder, name, full)) {
    HANDLE f = OpenForRead(full);
    if (f != INVALID_HANDLE_VALUE) {
      CloseHandle(f);
      name = full;
    }
  }
  static const char kOpen[] = "Call(\"";
  static const char kClose[] = "\",``)";
  size_t len = 0;
  if (!Put(ctx, &len, kOpen, sizeof kOpen - 1) || !Put(ctx, &len, name, strlen(name)) ||
      !Put(ctx, &len, kClose, sizeof kClose - 1))
    return false;
  ctx->work1[len] = 0;
  memcpy(ctx->lineBuf, ctx->work1, len + 1);
  return true;
}

}  // namespace

int Substitute(ScriptContext* ctx) {
  int result = 1;
  if (strchr(ctx->lineBuf, '%')) {
    result = Expand(ctx);
    if (result == 0) return 0;
    strcpy(ctx->lineBuf, ctx->work1);
  }
  if ((ctx->includeMode & kIncludeRunTime) && IsRunTimeInclude(ctx->lineBuf) &&
      !RewriteInclude(ctx))
    return 0;
  return result;
}

}  // namespace zel::script
