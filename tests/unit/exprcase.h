// Expression cases for the built-in function tests: a line is evaluated the
// way the executor evaluates a statement, and its outcome compared with the
// expected error number, text and type.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "ctxfixture.h"
#include "expr/eval.h"
#include "lexer/tokenizer.h"
#include "values/convert.h"
#include "values/render.h"

namespace zel::test {

struct Outcome {
  uint16_t error;
  std::string text;  // the result rendered as text
  char type;         // 'i' integer, 'f' float, 's' string, 'u' UTF-16, '?' other
};

// One line: an assignment or an expression that must use up the line.
inline Outcome EvalLine(ScriptContext* ctx, const char* line) {
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
  ctx->error = 0;
  return o;
}

// Expected outcome of a line; the text and type are compared only when no
// error is expected.
struct Case {
  const char* line;
  uint16_t error;
  const char* text;
  char type;
};

inline void CheckCases(ScriptContext* ctx, const Case* cases, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    const Case& c = cases[i];
    Outcome o = EvalLine(ctx, c.line);
    EXPECT_EQ(o.error, c.error) << "line: " << c.line;
    if (c.error == 0 && o.error == 0) {
      EXPECT_EQ(o.text, c.text) << "line: " << c.line;
      EXPECT_EQ(o.type, c.type) << "line: " << c.line;
    }
  }
}

template <size_t N>
void CheckCases(ScriptContext* ctx, const Case (&cases)[N]) {
  CheckCases(ctx, cases, N);
}

}  // namespace zel::test
