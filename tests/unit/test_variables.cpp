// Variables: creation, lookup, the uninitialized/undefined distinction, the
// table's capacity, names from outside, frames and pointers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ctxfixture.h"
#include "errors/errinfo.h"
#include "host/settings.h"
#include "values/convert.h"
#include "values/heap.h"
#include "values/pointers.h"
#include "values/variables.h"

namespace zel::test {
namespace {

class VarTest : public ContextTest {
 protected:
  uint16_t SetInt(const char* name, int32_t n) {
    ValueCell v;
    val::InitCell(&v, n);
    return vars::Define(ctx, name, &v);
  }
  uint16_t SetText(const char* name, const char* text) {
    ValueCell v{};
    v.str = heap::StoreText(ctx, text, strlen(text));
    v.flags = kFlagString;
    uint16_t slot = vars::Define(ctx, name, &v);
    val::FreeValue(ctx, &v, val::kVarCell);
    return slot;
  }
  std::string Text(const char* name) {
    char buf[256];
    return vars::AsText(ctx, name, buf, sizeof buf) ? buf : "<none>";
  }
};

TEST_F(VarTest, UninitializedAndUndefinedAreDifferentErrors) {
  EXPECT_EQ(vars::FindVar(ctx, "nosuch", false), vars::kNoSlot);
  EXPECT_EQ(ctx->error, 3051);
  ctx->error = 0;
  uint16_t slot = vars::Create(ctx, "fresh", false);
  ASSERT_NE(slot, vars::kNoSlot);
  EXPECT_EQ(ctx->vars[slot].v.flags, kFlagUninit);
  EXPECT_EQ(ctx->vars[slot].v.ival, -1);
  EXPECT_EQ(vars::FindVar(ctx, "fresh", false), vars::kNoSlot);
  EXPECT_EQ(ctx->error, 3052);
  ctx->error = 0;
  EXPECT_EQ(vars::Create(ctx, "fresh", false), slot) << "a second sight finds the same slot";
  EXPECT_EQ(SetInt("FRESH", 7), slot) << "names are case-insensitive";
  EXPECT_EQ(vars::FindVar(ctx, "Fresh", true), slot);
  EXPECT_EQ(ctx->error, 0);
  // The address-of form creates an integer, which counts as defined.
  uint16_t p = vars::Create(ctx, "target", true);
  EXPECT_EQ(ctx->vars[p].v.flags, kFlagInt);
  EXPECT_EQ(vars::FindVar(ctx, "target", false), p);
}

TEST_F(VarTest, ReportingAnUninitializedNameRecordsIt) {
  vars::Create(ctx, "neverset", false);
  EXPECT_EQ(vars::FindVar(ctx, "neverset", true), vars::kNoSlot);
  EXPECT_EQ(ctx->error, 3052);
  char info[kErrorInfoSize];
  err::CopyErrorInfo(ctx, info, sizeof info);
  EXPECT_STREQ(info, "Uninitialized variable or undefined function:\n\n    neverset");
  char saved[64];
  settings::ReadIni("Error Reporting", "3052", "", saved, sizeof saved);
  EXPECT_STREQ(saved, "neverset");
  err::FreeErrorInfo(ctx);
  // Inside a structure that is being skipped nothing is recorded.
  ctx->structDepth = 1;
  ctx->structs[0].state = 1;
  vars::FindVar(ctx, "neverset", true);
  err::CopyErrorInfo(ctx, info, sizeof info);
  EXPECT_STREQ(info, "");
  ctx->structDepth = 0;
}

TEST_F(VarTest, TableHoldsCapacityLessOneAndReusesFreeSlots) {
  // Slot 0 is reserved, so capacity - 2 more names fit.
  int made = 0;
  char name[16];
  for (int i = 0; i < kSlots + 5; ++i) {
    snprintf(name, sizeof name, "v%d", i);
    if (vars::Create(ctx, name, false) == vars::kNoSlot) break;
    ++made;
  }
  EXPECT_EQ(ctx->error, 3097);
  EXPECT_EQ(made, kSlots - 2);
  EXPECT_EQ(ctx->varInUse, kSlots - 1);
  ctx->error = 0;
  // Freeing a slot in the middle lets a new name in without growing the count.
  uint16_t mid = vars::Lookup(ctx, "v10");
  vars::FreeSlot(ctx, mid);
  EXPECT_EQ(vars::Lookup(ctx, "v10"), vars::kNoSlot);
  EXPECT_EQ(vars::Create(ctx, "newcomer", false), mid);
  EXPECT_EQ(ctx->varInUse, kSlots - 1);
  // Freeing the last slot lowers the count.
  uint16_t last = ctx->varInUse - 1;
  vars::FreeSlot(ctx, last);
  EXPECT_EQ(ctx->varInUse, last);
}

TEST_F(VarTest, NamesFromOutsideAreFolded) {
  char key[kVarNameSize + 1];
  vars::FoldName("ShortName", key);
  EXPECT_STREQ(key, "shortname");
  std::string thirty(30, 'x');
  vars::FoldName(thirty.c_str(), key);
  EXPECT_EQ(std::string(key), thirty);
  // Longer names fold into 30 bytes; different names give different keys and
  // the same name in another case the same key.
  char a[kVarNameSize + 1], b[kVarNameSize + 1], c[kVarNameSize + 1];
  vars::FoldName("a_rather_long_variable_name_from_an_extender_1", a);
  vars::FoldName("a_rather_long_variable_name_from_an_extender_2", b);
  vars::FoldName("A_RATHER_LONG_VARIABLE_NAME_FROM_AN_EXTENDER_1", c);
  EXPECT_LE(strlen(a), 30u);
  EXPECT_STRNE(a, b);
  EXPECT_EQ(memcmp(a, c, sizeof a), 0);
  EXPECT_EQ(a[0], 'a');
  // Defining and reading back through the long name reaches the same variable.
  SetInt("a_rather_long_variable_name_from_an_extender_1", 99);
  EXPECT_EQ(Text("a_rather_long_variable_name_from_an_extender_1"), "99");
}

TEST_F(VarTest, VariablesAsText) {
  SetInt("n", -42);
  SetText("s", "hello");
  ValueCell f;
  val::InitCell(&f, 0);
  f.flags = kFlagFloat;
  f.fval = 1.5;
  vars::Define(ctx, "f", &f);
  vars::Create(ctx, "u", false);
  EXPECT_EQ(Text("n"), "-42");
  EXPECT_EQ(Text("s"), "hello");
  EXPECT_EQ(Text("f"), "1.5");
  EXPECT_EQ(Text("u"), "<none>");
  EXPECT_EQ(Text("missing"), "<none>");
  EXPECT_EQ(ctx->error, 0) << "reading by name clears its error";
  // A bounded buffer cuts the text.
  char small[4];
  ASSERT_TRUE(vars::AsText(ctx, "s", small, sizeof small));
  EXPECT_STREQ(small, "hel");
}

TEST_F(VarTest, ReplacingAValueReturnsItsStringsToTheHeap) {
  heap::Stats before{}, after{};
  char why[128];
  SetText("s", "first");
  ASSERT_TRUE(heap::Check(ctx, &before, why, sizeof why)) << why;
  for (int i = 0; i < 100; ++i) SetText("s", "a longer second text that needs a bigger block");
  SetText("s", "first");
  ASSERT_TRUE(heap::Check(ctx, &after, why, sizeof why)) << why;
  EXPECT_EQ(after.usedBytes, before.usedBytes);
}

class FrameTest : public VarTest {};

TEST_F(FrameTest, FramesKeepTheirOwnVariables) {
  SetInt("outer", 1);
  uint16_t f = vars::CreateFrame(ctx, 50);
  ASSERT_EQ(f, 1);
  FrameSave save;
  ASSERT_TRUE(vars::EnterFrame(ctx, f, &save));
  EXPECT_EQ(ctx->frameNumber, f);
  EXPECT_EQ(vars::Lookup(ctx, "outer"), vars::kNoSlot);
  EXPECT_EQ(ctx->varInUse, 1) << "slot 0 of a new frame is reserved";
  EXPECT_EQ(ctx->vars[0].v.flags, kFlagUninit);
  SetInt("inner", 2);
  ASSERT_TRUE(vars::LeaveFrame(ctx, &save));
  EXPECT_EQ(ctx->frameNumber, 0);
  EXPECT_EQ(vars::Lookup(ctx, "inner"), vars::kNoSlot);
  EXPECT_EQ(Text("outer"), "1");
  // Back in the frame, its variable and count are still there.
  ASSERT_TRUE(vars::EnterFrame(ctx, f, &save));
  EXPECT_EQ(Text("inner"), "2");
  EXPECT_EQ(ctx->varInUse, 2);
  vars::FreeSlot(ctx, vars::Lookup(ctx, "inner"));
  ASSERT_TRUE(vars::LeaveFrame(ctx, &save));
  vars::FreeFrame(ctx, f);
  EXPECT_EQ(ctx->frames[f].table, nullptr);
}

TEST_F(FrameTest, AtMostOneHundredFrames) {
  for (int i = 1; i <= 100; ++i) ASSERT_EQ(vars::CreateFrame(ctx, 4), i);
  EXPECT_EQ(vars::CreateFrame(ctx, 4), 0);
  vars::FreeFrame(ctx, 37);
  EXPECT_EQ(vars::CreateFrame(ctx, 4), 37) << "the lowest free number is taken";
  FrameSave save;
  EXPECT_FALSE(vars::EnterFrame(ctx, 101, &save));
  for (int i = 1; i <= 100; ++i) vars::FreeFrame(ctx, i);
}

TEST_F(FrameTest, EnteringAFrameWithoutATableRestoresTheCaller) {
  SetInt("keep", 5);
  FrameSave save;
  EXPECT_FALSE(vars::EnterFrame(ctx, 9, &save));
  EXPECT_EQ(ctx->frameNumber, 0);
  EXPECT_EQ(Text("keep"), "5");
}

class PointerTest : public VarTest {
 protected:
  std::string PointerTo(uint16_t frame, const char* name) {
    char buf[kPointerMaxLen + 1];
    int n = ptr::Format(ctx, frame, name, buf, sizeof buf);
    EXPECT_GT(n, 0);
    return buf;
  }
};

TEST_F(PointerTest, RoundTripAcrossFrames) {
  SetText("target", "payload");
  std::string p = PointerTo(0, "target");
  EXPECT_EQ(p.compare(0, 9, "#VAR$PTR#"), 0);
  EXPECT_EQ(p.size(), 9u + 4 + 24 + 6);
  uint16_t frame;
  char name[kVarNameSize + 1];
  ASSERT_TRUE(ptr::Parse(ctx, p.c_str(), &frame, name));
  EXPECT_EQ(frame, 0);
  EXPECT_STREQ(name, "target");
  // From inside a function's frame, read and write the main script's variable.
  uint16_t f = vars::CreateFrame(ctx, 20);
  FrameSave save;
  ASSERT_TRUE(vars::EnterFrame(ctx, f, &save));
  Value v;
  ASSERT_TRUE(ptr::Read(ctx, p.c_str(), &v)) << ctx->error;
  EXPECT_EQ(ctx->frameNumber, f) << "the caller's frame is current again";
  ASSERT_TRUE(v.flags & kFlagString);
  EXPECT_STREQ(heap::At(ctx, static_cast<uint32_t>(v.str)), "payload");
  EXPECT_EQ(v.owner_frame, 0);
  val::FreeValue(ctx, &v, val::kEvalValue);
  ValueCell n;
  val::InitCell(&n, 123);
  ASSERT_TRUE(ptr::Write(ctx, p.c_str(), &n));
  ASSERT_TRUE(vars::LeaveFrame(ctx, &save));
  EXPECT_EQ(Text("target"), "123");
  vars::FreeFrame(ctx, f);
}

TEST_F(PointerTest, PointerIntoAnEndedFrameIsInvalid) {
  uint16_t f = vars::CreateFrame(ctx, 20);
  FrameSave save;
  ASSERT_TRUE(vars::EnterFrame(ctx, f, &save));
  SetInt("local", 1);
  std::string p = PointerTo(f, "local");
  vars::FreeSlot(ctx, vars::Lookup(ctx, "local"));
  ASSERT_TRUE(vars::LeaveFrame(ctx, &save));
  vars::FreeFrame(ctx, f);
  Value v;
  EXPECT_FALSE(ptr::Read(ctx, p.c_str(), &v));
  EXPECT_EQ(ctx->error, 3814);
  ctx->error = 0;
  // A new frame with the same number is not the frame the pointer named.
  ASSERT_EQ(vars::CreateFrame(ctx, 20), f);
  EXPECT_FALSE(ptr::Read(ctx, p.c_str(), &v));
  EXPECT_EQ(ctx->error, 3814);
  vars::FreeFrame(ctx, f);
}

TEST_F(PointerTest, MalformedPointerTexts) {
  SetInt("x", 1);
  std::string good = PointerTo(0, "x");
  struct Case {
    std::string text;
    uint16_t error;
  } cases[] = {
      {"", 3813},
      {std::string("#VAR$PTR#") + std::string(28, '0'), 3813},  // 37 characters
      {"#VAR$PTX#" + good.substr(9), 3813},
      {good.substr(0, 12) + "G" + good.substr(13), 3813},       // not hexadecimal
      {good + std::string(30, 'y'), 3813},                       // 68 characters
      {"#VAR$PTR#0065" + good.substr(13), 3814},                 // frame 101
      {"#VAR$PTR#0003" + good.substr(13), 3814},                 // a frame with no table
      {good.substr(0, 13) + "0000000" + good.substr(20), 3814},  // another table
  };
  for (const Case& c : cases) {
    ctx->error = 0;
    uint16_t frame;
    char name[kVarNameSize + 1];
    EXPECT_FALSE(ptr::Parse(ctx, c.text.c_str(), &frame, name)) << c.text;
    EXPECT_EQ(ctx->error, c.error) << c.text;
  }
  ctx->error = 0;
  // Upper- and lower-case hexadecimal digits both read.
  std::string lower = good;
  for (size_t i = 9; i < 37; ++i) lower[i] = static_cast<char>(tolower(lower[i]));
  Value v;
  EXPECT_TRUE(ptr::Read(ctx, lower.c_str(), &v));
  val::FreeValue(ctx, &v, val::kEvalValue);
  // A pointer to a name that holds no value.
  vars::Create(ctx, "empty", false);
  EXPECT_FALSE(ptr::Read(ctx, PointerTo(0, "empty").c_str(), &v));
  EXPECT_EQ(ctx->error, 3817);
}

}  // namespace
}  // namespace zel::test
