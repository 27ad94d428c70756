// The clocks of the operating system: a high-resolution counter with its frequency, and a
// 32-bit millisecond tick count. The backends are win32_time.cpp and posix_time.cpp; the
// pacing layer reaches them only through its time counter.
#pragma once

#include <cstdint>

// The current value of the high-resolution counter. Returns false, with the value 0, when the
// counter cannot be read.
bool PlatformQueryPerformanceCounter(int64_t& ParaCounter);

// Counts per second of the high-resolution counter. Returns false, with the value 0, when
// the frequency cannot be read.
bool PlatformQueryPerformanceFrequency(int64_t& ParaFrequency);

// Milliseconds since an arbitrary fixed start, wrapping after 2^32 ms (about 49.7 days).
uint32_t PlatformGetTickCount();
