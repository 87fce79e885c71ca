// Searching buffers: the index functions forward and backward, exact or
// ignoring case, for texts and byte patterns; counting; and replacing every
// occurrence below the EOD.
#include "binary/search.h"

#include <windows.h>

#include <cstring>

#include "binary/buffer.h"
#include "builtins/dispatch.h"
#include "builtins/text.h"
#include "errors/errinfo.h"
#include "values/convert.h"

namespace zel::bin {

void LoadFold(Fold* f) {
  for (int i = 0; i < 256; ++i) f->up[i] = static_cast<uint8_t>(i);
  CharUpperBuffA(reinterpret_cast<char*>(f->up + 1), 255);
}

bool SameBytes(const uint8_t* a, const uint8_t* b, size_t n, const Fold* fold) {
  if (!fold) return memcmp(a, b, n) == 0;
  for (size_t i = 0; i < n; ++i)
    if (fold->up[a[i]] != fold->up[b[i]]) return false;
  return true;
}

int64_t FindForward(const uint8_t* data, int64_t from, int64_t end, const uint8_t* pat, size_t len,
                    const Fold* fold) {
  int64_t last = end - int64_t(len);  // the last start that still fits
  if (from < 0) from = 0;
  if (!fold) {
    for (int64_t i = from; i <= last;) {
      const void* hit = memchr(data + i, pat[0], size_t(last - i + 1));
      if (!hit) return -1;
      i = static_cast<const uint8_t*>(hit) - data;
      if (memcmp(data + i + 1, pat + 1, len - 1) == 0) return i;
      ++i;
    }
    return -1;
  }
  uint8_t first = fold->up[pat[0]];
  for (int64_t i = from; i <= last; ++i)
    if (fold->up[data[i]] == first && SameBytes(data + i + 1, pat + 1, len - 1, fold)) return i;
  return -1;
}

int64_t FindBackward(const uint8_t* data, int64_t last, const uint8_t* pat, size_t len,
                     const Fold* fold) {
  uint8_t first = fold ? fold->up[pat[0]] : pat[0];
  for (int64_t i = last; i >= 0; --i) {
    uint8_t c = fold ? fold->up[data[i]] : data[i];
    if (c == first && SameBytes(data + i + 1, pat + 1, len - 1, fold)) return i;
  }
  return -1;
}

namespace {

constexpr uint16_t kIndexPastEnd = 3333;
constexpr uint16_t kBadHexItem = 1714;
constexpr uint16_t kEmptyItem = 1715;
constexpr uint16_t kReplaceOverrun = 1614;

// A search in one buffer from `offset`: forward, candidates start at the
// offset and end by the EOD; backward, candidates end at or before the offset
// (and by the EOD). An empty pattern finds the first non-zero byte.
int64_t Search(const BufferSlot* b, int64_t offset, const uint8_t* pat, size_t len, bool backward,
               const Fold* fold) {
  const uint8_t* d = b->data;
  if (len == 0) {
    if (!backward) {
      for (int64_t i = offset; i < b->eod; ++i)
        if (d[i]) return i;
    } else {
      for (int64_t i = offset < b->eod ? offset : b->eod - 1; i >= 0; --i)
        if (d[i]) return i;
    }
    return -1;
  }
  if (!backward) return FindForward(d, offset, b->eod, pat, len, fold);
  int64_t last = offset - int64_t(len) + 1;
  if (last > b->eod - int64_t(len)) last = b->eod - int64_t(len);
  return last < 0 ? -1 : FindBackward(d, last, pat, len, fold);
}

// The buffer and offset of args[1..2] of an index function.
BufferSlot* IndexStart(ScriptContext* ctx, Value* args) {
  BufferSlot* b = Get(ctx, args[1].ival);
  if (!b || !CheckOffset(ctx, args[2].ival)) return nullptr;
  if (args[2].ival >= b->size) {
    err::Raise(ctx, kIndexPastEnd);
    return nullptr;
  }
  return b;
}

enum class IndexKind { kExact, kNoCase, kChosen };

// BinaryIndex, BinaryIndexNc (h, offset, text, direction) and BinaryIndexEx
// (..., match case): the offset of the match; 0 when there is none, -1 for
// BinaryIndexEx.
template <IndexKind K>
void Index(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = IndexStart(ctx, args);
  if (!b) return;
  txt::Text<char> t = txt::Arg<char>(ctx, args[3]);
  bool exact = K == IndexKind::kExact || (K == IndexKind::kChosen && args[5].ival != 0);
  Fold fold;
  if (!exact) LoadFold(&fold);
  int64_t at = Search(b, args[2].ival, reinterpret_cast<const uint8_t*>(t.p), t.len,
                      args[4].ival != 0, exact ? nullptr : &fold);
  r->ival = at >= 0 ? static_cast<int32_t>(at) : K == IndexKind::kChosen ? -1 : 0;
}

// BinaryIndexBin(h, offset, item, direction [, match case]): `item` is a
// buffer handle (its bytes below the EOD) or a text of hexadecimal pairs;
// the offset of the match, or -1. Matching is exact unless the flag is 0.
void IndexBin(ScriptContext* ctx, Value* r, Value* args, int argc, bool, int) {
  BufferSlot* b = IndexStart(ctx, args);
  if (!b) return;
  Value& item = args[3];
  txt::WorkMemory w;
  const uint8_t* pat = nullptr;
  size_t len = 0;
  if ((item.flags & kFlagInt) && (item.flags & kFlagBinBuf)) {
    BufferSlot* ib = Get(ctx, item.ival);
    if (!ib) return;
    pat = ib->data;
    len = size_t(ib->eod);
  } else {
    if (!(item.flags & kFlagString) && !val::ToText(ctx, &item)) {
      if (!ctx->error) err::Raise(ctx, kBadHexItem);
      return;
    }
    txt::Text<char> t = txt::Arg<char>(ctx, item);
    len = HexBytes(t.p, t.len, nullptr);
    if (len == SIZE_MAX) return err::Raise(ctx, kBadHexItem);
    if (!w.Get(ctx, len)) return;
    HexBytes(t.p, t.len, w.As<uint8_t>());
    pat = w.As<uint8_t>();
  }
  if (len == 0) return err::Raise(ctx, kEmptyItem);
  bool exact = argc < 5 || args[5].ival != 0;
  Fold fold;
  if (!exact) LoadFold(&fold);
  int64_t at = Search(b, args[2].ival, pat, len, args[4].ival != 0, exact ? nullptr : &fold);
  r->ival = static_cast<int32_t>(at);
}

// BinaryStrCnt(h, start, end, text): non-overlapping exact matches that start
// between start and end (either order) and end by the EOD.
void StrCnt(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Get(ctx, args[1].ival);
  if (!b) return;
  int32_t from = args[2].ival, to = args[3].ival;
  if (from > to) {
    int32_t t = from;
    from = to;
    to = t;
  }
  if (from < 0 || to >= b->size) return err::Raise(ctx, kIndexPastEnd);
  if (b->eod <= to) return err::Raise(ctx, kOffsetPastEod);
  txt::Text<char> t = txt::Arg<char>(ctx, args[4]);
  const uint8_t* pat = reinterpret_cast<const uint8_t*>(t.p);
  int64_t end = int64_t(to) + int64_t(t.len);  // a match starting at `to` ends here
  if (end > b->eod) end = b->eod;
  int32_t n = 0;
  if (t.len) {
    for (int64_t at = from; (at = FindForward(b->data, at, end, pat, t.len, nullptr)) >= 0;
         at += int64_t(t.len))
      ++n;
  }
  r->ival = n;
}

// The next match at or after `from` below `end`: an empty pattern matches
// each zero byte.
int64_t NextMatch(const uint8_t* d, int64_t from, int64_t end, const uint8_t* pat, size_t len,
                  const Fold* fold) {
  if (len) return FindForward(d, from, end, pat, len, fold);
  const void* z = from < end ? memchr(d + from, 0, size_t(end - from)) : nullptr;
  return z ? static_cast<const uint8_t*>(z) - d : -1;
}

// BinaryReplace(h, search, replacement, match case): the number of
// replacements. The result is built in a copy, so a failure changes nothing.
void Replace(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Get(ctx, args[1].ival);
  if (!b) return;
  txt::Text<char> s = txt::Arg<char>(ctx, args[2]), rep = txt::Arg<char>(ctx, args[3]);
  const uint8_t* pat = reinterpret_cast<const uint8_t*>(s.p);
  size_t step = s.len ? s.len : 1;
  Fold fold;
  const Fold* f = nullptr;
  if (args[4].ival == 0) {
    LoadFold(&fold);
    f = &fold;
  }
  int64_t count = 0;
  for (int64_t at = 0; (at = NextMatch(b->data, at, b->eod, pat, s.len, f)) >= 0; at += step) ++count;
  if (count == 0) return;
  int64_t newLen = b->eod + count * (int64_t(rep.len) - int64_t(step));
  if (newLen > b->size) return err::Raise(ctx, kReplaceOverrun);
  txt::WorkMemory w;
  if (!w.Get(ctx, size_t(newLen))) return;
  uint8_t* out = w.As<uint8_t>();
  int64_t from = 0, o = 0;
  for (int64_t at; (at = NextMatch(b->data, from, b->eod, pat, s.len, f)) >= 0; from = at + step) {
    memcpy(out + o, b->data + from, size_t(at - from));
    o += at - from;
    memcpy(out + o, rep.p, rep.len);
    o += int64_t(rep.len);
  }
  memcpy(out + o, b->data + from, size_t(b->eod - from));
  memcpy(b->data, out, size_t(newLen));
  b->eod = static_cast<int32_t>(newLen);
  r->ival = static_cast<int32_t>(count);
}

}  // namespace

void RegisterSearch() {
  calls::Register("binaryindex", Index<IndexKind::kExact>);
  calls::Register("binaryindexnc", Index<IndexKind::kNoCase>);
  calls::Register("binaryindexex", Index<IndexKind::kChosen>);
  calls::Register("binaryindexbin", IndexBin);
  calls::Register("binarystrcnt", StrCnt);
  calls::Register("binaryreplace", Replace);
}

}  // namespace zel::bin
