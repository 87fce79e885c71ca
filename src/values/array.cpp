// Array blocks (reference counting and destruction).
#include "values/array.h"

#include "errors/errinfo.h"
#include "values/convert.h"

namespace zel::arr {
namespace {

HGLOBAL HandleOf(ArrayBlock* b) { return GlobalHandle(b); }

void Destroy(ScriptContext* ctx, ArrayBlock* b) {
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
  while (GlobalFlags(h) & GMEM_LOCKCOUNT) GlobalUnlock(h);
  GlobalFree(h);
}

}  // namespace

uint32_t Holders(ArrayBlock* b) {
  HGLOBAL h = HandleOf(b);
  return h ? GlobalFlags(h) & GMEM_LOCKCOUNT : 0;
}

void AddRef(ArrayBlock* b) {
  HGLOBAL h = HandleOf(b);
  if (h) GlobalLock(h);
}

void Unpin(ArrayBlock* b) {
  HGLOBAL h = HandleOf(b);
  if (h && (GlobalFlags(h) & GMEM_LOCKCOUNT) > 1) GlobalUnlock(h);
}

void Release(ScriptContext* ctx, ValueCell* c, bool force) {
  if (!(c->flags & kFlagArray)) return;
  ArrayBlock* b = BlockOf(c);
  c->str = 0;
  c->flags &= ~kFlagArray;
  if (!b) return;
  if (!force && Holders(b) >= 3) {
    GlobalUnlock(HandleOf(b));
    return;
  }
  Destroy(ctx, b);
}

bool CreateList(ScriptContext* ctx, ValueCell* c, uint32_t count) {
  constexpr uint16_t kNoBlock = 1631;
  size_t bytes = sizeof(ArrayBlock) + static_cast<size_t>(count) * sizeof(ElementCell);
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  auto* b = h ? static_cast<ArrayBlock*>(GlobalLock(h)) : nullptr;
  if (!b) {
    if (h) GlobalFree(h);
    err::Raise(ctx, kNoBlock);
    return false;
  }
  b->sizes[0] = static_cast<int32_t>(count);
  b->dims = count ? 1 : 0;
  b->data = reinterpret_cast<AddrWord>(b + 1);
  b->count = count;
  b->dataSize = count * static_cast<uint32_t>(sizeof(ElementCell));
  c->str = reinterpret_cast<AddrWord>(b);
  c->flags = kFlagArray;
  return true;
}

}  // namespace zel::arr
