// Array blocks: up to five dimensions of element cells in one movable,
// reference-counted global-memory block whose lock count is its count of holders.
#pragma once
#include <cstdint>
#include "host/context.h"

namespace zel {

constexpr int kMaxDims = 5;

#pragma pack(push, 4)

// win32 offsets: sizes 0..19, dims 20, kind 21, reserved 22, data 24, count 28,
// dataSize 32, reserved 36; elements from 40. On win64 the data address is
// 8 bytes and the elements start at 44.
struct ArrayBlock {
  int32_t sizes[kMaxDims];
  uint8_t dims;       // 0..5; 0 = an empty array
  uint8_t kind;       // chosen by the creator
  uint16_t reserved1;
  AddrWord data;      // address of the first element
  uint32_t count;     // product of the sizes
  uint32_t dataSize;  // count x sizeof(ElementCell)
  uint32_t reserved2;
};

// An element: the value part and a reserved word; 44 bytes on win32.
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
static_assert(sizeof(ArrayBlock) == 40, "array block header is 40 bytes");
static_assert(sizeof(ElementCell) == 44, "element cell is 44 bytes");
#endif

namespace arr {

// The block a cell with kFlagArray refers to.
inline ArrayBlock* BlockOf(const ValueCell* c) { return reinterpret_cast<ArrayBlock*>(c->str); }
inline ElementCell* Elements(ArrayBlock* b) { return reinterpret_cast<ElementCell*>(b->data); }

// Number of holders (the block's lock count).
uint32_t Holders(ArrayBlock* b);

// Takes one more reference.
void AddRef(ArrayBlock* b);

// Drops a reference taken with AddRef without destroying the block (a call's
// pin on an array argument).
void Unpin(ArrayBlock* b);

// Releases the reference held by `c`: with three or more holders the count
// drops by one; otherwise (or when forced) the block is destroyed: its
// elements are freed, every variable of the current table that refers to it
// loses the reference, and the block is freed. The cell's array flag and
// reference are cleared either way.
void Release(ScriptContext* ctx, ValueCell* c, bool force);

// Makes `c` (which holds nothing) an array of `count` never-assigned
// elements in one dimension, its block held once (the creator's count). False
// with 1631 when the block cannot be had.
bool CreateList(ScriptContext* ctx, ValueCell* c, uint32_t count);

}  // namespace arr
}  // namespace zel
