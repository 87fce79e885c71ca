// Compression with zlib's one-shot calls: a buffer's data compressed into
// or decompressed from another buffer, and UncompressBuffer for callers
// that hold compressed data in their own memory. Results are built in
// temporary memory, so a failure leaves the destination as it was.
#include "binary/compress.h"

#include <zlib.h>

#include <cstring>

#include "binary/buffer.h"
#include "builtins/dispatch.h"
#include "builtins/text.h"
#include "errors/errinfo.h"

namespace zel::bin {
namespace {

constexpr uint16_t kCompressFailed = 1592;
constexpr uint16_t kUncompressFailed = 1593;

// Compresses (or decompresses) bytes 0 to EOD of args[1]'s buffer into
// args[2]'s buffer, whose size is the room; sets and returns its EOD.
template <bool Compress>
void Transform(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* src = Get(ctx, args[1].ival);
  BufferSlot* dst = src ? Get(ctx, args[2].ival) : nullptr;
  if (!dst) return;
  txt::WorkMemory out;
  if (!out.Get(ctx, size_t(dst->size))) return;
  uLongf len = uLongf(dst->size);
  int z = Compress ? compress2(out.As<Bytef>(), &len, src->data, uLong(src->eod), args[3].ival)
                   : uncompress(out.As<Bytef>(), &len, src->data, uLong(src->eod));
  if (z != Z_OK || len > uLongf(dst->size)) return err::Raise(ctx, Compress ? kCompressFailed : kUncompressFailed);
  memcpy(dst->data, out.As<Bytef>(), len);
  dst->eod = static_cast<int32_t>(len);
  r->ival = dst->eod;
}

}  // namespace

void RegisterCompress() {
  calls::Register("binarycomp", Transform<true>);
  calls::Register("binaryuncomp", Transform<false>);
}

}  // namespace zel::bin

ZEL_API int WINAPI UncompressBuffer(char* buffer, int length, int capacity) {
  if (!buffer || length <= 0 || capacity <= 0) return -1;
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size_t(capacity));
  Bytef* out = h ? static_cast<Bytef*>(GlobalLock(h)) : nullptr;
  int result = -1;
  if (out) {
    uLongf len = uLongf(capacity);
    if (uncompress(out, &len, reinterpret_cast<const Bytef*>(buffer), uLong(length)) == Z_OK &&
        len <= uLongf(capacity)) {
      memcpy(buffer, out, len);
      buffer[len] = 0;
      result = static_cast<int>(len);
    }
    GlobalUnlock(h);
  }
  if (h) GlobalFree(h);
  return result;
}
