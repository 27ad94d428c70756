// POSIX backend of platform_memory.h: pages times page size, as sysconf reports them, and
// Linux's own estimate of available memory. Pairs with win32_memory.cpp.
#include "platform/platform_memory.h"

#include <cstdio>
#include <unistd.h>

namespace {

// ParaPagesName's count of pages (_SC_PHYS_PAGES, _SC_AVPHYS_PAGES) in bytes; 0 when unknown.
uint64_t pagesInBytesPosix(int ParaPagesName) {
  const long pages = sysconf(ParaPagesName);
  const long pageSize = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0) {
    return 0;
  }
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
}

} // namespace

uint64_t PlatformPhysicalMemoryBytes() {
  return pagesInBytesPosix(_SC_PHYS_PAGES);
}

uint64_t PlatformAvailableMemoryBytes() {
  // NOTE: free pages alone (_SC_AVPHYS_PAGES) leave out the page cache, which the kernel gives
  // up on demand; MemAvailable counts it.
  if (std::FILE* info = std::fopen("/proc/meminfo", "r")) {
    char line[256];
    unsigned long long kibibytes = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, info) != nullptr) {
      found = std::sscanf(line, "MemAvailable: %llu kB", &kibibytes) == 1;
    }
    std::fclose(info);
    if (found) {
      return static_cast<uint64_t>(kibibytes) * 1024;
    }
  }
  return pagesInBytesPosix(_SC_AVPHYS_PAGES);
}
