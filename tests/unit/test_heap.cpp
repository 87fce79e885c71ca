// The string heap: block sizes, merging, growth, damage detection, and a long
// random sequence that must leave the heap consistent.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "boxcloser.h"
#include "ctxfixture.h"
#include "values/heap.h"

namespace zel::test {
namespace {

class HeapTest : public ContextTest {
 protected:
  uint32_t BlockSize(uint32_t off) { return *reinterpret_cast<uint32_t*>(ctx->heapBase + off - 4); }
  heap::Stats Walk() {
    heap::Stats st{};
    char why[128] = "";
    EXPECT_TRUE(heap::Check(ctx, &st, why, sizeof why)) << why;
    return st;
  }
};

TEST_F(HeapTest, FreshHeapIsOneFreeBlock) {
  heap::Stats st = Walk();
  EXPECT_EQ(st.blocks, 1u);
  EXPECT_EQ(st.freeBlocks, 1u);
  EXPECT_EQ(st.freeBytes, kCommit - 56);
  EXPECT_EQ(memcmp(ctx->heapBase, "5678", 4), 0);
  EXPECT_EQ(memcmp(ctx->heapBase + 40, "QRST", 4), 0);
}

TEST_F(HeapTest, BlockSizesFollowTheRequest) {
  struct { uint32_t request, block; } cases[] = {
      {0, 28}, {1, 28}, {13, 28}, {14, 28}, {16, 28}, {17, 32}, {100, 112}, {1000, 1012},
  };
  for (auto c : cases) {
    uint32_t off = heap::Alloc(ctx, c.request);
    ASSERT_NE(off, 0u);
    EXPECT_EQ(BlockSize(off), c.block) << "request " << c.request;
    EXPECT_EQ(memcmp(ctx->heapBase + off - 8, "5678", 4), 0);
  }
  Walk();
}

TEST_F(HeapTest, RemainderBelowMinimumTakesWholeBlock) {
  heap::Stats st = Walk();
  // Leave a remainder of exactly 24 bytes: the whole block goes.
  uint32_t whole = st.freeBytes;
  uint32_t off = heap::Alloc(ctx, whole - 24 - 15 + 3);  // block size whole - 24
  ASSERT_NE(off, 0u);
  EXPECT_EQ(BlockSize(off), whole);
  st = Walk();
  EXPECT_EQ(st.freeBlocks, 0u);
  // A remainder of 28 splits.
  heap::Free(ctx, off);
  off = heap::Alloc(ctx, whole - 28 - 12);
  EXPECT_EQ(BlockSize(off), whole - 28);
  st = Walk();
  EXPECT_EQ(st.freeBlocks, 1u);
  EXPECT_EQ(st.freeBytes, 28u);
}

TEST_F(HeapTest, NeighboursMergeInEitherOrderAndThreeWay) {
  for (int order = 0; order < 3; ++order) {
    uint32_t a = heap::Alloc(ctx, 50), b = heap::Alloc(ctx, 50), c = heap::Alloc(ctx, 50);
    uint32_t guard = heap::Alloc(ctx, 50);  // keeps the three apart from the big free block
    uint32_t before = Walk().freeBlocks;
    if (order == 0) { heap::Free(ctx, a); heap::Free(ctx, b); }
    if (order == 1) { heap::Free(ctx, b); heap::Free(ctx, a); }
    if (order == 2) { heap::Free(ctx, a); heap::Free(ctx, c); heap::Free(ctx, b); }
    heap::Stats st = Walk();
    EXPECT_EQ(st.freeBlocks, before + 1) << "order " << order;
    if (order == 2) {  // blocks are cut from the top of the free block: c < b < a
      EXPECT_EQ(memcmp(ctx->heapBase + c - 8, "QRST", 4), 0);
      EXPECT_EQ(BlockSize(c), 3 * 64u);
    }
    if (order != 2) heap::Free(ctx, c);
    heap::Free(ctx, guard);
  }
  heap::Stats st = Walk();
  EXPECT_EQ(st.freeBlocks, 1u);
  EXPECT_EQ(st.blocks, 1u);
}

TEST_F(HeapTest, GrowsPastTheCommittedSizeAndTellsTheHost) {
  uint32_t committed = ctx->heapCommitted;
  std::vector<uint32_t> offs;
  for (int i = 0; i < 40; ++i) {
    uint32_t off = heap::Alloc(ctx, 10000);
    ASSERT_NE(off, 0u) << "allocation " << i;
    memset(ctx->heapBase + off, 'x', 10000);
    offs.push_back(off);
  }
  EXPECT_GT(ctx->heapCommitted, committed);
  EXPECT_EQ(ctx->heapCommitted % 4096, 0u);
  uint32_t described;
  memcpy(&described, host.descriptor + kZelDescriptorSizeOffset, 4);
  EXPECT_EQ(described, ctx->heapCommitted);
  AddrWord base;
  memcpy(&base, host.descriptor + kZelDescriptorBaseOffset, sizeof base);
  EXPECT_EQ(base, reinterpret_cast<AddrWord>(ctx->heapBase));
  Walk();
  for (uint32_t off : offs) heap::Free(ctx, off);
  heap::Stats st = Walk();
  EXPECT_EQ(st.freeBlocks, 1u);
}

TEST_F(HeapTest, DamagedTagsAreNotFreed) {
  // Blocks are cut from the top of the free block, so c lies before b and a after it.
  uint32_t a = heap::Alloc(ctx, 20), b = heap::Alloc(ctx, 20), c = heap::Alloc(ctx, 20);
  // The tail tag of c (just before b's head) is overwritten: freeing b must refuse.
  memcpy(ctx->heapBase + b - 12, "zzzz", 4);
  // The message box is answered from a timer on this thread, which reads it.
  BoxCloser closer;
  heap::Free(ctx, b);
  EXPECT_EQ(closer.boxes(), 1);
  EXPECT_EQ(closer.text(), "Tag Overwrite 1");
  EXPECT_EQ(closer.caption(), "INTERNAL DYNALLOC ERROR");
  EXPECT_EQ(memcmp(ctx->heapBase + b - 8, "5678", 4), 0) << "b stayed in use";
  memcpy(ctx->heapBase + b - 12, "5678", 4);  // repair
  // The head tag of a overwritten: freeing b must refuse with the second text.
  memcpy(ctx->heapBase + a - 8, "zzzz", 4);
  closer.Reset();
  heap::Free(ctx, b);
  EXPECT_EQ(closer.boxes(), 1);
  EXPECT_EQ(closer.text(), "Tag Overwrite 2");
  EXPECT_EQ(memcmp(ctx->heapBase + b - 8, "5678", 4), 0);
  memcpy(ctx->heapBase + a - 8, "5678", 4);
  heap::Free(ctx, a);
  heap::Free(ctx, b);
  heap::Free(ctx, c);
  Walk();
}

TEST_F(HeapTest, LongRandomSequenceStaysConsistent) {
  srand(12345);
  std::vector<std::pair<uint32_t, uint32_t>> live;  // offset, size
  for (int step = 0; step < 20000; ++step) {
    if (live.empty() || rand() % 3 != 0) {
      uint32_t n = rand() % 7 == 0 ? rand() % 20000 : rand() % 200;
      uint32_t off = heap::Alloc(ctx, n);
      ASSERT_NE(off, 0u);
      memset(ctx->heapBase + off, static_cast<int>(step & 0xff), n);
      live.push_back({off, n});
    } else {
      size_t i = rand() % live.size();
      heap::Free(ctx, live[i].first);
      live[i] = live.back();
      live.pop_back();
    }
    if (step % 1000 == 0) Walk();
  }
  for (auto& l : live) heap::Free(ctx, l.first);
  heap::Stats st = Walk();
  EXPECT_EQ(st.freeBlocks, 1u);
}

}  // namespace
}  // namespace zel::test
