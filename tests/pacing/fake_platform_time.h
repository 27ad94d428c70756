// A hand-driven stand-in for the platform clocks. The pacing tests link it in place of the
// platform backend, so every tick the time counter and the throttle read is set by the test.
#pragma once

#include <cstdint>

struct FakeClock {
  int64_t counter = 0;
  bool counterReadable = true;
  int64_t frequency = 1000000;
  bool frequencyReadable = true;
  uint32_t tickCount = 0;
  // How often the high-resolution counter was asked, to prove an operation left the clock alone.
  int counterReads = 0;
};

extern FakeClock TheFakeClock;
