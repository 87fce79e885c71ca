// A buffer made from an array: each element becomes one byte, in the order
// the elements are stored (the last subscript varies fastest). This is how
// byte arrays that COM objects hand out become buffers.
#include "binary/buffer.h"
#include "builtins/dispatch.h"
#include "errors/errinfo.h"
#include "values/array.h"
#include "values/convert.h"

namespace zel::bin {
namespace {

constexpr uint16_t kArrayEmpty = 1710;
constexpr uint16_t kUninitElement = 1640;
constexpr uint16_t kNotANumber = 3057;
constexpr uint16_t kByteOutOfRange = 3326;

// The byte of an element: an integer (or a float, rounded) from -256 to 255,
// whose low eight bits are kept, as BinaryPoke keeps them.
bool ElementByte(ScriptContext* ctx, const ValueCell& c, uint8_t* out) {
  int64_t v;
  if (c.flags & kFlagInt) {
    v = c.ival;
  } else if (c.flags & kFlagFloat) {
    double x = val::RoundHalfAway(c.fval);
    v = x < -1e9 || x > 1e9 ? INT32_MAX : int64_t(x);
  } else {
    err::Raise(ctx, c.flags ? kNotANumber : kUninitElement);
    return false;
  }
  if (v < -256 || v > 255) {
    err::Raise(ctx, kByteOutOfRange);
    return false;
  }
  *out = static_cast<uint8_t>(v);
  return true;
}

// BinaryAllocArray(array): a new buffer holding the elements as bytes; its
// size and EOD are the element count.
void AllocArray(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  ArrayBlock* a = arr::BlockOf(&args[1]);
  if (!a || a->dims == 0 || a->count == 0 || !a->data) return err::Raise(ctx, kArrayEmpty);
  if (a->count > uint32_t(INT32_MAX)) return err::Raise(ctx, kAllocFailed);
  ElementCell* e = arr::Elements(a);
  int32_t h = Alloc(ctx, int32_t(a->count));
  if (!h) return;
  BufferSlot* b = Get(ctx, h);
  for (uint32_t i = 0; i < a->count; ++i) {
    if (!ElementByte(ctx, e[i].v, b->data + i)) {
      Release(b);
      return;
    }
  }
  b->eod = b->size;
  SetHandleResult(r, h);
}

}  // namespace

void RegisterArrays() { calls::Register("binaryallocarray", AllocArray); }

}  // namespace zel::bin
