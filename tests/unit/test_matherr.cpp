// The deferred floating-point errors: real math library failures reach the
// hook (installed when a context starts), every kind maps to its number, and a
// pending number is taken into the context once.
#include <gtest/gtest.h>

#include <math.h>

#include "ctxfixture.h"
#include "values/matherr.h"

namespace zel::test {
namespace {

using MathErrTest = ContextTest;

// Operands the compiler cannot fold, so the library really runs.
volatile double g_minusOne = -1.0, g_two = 2.0, g_big = 1000.0, g_minusBig = -1000.0;
volatile double g_result;

TEST_F(MathErrTest, LibraryFailuresAreRecorded) {
  struct { const char* call; double (*run)(); uint16_t error; } cases[] = {
      {"log(-1)", [] { return log(g_minusOne); }, 1341},
      {"sqrt(-1)", [] { return sqrt(g_minusOne); }, 1341},
      {"acos(2)", [] { return acos(g_two); }, 1341},
      {"exp(1000)", [] { return exp(g_big); }, 1342},
      {"exp(-1000)", [] { return exp(g_minusBig); }, 0},  // underflow: nothing
      {"log(2)", [] { return log(g_two); }, 0},
  };
  for (const auto& c : cases) {
    matherr::Clear();
    ctx->error = 0;
    g_result = c.run();
    EXPECT_EQ(matherr::TakeInto(ctx), c.error != 0) << c.call;
    EXPECT_EQ(ctx->error, c.error) << c.call;
    EXPECT_FALSE(matherr::TakeInto(ctx)) << c.call << ": taken twice";
  }
  EXPECT_EQ(acos(g_two), 1.0);  // the library's result becomes 1.0
  matherr::Clear();
  ctx->error = 3057;
  EXPECT_FALSE(matherr::TakeInto(ctx));  // cleared: the context's error stays
  EXPECT_EQ(ctx->error, 3057);
}

TEST_F(MathErrTest, EveryKindMapsToItsNumber) {
  struct { int type; uint16_t error; double retval; } cases[] = {
      {_DOMAIN, 1341, 1.0}, {_SING, 1344, 1.0}, {_OVERFLOW, 1342, 1.0}, {_UNDERFLOW, 0, 0.0},
      {_TLOSS, 1345, 1.0}, {_PLOSS, 1343, 1.0}, {99, 1347, 1.0},
  };
  for (const auto& c : cases) {
    matherr::Clear();
    ctx->error = 0;
    struct _exception e = {};
    e.type = c.type;
    e.retval = -5.0;
    EXPECT_NE(matherr::Hook(&e), 0) << "type " << c.type;
    EXPECT_EQ(e.retval, c.retval) << "type " << c.type;
    EXPECT_EQ(matherr::TakeInto(ctx), c.error != 0) << "type " << c.type;
    EXPECT_EQ(ctx->error, c.error) << "type " << c.type;
  }
}

}  // namespace
}  // namespace zel::test
