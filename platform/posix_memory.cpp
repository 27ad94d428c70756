// POSIX backend of platform_memory.h: pages times page size, as sysconf reports them.
// Pairs with win32_memory.cpp.
#include "platform/platform_memory.h"

#include <unistd.h>

uint64_t PlatformPhysicalMemoryBytes() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0) {
    return 0;
  }
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
}
