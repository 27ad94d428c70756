// The machine's physical memory, for tools that refuse work that could never fit instead of
// swapping for minutes. The backends are posix_memory.cpp and win32_memory.cpp.
#pragma once

#include <cstdint>

// Bytes of physical memory, or 0 when the system does not tell.
uint64_t PlatformPhysicalMemoryBytes();
