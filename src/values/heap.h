// String heap: one boundary-tagged region over the host's reserved address
// range, addressed by 32-bit offsets from its base (0 = no string).
#pragma once
#include <cstdint>
#include "host/context.h"

namespace zel::heap {

// Lays out the fixed records and one free block in `committed` bytes at the
// context's heap base.
void Init(ScriptContext* ctx, uint32_t committed);

// Allocates `n` bytes; returns the payload's offset, 0 when the heap cannot
// grow. Sets no error: the caller chooses it (usually 3096).
uint32_t Alloc(ScriptContext* ctx, uint32_t n);

// Returns the block at payload offset `off` to the free list, merging it with
// free neighbours. Offset 0 is ignored. A damaged tag is shown in a message box
// and the block stays allocated.
void Free(ScriptContext* ctx, uint32_t off);

// Address of the payload at `off` (nullptr for 0).
inline char* At(const ScriptContext* ctx, uint32_t off) {
  return off ? ctx->heapBase + off : nullptr;
}
inline wchar_t* WideAt(const ScriptContext* ctx, uint32_t off) {
  return reinterpret_cast<wchar_t*>(At(ctx, off));
}

// Copies a text into a fresh block; 0 (and error 3096) when out of heap.
uint32_t StoreText(ScriptContext* ctx, const char* text, size_t len);
uint32_t StoreWide(ScriptContext* ctx, const wchar_t* text, size_t len);

// Consistency walk used by tests and diagnostics: every block's tags and sizes,
// the free list's links both ways, no two free neighbours, the end tag, and that
// the free list holds exactly the free blocks. Returns true when all hold;
// otherwise writes what failed into `why`.
struct Stats {
  uint32_t blocks, freeBlocks, usedBytes, freeBytes;
};
bool Check(const ScriptContext* ctx, Stats* stats, char* why, size_t whySize);

}  // namespace zel::heap
