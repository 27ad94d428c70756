// The generator must reproduce an independent computation exactly: every random decision of
// the game depends on it.
#include "runtime/random.h"

#include <gtest/gtest.h>

#include <vector>

TEST(Random, ReproducesKnownSequenceAndFinalSeed) {
  RandSeed = 20261209;
  std::vector<int32_t> drawn;
  for (int i = 0; i < 8; ++i) {
    drawn.push_back(Random(1000));
  }
  EXPECT_EQ(drawn, (std::vector<int32_t>{508, 471, 181, 764, 988, 571, 605, 608}));
  EXPECT_EQ(RandSeed, 2612826545u);
}

TEST(Random, WrapsTheSeedAtTheTopOfTheRange) {
  RandSeed = 4294967295u;
  std::vector<int32_t> drawn;
  for (int i = 0; i < 4; ++i) {
    drawn.push_back(Random(360));
  }
  EXPECT_EQ(drawn, (std::vector<int32_t>{348, 72, 187, 47}));
}

TEST(Random, ZeroRangeYieldsZeroButStillAdvancesTheSeed) {
  RandSeed = 7;
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(RandSeed, 7u * 134775813u + 1u);
}

TEST(Random, ResultsStayInsideTheRange) {
  RandSeed = 1;
  for (int i = 0; i < 10000; ++i) {
    const int32_t value = Random(3);
    ASSERT_GE(value, 0);
    ASSERT_LT(value, 3);
  }
}

TEST(Random, SeedsFromBothHalvesOfTheCounter) {
  RandomizeFromCounter(0x0000000100000002LL);
  EXPECT_EQ(RandSeed, 3u);
  RandomizeFromCounter(-1);
  EXPECT_EQ(RandSeed, 0u);
  RandomizeFromCounter(0x12345678LL);
  EXPECT_EQ(RandSeed, 0x12345678u);
}
