// Binary buffer table: slots, handles, the shared checks, and the functions
// that manage buffers as a whole (allocation, release, EOD, information and
// the COM marshalling type).
#include "binary/buffer.h"

#include "builtins/dispatch.h"
#include "errors/errinfo.h"
#include "expr/eval.h"

namespace zel::bin {

BufferSlot* Get(ScriptContext* ctx, int32_t handle) {
  int64_t n = int64_t(handle) - kHandleBase;
  if (n < 0 || n >= kBufferSlots || !ctx->buffers[n].buffer) {
    err::Raise(ctx, kBadHandle);
    return nullptr;
  }
  return &ctx->buffers[n];
}

int32_t Alloc(ScriptContext* ctx, int32_t size) {
  int n = 0;
  while (n < kBufferSlots && ctx->buffers[n].buffer) ++n;
  if (n == kBufferSlots) {
    err::Raise(ctx, kNoFreeSlot);
    return 0;
  }
  if (size < 0) {
    err::Raise(ctx, kAllocFailed);
    return 0;
  }
  // A block of at least one byte, so that an empty buffer still has an address.
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size ? size_t(size) : 1);
  void* p = h ? GlobalLock(h) : nullptr;
  if (!p) {
    if (h) GlobalFree(h);
    err::Raise(ctx, kAllocFailed);
    return 0;
  }
  BufferSlot& b = ctx->buffers[n];
  b = BufferSlot{};
  b.buffer = h;
  b.data = static_cast<uint8_t*>(p);
  b.size = size;
  return kHandleBase + n;
}

void Release(BufferSlot* b) {
  if (b->buffer) {
    GlobalUnlock(b->buffer);
    GlobalFree(b->buffer);
  }
  *b = BufferSlot{};
}

void ReleaseAll(ScriptContext* ctx) {
  for (BufferSlot& b : ctx->buffers) Release(&b);
}

void SetHandleResult(Value* r, int32_t handle) {
  r->ival = handle;
  r->flags = kFlagInt | kFlagBinBuf;
}

bool CheckOffset(ScriptContext* ctx, int32_t offset) {
  if (offset >= 0) return true;
  err::Raise(ctx, kBadOffset);
  return false;
}

bool CheckOffsetCount(ScriptContext* ctx, int32_t offset, int32_t count) {
  if (!CheckOffset(ctx, offset)) return false;
  if (count >= 0) return true;
  err::Raise(ctx, kBadCount);
  return false;
}

namespace {

constexpr uint16_t kEodBeyondSize = 3127;
constexpr uint16_t kBadRequest = 1809;
constexpr uint16_t kOleTypeInvalid = 1514;
constexpr uint16_t kOleTypeMissing = 1515;
constexpr uint16_t kOleDirectionMissing = 1516;

// BinaryAlloc(size): a new zero-filled buffer.
void BinAlloc(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  int32_t h = Alloc(ctx, args[1].ival);
  if (h) SetHandleResult(r, h);
}

// BinaryFree(h): 0.
void BinFree(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  if (BufferSlot* b = Get(ctx, args[1].ival)) Release(b);
  r->ival = 0;
}

void EodGet(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  if (BufferSlot* b = Get(ctx, args[1].ival)) r->ival = b->eod;
}

// BinaryEodSet(h, eod): the previous EOD.
void EodSet(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Get(ctx, args[1].ival);
  if (!b || !CheckOffset(ctx, args[2].ival)) return;
  if (args[2].ival > b->size) return err::Raise(ctx, kEodBeyondSize);
  r->ival = b->eod;
  b->eod = args[2].ival;
}

// BinaryBufInfo(variable, request): -1 whether the value is an open buffer's
// handle, 0 size, 1 address, 2 EOD. Only a value marked as a buffer handle
// is accepted.
void BufInfo(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  const Value& v = args[1];
  int32_t request = args[2].ival;
  bool marked = (v.flags & kFlagInt) && (v.flags & kFlagBinBuf);
  if (request == -1) {
    int64_t n = int64_t(v.ival) - kHandleBase;
    r->ival = marked && n >= 0 && n < kBufferSlots && ctx->buffers[n].buffer ? 1 : 0;
    return;
  }
  if (!marked) return err::Raise(ctx, kBadHandle);
  BufferSlot* b = Get(ctx, v.ival);
  if (!b) return;
  switch (request) {
    case 0: r->ival = b->size; break;
    // A script integer holds 32 bits; on win64 that is the address's low half.
    case 1: r->ival = static_cast<int32_t>(reinterpret_cast<uintptr_t>(b->data)); break;
    case 2: r->ival = b->eod; break;
    default: err::Raise(ctx, kBadRequest);
  }
}

// BinaryOleType(h, type): 0 clears; otherwise the hundreds are the direction
// (1 to 3) and the rest the data type (1 to 11). Returns 1.
void OleType(ScriptContext* ctx, Value* r, Value* args, int, bool, int) {
  BufferSlot* b = Get(ctx, args[1].ival);
  if (!b) return;
  int32_t type = args[2].ival;
  if (type == 0) {
    b->oleType = 0;
    b->oleDirection = 0;
    r->ival = 1;
    return;
  }
  int32_t data = type % 100;
  if (type < 0 || type > 399 || data >= 12) return err::Raise(ctx, kOleTypeInvalid);
  if (data == 0) return err::Raise(ctx, kOleTypeMissing);
  if (type < 100) return err::Raise(ctx, kOleDirectionMissing);
  b->oleType = static_cast<uint32_t>(data);
  b->oleDirection = static_cast<uint32_t>(type / 100);
  r->ival = 1;
}

}  // namespace

void RegisterTable() {
  calls::Register("binaryalloc", BinAlloc);
  calls::Register("binaryfree", BinFree);
  calls::Register("binaryeodget", EodGet);
  calls::Register("binaryeodset", EodSet);
  calls::Register("binarybufinfo", BufInfo);
  calls::Register("binaryoletype", OleType);
}

void RegisterBinary() {
  RegisterTable();
  RegisterPeekPoke();
  RegisterText();
  RegisterRanges();
  RegisterSearch();
  RegisterRecords();
  RegisterChecksum();
  RegisterTranslate();
  RegisterTags();
  RegisterFiles();
  RegisterClipboard();
  RegisterCompress();
  RegisterArrays();
}

}  // namespace zel::bin
