// Win32 backend of platform_time.h: the performance counter and GetTickCount. Pairs with
// posix_time.cpp.
#include "platform/platform_time.h"

#include <windows.h>

bool PlatformQueryPerformanceCounter(int64_t& ParaCounter) {
  LARGE_INTEGER value{};
  if (!QueryPerformanceCounter(&value)) {
    ParaCounter = 0;
    return false;
  }
  ParaCounter = value.QuadPart;
  return true;
}

bool PlatformQueryPerformanceFrequency(int64_t& ParaFrequency) {
  LARGE_INTEGER value{};
  if (!QueryPerformanceFrequency(&value)) {
    ParaFrequency = 0;
    return false;
  }
  ParaFrequency = value.QuadPart;
  return true;
}

// NOTE: GetTickCount wraps to 0 after 49.7 days of uptime; callers see that as time going back.
uint32_t PlatformGetTickCount() {
  return GetTickCount();
}
