// Array blocks: the header a new array gets, element addressing, reference
// counts past the lock count's byte, destruction, and no block left behind
// by statements whose arrays no variable took.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ctxfixture.h"
#include "values/array.h"
#include "values/variables.h"

namespace zel::test {
namespace {

class ArrayTest : public ContextTest {
 protected:
  void SetUp() override {
    ContextTest::SetUp();
    ctx->silentMode = 1;  // reports go to no log: nothing waits for a click
    ctx->logFile[0] = 0;
  }

  ArrayBlock* Make(std::initializer_list<int32_t> sizes, Value* v) {
    val::InitValue(v, 0);
    std::vector<int32_t> s(sizes);
    EXPECT_GE(arr::Create(ctx, v, s.data(), static_cast<int>(s.size()), 7), 0);
    return arr::BlockOf(v);
  }

  // The value of a variable that must exist.
  const ValueCell& Var(const char* name) {
    uint16_t slot = vars::Lookup(ctx, name);
    EXPECT_NE(slot, vars::kNoSlot) << name;
    return ctx->vars[slot == vars::kNoSlot ? 0 : slot].v;
  }
};

TEST_F(ArrayTest, ANewBlockDescribesItsElementsRightAfterTheHeader) {
  Value v;
  ArrayBlock* b = Make({2, 3}, &v);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(v.flags, kFlagArray);
  EXPECT_EQ(b->dims, 2);
  EXPECT_EQ(b->kind, 7);
  EXPECT_EQ(b->sizes[0], 2);
  EXPECT_EQ(b->sizes[1], 3);
  EXPECT_EQ(b->sizes[2], 0);
  EXPECT_EQ(b->count, 6u);
  EXPECT_EQ(b->dataSize, 6 * sizeof(ElementCell));
  EXPECT_EQ(b->data, reinterpret_cast<AddrWord>(b) + sizeof(ArrayBlock));
  EXPECT_EQ(arr::Holders(b), 1u) << "the creator's lock alone";
  // Row-major: the last subscript varies fastest.
  const int32_t last[] = {1, 2}, second[] = {0, 1}, outside[] = {2, 0};
  EXPECT_EQ(arr::ElementAt(b, last, 2), &arr::Elements(b)[5]);
  EXPECT_EQ(arr::ElementAt(b, second, 2), &arr::Elements(b)[1]);
  EXPECT_EQ(arr::ElementAt(b, outside, 2), nullptr);
  EXPECT_EQ(arr::ElementAt(b, last, 1), nullptr) << "one subscript for two dimensions";
  arr::Release(ctx, &v, true);
}

TEST_F(ArrayTest, SizesAreCheckedBeforeAnythingIsAllocated) {
  struct {
    std::vector<int32_t> sizes;
    int result;
    uint16_t error;
  } rows[] = {
      {{0}, 0, 0},           {{0, 4}, 0, 0},          {{3, 0, 0, 0, 0}, 1, 0},
      {{2, 0, 3}, -1, 1630}, {{1, -1}, -1, 1628},     {{100000, 10000}, -1, 1644},
      {{65537, 65537}, -1, 1644},  // the product wraps to 131073 in 32 bits
  };
  uint32_t live = arr::LiveBlocks();
  for (auto& r : rows) {
    ctx->error = 0;
    Value v;
    val::InitValue(&v, 0);
    int got = arr::Create(ctx, &v, r.sizes.data(), static_cast<int>(r.sizes.size()), 0);
    EXPECT_EQ(got, r.result) << r.sizes.size() << " sizes, first " << r.sizes[0];
    EXPECT_EQ(ctx->error, r.error) << r.sizes[0];
    if (got >= 0) arr::Release(ctx, &v, true);
  }
  EXPECT_EQ(arr::LiveBlocks(), live);
}

TEST_F(ArrayTest, HoldersPastTheLockCountByteAreKept) {
  Value v;
  ArrayBlock* b = Make({1}, &v);
  uint32_t live = arr::LiveBlocks();
  constexpr uint32_t kHolders = 400;
  for (uint32_t i = 1; i < kHolders; ++i) arr::AddRef(b);
  EXPECT_EQ(arr::Holders(b), kHolders);
  // Each release of a holder lowers the count until two are left ...
  for (uint32_t i = kHolders; i > 2; --i) {
    Value holder = v;
    arr::Release(ctx, &holder, false);
    ASSERT_EQ(arr::Holders(b), i - 1);
  }
  EXPECT_EQ(arr::LiveBlocks(), live);
  // ... and the last holder's release destroys the block.
  arr::Release(ctx, &v, false);
  EXPECT_EQ(arr::LiveBlocks(), live - 1);
  EXPECT_EQ(v.flags, 0u);
}

TEST_F(ArrayTest, DestroyingABlockClearsEveryVariableThatHeldIt) {
  ASSERT_EQ(RunScript("a = ArrDimension(3)\na[1] = \"text\"\nb = a\nc = 5\n"), 0);
  ArrayBlock* b = arr::BlockOf(&Var("a"));
  EXPECT_EQ(arr::Holders(b), 3u);
  uint16_t slotA = vars::Lookup(ctx, "a"), slotB = vars::Lookup(ctx, "b");
  ValueCell copy = Var("a");
  arr::Release(ctx, &copy, true);
  // Both lose the reference and, having held nothing else, no longer count as defined.
  EXPECT_EQ(ctx->vars[slotA].v.flags, 0u);
  EXPECT_EQ(ctx->vars[slotA].v.str, 0u);
  EXPECT_EQ(ctx->vars[slotB].v.flags, 0u);
  EXPECT_EQ(vars::Lookup(ctx, "b"), vars::kNoSlot);
  EXPECT_EQ(Var("c").ival, 5);
}

TEST_F(ArrayTest, ArraysNoVariableTookLeaveNoBlockBehind) {
  ASSERT_EQ(RunScript("#DefineFunction made(n)\nlocal = ArrDimension(n)\nReturn local\n#EndFunction\n"
                      "#DefineFunction direct()\nReturn Arrayize(\"a,b\", \",\")\n#EndFunction\n"),
            0);
  uint32_t live = arr::LiveBlocks();
  const char* kLoop =
      "For i = 1 To 300\n"
      "ArrDimension(4)\n"
      "n = ArrInfo(Arrayize(\"a,b,c\", \",\"), 1) + ArrInfo(made(2), 1)\n"
      "made(3)\n"
      "direct()\n"
      "If ArrInfo(ArrDimension(2, 2), 0) == 2 Then n = n + 1\n"
      "Next\n";
  ASSERT_EQ(RunScript(kLoop), 0);
  EXPECT_EQ(arr::LiveBlocks(), live);
  EXPECT_EQ(Var("n").ival, 6);
  // A stored array from a function has one holder besides its creator: one
  // Drop frees it.
  ASSERT_EQ(RunScript("kept = made(5)\nother = direct()\n"), 0);
  EXPECT_EQ(arr::LiveBlocks(), live + 2);
  EXPECT_EQ(arr::Holders(arr::BlockOf(&Var("kept"))), 2u);
  ASSERT_EQ(RunScript("Drop(kept)\nother = 0\n"), 0);
  EXPECT_EQ(arr::LiveBlocks(), live);
}

TEST_F(ArrayTest, AnArgumentDroppedDuringTheCallStaysUntilTheStatementEnds) {
  uint32_t live = arr::LiveBlocks();
  ASSERT_EQ(RunScript("a = ArrDimension(7)\nn = ArrInfo(a, Drop(a) - 2)\n"), 0);
  EXPECT_EQ(Var("n").ival, 1);
  EXPECT_EQ(arr::LiveBlocks(), live);
}

}  // namespace
}  // namespace zel::test
