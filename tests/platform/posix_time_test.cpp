// The POSIX clocks behind platform_time.h: units and agreement of the counter and the
// millisecond tick count, against the real monotonic clock. Each reading is bounded by the
// standard library's monotonic clock read just before and just after it, so a busy machine
// only widens the bounds.
#include "platform/platform_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

int64_t Nanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

} // namespace

TEST(PosixTime, CounterRunsInNanosecondsAndNeverGoesBack) {
  int64_t frequency = 0;
  ASSERT_TRUE(PlatformQueryPerformanceFrequency(frequency));
  EXPECT_EQ(frequency, 1000000000);

  int64_t before = 0;
  int64_t after = 0;
  const int64_t outerStart = Nanoseconds();
  ASSERT_TRUE(PlatformQueryPerformanceCounter(before));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(PlatformQueryPerformanceCounter(after));
  const int64_t outerEnd = Nanoseconds();
  EXPECT_GE(after - before, 20000000);
  EXPECT_LE(after - before, outerEnd - outerStart);
}

TEST(PosixTime, TickCountIsTheCounterInMillisecondsKeptToTheLow32Bits) {
  int64_t first = 0;
  int64_t last = 0;
  ASSERT_TRUE(PlatformQueryPerformanceCounter(first));
  const uint32_t ticks = PlatformGetTickCount();
  ASSERT_TRUE(PlatformQueryPerformanceCounter(last));
  // Between the milliseconds of the counter read before and after it, modulo 2^32.
  const auto earliest = static_cast<uint32_t>(static_cast<uint64_t>(first) / 1000000u);
  const auto latest = static_cast<uint32_t>(static_cast<uint64_t>(last) / 1000000u);
  EXPECT_LE(static_cast<uint32_t>(ticks - earliest), static_cast<uint32_t>(latest - earliest));
}
