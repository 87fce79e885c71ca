// Character and code-page functions: a character to its code and back, texts
// to and from hexadecimal, conversions between ANSI text in the run's code
// page and UTF-16, and the run's code page itself.
#include "builtins/chars.h"

#include "builtins/dispatch.h"
#include "builtins/text.h"
#include "errors/errinfo.h"
#include "values/codepage.h"

namespace zel::calls {
namespace {

using txt::Arg;
using txt::Text;

constexpr uint16_t kInvalidFlag = 1822;
constexpr uint16_t kInvalidValue = 1824;
constexpr uint16_t kFunctionFailed = 1825;

constexpr uint32_t kMaxCodePoint = 0x10ffff;

bool IsSurrogate(uint32_t c) { return c >= 0xd800 && c <= 0xdfff; }

// The code point of the UTF-16 character at w, of which n code units are
// there: a surrogate pair combined, else the code unit.
uint32_t CodePoint(const wchar_t* w, size_t n) {
  uint32_t c = static_cast<uint16_t>(w[0]);
  uint32_t next = n > 1 ? static_cast<uint16_t>(w[1]) : 0;
  if (c >= 0xd800 && c < 0xdc00 && next >= 0xdc00 && next <= 0xdfff)
    return 0x10000 + ((c - 0xd800) << 10) + (next - 0xdc00);
  return c;
}

// Char2Num(text): the code of the first character, 0 for an empty text. A
// single-byte ANSI character gives its byte; a double-byte one, and a
// UTF-16 character, give the Unicode code point.
template <typename Ch>
void Char2Num(ScriptContext* ctx, Value* r, Value* args, int, int) {
  Text<Ch> t = Arg<Ch>(ctx, args[1]);
  if (t.len == 0) return;
  if constexpr (sizeof(Ch) == 1) {
    txt::LeadBytes lb;
    txt::ReadLeadBytes<char>(ctx, &lb);
    if (txt::Step(lb, t.p, t.p + t.len) == 1) {
      r->ival = static_cast<uint8_t>(t.p[0]);
      return;
    }
    wchar_t w[2];
    int n = MultiByteToWideChar(ctx->codePage, 0, t.p, 2, w, 2);
    if (n <= 0) return err::Raise(ctx, kFunctionFailed);
    r->ival = static_cast<int32_t>(CodePoint(w, static_cast<size_t>(n)));
  } else {
    r->ival = static_cast<int32_t>(CodePoint(t.p, t.len));
  }
}

// Num2Char(code): 0 gives "", 1..255 the ANSI character of that byte, larger
// codes the UTF-16 character of that code point. Anything else is 1824.
void Num2Char(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  int32_t code = args[1].ival;
  uint32_t u = static_cast<uint32_t>(code);
  if (code < 0 || u > kMaxCodePoint || IsSurrogate(u)) return err::Raise(ctx, kInvalidValue);
  if (code < 256) {
    char c = static_cast<char>(code);
    txt::SetResult<char>(ctx, r, &c, code ? 1 : 0);
    return;
  }
  wchar_t w[2];
  size_t n = 1;
  if (code < 0x10000) {
    w[0] = static_cast<wchar_t>(code);
  } else {
    uint32_t v = static_cast<uint32_t>(code) - 0x10000;
    w[0] = static_cast<wchar_t>(0xd800 + (v >> 10));
    w[1] = static_cast<wchar_t>(0xdc00 + (v & 0x3ff));
    n = 2;
  }
  txt::SetResult<wchar_t>(ctx, r, w, n);
}

// ChrGetCodePage(which): 0 the run's conversion code page (0 = the system's
// default), 1 the system's ANSI code page, 2 its OEM code page.
void ChrGetCodePage(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  switch (args[1].ival) {
    case 0: r->ival = static_cast<int32_t>(ctx->codePage); break;
    case 1: r->ival = static_cast<int32_t>(GetACP()); break;
    case 2: r->ival = static_cast<int32_t>(GetOEMCP()); break;
    default: err::Raise(ctx, kInvalidFlag);
  }
}

// ChrSetCodePage(page): the code page of the run's conversions between ANSI
// and UTF-16 (0 the system's ANSI code page, 1 its OEM code page, or any code
// page the system has); returns the previous one.
void ChrSetCodePage(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  int32_t page = args[1].ival;
  bool known = page == CP_ACP || page == CP_OEMCP ||
               (page > 0 && IsValidCodePage(static_cast<UINT>(page)));
  if (!known) return err::Raise(ctx, kInvalidValue);
  r->ival = static_cast<int32_t>(ctx->codePage);
  ctx->codePage = static_cast<uint32_t>(page);
}

// ---- hexadecimal

const char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The value of `digits` hexadecimal digits at p; -1 for a bad digit.
int32_t HexAt(const char* p, int digits) {
  int32_t v = 0;
  for (int i = 0; i < digits; ++i) {
    int d = HexValue(p[i]);
    if (d < 0) return -1;
    v = v * 16 + d;
  }
  return v;
}

// ChrStringToHex(text): two upper-case hexadecimal digits per byte.
void ChrStringToHex(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Text<char> t = Arg<char>(ctx, args[1]);
  if (t.len > txt::kMaxResultUnits / 2) return err::Raise(ctx, 3096);
  char* out = txt::NewResult<char>(ctx, r, t.len * 2);
  for (size_t i = 0; out && i < t.len; ++i) {
    uint8_t b = static_cast<uint8_t>(t.p[i]);
    out[2 * i] = kHexDigits[b >> 4];
    out[2 * i + 1] = kHexDigits[b & 15];
  }
}

// ChrHexToString(hex): the bytes that pairs of hexadecimal digits give. An
// odd number of digits, a bad digit or a zero byte is 1824.
void ChrHexToString(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Text<char> t = Arg<char>(ctx, args[1]);
  if (t.len % 2) return err::Raise(ctx, kInvalidValue);
  for (size_t i = 0; i < t.len; i += 2)
    if (HexAt(t.p + i, 2) <= 0) return err::Raise(ctx, kInvalidValue);
  char* out = txt::NewResult<char>(ctx, r, t.len / 2);
  for (size_t i = 0; out && i < t.len; i += 2) out[i / 2] = static_cast<char>(HexAt(t.p + i, 2));
}

// ChrUnicodeToHex(text): four upper-case hexadecimal digits per UTF-16 code
// unit, its two bytes in memory order (low byte first: U+00E9 is E900).
void ChrUnicodeToHex(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Text<wchar_t> t = Arg<wchar_t>(ctx, args[1]);
  if (t.len > txt::kMaxResultUnits / 4) return err::Raise(ctx, 3096);
  char* out = txt::NewResult<char>(ctx, r, t.len * 4);
  for (size_t i = 0; out && i < t.len; ++i) {
    uint16_t u = static_cast<uint16_t>(t.p[i]);
    const uint8_t bytes[2] = {static_cast<uint8_t>(u & 0xff), static_cast<uint8_t>(u >> 8)};
    for (int k = 0; k < 2; ++k) {
      out[4 * i + 2 * k] = kHexDigits[bytes[k] >> 4];
      out[4 * i + 2 * k + 1] = kHexDigits[bytes[k] & 15];
    }
  }
}

// ChrHexToUnicode(hex): the UTF-16 text of groups of four hexadecimal digits
// in the order ChrUnicodeToHex writes them. A count of digits that is not a
// multiple of four, a bad digit or a zero code unit is 1824.
void ChrHexToUnicode(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Text<char> t = Arg<char>(ctx, args[1]);
  if (t.len % 4) return err::Raise(ctx, kInvalidValue);
  for (size_t i = 0; i < t.len; i += 4)
    if (HexAt(t.p + i, 2) < 0 || HexAt(t.p + i + 2, 2) < 0 || HexAt(t.p + i, 4) == 0)
      return err::Raise(ctx, kInvalidValue);
  wchar_t* out = txt::NewResult<wchar_t>(ctx, r, t.len / 4);
  for (size_t i = 0; out && i < t.len; i += 4)
    out[i / 4] = static_cast<wchar_t>(HexAt(t.p + i, 2) | (HexAt(t.p + i + 2, 2) << 8));
}

// ---- conversions

// ChrStringToUnicode(text): the ANSI text widened with the run's code page.
void ChrStringToUnicode(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Text<char> t = Arg<char>(ctx, args[1]);
  uint32_t off = cp::StoreWidened(ctx, t.p, t.len);
  if (!off) {
    if (!ctx->error) err::Raise(ctx, kFunctionFailed);
    return;
  }
  r->wstr = off;
  r->flags = kFlagUnicode;
}

// ChrUnicodeToString(text): the UTF-16 text narrowed with the run's code page;
// characters it lacks become its default character.
void ChrUnicodeToString(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Text<wchar_t> t = Arg<wchar_t>(ctx, args[1]);
  uint32_t off = cp::StoreNarrowed(ctx, t.p, t.len);
  if (!off) {
    if (!ctx->error) err::Raise(ctx, kFunctionFailed);
    return;
  }
  r->str = off;
  r->flags = kFlagString;
}

}  // namespace

void RegisterChars() {
  Register("char2num", txt::ByWidth<Char2Num<char>, Char2Num<wchar_t>>);
  Register("num2char", Num2Char);
  Register("chrgetcodepage", ChrGetCodePage);
  Register("chrsetcodepage", ChrSetCodePage);
  Register("chrstringtohex", ChrStringToHex);
  Register("chrhextostring", ChrHexToString);
  Register("chrunicodetohex", ChrUnicodeToHex);
  Register("chrhextounicode", ChrHexToUnicode);
  Register("chrstringtounicode", ChrStringToUnicode);
  Register("chrunicodetostring", ChrUnicodeToString);
}

}  // namespace zel::calls
