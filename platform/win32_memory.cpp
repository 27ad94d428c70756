// Win32 backend of platform_memory.h: the total and the available physical memory of
// GlobalMemoryStatusEx. Pairs with posix_memory.cpp.
#include <windows.h>

#include "platform/platform_memory.h"

namespace {

bool memoryStatusWin32(MEMORYSTATUSEX& ParaStatus) {
  ParaStatus = MEMORYSTATUSEX{};
  ParaStatus.dwLength = sizeof(ParaStatus);
  return GlobalMemoryStatusEx(&ParaStatus) != 0;
}

} // namespace

uint64_t PlatformPhysicalMemoryBytes() {
  MEMORYSTATUSEX status;
  return memoryStatusWin32(status) ? status.ullTotalPhys : 0;
}

uint64_t PlatformAvailableMemoryBytes() {
  MEMORYSTATUSEX status;
  return memoryStatusWin32(status) ? status.ullAvailPhys : 0;
}
