// POSIX backend of platform_time.h: every clock is CLOCK_MONOTONIC, so the counter and the
// tick count agree and neither jumps when the wall clock is set. Pairs with win32_time.cpp.
#include "platform/platform_time.h"

#include <time.h>

namespace {

constexpr int64_t kNanosecondsPerSecond = 1000000000;

bool readMonotonicPosix(timespec& ParaTime) {
  return clock_gettime(CLOCK_MONOTONIC, &ParaTime) == 0;
}

} // namespace

bool PlatformQueryPerformanceCounter(int64_t& ParaCounter) {
  timespec now{};
  if (!readMonotonicPosix(now)) {
    ParaCounter = 0;
    return false;
  }
  // The monotonic clock counts from boot, so nanoseconds fit 64 bits for about 292 years.
  ParaCounter = static_cast<int64_t>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
  return true;
}

bool PlatformQueryPerformanceFrequency(int64_t& ParaFrequency) {
  ParaFrequency = kNanosecondsPerSecond;
  return true;
}

uint32_t PlatformGetTickCount() {
  timespec now{};
  if (!readMonotonicPosix(now)) {
    return 0;
  }
  // Unsigned arithmetic keeps exactly the low 32 bits, as the Windows count does.
  const uint64_t milliseconds =
      static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(milliseconds);
}
