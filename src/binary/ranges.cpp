// Byte ranges of two buffers: copying, comparing, and combining with AND,
// OR and XOR. The two buffers may be the same one.
#include <cstring>

#include "binary/buffer.h"
#include "builtins/dispatch.h"
#include "errors/errinfo.h"

namespace zel::bin {
namespace {

constexpr uint16_t kCopyOffset = 3327;
constexpr uint16_t kCopyWontFit = 3328;
constexpr uint16_t kCopyPastSource = 3329;

// Arguments (dest, dest offset, source, source offset, count) of every
// function here.
struct Pair {
  BufferSlot* dst;
  BufferSlot* src;
  int32_t dstOff, srcOff, count;
};

bool ReadPair(ScriptContext* ctx, Value* args, Pair* p) {
  p->dst = Get(ctx, args[1].ival);
  p->src = p->dst ? Get(ctx, args[3].ival) : nullptr;
  p->dstOff = args[2].ival;
  p->srcOff = args[4].ival;
  p->count = args[5].ival;
  return p->src && CheckOffset(ctx, p->dstOff) && CheckOffset(ctx, p->srcOff) &&
         CheckOffsetCount(ctx, 0, p->count);
}

// Both ranges within the sizes: 1543 for an offset at or past a size, 1544
// for a count reaching past one.
bool WithinSizes(ScriptContext* ctx, const Pair& p) {
  if (p.dstOff >= p.dst->size || p.srcOff >= p.src->size) {
    err::Raise(ctx, kOffsetPastSize);
    return false;
  }
  if (!Within(p.dstOff, p.count, p.dst->size) || !Within(p.srcOff, p.count, p.src->size)) {
    err::Raise(ctx, kCountPastSize);
    return false;
  }
  return true;
}

// BinaryCopy(dest, offset, source, offset, count): bytes copied. The source
// EOD is not consulted; the destination EOD moves up to the copy's end.
void Copy(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Pair p;
  if (!ReadPair(ctx, args, &p)) return;
  if (p.dstOff >= p.dst->size || p.srcOff >= p.src->size) return err::Raise(ctx, kCopyOffset);
  if (!Within(p.dstOff, p.count, p.dst->size)) return err::Raise(ctx, kCopyWontFit);
  if (!Within(p.srcOff, p.count, p.src->size)) return err::Raise(ctx, kCopyPastSource);
  ExtendEod(p.dst, int64_t(p.dstOff) + p.count);
  memmove(p.dst->data + p.dstOff, p.src->data + p.srcOff, size_t(p.count));
  r->ival = p.count;
}

// BinaryCompare(h1, offset1, h2, offset2, count): 1 when both ranges lie
// below their EODs and hold the same bytes; a count of 0 gives 1.
void Compare(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Pair p;
  if (!ReadPair(ctx, args, &p) || !WithinSizes(ctx, p)) return;
  if (p.count == 0) {
    r->ival = 1;
    return;
  }
  bool inData = Within(p.dstOff, p.count, p.dst->eod) && Within(p.srcOff, p.count, p.src->eod);
  r->ival = inData && memcmp(p.dst->data + p.dstOff, p.src->data + p.srcOff, size_t(p.count)) == 0;
}

enum class BitOp { kAnd, kOr, kXor };

// BinaryAnd / Or / Xor(dest, offset, source, offset, count): 1. Both ranges
// must lie within the sizes and below the EODs; no EOD moves.
template <BitOp Op>
void Combine(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  Pair p;
  if (!ReadPair(ctx, args, &p)) return;
  if (p.dstOff >= p.dst->size || p.srcOff >= p.src->size) return err::Raise(ctx, kOffsetPastSize);
  if (p.dstOff >= p.dst->eod || p.srcOff >= p.src->eod) return err::Raise(ctx, kOffsetPastEod);
  if (!WithinSizes(ctx, p)) return;
  if (!Within(p.dstOff, p.count, p.dst->eod) || !Within(p.srcOff, p.count, p.src->eod))
    return err::Raise(ctx, kCountPastEod);
  uint8_t* d = p.dst->data + p.dstOff;
  const uint8_t* s = p.src->data + p.srcOff;
  for (int32_t i = 0; i < p.count; ++i) {
    if constexpr (Op == BitOp::kAnd) d[i] &= s[i];
    if constexpr (Op == BitOp::kOr) d[i] |= s[i];
    if constexpr (Op == BitOp::kXor) d[i] ^= s[i];
  }
  r->ival = 1;
}

}  // namespace

void RegisterRanges() {
  calls::Register("binarycopy", Copy);
  calls::Register("binarycompare", Compare);
  calls::Register("binaryand", Combine<BitOp::kAnd>);
  calls::Register("binaryor", Combine<BitOp::kOr>);
  calls::Register("binaryxor", Combine<BitOp::kXor>);
}

}  // namespace zel::bin
