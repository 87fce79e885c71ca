// Array blocks: up to five dimensions of element cells in one movable,
// reference-counted global-memory block whose lock count is its count of holders.
#pragma once
#include <cstdint>
#include "host/api.h"
#include "host/context.h"

namespace zel {

constexpr int kMaxDims = 5;

#pragma pack(push, 4)

// win32 offsets: sizes 0..19, dims 20, kind 21, reserved 22, data 24, count 28,
// dataSize 32, extraRefs 36; elements from 40. On win64 the data address is
// 8 bytes: count 32, dataSize 36, extraRefs 40, elements from 44.
struct ArrayBlock {
  int32_t sizes[kMaxDims];
  uint8_t dims;       // 0..5; 0 = an empty array
  uint8_t kind;       // chosen by the creator
  uint16_t reserved1;
  AddrWord data;      // address of the first element
  uint32_t count;     // product of the sizes
  uint32_t dataSize;  // count x sizeof(ElementCell)
  uint32_t extraRefs; // holders beyond what the lock count keeps; 0 below kLockRefsMax
};

// An element: the value part and a reserved word; 44 bytes on win32, 56 on win64.
struct ElementCell {
  ValueCell v;
  uint32_t reserved;
};

#pragma pack(pop)

#if !defined(_WIN64)
static_assert(offsetof(ArrayBlock, dims) == 20, "array block layout");
static_assert(offsetof(ArrayBlock, kind) == 21, "array block layout");
static_assert(offsetof(ArrayBlock, data) == 24, "array block layout");
static_assert(offsetof(ArrayBlock, count) == 28, "array block layout");
static_assert(offsetof(ArrayBlock, dataSize) == 32, "array block layout");
static_assert(offsetof(ArrayBlock, extraRefs) == 36, "array block layout");
static_assert(sizeof(ArrayBlock) == 40, "array block header is 40 bytes");
static_assert(sizeof(ElementCell) == 44, "element cell is 44 bytes");
#else
static_assert(offsetof(ArrayBlock, data) == 24, "win64 array block layout");
static_assert(offsetof(ArrayBlock, count) == 32, "win64 array block layout");
static_assert(sizeof(ArrayBlock) == 44, "win64 array block header is 44 bytes");
static_assert(sizeof(ElementCell) == 56, "win64 element cell is 56 bytes");
#endif

namespace arr {

// The lock count of a global-memory block is a byte that stops counting at
// 255; references beyond this many are kept in the header's extraRefs.
constexpr uint32_t kLockRefsMax = 250;

// A block may not reach this many bytes.
constexpr double kMaxBlockBytes = 4000000000.0;

// The block a cell with kFlagArray refers to.
inline ArrayBlock* BlockOf(const ValueCell* c) { return reinterpret_cast<ArrayBlock*>(c->str); }
inline ElementCell* Elements(ArrayBlock* b) { return reinterpret_cast<ElementCell*>(b->data); }

// Makes `result` (whose old contents the caller has freed) an array of the
// first `given` sizes (the others count as 0) with the creator's kind byte.
// Returns 1 for an array with elements, 0 for an empty one, -1 on error:
// 1628 a negative size, 1630 a zero size before a nonzero one, 1644 a block
// of 4,000,000,000 bytes or more, 1631 no memory. The new block has one
// lock and no holder: unless a variable takes it, it is destroyed after the
// statement that made it.
int Create(ScriptContext* ctx, Value* result, const int32_t* sizes, int given, uint8_t kind);

// Number of holders, counting the creator's lock.
uint32_t Holders(ArrayBlock* b);

// Takes one more reference.
void AddRef(ArrayBlock* b);

// Drops a reference taken with AddRef without destroying the block (a call's
// pin on an array argument). A block left with its creator's lock alone is
// destroyed after the statement unless a variable takes it first.
void Unpin(ScriptContext* ctx, ArrayBlock* b);

// Releases the reference held by `c`: with three or more holders the count
// drops by one; otherwise (or when forced) the block is destroyed: its
// elements are freed, every variable of the current table that refers to it
// loses the reference, and the block is freed. The cell's array flag and
// reference are cleared either way.
void Release(ScriptContext* ctx, ValueCell* c, bool force);

// The element that the subscripts select (row-major: the last subscript
// varies fastest), or nullptr when `n` is not the dimension count or a
// subscript is outside its dimension.
ElementCell* ElementAt(ArrayBlock* b, const int32_t* subs, int n);

// ---- blocks that no variable holds

// Blocks noted since `mark` was taken are disposed of by DisposeUnheld.
uint32_t UnheldMark(const ScriptContext* ctx);

// Destroys the blocks noted since `mark` that still have no holder and
// forgets all of them.
void DisposeUnheld(ScriptContext* ctx, uint32_t mark);

// At the context's end: disposes of every noted block and frees the list.
void EndUnheld(ScriptContext* ctx);

// Blocks alive in the process, for diagnostics and tests.
uint32_t LiveBlocks();

}  // namespace arr
}  // namespace zel

// Creates an array for an extender: up to five sizes, the kind byte and the
// number of sizes given. 1 an array with elements, 0 an empty array, -1 on
// error (the context's error number says which).
ZEL_API int WINAPI CreateMyArray(zel::ScriptContext* ctx, zel::Value* result, int32_t size1,
                                 int32_t size2, int32_t size3, int32_t size4, int32_t size5,
                                 int32_t kind, int32_t given);
