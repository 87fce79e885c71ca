// String heap (keeps every script string in one boundary-tagged region).
// Blocks are found next-fit from a rover, freed in constant time with
// immediate merging of free neighbours, and the region grows by committing
// more of the host's reserved range, at least 32 KB at a time.
#include "values/heap.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "errors/errinfo.h"
#include "errors/messages.h"

namespace zel::heap {
namespace {

// Block layout: head tag, size, then (free blocks) next and previous free.
// The tail is the tag (in use) or the size and the tag (free).
constexpr uint32_t kTagUsed = 0x38373635;  // "5678" in memory order
constexpr uint32_t kTagFree = 0x54535251;  // "QRST"
constexpr uint32_t kHeadOff = 0, kSizeOff = 4, kNextOff = 8, kPrevOff = 12;
constexpr uint32_t kListHead = 0;     // the list head record
constexpr uint32_t kRoverRecord = 20; // the record holding the rover at +8
constexpr uint32_t kPayload = 8;

// Host heap descriptor: the committed region's base at byte 8, the committed
// size at byte 420.
constexpr size_t kDescBaseOff = 8, kDescSizeOff = 420;

uint32_t& Word(const ScriptContext* ctx, uint32_t off) {
  return *reinterpret_cast<uint32_t*>(ctx->heapBase + off);
}
uint32_t& Rover(const ScriptContext* ctx) { return Word(ctx, kRoverRecord + kNextOff); }
uint32_t SizeOf(const ScriptContext* ctx, uint32_t b) { return Word(ctx, b + kSizeOff); }

void SetUsed(ScriptContext* ctx, uint32_t b, uint32_t size) {
  Word(ctx, b + kHeadOff) = kTagUsed;
  Word(ctx, b + kSizeOff) = size;
  Word(ctx, b + size - 4) = kTagUsed;
}

void SetFree(ScriptContext* ctx, uint32_t b, uint32_t size) {
  Word(ctx, b + kHeadOff) = kTagFree;
  Word(ctx, b + kSizeOff) = size;
  Word(ctx, b + size - 8) = size;
  Word(ctx, b + size - 4) = kTagFree;
}

void Unlink(ScriptContext* ctx, uint32_t b) {
  uint32_t next = Word(ctx, b + kNextOff), prev = Word(ctx, b + kPrevOff);
  Word(ctx, prev + kNextOff) = next;
  Word(ctx, next + kPrevOff) = prev;
  if (Rover(ctx) == b) Rover(ctx) = kListHead;
}

void LinkFirst(ScriptContext* ctx, uint32_t b) {
  uint32_t first = Word(ctx, kListHead + kNextOff);
  Word(ctx, b + kNextOff) = first;
  Word(ctx, b + kPrevOff) = kListHead;
  Word(ctx, first + kPrevOff) = b;
  Word(ctx, kListHead + kNextOff) = b;
}

void TagDamage(ScriptContext* ctx, uint32_t textId) {
  char caption[128], text[128];
  msg::Load(ctx, 845, caption, sizeof caption);
  msg::Load(ctx, textId, text, sizeof text);
  MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

uint32_t BlockSizeFor(uint32_t n) {
  uint64_t s = (static_cast<uint64_t>(n) + 15) & ~static_cast<uint64_t>(3);
  if (s < kHeapMinBlock) s = kHeapMinBlock;
  return s > 0x7fff0000u ? 0 : static_cast<uint32_t>(s);
}

// Commits more of the reserved range so that a block of `s` bytes fits after
// the present end. Returns false when the system refuses.
bool Grow(ScriptContext* ctx, uint32_t s) {
  SYSTEM_INFO si;
  GetSystemInfo(&si);
  uint64_t page = si.dwPageSize ? si.dwPageSize : 4096;
  uint64_t want = static_cast<uint64_t>(ctx->heapCommitted) + s + kHeapGrowStep;
  want = (want + page - 1) / page * page;
  if (want > 0xfffff000u) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  void* got = VirtualAlloc(ctx->heapBase, static_cast<SIZE_T>(want), MEM_COMMIT, PAGE_READWRITE);
  if (!got) {
    DWORD e = GetLastError();
    if (e != ERROR_NOT_ENOUGH_MEMORY) {
      char text[32];
      snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(e));
      MessageBoxA(nullptr, text, "VMalloc error - VirtualAlloc failed", MB_OK | MB_TASKMODAL);
    }
    return false;
  }
  uint32_t newCommitted = static_cast<uint32_t>(want);
  // The old end tag starts a new block of s + 32756 bytes; a new end tag
  // follows it, still inside the committed range.
  uint32_t b = ctx->heapEnd;
  uint32_t blockSize = s + kHeapGrowStep - 12;
  SetUsed(ctx, b, blockSize);
  ctx->heapEnd = b + blockSize;
  Word(ctx, ctx->heapEnd) = kTagUsed;
  ctx->heapCommitted = newCommitted;
  if (ctx->heapDescriptor) {
    AddrWord base = reinterpret_cast<AddrWord>(got);
    memcpy(ctx->heapDescriptor + kDescBaseOff, &base, sizeof base);
    memcpy(ctx->heapDescriptor + kDescSizeOff, &newCommitted, sizeof newCommitted);
  }
  Free(ctx, b + kPayload);
  return true;
}

// Next-fit search from the rover; 0 when no free block has `s` bytes.
uint32_t FindFit(ScriptContext* ctx, uint32_t s) {
  uint32_t at = Rover(ctx);
  int headSeen = 0;
  for (;;) {
    uint32_t b = Word(ctx, at + kNextOff);
    if (b == kListHead) {
      if (++headSeen == 2) return 0;
      at = kListHead;
      continue;
    }
    if (SizeOf(ctx, b) >= s) return b;
    Rover(ctx) = b;
    at = b;
  }
}

}  // namespace

void Init(ScriptContext* ctx, uint32_t committed) {
  uint32_t first = kHeapFirstBlock;
  uint32_t size = (committed - first - 16) & ~3u;  // S - 56 for a multiple of 4
  Word(ctx, kListHead + kHeadOff) = kTagUsed;
  Word(ctx, kListHead + kSizeOff) = 0;
  Word(ctx, kListHead + kNextOff) = first;
  Word(ctx, kListHead + kPrevOff) = first;
  Word(ctx, kListHead + 16) = kTagUsed;
  Word(ctx, kRoverRecord + kHeadOff) = kTagUsed;
  Word(ctx, kRoverRecord + kSizeOff) = 0;
  Word(ctx, kRoverRecord + kNextOff) = first;
  Word(ctx, kRoverRecord + kPrevOff) = 0;
  Word(ctx, kRoverRecord + 16) = kTagUsed;
  SetFree(ctx, first, size);
  Word(ctx, first + kNextOff) = kListHead;
  Word(ctx, first + kPrevOff) = kListHead;
  ctx->heapEnd = first + size;
  Word(ctx, ctx->heapEnd) = kTagUsed;
  ctx->heapCommitted = committed;
}

uint32_t Alloc(ScriptContext* ctx, uint32_t n) {
  if (!ctx->heapBase) return 0;
  uint32_t s = BlockSizeFor(n);
  if (!s) return 0;
  uint32_t b;
  while ((b = FindFit(ctx, s)) == 0) {
    if (!Grow(ctx, s)) return 0;
  }
  uint32_t have = SizeOf(ctx, b);
  if (have - s >= kHeapMinBlock) {
    // The free block keeps its place in the list and gives up its tail.
    uint32_t rest = have - s;
    Word(ctx, b + kSizeOff) = rest;
    Word(ctx, b + rest - 8) = rest;
    Word(ctx, b + rest - 4) = kTagFree;
    b += rest;
    SetUsed(ctx, b, s);
  } else {
    Unlink(ctx, b);
    SetUsed(ctx, b, have);
  }
  return b + kPayload;
}

void Free(ScriptContext* ctx, uint32_t off) {
  if (!off || !ctx->heapBase || off < kHeapFirstBlock + kPayload || off >= ctx->heapEnd) return;
  uint32_t b = off - kPayload;
  uint32_t size = SizeOf(ctx, b);
  // A block that is not in use (freed twice) or whose size runs past the end
  // would corrupt the free list: refuse it as damage.
  if (Word(ctx, b) != kTagUsed || size < kHeapMinBlock || size > ctx->heapEnd - b) {
    TagDamage(ctx, 846);
    return;
  }
  if (Word(ctx, b + size - 4) != kTagUsed) {
    TagDamage(ctx, 847);
    return;
  }
  uint32_t before = Word(ctx, b - 4);
  if (before == kTagFree) {
    uint32_t prevSize = Word(ctx, b - 8);
    uint32_t prev = b - prevSize;
    Unlink(ctx, prev);
    b = prev;
    size += prevSize;
  } else if (before != kTagUsed) {
    TagDamage(ctx, 846);
    return;
  }
  uint32_t after = Word(ctx, b + size);
  if (after == kTagFree) {
    uint32_t next = b + size;
    uint32_t nextSize = SizeOf(ctx, next);
    Unlink(ctx, next);
    size += nextSize;
  } else if (after != kTagUsed) {
    TagDamage(ctx, 847);
    return;
  }
  SetFree(ctx, b, size);
  LinkFirst(ctx, b);
}

uint32_t StoreText(ScriptContext* ctx, const char* text, size_t len) {
  if (len > 0x7ffe0000u) {
    err::Raise(ctx, 3096);
    return 0;
  }
  uint32_t off = Alloc(ctx, static_cast<uint32_t>(len + 1));
  if (!off) {
    err::Raise(ctx, 3096);
    return 0;
  }
  char* p = At(ctx, off);
  if (len) memcpy(p, text, len);
  p[len] = 0;
  return off;
}

uint32_t StoreWide(ScriptContext* ctx, const wchar_t* text, size_t len) {
  if (len > 0x3fff0000u) {
    err::Raise(ctx, 3096);
    return 0;
  }
  uint32_t off = Alloc(ctx, static_cast<uint32_t>((len + 1) * sizeof(wchar_t)));
  if (!off) {
    err::Raise(ctx, 3096);
    return 0;
  }
  wchar_t* p = WideAt(ctx, off);
  if (len) memcpy(p, text, len * sizeof(wchar_t));
  p[len] = 0;
  return off;
}

bool Check(const ScriptContext* ctx, Stats* stats, char* why, size_t whySize) {
  Stats st{};
  auto fail = [&](const char* what, uint32_t at) {
    snprintf(why, whySize, "%s at offset %lu", what, static_cast<unsigned long>(at));
    return false;
  };
  if (Word(ctx, kListHead) != kTagUsed || Word(ctx, 16) != kTagUsed ||
      Word(ctx, kRoverRecord) != kTagUsed || Word(ctx, kRoverRecord + 16) != kTagUsed)
    return fail("damaged fixed record", 0);
  uint32_t b = kHeapFirstBlock;
  bool prevFree = false;
  while (b < ctx->heapEnd) {
    uint32_t head = Word(ctx, b), size = SizeOf(ctx, b);
    if (size < kHeapMinBlock || size % 4 || b + size > ctx->heapEnd) return fail("bad block size", b);
    bool isFree = head == kTagFree;
    if (!isFree && head != kTagUsed) return fail("bad head tag", b);
    if (Word(ctx, b + size - 4) != head) return fail("tail tag differs from head", b);
    if (isFree && Word(ctx, b + size - 8) != size) return fail("free tail size differs", b);
    if (isFree && prevFree) return fail("two free neighbours", b);
    prevFree = isFree;
    ++st.blocks;
    if (isFree) {
      ++st.freeBlocks;
      st.freeBytes += size;
    } else {
      st.usedBytes += size;
    }
    b += size;
  }
  if (b != ctx->heapEnd || Word(ctx, b) != kTagUsed) return fail("bad end tag", b);
  // The free list: linked both ways, only free blocks, each exactly once.
  uint32_t count = 0, at = kListHead;
  for (;;) {
    uint32_t next = Word(ctx, at + kNextOff);
    if (Word(ctx, next + kPrevOff) != at) return fail("free list back link broken", next);
    if (next == kListHead) break;
    if (next < kHeapFirstBlock || next >= ctx->heapEnd || Word(ctx, next) != kTagFree)
      return fail("free list names a block that is not free", next);
    if (++count > st.freeBlocks) return fail("free list longer than the free blocks", next);
    at = next;
  }
  if (count != st.freeBlocks) return fail("free block missing from the free list", 0);
  uint32_t rover = Rover(ctx);
  if (rover != kListHead && (rover >= ctx->heapEnd || Word(ctx, rover) != kTagFree))
    return fail("rover names a block that is not free", rover);
  if (stats) *stats = st;
  return true;
}

}  // namespace zel::heap
