// Expression cases for the built-in function tests: each line is evaluated
// the way the executor evaluates a statement and its outcome compared with
// the expected error number, text and type.
#pragma once
#include <gtest/gtest.h>

#include "ctxfixture.h"

namespace zel::test {

// Expected outcome of a line; the text and type are compared only when no
// error is expected.
struct Case {
  const char* line;
  uint16_t error;
  const char* text;
  char type;  // as Outcome::type
};

inline void CheckCases(ContextTest* t, const Case* cases, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    const Case& c = cases[i];
    Outcome o = t->Run(c.line);
    EXPECT_EQ(o.error, c.error) << "line: " << c.line;
    if (c.error == 0 && o.error == 0) {
      EXPECT_EQ(o.text, c.text) << "line: " << c.line;
      EXPECT_EQ(o.type, c.type) << "line: " << c.line;
    }
  }
}

template <size_t N>
void CheckCases(ContextTest* t, const Case (&cases)[N]) {
  CheckCases(t, cases, N);
}

}  // namespace zel::test
