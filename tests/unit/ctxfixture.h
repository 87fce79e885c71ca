// A started context for unit tests, locked for the test's body the way a run
// locks it: ctx points at the context, ctx->vars at the variable table. Run
// evaluates one line the way the executor does.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "exec/exec.h"
#include "expr/eval.h"
#include "host/context.h"
#include "lexer/tokenizer.h"
#include "script/script.h"
#include "testhost.h"
#include "values/convert.h"
#include "values/render.h"

namespace zel::test {

struct Outcome {
  uint16_t error;
  std::string text;  // the result rendered as text
  char type;         // 'i' integer, 'f' float, 's' string, 'u' UTF-16, '?' other
};

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

 public:
  // Evaluates one line as a statement: an assignment or an expression that
  // must use up the line. The error it left is in the outcome and, unless
  // `clearError` is false, no longer in the context.
  Outcome Run(const char* line, bool clearError = true) {
    ctx->error = 0;
    lex::SetLine(ctx, line);
    lex::GetToken(ctx);
    Value v;
    val::InitValue(&v, 0);
    if (!ctx->error) expr::Evaluate(ctx, &v, true, false);
    if (!ctx->error && ctx->tokenKind != lex::kTokEnd) ctx->error = 3074;
    Outcome o{ctx->error, "", '?'};
    if (!o.error) {
      char buf[kWorkBuf];
      if (RenderCell(ctx, &v, buf, sizeof buf)) o.text = buf;
      o.type = (v.flags & kFlagInt)       ? 'i'
               : (v.flags & kFlagFloat)   ? 'f'
               : (v.flags & kFlagString)  ? 's'
               : (v.flags & kFlagUnicode) ? 'u'
                                          : '?';
    }
    expr::ResetValue(ctx, &v, 0);
    if (clearError) ctx->error = 0;
    return o;
  }

  // Runs a script text as a host's run would (no UDF or structure left over
  // from an earlier text); the error it ended with.
  uint16_t RunScript(const std::string& text) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
    memcpy(GlobalLock(h), text.data(), text.size());
    GlobalUnlock(h);
    uint32_t len = 0;
    EXPECT_TRUE(script::PrepareHostBuffer(ctx, h, &len));
    exec::Run run{h, static_cast<uint8_t*>(GlobalLock(h)), len, 0, 0};
    ctx->error = 0;
    ctx->inDefinition = 0;
    ctx->dupDefinition = 0;
    ctx->structDepth = 0;
    ctx->pendingElse = -1;
    Value result;
    val::InitValue(&result, 0);
    exec::RunLoop(ctx, &result, &run);
    expr::ResetValue(ctx, &result, 0);
    GlobalUnlock(h);
    GlobalFree(h);
    return ctx->error;
  }

 protected:
  HostBlocks host;
  ScriptContext* ctx = nullptr;
};

}  // namespace zel::test
