#include "engine/errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "engine/numeric.h"

namespace vestra {
namespace {

int ErrorOf(const std::function<void()>& step) {
  try {
    step();
  } catch (const RuntimeError& e) {
    return e.number();
  }
  return 0;
}

TEST(RuntimeErrors, carryTheNumberOfTheFault) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* what;
    std::function<void()> step;
    int expected;
  } cases[] = {
      {"log of zero", [] { Ln(0); }, kInvalidArgument},
      {"log of a negative number", [] { Ln(-1); }, kInvalidArgument},
      {"negative base, fractional power", [] { Pow(-8, 1.0 / 3); }, kInvalidArgument},
      {"zero base, negative power", [] { Pow(0, -1); }, kInvalidArgument},
      {"division by zero", [] { Div(1, 0); }, kDivisionByZero},
      {"zero over zero", [] { Div(0, 0); }, kOverflow},
      {"exp overflow", [] { Exp(1000); }, kOverflow},
      {"single overflow", [] { Sng(1e39); }, kOverflow},
      {"infinite result", [inf] { Sng(inf); }, kOverflow},
      {"not a number", [] { Sng(std::nan("")); }, kOverflow},
      {"16-bit overflow", [] { CInt(32767.6); }, kOverflow},
      {"32-bit overflow", [] { CLng(3e9); }, kOverflow},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.step), c.expected) << c.what;
}

TEST(RuntimeErrors, validStepsPassTheirValueOn) {
  EXPECT_EQ(Pow(-2, 3), -8);
  EXPECT_EQ(Div(1, 4), 0.25);
  EXPECT_EQ(Sng(0.1), 0.1f);
  EXPECT_EQ(CInt(-32768.4), -32768);
}

TEST(NearestInteger, takesHalvesToTheEvenNeighbour) {
  EXPECT_EQ(CInt(2.5), 2);
  EXPECT_EQ(CInt(3.5), 4);
  EXPECT_EQ(CInt(-2.5), -2);
  EXPECT_EQ(CInt(2.5000001), 3);
  EXPECT_EQ(CLng(123456.5), 123456);
}

TEST(RuntimeErrors, haveTheirStandardMessages) {
  EXPECT_STREQ(RuntimeError(kDivisionByZero).what(), "Division by zero");
  EXPECT_STREQ(RuntimeError(kInvalidUseOfNull).what(), "Invalid use of Null");
  EXPECT_STREQ(RuntimeError(kTypeMismatch).what(), "Type mismatch");
}

}  // namespace
}  // namespace vestra
