// A started context for unit tests, locked for the test's body the way a run
// locks it: ctx points at the context, ctx->vars at the variable table.
#pragma once
#include <gtest/gtest.h>

#include "host/context.h"
#include "testhost.h"

namespace zel::test {

class ContextTest : public ::testing::Test {
 protected:
  static constexpr uint16_t kSlots = 200;
  static constexpr uint32_t kCommit = 64 * 1024;
  static constexpr uint32_t kReserve = 64 * 1024 * 1024;

  void SetUp() override {
    ASSERT_TRUE(MakeBlocks(&host, kSlots, kCommit, kReserve));
    ASSERT_TRUE(StartContext(&DoDaDllInit, &host));
    ctx = static_cast<ScriptContext*>(GlobalLock(host.context));
    ASSERT_NE(ctx, nullptr);
    ctx->vars = static_cast<VarRecord*>(GlobalLock(host.table));
    ASSERT_NE(ctx->vars, nullptr);
  }

  void TearDown() override {
    if (ctx) {
      GlobalUnlock(host.table);
      ctx->vars = nullptr;
      GlobalUnlock(host.context);
      ctx = nullptr;
      DoDaDllInit(nullptr, host.context, 0, kZelOpEndContext, 0, nullptr, nullptr);
    }
    FreeBlocks(&host);
  }

  HostBlocks host;
  ScriptContext* ctx = nullptr;
};

}  // namespace zel::test
