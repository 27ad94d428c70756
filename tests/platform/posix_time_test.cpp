// The POSIX clocks behind platform_time.h: units and agreement of the counter and the
// millisecond tick count, against the real monotonic clock.
#include "platform/platform_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(PosixTime, CounterRunsInNanosecondsAndNeverGoesBack) {
  int64_t frequency = 0;
  ASSERT_TRUE(PlatformQueryPerformanceFrequency(frequency));
  EXPECT_EQ(frequency, 1000000000);

  int64_t before = 0;
  int64_t after = 0;
  ASSERT_TRUE(PlatformQueryPerformanceCounter(before));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(PlatformQueryPerformanceCounter(after));
  EXPECT_GE(after - before, 20000000);
  EXPECT_LT(after - before, 2000000000);
}

TEST(PosixTime, TickCountIsTheCounterInMillisecondsKeptToTheLow32Bits) {
  int64_t counter = 0;
  ASSERT_TRUE(PlatformQueryPerformanceCounter(counter));
  const uint32_t ticks = PlatformGetTickCount();
  const auto expected = static_cast<uint32_t>(static_cast<uint64_t>(counter) / 1000000u);
  // Read one after the other: the same millisecond or a few later, modulo 2^32.
  EXPECT_LT(static_cast<uint32_t>(ticks - expected), 100u);
}
