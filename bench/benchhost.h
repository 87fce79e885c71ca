// What the benchmarks share: a started context locked for the whole run, and
// one line evaluated the way the executor evaluates a statement.
#pragma once
#include <windows.h>

#include <cstdio>

#include "expr/eval.h"
#include "host/context.h"
#include "lexer/tokenizer.h"
#include "values/convert.h"
#include "../tests/unit/testhost.h"

namespace zel::bench {

// Starts a context in `host` and locks it with its variable table; nullptr
// (with a message) when it cannot be started.
inline ScriptContext* StartContext(test::HostBlocks* host, uint16_t slots, uint32_t reserve) {
  if (!test::MakeBlocks(host, slots, 64 * 1024, reserve) ||
      !test::StartContext(&DoDaDllInit, host)) {
    fprintf(stderr, "cannot start a context\n");
    return nullptr;
  }
  auto* ctx = static_cast<ScriptContext*>(GlobalLock(host->context));
  ctx->vars = static_cast<VarRecord*>(GlobalLock(host->table));
  return ctx;
}

// Evaluates one line; its integer result in *n (when not null). False, with
// a message, when the line failed.
inline bool Line(ScriptContext* ctx, const char* text, int32_t* n = nullptr) {
  ctx->error = 0;
  lex::SetLine(ctx, text);
  lex::GetToken(ctx);
  Value v;
  val::InitValue(&v, 0);
  expr::Evaluate(ctx, &v, true, false);
  if (n) *n = v.ival;
  expr::ResetValue(ctx, &v, 0);
  if (!ctx->error) return true;
  fprintf(stderr, "error %u on line %s\n", ctx->error, text);
  return false;
}

}  // namespace zel::bench
