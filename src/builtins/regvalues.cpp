// Registry value functions: every registry data type read into text by fixed
// rules, and text parsed back into the type a set function names.
#include <cstdio>
#include <cstring>

#include "builtins/dispatch.h"
#include "builtins/registry.h"
#include "builtins/regkey.h"
#include "builtins/text.h"
#include "errors/errinfo.h"

namespace zel::calls {
namespace {

using reg::Fail;
using reg::KeyOf;
using reg::KeyValue;
using reg::SubKey;

constexpr uint16_t kQueryFailed = 1233;
constexpr uint16_t kSetFailed = 1232;
constexpr uint16_t kNoMemory = 1455;
constexpr uint16_t kBadDelimiter = 1487;
constexpr uint16_t kBadDword = 1459;
constexpr uint16_t kBadBinary = 1457;
constexpr uint16_t kBadQword = 1743;
constexpr uint16_t kBadQueryType = 1492;
constexpr uint16_t kBadSetType = 1493;

// A value is read into at least this much work memory.
constexpr DWORD kReadRoom = 1281;
// Bytes of a QWORD value.
constexpr size_t kQwordBytes = 8;

// ---- reading

// A value as the registry holds it, followed by two zero bytes so that
// string data is terminated whatever was stored.
struct ValueData {
  DWORD type = REG_NONE;
  DWORD size = 0;
  txt::WorkMemory mem;
  const uint8_t* bytes() const { return mem.As<uint8_t>(); }
};

// Reads the value that `text` names below `key`: 1452 when the subkey cannot
// be opened, 1455 without memory, 1233 when the value cannot be read.
bool ReadValue(ScriptContext* ctx, HKEY key, const char* text, ValueData* out) {
  KeyValue kv;
  if (!reg::SplitKeyValue(ctx, text, &kv)) return false;
  SubKey k;
  if (k.Open(ctx, key, kv.subkey, KEY_READ) != ERROR_SUCCESS)
    return Fail(ctx, reg::kCannotOpenSubkey);
  // The value may grow between asking for its size and reading it: ask again.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = 0;
    if (RegQueryValueExA(k.get(), kv.name, nullptr, &out->type, nullptr, &size) != ERROR_SUCCESS)
      return Fail(ctx, kQueryFailed);
    DWORD room = size > kReadRoom ? size : kReadRoom;
    if (room > 0xfffffff0u || !out->mem.Get(ctx, room + 2)) return Fail(ctx, kNoMemory);
    uint8_t* p = out->mem.As<uint8_t>();
    out->size = room;
    LONG rc = RegQueryValueExA(k.get(), kv.name, nullptr, &out->type, p, &out->size);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS || out->size > room) return Fail(ctx, kQueryFailed);
    p[out->size] = 0;
    p[out->size + 1] = 0;
    return true;
  }
  return Fail(ctx, kQueryFailed);
}

// ---- data into text

void StringText(ScriptContext* ctx, Value* r, const ValueData& d) {
  const char* p = reinterpret_cast<const char*>(d.bytes());
  txt::SetResult<char>(ctx, r, p, strnlen(p, d.size));
}

void ExpandedText(ScriptContext* ctx, Value* r, const ValueData& d) {
  const char* p = reinterpret_cast<const char*>(d.bytes());
  DWORD need = ExpandEnvironmentStringsA(p, nullptr, 0);
  txt::WorkMemory w;
  if (need == 0) return StringText(ctx, r, d);
  if (!w.Get(ctx, need + 1)) return err::Raise(ctx, kNoMemory);
  DWORD got = ExpandEnvironmentStringsA(p, w.As<char>(), need + 1);
  if (got == 0 || got > need + 1) return StringText(ctx, r, d);
  txt::SetResult<char>(ctx, r, w.As<char>(), strnlen(w.As<char>(), need));
}

// Every byte as two upper-case hexadecimal digits, bytes separated by a blank.
void HexText(ScriptContext* ctx, Value* r, const uint8_t* p, size_t n) {
  static const char kDigits[] = "0123456789ABCDEF";
  char* out = txt::NewResult<char>(ctx, r, n ? 3 * n - 1 : 0);
  for (size_t i = 0; out && i < n; ++i) {
    if (i) *out++ = ' ';
    *out++ = kDigits[p[i] >> 4];
    *out++ = kDigits[p[i] & 15];
  }
}

// A 32-bit number, little-endian or (REG_DWORD_BIG_ENDIAN) big-endian, in
// unsigned decimal or upper-case hexadecimal.
void DwordText(ScriptContext* ctx, Value* r, const ValueData& d, bool hex) {
  const uint8_t* b = d.bytes();  // at least four bytes, zero past the stored size
  unsigned long v = d.type == REG_DWORD_BIG_ENDIAN
                        ? (unsigned long)b[0] << 24 | (unsigned long)b[1] << 16 | b[2] << 8 | b[3]
                        : (unsigned long)b[3] << 24 | (unsigned long)b[2] << 16 | b[1] << 8 | b[0];
  char text[16];
  snprintf(text, sizeof text, hex ? "%lX" : "%lu", v);
  txt::SetResult<char>(ctx, r, text, strlen(text));
}

// The strings of a REG_MULTI_SZ joined by `delim`, up to the first empty
// string or the end of the stored data.
void JoinedText(ScriptContext* ctx, Value* r, const ValueData& d, txt::Text<char> delim) {
  const char* p = reinterpret_cast<const char*>(d.bytes());
  size_t total = 0, strings = 0;
  for (size_t at = 0; at < d.size && p[at];) {
    size_t n = strnlen(p + at, d.size - at);
    total += n;
    ++strings;
    at += n + 1;
  }
  if (strings > 1) total += (strings - 1) * delim.len;
  char* out = txt::NewResult<char>(ctx, r, total);
  for (size_t at = 0, k = 0; out && k < strings; ++k) {
    size_t n = strnlen(p + at, d.size - at);
    if (k) {
      memcpy(out, delim.p, delim.len);
      out += delim.len;
    }
    memcpy(out, p + at, n);
    out += n;
    at += n + 1;
  }
}

// What a query function accepts and how it turns data into text.
enum class Want { kValue, kStr, kExpSz, kBin, kDword, kQword, kMulSz };

void DataText(ScriptContext* ctx, Value* r, Want want, const ValueData& d, bool hex,
              txt::Text<char> delim) {
  DWORD t = d.type;
  switch (want) {
    case Want::kValue:
      if (t == REG_SZ) return StringText(ctx, r, d);
      if (t == REG_DWORD || t == REG_DWORD_BIG_ENDIAN) return DwordText(ctx, r, d, false);
      return err::Raise(ctx, t == REG_EXPAND_SZ ? 1488 : t == REG_BINARY ? 1453
                             : t == REG_MULTI_SZ ? 1489 : t == REG_QWORD ? 1742 : 1490);
    case Want::kStr:
      if (t == REG_SZ) return StringText(ctx, r, d);
      if (t == REG_EXPAND_SZ) return ExpandedText(ctx, r, d);
      return err::Raise(ctx, 1645);
    case Want::kExpSz:
      if (t == REG_EXPAND_SZ) return StringText(ctx, r, d);
      return err::Raise(ctx, 1483);
    case Want::kBin:
      if (t == REG_BINARY) return HexText(ctx, r, d.bytes(), d.size);
      return err::Raise(ctx, 1454);
    case Want::kDword:
      if (t == REG_DWORD || t == REG_DWORD_BIG_ENDIAN) return DwordText(ctx, r, d, hex);
      return err::Raise(ctx, 1456);
    case Want::kQword:
      if (t == REG_QWORD) return HexText(ctx, r, d.bytes(), d.size);
      return err::Raise(ctx, 1741);
    case Want::kMulSz:
      if (t == REG_MULTI_SZ) return JoinedText(ctx, r, d, delim);
      return err::Raise(ctx, 1484);
  }
}

// A list delimiter: exactly one character (a double-byte one counts as one).
bool OneCharDelimiter(ScriptContext* ctx, txt::Text<char> d) {
  txt::LeadBytes lb;
  txt::ReadCodePageLeads(ctx, &lb);
  if (d.len == 0 || txt::Step(lb, d.p, d.p + d.len) != d.len) return Fail(ctx, kBadDelimiter);
  return true;
}

void Query(ScriptContext* ctx, Value* r, const Value* args, Want want, bool hex,
           txt::Text<char> delim) {
  if (want == Want::kMulSz && !OneCharDelimiter(ctx, delim)) return;
  ValueData d;
  if (ReadValue(ctx, KeyOf(args[1].ival), ArgText(ctx, args[2]), &d))
    DataText(ctx, r, want, d, hex, delim);
}

template <Want W>
void RegQuery(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  bool hex = W == Want::kDword && argc >= 3 && args[3].ival == 1;
  txt::Text<char> delim = W == Want::kMulSz ? txt::Arg<char>(ctx, args[3]) : txt::Text<char>{"", 0};
  Query(ctx, r, args, W, hex, delim);
}

// RegQueryEx(handle, subkey[value], delimiter, type).
void RegQueryEx(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Want want;
  switch (args[4].ival) {
    case REG_SZ: want = Want::kValue; break;
    case REG_EXPAND_SZ: want = Want::kExpSz; break;
    case REG_BINARY: want = Want::kBin; break;
    case REG_DWORD: want = Want::kDword; break;
    case REG_MULTI_SZ: want = Want::kMulSz; break;
    case REG_QWORD: want = Want::kQword; break;
    default: return err::Raise(ctx, kBadQueryType);
  }
  Query(ctx, r, args, want, false, txt::Arg<char>(ctx, args[3]));
}

// ---- text into data

// Data to be written, in work memory or in the argument's own text.
struct NewData {
  DWORD type = REG_NONE;
  const uint8_t* bytes = nullptr;
  size_t size = 0;
  txt::WorkMemory mem;
  uint8_t small[kQwordBytes] = {};
};

void StringData(txt::Text<char> t, DWORD type, NewData* d) {
  d->type = type;
  d->bytes = reinterpret_cast<const uint8_t*>(t.p);
  d->size = t.len + 1;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A 32-bit number: decimal with an optional sign, or hexadecimal digits,
// blanks around it allowed. False for anything else or a number that does
// not fit 32 bits.
bool ParseDword(txt::Text<char> t, bool hex, uint32_t* out) {
  size_t i = 0;
  while (i < t.len && txt::IsBlank(t.p[i])) ++i;
  bool negative = false;
  if (!hex && i < t.len && (t.p[i] == '-' || t.p[i] == '+')) negative = t.p[i++] == '-';
  uint64_t v = 0;
  size_t digits = 0;
  for (; i < t.len; ++i, ++digits) {
    int d = hex ? HexDigit(t.p[i]) : (t.p[i] >= '0' && t.p[i] <= '9' ? t.p[i] - '0' : -1);
    if (d < 0) break;
    v = v * (hex ? 16 : 10) + static_cast<uint64_t>(d);
    if (v > 0xffffffffull) return false;
  }
  while (i < t.len && txt::IsBlank(t.p[i])) ++i;
  if (digits == 0 || i != t.len || (negative && v > 0x80000000ull)) return false;
  *out = static_cast<uint32_t>(negative ? 0 - v : v);
  return true;
}

// Blank- or tab-separated tokens of exactly two hexadecimal digits, one byte
// each, into `out` (room for `room` bytes; more are dropped). Returns the
// byte count, or -1 for a bad token.
long ParseHexBytes(txt::Text<char> t, uint8_t* out, size_t room) {
  size_t n = 0, i = 0;
  for (;;) {
    while (i < t.len && txt::IsBlank(t.p[i])) ++i;
    if (i == t.len) return static_cast<long>(n);
    size_t start = i;
    while (i < t.len && !txt::IsBlank(t.p[i])) ++i;
    if (i - start != 2) return -1;
    int hi = HexDigit(t.p[start]), lo = HexDigit(t.p[start + 1]);
    if (hi < 0 || lo < 0) return -1;
    if (n < room) out[n] = static_cast<uint8_t>(hi << 4 | lo);
    ++n;
  }
}

bool BinaryData(ScriptContext* ctx, txt::Text<char> t, NewData* d) {
  size_t room = (t.len + 1) / 3 + 1;
  if (room < kReadRoom) room = kReadRoom;
  if (!d->mem.Get(ctx, room)) return Fail(ctx, kNoMemory);
  long n = ParseHexBytes(t, d->mem.As<uint8_t>(), room);
  if (n < 0) return Fail(ctx, kBadBinary);
  d->type = REG_BINARY;
  d->bytes = d->mem.As<uint8_t>();
  d->size = static_cast<size_t>(n) < room ? static_cast<size_t>(n) : room;
  return true;
}

// A QWORD is eight bytes, least significant first: fewer bytes are padded
// with zeros so that what is stored always reads back as a 64-bit number.
bool QwordData(ScriptContext* ctx, txt::Text<char> t, NewData* d) {
  long n = ParseHexBytes(t, d->small, kQwordBytes);
  if (n < 0 || n > static_cast<long>(kQwordBytes)) return Fail(ctx, kBadQword);
  d->type = REG_QWORD;
  d->bytes = d->small;
  d->size = kQwordBytes;
  return true;
}

bool DwordData(ScriptContext* ctx, txt::Text<char> t, bool hex, NewData* d) {
  uint32_t v;
  if (!ParseDword(t, hex, &v)) return Fail(ctx, kBadDword);
  for (int i = 0; i < 4; ++i) d->small[i] = static_cast<uint8_t>(v >> (8 * i));
  d->type = REG_DWORD;
  d->bytes = d->small;
  d->size = 4;
  return true;
}

// The list split at the delimiter into strings, ended by an empty string.
bool MultiData(ScriptContext* ctx, txt::Text<char> list, txt::Text<char> delim, NewData* d) {
  if (!OneCharDelimiter(ctx, delim)) return false;
  if (!d->mem.Get(ctx, list.len + 2)) return Fail(ctx, kNoMemory);
  txt::LeadBytes lb;
  txt::ReadCodePageLeads(ctx, &lb);
  char* out = d->mem.As<char>();
  size_t n = 0;
  for (size_t i = 0; i < list.len;) {
    size_t step = txt::Step(lb, list.p + i, list.p + list.len);
    if (step == delim.len && txt::SameUnits(list.p + i, delim.p, step)) {
      out[n++] = 0;
    } else {
      memcpy(out + n, list.p + i, step);
      n += step;
    }
    i += step;
  }
  bool endsWithDelimiter = n > 0 && out[n - 1] == 0;
  out[n++] = 0;
  if (!endsWithDelimiter) out[n++] = 0;
  d->type = REG_MULTI_SZ;
  d->bytes = d->mem.As<uint8_t>();
  d->size = n;
  return true;
}

// Creates or opens the subkey and writes the value; 1 on success.
void WriteValue(ScriptContext* ctx, Value* r, HKEY key, const KeyValue& kv, const NewData& d) {
  SubKey k;
  if (k.Create(ctx, key, kv.subkey, KEY_SET_VALUE) != ERROR_SUCCESS)
    return err::Raise(ctx, reg::kCannotOpenSubkey);
  if (d.size > 0xffffffffu ||
      RegSetValueExA(k.get(), kv.name, 0, d.type, d.bytes, static_cast<DWORD>(d.size)) != ERROR_SUCCESS)
    return err::Raise(ctx, kSetFailed);
  r->ival = 1;
}

// Builds the data of registry type `type` from `text` (hex applies to a
// DWORD, `delim` to a list) and writes it.
void Set(ScriptContext* ctx, Value* r, const Value* args, DWORD type, txt::Text<char> text,
         bool hex, txt::Text<char> delim) {
  KeyValue kv;
  if (!reg::SplitKeyValue(ctx, ArgText(ctx, args[2]), &kv)) return;
  NewData d;
  bool built = true;
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: StringData(text, type, &d); break;
    case REG_BINARY: built = BinaryData(ctx, text, &d); break;
    case REG_QWORD: built = QwordData(ctx, text, &d); break;
    case REG_DWORD: built = DwordData(ctx, text, hex, &d); break;
    case REG_MULTI_SZ: built = MultiData(ctx, text, delim, &d); break;
    default: return err::Raise(ctx, kBadSetType);
  }
  if (built) WriteValue(ctx, r, KeyOf(args[1].ival), kv, d);
}

template <DWORD Type>
void RegSet(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  bool hex = Type == REG_DWORD && argc >= 4 && args[4].ival == 1;
  txt::Text<char> delim = Type == REG_MULTI_SZ ? txt::Arg<char>(ctx, args[4]) : txt::Text<char>{"", 0};
  Set(ctx, r, args, Type, txt::Arg<char>(ctx, args[3]), hex, delim);
}

// RegSetEx(handle, subkey[value], text, delimiter, type).
void RegSetEx(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  DWORD type = static_cast<DWORD>(args[5].ival);
  bool known = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_BINARY ||
               type == REG_DWORD || type == REG_MULTI_SZ || type == REG_QWORD;
  if (!known) return err::Raise(ctx, kBadSetType);
  Set(ctx, r, args, type, txt::Arg<char>(ctx, args[3]), false, txt::Arg<char>(ctx, args[4]));
}

}  // namespace

void RegisterRegistryValues() {
  Register("regqueryvalue", RegQuery<Want::kValue>);
  Register("regquerystr", RegQuery<Want::kStr>);
  Register("regqueryexpsz", RegQuery<Want::kExpSz>);
  Register("regquerybin", RegQuery<Want::kBin>);
  Register("regquerydword", RegQuery<Want::kDword>);
  Register("regqueryqword", RegQuery<Want::kQword>);
  Register("regquerymulsz", RegQuery<Want::kMulSz>);
  Register("regqueryex", RegQueryEx);
  Register("regsetvalue", RegSet<REG_SZ>);
  Register("regsetexpsz", RegSet<REG_EXPAND_SZ>);
  Register("regsetbin", RegSet<REG_BINARY>);
  Register("regsetqword", RegSet<REG_QWORD>);
  Register("regsetdword", RegSet<REG_DWORD>);
  Register("regsetmulsz", RegSet<REG_MULTI_SZ>);
  Register("regsetex", RegSetEx);
}

}  // namespace zel::calls
