// The fake clocks of fake_platform_time.h, answering the platform_time.h contract.
#include "tests/pacing/fake_platform_time.h"

#include "platform/platform_time.h"

FakeClock TheFakeClock;

bool PlatformQueryPerformanceCounter(int64_t& ParaCounter) {
  ++TheFakeClock.counterReads;
  ParaCounter = TheFakeClock.counterReadable ? TheFakeClock.counter : 0;
  return TheFakeClock.counterReadable;
}

bool PlatformQueryPerformanceFrequency(int64_t& ParaFrequency) {
  ParaFrequency = TheFakeClock.frequencyReadable ? TheFakeClock.frequency : 0;
  return TheFakeClock.frequencyReadable;
}

uint32_t PlatformGetTickCount() {
  return TheFakeClock.tickCount;
}
