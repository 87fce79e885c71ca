// Texts in a buffer: ANSI and UTF-16 strings read up to a terminator or the
// EOD and stored without one, and bytes as hexadecimal pairs.
#include <cstring>

#include "binary/buffer.h"
#include "builtins/dispatch.h"
#include "builtins/text.h"
#include "errors/errinfo.h"

namespace zel::bin {
namespace {

constexpr uint16_t kPeekPastEnd = 2331;
constexpr uint16_t kPokePastEnd = 2332;
constexpr uint16_t kOddMaxSize = 1765;
constexpr uint16_t kOddByteCount = 1766;
constexpr uint16_t kBadHexText = 1720;
constexpr uint16_t kHexPastEnd = 1721;

// Flag of the UTF-16 forms: the units are stored high byte first.
constexpr int32_t kBigEndian = 1;

// The buffer of a peek of `count` bytes at args[2]; the readable end (the
// request's end or the EOD, whichever comes first) goes to *end.
BufferSlot* PeekRange(ScriptContext* ctx, Value* args, int32_t count, int64_t* end) {
  BufferSlot* b = Get(ctx, args[1].ival);
  if (!b || !CheckOffsetCount(ctx, args[2].ival, count)) return nullptr;
  if (!Within(args[2].ival, count, b->size)) {
    err::Raise(ctx, kPeekPastEnd);
    return nullptr;
  }
  int64_t stop = int64_t(args[2].ival) + count;
  *end = stop < b->eod ? stop : b->eod;
  return b;
}

// BinaryPeekStr(h, offset, maxsize): the text up to a NUL, maxsize or the EOD.
void PeekStr(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  int64_t end = 0;
  BufferSlot* b = PeekRange(ctx, args, args[3].ival, &end);
  if (!b) return;
  int64_t from = args[2].ival;
  size_t n = end > from ? size_t(end - from) : 0;
  const uint8_t* p = b->data + from;
  if (const void* nul = n ? memchr(p, 0, n) : nullptr) n = static_cast<const uint8_t*>(nul) - p;
  txt::SetResult<char>(ctx, r, reinterpret_cast<const char*>(p), n);
}

// BinaryPeekStrW(h, offset, maxsize [, flag]): UTF-16 text up to a NUL unit,
// maxsize bytes or the EOD; the bytes it reads must make whole units.
void PeekStrW(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  if (args[3].ival >= 0 && args[3].ival % 2) return err::Raise(ctx, kOddMaxSize);
  int64_t end = 0;
  BufferSlot* b = PeekRange(ctx, args, args[3].ival, &end);
  if (!b) return;
  bool big = argc >= 4 && (args[4].ival & kBigEndian);
  int64_t from = args[2].ival;
  size_t bytes = end > from ? size_t(end - from) : 0;
  const uint8_t* p = b->data + from;
  size_t units = 0;
  while (units * 2 + 1 < bytes) {
    uint8_t lo = p[units * 2 + (big ? 1 : 0)], hi = p[units * 2 + (big ? 0 : 1)];
    if (!lo && !hi) break;
    ++units;
  }
  if (units * 2 + 1 == bytes) return err::Raise(ctx, kOddByteCount);
  wchar_t* out = txt::NewResult<wchar_t>(ctx, r, units);
  if (!out) return;
  for (size_t i = 0; i < units; ++i) {
    uint8_t lo = p[i * 2 + (big ? 1 : 0)], hi = p[i * 2 + (big ? 0 : 1)];
    out[i] = static_cast<wchar_t>(hi << 8 | lo);
  }
}

// The buffer of a poke of `bytes` at args[2]; nullptr with 2332 when they
// would overrun it.
BufferSlot* PokeRange(ScriptContext* ctx, Value* args, size_t bytes) {
  BufferSlot* b = Get(ctx, args[1].ival);
  if (!b || !CheckOffset(ctx, args[2].ival)) return nullptr;
  if (!Within(args[2].ival, int64_t(bytes), b->size)) {
    err::Raise(ctx, kPokePastEnd);
    return nullptr;
  }
  return b;
}

// BinaryPokeStr(h, offset, text): bytes stored.
void PokeStr(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  txt::Text<char> t = txt::Arg<char>(ctx, args[3]);
  BufferSlot* b = PokeRange(ctx, args, t.len);
  if (!b) return;
  memcpy(b->data + args[2].ival, t.p, t.len);
  ExtendEod(b, int64_t(args[2].ival) + t.len);
  r->ival = static_cast<int32_t>(t.len);
}

// BinaryPokeStrW(h, offset, text [, flag]): bytes stored.
void PokeStrW(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  txt::Text<wchar_t> t = txt::Arg<wchar_t>(ctx, args[3]);
  size_t bytes = t.len * 2;
  BufferSlot* b = PokeRange(ctx, args, bytes);
  if (!b) return;
  bool big = argc >= 4 && (args[4].ival & kBigEndian);
  uint8_t* p = b->data + args[2].ival;
  for (size_t i = 0; i < t.len; ++i) {
    uint16_t u = static_cast<uint16_t>(t.p[i]);
    p[i * 2 + (big ? 1 : 0)] = static_cast<uint8_t>(u);
    p[i * 2 + (big ? 0 : 1)] = static_cast<uint8_t>(u >> 8);
  }
  ExtendEod(b, int64_t(args[2].ival) + bytes);
  r->ival = static_cast<int32_t>(bytes);
}

// BinaryPeekHex(h, offset, count): the bytes below the EOD as "%02X" pairs.
// The request must lie within the buffer.
void PeekHex(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Get(ctx, args[1].ival);
  if (!b || !CheckOffsetCount(ctx, args[2].ival, args[3].ival)) return;
  if (args[2].ival > b->size) return err::Raise(ctx, kOffsetPastSize);
  if (!Within(args[2].ival, args[3].ival, b->size)) return err::Raise(ctx, kCountPastSize);
  int64_t from = args[2].ival, end = from + args[3].ival;
  if (end > b->eod) end = b->eod;
  size_t n = end > from ? size_t(end - from) : 0;
  char* out = txt::NewResult<char>(ctx, r, n * 2);
  if (!out) return;
  static const char kDigits[] = "0123456789ABCDEF";
  for (size_t i = 0; i < n; ++i) {
    out[i * 2] = kDigits[b->data[from + i] >> 4];
    out[i * 2 + 1] = kDigits[b->data[from + i] & 15];
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

size_t HexBytes(const char* text, size_t len, uint8_t* out) {
  if (len % 2) return SIZE_MAX;
  for (size_t i = 0; i < len; i += 2) {
    int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return SIZE_MAX;
    if (out) out[i / 2] = static_cast<uint8_t>(hi << 4 | lo);
  }
  return len / 2;
}

namespace {

// BinaryPokeHex(h, offset, hex): bytes stored.
void PokeHex(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Get(ctx, args[1].ival);
  if (!b || !CheckOffset(ctx, args[2].ival)) return;
  txt::Text<char> t = txt::Arg<char>(ctx, args[3]);
  size_t n = HexBytes(t.p, t.len, nullptr);
  if (n == SIZE_MAX) return err::Raise(ctx, kBadHexText);
  if (!Within(args[2].ival, int64_t(n), b->size)) return err::Raise(ctx, kHexPastEnd);
  HexBytes(t.p, t.len, b->data + args[2].ival);
  ExtendEod(b, int64_t(args[2].ival) + n);
  r->ival = static_cast<int32_t>(n);
}

}  // namespace

void RegisterText() {
  calls::Register("binarypeekstr", PeekStr);
  calls::Register("binarypeekstrw", PeekStrW);
  calls::Register("binarypokestr", PokeStr);
  calls::Register("binarypokestrw", PokeStrW);
  calls::Register("binarypeekhex", PeekHex);
  calls::Register("binarypokehex", PokeHex);
}

}  // namespace zel::bin
