// Binary buffer table: the context's 128 slots, handle validation, the
// bound checks every binary function shares, and the family's registration.
#pragma once
#include <cstddef>
#include <cstdint>

#include "host/context.h"

namespace zel::bin {

// The handle of slot n is kHandleBase + n.
constexpr int32_t kHandleBase = 987659;

// Error numbers shared by the family.
constexpr uint16_t kBadHandle = 3023;
constexpr uint16_t kNoFreeSlot = 3024;
constexpr uint16_t kAllocFailed = 1126;
constexpr uint16_t kBadOffset = 1548;
constexpr uint16_t kBadCount = 1549;
constexpr uint16_t kOffsetPastSize = 1543;
constexpr uint16_t kCountPastSize = 1544;
constexpr uint16_t kOffsetPastEod = 1550;
constexpr uint16_t kCountPastEod = 1551;
constexpr uint16_t kNoMemory = 1588;

// The open buffer a handle names; nullptr with 3023 when it names none.
BufferSlot* Get(ScriptContext* ctx, int32_t handle);

// A new zero-filled buffer of `size` bytes with EOD 0; its handle, or 0 with
// 3024 (no free slot) or 1126 (no memory, or a negative size).
int32_t Alloc(ScriptContext* ctx, int32_t size);

// Frees a slot's block and clears the slot.
void Release(BufferSlot* b);

// Frees every buffer of the context.
void ReleaseAll(ScriptContext* ctx);

// Makes the result a buffer handle: an integer marked as one.
void SetHandleResult(Value* r, int32_t handle);

// Whether offset + count (both not negative) stays within `limit`; computed
// wide, so no script value can wrap it.
inline bool Within(int64_t offset, int64_t count, int64_t limit) { return offset + count <= limit; }

// Moves the EOD up to `end` (never down).
inline void ExtendEod(BufferSlot* b, int64_t end) {
  if (end > b->eod) b->eod = static_cast<int32_t>(end);
}

// A not-negative offset (1548) and count (1549).
bool CheckOffset(ScriptContext* ctx, int32_t offset);
bool CheckOffsetCount(ScriptContext* ctx, int32_t offset, int32_t count);

// Decodes a text of hexadecimal digit pairs into `out` (when not null);
// returns the byte count, or SIZE_MAX when the text is not whole pairs.
size_t HexBytes(const char* text, size_t len, uint8_t* out);

// Binds every binary function to its body.
void RegisterBinary();

// Registration of each mechanism of the family.
void RegisterTable();
void RegisterPeekPoke();
void RegisterText();
void RegisterRanges();
void RegisterSearch();
void RegisterRecords();
void RegisterChecksum();
void RegisterTranslate();
void RegisterTags();
void RegisterFiles();
void RegisterClipboard();
void RegisterCompress();
void RegisterArrays();

}  // namespace zel::bin
