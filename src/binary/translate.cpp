// Translating a buffer's data in place: through a table of bytes or 16-bit
// units, and between character sets (ANSI, OEM, a chosen code page and
// UTF-16) with optional case mapping.
#include <windows.h>

#include <cstring>

#include "binary/buffer.h"
#include "builtins/dispatch.h"
#include "builtins/text.h"
#include "errors/errinfo.h"

namespace zel::bin {
namespace {

constexpr uint16_t kBadXlateMode = 1656;
constexpr uint16_t kXlateMemory = 1662;
constexpr uint16_t kXlateOddData = 1661;
constexpr uint16_t kXlateWontFit = 1663;

// Units of each mode: input bytes, output bytes, the table's EOD and the
// error when the table is shorter.
struct XlateMode {
  int in, out;
  int32_t tableBytes;
  uint16_t shortTable;
};
constexpr XlateMode kXlateModes[] = {
    {1, 1, 256, 1657}, {1, 2, 512, 1658}, {2, 1, 65536, 1659}, {2, 2, 131072, 1660}};

// BinaryXlate(data, table, mode): the new EOD of the data buffer.
void Xlate(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* d = Get(ctx, args[1].ival);
  BufferSlot* t = d ? Get(ctx, args[2].ival) : nullptr;
  if (!t) return;
  int32_t mode = args[3].ival;
  if (mode < 0 || mode > 3) return err::Raise(ctx, kBadXlateMode);
  const XlateMode& m = kXlateModes[mode];
  if (t->eod < m.tableBytes) return err::Raise(ctx, m.shortTable);
  if (d->eod == 0) return;
  if (m.in == 2 && d->eod % 2) return err::Raise(ctx, kXlateOddData);
  int64_t units = d->eod / m.in, outLen = units * m.out;
  if (outLen > d->size) return err::Raise(ctx, kXlateWontFit);
  txt::WorkMemory w;
  if (!w.Get(ctx, size_t(outLen))) return err::Raise(ctx, kXlateMemory);
  uint8_t* out = w.As<uint8_t>();
  const uint8_t* in = d->data;
  for (int64_t i = 0; i < units; ++i) {
    size_t u = m.in == 1 ? in[i] : size_t(in[i * 2] | in[i * 2 + 1] << 8);
    memcpy(out + i * m.out, t->data + u * m.out, size_t(m.out));
  }
  memcpy(d->data, out, size_t(outLen));
  d->eod = static_cast<int32_t>(outLen);
  r->ival = d->eod;
}

constexpr uint16_t kBadType = 1553;
constexpr uint16_t kBadFlags = 1554;
constexpr uint16_t kBothCases = 1555;
constexpr uint16_t kNoRoom = 1556;
constexpr uint16_t kConvertFailed = 1557;

// Character sets: 0 ANSI, 1 OEM, 2 the code page argument, 3 UTF-16. An
// 8-bit set converted to or from UTF-16 is read or written in the code page
// argument; between two 8-bit sets each keeps its own page.
enum : int32_t { kAnsi = 0, kOem = 1, kChosenPage = 2, kUtf16 = 3 };
enum : int32_t { kToUpper = 1, kToLower = 2 };

UINT PageOf(int32_t type, int32_t other, UINT chosen) {
  if (other == kUtf16) return chosen;
  return type == kAnsi ? CP_ACP : type == kOem ? CP_OEMCP : chosen;
}

// The data, in the code page `page` (or already UTF-16), as UTF-16 in `w`;
// its length in units, or -1.
int64_t Widen(ScriptContext* ctx, const BufferSlot* b, int32_t type, UINT page, txt::WorkMemory* w) {
  if (type == kUtf16) {
    if (b->eod % 2) return -1;
    if (!w->Get(ctx, size_t(b->eod))) return -1;
    memcpy(w->As<uint8_t>(), b->data, size_t(b->eod));
    return b->eod / 2;
  }
  const char* src = reinterpret_cast<const char*>(b->data);
  int n = MultiByteToWideChar(page, 0, src, b->eod, nullptr, 0);
  if (n <= 0 || !w->Get(ctx, size_t(n) * 2)) return -1;
  return MultiByteToWideChar(page, 0, src, b->eod, w->As<wchar_t>(), n);
}

// BinaryConvert(h, source type, target type, code page, flags): the text of
// bytes 0 to EOD converted in place; returns the new EOD.
void Convert(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Get(ctx, args[1].ival);
  if (!b) return;
  int32_t from = args[2].ival, to = args[3].ival, flags = args[5].ival;
  UINT page = args[4].ival ? UINT(args[4].ival) : CP_ACP;
  if (from < kAnsi || from > kUtf16 || to < kAnsi || to > kUtf16) return err::Raise(ctx, kBadType);
  if (flags & ~(kToUpper | kToLower)) return err::Raise(ctx, kBadFlags);
  if (flags == (kToUpper | kToLower)) return err::Raise(ctx, kBothCases);
  if (b->eod == 0) return;
  // Everything goes through UTF-16, where the case mapping is done, except
  // the system's own ANSI/OEM pair and an unchanged 8-bit set.
  txt::WorkMemory wide, narrow;
  const uint8_t* out = nullptr;
  int64_t outLen = 0;
  if (from != kUtf16 && to != kUtf16 && (from == to || (from != kChosenPage && to != kChosenPage))) {
    if (!narrow.Get(ctx, size_t(b->eod))) return;
    char* p = narrow.As<char>();
    memcpy(p, b->data, size_t(b->eod));
    DWORD n = DWORD(b->eod);
    if (from == kAnsi && to == kOem) CharToOemBuffA(p, p, n);
    if (from == kOem && to == kAnsi) OemToCharBuffA(p, p, n);
    if (flags & kToUpper) CharUpperBuffA(p, n);
    if (flags & kToLower) CharLowerBuffA(p, n);
    out = narrow.As<uint8_t>();
    outLen = b->eod;
  } else {
    int64_t units = Widen(ctx, b, from, PageOf(from, to, page), &wide);
    if (units < 0) return err::Raise(ctx, ctx->error ? ctx->error : kConvertFailed);
    wchar_t* w = wide.As<wchar_t>();
    if (flags & kToUpper) CharUpperBuffW(w, DWORD(units));
    if (flags & kToLower) CharLowerBuffW(w, DWORD(units));
    if (to == kUtf16) {
      out = wide.As<uint8_t>();
      outLen = units * 2;
    } else if (units > 0) {
      UINT target = PageOf(to, from, page);
      int n = WideCharToMultiByte(target, 0, w, int(units), nullptr, 0, nullptr, nullptr);
      if (n <= 0) return err::Raise(ctx, kConvertFailed);
      if (n > b->size) return err::Raise(ctx, kNoRoom);
      if (!narrow.Get(ctx, size_t(n))) return;
      outLen = WideCharToMultiByte(target, 0, w, int(units), narrow.As<char>(), n, nullptr, nullptr);
      out = narrow.As<uint8_t>();
    }
  }
  if (outLen > b->size) return err::Raise(ctx, kNoRoom);
  if (outLen) memcpy(b->data, out, size_t(outLen));
  b->eod = static_cast<int32_t>(outLen);
  r->ival = b->eod;
}

}  // namespace

void RegisterTranslate() {
  calls::Register("binaryxlate", Xlate);
  calls::Register("binaryconvert", Convert);
}

}  // namespace zel::bin
