// Array blocks (creation, addressing, reference counting, destruction, and the
// list of blocks that no variable holds yet).
#include "values/array.h"

#include "errors/errinfo.h"
#include "values/convert.h"

namespace zel::arr {
namespace {

uint32_t g_liveBlocks;

constexpr uint32_t kUnheldGrowth = 16;  // entries added to the unheld list at a time

HGLOBAL HandleOf(ArrayBlock* b) { return GlobalHandle(b); }

uint32_t LockCount(HGLOBAL h) { return GlobalFlags(h) & GMEM_LOCKCOUNT; }

// Lowers the count by one.
void DropRef(ArrayBlock* b) {
  if (b->extraRefs) {
    --b->extraRefs;
    return;
  }
  HGLOBAL h = HandleOf(b);
  if (h) GlobalUnlock(h);
}

// Remembers a block whose only lock is its creator's; nothing when the list
// cannot grow (the block then stays until the context ends).
void NoteUnheld(ScriptContext* ctx, ArrayBlock* b) {
  for (uint32_t i = 0; i < ctx->unheldCount; ++i)
    if (ctx->unheldArrays[i] == b) return;
  if (ctx->unheldCount == ctx->unheldCapacity) {
    uint32_t grown = ctx->unheldCapacity + kUnheldGrowth;
    size_t bytes = grown * sizeof(ArrayBlock*);
    void* p = ctx->unheldArrays ? HeapReAlloc(GetProcessHeap(), 0, ctx->unheldArrays, bytes)
                                : HeapAlloc(GetProcessHeap(), 0, bytes);
    if (!p) return;
    ctx->unheldArrays = static_cast<ArrayBlock**>(p);
    ctx->unheldCapacity = grown;
  }
  ctx->unheldArrays[ctx->unheldCount++] = b;
}

void ForgetUnheld(ScriptContext* ctx, ArrayBlock* b) {
  for (uint32_t i = 0; i < ctx->unheldCount; ++i)
    if (ctx->unheldArrays[i] == b) ctx->unheldArrays[i] = nullptr;
}

void Destroy(ScriptContext* ctx, ArrayBlock* b) {
  ForgetUnheld(ctx, b);
  ElementCell* e = Elements(b);
  for (uint32_t i = 0; e && i < b->count; ++i) val::FreeValue(ctx, &e[i].v, val::kElementCell);
  if (ctx->vars) {
    for (uint32_t i = 0; i < ctx->varInUse && i < ctx->varCapacity; ++i) {
      ValueCell& v = ctx->vars[i].v;
      if ((v.flags & kFlagArray) && BlockOf(&v) == b) {
        v.str = 0;
        v.flags &= ~kFlagArray;
      }
    }
  }
  HGLOBAL h = HandleOf(b);
  if (!h) return;
  while (LockCount(h)) GlobalUnlock(h);
  GlobalFree(h);
  --g_liveBlocks;
}

// The sizes of a new array checked: the dimension count, or -1 with the error set.
int CheckSizes(ScriptContext* ctx, const int32_t* s) {
  for (int k = 0; k < kMaxDims; ++k)
    if (s[k] < 0) {
      err::Raise(ctx, 1628);
      return -1;
    }
  if (s[0] == 0) return 0;
  int dims = 0;
  for (int k = 0; k < kMaxDims; ++k)
    if (s[k]) dims = k + 1;
  for (int k = 0; k < dims; ++k)
    if (s[k] == 0) {
      err::Raise(ctx, 1630);
      return -1;
    }
  return dims;
}

}  // namespace

int Create(ScriptContext* ctx, Value* result, const int32_t* sizes, int given, uint8_t kind) {
  int32_t s[kMaxDims] = {};
  for (int k = 0; k < given && k < kMaxDims; ++k) s[k] = sizes[k];
  int dims = CheckSizes(ctx, s);
  if (dims < 0) return -1;
  // The product is formed in floating point: a 32-bit one could wrap to a
  // small count that does not match the sizes.
  double count = dims ? 1.0 : 0.0;
  for (int k = 0; k < dims; ++k) count *= s[k];
  double bytes = count * sizeof(ElementCell) + sizeof(ArrayBlock);
  if (bytes >= kMaxBlockBytes) {
    err::Raise(ctx, 1644);
    return -1;
  }
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<size_t>(bytes));
  auto* b = h ? static_cast<ArrayBlock*>(GlobalLock(h)) : nullptr;
  if (!b) {
    if (h) GlobalFree(h);
    err::Raise(ctx, 1631);
    return -1;
  }
  ++g_liveBlocks;
  for (int k = 0; k < kMaxDims; ++k) b->sizes[k] = s[k];
  b->dims = static_cast<uint8_t>(dims);
  b->kind = kind;
  b->data = reinterpret_cast<AddrWord>(b + 1);
  b->count = static_cast<uint32_t>(count);
  b->dataSize = b->count * static_cast<uint32_t>(sizeof(ElementCell));
  result->flags = kFlagArray;
  result->str = reinterpret_cast<AddrWord>(b);
  NoteUnheld(ctx, b);
  return dims ? 1 : 0;
}

uint32_t Holders(ArrayBlock* b) {
  HGLOBAL h = HandleOf(b);
  return h ? LockCount(h) + b->extraRefs : 0;
}

void AddRef(ArrayBlock* b) {
  HGLOBAL h = HandleOf(b);
  if (!h) return;
  if (LockCount(h) >= kLockRefsMax)
    ++b->extraRefs;
  else
    GlobalLock(h);
}

void Unpin(ScriptContext* ctx, ArrayBlock* b) {
  if (Holders(b) < 2) return;
  DropRef(b);
  if (Holders(b) < 2) NoteUnheld(ctx, b);
}

void Release(ScriptContext* ctx, ValueCell* c, bool force) {
  if (!(c->flags & kFlagArray)) return;
  ArrayBlock* b = BlockOf(c);
  c->str = 0;
  c->flags &= ~kFlagArray;
  if (!b) return;
  if (!force && Holders(b) >= 3) {
    DropRef(b);
    return;
  }
  Destroy(ctx, b);
}

ElementCell* ElementAt(ArrayBlock* b, const int32_t* subs, int n) {
  if (n != b->dims || !b->data) return nullptr;
  uint32_t index = 0;
  for (int k = 0; k < n; ++k) {
    if (subs[k] < 0 || subs[k] >= b->sizes[k]) return nullptr;
    index = index * static_cast<uint32_t>(b->sizes[k]) + static_cast<uint32_t>(subs[k]);
  }
  return index < b->count ? &Elements(b)[index] : nullptr;
}

uint32_t UnheldMark(const ScriptContext* ctx) { return ctx->unheldCount; }

void DisposeUnheld(ScriptContext* ctx, uint32_t mark) {
  // Destroying a block frees its elements only, so no entry is added meanwhile.
  for (uint32_t i = mark; i < ctx->unheldCount; ++i) {
    ArrayBlock* b = ctx->unheldArrays[i];
    if (b && Holders(b) < 2) Destroy(ctx, b);
  }
  if (mark < ctx->unheldCount) ctx->unheldCount = mark;
}

void EndUnheld(ScriptContext* ctx) {
  DisposeUnheld(ctx, 0);
  if (ctx->unheldArrays) HeapFree(GetProcessHeap(), 0, ctx->unheldArrays);
  ctx->unheldArrays = nullptr;
  ctx->unheldCount = 0;
  ctx->unheldCapacity = 0;
}

uint32_t LiveBlocks() { return g_liveBlocks; }

}  // namespace zel::arr

ZEL_API int WINAPI CreateMyArray(zel::ScriptContext* ctx, zel::Value* result, int32_t size1,
                                 int32_t size2, int32_t size3, int32_t size4, int32_t size5,
                                 int32_t kind, int32_t given) {
  if (!ctx || !result) return -1;
  const int32_t sizes[zel::kMaxDims] = {size1, size2, size3, size4, size5};
  return zel::arr::Create(ctx, result, sizes, given, static_cast<uint8_t>(kind));
}
