// The general float-to-text format of the program's messages.
#include "runtime/float_text.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(FloatToStr, FixedNotationDropsTrailingZerosAndTheSeparator) {
  EXPECT_EQ(FloatToStr(80001), "80001");
  EXPECT_EQ(FloatToStr(80000), "80000");
  EXPECT_EQ(FloatToStr(0.5), "0.5");
  EXPECT_EQ(FloatToStr(-0.25), "-0.25");
  EXPECT_EQ(FloatToStr(0), "0");
  EXPECT_EQ(FloatToStr(0.0001), "0.0001");
  EXPECT_EQ(FloatToStr(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(FloatToStr(2.0 / 3.0), "0.666666666666667");
  EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
}

TEST(FloatToStr, ScientificNotationOutsideTheFixedRange) {
  EXPECT_EQ(FloatToStr(1E-5), "1E-5");
  EXPECT_EQ(FloatToStr(0.00012345e-1), "1.2345E-5");
  EXPECT_EQ(FloatToStr(1.5E20), "1.5E20");
  EXPECT_EQ(FloatToStr(1E15), "1E15");
  EXPECT_EQ(FloatToStr(-2.5E-7), "-2.5E-7");
  EXPECT_EQ(FloatToStr(1E100), "1E100");
  // Rounding to 15 digits carries into a sixteenth digit before the separator.
  EXPECT_EQ(FloatToStr(999999999999999.9), "1E15");
}

TEST(FloatToStr, UsesTheUsersDecimalSeparator) {
  DecimalSeparator = ',';
  EXPECT_EQ(FloatToStr(0.5), "0,5");
  EXPECT_EQ(FloatToStr(1.5E20), "1,5E20");
  DecimalSeparator = '.';
}

TEST(FloatToStr, NonFiniteValues) {
  EXPECT_EQ(FloatToStr(std::nan("")), "NAN");
  EXPECT_EQ(FloatToStr(INFINITY), "INF");
  EXPECT_EQ(FloatToStr(-INFINITY), "-INF");
}
