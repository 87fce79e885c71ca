// Fixed-size records filling a buffer: a hash table with open addressing
// keyed by text, and sorting by a key of one of five types.
#include <algorithm>
#include <cstring>

#include "binary/buffer.h"
#include "binary/search.h"
#include "builtins/dispatch.h"
#include "builtins/text.h"
#include "errors/errinfo.h"

namespace zel::bin {
namespace {

constexpr uint16_t kBadRecordSize = 1474;
constexpr uint16_t kBadKeyOffset = 1475;
constexpr uint16_t kBadKeySize = 1476;
constexpr uint16_t kKeyOutsideRecord = 1477;
constexpr uint16_t kRecordTooLarge = 1478;
constexpr uint16_t kRecordMemory = 1479;
constexpr uint16_t kEmptyKey = 1480;
constexpr uint16_t kKeyTooLong = 1481;
constexpr uint16_t kTableFull = 1482;

// The record layout of args[2..4] checked against the buffer.
struct Layout {
  int32_t recordSize, keyOffset, keySize, records;
};

bool ReadLayout(ScriptContext* ctx, const BufferSlot* b, Value* args, int32_t keySize, Layout* l) {
  l->recordSize = args[2].ival;
  l->keyOffset = args[3].ival;
  l->keySize = keySize;
  uint16_t e = l->recordSize < 1                                       ? kBadRecordSize
               : l->keyOffset < 0                                      ? kBadKeyOffset
               : l->keySize < 1                                        ? kBadKeySize
               : !Within(l->keyOffset, l->keySize, l->recordSize)      ? kKeyOutsideRecord
               : l->recordSize > b->size                               ? kRecordTooLarge
                                                                       : 0;
  if (e) err::Raise(ctx, e);
  l->records = e ? 0 : b->size / l->recordSize;
  return e == 0;
}

// The hash of a key: h = 2h + c over its bytes taken as signed characters.
uint32_t KeyHash(const char* key, size_t len) {
  uint32_t h = 0;
  for (size_t i = 0; i < len; ++i) h = h * 2 + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(key[i])));
  return h;
}

// Whether a record's key field, read as text of at most keySize bytes,
// equals the key without regard to case.
bool KeyMatches(const uint8_t* field, int32_t keySize, const char* key, size_t len, const Fold& fold) {
  size_t n = 0;
  while (n < size_t(keySize) && field[n]) ++n;
  return n == len && SameBytes(field, reinterpret_cast<const uint8_t*>(key), len, &fold);
}

// BinaryHashRec(h, record size, key offset, key size, key): the offset of
// the key's record, which is claimed for the key when the key is new. The
// EOD moves up to the end of a record claimed.
void HashRec(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Get(ctx, args[1].ival);
  Layout l;
  if (!b || !ReadLayout(ctx, b, args, args[4].ival, &l)) return;
  txt::Text<char> key = txt::Arg<char>(ctx, args[5]);
  if (key.len == 0) return err::Raise(ctx, kEmptyKey);
  if (key.len > size_t(l.keySize)) return err::Raise(ctx, kKeyTooLong);
  Fold fold;
  LoadFold(&fold);
  int32_t start = l.records > 1 ? int32_t(KeyHash(key.p, key.len) % uint32_t(l.records - 1)) : 0;
  for (int32_t k = 0; k < l.records; ++k) {
    int32_t rec = (start + k) % l.records;
    int64_t at = int64_t(rec) * l.recordSize;
    uint8_t* field = b->data + at + l.keyOffset;
    if (field[0] == 0) {
      memcpy(field, key.p, key.len);
      if (key.len < size_t(l.keySize)) field[key.len] = 0;
      ExtendEod(b, at + l.recordSize);
      r->ival = static_cast<int32_t>(at);
      return;
    }
    if (KeyMatches(field, l.keySize, key.p, key.len, fold)) {
      r->ival = static_cast<int32_t>(at);
      return;
    }
  }
  err::Raise(ctx, kTableFull);
}

// Key types of BinarySort's flags; none of them is a text key.
enum : int32_t { kKeyU8 = 1, kKeyU16 = 2, kKeyU32 = 4, kKeyDouble = 8, kDescending = 16 };

int32_t KeyWidth(int32_t flags, int32_t keySize) {
  if (flags & kKeyU8) return 1;
  if (flags & kKeyU16) return 2;
  if (flags & kKeyU32) return 4;
  if (flags & kKeyDouble) return 8;
  return keySize;
}

// Orders two keys: <0, 0, >0.
struct KeyOrder {
  int32_t type;  // kKeyU8 .. kKeyDouble, or 0 for text
  int32_t size;
  const Fold* fold;

  int operator()(const uint8_t* a, const uint8_t* b) const {
    if (type == kKeyDouble) {
      double x, y;
      memcpy(&x, a, 8);
      memcpy(&y, b, 8);
      return x < y ? -1 : y < x ? 1 : 0;
    }
    if (type) {
      uint32_t x = 0, y = 0;
      for (int i = size - 1; i >= 0; --i) {
        x = x << 8 | a[i];
        y = y << 8 | b[i];
      }
      return x < y ? -1 : x > y ? 1 : 0;
    }
    return CompareText(a, b);
  }

  // Text keys end at a NUL or after `size` bytes; equal without regard to
  // case, they are ordered with regard to it.
  int CompareText(const uint8_t* a, const uint8_t* b) const {
    int exact = 0;
    for (int32_t i = 0; i < size; ++i) {
      int x = fold->up[a[i]], y = fold->up[b[i]];
      if (x != y) return x - y;
      if (!exact) exact = int(a[i]) - int(b[i]);
      if (!a[i]) break;
    }
    return exact;
  }
};

// BinarySort(h, record size, key offset, key size, flags): sorts the records
// in place; records with equal keys keep their order. Returns 1.
void Sort(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Get(ctx, args[1].ival);
  int32_t flags = args[5].ival;
  Layout l;
  if (!b || !ReadLayout(ctx, b, args, KeyWidth(flags, args[4].ival), &l)) return;
  Fold fold;
  LoadFold(&fold);
  int32_t type = flags & kKeyU8 ? kKeyU8 : flags & kKeyU16 ? kKeyU16 : flags & kKeyU32 ? kKeyU32
               : flags & kKeyDouble ? kKeyDouble : 0;
  KeyOrder order{type, l.keySize, &fold};
  bool descending = flags & kDescending;
  txt::WorkMemory copy, numbers;
  size_t bytes = size_t(l.records) * size_t(l.recordSize);
  if (!copy.Get(ctx, bytes) || !numbers.Get(ctx, size_t(l.records) * sizeof(int32_t)))
    return err::Raise(ctx, kRecordMemory);
  int32_t* index = numbers.As<int32_t>();
  for (int32_t i = 0; i < l.records; ++i) index[i] = i;
  const uint8_t* keys = b->data + l.keyOffset;
  int64_t stride = l.recordSize;
  std::stable_sort(index, index + l.records, [&](int32_t x, int32_t y) {
    int c = order(keys + x * stride, keys + y * stride);
    return descending ? c > 0 : c < 0;
  });
  uint8_t* out = copy.As<uint8_t>();
  for (int32_t i = 0; i < l.records; ++i)
    memcpy(out + i * stride, b->data + index[i] * stride, size_t(stride));
  memcpy(b->data, out, bytes);
  r->ival = 1;
}

}  // namespace

void RegisterRecords() {
  calls::Register("binaryhashrec", HashRec);
  calls::Register("binarysort", Sort);
}

}  // namespace zel::bin
