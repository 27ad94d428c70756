// Nearest-integer conversion and the wrapping counters.
#include "runtime/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/errors.h"

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(59.5), 60);
  EXPECT_EQ(RoundHalfEven(60.5), 60);
  EXPECT_EQ(RoundHalfEven(61.5), 62);
  EXPECT_EQ(RoundHalfEven(172.8), 173);
  EXPECT_EQ(RoundHalfEven(2.4999999999999996), 2);
}

TEST(RoundHalfEven, RaisesInsteadOfLeavingTheIntegerRange) {
  EXPECT_EQ(RoundHalfEven(2147483647.0), 2147483647);
  EXPECT_EQ(RoundHalfEven(-2147483648.0), std::numeric_limits<int32_t>::min());
  EXPECT_THROW(RoundHalfEven(2147483647.5), EFloatError);
  EXPECT_THROW(RoundHalfEven(-2147483649.0), EFloatError);
  EXPECT_THROW(RoundHalfEven(std::nan("")), EFloatError);
  EXPECT_THROW(RoundHalfEven(INFINITY), EFloatError);
}

TEST(WrappingCounters, WrapLikeThirtyTwoBitRegisters) {
  EXPECT_EQ(WrapAdd(std::numeric_limits<int32_t>::max(), 1), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(WrapSub(std::numeric_limits<int32_t>::min(), 1), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(WrapSub(0, 1), -1);
  EXPECT_EQ(WrapMul(5, 3), 15);
}
