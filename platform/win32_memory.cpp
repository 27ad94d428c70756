// Win32 backend of platform_memory.h: the total physical memory of GlobalMemoryStatusEx.
// Pairs with posix_memory.cpp.
#include <windows.h>

#include "platform/platform_memory.h"

uint64_t PlatformPhysicalMemoryBytes() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof(status);
  if (!GlobalMemoryStatusEx(&status)) {
    return 0;
  }
  return status.ullTotalPhys;
}
