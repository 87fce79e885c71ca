// Peek, poke and increment of the numbers in a buffer: unsigned 8-, 16- and
// 32-bit integers and 8-byte doubles, little-endian at any offset. Reading
// or writing past the EOD moves the EOD up to the end of the value.
#include <cstring>

#include "binary/buffer.h"
#include "builtins/dispatch.h"
#include "errors/errinfo.h"

namespace zel::bin {
namespace {

constexpr uint16_t kPastEnd = 3325;
constexpr uint16_t kOutOfRange = 3326;

// The buffer and offset of args[1..2] for a value of `width` bytes; nullptr
// with the error when the handle, the offset or the room is wrong.
BufferSlot* Locate(ScriptContext* ctx, Value* args, int width) {
  BufferSlot* b = Get(ctx, args[1].ival);
  if (!b || !CheckOffset(ctx, args[2].ival)) return nullptr;
  if (!Within(args[2].ival, width, b->size)) {
    err::Raise(ctx, kPastEnd);
    return nullptr;
  }
  return b;
}

template <int Width>
uint32_t Read(const uint8_t* p) {
  uint32_t v = 0;
  for (int i = Width - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

template <int Width>
void Write(uint8_t* p, uint32_t v) {
  for (int i = 0; i < Width; ++i, v >>= 8) p[i] = static_cast<uint8_t>(v);
}

// A poke value must fit the width taken as signed or unsigned.
template <int Width>
bool Fits(int32_t v) {
  if constexpr (Width == 4) {
    return true;
  } else {
    constexpr int32_t kLimit = Width == 1 ? 256 : 65536;
    return v >= -kLimit && v < kLimit;
  }
}

template <int Width>
void Peek(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Locate(ctx, args, Width);
  if (!b) return;
  ExtendEod(b, int64_t(args[2].ival) + Width);
  r->ival = static_cast<int32_t>(Read<Width>(b->data + args[2].ival));
}

// Returns the value the bytes held before.
template <int Width>
void Poke(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Locate(ctx, args, Width);
  if (!b) return;
  if (!Fits<Width>(args[3].ival)) return err::Raise(ctx, kOutOfRange);
  ExtendEod(b, int64_t(args[2].ival) + Width);
  uint8_t* p = b->data + args[2].ival;
  r->ival = static_cast<int32_t>(Read<Width>(p));
  Write<Width>(p, static_cast<uint32_t>(args[3].ival));
}

// Adds 1, wrapping in the width; returns the new value.
template <int Width>
void Incr(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Locate(ctx, args, Width);
  if (!b) return;
  ExtendEod(b, int64_t(args[2].ival) + Width);
  uint8_t* p = b->data + args[2].ival;
  Write<Width>(p, Read<Width>(p) + 1);
  r->ival = static_cast<int32_t>(Read<Width>(p));
}

void SetFloat(Value* r, double x) {
  r->fval = x;
  r->flags = kFlagFloat;
}

double ReadDouble(const uint8_t* p) {
  double x;
  memcpy(&x, p, sizeof x);
  return x;
}

void PeekFlt(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Locate(ctx, args, sizeof(double));
  if (!b) return;
  ExtendEod(b, int64_t(args[2].ival) + sizeof(double));
  SetFloat(r, ReadDouble(b->data + args[2].ival));
}

void PokeFlt(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Locate(ctx, args, sizeof(double));
  if (!b) return;
  ExtendEod(b, int64_t(args[2].ival) + sizeof(double));
  uint8_t* p = b->data + args[2].ival;
  SetFloat(r, ReadDouble(p));
  memcpy(p, &args[3].fval, sizeof(double));
}

void IncrFlt(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Locate(ctx, args, sizeof(double));
  if (!b) return;
  ExtendEod(b, int64_t(args[2].ival) + sizeof(double));
  uint8_t* p = b->data + args[2].ival;
  double x = ReadDouble(p) + 1.0;
  memcpy(p, &x, sizeof x);
  SetFloat(r, x);
}

}  // namespace

void RegisterPeekPoke() {
  calls::Register("binarypeek", Peek<1>);
  calls::Register("binarypeek2", Peek<2>);
  calls::Register("binarypeek4", Peek<4>);
  calls::Register("binarypeekflt", PeekFlt);
  calls::Register("binarypoke", Poke<1>);
  calls::Register("binarypoke2", Poke<2>);
  calls::Register("binarypoke4", Poke<4>);
  calls::Register("binarypokeflt", PokeFlt);
  calls::Register("binaryincr", Incr<1>);
  calls::Register("binaryincr2", Incr<2>);
  calls::Register("binaryincr4", Incr<4>);
  calls::Register("binaryincrflt", IncrFlt);
}

}  // namespace zel::bin
